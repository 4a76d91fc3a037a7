#include "app/window_placement.h"

#include <algorithm>
#include <array>

namespace {

// The window moved as little as needed to lie whole on the screen; pinned to the top left
// corner, title bar shown, when it is larger than the screen.
QPoint onScreen(const QPoint& at, const QSize& size, const QRect& screen) {
    const int x = std::min(at.x(), screen.right() + 1 - size.width());
    const int y = std::min(at.y(), screen.bottom() + 1 - size.height());
    return {std::max(screen.left(), x), std::max(screen.top(), y)};
}

long long covered(const QRect& window, const QRect& area) {
    const QRect both = window & area;
    return both.isEmpty() ? 0 : static_cast<long long>(both.width()) * both.height();
}

}  // namespace

QPoint placeBeside(const QRect& main, const QRect& controls, const QSize& other,
                   const QRect& screen, int gap) {
    const std::array<QPoint, 3> sides = {
        QPoint(main.right() + 1 + gap, main.top()),
        QPoint(main.left() - gap - other.width(), main.top()),
        QPoint(main.left(), main.bottom() + 1 + gap),
    };
    for (const QPoint& side : sides) {
        const QRect there(side, other);
        if (screen.contains(there) && !there.intersects(main)) return side;
    }
    const std::array<QPoint, 7> candidates = {
        onScreen(sides[0], other, screen),
        onScreen(sides[1], other, screen),
        onScreen(sides[2], other, screen),
        onScreen({screen.right() + 1 - other.width(), screen.bottom() + 1 - other.height()}, other,
                 screen),
        onScreen({screen.left(), screen.bottom() + 1 - other.height()}, other, screen),
        onScreen({screen.right() + 1 - other.width(), screen.top()}, other, screen),
        onScreen(screen.topLeft(), other, screen),
    };
    const auto cost = [&](const QPoint& at) {
        const QRect there(at, other);
        return std::make_pair(covered(there, controls), covered(there, main));
    };
    return *std::min_element(candidates.begin(), candidates.end(),
                             [&](const QPoint& a, const QPoint& b) { return cost(a) < cost(b); });
}
