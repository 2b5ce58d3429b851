// A seeded run of random input to the program itself: a login of the department's group on a
// department folder of its own, under the window manager, without a network. Clicks on the
// program's windows (weighted towards their left and top edges, where the menu's tab strip and the
// tool bars lie), double and right clicks, drags, the wheel, keys (letters, Polish letters, Return,
// Escape, Tab, arrows, F2, Delete, Insert, Ctrl+C/V/X/Z/S, now and then Alt+F4) and random
// answers to its message boxes; the program started again whenever it ends. It never ends by a
// signal or with a sanitizer's report, each of its windows answers the window manager's ping after
// every action, and after each run every file of the folder reads with the program's own readers
// and keeps the department's modes (files 0664, folders 2775).
//
// About two minutes by default; VELMAROK_RANDOM_MINUTES sets the length, VELMAROK_RANDOM_SEED
// replays a run. Each action is logged with the seed in <build>/random-input/<seed>.log.
#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <chrono>
#include <deque>
#include <fstream>
#include <random>

#include "app/Katalog.h"
#include "app/Wykazy.h"
#include "platform/core/CodePage.h"
#include "platform/core/IniFiles.h"
#include "tests/e2e/DesktopRun.h"

namespace fs = std::filesystem;

namespace {

// Asks windows whether they answer, as a window manager does (_NET_WM_PING): the window's program
// sends the message back to the root window from its event loop.
class TPing {
public:
    TPing() : FConnection(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(FConnection))
            return;
        FRoot = xcb_setup_roots_iterator(xcb_get_setup(FConnection)).data->root;
        FProtocols = Atom("WM_PROTOCOLS");
        FPing = Atom("_NET_WM_PING");
        // The answer goes to the root window as a notification of its structure or of its children's.
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(FConnection, FRoot, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(FConnection);
    }
    ~TPing() { xcb_disconnect(FConnection); }
    TPing(const TPing&) = delete;
    TPing& operator=(const TPing&) = delete;
    // Pings the window; true once it answers, false when Gone() says it went or Ms passed first.
    bool Answers(const std::string& Window, unsigned Ms, const std::function<bool()>& Gone)
    {
        const xcb_window_t w = xcb_window_t(std::stoul(Window));
        xcb_client_message_event_t e{};
        e.response_type = XCB_CLIENT_MESSAGE;
        e.format = 32;
        e.window = w;
        e.type = FProtocols;
        e.data.data32[0] = FPing;
        e.data.data32[1] = ++FStamp;
        e.data.data32[2] = w;
        xcb_send_event(FConnection, 0, w, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
        xcb_flush(FConnection);
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
        while (!xcb_connection_has_error(FConnection)) {
            while (xcb_generic_event_t* ev = xcb_poll_for_event(FConnection)) {
                const auto* m = reinterpret_cast<xcb_client_message_event_t*>(ev);
                const bool answer = (ev->response_type & 0x7F) == XCB_CLIENT_MESSAGE && m->type == FProtocols &&
                                    m->data.data32[0] == FPing && m->data.data32[1] == FStamp;
                std::free(ev);
                if (answer)
                    return true;
            }
            if (std::chrono::steady_clock::now() > until)
                return false;
            pollfd ready{xcb_get_file_descriptor(FConnection), POLLIN, 0};
            // Each second without an answer: the window may have gone meanwhile.
            if (::poll(&ready, 1, 1000) == 0 && Gone())
                return false;
        }
        return false;
    }
    bool Connected() { return !xcb_connection_has_error(FConnection); }

private:
    xcb_atom_t Atom(const char* Name)
    {
        xcb_intern_atom_reply_t* r =
            xcb_intern_atom_reply(FConnection, xcb_intern_atom(FConnection, 0, std::strlen(Name), Name), nullptr);
        const xcb_atom_t a = r ? r->atom : XCB_NONE;
        std::free(r);
        return a;
    }
    xcb_connection_t* FConnection;
    xcb_window_t FRoot = 0;
    xcb_atom_t FProtocols = XCB_NONE, FPing = XCB_NONE;
    uint32_t FStamp = 0;
};

unsigned long long EnvNumber(const char* Name, unsigned long long Default)
{
    const char* v = std::getenv(Name);
    return v && *v ? std::stoull(v) : Default;
}

// The department's group.
const gid_t Department = 54331;

class RandomInput : public DesktopInput {
protected:
    void SetUp() override
    {
        DesktopInput::SetUp();
        if (IsSkipped())
            return;
        if (::geteuid() != 0)
            GTEST_SKIP() << "runs the program as a login of its own and without a network: needs root";
        // A login of this run alone: what it leaves running is the run's.
        const uid_t uid = 54431 + uid_t(::getpid() % 500);
        Ola = TLogin{uid, uid, {Department}, "ola"};
        Seed = EnvNumber("VELMAROK_RANDOM_SEED", std::random_device{}());
        Random.seed(Seed);
        const fs::path logs = fs::read_symlink("/proc/self/exe").parent_path() / "random-input";
        fs::create_directories(logs);
        LogName = (logs / (std::to_string(Seed) + ".log")).string();
        Log.open(LogName);
        std::cout << "random input: seed " << Seed << ", log " << LogName << std::endl;

        // The department's folder (the program's copy in it), the login's home, the sanitizers'
        // reports and a desktop opener that opens nothing.
        fs::permissions(FRoot, fs::perms(0755));
        ASSERT_EQ(::chown(FDir.c_str(), uid_t(-1), Department), 0);
        ASSERT_EQ(::chmod(FDir.c_str(), 02775), 0);
        Env = HomeOf(Ola, Home);
        Reports = FRoot / "reports";
        fs::create_directories(Reports);
        fs::permissions(Reports, fs::perms::all);
        const fs::path bin = FRoot / "bin";
        fs::create_directories(bin);
        WriteFileBytes((bin / "xdg-open").string(), "#!/bin/sh\nexit 0\n");
        fs::permissions(bin / "xdg-open", fs::perms(0755));
        auto joined = [](const char* Name, const std::string& More) {
            const char* v = std::getenv(Name);
            return std::string(Name) + "=" + (v && *v ? std::string(v) + ":" : std::string()) + More;
        };
        Env.push_back("PATH=" + bin.string() + ":" + std::getenv("PATH"));
        // The sanitizers' reports in files. Two checks are left to the suites: the web engine, not
        // built for the sanitizers, deletes some of its objects by a base of another size, and the
        // display's GL driver allocates once for good in a module it unloads at the end, where the
        // leak checker finds the allocation without its owner.
        Env.push_back(joined("ASAN_OPTIONS", "new_delete_type_mismatch=0:detect_leaks=0:log_path=" +
                                                 (Reports / "asan").string()));
        Env.push_back(joined("UBSAN_OPTIONS", "log_path=" + (Reports / "ubsan").string()));
        // The program's windows draw with OpenGL (the test's own do without, see CMakeLists.txt).
        Env.push_back("QT_XCB_GL_INTEGRATION=");
    }
    void TearDown() override
    {
        Program.reset();
        for (const auto& [pid, command] : LoginProcesses())
            if (Ola.Uid != uid_t(-1))
                ::kill(pid, SIGKILL);
        DesktopInput::TearDown();
    }
    // The processes of the login that runs the program, and their command lines.
    std::vector<std::pair<pid_t, std::string>> LoginProcesses() const
    {
        std::vector<std::pair<pid_t, std::string>> found;
        for (const auto& e : fs::directory_iterator("/proc")) {
            const std::string status = ReadFileBytes((e.path() / "status").string());
            const std::size_t at = status.find("\nUid:\t");
            if (at != std::string::npos && uid_t(std::atol(status.c_str() + at + 6)) == Ola.Uid)
                found.emplace_back(pid_t(std::atol(e.path().filename().c_str())),
                                   ReadFileBytes((e.path() / "cmdline").string()));
        }
        return found;
    }

    void Note(const std::string& What)
    {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - Begun);
        const std::string line = "seed " + std::to_string(Seed) + " start " + std::to_string(Starts) + " action " +
                                 std::to_string(Actions) + " at " + std::to_string(seconds.count()) + " s: " + What;
        Log << line << '\n' << std::flush;
        Recent.push_back(line);
        if (Recent.size() > 40)
            Recent.pop_front();
    }
    // What failed, with the seed, the last actions and a picture of the screen.
    std::string Failure(const std::string& What)
    {
        std::unique_ptr<TBitmap> shot = GrabScreen();
        if (shot && !shot->Empty())
            SavePng(*shot, "random-input-" + std::to_string(Seed));
        std::string text = What + " (seed " + std::to_string(Seed) + ", log " + LogName + "); the last actions:\n";
        for (const std::string& r : Recent)
            text += r + "\n";
        return text;
    }

    std::size_t Pick(std::size_t N) { return std::uniform_int_distribution<std::size_t>(0, N - 1)(Random); }
    int Between(int From, int To) { return From + int(Pick(std::size_t(std::max(1, To - From)))); }
    bool Chance(int Percent) { return int(Pick(100)) < Percent; }

    // A point of a window on the screen: now and then in its left or top band, else anywhere.
    std::string PointIn(const TRect& R)
    {
        int x = Between(R.Left, R.Right), y = Between(R.Top, R.Bottom);
        if (Chance(20))
            x = Between(R.Left, std::min(R.Right, R.Left + 40));
        else if (Chance(20))
            y = Between(R.Top, std::min(R.Bottom, R.Top + 60));
        return std::to_string(x) + " " + std::to_string(y);
    }
    // Letters, digits, blanks and punctuation, Polish letters among them, as UTF-8.
    std::string Text()
    {
        static const AnsiString letters = "abcdefghijklmnopqrstuvwxyzABCXYZ0123456789 -.,/:ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";
        AnsiString t;
        for (int n = Between(1, 9); n > 0; --n)
            t += letters[Pick(letters.size())];
        return AnsiToUtf8(t);
    }

    // One random action on the program's windows (newest last; Boxes the message boxes among them):
    // the xdotool command run.
    std::string Action(const std::vector<std::string>& Windows, const std::vector<std::string>& Boxes)
    {
        static const char* const keys[] = {"Return", "Escape", "Tab", "shift+Tab", "Left", "Right", "Up", "Down",
                                           "F2", "Delete", "Insert", "ctrl+c", "ctrl+v", "ctrl+x", "ctrl+z",
                                           "ctrl+s"};
        static const char* const answers[] = {"Return", "Escape", "space", "Tab Return", "Right Return",
                                              "Left Return", "Tab Tab Return"};
        const std::string window = Chance(60) ? Windows.back() : Windows[Pick(Windows.size())];
        const TRect r = ScreenRect(window);
        const int roll = int(Pick(100));
        if (!Boxes.empty() && roll < 10) {
            const std::string box = Boxes[Pick(Boxes.size())];
            return Chance(25) ? "mousemove " + PointIn(ScreenRect(box)) + " click 1"
                              : "windowfocus " + box + " key " + answers[Pick(std::size(answers))];
        }
        if (roll < 38)
            return "mousemove " + PointIn(r) + " click 1";
        if (roll < 42)
            return "mousemove " + PointIn(r) + " click --repeat 2 --delay 60 1";
        if (roll < 46)
            return "mousemove " + PointIn(r) + " click 3";
        if (roll < 51)
            return "mousemove " + PointIn(r) + " mousedown 1 mousemove " + PointIn(r) + " mousemove " + PointIn(r) +
                   " mouseup 1";
        if (roll < 56)
            return "mousemove " + PointIn(r) + " click --repeat " + std::to_string(Between(1, 4)) + " " +
                   (Chance(50) ? "4" : "5");
        if (roll < 65)
            return "type -- '" + Text() + "'";
        if (roll < 66)
            return "key alt+F4";
        return std::string("key ") + keys[Pick(std::size(keys))];
    }

    // The program's shown windows and, among them, its message boxes; the log names them when
    // they change.
    void ShownNow(std::vector<std::string>& Windows, std::vector<std::string>& Boxes)
    {
        Windows = ShownWindows(Program->Pid(), "");
        Boxes.clear();
        std::string shown;
        for (const std::string& w : Windows) {
            const std::string name = FirstLine(CommandOutput("xdotool getwindowname " + w + " 2>/dev/null"));
            if (name.find("!!!") != std::string::npos)
                Boxes.push_back(w);
            shown += " " + w + " '" + name + "'";
        }
        if (shown != Shown)
            Note("windows" + shown);
        Shown = shown;
    }
    // Windows the window manager iconified or shaded (a click on a title bar's button, the wheel over
    // a title bar) come back as from the task bar: activated. Never true, so the caller looks again.
    bool BringBack()
    {
        std::istringstream ids(CommandOutput("xdotool search --all --pid " + std::to_string(Program->Pid()) +
                                             " 2>/dev/null"));
        for (std::string id; ids >> id;) {
            const std::string state = CommandOutput("xprop -id " + id + " WM_STATE _NET_WM_STATE 2>/dev/null");
            if (state.find("Iconic") != std::string::npos || state.find("SHADED") != std::string::npos) {
                Note("brought back " + id);
                Xdo("windowactivate " + id);
            }
        }
        return false;
    }
    // Where the program's main thread is (when a debugger is there to tell); every thread's stack
    // beside the log.
    std::string Stack()
    {
        const std::string stacks = LogName + ".stacks";
        (void)!::system(("gdb -p " + std::to_string(Program->Pid()) + " -batch -ex 'thread apply all bt' >" + stacks +
                  " 2>&1").c_str());
        return CommandOutput("sed -n '/^Thread 1 /,/^$/p' " + stacks + " | head -60") + "(every thread in " + stacks + ")";
    }

    // The program just ended (or ended now by the system, when it still runs): not by a signal, and
    // without a sanitizer's report.
    void CheckEnd()
    {
        if (Program->Running()) {
            ::kill(Program->Pid(), SIGTERM);
            if (!WaitUntil([&] { return !Program->Running(); }, 60000)) {
                const std::string stack = Stack();
                ::kill(Program->Pid(), SIGKILL);
                ADD_FAILURE() << Failure("the program did not end when the system ended it:\n" + stack);
                return;
            }
        }
        // Nothing the program started outlives it for long.
        if (!WaitUntil([&] { return LoginProcesses().empty(); }, 30000))
            for (const auto& [pid, command] : LoginProcesses()) {
                ADD_FAILURE() << Failure("left running: " + command);
                ::kill(pid, SIGKILL);
            }
        const int status = Program->Status();
        EXPECT_FALSE(WIFSIGNALED(status)) << Failure("the program ended by signal " + std::to_string(WTERMSIG(status)));
        for (const auto& e : fs::directory_iterator(Reports))
            ADD_FAILURE() << Failure("a sanitizer's report:\n" + ReadFileBytes(e.path().string()).substr(0, 6000));
        fs::remove_all(Reports);
        fs::create_directories(Reports);
        fs::permissions(Reports, fs::perms::all);
    }

    // Every file of the folder reads with the program's readers, and keeps the department's modes;
    // no temporary file of a replacement is left.
    void CheckFolder()
    {
        for (const auto& e : fs::recursive_directory_iterator(FDir)) {
            const std::string name = e.path().filename().string();
            const std::string where = fs::relative(e.path(), FDir).string();
            const auto mode = unsigned(fs::status(e.path()).permissions()) & 07777;
            if (e.is_directory()) {
                EXPECT_EQ(mode, 02775u) << Failure(where + " has the mode " + std::to_string(mode));
                continue;
            }
            if (where == "velmarok")
                continue;
            EXPECT_EQ(mode, 0664u) << Failure(where + " has the mode " + std::to_string(mode));
            EXPECT_FALSE(name[0] == '.' && name.find(".tmp") != std::string::npos) << Failure(where + " was left");
            const AnsiString path = FromOsPath(e.path().string()), ext = LowerCase(ExtractFileExt(path));
            const AnsiString folder = LowerCase(ExtractFileName(ExtractFileDir(path)));
            TStringList lines;
            if (ext == ".dat")
                lines.SetText(ReadScrambledFile(path));
            else if (ext == ".txt" || ext == ".ini")
                lines.SetText(LoadBytesFromFile(path));
            if (ext == ".dat" || ext == ".ini") {
                const AnsiString plain = FromOsPath((FRoot / "plain.ini").string());
                SaveBytesToFile(plain, lines.Text());
                TMemIniFile ini(plain);
                TStringList sections;
                ini.ReadSections(&sections);
                EXPECT_TRUE(sections.Count() > 0 || (name == "config.dat" && lines.Count() >= 9))
                    << Failure(where + " does not read:\n" + lines.Text());
            }
            for (int i = 0; ext == ".txt" && i < lines.Count(); ++i) {
                // A record line reads back as the same fields.
                const AnsiString& line = lines.Strings(i);
                const AnsiString read = folder == "katalog norm" ? NormLine(SplitNormLine(line))
                                        : folder == "wykazy"     ? ListLine(SplitListLine(line))
                                                                 : line;
                EXPECT_EQ(read, line) << Failure(where + " line " + std::to_string(i));
            }
        }
    }

    unsigned long long Seed = 0;
    std::mt19937_64 Random;
    std::ofstream Log;
    std::string LogName;
    std::deque<std::string> Recent;
    std::string Shown;
    const std::chrono::steady_clock::time_point Begun = std::chrono::steady_clock::now();
    std::vector<std::string> Env;
    TLogin Ola{uid_t(-1), gid_t(-1), {}, ""};   // none until the set-up makes it
    fs::path Reports;
    int Starts = 0, Actions = 0;
};

}   // namespace

TEST_F(RandomInput, TheProgramNeitherDiesNorHangsNorDamagesItsFiles)
{
    const auto until =
        std::chrono::steady_clock::now() + std::chrono::minutes(EnvNumber("VELMAROK_RANDOM_MINUTES", 2));
    TPing ping;
    ASSERT_TRUE(ping.Connected());
    StartWindowManager();
    ASSERT_FALSE(HasFatalFailure());
    // The first three starts make the folder's files, each ending by itself; the login then has
    // every right.
    for (int i = 0; i < 3; ++i) {
        Program = std::make_unique<TProgramProcess>(Exe, Home, Env, &Ola, std::vector<std::string>{}, true);
        EXPECT_EQ(PassBoxes(*Program), "") << "start " << i + 1 << WindowNames();
        CheckEnd();
    }
    ASSERT_TRUE(Exists("Ustawienia/ola.dat")) << Failure("the first starts made no settings");
    WriteScrambledFile(Path("Ustawienia/users.dat"),
                       "[UsersName]\r\nola=\r\n[Level]\r\nola=4\r\n[Options]\r\nRunUserOut=0\r\n");
    CheckFolder();

    std::vector<std::string> windows, boxes;
    while (std::chrono::steady_clock::now() < until && !HasFailure()) {
        if (!Program->Running()) {
            if (Starts > 0) {
                Note("the program ended");
                CheckEnd();
                CheckFolder();
            }
            Program = std::make_unique<TProgramProcess>(Exe, Home, Env, &Ola, std::vector<std::string>{}, true);
            ++Starts;
            Note("started");
        }
        if (!WaitUntil([&] { return !Program->Running() || (ShownNow(windows, boxes), !windows.empty()) || BringBack(); },
                       60000)) {
            ADD_FAILURE() << Failure("the program shows no window:\n" + Stack());
            break;
        }
        if (!Program->Running())
            continue;
        const std::string action = Action(windows, boxes);
        ++Actions;
        Note(action);
        Xdo(action);
        auto shown = [&](const std::string& W) {
            const std::vector<std::string> now = ShownWindows(Program->Pid(), "");
            return std::find(now.begin(), now.end(), W) != now.end();
        };
        for (const std::string& w : windows)
            if (!ping.Answers(w, 60000, [&] { return !shown(w); }) && Program->Running() && shown(w))
                ADD_FAILURE() << Failure("the window " + w + " stopped answering:\n" + Stack());
    }
    Note("the run ends");
    CheckEnd();
    CheckFolder();
    std::cout << "random input: seed " << Seed << ", " << Actions << " actions over " << Starts << " starts"
              << std::endl;
    RecordProperty("actions", Actions);
    RecordProperty("starts", Starts);
}
