// SPDX-License-Identifier: GPL-3.0-or-later
#include "message_boxes.h"

#include "application.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPointer>
#include <QPushButton>

namespace {

// Shows the box and gives the keyboard back to what had it. An editor open in a grid goes
// while the box has the keyboard, so its grid takes it back, on the cell that was current.
int Run(QMessageBox& box)
{
    const QPointer<QWidget> focus = QApplication::focusWidget();
    QPointer<QAbstractItemView> view;
    for (QWidget* up = focus; up && !view; up = up->parentWidget())
        view = qobject_cast<QAbstractItemView*>(up);
    const QPersistentModelIndex cell = view ? view->currentIndex() : QModelIndex();
    const int answer = box.exec();
    if (view) {
        view->setFocus(Qt::OtherFocusReason);
        if (cell.isValid())
            view->setCurrentIndex(cell);
    } else if (focus) {
        focus->setFocus(Qt::OtherFocusReason);
    }
    return answer;
}

} // namespace

void MessageBoxes::show(QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(icon, title, shown, QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    if (parent_)
        box.setFont(parent_->font()); // the window's font, not the desktop's
    Run(box);
}

void MessageBoxes::error(const QString& text)
{
    show(QMessageBox::Critical, QStringLiteral("Error"), text);
}

void MessageBoxes::warning(const QString& text)
{
    show(QMessageBox::Warning, QStringLiteral("Warning"), text);
}

void MessageBoxes::information(const QString& text)
{
    show(QMessageBox::Information, QStringLiteral("Information"), text);
}

void MessageBoxes::plain(const QString& text)
{
    show(QMessageBox::NoIcon, QLatin1String(ApplicationTitle), text);
}

void MessageBoxes::report(const QString& text)
{
    show(QMessageBox::Critical, QLatin1String(ApplicationTitle), text);
}

bool MessageBoxes::ask(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), text,
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setTextFormat(Qt::PlainText);
    if (parent_)
        box.setFont(parent_->font());
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return Run(box) == QMessageBox::Yes;
}

Messages::Closing MessageBoxes::askBeforeClosing(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
    box.setTextFormat(Qt::PlainText);
    if (parent_)
        box.setFont(parent_->font());
    box.button(QMessageBox::Discard)->setText(QStringLiteral("Don't Save"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (Run(box)) {
    case QMessageBox::Save:
        return Closing::Save;
    case QMessageBox::Discard:
        return Closing::DontSave;
    default:
        return Closing::Cancel;
    }
}

int MessageBoxes::choose(const QString& text, const QStringList& answers, int preferred)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), text, QMessageBox::NoButton,
                    parent_);
    box.setTextFormat(Qt::PlainText);
    if (parent_)
        box.setFont(parent_->font());
    // The first answer goes ahead, the last keeps things as they are, those between let
    // something go; the style lays them out in its order for such buttons.
    QList<QPushButton*> buttons;
    for (const QString& answer : answers) {
        const bool last = buttons.size() + 1 == answers.size();
        buttons << box.addButton(answer, last                ? QMessageBox::RejectRole
                                         : buttons.isEmpty() ? QMessageBox::AcceptRole
                                                             : QMessageBox::DestructiveRole);
    }
    if (buttons.isEmpty())
        return -1;
    box.setDefaultButton(buttons.value(preferred, buttons.first()));
    box.setEscapeButton(buttons.last());
    Run(box);
    const int chosen = static_cast<int>(buttons.indexOf(box.clickedButton()));
    return chosen < 0 ? static_cast<int>(buttons.size()) - 1 : chosen;
}
