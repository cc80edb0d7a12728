#pragma once

#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>

namespace quorvane::output {

// An image format a command writes, chosen by the extension of the file's name, with the
// limits of the format's own writer. A run whose image the writer would refuse is refused
// before it starts rather than after.
struct ImageFormat {
    const char* extension; // lower case, without the point: "png"
    const char* name; // as QImageWriter knows it
    const char* title; // as the user knows it: "PNG"
    // The largest width and height the writer takes, in pixels. libpng refuses a side over
    // 1,000,000 pixels; a BMP file's sides are signed 32-bit numbers.
    std::int64_t mostSide;
};

inline constexpr ImageFormat kPng {"png", "png", "PNG", 1'000'000};
inline constexpr ImageFormat kBmp {"bmp", "bmp", "BMP", 2'147'483'647};

// Why the format cannot hold an image of `pixels`, as the end of a sentence ("wider or
// taller than the 1000000 pixels a side a PNG file takes"); nothing when it can.
std::optional<QString> sizeRefusal(const ImageFormat& format, QSize pixels);

} // namespace quorvane::output
