// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QStringList>
#include <initializer_list>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

class QWidget;

// The pieces the window's declared layout is made of: each control with its name, place,
// size, caption and hint, in the colours of the window.

constexpr QColor Lime(0, 255, 0);

template <class Widget> Widget* Place(Widget* widget, const char* name, const QRect& place)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(place);
    return widget;
}

QPushButton* Button(QWidget* parent, const char* name, const QRect& place, const char* caption,
                    const char* hint = nullptr);
QGroupBox* Group(QWidget* parent, const char* name, const QRect& place, const char* caption);
QCheckBox* CheckBox(QWidget* parent, const char* name, const QRect& place, const char* caption);
// A label at `at`; a folder path runs up to the right edge of its box and is elided there.
QLabel* Label(QWidget* parent, const char* name, const QPoint& at, const char* text,
              bool path = false);

// The families of `wanted` that are installed, in order; all of them when none is.
QStringList InstalledFamilies(std::initializer_list<const char*> wanted);
