#include "launch/LegacyAssets.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "launch/GameFolder.h"
#include "launch/SafeNames.h"
#include "platform/Files.h"

namespace kestrel::launch {
namespace {

using testing::GameFolder;
namespace fs = std::filesystem;

TEST(SafeNames, NamesFromTheNetworkThatCouldLeaveTheirFolderAreRefused) {
    struct Case {
        std::string name;
        bool asset_name, file_id;
    };
    using namespace std::string_literals;
    const std::vector<Case> cases = {
        {"minecraft/sounds/ambient/cave/cave1.ogg", true, false},
        {"READ_ME_I_AM_VERY_IMPORTANT.txt", true, true},
        {"client-1.12.xml", true, true},
        {"sound3/damage/hurt1.ogg", true, false},
        {"", false, false},
        {"/etc/passwd", false, false},
        {"../../escape.ogg", false, false},
        {"music/../../../escape.ogg", false, false},
        {"a/..", false, false},
        {"..", false, false},
        {"a..b", false, false},  // any "..": no real name has one
        {"sounds\\..\\..\\escape.ogg", false, false},
        {"a\\b", false, false},
        {"C:/Windows/win.ini", false, false},
        {"c:escape", false, false},
        {"a\0b"s, false, false},
        {"a\nb", false, false},
        {"a\rb", false, false},
        {"a//b", false, false},
        {"a/./b", false, false},
        {"./a", false, false},
        {"a/", false, false},
        {".", false, false},
        {"名字/声音.ogg", true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(!AssetNamePieces(c.name).empty(), c.asset_name) << c.name;
        EXPECT_EQ(IsSafeFileId(c.name), c.file_id) << c.name;
    }
    EXPECT_EQ(AssetNamePieces("minecraft/sounds/a.ogg"), (std::vector<std::string>{"minecraft", "sounds", "a.ogg"}));

    const std::string good = "bdf48ef6b5d0d23bbb02e17d04865216179f510a";
    EXPECT_TRUE(IsObjectHash(good));
    const std::vector<std::string> bad_hashes = {"BDF48EF6B5D0D23BBB02E17D04865216179F510A", good.substr(1),
                                                 good + "0", "../f48ef6b5d0d23bbb02e17d04865216179f510a",
                                                 "gdf48ef6b5d0d23bbb02e17d04865216179f510a", ""};
    for (const std::string& bad : bad_hashes) {
        EXPECT_FALSE(IsObjectHash(bad)) << bad;
    }
}

TEST(AssetIndex, ReadsTheFlagsAndRefusesEntriesItCannotUseByName) {
    const std::string hash = "bdf48ef6b5d0d23bbb02e17d04865216179f510a";
    const auto index = AssetIndex::Parse(R"({"virtual":true,"map_to_resources":"true","objects":{
        "a/ok.ogg":{"hash":")" + hash + R"(","size":5},
        "../up.ogg":{"hash":")" + hash + R"(","size":5},
        "upper.ogg":{"hash":"BDF48EF6B5D0D23BBB02E17D04865216179F510A","size":5},
        "number-hash.ogg":{"hash":1,"size":5},
        "negative.ogg":{"hash":")" + hash + R"(","size":-1},
        "real.ogg":{"hash":")" + hash + R"(","size":1.5},
        "text-size.ogg":{"hash":")" + hash + R"(","size":"5"},
        "no-size.ogg":{"hash":")" + hash + R"("},
        "not-an-object.ogg":")" + hash + R"(",
        "empty.ogg":{"hash":")" + hash + R"(","size":0}}})",
                                         "legacy.json");
    ASSERT_TRUE(index.ok()) << index.error();
    EXPECT_TRUE(index->is_virtual);
    EXPECT_FALSE(index->map_to_resources);  // only a JSON true counts
    ASSERT_EQ(index->objects.size(), 2u);
    EXPECT_EQ(index->objects[0].name, "a/ok.ogg");
    EXPECT_EQ(index->objects[0].size, 5u);
    EXPECT_EQ(index->objects[1].name, "empty.ogg");
    const std::vector<std::string> errors = {
        std::string(kErrorUnsafeAssetName) + "../up.ogg",
        std::string(kErrorBadAssetEntry) + "upper.ogg",
        std::string(kErrorBadAssetEntry) + "number-hash.ogg",
        std::string(kErrorBadAssetEntry) + "negative.ogg",
        std::string(kErrorBadAssetEntry) + "real.ogg",
        std::string(kErrorBadAssetEntry) + "text-size.ogg",
        std::string(kErrorBadAssetEntry) + "no-size.ogg",
        std::string(kErrorBadAssetEntry) + "not-an-object.ogg",
    };
    EXPECT_EQ(index->errors, errors);

    for (const std::string text : {"", "{", "[]", "null", "\"objects\""}) {
        EXPECT_EQ(AssetIndex::Parse(text, "x.json").error(), std::string(kErrorAssetIndex) + "x.json") << text;
    }
    EXPECT_EQ(AssetIndex::Read("/nonexistent/legacy.json").error(),
              std::string(kErrorAssetIndex) + "/nonexistent/legacy.json");
    const auto plain = AssetIndex::Parse(R"({"objects":{}})", "1.19.json");
    ASSERT_TRUE(plain.ok());
    EXPECT_FALSE(plain->is_virtual || plain->map_to_resources);
}

class LegacyAssetsTest : public ::testing::Test {
protected:
    // An index entry for an object of these bytes.
    std::string Entry(const std::string& name, const std::string& bytes) {
        const std::string hash = game_.AssetObject(bytes);
        return "\"" + name + "\":{\"hash\":\"" + hash + "\",\"size\":" + std::to_string(bytes.size()) + "}";
    }
    AssetIndex Index(const std::vector<std::string>& entries) const {
        std::string text = R"({"virtual":true,"objects":{)";
        for (std::size_t i = 0; i < entries.size(); ++i) text += (i ? "," : "") + entries[i];
        const auto index = AssetIndex::Parse(text + "}}", "legacy.json");
        EXPECT_TRUE(index.ok()) << text;
        return index.ok() ? *index : AssetIndex{};
    }
    std::string Read(const std::string& path) const { return platform::ReadFile(path).value_or("<missing>"); }
    // Everything below a folder (links are not followed), as relative paths.
    static std::vector<std::string> Files(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            names.push_back(fs::relative(entry.path(), folder).string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    GameFolder game_;
    std::string target_ = game_.path() + "/assets/virtual/legacy";
    LegacyAssets assets_{game_.path()};
};

TEST_F(LegacyAssetsTest, MakesMissingAndWrongSizedCopiesAndKeepsTheRest) {
    const AssetIndex index = Index({Entry("sounds/a.ogg", "sound a"), Entry("sounds/deep/b.ogg", "sound b"),
                                    Entry("c.txt", "text c"), Entry("same.ogg", "sound a"), Entry("zero", "")});
    game_.File("assets/virtual/legacy/c.txt", "cut");          // wrong size: made again
    game_.File("assets/virtual/legacy/same.ogg", "SOUND A");    // right size: kept, not read
    LegacyCopyReport report = assets_.Recreate(index, target_);
    EXPECT_EQ(report.errors, std::vector<std::string>{});
    EXPECT_EQ(report.copied, 4);
    EXPECT_EQ(report.kept, 1);
    EXPECT_EQ(Read(target_ + "/sounds/a.ogg"), "sound a");
    EXPECT_EQ(Read(target_ + "/sounds/deep/b.ogg"), "sound b");
    EXPECT_EQ(Read(target_ + "/c.txt"), "text c");
    EXPECT_EQ(Read(target_ + "/same.ogg"), "SOUND A");
    EXPECT_EQ(Read(target_ + "/zero"), "");
    // Nothing is left under a temporary name, and a second run copies nothing.
    EXPECT_EQ(Files(target_), (std::vector<std::string>{"c.txt", "same.ogg", "sounds", "sounds/a.ogg",
                                                        "sounds/deep", "sounds/deep/b.ogg", "zero"}));
    report = assets_.Recreate(index, target_);
    EXPECT_EQ(report.copied, 0);
    EXPECT_EQ(report.kept, 5);

    // The index file itself, read from disk.
    fs::remove(target_ + "/sounds/a.ogg");
    const std::string path = game_.File("assets/indexes/legacy.json",
                                        R"({"virtual":true,"objects":{)" + Entry("sounds/a.ogg", "sound a") + "}}");
    report = assets_.Recreate(path, target_);
    EXPECT_EQ(report.copied, 1);
    EXPECT_EQ(Read(target_ + "/sounds/a.ogg"), "sound a");
    report = assets_.Recreate(game_.path() + "/assets/indexes/missing.json", target_);
    EXPECT_EQ(report.copied + report.kept, 0);
    EXPECT_EQ(report.errors,
              std::vector<std::string>{std::string(kErrorAssetIndex) + game_.path() + "/assets/indexes/missing.json"});
}

TEST_F(LegacyAssetsTest, MissingOrDamagedObjectsAndHostileNamesAreSkippedWithAnError) {
    const std::string good = Entry("good.ogg", "good");
    const std::string damaged_hash = game_.AssetObject("damaged");
    const std::string missing = "\"missing.ogg\":{\"hash\":\"" + std::string(40, 'f') + "\",\"size\":3}";
    const std::string damaged = "\"damaged.ogg\":{\"hash\":\"" + damaged_hash + "\",\"size\":99}";
    const AssetIndex index = Index({missing, damaged, Entry("../../escape.ogg", "evil"),
                                    Entry("/tmp/absolute.ogg", "evil"), Entry("sub\\\\..\\\\..\\\\back.ogg", "evil"),
                                    good});
    const LegacyCopyReport report = assets_.Recreate(index, target_);
    EXPECT_EQ(report.copied, 1);
    const std::vector<std::string> errors = {
        std::string(kErrorUnsafeAssetName) + "../../escape.ogg",
        std::string(kErrorUnsafeAssetName) + "/tmp/absolute.ogg",
        std::string(kErrorUnsafeAssetName) + "sub\\..\\..\\back.ogg",
        std::string(kErrorAssetObjectMissing) + "missing.ogg",
        std::string(kErrorAssetObjectMissing) + "damaged.ogg",
    };
    EXPECT_EQ(report.errors, errors);
    EXPECT_EQ(Files(target_), std::vector<std::string>{"good.ogg"});
    EXPECT_FALSE(fs::exists(game_.path() + "/assets/escape.ogg"));
    EXPECT_FALSE(fs::exists("/tmp/absolute.ogg"));
}

TEST_F(LegacyAssetsTest, LinksBelowTheTargetAreReplacedNotFollowed) {
    const std::string outside = game_.root() + "/outside";
    game_.File("../outside/keep.ogg", "precious");
    fs::create_directories(target_);
    // A link where a folder goes, and a link where a file goes, both to
    // files outside the target.
    fs::create_directory_symlink(outside, target_ + "/sounds");
    fs::create_symlink(outside + "/keep.ogg", target_ + "/file.ogg");
    // A folder where a file goes cannot be replaced: that copy fails alone.
    fs::create_directories(target_ + "/folder.ogg/inside");
    const AssetIndex index = Index({Entry("sounds/keep.ogg", "new data"), Entry("file.ogg", "replaced"),
                                    Entry("folder.ogg", "x"), Entry("after.ogg", "after")});
    const LegacyCopyReport report = assets_.Recreate(index, target_);
    EXPECT_EQ(report.copied, 3);
    ASSERT_EQ(report.errors.size(), 1u);
    EXPECT_TRUE(report.errors[0].starts_with(std::string(kErrorAssetCopy) + "folder.ogg")) << report.errors[0];
    EXPECT_EQ(Read(outside + "/keep.ogg"), "precious");
    EXPECT_EQ(Files(outside), std::vector<std::string>{"keep.ogg"});
    EXPECT_FALSE(fs::is_symlink(target_ + "/sounds"));
    EXPECT_FALSE(fs::is_symlink(target_ + "/file.ogg"));
    EXPECT_EQ(Read(target_ + "/sounds/keep.ogg"), "new data");
    EXPECT_EQ(Read(target_ + "/file.ogg"), "replaced");
    EXPECT_EQ(Read(target_ + "/after.ogg"), "after");
    EXPECT_EQ(Files(target_ + "/folder.ogg"), std::vector<std::string>{"inside"});
}

TEST_F(LegacyAssetsTest, AFifoInAnObjectsPlaceIsRefusedWithoutBlocking) {
    const std::string hash(40, 'e');
    fs::create_directories(game_.path() + "/assets/objects/ee");
    ASSERT_EQ(::mkfifo((game_.path() + "/assets/objects/ee/" + hash).c_str(), 0644), 0);
    const AssetIndex index = Index({"\"fifo.ogg\":{\"hash\":\"" + hash + "\",\"size\":0}"});
    const LegacyCopyReport report = assets_.Recreate(index, target_);
    EXPECT_EQ(report.copied, 0);
    EXPECT_EQ(report.errors, std::vector<std::string>{std::string(kErrorAssetObjectMissing) + "fifo.ogg"});
}

}  // namespace
}  // namespace kestrel::launch
