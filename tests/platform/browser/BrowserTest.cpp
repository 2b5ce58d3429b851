#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/SHDocVw.h"
#include "platform/gui/ShellApi.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/Screenshots.h"
#include "tests/common/TestFiles.h"

namespace {

// A page of the web shop: UTF-8 text on a coloured band.
std::string ShopPage(const std::string& title)
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + title +
           "</title></head><body style=\"margin:0;font-family:DejaVu Sans,sans-serif\">"
           "<div style=\"background:#1f4e8c;color:#fff;height:80px;padding:16px\"><h1 style=\"margin:0\">" +
           title +
           "</h1></div><p style=\"padding:16px\">Wynik wyszukiwania: PN-EN ISO 9001:2015 "
           "\xE2\x80\x94 Systemy zarz\xC4\x85" "dzania jako\xC5\x9B" "ci\xC4\x85</p></body></html>";
}

std::string Url8(const WideString& w)
{
    return WideToUtf8(w);
}

struct Browser : ::testing::Test {
    TTestHttpServer Server;
    TForm* Form = nullptr;
    TWebBrowser* Web = nullptr;
    std::vector<std::pair<int, int>> Progress;
    std::vector<std::string> Completed;

    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 640, 420);
        Form->SetCaption("Sprawdź normę");
        Web = new TWebBrowser(Form);
        Web->SetParent(Form);
        Web->SetAlign(alClient);
        Web->OnProgressChange = [this](TObject* Sender, int P, int Max) {
            EXPECT_EQ(Sender, Web);
            Progress.emplace_back(P, Max);
        };
        Web->OnDocumentComplete = [this](TObject* Sender, const WideString& URL) {
            EXPECT_EQ(Sender, Web);
            Completed.push_back(Url8(URL));
        };
        Form->Show();
    }
    void TearDown() override
    {
        Application->OnMessage = nullptr;
        delete Form;
        ClearHostRedirects();
    }
    // Navigates and waits for the page to complete.
    void Load(const AnsiString& url)
    {
        size_t before = Completed.size();
        Web->Navigate(url);
        ASSERT_TRUE(WaitUntil([&] { return Completed.size() > before; })) << url;
    }
    void WaitForCompletion(size_t count)
    {
        ASSERT_TRUE(WaitUntil([&] { return Completed.size() >= count; }));
    }
};

}  // namespace

TEST_F(Browser, LoadsTheShopsPageFromTheLocalServerWithProgressUpToTheMaximum)
{
    Server.Serve("/index.php", 200, "text/html; charset=utf-8", ShopPage("PN-EN ISO 9001"));
    RedirectHostToTestServer("https://sklep.pkn.pl", Server);

    Load("https://sklep.pkn.pl/index.php?pfsymbol=PN-EN%20ISO%209001");
    EXPECT_EQ(Server.Requests().front(), "/index.php?pfsymbol=PN-EN%20ISO%209001");
    ASSERT_EQ(Completed.size(), 1u);
    EXPECT_EQ(Completed[0], Server.Url("/index.php?pfsymbol=PN-EN%20ISO%209001"));
    EXPECT_EQ(Url8(Web->LocationURL()), Completed[0]);
    EXPECT_FALSE(Web->Busy());
    // Progress from 0, never backwards, ending at the maximum.
    ASSERT_GE(Progress.size(), 2u);
    EXPECT_EQ(Progress.front().first, 0);
    for (size_t i = 1; i < Progress.size(); ++i)
        EXPECT_GE(Progress[i].first, Progress[i - 1].first);
    EXPECT_EQ(Progress.back(), std::make_pair(100, 100));

    // "about:blank" empties the view and completes too.
    Load("about:blank");
    EXPECT_EQ(Completed.back(), "about:blank");
    EXPECT_EQ(Progress.back(), std::make_pair(100, 100));
}

TEST_F(Browser, GoesBackAndForwardThroughItsHistory)
{
    Server.Serve("/a.html", 200, "text/html", ShopPage("A"));
    Server.Serve("/b.html", 200, "text/html", ShopPage("B"));
    EXPECT_THROW(Web->GoBack(), EOleException);   // nothing loaded yet
    Web->Refresh();                               // reloads nothing
    Load(Server.Url("/a.html"));
    Load(Server.Url("/b.html"));
    try {
        Web->GoForward();
        ADD_FAILURE() << "GoForward at the newest page";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.Message(), "Unspecified error");
        EXPECT_EQ(e.ErrorCode(), E_FAIL);
    }

    size_t n = Completed.size();
    Web->GoBack();
    WaitForCompletion(n + 1);
    EXPECT_EQ(Url8(Web->LocationURL()), Server.Url("/a.html"));
    Web->GoForward();
    WaitForCompletion(n + 2);
    EXPECT_EQ(Url8(Web->LocationURL()), Server.Url("/b.html"));
    Web->Refresh();
    WaitForCompletion(n + 3);
    EXPECT_EQ(Completed.back(), Server.Url("/b.html"));
    int bRequests = 0;
    for (const AnsiString& r : Server.Requests())
        bRequests += r == "/b.html";
    EXPECT_GE(bRequests, 2);   // the refresh asked the server again
}

TEST_F(Browser, LoadsOnlyWebAddressesTheBlankPageAndFilesTheProgramWrote)
{
    TTempDir dir("velmarok-web");
    const std::string written = dir / "eksport.html";
    const std::string other = dir / "obcy.html";
    const std::string next = dir / "dalej.html";
    // The written page tries to open a local file the program did not write,
    // then one it wrote: only the second is shown.
    WriteFileBytes(written, "<html><body><script>location.href='obcy.html';"
                            "setTimeout(function(){location.href='dalej.html'},300);</script></body></html>");
    WriteFileBytes(other, "<html><body>obcy</body></html>");
    WriteFileBytes(next, "<html><body>dalej</body></html>");
    ShellRegisterWrittenFile(FromOsPath(written));
    ShellRegisterWrittenFile(FromOsPath(next));

    for (const char* refused : {"file:///etc/hostname", "/etc/hostname", "javascript:alert(1)",
                                "ftp://127.0.0.1/a.html", "data:text/html,<b>x</b>", "about:config", "about:srcdoc"}) {
        SCOPED_TRACE(refused);
        try {
            Web->Navigate(AnsiString(refused));
            ADD_FAILURE() << "navigated";
        } catch (const EOleException& e) {
            EXPECT_EQ(e.ErrorCode(), E_ACCESSDENIED);
        }
    }
    EXPECT_THROW(Web->Navigate(FromOsPath(other)), EOleException);
    EXPECT_TRUE(Completed.empty());

    Web->Navigate(FromOsPath(written));
    ASSERT_TRUE(WaitUntil([&] { return !Completed.empty() && Completed.back().find("dalej.html") != std::string::npos; }));
    for (const std::string& c : Completed)
        EXPECT_EQ(c.find("obcy"), std::string::npos) << c;
}

TEST_F(Browser, RightPressesOnThePageReachTheApplicationHookFirst)
{
    // A press that reaches the page makes it ask the server for "/pressed".
    Server.Serve("/page.html", 200, "text/html",
                 "<html><body style=\"background:#e0f0e0\" onmousedown=\"fetch('/pressed')\">"
                 "<div style=\"height:300px\">strona</div></body></html>");
    Server.Serve("/pressed", 200, "text/plain", "ok");
    Load(Server.Url("/page.html"));
    ASSERT_TRUE(WaitUntil([&] { return GrabControl(Web)->Canvas()->Pixels(5, 5) == RGB(0xe0, 0xf0, 0xe0); }));

    std::vector<std::pair<UINT, HWND>> seen;
    bool handle = true;
    Application->OnMessage = [&](TMsg& Msg, bool& Handled) {
        if ((Msg.message == WM_RBUTTONDOWN || Msg.message == WM_RBUTTONDBLCLK) && IsChild(Web->Handle(), Msg.hwnd)) {
            seen.emplace_back(Msg.message, Msg.hwnd);
            Handled = handle;
        }
    };
    MouseDown(Web, 60, 40, mbRight);
    MouseUp(Web, 60, 40, mbRight);
    MouseDown(Web, 60, 40, mbRight);
    MouseUp(Web, 60, 40, mbRight);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].first, WM_RBUTTONDOWN);
    EXPECT_EQ(seen[1].first, WM_RBUTTONDBLCLK);
    EXPECT_EQ(seen[0].second, Web->View()->Handle());
    TPoint cursor;
    GetCursorPos(cursor);
    EXPECT_EQ(Web->ScreenToClient(cursor), TPoint(60, 40));

    // Handled presses never reached the page; one the hook leaves does.
    auto pressed = [&] {
        for (const AnsiString& r : Server.Requests())
            if (r == "/pressed")
                return true;
        return false;
    };
    EXPECT_FALSE(WaitUntil(pressed, 500));
    handle = false;
    AdvanceInputClock(1000);
    MouseDown(Web, 60, 40, mbRight);
    MouseUp(Web, 60, 40, mbRight);
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_TRUE(WaitUntil(pressed));
}

TEST_F(Browser, ScreenshotOfAWindowShowingALocalPage)
{
    Server.Serve("/index.php", 200, "text/html; charset=utf-8", ShopPage("Sklep: PN-EN ISO 9001"));
    RedirectHostToTestServer("https://sklep.pkn.pl", Server);
    Load("https://sklep.pkn.pl/index.php?pfsymbol=PN-EN%20ISO%209001");
    // The band's colour once the page is painted.
    std::unique_ptr<TBitmap> shot;
    ASSERT_TRUE(WaitUntil([&] {
        shot = GrabControl(Form);
        return shot->Canvas()->Pixels(320, 100) == RGB(0x1f, 0x4e, 0x8c);
    }));
    SaveScreenshot(shot.get(), "browser.png");
    EXPECT_EQ(shot->Canvas()->Pixels(320, 300), clWhite);
}

TEST_F(Browser, AFormFreedFromItsBrowsersEventGoesSafely)
{
    Server.Serve("/a.html", 200, "text/html", ShopPage("A"));
    auto* form = new TForm(Application);
    auto* web = new TWebBrowser(form);
    web->SetParent(form);
    web->SetAlign(alClient);
    form->Show();
    bool freed = false;
    web->OnDocumentComplete = [&](TObject*, const WideString&) {
        bool* done = &freed;   // the handler itself goes with the form
        delete form;
        *done = true;
    };
    web->Navigate(Server.Url("/a.html"));
    ASSERT_TRUE(WaitUntil([&] { return freed; }));
    ProcessPendingMessages();
    // The other browser still works.
    Load(Server.Url("/a.html"));
}

TEST_F(Browser, TheEngineSpeaksPolish)
{
    // The page tells the server the languages the engine gives it.
    Server.Serve("/a.html", 200, "text/html",
                 "<html><body><script>new Image().src = '/jezyk?' + navigator.languages.join(',');</script></body></html>");
    Load(Server.Url("/a.html"));
    AnsiString asked;
    ASSERT_TRUE(WaitUntil([&] {
        for (const AnsiString& r : Server.Requests())
            if (r.rfind("/jezyk?", 0) == 0)
                asked = r;
        return !asked.empty();
    }));
    EXPECT_EQ(asked.substr(0, 9), "/jezyk?pl") << asked;

    // Its own page for an address that cannot be reached.
    const AnsiString gone = Server.Url("/b.html");
    Server.Stop();
    Load(gone);
    std::unique_ptr<TBitmap> shot;
    EXPECT_TRUE(WaitUntil([&] {   // painted: its heading's ink on the left
        shot = GrabControl(Form);
        for (int y = 100; y < 170; ++y)
            for (int x = 20; x < 200; ++x)
                if (GetRValue(shot->Canvas()->Pixels(x, y)) < 0x80)
                    return true;
        return false;
    }));
    SaveScreenshot(shot.get(), "browser-unreachable.png");
}
