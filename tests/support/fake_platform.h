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
    explicit Call(Kind k)
        : kind(k)
    {
    }

    Kind kind;
    Surface surface = Surface::Window;
    float x = 0; // plot position, or the value of a picture size or scale
    float y = 0;
    Rgb colour = 0;
    std::string text; // caption, prompt, message text or file name
    std::string title; // input or message box title
    std::string extra; // input box default, message detail
};

// A platform that records every call and plays back scripted answers and events. Its event
// pump counts, and runs whatever the test scheduled for that pump, so a test can press a key or
// start a nested run at step N.
class FakePlatform final : public Platform {
public:
    FakePlatform();

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

    void plot(Surface surface, float x, float y, Rgb colour) override;
    void clear(Surface surface) override;
    void setBackColor(Surface surface, Rgb colour) override;
    void refresh(Surface surface) override;
    void setPictureHeight(float twips) override;
    void setPictureWidth(float twips) override;
    void setPictureScaleHeight(float units) override;
    void setPictureScaleWidth(float units) override;
    void setCaption(std::string_view caption) override;
    std::string inputBox(
        std::string_view prompt, std::string_view title, std::string_view defaultText) override;
    std::optional<double> toNumber(std::string_view text) const override;
    std::string numberText(double value) const override;
    void messageBox(const Message& message) override;
    std::optional<std::string> saveFileName(const SaveDialogRequest& request) override;
    std::optional<std::string> writePicture(std::string_view fileName) override;
    void processEvents() override;
    void endProgram() override;

private:
    Call& record(Call::Kind kind) { return calls.emplace_back(kind); }

    long m_pumps = 0;
    bool m_ended = false;
};

} // namespace quorvane::test
