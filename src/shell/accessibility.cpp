// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QMenuBar>
#include <QTabBar>
#include <utility>

namespace {

constexpr const char* SeparatorProperty = "tunedeckSeparator";
constexpr const char* TabDescriptionsProperty = "tunedeckTabDescriptions";

QString WithoutAccessKey(QString text)
{
    return text.remove(QLatin1Char('&'));
}

// An editable combo box named by its accessible name, its text being its value.
class ChooserInterface : public QAccessibleWidget {
public:
    explicit ChooserInterface(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }

    int childCount() const override { return box()->isEditable() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(box()->view());
        if (index == 1 && box()->isEditable())
            return QAccessible::queryAccessibleInterface(box()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (child->object() == box()->view())
            return 0;
        return box()->isEditable() && child->object() == box()->lineEdit() ? 1 : -1;
    }
    QAccessibleInterface* focusChild() const override
    {
        return box()->isEditable() ? child(1) : nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return box()->isEditable() ? box()->lineEdit()->text() : box()->currentText();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = box()->view()->isVisible();
        return s;
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action != showMenuAction() && action != pressAction())
            return;
        if (box()->view()->isVisible())
            box()->hidePopup();
        else
            box()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

// One tab of a tab bar: selectable, selected when current, described as the window says.
class TabInterface : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TabInterface(QTabBar* tabs, int index) : tabs_(tabs), index_(index) {}

    bool isValid() const override { return tabs_ && index_ < tabs_->count(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(tabs_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (t == QAccessible::Name)
            return WithoutAccessKey(tabs_->tabText(index_));
        if (t == QAccessible::Description)
            return tabs_->property(TabDescriptionsProperty).toStringList().value(index_);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect tab = tabs_->tabRect(index_);
        return QRect(tabs_->mapToGlobal(tab.topLeft()), tab.size());
    }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const bool current = index_ == tabs_->currentIndex();
        s.selectable = true;
        s.selected = current;
        s.focusable = true;
        s.focused = current && tabs_->hasFocus();
        s.invisible = !tabs_->isVisible();
        s.disabled = !tabs_->isTabEnabled(index_);
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction() && isValid())
            tabs_->setCurrentIndex(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QTabBar> tabs_;
    int index_;
};

// A tab bar named by its accessible name, whose children are its tabs.
class TabBarInterface : public QAccessibleWidget {
public:
    explicit TabBarInterface(QTabBar* tabs) : QAccessibleWidget(tabs, QAccessible::PageTabList) {}
    ~TabBarInterface() override
    {
        for (QAccessible::Id id : std::as_const(tabIds_))
            QAccessible::deleteAccessibleInterface(id);
    }

    QTabBar* tabs() const { return static_cast<QTabBar*>(widget()); }

    int childCount() const override { return tabs()->count(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= tabs()->count())
            return nullptr;
        if (const QAccessible::Id id = tabIds_.value(index))
            return QAccessible::accessibleInterface(id);
        auto* tab = new TabInterface(tabs(), index);
        tabIds_.insert(index, QAccessible::registerAccessibleInterface(tab));
        return tab;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (auto it = tabIds_.cbegin(); it != tabIds_.cend(); ++it)
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key();
        return -1;
    }
    QAccessibleInterface* focusChild() const override
    {
        return tabs()->hasFocus() ? child(tabs()->currentIndex()) : nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        return t == QAccessible::Name && own.isEmpty() ? QStringLiteral("Tabs") : own;
    }

private:
    mutable QHash<int, QAccessible::Id> tabIds_;
};

// A menu bar item that only separates others.
class SeparatorInterface : public QAccessibleInterface {
public:
    explicit SeparatorInterface(QAction* action) : action_(action) {}

    bool isValid() const override { return action_; }
    QObject* object() const override { return action_; }
    QAccessibleInterface* parent() const override
    {
        const QList<QObject*> owners = action_ ? action_->associatedObjects() : QList<QObject*>();
        return owners.isEmpty() ? nullptr : QAccessible::queryAccessibleInterface(owners.first());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Separator; }
    QString text(QAccessible::Text) const override { return {}; }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        const QList<QObject*> owners = action_ ? action_->associatedObjects() : QList<QObject*>();
        auto* bar = owners.isEmpty() ? nullptr : qobject_cast<QMenuBar*>(owners.first());
        if (!bar)
            return {};
        const QRect place = bar->actionGeometry(action_);
        return QRect(bar->mapToGlobal(place.topLeft()), place.size());
    }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invalid = !action_;
        return s;
    }

private:
    QPointer<QAction> action_;
};

QAccessibleInterface* WindowInterfaces(const QString& className, QObject* object)
{
    if (className == QLatin1String("SectionChooser"))
        return new ChooserInterface(static_cast<QComboBox*>(object));
    if (className == QLatin1String("QTabBar"))
        return new TabBarInterface(static_cast<QTabBar*>(object));
    if (className == QLatin1String("QAction") && object->property(SeparatorProperty).toBool())
        return new SeparatorInterface(static_cast<QAction*>(object));
    return nullptr;
}

} // namespace

void InstallScreenReaderInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(WindowInterfaces);
        return true;
    }();
    Q_UNUSED(installed);
}

void HideFromScreenReaders(QAction* separator)
{
    separator->setProperty(SeparatorProperty, true);
}

void SetTabDescription(QTabBar* tabs, int index, const QString& description)
{
    QStringList descriptions = tabs->property(TabDescriptionsProperty).toStringList();
    while (descriptions.size() <= index)
        descriptions << QString();
    if (descriptions[index] == description)
        return;
    descriptions[index] = description;
    tabs->setProperty(TabDescriptionsProperty, descriptions);
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(tabs);
    if (QAccessibleInterface* tab = bar ? bar->child(index) : nullptr) {
        QAccessibleEvent changed(tab, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&changed);
    }
}
