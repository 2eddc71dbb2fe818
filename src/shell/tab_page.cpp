// SPDX-License-Identifier: GPL-3.0-or-later
#include "tab_page.h"

#include "buffer_view.h"
#include "catalogue/catalogue.h"
#include "controls.h"
#include "documents/game_files.h"
#include "documents/reference_copies.h"
#include "editing/section_procedure.h"
#include "form_parts.h"
#include "jpeg_picture.h"
#include "latin1.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <array>

namespace {

struct ButtonText {
    const char* name;
    const char* caption;
    const char* hint;
};

// What tells the tabs apart: the names of their controls, their texts and picture.
struct PageText {
    const char* sheet;
    const char* image;
    const char* picture;
    const char* group;
    const char* groupCaption;
    const char* chooser;
    ButtonText backup;
    ButtonText restore;
    const char* sibling;
    ButtonText save;
    const char* details;
    const char* view;
};

constexpr std::array<PageText, TabCount> Pages = {{
    {"TabSheet1",
     "Image1",
     ":/pictures/car_settings.jpg",
     "GroupBox1",
     " Car Settings ",
     "ComboBox1",
     {"Button3", "Backup General.txt", "Save file as powerup.bak"},
     {"Button4", "Restore General.txt",
      "Reloads Powerup.txt, restoring all values altered since last save."},
     "GeneralBut",
     {"Button1", "Save to General.txt", "Replace powerup.txt"},
     "DetailsCheck",
     "Memo1"},
    {"TabSheet2",
     "Image2",
     ":/pictures/pedestrians.jpg",
     "GroupBox2",
     " Pedestrian Settings ",
     "ComboBox2",
     {"BackPed", "Backup Ped Settings", nullptr},
     {"RestorePed", "Restore Ped Settings", nullptr},
     "LaunchPW",
     {"SavePed", "Save Ped Settings", nullptr},
     "DetailsCheck2",
     "PedMemo"},
    {"TabSheet3",
     "Image3",
     ":/pictures/miscellaneous.jpg",
     "GroupBox3",
     " Other Settings ",
     "ComboBox3",
     {"MiscBackup", "Backup General.txt", nullptr},
     {"MiscRestore", "Restore General.txt", nullptr},
     "MiscPerkwright",
     {"MiscSave", "Save to General.txt", nullptr},
     "DetailsCheck3",
     "MiscMemo"},
    {"TabSheet4",
     "Image4",
     ":/pictures/apo.jpg",
     "GroupBox4",
     " APO Settings ",
     "ComboBox4",
     {"APOBackup", "Backup General.txt", nullptr},
     {"APORestore", "Restore General.txt", nullptr},
     "APOPerkwright",
     {"APOSave", "Save to General.txt", nullptr},
     "DetailsCheck4",
     "APOMemo"},
}};

QPushButton* ButtonOf(QWidget* parent, const ButtonText& text, const QRect& place)
{
    return Button(parent, text.name, place, text.caption, text.hint);
}

SectionChooser* SectionBox(QGroupBox* parent, const char* name, const TabCatalogue& catalogue)
{
    auto* chooser = Place(new SectionChooser(parent), name, {8, 16, 145, 21});
    for (const ChooserItem& item : catalogue.items) {
        const QString text = FromLatin1(item.text);
        chooser->addItem(text);
        // A screen reader says an item without the blanks around it, and a heading as one.
        const int index = chooser->count() - 1;
        if (text != text.trimmed())
            chooser->setItemData(index, text.trimmed(), Qt::AccessibleTextRole);
        if (item.kind == ItemKind::Heading)
            chooser->setItemData(index, QStringLiteral("heading"), Qt::AccessibleDescriptionRole);
    }
    chooser->setMaxVisibleItems(catalogue.dropDownCount);
    chooser->clearSelection();
    chooser->setText(ChooseSettingText);
    return chooser;
}

} // namespace

TabPage::TabPage(Tab tab, GameDocument& document, QTabWidget* pages) : tab(tab)
{
    const PageText& text = Pages[static_cast<size_t>(tab)];
    setObjectName(QLatin1String(text.sheet));
    setAutoFillBackground(true);
    pages->addTab(this, FromLatin1(CatalogueOf(tab).caption));
    // Decoded when the tab is first shown; one that cannot be decoded leaves its place empty.
    picture = Place(new JpegLabel(QString::fromLatin1(text.picture), this), text.image,
                    {8, 80, 273, 201});
    group = Group(this, text.group, {48, 0, 161, 49}, text.groupCaption);
    chooser = SectionBox(group, text.chooser, CatalogueOf(tab));
    backup = ButtonOf(this, text.backup, {16, 56, 113, 25});
    restore = ButtonOf(this, text.restore, {152, 56, 113, 25});
    sibling = Button(this, text.sibling, {16, 280, 113, 25}, SiblingEditor);
    sibling->hide();               // shown when the sibling editor is there
    if (tab == Tab::CarSettings) { // this one button has its own look
        QPalette lime = sibling->palette();
        lime.setColor(QPalette::ButtonText, Lime);
        sibling->setPalette(lime);
        sibling->setFont(QFont(QStringLiteral("Microsoft Sans Serif"), 8));
    }
    save = ButtonOf(this, text.save, {152, 280, 113, 25});
    details = CheckBox(this, text.details, {504, 352, 129, 17}, "Show File Details");
    view = Place(new BufferView(document, this), text.view, {0, 312, 769, 177});
    view->hide();
    // What a screen reader calls the controls that show no caption of their own.
    const QString caption = FromLatin1(CatalogueOf(tab).caption);
    chooser->setAccessibleName(caption + QStringLiteral(" section"));
    chooser->lineEdit()->setAccessibleName(chooser->accessibleName());
    chooser->view()->setAccessibleName(caption + QStringLiteral(" sections"));
    view->setAccessibleName(QLatin1String(GameFileName(FileOf(tab))) +
                            QStringLiteral(" as Tunedeck holds it"));
}
