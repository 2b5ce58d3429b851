#include "app/qx_Unit2.h"

#include "app/FormBuild.h"
#include "app/Katalog.h"
#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
#include "controls/aniicon.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/SHDocVw.h"
#include "platform/gui/StdCtrls.h"

Tf_SprawdzNorme* f_SprawdzNorme = nullptr;

AnsiString ConvertOldNormNumber(const AnsiString& Number)
{
    AnsiString t = Number;
    const int slash = Pos("/", t);
    const int dash = Pos("-", t);
    // Only the old form "PN-yy/X-..." is converted; any other number (one
    // converted already among them) stays as it is.
    if (Copy(t, 1, 3) != "PN-" || slash <= dash || PosEx("-", t, slash) == 0)
        return t;
    const AnsiString year = ":19" + Copy(t, dash + 1, 2);
    const int dot = Pos(".", t);
    if (dot == 0)
        return "PN-" + Copy(t, slash + 1, dash - 1) + Copy(t, int(t.size()) - 4, 5) + year;
    t = "PN-" + Copy(t, slash + 1, dot - 4) + year;
    const int dot2 = Pos(".", t);
    if (dot2 == 0)
        return t;
    return Copy(t, 1, dot2 - 1) + "-" + Copy(t, dot2 + 1, int(t.size()));
}

Tf_SprawdzNorme::Tf_SprawdzNorme(TComponent* AOwner) : TForm(AOwner)
{
    SetName("f_SprawdzNorme");
    SetCaption("Sprawdź normę");
    SetPosition(poMainFormCenter);
    SetBounds(0, 0, 860, 700);
    CreateComponents();
    OnShow = [this](TObject* s) { FormShow(s); };
    OnResize = [this](TObject* s) { FormResize(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { e_NrNormyKeyDown(s, k, sh); };
    FormCreate(this);
}

Tf_SprawdzNorme::~Tf_SprawdzNorme()
{
    if (Application)
        Application->OnMessage = nullptr;
    if (f_SprawdzNorme == this)
        f_SprawdzNorme = nullptr;
}

void Tf_SprawdzNorme::CreateComponents()
{
    // The record: number and holding on the left, title and description beside them.
    auto* top = Place<TPanel>(this, this, "pan_Norma", 0, 0, 860, 178);
    top->SetAlign(alTop);
    top->SetBevelOuter(bvNone);
    top->SetCaption("");
    e_NrNormy = Place<TEdit>(this, top, "e_NrNormy", 8, 26, 260, 23);
    PlaceLabel(this, top, "Label1", "&Numer normy:", 8, 8, e_NrNormy);
    CheckBox1 = Place<TCheckBox>(this, top, "CheckBox1", 8, 56, 260, 21);
    CheckBox1->SetCaption("Konwertuj norme");
    cb_StanPosiadania = PlaceList(this, top, "cb_StanPosiadania", 8, 104, 260, NormHoldingWords, false);
    PlaceLabel(this, top, "Label2", "&Stan posiadania:", 8, 86, cb_StanPosiadania);
    m_Tytul = Place<TMemo>(this, top, "m_Tytul", 284, 26, 480, 62);
    m_Tytul->SetScrollBars(ssVertical);
    PlaceLabel(this, top, "Label3", "&Tytuł:", 284, 8, m_Tytul);
    m_Opis = Place<TMemo>(this, top, "m_Opis", 284, 112, 480, 58);
    m_Opis->SetScrollBars(ssVertical);
    PlaceLabel(this, top, "Label4", "&Opis:", 284, 94, m_Opis);
    ani_Animacja = Place<TAniIcon>(this, top, "ani_Animacja", 784, 112, 32, 32);
    {
        TAniIconFile frames;
        frames.LoadFromData(ProgramAnimationData());
        ani_Animacja->SetAniFile(&frames);
    }
    ani_Animacja->SetVisible(false);

    // The browser's buttons.
    auto* bar = Place<TPanel>(this, this, "pan_Przegladarka", 0, 178, 860, 32);
    bar->SetAlign(alTop);
    bar->SetBevelOuter(bvNone);
    bar->SetCaption("");
    struct TBarButton {
        TSpeedButton** Field;
        const char* Name;
        const char* Caption;
        const char* Hint;
        int Width;
    };
    const TBarButton buttons[] = {
        {&sb_Back, "sb_Back", "Wstecz", "Wstecz", 80},
        {&sbForword, "sbForword", "Dalej", "Dalej", 80},
        {&sb_Refresh, "sb_Refresh", "Odśwież", "Odśwież stronę PKN", 80},
        {&sb_Home, "sb_Home", "Strona główna PKN", "Przejdź na stronę główną PKN", 150},
    };
    int x = 8;
    for (const TBarButton& b : buttons) {
        *b.Field = Place<TSpeedButton>(this, bar, b.Name, x, 3, b.Width, 26);
        (*b.Field)->SetCaption(b.Caption);
        (*b.Field)->SetHint(b.Hint);
        (*b.Field)->SetShowHint(true);
        (*b.Field)->SetFlat(true);
        x += b.Width + 4;
    }
    sb_Back->OnClick = [this](TObject* s) { sb_BackClick(s); };
    sbForword->OnClick = [this](TObject* s) { sbForwordClick(s); };
    sb_Refresh->OnClick = [this](TObject* s) { sb_RefreshClick(s); };
    sb_Home->OnClick = [this](TObject* s) { sb_HomeClick(s); };

    // State, replacement and the closing buttons.
    auto* bottom = Place<TPanel>(this, this, "pan_Stan", 0, 620, 860, 64);
    bottom->SetAlign(alBottom);
    bottom->SetBevelOuter(bvNone);
    bottom->SetCaption("");
    cb_StanNormy = PlaceList(this, bottom, "cb_StanNormy", 8, 30, 220, NormStateWords, true);
    PlaceLabel(this, bottom, "Label5", "Aktualny stan normy:", 8, 12, cb_StanNormy);
    e_ZastopionaPrzez = Place<TEdit>(this, bottom, "e_ZastopionaPrzez", 240, 30, 250, 23);
    Label6 = PlaceLabel(this, bottom, "Label6", "Zastąpiona przez:", 240, 12, e_ZastopionaPrzez);
    EnableReplacement(false);

    bb_OK = Place<TBitBtn>(this, bottom, "bb_OK", 502, 28, 80, 27);
    bb_OK->SetKind(bkOK);
    bb_OK->SetDefault(false);   // Enter in the number edit moves on, it does not accept
    bb_OK->SetEnabled(false);
    BitBtn3 = Place<TBitBtn>(this, bottom, "BitBtn3", 590, 28, 80, 27);
    BitBtn3->SetCaption("Pomiń");
    BitBtn3->SetModalResult(mrIgnore);
    BitBtn2 = Place<TBitBtn>(this, bottom, "BitBtn2", 678, 28, 170, 27);
    BitBtn2->SetCaption("Przerwij/Anuluj");
    BitBtn2->SetModalResult(mrCancel);
    for (TBitBtn* b : {bb_OK, BitBtn3, BitBtn2})
        b->SetAnchors(akRight | akTop);
    bb_OK->OnClick = [this](TObject* s) { bb_OKClick(s); };
    BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };

    // The page between them.
    webPodglad = Place<TWebBrowser>(this, this, "webPodglad", 0, 210, 860, 410);
    webPodglad->SetAlign(alClient);
    webPodglad->OnProgressChange = [this](TObject* s, int p, int m) { webPodgladProgressChange(s, p, m); };
    webPodglad->OnDocumentComplete = [this](TObject* s, const WideString& u) { webPodgladDocumentComplete(s, u); };

    // The popup over the page.
    pm_SprawdzNorme = new TPopupMenu(this);
    pm_SprawdzNorme->SetName("pm_SprawdzNorme");
    auto addItem = [this](const char* Name, const AnsiString& Caption, TNotifyEvent OnClick) {
        auto* item = new TMenuItem(this);
        item->SetName(Name);
        item->SetCaption(Caption);
        item->OnClick = std::move(OnClick);
        pm_SprawdzNorme->Items()->Add(item);
        return item;
    };
    const char* const stateItemNames[] = {"Aktualna1", "Nieaktualna1", "Normazakladowa1", "Wycofanabezzastapienia1",
                                          "Zastapionauznaniowo1"};
    for (int i = 0; i < 5; ++i) {
        const AnsiString word = cb_StanNormy->Items()->Strings(i);
        FStateItems[i] = addItem(stateItemNames[i], word, [this](TObject* s) { Aktualna1Click(s); });
        FStateItems[i]->SetHint(word);
    }
    addItem("N1", cLineCaption, nullptr);
    menu_NrNormy = addItem("menu_NrNormy", "", [this](TObject* s) { menu_NrNormyClick(s); });
    addItem("Wstecz1", "Wstecz", [this](TObject* s) { sb_BackClick(s); });
    addItem("Dalej1", "Dalej", [this](TObject* s) { sbForwordClick(s); });
    addItem("Odswierz1", "Odświerz", [this](TObject* s) { sb_RefreshClick(s); });
    addItem("Start1", "Start", [this](TObject* s) { sb_HomeClick(s); });

    // Handlers shared by the record's controls.
    e_NrNormy->OnChange = [this](TObject* s) { e_NrNormyChange(s); };
    m_Tytul->OnChange = [this](TObject* s) { m_TytulChange(s); };
    m_Opis->OnChange = [this](TObject* s) { m_OpisChange(s); };
    e_ZastopionaPrzez->OnChange = [this](TObject* s) { e_ZastopionaPrzezChange(s); };
    e_ZastopionaPrzez->OnKeyPress = [this](TObject* s, char& k) { e_ZastopionaPrzezKeyPress(s, k); };
    cb_StanNormy->OnChange = [this](TObject* s) { cb_StanNormyChange(s); };
    for (TWinControl* c : {static_cast<TWinControl*>(e_NrNormy), static_cast<TWinControl*>(m_Tytul),
                           static_cast<TWinControl*>(m_Opis), static_cast<TWinControl*>(cb_StanPosiadania)})
        c->OnKeyPress = [this](TObject* s, char& k) { e_NrNormyKeyPress(s, k); };
    for (TWinControl* c : {static_cast<TWinControl*>(e_NrNormy), static_cast<TWinControl*>(m_Tytul),
                           static_cast<TWinControl*>(m_Opis), static_cast<TWinControl*>(cb_StanPosiadania),
                           static_cast<TWinControl*>(cb_StanNormy), static_cast<TWinControl*>(e_ZastopionaPrzez),
                           static_cast<TWinControl*>(CheckBox1), static_cast<TWinControl*>(bb_OK),
                           static_cast<TWinControl*>(BitBtn3), static_cast<TWinControl*>(BitBtn2)})
        c->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { e_NrNormyKeyDown(s, k, sh); };
}

void Tf_SprawdzNorme::FormCreate(TObject*)
{
    Application->OnMessage = [this](TMsg& m, bool& h) { BrowserRightClickHook(m, h); };
}

void Tf_SprawdzNorme::BrowserRightClickHook(TMsg& Msg, bool& Handled)
{
    if (Msg.message != WM_RBUTTONDOWN && Msg.message != WM_RBUTTONDBLCLK)
        return;
    if (!webPodglad->HandleAllocated() || !IsChild(webPodglad->Handle(), Msg.hwnd))
        return;
    Handled = true;
    TPoint p;
    GetCursorPos(p);
    pm_SprawdzNorme->Popup(p.X, p.Y);
}

void Tf_SprawdzNorme::EnableReplacement(bool Enabled)
{
    e_ZastopionaPrzez->SetEnabled(Enabled);
    Label6->SetEnabled(Enabled);
}

void Tf_SprawdzNorme::FormShow(TObject*)
{
    // A chosen state opens the replacement; without one it stays as the
    // caller set it (a walk opens it for a state cell the list does not hold).
    EnableReplacement(cb_StanNormy->ItemIndex() >= 0 || e_ZastopionaPrzez->Enabled());
    if (CheckBox1->Checked()) {
        const AnsiString number = ConvertOldNormNumber(e_NrNormy->Text());
        e_NrNormy->SetText(number);
        webPodglad->Navigate(BuildCatalogQueryUrl(number));
    }
    const bool canEdit = CurrentUserLevel >= 3;
    BitBtn3->SetEnabled(canEdit);
    // OK needs a state, as after every change of it.
    bb_OK->SetEnabled(canEdit && cb_StanNormy->ItemIndex() >= 0);
    cb_StanNormy->SetEnabled(canEdit);
    EnableReplacement(canEdit && e_ZastopionaPrzez->Enabled());
    CheckBox1->SetEnabled(canEdit);
    // A read-only dialog offers no state through the popup either: choosing
    // one would enable OK.
    for (TMenuItem* item : FStateItems)
        item->SetEnabled(canEdit);
    Clipboard()->Clear();
    SetActiveControl(canEdit ? static_cast<TWinControl*>(cb_StanNormy) : static_cast<TWinControl*>(e_NrNormy));
}

void Tf_SprawdzNorme::FormResize(TObject*)
{
    ani_Animacja->SetLeft(m_Opis->Left() + m_Opis->Width() + 20);
}

void Tf_SprawdzNorme::FormClose(TObject*, TCloseAction&)
{
    // The next showing starts empty (a browser that never loaded is empty already).
    if (!webPodglad->LocationURL().empty() || webPodglad->Busy())
        webPodglad->Navigate(AnsiString("about:blank"));
    LoadingFinished();
}

void Tf_SprawdzNorme::cb_StanNormyChange(TObject*)
{
    FollowStateChoice(cb_StanNormy, e_ZastopionaPrzez, Label6);
    bb_OK->SetEnabled(cb_StanNormy->ItemIndex() >= 0);
}

void Tf_SprawdzNorme::e_ZastopionaPrzezChange(TObject*)
{
    if (KeepFirstLine(e_ZastopionaPrzez))
        return;   // the cut text came through here again
    EmptyIfHoldsBar(e_ZastopionaPrzez);
    bb_OK->SetEnabled(cb_StanNormy->ItemIndex() >= 0);
}

void Tf_SprawdzNorme::e_ZastopionaPrzezKeyPress(TObject*, char& Key)
{
    SwallowBar(Key);
}

void Tf_SprawdzNorme::e_NrNormyChange(TObject*)
{
    if (KeepFirstLine(e_NrNormy))
        return;
    EmptyIfHoldsBar(e_NrNormy);
}

void Tf_SprawdzNorme::m_TytulChange(TObject*)
{
    EmptyIfHoldsBar(m_Tytul);
}

void Tf_SprawdzNorme::m_OpisChange(TObject*)
{
    EmptyIfHoldsBar(m_Opis);
}

void Tf_SprawdzNorme::e_NrNormyKeyPress(TObject*, char& Key)
{
    SwallowBar(Key);
    if (Key == '\r' && cb_StanNormy->Enabled()) {
        Key = 0;
        cb_StanNormy->SetFocus();
    }
}

void Tf_SprawdzNorme::e_NrNormyKeyDown(TObject*, Word& Key, TShiftState)
{
    if (Key == VK_ESCAPE && !cb_StanNormy->Enabled()) {
        Key = 0;
        SetModalResult(mrCancel);
    }
}

void Tf_SprawdzNorme::Aktualna1Click(TObject* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item || !cb_StanNormy->Enabled())
        return;
    const AnsiString word = item->Hint();
    cb_StanNormy->SetItemIndex(cb_StanNormy->Items()->IndexOf(word));
    cb_StanNormyChange(cb_StanNormy);
    if (e_ZastopionaPrzez->Enabled() && e_ZastopionaPrzez->CanFocus())
        e_ZastopionaPrzez->SetFocus();
    if (word == "Aktualna" || word == "Wycofana bez zastąpienia" || word == "Norma zakładowa")
        Clipboard()->Clear();
    if (Clipboard()->HasFormat(CF_TEXT)) {
        e_ZastopionaPrzez->SetText(Clipboard()->AsText());
        Clipboard()->Clear();
    }
}

void Tf_SprawdzNorme::menu_NrNormyClick(TObject*)
{
    webPodglad->Navigate(menu_NrNormy->Hint());
}

void Tf_SprawdzNorme::sb_HomeClick(TObject*)
{
    webPodglad->Navigate(AnsiString(StandardsBodyHomePage));
}

void Tf_SprawdzNorme::sb_RefreshClick(TObject*)
{
    BrowseHistory(webPodglad, &TWebBrowser::Refresh);
}

void Tf_SprawdzNorme::sb_BackClick(TObject*)
{
    BrowseHistory(webPodglad, &TWebBrowser::GoBack);
}

void Tf_SprawdzNorme::sbForwordClick(TObject*)
{
    BrowseHistory(webPodglad, &TWebBrowser::GoForward);
}

void Tf_SprawdzNorme::LoadingFinished()
{
    Screen->SetCursor(crDefault);
    ani_Animacja->SetAnimated(false);
    ani_Animacja->SetVisible(false);
}

void Tf_SprawdzNorme::webPodgladProgressChange(TObject*, int Progress, int ProgressMax)
{
    if (Progress == ProgressMax) {
        LoadingFinished();
        return;
    }
    Screen->SetCursor(crHourGlass);
    ani_Animacja->SetVisible(true);
    ani_Animacja->SetAnimated(true);
}

void Tf_SprawdzNorme::webPodgladDocumentComplete(TObject*, const WideString&)
{
    LoadingFinished();
}

void Tf_SprawdzNorme::bb_OKClick(TObject*)
{
    for (TMemo* memo : {m_Tytul, m_Opis}) {
        TStrings* lines = memo->Lines();
        if (lines->Count() <= 1)
            continue;
        AnsiString joined;
        for (int i = 0; i < lines->Count(); ++i)
            joined += lines->Strings(i) + " ";
        memo->SetText(joined);
    }
    SetModalResult(mrOk);
}

void Tf_SprawdzNorme::BitBtn2Click(TObject*)
{
    if (!cb_StanNormy->Enabled())
        SetModalResult(mrCancel);
}
