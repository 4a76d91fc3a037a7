// The outputs' one way of writing a file: the whole new file or the old one, never a half.
#include "output/output_file.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "plot/temp_file.h"

namespace {

namespace fs = std::filesystem;

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t entries(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(OutputFile, TheOldFileStaysUntilTheNewOneIsWholeAndKeepsItsMode) {
    TempFile old("the table of yesterday", "stars.csv");
    ::chmod(old.path().c_str(), 0640);
    {
        OutputFile file(old.path(), "星の一覧");
        ASSERT_TRUE(file.open().done());
        file.write("index,area\n");
        file.write("1,400\n");
        // Written beside its target under another name; the target is untouched.
        EXPECT_EQ(contentOf(old.path()), "the table of yesterday");
        EXPECT_EQ(entries(old.folder()), 2u);
        ASSERT_TRUE(file.commit().done());
    }
    EXPECT_EQ(contentOf(old.path()), "index,area\n1,400\n");
    EXPECT_EQ(entries(old.folder()), 1u);
    struct stat info {};
    ASSERT_EQ(::stat(old.path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(OutputFile, AFileNotCommittedOrThatCannotBeWrittenLeavesTheOldOneAlone) {
    TempFile old("the table of yesterday", "stars.csv");
    {
        OutputFile stopped(old.path(), "星の一覧");
        ASSERT_TRUE(stopped.open().done());
        stopped.write("half a table");
    }  // a stopped run: never committed
    EXPECT_EQ(contentOf(old.path()), "the table of yesterday");
    EXPECT_EQ(entries(old.folder()), 1u);

    // Past the file size limit: the write fails (the signal ignored, as the programs do), the
    // commit says so and names the file.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit small{1024, saved.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    OutputFile tooLarge(old.path(), "星の一覧");
    const bool opened = tooLarge.open().done();
    tooLarge.write(std::string(1 << 20, 'x'));
    const Result<> committed = tooLarge.commit();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(committed.faulted());
    EXPECT_EQ(committed.fault().message,
              "星の一覧「" + old.path() + "」を書けません（ファイルが大きすぎます）。");
    EXPECT_EQ(contentOf(old.path()), "the table of yesterday");
    EXPECT_EQ(entries(old.folder()), 1u);

    // A folder that is not there: the fault names the target, not a temporary name.
    OutputFile nowhere((old.folder() / "missing" / "stars.csv").string(), "星の一覧");
    const Result<> missing = nowhere.open();
    ASSERT_TRUE(missing.faulted());
    EXPECT_NE(missing.fault().message.find("missing/stars.csv」を作れません"), std::string::npos)
        << missing.fault().message;
}

TEST(OutputFile, DevicesAreWrittenInPlace) {
    ASSERT_TRUE(OutputFile::isDevice("/dev/null"));
    EXPECT_FALSE(OutputFile::isDevice("/tmp"));
    OutputFile device("/dev/null", "星の一覧");
    ASSERT_TRUE(device.open().done());
    device.write("rows");
    EXPECT_TRUE(device.commit().done());
    EXPECT_TRUE(OutputFile::isDevice("/dev/null"));  // still the device, not a file in its place
}

TEST(OutputFile, ALinkLeadsToTheFileItNamesWhichIsReplacedWithTheLinkKept) {
    const TempFile folder("");
    const fs::path dir = folder.folder();
    fs::create_symlink("chain", dir / "link");
    fs::create_symlink("target.txt", dir / "chain");  // a target not there yet
    OutputFile file((dir / "link").string(), "星の一覧");
    ASSERT_TRUE(file.open().done());
    file.write("new");
    ASSERT_TRUE(file.commit().done());
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_TRUE(fs::is_symlink(dir / "chain"));
    EXPECT_EQ(contentOf((dir / "target.txt").string()), "new");
    // The process's own descriptors are devices whatever they lead to: never replaced.
    EXPECT_TRUE(OutputFile::isDevice("/dev/stdout"));
    EXPECT_TRUE(OutputFile::isDevice("/proc/self/fd/2"));
}

}  // namespace
