#include <gtest/gtest.h>

#include <sys/socket.h>
#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/SysUtils.h"
#include "platform/gui/TestSupport.h"
#include "platform/gui/UrlMon.h"
#include "tests/common/TestFiles.h"

namespace {

// The names in a folder, sorted.
std::vector<std::string> Names(const std::filesystem::path& dir)
{
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

// A port on 127.0.0.1 on which nothing listens.
int ClosedPort()
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

struct Download : ::testing::Test {
    TTempDir Dir{"velmarok-dl"};
    TTestHttpServer Server;
    TDownloadLimits Old;
    void SetUp() override { Old = SetDownloadLimits(TDownloadLimits{5000, 4096}); }
    void TearDown() override { SetDownloadLimits(Old); ClearHostRedirects(); }
};

}  // namespace

TEST_F(Download, WritesTheWholeAnswerOverTheTarget)
{
    std::string body("[QDR]\r\nversion=2.0.0.0\r\nnew=Nowa wersja \xB9\xE6\r\n\0tail", 47);
    Server.Serve("/version.ini", 200, "text/plain", body);
    const std::string target = Dir / "dane.ini";
    WriteFileBytes(target, "old contents that are longer than nothing");

    EXPECT_EQ(URLDownloadToFileA(nullptr, Server.Url("/version.ini"), FromOsPath(target), 0, nullptr), S_OK);
    EXPECT_EQ(ReadFileBytes(target), body);
    EXPECT_EQ(Names(Dir.Path), std::vector<std::string>{"dane.ini"});   // no temporary file left
    EXPECT_EQ(Server.Requests(), std::vector<AnsiString>{"/version.ini"});
}

TEST_F(Download, FailuresLeaveTheTargetAsItWas)
{
    Server.Serve("/missing-not-routed", 200, "text/plain", "unused");
    Server.Serve("/error", 500, "text/plain", "server error page");
    Server.Serve("/gone", 410, "text/plain", "gone");
    Server.Serve("/big", 200, "application/octet-stream", std::string(4097, 'x'));
    Server.Serve("/limit", 200, "application/octet-stream", std::string(4096, 'y'));
    Server.Stall("/stall");
    const AnsiString refused = "http://127.0.0.1:" + IntToStr(ClosedPort()) + "/version.ini";
    struct Case { const char* What; AnsiString Url; HRESULT Expected; } cases[] = {
        {"404", Server.Url("/version.ini"), INET_E_RESOURCE_NOT_FOUND},
        {"410", Server.Url("/gone"), INET_E_RESOURCE_NOT_FOUND},
        {"500", Server.Url("/error"), INET_E_DOWNLOAD_FAILURE},
        {"refused connection", refused, INET_E_CANNOT_CONNECT},
        {"answer above the size limit", Server.Url("/big"), E_ABORT},
        {"no answer within the time limit", Server.Url("/stall"), INET_E_CONNECTION_TIMEOUT},
        {"a local file", "file:///etc/hostname", INET_E_INVALID_URL},
        {"a plain path", "/etc/hostname", INET_E_INVALID_URL},
        {"ftp", "ftp://127.0.0.1/version.ini", INET_E_INVALID_URL},
        {"script", "javascript:alert(1)", INET_E_INVALID_URL},
        {"no host", "http:///version.ini", INET_E_INVALID_URL},
    };
    SetDownloadLimits(TDownloadLimits{700, 4096});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        const std::string kept = Dir / "kept.ini";
        const std::string absent = Dir / "absent.ini";
        WriteFileBytes(kept, "[dane]\r\nQVHomePage=earlier\r\n");
        EXPECT_EQ(URLDownloadToFile(nullptr, c.Url, FromOsPath(kept)), c.Expected);
        EXPECT_EQ(URLDownloadToFile(nullptr, c.Url, FromOsPath(absent)), c.Expected);
        EXPECT_EQ(ReadFileBytes(kept), "[dane]\r\nQVHomePage=earlier\r\n");
        EXPECT_EQ(Names(Dir.Path), std::vector<std::string>{"kept.ini"});
    }
    // An answer exactly at the limit is whole.
    EXPECT_EQ(URLDownloadToFile(nullptr, Server.Url("/limit"), FromOsPath(Dir / "limit.bin")), S_OK);
    EXPECT_EQ(ReadFileBytes(Dir / "limit.bin"), std::string(4096, 'y'));
}

TEST_F(Download, TheProgramsHostsReachTheTestServerOnlyWhenRedirected)
{
    Server.Serve("/version.ini", 200, "text/plain", "[QDR]\r\nversion=9.9.9.9\r\n");
    Server.Serve("/index.php", 200, "text/html", "<p>wynik</p>");
    RedirectHostToTestServer("https://velmarok.invalid/", Server);
    RedirectHostToTestServer("https://sklep.pkn.pl", Server);
    const std::string target = Dir / "dane.ini";

    EXPECT_EQ(URLDownloadToFile(nullptr, "https://velmarok.invalid/version.ini", FromOsPath(target)), S_OK);
    EXPECT_EQ(ReadFileBytes(target), "[QDR]\r\nversion=9.9.9.9\r\n");
    EXPECT_EQ(URLDownloadToFile(nullptr, "https://sklep.pkn.pl/index.php?pfsymbol=PN-EN%20ISO%209001",
                                FromOsPath(Dir / "page.html")),
              S_OK);
    EXPECT_EQ(ReadFileBytes(Dir / "page.html"), "<p>wynik</p>");
    // A space and a Polish letter in the address are sent encoded (UTF-8).
    EXPECT_EQ(URLDownloadToFile(nullptr, "https://sklep.pkn.pl/index.php?pfsymbol=PN-EN 1ą", FromOsPath(Dir / "p2.html")),
              S_OK);
    EXPECT_EQ(Server.Requests(), (std::vector<AnsiString>{"/version.ini", "/index.php?pfsymbol=PN-EN%20ISO%209001",
                                                          "/index.php?pfsymbol=PN-EN%201%C4%85"}));

    ClearHostRedirects();
    SetDownloadLimits(TDownloadLimits{3000, 4096});
    // Without the redirection the reserved name never resolves: the target stays.
    EXPECT_NE(URLDownloadToFile(nullptr, "https://velmarok.invalid/version.ini", FromOsPath(target)), S_OK);
    EXPECT_EQ(ReadFileBytes(target), "[QDR]\r\nversion=9.9.9.9\r\n");
    EXPECT_EQ(Server.Requests().size(), 3u);
}
