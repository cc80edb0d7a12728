#include <QApplication>

#include <gtest/gtest.h>

// The Qt tests run real widgets; they need an application object, and the offscreen platform
// unless one is set already. A test program built with QUORVANE_TEST_SCALE runs its screen at
// that many device pixels to the logical pixel, whatever the environment it is started in.
int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM",
        qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
#ifdef QUORVANE_TEST_SCALE
    qputenv("QT_SCALE_FACTOR", QByteArray::number(QUORVANE_TEST_SCALE));
#endif
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
