#pragma once

#include <QStringList>

#include <optional>

namespace quorvane::cli {

// `quorvane map NAME --x LETTER=FROM:TO --y LETTER=FROM:TO [options]`, and
// `quorvane map --merge PART.csv... --csv FILE [--plot FILE.png]`. Returns the exit status.
int map(const QStringList& arguments);

// The --merge form alone; nothing when the arguments turn out not to ask for it.
std::optional<int> mergeMap(const QStringList& arguments);

} // namespace quorvane::cli
