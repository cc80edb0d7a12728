#pragma once

#include "analysis/benettin.h"
#include "analysis/parameter_sweep.h"
#include "headless/progress_listener.h"

#include <cstdint>
#include <functional>
#include <span>

namespace quorvane::analysis {

// A plane of values of two of orbit 1's parameters: x.count values of x's letter across,
// y.count values of y's letter up, each range spaced as `--vary LETTER=FROM:TO:COUNT` spaces
// it. The two letters differ.
struct ParameterPlane {
    Sweep x;
    Sweep y;

    // The parameters at column `column` and row `row`: `base` with y's letter set to row's
    // value, then x's letter set to column's value. So row j is, value for value, the sweep
    // x over `base` with y's letter at y.value(j), as `lyapunov --set Y=... --vary X=...`
    // measures it.
    ParameterSet parameters(const ParameterSet& base, std::uint64_t column, std::uint64_t row) const
    {
        return x.parameters(y.parameters(base, row), column);
    }
};

// The rows of a plane that slice `index` of `count` holds: the rows r with r mod count =
// index. Interleaved, so that slices of a plane with a band of costly or cheap rows cost about
// the same.
struct PlaneSlice {
    std::uint64_t index = 0;
    std::uint64_t count = 1; // at least 1; index below it

    bool holds(std::uint64_t row) const { return row % count == index; }
    // How many of a plane's `planeRows` rows the slice holds.
    std::uint64_t rowsOf(std::uint64_t planeRows) const
    {
        return planeRows > index ? (planeRows - index - 1) / count + 1 : 0;
    }
    // The plane's row that is the slice's k-th.
    std::uint64_t row(std::uint64_t k) const { return index + k * count; }
};

// Takes the estimates of one whole row, in column order, on the thread that called
// estimatePlane().
using PlaneRowSink
    = std::function<void(std::uint64_t row, std::span<const LyapunovEstimate> estimates)>;

// Estimates every value of the slice's rows of the plane, each in its own run on up to
// `threads` threads, in batches of up to 16 neighbouring values of one row (see
// estimateBatch()). Hands each row to `sink` as soon as it and every row before it are done, in
// the order of the rows, on the calling thread, which meanwhile keeps `progress` (if any) up to
// date with the steps of all runs together. The estimates do not depend on the number of
// threads: each is the same computation on whichever thread makes it.
//
// Only a few rows are held at a time: a worker does not start a row far ahead of the oldest one
// not yet handed over, so a plane of any size needs memory for a few rows and the sink's own.
// When the sink throws, or a run cannot get the memory it needs, the workers stop taking new
// batches, finish those they have, and the exception reaches the caller.
void estimatePlane(const AttractorChoice& attractor, const ParameterSet& base,
    const ParameterPlane& plane, const PlaneSlice& slice, const BenettinSettings& settings,
    unsigned threads, headless::ProgressListener* progress, const PlaneRowSink& sink);

} // namespace quorvane::analysis
