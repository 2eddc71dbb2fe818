// SPDX-License-Identifier: GPL-3.0-or-later
#include "path_label.h"

#include <QCoreApplication>
#include <QPainter>
#include <QStatusTipEvent>
#include <QStyle>

PathLabel::PathLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

QString PathLabel::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

bool PathLabel::event(QEvent* event)
{
    if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
        QStatusTipEvent tip(event->type() == QEvent::Enter ? text() : QString());
        QCoreApplication::sendEvent(this, &tip);
    }
    return QLabel::event(event);
}

void PathLabel::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), alignment(), palette(), isEnabled(),
                          shownText(), foregroundRole());
}
