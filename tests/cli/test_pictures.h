#pragma once

#include <string>
#include <utility>

#include "picture_module/qt_picture_module.h"

// The plotter's pictures as the program loads them, linked in, with the user's decimal separator
// set by the test.
class TestPictures : public QtPictureModule {
public:
    explicit TestPictures(std::string separator = ".") : separator_(std::move(separator)) {}
    std::string decimalSeparator() override { return separator_; }

private:
    std::string separator_;
};
