// SPDX-License-Identifier: GPL-3.0-or-later
// The whole road through the real window: choose a section, type a value into the grid
// as a user would, leave the cell, save, and compare the file on disk.

#include "buffer_view.h"
#include "controls.h"
#include "documents/errors.h"
#include "documents/text_buffer.h"
#include "faults/fault_injection.h"
#include "file_watch.h"
#include "focus_announcements.h"
#include "key_value_grid.h"
#include "support/window_fixture.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QtTest>
#include <cerrno>
#include <cstdio>

class EditingTest : public QObject {
    Q_OBJECT

private:
    // A work folder whose configuration names its game folder, made before the window.
    struct SavedFolder {
        WorkFolder folder;
        SavedFolder() { folder.writeIni("Tunedeck.ini", folder.gameDir().toStdString()); }
    };
    // The window shown on it.
    struct Window : SavedFolder, ::Window {
        Window() : ::Window(folder)
        {
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        }
    };

    static void choose(SectionChooser* chooser, int index)
    {
        // As the user picks an item from the list.
        chooser->setCurrentIndex(index);
        emit chooser->activated(index);
    }

    // Types into the value cell of data row `row` and leaves the cell with Enter.
    static void typeValue(TForm1& form, int row, const QString& text)
    {
        KeyValueGrid* grid = form.ValueList;
        const QModelIndex cell = grid->model()->index(row - 1, 1);
        grid->setFocus();
        grid->setCurrentIndex(cell);
        TypeInCurrentCell(grid, text);
    }

    static std::string line(const std::string& bytes, int index)
    {
        return SplitLines(bytes).at(static_cast<size_t>(index));
    }

private slots:
    void typicalEditLandsOnDiskByteForByte()
    {
        Window w;
        TForm1& form = *w.form;
        const std::string before = ReadBytes(w.folder.generalPath());
        form.PageControl1->setCurrentIndex(2);
        choose(form.ComboBox3, 1); // Credit Awards, easy group
        QCOMPARE(form.ValueList->key(1),
                 std::string("Credits per unit car damage for (easy) skill level (with peds)"));
        QCOMPARE(form.ValueList->value(1), std::string("12"));

        typeValue(form, 1, "15");
        const std::string rebuilt =
            "15,9,7\t\t\t\t\t // Credits per unit car damage for each skill level (with peds)";
        QCOMPARE(form.state().GeneralText.line(58), rebuilt);
        QCOMPARE(form.state().GeneralText.line(58), rebuilt);
        QCOMPARE(form.state().GeneralText.line(58), rebuilt);

        QTest::mouseClick(form.MiscSave, Qt::LeftButton);
        std::vector<std::string> expected = SplitLines(before);
        expected[0] = "0\t\t\t\t\t\t// Disable TIFF conversion";
        expected[58] = rebuilt;
        QCOMPARE(ReadBytes(w.folder.generalPath()), JoinLines(expected));
        QCOMPARE(w.messages.texts(FakeMessages::Information).back(),
                 "File updated: " + form.state().GeneralPath);
    }

    // Every committed value is kept: a Car Settings value saved first survives a later Save
    // from Miscellaneous.
    void committedValuesSurviveASaveFromAnotherTab()
    {
        Window w;
        TForm1& form = *w.form;
        choose(form.ComboBox1, 1); // Bending: row 1 is line 47
        typeValue(form, 1, "12000");
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        form.PageControl1->setCurrentIndex(2);
        choose(form.ComboBox3, 1); // Credit Awards, easy group: row 1 is line 58 (12,9,7)
        typeValue(form, 1, "25");
        QTest::mouseClick(form.MiscSave, Qt::LeftButton);

        const std::string bytes = ReadBytes(w.folder.generalPath());
        QCOMPARE(line(bytes, 47).substr(0, 6), std::string("12000\t"));
        QCOMPARE(line(bytes, 58).substr(0, 7), std::string("25,9,7\t"));
    }

    // A Save never replaces unasked a game file that another program saved meanwhile: not
    // when it saves while the window waits for the folder's lock, nor when the tool saves
    // again while the question is open.
    void saveAsksBeforeReplacingAnotherProgramsSave()
    {
        Window w;
        TForm1& form = *w.form;
        choose(form.ComboBox1, 1);
        typeValue(form, 1, "12000");
        const auto toolSets = [&w](const char* value) {
            QProcess tool;
            tool.setWorkingDirectory(w.folder.path());
            tool.start(QStringLiteral(TUNEDECK_CLI), {"set", "misc", "1", "1", value});
            QCOMPARE(Finish(tool).out,
                     "File updated: " + w.folder.generalPath().toStdString() + '\n');
        };
        const auto credits = [&w] { return line(ReadBytes(w.folder.generalPath()), 58); };
#ifndef Q_OS_WIN
        // Another program holds the folder's lock, then saves the file and lets go.
        std::string theirs = ReadBytes(w.folder.generalPath());
        theirs.replace(theirs.find("12,9,7\t"), 6, "250,9,7");
        WriteBytes(w.folder.path("theirs"), theirs);
        const QString held = w.folder.path("held");
        QProcess other;
        other.start("flock", {QFileInfo(w.folder.generalPath()).absolutePath(), "sh", "-c",
                              "touch \"$0\"; sleep 1; cp \"$1\" \"$2\"", held,
                              w.folder.path("theirs"), w.folder.generalPath()});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(held), 10000);
        QTest::mouseClick(form.Button1, Qt::LeftButton); // answered No
        QVERIFY(other.waitForFinished(10000));
        QCOMPARE(w.messages.texts(FakeMessages::Warning).back(),
                 QStringLiteral("General.txt was changed by another program since Tunedeck read "
                                "it. Replace it with this tab's copy?"));
        QCOMPARE(credits().substr(0, 8), std::string("250,9,7\t"));
#else
        toolSets("250");
        QTest::mouseClick(form.Button1, Qt::LeftButton); // answered No
        QCOMPARE(credits().substr(0, 8), std::string("250,9,7\t"));
#endif

        w.messages.answer = true;
        w.messages.whileAsked = [&] {
            w.messages.whileAsked = nullptr;
            toolSets("260");
        };
        QTest::mouseClick(form.Button1, Qt::LeftButton); // asked again after the tool's 260
        QCOMPARE(w.messages.texts(FakeMessages::Warning).size(), size_t(3));
        QCOMPARE(line(ReadBytes(w.folder.generalPath()), 47).substr(0, 6), std::string("12000\t"));
        QCOMPARE(credits().substr(0, 7), std::string("12,9,7\t"));
        QTest::mouseClick(form.Button1, Qt::LeftButton); // its own save is no stranger's
        QCOMPARE(w.messages.texts(FakeMessages::Warning).size(), size_t(3));
    }

    // Another program's change to a game file, read again or asked about (unsaved edits).
    void anotherProgramsChange_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("answer"); // empty: the tabs hold no unsaved edit
        QTest::addColumn<QString>("shown");  // Credit Awards (easy) row 1 after
        QTest::addColumn<QString>("undone"); // after Edit > Undo
        QTest::addColumn<QString>("status");
        const QString again = "General.txt was changed by another program and read again.";
        // clang-format off
        QTest::newRow("tunedeck-cli set, twice") << "tool" << "" << "250" << "240" << again;
        QTest::newRow("a burst of writes") << "burst" << "" << "270" << "12" << again;
        QTest::newRow("unsaved, Read again") << "tool" << "Read again" << "250" << "15" << again;
        QTest::newRow("unsaved, Keep mine") << "burst" << "Keep mine" << "15" << "12" << "";
        QTest::newRow("unsaved, Enter") << "burst" << "Enter" << "15" << "12" << "";
        QTest::newRow("unsaved, changed while asked") << "asked" << "Read again" << "260" << "15" << again;
        QTest::newRow("gone, then back") << "back" << "" << "280" << "12" << again;
        QTest::newRow("paused in the last line") << "paused" << "" << "250" << "12" << again;
        QTest::newRow("Tunedeck's own save") << "save" << "" << "15" << "12" << "";
        QTest::newRow("gone") << "gone" << "" << "12" << "12" <<
            "General.txt was removed by another program; the tabs keep what they hold.";
        QTest::newRow("cut short") << "short" << "" << "12" << "12" << "General.txt was changed "
            "by another program and no longer has its 410 lines; it was not read.";
#ifndef Q_OS_WIN
        QTest::newRow("in place, after a link") << "link" << "" << "280" << "12" << again;
#endif
        // clang-format on
    }

    void anotherProgramsChange()
    {
        QFETCH(QString, change);
        QFETCH(QString, answer);
        QFETCH(QString, shown);
        QFETCH(QString, undone);
        QFETCH(QString, status);
        Window w;
        TForm1& form = *w.form;
        auto* watch = form.findChild<FileWatch*>();
        QStringList said; // to a screen reader, once
        QObject::connect(form.findChild<Announcements*>(), &Announcements::said, &form,
                         [&said](const QString& text) { said << text; });
        const QString path = w.folder.generalPath();
        const auto value = [&form] { return QString::fromStdString(form.ValueList->value(1)); };
        const auto toolSets = [&w](const char* credits) {
            QProcess tool;
            tool.setWorkingDirectory(w.folder.path());
            tool.start(QStringLiteral(TUNEDECK_CLI), {"set", "misc", "1", "1", credits});
            QCOMPARE(Finish(tool).status, 0);
        };
        form.PageControl1->setCurrentIndex(2);
        choose(form.ComboBox3, 1); // row 1: line 58, "12,9,7"
        if (!answer.isEmpty() || change == "save")
            typeValue(form, 1, "15");
        if (change == "save")
            QTest::mouseClick(form.MiscSave, Qt::LeftButton);
        QWidget other; // the player is in another program meanwhile
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        w.questions.answer = answer;
        if (change == "tool" && answer.isEmpty()) { // the file a rename put there is watched
            toolSets("240");
            QTRY_COMPARE_WITH_TIMEOUT(value(), QStringLiteral("240"), 5000);
        }
        if (change == "tool" || change == "asked")
            toolSets("250");
        if (change == "asked")
            w.questions.whileAsked = [&] { toolSets("260"); };
        for (const char* credits : {"250", "260", "270"}) // each write seen, all in one wait
            if (change == "burst") {
                watch->setDelay(3600 * 1000);
                ReplaceFileLine(path, 58, std::string(credits) + ",9,7\t\t\t\t\t // Credits");
                QCoreApplication::processEvents();
            }
        watch->setDelay(200);
        watch->setUnfinishedDelay(300); // a file cut inside a line may be still being written
        if (change == "back" || change == "link") { // another file there a while, then written in
            // place: deleted and written anew, or a link (to a mod store's file) and a file again
            const auto putInPlace = [&](const char* name) {
                QCOMPARE(
                    std::rename(QFile::encodeName(w.folder.path(name)), QFile::encodeName(path)),
                    0);
                QTest::qWait(300); // past the wait a change starts
            };
            QVERIFY(QFile::copy(path, w.folder.path("copy")) &&
                    QFile::copy(path, w.folder.path("store")));
            if (change == "back")
                QVERIFY(QFile::remove(path));
            else if (QFile::link(w.folder.path("store"), w.folder.path("link")))
                putInPlace("link");
            putInPlace("copy");
            ReplaceFileLine(path, 58, "280,9,7\t\t\t\t\t // Credits");
        }
        if (change == "paused") { // a writer paused inside the last line: not read, a Save asks
            watch->setUnfinishedDelay(3600 * 1000);
            std::string theirs = ReadBytes(path);
            theirs.replace(theirs.find("12,9,7\t"), 6, "250,9,7");
            WriteBytes(path, theirs.substr(0, theirs.size() - 27)); // "cars" of "cars.txt"
            QTest::qWait(800);
            QCOMPARE(value(), QStringLiteral("12"));
            QTest::mouseClick(form.MiscSave, Qt::LeftButton); // answered No
            QVERIFY(Shown(w.messages).last().endsWith("Replace it with this tab's copy?"));
            WriteBytes(path, theirs);
        }
        if (change == "gone" || change == "short") // removed, or cut within a line
            QVERIFY(change == "gone" ? QFile::remove(path) : QFile::resize(path, 1000));
        if (!answer.isEmpty()) {
            watch->checkNow();
            QVERIFY(w.questions.buttons.empty()); // not while another window is active
            form.activateWindow();
            QTRY_VERIFY(!w.questions.buttons.empty());
        }
        QTRY_COMPARE_WITH_TIMEOUT(value(), shown, 5000);
        if (!status.isEmpty())
            QTRY_COMPARE_WITH_TIMEOUT(form.StatusBar1->currentMessage(), status, 5000);
        watch->checkNow(); // as a later change elsewhere would: nothing new
        QVERIFY(status.isEmpty() != form.StatusBar1->currentMessage().contains("another"));
        const int reads = status.isEmpty() ? 0 : change == "tool" && answer.isEmpty() ? 2 : 1;
        QCOMPARE(said.filter("another program"), QStringList(reads, status)); // each, once
        QCOMPARE(Shown(w.messages).filter("drop the unsaved").join(""),
                 answer.isEmpty() ? ""
                                  : WarningText("General.txt was changed by another program. Read "
                                                "it again and drop the unsaved changes?"));
        if (answer == "Keep mine") { // the Save asks about the change
            QTest::mouseClick(form.MiscSave, Qt::LeftButton);
            QVERIFY(Shown(w.messages).last().endsWith("Replace it with this tab's copy?"));
        }
        form.findChild<QAction*>("Undo1")->trigger();
        QCOMPARE(value(), undone);
        if (answer == "Read again") { // the lines come back as read before the change
            const std::string theirs = ReadBytes(path);
            QTest::mouseClick(form.MiscSave, Qt::LeftButton);
            QVERIFY(Shown(w.messages).last().endsWith("Replace it with this tab's copy?"));
            QVERIFY(ReadBytes(path) == theirs);
        }
    }

    // A value being typed when another program saves a game file is the player's: the keys
    // typed after the change go into the same cell, and only then is the player asked.
    void typingOutlastsAnotherProgramsSave_data()
    {
        QTest::addColumn<QString>("changed");
        QTest::newRow("Settings.txt") << "settings";
        QTest::newRow("General.txt, the file being typed in") << "general";
    }

    void typingOutlastsAnotherProgramsSave()
    {
        QFETCH(QString, changed);
        Window w;
        TForm1& form = *w.form;
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.windowHandle()));
        auto* watch = form.findChild<FileWatch*>();
        choose(form.ComboBox1, 1); // Bending: row 1 is line 47
        KeyValueGrid* grid = form.ValueList;
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, 1));
        QTest::keyClick(grid, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "98");

        const QString path =
            changed == "general" ? w.folder.generalPath() : w.folder.settingsPath();
        ReplaceFileLine(path, 60, "1.5\t\t// another program's line");
        w.questions.answer = "Keep mine";
        watch->setDelay(50);
        watch->checkNow();
        QTest::qWait(400);                    // the change has settled and been looked at
        QVERIFY(w.questions.buttons.empty()); // no box takes the keys that follow
        QVERIFY(grid->isEditing());
        QTest::keyClicks(QApplication::focusWidget(), "01");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!grid->isEditing());

        QCOMPARE(QString::fromStdString(form.state().GeneralText.line(47)).left(5),
                 QStringLiteral("9801\t"));
        const bool general = changed == "general";
        const TuningFile file = general ? TuningFile::General : TuningFile::Settings;
        // Settings.txt held nothing unsaved and is read again; General.txt is asked about.
        QTRY_COMPARE(w.questions.buttons.size(), qsizetype(general ? 1 : 0));
        QTRY_COMPARE(form.state().document(file).line(60) == "1.5\t\t// another program's line",
                     !general);
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        if (general) // kept: the Save asks before it replaces their file
            QVERIFY(Shown(w.messages).last().endsWith("Replace it with this tab's copy?"));
        else
            QCOMPARE(line(ReadBytes(w.folder.generalPath()), 47).substr(0, 5),
                     std::string("9801\t"));
    }

    // Undo and Redo change the value in its cell, in place: the current cell, the focus and
    // the cell a screen reader holds stay, and the cell reads the value put back.
    void undoKeepsTheCellAndTheFocus()
    {
        Window w;
        TForm1& form = *w.form;
        choose(form.ComboBox1, 1);
        KeyValueGrid* grid = form.ValueList;
        const std::string before = grid->value(2);
        typeValue(form, 2, "4242");
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
        QVERIFY(table && table->tableInterface());
        QAccessibleInterface* cell = table->tableInterface()->cellAt(1, 1);
        const QAccessible::Id id = QAccessible::uniqueId(cell);
        const QTableWidgetItem* item = grid->item(1, 1);
        for (const char* action : {"Undo1", "Redo1"}) {
            form.findChild<QAction*>(action)->trigger();
            const std::string shown = action == std::string("Undo1") ? before : "4242";
            QCOMPARE(grid->value(2), shown);
            QCOMPARE(grid->currentRow(), 1);
            QVERIFY(grid->hasFocus());
            QCOMPARE(grid->item(1, 1), item);
            QCOMPARE(QAccessible::uniqueId(table->tableInterface()->cellAt(1, 1)), id);
            QCOMPARE(cell->text(QAccessible::Name), QString::fromStdString(shown));
        }
    }

#ifdef TUNEDECK_POSIX_FAULTS
    // The Save button on a disk that fails: the file stays as it was, the player is told
    // the system's error and never "File updated", and a later Save writes the edit.
    void saveOnAFailingDisk_data()
    {
        QTest::addColumn<QByteArray>("call");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("bytes");
        QTest::newRow("disk full at once") << QByteArray("write") << ENOSPC << 0;
        QTest::newRow("quota full half way") << QByteArray("write") << EDQUOT << 7000;
        QTest::newRow("write error before the last byte") << QByteArray("write") << EIO << 15339;
        QTest::newRow("sync fails") << QByteArray("fsync") << EIO << 0;
        QTest::newRow("rename fails") << QByteArray("rename") << ENOSPC << 0;
    }
#endif

#ifdef TUNEDECK_POSIX_FAULTS
    void saveOnAFailingDisk()
    {
        QFETCH(QByteArray, call);
        QFETCH(int, error);
        QFETCH(int, bytes);
        Window w;
        TForm1& form = *w.form;
        const std::string before = ReadBytes(w.folder.generalPath());
        form.PageControl1->setCurrentIndex(2);
        choose(form.ComboBox3, 1);
        typeValue(form, 1, "15");
        {
            const InjectedFault fault(call.constData(), error, bytes, w.folder.gameDir());
            QTest::mouseClick(form.MiscSave, Qt::LeftButton);
        }
        QCOMPARE(w.messages.texts(FakeMessages::Error),
                 std::vector<QString>{QStringLiteral("Save aborted with error: %1 (General.txt)")
                                          .arg(SystemErrorText(error))});
        QVERIFY(w.messages.texts(FakeMessages::Information).empty());
        QVERIFY(ReadBytes(w.folder.generalPath()) == before);

        QTest::mouseClick(form.MiscSave, Qt::LeftButton);
        QCOMPARE(line(ReadBytes(w.folder.generalPath()), 58).substr(0, 7), std::string("15,9,7\t"));
    }
#endif

    void unchangedValueWritesNothing()
    {
        Window w;
        TForm1& form = *w.form;
        form.PageControl1->setCurrentIndex(2);
        choose(form.ComboBox3, 13); // More Settings
        const auto revision = form.state().GeneralText.revision();
        typeValue(form, 1, QString::fromStdString(form.ValueList->value(1)));
        QCOMPARE(form.state().GeneralText.revision(), revision);
    }

    void commitInRowsThatStandForNoSetting_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("note"); // a note's value cell shows its empty value again
        QTest::newRow("car note row") << 0 << 5 << 2 << true;
        QTest::newRow("car heading") << 0 << 0 << 1 << false;
        QTest::newRow("misc heading") << 2 << 4 << 1 << false;
        QTest::newRow("misc underwater note") << 2 << 14 << 11 << true;
        QTest::newRow("apo unlisted blank row") << 3 << -1 << 1 << false;
    }

    void commitInRowsThatStandForNoSetting()
    {
        QFETCH(int, tab);
        QFETCH(int, item);
        QFETCH(int, row);
        QFETCH(bool, note);
        Window w;
        TForm1& form = *w.form;
        form.PageControl1->setCurrentIndex(tab);
        SectionChooser* chooser =
            std::array<SectionChooser*, 4>{form.ComboBox1, form.ComboBox2, form.ComboBox3,
                                           form.ComboBox4}[static_cast<size_t>(tab)];
        if (item >= 0) {
            choose(chooser, item);
        } else {
            const QSignalBlocker blocker(chooser);
            chooser->setCurrentIndex(-1);
            form.ComboBox4Change();
        }
        const std::vector<std::string> general = form.state().GeneralText.lines();
        const std::vector<std::string> settings = form.state().SettingsText.lines();
        typeValue(form, row, "999");
        QCOMPARE(form.state().GeneralText.lines(), general);
        QCOMPARE(form.state().SettingsText.lines(), settings);
        if (note)
            QCOMPARE(form.ValueList->value(row), std::string());
    }

    void blankRowAfterTabSwitchWritesNothing()
    {
        Window w;
        TForm1& form = *w.form;
        choose(form.ComboBox1, 1); // Bending: entry 1 is line 47
        form.PageControl1->setCurrentIndex(2);
        const std::string line47 = form.state().GeneralText.line(47);
        typeValue(form, 1, "5");
        QCOMPARE(form.state().GeneralText.line(47), line47);
        QCOMPARE(form.state().GeneralText.line(47), line(ReadBytes(w.folder.generalPath()), 47));
    }

    void pendingEditGoesToTheTabThatShowedTheRow()
    {
        Window w;
        TForm1& form = *w.form;
        choose(form.ComboBox1, 9); // Mutant Tail Thing, row 2 is line 187
        KeyValueGrid* grid = form.ValueList;
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(1, 1));
        QTest::keyClick(grid, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "0.07");
        form.PageControl1->setCurrentIndex(3); // switch with the edit still open

        QCOMPARE(form.state().GeneralText.line(187),
                 std::string("0.07\t\t\t\t\t // Mass of each Link"));
        QCOMPARE(form.state().GeneralText.line(187),
                 form.state().GeneralText.line(187)); // copies in step
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(grid->key(1), std::string());
    }

    void skillEditOnPedestriansTabTouchesPedMemoOnly()
    {
        Window w;
        TForm1& form = *w.form;
        form.PageControl1->setCurrentIndex(1);
        choose(form.ComboBox2, 1); // General Stuff - Race
        const std::vector<std::string> general = form.state().GeneralText.lines();
        typeValue(form, 6, "3");
        QCOMPARE(
            form.state().SettingsText.line(15),
            std::string("6,4,3\t\t\t\t\t // Time (seconds) scored per ped (easy, medium, hard)"));
        QCOMPARE(form.state().GeneralText.lines(), general);
        QCOMPARE(form.ValueList->value(6), std::string("3")); // the row shows its own field
    }

    void editShowsInTheOpenTextView()
    {
        Window w;
        TForm1& form = *w.form;
        form.DetailsCheck->setChecked(true);
        choose(form.ComboBox1, 8); // Mine & Mortar, line 192
        typeValue(form, 1, "0.03");
        const QString shown = form.Memo1->document()->findBlockByNumber(192).text();
        QCOMPARE(shown, QStringLiteral("0.03\t\t\t\t\t // Mine / Mortar Weight"));
    }
};

QTEST_MAIN(EditingTest)
#include "editing_test.moc"
