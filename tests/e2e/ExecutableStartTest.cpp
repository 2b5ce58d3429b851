// The velmarok executable itself, started as a user starts it: a copy in a fresh folder (its
// program folder, being writable) on the suite's display, with its own home folder. The test
// watches the display's windows for its first-start message, checks what it wrote, takes a
// picture of the screen and ends the program.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <memory>

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
    const std::vector<AnsiString> expected = {folder + "Katalog Norm\\normy_wszystkie.txt", folder + "Wykazy\\",
                                              folder + "Ustawienia\\kategorie.ini", folder + "Ustawienia\\",
                                              folder + "Katalog Norm\\", "", "1", "1", "0"};
    TStringList lines;
    lines.SetText(DecodeScrambledText(Read("config.dat")));
    ASSERT_GE(lines.Count(), 15);
    for (int i = 0; i < lines.Count(); ++i)
        EXPECT_EQ(lines.Strings(i), i < 9 ? expected[size_t(i)] : AnsiString()) << i;
    program.End();
    EXPECT_FALSE(Exists("users.dat"));
}
