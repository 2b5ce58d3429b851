#pragma once
// The web browser control: web pages shown in an embedded view. The view is
// a child window of the control; right-button presses on it pass the
// application's OnMessage first (WM_RBUTTONDOWN, WM_RBUTTONDBLCLK), so that a
// form can show its own popup menu instead of the page's. The browser engine
// starts with the first page a browser loads, not before.
//
// Only web addresses (http, https), "about:blank" and local files the program
// wrote (ShellRegisterWrittenFile) are loaded, by Navigate and by links of a
// page alike.
#include <functional>
#include <memory>

#include "platform/gui/ComObj.h"
#include "platform/gui/Controls.h"

// Progress of the page being loaded: Progress = ProgressMax once it has loaded.
using TWebBrowserProgressChange = std::function<void(TObject* Sender, int Progress, int ProgressMax)>;
// A page has loaded (or failed to: the control then shows its own error page).
using TWebBrowserDocumentComplete = std::function<void(TObject* Sender, const WideString& URL)>;

class TWebBrowser : public TWinControl {
public:
    explicit TWebBrowser(TComponent* AOwner);
    ~TWebBrowser() override;

    // Starts loading URL and returns at once. EOleException (E_ACCESSDENIED)
    // for an address of another kind.
    void Navigate(const WideString& URL);
    void Navigate(const AnsiString& URL);
    // The history: EOleException (E_FAIL, "Unspecified error") when there is
    // no page to go to.
    void GoBack();
    void GoForward();
    // Loads the shown page again (nothing when none was loaded).
    void Refresh();
    void Stop();
    // The address of the page shown (the one really loaded); empty before the first.
    WideString LocationURL() const;
    // A page is loading.
    bool Busy() const;
    // The child window that shows the page.
    TWinControl* View() const;

    TWebBrowserProgressChange OnProgressChange;
    TWebBrowserDocumentComplete OnDocumentComplete;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
    friend struct TWebBrowserEvents;
};
