#include <QLocale>
#include <iostream>

#include "app/headless_plotter.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The sensor size is read with the user's decimal separator, as the window reads it.
    const std::string separator = QLocale::system().decimalPoint().toStdString();
    return HeadlessPlotter().run(args, separator, std::cout, std::cerr);
}
