#pragma once

// The built program as the command tests run it: QUORVANE_PROGRAM, the path of the quorvane
// executable, is defined by the test target.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace quorvane::cli::tests {

// Runs the built program in `folder` with no display to be had, for five minutes at most.
// Returns its exit status, or -1 where it did not end by itself in time; its standard output
// goes into `output` and its standard error into `errors`, where given.
inline int runProgram(const QStringList& arguments, const QString& folder,
    QString* output = nullptr, QString* errors = nullptr)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder);
    program.start(QStringLiteral(QUORVANE_PROGRAM), arguments);
    if (!program.waitForFinished(300'000))
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(program.readAllStandardOutput());
    if (errors)
        *errors = QString::fromLocal8Bit(program.readAllStandardError());
    return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
}

} // namespace quorvane::cli::tests
