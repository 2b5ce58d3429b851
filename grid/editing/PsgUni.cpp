// Wide string lists and the Unicode editors.
#include "grid/editing/PsgUni.h"

#include <algorithm>

#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Messages.h"

namespace {
// The user's default locale: Polish.
constexpr unsigned kUserDefaultLocale = 0x0415;

bool IsLineBreak(char16_t c)
{
    return c == 10 || c == 11 || c == 12 || c == 13 || c == 0x2028 || c == 0x2029;
}
}  // namespace

namespace {
// The small letter of a Latin capital beyond Windows-1250 (Latin-1 and Latin Extended-A).
char16_t LatinLower(char16_t c)
{
    if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7)
        return char16_t(c + 0x20);
    if (c == 0x0178)
        return 0x00FF;
    // In Latin Extended-A a capital is followed by its small letter: at even places, and at odd
    // ones from U+0139 to U+0148 and from U+0179 to U+017E.
    const bool oddCapitals = (c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E);
    const bool evenCapitals = (c >= 0x0100 && c <= 0x012F) || (c >= 0x0132 && c <= 0x0137) ||
                              (c >= 0x014A && c <= 0x0177);
    if ((oddCapitals && c % 2 == 1) || (evenCapitals && c % 2 == 0))
        return char16_t(c + 1);
    return c;
}
}  // namespace

WideString WideLowerCase(const WideString& S)
{
    WideString r = S;
    for (char16_t& c : r) {
        const AnsiString a = WideToAnsi(WideString(1, c));
        if (a != "?" || c == u'?')
            c = AnsiToWide(AnsiLowerCase(a))[0];
        else if ((c >= 0x0391 && c <= 0x03A9 && c != 0x03A2) || (c >= 0x0410 && c <= 0x042F))
            c = char16_t(c + 0x20);
        else if (c >= 0x0400 && c <= 0x040F)
            c = char16_t(c + 0x50);
        else
            c = LatinLower(c);
    }
    return r;
}

int WideCompareTextFunc(const WideString& S1, const WideString& S2, unsigned)
{
    return CollateWide(WideLowerCase(S1), WideLowerCase(S2), true);
}

// ---------------------------------------------------------------- TNarrowStringsView
int TNarrowStringsView::GetCount() const { return FWide->GetCount(); }
AnsiString TNarrowStringsView::Get(int Index) const { return WideToAnsi(FWide->Get(Index)); }
void TNarrowStringsView::Insert(int Index, const AnsiString& S) { FWide->Insert(Index, AnsiToWide(S)); }
void TNarrowStringsView::Delete(int Index) { FWide->Delete(Index); }
void TNarrowStringsView::Clear() { FWide->Clear(); }

// ---------------------------------------------------------------- TWideStrings
TWideStrings::TWideStrings() : FAnsiStrings(std::make_unique<TNarrowStringsView>(this)), FLocale(kUserDefaultLocale) {}

TWideStrings::~TWideStrings() = default;

void TWideStrings::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        SetUpdateState(true);
}

void TWideStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        SetUpdateState(false);
}

int TWideStrings::Add(const WideString& S)
{
    const int i = GetCount();
    Insert(i, S);
    return i;
}

int TWideStrings::AddObject(const WideString& S, TObject* AObject)
{
    const int i = Add(S);
    PutObject(i, AObject);
    return i;
}

void TWideStrings::AddStrings(TStrings* Strings)
{
    BeginUpdate();
    for (int i = 0; i < Strings->Count(); ++i)
        AddObject(AnsiToWide(Strings->Strings(i)), Strings->Objects(i));
    EndUpdate();
}

void TWideStrings::AddStrings(TWideStrings* Strings)
{
    BeginUpdate();
    for (int i = 0; i < Strings->Count(); ++i)
        AddObject(Strings->Get(i), Strings->GetObject(i));
    EndUpdate();
}

void TWideStrings::Put(int Index, const WideString& S)
{
    TObject* o = GetObject(Index);
    Delete(Index);
    Insert(Index, S);
    PutObject(Index, o);
}

void TWideStrings::Exchange(int Index1, int Index2)
{
    BeginUpdate();
    const WideString s = Get(Index1);
    TObject* o = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s);
    PutObject(Index2, o);
    EndUpdate();
}

void TWideStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    BeginUpdate();
    const WideString s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    Delete(CurIndex);
    Insert(NewIndex, s);
    PutObject(NewIndex, o);
    EndUpdate();
}

WideString TWideStrings::GetTextStr()
{
    WideString t;
    for (int i = 0; i < GetCount(); ++i) {
        t += Get(i);
        t += u"\r\n";
    }
    return t;
}

void TWideStrings::SetTextStr(const WideString& Value)
{
    BeginUpdate();
    Clear();
    std::size_t start = 0, i = 0;
    while (i < Value.size()) {
        if (!IsLineBreak(Value[i])) {
            ++i;
            continue;
        }
        Add(Value.substr(start, i - start));
        if (Value[i] == 13 && i + 1 < Value.size() && Value[i + 1] == 10)
            ++i;
        start = ++i;
    }
    if (start < Value.size())
        Add(Value.substr(start));
    EndUpdate();
}

void TWideStrings::SetText(const char16_t* Text)
{
    SetTextStr(Text ? WideString(Text) : WideString());
}

int TWideStrings::IndexOf(const WideString& S)
{
    for (int i = 0; i < GetCount(); ++i)
        if (WideCompareTextFunc(Get(i), S, FLocale) == 0)
            return i;
    return -1;
}

void TWideStrings::Assign(TPersistent* Source)
{
    if (auto* wide = dynamic_cast<TWideStrings*>(Source)) {
        BeginUpdate();
        Clear();
        AddStrings(wide);
        EndUpdate();
    } else if (auto* narrow = dynamic_cast<TStrings*>(Source)) {
        BeginUpdate();
        Clear();
        AddStrings(narrow);
        EndUpdate();
    } else {
        TPersistent::Assign(Source);
    }
}

void TWideStrings::AssignTo(TPersistent* Dest)
{
    if (auto* narrow = dynamic_cast<TStrings*>(Dest)) {
        narrow->BeginUpdate();
        narrow->Clear();
        for (int i = 0; i < GetCount(); ++i)
            narrow->AddObject(WideToAnsi(Get(i)), GetObject(i));
        narrow->EndUpdate();
    } else if (auto* wide = dynamic_cast<TWideStrings*>(Dest)) {
        wide->Clear();
        wide->AddStrings(this);
    } else {
        TPersistent::AssignTo(Dest);
    }
}

// ---------------------------------------------------------------- TComboBoxStrings
WideString TComboBoxStrings::Get(int Index)
{
    // Items put into the 8-bit list directly have no wide form of their own.
    if (int(FWide.size()) != FCombo->Items()->Count())
        return AnsiToWide(FCombo->Items()->Strings(Index));
    return Index >= 0 && Index < int(FWide.size()) ? FWide[std::size_t(Index)] : WideString();
}

int TComboBoxStrings::GetCount() { return FCombo->Items()->Count(); }
TObject* TComboBoxStrings::GetObject(int Index) { return FCombo->Items()->Objects(Index); }
void TComboBoxStrings::PutObject(int Index, TObject* AObject) { FCombo->Items()->SetObjects(Index, AObject); }

int TComboBoxStrings::InsertItem(int Index, const WideString& S)
{
    TStrings* items = FCombo->Items();
    if (Index < 0 || Index > items->Count())
        return -1;
    if (int(FWide.size()) != items->Count()) {
        FWide.clear();
        for (int i = 0; i < items->Count(); ++i)
            FWide.push_back(AnsiToWide(items->Strings(i)));
    }
    items->Insert(Index, WideToAnsi(S));
    FWide.insert(FWide.begin() + Index, S);
    FCombo->SetItemWideText(Index, S);
    return Index;
}

int TComboBoxStrings::Add(const WideString& S)
{
    const int i = InsertItem(GetCount(), S);
    if (i < 0)
        throw EOutOfResources("Unable to insert a line");
    return i;
}

void TComboBoxStrings::Insert(int Index, const WideString& S)
{
    if (InsertItem(Index, S) < 0)
        throw EOutOfResources("Unable to insert a line");
}

int TComboBoxStrings::IndexOf(const WideString& S)
{
    for (int i = 0; i < GetCount(); ++i)
        if (WideCompareTextFunc(Get(i), S, Locale()) == 0)
            return i;
    return -1;
}

void TComboBoxStrings::Clear()
{
    const WideString text = FCombo->WideText();
    FCombo->Items()->Clear();
    FWide.clear();
    FCombo->SetWideText(text);
    FCombo->Invalidate();
}

void TComboBoxStrings::Delete(int Index)
{
    FCombo->Items()->Delete(Index);
    if (Index >= 0 && Index < int(FWide.size()))
        FWide.erase(FWide.begin() + Index);
}

void TComboBoxStrings::SetUpdateState(bool Updating)
{
    if (Updating) {
        FCombo->Items()->BeginUpdate();
    } else {
        // The end of an update shows the 8-bit items again: the wide texts go back.
        FCombo->Items()->EndUpdate();
        ShowInWindow();
    }
}

void TComboBoxStrings::ShowInWindow()
{
    if (int(FWide.size()) != FCombo->Items()->Count())
        return;
    for (int i = 0; i < int(FWide.size()); ++i)
        FCombo->SetItemWideText(i, FWide[std::size_t(i)]);
}

// ---------------------------------------------------------------- wide text of a control
WideString GetWideText(TWinControl* Control)
{
    if (auto* e = dynamic_cast<TCustomEdit*>(Control))
        return e->WideText();
    if (auto* m = dynamic_cast<TMemo*>(Control))
        return m->WideText();
    if (auto* c = dynamic_cast<TCustomComboBox*>(Control))
        return c->WideText();
    return AnsiToWide(Control->Text());
}

void SetWideText(TWinControl* Control, const WideString& Value)
{
    if (GetWideText(Control) == Value)
        return;
    if (auto* e = dynamic_cast<TCustomEdit*>(Control))
        e->SetWideText(Value);
    else if (auto* m = dynamic_cast<TMemo*>(Control))
        m->SetWideText(Value);
    else if (auto* c = dynamic_cast<TCustomComboBox*>(Control))
        c->SetWideText(Value);
    else
        Control->SetText(WideToAnsi(Value));
}

// ---------------------------------------------------------------- controls
namespace {
// Makes the window with Create and gives it the wide text the control had before.
void CreateKeepingWideText(TWinControl* Control, const std::function<void()>& Create)
{
    const WideString kept = GetWideText(Control);
    Create();
    SetWideText(Control, kept);
}
}  // namespace

void TCustomUNIEdit::CreateWnd()
{
    CreateKeepingWideText(this, [this] { TCustomEdit::CreateWnd(); });
}

void TPsgUniCustomMemo::CreateWnd()
{
    CreateKeepingWideText(this, [this] { TMemo::CreateWnd(); });
}

void TPsgUniEditBtn::CreateWnd()
{
    CreateKeepingWideText(this, [this] { TPsgEditBtn::CreateWnd(); });
}

TCustomUNIEdit::TCustomUNIEdit(TComponent* AOwner) : TCustomEdit(AOwner)
{
    SetUnicodeWindow(true);
    Font()->SetCharset(255);
}

TPsgUniCustomMemo::TPsgUniCustomMemo(TComponent* AOwner) : TMemo(AOwner)
{
    SetUnicodeWindow(true);
    Font()->SetCharset(255);
    SetScrollBars(ssNone);
    SetWordWrap(false);
    SetWantReturns(false);
    SetWantTabs(false);
}

TPsgUniMemo::TPsgUniMemo(TComponent* AOwner) : TPsgUniCustomMemo(AOwner)
{
    SetBounds(Left(), Top(), 200, 100);
}

TPsgUniEditBtn::TPsgUniEditBtn(TComponent* AOwner) : TPsgEditBtn(AOwner)
{
    SetUnicodeWindow(true);
    Font()->SetCharset(255);
    SetText(AnsiString());
    FUnitWidth = 0;
}

TCustomUNIComboBox::TCustomUNIComboBox(TComponent* AOwner)
    : TPSGCustomCombo(AOwner), FWideItems(std::make_unique<TComboBoxStrings>(this))
{
    SetUnicodeWindow(true);
}

TCustomUNIComboBox::~TCustomUNIComboBox() = default;

void TCustomUNIComboBox::CreateWnd()
{
    CreateKeepingWideText(this, [this] { TPSGCustomCombo::CreateWnd(); });
    FWideItems->ShowInWindow();
}

void TCustomUNIComboBox::Select()
{
    const int i = ItemIndex();
    if (Style() != csDropDownList && i >= 0 && i < FWideItems->Count())
        SetWideText(FWideItems->Get(i));
    TPSGCustomCombo::Select();
}

void TCustomUNIComboBox::KeyPress(char& Key)
{
    if (Key == 8) {
        if (OnKeyPress)
            OnKeyPress(this, Key);
        return;
    }
    TPSGCustomCombo::KeyPress(Key);
}
