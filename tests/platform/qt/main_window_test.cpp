#include "platform/qt/drawing_area.h"
#include "qt_window.h"

#include <QMenuBar>

namespace quorvane::qt {
namespace {

class Window : public QtWindow {
protected:
    QImage screenImage() const { return window().drawingArea().surface().image(); }
};

TEST_F(Window, OpensWithItsCaptionIconAndMenuBar)
{
    EXPECT_EQ(window().windowTitle(), QString::fromUtf8(Frm1::kStartCaption.data()));
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
}

TEST_F(Window, KeysReachTheirHandlersWhateverHasTheFocus)
{
    QTest::keyClick(handle(), Qt::Key_Tab);
    EXPECT_EQ(frm1.vars.DelayCount, 55000.0f);
    QTest::keyClick(handle(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(frm1.vars.DelayCount, 60000.0f);

    // The second press of c gives both backgrounds palette colour 1; Shift and Ctrl do nothing.
    QTest::keyClick(handle(), 'c');
    QTest::keyClick(handle(), 'C', Qt::ShiftModifier);
    QTest::keyClick(handle(), 'c', Qt::ControlModifier);
    QTest::keyClick(handle(), 'c');
    EXPECT_EQ(frm1.vars.ColorIndex, 2);
    EXPECT_EQ(screenImage().pixel(5, 5), kBlue);
    EXPECT_EQ(platform.picture().image().pixel(5, 5), kBlue);

    // The menu bar keeps the focus after Alt; Escape must still reach the window.
    window().menuBar()->setFocus();
    frm1.vars.set1.a = 5;
    QTest::keyClick(handle(), Qt::Key_Escape);
    EXPECT_EQ(frm1.vars.StopFlag, 1);
    EXPECT_EQ(frm1.vars.set1.a, 0.0);
    EXPECT_EQ(window().windowTitle(), QString());
}

TEST_F(Window, ALorenzRunDrawsBothColoursIntoBothImagesUntilEscape)
{
    frm1.vars.DelayCount = 0; // draw fast
    bool sawScreen = false, sawPicture = false;
    QTimer::singleShot(400, [&] {
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

    // The line break of the prompt shows as one.
    ASSERT_EQ(asked.size(), 6u);
    EXPECT_EQ(asked[0].title, QStringLiteral("Lorenz Orbits"));
    EXPECT_EQ(asked[0].label, QStringLiteral("Entre a value for Prandtl number.\n{5 - 34}"));
    EXPECT_EQ(asked[0].text, QStringLiteral("10"));
    EXPECT_EQ(asked[2].text, QStringLiteral("2.667"));
}

TEST_F(Window, ClosingDuringARunEndsTheProgramAtOnce)
{
    frm1.vars.DelayCount = 0;
    QTimer::singleShot(200, [&] { window().close(); });
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
