#pragma once

#include <QIODevice>
#include <QImage>
#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace quorvane::output {

// A plane of values as a picture (quorvane map's --plot): each value a square block of pixels
// coloured by the diverging scale of diverging_scale.h, its zero contour drawn as a line, the
// values without one hatched; both axes labelled, with ticks on round values; a colour bar with
// its label and a legend beside it; the title above.
//
// Column 0 holds the value at xFirst, the last column the one at xLast, evenly spaced between;
// row 0 the value at yFirst. Whichever way the ranges run, the axes grow to the right and
// upwards, so a range from a larger to a smaller value is drawn mirrored.
struct MapPicture {
    std::uint64_t columns = 0;
    std::uint64_t rows = 0;
    // columns * rows values, row 0 first, each row in column order. Not a number: no value;
    // an infinity takes the colour of its end of the scale.
    std::vector<float> values;
    double xFirst = 0;
    double xLast = 1;
    double yFirst = 0;
    double yLast = 1;
    QString title; // up to two lines, separated by '\n'
    QString xLabel;
    QString yLabel;
    QString scaleLabel; // what the colours measure, along the colour bar
    QString noValueLabel; // what the hatching stands for, in the legend
    QString zeroLabel; // what the contour stands for, in the legend
};

// The side of a value's block, in pixels: as large as lets the map fill about 960 x 720
// pixels, and at least 1.
int blockSize(std::uint64_t columns, std::uint64_t rows);

// Where drawMap() puts the values' blocks in its picture: columns x rows blocks of
// blockSize() pixels. Empty where drawMap() draws nothing.
QRect mapArea(const MapPicture& map);

// The picture; a null image when there is nothing to draw, when the image cannot be allocated,
// or without a QGuiApplication to draw its text.
QImage drawMap(const MapPicture& map);

// Draws the picture and writes it into the device as PNG. Returns nothing on success, the reason
// on failure.
std::optional<QString> writeMapInto(const MapPicture& map, QIODevice& device);

} // namespace quorvane::output
