#include "cli/spectrum.h"

#include "cli/spectrum_report.h"
#include "cli/text_lines.h"

#include <cstdio>
#include <new>
#include <vector>

namespace quorvane::cli {

QString spectrumOptionHelp()
{
    return QStringLiteral(
        "Measures every Lyapunov exponent, largest first, by the tangent vectors that the "
        "Jacobian of the program's own step carries, their sum beside the mean of ln|det J|, "
        "and the Kaplan-Yorke dimension (see above). With --vary the table and the chart "
        "give every exponent, and --csv writes value, then lambda_k_per_step,"
        "lambda_k_per_time,stderr_k for each exponent k, then kaplan_yorke.");
}

QString spectrumDescription()
{
    return QStringLiteral(
        "\n"
        "\n"
        "With --spectrum it measures every exponent instead, largest first: three for\n"
        "lorenz and rossler, two for the maps, over the same steps. At step M + 1 a set\n"
        "of orthonormal tangent vectors starts beside orbit 1, and every step carries\n"
        "them on by the Jacobian J of the program's own step, which that step computes\n"
        "over dual numbers: for the flows the product of its updates of x, then y with\n"
        "the new x, then z with the new x and y. Every K steps, and at the end of each\n"
        "block, they are orthonormalised again (modified Gram-Schmidt) and ln R_jj is\n"
        "added to exponent j. The exponents' sum is printed beside the mean of ln|det J|\n"
        "over the same steps, computed on its own from each J: the two agree but for\n"
        "rounding. The Kaplan-Yorke dimension is j + (lambda_1 + ... + lambda_j) /\n"
        "|lambda_j+1|, with j the most exponents from the first whose sum is not\n"
        "negative: 0 when lambda_1 is negative, the full dimension when the sum of all\n"
        "is not negative.\n"
        "\n"
        "Where the step has a corner or a rule, J is that of what the step does: at a\n"
        "branch, the branch taken (eqn1 at x = 0: the side x <= 0); at |v| = 0, the\n"
        "side of the zero's sign; where a fault rule keeps x' or y' as it was (a root,\n"
        "sine, cosine or tangent skipped), that coordinate stays itself, slope 1. A\n"
        "square root of 0, and the sign function at 0 (a jump), have no derivative:\n"
        "the estimate ends there, with the step and the point, and no exponents, as\n"
        "it does where the derivatives grow beyond double precision. So does a period\n"
        "so long that the tangent vectors part beyond what double precision keeps\n"
        "apart, twice in a row (once may be a step near a singular one): a smaller\n"
        "--renorm measures them. A tangent vector never crosses a jump, as the\n"
        "companion of the two-orbit method may: the exponents are those of the step's\n"
        "smooth pieces. A step with det J = 0 gives the last exponent -inf.");
}

int spectrum(const HeadlessCommand& command, const LyapunovSubject& subject, unsigned threads,
    const QString& csvFile, const QString& plotFile)
{
    try {
        const std::vector<ParameterSet> sets = parameterSets(subject);
        std::vector<SpectrumEstimate> estimates;
        {
            Progress progress(
                sets.size() * analysis::runSteps(subject.settings), command.progressDisplay());
            estimates = analysis::estimateSpectra(
                *subject.attractor, sets, subject.settings, threads, &progress);
        }

        if (!subject.sweep) {
            std::fputs(wrappedText(spectrumReport(subject, estimates.front())).c_str(), stdout);
            return kSuccess;
        }
        // Neither file is put in place unless both are complete.
        std::vector<output::PendingFile> files;
        if (!csvFile.isEmpty())
            files.push_back({csvFile, [&](QIODevice& file) -> std::optional<QString> {
                                 // A refused write is reported by the file itself.
                                 output::CsvWriter csv(file);
                                 writeSpectrumCsv(subject, estimates, csv);
                                 return std::nullopt;
                             }});
        if (!plotFile.isEmpty())
            files.push_back({plotFile, [&](QIODevice& file) {
                                 return output::writeChartInto(
                                     spectrumChart(subject, estimates), file);
                             }});
        if (const std::optional<int> status = command.writeOutputs(files))
            return *status;
        writeSpectrumTable(subject, estimates, stdout);
        if (!command.isQuiet())
            std::fputs(writtenLines({csvFile, plotFile}).c_str(), stdout);
        return kSuccess;
    } catch (const std::bad_alloc&) {
        return command.failure(QStringLiteral("not enough memory"));
    }
}

} // namespace quorvane::cli
