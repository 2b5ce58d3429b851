// The velmarok executable itself, started as a user starts it: a copy in a fresh folder (its
// program folder, being writable) on the suite's display, with its own home folder. The test
// watches the display's windows for its first-start message, checks what it wrote, takes a
// picture of the screen and ends the program. Under a window manager the started program is
// driven with real X input (xdotool) and checked in pictures of the screen; on a small screen of
// its own its windows come up whole and its topmost box above the others; a form maximised by
// the window manager keeps within its placement's maximised size.
#include <gtest/gtest.h>

#include "controls/Placement.h"
#include "tests/e2e/DesktopRun.h"

TEST_F(ExecutableStart, FirstStartOnAComputerShowsTheOnceOnlyMessageAndMarksTheRegistry)
{
    // Its private temporary folder in a folder of the test's.
    const std::filesystem::path temp = FRoot / "tmp";
    std::filesystem::create_directories(temp);
    TProgramProcess program(Exe, Home, {"TMPDIR=" + temp.string()});
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
    // Ended by the system with its message up, the program ends as at any end: its own
    // temporary folder goes with it.
    auto ownFolders = [&] {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(temp))
            n += e.path().filename().string().rfind("velmarok-", 0) == 0;
        return n;
    };
    ASSERT_EQ(ownFolders(), 1);
    const int status = program.End();
    EXPECT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(ownFolders(), 0);
}

TEST_F(ExecutableStart, FirstStartInAFolderWritesTheConfigurationAndSaysSo)
{
    // Marked on this computer already: the first start of the folder writes "config.dat". The
    // command line is ignored, the toolkit's own options too.
    MarkComputer(Home);
    TProgramProcess program(Exe, Home, {}, nullptr, {"-platform", "offscreen", "-reverse"});
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

    // The first program saves: the dated copy is declined, the success is shown.
    AddStandardByHand(a, mainA, "PN-EN 1111");
    ASSERT_FALSE(HasFatalFailure());
    const std::string done = DeclineCopy(a);
    ASSERT_FALSE(done.empty()) << WindowNames();
    const AnsiString saved = Read("Katalog Norm/normy_wszystkie.txt");
    EXPECT_NE(saved.find("PN-EN 1111|Aktualna|Brak||Tytul||"), AnsiString::npos) << saved;
    ASSERT_TRUE(Answer(a, done, "Escape"));

    // The second, which read the catalogue before that save, is asked before it writes.
    AddStandardByHand(b, mainB, "PN-EN 2222");
    ASSERT_FALSE(HasFatalFailure());
    const std::string question = WaitForNewWindow(b, "UWAGA");
    ASSERT_FALSE(question.empty()) << WindowNames();
    ScreenShot("12-executable-second-save-asks");
    EXPECT_EQ(Read("Katalog Norm/normy_wszystkie.txt"), saved);
    // Return takes the default, No: nothing is written, the program goes on.
    ASSERT_TRUE(Answer(b, question, "Return"));
    EXPECT_TRUE(b.Running());
    EXPECT_EQ(Read("Katalog Norm/normy_wszystkie.txt"), saved);
}

TEST_F(DesktopInput, RealClicksAndKeysReachTheControlsTheyAreMeantFor)
{
    // A folder started three times (the files of the first starts), with six main menu buttons,
    // then the program under the window manager.
    StartUnderWindowManager([&] {
        AnsiString menu = Read("Ustawienia\\kategorie.ini");
        ASSERT_EQ(menu.find("[Kategorie]\r\n"), 0u);
        Write("Ustawienia\\kategorie.ini", "[Kategorie]\r\nWyrób 4=\r\nWyrób 5=\r\n" + menu.substr(13));
    });
    ASSERT_FALSE(HasFatalFailure());
    const TPlaces& places = Places;
    TProgramProcess& program = *Program;
    ASSERT_EQ(places.MenuRows.size(), 6u);
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
    X("key alt+n");
    // The number's caret shows once Alt+N has moved the focus: "abc" is all in the description then.
    EXPECT_TRUE(WaitUntil([&] { return Ink(*GrabScreen(), OnScreen(number)) > 0; })) << "Alt+N";
    const int typed = settledInk(description);
    X("type --delay 20 'PN-EN 10088'");
    // The number takes the text (far more ink than its caret), the description nothing.
    EXPECT_TRUE(WaitUntil([&] { return Ink(*GrabScreen(), OnScreen(number)) > 50; })) << "Alt+N";
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
    EXPECT_TRUE(WaitUntil([&] {
        return Differences(*GrabScreen(), TPoint(0, 0), *beforeFind, OnScreen(places.Result)) > 0;
    })) << "the first click after the list closed";
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
    EXPECT_TRUE(WaitUntil(rowsInked));
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
        const std::string id = WaitForNewWindow(program, "", before);
        ASSERT_FALSE(id.empty()) << WindowNames();
        const TRect r = ScreenRect(id);
        EXPECT_TRUE(WaitUntil([&] {
            const int ink = Ink(*GrabScreen(), r);
            return ink > 10 && ink * 2 < r.Width() * r.Height();
        }));
        ScreenShot(c.Name);
        X("key Escape");
        EXPECT_TRUE(WaitGone(program, id));
    }
}

// Text typed into a register's cell, the editor still open, when the window manager closes the
// window (Alt+F4): the program asks about the unsaved register and "Tak" saves what was typed.
TEST_F(DesktopInput, TextStillBeingTypedIsAskedAboutWhenTheWindowManagerClosesTheWindow)
{
    StartUnderWindowManager();
    ASSERT_FALSE(HasFatalFailure());
    const TPlaces& places = Places;
    TProgramProcess& program = *Program;
    ASSERT_TRUE(OpenPage(places.Register, *places.RegisterOpen, *places.RegisterShown, places.EditList));
    ClickAt(Centre(places.EditList));
    ASSERT_TRUE(WaitForLook(*places.ListEditing, places.ListMenu));
    ClickAt(Centre(places.Cell));
    X("type --delay 30 'NORMA-OTWARTA'");
    X("key alt+F4");
    const std::string ask = WaitForNewWindow(program, "UWAGA");
    ASSERT_FALSE(ask.empty()) << WindowNames();
    EXPECT_TRUE(Answer(program, ask, "Return"));
    EXPECT_TRUE(WaitUntil([&] { return !program.Running(); }));
    AnsiString registers;
    for (const auto& e : std::filesystem::directory_iterator(FDir / "Wykazy"))
        registers += Read("Wykazy/" + e.path().filename().string());
    EXPECT_NE(registers.find("NORMA-OTWARTA"), AnsiString::npos) << registers;
}

TEST_F(DesktopInput, OnASmallScreenTheWindowsFitAndATopmostBoxStaysAbove)
{
    // A screen of 1024 x 700 pixels under the window manager.
    TOwnDisplay display(1024, 700);
    ASSERT_TRUE(display.Started());
    StartWindowManager();
    ASSERT_FALSE(HasFatalFailure());
    auto fits = [](const std::string& Id) {
        const TRect r = FrameRect(Id);
        return r.Width() > 0 && r.Left >= 0 && r.Top >= 0 && r.Right <= 1024 && r.Bottom <= 700;
    };
    auto stateOf = [](const std::string& Id) { return CommandOutput("xprop -id " + Id + " _NET_WM_STATE"); };

    // The first start of the folder writes the configuration and says so in a topmost box.
    MarkComputer(Home);
    {
        TProgramProcess first(Exe, Home);
        const std::string box = WaitForNewWindow(first, "D !!!");
        ASSERT_FALSE(box.empty()) << WindowNames();
        EXPECT_TRUE(WaitUntil([&] { return stateOf(box).find("_NET_WM_STATE_ABOVE") != std::string::npos; }))
            << stateOf(box);
        EXPECT_TRUE(WaitUntil([&] { return fits(box); }));
        EXPECT_TRUE(Answer(first, box, "Return"));
    }
    // The next starts' messages answered, the main window shows on the screen whole.
    std::string main;
    for (int start = 0; start < 3 && main.empty(); ++start) {
        Program = std::make_unique<TProgramProcess>(Exe, Home);
        main = PassBoxes(*Program);
    }
    ASSERT_FALSE(main.empty()) << WindowNames();
    EXPECT_TRUE(WaitUntil([&] { return fits(main); })) << FrameRect(main).Left << "," << FrameRect(main).Top << " " << FrameRect(main).Width() << "x"
        << FrameRect(main).Height();
    // So does a dialog opened from it (Ctrl+D in the catalogue: a new standard).
    ASSERT_TRUE(Xdo("windowactivate --sync " + main + " mousemove --window " + main + " --sync 400 300 click 1"));
    ASSERT_TRUE(Xdo("key ctrl+d"));
    const std::string add = WaitForNewWindow(*Program, "Dodaj");
    ASSERT_FALSE(add.empty()) << WindowNames();
    EXPECT_TRUE(WaitUntil([&] { return fits(add); }));
    Program.reset();
    Manager.reset();
}

TEST_F(DesktopInput, AFormPlacementsMaximisedSizeBoundsTheMaximisedWindow)
{
    TForm form(nullptr);
    form.SetCaption("Rozmiar maksymalny");
    form.SetBounds(40, 50, 300, 200);
    auto* placement = new TFormPlacement(&form);
    placement->SetActive(false);
    placement->MinMaxInfo()->SetMaxSizeWidth(450);
    form.Show();
    // The window manager takes the window shown before it started; then it maximises the window as
    // high as the screen's work area and 450 pixels wide.
    StartWindowManager();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(WaitUntil([] {
        const std::string id = FirstLine(CommandOutput("xdotool search --onlyvisible --name '^Rozmiar maksymalny$'"));
        return !id.empty() && CommandOutput("xprop -id " + id + " _NET_FRAME_EXTENTS").find('=') != std::string::npos;
    })) << WindowNames();
    form.SetWindowState(wsMaximized);
    // The window manager's notes of the window's state may come after its new size.
    EXPECT_TRUE(WaitUntil([&] { return form.Height() > 500 && form.WindowState() == wsMaximized; }))
        << form.Width() << "x" << form.Height() << " state " << int(form.WindowState());
    EXPECT_EQ(form.Width(), 450);
    form.Hide();
}
