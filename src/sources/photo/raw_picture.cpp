#include "sources/photo/raw_picture.h"

#include <libraw/libraw.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <ctime>
#include <functional>
#include <memory>
#include <new>
#include <numeric>
#include <thread>
#include <vector>

#include "sources/photo/cfa_grey.h"
#include "sources/photo/photo_messages.h"
#include "sources/photo/picture_memory.h"
#include "sources/photo/reading_start.h"

namespace {

// The reading's progress: LibRaw's decoding up to kDecoded, the grey picture the rest.
constexpr std::int64_t kSteps = 100;
constexpr std::int64_t kDecoded = 80;
constexpr int kStripRows = 64;
constexpr int kBytesBetweenLooks = 1 << 20;

// The raw file as LibRaw reads it, telling the monitor how far into the file the decoding got and
// ending the reading when the monitor says stop: LibRaw is told to cancel, and the file reads as
// ended meanwhile. Only the thread that reads the picture asks the monitor; a decoder may read
// on threads of its own, one at a time.
class WatchedFile : public LibRaw_file_datastream {
public:
    WatchedFile(const std::string& path, RunMonitor* monitor)
        : LibRaw_file_datastream(path.c_str()),
          monitor_(monitor),
          reader_(std::this_thread::get_id()) {}

    void readBy(LibRaw* raw) { raw_ = raw; }

    int read(void* into, size_t size, size_t count) override {
        if (stopped()) return 0;
        untilLook_ -= static_cast<int>(std::min<std::size_t>(size * count, kBytesBetweenLooks));
        if (untilLook_ <= 0) look();
        return LibRaw_file_datastream::read(into, size, count);
    }
    int get_char() override {
        if (stopped()) return -1;
        if (--untilLook_ <= 0) look();
        return LibRaw_file_datastream::get_char();
    }

    bool stopped() const { return stopped_.load(std::memory_order_relaxed); }

private:
    void look() {
        untilLook_ = kBytesBetweenLooks;
        if (monitor_ == nullptr || std::this_thread::get_id() != reader_) return;
        // LibRaw moves about the file: the progress shown is the farthest it got.
        const INT64 total = size();
        const INT64 at = std::clamp<INT64>(tell(), 0, total);
        if (total > 0) done_ = std::max<std::int64_t>(done_, kDecoded * at / total);
        if (!monitor_->proceed(PhotoMessages::kReadingStage, done_, kSteps)) {
            stopped_ = true;
            if (raw_ != nullptr) raw_->setCancelFlag();
        }
    }

    RunMonitor* monitor_;
    LibRaw* raw_ = nullptr;
    std::thread::id reader_;
    std::int64_t done_ = 0;
    int untilLook_ = kBytesBetweenLooks;
    std::atomic<bool> stopped_{false};
};

// LibRaw on one file. What LibRaw would write to standard error about the data is kept for the
// fault's detail instead.
class RawFile {
public:
    RawFile(const std::string& path, RunMonitor* monitor)
        : file_(path, monitor), raw_(std::make_unique<LibRaw>()) {
        file_.readBy(raw_.get());
        raw_->set_dataerror_handler(&RawFile::noteData, this);
        raw_->set_memerror_handler(&RawFile::noteMemory, this);
    }

    // LibRaw's code; success only for a file that holds a raw image.
    int open() {
        const int code = raw_->open_datastream(&file_);
        if (code != LIBRAW_SUCCESS) return code;
        const libraw_image_sizes_t& sizes = raw_->imgdata.sizes;
        return raw_->imgdata.idata.raw_count > 0 && sizes.width > 0 && sizes.height > 0
                   ? LIBRAW_SUCCESS
                   : LIBRAW_FILE_UNSUPPORTED;
    }
    int unpack() { return raw_->unpack(); }
    bool stopped() const { return file_.stopped(); }

    LibRaw& raw() { return *raw_; }
    const libraw_data_t& data() const { return raw_->imgdata; }

    std::string detail(int code) const {
        std::string text = "LibRaw: " + std::string(libraw_strerror(code));
        return problem_.empty() ? text : text + " (" + problem_ + ")";
    }

private:
    static void noteData(void* self, const char*, const int offset) {
        static_cast<RawFile*>(self)->problem_ =
            offset < 0 ? "unexpected end of file"
                       : "corrupt data near byte " + std::to_string(offset);
    }
    static void noteMemory(void* self, const char*, const char* where) {
        static_cast<RawFile*>(self)->problem_ = "out of memory in " + std::string(where);
    }

    WatchedFile file_;  // outlives the LibRaw that reads it
    std::unique_ptr<LibRaw> raw_;
    std::string problem_;
};

bool sideFits(int side) {
    return side >= 1 && side <= GreyImage::kLargestSide;
}

// The filter pattern over one period, by LibRaw's colour of each pixel; none for a layout this
// reader does not take (a pattern of 16 x 16).
std::optional<CfaGrey::Pattern> patternOf(LibRaw& raw) {
    const unsigned filters = raw.imgdata.idata.filters;
    if (filters == 0) return CfaGrey::Pattern{};
    CfaGrey::Pattern pattern;
    if (filters == 9) {
        pattern.rows = pattern.columns = 6;
    } else if (filters >= 1000) {
        // LibRaw gives 8 rows of 2 columns; most repeat after 2.
        pattern.columns = 2;
        pattern.rows = 8;
        for (const int rows : {2, 4}) {
            bool repeats = true;
            for (int row = rows; row < 8; ++row) {
                for (int column = 0; column < 2; ++column) {
                    repeats = repeats && raw.COLOR(row, column) == raw.COLOR(row % rows, column);
                }
            }
            if (repeats) {
                pattern.rows = rows;
                break;
            }
        }
    } else {
        return std::nullopt;
    }
    pattern.colours.clear();
    for (int row = 0; row < pattern.rows; ++row) {
        for (int column = 0; column < pattern.columns; ++column) {
            pattern.colours.push_back(raw.COLOR(row, column));
        }
    }
    return pattern;
}

// The black level of every pixel over the common period of the filter pattern and of the file's
// own black pattern: the common level, the level of the pixel's colour, and the pattern's. A
// black pattern whose period with the filter's would be longer than kLongestBlackPeriod (none a
// camera writes) counts with its mean.
void blackOf(const libraw_colordata_t& colour, CfaGrey::Mosaic& mosaic) {
    constexpr int kLongestBlackPeriod = 96;
    int patternRows = static_cast<int>(colour.cblack[4]);
    int patternColumns = static_cast<int>(colour.cblack[5]);
    if (patternRows < 1 || patternColumns < 1 ||
        patternRows * patternColumns > LIBRAW_CBLACK_SIZE - 7) {
        patternRows = patternColumns = 0;
    }
    const auto patternLevel = [&](int row, int column) {
        return colour.cblack[6 + row % patternRows * patternColumns + column % patternColumns];
    };
    unsigned common = colour.black;
    mosaic.blackRows = std::lcm(mosaic.pattern.rows, std::max(patternRows, 1));
    mosaic.blackColumns = std::lcm(mosaic.pattern.columns, std::max(patternColumns, 1));
    if (mosaic.blackRows > kLongestBlackPeriod || mosaic.blackColumns > kLongestBlackPeriod) {
        unsigned long long sum = 0;
        for (int row = 0; row < patternRows; ++row) {
            for (int column = 0; column < patternColumns; ++column)
                sum += patternLevel(row, column);
        }
        common += static_cast<unsigned>(sum / static_cast<unsigned>(patternRows * patternColumns));
        patternRows = patternColumns = 0;
        mosaic.blackRows = mosaic.pattern.rows;
        mosaic.blackColumns = mosaic.pattern.columns;
    }
    mosaic.black.clear();
    for (int row = 0; row < mosaic.blackRows; ++row) {
        for (int column = 0; column < mosaic.blackColumns; ++column) {
            unsigned level = common + colour.cblack[mosaic.pattern.at(row, column) & 3];
            if (patternRows > 0) level += patternLevel(row, column);
            mosaic.black.push_back(static_cast<int>(level));
        }
    }
}

// Takes the picture's first-touch page faults (the system's zeroing of its pages) on a thread of
// the budget while LibRaw decodes on this one, which leaves that core idle. With no thread free
// the conversion takes them as it writes.
class PageFaults {
public:
    PageFaults(GreyImage& image, ThreadBudget* threads) {
        if (threads == nullptr) return;
        thread_ = threads->start([&image] {
            constexpr std::size_t kFloatsPerPage = 4096 / sizeof(float);
            volatile float* pixels = image.pixels.get();
            for (std::size_t i = 0; i < image.size(); i += kFloatsPerPage) pixels[i] = 0;
        });
    }
    ~PageFaults() { thread_.join(); }
    PageFaults(const PageFaults&) = delete;
    PageFaults& operator=(const PageFaults&) = delete;

private:
    ThreadBudget::Thread thread_;
};

// Rows [first, last) of the raw (top row first): row first at out, each next one step values
// further on.
using RowConverter = std::function<void(int first, int last, float* out, std::ptrdiff_t step)>;

// Converts the raw's rows into the picture, bottom row first: the lower half of the raw on a
// thread of the budget where it has one, the upper half on this thread, which asks the monitor
// between strips.
Result<> convertRows(const RowConverter& convert, GreyImage& image, RunMonitor* monitor,
                     ThreadBudget* threads) {
    const auto width = static_cast<std::ptrdiff_t>(image.width);
    const auto strip = [&](int row, int last) {
        convert(row, std::min(last, row + kStripRows),
                image.pixels.get() + static_cast<std::ptrdiff_t>(image.height - 1 - row) * width,
                -width);
    };
    const int middle = image.height / 2;
    std::atomic<bool> stop{false};
    std::atomic<bool> secondFailed{false};
    ThreadBudget::Thread second;
    if (threads != nullptr && image.height >= 2 * kStripRows) {
        second = threads->start([&] {
            try {
                for (int row = middle; row < image.height && !stop; row += kStripRows) {
                    strip(row, image.height);
                }
            } catch (const std::bad_alloc&) {
                secondFailed = true;
            }
        });
    }
    const int half = second.started() ? middle : image.height;
    Result<> result;
    try {
        for (int row = 0; row < half; row += kStripRows) {
            if (monitor != nullptr &&
                !monitor->proceed(PhotoMessages::kReadingStage,
                                  kDecoded + (kSteps - kDecoded) * row / half, kSteps)) {
                result = Cancelled{};
                break;
            }
            strip(row, half);
        }
    } catch (const std::bad_alloc&) {
        stop = true;
        second.join();
        throw;
    }
    stop = !result.done();
    second.join();
    if (secondFailed) throw std::bad_alloc();
    return result;
}

// A picture with every colour at every pixel (Foveon, linear DNG, small raws): the mean of its
// colours, each less its black level. pixelBytes: 6 or 8, three or four 16-bit samples.
RowConverter colourMean(const libraw_data_t& data, const std::uint8_t* samples, int pixelBytes) {
    const libraw_image_sizes_t& sizes = data.sizes;
    const int colours = std::clamp(data.idata.colors, 1, pixelBytes / 2);
    std::vector<float> black;
    black.reserve(static_cast<std::size_t>(colours));
    for (int c = 0; c < colours; ++c) {
        black.push_back(
            static_cast<float>(data.rawdata.color.black + data.rawdata.color.cblack[c]));
    }
    return [=, &sizes](int first, int last, float* out, std::ptrdiff_t step) {
        for (int row = first; row < last; ++row, out += step) {
            float* into = out;
            const auto* line =
                reinterpret_cast<const std::uint16_t*>(
                    samples + static_cast<std::size_t>(row + sizes.top_margin) * sizes.raw_pitch) +
                static_cast<std::size_t>(sizes.left_margin) * (pixelBytes / 2);
            for (int column = 0; column < sizes.width; ++column) {
                float sum = 0;
                for (int c = 0; c < colours; ++c) sum += static_cast<float>(line[c]) - black[c];
                *into++ = sum / static_cast<float>(colours);
                line += pixelBytes / 2;
            }
        }
    };
}

// LibRaw's text fields, without what a summary cannot show.
std::string textOf(const char* field, std::size_t size) {
    std::string text;
    for (std::size_t i = 0; i < size && field[i] != '\0'; ++i) {
        const auto c = static_cast<unsigned char>(field[i]);
        if (c >= 0x20 && c != 0x7F) text += static_cast<char>(c);
    }
    const std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos) return {};
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

// A single-precision value as the double of its shortest decimal: 1/250 s is 0.004.
std::optional<double> decimal(float value) {
    if (!(std::isfinite(value) && value > 0)) return std::nullopt;
    std::array<char, 32> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value);
    double read = 0;
    std::from_chars(text.data(), written.ptr, read);
    return read;
}

FrameFacts factsOf(const libraw_data_t& data) {
    FrameFacts facts;
    const std::string make = textOf(data.idata.make, sizeof data.idata.make);
    const std::string model = textOf(data.idata.model, sizeof data.idata.model);
    facts.camera = make.empty() || model.starts_with(make) ? model
                   : model.empty()                         ? make
                                                           : make + " " + model;
    facts.exposure = decimal(data.other.shutter);
    facts.iso = decimal(data.other.iso_speed);
    // LibRaw made the camera's clock reading a time with mktime: localtime gives it back.
    if (data.other.timestamp > 0) {
        std::tm clock{};
        std::array<char, 32> text{};
        if (localtime_r(&data.other.timestamp, &clock) != nullptr &&
            std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%S", &clock) > 0) {
            facts.taken = text.data();
        }
    }
    return facts;
}

Fault openFault(const std::string& path, const RawFile& file, int code) {
    switch (code) {
        case LIBRAW_UNSUFFICIENT_MEMORY:
        case LIBRAW_TOO_BIG:
        case LIBRAW_MEMPOOL_OVERFLOW:
            return {
                PhotoMessages::outOfMemory(path, file.data().sizes.width, file.data().sizes.height),
                file.detail(code)};
        case LIBRAW_FILE_UNSUPPORTED:
        case LIBRAW_REQUEST_FOR_NONEXISTENT_IMAGE:
        case LIBRAW_NOT_IMPLEMENTED:
            return {PhotoMessages::notRaw(path), file.detail(code)};
        default:
            return {PhotoMessages::damaged(path), file.detail(code)};
    }
}

// How the rows of the unpacked raw become grey, with the black levels in the mosaic; nullptr
// for a layout this reader does not take.
RowConverter converterOf(RawFile& file, CfaGrey::Mosaic& mosaic) {
    const libraw_data_t& data = file.data();
    const libraw_rawdata_t& raw = data.rawdata;
    const libraw_image_sizes_t& sizes = data.sizes;
    const auto columns = static_cast<std::size_t>(sizes.left_margin + sizes.width);
    if (raw.raw_image != nullptr) {
        const std::optional<CfaGrey::Pattern> pattern = patternOf(file.raw());
        // A Fujifilm SuperCCD's pixels lie on a grid turned by 45 degrees.
        if (!pattern || raw.ioparams.fuji_width != 0 || sizes.raw_pitch / 2 < columns) {
            return nullptr;
        }
        mosaic.samples = raw.raw_image +
                         static_cast<std::size_t>(sizes.top_margin) * (sizes.raw_pitch / 2) +
                         sizes.left_margin;
        mosaic.pitch = sizes.raw_pitch / 2;
        mosaic.width = sizes.width;
        mosaic.height = sizes.height;
        mosaic.pattern = *pattern;
        blackOf(raw.color, mosaic);
        auto grey = std::make_shared<CfaGrey>(mosaic, CfaGrey::kernelFor(*pattern));
        return [grey](int first, int last, float* out, std::ptrdiff_t step) {
            grey->convert(first, last, out, step);
        };
    }
    const auto* samples = raw.color4_image != nullptr
                              ? reinterpret_cast<const std::uint8_t*>(raw.color4_image)
                              : reinterpret_cast<const std::uint8_t*>(raw.color3_image);
    const int pixelBytes = raw.color4_image != nullptr ? 8 : 6;
    if (samples == nullptr || sizes.raw_pitch < columns * pixelBytes) return nullptr;
    mosaic.black.clear();
    for (int c = 0; c < std::clamp(data.idata.colors, 1, pixelBytes / 2); ++c) {
        mosaic.black.push_back(static_cast<int>(raw.color.black + raw.color.cblack[c]));
    }
    return colourMean(data, samples, pixelBytes);
}

std::optional<double> saturationOf(const libraw_colordata_t& colour,
                                   const CfaGrey::Mosaic& mosaic) {
    const int highest = *std::max_element(mosaic.black.begin(), mosaic.black.end());
    if (colour.maximum <= static_cast<unsigned>(std::max(highest, 0))) return std::nullopt;
    return static_cast<double>(colour.maximum) - highest - 0.5;
}

}  // namespace

bool RawPicture::canRead(const std::string& path) {
    RawFile file(path, nullptr);
    return file.open() == LIBRAW_SUCCESS;
}

std::optional<PictureSize> RawPicture::size(const std::string& path) {
    RawFile file(path, nullptr);
    if (file.open() != LIBRAW_SUCCESS) return std::nullopt;
    const libraw_image_sizes_t& sizes = file.data().sizes;
    return PictureSize{sizes.width, sizes.height};
}

Result<> RawPicture::read(const std::string& path, GreyImage& image, RunMonitor* monitor,
                          ThreadBudget* threads, FrameFacts* facts) {
    if (Result<> start = startReading(path, monitor); !start.done()) return start;
    RawFile file(path, monitor);
    int code = file.open();
    const libraw_image_sizes_t& sizes = file.data().sizes;
    if (code == LIBRAW_SUCCESS && !(sideFits(sizes.width) && sideFits(sizes.height))) {
        return Fault{PhotoMessages::badSide(path, sizes.width, sizes.height), {}};
    }
    if (code == LIBRAW_SUCCESS && !PictureMemory::allocate(image, sizes.width, sizes.height)) {
        return Fault{PhotoMessages::outOfMemory(path, sizes.width, sizes.height), {}};
    }
    if (code == LIBRAW_SUCCESS) {
        const PageFaults faults(image, threads);
        code = file.unpack();
    }
    if (file.stopped()) return Cancelled{};
    if (code != LIBRAW_SUCCESS) return openFault(path, file, code);
    CfaGrey::Mosaic mosaic;
    const RowConverter convert = converterOf(file, mosaic);
    if (!convert) return Fault{PhotoMessages::unsupportedSensor(path), {}};
    // A few decoders settle the visible area only as they unpack.
    if ((image.width != sizes.width || image.height != sizes.height) &&
        !(sideFits(sizes.width) && sideFits(sizes.height) &&
          PictureMemory::allocate(image, sizes.width, sizes.height))) {
        return Fault{PhotoMessages::outOfMemory(path, sizes.width, sizes.height), {}};
    }
    image.saturation = saturationOf(file.data().rawdata.color, mosaic);
    if (facts != nullptr) *facts = factsOf(file.data());
    return convertRows(convert, image, monitor, threads);
}
