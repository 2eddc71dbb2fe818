// The floor for the start-up cost: a Qt program that shows an empty window of the given
// size, lets the event loop settle as startup_tunedeck does, and exits.
//
//     startup_empty_window WIDTH HEIGHT

#include "settle.h"

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
    const bool drawn = ShowAndSettle(window);
    if (!drawn)
        std::fprintf(stderr, "the window was never drawn\n");
    ReportFigures(window);
    return drawn ? 0 : 1;
}
