#include "sources/photo/fits_bytes.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "sources/photo/grey_image.h"
#include "sources/photo/photo_messages.h"
#include "sources/photo/picture_memory.h"

namespace {

constexpr std::size_t kBlock = 2880;
constexpr std::size_t kCard = 80;
// A header longer than this (a million cards) is no header a camera or a pipeline writes.
constexpr std::size_t kLongestHeader = std::size_t{1} << 26;
constexpr std::size_t kBytesBetweenLooks = std::size_t{8} << 20;

// The gzip stream of a file or of bytes in memory, members one after another as gzip has them.
class GzipStream {
public:
    GzipStream(const std::string& path, const std::string* content) : content_(content) {
        if (content_ == nullptr) file_.reset(std::fopen(path.c_str(), "rb"));
        // 32: a gzip or zlib header, whichever it is.
        started_ = (content_ != nullptr || file_) && inflateInit2(&stream_, 15 + 32) == Z_OK;
        ok_ = started_;
        if (content_ != nullptr) {
            stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content_->data()));
            stream_.avail_in = static_cast<uInt>(std::min<std::size_t>(content_->size(), kChunk));
            fed_ = stream_.avail_in;
        }
    }
    ~GzipStream() {
        // Also after a fault, which ends ok_ but not the stream's memory.
        if (started_) inflateEnd(&stream_);
    }
    GzipStream(const GzipStream&) = delete;
    GzipStream& operator=(const GzipStream&) = delete;

    // Up to size bytes into out; fewer only at the stream's end or a fault (then problem() says).
    std::size_t read(char* out, std::size_t size) {
        std::size_t got = 0;
        while (ok_ && !ended_ && got < size) {
            if (stream_.avail_in == 0 && !feed()) {
                // The input ended inside a member: the file was cut.
                if (!betweenMembers_) problem_ = "gzip の圧縮データが途中で終わっています。";
                ended_ = true;
                break;
            }
            if (betweenMembers_) {
                inflateReset(&stream_);
                betweenMembers_ = false;
            }
            stream_.next_out = reinterpret_cast<Bytef*>(out + got);
            stream_.avail_out = static_cast<uInt>(std::min<std::size_t>(size - got, kChunk));
            const uInt before = stream_.avail_out;
            const int status = inflate(&stream_, Z_NO_FLUSH);
            got += before - stream_.avail_out;
            if (status == Z_STREAM_END) {
                betweenMembers_ = true;
            } else if (status != Z_OK && status != Z_BUF_ERROR) {
                problem_ = std::string("zlib: ") + (stream_.msg != nullptr ? stream_.msg : "error");
                ok_ = false;
            }
        }
        if (!ok_ && problem_.empty()) problem_ = "ファイルを読めません。";
        return got;
    }

    const std::string& problem() const { return problem_; }

private:
    static constexpr std::size_t kChunk = std::size_t{1} << 20;

    struct Close {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    bool feed() {
        if (content_ != nullptr) {
            if (fed_ == content_->size()) return false;
            const std::size_t now = std::min(content_->size() - fed_, kChunk);
            stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content_->data() + fed_));
            stream_.avail_in = static_cast<uInt>(now);
            fed_ += now;
            return true;
        }
        const std::size_t got = std::fread(input_.data(), 1, input_.size(), file_.get());
        if (got == 0) return false;
        stream_.next_in = reinterpret_cast<Bytef*>(input_.data());
        stream_.avail_in = static_cast<uInt>(got);
        return true;
    }

    const std::string* content_;
    std::unique_ptr<std::FILE, Close> file_;
    std::array<char, 1 << 16> input_{};
    std::size_t fed_ = 0;
    z_stream stream_{};
    bool started_ = false;
    bool ok_ = false;
    bool ended_ = false;
    bool betweenMembers_ = false;
    std::string problem_;
};

// What one header says about its HDU, as far as finding the first image needs.
struct HduShape {
    bool extension = false;
    std::string type;  // XTENSION
    bool compressed = false;
    long long bitpix = 0;
    long long naxis = 0;
    std::array<long long, 999> axes{};
    long long znaxis = 0;
    std::array<long long, 3> zaxes{};
    long long pcount = 0;
    long long gcount = 1;

    // As FitsPicture looks for it: a 2-D image, or a 3-D one of one or three planes, also
    // tile-compressed.
    bool isImage() const {
        const bool imageHdu = !extension || type == "IMAGE" || (type == "BINTABLE" && compressed);
        const long long n = compressed ? znaxis : naxis;
        const long long planes = compressed ? zaxes[2] : axes[2];
        return imageHdu && (n == 2 || (n == 3 && (planes == 1 || planes == 3)));
    }
    long long width() const { return compressed ? zaxes[0] : axes[0]; }
    long long height() const { return compressed ? zaxes[1] : axes[1]; }

    // The bytes of the data unit, padded to whole blocks; nothing when they overflow.
    std::optional<std::size_t> dataBytes() const {
        if (naxis == 0) return std::size_t{0};
        double elements = 1;
        for (long long i = 0; i < naxis; ++i) elements *= static_cast<double>(axes[i]);
        const long long sampleBytes = std::llabs(bitpix) / 8;
        const double bytes = static_cast<double>(sampleBytes) * static_cast<double>(gcount) *
                             (static_cast<double>(pcount) + elements);
        if (!(bytes >= 0 && bytes < 0x1p62)) return std::nullopt;
        const auto exact = static_cast<std::size_t>(bytes);
        return (exact + kBlock - 1) / kBlock * kBlock;
    }
};

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// The value of a card "KEYWORD = value / comment": a quoted string without its quotes and
// trailing blanks, or the text before the comment.
std::string valueOf(std::string_view card) {
    std::string_view value = card.substr(10);
    const std::size_t first = value.find_first_not_of(' ');
    if (first != std::string_view::npos && value[first] == '\'') {
        const std::size_t close = value.find('\'', first + 1);
        return trimmed(value.substr(first + 1, close == std::string_view::npos
                                                   ? std::string_view::npos
                                                   : close - first - 1));
    }
    return trimmed(value.substr(0, value.find('/')));
}

long long integerOf(std::string_view card) {
    const std::string value = valueOf(card);
    char* end = nullptr;
    const long long number = std::strtoll(value.c_str(), &end, 10);
    return end != value.c_str() ? number : 0;
}

// Reads one card into the shape; true at END.
bool readCard(std::string_view card, HduShape& shape) {
    const std::string keyword = trimmed(card.substr(0, 8));
    if (keyword == "END") return true;
    if (card.substr(8, 2) != "= ") return false;
    if (keyword == "XTENSION") {
        shape.extension = true;
        shape.type = valueOf(card);
    } else if (keyword == "BITPIX") {
        shape.bitpix = integerOf(card);
    } else if (keyword == "NAXIS") {
        shape.naxis = std::clamp(integerOf(card), 0LL, 999LL);
    } else if (keyword == "PCOUNT") {
        shape.pcount = integerOf(card);
    } else if (keyword == "GCOUNT") {
        shape.gcount = integerOf(card);
    } else if (keyword == "ZIMAGE") {
        shape.compressed = valueOf(card) == "T";
    } else if (keyword == "ZNAXIS") {
        shape.znaxis = integerOf(card);
    } else if (keyword.starts_with("ZNAXIS") && keyword.size() == 7 && keyword[6] >= '1' &&
               keyword[6] <= '3') {
        shape.zaxes[static_cast<std::size_t>(keyword[6] - '1')] = integerOf(card);
    } else if (keyword.starts_with("NAXIS") && keyword.size() > 5) {
        const long long axis = std::atoll(keyword.c_str() + 5);
        if (axis >= 1 && axis <= 999)
            shape.axes[static_cast<std::size_t>(axis - 1)] = integerOf(card);
    }
    return false;
}

bool sideFits(long long side) {
    return side >= 1 && side <= GreyImage::kLargestSide;
}

bool bytesFit(std::size_t bytes) {
    return PictureMemory::holds(static_cast<double>(bytes));
}

}  // namespace

bool FitsBytes::isGzip(std::string_view head) {
    return head.size() >= 2 && head[0] == '\x1F' && head[1] == '\x8B';
}

Result<std::string> FitsBytes::inflate(const std::string& path, const std::string* content,
                                       Extent extent, RunMonitor* monitor) {
    GzipStream stream(path, content);
    std::string out;
    // Appends up to bytes of the stream; false when it ended first (what there is stays).
    const auto take = [&](std::size_t bytes) -> Result<bool> {
        while (bytes > 0) {
            const std::size_t now = std::min(bytes, kBytesBetweenLooks);
            const std::size_t before = out.size();
            out.resize(before + now);
            const std::size_t got = stream.read(out.data() + before, now);
            out.resize(before + got);
            if (!stream.problem().empty()) {
                return Fault{PhotoMessages::damaged(path), stream.problem()};
            }
            if (got < now) return false;
            bytes -= now;
            if (now == kBytesBetweenLooks && monitor != nullptr &&
                !monitor->proceed(PhotoMessages::kReadingStage, 0, 0)) {
                return Cancelled{};
            }
        }
        return true;
    };
    // CFITSIO tells a file that ends early or holds no image from what is there.
    for (;;) {
        HduShape shape;
        const std::size_t headerStart = out.size();
        for (bool end = false; !end;) {
            Result<bool> block = take(kBlock);
            if (!block.done()) return Result<std::string>(block);
            if (!block.value()) return out;
            for (std::size_t at = out.size() - kBlock; at < out.size() && !end; at += kCard) {
                end = readCard(std::string_view(out).substr(at, kCard), shape);
            }
            if (out.size() - headerStart > kLongestHeader) {
                return Fault{PhotoMessages::damaged(path), "FITS のヘッダーに END がありません。"};
            }
        }
        const std::optional<std::size_t> data = shape.dataBytes();
        if (shape.isImage()) {
            if (extent == Extent::Header || !sideFits(shape.width()) || !sideFits(shape.height())) {
                return out;
            }
            if (!data || !bytesFit(out.size() + *data) ||
                !PictureMemory::fits(static_cast<int>(shape.width()),
                                     static_cast<int>(shape.height()))) {
                return Fault{PhotoMessages::outOfMemory(path, shape.width(), shape.height()), {}};
            }
        } else if (!data || !bytesFit(out.size() + *data)) {
            return Fault{PhotoMessages::damaged(path),
                         "FITS のデータがメモリより大きいと書かれています。"};
        }
        Result<bool> unit = take(*data);
        if (!unit.done()) return Result<std::string>(unit);
        if (!unit.value() || shape.isImage()) return out;
    }
}
