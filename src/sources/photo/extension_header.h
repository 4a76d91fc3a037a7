#pragma once

#include <string_view>

// Whether CFITSIO can be let read an extension's header. It reads some of its cards as numbers
// while it moves to the extension, before any check of ours could run, and it takes some
// damage there for a crash: a compressed image's tile sides and Rice block size are divided
// by (a card without a value reads as 0), the message it composes for a number it cannot read
// overruns its buffer when the value is long, and so does a column's name without quotes.
class ExtensionHeader {
public:
    // header: the extension's bytes from its first card, as many blocks as are at hand.
    static bool sound(std::string_view header);
};
