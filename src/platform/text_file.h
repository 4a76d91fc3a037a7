#pragma once

#include <QString>
#include <string>

// Small text files read and written whole; a write replaces an existing file only once the new
// one is complete, so a failed write leaves it intact.
class TextFile {
public:
    // Returns an empty text on success, otherwise the message to show (Japanese, with the name).
    static QString write(const QString& path, const std::string& content);
    // Reads at most maxBytes; the message is empty on success.
    static QString read(const QString& path, std::string& content, qint64 maxBytes = 1 << 20);
};
