#include "sources/photo/library_text.h"

#include <tiffio.h>

#include <QMessageLogContext>
#include <QString>
#include <QtGlobal>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

thread_local LibraryText* caught = nullptr;

QtMessageHandler previousQt = nullptr;
TIFFErrorHandler previousTiffError = nullptr;
TIFFErrorHandler previousTiffWarning = nullptr;

void qtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const std::string category =
        context.category != nullptr && std::strcmp(context.category, "default") != 0
            ? std::string(context.category) + ": "
            : std::string();
    if (LibraryText::keep(category + message.toStdString())) return;
    if (previousQt != nullptr) {
        previousQt(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

std::string formatted(const char* module, const char* format, va_list arguments) {
    std::array<char, 1024> text{};
    // The caller's va_copy, which the analyzer does not follow.
    // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized)
    std::vsnprintf(text.data(), text.size(), format, arguments);
    return module != nullptr ? std::string(module) + ": " + text.data() : std::string(text.data());
}

void tiffMessage(TIFFErrorHandler previous, const char* module, const char* format,
                 va_list arguments) {
    va_list copy;
    va_copy(copy, arguments);
    const bool kept = LibraryText::keep(formatted(module, format, copy));
    va_end(copy);
    if (!kept && previous != nullptr) previous(module, format, arguments);
}

void tiffError(const char* module, const char* format, va_list arguments) {
    tiffMessage(previousTiffError, module, format, arguments);
}

void tiffWarning(const char* module, const char* format, va_list arguments) {
    tiffMessage(previousTiffWarning, module, format, arguments);
}

}  // namespace

void LibraryText::route() {
    static std::once_flag once;
    std::call_once(once, [] {
        previousQt = qInstallMessageHandler(qtMessage);
        previousTiffError = TIFFSetErrorHandler(tiffError);
        previousTiffWarning = TIFFSetWarningHandler(tiffWarning);
    });
}

LibraryText::LibraryText() : outer_(caught) {
    route();
    caught = this;
}

LibraryText::~LibraryText() {
    caught = outer_;
}

bool LibraryText::keep(std::string_view message) {
    if (caught == nullptr) return false;
    // A broken file can make a library say the same a thousand times: the first lines tell.
    constexpr std::size_t kMostText = 2048;
    if (caught->text_.size() < kMostText) {
        caught->text_.append(message.substr(0, kMostText));
        if (!message.ends_with('\n')) caught->text_ += '\n';
    }
    return true;
}
