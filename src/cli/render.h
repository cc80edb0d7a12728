#pragma once

#include <QStringList>

namespace quorvane::cli {

// `quorvane render NAME [options] -o FILE`: the picture a run leaves in the window's drawing
// area, drawn without a window at any size and resolution, written to a PNG or BMP file.
// `arguments` starts with the program's path; the command's word is not among them. Returns
// the exit status.
int render(const QStringList& arguments);

} // namespace quorvane::cli
