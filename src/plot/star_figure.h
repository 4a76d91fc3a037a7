#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// What one star becomes on the plot, in drawing order: circles in an outline grey with their
// inside in the fill grey, and single pixels. A surface gets a whole star at once, so that it
// can lay the overlapping circles down in one pass over their rows.
struct StarFigure {
    struct Mark {
        float x = 0;
        float y = 0;
        float r = 0;  // none for a pixel
        std::uint8_t grey = 0;
        bool pixel = false;
    };

    // A double star: three edge circles and a core for each of its two discs.
    static constexpr std::size_t kMostMarks = 8;

    void circle(float x, float y, float r, std::uint8_t outline) {
        marks[count++] = {x, y, r, outline, false};
    }
    void dot(float x, float y, std::uint8_t grey) { marks[count++] = {x, y, 0, grey, true}; }

    std::array<Mark, kMostMarks> marks{};
    std::size_t count = 0;
};
