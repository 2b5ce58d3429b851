#include <gtest/gtest.h>

#include <memory>

#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "app/qx_Unit1.h"
#include "controls/QelSensitiveLabel.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/TestSupport.h"
#include "tests/app/DialogTest.h"

namespace {

struct VersionCheck : ::testing::Test {
    TTestHttpServer Server;
    std::unique_ptr<Tf_MainForm> Form;

    void SetUp() override
    {
        Start();
        RedirectHostToTestServer("https://velmarok.invalid", Server);
    }
    // A new main window, running version 1.0.0.0 and knowing of no other.
    void Start()
    {
        Form.reset();
        Form = std::make_unique<Tf_MainForm>(nullptr);
        RunningVersion = "1.0.0.0";
        PublishedVersion = UpdateAddress = NewsText = "";
    }
    void TearDown() override
    {
        ClearHostRedirects();
        Form.reset();
        RunningVersion = PublishedVersion = UpdateAddress = NewsText = "";
    }
    // The five targets after a fetch, and that no downloaded copy stays behind.
    void Fetch()
    {
        Form->FetchVersionInfo();
        EXPECT_FALSE(FileExists(PrivateTempFolder() + "dane.ini"));
    }
    AnsiString HomePage() const { return Form->a_l_9->Caption(); }
    AnsiString Notice() const { return Form->l_SzukamPracy->Hint(); }
    // The five targets, "|" between them: the version, the address, the news, the home page, the notice.
    AnsiString Targets() const
    {
        return PublishedVersion + "|" + UpdateAddress + "|" + NewsText + "|" + HomePage() + "|" + Notice();
    }
};

TEST_F(VersionCheck, NewerOnlyWhenTheFirstDifferingFieldIsGreater)
{
    const struct {
        const char* Running;
        const char* Published;
        bool Newer;
    } cases[] = {
        {"1.2.0.0", "2.1.0.0", true},
        {"2.1.0.0", "1.2.0.0", false},   // a greater minor field alone is not newer
        {"2.0.0.0", "2.0.0.0", false},
        {"2.0.0.0", "2.0.1", false},     // three fields: malformed
        {"2.0.0.0", "2.0.0.1", true},
        {"2.0.0.9", "2.0.1.0", true},
        {"2.0.0.0", "10.0.0.0", true},   // numbers, not text
        {"2.0.0.0", "3.0.0.0.1", false}, // a dot left in the fourth field
        {"2.0.0.0", "3.x.0.0", false},
        {"", "3.0.0.0", false},
        {"2.0.0.0", "", false},
    };
    for (const auto& c : cases) {
        RunningVersion = c.Running;
        PublishedVersion = c.Published;
        EXPECT_EQ(Form->IsNewerVersion(), c.Newer) << c.Running << " -> " << c.Published;
    }
}

TEST_F(VersionCheck, TakesTheValuesOfTheDownloadedFileAndResetsWhatIsAbsent)
{
    const AnsiString home = DefaultHomePage;
    const struct {
        const char* What;
        int Earlier;   // an earlier check's targets: 0 none, 1 version, address and news, 2 the pages too
        int Status;
        std::string Ini;
        AnsiString Targets;
    } cases[] = {
        {"every value", 0, 200,
         "[dane]\r\nQVHomePage=https://velmarok.example/\r\nCV_File=https://velmarok.example/cv.html\r\n"
         "[QDR]\r\nversion=2.1.0.0\r\nurl=https://velmarok.example/setup.zip\r\nnew=Nowości w wersji 2.1\r\n",
         "2.1.0.0|https://velmarok.example/setup.zip|Nowości w wersji 2.1|https://velmarok.example/|"
         "https://velmarok.example/cv.html"},
        {"only a version at the first call: address and news empty", 0, 200, "[QDR]\r\nversion=9.0.0.0\r\n",
         "9.0.0.0|||" + home + "|"},
        {"addresses that are not web addresses", 0, 200,
         "[dane]\r\nQVHomePage=file:///etc/passwd\r\nCV_File=mailto:a@b\r\n"
         "[QDR]\r\nversion=2.0.0.0\r\nurl=/usr/bin/xterm\r\nnew=x\r\n",
         "2.0.0.0||x|" + home + "|"},
        {"only the version key: address and news stay", 1, 200, "[QDR]\r\nversion=2.0.0.0\r\n",
         "2.0.0.0|https://velmarok.example/old.zip|stare|" + home + "|"},
        {"no product section: address and news emptied, the version stays", 1, 200,
         "[dane]\r\nCV_File=http://velmarok.example/a\r\n", "1.5.0.0|||" + home + "|http://velmarok.example/a"},
        // An earlier copy in the temporary folder is not read instead; nothing is reported.
        {"a failed download", 2, 404, "none", "1.5.0.0|||" + home + "|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        Start();
        if (c.Earlier > 0) {
            UpdateAddress = "https://velmarok.example/old.zip";
            NewsText = "stare";
            PublishedVersion = "1.5.0.0";
        }
        if (c.Earlier > 1) {
            Form->l_SzukamPracy->SetHint("https://velmarok.example/cv.html");
            Form->a_l_9->SetCaption("https://velmarok.example/");
            SaveBytesToFile(PrivateTempFolder() + "dane.ini", "[QDR]\r\nversion=7.0.0.0\r\n");
        }
        Server.Serve("/version.ini", c.Status, "text/plain", c.Ini);
        ClearRecordedDialogs();
        Fetch();
        EXPECT_EQ(Targets(), c.Targets);
        EXPECT_TRUE(Form->IsNewerVersion());
        EXPECT_TRUE(RecordedDialogs().empty());
    }
    // One request a check.
    EXPECT_EQ(Server.Requests(), std::vector<AnsiString>(6, "/version.ini"));
}

TEST_F(VersionCheck, TheUpdatePageTellsAFailedCheckFromAnAnswer)
{
    const char* const Failed = "Nie udało się sprawdzić, czy jest nowsza wersja programu.";
    const struct {
        const char* What;
        bool Online;
        int Status;
        std::string Ini;
        const char* Shown;
    } cases[] = {
        {"a failing download", true, 404, "", Failed},
        {"a file without the product's version", true, 200, "[dane]\r\nCV_File=\r\n", Failed},
        {"no connection", false, 200, "[QDR]\r\nversion=1.0.0.0\r\n", Failed},
        {"the same version", true, 200, "[QDR]\r\nversion=1.0.0.0\r\n", "Masz już najnowszą wersję programu."},
        {"a newer version", true, 200, "[QDR]\r\nversion=2.0.0.0\r\nurl=https://velmarok.invalid/pobierz\r\n",
         "Dostępna jest nowa wersja programu."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        UpdateCheckDone = VersionKnown = false;
        Server.Serve("/version.ini", c.Status, "text/plain", c.Ini);
        TNetworkState network(c.Online);
        if (!c.Online)
            ScriptDialogs().ExpectMessageBox(IDOK, "Musisz być połączony z Internetem !!!");
        Form->ShowUpdatePage();
        EXPECT_TRUE(VerifyNoPendingDialogs());
        EXPECT_EQ(Form->l_Status->Caption(), c.Shown);
    }
    UpdateCheckDone = VersionKnown = false;
}

}  // namespace
