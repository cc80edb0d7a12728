#pragma once

#include <QStringList>

namespace quorvane::cli {

// `quorvane film NAME [options] -o FILE`: a run as a film, frame after frame the picture render
// draws after that many steps, with a caption strip of the step, the time, the orbits'
// separation and the step where they part, written as H.264 in MP4, MOV or Matroska.
// `arguments` starts with the program's path; the command's word is not among them. Returns
// the exit status.
int film(const QStringList& arguments);

} // namespace quorvane::cli
