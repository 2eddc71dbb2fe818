// SPDX-License-Identifier: GPL-3.0-or-later
// Edit > Changed Settings… in the real window, over a game folder changed in both files.

#include "changes_view.h"
#include "controls.h"
#include "edit_history.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

class ChangesViewTest : public QObject {
    Q_OBJECT
    // Saved by the tool before the window starts: three Credit Awards values, one ped's.
    struct Changed {
        WorkFolder folder;
        Changed()
        {
            folder.writeIni("Tunedeck.ini", folder.gameDir().toStdString());
            for (const QStringList& set : {QStringList{"misc", "1", "1", "250"},
                                           {"misc", "1", "3", "700"},
                                           {"misc", "5", "1", "90"},
                                           {"ped", "0", "2", "30"}})
                QCOMPARE(tool(QStringList{"set"} + set).status, 0);
        }
        ProgramResult tool(const QStringList& arguments) const
        {
            QProcess tool;
            tool.setWorkingDirectory(folder.path());
            tool.start(QStringLiteral(TUNEDECK_CLI), arguments);
            return Finish(tool);
        }
    };
    struct Window : Changed, ::Window {
        ChangesView* view = nullptr;
        Window() : ::Window(folder)
        {
            form->show();
            QVERIFY(QTest::qWaitForWindowActive(form.get()));
        }
        void open()
        {
            form->findChild<QAction*>("ChangedSettings1")->trigger();
            QVERIFY((view = form->findChild<ChangesView*>()));
        }
        // The table's rows, their cells from column `first` to `last` joined by TABs.
        QStringList rows(int first = 0, int last = 5) const
        {
            QStringList rows;
            for (int row = 0; row < view->table()->rowCount(); ++row) {
                QStringList cells;
                for (int column = first; column <= last; ++column)
                    cells << view->table()->item(row, column)->text();
                rows << cells.join('\t');
            }
            return rows;
        }
        void press(const QString& button) const
        {
            for (QPushButton* each : view->findChildren<QPushButton*>())
                if (QString(each->text()).remove('&') == button)
                    QTest::mouseClick(each, Qt::LeftButton);
        }
    };

private slots:
    // The same settings as the tool's diff, in its order, saved or not, as the values change.
    void listsWhatDiffLists()
    {
        Window w;
        w.form->showSetting({Tab::Miscellaneous, 1, 2});
        TypeInCurrentCell(w.form->ValueList, "2500"); // not saved
        w.open();
        QTRY_COMPARE(w.rows(1).join('\n'),
                     "General Stuff - Technical\tMax distance from camera that peds can suddenly "
                     "pop up at\t22\t30\tYes\n"
                     "Credit Awards (easy)\tCredits per unit car damage for (easy) skill level "
                     "(with peds)\t12\t250\tYes\n"
                     "Credit Awards (easy)\tCredits awarded for wasting car for (easy) skill "
                     "level (with peds)\t2400\t2500\tNo\n"
                     "Credit Awards (easy)\tCredits awarded for rolling car for (easy) skill "
                     "level (with peds)\t650\t700\tYes\n"
                     "Credit Awards (medium)\tCredits per unit car damage for (medium) skill "
                     "level (with peds)\t9\t90\tYes");
        QTest::mouseClick(w.form->MiscSave, Qt::LeftButton);
        QTRY_VERIFY(!w.rows().join('\n').contains("\tNo"));
        QStringList diff =
            QString::fromStdString(w.tool({"diff"}).out).split('\n', Qt::SkipEmptyParts);
        for (QString& line : diff) // Details, original, current
            line = line.section('\t', 3);
        QCOMPARE(w.rows(2, 4), diff);
        QCOMPARE(w.rows(0, 0), QStringList({"Pedestrians"}) + QStringList(4, "Miscellaneous"));
        QCOMPARE(w.view->summary()->text(), "5 settings differ from the reference copies.");
        QFile::remove(w.folder.path("original.pedsettings")); // without reference copies
        w.view->refresh();
        QVERIFY(w.view->summary()->text().startsWith("The reference copies"));
        QVERIFY(w.view->table()->isHidden());
    }

    // One undo step per reset; saved, the lines it reset are the reference copy's (-1: all).
    void resetsAreOneStep_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("line"); // selected: the easy and medium field of line 58
        QTest::newRow("selected") << "Reset Selected"
                                  << "Reset 2 Settings" << 2 << 58;
        QTest::newRow("section") << "Reset Section"
                                 << "Reset Credit Awards (easy)" << 2 << 62;
        QTest::newRow("file") << "Reset General.txt"
                              << "Reset General.txt" << 1 << -1;
    }
    void resetsAreOneStep()
    {
        QFETCH(QString, button);
        QFETCH(QString, step);
        QFETCH(int, left);
        QFETCH(int, line);
        Window w;
        w.open();
        const QStringList before = w.rows(0, 4);
        QTableWidget* table = w.view->table();
        table->selectRow(1);
        table->selectionModel()->select(table->model()->index(3, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        w.press(button);
        QCOMPARE(w.rows().size(), left);
        QCOMPARE(w.form->editHistory().stack().undoText(), step);
        QTest::mouseClick(w.form->MiscSave, Qt::LeftButton);
        const std::vector<std::string> saved = FileLines(w.folder.generalPath()),
                                       original = FileLines(w.folder.path("original.general"));
        QVERIFY(line < 0 ? saved == original : saved.at(line) == original.at(line));
        w.form->editHistory().stack().undo();
        QTRY_COMPARE(w.rows(0, 4), before);
    }

    // Enter on a row shows its setting in the window: tab, section, row, focus.
    void enterShowsTheSetting()
    {
        Window w;
        w.open();
        w.view->table()->setCurrentCell(2, 0);
        QTest::keyClick(w.view->table(), Qt::Key_Return);
        QCOMPARE(w.form->PageControl1->currentIndex(), 2);
        QCOMPARE(w.form->chooser(Tab::Miscellaneous)->currentIndex(), 1);
        QCOMPARE(w.form->ValueList->currentRow(), 2);
        QTRY_COMPARE(QApplication::focusWidget(), w.form->ValueList);
    }
};

QTEST_MAIN(ChangesViewTest)
#include "changes_view_test.moc"
