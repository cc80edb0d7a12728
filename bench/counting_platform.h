#pragma once

#include "platform/qt/drawing_area.h"
#include "platform/qt/main_window.h"
#include "platform/qt/qt_platform.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <vector>

namespace quorvane::bench {

using Clock = std::chrono::steady_clock;

// The real Qt platform with a counter in front of it. Every call goes straight through to the
// QtPlatform, so a run draws into the real window and pic1 and pumps Qt's events exactly as the
// program does; on the way the counter numbers the pumps, calls back at chosen pump numbers,
// and notes when the first point was plotted and when pic1 was cleared.
//
// The window's sizes live in the QtPlatform, which updates them before it raises an event; the
// counter copies them after every call it passes on, so the form reads them current. Form_Resize
// reads them after its refresh() calls, which pass through here first.
class CountingPlatform final : public Platform {
public:
    explicit CountingPlatform(qt::QtPlatform& inner)
        : m_inner(inner)
    {
    }

    qt::QtPlatform& inner() { return m_inner; }
    void syncMetrics() { setMetrics(m_inner.metrics()); }

    // Pumps since the last restart(); the first pump of a run is pump 1.
    // Another thread may read it, to note how far the run had got when it posted an event.
    long pumps() const { return m_pumps.load(std::memory_order_relaxed); }
    // Whether a pump is under way: one that began before an event was posted may have looked
    // for events already. Readable from another thread.
    bool inPump() const { return m_inPump.load(std::memory_order_relaxed); }
    // Starts counting afresh, and calls onMark after pump `firstMark` has run. onMark may set
    // the next mark with setNextMark().
    void restart(long firstMark, std::function<void(long pump)> onMark)
    {
        m_pumps.store(0, std::memory_order_relaxed);
        m_nextMark = firstMark;
        m_onMark = std::move(onMark);
        m_firstPlot.reset();
        m_windowClearStarts.clear();
        m_windowClearPumps.clear();
        m_pictureClears.clear();
    }
    void setNextMark(long pump) { m_nextMark = pump; }

    std::optional<Clock::time_point> firstPlot() const { return m_firstPlot; }
    // Repaints of the drawing area done before the first point was plotted.
    quint64 repaintsBeforeFirstPlot() const { return m_repaintsBeforeFirstPlot; }
    // When clearing the window began, and when clearing pic1 ended, since the last restart().
    // The program always clears the window first, then pic1.
    const std::vector<Clock::time_point>& windowClearStarts() const { return m_windowClearStarts; }
    const std::vector<Clock::time_point>& pictureClears() const { return m_pictureClears; }
    // For each clear of the window, the pump under way when it began (pumps() + 1). Only
    // clears made from inside a pump belong to that pump.
    const std::vector<long>& windowClearPumps() const { return m_windowClearPumps; }

    void plot(Surface surface, float x, float y, Rgb colour) override
    {
        if (!m_firstPlot) [[unlikely]] {
            m_firstPlot = Clock::now();
            m_repaintsBeforeFirstPlot = m_inner.window()->drawingArea().repaintCount();
        }
        m_inner.plot(surface, x, y, colour);
    }
    void clear(Surface surface) override
    {
        if (surface == Surface::Window) {
            m_windowClearStarts.push_back(Clock::now());
            m_windowClearPumps.push_back(pumps() + 1); // the pump under way
        }
        m_inner.clear(surface);
        if (surface == Surface::Picture)
            m_pictureClears.push_back(Clock::now());
        syncMetrics();
    }
    void setBackColor(Surface surface, Rgb colour) override
    {
        m_inner.setBackColor(surface, colour);
        syncMetrics();
    }
    void refresh(Surface surface) override
    {
        m_inner.refresh(surface);
        syncMetrics();
    }
    void setPictureHeight(float twips) override { m_inner.setPictureHeight(twips); }
    void setPictureWidth(float twips) override { m_inner.setPictureWidth(twips); }
    void setPictureScaleHeight(float units) override { m_inner.setPictureScaleHeight(units); }
    void setPictureScaleWidth(float units) override { m_inner.setPictureScaleWidth(units); }
    void setCaption(std::string_view caption) override
    {
        m_inner.setCaption(caption);
        syncMetrics();
    }
    std::string inputBox(
        std::string_view prompt, std::string_view title, std::string_view defaultText) override
    {
        std::string answer = m_inner.inputBox(prompt, title, defaultText);
        syncMetrics();
        return answer;
    }
    std::optional<double> toNumber(std::string_view text) const override
    {
        return m_inner.toNumber(text);
    }
    std::string numberText(double value) const override { return m_inner.numberText(value); }
    void messageBox(const Message& message) override
    {
        m_inner.messageBox(message);
        syncMetrics();
    }
    std::optional<std::string> saveFileName(const SaveDialogRequest& request) override
    {
        std::optional<std::string> name = m_inner.saveFileName(request);
        syncMetrics();
        return name;
    }
    std::optional<std::string> writePicture(std::string_view fileName) override
    {
        return m_inner.writePicture(fileName);
    }
    // When set, the wall time of every pump is appended to it, in microseconds.
    void setPumpLog(std::vector<double>* log) { m_pumpLog = log; }

    void processEvents() override
    {
        m_inPump.store(true, std::memory_order_relaxed);
        if (m_pumpLog != nullptr) [[unlikely]] {
            const Clock::time_point start = Clock::now();
            m_inner.processEvents();
            m_pumpLog->push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        } else {
            m_inner.processEvents();
        }
        syncMetrics();
        m_inPump.store(false, std::memory_order_relaxed);
        // Only this thread writes the count, so a plain load and store make the increment.
        const long pump = m_pumps.load(std::memory_order_relaxed) + 1;
        m_pumps.store(pump, std::memory_order_relaxed);
        if (pump == m_nextMark) [[unlikely]]
            m_onMark(pump);
    }
    void endProgram() override { m_inner.endProgram(); }

private:
    qt::QtPlatform& m_inner;
    std::atomic<long> m_pumps = 0;
    std::atomic<bool> m_inPump = false;
    long m_nextMark = -1;
    std::function<void(long)> m_onMark;
    std::optional<Clock::time_point> m_firstPlot;
    quint64 m_repaintsBeforeFirstPlot = 0;
    std::vector<Clock::time_point> m_windowClearStarts;
    std::vector<long> m_windowClearPumps;
    std::vector<Clock::time_point> m_pictureClears;
    std::vector<double>* m_pumpLog = nullptr;
};

} // namespace quorvane::bench
