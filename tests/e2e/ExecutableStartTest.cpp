// The velmarok executable itself, started as a user starts it: a copy in a fresh folder (its
// program folder, being writable) on the suite's display, with its own home folder. The test
// watches the display's windows for its first-start message, checks what it wrote, takes a
// picture of the screen and ends the program. Under a window manager the started program is
// driven with real X input (xdotool) and checked in pictures of the screen.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/U_WspolneFunkcje.h"
#include "controls/KXCtrls.h"
#include "grid/ProGrid.h"
#include "platform/core/Classes.h"
#include "tests/app/DialogTest.h"
#include "tests/e2e/ProgramRun.h"

extern char** environ;

namespace {

// The names of the display's windows, one a line, as the window system lists them.
std::string WindowNames()
{
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> p(::popen("xwininfo -root -tree 2>/dev/null", "r"), ::pclose);
    if (!p)
        return out;
    char buf[4096];
    while (std::fgets(buf, sizeof buf, p.get()))
        out += buf;
    return out;
}

// The output of a shell command ("" when it cannot run).
std::string CommandOutput(const std::string& Command)
{
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> p(::popen(Command.c_str(), "r"), ::pclose);
    if (!p)
        return out;
    char buf[4096];
    while (std::fgets(buf, sizeof buf, p.get()))
        out += buf;
    return out;
}

// Real input on the display through xdotool: true when the command succeeded.
bool Xdo(const std::string& Args)
{
    return ::system(("xdotool " + Args + " >/dev/null 2>&1").c_str()) == 0;
}

// The shown windows of a process whose title holds Title, newest last.
std::vector<std::string> ShownWindows(pid_t Pid, const std::string& Title)
{
    std::vector<std::string> ids;
    // All the conditions, not any of them.
    const std::string out = CommandOutput("xdotool search --all --onlyvisible --pid " + std::to_string(Pid) +
                                          " --name '" + Title + "' 2>/dev/null");
    for (size_t start = 0; start < out.size();) {
        size_t end = out.find('\n', start);
        if (end == std::string::npos)
            end = out.size();
        if (end > start)
            ids.push_back(out.substr(start, end - start));
        start = end + 1;
    }
    return ids;
}

// The program started from its copy in Folder with Home as its home folder; ended (SIGTERM) and
// waited for when the object goes.
class TProgramProcess {
public:
    TProgramProcess(const std::filesystem::path& Exe, const std::filesystem::path& Home)
    {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            std::string s = *e;
            if (s.rfind("HOME=", 0) == 0 || s.rfind("XDG_", 0) == 0 || s.rfind("QT_QPA_PLATFORM=", 0) == 0 ||
                s.rfind("VELMAROK_FOLDER=", 0) == 0)
                continue;
            env.push_back(s);
        }
        env.push_back("HOME=" + Home.string());
        env.push_back("XDG_CONFIG_HOME=" + (Home / ".config").string());
        env.push_back("XDG_DATA_HOME=" + (Home / ".local/share").string());
        env.push_back("QT_QPA_PLATFORM=xcb");
        std::vector<char*> envp;
        for (std::string& s : env)
            envp.push_back(s.data());
        envp.push_back(nullptr);
        std::string exe = Exe.string();
        char* argv[] = {exe.data(), nullptr};
        if (::posix_spawn(&FPid, exe.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
            FPid = -1;
    }
    ~TProgramProcess() { End(); }
    bool Started() const { return FPid > 0; }
    pid_t Pid() const { return FPid; }
    // True while the program runs.
    bool Running()
    {
        if (FPid <= 0)
            return false;
        int status = 0;
        if (::waitpid(FPid, &status, WNOHANG) == FPid) {
            FPid = -1;
            return false;
        }
        return true;
    }
    void End()
    {
        if (FPid <= 0)
            return;
        ::kill(FPid, SIGTERM);
        int status = 0;
        ::waitpid(FPid, &status, 0);
        FPid = -1;
    }

private:
    pid_t FPid = -1;
};

class ExecutableStart : public TEndToEnd {
protected:
    void SetUp() override
    {
        TEndToEnd::SetUp();
        Exe = FDir / "velmarok";
        std::filesystem::copy_file(VELMAROK_EXE, Exe);
        Home = FRoot / "home-program";
        std::filesystem::create_directories(Home / ".config");
    }
    // Waits (running this process's event loop) until a window whose listed name contains
    // Title is shown and Also holds; false after 30 s or when the program ended.
    // Waits until the program shows a window whose title holds Title and that is none of
    // Before; its id, or "" after 30 s or when the program ended.
    static std::string WaitForNewWindow(TProgramProcess& P, const std::string& Title,
                                        const std::vector<std::string>& Before = {}, int Ms = 30000)
    {
        std::string id;
        WaitUntil([&] {
            if (!P.Running())
                return true;
            for (const std::string& w : ShownWindows(P.Pid(), Title))
                if (std::find(Before.begin(), Before.end(), w) == Before.end())
                    id = w;
            return !id.empty();
        },
                  Ms);
        return id;
    }
    bool WaitForWindow(TProgramProcess& P, const std::string& Title, const std::function<bool()>& Also = nullptr)
    {
        return WaitUntil([&] { return !P.Running() || (WindowNames().find(Title) != std::string::npos &&
                                                        (!Also || Also())); },
                         30000) &&
               P.Running();
    }
    // The program's window is listed as soon as it is mapped, before it has painted: the
    // picture is taken once something other than the bare (black) display shows.
    static void ScreenShot(const std::string& Name)
    {
        std::unique_ptr<TBitmap> shot;
        auto painted = [&] {
            shot = GrabScreen();
            if (!shot || shot->Empty())
                return false;
            for (int y = 0; y < shot->Height(); ++y) {
                const std::uint32_t* line = shot->ScanLine(y);
                for (int x = 0; x < shot->Width(); ++x)
                    if (line[x] & 0xFFFFFF)
                        return true;
            }
            return false;
        };
        EXPECT_TRUE(WaitUntil(painted, 5000)) << Name;
        ASSERT_TRUE(shot && !shot->Empty());
        TRasterImage png("PNG");
        png.Assign(shot.get());
        png.SaveToFile(FromOsPath(ScreenshotPath("e2e-" + Name + ".png")));
    }
    // The registry of a home folder marks its computer as one the program started on.
    void MarkComputer(const std::filesystem::path& AHome)
    {
        std::filesystem::create_directories(AHome / ".config" / "Tyrvenhold");
        WriteFileBytes((AHome / ".config" / "Tyrvenhold" / "registry.ini").string(),
                       "[HKEY_CURRENT_USER\\Software\\Quorvane\\Tyrvenhold]\r\nPath=sz:" + Exe.string() +
                           "\r\nVersion=sz:" + GetExeVersion() + "\r\nName=sz:Velmarok Polskich Norm\r\n");
    }
    std::filesystem::path Exe, Home;
};

}   // namespace

TEST_F(ExecutableStart, FirstStartOnAComputerShowsTheOnceOnlyMessageAndMarksTheRegistry)
{
    TProgramProcess program(Exe, Home);
    ASSERT_TRUE(program.Started());
    const std::string store = (Home / ".config" / "Tyrvenhold" / "registry.ini").string();
    ASSERT_TRUE(WaitForWindow(program, "INFORMACJA !!!", [&] { return std::filesystem::exists(store); }))
        << WindowNames();
    ScreenShot("10-executable-first-start");
    // The mark is written before the message shows.
    const std::string bytes = ReadFileBytes(store);
    EXPECT_NE(bytes.find("[HKEY_CURRENT_USER\\Software\\Quorvane\\Tyrvenhold]\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("Path=sz:" + Exe.string() + "\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("Name=sz:Velmarok Polskich Norm\r\n"), std::string::npos) << bytes;
    program.End();
}

TEST_F(ExecutableStart, FirstStartInAFolderWritesTheConfigurationAndSaysSo)
{
    // Marked on this computer already: the first start of the folder writes "config.dat".
    MarkComputer(Home);
    TProgramProcess program(Exe, Home);
    ASSERT_TRUE(program.Started());
    ASSERT_TRUE(WaitForWindow(program, "D !!!", [&] { return Exists("config.dat"); })) << WindowNames();
    ScreenShot("11-executable-configuration-written");
    EXPECT_FALSE(std::filesystem::exists(Home / "Desktop"));
    // The default configuration: the five places beside the program, no head of department,
    // outsiders allowed, the head unlimited, then empty lines.
    const AnsiString folder = FromOsPath(FDir.string()) + "/";
    const std::vector<AnsiString> expected = {folder + "Katalog Norm/normy_wszystkie.txt", folder + "Wykazy/",
                                              folder + "Ustawienia/kategorie.ini", folder + "Ustawienia/",
                                              folder + "Katalog Norm/", "", "1", "1", "0"};
    TStringList lines;
    lines.SetText(DecodeScrambledText(Read("config.dat")));
    ASSERT_GE(lines.Count(), 15);
    for (int i = 0; i < lines.Count(); ++i)
        EXPECT_EQ(lines.Strings(i), i < 9 ? expected[size_t(i)] : AnsiString()) << i;
    program.End();
    EXPECT_FALSE(Exists("users.dat"));
}

TEST_F(ExecutableStart, TwoProgramsOnOneFolderTheSecondSaveOfTheCatalogueAsksFirst)
{
    if (!std::getenv("DISPLAY") || CommandOutput("command -v xdotool").empty())
        GTEST_SKIP() << "needs an X display and xdotool";
    // The department's folder as earlier starts leave it; each program on a computer of its own,
    // marked there already.
    const AnsiString folder = FromOsPath(FDir.string()) + "/";
    const AnsiString login = GetWindowsUserName();
    WriteScrambledFile(Path("config.dat"), folder + "Katalog Norm\\normy_wszystkie.txt\r\n" + folder + "Wykazy\\\r\n" +
                                               folder + "Ustawienia\\kategorie.ini\r\n" + folder + "Ustawienia\\\r\n" +
                                               folder + "Katalog Norm\\\r\n\r\n1\r\n1\r\n0\r\n\r\n\r\n\r\n\r\n\r\n");
    ForceDirectories(Path("Ustawienia"));
    ForceDirectories(Path("Wykazy"));
    WriteScrambledFile(Path("Ustawienia/users.dat"), "[UsersName]\r\n" + login + "=\r\n[Level]\r\n" + login +
                                                         "=4\r\n[Options]\r\nRunUserOut=0\r\n");
    Write("Ustawienia/kategorie.ini", "[Kategorie]\r\nWyroby=\r\n[Wyroby]\r\nZawory=\r\n");
    Write("Katalog Norm/normy_wszystkie.txt", "PN-EN 1|Aktualna|Brak||Stal||\r\n");
    const std::filesystem::path homes[] = {FRoot / "home-a", FRoot / "home-b"};
    for (const std::filesystem::path& home : homes)
        MarkComputer(home);
    TProgramProcess a(Exe, homes[0]), b(Exe, homes[1]);
    ASSERT_TRUE(a.Started() && b.Started());
    const std::string mainA = WaitForNewWindow(a, "Velmarok"), mainB = WaitForNewWindow(b, "Velmarok");
    ASSERT_FALSE(mainA.empty()) << WindowNames();
    ASSERT_FALSE(mainB.empty()) << WindowNames();

    // A standard added in the catalogue with real input, and the catalogue saved: a click in the
    // catalogue grid, Ctrl+D, the number, the holding, the title, the state, OK, then "Zapisz".
    auto addAndSave = [&](TProgramProcess& P, const std::string& Main, const std::string& Number) {
        // Both main windows lie at the same place: this one is raised before the click.
        ASSERT_TRUE(Xdo("windowraise " + Main + " windowfocus --sync " + Main + " mousemove --window " + Main +
                        " --sync 500 300 click 1"));
        ASSERT_TRUE(Xdo("key ctrl+d"));
        const std::string add = WaitForNewWindow(P, "Dodaj");
        ASSERT_FALSE(add.empty()) << WindowNames();
        ASSERT_TRUE(Xdo("windowfocus --sync " + add + " type --delay 30 '" + Number + "'"));
        ASSERT_TRUE(Xdo("key Tab type B"));
        ASSERT_TRUE(Xdo("key Tab type --delay 30 Tytul"));
        // Back in the number, Enter moves to the state list.
        ASSERT_TRUE(Xdo("mousemove --window " + add + " --sync 150 36 click 1 key End Return type A"));
        ASSERT_TRUE(Xdo("mousemove --window " + add + " --sync 276 349 click 1"));
        const std::string after = WaitForNewWindow(P, "UWAGA");
        ASSERT_FALSE(after.empty()) << WindowNames();
        ASSERT_TRUE(Xdo("windowfocus --sync " + after + " mousemove --window " + after + " --sync 209 160 click 1"));
        ASSERT_TRUE(WaitUntil([&] {
            const std::vector<std::string> shown = ShownWindows(P.Pid(), "UWAGA");
            return std::find(shown.begin(), shown.end(), after) == shown.end();
        },
                              30000));
    };

    // The first program saves: the dated copy is declined, the success is shown.
    addAndSave(a, mainA, "PN-EN 1111");
    ASSERT_FALSE(HasFatalFailure());
    const std::string copy = WaitForNewWindow(a, "UWAGA");
    ASSERT_FALSE(copy.empty()) << WindowNames();
    ASSERT_TRUE(Xdo("windowfocus --sync " + copy + " key Escape"));
    const std::string done = WaitForNewWindow(a, "INFORMACJA");
    ASSERT_FALSE(done.empty()) << WindowNames();
    const AnsiString saved = Read("Katalog Norm/normy_wszystkie.txt");
    EXPECT_NE(saved.find("PN-EN 1111|Aktualna|Brak||Tytul||"), AnsiString::npos) << saved;
    ASSERT_TRUE(Xdo("windowfocus --sync " + done + " key Escape"));
    ASSERT_TRUE(WaitUntil([&] { return ShownWindows(a.Pid(), "INFORMACJA").empty(); }, 30000));

    // The second, which read the catalogue before that save, is asked before it writes.
    addAndSave(b, mainB, "PN-EN 2222");
    ASSERT_FALSE(HasFatalFailure());
    const std::string question = WaitForNewWindow(b, "UWAGA");
    ASSERT_FALSE(question.empty()) << WindowNames();
    ScreenShot("12-executable-second-save-asks");
    EXPECT_EQ(Read("Katalog Norm/normy_wszystkie.txt"), saved);
    // Return takes the default, No: nothing is written, the program goes on.
    ASSERT_TRUE(Xdo("windowfocus --sync " + question + " key Return"));
    ASSERT_TRUE(WaitUntil([&] { return ShownWindows(b.Pid(), "UWAGA").empty(); }, 30000));
    EXPECT_TRUE(b.Running());
    EXPECT_EQ(Read("Katalog Norm/normy_wszystkie.txt"), saved);
    a.End();
    b.End();
}

namespace {

// Where a window's inside lies on the screen (empty when the window is gone).
TRect ScreenRect(const std::string& Id)
{
    const std::string info = CommandOutput("xwininfo -id " + Id + " 2>/dev/null");
    auto field = [&](const std::string& Name) {
        const std::size_t at = info.find(Name);
        return at == std::string::npos ? 0 : std::atoi(info.c_str() + at + Name.size());
    };
    const int x = field("Absolute upper-left X:"), y = field("Absolute upper-left Y:");
    return TRect(x, y, x + field("Width:"), y + field("Height:"));
}

// Dark pixels of R in a picture of the screen.
int Ink(TBitmap& Shot, const TRect& R)
{
    int n = 0;
    for (int y = std::max(R.Top, 0); y < std::min(R.Bottom, Shot.Height()); ++y) {
        const std::uint32_t* line = Shot.ScanLine(y);
        for (int x = std::max(R.Left, 0); x < std::min(R.Right, Shot.Width()); ++x)
            n += int((line[x] >> 16 & 0xFF) + (line[x] >> 8 & 0xFF) + (line[x] & 0xFF)) < 3 * 128;
    }
    return n;
}

bool SameArea(TBitmap& A, TBitmap& B, const TRect& R)
{
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            if ((A.ScanLine(y)[x] ^ B.ScanLine(y)[x]) & 0xFFFFFF)
                return false;
    return true;
}

// Pixels of R (in Look's coordinates) that differ between a picture of the screen, where R lies
// at Offset, and Look.
int Differences(TBitmap& Shot, const TPoint& Offset, TBitmap& Look, const TRect& R)
{
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            n += ((Shot.ScanLine(y + Offset.Y)[x + Offset.X] ^ Look.ScanLine(y)[x]) & 0xFFFFFF) != 0;
    return n;
}

// A page opened from the main menu: the panel's tab, its item, how the item's line looks.
struct TMenuPlace {
    TPoint Tab, Item;
    TRect ItemLine;
};

// Where the started program's controls are, in its window's client coordinates, and how the
// window looks (as drawn inside the test) with each page open.
struct TPlaces {
    TMenuPlace Search, Editor, Register;
    TPoint StripEnd;   // below the last tab: a click there closes the open panel
    TRect Number, Description, Criteria, Find, Result, NumberLabel, MenuLabel;
    std::vector<TRect> MenuRows;   // the text area of each row of the main menu's buttons
    TRect EditList, ListMenu, Cell;   // the register page's "Edytuj wykaz", "Wykaz" and a cell
    std::unique_ptr<TBitmap> SearchOpen, Searching, EditorOpen, Editing, RegisterOpen, RegisterShown, ListEditing;
};

class DesktopInput : public ExecutableStart {
protected:
    // Real X input to the program's window, at a point of its client area.
    void X(const std::string& Args) { EXPECT_TRUE(Xdo(Args)) << Args; }
    void ClickAt(const TPoint& P)
    {
        X("mousemove --window " + Window + " " + std::to_string(P.X) + " " + std::to_string(P.Y) + " click 1");
    }
    static TPoint Centre(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }
    // A client rectangle of the window on the screen.
    TRect OnScreen(const TRect& R) const
    {
        return TRect(R.Left + Origin.X, R.Top + Origin.Y, R.Right + Origin.X, R.Bottom + Origin.Y);
    }
    // Waits until R of the window looks as in Look (a picture of the window's client area).
    bool WaitForLook(TBitmap& Look, const TRect& R)
    {
        return WaitUntil([&] { return Differences(*GrabScreen(), Origin, Look, R) * 50 <= R.Width() * R.Height(); });
    }
    // Opens a page from the main menu as the user does: the tab, the panel's item once the panel
    // is out, then a click below the tabs closes the panel over the page.
    bool OpenPage(const TMenuPlace& Menu, TBitmap& MenuOpen, TBitmap& PageShown, const TRect& Covered)
    {
        ClickAt(Menu.Tab);
        if (!WaitForLook(MenuOpen, Menu.ItemLine))
            return false;
        ClickAt(Menu.Item);
        ClickAt(Places.StripEnd);
        return WaitForLook(PageShown, Covered);
    }
    // The window as the screen shows it, as <build>/screenshots/e2e-NAME.png.
    void WindowShot(const std::string& Name)
    {
        std::unique_ptr<TBitmap> shot = GrabScreen();
        TBitmap window;
        window.SetSize(Size.X, Size.Y);
        window.Canvas()->CopyRect(TRect(0, 0, Size.X, Size.Y), shot->Canvas(), OnScreen(TRect(0, 0, Size.X, Size.Y)));
        TRasterImage png("PNG");
        png.Assign(&window);
        png.SaveToFile(FromOsPath(ScreenshotPath("e2e-" + Name + ".png")));
    }
    // The program started on this folder, run inside the test: where its controls are and how
    // its pages look.
    void Probe()
    {
        TPlaces& p = Places;
        EXPECT_EQ(Start([&](Tf_MainForm* Form) {
                      const TPoint origin = Form->ClientToScreen(TPoint(0, 0));
                      auto at = [&](TControl* C, const TPoint& P) {
                          const TPoint s = C->ClientToScreen(P);
                          return TPoint(s.X - origin.X, s.Y - origin.Y);
                      };
                      auto rect = [&](TControl* C) {
                          const TPoint a = at(C, TPoint(0, 0));
                          return TRect(a.X, a.Y, a.X + C->Width(), a.Y + C->Height());
                      };
                      auto labelOf = [&](TWinControl* C) {
                          for (int i = 0; i < Form->ComponentCount(); ++i)
                              if (auto* l = dynamic_cast<TLabel*>(Form->Components(i)); l && l->FocusControl() == C)
                                  return rect(l);
                          return TRect();
                      };
                      TProToolPanelTab* strip = Form->ProToolPanelTab;
                      const TPoint end(strip->Width() / 2, strip->Height() - 10);
                      ASSERT_LT(strip->TabAtPos(end.X, end.Y), 0);
                      p.StripEnd = at(strip, end);
                      // Opens the page; the window's looks with the panel out and with the page shown.
                      auto open = [&](const char* Panel, const char* Item, TMenuPlace& M, std::unique_ptr<TBitmap>& Out,
                                      std::unique_ptr<TBitmap>& Shown) {
                          TPoint tab, item;
                          ASSERT_TRUE(FindMenuItem(Form, Panel, Item, tab, item));
                          M.Tab = at(strip, tab);
                          M.Item = at(Form->MenuPanel(Panel), item);
                          M.ItemLine = TRect(M.Item.X - 4, M.Item.Y - 3, M.Item.X + 40, M.Item.Y + 3);
                          Out = GrabControl(Form);
                          ASSERT_TRUE(ClickMenuItem(Form, Panel, Item));
                          Click(strip, end.X, end.Y);
                          ProcessPendingMessages();
                          Shown = GrabControl(Form);
                      };
                      open("Normy", "W katalogu norm", p.Search, p.SearchOpen, p.Searching);
                      p.Number = rect(Form->e_z_NrNormy);
                      p.Description = rect(Form->e_z_Opis);
                      p.Criteria = rect(Form->cb_z_KryteriaSzukania);
                      p.Find = rect(Form->sb_ZnajdzNormeWTrelKordelin);
                      p.Result = rect(Form->lbl_ZnajdzNormeWTrelKordelni);
                      p.NumberLabel = labelOf(Form->e_z_NrNormy);
                      open("Ustawienia", "Menu", p.Editor, p.EditorOpen, p.Editing);
                      TKxCheckListBox* list = Form->clb_MG_PrzyciskiMenuGlownego;
                      p.MenuLabel = labelOf(list);
                      for (int i = 0; i < list->Count(); ++i) {
                          const TRect r = list->ItemRect(i);
                          const TPoint a = at(list, TPoint(r.Left + list->CheckAreaWidth() + 2, r.Top));
                          p.MenuRows.push_back(TRect(a.X, a.Y, a.X + 40, a.Y + r.Height()));
                      }
                      open("Wyrób 1", "Wykonanie z uszczelką", p.Register, p.RegisterOpen, p.RegisterShown);
                      p.EditList = rect(Form->sb_NowyWykaz_Edytuj);
                      p.ListMenu = rect(Form->sb_Edytuj_Wykaz);
                      const TRect cell = Form->sg_NowyEdytujWykaz->CellRect(1, 1);
                      const TPoint c = at(Form->sg_NowyEdytujWykaz, TPoint(cell.Left, cell.Top));
                      p.Cell = TRect(c.X, c.Y, c.X + cell.Width(), c.Y + cell.Height());
                      Form->sb_NowyWykaz_EdytujClick(nullptr);
                      ProcessPendingMessages();
                      p.ListEditing = GrabControl(Form);
                      Form->sb_NowyWykaz_EdytujClick(nullptr);
                      CloseWindowByUser(Form);   // the first close shows the catalogue's page
                  }),
                  0);
    }
    std::string Window;
    TPoint Origin, Size;
    TPlaces Places;
};

}   // namespace

TEST_F(DesktopInput, RealClicksAndKeysReachTheControlsTheyAreMeantFor)
{
    std::string wm = CommandOutput("command -v openbox");
    wm = wm.substr(0, wm.find('\n'));
    if (!std::getenv("DISPLAY") || CommandOutput("command -v xdotool").empty() || wm.empty())
        GTEST_SKIP() << "needs an X display, xdotool and openbox";

    // A folder started three times (the files of the first starts), with six main menu buttons.
    {
        TNetworkState offline(false);
        ScriptDialogs()
            .ExpectMessageBox(IDNO, "TYLKO TEN JEDEN RAZ NA TYM KOMPUTERZE")
            .ExpectMessageBox(IDOK, "PROGRAM ZOSTANIE ZAMKNIĘTY, zostaną utworzone nowe pliki");
        Start();
        ScriptDialogs()
            .ExpectMessageBox(IDOK, "jest uruchamiany na tym komputerze po raz pierwszy !!!.")
            .ExpectMessageBox(IDOK, "Czy mam stworzyć przykładowy spis teraz ???")
            .ExpectMessageBox(IDOK, "Stworzyłem nowy plik z ustawieniami.");
        Start();
        ScriptDialogs().ExpectMessageBox(IDOK, "Znalazłem plik z ustawieniami ale jest on pusty");
        Start();
        ASSERT_TRUE(VerifyNoPendingDialogs());
    }
    AnsiString menu = Read("Ustawienia\\kategorie.ini");
    ASSERT_EQ(menu.find("[Kategorie]\r\n"), 0u);
    Write("Ustawienia\\kategorie.ini", "[Kategorie]\r\nWyrób 4=\r\nWyrób 5=\r\n" + menu.substr(13));
    Probe();
    const TPlaces& places = Places;
    ASSERT_EQ(places.MenuRows.size(), 6u);

    // The window manager, then the program under it.
    MarkComputer(Home);
    TProgramProcess manager(wm, Home);
    ASSERT_TRUE(WaitUntil([] { return WindowNames().find("\"Openbox\"") != std::string::npos; }));
    TProgramProcess program(Exe, Home);
    ASSERT_TRUE(WaitForWindow(program, "Velmarok Polskich Norm v.")) << WindowNames();
    Window = CommandOutput("xdotool search --name '^Velmarok Polskich Norm v' 2>/dev/null");
    Window = Window.substr(0, Window.find('\n'));
    ASSERT_FALSE(Window.empty());
    const TRect geometry = ScreenRect(Window);
    Origin = TPoint(geometry.Left, geometry.Top);
    Size = TPoint(geometry.Width(), geometry.Height());
    ASSERT_GT(Size.X, 0);
    X("windowactivate " + Window);
    ASSERT_TRUE(WaitUntil([&] { return CommandOutput("xdotool getactivewindow 2>/dev/null") == Window + "\n"; }));
    ScreenShot("20-desktop-started");

    // The search page: Alt+N from the description moves to the number, whose edit takes the text.
    ASSERT_TRUE(OpenPage(places.Search, *places.SearchOpen, *places.Searching, places.NumberLabel));
    const TRect number(places.Number.Left + 3, places.Number.Top + 3, places.Number.Left + 80, places.Number.Bottom - 3);
    const TRect description(places.Description.Left + 3, places.Description.Top + 3, places.Description.Left + 80,
                            places.Description.Bottom - 3);
    // The ink of an area once it holds still.
    auto settledInk = [&](const TRect& R) {
        int last = -1, now = -2;
        EXPECT_TRUE(WaitUntil([&] {
            std::swap(last, now);
            now = Ink(*GrabScreen(), OnScreen(R));
            return now == last && now > 10;
        }));
        return now;
    };
    ClickAt(Centre(places.Description));
    X("type --delay 20 abc");
    const int typed = settledInk(description);
    X("key alt+n");
    X("type --delay 20 'PN-EN 10088'");
    EXPECT_TRUE(WaitUntil([&] { return Ink(*GrabScreen(), OnScreen(number)) > 10; }, 5000)) << "Alt+N";
    // Nothing more in the description than "abc" (its caret gone with the focus).
    EXPECT_LE(settledInk(description), typed) << "Alt+N";

    // The criteria's list opened with the mouse and closed, then one click on "Znajdź" searches.
    const auto listShown = [] {
        const std::string w = CommandOutput("xdotool search --onlyvisible --classname velmarok 2>/dev/null");
        return std::count(w.begin(), w.end(), '\n') > 1;
    };
    ClickAt(Centre(places.Criteria));
    ASSERT_TRUE(WaitUntil(listShown));
    // Chosen with the keys: the list takes no click until a double click's time has passed.
    X("key Down Return");
    ASSERT_TRUE(WaitUntil([&] { return !listShown(); }));
    std::unique_ptr<TBitmap> beforeFind = GrabScreen();
    ClickAt(Centre(places.Find));
    EXPECT_TRUE(WaitUntil([&] { return !SameArea(*GrabScreen(), *beforeFind, OnScreen(places.Result)); }, 5000))
        << "the first click after the list closed";
    WindowShot("21-desktop-search");

    // The menu editor's list: every one of the six buttons' names is drawn.
    ASSERT_TRUE(OpenPage(places.Editor, *places.EditorOpen, *places.Editing, places.MenuLabel));
    auto rowsInked = [&] {
        std::unique_ptr<TBitmap> shot = GrabScreen();
        for (const TRect& r : places.MenuRows)
            if (Ink(*shot, OnScreen(r)) < 10)
                return false;
        return true;
    };
    EXPECT_TRUE(WaitUntil(rowsInked, 3000));
    std::unique_ptr<TBitmap> shot = GrabScreen();
    for (std::size_t i = 0; i < places.MenuRows.size(); ++i)
        EXPECT_GE(Ink(*shot, OnScreen(places.MenuRows[i])), 10) << "row " << i;
    WindowShot("22-desktop-menu-editor");

    // A register in editing mode: a button's menu, the print dialog and the print preview, each
    // opened with real input, show on the screen painted (dark texts on a light ground), and
    // Escape closes them.
    ASSERT_TRUE(OpenPage(places.Register, *places.RegisterOpen, *places.RegisterShown, places.EditList));
    ClickAt(Centre(places.EditList));
    ASSERT_TRUE(WaitForLook(*places.ListEditing, places.ListMenu));
    ClickAt(Centre(places.Cell));
    const TPoint list = Centre(OnScreen(places.ListMenu));
    const struct {
        const char* Name;
        std::string Input;
    } shown[] = {
        {"23-desktop-register-menu", "mousemove " + std::to_string(list.X) + " " + std::to_string(list.Y) + " click 1"},
        {"24-desktop-print-dialog", "key ctrl+p"},
        {"25-desktop-print-preview", "key ctrl+shift+p"},
    };
    for (const auto& c : shown) {
        SCOPED_TRACE(c.Name);
        const std::vector<std::string> before = ShownWindows(program.Pid(), "");
        X(c.Input);
        const std::string id = WaitForNewWindow(program, "", before, 10000);
        ASSERT_FALSE(id.empty()) << WindowNames();
        const TRect r = ScreenRect(id);
        EXPECT_TRUE(WaitUntil([&] {
            const int ink = Ink(*GrabScreen(), r);
            return ink > 10 && ink * 2 < r.Width() * r.Height();
        },
                              5000));
        ScreenShot(c.Name);
        X("key Escape");
        EXPECT_TRUE(WaitUntil([&] {
            const std::vector<std::string> now = ShownWindows(program.Pid(), "");
            return std::find(now.begin(), now.end(), id) == now.end();
        },
                              5000));
    }
    program.End();
    manager.End();
}
