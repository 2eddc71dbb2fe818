#include "application.h"
#include "general.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[])
{
    Q_INIT_RESOURCE(tunedeck);
    QApplication application(argc, argv);
    SetUpApplication();
    TForm1 form;
    form.adjustSize();
    form.move(QGuiApplication::primaryScreen()->availableGeometry().center() -
              form.rect().center());
    form.show();
    return application.exec();
}
