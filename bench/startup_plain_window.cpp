// SPDX-License-Identifier: GPL-3.0-or-later
// The floors for the start-up cost: a Qt program that shows a window of the given size,
// lets the event loop settle as startup_tunedeck does, and exits. Given a TEXT, the window
// draws it in a label: that starts fontconfig and loads a font, as every real window does
// (the fair floor); without one the window stays empty and never pays for that.
//
//     startup_plain_window WIDTH HEIGHT [TEXT]

#include "settle.h"

#include <QLabel>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT [TEXT]\n", argv[0]);
        return 2;
    }
    QWidget window;
    window.setFixedSize(std::atoi(argv[1]), std::atoi(argv[2]));
    if (argc == 4)
        (new QLabel(QString::fromLocal8Bit(argv[3]), &window))->move(8, 8);
    const bool drawn = ShowAndSettle(window);
    if (!drawn)
        std::fprintf(stderr, "the window was never drawn\n");
    ReportFigures(window);
    return drawn ? 0 : 1;
}
