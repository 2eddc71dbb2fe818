// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/interfaces.h"
#include "editing/section_controls.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QProgressBar>

// The shared progress bar. Its position steps once per line, but only a step that can be
// seen is drawn: a bar that is not on screen (the window being built at start-up) draws
// nothing until it is shown, and a visible bar redraws at once at most once a frame and
// otherwise on the next paint. A screen reader hears of the position in about twenty steps
// per count, whatever the count's length, so it is not kept busy while the outcome waits:
// QProgressBar's value(), which it reads, follows the position at those steps while the bar
// is on screen, and always at rest; the bar draws every step.
class ProgressBar : public QProgressBar, public Progress {
public:
    explicit ProgressBar(QWidget* parent = nullptr);
    void setMaximum(int maximum) override;
    void stepIt() override;
    void setPosition(int position) override;
    int position() const override { return position_; }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void drawPosition();
    bool toldStep() const;

    int position_ = 0;
    QElapsedTimer sinceDrawn_;
};

// A tab's section chooser: an editable drop-down list. `changed` tells of the user's
// changes only (an item picked, even the same one again, or the text edited); changes
// made from the program say nothing.
class SectionChooser : public QComboBox, public Chooser {
    Q_OBJECT
public:
    explicit SectionChooser(QWidget* parent = nullptr);
    int itemIndex() const override { return currentIndex(); }
    void clearSelection() override;
    void setText(const std::string& text) override;

signals:
    void changed();

private:
    // An edited text selects the item it matches exactly, or none; the text stays as typed.
    void textEdited(const QString& text);
};
