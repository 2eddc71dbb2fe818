// SPDX-License-Identifier: GPL-3.0-or-later
#include "form_parts.h"

#include "path_label.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

template <class Widget> Widget* InLime(Widget* widget)
{
    QPalette colours = widget->palette();
    colours.setColor(QPalette::WindowText, Lime);
    widget->setPalette(colours);
    return widget;
}

} // namespace

QPushButton* Button(QWidget* parent, const char* name, const QRect& place, const char* caption,
                    const char* hint)
{
    auto* button = Place(new QPushButton(QString::fromLatin1(caption), parent), name, place);
    if (hint)
        button->setStatusTip(QString::fromLatin1(hint));
    return button;
}

QGroupBox* Group(QWidget* parent, const char* name, const QRect& place, const char* caption)
{
    auto* group = InLime(Place(new QGroupBox(QString::fromLatin1(caption), parent), name, place));
    group->setAccessibleName(group->title().trimmed()); // the caption's blanks are not said
    return group;
}

QCheckBox* CheckBox(QWidget* parent, const char* name, const QRect& place, const char* caption)
{
    return InLime(Place(new QCheckBox(QString::fromLatin1(caption), parent), name, place));
}

QLabel* Label(QWidget* parent, const char* name, const QPoint& at, const char* text, bool path)
{
    QLabel* label = path ? new PathLabel(QString::fromLatin1(text), parent)
                         : new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QLatin1String(name));
    label->move(at);
    label->resize(path ? parent->width() - at.x() - 8 : 180, 14);
    return label;
}

// Qt passes over a missing family itself, but only after listing every installed font
// under each of its localised names, which costs about as much as loading a font.
QStringList InstalledFamilies(std::initializer_list<const char*> wanted)
{
    const QStringList installed = QFontDatabase::families();
    QStringList found;
    QStringList all;
    for (const char* family : wanted) {
        all << QLatin1String(family);
        if (installed.contains(all.last(), Qt::CaseInsensitive))
            found << all.last();
    }
    return found.isEmpty() ? all : found;
}
