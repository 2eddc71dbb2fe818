// SPDX-License-Identifier: GPL-3.0-or-later
#include "about.h"

#include "jpeg_picture.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

// The box's places and sizes were laid out for MS Sans Serif at 96 dots per inch, whose
// 8 and 10 point sizes are 11 and 13 pixels with lines of 13 and 16 pixels. Liberation
// Sans (Arial's metrics) at those pixel sizes fits the same places whatever font and
// resolution the desktop has; the desktop's own font, often larger, clips the texts.
QFont BoxFont(int pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("Arimo"), QStringLiteral("Helvetica")});
    font.setPixelSize(qRound(pointSize * 96.0 / 72.0));
    return font;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& place, const QString& text,
                  int pointSize, bool wordWrap)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(BoxFont(pointSize));
    label->setWordWrap(wordWrap);
    if (place.width() > 0)
        label->setGeometry(place);
    else {
        label->move(place.topLeft());
        label->adjustSize();
    }
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(298, 267);
    setModal(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::WindowText, QColor(0, 255, 0));
    setPalette(colours);
    setAutoFillBackground(true);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(8, 8, 281, 217);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);

    //                      name           place                       text pt  wrap
    ProgramIcon = MakeLabel(panel, "ProgramIcon", {80, 8, 81, 57}, QString(), 10, false);
    ProductName = MakeLabel(panel, "ProductName", {24, 72, 209, 33},
                            QStringLiteral("Tunedeck March 2003"), 10, true);
    Comments = MakeLabel(panel, "Comments", {24, 112, 0, 0}, QStringLiteral("Suggestions/Comments"),
                         10, false);
    Label1 = MakeLabel(panel, "Label1", {24, 128, 0, 0},
                       QStringLiteral("tunedeck-team@users.invalid"), 8, false);
    Label2 = MakeLabel(panel, "Label2", {24, 152, 199, 39},
                       QStringLiteral("No resposibility taken for any damage caused to hardware "
                                      "or software during the use of this program."),
                       8, true);
    Version = MakeLabel(panel, "Version", {184, 192, 0, 0}, QStringLiteral("v" TUNEDECK_VERSION),
                        10, false);
    Licence = MakeLabel(panel, "Licence", {24, 194, 0, 0},
                        QStringLiteral("Licence: GPL-3.0-or-later"), 8, false);
    ProgramIcon->setPixmap(
        QPixmap::fromImage(LoadJpegPicture(QStringLiteral(":/pictures/about.jpg"))));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setFont(BoxFont(8));
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(103, 236, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}
