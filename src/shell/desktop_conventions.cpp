// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop_conventions.h"

#include "key_value_grid.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <array>

namespace {

// The captions with their access keys, by the action's name; the caption's text stays.
constexpr std::array<std::pair<const char*, const char*>, 11> AccessKeys = {{
    {"File1", "&File"},
    {"Edit1", "&Edit"},
    {"View1", "&View"},
    {"About1", "&About"},
    {"Gorewheel21", "&Launch Gorewheel 2"},
    {"ExportTuningSet1", "&Export Tuning Set…"},
    {"ApplyTuningSet1", "&Apply Tuning Set…"},
    {"History1", "&History…"},
    {"Exit1", "E&xit"},
    {"ShowContents1", "View File &Details"},
    {"FindSetting1", "&Find Setting…"},
}};

// Alt pressed and let go with no key between opens the menu bar, where the style does not
// do so itself.
class AltAlone : public QObject {
public:
    AltAlone(QMainWindow& form, QAction* fileMenu)
        : QObject(&form), form_(form), fileMenu_(fileMenu)
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            alone_ = key->key() == Qt::Key_Alt && key->modifiers() == Qt::AltModifier;
        } else if (event->type() == QEvent::KeyRelease && alone_) {
            const auto* key = static_cast<QKeyEvent*>(event);
            alone_ = false;
            if (key->key() == Qt::Key_Alt && form_.isActiveWindow() &&
                QApplication::activePopupWidget() == nullptr) {
                form_.menuBar()->setActiveAction(fileMenu_);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QMainWindow& form_;
    QAction* fileMenu_;
    bool alone_ = false;
};

} // namespace

void InstallKeyboard(QMainWindow& form, const KeyboardControls& parts)
{
    for (const auto& [name, caption] : AccessKeys)
        if (auto* action = form.findChild<QAction*>(QLatin1String(name)))
            action->setText(QString::fromUtf8(caption));

    parts.exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    auto* save = new QAction(&form);
    save->setObjectName(QStringLiteral("SaveShownTab"));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    form.addAction(save);
    QObject::connect(save, &QAction::triggered, &form, [parts] {
        parts.grid->commitPendingEdit(); // as the click that moves the focus would
        parts.saves.at(static_cast<size_t>(parts.pages->currentIndex()))->click();
    });

    // The next or the previous tab, round, wherever the keyboard is in the window.
    for (const int step : {1, -1}) {
        auto* turn = new QAction(&form);
        turn->setObjectName(step > 0 ? QStringLiteral("NextTab") : QStringLiteral("PreviousTab"));
        turn->setShortcuts(
            step > 0 ? QList<QKeySequence>{Qt::CTRL | Qt::Key_PageDown, Qt::CTRL | Qt::Key_Tab}
                     // Ctrl+Shift+Tab matches as Backtab on some systems, as Tab under X11
                     : QList<QKeySequence>{Qt::CTRL | Qt::Key_PageUp,
                                           Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab,
                                           Qt::CTRL | Qt::SHIFT | Qt::Key_Tab});
        form.addAction(turn);
        QObject::connect(turn, &QAction::triggered, &form, [pages = parts.pages, step] {
            pages->setCurrentIndex((pages->currentIndex() + step + pages->count()) %
                                   pages->count());
        });
    }

    auto* menuBar = new QAction(&form);
    menuBar->setShortcut(QKeySequence(Qt::Key_F10));
    form.addAction(menuBar);
    QObject::connect(menuBar, &QAction::triggered, &form, [&form, fileMenu = parts.fileMenu] {
        form.menuBar()->setActiveAction(fileMenu);
    });
    if (!form.style()->styleHint(QStyle::SH_MenuBar_AltKeyNavigation, nullptr, &form))
        qApp->installEventFilter(new AltAlone(form, parts.fileMenu));
}

void FitToScreen(QMainWindow& form, QTabWidget* pages)
{
    const QScreen* screen = form.screen();
    if (!screen)
        return;
    const QSize natural = form.sizeHint();
    // The window manager's frame is not known before the window is shown: allow for a
    // title bar and a thin border.
    const int border = form.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2;
    const int title = form.style()->pixelMetric(QStyle::PM_TitleBarHeight) + border;
    const QRect free = screen->availableGeometry();
    const QSize room(free.width() - 2 * border, free.height() - title - border);
    if (natural.width() <= room.width() && natural.height() <= room.height()) {
        form.adjustSize();
        form.move(free.center() - form.rect().center());
        return;
    }

    QWidget* client = form.takeCentralWidget();
    auto* area = new QScrollArea;
    area->setObjectName(QStringLiteral("ClientScroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(client);
    // The tabs stay whole beside the scroll area while the pages scroll: a tab bar of the
    // window's own takes the place of the pages' one.
    auto* tabs = new QTabBar;
    tabs->setObjectName(QStringLiteral("PageTabs"));
    tabs->setShape(QTabBar::RoundedEast);
    tabs->setDrawBase(false);
    for (int i = 0; i < pages->count(); ++i)
        tabs->addTab(pages->tabIcon(i), pages->tabText(i));
    tabs->setCurrentIndex(pages->currentIndex());
    pages->tabBar()->hide();
    QObject::connect(tabs, &QTabBar::currentChanged, pages, &QTabWidget::setCurrentIndex);
    QObject::connect(pages, &QTabWidget::currentChanged, tabs, &QTabBar::setCurrentIndex);
    auto* holder = new QWidget;
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(area);
    row->addWidget(tabs, 0, Qt::AlignTop);
    form.setCentralWidget(holder);
    // Room for the pages, their vertical scroll bar and the tabs, where the screen has it.
    const QSize widest(natural.width() + tabs->sizeHint().width() +
                           area->style()->pixelMetric(QStyle::PM_ScrollBarExtent),
                       natural.height());
    form.layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
    form.setMinimumSize(natural.boundedTo(QSize(320, 240)));
    form.setMaximumSize(widest);
    form.resize(widest.boundedTo(room));
    form.move(free.topLeft());
}
