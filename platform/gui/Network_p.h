#pragma once
// Private to platform/gui: what the browser and the downloads share about
// addresses: which ones the layer loads, and the tests' redirection of a
// host to their local server.
#include <QString>
#include <QUrl>

namespace net_state {
// An http or https address with a host.
bool IsWebUrl(const QUrl& Url);
// A local file the program wrote (the shell's list of written files).
bool IsWrittenLocalFile(const QUrl& Url);
// The address a request really goes to: with a redirection of its origin
// (scheme, host and port) the target's scheme, host and port, path and query
// kept; otherwise the address itself.
QUrl Redirected(const QUrl& Url);
// Requests to Origin ("https://sklep.pkn.pl") go to Target ("http://127.0.0.1:8080").
void SetRedirect(const QUrl& Origin, const QUrl& Target);
void ClearRedirects();
}
