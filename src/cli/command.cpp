#include "cli/command.h"

#include "platform/qt/command_line.h"

#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>

namespace quorvane::cli {

namespace {

const QString kSet = QStringLiteral("set");
const QString kSteps = QStringLiteral("steps");
const QString kQuiet = QStringLiteral("quiet");
const QString kHelp = QStringLiteral("help");

QString attractorNames()
{
    QStringList names;
    for (const AttractorChoice& choice : headless::attractorChoices())
        names << fromView(choice.name);
    return names.join(QStringLiteral(", "));
}

constexpr std::array<output::ImageFormat, 2> kImageFormats {output::kPng, output::kBmp};

// The image format of an extension, in any case; null for one that names none.
const output::ImageFormat* formatOfExtension(const QString& extension)
{
    for (const output::ImageFormat& format : kImageFormats)
        if (extension.compare(QLatin1String(format.extension), Qt::CaseInsensitive) == 0)
            return &format;
    return nullptr;
}

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

std::optional<Param> findParameter(
    const AttractorChoice& attractor, ParameterFilter filter, const QString& letter)
{
    for (const Prompt& prompt : attractor.texts.prompts)
        if (filter(prompt.target) && fromView(headless::parameterName(prompt.target)) == letter)
            return prompt.target;
    return std::nullopt;
}

QString parameterNames(const AttractorChoice& attractor, ParameterFilter filter)
{
    QStringList names;
    for (const Prompt& prompt : attractor.texts.prompts)
        if (filter(prompt.target))
            names << fromView(headless::parameterName(prompt.target));
    return names.join(QStringLiteral(", "));
}

std::optional<double> parseNumber(QStringView text)
{
    // from_chars reads the C locale's form whatever the user's locale is, but takes no '+'.
    const std::string bytes = text.toLatin1().toStdString();
    std::string_view digits = bytes;
    if (digits.starts_with('+') && !digits.starts_with("+-"))
        digits.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::uint64_t> parseWhole(QStringView text, std::uint64_t least, std::uint64_t most)
{
    const std::string bytes = text.toLatin1().toStdString();
    if (bytes.empty() || bytes.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), value);
    if (error != std::errc() || end != bytes.data() + bytes.size() || value < least || value > most)
        return std::nullopt;
    return value;
}

std::span<const output::ImageFormat> imageFormats() { return kImageFormats; }

const output::ImageFormat& imageFormatOf(const QString& name)
{
    const output::ImageFormat* format = formatOfExtension(QFileInfo(name).suffix());
    return format != nullptr ? *format : kImageFormats.front();
}

std::optional<QString> readOutputName(const QString& option, QString& name, OutputKind kind)
{
    const QString flag = (option.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + option;
    if (name.isEmpty())
        return QStringLiteral("%1 '': the file name is empty; give one.").arg(flag);
    if (qt::isWrittenInPlace(name)) {
        // A device, a pipe or a standard stream is written in place, its name as it is; a
        // socket takes no write as a file does.
        struct stat target { };
        if (::stat(QFile::encodeName(name).constData(), &target) == 0 && S_ISSOCK(target.st_mode))
            return QStringLiteral("%1 %2: a socket cannot be written as a file; give a file, a "
                                  "device or a pipe.")
                .arg(flag, name);
        return std::nullopt;
    }
    const QFileInfo file(name);
    if (file.fileName().isEmpty() || file.isDir())
        return QStringLiteral("%1 '%2': give a file name, not a folder.").arg(flag, name);
    if (kind == OutputKind::Data)
        return std::nullopt;
    if (file.suffix().isEmpty()) {
        const QString given = name;
        name += QStringLiteral(".png");
        if (QFileInfo(name).isDir())
            return QStringLiteral("%1 %2: %3 is a folder; give a file name.")
                .arg(flag, given, name);
        return std::nullopt;
    }
    const output::ImageFormat* format = formatOfExtension(file.suffix());
    if (kind == OutputKind::Chart && format != kImageFormats.data())
        return QStringLiteral("%1 %2: the chart is a PNG file; end its name in .png.")
            .arg(flag, name);
    if (format == nullptr)
        return QStringLiteral("%1 %2: unknown image format '.%3'; use .png or .bmp.")
            .arg(flag, name, file.suffix());
    return std::nullopt;
}

std::optional<QString> readWholeOption(const QCommandLineParser& parser, const QString& option,
    std::uint64_t least, std::uint64_t most, std::uint64_t& value)
{
    if (!parser.isSet(option))
        return std::nullopt;
    const std::optional<std::uint64_t> number = parseWhole(parser.value(option), least, most);
    if (!number)
        return QStringLiteral("--%1 %2: write a whole number from %3 to %4.")
            .arg(option, parser.value(option))
            .arg(least)
            .arg(most);
    value = *number;
    return std::nullopt;
}

unsigned cores() { return std::max(1u, std::thread::hardware_concurrency()); }

std::optional<QString> sameFileError(const QString& csvFile, const QString& plotFile)
{
    if (!output::writesSameFile(csvFile, plotFile))
        return std::nullopt;
    return QStringLiteral("--csv %1 and --plot %2 are the same file; give two files.")
        .arg(csvFile, plotFile);
}

std::optional<QString> readCsvAndPlot(
    const QCommandLineParser& parser, QString& csvFile, QString& plotFile)
{
    const QString csv = QStringLiteral("csv");
    const QString plot = QStringLiteral("plot");
    csvFile = parser.value(csv);
    plotFile = parser.value(plot);
    if (parser.isSet(csv))
        if (auto reason = readOutputName(csv, csvFile, OutputKind::Data))
            return reason;
    if (parser.isSet(plot))
        if (auto reason = readOutputName(plot, plotFile, OutputKind::Chart))
            return reason;
    if (parser.isSet(csv) && parser.isSet(plot))
        return sameFileError(csvFile, plotFile);
    return std::nullopt;
}

HeadlessCommand::HeadlessCommand(
    const QString& name, const QString& synopsis, const QString& description)
    : m_name(name)
    , m_synopsis(synopsis)
{
    m_parser.setApplicationDescription(description);
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOption(QCommandLineOption(
        {QStringLiteral("h"), kHelp}, QStringLiteral("Displays this help and exits.")));
}

void HeadlessCommand::addRunOptions(std::uint64_t defaultSteps, ParameterFilter filter,
    const RunOptionTexts& texts, std::uint64_t leastSteps)
{
    m_filter = filter;
    m_defaultSteps = defaultSteps;
    m_leastSteps = leastSteps;
    m_hasRunOptions = true;
    m_parser.addPositionalArgument(QStringLiteral("NAME"),
        QStringLiteral("The attractor, in any case: %1.").arg(attractorNames()));
    m_parser.addOptions({
        {kSet,
            QStringLiteral("Sets one parameter of those the attractor's command asks for; "
                           "repeatable. The others keep the defaults its prompts offer. "
                           "Numbers are written with a point, in any locale."),
            QStringLiteral("LETTER=NUMBER")},
        {kSteps,
            texts.steps.isEmpty()
                ? QStringLiteral("Steps of the run, 1 to 10^12 (default %1).").arg(defaultSteps)
                : texts.steps,
            QStringLiteral("N")},
        {{QStringLiteral("q"), kQuiet},
            texts.quiet.isEmpty() ? QStringLiteral("No progress bar, and no line at the end.")
                                  : texts.quiet},
    });
}

std::optional<QString> HeadlessCommand::repeatedOption() const
{
    // An option that takes a value says one thing once; given twice, which one was meant is
    // a guess, so it is refused rather than the last one silently taken. --set is the one
    // option made to be repeated.
    for (const QString& name : m_parser.optionNames())
        if (name != kSet && m_parser.values(name).size() > 1)
            return QStringLiteral("%1%2 is given more than once.")
                .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name);
    return std::nullopt;
}

std::optional<QString> HeadlessCommand::read(const QStringList& arguments)
{
    if (!m_parser.parse(arguments))
        return m_parser.errorText();
    if (std::optional<QString> reason = repeatedOption())
        return reason;
    if (m_parser.isSet(kHelp))
        return QStringLiteral("--help is not a setting.");
    return m_hasRunOptions ? readRunOptions() : std::nullopt;
}

std::optional<int> HeadlessCommand::parse(const QStringList& arguments)
{
    if (!m_parser.parse(arguments))
        return usageError(m_parser.errorText());
    if (const std::optional<QString> reason = repeatedOption())
        return usageError(*reason);
    if (m_parser.isSet(kHelp)) {
        // The usage line names the command; Qt's own would show only the program's path.
        const QString help = m_parser.helpText();
        print(stdout,
            QStringLiteral("Usage: quorvane %1 %2\n").arg(m_name, m_synopsis)
                + help.section(QLatin1Char('\n'), 1));
        return kSuccess;
    }
    if (!m_hasRunOptions)
        return std::nullopt;
    if (const std::optional<QString> reason = readRunOptions())
        return usageError(*reason);
    return std::nullopt;
}

std::optional<QString> HeadlessCommand::readRunOptions()
{
    const QStringList positional = m_parser.positionalArguments();
    if (positional.isEmpty())
        return QStringLiteral("No attractor named; give one of %1.").arg(attractorNames());
    if (positional.size() > 1)
        return QStringLiteral("Unexpected argument '%1'.").arg(positional.at(1));
    m_setup.attractor = headless::findAttractor(positional.constFirst().toStdString());
    if (m_setup.attractor == nullptr)
        return QStringLiteral("Unknown attractor '%1'; choose one of %2.")
            .arg(positional.constFirst(), attractorNames());

    // Every prompt accepted as offered, then the --set options in their order.
    WindowVars chosen;
    for (const Prompt& prompt : m_setup.attractor->texts.prompts)
        chosen.parameter(prompt.target) = prompt.defaultValue;
    // Like any other option, a parameter says one thing once.
    QStringList letters;
    for (const QString& assignment : m_parser.values(kSet)) {
        if (std::optional<QString> reason = readSet(assignment, chosen))
            return reason;
        const QString letter = assignment.section(QLatin1Char('='), 0, 0).trimmed().toLower();
        if (letters.contains(letter))
            return QStringLiteral("--set %1: %2 is given more than once.").arg(assignment, letter);
        letters << letter;
    }
    m_setup.set1 = chosen.set1;
    m_setup.set2 = chosen.set2;

    m_setup.steps = m_defaultSteps;
    if (m_parser.isSet(kSteps)) {
        const std::optional<std::uint64_t> steps
            = parseWhole(m_parser.value(kSteps), m_leastSteps, kMostSteps);
        if (!steps)
            return QStringLiteral("--steps %1: the steps must be a whole number from %2 to "
                                  "1000000000000.")
                .arg(m_parser.value(kSteps))
                .arg(m_leastSteps);
        m_setup.steps = *steps;
    }
    m_quiet = m_parser.isSet(kQuiet);
    return std::nullopt;
}

std::optional<QString> HeadlessCommand::readSet(const QString& assignment, WindowVars& chosen)
{
    const qsizetype equals = assignment.indexOf(QLatin1Char('='));
    if (equals < 0)
        return QStringLiteral("--set %1: write LETTER=NUMBER, for example --set aa=10.001.")
            .arg(assignment);
    const QString letter = assignment.left(equals).trimmed().toLower();
    const QString number = assignment.mid(equals + 1).trimmed();

    const AttractorChoice& attractor = *m_setup.attractor;
    const std::optional<Param> target = findParameter(attractor, m_filter, letter);
    if (!target)
        return QStringLiteral("--set %1: %2 takes no parameter '%3'%4; it takes %5.")
            .arg(assignment, fromView(attractor.name), assignment.left(equals),
                m_filter == anyParameter ? QString() : QStringLiteral(" here"),
                parameterNames(attractor, m_filter));
    const std::optional<double> value = parseNumber(number);
    if (!value)
        return QStringLiteral("--set %1: '%2' is not a number, or not one a double holds.")
            .arg(assignment, number);
    chosen.parameter(*target) = *value;
    return std::nullopt;
}

int HeadlessCommand::usageError(const QString& reason) const
{
    print(stderr,
        QStringLiteral("quorvane %1: %2 Try 'quorvane %1 --help'.\n")
            .arg(m_name, qt::shownInLine(reason)));
    return kUsageError;
}

int HeadlessCommand::failure(const QString& reason) const
{
    print(stderr, QStringLiteral("quorvane %1: %2\n").arg(m_name, qt::shownInLine(reason)));
    return kWorkFailed;
}

std::optional<int> HeadlessCommand::checkOutputs(
    std::initializer_list<QString> fileNames, StandardOutput standardOutput) const
{
    if (standardOutput == StandardOutput::Printed)
        if (const std::optional<QString> reason = qt::standardStreamFailure(STDOUT_FILENO))
            return failure(QStringLiteral("cannot write to standard output: %1").arg(*reason));
    for (const QString& file : fileNames)
        if (!file.isEmpty())
            if (const std::optional<QString> reason = output::checkWritable(file))
                return failure(QStringLiteral("cannot write %1: %2").arg(file, *reason));
    return std::nullopt;
}

std::optional<int> HeadlessCommand::writeOutputs(
    const std::vector<output::PendingFile>& files) const
{
    if (const std::optional<output::FileFailure> failed = output::writeAllAtomically(files))
        return failure(QStringLiteral("cannot write %1: %2").arg(failed->fileName, failed->reason));
    return std::nullopt;
}

} // namespace quorvane::cli
