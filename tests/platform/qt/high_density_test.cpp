#include "platform/qt/drawing_area.h"
#include "qt_window.h"

#include <QScreen>

// Runs with QT_SCALE_FACTOR=2: two device pixels to a logical pixel, at 96 logical dots an inch.
namespace quorvane::qt {
namespace {

class HighDensity : public ::testing::Test {
protected:
    HighDensity()
    {
        platform.open(frm1);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window()));
    }

    void SetUp() override { ASSERT_EQ(window().devicePixelRatioF(), 2.0) << "QT_SCALE_FACTOR=2"; }

    MainWindow& window() const { return *platform.window(); }
    DrawingArea& area() const { return window().drawingArea(); }

    QtPlatform platform;
    Frm1 frm1 {platform};
};

TEST_F(HighDensity, TwipsFollowLogicalInchesAndTheWindowStillFillsTheScreen)
{
    EXPECT_EQ(area().logicalDpiX(), 96);
    EXPECT_EQ(platform.metrics().scaleWidth, static_cast<float>(area().width() * 15));
    EXPECT_EQ(
        platform.metrics().height, static_cast<float>(window().frameGeometry().height() * 15));

    // Maximized, frame included; where nothing maximizes it, nearly as large.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(window().isMaximized());
    EXPECT_EQ(window().frameGeometry(), available);
    const QRect normal = window().normalGeometry();
    EXPECT_TRUE(available.contains(normal));
    EXPECT_GE(normal.width(), available.width() * 9 / 10);
    EXPECT_GE(normal.height(), available.height() * 8 / 10);
}

TEST_F(HighDensity, APointIsOneDevicePixelOnScreen)
{
    const QImage& image = area().surface().image();
    EXPECT_EQ(image.size(), area().size() * 2);
    EXPECT_EQ(image.devicePixelRatio(), 2.0);

    platform.plot(Surface::Window, 150, 150, 0x00FF00); // ten logical pixels in
    EXPECT_EQ(marks(area().surface().image(), kGreen), QList {QPoint(20, 20)});

    // What is painted on the screen, not only what the image holds.
    const QImage shown = area().grab().toImage();
    ASSERT_EQ(shown.size(), area().size() * 2);
    EXPECT_EQ(marks(shown, kGreen), QList {QPoint(20, 20)});
}

TEST_F(HighDensity, PictureIsHeldInDevicePixelsAndKeepsItsPointsWhenRefitted)
{
    EXPECT_EQ(platform.picture().size(), window().frameGeometry().size() * 2);
    EXPECT_EQ(platform.picture().devicePixelRatio(), 2.0);

    platform.plot(Surface::Picture, 150, 150, 0x00FF00);
    platform.plot(Surface::Window, 150, 150, 0x00FF00);
    const QList<QPoint> drawn = marks(platform.picture().image(), kGreen);
    ASSERT_EQ(drawn.size(), 1);

    window().resize(300, 250);
    QCoreApplication::processEvents();
    EXPECT_EQ(platform.picture().size(), window().frameGeometry().size() * 2);
    EXPECT_EQ(platform.picture().scaleWidth(), platform.metrics().scaleWidth);
    EXPECT_EQ(platform.picture().scaleHeight(), platform.metrics().scaleHeight);
    EXPECT_EQ(marks(platform.picture().image(), kGreen), drawn);
    EXPECT_EQ(marks(area().surface().image(), kGreen), QList {QPoint(20, 20)});
}

} // namespace
} // namespace quorvane::qt
