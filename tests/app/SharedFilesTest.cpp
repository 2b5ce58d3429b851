// Two logins on one program folder: a save over a file that another login
// changed since it was read asks first, and No writes nothing; a save finds
// another login's save of the file under way by its lock and waits for it or
// says so; two processes saving in a loop lose nothing of each other's.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/Dirscan.h"
#include "app/SharedFiles.h"
#include "controls/ColorPicker.h"
#include "controls/KXCtrls.h"
#include "controls/ToolEdit.h"
#include "grid/ProGrid.h"
#include "platform/core/FileBytes.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/StdCtrls.h"
#include "tests/app/MainFormFixture.h"
#include "tests/common/TestFiles.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

using TBoxes = std::vector<std::pair<int, const char*>>;

// A shared file as the user saves it.
struct TKind {
    const char* Name;
    std::string File;   // in the program folder
    bool Scrambled;
    bool Removed;                      // the other login removes the file instead
    std::function<void()> Load;        // when the start-up has not read it
    std::function<void()> Change;      // on the screen, marked modified as the user's edits mark it
    std::function<void()> Save;        // as the user starts it
    TBoxes ThenNo, ThenYes;            // the boxes after the question
    std::function<bool()> OnScreen;    // the change still shown and still modified
    AnsiString Written;                // what the file holds after the save (plain text)
    std::vector<std::string> Saves;    // the files the save writes, in order
};

// The test program run again as another login's process: its test AnotherLogin.DISABLED_Test with
// its task (lines) in VELMAROK_OTHER_LOGIN, its output in Log. It tells that it is ready
// on its descriptor 3 and goes on when told, or when its standard input is closed.
class TOtherLogin {
public:
    TOtherLogin(const std::string& Test, const std::string& Task, std::string Log) : FLog(std::move(Log))
    {
        int ready[2], go[2];
        if (::pipe2(ready, O_CLOEXEC) != 0 || ::pipe2(go, O_CLOEXEC) != 0)
            return;
        FReady = ready[0];
        FGo = go[1];
        std::vector<std::string> env = {"VELMAROK_OTHER_LOGIN=" + Task};
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("VELMAROK_OTHER_LOGIN=", 0) != 0)
                env.push_back(*e);
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string exe = fs::read_symlink("/proc/self/exe").string();
        std::string filter = "--gtest_filter=AnotherLogin.DISABLED_" + Test, disabled = "--gtest_also_run_disabled_tests";
        char* argv[] = {exe.data(), filter.data(), disabled.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, go[0], 0);
        posix_spawn_file_actions_addopen(&actions, 1, FLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        posix_spawn_file_actions_adddup2(&actions, ready[1], 3);
        // Not in a working folder an earlier test may have removed.
        posix_spawn_file_actions_addchdir_np(&actions, "/");
        if (::posix_spawn(&FPid, exe.c_str(), &actions, nullptr, argv, envp.data()) != 0)
            FPid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(go[0]);
        ::close(ready[1]);
    }
    ~TOtherLogin()
    {
        Go();
        Wait();
        if (FReady >= 0)
            ::close(FReady);
    }
    TOtherLogin(const TOtherLogin&) = delete;
    TOtherLogin& operator=(const TOtherLogin&) = delete;
    // False when the process ended without telling.
    bool Ready()
    {
        char c;
        return FPid > 0 && ::read(FReady, &c, 1) == 1;
    }
    void Go()
    {
        if (FGo >= 0)
            ::close(FGo);
        FGo = -1;
    }
    // The exit status (-1 when it did not end normally).
    int Wait()
    {
        int status = 0;
        if (FPid > 0 && ::waitpid(FPid, &status, 0) == FPid)
            FStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        FPid = -1;
        return FStatus;
    }
    std::string Log() const { return ReadFileBytes(FLog); }

private:
    std::string FLog;
    pid_t FPid = -1;
    int FReady = -1, FGo = -1, FStatus = -1;
};

// The task of this process when it runs as another login, by lines; empty otherwise.
std::vector<std::string> OtherLoginTask()
{
    std::vector<std::string> lines;
    const char* task = std::getenv("VELMAROK_OTHER_LOGIN");
    std::istringstream in(task ? task : "");
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// True when a process holds the lock of the lock file of the program folder's Folder.
bool LockHeld(const std::string& Folder)
{
    const int fd = ::open((Folder + "/.velmarok.lock").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

// Another login's user and group, where the tests may change user (run as root).
constexpr uid_t OtherUid = 54321;
constexpr gid_t OtherGid = 54321;

// While it lives, this process reaches files as the user OtherUid of the group OtherGid alone;
// root comes back at its end.
struct TAsOtherUser {
    std::vector<gid_t> Groups = std::vector<gid_t>(std::size_t(std::max(::getgroups(0, nullptr), 0)));
    TAsOtherUser()
    {
        Groups.resize(std::size_t(std::max(::getgroups(int(Groups.size()), Groups.data()), 0)));
        EXPECT_EQ(::setgroups(1, &OtherGid), 0);
        EXPECT_EQ(::setresgid(OtherGid, OtherGid, 0), 0);
        EXPECT_EQ(::setresuid(OtherUid, OtherUid, 0), 0);
    }
    ~TAsOtherUser()
    {
        EXPECT_EQ(::setresuid(0, 0, 0), 0);
        EXPECT_EQ(::setresgid(0, 0, 0), 0);
        EXPECT_EQ(::setgroups(Groups.size(), Groups.data()), 0);
    }
    TAsOtherUser(const TAsOtherUser&) = delete;
    TAsOtherUser& operator=(const TAsOtherUser&) = delete;
};

// While it lives, Before runs before every rename of the program ahead of the check the shared-file
// locks make.
struct TBeforeRenames {
    TReplaceCheck Program;
    explicit TBeforeRenames(std::function<void(const std::string& Target)> Before)
    {
        Program = SetReplaceCheckOs(nullptr);
        SetReplaceCheckOs([this, Before](const std::string& Tmp, const std::string& Target) {
            Before(Target);
            return !Program || Program(Tmp, Target);
        });
    }
    ~TBeforeRenames() { SetReplaceCheckOs(Program); }
    TBeforeRenames(const TBeforeRenames&) = delete;
    TBeforeRenames& operator=(const TBeforeRenames&) = delete;
};

// Tells the test that started this process that it is ready, and waits until it says go.
void ReadyThenWait()
{
    char c = 'r';
    ASSERT_EQ(::write(3, &c, 1), 1);
    ::close(3);
    while (::read(0, &c, 1) > 0) {
    }
}

// This test program as another login's process (see TOtherLogin), and the base of the tests that
// start it.
class AnotherLogin : public TMainFormTest {
protected:
    // The main window started on the program folder Folder, the login at level 4.
    void StartOn(const std::string& Folder)
    {
        ProgramFolder = FromOsPath(Folder) + "/";
        ExeFolder = ProgramFolder;
        MarkFirstRunDone();
        Restart();
        CurrentUserLevel = 4;
    }
};

class SharedFiles : public AnotherLogin {
protected:
    void SetUp() override
    {
        AnotherLogin::SetUp();
        PrepareStart();
        Write("Katalog Norm\\normy_wszystkie.txt", "PN-EN 1|Aktualna|Jest||T|O|\r\n");
        Write("Wykazy\\w.txt", "PN-EN 1|PN-EN 1||||\r\n");
        Form->DoCreate();
        ClearRecordedDialogs();
        CurrentUserLevel = 4;
    }
    void TearDown() override
    {
        SetSharedFileLockWait(5000);
        AnotherLogin::TearDown();
    }
    // The question as the user reads it, for a file of the program folder ("a/b.txt").
    AnsiString Question(const std::string& Name) const
    {
        return "Plik " + FromOsPath(FDir + "/" + Name) +
               " został zmieniony przez innego użytkownika po jego wczytaniu.\r\r"
               "TAK - zapisz moje zmiany (zmiany innego użytkownika zostaną utracone),\r"
               "NIE - nie zapisuj; moje zmiany zostaną na ekranie.";
    }
    // The message of a save that found another login's save of the file under way.
    AnsiString Busy(const std::string& Name) const
    {
        return "Plik " + FromOsPath(FDir + "/" + Name) +
               " jest właśnie zapisywany przez innego użytkownika. Zmiany pozostają na ekranie; spróbuj zapisać je "
               "ponownie za chwilę.";
    }
    // The message of a save whose lock file is damaged: Damage says how.
    AnsiString Damaged(const std::string& Name, const AnsiString& Damage) const
    {
        return "Plik " + FromOsPath(FDir + "/" + Name) +
               " nie może zostać zapisany, bo nie można go zablokować przed zapisem innych użytkowników: plik "
               "blokady " +
               LockFile(Name) + " " + Damage +
               ".\r\rZmiany pozostają na ekranie. Popraw lub usuń plik blokady (program utworzy go ponownie) i "
               "zapisz je jeszcze raz.";
    }
    // The message of a save whose lock file was removed or replaced while it held it, and whose file
    // another login saved meanwhile.
    AnsiString Lost(const std::string& Name) const
    {
        return "Plik blokady " + LockFile(Name) + " został usunięty lub podmieniony w czasie zapisu pliku " +
               FromOsPath(FDir + "/" + Name) +
               ", a inny użytkownik zapisał w tym czasie ten plik. Zmiany pozostają na ekranie; zapisz je ponownie.";
    }
    AnsiString LockFile(const std::string& Name) const
    {
        return FromOsPath((fs::path(FDir + "/" + Name).parent_path() / ".velmarok.lock").string());
    }
    // Every shared file the user saves.
    std::vector<TKind> Kinds()
    {
        TProStringGrid* catalogue = Form->sg_WszystkieNormy;
        TProStringGrid* list = Form->sg_NowyEdytujWykaz;
        TColorBtn* color = Form->colbtn_NormaAktualna;
        const TBoxes configSaved = {{IDOK, "Zmiany poprawnie zapisane."}};
        auto openList = [this] {
            Form->OpenListFile(Path("Wykazy\\w.txt"), "W");
            Form->sb_NowyWykaz_EdytujClick(nullptr);
        };
        auto changeList = [this, list] {
            list->SetCells(1, 1, "PN-MOJA");
            Form->sb_Edytuj_ZapiszZmiany->SetEnabled(true);
        };
        auto listShown = [this, list] {
            return list->Cells(1, 1) == "PN-MOJA" && Form->sb_Edytuj_ZapiszZmiany->Enabled();
        };
        const std::string settings = "Ustawienia/" + ToOsPath(GetWindowsUserName()) + ".dat";
        return {
            {"catalogue", "Katalog Norm/normy_wszystkie.txt", false, false, nullptr,
             [catalogue] {
                 catalogue->SetCells(1, 1, "PN-MOJA");
                 NormListModified = true;
             },
             [this, catalogue] { Form->SaveNormList(catalogue); }, {},
             {{IDNO, "Zrobić kopię"}, {IDOK, "pomyślnie zaktualizowany"}},
             [catalogue] { return catalogue->Cells(1, 1) == "PN-MOJA" && NormListModified; },
             "PN-MOJA|Aktualna|Jest||T|O|", {}},
            {"register", "Wykazy/w.txt", false, false, openList, changeList, [this] { Form->SaveListFile(); }, {},
             {}, listShown, "PN-MOJA|PN-EN 1||||", {}},
            {"register removed", "Wykazy/w.txt", false, true, openList, changeList, [this] { Form->SaveListFile(); },
             {}, {}, listShown, "PN-MOJA|PN-EN 1||||", {}},
            {"menu file", "Ustawienia/kategorie.ini", false, false, [this] { Form->RunMenuCommand("Menu", "Menu"); },
             [this] {
                 Form->e_MG_NazwaNowejPoz->SetText("Armatura");
                 Form->sb_MG_Dodaj->Click();
             },
             [this] { Form->sb_MG_Zapisz->Click(); }, {}, {{IDOK, "Wszystkie wprowadzone zmiany"}},
             [this] {
                 return Form->clb_MG_PrzyciskiMenuGlownego->Items()->IndexOf("Armatura") >= 0 &&
                        Form->sb_MG_Zapisz->Enabled();
             },
             "Armatura=1", {}},
            // The users list not written is not told as saved.
            {"users list", "Ustawienia/users.dat", true, false, nullptr,
             [this] {
                 Form->lb_UserName->Items()->Add("ewa");
                 Form->sb_Uzytkownicy_Zapisz->SetEnabled(true);
             },
             [this] { Form->sb_Foldery_ZapiszClick(Form->sb_Uzytkownicy_Zapisz); }, {}, configSaved,
             [this] {
                 return Form->lb_UserName->Items()->IndexOf("ewa") >= 0 && Form->sb_Uzytkownicy_Zapisz->Enabled();
             },
             "ewa=", {"config.dat", "Ustawienia/users.dat"}},
            {"configuration", "config.dat", true, false, nullptr, [this] { Form->e_KierownikDzialu->SetText("szef"); },
             [this] { Form->sb_Foldery_ZapiszClick(Form->sb_Uzytkownicy_Zapisz); }, {}, configSaved,
             [this] { return Form->e_KierownikDzialu->Text() == "szef" && Form->sb_Uzytkownicy_Zapisz->Enabled(); },
             "\r\nszef\r\n", {"config.dat", "Ustawienia/users.dat"}},
            {"login's settings", settings, true, false, nullptr,
             [color, this] {
                 color->SetActiveColor(TColor(0x123456));
                 Form->sb_ZastosujUstawieniaProgramu->SetEnabled(true);
             },
             [this] { Form->sb_ZastosujUstawieniaProgramuClick(nullptr); }, {}, {},
             [color, this] {
                 return color->ActiveColor() == TColor(0x123456) && Form->sb_ZastosujUstawieniaProgramu->Enabled();
             },
             "SN_Aktualna=" + IntToStr(0x123456), {}},
        };
    }
    AnsiString Plain(const TKind& Kind, const AnsiString& File) const
    {
        return Kind.Scrambled ? ReadScrambledFile(File) : LoadBytesFromFile(File);
    }
};

}  // namespace

TEST_F(SharedFiles, ASaveOverAnotherLoginsChangeAsksAndNoWritesNothing)
{
    for (const TKind& k : Kinds()) {
        SCOPED_TRACE(k.Name);
        const AnsiString file = FromOsPath(FDir + "/" + k.File);
        if (k.Load)
            k.Load();
        k.Change();
        // Another login saves the file (or removes it) after this one read it.
        if (k.Removed)
            fs::remove(ToOsPath(file));
        else if (k.Scrambled)
            WriteScrambledFile(file, "[Inny]\r\nZapis=1\r\n");
        else
            SaveBytesToFile(file, "PN-INNA|Aktualna|Brak||||\r\n");
        const bool there = FileExists(file);
        const AnsiString other = there ? LoadBytesFromFile(file) : AnsiString();

        for (int answer : {IDNO, IDYES}) {
            ClearRecordedDialogs();
            ScriptDialogs().ExpectMessageBox(answer, Question(k.File));
            for (const auto& [result, text] : answer == IDNO ? k.ThenNo : k.ThenYes)
                ScriptDialogs().ExpectMessageBox(result, text);
            k.Save();
            ASSERT_TRUE(VerifyNoPendingDialogs());
            const TRecordedDialog& asked = RecordedDialogs().front();
            EXPECT_EQ(asked.Text, Question(k.File));
            EXPECT_EQ(asked.Caption, "UWAGA !!!");
            EXPECT_EQ(asked.Flags, unsigned(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));   // Return keeps the other's work
            if (answer == IDNO) {
                EXPECT_EQ(FileExists(file), there);
                EXPECT_EQ(there ? LoadBytesFromFile(file) : AnsiString(), other);
                EXPECT_TRUE(k.OnScreen());
            }
        }
        const AnsiString saved = Plain(k, file);
        EXPECT_NE(saved.find(k.Written), AnsiString::npos) << saved;
    }
}

TEST_F(SharedFiles, TheCataloguesDatedCopyHoldsWhatThisProgramWrote)
{
    fs::create_directories(FDir + "/kopie");
    Form->edt_KopiaBazyNorm->SetText(ProgramFolder + "kopie\\");
    SetTestClock(EncodeDate(2026, 12, 6) + EncodeTime(9, 5, 7, 0));
    Form->sg_WszystkieNormy->SetCells(1, 1, "PN-MOJA");
    const AnsiString catalogue = Path("Katalog Norm\\normy_wszystkie.txt");
    // Another login saves while the question about the copy is shown.
    ScriptDialogs()
        .ExpectDialog(dkMessageBox, "Zrobić kopię", IDYES,
                      [&](TDialogRequest&) { SaveBytesToFile(catalogue, "PN-INNA|Aktualna|Brak||||\r\n"); })
        .ExpectMessageBox(IDOK, "pomyślnie zaktualizowany");
    Form->SaveNormList(Form->sg_WszystkieNormy);
    EXPECT_EQ(LoadBytesFromFile(Path("kopie\\normy_wszystkie (kopia z 06-12-2026 09-05-07).txt")),
              "PN-MOJA|Aktualna|Jest||T|O|\r\n");
}

TEST_F(SharedFiles, TheQuestionWaitsWithTheLockLetGoAndAChangeSavedMeanwhileIsAskedAbout)
{
    const AnsiString list = Path("Wykazy\\w.txt");
    Form->OpenListFile(list, "W");
    Form->sb_NowyWykaz_EdytujClick(nullptr);
    Form->sg_NowyEdytujWykaz->SetCells(1, 1, "PN-MOJA");
    SaveBytesToFile(list, "PN-INNA|PN-INNA||||\r\n");
    // While the user reads the question, nobody's save waits for the answer, and another one is saved.
    ScriptDialogs()
        .ExpectDialog(dkMessageBox, Question("Wykazy/w.txt"), IDYES,
                      [&](TDialogRequest&) {
                          EXPECT_FALSE(LockHeld(FDir + "/Wykazy"));
                          SaveBytesToFile(list, "PN-TRZECIA|PN-TRZECIA||||\r\n");
                      })
        .ExpectMessageBox(IDNO, Question("Wykazy/w.txt"));
    EXPECT_FALSE(Form->SaveListFile());
    EXPECT_TRUE(VerifyNoPendingDialogs());
    EXPECT_EQ(LoadBytesFromFile(list), "PN-TRZECIA|PN-TRZECIA||||\r\n");
    EXPECT_FALSE(LockHeld(FDir + "/Wykazy"));
    // The lock file is the folder's own, made beside the files and kept out of the registers' scan.
    EXPECT_TRUE(FileExists(Path("Wykazy\\.velmarok.lock")));
    std::vector<AnsiString> scanned;
    ScanDirectory(Path("Wykazy"), "*.txt", [&](const AnsiString&, const TSearchRec& F) {
        scanned.push_back(F.Name);
        return true;
    });
    EXPECT_EQ(std::count(scanned.begin(), scanned.end(), "w.txt"), 1);
    EXPECT_EQ(std::count(scanned.begin(), scanned.end(), ".velmarok.lock"), 0);
}

TEST_F(SharedFiles, ASaveWhileAnotherLoginsSaveHoldsTheFileWaitsThenSaysSoAndKeepsTheChanges)
{
    std::vector<TKind> kinds = Kinds();
    std::erase_if(kinds, [](const TKind& k) { return k.Removed; });
    std::string task = "hold";
    for (const TKind& k : kinds)
        task += "\n" + FDir + "/" + k.File;
    TOtherLogin other("HoldsTheLocks", task, FDir + "/holder.log");
    ASSERT_TRUE(other.Ready()) << other.Log();
    SetSharedFileLockWait(200);
    for (const TKind& k : kinds) {
        SCOPED_TRACE(k.Name);
        const AnsiString file = FromOsPath(FDir + "/" + k.File);
        if (k.Load)
            k.Load();
        k.Change();
        const AnsiString before = LoadBytesFromFile(file);
        const std::vector<std::string> saves = k.Saves.empty() ? std::vector<std::string>{k.File} : k.Saves;
        ClearRecordedDialogs();
        for (const std::string& f : saves)
            ScriptDialogs().ExpectMessageBox(IDOK, Busy(f));
        const auto start = std::chrono::steady_clock::now();
        k.Save();
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200 * saves.size()));
        ASSERT_TRUE(VerifyNoPendingDialogs());
        for (std::size_t i = 0; i < saves.size(); ++i) {
            EXPECT_EQ(RecordedDialogs()[i].Text, Busy(saves[i]));
            EXPECT_EQ(RecordedDialogs()[i].Caption, "UWAGA !!!");
            EXPECT_EQ(RecordedDialogs()[i].Flags, unsigned(MB_OK | MB_ICONINFORMATION));
        }
        EXPECT_EQ(LoadBytesFromFile(file), before);
        EXPECT_TRUE(k.OnScreen());
    }
    // Neither is a level chosen on the rights page written, nor the login's settings file removed
    // to restore the default appearance.
    const struct {
        std::string File;
        std::function<void()> Change;
    } changes[] = {
        {"Ustawienia/users.dat",
         [this] {
             Form->RunMenuCommand("Uprawnienia", "Uprawnienia");
             Form->lb_Userzy->SetItemIndex(0);
             Form->cb_Uprawnienia->SetItemIndex(1);
             Form->cb_UprawnieniaChange(nullptr);
         }},
        {"Ustawienia/" + ToOsPath(GetWindowsUserName()) + ".dat", [this] { Form->SpeedButton3->Click(); }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.File);
        const AnsiString file = FromOsPath(FDir + "/" + c.File);
        const AnsiString before = LoadBytesFromFile(file);
        Form->SpeedButton3->SetEnabled(true);
        ScriptDialogs().ExpectMessageBox(IDOK, Busy(c.File));
        c.Change();
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(LoadBytesFromFile(file), before);
        EXPECT_TRUE(Form->SpeedButton3->Enabled());
    }

    // Once the other login's save is done, each save goes through.
    other.Go();
    EXPECT_EQ(other.Wait(), 0) << other.Log();
    for (const TKind& k : kinds) {
        SCOPED_TRACE(k.Name);
        for (const auto& [result, text] : k.ThenYes)
            ScriptDialogs().ExpectMessageBox(result, text);
        k.Save();
        ASSERT_TRUE(VerifyNoPendingDialogs());
        const AnsiString saved = Plain(k, FromOsPath(FDir + "/" + k.File));
        EXPECT_NE(saved.find(k.Written), AnsiString::npos) << saved;
    }
}

TEST_F(SharedFiles, ASaveNeverGoesOnBesideAnotherWhateverIsAtTheLockFilesName)
{
    // The register saved by this login, or by another login's process under a user and group of its
    // own; the lock file as a row lays it before the save, or changes it just before the save's rename.
    const std::string name = "Wykazy/w.txt", list = FDir + "/" + name, lock = ToOsPath(LockFile(name));
    const AnsiString mine = "PN-MOJA|PN-EN 1||||\r\n", before = "PN-EN 1|PN-EN 1||||\r\n", other = "PN-INNA|||||\r\n";
    ASSERT_EQ(::chmod(FDir.c_str(), 0755), 0);
    WriteFileBytes(FDir + "/other.bytes", other);
    WriteFileBytes(FDir + "/elsewhere", "x");
    // The folder as the other login's user may write it (the group's, 2775; each row's start) or not.
    const auto shared = [&](bool Writable) {
        for (const auto& [file, mode] : {std::pair{list, 0664}, std::pair{FDir + "/Wykazy", 02775}}) {
            ASSERT_EQ(::chown(file.c_str(), 0, Writable ? OtherGid : 0), 0);
            ASSERT_EQ(::chmod(file.c_str(), Writable ? mode : mode & 0755), 0);
        }
    };
    // A lock file as the first login of a folder without the set-group-ID bit makes it.
    const auto lockOfRoot = [&](mode_t Mode) {
        WriteFileBytes(lock, "");
        ASSERT_EQ(::chmod(lock.c_str(), Mode), 0);
    };
    const auto anotherSaves = [&] {
        TOtherLogin writer("WritesUnderTheLock", "write\n" + list + "\n" + FDir + "/other.bytes", FDir + "/w.log");
        ASSERT_TRUE(writer.Ready()) << writer.Log();
        writer.Go();
        EXPECT_EQ(writer.Wait(), 0) << writer.Log();
    };
    const auto folder = [&] {
        fs::remove_all(lock);
        fs::create_directory(lock);
    };
    const AnsiString link = "jest dowiązaniem symbolicznym, a nie plikiem", isFolder = "jest folderem, a nie plikiem";
    const AnsiString error = "BŁĄD !!!", failed = "NIE MOGĘ ZAPISAĆ ZMIAN W WYKAZIE !!!\rNIE MASZ DO TEGO ODPOWIEDNICH UPRAWNIEŃ !!!";
    using TBoxTexts = std::vector<std::pair<AnsiString, AnsiString>>;
    const struct {
        const char* Name;
        std::function<void()> Lay;           // before the save
        std::function<void()> BeforeRename;  // while the save holds the lock
        bool ByOtherUser, HeldHere;          // saved by the other login's user; the lock held by this login
        TBoxTexts Boxes;
        AnsiString Written;
    } rows[] = {
        {"0644 of the first login, held by it", [&] { lockOfRoot(0644); }, nullptr, true, true,
         {{"UWAGA !!!", Busy(name)}}, before},
        {"0644 of the first login, free", [&] { lockOfRoot(0644); }, nullptr, true, false, {},
         "PN-DRUGI|PN-EN 1||||\r\n"},
        {"0600 of the first login", [&] { lockOfRoot(0600); }, nullptr, true, false,
         {{error, Damaged(name, "nie daje się otworzyć z tego konta (właściciel: root, grupa: 54321, prawa: 0600)")}},
         before},
        {"none, in a folder the login may not write", [&] { shared(false); }, nullptr, true, false,
         {{error, failed}}, before},
        {"a folder", folder, nullptr, false, false, {{error, Damaged(name, isFolder)}}, before},
        {"a link to a file", [&] { fs::create_symlink(FDir + "/elsewhere", lock); }, nullptr, false, false,
         {{error, Damaged(name, link)}}, before},
        {"a link to nothing", [&] { fs::create_symlink(FDir + "/nowhere", lock); }, nullptr, false, false,
         {{error, Damaged(name, link)}}, before},
        {"removed while held, another login saving meanwhile", nullptr,
         [&] {
             fs::remove(lock);
             anotherSaves();
         },
         false, false, {{error, Lost(name)}, {error, failed}}, other},
        {"replaced by a new file while held", nullptr,
         [&] {
             WriteFileBytes(lock + ".new", "");
             fs::rename(lock + ".new", lock);
         },
         false, false, {}, mine},
        {"replaced by a folder while held", nullptr, folder, false, false,
         {{error, Damaged(name, isFolder)}, {error, failed}}, before},
        {"replaced by a link while held", nullptr,
         [&] {
             fs::remove(lock);
             fs::create_symlink(FDir + "/nowhere", lock);
         },
         false, false, {{error, Damaged(name, link)}, {error, failed}}, before},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Name);
        if (r.ByOtherUser && ::geteuid() != 0)
            continue;   // no other user to be
        shared(true);
        WriteFileBytes(list, before);
        fs::remove_all(lock);
        if (r.Lay)
            r.Lay();
        bool saved = false;
        TBoxTexts boxes;
        if (r.ByOtherUser) {
            TSharedFileLock held(FromOsPath(list));
            ASSERT_TRUE(!r.HeldHere || held.Take());
            TOtherLogin saver("SavesTheRegisterAsAnotherUser", "save\n" + FDir + "\n" + FDir + "/saver.txt",
                              FDir + "/saver.log");
            ASSERT_TRUE(saver.Ready()) << saver.Log();
            saver.Go();
            ASSERT_EQ(saver.Wait(), 0) << saver.Log();
            std::istringstream in(ReadFileBytes(FDir + "/saver.txt"));
            in >> saved;
            for (std::string caption, text; std::getline(in, caption, '\t') && std::getline(in, text, '\t');)
                boxes.emplace_back(caption.substr(caption.find_first_not_of('\n')), text);
        } else {
            Form->sb_Edytuj_ZapiszZmiany->SetEnabled(false);   // the last row's changes let go
            Form->OpenListFile(FromOsPath(list), "W");
            Form->sb_NowyWykaz_EdytujClick(nullptr);
            Form->sg_NowyEdytujWykaz->SetCells(1, 1, "PN-MOJA");
            Form->sb_Edytuj_ZapiszZmiany->SetEnabled(true);
            ClearRecordedDialogs();
            for (const auto& b : r.Boxes)
                ScriptDialogs().ExpectMessageBox(IDOK, b.second);
            bool once = false;
            TBeforeRenames during([&](const std::string& Target) {
                if (r.BeforeRename && Target == list && !std::exchange(once, true))
                    r.BeforeRename();
            });
            saved = Form->SaveListFile();
            EXPECT_TRUE(VerifyNoPendingDialogs());
            for (const TRecordedDialog& d : RecordedDialogs())
                boxes.emplace_back(d.Caption, d.Text);
            // Nothing written: the changes stay on the screen, marked modified.
            if (!saved) {
                EXPECT_EQ(Form->sg_NowyEdytujWykaz->Cells(1, 1), "PN-MOJA");
                EXPECT_TRUE(Form->sb_Edytuj_ZapiszZmiany->Enabled());
            }
        }
        EXPECT_EQ(saved, r.Boxes.empty());
        EXPECT_EQ(boxes, r.Boxes);
        EXPECT_EQ(ReadFileBytes(list), r.Written);
        // A link is never followed.
        EXPECT_FALSE(fs::exists(FDir + "/nowhere"));
        EXPECT_EQ(ReadFileBytes(FDir + "/elsewhere"), "x");
    }
}

TEST_F(SharedFiles, ASaveRemovesWhatKilledSavesOfItsFileLeftBehind)
{
    // A process that has ended, and one that runs.
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ASSERT_GT(ended, 0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    const std::string gone = std::to_string(ended);
    const struct {
        std::string Name;   // in the register's folder
        int Minutes;        // since it last changed
        bool Removed;
    } rows[] = {
        {".w.txt.tmp" + gone + "-3", 61, true},
        {".w.txt.tmp" + gone + "-4", 59, false},   // perhaps another computer's save, still writing
        {".w.txt.tmp1-5", 600, false},             // its process runs
        {".x.txt.tmp" + gone + "-6", 600, false},  // another file's
        {".w.txt.tmp" + gone + "-7.txt", 600, false},
        {".w.txt.tmp" + gone, 600, false},
        {"w.txt.tmp" + gone + "-8", 600, false},
    };
    const auto now = std::chrono::system_clock::now();
    for (const auto& r : rows) {
        const std::string file = FDir + "/Wykazy/" + r.Name;
        WriteFileBytes(file, "part of a register");
        const auto when = std::chrono::duration_cast<std::chrono::seconds>(
            (now - std::chrono::minutes(r.Minutes)).time_since_epoch());
        const struct timespec times[2] = {{when.count(), 0}, {when.count(), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    }
    Form->OpenListFile(Path("Wykazy\\w.txt"), "W");
    Form->sb_NowyWykaz_EdytujClick(nullptr);
    Form->sg_NowyEdytujWykaz->SetCells(1, 1, "PN-MOJA");
    ASSERT_TRUE(Form->SaveListFile());
    for (const auto& r : rows)
        EXPECT_EQ(fs::exists(FDir + "/Wykazy/" + r.Name), !r.Removed) << r.Name;
}

TEST_F(SharedFiles, TwoLoginsSavingInALoopLoseNoSaveAndLeaveNoTemporaryFile)
{
    // Each saves the catalogue and a register, one after the other, for three seconds,
    // answering No when asked about the other's change.
    std::vector<std::unique_ptr<TOtherLogin>> logins;
    for (const char* id : {"1", "2"})
        logins.push_back(std::make_unique<TOtherLogin>(
            "SavesInALoop", "save\n" + FDir + "\n3000\n" + id + "\n" + FDir + "/login-" + id + ".txt",
            FDir + "/login-" + id + ".log"));
    for (auto& l : logins)
        ASSERT_TRUE(l->Ready()) << l->Log();
    for (auto& l : logins)
        l->Go();
    for (auto& l : logins)
        EXPECT_EQ(l->Wait(), 0) << l->Log();

    const AnsiString catalogue = Read("Katalog Norm\\normy_wszystkie.txt"), list = Read("Wykazy\\w.txt");
    int done[2] = {0, 0}, lost = 0;
    std::string lostNames;
    std::map<std::string, long> counts;
    for (const char* id : {"1", "2"}) {
        std::istringstream in(ReadFileBytes(FDir + "/login-" + id + ".txt"));
        for (std::string what, value; in >> what >> value;) {
            if (what == "C" || what == "R") {
                const AnsiString& file = what == "C" ? catalogue : list;
                ++done[what == "R"];
                // Every save reported done is in the final file.
                if (file.find("\n" + value + "|") == AnsiString::npos && ++lost <= 10)
                    lostNames += " " + value;
            } else {
                counts[what] += std::stol(value);
            }
        }
    }
    std::cout << "saves done: catalogue " << done[0] << ", register " << done[1] << "; lost " << lost
              << "; waited for the other's lock " << counts["waited"] << "; asked about the other's change "
              << counts["asked"] << "; found it held past the wait " << counts["busy"] << "\n";
    EXPECT_EQ(lost, 0) << "lost, among others:" << lostNames;
    EXPECT_GT(done[0], 1);
    EXPECT_GT(done[1], 1);
    EXPECT_GT(counts["waited"], 0);
    EXPECT_EQ(counts["other"], 0);
    for (const auto& e : fs::recursive_directory_iterator(FDir))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

TEST_F(SharedFiles, ADefaultFileOfAStartNeverReplacesTheFileAnotherLoginsStartWrote)
{
    // Another login's start holds the lock of a file that this start finds missing (or, the menu
    // file, without its tree) and writes the file once this start waits for the lock: this start
    // goes on with that file, as if it had found it, and writes no default over it.
    const AnsiString login = GetWindowsUserName();
    const struct {
        std::string File;
        AnsiString Bytes;   // as the other login writes them
        bool Emptied;       // found empty instead of missing
    } cases[] = {
        {"config.dat", Read("config.dat"), false},
        {"Ustawienia/users.dat",
         EncodeScrambledText("[UsersName]\r\newa=\r\n" + login + "=\r\n[Level]\r\n" + login +
                             "=3\r\n[Options]\r\nRunUserOut=0\r\n"),
         false},
        {"Ustawienia/" + ToOsPath(login) + ".dat",
         EncodeScrambledText("[UserName]\r\nUserName=" + login + "\r\n[StanNormColor]\r\nSN_Aktualna=1193046\r\n"),
         false},
        {"Ustawienia/kategorie.ini", "[Kategorie]\r\nArmatura=\r\n[Armatura]\r\nZawory=\r\n", false},
        {"Ustawienia/kategorie.ini", "[Kategorie]\r\nArmatura=\r\n[Armatura]\r\nZawory=\r\n", true},
        {"Wykazy/z_u.txt", "PN-INNA|PN-INNA||||\r\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File + (c.Emptied ? " (empty)" : ""));
        PrepareStart();
        Write("Wykazy\\z_u.txt", "PN-EN 1|PN-EN 1||||\r\n");
        Write("Wykazy\\bez_u.txt", "PN-EN 1|PN-EN 1||||\r\n");
        const std::string file = FDir + "/" + c.File;
        if (c.Emptied)
            WriteFileBytes(file, "");
        else
            fs::remove(file);
        WriteFileBytes(FDir + "/other.bytes", c.Bytes);
        TOtherLogin other("WritesUnderTheLock", "write\n" + file + "\n" + FDir + "/other.bytes", FDir + "/other.log");
        ASSERT_TRUE(other.Ready()) << other.Log();
        // Told to write once this start waits for the lock (or, when it never does, once it ended).
        const unsigned waits = SharedFileLockWaits();
        std::atomic<bool> started = true;
        std::thread teller([&] {
            while (started && SharedFileLockWaits() == waits)
                std::this_thread::yield();
            other.Go();
        });
        ClearRecordedDialogs();
        EXPECT_NO_THROW(Restart());
        started = false;
        teller.join();
        EXPECT_EQ(ReadFileBytes(file), c.Bytes);
        EXPECT_TRUE(RecordedDialogs().empty()) << RecordedDialogs().front().Text;
        EXPECT_FALSE(Application->Terminated());
        EXPECT_EQ(other.Wait(), 0) << other.Log();
    }
}

// ---------------------------------------------------------------- as another login's process

TEST_F(AnotherLogin, DISABLED_HoldsTheLocks)
{
    const std::vector<std::string> task = OtherLoginTask();
    ASSERT_FALSE(task.empty());
    std::vector<std::unique_ptr<TSharedFileLock>> locks;
    for (std::size_t i = 1; i < task.size(); ++i) {
        locks.push_back(std::make_unique<TSharedFileLock>(FromOsPath(task[i])));
        ASSERT_TRUE(locks.back()->Take());
    }
    ReadyThenWait();
}

TEST_F(AnotherLogin, DISABLED_WritesUnderTheLock)
{
    const std::vector<std::string> task = OtherLoginTask();   // write, the file, the file of its bytes
    ASSERT_EQ(task.size(), 3u);
    TSharedFileLock lock(FromOsPath(task[1]));
    ASSERT_TRUE(lock.Take());
    ReadyThenWait();
    WriteFileBytes(task[1], ReadFileBytes(task[2]));
}

TEST_F(AnotherLogin, DISABLED_SavesTheRegisterAsAnotherUser)
{
    const std::vector<std::string> task = OtherLoginTask();   // save, folder, result file
    ASSERT_EQ(task.size(), 3u);
    StartOn(task[1]);
    SetSharedFileLockWait(200);
    std::string out;
    TDialogHook hook = SetDialogHook([&](TDialogRequest& Box) -> int {
        out += "\n" + Box.Caption + "\t" + Box.Text + "\t";
        return IDOK;
    });
    ReadyThenWait();
    bool saved = false;
    {
        TAsOtherUser user;
        Form->OpenListFile(Path("Wykazy\\w.txt"), "W");
        Form->sb_NowyWykaz_EdytujClick(nullptr);
        Form->sg_NowyEdytujWykaz->SetCells(1, 1, "PN-DRUGI");
        saved = Form->SaveListFile();
    }
    SetDialogHook(hook);
    WriteFileBytes(task[2], (saved ? "1" : "0") + out);
}

TEST_F(AnotherLogin, DISABLED_SavesInALoop)
{
    const std::vector<std::string> task = OtherLoginTask();   // save, folder, milliseconds, id, result file
    ASSERT_EQ(task.size(), 5u);
    StartOn(task[1]);
    std::map<std::string, int> counts;
    bool catalogueSaved = false;
    std::string out;
    TDialogHook hook = SetDialogHook([&](TDialogRequest& Box) -> int {
        const auto has = [&](const char* Text) { return Box.Text.find(Text) != AnsiString::npos; };
        if (has("został zmieniony przez innego użytkownika"))
            return ++counts["asked"], IDNO;
        if (has("jest właśnie zapisywany przez innego użytkownika"))
            return ++counts["busy"], IDOK;
        if (has("Zrobić kopię"))
            return IDNO;
        if (has("Spis norm został pomyślnie zaktualizowany."))
            return catalogueSaved = true, IDOK;
        ++counts["other"];
        std::cerr << "box: " << Box.Text << "\n";
        return IDOK;
    });
    const unsigned waits = SharedFileLockWaits();
    ReadyThenWait();
    TProStringGrid* catalogue = Form->sg_WszystkieNormy;
    TProStringGrid* list = Form->sg_NowyEdytujWykaz;
    const Cardinal until = GetTickCount() + Cardinal(std::stoul(task[2]));
    for (int i = 0; GetTickCount() < until; ++i) {
        const AnsiString number = "PN-" + task[3] + "-" + IntToStr(i);
        Form->LoadNormList(Path("Katalog Norm\\normy_wszystkie.txt"));
        catalogue->SetCells(1, catalogue->RowCount() - 1, number);
        catalogueSaved = false;
        Form->SaveNormList(catalogue);
        if (catalogueSaved)
            out += "C " + number + "\n";
        Form->sb_Edytuj_ZapiszZmiany->SetEnabled(false);
        Form->OpenListFile(Path("Wykazy\\w.txt"), "W");
        Form->sb_NowyWykaz_EdytujClick(nullptr);
        list->SetCells(1, list->RowCount() - 1, number);
        if (Form->SaveListFile())
            out += "R " + number + "\n";
    }
    SetDialogHook(hook);
    counts["waited"] = int(SharedFileLockWaits() - waits);
    for (const auto& [what, n] : counts)
        out += what + " " + std::to_string(n) + "\n";
    WriteFileBytes(task[4], out);
}
