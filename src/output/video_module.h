#pragma once

#include "output/video_writer.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace quorvane::output {

// The video module: the film writer built as a shared object of its own, quorvane-video.so,
// which alone links FFmpeg's libraries. The program opens it the first time a film is written,
// so that every other start of the program, the window's and every other command's, loads
// neither the module nor the hundred libraries FFmpeg brings with it.

// The interface the module and the program are built for. It goes up whenever VideoWriter,
// VideoSettings, VideoModuleEntry or the types they hand across change, so that a module of
// another build is refused instead of misread.
inline constexpr int kVideoModuleInterface = 1;

// What the module's one exported function returns.
struct VideoModuleEntry {
    // kVideoModuleInterface of the build that made the module. It stays the first member in
    // every version, so that the program can read it from any module.
    int interfaceVersion;
    // A new writer the caller owns, or null when there is no memory for one.
    VideoWriter* (*newWriter)();
};

inline constexpr char kVideoModuleFile[] = "quorvane-video.so";
inline constexpr char kVideoModuleEntryName[] = "quorvane_video_module";

// The places the module is looked for, in this order, for the program at `programPath` (an
// absolute path with its links resolved):
// 1. the installed program's private folder, LIBDIR/quorvane under the prefix the program is
//    installed in, found from the program's own folder (bin/../lib/quorvane), so that an
//    installation under any prefix, or packed under a DESTDIR, finds its own module;
// 2. the program's own folder, where the build puts the module beside the program.
QStringList videoModulePlaces(const QString& programPath);

// A film writer, or why there is none.
struct VideoWriterOrFailure {
    std::unique_ptr<VideoWriter> writer;
    // When there is no writer: "cannot load the video writer FILE: REASON", the file that was
    // tried and the loader's own reason (a missing file or library, a file that is no shared
    // object, a module of another build).
    QString failure;
};

// A new writer from the video module. The module is looked for in videoModulePlaces() and
// loaded the first time; it stays loaded for the rest of the process, and a failure to load it
// stays too. The first place that holds a file is the one: a broken module there is reported,
// not passed over for another.
VideoWriterOrFailure newVideoWriter();

} // namespace quorvane::output

// The module's one exported function: the interface it is built for and its factory.
extern "C" const quorvane::output::VideoModuleEntry* quorvane_video_module();
