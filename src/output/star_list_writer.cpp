#include "output/star_list_writer.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <utility>

#include "plot/tapped_source.h"
#include "text/messages.h"
#include "text/number_text.h"

namespace {

// The list is read in double and the angle then narrowed, so its shortest single-precision form
// is written where that reads back as the same float, the double's form where it would not.
std::string angleText(float angle) {
    std::string shortest = numberText(angle);
    double read = 0;
    std::from_chars(shortest.data(), shortest.data() + shortest.size(), read);
    if (static_cast<float>(read) == angle) return shortest;
    return numberText(static_cast<double>(angle));
}

}  // namespace

StarListWriter::StarListWriter() : records_(std::tmpfile()) {}

StarListWriter::~StarListWriter() {
    if (records_ != nullptr) std::fclose(records_);
}

StarSourceOpener StarListWriter::recording(StarSourceOpener open) {
    return TappedSource::opener(std::move(open), [this](const StarRecord& star) { add(star); });
}

void StarListWriter::add(const StarRecord& star) {
    line_.clear();
    for (const double value : {star.index, star.area, star.x, star.y, star.left, star.top,
                               star.extent1, star.extent2, star.span, star.size}) {
        line_ += numberText(value);
        line_ += ',';
    }
    line_ += angleText(star.angle);
    line_ += ',';
    line_ += numberText(star.roundness);
    line_ += "\r\n";
    if (records_ != nullptr) std::fwrite(line_.data(), 1, line_.size(), records_);
    ++count_;
}

Result<> StarListWriter::finish(OutputFile& file) {
    if (records_ == nullptr || std::fflush(records_) != 0 || std::ferror(records_) != 0) {
        return Fault{
            "星のリストを書き出す一時ファイルを作れません（" + Messages::fileReason(errno) + "）。",
            {}};
    }
    file.write(numberText(count_) + "\r\n");
    std::rewind(records_);
    std::array<char, 65536> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), records_)) > 0) {
        file.write({buffer.data(), got});
    }
    return {};
}
