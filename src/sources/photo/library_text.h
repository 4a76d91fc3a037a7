#pragma once

#include <string>
#include <string_view>

// What the picture libraries say while they read: Qt's image readers and, through them, libpng
// and libjpeg (Qt's messages), and libtiff (its warning and error handlers). English text meant
// for a developer's terminal: while a LibraryText lives on a thread, what the libraries say on
// that thread is kept in it, for a fault's detail or to be dropped, instead of reaching standard
// error. On other threads, and where no LibraryText lives, the text goes where it went before.
class LibraryText {
public:
    // Installs the routing, once for the whole process (the handlers are the process's); the
    // first LibraryText does it.
    static void route();

    LibraryText();
    ~LibraryText();
    LibraryText(const LibraryText&) = delete;
    LibraryText& operator=(const LibraryText&) = delete;

    // What was said, a line for each message.
    const std::string& text() const { return text_; }
    bool says(std::string_view words) const { return text_.find(words) != std::string::npos; }

    // Keeps a message of the thread's libraries (called by the handlers).
    static bool keep(std::string_view message);

private:
    LibraryText* outer_;
    std::string text_;
};
