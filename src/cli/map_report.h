#pragma once

#include "cli/map_csv.h"
#include "cli/map_job.h"
#include "output/map_picture.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorvane::cli {

// What a map's values came to, counted as its rows come.
struct MapTally {
    std::uint64_t chaotic = 0;
    std::uint64_t notChaotic = 0;
    std::uint64_t withoutExponent = 0;

    void add(const MapValue& value)
    {
        ++(!value.hasExponent ? withoutExponent : value.isChaotic() ? chaotic : notChaotic);
    }
};

// The values a map's picture shows, gathered row by row when there is a picture to draw:
// lambda_1 per unit time for a flow and per step for a map, not a number where there is no
// exponent.
class MapValues {
public:
    MapValues(const MapJob& job, bool keep);

    void add(std::uint64_t row, std::uint64_t column, const MapValue& value);

    const MapTally& tally() const { return m_tally; }
    // The values, handed over for the picture.
    std::vector<float> take() { return std::move(m_values); }

private:
    const MapJob& m_job;
    const double m_unit;
    const bool m_keep;
    MapTally m_tally;
    std::vector<float> m_values;
};

// The rows of a plane of `planeRows` rows that a slice computes, "rows 1, 4, ..., 298", or
// "row 1" for a slice of one row.
std::string sliceRows(const analysis::PlaneSlice& slice, std::uint64_t planeRows);

// The lines printed once a map is done: what was measured, how, and what the values came to.
std::string mapSummary(const MapJob& job, const MapTally& tally);

// Adds the picture, if it has a name, to the files whose writers are given (the CSV file's),
// writes them all together, and prints the summary and, unless quiet, the files written.
// Returns the exit status.
int writeMapFiles(const HeadlessCommand& command, const MapJob& job,
    std::vector<output::PendingFile> files, MapValues& shown, const QString& csvFile,
    const QString& plotFile);

// The whole map as a picture, its title naming the attractor, the letters and the fixed
// parameters, and the method's settings.
output::MapPicture mapPicture(const MapJob& job, std::vector<float> values, const MapTally& tally);

} // namespace quorvane::cli
