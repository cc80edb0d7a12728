#include "analysis/parameter_sweep.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace quorvane::analysis {

double Sweep::value(std::uint64_t index) const
{
    if (count <= 1 || index == 0)
        return from;
    if (index >= count - 1)
        return to;
    // A weighted mean of the ends stays between them, where FROM + (TO - FROM) * t could
    // overflow for ends of opposite sign near the largest double.
    const double t = static_cast<double>(index) / static_cast<double>(count - 1);
    return from * (1 - t) + to * t;
}

ParameterSet Sweep::parameters(const ParameterSet& base, std::uint64_t index) const
{
    WindowVars vars;
    vars.set1 = base;
    vars.parameter(letter) = value(index);
    return vars.set1;
}

void measureEach(std::size_t count, unsigned threads, headless::ProgressListener* progress,
    const std::function<void(std::size_t index, std::atomic<std::uint64_t>& stepsDone)>& measure)
{
    std::atomic<std::size_t> next {0};
    std::atomic<std::uint64_t> stepsDone {0};
    std::mutex mutex;
    std::condition_variable finished;
    const std::size_t workers
        = std::clamp<std::size_t>(threads, 1, std::max<std::size_t>(count, 1));
    std::size_t running = 0;

    // Each worker takes the next index that no one has taken. The first exception a
    // measurement throws (memory refused, say) ends the taking, and reaches the caller once
    // every worker has stopped.
    std::exception_ptr failure;
    const auto measureRest = [&] {
        try {
            for (std::size_t i = next++; i < count; i = next++)
                measure(i, stepsDone);
        } catch (...) {
            next = count;
            const std::lock_guard lock(mutex);
            if (!failure)
                failure = std::current_exception();
        }
    };
    const auto work = [&] {
        measureRest();
        const std::lock_guard lock(mutex);
        --running;
        finished.notify_one();
    };
    // The system may refuse a thread (a limit on processes or on address space): the workers
    // that did start share all the sets, and with none the calling thread measures them alone.
    std::vector<std::jthread> pool;
    pool.reserve(workers);
    for (std::size_t i = 0; i < workers; ++i) {
        const std::lock_guard lock(mutex);
        try {
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            break;
        }
        ++running;
    }
    if (pool.empty())
        measureRest();

    std::unique_lock lock(mutex);
    while (running > 0) {
        finished.wait_for(lock, std::chrono::milliseconds(100));
        if (progress != nullptr && progress->isShown())
            progress->update(stepsDone.load(std::memory_order_relaxed));
    }
    lock.unlock();
    pool.clear();
    if (failure)
        std::rethrow_exception(failure);
}

std::vector<LyapunovEstimate> estimateAll(const AttractorChoice& attractor,
    std::span<const ParameterSet> sets, const BenettinSettings& settings, unsigned threads,
    headless::ProgressListener* progress)
{
    // Each measurement writes only its own result.
    std::vector<LyapunovEstimate> results(sets.size());
    measureEach(
        sets.size(), threads, progress, [&](std::size_t i, std::atomic<std::uint64_t>& stepsDone) {
            results[i] = estimateLyapunov(attractor, sets[i], settings, &stepsDone);
        });
    return results;
}

} // namespace quorvane::analysis
