#include "platform/gui/ComCtrls.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QStyleOption>
#include <QTabBar>
#include <cmath>

#include "platform/core/SysUtils.h"
#include "platform/gui/Graphics_p.h"
#include "platform/gui/StdCtrls_p.h"

// ---------------------------------------------------------------- TPageControl
namespace {
constexpr int cPageInset = 4;

// The page control's window: the tab bar along the top and a frame around the pages.
class TTabHost : public QWidget {
public:
    TTabHost()
    {
        Bar = new QTabBar(this);
        Bar->setDrawBase(false);
        Bar->setExpanding(false);
    }
    QTabBar* Bar;
    int TabHeight = 20;

protected:
    void resizeEvent(QResizeEvent*) override { Bar->setGeometry(2, 0, std::max(0, width() - 4), TabHeight); }
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QStyleOptionTabWidgetFrame opt;
        opt.initFrom(this);
        opt.rect = QRect(0, TabHeight - 2, width(), height() - TabHeight + 2);
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &opt, &p, this);
    }
};
}  // namespace

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(ControlStyle() | csAcceptsControls);
    FVisible = false;
}

TTabSheet::~TTabSheet()
{
    Destroying();
    if (FPageControl)
        FPageControl->RemovePage(this);
    FPageControl = nullptr;
}

void TTabSheet::SetPageControl(TPageControl* v)
{
    if (v == FPageControl)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    FPageControl = v;
    TWinControl::SetParent(v);
    if (v)
        v->InsertPage(this);
}

void TTabSheet::SetParent(TWinControl* AParent)
{
    if (auto* pc = dynamic_cast<TPageControl*>(AParent)) {
        SetPageControl(pc);
        return;
    }
    if (FPageControl) {
        TPageControl* old = FPageControl;
        FPageControl = nullptr;
        old->RemovePage(this);
    }
    TWinControl::SetParent(AParent);
}

int TTabSheet::PageIndex() const
{
    if (!FPageControl)
        return -1;
    auto& pages = FPageControl->FPages;
    auto pos = std::find(pages.begin(), pages.end(), this);
    return pos == pages.end() ? -1 : int(pos - pages.begin());
}

void TTabSheet::SetPageIndex(int v)
{
    if (FPageControl)
        FPageControl->MovePage(this, v);
}

int TTabSheet::TabIndex() const
{
    if (!FPageControl || !FTabVisible)
        return -1;
    int tab = 0;
    for (TTabSheet* p : FPageControl->FPages) {
        if (p == this)
            return tab;
        if (p->FTabVisible)
            ++tab;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool v)
{
    if (FTabVisible == v)
        return;
    FTabVisible = v;
    if (!FPageControl)
        return;
    TPageControl* pc = FPageControl;
    if (!v && pc->FActivePage == this) {
        // The page of a hidden tab gives way to the next page with a tab.
        TTabSheet* next = pc->FindNextPage(this, true, true);
        pc->FActivePage = next == this ? nullptr : next;
        pc->ShowActivePage();
    }
    pc->UpdateTabs();
}

void TTabSheet::CMTextChanged(TMessage& Message)
{
    if (FPageControl)
        FPageControl->UpdateTabs();
    TWinControl::CMTextChanged(Message);
}

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
}

TPageControl::~TPageControl()
{
    // The sheets go with the window as children; they no longer report back.
    for (TTabSheet* p : FPages)
        p->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

int TPageControl::TabHeight() const
{
    QFont f = QApplication::font();
    return QFontMetrics(f).height() + 10;
}

TRect TPageControl::DisplayRect() const
{
    return TRect(cPageInset, TabHeight() + cPageInset - 2, std::max(cPageInset, Width() - cPageInset),
                 std::max(TabHeight() + cPageInset - 2, Height() - cPageInset));
}

TNativeWidget* TPageControl::CreateNativeWidget()
{
    auto* host = new TTabHost;
    host->TabHeight = TabHeight();
    QObject::connect(host->Bar, &QTabBar::currentChanged, host, [this](int index) {
        if (!FSyncing)
            RunGuarded([&] { UserChoseTab(index); });
    });
    InstallMessageBridge(host->Bar, this);
    return WrapWidget(host);
}

void TPageControl::CreateWnd()
{
    TWinControl::CreateWnd();
    UpdateTabs();
    Realign();
}

void TPageControl::AlignControls(TControl* AControl, TRect& Rect)
{
    TRect r = DisplayRect();
    for (TTabSheet* p : FPages)
        p->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    Rect = r;
    TWinControl::AlignControls(AControl, Rect);
}

TTabSheet* TPageControl::Pages(int Index) const
{
    if (Index < 0 || Index >= PageCount())
        throw EListError(::Format("List index out of bounds (%d)", {Index}));
    return FPages[size_t(Index)];
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int v)
{
    if (v >= 0 && v < PageCount())
        SetActivePage(FPages[size_t(v)]);
    else
        SetActivePage(nullptr);
}

void TPageControl::SetActivePage(TTabSheet* v)
{
    if (v && v->FPageControl != this)
        return;
    if (v == FActivePage)
        return;
    FActivePage = v;
    ShowActivePage();
}

void TPageControl::ShowActivePage()
{
    TRect r = DisplayRect();
    if (FActivePage) {
        FActivePage->SetBounds(r.Left, r.Top, r.Width(), r.Height());
        FActivePage->BringToFront();
        FActivePage->SetVisible(true);
    }
    for (TTabSheet* p : FPages)
        if (p != FActivePage)
            p->SetVisible(false);
    if (auto* host = NativeOf<TTabHost>(this)) {
        int tab = FActivePage ? FActivePage->TabIndex() : -1;
        if (tab >= 0 && host->Bar->currentIndex() != tab) {
            FSyncing = true;
            host->Bar->setCurrentIndex(tab);
            FSyncing = false;
        }
    }
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool VisibleOnly) const
{
    int n = PageCount();
    if (n == 0)
        return nullptr;
    auto pos = std::find(FPages.begin(), FPages.end(), CurrentPage);
    int start = pos == FPages.end() ? (GoForward ? n - 1 : 0) : int(pos - FPages.begin());
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        if (!VisibleOnly || FPages[size_t(i)]->FTabVisible)
            return FPages[size_t(i)];
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward)
{
    TTabSheet* next = FindNextPage(FActivePage, GoForward, true);
    if (next && next != FActivePage && CanChange()) {
        SetActivePage(next);
        Change();
    }
}

void TPageControl::InsertPage(TTabSheet* Page)
{
    FPages.push_back(Page);
    Page->SetVisible(false);
    TRect r = DisplayRect();
    Page->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    UpdateTabs();
    // The first page shows at once, as its tab is the chosen one.
    if (!FActivePage && Page->FTabVisible)
        SetActivePage(Page);
}

void TPageControl::RemovePage(TTabSheet* Page)
{
    auto pos = std::find(FPages.begin(), FPages.end(), Page);
    if (pos == FPages.end())
        return;
    TTabSheet* next = nullptr;
    bool wasActive = Page == FActivePage;
    if (wasActive) {
        next = FindNextPage(Page, true, true);
        if (next == Page)
            next = nullptr;
    }
    FPages.erase(pos);
    Page->FPageControl = nullptr;
    if (ComponentState() & csDestroying)
        return;
    UpdateTabs();
    if (wasActive) {
        FActivePage = nullptr;
        SetActivePage(next);
    }
}

void TPageControl::MovePage(TTabSheet* Page, int Index)
{
    auto pos = std::find(FPages.begin(), FPages.end(), Page);
    if (pos == FPages.end())
        return;
    FPages.erase(pos);
    Index = std::clamp(Index, 0, int(FPages.size()));
    FPages.insert(FPages.begin() + Index, Page);
    UpdateTabs();
}

void TPageControl::UpdateTabs()
{
    auto* host = NativeOf<TTabHost>(this);
    if (!host)
        return;
    FSyncing = true;
    QTabBar* bar = host->Bar;
    while (bar->count() > 0)
        bar->removeTab(bar->count() - 1);
    for (TTabSheet* p : FPages)
        if (p->FTabVisible)
            bar->addTab(ToQString(p->Caption()));
    int tab = FActivePage ? FActivePage->TabIndex() : -1;
    if (tab >= 0)
        bar->setCurrentIndex(tab);
    FSyncing = false;
}

void TPageControl::UserChoseTab(int TabIndex)
{
    TTabSheet* chosen = nullptr;
    int tab = 0;
    for (TTabSheet* p : FPages) {
        if (!p->FTabVisible)
            continue;
        if (tab++ == TabIndex) {
            chosen = p;
            break;
        }
    }
    if (!chosen || chosen == FActivePage)
        return;
    if (!CanChange()) {
        // Refused: the tab of the shown page is chosen again.
        ShowActivePage();
        return;
    }
    SetActivePage(chosen);
    Change();
}

bool TPageControl::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TPageControl::Change()
{
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------- TProgressBar
TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 150, 16);
}

TNativeWidget* TProgressBar::CreateNativeWidget()
{
    auto* p = new QProgressBar;
    p->setTextVisible(false);
    auto* w = WrapWidget(p);
    ApplyToWidget();
    return w;
}

void TProgressBar::ApplyToWidget()
{
    auto* p = NativeOf<QProgressBar>(this);
    if (!p)
        return;
    p->setOrientation(FOrientation == TProgressBarOrientation::pbHorizontal ? Qt::Horizontal : Qt::Vertical);
    p->setRange(std::min(FMin, FMax), std::max(FMin, FMax));
    p->setValue(FPosition);
}

void TProgressBar::SetMin(int v)
{
    FMin = v;
    SetPosition(FPosition);
}

void TProgressBar::SetMax(int v)
{
    FMax = v;
    SetPosition(FPosition);
}

void TProgressBar::SetPosition(int v)
{
    FPosition = std::clamp(v, std::min(FMin, FMax), std::max(FMin, FMax));
    ApplyToWidget();
}

void TProgressBar::StepIt()
{
    long long range = (long long)FMax - FMin;
    long long pos = (long long)FPosition + FStep;
    if (range > 0 && (pos > FMax || pos < FMin))
        pos = FMin + (((pos - FMin) % range) + range) % range;
    SetPosition(int(std::clamp<long long>(pos, INT32_MIN, INT32_MAX)));
}

void TProgressBar::StepBy(int Delta)
{
    SetPosition(int(std::clamp<long long>((long long)FPosition + Delta, INT32_MIN, INT32_MAX)));
}

void TProgressBar::SetSmooth(bool v) { FSmooth = v; }

void TProgressBar::SetOrientation(TProgressBarOrientation v)
{
    if (FOrientation == v)
        return;
    FOrientation = v;
    if (!(ComponentState() & csLoading))
        SetBounds(Left(), Top(), Height(), Width());
    ApplyToWidget();
}

// ---------------------------------------------------------------- TDateTimePicker
namespace {
const QDate cDayZero(1899, 12, 30);

QDateTime ToQDateTime(TDateTime v)
{
    double days = std::trunc(v);
    double frac = std::fabs(v - days);
    qint64 ms = qint64(std::llround(frac * 86400000.0));
    if (ms >= 86400000)
        ms = 86399999;
    return QDateTime(cDayZero.addDays(qint64(days)), QTime(0, 0).addMSecs(int(ms)));
}

TDateTime FromQDateTime(const QDateTime& d)
{
    double days = double(cDayZero.daysTo(d.date()));
    double frac = d.time().msecsSinceStartOfDay() / 86400000.0;
    return days >= 0 ? days + frac : days - frac;
}

// A date-time format of the program's routines as the toolkit's display format.
QString QtDisplayFormat(const AnsiString& f)
{
    QString out;
    auto lower = [](char c) { return char(std::tolower(Byte(c))); };
    auto run = [&](size_t i) {
        size_t j = i;
        while (j < f.size() && lower(f[j]) == lower(f[i]))
            ++j;
        return j - i;
    };
    bool afterHour = false;
    bool ampm = false;
    for (size_t i = 0; i < f.size(); ++i)
        if (lower(f[i]) == 'a' && (f.compare(i, 5, "am/pm") == 0 || f.compare(i, 4, "ampm") == 0 ||
                                   f.compare(i, 5, "AM/PM") == 0))
            ampm = true;
    for (size_t i = 0; i < f.size();) {
        char c = lower(f[i]);
        size_t n = run(i);
        switch (c) {
        case 'd': out += QString(int(std::min<size_t>(n, 4)), 'd'); afterHour = false; break;
        case 'y': out += n <= 2 ? "yy" : "yyyy"; afterHour = false; break;
        case 'm':
            if (afterHour && n <= 2)
                out += n == 1 ? "m" : "mm";
            else
                out += QString(int(std::min<size_t>(n, 4)), 'M');
            afterHour = false;
            break;
        case 'h': out += QString(int(std::min<size_t>(n, 2)), ampm ? 'h' : 'H'); afterHour = true; break;
        case 'n': out += n == 1 ? "m" : "mm"; break;
        case 's': out += n == 1 ? "s" : "ss"; break;
        case 'z': out += "zzz"; break;
        case 'a':
            if (f.compare(i, 5, "am/pm") == 0 || f.compare(i, 5, "AM/PM") == 0) {
                out += "AP";
                i += 5;
                continue;
            }
            if (f.compare(i, 4, "ampm") == 0) {
                out += "AP";
                i += 4;
                continue;
            }
            out += "'a'";
            n = 1;
            break;
        case '\'':
        case '"': {
            size_t end = f.find(f[i], i + 1);
            if (end == AnsiString::npos)
                end = f.size();
            out += '\'' + ToQString(f.substr(i + 1, end - i - 1)) + '\'';
            i = end + 1;
            continue;
        }
        case '/': out += ToQString(AnsiString(1, FormatSettings.DateSeparator)); n = 1; break;
        case ':': out += ToQString(AnsiString(1, FormatSettings.TimeSeparator)); n = 1; break;
        default:
            if (std::isalpha(Byte(f[i])))
                out += '\'' + ToQString(AnsiString(1, f[i])) + '\'';
            else
                out += ToQString(AnsiString(1, f[i]));
            n = 1;
            break;
        }
        i += n;
    }
    return out;
}

// The picker's window: an optional check box and the date-time editor.
class TPickerHost : public QWidget {
public:
    TPickerHost()
    {
        auto* lay = new QHBoxLayout(this);
        lay->setContentsMargins(0, 0, 0, 0);
        lay->setSpacing(2);
        Check = new QCheckBox(this);
        Edit = new QDateTimeEdit(this);
        lay->addWidget(Check);
        lay->addWidget(Edit, 1);
        // A field stepped past its end starts again, as in the system's picker.
        Edit->setWrapping(true);
        setFocusProxy(Edit);
    }
    QCheckBox* Check;
    QDateTimeEdit* Edit;
    // Watches the calendar's window (a new one comes with each change of the popup mode).
    QObject* Watch = nullptr;
    // Paints the picker's PaintOver above the check box and the editor.
    QWidget* Overlay = nullptr;

protected:
    void resizeEvent(QResizeEvent* ev) override
    {
        QWidget::resizeEvent(ev);
        if (Overlay) {
            Overlay->setGeometry(rect());
            Overlay->raise();
        }
    }
};
}  // namespace

class TPickerOverlay : public QWidget {
public:
    TPickerOverlay(QWidget* Parent, TDateTimePicker* APicker) : QWidget(Parent), Picker(APicker)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        TCanvas canvas;
        TCanvasPaintScope scope(canvas, p);
        RunGuarded([&] { Picker->PaintOver(&canvas); });
    }

private:
    TDateTimePicker* Picker;
};

// The calendar's showing and hiding become OnDropDown and OnCloseUp.
class TPickerSignals : public QObject {
public:
    explicit TPickerSignals(TDateTimePicker* p) : Picker(p) {}
    TDateTimePicker* Picker;
    static void Apply(TDateTimePicker* p, TPickerHost* host)
    {
        p->FSyncing = true;
        // No limit is the widest range of the date-time routines (years 100 to 9999).
        host->Edit->setDateTimeRange(ToQDateTime(p->FMinDate != 0 ? std::trunc(p->FMinDate) : -657434.0),
                                     ToQDateTime(p->FMaxDate != 0 ? std::trunc(p->FMaxDate) + 0.99998 : 2958465.99998));
        host->Edit->setCalendarPopup(p->FDateMode == dmComboBox && p->FKind == dtkDate);
        if (QCalendarWidget* cal = host->Edit->calendarWidget(); cal && host->Watch)
            cal->window()->installEventFilter(host->Watch);
        host->Edit->setDisplayFormat(QtDisplayFormat(p->DisplayFormat()));
        host->Edit->setDateTime(ToQDateTime(p->FDateTime));
        host->Check->setVisible(p->FShowCheckbox);
        host->Check->setChecked(p->FChecked);
        host->Edit->setEnabled(!p->FShowCheckbox || p->FChecked);
        p->FSyncing = false;
    }
    bool eventFilter(QObject*, QEvent* ev) override
    {
        if (ev->type() == QEvent::Show && !Picker->FDropped) {
            Picker->FDropped = true;
            RunGuarded([&] {
                if (Picker->OnDropDown)
                    Picker->OnDropDown(Picker);
            });
        } else if (ev->type() == QEvent::Hide && Picker->FDropped) {
            Picker->FDropped = false;
            RunGuarded([&] {
                if (Picker->OnCloseUp)
                    Picker->OnCloseUp(Picker);
            });
        }
        return false;
    }
};

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 186, 21);
    SetTabStop(true);
    SetColor(clWindow);
    // Starts at now, to the whole second.
    TDateTime now = Now();
    FDateTime = std::floor(now * 86400.0 + 1e-7) / 86400.0;
}

TDateTimePicker::~TDateTimePicker() = default;

TNativeWidget* TDateTimePicker::CreateNativeWidget()
{
    auto* host = new TPickerHost;
    QObject::connect(host->Edit, &QDateTimeEdit::dateTimeChanged, host, [this](const QDateTime& d) {
        if (!FSyncing)
            RunGuarded([&] { UserChangedValue(FromQDateTime(d)); });
    });
    QObject::connect(host->Check, &QCheckBox::toggled, host, [this](bool on) {
        if (!FSyncing)
            RunGuarded([&] { UserToggledCheck(on); });
    });
    InstallMessageBridge(host->Edit, this);
    // The text field inside the editor takes the mouse itself: its presses and moves are the picker's.
    if (auto* field = host->Edit->findChild<QLineEdit*>())
        InstallMessageBridge(field, this, true);
    host->Overlay = new TPickerOverlay(host, this);
    auto* watch = new TPickerSignals(this);
    watch->setParent(host);
    host->Watch = watch;
    if (QCalendarWidget* cal = host->Edit->calendarWidget())
        cal->window()->installEventFilter(watch);
    host->Edit->setLocale(QLocale(QLocale::Polish, QLocale::Poland));
    TPickerSignals::Apply(this, host);
    return WrapWidget(host);
}

void TDateTimePicker::ApplyToWidget()
{
    if (auto* host = NativeOf<TPickerHost>(this))
        TPickerSignals::Apply(this, host);
}

AnsiString TDateTimePicker::DisplayFormat() const
{
    if (!FFormat.empty())
        return FFormat;
    if (FKind == dtkTime)
        return FormatSettings.LongTimeFormat;
    return FDateFormat == dfLong ? FormatSettings.LongDateFormat : FormatSettings.ShortDateFormat;
}

AnsiString TDateTimePicker::GetText() const { return FormatDateTime(DisplayFormat(), FDateTime); }

void TDateTimePicker::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TDateTimePicker::CheckValidDate(TDateTime v) const
{
    if (FMaxDate != 0 && std::trunc(v) > std::trunc(FMaxDate))
        throw EDateTimeError("Date exceeds maximum of " + DateToStr(FMaxDate));
    if (FMinDate != 0 && std::trunc(v) < std::trunc(FMinDate))
        throw EDateTimeError("Date is less than minimum of " + DateToStr(FMinDate));
}

void TDateTimePicker::SetDateTime(TDateTime v)
{
    if (!std::isfinite(v))
        throw EDateTimeError("Invalid date");
    CheckValidDate(v);
    FDateTime = v;
    ApplyToWidget();
}

TDateTime TDateTimePicker::Date() const { return std::trunc(FDateTime); }

TDateTime TDateTimePicker::Time() const { return std::fabs(FDateTime - std::trunc(FDateTime)); }

void TDateTimePicker::SetDate(TDateTime v)
{
    double day = std::trunc(v);
    double t = Time();
    SetDateTime(day >= 0 ? day + t : day - t);
}

void TDateTimePicker::SetTime(TDateTime v)
{
    double day = Date();
    double t = std::fabs(v - std::trunc(v));
    SetDateTime(day >= 0 ? day + t : day - t);
}

void TDateTimePicker::UserChangedValue(TDateTime Value)
{
    // The part the picker does not show is kept.
    double day = FKind == dtkDate ? std::trunc(Value) : Date();
    double t = FKind == dtkTime ? std::fabs(Value - std::trunc(Value)) : Time();
    TDateTime v = day >= 0 ? day + t : day - t;
    if (v == FDateTime)
        return;
    FDateTime = v;
    Change();
}

void TDateTimePicker::UserToggledCheck(bool on)
{
    FChecked = on;
    if (auto* host = NativeOf<TPickerHost>(this))
        host->Edit->setEnabled(on);
    Change();
}

void TDateTimePicker::Change()
{
    if (OnChange)
        OnChange(this);
}

void TDateTimePicker::SetKind(TDateTimeKind v)
{
    FKind = v;
    ApplyToWidget();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat v)
{
    FDateFormat = v;
    ApplyToWidget();
}

void TDateTimePicker::SetDateMode(TDTDateMode v)
{
    FDateMode = v;
    ApplyToWidget();
}

void TDateTimePicker::SetFormat(const AnsiString& v)
{
    FFormat = v;
    ApplyToWidget();
}

void TDateTimePicker::SetShowCheckbox(bool v)
{
    FShowCheckbox = v;
    ApplyToWidget();
}

void TDateTimePicker::SetChecked(bool v)
{
    FChecked = v;
    ApplyToWidget();
}

void TDateTimePicker::SetMinDate(TDateTime v)
{
    if (v != 0 && FMaxDate != 0 && std::trunc(v) > std::trunc(FMaxDate))
        throw EDateTimeError("Date exceeds maximum of " + DateToStr(FMaxDate));
    FMinDate = v;
    if (v != 0 && std::trunc(FDateTime) < std::trunc(v))
        FDateTime = std::trunc(v) + Time();
    ApplyToWidget();
}

void TDateTimePicker::SetMaxDate(TDateTime v)
{
    if (v != 0 && FMinDate != 0 && std::trunc(v) < std::trunc(FMinDate))
        throw EDateTimeError("Date is less than minimum of " + DateToStr(FMinDate));
    FMaxDate = v;
    if (v != 0 && std::trunc(FDateTime) > std::trunc(v))
        FDateTime = std::trunc(v) + Time();
    ApplyToWidget();
}

void TDateTimePicker::KeyDown(Word& Key, TShiftState Shift)
{
    if (((Key == VK_F4 && !(Shift & ssAlt)) || (Key == VK_DOWN && (Shift & ssAlt))) && FKind == dtkDate &&
        FDateMode == dmComboBox) {
        SetDroppedDown(!FDropped);
        Key = 0;
        return;
    }
    TWinControl::KeyDown(Key, Shift);
}

bool TDateTimePicker::DroppedDown() const { return FDropped; }

void TDateTimePicker::SetDroppedDown(bool v)
{
    auto* host = NativeOf<TPickerHost>(this);
    if (!host || v == FDropped || FKind != dtkDate || FDateMode != dmComboBox)
        return;
    QWidget* popup = host->Edit->calendarWidget()->window();
    if (v) {
        QPoint at = host->Edit->mapToGlobal(QPoint(0, host->Edit->height()));
        popup->move(at);
        popup->show();
    } else {
        popup->hide();
    }
}

// ---------------------------------------------------------------- TStatusBar
TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

TNativeWidget* TStatusBar::CreateNativeWidget()
{
    auto* l = new QLabel(ToQString(FSimpleText));
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setTextFormat(Qt::PlainText);
    l->setContentsMargins(2, 0, 2, 0);
    return WrapWidget(l);
}

void TStatusBar::SetSimpleText(const AnsiString& v)
{
    FSimpleText = v;
    if (auto* l = NativeOf<QLabel>(this))
        l->setText(ToQString(v));
}
