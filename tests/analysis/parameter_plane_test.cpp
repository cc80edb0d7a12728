// A plane of exponents as quorvane map measures it: each value the estimate of its own
// parameter set, whatever the batch, the thread or the slice that measures it, handed over row
// by row in order; and the one function a faster engine may replace, held to its contract.

#include "analysis/batch_estimate.h"
#include "analysis/parameter_plane.h"
#include "refused_threads.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace quorvane::analysis {
namespace {

const AttractorChoice& attractor(const char* name) { return *headless::findAttractor(name); }

std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

// Every field of two estimates, the doubles to the bit (not a number included).
void expectSame(const LyapunovEstimate& a, const LyapunovEstimate& b)
{
    EXPECT_EQ(a.outcome, b.outcome);
    EXPECT_EQ(bits(a.perStep), bits(b.perStep));
    EXPECT_EQ(bits(a.standardError), bits(b.standardError));
    EXPECT_EQ(a.step, b.step);
    EXPECT_EQ(bits(a.jump), bits(b.jump));
    EXPECT_EQ(a.period, b.period);
    EXPECT_EQ(a.companionEscaped, b.companionEscaped);
    EXPECT_EQ(bits(a.largestCoordinate), bits(b.largestCoordinate));
    EXPECT_EQ(a.measuredSteps, b.measuredSteps);
    EXPECT_EQ(a.periodsLeftOut, b.periodsLeftOut);
    EXPECT_EQ(a.firstLeftOut, b.firstLeftOut);
}

const BenettinSettings kShort {500, 2000, 10};

// The batch's contract, which a form that runs several sets at once in vector lanes must keep:
// each estimate is the one estimateLyapunov() makes of its set alone, bit for bit, also beside
// sets whose orbits leave the numbers, jump or settle, and whatever the batch's size.
class BatchEstimate : public ::testing::TestWithParam<const char*> {
protected:
    // Sets that end in every way an estimate can: measured, escaped at a few steps, companions
    // that jump, fall onto orbit 1 or leave double precision behind, each beside sets that run
    // on.
    static std::vector<ParameterSet> mixedSets(std::string_view name)
    {
        if (name == "lorenz")
            return {{10, 28, 2.667}, {1e6, 28, 2.667}, {10, 10, 2.667}, {10, 28, 2.667},
                {1e5, 1, 1}, {10, 24.5, 2.667}};
        if (name == "rossler")
            return {{0.2, 0.2, 5.7}, {0.2, 0.2, 1e9}, {0.1, 0.1, 4}, {0.2, 0.2, 5.7}, {5, 5, 5}};
        if (name == "hopalong")
            return {{0.724, -0.565, -0.117}, {0, 0, 0}, {0.724, -0.565, -0.117}, {1e300, 1e300, 1},
                {-0.5, 0.3, 0.1}};
        if (name == "eqn1")
            return {{1.3, 0.4, -1.1, 0.7}, {1e9, 0, 0, 0}, {0.5, 0.5, 0.5, 0.5},
                {1.3, 0.4, -1.1, 0.7}, {1e308, 1e308, 1, 1}};
        if (name == "eqn8")
            return {{1.5, 0.2, 1, 0.3}, {1e9, 0, 0, 0}, {1.5, 0.2, 1, 0.3}, {1e308, 1, 1, 1},
                {0.1, 0.1, 0.1, 0.1}};
        return {{2.23, 0.5, -0.67, -2.1, 1}, {2.23, 0.5, -0.67, 0, 0}, {0, 0, 0, 0, 0},
            {2.23, 0.5, -0.67, -2.1, 1}};
    }
};

TEST_P(BatchEstimate, GivesEachSetWhatItsOwnEstimateGives)
{
    const AttractorChoice& system = attractor(GetParam());
    const std::vector<ParameterSet> sets = mixedSets(GetParam());
    std::vector<LyapunovEstimate> alone;
    for (const ParameterSet& set : sets)
        alone.push_back(estimateLyapunov(system, set, kShort));
    // The sets end in more than one way, so the lanes of a batch part company.
    bool measured = false, ended = false;
    for (const LyapunovEstimate& e : alone)
        (e.outcome == LyapunovEstimate::Outcome::Measured ? measured : ended) = true;
    EXPECT_TRUE(measured && ended) << "the cases no longer mix outcomes";

    // Every size from one to all, and every place in the batch.
    for (std::size_t size = 1; size <= sets.size(); ++size)
        for (std::size_t first = 0; first + size <= sets.size(); ++first) {
            SCOPED_TRACE(::testing::Message() << "sets " << first << " to " << first + size - 1);
            std::vector<LyapunovEstimate> batch(size);
            std::atomic<std::uint64_t> steps {0};
            estimateBatch(system, std::span(sets).subspan(first, size), kShort, batch, &steps);
            for (std::size_t k = 0; k < size; ++k)
                expectSame(batch[k], alone[first + k]);
            EXPECT_EQ(steps.load(), size * (500 + 1 + 2000));
        }
}

INSTANTIATE_TEST_SUITE_P(, BatchEstimate,
    ::testing::Values("lorenz", "rossler", "hopalong", "eqn1", "eqn8", "pickover"));

// A small plane of Hopalong, with every value's parameters written out here: a across from 0.5
// to 1 in three values (0.75 between), b up from -0.6 to -0.5 in two, c fixed.
class HopalongPlane : public ::testing::Test {
protected:
    static constexpr ParameterSet kBase {0.724, -0.565, -0.117};
    const ParameterPlane plane {{Param::a, 0.5, 1, 3}, {Param::b, -0.6, -0.5, 2}};

    static ParameterSet expected(std::uint64_t column, std::uint64_t row)
    {
        const double a[] = {0.5, 0.75, 1};
        const double b[] = {-0.6, -0.5};
        return {a[column], b[row], -0.117};
    }

    struct Row {
        std::uint64_t row;
        std::vector<LyapunovEstimate> estimates;
    };
    std::vector<Row> measure(const PlaneSlice& slice, unsigned threads, const ParameterPlane& p,
        const BenettinSettings& settings = kShort) const
    {
        std::vector<Row> rows;
        estimatePlane(attractor("hopalong"), kBase, p, slice, settings, threads, nullptr,
            [&](std::uint64_t row, std::span<const LyapunovEstimate> estimates) {
                rows.push_back({row, {estimates.begin(), estimates.end()}});
            });
        return rows;
    }
};

TEST_F(HopalongPlane, HandsOverEachRowInOrderWithEachValuesOwnEstimate)
{
    for (std::uint64_t j = 0; j < 2; ++j)
        for (std::uint64_t i = 0; i < 3; ++i) {
            const ParameterSet p = plane.parameters(kBase, i, j);
            const ParameterSet e = expected(i, j);
            EXPECT_TRUE(p.a == e.a && p.b == e.b && p.c == e.c && p.d == 0 && p.e == 0)
                << "column " << i << ", row " << j;
        }
    const std::vector<Row> rows = measure({}, 2, plane);
    ASSERT_EQ(rows.size(), 2u);
    for (std::uint64_t j = 0; j < 2; ++j) {
        EXPECT_EQ(rows[j].row, j);
        ASSERT_EQ(rows[j].estimates.size(), 3u);
        for (std::uint64_t i = 0; i < 3; ++i)
            expectSame(rows[j].estimates[i],
                estimateLyapunov(attractor("hopalong"), expected(i, j), kShort));
    }
}

// Rows wider than a batch, on any number of threads, and cut into slices: the same numbers.
TEST_F(HopalongPlane, GivesTheSameNumbersOnAnyThreadsAndInAnySlices)
{
    const ParameterPlane wide {{Param::a, 0.2, 1.2, 37}, {Param::c, -0.3, 0.3, 7}};
    const BenettinSettings settings {100, 300, 10};
    const std::vector<Row> whole = measure({}, 1, wide, settings);
    ASSERT_EQ(whole.size(), 7u);
    for (const unsigned threads : {2u, 3u, 8u}) {
        SCOPED_TRACE(::testing::Message() << threads << " threads");
        const std::vector<Row> again = measure({}, threads, wide, settings);
        ASSERT_EQ(again.size(), whole.size());
        for (std::size_t j = 0; j < whole.size(); ++j)
            for (std::size_t i = 0; i < 37; ++i)
                expectSame(again[j].estimates[i], whole[j].estimates[i]);
    }
    for (std::uint64_t index = 0; index < 3; ++index) {
        SCOPED_TRACE(::testing::Message() << "slice " << index << "/3");
        const std::vector<Row> slice = measure({index, 3}, 2, wide, settings);
        ASSERT_EQ(slice.size(), index == 0 ? 3u : 2u); // rows 0, 3, 6; 1, 4; 2, 5
        for (std::size_t k = 0; k < slice.size(); ++k) {
            EXPECT_EQ(slice[k].row, index + 3 * k);
            for (std::size_t i = 0; i < 37; ++i)
                expectSame(slice[k].estimates[i], whole[slice[k].row].estimates[i]);
        }
    }
}

TEST(PlaneSlice, HoldsEveryNthRowFromItsIndex)
{
    const PlaneSlice slice {2, 5};
    EXPECT_EQ(slice.rowsOf(2), 0u);
    EXPECT_EQ(slice.rowsOf(3), 1u);
    EXPECT_EQ(slice.rowsOf(12), 2u); // 2, 7
    EXPECT_EQ(slice.rowsOf(13), 3u); // 2, 7, 12
    EXPECT_EQ(slice.row(2), 12u);
    EXPECT_TRUE(slice.holds(7));
    EXPECT_FALSE(slice.holds(8));
}

// The sink fails (a file that cannot take more, memory that runs out): the workers stop, and
// the failure reaches the caller instead of ending the program or waiting for ever.
TEST_F(HopalongPlane, PassesOnASinksFailureAndStops)
{
    const ParameterPlane tall {{Param::a, 0.2, 1.2, 20}, {Param::c, -0.3, 0.3, 200}};
    std::uint64_t handed = 0;
    EXPECT_THROW(estimatePlane(attractor("hopalong"), kBase, tall, {}, {100, 300, 10}, 3, nullptr,
                     [&](std::uint64_t row, std::span<const LyapunovEstimate>) {
                         ++handed;
                         if (row == 2)
                             throw std::runtime_error("disk full");
                     }),
        std::runtime_error);
    EXPECT_EQ(handed, 3u);
}

// While the calling thread holds a row (writing it out, say), the workers go on only a few
// rows ahead of it, so a plane of any height needs memory for a few rows.
class StepsSeen final : public headless::ProgressListener {
public:
    bool isShown() const override { return true; }
    void update(std::uint64_t done) override { seen.push_back(done); }
    std::vector<std::uint64_t> seen;
};

TEST_F(HopalongPlane, WorksOnlyAFewRowsAheadOfTheRowHandedOver)
{
    // Rows of one batch each, cheap to measure: unchecked, two threads would finish all 500
    // while the first row is held.
    const ParameterPlane tall {{Param::a, 0.2, 1.2, 16}, {Param::c, -0.3, 0.3, 500}};
    const BenettinSettings settings {0, 10, 1};
    const std::uint64_t rowSteps = 16 * (0 + 1 + 10);
    StepsSeen progress;
    std::size_t seenBeforeRow1 = 0;
    estimatePlane(attractor("hopalong"), kBase, tall, {}, settings, 2, &progress,
        [&](std::uint64_t row, std::span<const LyapunovEstimate>) {
            if (row == 0)
                usleep(300'000);
            if (row == 1)
                seenBeforeRow1 = progress.seen.size();
        });
    ASSERT_GE(seenBeforeRow1, 2u);
    const std::uint64_t doneAtRow1 = progress.seen[seenBeforeRow1 - 1];
    EXPECT_GE(doneAtRow1, 2 * rowSteps);
    EXPECT_LE(doneAtRow1, 12 * rowSteps) << "the workers ran on while row 0 was held";
    EXPECT_EQ(progress.seen.back(), 500 * rowSteps);
}

// A system that refuses threads gives the same numbers: the threads it allows, or the calling
// thread alone, measure every value (see ParameterSweep's test of the same).
TEST_F(HopalongPlane, MeasuresEveryValueWhenTheSystemRefusesThreads)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs an address space without a limit";
#endif
    const ParameterPlane wide {{Param::a, 0.2, 1.2, 20}, {Param::c, -0.3, 0.3, 5}};
    const BenettinSettings settings {100, 300, 10};
    const std::vector<Row> one = measure({}, 1, wide, settings);
    expectRightWhenThreadsAreRefused([&] {
        const std::vector<Row> many = measure({}, 64, wide, settings);
        if (many.size() != one.size())
            return false;
        for (std::size_t j = 0; j < one.size(); ++j)
            for (std::size_t i = 0; i < 20; ++i)
                if (bits(one[j].estimates[i].perStep) != bits(many[j].estimates[i].perStep))
                    return false;
        return true;
    });
}

} // namespace
} // namespace quorvane::analysis
