#include "analysis/parameter_plane.h"

#include "analysis/batch_estimate.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace quorvane::analysis {

namespace {

// Values in one batch: a multiple of the 4 lanes a vector step may run at once.
constexpr std::uint64_t kBatch = 16;

// The work of a plane's slice, cut into batches: batch k is the (k mod batchesPerRow)-th run
// of kBatch values of the slice's (k / batchesPerRow)-th row. Workers take the batches in
// order; the calling thread hands the rows over in order. The rows in between live in a ring
// of `window` row buffers.
class PlaneWork {
public:
    PlaneWork(const AttractorChoice& attractor, const ParameterSet& base,
        const ParameterPlane& plane, const PlaneSlice& slice, const BenettinSettings& settings,
        unsigned threads)
        : m_attractor(attractor)
        , m_base(base)
        , m_plane(plane)
        , m_slice(slice)
        , m_settings(settings)
        , m_rows(slice.rowsOf(plane.y.count))
        , m_batchesPerRow((plane.x.count + kBatch - 1) / kBatch)
        , m_batches(m_rows * m_batchesPerRow)
        , m_workers(std::clamp<std::uint64_t>(threads, 1, std::max<std::uint64_t>(m_batches, 1)))
        // Room for every worker to have two batches ahead of the row being handed over.
        , m_window(std::min<std::uint64_t>(
              std::max<std::uint64_t>(m_rows, 1), 2 * m_workers / m_batchesPerRow + 2))
        , m_ring(m_window)
    {
        for (std::uint64_t k = 0; k < m_window && k < m_rows; ++k)
            resetSlot(k);
    }

    std::uint64_t rows() const { return m_rows; }
    std::uint64_t workers() const { return m_workers; }

    // A worker: takes and runs batches until none is left, the work is cancelled or a batch
    // fails.
    void work()
    {
        for (;;) {
            std::uint64_t batch = 0;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] {
                    return m_cancelled || m_nextBatch == m_batches
                        || m_nextBatch / m_batchesPerRow < m_handedOver + m_window;
                });
                if (m_cancelled || m_nextBatch == m_batches)
                    break;
                batch = m_nextBatch++;
            }
            if (!run(batch))
                break;
        }
        const std::lock_guard lock(m_mutex);
        --m_running;
        m_changed.notify_all();
    }

    // The calling thread when no worker could be started: runs the batches of the slice's
    // k-th row itself.
    void runRow(std::uint64_t k)
    {
        for (std::uint64_t b = 0; b < m_batchesPerRow; ++b)
            if (!run(k * m_batchesPerRow + b))
                break;
    }

    // Waits until the slice's k-th row is done, keeping `progress` up to date meanwhile;
    // rethrows a worker's failure.
    std::span<const LyapunovEstimate> waitForRow(
        std::uint64_t k, headless::ProgressListener* progress)
    {
        Slot& slot = m_ring[k % m_window];
        std::unique_lock lock(m_mutex);
        while (slot.left > 0 && m_failure == nullptr) {
            m_changed.wait_for(lock, std::chrono::milliseconds(100));
            if (progress != nullptr && progress->isShown())
                progress->update(m_stepsDone.load(std::memory_order_relaxed));
        }
        if (m_failure != nullptr)
            std::rethrow_exception(m_failure);
        if (progress != nullptr && progress->isShown())
            progress->update(m_stepsDone.load(std::memory_order_relaxed));
        return slot.estimates;
    }

    // The slice's k-th row has been handed over: its buffer takes a row further on.
    void handedOver(std::uint64_t k)
    {
        const std::lock_guard lock(m_mutex);
        ++m_handedOver;
        if (k + m_window < m_rows)
            resetSlot(k + m_window);
        m_changed.notify_all();
    }

    // Workers take no batch after this; each finishes the one it has.
    void cancel()
    {
        const std::lock_guard lock(m_mutex);
        m_cancelled = true;
        m_changed.notify_all();
    }

    // A worker is about to start, or (`count` -1) could not be started after all.
    void countWorker(int count)
    {
        const std::lock_guard lock(m_mutex);
        m_running += static_cast<std::uint64_t>(count);
    }

    void waitForWorkers()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_running == 0; });
    }

private:
    struct Slot {
        std::vector<LyapunovEstimate> estimates;
        std::uint64_t left = 0; // batches not yet done
    };

    // Called with the lock held, or before any worker starts.
    void resetSlot(std::uint64_t k)
    {
        Slot& slot = m_ring[k % m_window];
        slot.estimates.assign(m_plane.x.count, LyapunovEstimate {});
        slot.left = m_batchesPerRow;
    }

    // Runs one batch into its row's buffer; false once it failed, with the failure kept for
    // the calling thread.
    bool run(std::uint64_t batch)
    {
        const std::uint64_t k = batch / m_batchesPerRow;
        const std::uint64_t first = batch % m_batchesPerRow * kBatch;
        const std::uint64_t count = std::min(kBatch, m_plane.x.count - first);
        const std::uint64_t row = m_slice.row(k);
        Slot& slot = m_ring[k % m_window];
        try {
            std::array<ParameterSet, kBatch> sets;
            for (std::uint64_t i = 0; i < count; ++i)
                sets[i] = m_plane.parameters(m_base, first + i, row);
            // Each batch writes only its own part of the row's buffer.
            estimateBatch(m_attractor, std::span(sets).first(count), m_settings,
                std::span(slot.estimates).subspan(first, count), &m_stepsDone);
        } catch (...) {
            const std::lock_guard lock(m_mutex);
            if (m_failure == nullptr)
                m_failure = std::current_exception();
            m_cancelled = true;
            m_changed.notify_all();
            return false;
        }
        const std::lock_guard lock(m_mutex);
        if (--slot.left == 0)
            m_changed.notify_all();
        return true;
    }

    const AttractorChoice& m_attractor;
    const ParameterSet m_base;
    const ParameterPlane m_plane;
    const PlaneSlice m_slice;
    const BenettinSettings m_settings;
    const std::uint64_t m_rows;
    const std::uint64_t m_batchesPerRow;
    const std::uint64_t m_batches;
    const std::uint64_t m_workers;
    const std::uint64_t m_window;
    std::vector<Slot> m_ring;

    std::atomic<std::uint64_t> m_stepsDone {0};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::uint64_t m_nextBatch = 0;
    std::uint64_t m_handedOver = 0;
    std::uint64_t m_running = 0;
    bool m_cancelled = false;
    std::exception_ptr m_failure;
};

} // namespace

void estimatePlane(const AttractorChoice& attractor, const ParameterSet& base,
    const ParameterPlane& plane, const PlaneSlice& slice, const BenettinSettings& settings,
    unsigned threads, headless::ProgressListener* progress, const PlaneRowSink& sink)
{
    PlaneWork work(attractor, base, plane, slice, settings, threads);
    // The system may refuse a thread (a limit on processes or on address space): the workers
    // that did start share all the batches, and with none the calling thread runs them alone.
    std::vector<std::jthread> pool;
    pool.reserve(work.workers());
    for (std::uint64_t i = 0; i < work.workers(); ++i) {
        work.countWorker(1);
        try {
            pool.emplace_back([&work] { work.work(); });
        } catch (const std::system_error&) {
            work.countWorker(-1);
            break;
        }
    }
    // However this function is left, the workers stop taking batches and are joined before
    // the work they share goes away.
    struct Stop {
        PlaneWork& work;
        ~Stop()
        {
            work.cancel();
            work.waitForWorkers();
        }
    } stop {work};

    for (std::uint64_t k = 0; k < work.rows(); ++k) {
        if (pool.empty())
            work.runRow(k);
        sink(slice.row(k), work.waitForRow(k, progress));
        work.handedOver(k);
    }
}

} // namespace quorvane::analysis
