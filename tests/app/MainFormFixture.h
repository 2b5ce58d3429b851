#pragma once
// A program folder of its own under /tmp with the main window built on it, and the program's
// dialogs a test makes; every scripted dialog must be used by the end of the test, and the
// program's state the tests change (the login's level, the modified catalogue, the registers
// handed out, the history of pages, host redirects, the menu and shell hooks) is set back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/Katalog.h"
#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "controls/KXCtrls.h"
#include "grid/ProGrid.h"
#include "platform/core/Classes.h"
#include "platform/core/IniFiles.h"
#include "platform/core/Registry.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/ShellApi.h"
#include "platform/gui/TestSupport.h"
#include "tests/app/DialogTest.h"

class TMainFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmarok-main-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        FDir = pattern;
        // The registry store of the test, never the user's.
        SetRegistryStoreFile(FromOsPath(FDir) + "/registry-store.ini");
        FOldFolder = ProgramFolder;
        ProgramFolder = FromOsPath(FDir) + "/";
        ExeFolder = ProgramFolder;
        StartingUp = false;
        Form = std::make_unique<Tf_MainForm>(nullptr);
        f_MainForm = Form.get();
        NormListModified = false;
        UsedListFiles->Clear();
        PageHistory->Clear();
        ClearRecordedDialogs();
    }
    void TearDown() override
    {
        for (auto free = FFreeDialogs.rbegin(); free != FFreeDialogs.rend(); ++free)
            (*free)();
        FFreeDialogs.clear();
        CurrentUserLevel = 0;
        UserOutsideList = false;
        NormListModified = false;
        UsedListFiles->Clear();
        PageHistory->Clear();
        ClearHostRedirects();
        SetPopupMenuHook(nullptr);
        SetShellOpenHook(nullptr);
        EXPECT_TRUE(VerifyNoPendingDialogs());
        Form.reset();
        SetRegistryStoreFile(AnsiString());
        ClearApplicationTerminated();
        ProgramFolder = FOldFolder;
        ExeFolder = AnsiString();
        SetTestClock(0);
        SetTestLoginName(AnsiString());
        std::error_code ec;
        std::filesystem::remove_all(FDir, ec);
    }
    // A dialog of the program for the test, published through its global pointer (f_...); the
    // dialogs go, newest first, before the main window does.
    template <class T>
    T* MakeDialog(T*& Global)
    {
        T* dialog = new T(nullptr);
        Global = dialog;
        FFreeDialogs.push_back([dialog, &Global] {
            delete dialog;
            Global = nullptr;
        });
        return dialog;
    }
    // A file of the program folder by its name there ("Wykazy\\a.txt") and its system path.
    AnsiString Path(const AnsiString& Name) const { return ProgramFolder + Name; }
    std::string OsPath(const AnsiString& Name) const { return ToOsPath(Path(Name)); }
    // Writes a file of the program folder, its folders made first.
    void Write(const AnsiString& Name, const AnsiString& Bytes)
    {
        ForceDirectories(ExtractFileDir(Path(Name)));
        SaveBytesToFile(Path(Name), Bytes);
    }
    AnsiString Read(const AnsiString& Name) const { return LoadBytesFromFile(Path(Name)); }
    // The value of Key in Section of the menu file, "(none)" when it has no such key.
    AnsiString Menu(const AnsiString& Section, const AnsiString& Key) const
    {
        TIniFile ini(Path("Ustawienia\\kategorie.ini"));
        return ini.ValueExists(Section, Key) ? ini.ReadString(Section, Key, "") : AnsiString("(none)");
    }
    // Chooses the line Name of a list as a click does: the selection, then OnClick.
    static void Choose(TCustomListBox* List, const AnsiString& Name)
    {
        List->SetItemIndex(List->Items()->IndexOf(Name));
        ASSERT_GE(List->ItemIndex(), 0) << Name;
        List->OnClick(List);
    }
    // Opens the menu editor with "Wyrób 1" and its group "Wykonanie A" chosen.
    void OpenGroupA()
    {
        Form->RunMenuCommand("Menu", "Menu");
        Choose(Form->clb_MG_PrzyciskiMenuGlownego, "Wyrób 1");
        Choose(Form->lb_G_Spis, "Wykonanie A");
    }
    // The program folder as an earlier start leaves it: the first run marked,
    // config.dat naming the default places (with the head of department and
    // the three options as Options gives them, lines 5 to 8), users.dat with the login at Level
    // (RunUserOut 0) and a menu file with one category.
    void PrepareStart(int Level = 4, const AnsiString& Options = "\r\n1\r\n1\r\n0\r\n")
    {
        MarkFirstRunDone();
        ForceDirectories(Path("Ustawienia"));
        ForceDirectories(Path("Wykazy"));
        WriteScrambledFile(Path("config.dat"), Path("Katalog Norm\\normy_wszystkie.txt") + "\r\n" + Path("Wykazy\\") +
                                                   "\r\n" + Path("Ustawienia\\kategorie.ini") + "\r\n" +
                                                   Path("Ustawienia\\") + "\r\n" + Path("Katalog Norm\\") + "\r\n" +
                                                   Options + "\r\n\r\n\r\n\r\n\r\n");
        const AnsiString login = GetWindowsUserName();
        WriteScrambledFile(Path("Ustawienia\\users.dat"), "[UsersName]\r\n" + login + "=\r\n[Level]\r\n" + login +
                                                              "=" + IntToStr(Level) +
                                                              "\r\n[Options]\r\nRunUserOut=0\r\n");
        Write("Ustawienia\\kategorie.ini", "[Kategorie]\r\nWyroby=\r\n[Wyroby]\r\nZawory=\r\n");
    }
    // The registry's mark of an earlier start of the program, from the place Exe (this program's by default).
    static void MarkFirstRunDone(const AnsiString& Exe = Application->ExeName())
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        reg.OpenKey("Software\\Quorvane\\Tyrvenhold", true);
        reg.WriteString("Path", Exe);
        reg.CloseKey();
    }
    // A new main window on the folder, started as the program starts it.
    void Restart()
    {
        Form.reset();
        ClearApplicationTerminated();
        Form = std::make_unique<Tf_MainForm>(nullptr);
        f_MainForm = Form.get();
        Form->DoCreate();
    }
    // The records of the catalogue grid as a save writes them.
    std::vector<TNormRecord> CatalogueRecords() const
    {
        TProStringGrid* g = Form->sg_WszystkieNormy;
        std::vector<TNormRecord> v;
        for (int r = 1; r < g->RowCount() - 1; ++r) {
            TNormRecord rec;
            for (int f = 0; f < NormFieldCount; ++f)
                rec[size_t(f)] = g->Cells(f + 1, r);
            rec[nfState] = NormStateWord(rec[nfState]);
            v.push_back(rec);
        }
        return v;
    }
    // The catalogue file beside the program written and loaded into the main window.
    void LoadCatalogue(const AnsiString& Bytes)
    {
        Write("Katalog Norm\\normy_wszystkie.txt", Bytes);
        Form->LoadNormList(Path("Katalog Norm\\normy_wszystkie.txt"));
    }

    std::string FDir;
    AnsiString FOldFolder;
    std::unique_ptr<Tf_MainForm> Form;
    std::vector<std::function<void()>> FFreeDialogs;
};
