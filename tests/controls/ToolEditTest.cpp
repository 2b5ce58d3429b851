// The file-name and directory edits: quoting and checking names, the dialogs
// they open, dropped files and long names.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "controls/FileUtil.h"
#include "controls/ToolEdit.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/SysInfo.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"
#include "tests/common/TestFiles.h"

using FilenameEdit = TPlainFormTest;

TEST_F(FilenameEdit, DialogAndDroppedFiles)
{
    TFilenameEdit edit(nullptr);
    edit.SetParent(form);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TOpenDialog", IDOK, [](TDialogRequest& r) {
        r.Values = {"/tmp/wybrany plik.txt"};
    });
    int after = 0;
    edit.OnAfterDialog = [&](TObject*, AnsiString& name, bool& action) { ++after; EXPECT_TRUE(action); };
    edit.DoClick();
    EXPECT_TRUE(VerifyNoPendingDialogs());
    EXPECT_EQ(after, 1);
    EXPECT_EQ(edit.FileName(), "/tmp/wybrany plik.txt");

    edit.DropFiles({"/tmp/a.txt", "/tmp/b.txt", "/tmp/c.txt"});
    EXPECT_EQ(edit.FileName(), "/tmp/a.txt");
    edit.DropFiles({AnsiString(600, 'x')});   // no length limit on a dropped path
    EXPECT_EQ(edit.FileName().size(), 600u);
}

// A form of 400 x 100 for the edits, not shown yet.
struct FileDirEdit : TFormTest {
    void SetUp() override { MakeForm(400, 100); }
};

TEST_F(FileDirEdit, FileNameQuotingAndTheNameCheck)
{
    auto* edit = Place<TFilenameEdit>(10, 10, 300, 21);
    struct Case {
        AnsiString Value;
        AnsiString Text;       // "" with Raises
        AnsiString FileName;
        bool Raises;
    } cases[] = {
        {"C:\\Dane\\normy.txt", "C:\\Dane\\normy.txt", "C:\\Dane\\normy.txt", false},
        {"C:\\Moje dane\\normy.txt", "\"C:\\Moje dane\\normy.txt\"", "C:\\Moje dane\\normy.txt", false},
        {"C:\\Katalog Norm\\normy wszystkie.txt", "\"C:\\Katalog Norm\\normy wszystkie.txt\"",
         "C:\\Katalog Norm\\normy wszystkie.txt", false},
        {"\"C:\\Moje dane\\n.txt\"", "\"C:\\Moje dane\\n.txt\"", "C:\\Moje dane\\n.txt", false},
        {"", "", "", false},
        {"a<b.txt", "", "", true},
        {"a<b", "", "", true},
        {"a>b.txt", "", "", true},
        {"a|b.txt", "", "", true},
        {"a[1].txt", "", "", true},
        {"a]1.txt", "", "", true},
        {"a\"b.txt", "", "", true},
        {"   ", "", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Value);
        edit->SetText("before.txt");
        edit->DialogFiles()->Add("stale");
        if (c.Raises) {
            try {
                edit->SetFileName(c.Value);
                ADD_FAILURE() << "no exception";
            } catch (const EComboEditError& e) {
                EXPECT_EQ(e.Message(), "Invalid file name - " + c.Value);
            }
            EXPECT_EQ(edit->Text(), "before.txt");
            EXPECT_EQ(edit->DialogFiles()->Count(), 1);
        } else {
            edit->SetFileName(c.Value);
            EXPECT_EQ(edit->Text(), c.Text);
            EXPECT_EQ(edit->FileName(), c.FileName);
            EXPECT_EQ(edit->DialogFiles()->Count(), 0);
        }
        edit->DialogFiles()->Clear();
    }
    // A typed text: quoted runs lose their quotes; an unquoted path with blanks is the whole trimmed text.
    const std::pair<AnsiString, AnsiString> typed[] = {
        {"\"/tmp/a b.txt\" rest", "/tmp/a b.txt"},
        {"  \"/tmp/c d.txt\"", "/tmp/c d.txt"},
        {" /tmp/x y/z.txt  ", "/tmp/x y/z.txt"},
        {"  /tmp/nowy katalog/plik nowy.txt ", "/tmp/nowy katalog/plik nowy.txt"},
    };
    for (const auto& [text, name] : typed) {
        edit->SetText(text);
        EXPECT_EQ(edit->FileName(), name) << text;
    }
    // A file that exists under the exact text is that text.
    TTempDir dir("velmarok-fe");
    const std::string odd = dir / " lead.txt";
    WriteFileBytes(odd, "x");
    edit->SetText(odd);
    EXPECT_EQ(edit->FileName(), odd);
}

TEST_F(FileDirEdit, FileDialogGetsTheSettingsAndTheFolderAndName)
{
    TTempDir dir("velmarok-fd");
    const AnsiString folder = dir.Path.string() + "/";
    auto* edit = Place<TFilenameEdit>(10, 10, 300, 21);
    edit->SetDefaultExt("txt");
    edit->SetFilter("Plik tekstowy (*.txt)|*.txt");
    edit->SetDialogOptions(ofHideReadOnly | ofFileMustExist);
    EXPECT_EQ(edit->DialogTitle(), "Browse");
    edit->SetFileName(folder + "stary plik.txt");
    std::vector<std::string> order;
    edit->OnButtonClick = [&](TObject*) { order.push_back("button"); };
    edit->OnBeforeDialog = [&](TObject*, AnsiString& name, bool&) {
        order.push_back("before");
        EXPECT_EQ(name, folder + "stary plik.txt");
    };
    edit->OnAfterDialog = [&](TObject*, AnsiString& name, bool& action) {
        order.push_back(action ? "after ok " + name : "after cancel " + name);
    };
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TOpenDialog", IDCANCEL, [&](TDialogRequest& r) {
        order.push_back("dialog");
        auto* d = dynamic_cast<TOpenDialog*>(r.Dialog);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->Filter(), "Plik tekstowy (*.txt)|*.txt");
        EXPECT_EQ(d->DefaultExt(), "txt");
        EXPECT_EQ(d->Title(), "Browse");
        EXPECT_EQ(d->Options(), TOpenOptions(ofHideReadOnly | ofFileMustExist));
        EXPECT_EQ(d->InitialDir(), folder);
        EXPECT_EQ(d->FileName(), "stary plik.txt");
    });
    edit->DoClick();
    EXPECT_TRUE(VerifyNoPendingDialogs());
    EXPECT_EQ(order, (std::vector<std::string>{"button", "before", "dialog",
                                               "after cancel " + std::string(folder) + "stary plik.txt"}));
    // A cancelled dialog leaves the text; the existing folder became the initial one.
    EXPECT_EQ(edit->Text(), "\"" + folder + "stary plik.txt\"");
    EXPECT_EQ(edit->InitialDir(), folder);

    // Accepted: the text is the chosen name (quoted) and its folder is the initial one.
    order.clear();
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TOpenDialog", IDOK,
                                 [](TDialogRequest& r) { r.Values = {"/tmp/inny katalog/nowy.txt"}; });
    edit->DoClick();
    EXPECT_EQ(edit->Text(), "\"/tmp/inny katalog/nowy.txt\"");
    EXPECT_EQ(edit->InitialDir(), "/tmp/inny katalog/");

    // Refused before the dialog: no dialog at all; a save kind asks a save dialog.
    edit->OnBeforeDialog = [](TObject*, AnsiString&, bool& action) { action = false; };
    edit->DoClick();
    EXPECT_TRUE(VerifyNoPendingDialogs());
    edit->OnBeforeDialog = nullptr;
    edit->SetDialogKind(dkSave);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TSaveDialog", IDCANCEL);
    edit->DoClick();
    EXPECT_TRUE(VerifyNoPendingDialogs());
}

TEST_F(FileDirEdit, AnyFileChosenInTheDialogOrDroppedIsTaken)
{
    // Names the typed-name check refuses are ordinary files: the dialog's choice and a dropped
    // file are taken as they are.
    TTempDir dir("velmarok-fb");
    auto* edit = Place<TFilenameEdit>(10, 10, 300, 21);
    struct Case { const char* Name; bool Quoted; } cases[] = {
        {"norma[1].txt", false}, {"wykaz [stary].txt", true}, {"a]b.txt", false}, {"zwykly.txt", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const AnsiString path = dir / c.Name;
        WriteFileBytes(path, "x");
        edit->SetText("");
        bool after = false;
        edit->OnAfterDialog = [&](TObject*, AnsiString& name, bool& action) { after = action && name == path; };
        ScriptDialogs().ExpectDialog(dkCommonDialog, "TOpenDialog", IDOK,
                                     [&](TDialogRequest& r) { r.Values = {path}; });
        EXPECT_NO_THROW(edit->DoClick());
        EXPECT_TRUE(after);
        EXPECT_EQ(edit->Text(), c.Quoted ? "\"" + path + "\"" : path);
        EXPECT_EQ(edit->FileName(), path);
        EXPECT_EQ(edit->InitialDir(), dir.Path.string() + "/");
        edit->SetText("");
        EXPECT_NO_THROW(edit->DropFiles({path}));
        EXPECT_EQ(edit->FileName(), path);
    }
}

TEST_F(FileDirEdit, MaskedFileEditKeepsItsTextBesideTheButton)
{
    auto* edit = Place<TFilenameEdit>(10, 10, 300, 5);
    // Too low a height is raised to the text's and the borders'.
    EXPECT_EQ(edit->Height(), edit->MinHeight());
    EXPECT_GT(edit->MinHeight(), 10);
    edit->SetHeight(21);
    edit->SetGlyphKind(gkDefault);
    Form->Show();
    // The text ends 2 pixels before the button.
    const TRect r = edit->EditRect();
    EXPECT_EQ(r.Right, edit->ClientWidth() - edit->ButtonWidth() - 2);
    edit->SetButtonWidth(40);
    EXPECT_EQ(edit->EditRect().Right, edit->ClientWidth() - 40 - 2);
    // The drop-down arrow's button is as wide as the system's vertical scroll bar.
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    edit->SetGlyphKind(gkDropDown);
    EXPECT_EQ(edit->ButtonWidth(), bar);
    EXPECT_EQ(edit->EditRect().Right, edit->ClientWidth() - bar - 2);
    edit->SetGlyphKind(gkDefault);

    // A mask shapes what is typed: two digits, "-", four letters or digits; a wrong character is refused.
    edit->SetEditMask("00-aaaa;1;_");
    edit->SetFocus();
    edit->SetSelStart(0);
    TypeText(edit, "12ab!c");
    EXPECT_EQ(edit->EditText(), "12-abc_");
    EXPECT_EQ(edit->Text(), "12-abc ");
    EXPECT_EQ(edit->FileName(), "12-abc");

    // The dialog follows the kind: a new one of the kind's class keeps the chosen file.
    edit->SetEditMask("");
    edit->Dialog()->SetFileName("wybrany.txt");
    edit->Dialog()->Files()->Add("wybrany.txt");
    edit->SetDialogKind(dkSavePicture);
    EXPECT_NE(dynamic_cast<TSavePictureDialog*>(edit->Dialog()), nullptr);
    EXPECT_EQ(edit->Dialog()->FileName(), "wybrany.txt");
    EXPECT_EQ(edit->Dialog()->Files()->Count(), 1);
    edit->SetFileEditStyle(fsComboBox);
    edit->HistoryList()->Add("/tmp/a.txt");
    edit->SetDialogKind(dkOpen);
    EXPECT_EQ(edit->FileEditStyle(), fsComboBox);
    EXPECT_EQ(edit->HistoryList()->Count(), 1);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TOpenDialog", IDCANCEL);
    edit->DoClick();
    EXPECT_TRUE(VerifyNoPendingDialogs());
    Form->Hide();
}

TEST_F(FileDirEdit, ClickKeyRunsTheButtonUnlessItHasNoWidth)
{
    auto* edit = Place<TFilenameEdit>(10, 10, 300, 21);
    Form->Show();
    int clicks = 0;
    edit->OnButtonClick = [&](TObject*) { ++clicks; };
    edit->OnBeforeDialog = [](TObject*, AnsiString&, bool& action) { action = false; };
    edit->SetFocus();
    KeyDown(edit, VK_DOWN, ssAlt);
    EXPECT_EQ(clicks, 1);
    KeyDown(edit, VK_DOWN);
    EXPECT_EQ(clicks, 1);
    edit->SetReadOnly(true);
    KeyDown(edit, VK_DOWN, ssAlt);
    EXPECT_EQ(clicks, 1);
    edit->SetReadOnly(false);
    edit->SetButtonWidth(0);
    KeyDown(edit, VK_DOWN, ssAlt);
    EXPECT_EQ(clicks, 1);
    Form->Hide();
}

TEST_F(FileDirEdit, ReturnEscapeEnteringTheBordersAndTheDisabledText)
{
    Form->SetBounds(10, 10, 400, 140);
    auto* other = Place<TEdit>(10, 100, 60, 21);
    auto* edit = Place<TFilenameEdit>(10, 10, 300, 21);
    auto* ok = Place<TButton>(10, 50, 60, 25);
    auto* cancel = Place<TButton>(80, 50, 60, 25);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    std::vector<std::string> log;
    ok->OnClick = [&](TObject*) { log.push_back("ok"); };
    cancel->OnClick = [&](TObject*) { log.push_back("cancel"); };
    edit->OnKeyPress = [&](TObject*, char& Key) { log.push_back("key " + std::to_string(int(Key))); };
    edit->SetText("C:\\Dane\\normy.txt");
    Form->Show();
    // The form takes Return and Escape as dialog keys from the edit, once, and the edit sees them.
    edit->SetFocus();
    TypeKey(edit, VK_RETURN);
    TypeKey(edit, VK_ESCAPE);
    EXPECT_EQ(log, (std::vector<std::string>{"ok", "key 13", "cancel", "key 27"}));
    // Entering chooses the whole text only when it may be typed over.
    for (bool direct : {true, false}) {
        other->SetFocus();
        edit->SetDirectInput(direct);
        edit->SetSelLength(0);
        edit->SetFocus();
        EXPECT_EQ(edit->SelLength(), direct ? int(edit->Text().size()) : 0) << direct;
    }
    // The button's place by the border: 3-D, flat and none.
    TControl* box = edit->Button()->Parent();
    const int w = edit->ButtonWidth();
    struct Case { TBorderStyle Border; bool Ctl3D; TRect Want; };
    const Case borders[] = {{bsSingle, true, TRect(300 - w - 4, 0, 300 - 4, 21 - 4)},
                   {bsSingle, false, TRect(300 - w - 2, 2, 300 - 2, 2 + 21 - 4)},
                   {bsNone, false, TRect(300 - w, 0, 300, 21)}};
    for (const auto& b : borders) {
        edit->SetBorderStyle(b.Border);
        edit->SetCtl3D(b.Ctl3D);
        edit->SetBounds(10, 10, 300, 21);
        EXPECT_EQ(box->BoundsRect(), b.Want) << int(b.Border) << b.Ctl3D;
    }
    // A disabled edit writes its text in the grey text colour.
    edit->SetText("WWWWWWWW");
    edit->SetEnabled(false);
    std::unique_ptr<TBitmap> shot = GrabControl(edit);
    int grey = 0;
    for (int y = 0; y < shot->Height(); ++y)
        for (int x = 0; x < 150; ++x)
            grey += shot->Canvas()->Pixels(x, y) == ColorToRGB(clGrayText);
    EXPECT_GT(grey, 3);
    Form->Hide();
}

TEST_F(FileDirEdit, DirectoryDialogStartsFromAnExistingFolder)
{
    TTempDir dir("velmarok-dd");
    const AnsiString existing = dir.Path.string();
    auto* edit = Place<TDirectoryEdit>(10, 10, 300, 21);
    struct Case {
        const char* Name;
        AnsiString Text, InitialDir;
        TDirDialogKind Kind;
        bool Multiple;
        AnsiString Start;    // the folder the dialog starts from
        AnsiString Chosen;   // "" cancels
        AnsiString Want;
    } cases[] = {
        {"existing text", existing, "", dkVCL, false, existing, "/var", "/var"},
        {"empty text takes the initial folder", "", existing, dkVCL, false, existing, "/usr", "/usr"},
        {"empty text, no initial folder", "", "", dkVCL, false, "\\", "/opt", "/opt"},
        {"missing folder starts at the root", "/nie/ma/takiego", existing, dkWin32, false, "\\", "/srv", "/srv"},
        {"cancel keeps the text", existing, "", dkWin32, false, existing, "", existing},
        {"several folders", "/tmp", "", dkVCL, true, "/tmp", "/var", "/tmp;/var"},
        {"several folders, first one", "", "", dkVCL, true, "\\", "/var", "/var"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        edit->SetText(c.Text);
        edit->SetInitialDir(c.InitialDir);
        edit->SetDialogKind(c.Kind);
        edit->SetMultipleDirs(c.Multiple);
        bool afterAction = true;
        edit->OnAfterDialog = [&](TObject*, AnsiString&, bool& action) { afterAction = action; };
        AnsiString start;
        ScriptDialogs().ExpectDialog(dkCommonDialog, "SelectDirectory", c.Chosen.empty() ? IDCANCEL : IDOK,
                                     [&](TDialogRequest& r) {
                                         start = r.Values.empty() ? AnsiString() : r.Values[0];
                                         r.Values = {c.Chosen};
                                     });
        edit->DoClick();
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(start, c.Start);
        EXPECT_EQ(edit->Text(), c.Want);
        EXPECT_EQ(afterAction, !c.Chosen.empty());
    }
    edit->OnAfterDialog = nullptr;   // it wrote to a flag of the loop above
    // A chosen folder that exists becomes the initial one.
    edit->SetText("");
    edit->SetMultipleDirs(false);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "SelectDirectory", IDOK,
                                 [&](TDialogRequest& r) { r.Values = {existing}; });
    edit->DoClick();
    EXPECT_EQ(edit->InitialDir(), existing);
}

TEST_F(FileDirEdit, FolderBrowserRootsSelectionsAndKinds)
{
    TTempDir dir("velmarok-browse");
    const AnsiString existing = dir.Path.string();
    TBrowseFolderDlg dlg(nullptr);
    std::vector<std::string> seen;
    dlg.OnSelChanged = [&](TObject*) { seen.push_back(dlg.SelectedPath()); };
    struct Case { const char* Name; TBrowseKind Kind; bool Desktop; AnsiString Chosen; bool Ok; AnsiString Want; };
    Case cases[] = {
        {"folder under the desktop", bfFolders, true, existing + "\\", true, existing},
        {"folder from the drives", bfFolders, false, existing, true, existing},
        {"no such folder cannot be taken", bfFolders, true, existing + "/brak", false, ""},
        {"a computer by its name", bfComputers, true, "/serwer-norm/", true, "serwer-norm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        dlg.SetBrowseKind(c.Kind);
        dlg.SetDesktopRoot(c.Desktop);
        dlg.SetFolderName("");
        seen.clear();
        AnsiString root;
        ScriptDialogs().ExpectDialog(dkCommonDialog, "SelectDirectory", IDOK, [&](TDialogRequest& r) {
            root = r.Text;
            r.Values = {c.Chosen};
        });
        EXPECT_EQ(dlg.Execute(), c.Ok);
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(seen.size(), 1u);
        EXPECT_EQ(dlg.FolderName(), c.Want);
        // Only folders under the desktop start from it; the others from the top.
        EXPECT_EQ(root == "/", !(c.Kind == bfFolders && c.Desktop));
    }
}

TEST_F(FileDirEdit, DroppedFilesByEditKind)
{
    TTempDir dir("velmarok-drop");
    const std::string file = dir / "plik.txt";
    WriteFileBytes(file, "x");
    const AnsiString folder = dir.Path.string() + "/";
    auto* names = Place<TFilenameEdit>(10, 10, 300, 21);
    auto* dirs = Place<TDirectoryEdit>(10, 40, 300, 21);
    int drops = 0;
    names->OnDropFiles = [&](TObject*) { ++drops; };
    dirs->OnDropFiles = [&](TObject*) { ++drops; };

    names->DropFiles({"/tmp/a b.txt", "/tmp/c.txt", "/tmp/d.txt"});
    EXPECT_EQ(names->Text(), "\"/tmp/a b.txt\"");
    EXPECT_EQ(names->DialogFiles()->Count(), 0);
    names->SetDialogOptions(ofHideReadOnly | ofAllowMultiSelect);
    names->DropFiles({"/tmp/a.txt", "/tmp/b.txt"});
    EXPECT_EQ(names->FileName(), "/tmp/a.txt");
    EXPECT_EQ(Items(*names->DialogFiles()), (std::vector<AnsiString>{"/tmp/a.txt", "/tmp/b.txt"}));
    const AnsiString longToken(1000, 'q');
    names->DropFiles({"/tmp/" + longToken});
    EXPECT_EQ(names->FileName(), "/tmp/" + longToken);

    // A dropped file names its folder on the directory edit.
    dirs->DropFiles({file, "/var"});
    EXPECT_EQ(dirs->Text(), folder);
    dirs->SetMultipleDirs(true);
    dirs->DropFiles({"/var", file});
    EXPECT_EQ(dirs->Text(), folder + ";/var;" + folder);
    EXPECT_EQ(drops, 5);
}

TEST_F(FileDirEdit, LongNamesOfSeveralFoldersSkipEmptyEntries)
{
    TTempDir dir("velmarok-ln");
    std::filesystem::create_directory(dir.Path / "Katalog");
    auto* edit = Place<TDirectoryEdit>(10, 10, 300, 21);
    const AnsiString root = dir.Path.string();
    edit->SetMultipleDirs(true);
    edit->SetText(root + "\\katalog;;" + root + "\\Katalog;");
    EXPECT_EQ(edit->LongName(), root + "\\Katalog;" + root + "\\Katalog");
    edit->SetMultipleDirs(false);
    edit->SetText(root + "\\KATALOG");
    EXPECT_EQ(edit->LongName(), root + "\\Katalog");
    edit->SetText(root + "\\brak");
    EXPECT_EQ(edit->ShortName(), root + "\\");
}
