#pragma once

#include "documents/interfaces.h"

#include <QComboBox>
#include <QProgressBar>

// The shared progress bar.
class ProgressBar : public QProgressBar, public Progress {
public:
    explicit ProgressBar(QWidget* parent = nullptr);
    void setMaximum(int maximum) override { QProgressBar::setMaximum(maximum); }
    void stepIt() override;
    void setPosition(int position) override { setValue(position); }
    int position() const override { return value(); }
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
