#include "qt_window.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QMenuBar>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtEndian>

#include <cerrno>
#include <cstring>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace quorvane::qt {
namespace {

// Gives up or takes back, for the calling thread, the capability with which root writes in
// any folder. True when the change was made.
bool setOverride(bool on)
{
    __user_cap_header_struct header {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] {};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    const __u32 bit = 1u << CAP_DAC_OVERRIDE;
    data[0].effective = on ? data[0].effective | bit : data[0].effective & ~bit;
    return syscall(SYS_capset, &header, data) == 0;
}

class SaveAndAbout : public QtWindow {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Types the name into the save dialog as a user would, and presses Save.
    static void type(QFileDialog& dialog, const QString& name)
    {
        dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
        // Pressed from the event loop: a question it asks must find the dialog timer free.
        QTimer::singleShot(0, &dialog, [&dialog] { static_cast<QDialog&>(dialog).accept(); });
    }

    // Save! with the name typed into the dialog.
    void saveAs(const QString& name)
    {
        onSaveDialog = [name](QFileDialog& dialog) { type(dialog, name); };
        frm1.mnuSave_Click();
    }

    // The last message is the warning of a failed save: the file name, then the system's
    // reason.
    void expectWarning(const QString& name, int error) const
    {
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.back().text, QStringLiteral("Image not saved!"));
        EXPECT_EQ(shown.back().icon, QMessageBox::Warning);
        EXPECT_EQ(shown.back().detail, name + '\n' + QString::fromLocal8Bit(std::strerror(error)));
    }

    static QStringList entries(const QString& folder)
    {
        return QDir(folder).entryList(
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }

    static void writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray readFile(const QString& name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Plots a point on pic1 that lands in the middle of the given pixel.
    void plotAtPixel(QPoint pixel, Rgb colour)
    {
        const RasterSurface& picture = platform.picture();
        const double x = (pixel.x() + 0.5) * picture.scaleWidth() / picture.size().width();
        const double y = (pixel.y() + 0.5) * picture.scaleHeight() / picture.size().height();
        platform.plot(Surface::Picture, static_cast<float>(x), static_cast<float>(y), colour);
    }

private:
    QTemporaryDir m_dir;
};

TEST_F(SaveAndAbout, TheFileIsA24BitBitmapOfPic1AtTheWindowsOuterSize)
{
    const QSize outer = window().frameGeometry().size();
    ASSERT_EQ(platform.picture().size(), outer);
    QTest::keyClick(handle(), 'c');
    QTest::keyClick(handle(), 'c');
    // Near the top left and in the very last pixel, so a picture upside down or cut short shows.
    const QPoint greenAt(10, 20);
    const QPoint redAt(outer.width() - 1, outer.height() - 1);
    plotAtPixel(greenAt, 0x00FF00);
    plotAtPixel(redAt, 0xFF0000);

    const QString name = path(QStringLiteral("picture.bmp"));
    writeFile(name, "an older picture");
    saveAs(name);
    ASSERT_EQ(shown.size(), 1u); // asked before replacing, and nothing after
    EXPECT_EQ(shown[0].buttons, QMessageBox::Yes | QMessageBox::No);

    const QByteArray bytes = readFile(name);
    ASSERT_GE(bytes.size(), 54);
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const auto i32 = [&](int at) { return qFromLittleEndian<qint32>(bytes.constData() + at); };
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(i32(2), bytes.size());
    EXPECT_EQ(i32(18), outer.width());
    EXPECT_EQ(i32(22), outer.height()); // positive: rows stored bottom-up
    EXPECT_EQ(u16(28), 24); // bits per pixel
    EXPECT_EQ(i32(30), 0); // uncompressed

    QImageReader reader(name);
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    const QImage image = reader.read();
    ASSERT_EQ(image.size(), outer);
    EXPECT_EQ(marks(image, kGreen), QList {greenAt});
    EXPECT_EQ(marks(image, kRed), QList {redAt});
    EXPECT_EQ(marks(image, kBlue).size(), outer.width() * outer.height() - 2);
}

TEST_F(SaveAndAbout, TheDialogOffersBitmapsAddsTheExtensionAndOffersTheNameAgain)
{
    QStringList filters;
    QString suffix;
    bool asksBeforeReplacing = false;
    onSaveDialog = [&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        suffix = dialog.defaultSuffix();
        asksBeforeReplacing = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
        type(dialog, path(QStringLiteral("orbits")));
    };
    frm1.mnuSave_Click();
    EXPECT_EQ(filters, QStringList {QStringLiteral("Bitmap (*.BMP *.bmp)")});
    EXPECT_EQ(suffix, QStringLiteral("BMP"));
    EXPECT_TRUE(asksBeforeReplacing);
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("orbits.BMP"))));
    EXPECT_TRUE(shown.empty());

    QStringList offered;
    onSaveDialog = [&](QFileDialog& dialog) {
        offered = dialog.selectedFiles();
        dialog.reject();
    };
    QTest::keyClick(handle(), Qt::Key_Space);
    EXPECT_EQ(offered, QStringList {path(QStringLiteral("orbits.BMP"))});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QStringLiteral("Image not saved!"));
    EXPECT_EQ(shown[0].icon, QMessageBox::Warning);
    EXPECT_EQ(shown[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(shown[0].title, QStringLiteral("Quorvane"));
}

TEST_F(SaveAndAbout, AMissingFolderGetsTheWarningAndNothingIsMade)
{
    const QString name = path(QStringLiteral("gone/orbits.BMP"));
    saveAs(name);
    EXPECT_EQ(shown.size(), 1u);
    expectWarning(name, ENOENT);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("gone"))));
}

TEST_F(SaveAndAbout, AReadOnlyFolderKeepsItsFileAndGetsNoOther)
{
    const QString folder = path(QStringLiteral("locked"));
    const QString name = folder + QStringLiteral("/orbits.BMP");
    ASSERT_TRUE(QDir().mkdir(folder));
    writeFile(name, "the picture saved yesterday");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    const bool dropped = setOverride(false);
    const auto restore = qScopeGuard([&] {
        if (dropped)
            setOverride(true);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (!dropped && geteuid() == 0)
        GTEST_SKIP() << "root may write in any folder here";

    saveAs(name);
    EXPECT_EQ(shown.size(), 2u); // the question before replacing, then the warning
    expectWarning(name, EACCES);
    EXPECT_EQ(readFile(name), QByteArray("the picture saved yesterday"));
    EXPECT_EQ(entries(folder), QStringList {QStringLiteral("orbits.BMP")});
}

TEST_F(SaveAndAbout, AFullDeviceGetsTheWarningAndStaysADevice)
{
    // A node of our own for the full device where one can be made, so that a fault here harms
    // only the copy; elsewhere a link to the system's. It takes the extension the dialog adds.
    const QString name = path(QStringLiteral("full.BMP"));
    if (mknod(QFile::encodeName(name).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0
        || !QFile(name).open(QIODevice::WriteOnly)) {
        QFile::remove(name);
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), name));
    }
    const QString folder = QFileInfo(name).path();
    const QStringList before = entries(folder);

    saveAs(name);
    EXPECT_EQ(shown.size(), 2u);
    expectWarning(name, ENOSPC);
    struct stat status { };
    ASSERT_EQ(stat(QFile::encodeName(name).constData(), &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
    EXPECT_EQ(entries(folder), before);
}

TEST_F(SaveAndAbout, AboutShowsFiveLinesUnderItsTitleWithOnlyOK)
{
    window().menuBar()->actions().at(4)->trigger(); // the command runs from the event loop
    ASSERT_TRUE(QTest::qWaitFor([this] { return !shown.empty(); }));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, QStringLiteral("Zemlar : The Quorvane Effect"));
    EXPECT_EQ(shown[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(shown[0].buttons, QMessageBox::Ok);
    const QStringList lines = shown[0].text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("QUORVANE.EXE           (Ver 1.0)"));
    EXPECT_EQ(lines[3], QString());
    EXPECT_FALSE(shown[0].text.contains(QLatin1Char('\r')));
}

} // namespace
} // namespace quorvane::qt
