#pragma once

#include <QString>
#include <string>

// Small text files read and written whole; a write replaces an existing file only once the new
// one is complete, so a failed write leaves it intact.
class TextFile {
public:
    // Far more than any text file the program reads; a device that never ends stops here.
    static constexpr qint64 kLargestRead = qint64{16} << 20;

    // Returns an empty text on success, otherwise the message to show (Japanese, with the name).
    static QString write(const QString& path, const std::string& content);
    // Reads the whole file; a file longer than maxBytes is refused with a message, never cut.
    // The message is empty on success; content is changed only then.
    static QString read(const QString& path, std::string& content, qint64 maxBytes = kLargestRead);
};
