// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class BufferView;
class FolderTree;
class KeyValueGrid;
class ProgressBar;
class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QWidget;
class SectionChooser;

// The main window's controls, by the names the window has always given them; the window
// makes them all when it is built.
struct FormControls {
    // Window-wide controls.
    QStatusBar* StatusBar1;
    QTabWidget* PageControl1;
    ProgressBar* ProgressBar1;
    QFrame* Panel1;
    KeyValueGrid* ValueList;

    // Menu.
    QAction* File1;
    QAction* Exit1;
    QAction* View1;
    QAction* ShowContents1;
    QAction* About1;
    QAction* N1;
    QAction* Gorewheel21;
    QAction* N2;

    // Car Settings tab.
    QWidget* TabSheet1;
    QLabel* Image1;
    QGroupBox* GroupBox1;
    SectionChooser* ComboBox1;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* GeneralBut;
    QPushButton* Button1;
    QCheckBox* DetailsCheck;
    BufferView* Memo1;
    FolderTree* Directory;
    QPushButton* SaveDir;
    QGroupBox* Directories;
    QLabel* Label1;
    QLabel* LabelSaved;
    QLabel* Label2;
    QLabel* LabelSelected;
    QLabel* Label3;
    QLabel* LabelValid;

    // Pedestrians tab.
    QWidget* TabSheet2;
    QLabel* Image2;
    QGroupBox* GroupBox2;
    SectionChooser* ComboBox2;
    QPushButton* BackPed;
    QPushButton* RestorePed;
    QPushButton* LaunchPW;
    QPushButton* SavePed;
    QCheckBox* DetailsCheck2;
    BufferView* PedMemo;

    // Miscellaneous tab.
    QWidget* TabSheet3;
    QLabel* Image3;
    QGroupBox* GroupBox3;
    SectionChooser* ComboBox3;
    QPushButton* MiscBackup;
    QPushButton* MiscRestore;
    QPushButton* MiscPerkwright;
    QPushButton* MiscSave;
    QCheckBox* DetailsCheck3;
    BufferView* MiscMemo;

    // APO tab.
    QWidget* TabSheet4;
    QLabel* Image4;
    QGroupBox* GroupBox4;
    SectionChooser* ComboBox4;
    QPushButton* APOBackup;
    QPushButton* APORestore;
    QPushButton* APOPerkwright;
    QPushButton* APOSave;
    QCheckBox* DetailsCheck4;
    BufferView* APOMemo;
};
