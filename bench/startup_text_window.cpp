// The fair floor for the start-up cost: a Qt program that shows a window of the given
// size with one line of text in a label, lets the event loop settle as startup_tunedeck
// does, and exits. Drawing text starts fontconfig and loads a font, as every real window
// does; the empty window (startup_empty_window) never pays for that.
//
//     startup_text_window WIDTH HEIGHT

#include "settle.h"

#include <QLabel>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT\n", argv[0]);
        return 2;
    }
    QWidget window;
    window.setFixedSize(std::atoi(argv[1]), std::atoi(argv[2]));
    QLabel label(QStringLiteral("Choose Setting"), &window);
    label.move(8, 8);
    const bool drawn = ShowAndSettle(window);
    if (!drawn)
        std::fprintf(stderr, "the window was never drawn\n");
    ReportFigures(window);
    return drawn ? 0 : 1;
}
