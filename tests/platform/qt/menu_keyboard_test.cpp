// The real window, offscreen, driven from the keyboard alone: an attractor chosen with Alt and
// access keys, keys the window has no use for pressed during its run, and a second attractor
// chosen the same way inside the first run.

#include "platform/qt/drawing_area.h"
#include "qt_window.h"

#include <QMenu>
#include <QMenuBar>

namespace quorvane::qt {
namespace {

const QString kHopalongCaption = QStringLiteral("Hopalong(1)   ");
const QString kLorenzCaption = QStringLiteral("LORENZ  ORBITS (XZ)    ");

class MenuKeyboard : public QtWindow {
protected:
    // Alt with the menu's access key, then the entry's access key in the menu that opened. A
    // command that starts a run returns when the run has ended.
    void chooseByKeyboard(Qt::Key menu, Qt::Key entry)
    {
        QTest::keyClick(handle(), menu, Qt::AltModifier);
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr) << "Alt and the access key opened no menu";
        QTest::keyClick(popup->windowHandle(), entry);
    }

    // Calls the action once from the event loop, as soon as the caption reads the text and no
    // dialog is open: the run that set the caption is then under way.
    void onceRunning(const QString& caption, std::function<void()> action)
    {
        auto* poll = new QTimer(&script);
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, caption, action] {
            if (window().windowTitle() != caption || QApplication::activeModalWidget() != nullptr)
                return;
            poll->stop(); // the poll is deleted with the script, not inside its own timeout
            action();
        });
        poll->start(20);
    }

    bool menuBarAtRest() const
    {
        return window().menuBar()->activeAction() == nullptr
            && QApplication::activePopupWidget() == nullptr;
    }

    QImage screenImage() const { return window().drawingArea().surface().image(); }

    bool showsAnOrbit() const
    {
        const QImage image = screenImage();
        return contains(image, kGreen) || contains(image, kRed);
    }

    // Owns every pending step of the test's script, so none outlives the test.
    QObject script;
};

TEST_F(MenuKeyboard, AfterACommandChosenByKeyboardOnlyTheWindowsOwnKeysAct)
{
    frm1.vars.DelayCount = 0; // draw fast
    // Should a run fail to end as scripted, closing the window ends them all.
    QTimer::singleShot(20'000, &script, [this] { window().close(); });

    bool outerWentOn = false, nestedRan = false, nestedEnded = false, outerWentOnAfter = false;
    onceRunning(kHopalongCaption, [&] {
        for (const Qt::Key key : {Qt::Key_A, Qt::Key_X, Qt::Key_Return, Qt::Key_Down, Qt::Key_F1}) {
            QTest::keyClick(handle(), key);
            EXPECT_TRUE(menuBarAtRest()) << "after " << QKeySequence(key).toString().toStdString();
        }
        QTest::qWait(50); // a command chosen by these keys would have started by now
        EXPECT_TRUE(shown.empty()) << "a message box opened";
        EXPECT_EQ(asked.size(), 6u) << "an input box opened";
        EXPECT_FALSE(platform.hasEnded());
        EXPECT_EQ(window().windowTitle(), kHopalongCaption);

        const double x = frm1.vars.orbit1.x;
        QTimer::singleShot(100, &script, [&, x] {
            outerWentOn = frm1.vars.orbit1.x != x && frm1.vars.StopFlag == 0;

            onceRunning(kLorenzCaption, [&] {
                QTest::keyClick(handle(), Qt::Key_A);
                nestedRan = asked.size() == 12 && menuBarAtRest();
                QTest::keyClick(handle(), Qt::Key_Escape);
            });
            chooseByKeyboard(Qt::Key_E, Qt::Key_L); // returns when the nested run has ended
            nestedEnded = !platform.hasEnded();

            // Back in Hopalong's run, now with zero parameters from zero state: it plots its
            // fixed point on the cleared screen until a second Escape. Orbit 2's point lies 10
            // units from orbit 1's, less than a pixel at Hopalong's scale: depending on the
            // drawing area's height (the menu bar's font) the red point may cover the green.
            QTimer::singleShot(100, &script, [&] {
                outerWentOnAfter = showsAnOrbit() && menuBarAtRest();
                QTest::keyClick(handle(), Qt::Key_Escape);
            });
        });
    });
    chooseByKeyboard(Qt::Key_E, Qt::Key_H); // returns when the outer run has ended

    EXPECT_TRUE(outerWentOn);
    EXPECT_TRUE(nestedRan);
    EXPECT_TRUE(nestedEnded);
    EXPECT_TRUE(outerWentOnAfter);
    EXPECT_FALSE(platform.hasEnded());
    EXPECT_FALSE(showsAnOrbit()); // the outer run has ended too
}

TEST_F(MenuKeyboard, AKeyTheWindowActsOnEndsTheMenuBarsKeyboardNavigation)
{
    // Alt pressed and released on its own starts the menu bar's keyboard navigation.
    QTest::keyPress(handle(), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(handle(), Qt::Key_Alt);
    ASSERT_NE(window().menuBar()->activeAction(), nullptr);

    QTest::keyClick(handle(), Qt::Key_Escape);
    EXPECT_EQ(frm1.vars.StopFlag, 1); // RESET, as ever
    EXPECT_TRUE(menuBarAtRest());
    QTest::keyClick(handle(), Qt::Key_A);
    QTest::keyClick(handle(), Qt::Key_Return);
    QTest::qWait(50);
    EXPECT_TRUE(menuBarAtRest());
    EXPECT_TRUE(shown.empty()) << "a message box opened";
}

} // namespace
} // namespace quorvane::qt
