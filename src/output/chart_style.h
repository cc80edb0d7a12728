#pragma once

#include <QColor>
#include <QFont>

// The text and the spacing every picture a command draws shares (a chart, a map with its colour
// bar), so that they read alike.
namespace quorvane::output::chartstyle {

inline constexpr int kTitleFont = 20; // pixel sizes of the three kinds of text
inline constexpr int kLabelFont = 16;
inline constexpr int kTickFont = 14;
inline constexpr int kTickLength = 6;
inline constexpr int kPad = 14;
inline const QColor kText(20, 20, 20);

// A font of the application's family, `pixels` high: pixel sizes, so that the text keeps its
// size in the picture whatever the screen's resolution.
inline QFont font(int pixels, bool bold = false)
{
    QFont f;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

} // namespace quorvane::output::chartstyle
