// Files that cannot be written or read: every failure is a Japanese message naming the file, and
// a file that was there before a failed write is still there, byte for byte.
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QString>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/file_permissions_enforced.h"
#include "platform/image_file.h"
#include "platform/text_file.h"
#include "raster/raster_surface.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder, removed with the object.
class Folder {
public:
    Folder() {
        static std::atomic<int> counter{0};
        path_ = fs::temp_directory_path() /
                ("quendra-fault-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(path_);
    }
    ~Folder() {
        ::chmod(path_.c_str(), 0700);
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const fs::path& path() const { return path_; }
    QString file(const std::string& name) const {
        return QString::fromStdString((path_ / name).string());
    }

private:
    fs::path path_;
};

// A folder on a 64 KB file system, so that writing more than that fails for lack of room.
// Needs the right to mount; without it the test falls back to a file size limit.
class TinyDisk {
public:
    TinyDisk() { mounted_ = ::mount("tmpfs", folder_.path().c_str(), "tmpfs", 0, "size=64k") == 0; }
    ~TinyDisk() {
        if (mounted_) ::umount2(folder_.path().c_str(), MNT_DETACH);
    }
    TinyDisk(const TinyDisk&) = delete;
    TinyDisk& operator=(const TinyDisk&) = delete;

    bool mounted() const { return mounted_; }
    const Folder& folder() const { return folder_; }

private:
    Folder folder_;
    bool mounted_ = false;
};

// While it lives, no file of this process may grow past 64 KB (as if the disk were full there).
class FileSizeLimit {
public:
    FileSizeLimit() {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
        const rlimit limit{64 * 1024, saved_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

// The null and the full device as nodes in a test folder.
class Devices {
public:
    explicit Devices(const Folder& folder)
        : null_(folder.file("null")), full_(folder.file("full")) {
        made_ = ::mknod(null_.toStdString().c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
                ::mknod(full_.toStdString().c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
    }
    bool made() const { return made_; }
    const QString& null() const { return null_; }
    const QString& full() const { return full_; }
    bool intact() const { return isDevice(null_) && isDevice(full_); }

private:
    static bool isDevice(const QString& path) {
        struct stat info {};
        return ::stat(path.toStdString().c_str(), &info) == 0 && S_ISCHR(info.st_mode);
    }

    QString null_;
    QString full_;
    bool made_ = false;
};

std::string contentOf(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void put(const QString& path, const std::string& content) {
    std::ofstream(path.toStdString(), std::ios::binary) << content;
}

std::size_t entries(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// A plot of about 1 MB as a bitmap: far more than the tiny disk holds.
RasterSurface largePlot() {
    RasterSurface raster(1000, 1000);
    raster.drawCircle(500, 500, 300, 0);
    return raster;
}

const std::string kOldImage = "BM the plot saved yesterday";
const std::string kOldText = " .9  .8  .25 \r\n";

bool starts(const QString& text, const QString& part) {
    return text.startsWith(part);
}

TEST(ImageFileFault, ReadOnlyFolderKeepsTheOldFile) {
    Folder folder;
    const QString path = folder.file("星図 1.bmp");
    put(path, kOldImage);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0555), 0);
    const FilePermissionsEnforced enforced;
    if (!enforced.active()) GTEST_SKIP() << "root without the right to drop its file override";
    const QString message = ImageFile::save(largePlot(), path);
    EXPECT_TRUE(starts(message, "画像ファイル「" + path + "」を作れません（"))
        << message.toStdString();
    EXPECT_EQ(contentOf(path), kOldImage);
    EXPECT_EQ(entries(folder.path()), 1u);

    const QString fresh = folder.file("new.bmp");
    EXPECT_TRUE(starts(ImageFile::save(largePlot(), fresh), "画像ファイル「" + fresh + "」"));
    EXPECT_FALSE(QFile::exists(fresh));
}

TEST(ImageFileFault, FullDiskKeepsTheOldFile) {
    TinyDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "no right to mount; the file size limit test stands in";
    const QString path = disk.folder().file("plot.bmp");
    put(path, kOldImage);
    EXPECT_EQ(ImageFile::save(largePlot(), path),
              "画像ファイル「" + path + "」を書けません（ディスクの空きがありません）。");
    EXPECT_EQ(contentOf(path), kOldImage);
    EXPECT_EQ(entries(disk.folder().path()), 1u);  // no half-written temporary file is left
}

TEST(ImageFileFault, FileSizeLimitKeepsTheOldFile) {
    Folder folder;
    const QString path = folder.file("plot.bmp");
    put(path, kOldImage);
    QString message;
    {
        const FileSizeLimit limit;
        message = ImageFile::save(largePlot(), path);
    }
    EXPECT_EQ(message, "画像ファイル「" + path + "」を書けません（ファイルが大きすぎます）。");
    EXPECT_EQ(contentOf(path), kOldImage);
    EXPECT_EQ(entries(folder.path()), 1u);
}

TEST(ImageFileFault, SuccessfulSaveReplacesTheOldFile) {
    Folder folder;
    const QString path = folder.file("画像 保存.bmp");
    put(path, kOldImage);
    ASSERT_EQ(ImageFile::save(largePlot(), path), QString());
    const std::string saved = contentOf(path);
    EXPECT_EQ(saved.substr(0, 2), "BM");
    EXPECT_GT(saved.size(), 1'000'000u);
}

// The raster's rows are not padded to 4 bytes; the bitmap writer must not read past the last.
TEST(ImageFileFault, OddWidthPlotSavesEveryPixel) {
    Folder folder;
    RasterSurface raster(1001, 3);
    for (int i = 0; i < 1001; ++i) raster.setPixel(static_cast<float>(i), 2, i % 256);
    for (const char* name : {"odd.bmp", "odd.png"}) {
        const QString path = folder.file(name);
        ASSERT_EQ(ImageFile::save(raster, path), QString());
        const QImage saved(path);
        ASSERT_EQ(saved.size(), QSize(1001, 3));
        for (int i = 0; i < 1001; i += 100) EXPECT_EQ(qGray(saved.pixel(i, 2)), i % 256) << name;
        EXPECT_EQ(qGray(saved.pixel(1000, 2)), 1000 % 256);
        EXPECT_EQ(qGray(saved.pixel(1000, 0)), 255);
    }
}

TEST(ImageFileFault, DeviceIsWrittenNotReplaced) {
    // Replacing /dev/null by a regular file would break the system for a root user; the test
    // uses copies of the two devices in its own folder rather than the real ones.
    Folder folder;
    const Devices devices(folder);
    if (!devices.made()) GTEST_SKIP() << "no right to make device files";
    ASSERT_EQ(ImageFile::save(largePlot(), devices.null()), QString());
    EXPECT_TRUE(devices.intact());
    // A full device takes nothing: the write fails with a message, and the device stays.
    const QString message = ImageFile::save(largePlot(), devices.full());
    EXPECT_TRUE(starts(message, "画像ファイル「" + devices.full() + "」を"))
        << message.toStdString();
    EXPECT_TRUE(devices.intact());
}

TEST(TextFileFault, ReadOnlyFolderKeepsTheOldFile) {
    Folder folder;
    const QString path = folder.file("m42.txtdetail.txt");
    put(path, kOldText);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0555), 0);
    const FilePermissionsEnforced enforced;
    if (!enforced.active()) GTEST_SKIP() << "root without the right to drop its file override";
    const QString message = TextFile::write(path, "new table\r\n");
    EXPECT_TRUE(starts(message, "ファイル「" + path + "」を作れません（")) << message.toStdString();
    EXPECT_EQ(contentOf(path), kOldText);
}

TEST(TextFileFault, FullDiskOrFileSizeLimitKeepsTheOldFile) {
    TinyDisk disk;
    const std::string large(200 * 1024, '1');
    const auto expectKept = [&](const Folder& folder, const QString& message, const char* reason) {
        const QString path = folder.file("detail.txt");
        EXPECT_EQ(message, "ファイル「" + path + "」を保存できません（" + reason + "）。");
        EXPECT_EQ(contentOf(path), kOldText);
        EXPECT_EQ(entries(folder.path()), 1u);
    };
    if (disk.mounted()) {
        put(disk.folder().file("detail.txt"), kOldText);
        expectKept(disk.folder(), TextFile::write(disk.folder().file("detail.txt"), large),
                   "ディスクの空きがありません");
    }
    Folder folder;
    put(folder.file("detail.txt"), kOldText);
    QString message;
    {
        const FileSizeLimit limit;
        message = TextFile::write(folder.file("detail.txt"), large);
    }
    expectKept(folder, message, "ファイルが大きすぎます");
}

TEST(TextFileFault, DeviceIsWrittenNotReplaced) {
    Folder folder;
    const Devices devices(folder);
    if (!devices.made()) GTEST_SKIP() << "no right to make device files";
    ASSERT_EQ(TextFile::write(devices.null(), kOldText), QString());
    const QString message = TextFile::write(devices.full(), kOldText);
    EXPECT_TRUE(starts(message, "ファイル「" + devices.full() + "」を")) << message.toStdString();
    EXPECT_TRUE(devices.intact());
}

// The common faults are told in Japanese, whatever language the system speaks.
TEST(TextFileFault, MissingUnreadableOrFolder) {
    Folder folder;
    std::string content = "untouched";
    const QString missing = folder.file("消えた detail.txt");
    EXPECT_EQ(TextFile::read(missing, content),
              "ファイル「" + missing + "」を開けません（ファイルまたはフォルダがありません）。");
    const QString self = QString::fromStdString(folder.path().string());
    EXPECT_EQ(TextFile::read(self, content),
              "ファイル「" + self + "」を開けません（フォルダです）。");
    EXPECT_EQ(TextFile::write(self, "x"), "ファイル「" + self + "」を作れません（フォルダです）。");
    EXPECT_EQ(content, "untouched");

    const QString locked = folder.file("locked.txt");
    put(locked, kOldText);
    ASSERT_EQ(::chmod(locked.toStdString().c_str(), 0), 0);
    const FilePermissionsEnforced enforced;
    if (!enforced.active()) GTEST_SKIP() << "root without the right to drop its file override";
    EXPECT_EQ(TextFile::read(locked, content),
              "ファイル「" + locked + "」を開けません（アクセスする権限がありません）。");
    EXPECT_EQ(content, "untouched");
}

// A small file is read whole however it is padded; one past the limit is refused, never cut,
// and a device that never ends stops at the limit.
TEST(TextFileFault, ReadsWholeOrRefusesWithoutCutting) {
    Folder folder;
    const QString padded = folder.file("padded.txt");
    const std::string table = std::string(3 << 20, ' ') + " .9  .8  .25 \r\n";
    put(padded, table);
    std::string content;
    ASSERT_EQ(TextFile::read(padded, content), QString());
    EXPECT_EQ(content, table);

    content = "untouched";
    EXPECT_EQ(TextFile::read(padded, content, 1 << 20),
              "ファイル「" + padded + "」は大きすぎます（1048576 バイトまで）。");
    EXPECT_EQ(content, "untouched");
    const QString zero = QStringLiteral("/dev/zero");
    EXPECT_EQ(TextFile::read(zero, content, 1 << 20),
              "ファイル「/dev/zero」は大きすぎます（1048576 バイトまで）。");
    EXPECT_EQ(content, "untouched");
}

// A name with control characters reaches its file as it is and is shown escaped.
TEST(TextFileFault, NameWithControlCharacters) {
    Folder folder;
    const std::string bytes = (folder.path() / "星\x1b[31m.txt").string();
    const QString name = QFile::decodeName(QByteArray::fromStdString(bytes));
    ASSERT_EQ(TextFile::write(name, "abc"), QString());
    EXPECT_TRUE(fs::exists(bytes));
    std::string content;
    ASSERT_EQ(TextFile::read(name, content), QString());
    EXPECT_EQ(content, "abc");
    const QString missing = QFile::decodeName(QByteArray::fromStdString(bytes + "\x07"));
    EXPECT_TRUE(
        TextFile::read(missing, content).contains(QStringLiteral("星\\x1b[31m.txt\\x07」")));
}

}  // namespace
