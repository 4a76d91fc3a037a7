#include "sources/photo/raw_signature.h"

#include <algorithm>
#include <array>

namespace {

bool at(std::string_view head, std::size_t offset, std::string_view bytes) {
    return head.size() >= offset + bytes.size() && head.substr(offset, bytes.size()) == bytes;
}

// Olympus ORF ("IIRO", "IIRS", "MMOR") and Panasonic RW2 ("IIU\0"): TIFF's layout under a magic
// of their own, the first directory within 16 MB, so a zero byte follows.
bool isTiffVariant(std::string_view head) {
    if (head.size() < 8) return false;
    if (at(head, 0, "IIRO") || at(head, 0, "IIRS") || at(head, 0, std::string_view("IIU\0", 4))) {
        return head[7] == '\0';
    }
    return at(head, 0, "MMOR") && head[4] == '\0';
}

}  // namespace

RawSignature::Kind RawSignature::of(std::string_view head) {
    using namespace std::string_view_literals;
    if (at(head, 0, "II*\0"sv) || at(head, 0, "MM\0*"sv)) return Kind::Ask;
    // Each of these holds bytes no text has, or is a format's own name.
    static constexpr std::array kRaw{
        "\0MRM"sv,             // Minolta MRW
        "FOVb"sv,              // Sigma X3F
        "FUJIFILMCCD-RAW "sv,  // Fujifilm RAF
        "\0\x01\0\x01\0@"sv,   // Nokia
        "CI\x2c\0"sv,          // Phantom cine
        "PXN\0"sv,             // Logitech Fotoman
        "qktk\0"sv,            // Apple QuickTake 100
        "qktn\0"sv,            // Apple QuickTake 150
    };
    const bool own = std::any_of(kRaw.begin(), kRaw.end(),
                                 [&](std::string_view start) { return at(head, 0, start); });
    // Canon CR3 (an ISO media file whose box size comes first) and CRW (a CIFF heap).
    if (own || at(head, 4, "ftypcrx "sv) || isTiffVariant(head) ||
        ((at(head, 0, "II"sv) || at(head, 0, "MM"sv)) && at(head, 6, "HEAPCCDR"sv))) {
        return Kind::Raw;
    }
    static constexpr std::array kAsk{"IIII"sv,     "MMMM"sv,      "ARRI"sv, "XPDS"sv,
                                     "NOKIARAW"sv, "DSC-Image"sv, "PWAD"sv};
    const bool ask = std::any_of(kAsk.begin(), kAsk.end(),
                                 [&](std::string_view start) { return at(head, 0, start); });
    return ask || at(head, 4, "RED1"sv) || at(head, 25, "ARECOYK"sv) ? Kind::Ask : Kind::None;
}
