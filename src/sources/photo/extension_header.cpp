#include "sources/photo/extension_header.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

constexpr std::size_t kCardBytes = 80;

// The cards CFITSIO reads as whole numbers on its way into an extension or a compressed image,
// and those Quendra reads so; the last three are numbered (ZNAXIS1, ZTILE2, ZVAL1...).
constexpr std::array<std::string_view, 9> kWholeNumbers = {
    "BITPIX", "NAXIS2", "PCOUNT", "TFIELDS", "EXTVER", "ZBITPIX", "ZDITHER0", "ZBLANK", "BLANK"};
constexpr std::array<std::string_view, 3> kNumberedWholeNumbers = {"ZNAXIS", "ZTILE", "ZVAL"};

// One card as CFITSIO reads it: a C string (it ends at a zero byte), its name in capitals (it
// finds "zval1" as ZVAL1), its value after "= " in columns 9 and 10, else after the first "="
// anywhere on the card.
struct Card {
    std::string name;
    std::string_view value;
    bool valued = false;

    explicit Card(std::string_view bytes) {
        bytes = bytes.substr(0, bytes.find('\0'));
        name = bytes.substr(0, std::min(bytes.find_first_of(" ="), std::size_t{8}));
        for (char& c : name) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
        const bool standard = bytes.size() >= 10 && bytes.substr(8, 2) == "= ";
        const std::size_t sign = standard ? 8 : bytes.find('=');
        if (sign == std::string_view::npos) return;
        valued = true;
        value = trimmed(bytes.substr(std::min(sign + (standard ? 2 : 1), bytes.size())));
    }

    bool named(std::string_view stem) const {
        return name.starts_with(stem) &&
               name.find_first_not_of("0123456789", stem.size()) == std::string_view::npos;
    }

private:
    // A string through its closing quote, a complex pair through its bracket, anything else up
    // to the comment; blanks around it left out.
    static std::string_view trimmed(std::string_view rest) {
        rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
        std::size_t end = rest.find('/');
        // A string or a pair left open runs to the card's end.
        const auto through = [&](std::size_t close) {
            return close == std::string_view::npos ? rest.size() : close + 1;
        };
        if (rest.starts_with('\'')) end = through(rest.find('\'', 1));
        if (rest.starts_with('(')) end = through(rest.find(')'));
        rest = rest.substr(0, std::min(end, rest.size()));
        return rest.substr(0, rest.find_last_not_of(' ') + 1);
    }
};

// A decimal number and nothing else, within what CFITSIO reads into a long long.
bool isWholeNumber(std::string_view value) {
    constexpr double kLongLongRange = 9.2e18;
    if (value.empty() || value.find_first_not_of("0123456789+-.Ee") != std::string_view::npos) {
        return false;
    }
    const std::string text(value);
    char* stop = nullptr;
    const double number = std::strtod(text.c_str(), &stop);
    return stop == text.c_str() + text.size() && std::fabs(number) < kLongLongRange;
}

bool readAsWholeNumber(const Card& card) {
    return std::find(kWholeNumbers.begin(), kWholeNumbers.end(), card.name) !=
               kWholeNumbers.end() ||
           std::any_of(kNumberedWholeNumbers.begin(), kNumberedWholeNumbers.end(),
                       [&](std::string_view stem) { return card.named(stem); });
}

// A tile side or an axis: a whole number of 1 or more (a card without a value reads as 0).
bool sideSound(const Card& card) {
    if (!card.named("ZTILE") && !card.named("ZNAXIS")) return true;
    return card.valued && card.value.find_first_not_of("0123456789+") == std::string_view::npos &&
           isWholeNumber(card.value) && std::strtod(std::string(card.value).c_str(), nullptr) >= 1;
}

// CFITSIO's message for a value it cannot read as a whole number holds 28 of its characters.
bool numberReadable(const Card& card) {
    constexpr std::size_t kMostInMessage = 28;
    return !card.valued || !readAsWholeNumber(card) || card.value.size() <= kMostInMessage ||
           isWholeNumber(card.value);
}

// A value without quotes is copied whole into a column's name of 69 characters.
bool copyable(const Card& card) {
    constexpr std::size_t kMostCopied = 69;
    return !card.valued || card.value.starts_with('\'') || card.value.size() <= kMostCopied;
}

}  // namespace

bool ExtensionHeader::sound(std::string_view header) {
    // A card given twice may be read in either of its places: any of them counts.
    bool rice = false;
    bool smallBlocks = false;
    for (std::size_t at = 0; at + kCardBytes <= header.size(); at += kCardBytes) {
        const std::string_view bytes = header.substr(at, kCardBytes);
        if (bytes.starts_with("END     ")) break;
        const Card card(bytes);
        if (!sideSound(card) || !numberReadable(card) || !copyable(card)) return false;
        if (card.name == "ZCMPTYPE") {
            rice = rice || card.value.starts_with("'RICE_1") || card.value.starts_with("'RICE_ONE");
        } else if (card.name == "ZVAL1") {
            // Below 1 also where negative: the most pixels of a tile in an int, divided by -1,
            // overflows.
            smallBlocks = smallBlocks || std::strtod(std::string(card.value).c_str(), nullptr) < 1;
        }
    }
    // A Rice image's block size is taken as a whole number and divided by.
    return !rice || !smallBlocks;
}
