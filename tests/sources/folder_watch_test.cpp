#include "sources/folder_watch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "plot/temp_file.h"
#include "sources/input_folder.h"

namespace {

using namespace std::chrono_literals;
using Clock = FolderWatch::Clock;

class Watched : public ::testing::Test {
protected:
    std::string at(const std::string& name) const { return (dir / name).string(); }
    void put(const std::string& name, const std::string& content, bool append = false) {
        std::ofstream(dir / name, std::ios::binary | (append ? std::ios::app : std::ios::trunc))
            << content;
    }
    std::vector<std::string> poll(Clock::duration since) {
        Result<std::vector<std::string>> found = watch.poll(start + since);
        EXPECT_TRUE(found.done());
        return found.done() ? found.value() : std::vector<std::string>{};
    }

    TempFile folder{"", "readme.md"};
    std::filesystem::path dir = folder.folder();
    FolderWatch watch{dir.string()};
    Clock::time_point start = Clock::now();
};

TEST(InputFolder, TakesTheFramesOfAFolderByNameInOrder) {
    TempFile folder("", "readme.md");
    const std::filesystem::path dir = folder.folder();
    for (const char* name :
         {"b.FITS", "a.txt", "c.fits.gz", "d.CR2", "notes.csv", ".e.fits", "f.reg", "g.cat"}) {
        std::ofstream(dir / name) << "x";
    }
    std::filesystem::create_directories(dir / InputFolder::kRejected);
    std::ofstream(dir / InputFolder::kRejected / "h.fits") << "x";
    const Result<std::vector<std::string>> listed = InputFolder::list(dir.string());
    ASSERT_TRUE(listed.done());
    std::vector<std::string> names;
    for (const std::string& path : listed.value()) {
        names.push_back(std::filesystem::path(path).filename().string());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.FITS", "c.fits.gz", "d.CR2", "g.cat"}));
    EXPECT_FALSE(InputFolder::list((dir / "missing").string()).done());
}

// A frame is complete once neither its size nor its time has changed for the settle time; an
// empty one is still being made. Each is handed out once, also when it leaves and comes back.
TEST_F(Watched, HandsOutEachFrameOnceItHasSettled) {
    put("a.fits", "half");
    put("b.fits", "");
    put("notes.csv", "no frame");
    EXPECT_TRUE(poll(0ms).empty());
    EXPECT_TRUE(poll(900ms).empty());
    put("a.fits", " and the rest", true);
    EXPECT_TRUE(poll(1200ms).empty());  // it grew: a second from now
    EXPECT_TRUE(poll(2100ms).empty());
    EXPECT_EQ(poll(2200ms), std::vector<std::string>{at("a.fits")});
    EXPECT_TRUE(poll(5000ms).empty());  // b.fits is still empty

    put("c.fits", "written at once");
    watch.skip(at("d.fits"));
    put("d.fits", "put back by the caller");
    EXPECT_TRUE(poll(5100ms).empty());
    EXPECT_EQ(poll(6100ms), std::vector<std::string>{at("c.fits")});

    std::filesystem::rename(at("a.fits"), at("moved.txt.part"));
    EXPECT_TRUE(poll(6200ms).empty());
    std::filesystem::rename(at("moved.txt.part"), at("a.fits"));
    EXPECT_TRUE(poll(6300ms).empty());
    EXPECT_TRUE(poll(9000ms).empty());
}

}  // namespace
