#include "platform/gui/Menus.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <map>

#include "platform/core/SysUtils.h"
#include "platform/gui/Controls_p.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics_p.h"
#include "platform/gui/Menus_p.h"
#include "platform/gui/QtText_p.h"

namespace {
TPopupMenuHook g_popupHook;

// Menu shortcuts: the key press of an active form is offered to the menus
// before any control sees it.
class TShortCutFilter : public QObject {
public:
    bool eventFilter(QObject* obj, QEvent* ev) override;
};
TShortCutFilter* g_filter = nullptr;

void EnsureShortCutFilter()
{
    if (g_filter || !qApp)
        return;
    g_filter = new TShortCutFilter;
    g_filter->setParent(qApp);
    qApp->installEventFilter(g_filter);
}

bool OfferShortCut(TControl* start, TShortCut sc)
{
    for (TControl* c = start; c; c = c->Parent()) {
        TPopupMenu* m = c->PopupMenu();
        if (m && m->IsShortCut(sc))
            return true;
    }
    TCustomForm* form = GetParentForm(start);
    if (!form)
        return false;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* m = dynamic_cast<TMainMenu*>(form->Components(i)))
            if (m->IsShortCut(sc))
                return true;
    return false;
}

bool TShortCutFilter::eventFilter(QObject* obj, QEvent* ev)
{
    if (ev->type() != QEvent::KeyPress || !obj->isWidgetType())
        return false;
    auto* ke = static_cast<QKeyEvent*>(ev);
    switch (ke->key()) {
    case Qt::Key_Shift: case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_Meta: case Qt::Key_AltGr:
        return false;
    default:
        break;
    }
    TWinControl* control = nullptr;
    for (auto* w = static_cast<QWidget*>(obj); w && !control; w = w->parentWidget())
        control = WidgetControl(w);
    if (!control)
        return false;
    unsigned mods = unsigned(ke->modifiers());
    Word vk = gui_state::VirtualKeyFromQt(ke->key(), mods);
    if (!vk)
        return false;
    TShortCut sc = ShortCut(vk, gui_state::ShiftFromModifiers(mods));
    bool handled = true;   // a handler's exception ends the key too
    RunGuarded([&] { handled = OfferShortCut(control, sc); });
    return handled;
}

AnsiString StripAmpersands(const AnsiString& s)
{
    AnsiString out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&')
                out += s[++i];
            continue;
        }
        out += s[i];
    }
    return out;
}

// A right click on a control with a PopupMenu.
void ShowControlPopup(TPopupMenu* menu, TControl* control, TPoint screen)
{
    if (!menu->AutoPopup())
        return;
    menu->SetPopupComponent(control);
    menu->Popup(screen.X, screen.Y);
}

void BuildQtMenu(QMenu* q, TMenuItem* parent, std::map<QAction*, TMenuItem*>& map)
{
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* it = parent->Items(i);
        if (!it->Visible())
            continue;
        if (it->IsLine()) {
            q->addSeparator();
            continue;
        }
        QString text = ToQString(it->Caption());
        AnsiString keys = ShortCutToText(it->ShortCut());
        if (!keys.empty())
            text += QChar('\t') + ToQString(keys);
        if (it->Count() > 0) {
            QMenu* sub = q->addMenu(text);
            sub->setEnabled(it->Enabled());
            BuildQtMenu(sub, it, map);
            continue;
        }
        QAction* a = q->addAction(text);
        a->setEnabled(it->Enabled());
        if (it->Checked() || it->RadioItem() || it->AutoCheck()) {
            a->setCheckable(true);
            a->setChecked(it->Checked());
        }
        if (it->Default()) {
            QFont f = a->font();
            f.setBold(true);
            a->setFont(f);
        }
        if (it->ImageIndex() < 0 && it->Bitmap() && !it->Bitmap()->Empty())
            a->setIcon(QIcon(QPixmap::fromImage(BitmapImage(*it->Bitmap()))));
        map[a] = it;
    }
}
}  // namespace

// ---------------------------------------------------------------- shortcuts
TShortCut ShortCut(Word Key, TShiftState Shift)
{
    if (Key & 0xFF00)
        return 0;
    TShortCut sc = Key;
    if (Shift & ssShift)
        sc |= scShift;
    if (Shift & ssCtrl)
        sc |= scCtrl;
    if (Shift & ssAlt)
        sc |= scAlt;
    return sc;
}

void ShortCutToKey(TShortCut sc, Word& Key, TShiftState& Shift)
{
    Key = Word(sc & 0xFF);
    Shift = 0;
    if (sc & scShift)
        Shift |= ssShift;
    if (sc & scCtrl)
        Shift |= ssCtrl;
    if (sc & scAlt)
        Shift |= ssAlt;
}

AnsiString ShortCutToText(TShortCut sc)
{
    Word key = Word(sc & 0xFF);
    AnsiString name;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        name = AnsiString(1, char(key));
    else if (key >= VK_F1 && key <= VK_F1 + 23)
        name = "F" + IntToStr(key - VK_F1 + 1);
    else if (key >= 0x60 && key <= 0x69)
        name = "Num " + IntToStr(key - 0x60);
    else {
        switch (key) {
        case VK_BACK: name = "BkSp"; break;
        case VK_TAB: name = "Tab"; break;
        case VK_RETURN: name = "Enter"; break;
        case VK_ESCAPE: name = "Esc"; break;
        case VK_SPACE: name = "Space"; break;
        case VK_PRIOR: name = "PgUp"; break;
        case VK_NEXT: name = "PgDn"; break;
        case VK_END: name = "End"; break;
        case VK_HOME: name = "Home"; break;
        case VK_LEFT: name = "Left"; break;
        case VK_UP: name = "Up"; break;
        case VK_RIGHT: name = "Right"; break;
        case VK_DOWN: name = "Down"; break;
        case VK_INSERT: name = "Ins"; break;
        case VK_DELETE: name = "Del"; break;
        default: return AnsiString();
        }
    }
    AnsiString prefix;
    if (sc & scShift)
        prefix += "Shift+";
    if (sc & scCtrl)
        prefix += "Ctrl+";
    if (sc & scAlt)
        prefix += "Alt+";
    return prefix + name;
}

// ---------------------------------------------------------------- TMenuItem
TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem()
{
    Destroying();
    if (FParent)
        FParent->Remove(this);
    while (!FItems.empty()) {
        TMenuItem* it = FItems.back();
        FItems.pop_back();
        it->FParent = nullptr;
        delete it;
    }
}

void TMenuItem::SetCaption(const AnsiString& v)
{
    FCaption = v;
    MenuChanged();
}

void TMenuItem::SetShortCut(TShortCut v)
{
    FShortCut = v;
    MenuChanged();
}

void TMenuItem::SetEnabled(bool v)
{
    FEnabled = v;
    MenuChanged();
}

void TMenuItem::SetVisible(bool v)
{
    FVisible = v;
    MenuChanged();
}

void TMenuItem::SetDefault(bool v)
{
    FDefault = v;
    MenuChanged();
}

void TMenuItem::MenuChanged()
{
    if (TMenu* m = GetParentMenu())
        MainMenuChanged(m);
}

void TMenuItem::SetChecked(bool v)
{
    if (FChecked == v)
        return;
    FChecked = v;
    if (v && FRadioItem && FParent) {
        for (TMenuItem* s : FParent->FItems)
            if (s != this && s->FRadioItem && s->FGroupIndex == FGroupIndex)
                s->FChecked = false;
    }
    MenuChanged();
}

TBitmap* TMenuItem::Bitmap() const
{
    if (!FBitmap)
        FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

void TMenuItem::SetBitmap(TBitmap* v) { Bitmap()->Assign(v); }

TMenuItem* TMenuItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EMenuError("Menu index out of range");
    return FItems[size_t(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item)
        return;
    if (Item->FParent)
        throw EMenuError("Menu inserted twice");
    if (Index < 0 || Index > Count())
        throw EMenuError("Menu index out of range");
    for (const TMenuItem* p = this; p; p = p->FParent)
        if (p == Item)
            throw EMenuError("Menu inserted twice");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    MenuChanged();
}

void TMenuItem::Delete(int Index)
{
    TMenuItem* it = Items(Index);
    FItems.erase(FItems.begin() + Index);
    it->FParent = nullptr;
    delete it;
    MenuChanged();
}

void TMenuItem::Remove(TMenuItem* Item)
{
    auto pos = std::find(FItems.begin(), FItems.end(), Item);
    if (pos == FItems.end())
        throw EMenuError("Sub-menu is not in menu");
    FItems.erase(pos);
    Item->FParent = nullptr;
    MenuChanged();
}

void TMenuItem::Clear()
{
    while (!FItems.empty())
        Delete(Count() - 1);
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    auto pos = std::find(FItems.begin(), FItems.end(), Item);
    return pos == FItems.end() ? -1 : int(pos - FItems.begin());
}

TMenuItem* TMenuItem::Find(const AnsiString& ACaption) const
{
    AnsiString want = StripAmpersands(ACaption);
    for (TMenuItem* it : FItems)
        if (AnsiCompareText(StripAmpersands(it->FCaption), want) == 0)
            return it;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* p = this;
    while (p->FParent)
        p = p->FParent;
    return p->FMenu;
}

void TMenuItem::Click()
{
    if (!FEnabled)
        return;
    if (FAutoCheck)
        SetChecked(!FChecked || FRadioItem);
    if (OnClick)
        OnClick(this);
}

// ---------------------------------------------------------------- TMenu
TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr))
{
    FItems->FMenu = this;
    EnsureShortCutFilter();
}

TMenu::~TMenu()
{
    Destroying();
    MainMenuGone(this);
    FItems.reset();
}

namespace {
TMenuItem* FindShortCut(TMenuItem* parent, TShortCut sc)
{
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* it = parent->Items(i);
        if (!it->Visible() || !it->Enabled())
            continue;
        if (it->ShortCut() == sc && it->Count() == 0 && !it->IsLine())
            return it;
        if (TMenuItem* sub = FindShortCut(it, sc))
            return sub;
    }
    return nullptr;
}
}  // namespace

TMenuItem* TMenu::FindItemByShortCut(TShortCut sc) const
{
    return sc ? FindShortCut(FItems.get(), sc) : nullptr;
}

bool TMenu::IsShortCut(TShortCut sc)
{
    TMenuItem* it = FindItemByShortCut(sc);
    if (!it)
        return false;
    it->Click();
    return true;
}

// ---------------------------------------------------------------- TPopupMenu
TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner)
{
    if (!PopupMenuHandler)
        PopupMenuHandler = ShowControlPopup;
}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::DoPopup(TObject* Sender)
{
    if (OnPopup)
        OnPopup(Sender);
}

void TPopupMenu::Popup(int X, int Y)
{
    DoPopup(this);
    if (g_popupHook) {
        g_popupHook(this, X, Y);
        return;
    }
    if (gui_state::TestMode)
        throw EInvalidOperation("A popup menu was shown without a test hook");
    QMenu q;
    std::map<QAction*, TMenuItem*> map;
    BuildQtMenu(&q, Items(), map);
    QPoint at(X, Y);
    if (FAlignment != paLeft) {
        QSize s = q.sizeHint();
        at.rx() -= FAlignment == paRight ? s.width() : s.width() / 2;
    }
    QAction* chosen = q.exec(at);
    auto pos = map.find(chosen);
    if (pos != map.end())
        pos->second->Click();
}

TPopupMenuHook SetPopupMenuHook(TPopupMenuHook Hook)
{
    TPopupMenuHook old = std::move(g_popupHook);
    g_popupHook = std::move(Hook);
    return old;
}

// ---------------------------------------------------------------- a form's menu bar
namespace {
struct TMenuBar {
    TCustomForm* Form = nullptr;
    QPointer<QMenuBar> Bar;
    QPointer<QWidget> Items;   // what the bar shows now (menus and actions)
};
std::map<TMenu*, TMenuBar> g_bars;

// The bar spans the form's window.
class TBarWidth : public QObject {
public:
    explicit TBarWidth(QMenuBar* b) : Bar(b) {}
    QPointer<QMenuBar> Bar;
    bool eventFilter(QObject* obj, QEvent* ev) override
    {
        if (ev->type() == QEvent::Resize && Bar)
            Bar->resize(static_cast<QWidget*>(obj)->width(), Bar->height());
        return false;
    }
};

// The form's client area starts below the bar.
void SetClientTop(TCustomForm* form, int top)
{
    TWinControlImpl& impl = WinImpl(form);
    if (impl.ClientTop == top)
        return;
    impl.ClientTop = top;
    for (int i = 0; i < form->ControlCount(); ++i)
        if (auto* wc = dynamic_cast<TWinControl*>(form->Controls(i)); wc && wc->HandleAllocated())
            ControlWidget(wc)->move(wc->Left(), wc->Top() + top);
    form->Realign();
    form->Invalidate();
}

void FillBar(TMenu* menu, TMenuBar& st)
{
    QMenuBar* bar = st.Bar.data();
    if (!bar)
        return;
    bar->clear();
    // The old actions may be running a click: they go later.
    if (st.Items)
        st.Items->deleteLater();
    auto* items = new QWidget(bar);
    items->hide();
    st.Items = items;
    std::map<QAction*, TMenuItem*> map;
    TMenuItem* root = menu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* it = root->Items(i);
        if (!it->Visible())
            continue;
        if (it->IsLine()) {
            bar->addSeparator();
            continue;
        }
        if (it->Count() > 0) {
            auto* sub = new QMenu(ToQString(it->Caption()), items);
            sub->setEnabled(it->Enabled());
            BuildQtMenu(sub, it, map);
            bar->addMenu(sub);
            continue;
        }
        auto* a = new QAction(ToQString(it->Caption()), items);
        a->setEnabled(it->Enabled());
        if (it->Checked() || it->RadioItem() || it->AutoCheck()) {
            a->setCheckable(true);
            a->setChecked(it->Checked());
        }
        bar->addAction(a);
        map[a] = it;
    }
    for (auto& [a, it] : map) {
        TMenuItem* item = it;
        QObject::connect(a, &QAction::triggered, a, [item] { RunGuarded([item] { item->Click(); }); });
    }
    int h = bar->sizeHint().height();
    bar->setGeometry(0, 0, bar->parentWidget()->width(), h);
    bar->show();
    SetClientTop(st.Form, h);
}
}  // namespace

void AttachMainMenu(TCustomForm* Form, TMainMenu* Menu)
{
    for (auto it = g_bars.begin(); it != g_bars.end();) {
        if (it->second.Form == Form || it->first == Menu) {
            if (QMenuBar* bar = it->second.Bar.data()) {
                SetClientTop(it->second.Form, 0);
                delete bar;
            }
            it = g_bars.erase(it);
        } else {
            ++it;
        }
    }
    if (!Menu)
        return;
    QWidget* w = ControlWidget(Form);
    TMenuBar& st = g_bars[Menu];
    st.Form = Form;
    st.Bar = new QMenuBar(w);
    st.Bar->setNativeMenuBar(false);
    auto* watch = new TBarWidth(st.Bar.data());
    watch->setParent(st.Bar.data());
    w->installEventFilter(watch);
    FillBar(Menu, st);
}

void MainMenuChanged(TMenu* Menu)
{
    auto it = g_bars.find(Menu);
    if (it != g_bars.end() && !(Menu->ComponentState() & csDestroying))
        FillBar(Menu, it->second);
}

void MainMenuGone(TMenu* Menu)
{
    auto it = g_bars.find(Menu);
    if (it == g_bars.end())
        return;
    // A bar still there means its form is still there.
    if (QMenuBar* bar = it->second.Bar.data()) {
        SetClientTop(it->second.Form, 0);
        delete bar;
    }
    g_bars.erase(it);
}
