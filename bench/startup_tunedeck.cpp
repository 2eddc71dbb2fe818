// SPDX-License-Identifier: GPL-3.0-or-later
// Starts Tunedeck the way a user does, on a prepared working folder: the main window is
// built (which reads Tunedeck.ini and loads both game files), shown, and the event loop
// runs until the first frame, with the picture of the tab in front, is drawn. Then it
// exits. The pictures of the other tabs are decoded when those tabs are first shown.
//
//     startup_tunedeck WORKING_FOLDER
//
// Prints the window size and the peak resident memory. Exits with 1 when the start-up
// did not go as it does for a user with a valid game folder, so a broken folder is not
// timed by mistake.

#include "general.h"
#include "settle.h"

#include "documents/game_files.h"
#include "documents/interfaces.h"

#include <QLabel>

#include <cstdio>

namespace {

// A message at start-up means the folder was not prepared right; a real message box
// would wait for a click that never comes.
struct UnexpectedMessages : Messages {
    int count = 0;
    void error(const QString& text) override { note(text); }
    void warning(const QString& text) override { note(text); }
    void information(const QString& text) override { note(text); }
    void plain(const QString& text) override { note(text); }
    void report(const QString& text) override { note(text); }
    void note(const QString& text)
    {
        ++count;
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
    }
};

} // namespace

int main(int argc, char* argv[])
{
    Q_INIT_RESOURCE(tunedeck);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tunedeck"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tunedeck"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WORKING_FOLDER\n", argv[0]);
        return 2;
    }
    UnexpectedMessages messages;
    TForm1Services services;
    services.messages = &messages;
    services.workDir = QString::fromLocal8Bit(argv[1]);
    TForm1 form(services);

    bool ok = messages.count == 0;
    if (form.state().GeneralText.count() != GeneralLineCount ||
        form.state().SettingsText.count() != SettingsLineCount) {
        std::fprintf(stderr, "the game files were not loaded\n");
        ok = false;
    }
    if (!ShowAndSettle(form)) {
        std::fprintf(stderr, "the window was never drawn\n");
        ok = false;
    }
    if (form.Image1->pixmap().isNull()) {
        std::fprintf(stderr, "the picture of the tab in front was not decoded\n");
        ok = false;
    }
    ReportFigures(form);
    return ok ? 0 : 1;
}
