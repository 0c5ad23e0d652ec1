#include "platform/ZipArchive.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/Files.h"
#include "support/RawZip.h"
#include "support/TempFolder.h"
#include "support/ZipWriter.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;

class ZipArchiveTest : public ::testing::Test {
protected:
    std::string Archive(const testing::RawZip& zip, const std::string& name = "a.zip") {
        return temp_.Write(name, zip.Bytes());
    }
    std::string Target() const { return temp_.path() + "/out"; }
    static std::string Read(const std::string& path) { return ReadFile(path).value_or("<missing>"); }
    // The regular files below a folder, temporary files included.
    static int FilesBelow(const std::string& folder) {
        int files = 0;
        std::error_code error;
        for (const auto& entry : fs::recursive_directory_iterator(folder, error)) {
            if (entry.is_regular_file()) ++files;
        }
        return files;
    }

    testing::TempFolder temp_;
};

TEST_F(ZipArchiveTest, ListsReadsAndUnpacksAnOrdinaryArchive) {
    const std::string path = temp_.path() + "/plain.jar";
    ASSERT_TRUE(testing::WriteZip(path, {{"META-INF/", ""}, {"install_profile.json", "{\"id\":1}"},
                                         {"lib/native.so", std::string(5000, 'n')}}));
    Result<ZipArchive> zip = ZipArchive::Open(path);
    ASSERT_TRUE(zip.ok()) << zip.error();
    ASSERT_EQ(zip->entries().size(), 3u);
    EXPECT_TRUE(zip->entries()[0].folder);
    EXPECT_EQ(zip->entries()[2].name, "lib/native.so");
    EXPECT_EQ(zip->entries()[2].size, 5000u);
    EXPECT_FALSE(zip->entries()[2].overlaps);
    EXPECT_EQ(zip.value().Read(1).value(), "{\"id\":1}");
    EXPECT_FALSE(zip.value().Read(2, 4999).ok());  // larger than asked for
    EXPECT_FALSE(zip.value().Read(0).ok());        // a folder

    ZipBudget budget(1u << 20);
    const ZipExtractReport report = zip.value().ExtractTo(Target(), budget);
    EXPECT_EQ(report.files, 2);
    EXPECT_EQ(report.folders, 1);
    EXPECT_EQ(report.skipped, 0);
    EXPECT_EQ(report.bytes, 5008u);
    EXPECT_EQ(budget.left(), (1u << 20) - 5008u);
    EXPECT_EQ(Read(Target() + "/lib/native.so"), std::string(5000, 'n'));
    EXPECT_EQ(FilesBelow(Target()), 2);  // no temporary file stays behind
}

// Four central records of one large entry: without the overlap check the
// archive would unpack its one entry four times.
TEST_F(ZipArchiveTest, EntriesSharingCompressedBytesAreRefused) {
    testing::RawZip zip;
    const std::size_t bomb = zip.Add("a.so", std::string(1 << 20, '\0'));
    zip.Record(bomb, "b.so");
    zip.Record(bomb, "c.so");
    zip.Add("fine.so", "fine");
    zip.Record(bomb, "d.so");
    Result<ZipArchive> archive = ZipArchive::Open(Archive(zip));
    ASSERT_TRUE(archive.ok()) << archive.error();
    ASSERT_EQ(archive->entries().size(), 5u);
    for (const ZipEntry& entry : archive->entries()) EXPECT_EQ(entry.overlaps, entry.name != "fine.so") << entry.name;
    EXPECT_FALSE(archive.value().Read(0).ok());

    ZipBudget budget(std::uint64_t{1} << 30);
    const ZipExtractReport report = archive.value().ExtractTo(Target(), budget);
    EXPECT_EQ(report.files, 1);
    EXPECT_EQ(report.skipped, 4);
    EXPECT_EQ(report.bytes, 4u);
    EXPECT_EQ(FilesBelow(Target()), 1);
}

// The caps count inflated bytes: per entry, per archive, and over a budget
// that several archives share.
TEST_F(ZipArchiveTest, UnpackingStopsAtTheEntryArchiveAndBudgetCaps) {
    testing::RawZip zip;
    zip.Add("big.so", std::string(700, 'b'));
    zip.Add("one.so", std::string(400, '1'));
    zip.Add("two.so", std::string(400, '2'), /*deflate=*/false);
    zip.Add("three.so", std::string(400, '3'));
    const std::string path = Archive(zip);
    const ZipLimits limits{/*max_entry_bytes=*/600, /*max_archive_bytes=*/1000};

    {
        Result<ZipArchive> archive = ZipArchive::Open(path, limits);
        ASSERT_TRUE(archive.ok());
        ZipBudget budget(1u << 20);
        const ZipExtractReport report = archive.value().ExtractTo(Target() + "/alone", budget);
        EXPECT_EQ(report.files, 2);    // one, two
        EXPECT_EQ(report.skipped, 2);  // big over the entry cap, three over the archive cap
        EXPECT_EQ(report.bytes, 800u);
        EXPECT_FALSE(fs::exists(Target() + "/alone/big.so"));
        EXPECT_FALSE(fs::exists(Target() + "/alone/three.so"));
        EXPECT_EQ(FilesBelow(Target() + "/alone"), 2);
    }
    // A budget of 1000 shared by two unpackings of the same archive.
    ZipBudget shared(1000);
    int files = 0;
    for (const char* folder : {"/first", "/second"}) {
        Result<ZipArchive> archive = ZipArchive::Open(path, limits);
        ASSERT_TRUE(archive.ok());
        files += archive.value().ExtractTo(Target() + folder, shared).files;
    }
    EXPECT_EQ(files, 2);
    EXPECT_EQ(shared.left(), 200u);
}

TEST_F(ZipArchiveTest, DamagedEntriesLeaveNoFileAndHostileNamesAreRefused) {
    testing::RawZip zip;
    zip.Add("crc.so", std::string(3000, 'c'), true, /*bad_crc=*/true);
    zip.Add("stored-crc.so", "stored", false, /*bad_crc=*/true);
    for (const char* name : {"../up.so", "a/../../up.so", "..\\up.so", "/abs.so", "\\abs.so", "C:drive.so",
                             "x.so:stream", ""}) {
        zip.Add(name, "x");
    }
    zip.Add("./a/./ok.so", "ok");
    Result<ZipArchive> archive = ZipArchive::Open(Archive(zip, "deep/z.zip"));
    ASSERT_TRUE(archive.ok());
    ZipBudget budget(1u << 20);
    const ZipExtractReport report = archive.value().ExtractTo(temp_.path() + "/deep/out", budget);
    EXPECT_EQ(report.files, 1);
    EXPECT_EQ(report.skipped, 10);
    EXPECT_EQ(Read(temp_.path() + "/deep/out/a/ok.so"), "ok");
    EXPECT_EQ(FilesBelow(temp_.path() + "/deep/out"), 1);
    EXPECT_FALSE(fs::exists(temp_.path() + "/deep/up.so"));
    EXPECT_FALSE(fs::exists(temp_.path() + "/up.so"));
}

// A symbolic link below the target is never followed: a folder link in the
// way becomes a real folder, and a file link is replaced, not written
// through. The target folder itself may be a link.
TEST_F(ZipArchiveTest, LinksBelowTheTargetAreNotFollowed) {
    const std::string outside = temp_.MakeFolder("outside");
    const std::string victim = temp_.Write("outside/victim.so", "keep");
    const std::string real_target = temp_.MakeFolder("real-out");
    fs::create_directory_symlink(real_target, Target());
    fs::create_directory_symlink(outside, real_target + "/dirlink");
    fs::create_symlink(victim, real_target + "/lib.so");
    testing::RawZip zip;
    zip.Add("dirlink/x.so", "x");
    zip.Add("lib.so", "new");
    zip.Add("dirlink/", "");
    Result<ZipArchive> archive = ZipArchive::Open(Archive(zip));
    ASSERT_TRUE(archive.ok());
    ZipBudget budget(1u << 20);
    const ZipExtractReport report = archive.value().ExtractTo(Target(), budget);
    EXPECT_EQ(report.files, 2);
    EXPECT_EQ(report.skipped, 0);
    EXPECT_EQ(Read(victim), "keep");
    EXPECT_FALSE(fs::exists(outside + "/x.so"));
    EXPECT_FALSE(fs::is_symlink(real_target + "/dirlink"));
    EXPECT_FALSE(fs::is_symlink(real_target + "/lib.so"));
    EXPECT_EQ(Read(real_target + "/dirlink/x.so"), "x");
    EXPECT_EQ(Read(real_target + "/lib.so"), "new");
}

TEST_F(ZipArchiveTest, WhatIsNoRegularZipFileFailsAtOnce) {
    // A FIFO would block a reader that opens it before looking at its type.
    const std::string fifo = temp_.path() + "/fifo.jar";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string garbage = temp_.Write("garbage.jar", "PK\3\4 not a zip");
    for (const std::string& path : {fifo, garbage, temp_.path() + "/missing.jar", temp_.path()}) {
        const Result<ZipArchive> archive = ZipArchive::Open(path);
        EXPECT_FALSE(archive.ok()) << path;
        EXPECT_NE(archive.error().find(path), std::string::npos);
    }
}

}  // namespace
}  // namespace kestrel::platform
