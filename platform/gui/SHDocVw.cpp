// The web browser control on Qt WebEngine. One off-the-record profile
// serves every browser of the program; it is made with the first page (so
// runs that never show a page never start the engine) and ends before the
// application object.
#include "platform/gui/SHDocVw.h"

#include <QCoreApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <cstdlib>
#include <unistd.h>

#include "platform/core/CodePage.h"
#include "platform/gui/Controls_p.h"
#include "platform/gui/Network_p.h"
#include "platform/gui/QtText_p.h"
#include "platform/gui/SHDocVw_p.h"

namespace {

constexpr int kProgressMax = 100;

bool IsBlank(const QUrl& url)
{
    return url.scheme().compare(QLatin1String("about"), Qt::CaseInsensitive) == 0 &&
           (url.path() == QLatin1String("blank") || url.path() == QLatin1String("srcdoc"));
}

// What a browser may show: web pages, the empty page, the program's own files.
bool Allowed(const QUrl& url)
{
    return net_state::IsWebUrl(url) || IsBlank(url) || net_state::IsWrittenLocalFile(url);
}

// Every request of a page: the tests' redirections, and no other local files.
class TRequestInterceptor : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        const QUrl url = info.requestUrl();
        if (net_state::IsWebUrl(url)) {
            QUrl to = net_state::Redirected(url);
            if (to != url)
                info.redirect(to);
        } else if (url.isLocalFile() && !net_state::IsWrittenLocalFile(url)) {
            info.block(true);
        }
    }
};

QPointer<QWebEngineProfile> g_profile;

QWebEngineProfile* Profile()
{
    if (!g_profile) {
        // The engine's sandbox refuses to run as root.
        if (geteuid() == 0)
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        g_profile = new QWebEngineProfile(QCoreApplication::instance());   // off the record: nothing kept on disk
        g_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        g_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        g_profile->setUrlRequestInterceptor(new TRequestInterceptor(g_profile));
    }
    return g_profile;
}

class TPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override { return Allowed(url); }
    // Pages open no windows of their own.
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
};

[[noreturn]] void Fail(const AnsiString& message, HRESULT code)
{
    throw EOleException(message, code, "WebBrowser");
}

// The child window of the browser that holds the page's view.
class TWebBrowserView : public TWinControl {
public:
    TWebBrowserView(TWebBrowser* browser, std::function<QWebEnginePage*()> page)
        : TWinControl(browser), FPage(std::move(page))
    {
        SetParent(browser);
        SetAlign(alClient);
    }
    // Puts the page in the window (when both exist).
    void ShowPage();
    QPointer<QWebEngineView> WebView;

protected:
    TNativeWidget* CreateNativeWidget() override;
    void CreateWnd() override
    {
        TWinControl::CreateWnd();
        ShowPage();
    }

private:
    std::function<QWebEnginePage*()> FPage;
};

// Right-button presses on the view's widgets: offered to the application's
// OnMessage as the view's messages; one it handles never reaches the page.
class TRightPressFilter : public QObject {
public:
    TRightPressFilter(TWebBrowserView* view, QObject* parent) : QObject(parent), View(view) {}
    TWebBrowserView* View;
    bool Swallow = false;
    bool LastValid = false;
    quint64 LastTime = 0;
    QPoint LastPos;

    void Watch(QObject* o)
    {
        if (o->isWidgetType())
            o->installEventFilter(this);
        for (QObject* c : o->children())
            Watch(c);
    }

    bool eventFilter(QObject* o, QEvent* ev) override
    {
        switch (ev->type()) {
        case QEvent::ChildAdded:
            Watch(static_cast<QChildEvent*>(ev)->child());
            return false;
        case QEvent::MouseButtonPress: {
            auto* me = static_cast<QMouseEvent*>(ev);
            if (me->button() != Qt::RightButton)
                return false;
            return Press(me);
        }
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
            return static_cast<QMouseEvent*>(ev)->button() == Qt::RightButton && Swallow;
        case QEvent::ContextMenu:
            return Swallow;
        default:
            return false;
        }
    }

    bool Press(QMouseEvent* me)
    {
        const QPoint gp = me->globalPosition().toPoint();
        const quint64 t = me->timestamp();
        bool dbl = LastValid && t >= LastTime && t - LastTime <= GetDoubleClickTime() &&
                   std::abs(gp.x() - LastPos.x()) <= 2 && std::abs(gp.y() - LastPos.y()) <= 2;
        LastValid = !dbl;
        LastTime = t;
        LastPos = gp;
        gui_state::NoteModifiers(me->modifiers());
        gui_state::NoteButtons(me->buttons());
        gui_state::NoteCursorPos(TPoint(gp.x(), gp.y()));
        WPARAM keys = MK_RBUTTON;
        if (me->buttons() & Qt::LeftButton) keys |= MK_LBUTTON;
        if (me->buttons() & Qt::MiddleButton) keys |= MK_MBUTTON;
        if (me->modifiers() & Qt::ShiftModifier) keys |= MK_SHIFT;
        if (me->modifiers() & Qt::ControlModifier) keys |= MK_CONTROL;
        QPoint lp = View->WebView ? View->WebView->mapFromGlobal(gp) : gp;
        TMsg msg{View->Handle(), dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN, keys, MAKELPARAM(lp.x(), lp.y()),
                 DWORD(t), TPoint(gp.x(), gp.y())};
        bool handled = false;
        RunGuarded([&] { handled = gui_state::FilterMessage(msg); });
        Swallow = handled;
        return handled;
    }
};

TNativeWidget* TWebBrowserView::CreateNativeWidget()
{
    auto* host = new QWidget;
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    return WrapWidget(host);
}

void TWebBrowserView::ShowPage()
{
    QWebEnginePage* page = FPage();
    if (!page || !HandleAllocated() || WebView)
        return;
    QWidget* host = ControlWidget(this);
    auto* view = new QWebEngineView(host);
    auto* filter = new TRightPressFilter(this, view);
    view->installEventFilter(filter);
    view->setPage(page);
    filter->Watch(view);
    host->layout()->addWidget(view);
    WebView = view;
}

}  // namespace

struct TWebBrowser::TImpl {
    TWebBrowserView* View = nullptr;
    QPointer<QWebEnginePage> Page;
    int LastProgress = -1;
    bool Loading = false;
};

// Where the page's signals reach the browser.
struct TWebBrowserEvents {
    static void Progress(TWebBrowser* b, int p)
    {
        if (p == b->FImpl->LastProgress)
            return;
        b->FImpl->LastProgress = p;
        if (b->OnProgressChange)
            b->OnProgressChange(b, p, kProgressMax);
    }

    static QWebEnginePage* Page(TWebBrowser* b)
    {
        TWebBrowser::TImpl& d = *b->FImpl;
        if (!d.Page) {
            auto* page = new TPage(Profile());
            d.Page = page;
            QObject::connect(page, &QWebEnginePage::loadStarted, page, [b] {
                RunGuarded([&] {
                    b->FImpl->Loading = true;
                    b->FImpl->LastProgress = -1;
                    Progress(b, 0);
                });
            });
            QObject::connect(page, &QWebEnginePage::loadProgress, page, [b](int p) {
                RunGuarded([&] { Progress(b, std::clamp(p, 0, kProgressMax)); });
            });
            QObject::connect(page, &QWebEnginePage::loadFinished, page, [b, page](bool) {
                RunGuarded([&] {
                    b->FImpl->Loading = false;
                    Progress(b, kProgressMax);
                    if (b->OnDocumentComplete) {
                        QString url = page->url().toString(QUrl::FullyEncoded);
                        b->OnDocumentComplete(b, WideString(reinterpret_cast<const char16_t*>(url.utf16()),
                                                            size_t(url.size())));
                    }
                });
            });
        }
        return d.Page;
    }
};

TWebBrowser::TWebBrowser(TComponent* AOwner) : TWinControl(AOwner), FImpl(std::make_unique<TImpl>())
{
    SetBounds(0, 0, 300, 150);
    FImpl->View = new TWebBrowserView(this, [this]() -> QWebEnginePage* { return FImpl->Page; });
}

TWebBrowser::~TWebBrowser()
{
    // The view goes first, then its page (inside an event both go later, in that order).
    TWebBrowserView* view = FImpl->View;
    FImpl->View = nullptr;
    delete view;
    if (QWebEnginePage* page = FImpl->Page.data()) {
        page->disconnect();
        if (gui_state::EventDepth > 0)
            page->deleteLater();
        else
            delete page;
    }
}

void TWebBrowser::Navigate(const AnsiString& URL)
{
    Navigate(AnsiToWide(URL));
}

void TWebBrowser::Navigate(const WideString& URL)
{
    const QString text = QString::fromUtf16(URL.data(), qsizetype(URL.size())).trimmed();
    QUrl url(text);   // spaces and letters beyond ASCII are encoded
    if (text.startsWith(QLatin1Char('/')))
        url = QUrl::fromLocalFile(text);
    if (!Allowed(url) || (IsBlank(url) && url.path() != QLatin1String("blank")))
        Fail("Access is denied (" + FromQString(text) + ")", E_ACCESSDENIED);
    QWebEnginePage* page = TWebBrowserEvents::Page(this);
    FImpl->View->ShowPage();
    page->load(url);
}

void TWebBrowser::GoBack()
{
    QWebEnginePage* page = FImpl->Page;
    if (!page || !page->history()->canGoBack())
        Fail("Unspecified error", E_FAIL);
    page->triggerAction(QWebEnginePage::Back);
}

void TWebBrowser::GoForward()
{
    QWebEnginePage* page = FImpl->Page;
    if (!page || !page->history()->canGoForward())
        Fail("Unspecified error", E_FAIL);
    page->triggerAction(QWebEnginePage::Forward);
}

void TWebBrowser::Refresh()
{
    if (QWebEnginePage* page = FImpl->Page)
        page->triggerAction(QWebEnginePage::Reload);
}

void TWebBrowser::Stop()
{
    if (QWebEnginePage* page = FImpl->Page)
        page->triggerAction(QWebEnginePage::Stop);
}

WideString TWebBrowser::LocationURL() const
{
    if (!FImpl->Page)
        return WideString();
    QString url = FImpl->Page->url().toString(QUrl::FullyEncoded);
    return WideString(reinterpret_cast<const char16_t*>(url.utf16()), size_t(url.size()));
}

bool TWebBrowser::Busy() const
{
    return FImpl->Loading;
}

TWinControl* TWebBrowser::View() const
{
    return FImpl->View;
}

void ShutDownBrowserEngine()
{
    delete g_profile.data();
}
