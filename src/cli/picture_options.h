#pragma once

#include <QCommandLineParser>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

namespace quorvane::cli {

// The most image pixels a logical pixel may have, and the longest side of a drawing area.
inline constexpr int kMostScale = 8;
inline constexpr std::uint64_t kMostLogicalSide = 1'000'000;

// The drawing area a command draws a run into, as --size, --scale and --background choose it.
struct PictureOptions {
    QSize logical {1600, 1200}; // in logical pixels of 15 twips
    int scale = 1; // image pixels per logical pixel
    int background = 0; // palette index

    // The image's size in pixels.
    QSize pixels() const { return logical * scale; }
};

// Adds --size, --scale and --background, with their help texts, to a command's options.
void addPictureOptions(QCommandLineParser& parser);

// Reads --size, --scale and --background into `picture`. Returns the usage error of one that
// is out of range, or nothing.
std::optional<QString> readPictureOptions(
    const QCommandLineParser& parser, PictureOptions& picture);

} // namespace quorvane::cli
