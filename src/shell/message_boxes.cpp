#include "message_boxes.h"

#include "application.h"

void MessageBoxes::show(QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(icon, title, shown, QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    if (parent_)
        box.setFont(parent_->font()); // the window's font, not the desktop's
    box.exec();
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
    return box.exec() == QMessageBox::Yes;
}
