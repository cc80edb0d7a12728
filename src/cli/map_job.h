#pragma once

#include "analysis/parameter_plane.h"
#include "cli/command.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quorvane::cli {

// What `quorvane map` computes: lambda_1 of an attractor over a plane of two of orbit 1's
// parameters, or over one slice of the plane's rows.
struct MapJob {
    const AttractorChoice* attractor = nullptr;
    // Orbit 1's parameters from the prompts' defaults and --set; the plane sets its two
    // letters value by value.
    ParameterSet parameters;
    analysis::ParameterPlane plane;
    analysis::BenettinSettings settings {10'000, 100'000, 10};
    analysis::PlaneSlice slice; // 0 of 1: the whole plane

    bool isSliced() const { return slice.count > 1; }
    // The number of values the job computes.
    std::uint64_t values() const { return slice.rowsOf(plane.y.count) * plane.x.count; }
};

// The most values across and up: a 4096x4096 map takes about 64 MB for its picture's values
// and as much again for the PNG's pixels, and weeks of one core at the default steps.
inline constexpr std::uint64_t kMostMapSide = 4096;

// Adds what a map's command line and a part's settings share to the command: NAME, --set,
// --steps and --quiet, --x, --y, --size, --transient, --renorm and --slice.
void addMapOptions(HeadlessCommand& command);

// Reads those options once the command has parsed its arguments. Returns the usage error, or
// nothing with the job filled in.
std::optional<QString> readMapJob(const HeadlessCommand& command, MapJob& job);

// The settings a job was computed with, as the command line that computes it again:
// "quorvane map lorenz --x b=0:200 --y a=0:40 --size 400x300 --set c=2.667 --steps 100000
// --transient 10000 --renorm 10", every parameter of orbit 1 named, and "--slice I/N" at the
// end for a slice of more than one. Numbers in the fewest digits that read back as the same
// double, so the text holds the job exactly; no comma, quote or line break, so it fits a CSV
// field as it is.
std::string settingsText(const MapJob& job);

// Reads settings as settingsText() writes them, or any command line of the same options in
// any order. Returns the reason they are no map's settings, or nothing with the job filled in.
std::optional<QString> readSettings(const QString& text, MapJob& job);

} // namespace quorvane::cli
