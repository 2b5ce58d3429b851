#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "controls/KXCtrls.h"
#include "controls/ToolEdit.h"
#include "controls/ToolPanels.h"
#include "platform/core/IniFiles.h"
#include "platform/gui/ShellApi.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"
#include "tests/common/ToolStripTest.h"

namespace {
// A form with a tool panel strip whose slides step without waiting.
struct HookedStrip : TToolStripTest {
    void SetUp() override
    {
        MakeStrip();
        form->Show();
        TProToolPanelTab::SlideWait = [](TProToolPanelTab*, int) {};
    }
    int GluedHostLeft() { return strip->ClientToScreen(TPoint(0, 0)).X - strip->HostForm()->Width(); }
};

std::string TempIni(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::to_string(getpid()) + "_" + name)).string();
}
}  // namespace

TEST_F(HookedStrip, RightPanelsHostFollowsTheFormAndMaximisingSlidesItIn)
{
    strip->SetPosition(ppRight);
    TProToolPanel* a = Add("Normy", "PanelA");
    Add("Wykazy", "PanelB");
    a->SetOpenWidth(120);
    strip->OpenTab(0);
    TForm* host = strip->HostForm();
    ASSERT_TRUE(host->Visible());
    ASSERT_EQ(host->Left(), GluedHostLeft());

    // Dragging the form's window: the host keeps to the strip.
    MoveWindowByUser(form, 160, 130, 600, 400);
    EXPECT_EQ(host->Left(), GluedHostLeft());
    EXPECT_EQ(host->Top(), strip->ClientToScreen(TPoint(0, 0)).Y);
    // Sizing it wider moves the strip and its host along.
    MoveWindowByUser(form, 160, 130, 700, 400);
    EXPECT_EQ(host->Left(), GluedHostLeft());
    EXPECT_EQ(host->Height(), strip->Height());
    EXPECT_EQ(strip->OpenIndex(), 0);

    // Minimising and restoring keep the panel open; maximising slides it in.
    SetWindowStateByUser(form, wsMinimized);
    SetWindowStateByUser(form, wsNormal);
    EXPECT_EQ(strip->OpenIndex(), 0);
    EXPECT_EQ(host->Left(), GluedHostLeft());
    SetWindowStateByUser(form, wsMaximized);
    EXPECT_EQ(form->WindowState(), wsMaximized);
    EXPECT_EQ(strip->OpenIndex(), -1);
    EXPECT_FALSE(a->Visible());
    EXPECT_EQ(host->Width(), 0);
    EXPECT_EQ(strip->Panels()->Items(0)->State(), psClosed);
}

TEST_F(HookedStrip, SizingTheFormCutsPanelsToItsClientArea)
{
    TProToolPanel* a = Add("Normy", "PanelA");
    strip->OpenTab(0);
    ASSERT_EQ(a->Height(), form->ClientHeight());
    MoveWindowByUser(form, 100, 100, 600, 250);
    EXPECT_LE(a->Height(), form->ClientHeight());
    EXPECT_GT(a->Height(), 0);
}

TEST_F(HookedStrip, ClosingTheFormSavesWhenAutoSaveAndHidesTheHost)
{
    for (bool autoSave : {false, true}) {
        SCOPED_TRACE(autoSave);
        const std::string ini = TempIni(autoSave ? "auto.ini" : "noauto.ini");
        std::filesystem::remove(ini);
        strip->SetPosition(ppRight);
        if (strip->Panels()->Count() == 0)
            Add("Normy", "PanelA")->SetOpenWidth(120);
        strip->Persist()->SetINIFile(ini);
        strip->Persist()->SetAutoSave(autoSave);
        form->Show();
        strip->OpenTab(0);
        ASSERT_TRUE(strip->HostForm()->Visible());
        CloseWindowByUser(form);
        EXPECT_FALSE(form->Visible());
        EXPECT_FALSE(strip->HostForm()->Visible());
        EXPECT_EQ(std::filesystem::exists(ini), autoSave);
        if (autoSave) {
            TIniFile f(ini);
            EXPECT_EQ(f.ReadInteger("ProToolPanelTabPANELS", "COUNT", 0), 1);
        }
        std::filesystem::remove(ini);
    }
}

// ---------------------------------------------------------------- desktop drops on the file edits
using FileEditDrops = TFormTest;

TEST_F(FileEditDrops, DropsReachTheEditOnlyWhileItAcceptsFiles)
{
    MakeForm(300, 100);
    auto* edit = Place<TFilenameEdit>(10, 10, 200, 22);
    auto* dirs = Place<TDirectoryEdit>(10, 40, 200, 22);
    dirs->SetMultipleDirs(true);
    Form->Show();
    int drops = 0;
    edit->OnDropFiles = [&](TObject*) { ++drops; };

    EXPECT_FALSE(DropFilesOn(edit, {"/tmp/a.txt"}, TPoint(5, 5)));
    edit->SetAcceptFiles(true);
    EXPECT_TRUE(DropFilesOn(edit, {"/tmp/a.txt", "/tmp/b.txt"}, TPoint(5, 5)));
    EXPECT_EQ(edit->FileName(), "/tmp/a.txt");
    EXPECT_EQ(drops, 1);
    // An empty drop changes nothing but is still reported.
    EXPECT_TRUE(DropFilesOn(edit, {}, TPoint(5, 5)));
    EXPECT_EQ(edit->FileName(), "/tmp/a.txt");
    EXPECT_EQ(drops, 2);
    // The window made again still takes drops; switching off refuses them.
    edit->RecreateWnd();
    EXPECT_TRUE(DropFilesOn(edit, {"/tmp/ż.txt"}, TPoint(5, 5)));
    EXPECT_EQ(edit->FileName(), "/tmp/ż.txt");
    edit->SetAcceptFiles(false);
    EXPECT_FALSE(DropFilesOn(edit, {"/tmp/c.txt"}, TPoint(5, 5)));
    EXPECT_EQ(drops, 3);

    // The directory edit with several folders takes every dropped one.
    dirs->SetAcceptFiles(true);
    EXPECT_TRUE(DropFilesOn(dirs, {"/tmp", "/var"}, TPoint(5, 5)));
    EXPECT_EQ(dirs->Text(), "/tmp;/var");
}

// ---------------------------------------------------------------- check list box
using CheckListInput = TFormTest;

TEST_F(CheckListInput, ADoubleClickInTheCheckAreaTogglesOnceAndTheExtentFollowsTheWidestItem)
{
    MakeForm(300, 200);
    auto* list = Place<TKxCheckListBox>(10, 10, 150, 150);
    list->Items()->Add("a");
    list->Items()->Add("b");
    Form->Show();
    AdvanceInputClock(2000);
    int clicks = 0;
    list->OnClickCheck = [&](TObject*) { ++clicks; };
    TRect r = list->ItemRect(1);
    DoubleClick(list, r.Left + 5, r.Top + r.Height() / 2);
    EXPECT_TRUE(list->Checked(1));
    EXPECT_EQ(clicks, 1);
    AdvanceInputClock(2000);
    DoubleClick(list, r.Left + 5, r.Top + r.Height() / 2);
    EXPECT_FALSE(list->Checked(1));
    EXPECT_EQ(clicks, 2);

    // The widest item sets the horizontal extent: raised by adds, recomputed after deletes.
    const int narrow = list->HorizontalExtent();
    EXPECT_GT(narrow, 18);
    EXPECT_EQ(narrow, list->MaxItemWidth());
    list->Items()->Add("a much longer item than the others in the list");
    const int wide = list->HorizontalExtent();
    EXPECT_GT(wide, 150);
    list->Items()->Insert(0, "c");
    EXPECT_EQ(list->HorizontalExtent(), wide);
    list->Items()->Delete(3);
    EXPECT_EQ(list->HorizontalExtent(), narrow);
    list->SetAutoScroll(false);
    EXPECT_EQ(list->HorizontalExtent(), 0);
    list->SetAutoScroll(true);
    list->Items()->Clear();
    EXPECT_EQ(list->HorizontalExtent(), 0);
}
