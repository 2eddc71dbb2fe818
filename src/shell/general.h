// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "documents/game_files.h"
#include "editing/changes.h"
#include "editing/tab_actions.h"
#include "editing/write_back.h"
#include "file_watch.h"
#include "form_controls.h"
#include "window_room.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class ClosingQuestion;
class GameFolderPanel;
class Launching;
class TabPage;
class EditHistory;
class ChangeMarks;
class Launcher;
class Messages;
class Questions;
class ShownSection;
class TAboutBox;

// What the window is given from outside; tests put fakes in, the program leaves them
// empty and gets message boxes and the desktop's opener.
struct TForm1Services {
    Messages* messages = nullptr;
    Launcher* launcher = nullptr;
    QString workDir; // folder of the configuration files and reference copies
    QString homeDir; // where a game folder is looked for while none is known; empty: $HOME
    Questions* questions = nullptr; // the questions with buttons of their own
};

// The main window. Its creation runs the start-up sequence.
class TForm1 : public QMainWindow, public FormControls {
    Q_OBJECT
public:
    explicit TForm1(TForm1Services services = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    AppState& state() { return state_; }
    Messages& messages() { return *messages_; }
    // Runs a handler as every handler of the window runs: an error ends it with the general
    // error report.
    void guarded(const std::function<void()>& handler);
    // Shows the outcome of a commit in grid row `row`: a refused value in an Error box;
    // the cell then shows the value its line holds.
    void showCommitted(int row, const CommitResult& result);
    // The setting that grid row `row` stands for: the shown tab, its chosen item and the
    // row; none while the grid shows no section.
    std::optional<SettingPlace> placeOf(int row) const;
    // Shows the section of a setting as the player would choose it, its row current.
    void showSetting(const SettingPlace& place);
    EditHistory& editHistory() { return *editHistory_; }
    // What the features beside the window work with.
    WindowRoom room();
    // The section chooser of a tab.
    SectionChooser* chooser(Tab tab) const;

    TAboutBox* AboutBox = nullptr; // made when first shown

public slots:
    void FormCreate();
    void PageControl1Change();
    void Exit1Click();

    void ComboBox1Change() { chooseSection(Tab::CarSettings); }
    void ComboBox2Change() { chooseSection(Tab::Pedestrians); }
    void ComboBox3Change() { chooseSection(Tab::Miscellaneous); }
    void ComboBox4Change() { chooseSection(Tab::APO); }
    void ValueListValidate(QObject* Sender, int ACol, int ARow, const std::string& KeyName,
                           const std::string& KeyValue);

    // The buttons of the four tabs, named as the window names them.
    void Button1Click() { save(Tab::CarSettings); }
    void Button3Click() { backup(Tab::CarSettings); }
    void Button4Click() { restore(Tab::CarSettings); }
    void SavePedClick() { save(Tab::Pedestrians); }
    void BackPedClick() { backup(Tab::Pedestrians); }
    void RestorePedClick() { restore(Tab::Pedestrians); }
    void MiscSaveClick() { save(Tab::Miscellaneous); }
    void MiscBackupClick() { backup(Tab::Miscellaneous); }
    void MiscRestoreClick() { restore(Tab::Miscellaneous); }
    void APOSaveClick() { save(Tab::APO); }
    void APOBackupClick() { backup(Tab::APO); }
    void APORestoreClick() { restore(Tab::APO); }

    void DirectoryClick();
    void SaveDirClick();

    void DetailsCheckClick() { detailsCheckClick(Tab::CarSettings); }
    void DetailsCheck2Click() { detailsCheckClick(Tab::Pedestrians); }
    void DetailsCheck3Click() { detailsCheckClick(Tab::Miscellaneous); }
    void DetailsCheck4Click() { detailsCheckClick(Tab::APO); }
    void ShowContents1Click();
    void GeneralButClick() { LaunchSibling(); }
    void LaunchPWClick() { LaunchSibling(); }
    void MiscPerkwrightClick() { LaunchSibling(); }
    void APOPerkwrightClick() { LaunchSibling(); }
    void Gorewheel21Click();
    void About1Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildForm();
    void buildPages();
    void buildMenus();
    void connectHandlers();
    void installFeatures();
    void orderTabKeys();
    // What follows a change of what the grid shows: its name and its marks.
    void sectionShown();
    void nameGrid();
    // What is being typed in the grid, for the watch.
    FileWatch::Typing typing() const;
    // Makes the setting an undo or redo changed current, keeping the grid as it is when it
    // shows the setting's section.
    void showUndone(const SettingPlace& place);
    QString workFile(const char* name) const;
    void chooseSection(Tab tab);
    void fillSection(Tab tab);
    void save(Tab tab);
    void backup(Tab tab);
    void restore(Tab tab);
    void reportCorruptedConfiguration();
    void showDetails(bool shown);
    void detailsCheckClick(Tab tab);
    void LaunchSibling();

    AppState state_;
    std::unique_ptr<Messages> ownMessages_;
    std::unique_ptr<Launcher> ownLauncher_;
    Messages* messages_;
    Launcher* launcher_;
    Questions* questions_;
    std::unique_ptr<Questions> ownQuestions_;
    std::unique_ptr<Feedback> feedback_;
    ShownSection* shownSection_ = nullptr;
    ChangeMarks* changeMarks_ = nullptr;
    EditHistory* editHistory_ = nullptr;
    QString homeDir_;
    std::array<TabPage*, TabCount> pages_{};
    GameFolderPanel* folderPanel_ = nullptr;
    Launching* launching_ = nullptr;
    ClosingQuestion* closingQuestion_ = nullptr;
    FileWatch* fileWatch_ = nullptr;
};
