// The test support's web side: a small HTTP server on the loopback address,
// the redirection of the program's hosts to it, and waiting for the toolkit.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QUrl>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <set>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "platform/core/SysUtils.h"
#include "platform/gui/Controls_p.h"
#include "platform/gui/Network_p.h"
#include "platform/gui/QtText_p.h"
#include "platform/gui/TestSupport.h"

// ---------------------------------------------------------------- waiting
bool WaitUntil(const std::function<bool()>& Done, unsigned TimeoutMs)
{
    QDeadlineTimer deadline(TimeoutMs);
    while (!Done()) {
        if (deadline.hasExpired())
            return false;
        // Waits for the next event (at most the time left), then handles what came.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents,
                                        int(std::min<qint64>(deadline.remainingTime(), 50)));
        gui_state::DeliverPostedMessages();
        gui_state::RethrowPending();
    }
    return true;
}

// ---------------------------------------------------------------- server
namespace {

constexpr size_t kMaxConnections = 32;
constexpr size_t kMaxHeader = 16 * 1024;
constexpr auto kIdle = std::chrono::seconds(10);

struct TRoute {
    int Status = 200;
    std::string ContentType;
    std::string Body;
    bool Stall = false;
};

struct TConnection {
    int Fd = -1;
    std::string In;
    std::string Out;
    size_t Sent = 0;
    bool Answering = false;   // the answer is being sent
    bool Stalled = false;     // no answer will come
    std::chrono::steady_clock::time_point Deadline;
};

const char* Reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 304: return "Not Modified";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 410: return "Gone";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

std::string Answer(int status, const std::string& type, const std::string& body, bool head)
{
    std::string s = "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) + "\r\n";
    if (!type.empty())
        s += "Content-Type: " + type + "\r\n";
    s += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    s += "Cache-Control: no-store\r\nConnection: close\r\n\r\n";
    if (!head)
        s += body;
    return s;
}

}  // namespace

struct TTestHttpServer::TImpl {
    int Listen = -1;
    int Wake[2] = {-1, -1};
    int Port = 0;
    std::thread Thread;
    mutable std::mutex Lock;
    std::map<std::string, TRoute> Routes;
    std::vector<AnsiString> Requests;

    // Reads the request line; fills the connection's answer, or marks it stalled.
    void Respond(TConnection& c)
    {
        size_t end = c.In.find("\r\n");
        std::string line = c.In.substr(0, end);
        size_t sp1 = line.find(' ');
        size_t sp2 = sp1 == std::string::npos ? std::string::npos : line.find(' ', sp1 + 1);
        c.Answering = true;
        if (sp2 == std::string::npos) {
            c.Out = Answer(400, "text/plain", "bad request", false);
            return;
        }
        std::string method = line.substr(0, sp1);
        std::string target = line.substr(sp1 + 1, sp2 - sp1 - 1);
        std::string path = target.substr(0, target.find('?'));
        std::lock_guard<std::mutex> lock(Lock);
        Requests.push_back(target);
        if (method != "GET" && method != "HEAD") {
            c.Out = Answer(405, "text/plain", "method not allowed", false);
            return;
        }
        auto it = Routes.find(path);
        if (it == Routes.end()) {
            c.Out = Answer(404, "text/html", "<html><body>Not found</body></html>", method == "HEAD");
            return;
        }
        if (it->second.Stall) {
            c.Stalled = true;
            c.Answering = false;
            return;
        }
        c.Out = Answer(it->second.Status, it->second.ContentType, it->second.Body, method == "HEAD");
    }

    void Run()
    {
        std::vector<TConnection> conns;
        for (;;) {
            std::vector<pollfd> fds;
            fds.push_back({Wake[0], POLLIN, 0});
            fds.push_back({Listen, short(conns.size() < kMaxConnections ? POLLIN : 0), 0});
            for (const TConnection& c : conns)
                fds.push_back({c.Fd, short(c.Answering ? POLLOUT : POLLIN), 0});
            int n = ::poll(fds.data(), nfds_t(fds.size()), 200);
            if (n < 0 && errno != EINTR)
                break;
            if (fds[0].revents)
                break;   // Stop
            auto now = std::chrono::steady_clock::now();
            if (fds[1].revents & POLLIN) {
                int fd = ::accept(Listen, nullptr, nullptr);
                if (fd >= 0) {
                    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
                    TConnection c;
                    c.Fd = fd;
                    c.Deadline = now + kIdle;
                    conns.push_back(std::move(c));
                }
            }
            std::vector<TConnection> keep;
            for (size_t i = 0; i < conns.size(); ++i) {
                TConnection& c = conns[i];
                short ev = i + 2 < fds.size() && fds[i + 2].fd == c.Fd ? fds[i + 2].revents : 0;
                bool close = false;
                if (c.Answering && (ev & (POLLOUT | POLLERR | POLLHUP))) {
                    ssize_t k = ::send(c.Fd, c.Out.data() + c.Sent, c.Out.size() - c.Sent, MSG_NOSIGNAL);
                    if (k > 0) {
                        c.Sent += size_t(k);
                        c.Deadline = now + kIdle;
                    }
                    if ((k < 0 && errno != EAGAIN && errno != EWOULDBLOCK) || c.Sent >= c.Out.size())
                        close = true;
                } else if (!c.Answering && (ev & (POLLIN | POLLERR | POLLHUP))) {
                    char buf[4096];
                    ssize_t k = ::recv(c.Fd, buf, sizeof buf, 0);
                    if (k <= 0) {
                        close = k == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
                    } else if (!c.Stalled) {
                        c.In.append(buf, size_t(k));
                        c.Deadline = now + kIdle;
                        if (c.In.find("\r\n\r\n") != std::string::npos)
                            Respond(c);
                        else if (c.In.size() > kMaxHeader) {
                            c.Out = Answer(431, "text/plain", "too large", false);
                            c.Answering = true;
                        }
                    }
                }
                if (!c.Stalled && now > c.Deadline)
                    close = true;
                if (close)
                    ::close(c.Fd);
                else
                    keep.push_back(std::move(c));
            }
            conns = std::move(keep);
        }
        for (TConnection& c : conns)
            ::close(c.Fd);
    }
};

TTestHttpServer::TTestHttpServer() : FImpl(std::make_unique<TImpl>())
{
    TImpl& s = *FImpl;
    s.Listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s.Listen < 0)
        throw Exception("The test server cannot open a socket");
    int one = 1;
    ::setsockopt(s.Listen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    if (::bind(s.Listen, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(s.Listen, 16) != 0 ||
        ::getsockname(s.Listen, reinterpret_cast<sockaddr*>(&a), &len) != 0 || ::pipe2(s.Wake, O_CLOEXEC) != 0) {
        ::close(s.Listen);
        throw Exception("The test server cannot listen on 127.0.0.1");
    }
    ::fcntl(s.Listen, F_SETFL, ::fcntl(s.Listen, F_GETFL) | O_NONBLOCK);
    s.Port = ntohs(a.sin_port);
    s.Thread = std::thread([&s] { s.Run(); });
}

TTestHttpServer::~TTestHttpServer()
{
    Stop();
}

void TTestHttpServer::Stop()
{
    TImpl& s = *FImpl;
    if (!s.Thread.joinable())
        return;
    char b = 1;
    (void)!::write(s.Wake[1], &b, 1);
    s.Thread.join();
    ::close(s.Listen);
    ::close(s.Wake[0]);
    ::close(s.Wake[1]);
    s.Listen = s.Wake[0] = s.Wake[1] = -1;
}

void TTestHttpServer::Serve(const AnsiString& Path, int Status, const AnsiString& ContentType,
                            const std::string& Body)
{
    std::lock_guard<std::mutex> lock(FImpl->Lock);
    FImpl->Routes[Path] = TRoute{Status, ContentType, Body, false};
}

void TTestHttpServer::Stall(const AnsiString& Path)
{
    std::lock_guard<std::mutex> lock(FImpl->Lock);
    FImpl->Routes[Path] = TRoute{0, "", "", true};
}

int TTestHttpServer::Port() const
{
    return FImpl->Port;
}

AnsiString TTestHttpServer::Url(const AnsiString& PathAndQuery) const
{
    return "http://127.0.0.1:" + IntToStr(FImpl->Port) + PathAndQuery;
}

std::vector<AnsiString> TTestHttpServer::Requests() const
{
    std::lock_guard<std::mutex> lock(FImpl->Lock);
    return FImpl->Requests;
}

// ---------------------------------------------------------------- redirection
void RedirectHostToTestServer(const AnsiString& Origin, const TTestHttpServer& Server)
{
    net_state::SetRedirect(QUrl(ToQString(Origin)), QUrl(ToQString(Server.Url("/"))));
}

void ClearHostRedirects()
{
    net_state::ClearRedirects();
}
