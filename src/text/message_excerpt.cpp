#include "text/message_excerpt.h"

#include <algorithm>

std::string messageExcerpt(std::string_view text, bool alreadyCut) {
    constexpr std::size_t kLongest = 40;
    std::size_t length = std::min(text.size(), kLongest);
    while (length > 0 && length < text.size() &&
           (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        --length;
    }
    std::string excerpt(text.substr(0, length));
    for (char& c : excerpt) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    }
    if (alreadyCut || length < text.size()) excerpt += "…";
    return excerpt;
}
