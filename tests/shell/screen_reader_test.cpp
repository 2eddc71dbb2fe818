// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader is told on the typical edit pass, read through Qt's accessibility
// interfaces as the platform's bridge reads them.

#include "accessibility.h"
#include "controls.h"
#include "focus_announcements.h"
#include "key_value_grid.h"
#include "support/window_fixture.h"

#include <QAccessible>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

class ScreenReaderTest : public QObject {
    Q_OBJECT
    enum Step { Look, EnterGrid, PassGrid, Commit, RefusedCommit, NextTab, TabBar };
    enum Heard { Announced, Focus, Tabs, SaveButton, MenuBar, PaddedNames, Headings, Details };

    static QString text(QAccessibleInterface* node, QAccessible::Text part = QAccessible::Name)
    {
        return node ? node->text(part) : QStringLiteral("(none)");
    }
    static QString described(QAccessibleInterface* node)
    {
        const QString description = text(node, QAccessible::Description);
        return text(node) + (description.isEmpty() ? QString() : " [" + description + "]");
    }
    static void padded(QAccessibleInterface* node, QStringList& found)
    {
        if (text(node) != text(node).trimmed())
            found << text(node);
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface* child = node->child(i))
                padded(child, found);
    }

private slots:
    void aPlayerHears_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("heard");
        QTest::addColumn<QString>("expected");
        const QString tabs = ", Pedestrians, Miscellaneous, APO";
        QTest::newRow("the chooser by its name and value")
            << +Look << +Focus << "Car Settings section | Bending";
        QTest::newRow("the current cell on entering the grid")
            << +EnterGrid << +Announced << "row 1: 9800";
        QTest::newRow("no cell once the focus has moved on")
            << +PassGrid << +Announced << "nothing";
        QTest::newRow("the committed value, its description without the Details")
            << +Commit << +Announced << "row 1: 12000 [Original: 9800   Not saved]";
        QTest::newRow("the cell after a refused value")
            << +RefusedCommit << +Announced << "row 2: 0.55";
        QTest::newRow("the new tab's chooser after Ctrl+PgDn")
            << +NextTab << +Focus << "Pedestrians section | Choose Setting";
        QTest::newRow("the current tab when the tab bar takes the focus")
            << +TabBar << +Announced << "Car Settings";
        QTest::newRow("the selected tab")
            << +Look << +Tabs << "Tabs: Car Settings (selected)" + tabs;
        QTest::newRow("the unsaved tabs") // the three copies of General.txt
            << +Commit << +Tabs
            << "Tabs: Car Settings [unsaved] (selected), Pedestrians, Miscellaneous [unsaved], "
               "APO [unsaved]";
        QTest::newRow("an unsaved Save button")
            << +Commit << +SaveButton << "Save to General.txt [unsaved]";
        QTest::newRow("no bar between menu items")
            << +Look << +MenuBar << "File, Edit, View, About, Launch Gorewheel 2";
        QTest::newRow("no blanks around a name") << +Look << +PaddedNames << "";
        QTest::newRow("a heading among the sections")
            << +Look << +Headings << "- Impact Data - - - [heading], Bending";
        QTest::newRow("a read-only Details cell")
            << +EnterGrid << +Details
            << "gMin_bend_force (minimum force required to bend car) [read only]";
    }

    void aPlayerHears()
    {
        QFETCH(int, step);
        QFETCH(int, heard);
        QFETCH(QString, expected);
        WorkFolder folder;
        folder.writeIni("Tunedeck.ini", folder.gameDir().toStdString());
        Window window(folder);
        TForm1& form = *window.form;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QStringList announced;
        QObject::connect(
            form.findChild<Announcements*>(), &Announcements::focused, &form,
            [&announced](QAccessibleInterface* part) {
                QAccessibleTableCellInterface* cell = part->tableCellInterface();
                announced << (cell ? "row " + QString::number(cell->rowIndex() + 1) + ": " : "") +
                                 described(part);
            });
        form.ComboBox1->setCurrentIndex(1); // Bending, as the player picks it
        emit form.ComboBox1->activated(1);
        form.ComboBox1->setFocus();
        if (step != Look)
            QTest::keyClick(form.ComboBox1, Qt::Key_Tab);
        if (step == Commit)
            TypeInCurrentCell(form.ValueList, "12000");
        if (step == RefusedCommit) {
            QTest::keyClick(form.ValueList, Qt::Key_Down);
            TypeInCurrentCell(form.ValueList, "1,5");
            QCOMPARE(window.messages.shown.size(), size_t(1));
        }
        if (step == PassGrid)
            form.ComboBox1->setFocus(Qt::BacktabFocusReason);
        if (step == TabBar)
            form.PageControl1->tabBar()->setFocus(Qt::TabFocusReason);
        if (step == NextTab)
            QTest::keySequence(form.ValueList, Qt::CTRL | Qt::Key_PageDown);
        QTest::qWait(10); // announcements follow the focus events

        auto* of = &QAccessible::queryAccessibleInterface;
        QString said;
        if (heard == Announced)
            said = announced.isEmpty() ? QStringLiteral("nothing") : announced.last();
        if (heard == Focus)
            said = text(of(QApplication::focusWidget())) + " | " +
                   text(of(QApplication::focusWidget()), QAccessible::Value);
        if (heard == Tabs) {
            QAccessibleInterface* bar = of(form.PageControl1->tabBar());
            QStringList names;
            for (int i = 0; i < bar->childCount(); ++i)
                names << described(bar->child(i)) +
                             (bar->child(i)->state().selected ? " (selected)" : "");
            said = text(bar) + ": " + names.join(", ");
        }
        if (heard == SaveButton)
            said = described(of(form.Button1));
        if (heard == MenuBar) {
            QAccessibleInterface* bar = of(form.menuBar());
            QStringList items;
            for (int i = 0; i < bar->childCount(); ++i)
                if (bar->child(i)->role() == QAccessible::MenuItem)
                    items << text(bar->child(i)).remove('&');
            said = items.join(", ");
        }
        if (heard == PaddedNames) {
            QStringList found;
            padded(of(&form), found);
            said = found.join(", ");
        }
        if (heard == Headings) {
            QAccessibleTableInterface* list = of(form.ComboBox1->view())->tableInterface();
            said = described(list->cellAt(0, 0)) + ", " + described(list->cellAt(1, 0));
        }
        if (heard == Details)
            said = described(of(form.ValueList)->tableInterface()->cellAt(0, 0));
        QCOMPARE(said, expected);
    }

    // An action whose result is no new focus says what it did, the focus on the cell it shows.
    void anActionSays_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("expected");
        const QString undone = "Undo: gMin_bend_force 9800";
        QTest::newRow("Undo") << "Undo" << undone + " | row 1";
        QTest::newRow("Redo") << "Redo" << undone + ", Redo: gMin_bend_force 12000 | row 1";
        QTest::newRow("Restore") << "Restore" << QString("Restore: gMin_bend_force 9800 | row 1");
        QTest::newRow("Restore, no section")
            << "Restore none" << QString("Restore: General.txt | none");
        QTest::newRow("Undo, no section") << "Undo none" << undone + " | row 1";
    }

    void anActionSays()
    {
        QFETCH(QString, action);
        QFETCH(QString, expected);
        WorkFolder folder;
        folder.writeIni("Tunedeck.ini", folder.gameDir().toStdString());
        Window window(folder);
        TForm1& form = *window.form;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QStringList said;
        QObject::connect(form.findChild<Announcements*>(), &Announcements::said, &form,
                         [&said](const QString& text) { said << text; });
        form.ComboBox1->setCurrentIndex(1); // Bending
        emit form.ComboBox1->activated(1);
        form.ComboBox1->setFocus();
        QTest::keyClick(form.ComboBox1, Qt::Key_Tab);
        TypeInCurrentCell(form.ValueList, "12000");
        if (action.endsWith("none")) // the grid emptied by a switch of tabs
            form.PageControl1->setCurrentIndex(1), form.PageControl1->setCurrentIndex(0);
        form.ComboBox1->setFocus(); // away from the grid
        if (action.startsWith("Undo") || action == "Redo")
            form.findChild<QAction*>("Undo1")->trigger();
        if (action == "Redo")
            form.findChild<QAction*>("Redo1")->trigger();
        if (action.startsWith("Restore"))
            QTest::mouseClick(form.Button4, Qt::LeftButton);
        QTest::qWait(10);
        const bool onCell =
            QApplication::focusWidget() == form.ValueList && form.ValueList->currentColumn() == 1;
        QCOMPARE(said.join(", ") + " | " +
                     (onCell ? "row " + QString::number(form.ValueList->currentRow() + 1) : "none"),
                 expected);
    }
};

QTEST_MAIN(ScreenReaderTest)
#include "screen_reader_test.moc"
