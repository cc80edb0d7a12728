#pragma once

#include "platform/platform.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorvane::test {

// One thing the program asked of the platform, in the order it asked.
struct Call {
    enum class Kind {
        Plot,
        Clear,
        BackColor,
        Refresh,
        PictureHeight,
        PictureWidth,
        PictureScaleHeight,
        PictureScaleWidth,
        Caption,
        InputBox,
        MessageBox,
        SaveDialog,
        WritePicture,
        EndProgram,
    };

    Kind kind;
    Surface surface = Surface::Window;
    float x = 0; // plot position, or the value of a picture size or scale
    float y = 0;
    Rgb colour = 0; // plot or background colour, message icon, save dialog flags
    std::string text = {}; // caption, prompt, message text or file name
    std::string title = {}; // input or message box title, save dialog filter
    std::string extra = {}; // input box default, message detail, save dialog extension
};

// A platform that records every call and plays back scripted answers and events. Its event
// pump counts, and runs whatever the test scheduled for that pump, so a test can press a key or
// start a nested run at step N.
class FakePlatform final : public Platform {
public:
    // The window's drawing area as designed, and an outer size with a frame and menu bar.
    FakePlatform() { setWindow(9795, 9225, 9915, 9990); }

    std::vector<Call> calls;

    // Answers for the input boxes, in order. std::nullopt is Cancel. Once they run out, every
    // input box is answered with its default.
    std::deque<std::optional<std::string>> answers;
    // Answers for the save dialog, in order; std::nullopt is Cancel. None left: Cancel.
    std::deque<std::optional<std::string>> saveAnswers;
    // What writePicture reports; nothing is success.
    std::optional<std::string> writeFailure;

    // Runs at every pump with the pump's number, counted from 1 across nested runs.
    std::function<void(long pump)> onPump;
    long pumps() const { return m_pumps; }
    // A run that is never stopped is a fault in the test; the pump aborts the test beyond this.
    long pumpLimit = 1'000'000;

    void setWindow(float scaleWidth, float scaleHeight, float width, float height)
    {
        setMetrics({scaleWidth, scaleHeight, width, height});
    }

    // Recorded calls of one kind.
    std::vector<Call> callsOf(Call::Kind kind) const;
    // Plots on one surface.
    std::vector<Call> plotsOn(Surface surface) const;
    bool ended() const { return m_ended; }

    using K = Call::Kind;
    void plot(Surface s, float x, float y, Rgb colour) override
    {
        calls.push_back({K::Plot, s, x, y, colour});
    }
    void clear(Surface s) override { calls.push_back({K::Clear, s}); }
    void setBackColor(Surface s, Rgb colour) override
    {
        calls.push_back({K::BackColor, s, 0, 0, colour});
    }
    void refresh(Surface s) override { calls.push_back({K::Refresh, s}); }
    void setPictureHeight(float v) override { calls.push_back({K::PictureHeight, {}, v}); }
    void setPictureWidth(float v) override { calls.push_back({K::PictureWidth, {}, v}); }
    void setPictureScaleHeight(float v) override
    {
        calls.push_back({K::PictureScaleHeight, {}, v});
    }
    void setPictureScaleWidth(float v) override { calls.push_back({K::PictureScaleWidth, {}, v}); }
    void setCaption(std::string_view caption) override
    {
        calls.push_back({.kind = K::Caption, .text = std::string(caption)});
    }
    void messageBox(const Message& m) override
    {
        calls.push_back({.kind = K::MessageBox,
            .colour = static_cast<Rgb>(m.icon),
            .text = std::string(m.text),
            .title = std::string(m.title),
            .extra = std::string(m.detail)});
    }
    std::optional<std::string> writePicture(std::string_view fileName) override
    {
        calls.push_back({.kind = K::WritePicture, .text = std::string(fileName)});
        return writeFailure;
    }
    void endProgram() override
    {
        m_ended = true;
        calls.push_back({K::EndProgram});
    }

    std::string inputBox(
        std::string_view prompt, std::string_view title, std::string_view defaultText) override;
    // Plain decimal text, finite only.
    std::optional<double> toNumber(std::string_view text) const override;
    std::string numberText(double value) const override;
    std::optional<std::string> saveFileName(const SaveDialogRequest& request) override;
    void processEvents() override;

private:
    long m_pumps = 0;
    bool m_ended = false;
};

} // namespace quorvane::test
