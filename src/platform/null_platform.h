#pragma once

#include "platform/platform.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// A platform with nothing behind it, for running the program's own code headless: benchmarks,
// soak runs, fuzzing. Every call does nothing, and every question is answered the way a user
// who changes nothing would answer it. Derive from it and override only what a run has to
// watch or steer, usually plot() and processEvents().
class NullPlatform : public Platform {
public:
    // Sets the window's sizes, in twips, as a real platform keeps them before it raises an
    // event.
    void setWindow(float scaleWidth, float scaleHeight, float width, float height)
    {
        setMetrics({scaleWidth, scaleHeight, width, height});
    }

    // Draws nowhere.
    void plot(Surface, float, float, Rgb) override { }
    // Nothing to erase.
    void clear(Surface) override { }
    // Nothing to colour.
    void setBackColor(Surface, Rgb) override { }
    // Nothing to show.
    void refresh(Surface) override { }

    // pic1 has no size to keep.
    void setPictureHeight(float) override { }
    void setPictureWidth(float) override { }
    void setPictureScaleHeight(float) override { }
    void setPictureScaleWidth(float) override { }

    // No caption to set.
    void setCaption(std::string_view) override { }

    // The default text, as if the user pressed OK without typing.
    std::string inputBox(std::string_view, std::string_view, std::string_view defaultText) override
    {
        return std::string(defaultText);
    }
    // No text is a number.
    std::optional<double> toNumber(std::string_view) const override { return std::nullopt; }
    // The empty text.
    std::string numberText(double) const override { return {}; }

    // Shows nothing.
    void messageBox(const Message&) override { }
    // No name: the dialog was cancelled.
    std::optional<std::string> saveFileName(const SaveDialogRequest&) override { return {}; }
    // Writes nothing, and reports no failure.
    std::optional<std::string> writePicture(std::string_view) override { return {}; }

    // No events are ever pending.
    void processEvents() override { }
    // Nothing to end: the program stops by itself once it has asked.
    void endProgram() override { }
};

} // namespace quorvane
