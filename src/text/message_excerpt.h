#pragma once

#include <string>
#include <string_view>

// A piece of a file quoted in a message so that the user can recognise it: control bytes shown
// as "?", at most 40 bytes, never cut inside a UTF-8 character, "…" where something was left
// out (or when the caller already had to cut it).
std::string messageExcerpt(std::string_view text, bool alreadyCut = false);
