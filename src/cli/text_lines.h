#pragma once

#include <QStringList>

#include <string>

namespace quorvane::cli {

// What a headless command prints fits a terminal of this many columns.
inline constexpr int kColumns = 80;

// Words joined by blanks into lines of at most kColumns: `first`, then the words, the later
// lines indented.
QStringList wrapped(const QString& first, const QStringList& words);

// The text with every line longer than kColumns broken at its blanks, the later lines of each
// indented. A single word longer than a line stays whole.
std::string wrappedText(const std::string& text);

} // namespace quorvane::cli
