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
        Form = std::make_unique<Tf_MainForm>(nullptr);
        RunningVersion = "1.0.0.0";
        PublishedVersion = UpdateAddress = NewsText = "";
        RedirectHostToTestServer("https://velmarok.invalid", Server);
    }
    void TearDown() override
    {
        ClearHostRedirects();
        Form.reset();
        RunningVersion = PublishedVersion = UpdateAddress = NewsText = "";
    }
    void ServeIni(const std::string& Text) { Server.Serve("/version.ini", 200, "text/plain", Text); }
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

TEST_F(VersionCheck, TakesEveryValueOfTheDownloadedFile)
{
    ServeIni("[dane]\r\nQVHomePage=https://velmarok.example/\r\nCV_File=https://velmarok.example/cv.html\r\n"
             "[QDR]\r\nversion=2.1.0.0\r\nurl=https://velmarok.example/setup.zip\r\nnew=Nowości w wersji 2.1\r\n");
    Fetch();
    EXPECT_EQ(Server.Requests(), std::vector<AnsiString>{"/version.ini"});
    EXPECT_EQ(Targets(), "2.1.0.0|https://velmarok.example/setup.zip|Nowości w wersji 2.1|https://velmarok.example/|"
                         "https://velmarok.example/cv.html");
    EXPECT_TRUE(Form->IsNewerVersion());
}

TEST_F(VersionCheck, AbsentKeysKeepTheirTargetsAndAbsentSectionsReset)
{
    UpdateAddress = "https://velmarok.example/old.zip";
    NewsText = "stare";
    PublishedVersion = "1.5.0.0";
    // Only "version" in the product's section: address and news stay.
    ServeIni("[QDR]\r\nversion=2.0.0.0\r\n");
    Fetch();
    EXPECT_EQ(Targets(), "2.0.0.0|https://velmarok.example/old.zip|stare|" + DefaultHomePage + "|");

    // No product section: address and news are emptied, the version stays.
    ServeIni("[dane]\r\nCV_File=http://velmarok.example/a\r\n");
    Fetch();
    EXPECT_EQ(Targets(), "2.0.0.0|||" + DefaultHomePage + "|http://velmarok.example/a");
}

TEST_F(VersionCheck, FirstCallWithOnlyAVersionLeavesAddressAndNewsEmpty)
{
    ServeIni("[QDR]\r\nversion=9.0.0.0\r\n");
    Fetch();
    EXPECT_EQ(Targets(), "9.0.0.0|||" + DefaultHomePage + "|");
}

TEST_F(VersionCheck, AddressesThatAreNotWebAddressesAreNotTaken)
{
    ServeIni("[dane]\r\nQVHomePage=file:///etc/passwd\r\nCV_File=mailto:a@b\r\n"
             "[QDR]\r\nversion=2.0.0.0\r\nurl=/usr/bin/xterm\r\nnew=x\r\n");
    Fetch();
    EXPECT_EQ(Targets(), "2.0.0.0||x|" + DefaultHomePage + "|");
}

TEST_F(VersionCheck, AFailedDownloadResetsTheTargetsAndReportsNothing)
{
    UpdateAddress = "https://velmarok.example/old.zip";
    NewsText = "stare";
    PublishedVersion = "1.5.0.0";
    Form->l_SzukamPracy->SetHint("https://velmarok.example/cv.html");
    Form->a_l_9->SetCaption("https://velmarok.example/");
    // An earlier copy in the temporary folder is not read instead.
    SaveBytesToFile(PrivateTempFolder() + "dane.ini", "[QDR]\r\nversion=7.0.0.0\r\n");
    Server.Serve("/version.ini", 404, "text/plain", "none");
    ClearRecordedDialogs();
    Fetch();
    EXPECT_EQ(Targets(), "1.5.0.0|||" + DefaultHomePage + "|");
    EXPECT_TRUE(RecordedDialogs().empty());
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
