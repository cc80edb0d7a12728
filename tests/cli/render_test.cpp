// `quorvane render` against the window: the built program's picture must be, byte for byte,
// what the window's drawing area holds after the same steps of the same run on the Qt
// platform. Runs once at one device pixel per logical pixel and once, built with
// QUORVANE_TEST_SCALE=2, at two.

#include "app/frm1.h"
#include "cli/run_program.h"
#include "counting_platform.h"
#include "platform/qt/drawing_area.h"
#include "platform/qt/main_window.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_window.h" // kGreen, kRed, contains()

#include <QInputDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>

namespace quorvane::qt {
namespace {

// Device pixels to the logical pixel: 2 in the copy of these tests built for a high-density
// screen, whose main() sets QT_SCALE_FACTOR itself.
#ifdef QUORVANE_TEST_SCALE
constexpr int kScale = QUORVANE_TEST_SCALE;
#else
constexpr int kScale = 1;
#endif

struct Case {
    const char* name; // on the command line
    void (Frm1::*command)(); // in the window's menu
    long steps;
    const char* set; // --set for orbit 2, or empty
    int answer; // which input box, counted from 0, gets the --set number typed in
    int background; // palette index
    const char* file; // the output name, which chooses the format
};

// Each orbit 2 parameter differs from orbit 1's by a little, so the two orbits part.
const Case kCases[] = {
    {"lorenz", &Frm1::mnuLOR1_Click, 60000, "aa=10.001", 3, 0, "lorenz.png"},
    {"Rossler", &Frm1::mnuROS_Click, 20000, "cc=5.71", 5, 1, "rossler.bmp"},
    {"pickover", &Frm1::mnuPIK2_Click, 20000, "ee=1.001", 9, 0, "pickover"},
    {"HOPALONG", &Frm1::mnuHop1_Click, 20000, "aa=0.7241", 3, 15, "hopalong.png"},
    {"eqn1", &Frm1::mnuE1_Click, 20000, "bb=-0.9991", 5, 0, "eqn1.png"},
    {"eqn8", &Frm1::mnuE8_Click, 20000, "aa=2.421", 4, 7, "eqn8.BMP"},
    {"starburst", &Frm1::mnu3P4_Click, 20000, "cc=59.681", 5, 0, "starburst.png"},
    {"threeply", &Frm1::mnuThreeply_Click, 20000, "", -1, 4, "threeply.png"},
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

// frm1 on the real Qt platform, between it and the QtPlatform a counter that unloads the window
// after the last step: the run then returns without clearing, and the drawing area keeps its
// picture.
class RenderMatchesWindow : public ::testing::TestWithParam<Case> {
protected:
    RenderMatchesWindow()
    {
        QLocale::setDefault(QLocale::c()); // the typed numbers are written with a point
        qtPlatform.open(frm1);
        qtPlatform.window()->setGeometry(20, 20, 640, 480);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(qtPlatform.window()));
        QCoreApplication::processEvents();
        platform.syncMetrics();
        QObject::connect(&m_dialogTimer, &QTimer::timeout, [this] { answerDialog(); });
        m_dialogTimer.start(1);
    }

    // The drawing area's image after the case's run, started from the menu with every prompt
    // accepted as offered but the case's own.
    QImage windowPicture(const Case& c)
    {
        for (int press = 0; press <= c.background; ++press)
            frm1.Form_KeyPress('c');
        m_asked = 0;
        m_answers.clear();
        if (c.answer >= 0)
            m_answers[c.answer] = QString::fromLatin1(c.set).section(QLatin1Char('='), 1);
        frm1.vars.DelayCount = 0; // Form_Load's 50000 counts would change nothing drawn
        platform.restart(c.steps, [this](long) { frm1.Form_Unload(); });
        (frm1.*c.command)();
        EXPECT_EQ(platform.pumps(), c.steps);
        return qtPlatform.window()->drawingArea().surface().image();
    }

    QtPlatform qtPlatform;
    bench::CountingPlatform platform {qtPlatform};
    Frm1 frm1 {platform};

private:
    void answerDialog()
    {
        auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (input == nullptr)
            return;
        if (const auto answer = m_answers.find(m_asked++); answer != m_answers.end())
            input->setTextValue(answer->second);
        input->accept();
    }

    QTimer m_dialogTimer;
    std::map<int, QString> m_answers; // input box number -> text typed
    int m_asked = 0;
};

TEST_P(RenderMatchesWindow, ByteForByte)
{
    const Case& c = GetParam();
    const QSize area = qtPlatform.window()->drawingArea().size();
    const int scale = qRound(qtPlatform.window()->devicePixelRatioF());
    ASSERT_EQ(scale, kScale) << "the screen is not at the scale this program was built for";
    const QImage expected = windowPicture(c);
    ASSERT_EQ(expected.size(), area * scale);
    ASSERT_TRUE(contains(expected, kGreen) && contains(expected, kRed))
        << "the window's run drew too little to compare";

    QTemporaryDir folder;
    QStringList arguments = {QStringLiteral("render"), QString::fromLatin1(c.name), //
        QStringLiteral("--steps"), QString::number(c.steps), //
        QStringLiteral("--size"), QStringLiteral("%1x%2").arg(area.width()).arg(area.height()),
        QStringLiteral("--scale"), QString::number(scale), //
        QStringLiteral("--background"), QString::number(c.background), //
        QStringLiteral("-o"), QString::fromLatin1(c.file)};
    if (*c.set != '\0')
        arguments << QStringLiteral("--set") << QString::fromLatin1(c.set);
    QString errors;
    ASSERT_EQ(cli::tests::runProgram(arguments, folder.path(), nullptr, &errors), 0)
        << errors.toStdString();

    QString file = folder.filePath(QString::fromLatin1(c.file));
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".png");
    const QImage rendered = QImage(file).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(rendered.size(), expected.size()) << file.toStdString();
    int differing = 0;
    QPoint first(-1, -1);
    for (int y = 0; y < rendered.height(); ++y)
        for (int x = 0; x < rendered.width(); ++x)
            if (rendered.pixel(x, y) != expected.pixel(x, y) && differing++ == 0)
                first = QPoint(x, y);
    EXPECT_EQ(differing, 0) << "first at " << first.x() << ", " << first.y();
}

INSTANTIATE_TEST_SUITE_P(EveryAttractor, RenderMatchesWindow, ::testing::ValuesIn(kCases),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace quorvane::qt
