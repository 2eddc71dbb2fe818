#include "controls.h"

#include "latin1.h"

#include <QLineEdit>
#include <QSignalBlocker>

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent)
{
    setTextVisible(false);
    setMinimum(0);
    setValue(0);
}

void ProgressBar::stepIt()
{
    // Like a native progress bar, a step past the maximum starts again from the minimum.
    setValue(value() >= maximum() ? minimum() : value() + 1);
}

SectionChooser::SectionChooser(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(this, &QComboBox::activated, this, &SectionChooser::changed);
    connect(lineEdit(), &QLineEdit::textEdited, this, &SectionChooser::textEdited);
}

void SectionChooser::textEdited(const QString& text)
{
    {
        const QSignalBlocker blocker(this);
        const int cursor = lineEdit()->cursorPosition();
        setCurrentIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
        setEditText(text);
        lineEdit()->setCursorPosition(cursor);
    }
    emit changed();
}

void SectionChooser::clearSelection()
{
    // Setting the index, even to the one it has, replaces the text: a chooser without a
    // selection keeps its text only if it is left alone.
    if (currentIndex() == -1)
        return;
    const QSignalBlocker blocker(this);
    setCurrentIndex(-1);
    setEditText(QString());
}

void SectionChooser::setText(const std::string& text)
{
    const QSignalBlocker blocker(this);
    setEditText(FromLatin1(text));
}
