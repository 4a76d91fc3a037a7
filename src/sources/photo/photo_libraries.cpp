#include "sources/photo/photo_libraries.h"

#include <fitsio.h>
#include <libraw/libraw.h>
#include <sep.h>

#include <cmath>

namespace {

// CFITSIO tells its version as one number, major + minor / 100 + micro / 10000.
std::string cfitsioVersion() {
    float number = 0;
    ffvers(&number);
    const long parts = std::lround(static_cast<double>(number) * 10000);
    return std::to_string(parts / 10000) + "." + std::to_string(parts / 100 % 100) + "." +
           std::to_string(parts % 100);
}

}  // namespace

std::vector<PhotoLibraries::Version> PhotoLibraries::versions() {
    return {
        {"SEP", sep_version_string}, {"CFITSIO", cfitsioVersion()}, {"LibRaw", libraw_version()}};
}
