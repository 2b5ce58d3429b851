#pragma once
// The velmarok executable itself, started as a user starts it, on the suite's display: helpers
// that watch the display's windows (xwininfo), drive them with real X input (xdotool) and look at
// pictures of the screen, the started program as a process (as another login, too), and the
// fixtures of the suites that run it.
#include <gtest/gtest.h>

#include <grp.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/U_WspolneFunkcje.h"
#include "controls/KXCtrls.h"
#include "grid/ProGrid.h"
#include "platform/core/Classes.h"
#include "tests/app/DialogTest.h"
#include "controls/ToolEdit.h"
#include "platform/gui/Buttons.h"
#include "tests/e2e/ProgramRun.h"

extern char** environ;

// The output of a shell command ("" when it cannot run).
inline std::string CommandOutput(const std::string& Command)
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

// The first line of a text.
inline std::string FirstLine(const std::string& Text) { return Text.substr(0, Text.find('\n')); }

// The names of the display's windows, one a line, as the window system lists them.
inline std::string WindowNames()
{
    return CommandOutput("xwininfo -root -tree 2>/dev/null");
}

// Real input on the display through xdotool: true when the command succeeded.
inline bool Xdo(const std::string& Args)
{
    return ::system(("xdotool " + Args + " >/dev/null 2>&1").c_str()) == 0;
}

// The shown windows of a process whose title holds Title, newest last.
inline std::vector<std::string> ShownWindows(pid_t Pid, const std::string& Title)
{
    std::vector<std::string> ids;
    // All the conditions, not any of them.
    std::istringstream out(CommandOutput("xdotool search --all --onlyvisible --pid " + std::to_string(Pid) +
                                         " --name '" + Title + "' 2>/dev/null"));
    for (std::string id; out >> id;)
        ids.push_back(id);
    return ids;
}

// A login another than the test's that a program runs as (the test runs as root): its user and
// group ids, the further groups it is in and its name.
struct TLogin {
    uid_t Uid;
    gid_t Gid;
    std::vector<gid_t> Groups;
    std::string Name;
};

// The program started from its copy in Folder with Home as its home folder (and the variables of
// Env, "NAME=value", over those of the test), as the test's login or As with the usual umask 022,
// with the command-line arguments Args, Offline in a network of its own with no interface up (as
// root); ended (SIGTERM) and waited for when the object goes.
class TProgramProcess {
public:
    TProgramProcess(const std::filesystem::path& Exe, const std::filesystem::path& Home,
                    std::vector<std::string> Env = {}, const TLogin* As = nullptr, std::vector<std::string> Args = {},
                    bool Offline = false)
    {
        Env.push_back("HOME=" + Home.string());
        Env.push_back("XDG_CONFIG_HOME=" + (Home / ".config").string());
        Env.push_back("XDG_DATA_HOME=" + (Home / ".local/share").string());
        Env.push_back("QT_QPA_PLATFORM=xcb");
        if (As) {
            Env.push_back("USER=" + As->Name);
            Env.push_back("LOGNAME=" + As->Name);
        }
        auto given = [&](const std::string& Entry) {
            const std::string key = Entry.substr(0, Entry.find('=') + 1);
            return key.rfind("XDG_", 0) == 0 || key == "VELMAROK_FOLDER=" ||
                   std::any_of(Env.begin(), Env.end(), [&](const std::string& e) { return e.rfind(key, 0) == 0; });
        };
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (!given(*e))
                env.push_back(*e);
        env.insert(env.end(), Env.begin(), Env.end());
        std::vector<char*> envp;
        for (std::string& s : env)
            envp.push_back(s.data());
        envp.push_back(nullptr);
        std::string exe = Exe.string();
        std::vector<char*> args = {exe.data()};
        for (std::string& a : Args)
            args.push_back(a.data());
        args.push_back(nullptr);
        char** argv = args.data();
        if (!As && !Offline) {
            if (::posix_spawn(&FPid, exe.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
                FPid = -1;
            return;
        }
        // Only calls that may follow a fork of a process with threads, before the program runs.
        FPid = ::fork();
        if (FPid == 0) {
            if (Offline && ::unshare(CLONE_NEWNET) != 0)
                ::_exit(127);
            if (As && (::setgroups(As->Groups.size(), As->Groups.data()) != 0 || ::setgid(As->Gid) != 0 ||
                       ::setuid(As->Uid) != 0))
                ::_exit(127);
            ::umask(022);
            ::execve(exe.c_str(), argv, envp.data());
            ::_exit(127);
        }
    }
    ~TProgramProcess() { End(); }
    bool Started() const { return FPid > 0; }
    pid_t Pid() const { return FPid; }
    // True while the program runs.
    bool Running()
    {
        if (FPid <= 0)
            return false;
        if (::waitpid(FPid, &FStatus, WNOHANG) == FPid) {
            FPid = -1;
            return false;
        }
        return true;
    }
    // How the program ended (its wait status), once Running has seen it end.
    int Status() const { return FStatus; }
    // Ends the program as the system does (a logout, a shutdown); its wait status.
    int End()
    {
        if (FPid <= 0)
            return 0;
        ::kill(FPid, SIGTERM);
        int status = 0;
        ::waitpid(FPid, &status, 0);
        FPid = -1;
        return status;
    }

private:
    pid_t FPid = -1;
    int FStatus = 0;
};

// An X server of the test's own (Xvfb) with a screen of Width x Height pixels: while it lives it
// is the display of the commands and the programs the test starts (DISPLAY); the test's own
// windows stay on the suite's display.
class TOwnDisplay {
public:
    TOwnDisplay(int Width, int Height)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        // The server says its display's number on the pipe once it takes clients.
        std::string fd = std::to_string(fds[1]), screen = std::to_string(Width) + "x" + std::to_string(Height) + "x24";
        std::string args[] = {"Xvfb", "-displayfd", fd, "-screen", "0", screen, "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addclose(&actions, fds[0]);
        if (::posix_spawnp(&FPid, "Xvfb", &actions, nullptr, argv.data(), environ) != 0)
            FPid = -1;
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        std::string number;
        pollfd ready{fds[0], POLLIN, 0};
        for (char c = 0; FPid > 0 && ::poll(&ready, 1, 30000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n';)
            number += c;
        ::close(fds[0]);
        if (number.empty()) {
            End();
            return;
        }
        const char* old = std::getenv("DISPLAY");
        FOld = old ? old : "";
        FName = ":" + number;
        ::setenv("DISPLAY", FName.c_str(), 1);
    }
    ~TOwnDisplay() { End(); }
    TOwnDisplay(const TOwnDisplay&) = delete;
    TOwnDisplay& operator=(const TOwnDisplay&) = delete;
    bool Started() const { return !FName.empty(); }

private:
    void End()
    {
        if (!FName.empty())
            ::setenv("DISPLAY", FOld.c_str(), 1);
        FName.clear();
        if (FPid > 0) {
            ::kill(FPid, SIGTERM);
            int status = 0;
            ::waitpid(FPid, &status, 0);
        }
        FPid = -1;
    }
    pid_t FPid = -1;
    std::string FName, FOld;
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
        }, Ms);
        return id;
    }
    // Waits until the program's window of that id is gone; false after Ms.
    static bool WaitGone(TProgramProcess& P, const std::string& Id, int Ms = 30000)
    {
        return WaitUntil([&] {
            const std::vector<std::string> shown = ShownWindows(P.Pid(), "");
            return std::find(shown.begin(), shown.end(), Id) == shown.end();
        }, Ms);
    }
    // A window of the program answered with a key, and gone.
    static bool Answer(TProgramProcess& P, const std::string& Id, const std::string& Key)
    {
        return Xdo("windowfocus --sync " + Id + " key " + Key) && WaitGone(P, Id);
    }
    // The dated copy a save of the catalogue offers declined: the id of the message that follows
    // ("" when there is none).
    static std::string DeclineCopy(TProgramProcess& P)
    {
        const std::string copy = WaitForNewWindow(P, "UWAGA");
        return !copy.empty() && Answer(P, copy, "Escape") ? WaitForNewWindow(P, "INFORMACJA") : std::string();
    }
    // Waits (running this process's event loop) until a window whose listed name contains
    // Title is shown and Also holds; false after 30 s or when the program ended.
    bool WaitForWindow(TProgramProcess& P, const std::string& Title, const std::function<bool()>& Also = nullptr)
    {
        return WaitUntil([&] {
            return !P.Running() || (WindowNames().find(Title) != std::string::npos && (!Also || Also()));
        }) && P.Running();
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
        EXPECT_TRUE(WaitUntil(painted)) << Name;
        ASSERT_TRUE(shot && !shot->Empty());
        SavePng(*shot, Name);
    }
    // The registry of a home folder marks its computer as one the program started on.
    void MarkComputer(const std::filesystem::path& AHome)
    {
        std::filesystem::create_directories(AHome / ".config" / "Tyrvenhold");
        WriteFileBytes((AHome / ".config" / "Tyrvenhold" / "registry.ini").string(),
                       "[HKEY_CURRENT_USER\\Software\\Quorvane\\Tyrvenhold]\r\nPath=sz:" + Exe.string() +
                           "\r\nVersion=sz:" + GetExeVersion() + "\r\nName=sz:Velmarok Polskich Norm\r\n");
    }
    // A standard added in the catalogue with real input, and the catalogue saved: a click in the
    // catalogue grid, Ctrl+D, the number, the holding, the title, the state, OK, then "Zapisz".
    // What the save asks next is the caller's.
    static void AddStandardByHand(TProgramProcess& P, const std::string& Main, const std::string& Number)
    {
        // Main windows of several programs lie at the same place: this one is raised before the click.
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
        ASSERT_TRUE(WaitGone(P, after));
    }
    // Presses Return on each message box ("... !!!") the program shows until its main window is
    // shown (its id) or it ends (""), within a minute.
    static std::string PassBoxes(TProgramProcess& P)
    {
        std::vector<std::string> answered;
        std::string main;
        WaitUntil([&] {
            if (!P.Running())
                return true;
            for (const std::string& w : ShownWindows(P.Pid(), "")) {
                const std::string name = CommandOutput("xdotool getwindowname " + w + " 2>/dev/null");
                if (name.rfind("Velmarok Polskich Norm v", 0) == 0)
                    main = w;
                else if (name.find("!!!") != std::string::npos &&
                         std::find(answered.begin(), answered.end(), w) == answered.end()) {
                    answered.push_back(w);
                    Xdo("windowfocus --sync " + w + " key Return");
                }
            }
            return !main.empty();
        }, 60000);
        return main;
    }
    std::filesystem::path Exe, Home;
};



// Where a window's inside lies on the screen (empty when the window is gone).
inline TRect ScreenRect(const std::string& Id)
{
    const std::string info = CommandOutput("xwininfo -id " + Id + " 2>/dev/null");
    auto field = [&](const std::string& Name) {
        const std::size_t at = info.find(Name);
        return at == std::string::npos ? 0 : std::atoi(info.c_str() + at + Name.size());
    };
    const int x = field("Absolute upper-left X:"), y = field("Absolute upper-left Y:");
    return TRect(x, y, x + field("Width:"), y + field("Height:"));
}

// Where a window lies on the screen with the frame the window manager gave it.
inline TRect FrameRect(const std::string& Id)
{
    const TRect inside = ScreenRect(Id);
    const std::string extents = CommandOutput("xprop -id " + Id + " _NET_FRAME_EXTENTS 2>/dev/null");
    int left = 0, right = 0, top = 0, bottom = 0;
    const std::size_t at = extents.find('=');
    if (at != std::string::npos)
        std::sscanf(extents.c_str() + at + 1, "%d, %d, %d, %d", &left, &right, &top, &bottom);
    return TRect(inside.Left - left, inside.Top - top, inside.Right + right, inside.Bottom + bottom);
}

// Dark pixels of R in a picture of the screen.
inline int Ink(TBitmap& Shot, const TRect& R)
{
    int n = 0;
    for (int y = std::max(R.Top, 0); y < std::min(R.Bottom, Shot.Height()); ++y) {
        const std::uint32_t* line = Shot.ScanLine(y);
        for (int x = std::max(R.Left, 0); x < std::min(R.Right, Shot.Width()); ++x)
            n += int((line[x] >> 16 & 0xFF) + (line[x] >> 8 & 0xFF) + (line[x] & 0xFF)) < 3 * 128;
    }
    return n;
}

// Pixels of R (in Look's coordinates) that differ between a picture of the screen, where R lies
// at Offset, and Look.
inline int Differences(TBitmap& Shot, const TPoint& Offset, TBitmap& Look, const TRect& R)
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
    // The catalogue's page as the program starts, and a point inside its grid.
    std::unique_ptr<TBitmap> Catalogue;
    TPoint GridPoint;
    // The import page: its menu item, the source file's edit, the first group, the button.
    TMenuPlace Import;
    std::unique_ptr<TBitmap> ImportOpen, ImportShown;
    TRect ImportFile, ImportGroup, ImportButton;
    // Items of the panel "Normy" (their places only).
    TMenuPlace AllNorms, SaveListAs;
};

// Tests of the program under a window manager (openbox), skipped without an X display, xdotool
// or openbox.
class DesktopInput : public ExecutableStart {
protected:
    void SetUp() override
    {
        ExecutableStart::SetUp();
        Wm = FirstLine(CommandOutput("command -v openbox"));
        if (!std::getenv("DISPLAY") || CommandOutput("command -v xdotool").empty() || Wm.empty())
            GTEST_SKIP() << "needs an X display, xdotool and openbox";
    }
    // A login's home folder (its computer marked, the key to the display), owned by it, and the
    // variables its program runs with on the department's folder.
    std::vector<std::string> HomeOf(const TLogin& L, std::filesystem::path& AHome)
    {
        AHome = FRoot / ("home-" + L.Name);
        const std::filesystem::path run = FRoot / ("run-" + L.Name);
        std::filesystem::create_directories(AHome / ".config");
        std::filesystem::create_directories(run);
        MarkComputer(AHome);
        std::vector<std::string> env = {"VELMAROK_FOLDER=" + FDir.string(), "XDG_RUNTIME_DIR=" + run.string()};
        const char* auth = std::getenv("XAUTHORITY");
        if (auth && std::filesystem::exists(auth)) {
            std::filesystem::copy_file(auth, AHome / ".Xauthority", std::filesystem::copy_options::overwrite_existing);
            env.push_back("XAUTHORITY=" + (AHome / ".Xauthority").string());
        }
        for (const std::filesystem::path& top : {AHome, run}) {
            (void)!::chown(top.c_str(), L.Uid, L.Gid);
            for (const auto& e : std::filesystem::recursive_directory_iterator(top))
                (void)!::lchown(e.path().c_str(), L.Uid, L.Gid);
        }
        ::chmod(run.c_str(), 0700);
        return env;
    }
    // Real X input to the program's window, at a point of its client area.
    void X(const std::string& Args) { EXPECT_TRUE(Xdo(Args)) << Args; }
    std::string MoveTo(const TPoint& P) const
    {
        return "mousemove --window " + Window + " " + std::to_string(P.X) + " " + std::to_string(P.Y);
    }
    void ClickAt(const TPoint& P) { X(MoveTo(P) + " click 1"); }
    static TPoint Centre(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }
    // A client rectangle of the window on the screen.
    TRect OnScreen(const TRect& R) const
    {
        return TRect(R.Left + Origin.X, R.Top + Origin.Y, R.Right + Origin.X, R.Bottom + Origin.Y);
    }
    // Waits until R of the window looks as in Look (a picture of the window's client area) in two
    // pictures of the screen one after the other: a sliding panel passing by is not taken.
    bool WaitForLook(TBitmap& Look, const TRect& R, unsigned Ms = 30000)
    {
        int seen = 0;
        return WaitUntil([&] {
            seen = Differences(*GrabScreen(), Origin, Look, R) * 50 <= R.Width() * R.Height() ? seen + 1 : 0;
            return seen >= 2;
        }, Ms);
    }
    // Opens the menu place's panel with a click on its tab, as Look (the window with that panel
    // out) shows. The program lets a press on the strip go while a panel slides, also in the last
    // steps of one sliding in, hidden under the strip: the tab is clicked again, as a user does,
    // while the panel has not come out.
    bool OpenPanel(const TMenuPlace& Menu, TBitmap& Look)
    {
        for (int i = 0; i < 5; ++i) {
            ClickAt(Menu.Tab);
            if (WaitForLook(Look, Menu.ItemLine, 6000))
                return true;
        }
        return false;
    }
    // Opens a page from the main menu as the user does: the tab, the panel's item once the panel
    // is out, then a click below the tabs closes the panel over the page.
    bool OpenPage(const TMenuPlace& Menu, TBitmap& MenuOpen, TBitmap& PageShown, const TRect& Covered)
    {
        if (!OpenPanel(Menu, MenuOpen))
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
        SavePng(window, Name);
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
                      // R of C's client area (all of C by default) in the window's.
                      auto rect = [&](TControl* C, TRect R = TRect()) {
                          if (R == TRect())
                              R = TRect(0, 0, C->Width(), C->Height());
                          const TPoint a = at(C, TPoint(R.Left, R.Top));
                          return TRect(a.X, a.Y, a.X + R.Width(), a.Y + R.Height());
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
                      p.Catalogue = GrabControl(Form);
                      {
                          const TRect grid = rect(Form->sg_WszystkieNormy);
                          p.GridPoint = TPoint(grid.Right - grid.Width() / 4, grid.Top + grid.Height() / 2);
                      }
                      // An item's place, its panel closed again; with Out, the page opened and the
                      // window's looks with the panel out and with the page shown.
                      auto open = [&](const char* Panel, const char* Item, TMenuPlace& M,
                                      std::unique_ptr<TBitmap>* Out = nullptr, std::unique_ptr<TBitmap>* Shown = nullptr) {
                          TPoint tab, item;
                          ASSERT_TRUE(FindMenuItem(Form, Panel, Item, tab, item));
                          M.Tab = at(strip, tab);
                          M.Item = at(Form->MenuPanel(Panel), item);
                          M.ItemLine = TRect(M.Item.X - 4, M.Item.Y - 3, M.Item.X + 40, M.Item.Y + 3);
                          if (Out) {
                              *Out = GrabControl(Form);
                              ASSERT_TRUE(ClickMenuItem(Form, Panel, Item));
                          }
                          Click(strip, end.X, end.Y);
                          ProcessPendingMessages();
                          if (Shown)
                              *Shown = GrabControl(Form);
                      };
                      open("Normy", "Wszystkie normy", p.AllNorms);
                      open("Normy", "Zapisz aktualną listę jako ...", p.SaveListAs);
                      open("Normy", "W katalogu norm", p.Search, &p.SearchOpen, &p.Searching);
                      p.Number = rect(Form->e_z_NrNormy);
                      p.Description = rect(Form->e_z_Opis);
                      p.Criteria = rect(Form->cb_z_KryteriaSzukania);
                      p.Find = rect(Form->sb_ZnajdzNormeWTrelKordelin);
                      p.Result = rect(Form->lbl_ZnajdzNormeWTrelKordelni);
                      p.NumberLabel = labelOf(Form->e_z_NrNormy);
                      open("Ustawienia", "Menu", p.Editor, &p.EditorOpen, &p.Editing);
                      TKxCheckListBox* list = Form->clb_MG_PrzyciskiMenuGlownego;
                      p.MenuLabel = labelOf(list);
                      for (int i = 0; i < list->Count(); ++i) {
                          const TRect r = list->ItemRect(i);
                          const int left = r.Left + list->CheckAreaWidth() + 2;
                          p.MenuRows.push_back(rect(list, TRect(left, r.Top, left + 40, r.Bottom)));
                      }
                      open("Wyrób 1", "Wykonanie z uszczelką", p.Register, &p.RegisterOpen, &p.RegisterShown);
                      p.EditList = rect(Form->sb_NowyWykaz_Edytuj);
                      p.ListMenu = rect(Form->sb_Edytuj_Wykaz);
                      p.Cell = rect(Form->sg_NowyEdytujWykaz, Form->sg_NowyEdytujWykaz->CellRect(1, 1));
                      Form->sb_NowyWykaz_EdytujClick(nullptr);
                      ProcessPendingMessages();
                      p.ListEditing = GrabControl(Form);
                      Form->sb_NowyWykaz_EdytujClick(nullptr);
                      open("Wyrób 1", "Importuj z pliku", p.Import, &p.ImportOpen, &p.ImportShown);
                      p.ImportFile = rect(Form->edt_ImportujWykaz);
                      p.ImportButton = rect(Form->sb_ImportujPlik);
                      p.ImportGroup = rect(Form->lb_Importuj_GrupyProdoktow, Form->lb_Importuj_GrupyProdoktow->ItemRect(0));
                      CloseWindowByUser(Form);   // the first close shows the catalogue's page
                  }), 0);
    }
    // The window manager on the display, until the test ends. One a test before ended may still
    // hold the display for a moment: the new one starts once it has let go.
    void StartWindowManager()
    {
        ASSERT_TRUE(WaitUntil([] { return WindowNames().find("\"Openbox\"") == std::string::npos; }));
        Manager = std::make_unique<TProgramProcess>(Wm, Home);
        ASSERT_TRUE(WaitUntil([] { return WindowNames().find("\"Openbox\"") != std::string::npos; }));
    }
    // The folder as the first three starts of the program leave it (the login's computer marked).
    void StartThreeTimes()
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
    // The started program's main window of that id is the one the test drives: where it lies, and
    // it made the active window.
    void TakeWindow(const std::string& Id)
    {
        Window = Id;
        ASSERT_FALSE(Window.empty());
        const TRect geometry = ScreenRect(Window);
        Origin = TPoint(geometry.Left, geometry.Top);
        Size = TPoint(geometry.Width(), geometry.Height());
        ASSERT_GT(Size.X, 0);
        X("windowactivate " + Window);
        ASSERT_TRUE(WaitUntil([&] { return CommandOutput("xdotool getactivewindow 2>/dev/null") == Window + "\n"; }));
    }
    // The program on the folder as its first three starts leave it (then Prepare run), under the
    // window manager, once the places of its controls are known (Probe): its main window taken.
    void StartUnderWindowManager(const std::function<void()>& Prepare = nullptr)
    {
        StartThreeTimes();
        if (Prepare)
            Prepare();
        Probe();
        MarkComputer(Home);
        StartWindowManager();
        Program = std::make_unique<TProgramProcess>(Exe, Home);
        const std::string main = PassBoxes(*Program);
        ASSERT_FALSE(main.empty()) << WindowNames();
        TakeWindow(main);
    }
    void TearDown() override
    {
        Program.reset();
        Manager.reset();
        ExecutableStart::TearDown();
    }
    std::string Wm, Window;
    TPoint Origin, Size;
    TPlaces Places;
    std::unique_ptr<TProgramProcess> Manager, Program;
};

