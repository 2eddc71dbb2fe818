// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A label showing a folder path within its width: a path too long for it is elided in
// the middle, so both the top of the path and the folder's own name stay visible. The
// whole path goes to the status bar while the pointer rests on the label. text() is the
// whole path.
class PathLabel : public QLabel {
    Q_OBJECT
public:
    explicit PathLabel(const QString& text, QWidget* parent = nullptr);

    // The text as it is drawn.
    QString shownText() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
