#include "sources/lists/sextractor_catalog.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "sources/lists/catalog_messages.h"
#include "sources/lists/extractor_measures.h"
#include "text/message_excerpt.h"
#include "text/number_syntax.h"

namespace {

constexpr int kEof = -1;
// More columns than any parameter file gives (VIGNET(100,100) is 10,000).
constexpr long kLargestColumn = 10'000'000;

bool isBlank(int c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(int c) {
    return c == '\n' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The column number of a header line: plain digits, at most kLargestColumn; 0 when it is none.
long columnNumber(std::string_view word) {
    if (word.empty() || word.size() > 8) return 0;
    long number = 0;
    for (char c : word) {
        if (!isDigit(c)) return 0;
        number = number * 10 + (c - '0');
    }
    return number <= kLargestColumn ? number : 0;
}

}  // namespace

SextractorCatalog::~SextractorCatalog() {
    if (file_ != nullptr) std::fclose(file_);
}

bool SextractorCatalog::looksLike(std::string_view start) {
    std::size_t at = 0;
    const auto skip = [&] {
        const std::size_t from = at;
        while (at < start.size() && isBlank(start[at])) ++at;
        return at > from;
    };
    if (start.empty() || start[0] != '#') return false;
    ++at;
    if (!skip() || at >= start.size() || start[at] != '1') return false;
    ++at;
    if (!skip() || at >= start.size()) return false;
    const char c = start[at];
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

Result<std::unique_ptr<StarSource>> SextractorCatalog::openSource(const std::string& path,
                                                                  const SourceContext& context) {
    auto catalog = std::make_unique<SextractorCatalog>();
    const Result<> opened = catalog->open(path, context.settings.SensorHeight);
    if (!opened.done()) return opened;
    return catalog;
}

Result<> SextractorCatalog::open(const std::string& path, int sensorHeight) {
    path_ = path;
    sensorHeight_ = sensorHeight;
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) {
        setFault(CatalogMessages::cannotOpen(path, errno));
        return fault_;
    }
    if (!readHeader() || !checkColumns()) return fault_;
    return {};
}

bool SextractorCatalog::refill() {
    if (file_ == nullptr || readError_) return false;
    pos_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (end_ == 0 && std::ferror(file_) != 0) readError_ = true;
    return end_ > 0;
}

int SextractorCatalog::peek() {
    if (pos_ == end_ && !refill()) return kEof;
    return static_cast<unsigned char>(buffer_[pos_]);
}

int SextractorCatalog::get() {
    const int c = peek();
    if (c == kEof) return c;
    ++pos_;
    if (c == '\n' || (c == '\r' && peek() != '\n')) ++line_;
    return c;
}

bool SextractorCatalog::atLineEnd() {
    const int c = peek();
    return c == kEof || isLineEnd(c);
}

void SextractorCatalog::skipBlanks() {
    while (isBlank(peek())) get();
}

void SextractorCatalog::skipLine() {
    for (int c = get(); c != kEof && c != '\n' && !(c == '\r' && peek() != '\n'); c = get()) {
    }
}

bool SextractorCatalog::readWord() {
    wordLength_ = 0;
    for (int c = peek(); c != kEof && !isBlank(c) && !isLineEnd(c); c = peek()) {
        if (wordLength_ == word_.size()) {
            const std::string item = messageExcerpt(word(), true);
            setFault(CatalogMessages::itemTooLong(path_, line_, item, kLongestItem));
            return false;
        }
        word_[wordLength_++] = static_cast<char>(get());
    }
    return true;
}

bool SextractorCatalog::readHeader() {
    while (peek() == '#') {
        if (!readHeaderLine()) return false;
    }
    if (readError_) {
        setFault(CatalogMessages::unreadable(path_, line_));
        return false;
    }
    return true;
}

// "#", the column number, the parameter's name, its description; a "#" line without a number
// is a comment.
bool SextractorCatalog::readHeaderLine() {
    const long line = line_;
    get();
    skipBlanks();
    if (!readWord()) return false;
    const long column = columnNumber(word());
    if (column == 0) {
        skipLine();
        return true;
    }
    if (column <= lastColumn_) {
        setFault(CatalogMessages::badColumnNumber(path_, line, word()));
        return false;
    }
    lastColumn_ = column;
    skipBlanks();
    if (!readWord()) return false;
    const auto* name = std::find(kColumnNames.begin(), kColumnNames.end(), word());
    if (name != kColumnNames.end()) {
        const auto index = static_cast<std::size_t>(name - kColumnNames.begin());
        if (columnOf_[index] != 0) {
            setFault(CatalogMessages::columnTwice(path_, line, word()));
            return false;
        }
        columnOf_[index] = column;
    }
    skipLine();
    return true;
}

bool SextractorCatalog::checkColumns() {
    std::string missing;
    for (std::size_t i = 0; i < kColumns; ++i) {
        if (columnOf_[i] != 0) continue;
        if (!missing.empty()) missing += ", ";
        missing += kColumnNames[i];
    }
    if (!missing.empty()) {
        setFault(CatalogMessages::missingColumns(path_, missing));
        return false;
    }
    for (std::size_t i = 0; i < kColumns; ++i) needed_[i] = {columnOf_[i], static_cast<Column>(i)};
    std::sort(needed_.begin(), needed_.end(),
              [](const Needed& a, const Needed& b) { return a.column < b.column; });
    return true;
}

bool SextractorCatalog::readItems(Values& values, long& items) {
    std::size_t nextNeeded = 0;
    for (;;) {
        skipBlanks();
        if (atLineEnd()) return true;
        if (!readWord()) return false;
        ++items;
        if (nextNeeded == kColumns || needed_[nextNeeded].column != items) continue;
        const Needed& needed = needed_[nextNeeded++];
        if (!NumberSyntax::convert(word(), values[needed.name])) {
            setFault(CatalogMessages::notANumber(path_, line_, kColumnNames[needed.name],
                                                 messageExcerpt(word())));
            return false;
        }
    }
}

bool SextractorCatalog::finishRow(long items) {
    if (items < lastColumn_) {
        setFault(CatalogMessages::shortRow(path_, rowLine_, items, lastColumn_));
        return false;
    }
    if (firstRowItems_ == 0) firstRowItems_ = items;
    if (items != firstRowItems_) {
        setFault(CatalogMessages::unevenRow(path_, rowLine_, items, firstRowItems_));
        return false;
    }
    skipLine();
    return true;
}

SextractorCatalog::Status SextractorCatalog::readRow(Values& values) {
    for (;;) {
        skipBlanks();
        const int c = peek();
        if (c == kEof) {
            if (!readError_) return Status::End;
            setFault(CatalogMessages::unreadable(path_, line_));
            return Status::Fault;
        }
        if (isLineEnd(c) || c == '#') {
            skipLine();  // blank lines and comments between rows
            continue;
        }
        rowLine_ = line_;
        long items = 0;
        if (!readItems(values, items)) return Status::Fault;
        if (readError_) {
            setFault(CatalogMessages::unreadable(path_, line_));
            return Status::Fault;
        }
        return finishRow(items) ? Status::Record : Status::Fault;
    }
}

SextractorCatalog::Status SextractorCatalog::next(StarRecord& record) {
    Values v{};
    for (;;) {
        const Status status = readRow(v);
        if (status != Status::Record) return status;
        const ExtractorMeasures measures{v[X],     v[Y],          v[XMin],  v[XMax],
                                         v[YMin],  v[YMax],       v[X2Win], v[Y2Win],
                                         v[XYWin], v[FluxRadius], v[Fwhm]};
        // What Source Extractor could not measure as a star is none.
        const std::optional<StarRecord> star = measures.star(sensorHeight_);
        if (!star) continue;
        record = *star;
        record.index = static_cast<double>(++records_);
        return Status::Record;
    }
}

void SextractorCatalog::setFault(std::string message) {
    fault_ = {std::move(message), {}};
}
