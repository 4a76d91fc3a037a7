#pragma once

// One star of a star list, as its twelve items give it.
struct StarRecord {
    double index = 0;  // running record number, 1 for the first
    double area = 0;
    double x = 0;     // centre, sensor pixels from the left edge
    double y = 0;     // centre, sensor pixels from the top edge, growing downwards
    double left = 0;  // items 5 and 6, the bounding box's left column and top row: kept for
    double top = 0;   // lists written back, not used by the plot
    double extent1 = 0;
    double extent2 = 0;
    double span = 0;
    double size = 0;
    float angle = 0;  // degrees, counter-clockwise from the x axis with y up
    double roundness = 0;
    double fwhm = 0;  // the star's FWHM in pixels where its source measures one; 0 otherwise
};
