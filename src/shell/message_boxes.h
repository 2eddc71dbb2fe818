// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/interfaces.h"
#include "questions.h"

#include <QMessageBox>

class QWidget;

// Modal message boxes: one OK button, or the buttons of a question.
class MessageBoxes : public Messages, public Questions {
public:
    explicit MessageBoxes(QWidget* parent) : parent_(parent) {}

    void error(const QString& text) override;
    void warning(const QString& text) override;
    void information(const QString& text) override;
    void plain(const QString& text) override;
    void report(const QString& text) override;
    bool ask(const QString& text) override;
    Closing askBeforeClosing(const QString& text) override;
    int choose(const QString& text, const QStringList& answers, int preferred) override;

private:
    void show(QMessageBox::Icon icon, const QString& title, const QString& text);
    QWidget* parent_;
};
