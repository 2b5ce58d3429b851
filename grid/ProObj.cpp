// Integer lists, cell-control list, text-file view, file picture, arrow and
// popup windows, look helpers.
#include "grid/ProObj.h"

#include "platform/gui/SysInfo.h"

#include <cmath>

#include "grid/ProGridPaint_p.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Themes.h"

namespace {
[[noreturn]] void ListIndexError(int Index)
{
    throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
}
}

// ---------------------------------------------------------------- TIntList
void TIntList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        ListIndexError(Index);
}

void TIntList::Changed()
{
    if (OnChange)
        OnChange(this, FCol, FRow);
}

int TIntList::GetItem(int Index) const
{
    CheckIndex(Index);
    return FItems[std::size_t(Index)];
}

void TIntList::SetItem(int Index, int Value)
{
    CheckIndex(Index);
    FItems[std::size_t(Index)] = Value;
    Changed();
}

int TIntList::Add(int Value)
{
    FItems.push_back(Value);
    Changed();
    return Count() - 1;
}

void TIntList::Insert(int Index, int Value)
{
    if (Index < 0 || Index > Count())
        ListIndexError(Index);
    FItems.insert(FItems.begin() + Index, Value);
}

void TIntList::Delete(int Index)
{
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
    Changed();
}

int TIntList::Remove(int Value)
{
    int i = IndexOf(Value);
    if (i >= 0)
        Delete(i);
    return i;
}

int TIntList::IndexOf(int Value) const
{
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i] == Value)
            return int(i);
    return -1;
}

AnsiString TIntList::GetCommaText() const
{
    AnsiString s;
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (i)
            s += ',';
        s += IntToStr(FItems[i]);
    }
    return s;
}

void TIntList::SetCommaText(const AnsiString& S)
{
    Clear();
    AnsiString rest = S;
    while (!rest.empty()) {
        std::size_t p = rest.find(',');
        AnsiString item = p == AnsiString::npos ? rest : rest.substr(0, p);
        rest = p == AnsiString::npos ? AnsiString() : rest.substr(p + 1);
        Add(StrToInt(item));
    }
}

// ---------------------------------------------------------------- TSortIndexList
void TSortIndexList::AddIndex(int Column, bool Ascending)
{
    unsigned v = unsigned(Column) & ~DescendingBit;
    if (!Ascending)
        v |= DescendingBit;
    Add(int(v));
}

int TSortIndexList::FindIndex(int Column) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetSortColumn(i) == Column)
            return i;
    return -1;
}

int TSortIndexList::GetSortColumn(int Index) const
{
    return int(unsigned(GetItem(Index)) & ~DescendingBit);
}

void TSortIndexList::ToggleIndex(int Column)
{
    int i = FindIndex(Column);
    if (i >= 0)
        SetItem(i, int(unsigned(GetItem(i)) ^ DescendingBit));
}

// ---------------------------------------------------------------- TControlList
TControlList::~TControlList()
{
    while (Count() > 0)
        Delete(0);
}

TControlListItem* TControlList::GetItem(int Index) const
{
    if (Index < 0 || Index >= Count())
        ListIndexError(Index);
    return FItems[std::size_t(Index)].get();
}

int TControlList::Add(int X, int Y, TControl* Control)
{
    auto item = std::make_unique<TControlListItem>();
    item->X = X;
    item->Y = Y;
    item->Control = Control;
    FItems.push_back(std::move(item));
    return Count() - 1;
}

void TControlList::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        ListIndexError(Index);
    FItems.erase(FItems.begin() + Index);
}

void TControlList::Clear()
{
    while (Count() > 0)
        Delete(0);
}

int TControlList::FindControl(int X, int Y) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[std::size_t(i)]->X == X && FItems[std::size_t(i)]->Y == Y)
            return i;
    return -1;
}

// ---------------------------------------------------------------- TFileStringList
void TFileStringList::Reset()
{
    FPosition = 0;
    FPending.clear();
}

void TFileStringList::ReadLn(AnsiString& S)
{
    S = FPosition < Count() ? Strings(FPosition) : AnsiString();
    ++FPosition;
}

void TFileStringList::WriteLn(const AnsiString& S)
{
    Add(FPending + S);
    FPending.clear();
}

// ---------------------------------------------------------------- TFilePicture
void TFilePicture::SetFilename(const AnsiString& Value)
{
    if (Value.empty()) {
        FFilename.clear();
        FWidth = FHeight = 0;
        return;
    }
    TPicture pic;
    pic.LoadFromFile(Value);
    FFilename = Value;
    FWidth = pic.Width();
    FHeight = pic.Height();
}

void TFilePicture::Draw(TCanvas* Canvas, const TRect& R)
{
    if (FFilename.empty())
        return;
    TPicture pic;
    try {
        pic.LoadFromFile(FFilename);
    } catch (const Exception&) {
        return;   // the file went away since it was named: nothing to paint
    }
    if (pic.Graphic())
        Canvas->StretchDraw(R, pic.Graphic());
}

void TFilePicture::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TFilePicture*>(Source)) {
        FFilename = src->FFilename;
        FWidth = src->FWidth;
        FHeight = src->FHeight;
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------- TArrowWindow
TArrowWindow::TArrowWindow(TWinControl* AOwner, int Direction) : TCustomControl(AOwner), FDirection(Direction)
{
    SetColor(clLime);
    SetVisible(false);
    SetBounds(0, 0, 11, 11);
    SetParent(AOwner);
}

std::vector<TPoint> TArrowWindow::ArrowPoints() const
{
    switch (FDirection) {
    case 0: return {{5, 0}, {10, 5}, {7, 5}, {7, 9}, {3, 9}, {3, 5}, {0, 5}};
    case 1: return {{3, 0}, {7, 0}, {7, 4}, {9, 4}, {5, 8}, {1, 4}, {3, 4}};
    case 2: return {{0, 3}, {0, 7}, {4, 7}, {4, 10}, {8, 5}, {4, 0}, {4, 3}};
    default: return {{0, 5}, {4, 10}, {4, 7}, {8, 7}, {8, 3}, {4, 3}, {4, 0}};
    }
}

void TArrowWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP;
}

void TArrowWindow::CreateWnd()
{
    TCustomControl::CreateWnd();
    SetWindowPolygonRgn(Handle(), ArrowPoints());
}

void TArrowWindow::Paint()
{
    // The window's region shapes the arrow.
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

// ---------------------------------------------------------------- TPopupButton
TPopupButton::TPopupButton(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetColor(clBtnFace);
    SetEnabled(false);
    SetVisible(false);
}

void TPopupButton::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP | WS_BORDER;
}

void TPopupButton::SetCaption(const AnsiString& Value)
{
    FCaption = Value;
    Invalidate();
}

void TPopupButton::SetFlat(bool Value)
{
    FFlat = Value;
    Invalidate();
}

void TPopupButton::SetGradFrom(TColor Value)
{
    FGradFrom = Value;
    Invalidate();
}

void TPopupButton::SetGradTo(TColor Value)
{
    FGradTo = Value;
    Invalidate();
}

void TPopupButton::SetGradMirrorFrom(TColor Value)
{
    FGradMirrorFrom = Value;
    Invalidate();
}

void TPopupButton::SetGradMirrorTo(TColor Value)
{
    FGradMirrorTo = Value;
    Invalidate();
}

void TPopupButton::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    // The thin border of the popup window, then its client area.
    c->Brush()->SetColor(clWindowFrame);
    c->FrameRect(r);
    InflateRect(r, -1, -1);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    if (!FFlat) {
        TRect e = r;
        DrawEdge(c, e, BDR_RAISEDINNER, BF_RECT);
        InflateRect(r, -1, -1);
    }
    if (FGradFrom != clNone) {
        TColor to = FGradTo == clNone ? FGradFrom : FGradTo;
        if (FGradMirrorFrom != clNone) {
            TRect top = r, bottom = r;
            top.Bottom = r.Top + r.Height() / 2;
            bottom.Top = top.Bottom;
            DrawGradient(c, FGradFrom, to, false, top, 16, clNone);
            DrawGradient(c, FGradMirrorFrom, FGradMirrorTo == clNone ? FGradMirrorFrom : FGradMirrorTo, false,
                         bottom, 16, clNone);
        } else {
            DrawGradient(c, FGradFrom, to, false, r, 16, clNone);
        }
    }
    SetBkMode(c, TRANSPARENT);
    c->Font()->Assign(Font());
    if (FCaption.find("</") == AnsiString::npos) {
        TRect tr = r;
        DrawText(c, FCaption, -1, tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    } else {
        THtmlRun run;
        run.ShadowOffset = 0;
        run.WordWrap = true;
        run.Owner = this;
        run.Run(c, FCaption, r);
    }
}

// ---------------------------------------------------------------- look helpers
void PlatformWindowsVersion(int& Major, int& Minor)
{
    GetWindowsVersion(Major, Minor);
}

void PlatformComCtlVersion(int& Major, int& Minor)
{
    if (!GetDllFileVersion("COMCTL32.DLL", Major, Minor)) {
        Major = 0;
        Minor = 0;
    }
}

bool IsWinXP()
{
    int major = 0, minor = 0;
    PlatformWindowsVersion(major, minor);
    return major > 5 || (major == 5 && minor >= 1);
}

AnsiString CurrentThemeColorName()
{
    // The platform has no colour scheme of its own.
    return AnsiString();
}

int GetXPColorScheme()
{
    if (!IsWinXP() || !ThemesActive())
        return 0;
    return XPColorSchemeOfName(CurrentThemeColorName());
}

int XPColorSchemeOfName(const AnsiString& Name)
{
    if (Name == "NormalColor")
        return 1;
    if (Name == "HomeStead")
        return 2;
    if (Name == "Metallic")
        return 3;
    return 0;
}

void DrawGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, const TRect& R, int Steps,
                  TColor BorderColor)
{
    if (Steps <= 0)
        Steps = 1;
    TColor from = ColorToRGB(FromColor), to = ColorToRGB(ToColor);
    int fr = GetRValue(from), fg = GetGValue(from), fb = GetBValue(from);
    int dr = GetRValue(to) - fr, dg = GetGValue(to) - fg, db = GetBValue(to) - fb;
    int size = Horizontal ? R.Width() : R.Height();
    int band = int(std::lround(double(size) / Steps)) + 1;
    TBrush saved;
    saved.Assign(Canvas->Brush());
    for (int i = 0; i < Steps; ++i) {
        int r = fr + int(std::lround(double(i) * dr / Steps));
        int g = fg + int(std::lround(double(i) * dg / Steps));
        int b = fb + int(std::lround(double(i) * db / Steps));
        Canvas->Brush()->SetColor(RGB(r, g, b));
        int start = int(std::lround(double(i) * size / Steps));
        TRect part = R;
        if (Horizontal) {
            part.Left = R.Left + start;
            part.Right = std::min(part.Left + band, R.Right);
        } else {
            part.Top = R.Top + start;
            part.Bottom = std::min(part.Top + band, R.Bottom);
        }
        Canvas->FillRect(part);
    }
    if (BorderColor != clNone) {
        Canvas->Brush()->SetColor(ColorToRGB(BorderColor));
        Canvas->FrameRect(R);
    }
    Canvas->Brush()->Assign(&saved);
}
