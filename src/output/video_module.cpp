#include "output/video_module.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

// The module's folder under an installed program's prefix, relative to the folder of the
// installed program (or absolute where the build was told to install it at an absolute path);
// the build sets it from its install directories.
#ifndef QUORVANE_VIDEO_MODULE_DIR
#error "QUORVANE_VIDEO_MODULE_DIR must be defined by the build"
#endif

namespace quorvane::output {

namespace {

// The running program's own file, links resolved; empty, with `error` set, where it cannot be
// had.
QString programPath(std::error_code& error)
{
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    QString text = QString::fromLocal8Bit(path.c_str());
    // A program replaced while it runs (a package upgrade) is named "PATH (deleted)"; its
    // replacement's module is then the one to try, and refused if it is of another build.
    const QLatin1String deleted(" (deleted)");
    if (text.endsWith(deleted))
        text.chop(deleted.size());
    return text;
}

// The loaded module's entry, or why there is none.
struct LoadedModule {
    const VideoModuleEntry* entry = nullptr;
    QString failure;
};

QString cannotLoad(const QString& file, const QString& reason)
{
    return QStringLiteral("cannot load the video writer %1: %2").arg(file, reason);
}

// dlerror() names the file first where the file itself is at fault; the message names it once.
QString loaderReason(const QString& file)
{
    const char* error = dlerror();
    QString reason = error ? QString::fromLocal8Bit(error) : QStringLiteral("unknown error");
    const QString prefix = file + QStringLiteral(": ");
    if (reason.startsWith(prefix))
        reason.remove(0, prefix.size());
    return reason;
}

LoadedModule load(const QString& file)
{
    // Every symbol is bound now, so that a library of the wrong version fails here rather than
    // in the middle of a film. The module is never closed: FFmpeg's libraries may keep threads
    // and state until the process ends.
    void* handle = dlopen(QFile::encodeName(file).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return {nullptr, cannotLoad(file, loaderReason(file))};
    using EntryFunction = const VideoModuleEntry* (*)();
    auto entryFunction = reinterpret_cast<EntryFunction>(dlsym(handle, kVideoModuleEntryName));
    if (!entryFunction)
        return {nullptr, cannotLoad(file, loaderReason(file))};
    const VideoModuleEntry* entry = entryFunction();
    if (!entry || entry->interfaceVersion != kVideoModuleInterface) {
        return {nullptr,
            cannotLoad(file,
                QStringLiteral("it is built for video interface %1, and this program for %2; "
                               "it belongs to another build of quorvane")
                    .arg(entry ? entry->interfaceVersion : 0)
                    .arg(kVideoModuleInterface))};
    }
    if (!entry->newWriter)
        return {nullptr, cannotLoad(file, QStringLiteral("it offers no writer"))};
    return {entry, {}};
}

LoadedModule findAndLoad()
{
    std::error_code error;
    const QString program = programPath(error);
    if (error) {
        return {nullptr,
            QStringLiteral("cannot load the video writer: the program cannot find its own file "
                           "in /proc/self/exe: %1")
                .arg(QString::fromLocal8Bit(error.message().c_str()))};
    }
    const QStringList places = videoModulePlaces(program);
    for (const QString& place : places) {
        if (QFileInfo::exists(place))
            return load(place);
    }
    QStringList others = places.mid(1);
    for (QString& other : others)
        other = QFileInfo(other).path();
    return {nullptr,
        cannotLoad(places.first(),
            QStringLiteral("%1 (nor is there one in %2)")
                .arg(QString::fromLocal8Bit(std::strerror(ENOENT)),
                    others.join(QStringLiteral(" or "))))};
}

} // namespace

QStringList videoModulePlaces(const QString& programPath)
{
    const QString programFolder = QFileInfo(programPath).path();
    const QString installed
        = QDir(programFolder).filePath(QStringLiteral(QUORVANE_VIDEO_MODULE_DIR));
    const QString file = QLatin1String(kVideoModuleFile);
    return {QDir::cleanPath(installed + u'/' + file), QDir::cleanPath(programFolder + u'/' + file)};
}

VideoWriterOrFailure newVideoWriter()
{
    static const LoadedModule module = findAndLoad();
    if (!module.entry)
        return {nullptr, module.failure};
    std::unique_ptr<VideoWriter> writer(module.entry->newWriter());
    if (!writer)
        return {nullptr, QStringLiteral("not enough memory")};
    return {std::move(writer), {}};
}

} // namespace quorvane::output
