#pragma once

#include "launch_command.h"

#include <QObject>
#include <functional>

class Launcher;
class TForm1;

// Launch Gorewheel 2 and the Perkwright.exe buttons: the program starts the way the
// player's setup runs Windows programs; what could not be started is told in an Error box.
class Launching : public QObject {
    Q_OBJECT
public:
    Launching(TForm1& form, Launcher& launcher);

    // gwheel2.exe in the game folder; throws FileError for a game folder it cannot enter.
    void launchGame();
    // Perkwright.exe in the working folder; the window closes once it has started.
    void launchSibling();

private:
    void launch(const QString& program, LaunchTarget target, const std::function<void()>& started);

    TForm1& form_;
    Launcher& launcher_;
};
