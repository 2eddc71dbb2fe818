// SPDX-License-Identifier: GPL-3.0-or-later
#include "outcome_voice.h"

#include "documents/game_files.h"
#include "documents/reference_copies.h"
#include "edit_history.h"
#include "focus_announcements.h"
#include "key_value_grid.h"
#include "latin1.h"
#include "window_room.h"

#include <QAbstractButton>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTimer>

namespace {

class NotificationInterface : public QAccessibleWidget {
public:
    explicit NotificationInterface(OutcomeVoice* voice)
        : QAccessibleWidget(voice, QAccessible::Notification)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<OutcomeVoice*>(widget())->text() : QString();
    }
};

QAccessibleInterface* VoiceInterface(const QString& className, QObject* object)
{
    return className == QLatin1String("OutcomeVoice")
               ? new NotificationInterface(static_cast<OutcomeVoice*>(object))
               : nullptr;
}

} // namespace

OutcomeVoice::OutcomeVoice(QWidget* window) : QWidget(window)
{
    static const bool installed = [] {
        QAccessible::installFactory(VoiceInterface);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("OutcomeVoice"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 0, 0);
}

void OutcomeVoice::say(const QString& text)
{
    if (text.isEmpty())
        return;
    text_ = text;
    if (auto* told = window()->findChild<Announcements*>())
        emit told->said(text);
    if (!QAccessible::isActive())
        return;
    // The new name first, so that a reader that kept the old one asks again.
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void SayOutcome(QWidget* widget, const QString& text)
{
    if (auto* voice = widget->window()->findChild<OutcomeVoice*>())
        voice->say(text);
}

void SayGridOutcome(KeyValueGrid* grid, const QString& action, const QString& otherwise)
{
    const int row = grid->currentRow() + 1;
    if (grid->rowCount() == 0 || row < 1 || row > grid->rowCount()) {
        SayOutcome(grid, otherwise);
        return;
    }
    grid->setCurrentCell(row - 1, 1);
    grid->setFocus(Qt::OtherFocusReason);
    const QString text = action + QStringLiteral(": ") + StepName(grid->key(row)) +
                         QLatin1Char(' ') + FromLatin1(grid->value(row));
    // After the cell the focus lands on is said, so that this is what is heard last.
    QTimer::singleShot(0, grid, [grid, text] { SayOutcome(grid, text); });
}

void InstallOutcomeVoice(const WindowRoom& room, KeyValueGrid* grid,
                         const std::vector<std::pair<QAbstractButton*, TuningFile>>& restores)
{
    new OutcomeVoice(room.window);
    QObject::connect(&room.history, &EditHistory::taken, grid,
                     [grid](const QString& action, const QString& step) {
                         SayGridOutcome(grid, action, action + QStringLiteral(": ") + step);
                     });
    const AppState* state = &room.state;
    for (const auto& [button, file] : restores) {
        // Connected after the window's handler: said once the restore and its boxes are done.
        QObject::connect(button, &QAbstractButton::clicked, grid, [grid, state, file = file] {
            if (!DocumentLoaded(*state, file))
                return; // the boxes said why
            SayGridOutcome(grid, QStringLiteral("Restore"),
                           QStringLiteral("Restore: ") + QLatin1String(GameFileName(file)));
        });
    }
}
