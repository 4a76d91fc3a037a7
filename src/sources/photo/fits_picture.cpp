#include "sources/photo/fits_picture.h"

#include <fitsio.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>
#include <vector>

#include "sources/photo/photo_messages.h"
#include "sources/photo/picture_memory.h"
#include "sources/photo/reading_start.h"

namespace {

// Rows read at a time: the unit of progress and of cancelling.
constexpr long kStripRows = 64;

// One open FITS file, closed with the object.
class FitsHandle {
public:
    FitsHandle() = default;
    ~FitsHandle() {
        int ignored = 0;
        if (file_ != nullptr) fits_close_file(file_, &ignored);
    }
    FitsHandle(const FitsHandle&) = delete;
    FitsHandle& operator=(const FitsHandle&) = delete;

    // The name is taken as it is: no CFITSIO filename syntax ("[1]", "!", ...).
    bool open(const std::string& path) {
        return fits_open_diskfile(&file_, path.c_str(), READONLY, &status_) == 0;
    }
    bool moveTo(int hdu) {
        int type = 0;
        return fits_movabs_hdu(file_, hdu, &type, &status_) == 0;
    }
    fitsfile* get() const { return file_; }
    int& status() { return status_; }

private:
    fitsfile* file_ = nullptr;
    int status_ = 0;
};

// Where the image is and how its samples read.
struct Layout {
    int hdu = 0;
    long width = 0;
    long height = 0;
    int planes = 1;
    bool topDown = false;  // ROWORDER = 'TOP-DOWN': the file's first row is the top one
    std::optional<double> saturation;
};

enum class Search { Found, None, BadSide, Damaged };

std::string cfitsioDetail(int status) {
    char text[FLEN_STATUS] = {};
    fits_get_errstatus(status, text);
    return "CFITSIO: " + std::string(text);
}

bool isImage(int naxis, const long* axes) {
    return naxis == 2 || (naxis == 3 && (axes[2] == 1 || axes[2] == 3));
}

Search findImage(FitsHandle& file, Layout& layout) {
    for (int hdu = 1;; ++hdu) {
        if (!file.moveTo(hdu)) return file.status() == END_OF_FILE ? Search::None : Search::Damaged;
        int type = 0;
        int bitpix = 0;
        int naxis = 0;
        long axes[3] = {0, 0, 0};
        fits_get_hdu_type(file.get(), &type, &file.status());
        if (type != IMAGE_HDU) continue;
        if (fits_get_img_param(file.get(), 3, &bitpix, &naxis, axes, &file.status()) != 0) {
            return Search::Damaged;
        }
        if (!isImage(naxis, axes)) continue;
        layout = {hdu, axes[0], axes[1], naxis == 3 ? static_cast<int>(axes[2]) : 1, true, {}};
        const auto sideFits = [](long side) {
            return side >= 1 && side <= GreyImage::kLargestSide;
        };
        return sideFits(layout.width) && sideFits(layout.height) ? Search::Found : Search::BadSide;
    }
}

std::optional<double> readNumber(FitsHandle& file, const char* key) {
    double value = 0;
    int status = 0;
    if (fits_read_key(file.get(), TDOUBLE, key, &value, nullptr, &status) != 0) return {};
    return value;
}

bool isTopDown(FitsHandle& file) {
    char value[FLEN_VALUE] = {};
    int status = 0;
    if (fits_read_key(file.get(), TSTRING, "ROWORDER", value, nullptr, &status) != 0) return false;
    std::string order(value);
    order.erase(order.find_last_not_of(' ') + 1);
    std::transform(order.begin(), order.end(), order.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return order == "TOP-DOWN";
}

// The largest value an integer sample holds, less 0.5; none for floating-point or scaled
// samples, whose values are not whole numbers.
std::optional<double> typeSaturation(FitsHandle& file) {
    int bitpix = 0;
    int status = 0;
    fits_get_img_type(file.get(), &bitpix, &status);
    const double scale = readNumber(file, "BSCALE").value_or(1.0);
    const double zero = readNumber(file, "BZERO").value_or(0.0);
    if (status != 0 || bitpix < 0 || scale != 1.0 || zero != std::floor(zero)) return {};
    double largest = 0;
    switch (bitpix) {
        case BYTE_IMG:
            largest = 255;
            break;
        case SHORT_IMG:
            largest = 32767;
            break;
        case LONG_IMG:
            largest = 2147483647.0;
            break;
        default:
            largest = 9223372036854775807.0;
            break;
    }
    return largest + zero - 0.5;
}

std::optional<std::string> readText(FitsHandle& file, const char* key) {
    char value[FLEN_VALUE] = {};
    int status = 0;
    if (fits_read_key(file.get(), TSTRING, key, value, nullptr, &status) != 0) return {};
    std::string text(value);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::optional<double> readPositive(FitsHandle& file, const char* key, const char* otherKey) {
    for (const char* name : {key, otherKey}) {
        const std::optional<double> value = readNumber(file, name);
        if (value && std::isfinite(*value) && *value >= 0) return value;
    }
    return {};
}

FrameFacts readFacts(FitsHandle& file) {
    FrameFacts facts;
    facts.camera = readText(file, "INSTRUME").value_or("");
    facts.exposure = readPositive(file, "EXPTIME", "EXPOSURE");
    facts.iso = readPositive(file, "ISOSPEED", "GAIN");
    facts.taken = readText(file, "DATE-OBS").value_or("");
    return facts;
}

void readKeys(FitsHandle& file, Layout& layout) {
    layout.topDown = isTopDown(file);
    const std::optional<double> saturate = readNumber(file, "SATURATE");
    layout.saturation = saturate && std::isfinite(*saturate) ? saturate : typeSaturation(file);
}

// Reads rows [first, last) of the image into the picture; false on a read error, or when stop
// was set.
bool readRows(FitsHandle& file, const Layout& layout, long first, long last, GreyImage& image,
              const std::atomic<bool>& stop, std::atomic<long>& rowsDone) {
    const auto width = static_cast<std::size_t>(layout.width);
    std::vector<double> planes;
    if (layout.planes == 3) planes.resize(3 * width * kStripRows);
    for (long row = first; row < last; row += kStripRows) {
        if (stop.load(std::memory_order_relaxed)) return false;
        const long rows = std::min(kStripRows, last - row);
        const auto count = static_cast<LONGLONG>(width) * rows;
        float* target = image.pixels.get() + static_cast<std::size_t>(row) * width;
        long start[3] = {1, row + 1, 1};
        if (layout.planes == 1) {
            float blank = std::numeric_limits<float>::quiet_NaN();
            int anyBlank = 0;
            if (fits_read_pix(file.get(), TFLOAT, start, count, &blank, target, &anyBlank,
                              &file.status()) != 0) {
                return false;
            }
        } else {
            double blank = std::numeric_limits<double>::quiet_NaN();
            int anyBlank = 0;
            for (long plane = 0; plane < 3; ++plane) {
                start[2] = plane + 1;
                double* into = planes.data() + static_cast<std::size_t>(plane * count);
                if (fits_read_pix(file.get(), TDOUBLE, start, count, &blank, into, &anyBlank,
                                  &file.status()) != 0) {
                    return false;
                }
            }
            const auto n = static_cast<std::size_t>(count);
            for (std::size_t i = 0; i < n; ++i) {
                target[i] = static_cast<float>((planes[i] + planes[n + i] + planes[2 * n + i]) / 3);
            }
        }
        rowsDone.fetch_add(rows, std::memory_order_relaxed);
    }
    return true;
}

bool isGzip(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    unsigned char magic[2] = {0, 0};
    const bool gzip = std::fread(magic, 1, 2, file) == 2 && magic[0] == 0x1F && magic[1] == 0x8B;
    std::fclose(file);
    return gzip;
}

// The second half of the rows on a file handle of its own, on a thread of the budget.
class SecondHalf {
public:
    SecondHalf(const std::string& path, const Layout& layout, long first, GreyImage& image,
               const std::atomic<bool>& stop, std::atomic<long>& rowsDone, ThreadBudget& threads)
        : thread_(threads.start([&, first] {
              try {
                  ok_ = file_.open(path) && file_.moveTo(layout.hdu) &&
                        readRows(file_, layout, first, layout.height, image, stop, rowsDone);
              } catch (const std::bad_alloc&) {
                  ok_ = false;
              }
          })) {}
    ~SecondHalf() { join(); }
    SecondHalf(const SecondHalf&) = delete;
    SecondHalf& operator=(const SecondHalf&) = delete;

    // False when no thread was free: the rows are the caller's to read.
    bool started() const { return thread_.started(); }
    bool join() {
        thread_.join();
        return ok_;
    }

private:
    FitsHandle file_;
    bool ok_ = false;
    ThreadBudget::Thread thread_;
};

Result<> readImage(const std::string& path, FitsHandle& file, const Layout& layout,
                   GreyImage& image, RunMonitor* monitor, ThreadBudget* threads) {
    std::atomic<bool> stop{false};
    std::atomic<long> rowsDone{0};
    // Decompressing a gzip stream twice would cost more than a second core gives back.
    long half = layout.height;
    std::optional<SecondHalf> second;
    if (threads != nullptr && layout.height >= 2 * kStripRows && !isGzip(path)) {
        second.emplace(path, layout, layout.height / 2, image, stop, rowsDone, *threads);
        if (second->started()) {
            half = layout.height / 2;
        } else {
            second.reset();
        }
    }
    bool ok = true;
    bool cancelled = false;
    for (long row = 0; ok && row < half; row += kStripRows) {
        if (monitor != nullptr &&
            !monitor->proceed(PhotoMessages::kReadingStage, rowsDone.load(), layout.height)) {
            cancelled = true;
            break;
        }
        ok = readRows(file, layout, row, std::min(half, row + kStripRows), image, stop, rowsDone);
    }
    if (!ok || cancelled) stop = true;
    const bool secondOk = !second || second->join();
    if (cancelled) return Cancelled{};
    if (!ok || !secondOk) return Fault{PhotoMessages::damaged(path), cfitsioDetail(file.status())};
    return {};
}

// Rows stored downward, turned to run upward as the picture is kept.
void turnOver(GreyImage& image) {
    const auto width = static_cast<std::ptrdiff_t>(image.width);
    float* pixels = image.pixels.get();
    for (int low = 0, high = image.height - 1; low < high; ++low, --high) {
        std::swap_ranges(pixels + low * width, pixels + (low + 1) * width, pixels + high * width);
    }
}

}  // namespace

Result<> FitsPicture::read(const std::string& path, GreyImage& image, RunMonitor* monitor,
                           ThreadBudget* threads, FrameFacts* facts) {
    if (Result<> start = startReading(path, monitor); !start.done()) return start;
    FitsHandle file;
    Layout layout;
    const Search search = file.open(path) ? findImage(file, layout) : Search::Damaged;
    switch (search) {
        case Search::Found:
            break;
        case Search::None:
            return Fault{PhotoMessages::noImage(path), {}};
        case Search::BadSide:
            return Fault{PhotoMessages::badSide(path, layout.width, layout.height), {}};
        case Search::Damaged:
            return Fault{PhotoMessages::damaged(path), cfitsioDetail(file.status())};
    }
    readKeys(file, layout);
    if (facts != nullptr) *facts = readFacts(file);
    if (!PictureMemory::allocate(image, static_cast<int>(layout.width),
                                 static_cast<int>(layout.height))) {
        return Fault{PhotoMessages::outOfMemory(path, layout.width, layout.height), {}};
    }
    image.saturation = layout.saturation;
    Result<> read = readImage(path, file, layout, image, monitor, threads);
    if (read.done() && layout.topDown) turnOver(image);
    return read;
}

std::optional<PictureSize> FitsPicture::size(const std::string& path) {
    FitsHandle file;
    Layout layout;
    if (!file.open(path) || findImage(file, layout) != Search::Found) return {};
    return PictureSize{static_cast<int>(layout.width), static_cast<int>(layout.height)};
}
