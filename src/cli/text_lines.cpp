#include "cli/text_lines.h"

namespace quorvane::cli {

QStringList wrapped(const QString& first, const QStringList& words)
{
    QStringList lines {first};
    for (const QString& word : words) {
        if (lines.last().size() + 1 + word.size() > kColumns)
            lines << QStringLiteral("   ");
        lines.last() += QLatin1Char(' ') + word;
    }
    return lines;
}

std::string wrappedText(const std::string& text)
{
    QStringList out;
    for (const QString& line : QString::fromStdString(text).split(QLatin1Char('\n'))) {
        // A line's own leading blanks stay with its first word.
        qsizetype lead = 0;
        while (lead < line.size() && line.at(lead) == QLatin1Char(' '))
            ++lead;
        const qsizetype firstBlank = line.indexOf(QLatin1Char(' '), lead);
        if (line.size() <= kColumns || firstBlank < 0)
            out << line;
        else
            out << wrapped(line.left(firstBlank),
                line.mid(firstBlank + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts));
    }
    return out.join(QLatin1Char('\n')).toStdString();
}

std::string writtenLines(std::initializer_list<QString> fileNames)
{
    QStringList written; // "a.csv," "b.png"
    for (const QString& file : fileNames)
        if (!file.isEmpty())
            written << file + QLatin1Char(',');
    if (written.isEmpty())
        return {};
    written.last().chop(1);
    return wrapped(QStringLiteral("wrote"), written)
               .join(QLatin1Char('\n'))
               .toLocal8Bit()
               .toStdString()
        + '\n';
}

} // namespace quorvane::cli
