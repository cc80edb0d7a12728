#pragma once

#include <QStringList>

#include <initializer_list>
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

// The lines that name the files a command wrote, "wrote a.csv, b.png", wrapped as wrapped()
// does; empty when no name is given. Empty names are skipped.
std::string writtenLines(std::initializer_list<QString> fileNames);

} // namespace quorvane::cli
