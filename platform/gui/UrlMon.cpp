// Downloads on the toolkit's network access, run on a thread of their own
// while the caller waits, and the address rules the browser shares.
#include "platform/gui/UrlMon.h"

#include <QByteArray>
#include <QEventLoop>
#include <QFileInfo>
#include <QHostAddress>
#include <QMap>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QTimer>
#include <memory>
#include <mutex>

#include "platform/core/FileBytes.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Network_p.h"
#include "platform/gui/QtText_p.h"
#include "platform/gui/ShellApi_p.h"

namespace {

std::mutex g_lock;
TDownloadLimits g_limits;
QMap<QString, QUrl> g_redirects;   // origin key -> target

QString OriginKey(const QUrl& u)
{
    QString scheme = u.scheme().toLower();
    int port = u.port(scheme == QLatin1String("https") ? 443 : scheme == QLatin1String("http") ? 80 : -1);
    return scheme + QLatin1String("://") + u.host().toLower() + QLatin1Char(':') + QString::number(port);
}

bool IsLoopback(const QUrl& u)
{
    QHostAddress a(u.host());
    return u.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || (!a.isNull() && a.isLoopback());
}

// What one download brings: the result code and, on success, the whole answer.
struct TTransfer {
    HRESULT Result = E_FAIL;
    QByteArray Body;
};

TTransfer Fetch(const QUrl& url, const TDownloadLimits& limits)
{
    TTransfer t;
    QNetworkAccessManager nam;
    if (IsLoopback(url))
        nam.setProxy(QNetworkProxy::NoProxy);
    nam.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkRequest req(url);
    req.setMaximumRedirectsAllowed(5);
    req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    req.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Velmarok/" VELMAROK_VERSION));
    QNetworkReply* reply = nam.get(req);
    bool tooLarge = false, timedOut = false, badRedirect = false;
    auto take = [&] {
        t.Body += reply->readAll();
        if (t.Body.size() > limits.MaxBytes && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, [&] {
        int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        bool ok = false;
        qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&ok);
        if (status >= 200 && status < 300 && ok && length > limits.MaxBytes && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::redirected, [&](const QUrl& to) {
        if (!net_state::IsWebUrl(reply->url().resolved(to))) {
            badRedirect = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, take);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(int(limits.TimeoutMs));
    if (!reply->isFinished())
        loop.exec();
    timer.stop();
    if (!tooLarge && !timedOut && !badRedirect)
        take();
    int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QNetworkReply::NetworkError error = reply->error();
    delete reply;

    if (tooLarge)
        t.Result = E_ABORT;
    else if (timedOut)
        t.Result = INET_E_CONNECTION_TIMEOUT;
    else if (badRedirect)
        t.Result = INET_E_INVALID_URL;
    else if (status == 404 || status == 410)
        t.Result = INET_E_RESOURCE_NOT_FOUND;
    else if (status >= 200 && status < 300 && error == QNetworkReply::NoError)
        t.Result = S_OK;
    else if (status == 0 && (error == QNetworkReply::ConnectionRefusedError ||
                             error == QNetworkReply::HostNotFoundError || error == QNetworkReply::TimeoutError ||
                             error == QNetworkReply::UnknownNetworkError))
        t.Result = INET_E_CANNOT_CONNECT;
    else
        t.Result = INET_E_DOWNLOAD_FAILURE;
    if (t.Result != S_OK)
        t.Body.clear();
    return t;
}

}  // namespace

// ---------------------------------------------------------------- address rules
namespace net_state {

bool IsWebUrl(const QUrl& Url)
{
    QString scheme = Url.scheme().toLower();
    return Url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !Url.host().isEmpty();
}

bool IsWrittenLocalFile(const QUrl& Url)
{
    return Url.isValid() && Url.isLocalFile() && Url.host().isEmpty() && ShellIsWrittenFile(Url.toLocalFile());
}

QUrl Redirected(const QUrl& Url)
{
    std::lock_guard<std::mutex> lock(g_lock);
    if (g_redirects.isEmpty() || !IsWebUrl(Url))
        return Url;
    auto it = g_redirects.constFind(OriginKey(Url));
    if (it == g_redirects.constEnd())
        return Url;
    QUrl to = Url;
    to.setUserInfo(QString());
    to.setScheme(it->scheme());
    to.setHost(it->host());
    to.setPort(it->port());
    return to;
}

void SetRedirect(const QUrl& Origin, const QUrl& Target)
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_redirects.insert(OriginKey(Origin), Target);
}

void ClearRedirects()
{
    std::lock_guard<std::mutex> lock(g_lock);
    g_redirects.clear();
}

}  // namespace net_state

// ---------------------------------------------------------------- downloads
TDownloadLimits SetDownloadLimits(const TDownloadLimits& Limits)
{
    std::lock_guard<std::mutex> lock(g_lock);
    TDownloadLimits old = g_limits;
    g_limits = Limits;
    return old;
}

TDownloadLimits DownloadLimits()
{
    std::lock_guard<std::mutex> lock(g_lock);
    return g_limits;
}

HRESULT URLDownloadToFile(void* Caller, const AnsiString& URL, const AnsiString& FileName, DWORD Reserved,
                          void* StatusCallback)
{
    QUrl url(ToQString(Trim(URL)));   // spaces and letters beyond ASCII are encoded
    if (!net_state::IsWebUrl(url))
        return INET_E_INVALID_URL;
    if (Trim(FileName).empty())
        return E_ACCESSDENIED;
    const std::string target = ToOsPath(FileName);
    if (QFileInfo(QString::fromStdString(target)).isDir())
        return E_ACCESSDENIED;
    const QUrl real = net_state::Redirected(url);
    const TDownloadLimits limits = DownloadLimits();

    // The network access runs on its own thread with its own event loop, so
    // that nothing of the caller's (timers, posted messages) runs meanwhile.
    TTransfer result;
    std::unique_ptr<QThread> worker(QThread::create([&] { result = Fetch(real, limits); }));
    worker->start();
    worker->wait();
    if (result.Result != S_OK)
        return result.Result;
    if (!WriteWholeFileOs(target, result.Body.toStdString()))
        return E_ACCESSDENIED;
    return S_OK;
}
