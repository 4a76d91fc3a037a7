#pragma once

#include <string_view>

#include "plot/classifier.h"

// The kind of a drawn star as the per-star table and the summary name it.
constexpr std::string_view starKindText(StarKind kind) {
    switch (kind) {
        case StarKind::Single:
            return "single";
        case StarKind::DoubleByShape:
            return "double-shape";
        case StarKind::DoubleByOccupancy:
            return "double-occupancy";
    }
    return "";
}
