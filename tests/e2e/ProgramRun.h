#pragma once
// The real program inside the test process: its entry routine (the one main runs) on a fresh
// program folder, on the display the suite runs on. A scenario runs inside the program's own
// message loop once the main window is shown and drives it through the input simulator; message
// boxes and modal windows are answered by the dialog script. Each run frees the windows it made,
// so that one test can start the program several times, as a user does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "app/MainVars.h"
#include "app/ProgramEntry.h"
#include "app/Unit8_PoprawnoscNorm.h"
#include "app/Unit9_Waiting.h"
#include "app/qx_Unit1.h"
#include "app/qx_Unit10_Wyroby.h"
#include "app/qx_Unit2.h"
#include "app/qx_Unit3.h"
#include "app/qx_Unit4.h"
#include "app/qx_Unit6_DodajNowaNorme.h"
#include "app/qx_Unit7_ListaUzywanychNorm.h"
#include "controls/ToolPanels.h"
#include "platform/gui/StdCtrls.h"
#include "platform/core/Registry.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Messages.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/Screenshots.h"
#include "tests/common/TestFiles.h"

// The suite runs on the display it is started on (xvfb-run ./e2e_tests): the windows of the
// program run inside the test are real windows there and pictures of the screen show that
// display, as for the started programs; never the offscreen screen of the other suites. Set
// before the test application starts.
[[maybe_unused]] static const bool OnTheSuitesDisplay = [] {
    if (const char* display = std::getenv("DISPLAY"); display && *display)
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    return true;
}();

// A hidden window that runs its action when it takes WM_APP.
class TScenarioWindow : public TForm {
public:
    explicit TScenarioWindow(std::function<void(TScenarioWindow*)> Action) : TForm(nullptr), FAction(std::move(Action)) {}
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_APP)
            FAction(this);
        else
            TForm::WndProc(Message);
    }

private:
    std::function<void(TScenarioWindow*)> FAction;
};

class TEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmarok-e2e-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        FRoot = pattern;
        FDir = FRoot / "Velmarok";
        std::filesystem::create_directories(FDir);
        std::filesystem::create_directories(FRoot / "home");
        // Everything the program keeps per user lies in the scratch folder too.
        FOldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
        ::setenv("HOME", (FRoot / "home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (FRoot / "home" / ".config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (FRoot / "home" / ".local" / "share").c_str(), 1);
        SetRegistryStoreFile((FRoot / "home" / "registry.ini").string());
        FOldFolder = ProgramFolder;
        FOldExeFolder = ExeFolder;
        ClearRecordedDialogs();
    }
    void TearDown() override
    {
        EXPECT_TRUE(VerifyNoPendingDialogs());
        ProgramFolder = FOldFolder;
        ExeFolder = FOldExeFolder;
        SetRegistryStoreFile("");
        ::setenv("HOME", FOldHome.c_str(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("XDG_DATA_HOME");
        std::error_code ec;
        std::filesystem::remove_all(FRoot, ec);
    }

    // The suite's waits, bounded for a busy machine: a wait ends as soon as its condition holds,
    // so a long bound costs nothing on a quick one.
    static bool WaitUntil(const std::function<bool()>& Done, unsigned Ms = 30000) { return ::WaitUntil(Done, Ms); }

    // Starts the program on the folder and runs Scenario inside its message loop once the main
    // window is shown (never, when start-up ends the program first). The scenario ends the
    // program as a user does; when it returns with the window still open, the window is closed
    // through the window system. Returns the program's exit code.
    int Start(const std::function<void(Tf_MainForm*)>& Scenario = nullptr)
    {
        // As a copy of the program in that folder: its data and its shipped files are there.
        ExeFolder = ProgramFolder = FromOsPath(FDir.string()) + "/";
        std::set<TComponent*> before;
        for (int i = 0; i < Application->ComponentCount(); ++i)
            before.insert(Application->Components(i));

        // A hidden window of the test's own receives the posted message that starts the scenario
        // (the program keeps the application's message filter for itself).
        bool ran = false;
        ScenarioRan = false;
        TScenarioWindow trigger([&](TScenarioWindow* Self) {
            TCustomForm* main = Application->MainForm();
            if (ran || Application->Terminated() || !main)
                return;
            if (!main->Visible()) {
                PostMessage(Self->Handle(), WM_APP, 0, 0);   // not shown yet: after the next turn
                return;
            }
            ran = true;
            ScenarioRan = true;
            try {
                if (Scenario)
                    Scenario(f_MainForm);
            } catch (const std::exception& e) {
                // Raised inside the program's loop, it would be kept there: the test reports it and
                // ends the program.
                ADD_FAILURE() << "the scenario raised: " << e.what();
                Application->Terminate();
            }
            if (Application->MainForm() && Application->MainForm()->Visible() && !Application->Terminated())
                CloseWindowByUser(Application->MainForm());
            if (!Application->Terminated()) {
                ADD_FAILURE() << "the main window did not close";
                Application->Terminate();
            }
        });
        PostMessage(trigger.Handle(), WM_APP, 0, 0);
        ClearApplicationTerminated();   // a run of its own, as a new process of the program
        const int rc = RunProgram();

        // The windows of the run end with it, as with the process of a real run.
        std::vector<TComponent*> made;
        for (int i = 0; i < Application->ComponentCount(); ++i)
            if (!before.count(Application->Components(i)))
                made.push_back(Application->Components(i));
        for (auto it = made.rbegin(); it != made.rend(); ++it)
            delete *it;
        f_MainForm = nullptr;
        f_SprawdzNorme = nullptr;
        f_WstawKilkaLinii = nullptr;
        f_Szer_WysKomorek = nullptr;
        f_DodajNowaNorme = nullptr;
        f_ListaUzywanychNorm = nullptr;
        f_PoprawnoscNorm = nullptr;
        f_Waiting = nullptr;
        f_Wyroby = nullptr;
        ProcessPendingMessages();
        return rc;
    }

    // Opens the main menu's panel by a click on its tab, as the user does, and finds the enabled
    // item of that caption: the tab's point in the strip and the item's in the panel. False when
    // the panel or an enabled item of that caption is not there.
    static bool FindMenuItem(Tf_MainForm* Form, const AnsiString& Panel, const AnsiString& Item, TPoint& TabAt,
                             TPoint& ItemAt)
    {
        TProToolPanelTab::SlideWait = [](TProToolPanelTab*, int) {};
        TProToolPanelTab* strip = Form->ProToolPanelTab;
        TProToolPanel* panel = Form->MenuPanel(Panel);
        if (!panel)
            return false;
        const int tab = strip->IndexOfPanel(panel);
        TRect bounds(strip->Width(), strip->Height(), -1, -1);
        for (int y = 0; y < strip->Height(); y += 2)
            for (int x = 0; x < strip->Width(); x += 2)
                if (strip->TabAtPos(x, y) == tab)
                    bounds = TRect(std::min(bounds.Left, x), std::min(bounds.Top, y), std::max(bounds.Right, x),
                                   std::max(bounds.Bottom, y));
        if (bounds.Right < 0)
            return false;
        TabAt = TPoint((bounds.Left + bounds.Right) / 2, (bounds.Top + bounds.Bottom) / 2);
        // A panel that slid in stays visible beyond the window's edge: the strip tells the open one.
        bool opened = strip->OpenIndex() == tab;
        if (!opened) {
            Click(strip, TabAt.X, TabAt.Y);
            ProcessPendingMessages();
            opened = strip->OpenIndex() == tab;
        }
        if (!opened)
            return false;
        for (int y = 0; y < panel->Height(); ++y)
            for (int x = 8; x < panel->Width(); x += 16) {
                int section = -1, item = -1;
                TRect r;
                if (!panel->ItemAtPos(x, y, section, item, r))
                    continue;
                TSectionItem* it = panel->Sections()->Items(section)->SectionItems()->Items(item);
                if (it->Caption() != Item)
                    continue;
                ItemAt = TPoint(x, r.Bottom > r.Top ? (r.Top + r.Bottom) / 2 : y);
                return it->Enabled();
            }
        return false;
    }
    // Opens the main menu's panel by a click on its tab and clicks the item of that caption, as
    // the user does; false when the panel or an enabled item of that caption is not there.
    static bool ClickMenuItem(Tf_MainForm* Form, const AnsiString& Panel, const AnsiString& Item)
    {
        TPoint tab, at;
        if (!FindMenuItem(Form, Panel, Item, tab, at))
            return false;
        TProToolPanel* panel = Form->MenuPanel(Panel);
        MouseMove(panel, at.X, at.Y);
        Click(panel, at.X, at.Y);
        ProcessPendingMessages();
        return true;
    }
    // Clicks the list box's item of that text; false when it is not there.
    static bool ClickListItem(TListBox* List, const AnsiString& Text)
    {
        const int i = List->Items()->IndexOf(Text);
        if (i < 0)
            return false;
        List->SetTopIndex(i);
        TRect r = List->ItemRect(i);
        Click(List, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        return List->ItemIndex() == i;
    }

    // A file of the program folder by its name there ("Wykazy\\z_u.txt").
    AnsiString Path(const AnsiString& Name) const { return FromOsPath(FDir.string()) + "/" + Name; }
    void Write(const AnsiString& Name, const AnsiString& Bytes)
    {
        ForceDirectories(ExtractFileDir(Path(Name)));
        SaveBytesToFile(Path(Name), Bytes);
    }
    AnsiString Read(const AnsiString& Name) const { return LoadBytesFromFile(Path(Name)); }
    bool Exists(const AnsiString& Name) const { return FileExists(Path(Name)); }

    // A picture as <build>/screenshots/e2e-<Name>.png.
    static void SavePng(TBitmap& Picture, const std::string& Name) { SaveScreenshot(&Picture, "e2e-" + Name + ".png"); }
    // The window as shown now.
    static void Shot(TControl* Window, const std::string& Name)
    {
        std::unique_ptr<TBitmap> shot = GrabControl(Window);
        ASSERT_TRUE(shot && !shot->Empty()) << Name;
        SavePng(*shot, Name);
    }

    std::filesystem::path FRoot, FDir;
    bool ScenarioRan = false;

private:
    std::string FOldHome;
    AnsiString FOldFolder, FOldExeFolder;
};
