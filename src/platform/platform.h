#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// The two drawing surfaces: frm1's drawing area, and pic1, the hidden picture that keeps a
// copy of every point and is what Save writes.
enum class Surface : std::uint8_t { Window, Picture };

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;

enum class MessageIcon : std::uint8_t { None, Warning };

struct Message {
    std::string_view text;
    std::string_view title; // empty: the program's default message-box title
    MessageIcon icon = MessageIcon::None;
    std::string_view detail; // optional longer explanation, shown under the text
};

// Option flags of the save-file dialog, combined in SaveDialogRequest::flags.
namespace SaveFlag {
inline constexpr std::uint32_t OverwritePrompt = 0x2; // ask before replacing an existing file
inline constexpr std::uint32_t HideReadOnly = 0x4; // no "open as read-only" check box
inline constexpr std::uint32_t LongNames = 0x200000; // long file names
} // namespace SaveFlag

// What a Save asks of the save-file dialog. The dialog remembers nothing itself: the program
// hands it the last chosen name every time.
struct SaveDialogRequest {
    std::string_view defaultExtension; // added after a dot to a name typed without one
    std::string_view filter; // "Description|*.EXT"
    std::uint32_t flags = 0; // SaveFlag values
    std::string_view fileName; // initial name; empty for none
};

// The window's sizes, in twips (1440 per logical inch). The platform keeps these current
// before it raises any event, so reading them costs nothing in the per-step loop.
struct WindowMetrics {
    float scaleWidth = 0; // width of the drawing area
    float scaleHeight = 0; // height of the drawing area
    float width = 0; // outer width: frame, caption bar and menu bar included
    float height = 0; // outer height
};

// Everything the program asks of the machine it runs on. The program's own code reaches
// windows, dialogs and files only through this interface; Qt is one implementation, the
// tests hold another.
class Platform {
public:
    virtual ~Platform() = default;

    // The window's current sizes.
    const WindowMetrics& metrics() const { return m_metrics; }

    // Sets one point at (x, y), in the surface's user scale, in the given colour. A point that
    // falls outside the surface leaves no mark.
    virtual void plot(Surface surface, float x, float y, Rgb colour) = 0;
    // Erases the surface to its background colour.
    virtual void clear(Surface surface) = 0;
    // Sets the surface's background colour, which erases everything drawn on it.
    virtual void setBackColor(Surface surface, Rgb colour) = 0;
    // Brings what the user sees of the surface up to date at once.
    virtual void refresh(Surface surface) = 0;

    // pic1's outer size in twips, and its user scale. A value the picture cannot take (zero,
    // negative or not finite) is ignored, and the previous one kept. Resizing keeps what was
    // drawn.
    virtual void setPictureHeight(float twips) = 0;
    virtual void setPictureWidth(float twips) = 0;
    virtual void setPictureScaleHeight(float units) = 0;
    virtual void setPictureScaleWidth(float units) = 0;

    // Sets the window caption.
    virtual void setCaption(std::string_view caption) = 0;

    // Shows a modal input box and returns the text in its field, or the empty text on Cancel.
    // A prompt holding "\r\n" shows as two lines.
    virtual std::string inputBox(
        std::string_view prompt, std::string_view title, std::string_view defaultText)
        = 0;
    // Converts typed text to a finite number in the user's locale; nothing when the text is not
    // a number or lies outside the double range.
    virtual std::optional<double> toNumber(std::string_view text) const = 0;
    // The shortest decimal text of a number in the user's locale, as an input box shows it.
    virtual std::string numberText(double value) const = 0;

    // Shows a modal message box with an OK button.
    virtual void messageBox(const Message& message) = 0;
    // Shows the modal save-file dialog; returns the chosen file name, or nothing on Cancel.
    virtual std::optional<std::string> saveFileName(const SaveDialogRequest& request) = 0;
    // Writes pic1's image to a file as a Windows bitmap. Returns nothing on success and the
    // system's reason on failure; a failed write leaves any existing file as it was.
    virtual std::optional<std::string> writePicture(std::string_view fileName) = 0;

    // Lets every pending window event run to completion: input, menu commands, repaint,
    // resize and close. Handlers may run re-entrantly inside this call.
    virtual void processEvents() = 0;
    // Ends the program with exit status 0. The program's code stops doing anything once
    // it has asked for this, so the platform may return from it and unwind.
    virtual void endProgram() = 0;

protected:
    void setMetrics(const WindowMetrics& metrics) { m_metrics = metrics; }

private:
    WindowMetrics m_metrics;
};

} // namespace quorvane
