#include "app/frm1.h"
#include "platform/qt/drawing_area.h"
#include "platform/qt/main_window.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

namespace quorvane::qt {
namespace {

constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kRed = 0xFFFF0000;

bool contains(const QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                return true;
    return false;
}

class Window : public ::testing::Test {
protected:
    Window()
    {
        platform.open(frm1);
        window().setGeometry(40, 40, 1000, 900);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window()));
    }

    MainWindow& window() const { return *platform.window(); }
    QWindow* handle() const { return window().windowHandle(); }
    QImage screenImage() const { return window().drawingArea().surface().image(); }

    // Answers every input box with its default, recording what each showed.
    void acceptInputBoxes()
    {
        QObject::connect(&m_dialogTimer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr)
                return;
            shown.push_back({dialog->windowTitle(), dialog->labelText(), dialog->textValue()});
            dialog->accept();
        });
        m_dialogTimer.start(10);
    }

    // Runs the action once, from inside the event pump, after the given time.
    void later(int ms, std::function<void()> action) { QTimer::singleShot(ms, action); }

    struct Shown {
        QString title, label, text;
    };
    std::vector<Shown> shown;

    QtPlatform platform;
    Frm1 frm1 {platform};

private:
    QTimer m_dialogTimer;
};

TEST_F(Window, OpensWithItsCaptionIconAndMenuBar)
{
    EXPECT_EQ(window().windowTitle(), QStringLiteral(" Zemlar :   The  Quorvane  Effect."));
    EXPECT_FALSE(window().windowIcon().isNull());
    EXPECT_EQ(window().windowIcon().actualSize(QSize(32, 32)), QSize(32, 32));

    QStringList top;
    for (QAction* action : window().menuBar()->actions())
        top << action->text();
    EXPECT_EQ(top, (QStringList {"E&xit", "&Equations", "&RESET", "&Save!", "&About"}));

    QMenu* equations = window().menuBar()->actions().at(1)->menu();
    ASSERT_NE(equations, nullptr);
    QStringList sub;
    for (QAction* action : equations->actions())
        sub << action->text();
    EXPECT_EQ(sub,
        (QStringList {"&Eqn 1", "&Eqn 8", "&Hopalong", "&Lorenz", "&Pickover", "&Rossler",
            "&Starburst", "&Threeply"}));
    EXPECT_EQ(frm1.vars.DelayCount, 50000.0f);
}

TEST_F(Window, KeysReachTheirHandlersWhateverHasTheFocus)
{
    QTest::keyClick(handle(), Qt::Key_Tab);
    EXPECT_EQ(frm1.vars.DelayCount, 55000.0f);
    QTest::keyClick(handle(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(frm1.vars.DelayCount, 60000.0f);

    QTest::keyClick(handle(), 'c');
    EXPECT_EQ(frm1.vars.ColorIndex, 1);
    QTest::keyClick(handle(), 'C', Qt::ShiftModifier);
    QTest::keyClick(handle(), 'c', Qt::ControlModifier);
    EXPECT_EQ(frm1.vars.ColorIndex, 1);

    // The menu bar keeps the focus after Alt; Escape must still reach the window.
    window().menuBar()->setFocus();
    frm1.vars.set1.a = 5;
    QTest::keyClick(handle(), Qt::Key_Escape);
    EXPECT_EQ(frm1.vars.StopFlag, 1);
    EXPECT_EQ(frm1.vars.set1.a, 0.0);
    EXPECT_EQ(window().windowTitle(), QString());
}

TEST_F(Window, BackgroundKeyRecoloursBothSurfaces)
{
    for (int press = 0; press < 2; ++press)
        QTest::keyClick(handle(), 'c');
    EXPECT_EQ(screenImage().pixel(5, 5), 0xFF000080); // blue on the second press
    EXPECT_EQ(platform.picture().image().pixel(5, 5), 0xFF000080);
}

TEST_F(Window, ALorenzRunDrawsBothColoursIntoBothImagesUntilEscape)
{
    acceptInputBoxes();
    frm1.vars.DelayCount = 0; // draw fast
    bool sawScreen = false, sawPicture = false;
    later(400, [&] {
        frm1.vars.DelayCount = 0;
        const QImage screen = screenImage();
        const QImage picture = platform.picture().image();
        sawScreen = contains(screen, kGreen) && contains(screen, kRed);
        sawPicture = contains(picture, kGreen) && contains(picture, kRed);
        QTest::keyClick(handle(), Qt::Key_Escape);
    });
    frm1.mnuLOR1_Click(); // returns when Escape has ended the run

    EXPECT_TRUE(sawScreen);
    EXPECT_TRUE(sawPicture);
    EXPECT_FALSE(contains(screenImage(), kGreen));
    EXPECT_FALSE(contains(platform.picture().image(), kRed));

    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown[0].title, QStringLiteral("Lorenz Orbits"));
    EXPECT_EQ(shown[0].label, QStringLiteral("Entre a value for Prandtl number.\n{5 - 34}"));
    EXPECT_EQ(shown[0].text, QStringLiteral("10"));
    EXPECT_EQ(shown[2].text, QStringLiteral("2.667"));
}

TEST_F(Window, PictureFollowsTheOuterSizeAndKeepsItsPointsWhenRefitted)
{
    const QSize outer = window().frameGeometry().size();
    EXPECT_EQ(platform.picture().size(), outer);
    EXPECT_EQ(platform.picture().scaleWidth(), platform.metrics().scaleWidth);

    platform.plot(Surface::Picture, 150, 150, 0x00FF00);
    const QImage before = platform.picture().image();
    QPoint marked;
    for (int y = 0; y < before.height() && marked.isNull(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) == kGreen)
                marked = QPoint(x, y);
    ASSERT_FALSE(marked.isNull());

    window().resize(700, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(platform.picture().size(), window().frameGeometry().size());
    EXPECT_EQ(platform.picture().scaleHeight(), platform.metrics().scaleHeight);
    EXPECT_EQ(platform.picture().image().pixel(marked), kGreen);
}

TEST_F(Window, TwipsAreFifteenAPixelAtNinetySixDots)
{
    const double tpp = 1440.0 / window().drawingArea().logicalDpiX();
    EXPECT_FLOAT_EQ(
        platform.metrics().scaleWidth, static_cast<float>(window().drawingArea().width() * tpp));
    EXPECT_FLOAT_EQ(
        platform.metrics().height, static_cast<float>(window().frameGeometry().height() * tpp));
}

TEST_F(Window, ClosingDuringARunEndsTheProgramAtOnce)
{
    acceptInputBoxes();
    frm1.vars.DelayCount = 0;
    later(200, [&] { window().close(); });
    frm1.mnuLOR1_Click(); // returns because the window was unloaded
    EXPECT_TRUE(platform.hasEnded());
    EXPECT_TRUE(frm1.isUnloaded());
    EXPECT_FALSE(window().isVisible());
}

TEST_F(Window, OnlyAnotherTopLevelWindowOfTheProgramEndsIt)
{
    QInputDialog dialog(&window()); // the program's own dialogs do not count
    dialog.show();
    dialog.activateWindow();
    QTest::qWait(50);
    EXPECT_FALSE(platform.hasEnded());
    dialog.hide();

    QWidget other;
    other.show();
    other.activateWindow();
    QTest::qWait(50);
    EXPECT_TRUE(platform.hasEnded());
}

} // namespace
} // namespace quorvane::qt
