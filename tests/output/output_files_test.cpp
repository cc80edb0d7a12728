// Files written together: all of them or none, the failure naming the file that failed.

#include "output/output_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace quorvane::output {
namespace {

QByteArray contents(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

class WrittenTogether : public ::testing::Test {
protected:
    WrittenTogether()
    {
        for (const QString& name : {first, second}) {
            QFile file(name);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("old");
        }
    }

    ContentWriter writes(const QByteArray& text)
    {
        return [text, this](QIODevice& device) -> std::optional<QString> {
            order << text;
            device.write(text);
            return std::nullopt;
        };
    }
    static ContentWriter fails(const QString& reason)
    {
        return [reason](QIODevice&) -> std::optional<QString> { return reason; };
    }

    QTemporaryDir folder;
    const QString first = folder.filePath(QStringLiteral("values.csv"));
    const QString second = folder.filePath(QStringLiteral("chart.png"));
    QList<QByteArray> order;
};

TEST_F(WrittenTogether, AllFilesAreWrittenInTheOrderGiven)
{
    const std::vector<PendingFile> files {{first, writes("rows")}, {second, writes("chart")}};
    EXPECT_EQ(writeAllAtomically(files), std::nullopt);
    EXPECT_EQ(order, QList<QByteArray>({"rows", "chart"}));
    EXPECT_EQ(contents(first), "rows");
    EXPECT_EQ(contents(second), "chart");
}

// The system refusing the first file's content (here a file size limit, as a full disk would)
// stops the write before the second is written, let alone put in place, and names the first.
TEST_F(WrittenTogether, AFirstFileTheSystemRefusesKeepsTheSecondAsItWas)
{
    const auto refused = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit {4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            std::_Exit(3);
        const std::vector<PendingFile> files {
            {first, writes(QByteArray(10000, 'r'))}, {second, writes("chart")}};
        const std::optional<FileFailure> failure = writeAllAtomically(files);
        const bool named = failure && failure->fileName == first
            && failure->reason == QString::fromLocal8Bit(std::strerror(EFBIG));
        std::_Exit(!named ? 1 : contents(second) != "old" ? 2 : contents(first) != "old" ? 4 : 0);
    };
    EXPECT_EXIT(refused(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(WrittenTogether, ASecondFileThatFailsKeepsTheFirstAsItWas)
{
    const std::vector<PendingFile> files {
        {first, writes("rows")}, {second, fails(QStringLiteral("cannot draw"))}};
    const std::optional<FileFailure> failure = writeAllAtomically(files);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->fileName, second);
    EXPECT_EQ(contents(first), "old");
    EXPECT_EQ(contents(second), "old");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

} // namespace
} // namespace quorvane::output
