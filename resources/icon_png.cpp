// Writes the window's 32 x 32 icon, quorvane.xpm, as a PNG file for the desktop's icon theme:
//     quorvane_icon_png OUTPUT.png
// The build runs it, so the installed icon is always the one the window shows.

#include <QImage>
#include <QString>

#include <cstdio>

#include "quorvane.xpm"

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvane_icon_png OUTPUT.png\n");
        return 2;
    }
    const QImage icon(quorvane_xpm);
    if (icon.isNull() || !icon.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "quorvane_icon_png: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
