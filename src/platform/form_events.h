#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace quorvane {

// One entry of the window's menu bar. Entries come in display order; a Submenu entry owns the
// SubmenuItem entries that follow it.
struct MenuItem {
    enum class Kind : std::uint8_t { Command, Submenu, SubmenuItem };

    std::string_view name; // mnuExit, mnuLOR1, ...
    std::string_view caption; // '&' marks the access key
    Kind kind = Kind::Command;
};

// Key codes the window hands to Form_KeyDown.
namespace KeyCode {
inline constexpr std::int16_t Tab = 9;
inline constexpr std::int16_t Escape = 27;
inline constexpr std::int16_t Space = 32;
} // namespace KeyCode

// The window events the platform raises. The window object implements them; the platform
// calls them on the user-interface thread, re-entrantly from inside processEvents() while a
// run is active.
class FormEvents {
public:
    virtual ~FormEvents() = default;

    // The window is created, before it is first shown.
    virtual void Form_Load() = 0;
    // The window's size changed, including its first showing, minimizing and restoring.
    virtual void Form_Resize() = 0;
    // A key went down. shift is the shift state (1 Shift, 2 Ctrl, 4 Alt), which no key uses.
    virtual void Form_KeyDown(std::int16_t keyCode, std::int16_t shift) = 0;
    // A key produced a character.
    virtual void Form_KeyPress(std::int16_t charCode) = 0;
    // The window is being closed.
    virtual void Form_Unload() = 0;
    // Another top-level window of this program became active. The program's own dialogs do not
    // count, and neither does another application.
    virtual void Form_Deactivate() = 0;
    // The window object is being destroyed.
    virtual void Form_Terminate() = 0;

    // The menu bar, in display order, and the handler for choosing one of its entries.
    virtual std::span<const MenuItem> menuItems() const = 0;
    virtual void menuClick(std::size_t index) = 0;
};

} // namespace quorvane
