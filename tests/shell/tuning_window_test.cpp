// SPDX-License-Identifier: GPL-3.0-or-later
// Beside the window's own behaviour: changed values marked against the reference copies,
// the original put back, a setting found, tuning sets exported and applied, and a kept
// version put back.

#include "change_marks.h"
#include "controls.h"
#include "edit_history.h"
#include "find_setting_dialog.h"
#include "history_dialog.h"
#include "key_value_grid.h"
#include "support/window_fixture.h"
#include "tuning_set_actions.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QUndoStack>
#include <QtTest>

namespace {

const std::string CreditsComment = "\t\t\t\t\t // Credits per unit car damage for each skill level "
                                   "(with peds)";

// The demo's line 58 is 12,9,7; the game file has its medium field changed.
struct Folder : WorkFolder {
    Folder()
    {
        writeIni("Tunedeck.ini", gameDir().toStdString());
        ReplaceFileLine(generalPath(), 58, "12,250,7\t// edited");
    }
};

bool Marked(const TForm1& form, int row)
{
    return form.ValueList->item(row - 1, 1)->font().bold();
}

void ShowCreditAwardsMedium(TForm1& form)
{
    form.PageControl1->setCurrentIndex(2);
    form.ComboBox3->setCurrentIndex(5);
    form.ComboBox3Change();
}

} // namespace

class TuningWindowTest : public QObject {
    Q_OBJECT

private slots:
    void changedRowIsMarkedWithItsOriginalAndResetGivesBackTheOriginalLine()
    {
        Folder folder;
        Window w(folder);
        TForm1& form = *w.form;
        ShowCreditAwardsMedium(form);
        QVERIFY(Marked(form, 1));
        QVERIFY(!Marked(form, 2));
        QVERIFY(form.ValueList->statusText(0).endsWith(QStringLiteral("   Original: 9")));
        QVERIFY(!form.ValueList->statusText(1).contains(QStringLiteral("Original")));

        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.ValueList->setFocus();
        form.ValueList->setCurrentCell(0, 1);
        QTest::keyClick(form.ValueList, Qt::Key_R, Qt::ControlModifier);

        QCOMPARE(form.ValueList->value(1), std::string("9"));
        const std::string original = FileLines(folder.path("original.general")).at(58);
        for (Tab tab : {Tab::CarSettings, Tab::Miscellaneous, Tab::APO})
            QCOMPARE(form.state().document(tab).line(58), original);
        QVERIFY(!Marked(form, 1));
        QVERIFY(w.messages.shown.empty());

        // A word where a number stands is written, marked apart and explained.
        form.ValueListValidate(form.ValueList, 1, 1, form.ValueList->key(1), "many");
        QCOMPARE(form.state().GeneralText.line(58), "12,many,7" + CreditsComment);
        QVERIFY(form.ValueList->item(0, 1)->font().underline());
        QVERIFY(!form.ValueList->item(1, 1)->font().underline());
        QVERIFY(form.ValueList->statusText(0).endsWith(
            QStringLiteral("Original: 9   Expected a whole number like 9   Not saved")));
        // The section's last row is marked too.
        form.ValueListValidate(form.ValueList, 1, 6, form.ValueList->key(6), "lots");
        QVERIFY(Marked(form, 6));
        QVERIFY(form.ValueList->item(5, 1)->font().underline());
    }

    void withoutReferenceCopiesNothingIsMarked()
    {
        Folder folder;
        QVERIFY(QFile::remove(folder.path("original.general")));
        Window w(folder);
        ShowCreditAwardsMedium(*w.form);
        QCOMPARE(w.form->ValueList->value(1), std::string("250"));
        QVERIFY(!Marked(*w.form, 1));
        QVERIFY(w.messages.shown.empty());

        // A reference copy put in place while the window is open counts from then on, unless
        // it is a line short.
        const QString copy = folder.path("original.general");
        std::vector<std::string> lines = FileLines(SampleFile("original.general"));
        WriteBytes(copy, JoinLines({lines.begin(), lines.end() - 1}));
        ShowCreditAwardsMedium(*w.form);
        QVERIFY(!Marked(*w.form, 1));
        WriteBytes(copy, JoinLines(lines));
        ShowCreditAwardsMedium(*w.form);
        QVERIFY(Marked(*w.form, 1));

        // So does one rewritten later at the same size.
        const qint64 size = QFileInfo(copy).size();
        std::string line = FileLines(copy).at(58);
        QCOMPARE(line.substr(0, 6), std::string("12,9,7"));
        ReplaceFileLine(copy, 58, line.replace(3, 1, "5"));
        QCOMPARE(QFileInfo(copy).size(), size);
        QFile rewritten(copy);
        QVERIFY(rewritten.open(QIODevice::ReadWrite));
        QVERIFY(rewritten.setFileTime(QDateTime::currentDateTime().addSecs(2),
                                      QFileDevice::FileModificationTime));
        rewritten.close();
        ShowCreditAwardsMedium(*w.form);
        QVERIFY(w.form->ValueList->statusText(0).endsWith(QStringLiteral("Original: 5")));
    }

    void findShowsTheSectionAndMakesTheRowCurrent()
    {
        const std::vector<FoundRow> found = FindRows(QStringLiteral("  UNIT credits medium "));
        QCOMPARE(found.size(), size_t(1));
        QCOMPARE(found[0].text, QStringLiteral("Miscellaneous > Credit Awards > Credits per unit "
                                               "car damage for (medium) skill level (with peds)"));
        QCOMPARE(FindRows(QStringLiteral("bending")).size(), size_t(5)); // by the item's text
        QVERIFY(FindRows(QStringLiteral("   ")).empty());

        Folder folder;
        Window w(folder);
        TForm1& form = *w.form;
        form.showSetting({Tab::APO, 2, 4});
        QCOMPARE(form.PageControl1->currentIndex(), 3);
        QCOMPARE(form.ComboBox4->currentIndex(), 2);
        QCOMPARE(form.ValueList->currentRow(), 3);
        QCOMPARE(form.ValueList->key(4), std::string("Initial potential ARMOUR (hard)"));

        // Typed and chosen without a mouse: Up stops at the first match, Enter takes the
        // current one.
        FindSettingDialog dialog(&form);
        QCOMPARE(dialog.font(), form.font()); // a dialog of its own, in the window's font
        QTest::keyClicks(dialog.searchBox(), QStringLiteral("bending"));
        QCOMPARE(dialog.matchList()->count(), 5);
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up})
            QTest::keyClick(dialog.searchBox(), key);
        QTest::keyClick(dialog.searchBox(), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const SettingPlace third = FindRows(QStringLiteral("bending"))[2].place;
        QCOMPARE(dialog.chosen().tab, third.tab);
        QCOMPARE(dialog.chosen().item, third.item);
        QCOMPARE(dialog.chosen().row, third.row);

        form.state().GeneralText.assign({}); // the guard refuses; its message is the chooser's
        form.showSetting({Tab::APO, 1, 1});
        QCOMPARE(Shown(w.messages),
                 QStringList{ErrorText("Save your \"Gorewheel II\" directory first.")});
    }

    // Export, then apply on fresh files: the buffers of every tab of the file take the set
    // and the grid shows it marked; nothing is saved. A bad line applies nothing.
    void exportThenApplyFillsTheBuffersWithoutSaving()
    {
        Folder folder;
        const QString set = folder.path("my.tuning");
        {
            Window w(folder);
            ExportTuningSetTo(w.form->room(), set);
            QCOMPARE(Shown(w.messages),
                     QStringList{InformationText("Exported 1 setting to " + set + ".")});
        }
        ReplaceFileLine(folder.generalPath(), 58, "12,9,7\t// back to the original");
        const std::string onDisk = ReadBytes(folder.generalPath());

        Window w(folder);
        TForm1& form = *w.form;
        ShowCreditAwardsMedium(form);
        ApplyTuningSetFrom(form.room(), set);
        QCOMPARE(Shown(w.messages), QStringList{InformationText("Applied 1 setting.")});
        for (Tab tab : {Tab::CarSettings, Tab::Miscellaneous, Tab::APO})
            QCOMPARE(form.state().document(tab).line(58), "12,250,7" + CreditsComment);
        QCOMPARE(form.ValueList->value(1), std::string("250"));
        QVERIFY(Marked(form, 1));
        QVERIFY(ReadBytes(folder.generalPath()) == onDisk);

        w.messages.shown.clear();
        WriteBytes(set, ReadBytes(set) + "Miscellaneous\tCredit Awards\tnothing\t1\r\n");
        form.state().GeneralText.setLine(58, "untouched");
        ApplyTuningSetFrom(form.room(), set);
        QCOMPARE(Shown(w.messages),
                 QStringList{ErrorText("my.tuning, line 4: no setting \"nothing\" under item "
                                       "\"Credit Awards\" of tab Miscellaneous. Nothing was "
                                       "applied.")});
        QCOMPARE(form.state().GeneralText.line(58), std::string("untouched"));
    }

    // A commit or a restore that leaves every line as it was is no step.
    void unchangedLinesAreNoStep()
    {
        Folder folder;
        Window w(folder);
        TForm1& form = *w.form;
        ShowCreditAwardsMedium(form);
        form.ValueListValidate(form.ValueList, 1, 1, form.ValueList->key(1), "300");
        form.ValueListValidate(form.ValueList, 1, 1, form.ValueList->key(1), "300");
        form.Button4Click(); // restore
        form.Button4Click();
        QCOMPARE(form.editHistory().stack().count(), 2);
    }

    // One undo history across tabs: a commit, a reset, a tuning set and a restore are a
    // step each; undo and redo give back every buffer byte for byte and show the step's
    // row. Ctrl+S saves the shown tab (history kept); its mark goes with the save.
    void undoAndRedoEveryStepByKeys()
    {
        Folder folder;
        const QString set = folder.path("my.tuning");
        WriteBytes(set, "Tunedeck tuning set 1\r\nCar Settings\tBending\tgMin_bend_force "
                        "(minimum force required to bend car)\t12000\r\n");
        Window w(folder);
        TForm1& form = *w.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const auto buffers = [&form] {
            std::vector<std::vector<std::string>> all;
            for (Tab tab : AllTabs)
                all.push_back(form.state().document(tab).lines());
            return all;
        };
        std::vector<std::vector<std::vector<std::string>>> states{buffers()};
        ShowCreditAwardsMedium(form);
        form.ValueListValidate(form.ValueList, 1, 1, form.ValueList->key(1), "300");
        states.push_back(buffers());
        QVERIFY(!form.PageControl1->tabIcon(2).isNull());
        QVERIFY(form.ValueList->statusText(0).endsWith(QStringLiteral("Not saved")));
        form.ValueList->setCurrentCell(0, 1);
        form.ValueList->setFocus();
        QTest::keyClick(form.ValueList, Qt::Key_R, Qt::ControlModifier); // reset
        states.push_back(buffers());
        ApplyTuningSetFrom(form.room(), set);
        states.push_back(buffers());
        form.Button4Click(); // restore
        states.push_back(buffers());
        for (size_t i = 1; i < states.size(); ++i)
            QVERIFY(states[i] != states[i - 1]);

        QUndoStack& stack = form.editHistory().stack();
        QCOMPARE(stack.count(), 4);
        QCOMPARE(stack.text(0), QStringLiteral("Credits per unit car damage for (medium) skill "
                                               "level = 300"));
        for (int i = 3; i >= 0; --i) {
            QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
            QVERIFY(buffers() == states[static_cast<size_t>(i)]);
        }
        QCOMPARE(form.PageControl1->currentIndex(), 2); // the first step's row, shown
        QCOMPARE(form.ValueList->currentRow(), 0);
        for (size_t i = 1; i < states.size(); ++i) {
            QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QVERIFY(buffers() == states[i]);
        }
        QTest::keyClick(&form, Qt::Key_Y, Qt::ControlModifier); // nothing left to redo
        QVERIFY(buffers() == states.back());

        form.PageControl1->setCurrentIndex(0);
        w.messages.shown.clear();
        QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(w.messages.texts(FakeMessages::Information),
                 std::vector<QString>{"File updated: " + form.state().GeneralPath});
        QVERIFY(form.PageControl1->tabIcon(0).isNull());
        QVERIFY(form.Button1->icon().isNull());
        QCOMPARE(stack.count(), 4); // a Save keeps the history
        form.SaveDirClick();
        QCOMPARE(stack.count(), 0); // everything read anew
    }

    // File > History: the version a Save replaced is listed with what the Save changed; Put
    // back writes it over the file and refills the buffers and the grid, but only after a
    // Yes to losing the unsaved edits.
    void historyPutsAVersionBackOnceUnsavedEditsMayGo()
    {
        Folder folder;
        const std::string edited = ReadBytes(folder.generalPath());
        Window w(folder);
        TForm1& form = *w.form;
        ShowCreditAwardsMedium(form);
        form.ValueListValidate(form.ValueList, 1, 1, form.ValueList->key(1), "9");
        form.MiscSaveClick();
        const std::string saved = ReadBytes(folder.generalPath());
        form.state().GeneralText.setLine(5, "an unsaved edit");

        HistoryDialog dialog(form.room());
        QTreeWidget* list = dialog.versionList();
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->child(0)->text(0),
                 QStringLiteral("Miscellaneous > Credit Awards > Credits per unit car damage for "
                                "(medium) skill level (with peds): 250 → 9"));
        list->setCurrentItem(list->topLevelItem(0)->child(0));
        w.messages.shown.clear();
        QTest::mouseClick(dialog.putBackButton(), Qt::LeftButton); // answered No
        QCOMPARE(w.messages.texts(FakeMessages::Warning).size(), size_t(1));
        QVERIFY(ReadBytes(folder.generalPath()) == saved);

        w.messages.answer = true;
        WriteBytes(folder.generalPath(), saved + "\r\n"); // another program's save: asked too
        QTest::mouseClick(dialog.putBackButton(), Qt::LeftButton);
        QCOMPARE(w.messages.texts(FakeMessages::Warning).size(), size_t(3));
        QVERIFY(ReadBytes(folder.generalPath()) == edited);
        QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier); // nothing before it to undo
        QVERIFY(!form.editHistory().stack().canUndo());
        QCOMPARE(BufferLines(form.state().GeneralText), FileLines(folder.generalPath()));
        QCOMPARE(form.ValueList->value(1), std::string("250"));
        QVERIFY(Marked(form, 1));
        QCOMPARE(list->topLevelItemCount(), 2);
    }
};

QTEST_MAIN(TuningWindowTest)
#include "tuning_window_test.moc"
