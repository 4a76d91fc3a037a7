#pragma once

#include <QString>
#include <string>
#include <string_view>

// The engine speaks UTF-8 text and file names as the system's bytes; Qt speaks QString. Texts
// are converted as UTF-8, file names through the platform's own encoding, so a name that is not
// UTF-8 reaches the file it names.
QString qtText(std::string_view utf8);
std::string nativeName(const QString& path);
QString qtName(std::string_view native);
// A file name as messages show it: control characters and escape sequences escaped.
QString shownName(const QString& path);
