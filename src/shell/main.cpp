// SPDX-License-Identifier: GPL-3.0-or-later
#include "application.h"
#include "documents/file_size_limit.h"
#include "general.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    IgnoreFileSizeLimitSignal();
    Q_INIT_RESOURCE(tunedeck);
    QApplication application(argc, argv);
    SetUpApplication();
    EnterWorkingFolder();
    TForm1 form; // sized and placed for its screen
    form.show();
    return application.exec();
}
