// The real window, offscreen, while a Lorenz run goes on: 10,000 presses of 'c', a resize to
// nothing, minimizing and restoring. pic1 must never take a size or scale it cannot hold, the
// run must go on drawing into both images, and Escape must still end it.

#include "app/frm1.h"
#include "platform/qt/drawing_area.h"
#include "platform/qt/main_window.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QInputDialog>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <cmath>

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

class HostileWindow : public ::testing::Test {
protected:
    HostileWindow()
    {
        platform.open(frm1);
        // A small window keeps 10,000 repaints of the background cheap.
        window().showNormal();
        window().setGeometry(40, 40, 320, 260);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window()));
        QObject::connect(&m_dialogs, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget()))
                dialog->accept();
        });
        m_dialogs.start(10);
    }

    MainWindow& window() const { return *platform.window(); }

    // pic1 always holds an image and a usable scale, whatever the window went through.
    void expectPictureUsable(const char* when) const
    {
        const RasterSurface& pic1 = platform.picture();
        EXPECT_FALSE(pic1.image().isNull()) << when;
        EXPECT_GE(pic1.size().width(), 1) << when;
        EXPECT_GE(pic1.size().height(), 1) << when;
        EXPECT_TRUE(std::isfinite(pic1.scaleWidth()) && pic1.scaleWidth() > 0) << when;
        EXPECT_TRUE(std::isfinite(pic1.scaleHeight()) && pic1.scaleHeight() > 0) << when;
        const RasterSurface& screen = window().drawingArea().surface();
        EXPECT_GE(screen.size().width(), 1) << when;
        EXPECT_GE(screen.size().height(), 1) << when;
    }

    QtPlatform platform;
    Frm1 frm1 {platform};

private:
    QTimer m_dialogs;
};

TEST_F(HostileWindow, ColourPressesResizeToNothingAndMinimizeDuringARun)
{
    frm1.vars.DelayCount = 0;
    bool drewAfterRestore = false;
    std::function<void()> stopAfterLooking;
    QTimer::singleShot(100, [&] {
        for (int press = 0; press < 10'000; ++press)
            QTest::keyClick(window().windowHandle(), 'c');

        window().resize(0, 0);
        QTest::qWait(20);
        expectPictureUsable("at the smallest size");
        window().showMinimized();
        QTest::qWait(20);
        expectPictureUsable("minimized");
        window().showNormal();
        window().resize(320, 260);
        QTest::qWait(20);
        expectPictureUsable("restored");

        frm1.vars.DelayCount = 0;
        frm1.mnuReset_Click(); // clear what was drawn before, so what follows is new
        frm1.vars.StopFlag = 0; // ...but keep the run going
        QTimer::singleShot(300, stopAfterLooking);
    });
    stopAfterLooking = [&] {
        const QImage screen = window().drawingArea().surface().image();
        const QImage picture = platform.picture().image();
        // With RESET's zero parameters the orbits sit at their fixed point, one pixel each;
        // on pic1, scaled to the outer size, orbit 2 lands on orbit 1's pixel and covers it.
        drewAfterRestore
            = contains(screen, kGreen) && contains(screen, kRed) && contains(picture, kRed);
        QTest::keyClick(window().windowHandle(), Qt::Key_Escape);
    };
    frm1.mnuLOR1_Click(); // returns when Escape has ended the run

    EXPECT_FALSE(platform.hasEnded());
    EXPECT_EQ(frm1.vars.ColorIndex, 0); // 10,000 presses: 625 times round the palette
    EXPECT_EQ(platform.picture().backColor(), 0xFFFFFFFF); // the last press gave colour 15
    EXPECT_TRUE(drewAfterRestore);
    EXPECT_EQ(platform.picture().size(), window().frameGeometry().size());
    EXPECT_FALSE(contains(platform.picture().image(), kGreen));
    expectPictureUsable("after the run");
}

} // namespace
} // namespace quorvane::qt
