#include "accounts/AccountCache.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/Files.h"
#include "support/TempFolder.h"

namespace kestrel::accounts {
namespace {

const AccountRecord kRecord{"Alex", "4566e69fc90748ee8d71d7ba5aa00d20", "mc-token", "client", "ms-refresh"};

TEST(AccountCache, EachTypeHasItsFixedLayout) {
    EXPECT_EQ(MicrosoftCacheText(kRecord),
              "NAME:\"Alex\"\r\nUUID:\"4566e69fc90748ee8d71d7ba5aa00d20\"\r\nTOKEN:\"mc-token\"\r\n"
              "REFRESH_TOKEN:\"ms-refresh\"\r\nACCOUNTTYPE:\"MICROSOFT\"");
    EXPECT_EQ(AuthlibCacheText(kRecord),
              "NAME:\"Alex\"\r\nUUID:\"4566e69fc90748ee8d71d7ba5aa00d20\"\r\nTOKEN:\"mc-token\"\r\n"
              "REFRESH_TOKEN:\"ms-refresh\"\r\nACCOUNTTYPE:\"AUTHLIB\"");
    EXPECT_EQ(MojangCacheText(kRecord, "alex@example.com", "pa ss"),
              "NAME:\"Alex\"\r\nUUID:\"4566e69fc90748ee8d71d7ba5aa00d20\"\r\nTOKEN:\"mc-token\"\r\n"
              "ACCOUNT:\"alex@example.com\"\r\nPASSWORD:\"pa ss\"\r\nACCOUNTTYPE:\"MOJANG\"");
    EXPECT_EQ(OfflineCacheText("玩家 "),
              "NAME:\"玩家 \"\r\nUUID:\"\"\r\nTOKEN:\"\"\r\nREFRESH_TOKEN:\"\"\r\nACCOUNTTYPE:\"OFFLINE\"");
}

TEST(AccountCache, ReadsEveryLayoutBack) {
    const CacheContents microsoft = ParseAccountCache(MicrosoftCacheText(kRecord));
    EXPECT_EQ(microsoft.record, (AccountRecord{"Alex", kRecord.uuid, "mc-token", "", "ms-refresh"}));
    EXPECT_EQ(microsoft.cached.account_type, "MICROSOFT");

    const CacheContents mojang = ParseAccountCache(MojangCacheText(kRecord, "alex@example.com", "secret"));
    EXPECT_EQ(mojang.cached, (CachedAccount{MojangCacheText(kRecord, "alex@example.com", "secret"), "Alex", "MOJANG",
                                            "alex@example.com", "secret"}));
    EXPECT_EQ(mojang.record.refresh_token, "");
}

TEST(AccountCache, LooksKeysUpAtLineStartsThenByFirstOccurrence) {
    struct Case {
        std::string text;
        std::string key;
        std::string value;
    };
    const std::vector<Case> cases = {
        // An empty refresh token still leaves TOKEN to the TOKEN line.
        {"NAME:\"A\"\r\nUUID:\"u\"\r\nTOKEN:\"t1\"\r\nREFRESH_TOKEN:\"\"\r\nACCOUNTTYPE:\"MICROSOFT\"", "TOKEN", "t1"},
        // A value holding a key's marker cannot stand in for that key's line.
        {"NAME:\"xTOKEN:\"\r\nUUID:\"u\"\r\nTOKEN:\"real\"\r\nACCOUNTTYPE:\"MOJANG\"", "TOKEN", "real"},
        {"NAME:\"UUID:\"\r\nUUID:\"the-uuid\"", "UUID", "the-uuid"},
        {"NAME:\"n\"\r\nPASSWORD:\"abc\"def\"\r\nACCOUNTTYPE:\"MOJANG\"", "PASSWORD", "abc"},  // cut at a quote
        // Without such a line, the first occurrence anywhere (hand-edited files).
        {"junk REFRESH_TOKEN:\"r\" NAME:\"n\"", "NAME", "n"},
        {"REFRESH_TOKEN:\"r\"", "TOKEN", "r"},
        {"NAME:\"unterminated", "NAME", ""},
        {"NAME:\"n\"", "UUID", ""},
        {"name:\"n\"", "NAME", ""},  // letter case counts
        {"ACCOUNTTYPE:\"MOJANG\"\r\nACCOUNT:\"a@b\"", "ACCOUNT", "a@b"},
    };
    for (const Case& c : cases) EXPECT_EQ(CacheValue(c.text, c.key), c.value) << c.text;
}

// Save and reload give back what was saved: a value the cache cannot hold
// (a quote, a line end, a control character) makes the writer refuse the
// whole text, whichever field it is in, and leaves the file as it was.
TEST(AccountCache, WriteAndReadBackGiveTheSameValuesOrTheWriteIsRefused) {
    using Field = std::string AccountRecord::*;
    const Field fields[] = {&AccountRecord::name, &AccountRecord::uuid, &AccountRecord::access_token,
                            &AccountRecord::refresh_token};
    const struct Case {
        std::string value;
        bool storable;
    } cases[] = {
        {"玩家 Steve_1", true},
        {"a:b=c \\ ' `", true},
        {"", true},
        {"Ste ve \"q\"", false},
        {"\r\nACCOUNTTYPE:\"MOJANG", false},
        {"x\nTOKEN:\"stolen", false},
        {"x\r", false},
        {"tab\t", false},
    };
    testing::TempFolder folder;
    const std::string path = folder.path() + "/Kestrel2/ACCOUNT.cache";
    const std::string before = MicrosoftCacheText(kRecord);
    for (const Case& c : cases) {
        for (const Field field : fields) {
            AccountRecord record = kRecord;
            record.*field = c.value;
            std::vector<std::string> texts = {MicrosoftCacheText(record), AuthlibCacheText(record),
                                              MojangCacheText(kRecord, c.value, "secret"),
                                              MojangCacheText(kRecord, "alex@example.com", c.value)};
            // The Mojang layout keeps no refresh token.
            if (field != &AccountRecord::refresh_token) {
                texts.push_back(MojangCacheText(record, "alex@example.com", "secret"));
            }
            // The Microsoft layout gives the record back field for field.
            if (c.storable) {
                ASSERT_TRUE(WriteAccountCache(path, texts[0]).ok());
                EXPECT_EQ(ParseAccountCache(ReadAccountCache(path)).record,
                          (AccountRecord{record.name, record.uuid, record.access_token, "", record.refresh_token}));
            }
            for (const std::string& text : texts) {
                SCOPED_TRACE(text);
                ASSERT_TRUE(WriteAccountCache(path, before).ok());
                EXPECT_EQ(IsStorableCacheText(text), c.storable);
                EXPECT_EQ(WriteAccountCache(path, text).ok(), c.storable);
                const CacheContents read = ParseAccountCache(ReadAccountCache(path));
                if (!c.storable) {
                    EXPECT_EQ(read.cached.text, before);
                    continue;
                }
                EXPECT_EQ(read.cached.text, text);
                EXPECT_EQ(read.cached, ParseAccountCache(text).cached);
                EXPECT_EQ(read.record, ParseAccountCache(text).record);
            }
        }
        const std::string offline = OfflineCacheText(c.value);
        EXPECT_EQ(WriteAccountCache(path, offline).ok(), c.storable) << c.value;
        if (c.storable) {
            EXPECT_EQ(ParseAccountCache(ReadAccountCache(path)).cached.name, c.value);
        }
    }
    // Texts that are no layout of the cache are refused too.
    for (const std::string text : {"NAME:\"n\"", "", "NAME:\"n\"\r\nUUID:\"\"\r\nTOKEN:\"\"\r\nREFRESH_TOKEN:\"\"\r\n"
                                                     "ACCOUNTTYPE:\"MOJANG\""}) {
        EXPECT_FALSE(IsStorableCacheText(text)) << text;
    }
}

TEST(AccountCache, KnownAccountsAreTheFourTypesOrAnOldFileWithAName) {
    const struct Case {
        std::string text;
        bool known;
    } cases[] = {
        {MicrosoftCacheText(kRecord), true},
        {AuthlibCacheText(kRecord), true},
        {MojangCacheText(kRecord, "a@b", "p"), true},
        {OfflineCacheText("Steve"), true},
        {"NAME:\"Steve\"", true},             // an older or cut-short file: the Microsoft path
        {"UUID:\"u\"\r\nREFRESH_TOKEN:\"r\"", true},
        {"ACCOUNTTYPE:\"microsoft\"", false},  // letter case counts
        {"NAME:\"Steve\"\r\nACCOUNTTYPE:\"OTHER\"", false},
        {"garbage NAME:\"Steve\"", false},
        {"\x8f\x01\xfe\"\r\n:", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsKnownAccount(ParseAccountCache(c.text).cached), c.known) << c.text;
}

TEST(AccountCache, WritesOwnerOnlyUtf8AndDeletesWithoutComplaint) {
    testing::TempFolder folder;
    const std::string path = folder.path() + "/Kestrel2/ACCOUNT.cache";
    // A file left by an older launcher with wider permissions.
    folder.Write("Kestrel2/ACCOUNT.cache", "old");
    ::chmod(path.c_str(), 0644);
    ASSERT_TRUE(WriteAccountCache(path, OfflineCacheText("玩家")).ok());
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(*platform::ReadFile(path), "NAME:\"\xE7\x8E\xA9\xE5\xAE\xB6\"\r\nUUID:\"\"\r\nTOKEN:\"\"\r\n"
                                         "REFRESH_TOKEN:\"\"\r\nACCOUNTTYPE:\"OFFLINE\"");
    EXPECT_EQ(ParseAccountCache(ReadAccountCache(path)).record.name, "玩家");

    DeleteAccountCache(path);
    EXPECT_FALSE(platform::IsRegularFile(path));
    DeleteAccountCache(path);  // a missing file is no error
    EXPECT_EQ(ReadAccountCache(path), "");
}

}  // namespace
}  // namespace kestrel::accounts
