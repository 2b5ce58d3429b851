// The velmarok executable itself, started as a user starts it: a copy in a fresh folder (its
// program folder, being writable) on the suite's display, with its own home folder. The test
// watches the display's windows for its first-start message, checks what it wrote, takes a
// picture of the screen and ends the program.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/U_WspolneFunkcje.h"
#include "platform/core/Classes.h"
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
                                        const std::vector<std::string>& Before = {})
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
                  30000);
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
    std::filesystem::create_directories(Home / ".config" / "Tyrvenhold");
    WriteFileBytes((Home / ".config" / "Tyrvenhold" / "registry.ini").string(),
                   "[HKEY_CURRENT_USER\\Software\\Quorvane\\Tyrvenhold]\r\nPath=sz:" + Exe.string() +
                       "\r\nVersion=sz:1.0.0.0\r\nName=sz:Velmarok Polskich Norm\r\n");
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
    for (const std::filesystem::path& home : homes) {
        std::filesystem::create_directories(home / ".config" / "Tyrvenhold");
        WriteFileBytes((home / ".config" / "Tyrvenhold" / "registry.ini").string(),
                       "[HKEY_CURRENT_USER\\Software\\Quorvane\\Tyrvenhold]\r\nPath=sz:" + Exe.string() +
                           "\r\nVersion=sz:" + GetExeVersion() + "\r\nName=sz:Velmarok Polskich Norm\r\n");
    }
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
    // No: nothing is written, the program goes on.
    ASSERT_TRUE(Xdo("windowfocus --sync " + question + " key Escape"));
    ASSERT_TRUE(WaitUntil([&] { return ShownWindows(b.Pid(), "UWAGA").empty(); }, 30000));
    EXPECT_TRUE(b.Running());
    EXPECT_EQ(Read("Katalog Norm/normy_wszystkie.txt"), saved);
    a.End();
    b.End();
}
