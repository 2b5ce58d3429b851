#include "controls/VCLUtils.h"

#include <memory>

#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"

int Max(int A, int B) { return A > B ? A : B; }
int Min(int A, int B) { return A < B ? A : B; }

// ---------------------------------------------------------------- cursors
namespace {

// A 32 x 32 cursor picture on a fuchsia (transparent) ground from rows of
// '#' (black), '.' (white) and blanks.
std::unique_ptr<TBitmap> CursorPicture(const char* const* Rows, int Count)
{
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(32, 32);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(TRect(0, 0, 32, 32));
    for (int y = 0; y < Count; ++y)
        for (int x = 0; Rows[y][x]; ++x) {
            if (Rows[y][x] == '#')
                c->SetPixels(x, y, clBlack);
            else if (Rows[y][x] == '.')
                c->SetPixels(x, y, clWhite);
        }
    bmp->SetTransparentColor(clFuchsia);
    bmp->SetTransparent(true);
    return bmp;
}

const char* const HandRows[] = {
    "     ##",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..###",
    "    #..#..###",
    "    #..#..#..##",
    " ## #..#..#..#.#",
    "#..##........#.#",
    "#...#..........#",
    " #..#..........#",
    "  #............#",
    "  #...........#",
    "   #..........#",
    "    #........#",
    "    #........#",
    "    ##########",
};

const char* const DragRows[] = {
    "     ## ##  ##",
    "    #..#..##..#",
    "    #..#..#...#",
    " ## #........#.#",
    "#..##..........#",
    "#...#..........#",
    " #.............#",
    "  #............#",
    "  #...........#",
    "   #..........#",
    "    #........#",
    "    #........#",
    "    ##########",
};

}  // namespace

void RegisterKxCursors()
{
    static bool done = false;
    if (done || !Screen)
        return;
    done = true;
    auto hand = CursorPicture(HandRows, int(sizeof(HandRows) / sizeof(HandRows[0])));
    auto drag = CursorPicture(DragRows, int(sizeof(DragRows) / sizeof(DragRows[0])));
    Screen->SetCursors(crHand, CreateCursorFromBitmap(hand.get(), 5, 0));
    Screen->SetCursors(crDragHand, CreateCursorFromBitmap(drag.get(), 5, 0));
}

// ---------------------------------------------------------------- pictures
void AssignBitmapCell(TGraphic* Source, TBitmap* Dest, int Cols, int Rows, int Index)
{
    if (!Source || !Dest)
        return;
    if (Cols < 1)
        Cols = 1;
    if (Rows < 1)
        Rows = 1;
    if (Index < 0)
        Index = 0;
    int w = Source->Width() / Cols;
    int h = Source->Height() / Rows;
    int col = Index % Cols;
    int row = Index / Cols;
    Dest->SetSize(w, h);
    if (auto* bmp = dynamic_cast<TBitmap*>(Source)) {
        Dest->Canvas()->CopyRect(TRect(0, 0, w, h), bmp->Canvas(), TRect(col * w, row * h, col * w + w, row * h + h));
        Dest->SetTransparentColor(bmp->TransparentColor());
    } else {
        Dest->Canvas()->Brush()->SetColor(clSilver);
        Dest->Canvas()->FillRect(TRect(0, 0, w, h));
        Source->Draw(Dest->Canvas(), TRect(-col * w, -row * h, Source->Width() - col * w, Source->Height() - row * h));
        Dest->SetTransparentColor(clSilver);
    }
}

void CopyParentImage(TControl* Control, TCanvas* Canvas)
{
    if (Control && Canvas)
        Control->PaintParentBeneath(Canvas);
}

TBitmap* CreateDisabledBitmapEx(TBitmap* Source, TColor TransparentColor, TColor BackColor, bool Highlight,
                                TColor ShadowColor, TColor HighlightColor)
{
    auto* result = new TBitmap();
    if (!Source)
        return result;
    int w = Source->Width(), h = Source->Height();
    result->SetSize(w, h);
    TCanvas* dst = result->Canvas();
    dst->Brush()->SetColor(BackColor);
    dst->FillRect(TRect(0, 0, w, h));
    TColor transparent = ColorToRGB(TransparentColor);
    TCanvas* src = Source->Canvas();
    std::vector<bool> mask(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            mask[std::size_t(y) * w + x] = src->Pixels(x, y) != transparent;
    TColor shadow = ColorToRGB(ShadowColor);
    TColor light = ColorToRGB(HighlightColor);
    if (Highlight)
        for (int y = 0; y + 1 < h; ++y)
            for (int x = 0; x + 1 < w; ++x)
                if (mask[std::size_t(y) * w + x])
                    dst->SetPixels(x + 1, y + 1, light);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (mask[std::size_t(y) * w + x])
                dst->SetPixels(x, y, shadow);
    return result;
}

TBitmap* CreateDisabledBitmap(TBitmap* Source, TColor TransparentColor)
{
    return CreateDisabledBitmapEx(Source, TransparentColor, clBtnFace, true, clBtnShadow, clBtnHighlight);
}

void DrawDisabledImage(TImageList* Images, TCanvas* Canvas, int X, int Y, int Index, bool Highlight,
                       TColor ShadowColor, TColor HighlightColor)
{
    if (!Images || !Canvas || Index < 0 || Index >= Images->Count())
        return;
    // The image's shape is what its mask keeps: the pixels that come out alike on a
    // black and on a white ground. It is stamped from a black-on-white copy.
    const TColor back = Images->BkColor();
    Images->SetBkColor(clNone);
    TBitmap onBlack, onWhite;
    onBlack.Canvas()->Brush()->SetColor(clBlack);
    Images->GetBitmap(Index, &onBlack);
    onWhite.Canvas()->Brush()->SetColor(clWhite);
    Images->GetBitmap(Index, &onWhite);
    Images->SetBkColor(back);
    TBitmap shape;
    shape.SetSize(onBlack.Width(), onBlack.Height());
    for (int y = 0; y < shape.Height(); ++y)
        for (int x = 0; x < shape.Width(); ++x)
            shape.Canvas()->SetPixels(x, y, onBlack.Canvas()->Pixels(x, y) == onWhite.Canvas()->Pixels(x, y) ? clBlack
                                                                                                            : clWhite);
    std::unique_ptr<TBitmap> disabled(
        CreateDisabledBitmapEx(&shape, clWhite, clFuchsia, Highlight, ShadowColor, HighlightColor));
    disabled->SetTransparentColor(clFuchsia);
    disabled->SetTransparent(true);
    Canvas->Draw(X, Y, disabled.get());
}

TBitmap* CreateGrayedBitmap(TBitmap* Source, TColor TransparentColor)
{
    auto* result = new TBitmap();
    if (!Source)
        return result;
    result->Assign(Source);
    TColor transparent = ColorToRGB(TransparentColor);
    TColor face = ColorToRGB(clBtnFace);
    TCanvas* c = result->Canvas();
    for (int y = 0; y < result->Height(); ++y)
        for (int x = 0; x < result->Width(); ++x) {
            TColor p = c->Pixels(x, y);
            if (p == transparent || p == face)
                continue;
            int g = (77 * GetRValue(p) + 150 * GetGValue(p) + 29 * GetBValue(p)) >> 8;
            c->SetPixels(x, y, RGB(g, g, g));
        }
    return result;
}

// ---------------------------------------------------------------- rectangles and windows
int RectWidth(const TRect& R) { return R.Right - R.Left; }
int RectHeight(const TRect& R) { return R.Bottom - R.Top; }

void MakeRectVisible(TRect& R)
{
    if (!Screen)
        return;
    // The desktop's work area: the screen less the desktop's own panels.
    const TRect area = Screen->WorkAreaRect();
    int w = RectWidth(R), h = RectHeight(R);
    if (R.Right > area.Right) {
        R.Left = area.Right - w;
        R.Right = area.Right;
    }
    if (R.Bottom > area.Bottom) {
        R.Top = area.Bottom - h;
        R.Bottom = area.Bottom;
    }
    if (R.Left < area.Left) {
        R.Left = area.Left;
        R.Right = area.Left + w;
    }
    if (R.Top < area.Top) {
        R.Top = area.Top;
        R.Bottom = area.Top + h;
    }
}

void CenterWindow(TControl* Window)
{
    if (!Window || !Screen)
        return;
    int w = Window->Width(), h = Window->Height();
    TRect r((Screen->Width() - w) / 2, (Screen->Height() - h) / 2, 0, 0);
    r.Right = r.Left + w;
    r.Bottom = r.Top + h;
    MakeRectVisible(r);
    Window->SetBounds(r.Left, r.Top, w, h);
}

void RemoveWaitingMessage(HWND Window, UINT Msg)
{
    // The queue keeps a quit message even when it is taken: the program still ends.
    TMsg m;
    PeekMessage(m, Window, Msg, Msg, PM_REMOVE);
}

bool IsForegroundTask()
{
    // The form last activated stays the screen's active form while another program is in front.
    TCustomForm* form = Screen ? Screen->ActiveForm() : nullptr;
    return form && form->Active();
}

// ---------------------------------------------------------------- text
AnsiString ShortenString(const AnsiString& Text, TCanvas* Canvas, int MaxWidth)
{
    if (!Canvas || Canvas->TextWidth(Text) <= MaxWidth)
        return Text;
    int len = int(Text.size());
    for (int k = 2; k <= len; ++k) {
        AnsiString s = Text.substr(0, std::size_t(len - k)) + "...";
        if (Canvas->TextWidth(s) <= MaxWidth)
            return s;
    }
    return "...";
}

AnsiString ExtractCmdToken(const AnsiString& Text, AnsiString& Token)
{
    Token.clear();
    std::size_t i = 0, n = Text.size();
    auto code = [&](std::size_t k) { return Byte(Text[k]); };
    // Separators, and empty quoted runs.
    while (i < n) {
        if (code(i) >= 1 && code(i) <= 32)
            ++i;
        else if (Text[i] == '"' && i + 1 < n && Text[i + 1] == '"')
            i += 2;
        else
            break;
    }
    while (i < n && code(i) > 32) {
        if (Text[i] == '"') {
            ++i;
            while (i < n && Text[i] != '"')
                Token += Text[i++];
            if (i < n)
                ++i;
        } else {
            Token += Text[i++];
        }
    }
    return Text.substr(i);
}

int CmdTokenCount(const AnsiString& Text)
{
    int count = 0;
    AnsiString rest = Text, token;
    for (;;) {
        rest = ExtractCmdToken(rest, token);
        if (token.empty())
            return count;
        ++count;
    }
}

AnsiString CmdToken(const AnsiString& Text, int Index)
{
    AnsiString rest = Text, token;
    for (int i = 0; i <= Index; ++i) {
        rest = ExtractCmdToken(rest, token);
        if (token.empty())
            return AnsiString();
    }
    return Index < 0 ? AnsiString() : token;
}

void SplitCommandLine(const AnsiString& Text, AnsiString& FileName, AnsiString& Params)
{
    AnsiString rest = ExtractCmdToken(Text, FileName), token;
    Params.clear();
    for (;;) {
        rest = ExtractCmdToken(rest, token);
        if (token.empty())
            break;
        if (!Params.empty())
            Params += ' ';
        Params += token.find(' ') != AnsiString::npos ? "\"" + token + "\"" : token;
    }
}

int WordPosition(int N, const AnsiString& S, const TCharSet& Delims)
{
    int count = 0;
    std::size_t i = 0, n = S.size();
    while (i < n && count != N) {
        while (i < n && Delims.count(S[i]))
            ++i;
        if (i < n)
            ++count;
        if (count != N)
            while (i < n && !Delims.count(S[i]))
                ++i;
        else
            return int(i) + 1;
    }
    return 0;
}

AnsiString ExtractWord(int N, const AnsiString& S, const TCharSet& Delims)
{
    int pos = WordPosition(N, S, Delims);
    AnsiString result;
    if (pos == 0)
        return result;
    for (std::size_t i = std::size_t(pos - 1); i < S.size() && !Delims.count(S[i]); ++i)
        result += S[i];
    return result;
}

AnsiString ExtractSubstr(const AnsiString& S, int& Pos, const TCharSet& Delims)
{
    AnsiString result;
    int i = Pos < 1 ? 1 : Pos;
    int n = int(S.size());
    while (i <= n && !Delims.count(S[std::size_t(i - 1)]))
        result += S[std::size_t(i++ - 1)];
    Pos = i <= n ? i + 1 : i;
    return result;
}

bool FourDigitYear()
{
    return Pos("YYYY", UpperCase(FormatSettings.ShortDateFormat)) > 0;
}
