#include "app/frm1.h"
#include "platform/qt/display.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (const std::string reason = quorvane::qt::missingDisplayReason(); !reason.empty()) {
        std::fprintf(stderr, "quorvane: %s\n", reason.c_str());
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvane"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));

    quorvane::qt::QtPlatform platform;
    quorvane::Frm1 frm1(platform);
    platform.open(frm1);
    return QApplication::exec();
}
