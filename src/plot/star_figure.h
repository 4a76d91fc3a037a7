#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// What one star becomes on the plot, in drawing order: circles in an outline grey with their
// inside in the fill grey, and single pixels. A surface gets a whole star at once, so that it
// can lay the overlapping circles down in one pass over their rows.
struct StarFigure {
    // Left unset until added: a figure is made for every star.
    struct Mark {
        float x;
        float y;
        float r;  // none for a pixel
        std::uint8_t grey;
        bool pixel;
    };

    // A double star: three edge circles and a core for each of its two discs.
    static constexpr std::size_t kMostMarks = 8;

    void circle(float x, float y, float r, std::uint8_t outline) {
        marks[count++] = {x, y, r, outline, false};
    }
    void dot(float x, float y, std::uint8_t grey) { marks[count++] = {x, y, 0, grey, true}; }

    std::array<Mark, kMostMarks> marks;  // the first `count` are set
    std::size_t count = 0;
};
