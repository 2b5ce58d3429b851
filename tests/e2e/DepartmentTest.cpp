// A department's day with the program on a desktop, driven with real X input under a window
// manager (openbox): two logins of the department's group on one installed program and one
// department folder, each saving the catalogue and a register; a register imported from a UTF-8
// file; the shown list saved as CSV by the type chosen in the save dialog; the walk's check
// dialog kept above the main window after a click on it, and a click inside the check dialog
// kept from the catalogue beneath; a sliding panel closing once the pointer has left it. Every
// step leaves a screenshot <build>/screenshots/e2e-3*.png.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/U_WspolneFunkcje.h"
#include "platform/core/CodePage.h"
#include "tests/e2e/DesktopRun.h"

namespace fs = std::filesystem;

namespace {

// A window's id as the window system's properties list it ("0x2a0000c").
std::string Hex(const std::string& Id)
{
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%lx", std::stoul(Id));
    return hex;
}

class DepartmentDay : public DesktopInput {
protected:
    // A register of the menu opened, its first cell set to Text in editing mode and the register
    // saved on leaving editing mode (Return: "Tak").
    void EditRegisterByHand(TProgramProcess& P, const std::string& Text)
    {
        const TPlaces& places = Places;
        ASSERT_TRUE(OpenPage(places.Register, *places.RegisterOpen, *places.RegisterShown, places.EditList));
        ClickAt(Centre(places.EditList));
        ASSERT_TRUE(WaitForLook(*places.ListEditing, places.ListMenu));
        ClickAt(Centre(places.Cell));
        X("type --delay 30 '" + Text + "'");
        X("key Return");
        ClickAt(Centre(places.EditList));
        const std::string ask = WaitForNewWindow(P, "UWAGA");
        ASSERT_FALSE(ask.empty()) << WindowNames();
        EXPECT_TRUE(Answer(P, ask, "Return"));
    }
    // The panel of the menu place ("Normy") opened with a click on its tab.
    bool OpenPanel(const TMenuPlace& Menu) { return DesktopInput::OpenPanel(Menu, *Places.SearchOpen); }
    // The id of the shown window (of this process too) whose title begins with Title; "" after 30 s.
    static std::string WindowTitled(const AnsiString& Title)
    {
        std::string id;
        EXPECT_TRUE(WaitUntil([&] {
            id = FirstLine(
                CommandOutput("xdotool search --onlyvisible --name '^" + AnsiToUtf8(Title) + "' 2>/dev/null"));
            return !id.empty();
        })) << Title << WindowNames();
        return id;
    }
    // The panel has slid in: where it lay, the catalogue's page shows as the program started.
    bool PanelClosed(const TMenuPlace& Menu)
    {
        const TRect r(Menu.ItemLine.Left, Size.Y * 3 / 5, Menu.ItemLine.Left + 120, Size.Y * 3 / 5 + 100);
        return WaitForLook(*Places.Catalogue, r);
    }
};

}   // namespace

TEST_F(DepartmentDay, TwoLoginsOfTheGroupSaveTheCatalogueAndARegisterInTheInstalledProgramsFolder)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "runs the program as logins of its own: needs root";
    const gid_t group = 54321;
    const TLogin jan{54401, 54401, {group}, "jan"}, anna{54402, 54402, {group}, "anna"};

    // The program installed with cmake --install and the department's folder made as the README
    // says (mode 2775, the department's group).
    fs::permissions(FRoot, fs::perms(0755));
    const fs::path prefix = FRoot / "usr";
    ASSERT_EQ(std::system((std::string(VELMAROK_CMAKE) + " --install '" + VELMAROK_BUILD_DIR + "' --prefix '" +
                           prefix.string() + "' >/dev/null")
                              .c_str()),
              0);
    Exe = prefix / "bin" / "velmarok";
    ASSERT_TRUE(fs::exists(prefix / "share" / "velmarok" / "help"));
    fs::remove(FDir / "velmarok");
    ASSERT_EQ(::chown(FDir.c_str(), uid_t(-1), group), 0);
    ASSERT_EQ(::chmod(FDir.c_str(), 02775), 0);
    fs::path janHome, annaHome;
    const std::vector<std::string> janEnv = HomeOf(jan, janHome), annaEnv = HomeOf(anna, annaHome);

    // jan's first three starts make the folder's files, each ending by itself.
    for (int i = 0; i < 3; ++i) {
        TProgramProcess first(Exe, janHome, janEnv, &jan);
        ASSERT_TRUE(first.Started());
        EXPECT_EQ(PassBoxes(first), "") << "start " << i + 1 << WindowNames();
    }
    ASSERT_TRUE(Exists("Katalog Norm/normy_wszystkie.txt"));
    ASSERT_TRUE(Exists("Ustawienia/jan.dat"));
    // The head of the department gives anna (and the test's own login, which finds where the
    // controls are) level 4.
    WriteScrambledFile(Path("Ustawienia/users.dat"),
                       "[UsersName]\r\njan=\r\nanna=\r\n" + GetWindowsUserName() + "=\r\n[Level]\r\njan=4\r\nanna=4\r\n" +
                           GetWindowsUserName() + "=4\r\n[Options]\r\nRunUserOut=0\r\n");
    Probe();
    StartWindowManager();

    // Each in turn adds a standard and saves the catalogue, and changes and saves a register.
    struct {
        const TLogin* Login;
        const fs::path* Home;
        const std::vector<std::string>* Env;
        const char* Number;
    } const turns[] = {{&jan, &janHome, &janEnv, "PN-EN 1111"}, {&anna, &annaHome, &annaEnv, "PN-EN 2222"}};
    for (const auto& t : turns) {
        SCOPED_TRACE(t.Login->Name);
        TProgramProcess program(Exe, *t.Home, *t.Env, t.Login);
        const std::string main = PassBoxes(program);
        ASSERT_FALSE(main.empty()) << WindowNames();
        TakeWindow(main);
        AddStandardByHand(program, main, t.Number);
        ASSERT_FALSE(HasFatalFailure());
        // No dated copy; the success, not the missing rights.
        const std::string done = DeclineCopy(program);
        ASSERT_FALSE(done.empty()) << WindowNames();
        ScreenShot("30-department-" + t.Login->Name + "-saved-the-catalogue");
        EXPECT_TRUE(Answer(program, done, "Escape"));
        EXPECT_NE(Read("Katalog Norm/normy_wszystkie.txt").find(std::string(t.Number) + "|Aktualna|"),
                  AnsiString::npos);
        EditRegisterByHand(program, "NORMA-" + t.Login->Name);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_TRUE(WaitUntil([&] {
            return Read("Wykazy/z_u.txt").find("NORMA-" + t.Login->Name) != AnsiString::npos;
        }));
        WindowShot("31-department-" + t.Login->Name + "-saved-the-register");
        EXPECT_TRUE(ShownWindows(program.Pid(), "!!!").empty()) << "a message left: " << WindowNames();
    }
    EXPECT_NE(Read("Katalog Norm/normy_wszystkie.txt").find("PN-EN 1111|"), AnsiString::npos);
    EXPECT_TRUE(Exists("Ustawienia/anna.dat"));
    struct stat st {};
    ASSERT_EQ(::stat((FDir / "Katalog Norm" / "normy_wszystkie.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, anna.Uid);
    // Every file and folder there is the group's to write.
    int files = 0;
    for (const auto& e : fs::recursive_directory_iterator(FDir)) {
        files += e.is_regular_file();
        EXPECT_EQ(TSharedFolder::ModeAndGroup(e.path()), std::make_pair(mode_t(e.is_directory() ? 02775 : 0664), group))
            << e.path();
    }
    EXPECT_GE(files, 8);
}

TEST_F(DepartmentDay, AUtf8RegisterImportAndTheListSavedAsCsvByTheChosenType)
{
    // What an editor on Linux writes: UTF-8 without a byte-order mark.
    const AnsiString row = "ŚWIADECTWO żółć\tR-1\tStal – „S235”\tPN-EN 10204:2006\r\n";
    const fs::path source = Home / "zestawienie.txt";
    WriteFileBytes(source.string(), AnsiToUtf8(row));
    StartUnderWindowManager();
    ASSERT_FALSE(HasFatalFailure());
    const TPlaces& places = Places;
    TProgramProcess& program = *Program;

    // The import page: the file typed, the first group chosen, "Importuj plik", and Return
    // opens the new register.
    ASSERT_TRUE(OpenPage(places.Import, *places.ImportOpen, *places.ImportShown, places.ImportFile));
    ClickAt(Centre(places.ImportFile));
    X("type --delay 10 '" + source.string() + "'");
    ClickAt(Centre(places.ImportGroup));
    ClickAt(Centre(places.ImportButton));
    const std::string open = WaitForNewWindow(program, "INFORMACJA");
    ASSERT_FALSE(open.empty()) << WindowNames();
    EXPECT_TRUE(Answer(program, open, "Return"));
    ASSERT_TRUE(WaitUntil([&] { return Exists("Wykazy/zestawienie.txt"); }));
    EXPECT_EQ(Read("Wykazy/zestawienie.txt"), "|PN-EN 10204:2006|Stal – „S235”|ŚWIADECTWO żółć|R-1|\r\n");
    EXPECT_TRUE(WaitForLook(*places.RegisterShown, places.EditList));
    WindowShot("32-department-utf8-register-imported");

    // The catalogue shown, then saved as "katalog" with the type "Plik CSV" chosen in the dialog,
    // which opens in the home folder.
    ASSERT_TRUE(OpenPanel(places.AllNorms));
    ClickAt(places.AllNorms.Item);
    ClickAt(places.StripEnd);
    ASSERT_TRUE(OpenPanel(places.SaveListAs));
    const std::vector<std::string> before = ShownWindows(program.Pid(), "");
    ClickAt(places.SaveListAs.Item);
    const std::string dialog = WaitForNewWindow(program, "", before);
    ASSERT_FALSE(dialog.empty()) << WindowNames();
    X("windowfocus --sync " + dialog + " type --delay 20 katalog");
    // The file type's list below the name, at the dialog's foot; CSV is its third type.
    const TRect d = ScreenRect(dialog);
    const std::vector<std::string> listed = ShownWindows(program.Pid(), "");
    X("mousemove " + std::to_string(d.Left + d.Width() * 45 / 100) + " " + std::to_string(d.Bottom - 23) + " click 1");
    const std::string types = WaitForNewWindow(program, "", listed);
    ASSERT_FALSE(types.empty()) << WindowNames();
    X("key Down Down Return");
    ASSERT_TRUE(WaitGone(program, types));
    ScreenShot("33-department-save-dialog-csv-chosen");
    X("key Return");
    const fs::path csv = Home / "katalog.csv";
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(csv) && fs::file_size(csv) > 0; })) << WindowNames();
    EXPECT_FALSE(fs::exists(Home / "katalog.html"));
    const std::string bytes = ReadFileBytes(csv.string());
    EXPECT_EQ(bytes.substr(0, 2), "\"\"");
    EXPECT_NE(bytes.find("PN-EN 10088-1:2007"), std::string::npos);
}

TEST_F(DepartmentDay, ASlidingPanelClosesOnceThePointerHasLeftIt)
{
    StartUnderWindowManager();
    ASSERT_FALSE(HasFatalFailure());
    const TPlaces& places = Places;

    // The panel "Normy" opened with a click on its tab, then the pointer away from it.
    const TPoint grid = places.GridPoint;
    const struct {
        const char* Name;
        std::vector<std::string> Inputs;   // after the panel opened
    } cases[] = {
        {"moved onto the grid", {MoveTo(grid)}},
        {"a click on the grid", {MoveTo(grid) + " click 1"}},
        {"its tab clicked again", {"click 1", MoveTo(TPoint(grid.X, grid.Y + 40))}},
        {"Escape", {"key Escape", MoveTo(TPoint(grid.X - 40, grid.Y))}},
        {"out of the window", {"mousemove 2 2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(OpenPanel(places.AllNorms));
        for (const std::string& input : c.Inputs)
            X(input);
        EXPECT_TRUE(PanelClosed(places.AllNorms));
    }
    WindowShot("34-department-panel-closed");
}

TEST_F(DepartmentDay, TheWalksCheckDialogStaysAboveTheMainWindowAfterAClickOnIt)
{
    TTestHttpServer server;
    server.Serve("/index.php", 200, "text/html; charset=windows-1250",
                 "<html><body><h1>Sklep</h1><p>PN-EN 10088-1:2007</p></body></html>");
    RedirectHostToTestServer("https://sklep.pkn.pl", server);
    StartThreeTimes();
    StartWindowManager();

    // The program in this process, under the window manager: the walk over the whole catalogue
    // shows its check dialog; a real click on the main window beside it leaves it above.
    TNetworkState online(true);
    Start([&](Tf_MainForm* Form) {
        ScriptDialogs()
            .ExpectModal("f_SprawdzNorme", mrCancel,
                         [&](TForm*) {
                             const std::string main = WindowTitled("Velmarok Polskich Norm v"),
                                               dialog = WindowTitled("Sprawdź normę");
                             ASSERT_FALSE(main.empty() || dialog.empty());
                             // The window system knows whose it is.
                             EXPECT_NE(CommandOutput("xprop -id " + dialog + " WM_TRANSIENT_FOR").find("# " + Hex(main)),
                                       std::string::npos);
                             const TRect m = ScreenRect(main), d = ScreenRect(dialog);
                             // A point of the main window the dialog does not cover.
                             const TPoint beside(d.Right < m.Right - 20 ? d.Right + 10 : m.Left + 10, m.Bottom - 10);
                             ASSERT_TRUE(beside.X < d.Left || beside.X > d.Right || beside.Y > d.Bottom);
                             Xdo("mousemove " + std::to_string(beside.X) + " " + std::to_string(beside.Y) + " click 1");
                             // The stacking, bottom to top, as the window manager keeps it.
                             auto above = [&] {
                                 std::string order = CommandOutput("xprop -root _NET_CLIENT_LIST_STACKING");
                                 order = FirstLine(order) + ",";
                                 const std::size_t mi = order.find(" " + Hex(main) + ","),
                                                   di = order.find(" " + Hex(dialog) + ",");
                                 return mi != std::string::npos && di != std::string::npos && di > mi;
                             };
                             // The click has had time to raise the main window, were it to.
                             EXPECT_FALSE(WaitUntil([&] { return !above(); }, 1500));
                             EXPECT_TRUE(above());
                             ScreenShot("35-department-check-dialog-above-the-main-window");
                         })
            .ExpectMessageBox(IDYES, "Czy na pewno chcesz przerwać aktualizację norm")
            .ExpectMessageBox(IDNO, "Zapisać wszystkie wprowadzone zmiany");
        Form->RunMenuCommand("Listę wszystkich norm", "Listę wszystkich norm");
        EXPECT_TRUE(VerifyNoPendingDialogs());
    });
    ClearHostRedirects();
}

TEST_F(DepartmentDay, ClicksInsideTheCheckDialogStayInItAndTheNextCommandActsOnTheCheckedStandard)
{
    TTestHttpServer server;
    server.Serve("/index.php", 200, "text/html; charset=windows-1250", "<html><body>Sklep</body></html>");
    RedirectHostToTestServer("https://sklep.pkn.pl", server);
    // The manager well started before the main window shows.
    StartWindowManager();
    StartThreeTimes();

    // A real double click on a standard's number opens "Sprawdź normę" over the catalogue; a real
    // click in its title memo, at a point over another row of the grid, then "Przerwij/Anuluj".
    TNetworkState online(true);
    Start([&](Tf_MainForm* Form) {
        TProStringGrid* g = Form->sg_WszystkieNormy;
        const int checked = 4, top = g->TopRow(), left = g->LeftCol();
        const AnsiString number = g->Cells(1, checked), other = g->Cells(1, 2);
        // A point of C on the screen, from the place of its window on the screen.
        auto onScreen = [](const std::string& Id, TCustomForm* F, TControl* C, TPoint P) {
            const TPoint at = C->ClientToScreen(P), origin = F->ClientToScreen(TPoint(0, 0));
            const TRect w = ScreenRect(Id);
            return TPoint(w.Left + at.X - origin.X, w.Top + at.Y - origin.Y);
        };
        auto click = [](const TPoint& P, const char* Times) {
            EXPECT_TRUE(Xdo("mousemove --sync " + std::to_string(P.X) + " " + std::to_string(P.Y) + " click " +
                            Times + " 1"));
        };
        const std::string main = WindowTitled("Velmarok Polskich Norm v");
        ASSERT_TRUE(Xdo("windowactivate --sync " + main));
        bool closed = false;
        ScriptDialogs().ExpectModal("f_SprawdzNorme", mrCancel, [&](TForm*) {
            Tf_SprawdzNorme* d = f_SprawdzNorme;
            const std::string dialog = WindowTitled("Sprawdź normę");
            // The first point of the memo, row by row, that lies over row 2 of the grid.
            TPoint inMemo(-1, -1);
            for (int y = 4; y < d->m_Tytul->Height() - 4 && inMemo.X < 0; y += 4)
                for (int x = 4; x < d->m_Tytul->Width() - 4 && inMemo.X < 0; x += 8) {
                    const TPoint s = onScreen(dialog, d, d->m_Tytul, TPoint(x, y)),
                                 o = onScreen(main, Form, g, TPoint(0, 0));
                    const TGridCoord c = g->MouseCoord(s.X - o.X, s.Y - o.Y);
                    if (c.Y == 2 && c.X >= 1)
                        inMemo = s;
                }
            ASSERT_GE(inMemo.X, 0) << "the memo lies over no cell of row 2";
            click(inMemo, "");
            EXPECT_TRUE(WaitUntil([&] { return d->m_Tytul->Focused(); }));
            EXPECT_EQ(g->Row(), checked);
            EXPECT_EQ(g->LeftCol(), left);
            EXPECT_EQ(g->TopRow(), top);
            ScreenShot("36-department-check-dialog-clicked-over-the-grid");
            click(onScreen(dialog, d, d->BitBtn2, TPoint(20, 10)), "");
            EXPECT_TRUE(WaitUntil([&] { return d->ModalResult() == mrCancel; }));
            closed = true;
        });
        const TRect cell = g->CellRect(1, checked);
        click(onScreen(main, Form, g, TPoint(cell.Left + 10, (cell.Top + cell.Bottom) / 2)), "--repeat 2 --delay 80");
        ASSERT_TRUE(WaitUntil([&] { return closed; }));
        EXPECT_EQ(g->Row(), checked);

        // The standard just checked is the one removed.
        ScriptDialogs()
            .ExpectMessageBox(IDYES, "Nr normy: " + number)
            .ExpectMessageBox(IDNO, "Lista norm została zmodyfikowana");
        ASSERT_TRUE(ClickMenuItem(Form, "Normy", "Usuń zaznaczoną normę z listy"));
        EXPECT_EQ(g->Cols(1)->IndexOf(number), -1);
        EXPECT_EQ(g->Cols(1)->IndexOf(other), 2);
    });
    ClearHostRedirects();
}
