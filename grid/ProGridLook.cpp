// TProStringGrid: the look of fixed cells and the window frame, numbered
// colour presets and the colours that follow the system's theme.
#include "grid/ProGrid.h"

#include "grid/ProGridParts.h"
#include "platform/gui/Messages.h"
#include "platform/gui/SysInfo.h"
#include "platform/gui/Themes.h"

namespace {
constexpr TColor kBtnFace = clBtnFace;

// The footer's own settings take the colours; its panel follows them (and
// keeps them whenever the footer's settings are applied again).
void SetSearchFooterColors(TProStringGrid* Grid, TColor From, TColor To)
{
    TSearchFooter* f = Grid->SearchFooter();
    f->SetColor(From);
    f->SetColorTo(To);
}

struct TPresetRow {
    TColor Active, ActiveTo, Fixed, FixedTo, Mirror, MirrorTo;
    bool ClAsFixed;
    TColor Footer, FooterTo, Lines, FixedLines, Sel, SelText;
    bool OwnSelection;
};

// Presets 0..7, 9 and 10; preset 8 changes only the selection colours.
const TPresetRow kPresets[11] = {
    {0x94E6FB, 0x1595EE, 0xFCE1CB, 0xE0A57D, clNone, clNone, true, 0xFCE1CB, 0xE0A57D, clSilver, clGray, 0, 0, false},
    {0x94E6FB, 0x1595EE, 0xECE2E1, 0xB39698, clNone, clNone, true, 0xECE2E1, 0xB39698, clSilver, clGray, 0, 0, false},
    {0x94E6FB, 0x1595EE, 0xCFF0EA, 0x8CC0B1, clNone, clNone, true, 0xCFF0EA, 0x8CC0B1, clSilver, clGray, 0, 0, false},
    {0xD8D5D4, 0xD8D5D4, clWhite, 0xCCD4D8, clNone, clNone, false, clWhite, 0xD8D5D4, clSilver, clGray, 0, 0, false},
    {0x9DD8F9, 0x5EC1F1, 0xFBF9F6, 0xE8DBD2, clNone, clNone, true, 0xFFEFE3, 0xFFD2AF, 0xE5D7D0, clGray, 0x5EC1F1, 0,
     true},
    {0x9DD8F9, 0x5EC1F1, 0xF7F7F7, 0xDEDEDE, clNone, clNone, true, 0xF2F1F0, 0xC9C2BD, 0xE5D7D0, clGray, 0x5EC1F1, 0,
     true},
    {kBtnFace, kBtnFace, kBtnFace, kBtnFace, clNone, clNone, false, kBtnFace, kBtnFace, clSilver, clGray, 0, 0, false},
    {0x94E6FB, 0x1595EE, clWhite, kBtnFace, clNone, clNone, false, 0xEBEEEF, 0x7E9898, clSilver, clGray, 0, 0, false},
    {},
    {0x99CCFF, 0x699CFF, 0xF3F3F1, 0xCAC9C8, clNone, clNone, true, 0xEEEEEE, 0xC1C1C1, 0xE5D7D0, clGray, 0x95C7F5, 0,
     true},
    {kBtnFace, kBtnFace, clWhite, clWhite, 0xFAF8F7, 0xF4F2F1, false, kBtnFace, kBtnFace, clSilver, 0xD4D2D1,
     0xEACAB6, clWhite, true},
};
}

void ApplyLookPreset(TProStringGrid* Grid, Byte Preset)
{
    Grid->SetSelectionColor(clHighlight);
    Grid->SetSelectionTextColor(clHighlightText);
    if (Preset == 8 || Preset > 10) {
        Grid->Invalidate();
        return;
    }
    const TPresetRow& p = kPresets[Preset];
    TControlLook* cl = Grid->ControlLook();
    Grid->SetActiveCellColor(p.Active);
    Grid->SetActiveCellColorTo(p.ActiveTo);
    Grid->SetLookFixedFrom(p.Fixed);
    Grid->SetLookFixedTo(p.FixedTo);
    if (Preset != 9) {
        Grid->SetLookFixedMirrorFrom(p.Mirror);
        Grid->SetLookFixedMirrorTo(p.MirrorTo);
    }
    if (p.ClAsFixed) {
        cl->SetFixedGradientFrom(p.Fixed);
        cl->SetFixedGradientTo(p.FixedTo);
    } else {
        cl->SetFixedGradientFrom(clNone);
        cl->SetFixedGradientTo(clNone);
    }
    SetSearchFooterColors(Grid, p.Footer, p.FooterTo);
    Grid->SetGridLineColor(p.Lines);
    Grid->SetGridFixedLineColor(p.FixedLines);
    if (p.OwnSelection) {
        Grid->SetSelectionColor(p.Sel);
        Grid->SetSelectionTextColor(p.SelText);
    }
    if (Preset == 10) {
        TLookColors& lc = Grid->LookColors();
        lc.HoverFrom = 0xFFF7E3;
        lc.HoverTo = 0xFFF7E3;
        lc.HoverMirrorFrom = 0xFFEDBD;
        lc.HoverMirrorTo = 0xFBE7B7;
        lc.HoverBorder = 0xE3C993;
        cl->SetFixedGradientMirrorFrom(0xFAF8F7);
        cl->SetFixedGradientMirrorTo(0xF4F2F1);
        cl->SetFixedGradientHoverFrom(0xFFF7E3);
        cl->SetFixedGradientHoverTo(0xFFF7E3);
        cl->SetFixedGradientHoverMirrorFrom(0xFFEDBD);
        cl->SetFixedGradientHoverMirrorTo(0xFBE7B7);
        cl->SetFixedGradientDownFrom(0xF9E4BC);
        cl->SetFixedGradientDownTo(0xF9E4BC);
        cl->SetFixedGradientDownMirrorFrom(0xF7D68D);
        cl->SetFixedGradientDownMirrorTo(0xF5D18A);
        cl->SetFixedGradientDownBorder(0xAE904F);
        TSortSettings* ss = Grid->SortSettings();
        ss->SetHeaderColor(0xFCF9F2);
        ss->SetHeaderColorTo(0xFCF9F2);
        ss->SetHeaderMirrorColor(0xF9F1E1);
        ss->SetHeaderMirrorColorTo(0xF6ECD8);
    }
    Grid->Invalidate();
}

void ApplySchemeColors(TProStringGrid* Grid, Byte Scheme)
{
    TColor fixed = clWhite, fixedTo = kBtnFace, mirror = clNone, mirrorTo = clNone;
    TColor active = clWhite, activeTo = 0xFFD9B3, footer = clWhite, footerTo = 0xFFD9B3;
    bool clAsFixed = false;
    switch (Scheme) {
    case 1: fixed = footer = 0xFCE1CB; fixedTo = footerTo = 0xE0A57D; break;
    case 2: fixed = footer = 0xCFF0EA; fixedTo = footerTo = 0x8CC0B1; break;
    case 3: fixed = footer = 0xECE2E1; fixedTo = footerTo = 0xB39698; break;
    case 4:
        fixed = fixedTo = clWhite;
        mirror = 0xFAF8F7;
        mirrorTo = 0xF4F2F1;
        footer = 0xECE2E1;
        footerTo = 0xB39698;
        break;
    default: break;
    }
    if (Scheme >= 1 && Scheme <= 4) {
        active = 0x94E6FB;
        activeTo = 0x1595EE;
        clAsFixed = true;
    }
    // The look fields are written directly: adaptation does not repaint.
    TLookColors& lc = Grid->LookColors();
    lc.FixedFrom = fixed;
    lc.FixedTo = fixedTo == kBtnFace ? ColorToRGB(kBtnFace) : fixedTo;
    lc.FixedMirrorFrom = mirror;
    lc.FixedMirrorTo = mirrorTo;
    Grid->SetActiveCellColor(active);
    Grid->SetActiveCellColorTo(activeTo);
    TControlLook* cl = Grid->ControlLook();
    cl->SetFixedGradientFrom(clAsFixed ? fixed : clNone);
    cl->SetFixedGradientTo(clAsFixed ? fixedTo : clNone);
    SetSearchFooterColors(Grid, footer, footerTo);
}

int ClampPercent(int Value)
{
    return Value < 0 ? 0 : Value > 100 ? 100 : Value;
}

void TProStringGrid::SetLook(TGridLook Value)
{
    if (FP.Look == Value)
        return;
    FP.Look = Value;
    if (Value == glVista) {
        ApplyLookPreset(this, 10);
    } else {
        SetLookFixedFrom(clWhite);
        SetLookFixedTo(clBtnFace);
        SetLookFixedMirrorFrom(clNone);
        SetLookFixedMirrorTo(clNone);
        SetGridFixedLineColor(clGray);
        FControlLook->SetFixedGradientFrom(clWhite);
        FControlLook->SetFixedGradientTo(clBtnFace);
        FControlLook->SetFixedGradientMirrorFrom(clNone);
        FControlLook->SetFixedGradientMirrorTo(clNone);
    }
    Invalidate();
    if (!(ComponentState() & csLoading) && FFooterPanel)
        FFooterPanel->Invalidate();
}

void TProStringGrid::SetComponentLook(int Preset)
{
    ApplyLookPreset(this, Byte(Preset));
}

void TProStringGrid::SetAutoThemeAdapt(bool Value)
{
    FP.AutoThemeAdapt = Value;
    if (Value) {
        ThemeAdapt();
        Invalidate();
    }
    FSearchFooter->SetAutoThemeAdapt(Value);
}

Byte TProStringGrid::CurrentXPColorScheme()
{
    if (FIsVista)
        return 4;
    if (!IsThemeActive())
        return 0;
    return Byte(XPColorSchemeOfName(GetThemeColorSchemeName()));
}

void TProStringGrid::ThemeAdapt()
{
    ApplySchemeColors(this, CurrentXPColorScheme());
}

bool TProStringGrid::HasOwnBorder()
{
    TGridLook l = FP.Look;
    bool look = l == glSoft || l == glHalvik || l == glXP || l == glListView || l == glVista;
    return look && BorderStyle() == bsSingle && !FP.Flat;
}

void TProStringGrid::PaintNCBorder(TCanvas* DC)
{
    if (!DC || !HasOwnBorder())
        return;
    TRect outer(0, 0, Width(), Height());
    TRect inner = outer;
    InflateRect(inner, -1, -1);
    FrameRect(DC, inner, FIsWinXP ? TColor(0xB99D7F) : clGray);
    if (Parent())
        FrameRect(DC, outer, Parent()->Color());
}

void TProStringGrid::InitLooksAndHints()
{
    FBalloon->OnEnableChange = [this](TObject*) {
        if (ComponentState() & csLoading)
            return;
        if (FBalloon->Enable())
            CreateBalloonTooltip();
        else
            DestroyBalloonTooltip();
    };
    AddMessageHook([this](TMessage& Message) {
        if (Message.Msg == WM_THEMECHANGED && FP.AutoThemeAdapt) {
            ThemeAdapt();
            Invalidate();
        }
        return false;
    });
}
