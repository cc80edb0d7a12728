#pragma once

// The commands without a window, `quorvane render|diverge|lyapunov ...`: one file a command,
// and what they share: their options, their one-line errors and exit statuses, the progress
// bar and the printed reports. Thin: each reads its command line, asks analysis/ to measure or
// headless/ to run, and hands the results to output/ and to the terminal.

#include "cli/progress.h"
#include "headless/headless_run.h"
#include "output/image_format.h"
#include "output/output_files.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

namespace quorvane::cli {

using headless::AttractorChoice;
using headless::isOrbit1;
using headless::parameterName;
using headless::RunSetup;

// A name from the attractor tables as a QString.
inline QString fromView(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Exit statuses of a headless command.
inline constexpr int kSuccess = 0;
inline constexpr int kWorkFailed = 1; // the work itself failed: a file could not be written
inline constexpr int kUsageError = 2; // a bad option, number or name

// The most steps a run, or a part of one such as a transient, may take: 10^12.
inline constexpr std::uint64_t kMostSteps = 1'000'000'000'000;

// Which of its attractor's parameters a command lets --set change.
using ParameterFilter = bool (*)(Param);
inline bool anyParameter(Param) { return true; }

// The parameter that `letter` names ("a", "aa"), of those the attractor's command asks for
// and `filter` lets through; nothing for any other letter.
std::optional<Param> findParameter(
    const AttractorChoice& attractor, ParameterFilter filter, const QString& letter);
// The names of those parameters, in the order of the prompts: "a, b, c".
QString parameterNames(const AttractorChoice& attractor, ParameterFilter filter);

// A number as command-line tools write it, whatever the user's locale: "10.001", "-0.565",
// ".5", "1e-3", with an optional sign. Nothing for other text, or a number that is not finite
// or lies outside the double range.
std::optional<double> parseNumber(QStringView text);
// A whole number from `least` to `most`, in decimal digits. Nothing for anything else.
std::optional<std::uint64_t> parseWhole(QStringView text, std::uint64_t least, std::uint64_t most);

// What an output option names. A data file takes any name. A chart's name gains ".png" when it
// has no extension, and any other extension is refused; an image's gains ".png" too, and may
// end in any extension of imageFormats().
enum class OutputKind : std::uint8_t { Data, Chart, Image };

// The formats an image may be written in, PNG first: the one a name without an extension gets.
std::span<const output::ImageFormat> imageFormats();

// Reads the file name that option `option` ("csv", or "o" for -o) gives, by the rules every
// output file of every command follows:
//  - an empty name, a name that ends in a slash or names an existing folder, and a socket are
//    refused;
//  - a name that is written in place (an existing device or pipe, or the file standard output
//    or error goes to; see qt::isWrittenInPlace()) is taken as it is: it never gains an
//    extension, and is never renamed over;
//  - otherwise a chart's or an image's name gains ".png" when it has no extension, and one
//    that names no format the kind takes is refused.
// A name whose bytes were not UTF-8 never gets here: runCommand() refuses it, as its bytes
// could not be kept. Returns the usage error, or nothing with `name` as it is to be written.
std::optional<QString> readOutputName(const QString& option, QString& name, OutputKind kind);

// The format an image or chart name that readOutputName() took is written in.
const output::ImageFormat& imageFormatOf(const QString& name);

// Reads option --`option`, a whole number from `least` to `most`, into `value`, which keeps
// its default when the option is not given. Returns the usage error, or nothing.
std::optional<QString> readWholeOption(const QCommandLineParser& parser, const QString& option,
    std::uint64_t least, std::uint64_t most, std::uint64_t& value);

// The number of cores, at least 1: the threads a command that measures many runs uses unless
// told otherwise.
unsigned cores();

// The usage error for --csv and --plot naming the same file, or nothing.
std::optional<QString> sameFileError(const QString& csvFile, const QString& plotFile);

// Reads --csv FILE, a data file, and --plot FILE.png, a chart, by readOutputName()'s rules, and
// refuses both naming one file. A name not given stays empty. Returns the usage error, or
// nothing.
std::optional<QString> readCsvAndPlot(
    const QCommandLineParser& parser, QString& csvFile, QString& plotFile);

// What every headless command shares: its --help, its one-line errors with their exit
// statuses, and the options that choose a run:
//   NAME                    the attractor, in any case;
//   --set LETTER=NUMBER     one parameter, repeatable; the rest keep their prompt defaults;
//   --steps N               the number of steps, 1 (or the command's least) to 10^12;
//   --quiet                 no progress bar (and no closing report).
// A command adds its own options to parser() before parse(), and reads them after it.
class HeadlessCommand {
public:
    // name: "render"; synopsis: what follows "quorvane render" in the usage line.
    HeadlessCommand(const QString& name, const QString& synopsis, const QString& description);

    QCommandLineParser& parser() { return m_parser; }
    const QCommandLineParser& parser() const { return m_parser; }

    // What --steps and --quiet mean to a command whose steps or quiet differ from a run's:
    // the help texts, or empty for the usual ones.
    struct RunOptionTexts {
        QString steps;
        QString quiet;
    };

    // Adds NAME, --set, --steps and --quiet. `filter` narrows the parameters --set may change
    // to some of those the attractor's command asks for; `leastSteps` is the least --steps
    // the command can work with.
    void addRunOptions(std::uint64_t defaultSteps, ParameterFilter filter = anyParameter,
        const RunOptionTexts& texts = {}, std::uint64_t leastSteps = 1);

    // Reads the command's arguments; the first entry is the program's path. Returns an exit
    // status when the command is to end here: 0 once --help has been printed, 2 once a usage
    // error has been reported. A command without run options reads only its own.
    std::optional<int> parse(const QStringList& arguments);
    // Reads arguments that come from a file rather than from the user, such as the settings a
    // part of a map records: as parse() does, but returns the reason for a refusal instead of
    // reporting it, and refuses --help.
    std::optional<QString> read(const QStringList& arguments);

    // The run chosen by NAME, --set and --steps.
    const RunSetup& setup() const { return m_setup; }
    bool isQuiet() const { return m_quiet; }
    Progress::Display progressDisplay() const
    {
        return m_quiet ? Progress::Display::Never : Progress::Display::OnTerminal;
    }

    // Reports a bad argument as one line on standard error, with a pointer to --help; returns 2.
    int usageError(const QString& reason) const;
    // Reports work that failed as one line on standard error; returns 1.
    int failure(const QString& reason) const;

    // Whether the command prints its results on standard output, or nothing there.
    enum class StandardOutput : std::uint8_t { Printed, Unused };

    // Tries whether each output file named can be created (empty names are skipped), and
    // whether standard output can be written when the command prints there, so that a folder
    // that is missing or cannot be written, or a standard output that was closed, is reported
    // before the work rather than after it. Returns 1 once one that cannot has been reported.
    std::optional<int> checkOutputs(std::initializer_list<QString> fileNames,
        StandardOutput standardOutput = StandardOutput::Printed) const;
    // Writes the files together, as output::writeAllAtomically() does. Returns 1 once a failure has
    // been reported.
    std::optional<int> writeOutputs(const std::vector<output::PendingFile>& files) const;

private:
    std::optional<QString> repeatedOption() const;
    std::optional<QString> readRunOptions();
    std::optional<QString> readSet(const QString& assignment, WindowVars& chosen);

    QString m_name;
    QString m_synopsis;
    QCommandLineParser m_parser;
    ParameterFilter m_filter = anyParameter;
    std::uint64_t m_defaultSteps = 0;
    std::uint64_t m_leastSteps = 1;
    bool m_hasRunOptions = false;
    RunSetup m_setup;
    bool m_quiet = false;
};

} // namespace quorvane::cli
