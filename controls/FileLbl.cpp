#include "controls/FileLbl.h"

#include <vector>

TFileLabel::TFileLabel(TComponent* AOwner) : TCustomLabel(AOwner)
{
    SetAutoSize(false);
    SetWordWrap(false);
}

TFileLabel::~TFileLabel() { Destroying(); }

void TFileLabel::SetFileName(const AnsiString& Value)
{
    if (Value == FFileName)
        return;
    FFileName = Value;
    Refit();
}

void TFileLabel::SetSeparator(const AnsiString& Value)
{
    if (Value == FSeparator)
        return;
    FSeparator = Value;
    Refit();
}

void TFileLabel::SetDirection(TDirection Value)
{
    if (Value == FDirection)
        return;
    FDirection = Value;
    Refit();
}

void TFileLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomLabel::SetBounds(ALeft, ATop, AWidth, AHeight);
    Refit();
}

AnsiString TFileLabel::FitPath(const AnsiString& FileName, const AnsiString& Separator, TDirection Direction, int W,
                               const std::function<int(const AnsiString&)>& TextWidth)
{
    if (FileName.empty() || TextWidth(FileName) <= W)
        return FileName;
    std::vector<AnsiString> parts;
    if (Separator.empty()) {
        parts.push_back(FileName);
    } else {
        std::size_t pos = 0;
        for (;;) {
            std::size_t next = FileName.find(Separator, pos);
            if (next == AnsiString::npos) {
                parts.push_back(FileName.substr(pos));
                break;
            }
            parts.push_back(FileName.substr(pos, next - pos));
            pos = next + Separator.size();
        }
    }
    bool hasDrive = parts.size() > 1 && parts[0].size() > 1 && parts[0].back() == ':';
    AnsiString E = "..." + Separator, L = parts.back();
    if (TextWidth(E) + TextWidth(L) >= W)
        return L;
    AnsiString D = hasDrive ? parts[0] + Separator : AnsiString();
    std::size_t firstMiddle = hasDrive ? 1 : 0, endMiddle = parts.size() - 1;
    if (TextWidth(D) + TextWidth(E) + TextWidth(L) >= W)
        return E + L;
    AnsiString added;
    if (Direction == drFromLeft) {
        for (std::size_t i = endMiddle; i > firstMiddle; --i) {
            AnsiString candidate = parts[i - 1] + Separator + added;
            if (TextWidth(D + E + candidate + L) > W)
                break;
            added = candidate;
        }
        return D + E + added + L;
    }
    for (std::size_t i = firstMiddle; i < endMiddle; ++i) {
        AnsiString candidate = added + parts[i] + Separator;
        if (TextWidth(D + candidate + E + L) > W)
            break;
        added = candidate;
    }
    return D + added + E + L;
}

void TFileLabel::Refit()
{
    TBitmap probe;
    probe.Canvas()->SetFont(Font());
    TCanvas* c = probe.Canvas();
    SetCaption(FitPath(FFileName, FSeparator, FDirection, Width(), [c](const AnsiString& s) { return c->TextWidth(s); }));
}
