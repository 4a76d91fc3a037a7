#include "sources/photo/fits_picture.h"

#include <fitsio.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "sources/photo/compressed_tiles.h"
#include "sources/photo/extension_header.h"
#include "sources/photo/fits_bytes.h"
#include "sources/photo/photo_messages.h"
#include "sources/photo/picture_memory.h"
#include "sources/photo/reading_start.h"

namespace {

// A FITS file's unit of reading.
constexpr std::size_t kFitsBlock = 2880;

// Rows read at a time: the unit of progress and of cancelling.
constexpr long kStripRows = 64;

// Where CFITSIO reads a file from: by its name, or from its bytes in memory (a gzip-compressed
// file inflated, a pipe's bytes).
struct FitsSource {
    std::string path;
    std::string_view bytes;    // none: by name
    bool headersOnly = false;  // the bytes end with the image's header: its data is not read
    bool inMemory() const { return bytes.data() != nullptr; }
};

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
    bool open(const FitsSource& source) {
        source_ = source;
        if (!source.inMemory()) {
            return fits_open_diskfile(&file_, source.path.c_str(), READONLY, &status_) == 0;
        }
        // CFITSIO keeps the addresses of these two; read only, it never changes the bytes.
        memory_ = const_cast<char*>(source.bytes.data());
        size_ = source.bytes.size();
        return fits_open_memfile(&file_, "memory.fits", READONLY, &memory_, &size_, 0, nullptr,
                                 &status_) == 0 &&
               withinBytes();
    }
    bool moveTo(int hdu) {
        int current = 0;
        fits_get_hdu_num(file_, &current);
        if (hdu == current + 1 && current >= 1 && !nextHeaderSound()) {
            status_ = DATA_DECOMPRESSION_ERR;
            return false;
        }
        int type = 0;
        return fits_movabs_hdu(file_, hdu, &type, &status_) == 0 && withinBytes();
    }
    fitsfile* get() const { return file_; }
    int& status() { return status_; }

private:
    // CFITSIO takes a memory file's last header at its word: it grows the file to the end that
    // header declares and then reads bytes that are not there. A disk file cut short reads as
    // cut short; so does a memory file.
    bool withinBytes() {
        if (!source_.inMemory() || source_.headersOnly) return true;
        long long head = 0;
        long long data = 0;
        long long end = 0;
        int status = 0;
        if (fits_get_hduaddrll(file_, &head, &data, &end, &status) != 0 ||
            end <= static_cast<long long>(source_.bytes.size())) {
            return true;
        }
        status_ = END_OF_FILE;
        return false;
    }
    // The next extension's header, read from its bytes before CFITSIO reads it.
    bool nextHeaderSound() {
        long long head = 0;
        long long data = 0;
        long long end = 0;
        int status = 0;
        if (fits_get_hduaddrll(file_, &head, &data, &end, &status) != 0 || end < 0) return true;
        std::string header;
        if (source_.inMemory()) {
            if (static_cast<std::size_t>(end) >= source_.bytes.size()) return true;
            header = std::string(source_.bytes.substr(static_cast<std::size_t>(end), kHeaderBytes));
        } else {
            std::ifstream file(source_.path, std::ios::binary);
            file.seekg(end);
            header.resize(kHeaderBytes);
            file.read(header.data(), static_cast<std::streamsize>(header.size()));
            header.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
        }
        return ExtensionHeader::sound(header);
    }

    // The header cards looked at: 36 blocks of 36 cards, far more than a compressed image has.
    static constexpr std::size_t kHeaderBytes = 36 * kFitsBlock;
    FitsSource source_;
    fitsfile* file_ = nullptr;
    int status_ = 0;
    void* memory_ = nullptr;
    std::size_t size_ = 0;
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

// A value beyond the single range (a double of 1e39, or a scaled integer) would become
// infinite, and one infinite pixel makes the whole background infinite: it is blank instead, as
// CFITSIO makes an infinity stored in the file.
void blankInfinities(float* pixels, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (std::isinf(pixels[i])) pixels[i] = std::numeric_limits<float>::quiet_NaN();
    }
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
            blankInfinities(target, static_cast<std::size_t>(count));
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
            blankInfinities(target, n);
        }
        rowsDone.fetch_add(rows, std::memory_order_relaxed);
    }
    return true;
}

bool isGzip(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::array<char, 2> magic{};
    const bool read = std::fread(magic.data(), 1, 2, file) == 2;
    std::fclose(file);
    return read && FitsBytes::isGzip({magic.data(), magic.size()});
}

// The bytes CFITSIO is to read from memory, inflated into inflated where they are compressed;
// by its name (nothing to do) for a plain file on disk.
Result<> prepare(const std::string& path, const std::string* content, FitsBytes::Extent extent,
                 RunMonitor* monitor, std::string& inflated, FitsSource& source) {
    source = {path, {}, extent == FitsBytes::Extent::Header};
    // CFITSIO's memory files are read in whole blocks of 2880 bytes: one cut short is filled up
    // with zeros, as its disk files are, never read past its end.
    const auto whole = [](std::size_t size) { return size % kFitsBlock == 0; };
    if (content != nullptr && !FitsBytes::isGzip(*content)) {
        if (whole(content->size())) {
            source.bytes = *content;
            return {};
        }
        inflated = *content;
    } else {
        if (content == nullptr && !isGzip(path)) return {};
        Result<std::string> bytes = FitsBytes::inflate(path, content, extent, monitor);
        if (!bytes.done()) return bytes;
        inflated = bytes.take();
    }
    inflated.resize((inflated.size() + kFitsBlock - 1) / kFitsBlock * kFitsBlock, '\0');
    source.bytes = inflated;
    return {};
}

// The second half of the rows on a file handle of its own, on a thread of the budget.
class SecondHalf {
public:
    SecondHalf(const FitsSource& source, const Layout& layout, long first, GreyImage& image,
               const std::atomic<bool>& stop, std::atomic<long>& rowsDone, ThreadBudget& threads)
        : thread_(threads.start([&, first] {
              try {
                  ok_ = file_.open(source) && file_.moveTo(layout.hdu) &&
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
    int status() { return file_.status(); }

private:
    FitsHandle file_;
    bool ok_ = false;
    ThreadBudget::Thread thread_;
};

Result<> readImage(const FitsSource& source, FitsHandle& file, const Layout& layout,
                   GreyImage& image, RunMonitor* monitor, ThreadBudget* threads) {
    const std::string& path = source.path;
    std::atomic<bool> stop{false};
    std::atomic<long> rowsDone{0};
    long half = layout.height;
    std::optional<SecondHalf> second;
    if (threads != nullptr && layout.height >= 2 * kStripRows) {
        second.emplace(source, layout, layout.height / 2, image, stop, rowsDone, *threads);
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
    if (!ok || !secondOk) {
        // The reason is the failed handle's: the other may have read its half well.
        const int status = !ok ? file.status() : second->status();
        return Fault{PhotoMessages::damaged(path), status != 0 ? cfitsioDetail(status) : ""};
    }
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
                           ThreadBudget* threads, FrameFacts* facts, const std::string* content) {
    if (Result<> start = startReading(path, monitor, content == nullptr); !start.done()) {
        return start;
    }
    std::string inflated;
    FitsSource source;
    if (Result<> prepared =
            prepare(path, content, FitsBytes::Extent::Image, monitor, inflated, source);
        !prepared.done()) {
        return prepared;
    }
    FitsHandle file;
    Layout layout;
    const Search search = file.open(source) ? findImage(file, layout) : Search::Damaged;
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
    // CFITSIO's decoders read on past a damaged tile until the process dies.
    if (const std::string problem = CompressedTiles::problem(file.get()); !problem.empty()) {
        return Fault{PhotoMessages::damaged(path), problem};
    }
    readKeys(file, layout);
    if (facts != nullptr) *facts = readFacts(file);
    if (!PictureMemory::allocate(image, static_cast<int>(layout.width),
                                 static_cast<int>(layout.height))) {
        return Fault{PhotoMessages::outOfMemory(path, layout.width, layout.height), {}};
    }
    image.saturation = layout.saturation;
    Result<> read = readImage(source, file, layout, image, monitor, threads);
    if (read.done() && layout.topDown) turnOver(image);
    return read;
}

std::optional<PictureSize> FitsPicture::size(const std::string& path, const std::string* content) {
    std::string inflated;
    FitsSource source;
    FitsHandle file;
    Layout layout;
    if (!prepare(path, content, FitsBytes::Extent::Header, nullptr, inflated, source).done() ||
        !file.open(source) || findImage(file, layout) != Search::Found) {
        return {};
    }
    return PictureSize{static_cast<int>(layout.width), static_cast<int>(layout.height)};
}
