#include "sources/photo/extension_header.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

constexpr std::size_t kCard = 80;

// The cards CFITSIO reads as whole numbers on its way into an extension or a compressed image,
// and those Quendra reads so.
constexpr std::array<std::string_view, 12> kWholeNumbers = {
    "BITPIX",   "NAXIS2", "PCOUNT", "TFIELDS", "EXTVER", "ZBITPIX",
    "ZDITHER0", "ZBLANK", "BLANK",  "ZNAXIS",  "ZTILE",  "ZVAL"};

std::string_view keyword(std::string_view card) {
    const std::string_view name = card.substr(0, 8);
    return name.substr(0, name.find(' '));
}

bool readAsWholeNumber(std::string_view name) {
    for (const std::string_view known : kWholeNumbers) {
        const bool numbered = known == "ZNAXIS" || known == "ZTILE" || known == "ZVAL";
        if (name == known ||
            (numbered && name.starts_with(known) &&
             name.find_first_not_of("0123456789", known.size()) == std::string_view::npos)) {
            return true;
        }
    }
    return false;
}

// The value as CFITSIO cuts it from the card: a string through its closing quote, a complex
// pair through its bracket, anything else up to the comment; blanks around it left out.
std::string_view valueOf(std::string_view card) {
    std::string_view rest = card.substr(10);
    rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
    std::size_t end = rest.size();
    if (rest.starts_with('\'')) {
        end = std::min(rest.find('\'', 1) + 1, rest.size());
    } else if (rest.starts_with('(')) {
        end = std::min(rest.find(')') + 1, rest.size());
    } else {
        end = std::min(rest.find('/'), rest.size());
    }
    rest = rest.substr(0, end);
    return rest.substr(0, rest.find_last_not_of(' ') + 1);
}

// strtod over the whole value: a number and nothing else.
bool isNumber(std::string_view value) {
    const std::string text(value);
    char* stop = nullptr;
    std::strtod(text.c_str(), &stop);
    return !text.empty() && stop == text.c_str() + text.size();
}

}  // namespace

bool ExtensionHeader::sound(std::string_view header) {
    bool rice = false;
    double blockSize = 32;
    for (std::size_t at = 0; at + kCard <= header.size(); at += kCard) {
        const std::string_view card = header.substr(at, kCard);
        if (card.starts_with("END     ")) break;
        if (!sideSound(card) || !numberReadable(card)) return false;
        if (card.substr(8, 2) != "= ") continue;
        const std::string_view name = keyword(card);
        if (name == "ZCMPTYPE") {
            const std::string_view type = valueOf(card);
            rice = type.starts_with("'RICE_1") || type.starts_with("'RICE_ONE");
        } else if (name == "ZVAL1") {
            blockSize = std::strtod(std::string(valueOf(card)).c_str(), nullptr);
        }
    }
    // A Rice image's block size is taken as a whole number and divided by.
    return !rice || std::abs(blockSize) >= 1;
}

// A tile side or an axis: a whole number of 1 or more, then only blanks or a comment.
bool ExtensionHeader::sideSound(std::string_view card) {
    const std::string_view name = keyword(card);
    if (!name.starts_with("ZTILE") && !name.starts_with("ZNAXIS")) return true;
    if (card.substr(8, 2) != "= ") return false;
    const std::string value(card.substr(10));
    char* stop = nullptr;
    const long long number = std::strtoll(value.c_str(), &stop, 10);
    const std::string_view rest(stop);
    const std::size_t next = rest.find_first_not_of(' ');
    return stop != value.c_str() && number >= 1 &&
           (next == std::string_view::npos || rest[next] == '/');
}

// CFITSIO's message for a value it cannot read as a whole number holds 28 of its characters.
bool ExtensionHeader::numberReadable(std::string_view card) {
    constexpr std::size_t kMostInMessage = 28;
    if (card.substr(8, 2) != "= " || !readAsWholeNumber(keyword(card))) return true;
    const std::string_view value = valueOf(card);
    return value.size() <= kMostInMessage || isNumber(value);
}
