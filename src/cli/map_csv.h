#pragma once

#include "analysis/benettin.h"
#include "cli/map_job.h"
#include "output/csv_writer.h"

#include <QString>

#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvane::cli {

// A map's CSV file, one line a value, the rows of the plane in order and each row's columns in
// order:
//
//   b,a,lambda_per_step,lambda_per_time,stderr,settings
//   0,0,-0.00040...,-1.00...,2.1e-07,quorvane map lorenz --x b=0:200 --y a=0:40 ...
//   0.50125313283208017,0,...
//
// The two letters first, x's then y's, then the fields of `lyapunov --vary`'s CSV for that
// value, numbers in %.17g: lambda_per_time empty for a map, which has no model time, all three
// empty where there is no exponent. The first line of values ends in a sixth field, `settings`,
// the command line that computed the file (settingsText()); the other lines have five fields.
// So a spreadsheet or `pandas.read_csv(file)` reads the numbers as they are, with the settings
// as the one text in the last column.

// What the CSV file holds of an estimate.
struct MapValue {
    bool hasExponent = false;
    double perStep = std::numeric_limits<double>::quiet_NaN();
    double standardError = std::numeric_limits<double>::quiet_NaN(); // not a number: none

    static MapValue of(const analysis::LyapunovEstimate& estimate)
    {
        return {estimate.hasExponent(), estimate.perStep, estimate.standardError};
    }
    // Above zero by more than twice its standard error, as LyapunovEstimate::isChaotic().
    bool isChaotic() const
    {
        return hasExponent && std::isfinite(perStep) && perStep > 2 * standardError;
    }
};

// The file's first line.
std::string mapCsvHeader(const MapJob& job);

// Writes a job's lines as its rows come, through a CsvWriter, so the file never has to be held
// whole.
class MapCsvWriter {
public:
    // Writes the header.
    MapCsvWriter(output::CsvWriter& writer, const MapJob& job);

    // Writes row `row` of the plane, its values in column order.
    void row(std::uint64_t row, std::span<const MapValue> values);
    void row(std::uint64_t row, std::span<const analysis::LyapunovEstimate> estimates);

private:
    void value(std::uint64_t column, std::uint64_t row, const MapValue& value);

    output::CsvWriter& m_writer;
    const MapJob& m_job;
    const std::string m_settings;
    bool m_first = true;
    std::string m_line;
};

// One part of a map read back: its job, from its settings, and its values, the slice's rows in
// order.
struct MapPart {
    QString fileName;
    MapJob job;
    std::vector<MapValue> values;
};

// Reads a part as MapCsvWriter writes it: the header, the settings, every row of its slice with
// the letters' values that row and column have, and nothing else. A file that holds anything
// else, or a row more or less, is refused: no part of a map. Returns the reason, or nothing
// with the part filled in. Lines may end in CR LF, as a spreadsheet may save them.
std::optional<QString> readMapPart(const QString& fileName, MapPart& part);

} // namespace quorvane::cli
