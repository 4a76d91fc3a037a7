#include "sources/lists/star_list.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "text/message_excerpt.h"
#include "text/messages.h"
#include "text/number_syntax.h"

namespace {

constexpr int kEof = -1;

bool isDigit(int c) {
    return c >= '0' && c <= '9';
}
bool isBlank(int c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(int c) {
    return c == '\n' || c == '\r';
}
bool endsItem(int c) {
    return c == kEof || c == ',' || isBlank(c) || isLineEnd(c);
}

// The powers of ten a double holds exactly.
constexpr std::array<double, 23> kExactTens = [] {
    std::array<double, 23> tens{};
    double ten = 1;
    for (double& power : tens) {
        power = ten;
        ten *= 10;
    }
    return tens;
}();

// Most items are short decimals: an optional minus, digits, a point, digits, at most 15 digits in
// all. Such an item is its digits as a whole number divided by a power of ten, both exact in a
// double, and the one correctly rounded division gives exactly the double from_chars gives.
// Returns the item's end before last, or nullptr for anything else.
const char* shortDecimal(const char* first, const char* last, double& value) {
    constexpr int kMostDigits = 15;
    const char* at = first;
    const bool negative = at != last && *at == '-';
    if (negative) ++at;
    std::uint64_t digits = 0;
    int count = 0;
    int fraction = -1;  // digits after the point; -1 before it
    for (; at != last; ++at) {
        const auto c = static_cast<unsigned char>(*at);
        if (isDigit(c)) {
            digits = digits * 10 + (c - '0');
            ++count;
            if (fraction >= 0) ++fraction;
        } else if (c == '.' && fraction < 0) {
            fraction = 0;
        } else {
            break;
        }
    }
    if (at == last || count == 0 || count > kMostDigits ||
        !endsItem(static_cast<unsigned char>(*at))) {
        return nullptr;
    }
    const double whole = static_cast<double>(digits);
    const double magnitude =
        fraction > 0 ? whole / kExactTens[static_cast<std::size_t>(fraction)] : whole;
    value = negative ? -magnitude : magnitude;
    return at;
}

// A plain number at first: an optional minus, then a digit or a point, converted by from_chars
// and ending at a separator before last, at most `longest` bytes long. Returns its end, or
// nullptr for any other item ("+", "inf", "nan", ...), which the careful way reads or rejects.
const char* plainNumber(const char* first, const char* last, std::size_t longest, double& value) {
    const char* lead = first != last && *first == '-' ? first + 1 : first;
    if (lead == last || !(isDigit(*lead) || *lead == '.')) return nullptr;
    if (const char* stop = shortDecimal(first, last, value);
        stop != nullptr && static_cast<std::size_t>(stop - first) <= longest) {
        return stop;
    }
    const auto [stop, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || stop == last || !endsItem(static_cast<unsigned char>(*stop)) ||
        static_cast<std::size_t>(stop - first) > longest) {
        return nullptr;
    }
    return stop;
}

// The angle is kept in single precision: a larger one would become infinite, which no output
// could write and no reading could draw.
constexpr int kAngleItem = 10;

bool fitsAngle(double angle) {
    return !std::isinf(static_cast<float>(angle));
}

}  // namespace

StarList::~StarList() {
    close();
}

void StarList::close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

Result<std::unique_ptr<StarSource>> StarList::openSource(const std::string& path,
                                                         const SourceContext&) {
    InputFile input;
    input.open(path);
    return openFrom(std::move(input));
}

Result<std::unique_ptr<StarSource>> StarList::openFrom(InputFile input) {
    auto list = std::make_unique<StarList>();
    if (const Result<> opened = list->open(std::move(input)); !opened.done()) return opened;
    return list;
}

Result<> StarList::open(const std::string& path) {
    InputFile input;
    input.open(path);
    return open(std::move(input));
}

Result<> StarList::open(InputFile input) {
    close();
    path_ = input.path();
    const std::string& path = path_;
    line_ = recordLine_ = 1;
    records_ = 0;
    readError_ = lastWasCr_ = false;
    fault_ = {};
    if (input.error() != 0) {
        setFault(Messages::starListCannotOpen(path, input.error()));
        return fault_;
    }
    // The head was read at the opening: the reading starts with it and goes on after it.
    const std::string_view head = input.head();
    std::copy(head.begin(), head.end(), buffer_.begin());
    pos_ = 0;
    end_ = head.size();
    file_ = input.take();
    if (peek() == kEof) {
        setFault(readError_ ? Messages::starListUnreadable(path) : Messages::starListEmpty(path));
        close();
        return fault_;
    }
    if (!readHeader()) {
        close();
        return fault_;
    }
    return {};
}

bool StarList::refill() {
    if (file_ == nullptr || readError_) return false;
    const std::size_t left = end_ - pos_;
    std::memmove(buffer_.data(), buffer_.data() + pos_, left);
    pos_ = 0;
    end_ = left;
    const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    end_ += got;
    if (got == 0 && std::ferror(file_) != 0) readError_ = true;
    return end_ > pos_;
}

void StarList::keepInBuffer(std::size_t bytes) {
    if (end_ - pos_ < bytes && file_ != nullptr && std::feof(file_) == 0) refill();
}

bool StarList::readPlainNumber(double& value) {
    const char* first = buffer_.data() + pos_;
    double number = 0;
    const char* stop = plainNumber(first, buffer_.data() + end_, token_.size(), number);
    if (stop == nullptr) return false;
    value = number;
    pos_ += static_cast<std::size_t>(stop - first);
    lastWasCr_ = false;
    return true;
}

bool StarList::readPlainRecord(Items& items) {
    keepInBuffer(kRecordRoom);
    const char* at = buffer_.data() + pos_;
    const char* const last = buffer_.data() + end_;
    long line = line_;
    bool lastWasCr = lastWasCr_;
    for (double& item : items) {
        // The separator: blanks, tabs and line ends with at most one comma among them.
        for (bool comma = false;; ++at) {
            if (at == last) return false;
            const char c = *at;
            if (c == ',' && !comma) {
                comma = true;
            } else if (c == '\r' || (c == '\n' && !lastWasCr)) {
                ++line;
            } else if (c != ' ' && c != '\t' && c != '\n') {
                break;
            }
            lastWasCr = c == '\r';
        }
        at = plainNumber(at, last, token_.size(), item);
        if (at == nullptr) return false;
        lastWasCr = false;
    }
    // An angle beyond the single range is refused, item by item, with its text.
    if (!fitsAngle(items[kAngleItem])) return false;
    pos_ = static_cast<std::size_t>(at - buffer_.data());
    line_ = line;
    lastWasCr_ = lastWasCr;
    return true;
}

int StarList::peek() {
    if (pos_ == end_ && !refill()) return kEof;
    return static_cast<unsigned char>(buffer_[pos_]);
}

int StarList::get() {
    const int c = peek();
    if (c == kEof) return c;
    ++pos_;
    countLineEnd(c);
    return c;
}

void StarList::countLineEnd(int c) {
    if (c == '\r' || (c == '\n' && !lastWasCr_)) ++line_;
    lastWasCr_ = c == '\r';
}

bool StarList::readHeader() {
    std::size_t length = 0;
    for (int c = peek(); c != kEof && c != ',' && !isLineEnd(c); c = peek()) {
        if (c == 0) {
            setFault(Messages::starListNoHeader(path_));
            return false;
        }
        if (++length > kLongestItem) {
            setFault(Messages::starListHeaderTooLong(path_, kLongestItem));
            return false;
        }
        get();
    }
    return true;
}

bool StarList::skipSeparator(bool& sawEnd) {
    bool comma = false;
    for (;;) {
        if (pos_ == end_ && !refill()) {
            sawEnd = true;
            return true;
        }
        const int c = static_cast<unsigned char>(buffer_[pos_]);
        if (c == ',') {
            if (comma) {
                setFault(Messages::starListEmptyItem(path_, line_));
                return false;
            }
            comma = true;
        } else if (!isBlank(c) && !isLineEnd(c)) {
            sawEnd = false;
            return true;
        }
        ++pos_;
        countLineEnd(c);
    }
}

void StarList::setFault(std::string message) {
    fault_ = {std::move(message), {}};
}

StarList::Item StarList::readItem(double& value, int itemNumber) {
    bool atEnd = false;
    if (!skipSeparator(atEnd)) return Item::Fault;
    if (atEnd) {
        if (readError_) {
            setFault(Messages::starListUnreadableAt(path_, line_));
            return Item::Fault;
        }
        if (itemNumber == 0) return Item::End;
        setFault(Messages::starListEndsInRecord(path_, records_ + 1, itemNumber, recordLine_));
        return Item::Fault;
    }
    if (itemNumber == 0) recordLine_ = line_;
    keepInBuffer(token_.size() + 1);
    const std::size_t start = pos_;
    if (readPlainNumber(value)) {
        if (itemNumber == kAngleItem && !fitsAngle(value)) {
            const std::string item = messageExcerpt({buffer_.data() + start, pos_ - start});
            setFault(Messages::starListNumberTooLarge(path_, line_, item));
            return Item::Fault;
        }
        return Item::Number;
    }
    tokenLength_ = 0;
    for (int c = peek(); !endsItem(c); c = peek()) {
        if (tokenLength_ == token_.size()) {
            const std::string item = messageExcerpt({token_.data(), tokenLength_}, true);
            setFault(Messages::starListItemTooLong(path_, line_, item, kLongestItem));
            return Item::Fault;
        }
        token_[tokenLength_++] = static_cast<char>(c);
        get();
    }
    const std::string_view token(token_.data(), tokenLength_);
    if (!NumberSyntax::convert(token, value)) {
        double ignored = 0;
        const bool number = NumberSyntax::prefixLength(token) == tokenLength_ &&
                            !NumberSyntax::convert(token, ignored);
        const std::string item = messageExcerpt(token);
        setFault(number ? Messages::starListNumberTooLarge(path_, line_, item)
                        : Messages::starListNotANumber(path_, line_, item));
        return Item::Fault;
    }
    if (itemNumber == kAngleItem && !fitsAngle(value)) {
        setFault(Messages::starListNumberTooLarge(path_, line_, messageExcerpt(token)));
        return Item::Fault;
    }
    return Item::Number;
}

StarList::Status StarList::next(StarRecord& record) {
    Items items{};
    for (int i = readPlainRecord(items) ? kItemsPerRecord : 0; i < kItemsPerRecord; ++i) {
        switch (readItem(items[static_cast<std::size_t>(i)], i)) {
            case Item::Number:
                break;
            case Item::End:
                return Status::End;
            case Item::Fault:
                return Status::Fault;
        }
    }
    record.index = items[0];
    record.area = items[1];
    record.x = items[2];
    record.y = items[3];
    record.left = items[4];
    record.top = items[5];
    record.extent1 = items[6];
    record.extent2 = items[7];
    record.span = items[8];
    record.size = items[9];
    record.angle = static_cast<float>(items[10]);
    record.roundness = items[11];
    ++records_;
    return Status::Record;
}
