#pragma once

#include <string_view>

// The first bytes of the camera raw formats LibRaw reads, told without LibRaw, so that only a file
// that can be one is opened with it.
class RawSignature {
public:
    enum class Kind {
        None,  // no raw format starts so
        Ask,   // LibRaw decides: a TIFF (CR2, NEF, ARW, PEF, DNG, ... or a plain picture), or a
               // raw format whose first bytes are text a star list could start with
        Raw,   // bytes only a raw format starts with: a file LibRaw cannot read is a broken raw
    };

    // head: the file's first bytes, at least 32 of them where the file has them.
    static Kind of(std::string_view head);
};
