#pragma once
// Small objects the string grid owns or places in its cells: integer lists
// with a change event, the list of cell controls, a text-file view of a
// string list, a file-referenced picture, the arrows shown while a column is
// dragged, the popup caption window, the graphic button for cells, and the
// look helpers (Windows XP test, XP colour scheme, gradient fill).
#include <functional>
#include <memory>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"

class TPopupMenu;

// ---------------------------------------------------------------- integer lists
using TIntListChangeEvent = std::function<void(TObject* Sender, int Col, int Row)>;

// A list of 32-bit integers that knows which grid column and row it belongs
// to; SetItem, Add, Delete and Remove report (Col, Row) through OnChange.
class TIntList : public TObject {
public:
    TIntList(int Col, int Row) : FCol(Col), FRow(Row) {}

    int Count() const { return int(FItems.size()); }
    int Col() const { return FCol; }
    int Row() const { return FRow; }
    // EListError "List index out of bounds (n)" outside 0..Count-1.
    int GetItem(int Index) const;
    int Items(int Index) const { return GetItem(Index); }
    void SetItem(int Index, int Value);
    int Add(int Value);
    // Does not report a change.
    void Insert(int Index, int Value);
    void Delete(int Index);
    // Removes the first entry equal to Value; its former index, -1 when absent.
    int Remove(int Value);
    void Clear() { FItems.clear(); }
    int IndexOf(int Value) const;
    bool HasValue(int Value) const { return IndexOf(Value) >= 0; }
    // "1,22,3"; empty for an empty list.
    AnsiString GetCommaText() const;
    // Clears, then adds each comma-separated item (StrToInt: a bad item raises EConvertError).
    void SetCommaText(const AnsiString& S);

    TIntListChangeEvent OnChange;

protected:
    void Changed();
    void CheckIndex(int Index) const;

private:
    std::vector<int> FItems;
    int FCol;
    int FRow;
};

// The columns of a multi-column sort in order; bit 31 of an entry marks a
// descending column.
class TSortIndexList : public TIntList {
public:
    TSortIndexList() : TIntList(0, 0) {}
    static constexpr unsigned DescendingBit = 0x80000000u;
    void AddIndex(int Column, bool Ascending);
    // Position of the column's entry, -1 when absent.
    int FindIndex(int Column) const;
    int GetSortColumn(int Index) const;
    bool IsAscending(int Index) const { return (unsigned(GetItem(Index)) & DescendingBit) == 0; }
    // Flips the direction of the column's entry; nothing when absent.
    void ToggleIndex(int Column);
};

// ---------------------------------------------------------------- cell controls
struct TControlListItem {
    int X = 0;    // column
    int Y = 0;    // row
    TControl* Control = nullptr;
};

// Controls placed in cells; the list owns its records, not the controls.
class TControlList : public TObject {
public:
    TControlList() = default;
    ~TControlList() override;
    TControlList(const TControlList&) = delete;
    TControlList& operator=(const TControlList&) = delete;

    int Count() const { return int(FItems.size()); }
    TControlListItem* GetItem(int Index) const;
    TControlListItem* Items(int Index) const { return GetItem(Index); }
    int Add(int X, int Y, TControl* Control);
    void Delete(int Index);
    void Clear();
    // Index of the entry of the cell, -1 when none.
    int FindControl(int X, int Y) const;

private:
    std::vector<std::unique_ptr<TControlListItem>> FItems;
};

// ---------------------------------------------------------------- text-file view
// A string list read and written line by line like a text file.
class TFileStringList : public TStringList {
public:
    void Reset();
    bool GetEof() const { return FPosition >= Count(); }
    bool Eof() const { return GetEof(); }
    // The line at the read position (empty at the end), then the position moves on.
    void ReadLn(AnsiString& S);
    void Write(const AnsiString& S) { FPending += S; }
    void WriteLn(const AnsiString& S);
    int Position() const { return FPosition; }

private:
    int FPosition = 0;
    AnsiString FPending;
};

// ---------------------------------------------------------------- file picture
// A picture known by its file name; the file is read when drawn.
class TFilePicture : public TPersistent {
public:
    const AnsiString& Filename() const { return FFilename; }
    // Reads the file only to learn its size. A file that cannot be read leaves
    // the old name and size and raises the picture's error.
    void SetFilename(const AnsiString& Value);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Stretches the file's picture into R; nothing for an empty name or an unreadable file.
    void Draw(TCanvas* Canvas, const TRect& R);
    void Assign(TPersistent* Source) override;
    // The name and size as another grid gave them (the cell stream), without reading the file.
    void SetStoredPicture(const AnsiString& AFilename, int AWidth, int AHeight)
    {
        FFilename = AFilename;
        FWidth = AWidth;
        FHeight = AHeight;
    }

private:
    AnsiString FFilename;
    int FWidth = 0;
    int FHeight = 0;
};

// ---------------------------------------------------------------- arrow window
// The small lime arrow that marks where a dragged column or row lands.
// Direction 0 points up, 1 down, 2 right, 3 left.
class TArrowWindow : public TCustomControl {
public:
    TArrowWindow(TWinControl* AOwner, int Direction);
    int Direction() const { return FDirection; }
    // The 7-point outline of the arrow in client coordinates.
    std::vector<TPoint> ArrowPoints() const;

protected:
    // A pop-up window (placed on the screen, so it can stand outside the grid), shaped as the arrow.
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;

private:
    int FDirection;
};

// ---------------------------------------------------------------- popup button
// A caption window shown over the grid (plain text with an ellipsis, or mini-HTML).
class TPopupButton : public TCustomControl {
public:
    explicit TPopupButton(TComponent* AOwner);
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TColor GradFrom() const { return FGradFrom; }
    void SetGradFrom(TColor Value);
    TColor GradTo() const { return FGradTo; }
    void SetGradTo(TColor Value);
    TColor GradMirrorFrom() const { return FGradMirrorFrom; }
    void SetGradMirrorFrom(TColor Value);
    TColor GradMirrorTo() const { return FGradMirrorTo; }
    void SetGradMirrorTo(TColor Value);

protected:
    // A pop-up window above every other, placed on the screen.
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    AnsiString FCaption;
    bool FFlat = false;
    TColor FGradFrom = clNone;
    TColor FGradTo = clNone;
    TColor FGradMirrorFrom = clBlack;
    TColor FGradMirrorTo = clBlack;
};

// ---------------------------------------------------------------- grid button
enum TProGridButtonStyle { tasButton, tasCheck };

// A flat graphic button with gradients, glyphs per state, groups and a drop-down part.
class TProGridButton : public TGraphicControl {
public:
    explicit TProGridButton(TComponent* AOwner);
    ~TProGridButton() override;

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value) { FAutoThemeAdapt = Value; }
    bool AutoXPStyle() const { return FAutoXPStyle; }
    void SetAutoXPStyle(bool Value) { FAutoXPStyle = Value; }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { FBorderColor = Value; Invalidate(); }
    TColor BorderDownColor() const { return FBorderDownColor; }
    void SetBorderDownColor(TColor Value) { FBorderDownColor = Value; Invalidate(); }
    TColor BorderHotColor() const { return FBorderHotColor; }
    void SetBorderHotColor(TColor Value) { FBorderHotColor = Value; Invalidate(); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { FColorTo = Value; Invalidate(); }
    TColor ColorDown() const { return FColorDown; }
    void SetColorDown(TColor Value) { FColorDown = Value; Invalidate(); }
    TColor ColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor Value) { FColorDownTo = Value; Invalidate(); }
    TColor ColorHot() const { return FColorHot; }
    void SetColorHot(TColor Value) { FColorHot = Value; Invalidate(); }
    TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor Value) { FColorHotTo = Value; Invalidate(); }
    TColor ColorChecked() const { return FColorChecked; }
    void SetColorChecked(TColor Value) { FColorChecked = Value; Invalidate(); }
    TColor ColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(TColor Value) { FColorCheckedTo = Value; Invalidate(); }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool DropDownButton() const { return FDropDownButton; }
    void SetDropDownButton(bool Value) { FDropDownButton = Value; Invalidate(); }
    TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* Value) { FDropDownMenu = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value) { FFlat = Value; Invalidate(); }
    TBitmap* Glyph() const { return FGlyph.get(); }
    // Also derives GlyphDisabled (grey levels) while that is empty.
    void SetGlyph(TBitmap* Value);
    TBitmap* GlyphHot() const { return FGlyphHot.get(); }
    void SetGlyphHot(TBitmap* Value) { FGlyphHot->Assign(Value); Invalidate(); }
    TBitmap* GlyphDown() const { return FGlyphDown.get(); }
    void SetGlyphDown(TBitmap* Value) { FGlyphDown->Assign(Value); Invalidate(); }
    TBitmap* GlyphDisabled() const { return FGlyphDisabled.get(); }
    void SetGlyphDisabled(TBitmap* Value) { FGlyphDisabled->Assign(Value); Invalidate(); }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value) { FLayout = Value; Invalidate(); }
    int Margin() const { return FMargin; }
    // Values below -1 are ignored.
    void SetMargin(int Value);
    bool Rounded() const { return FRounded; }
    void SetRounded(bool Value) { FRounded = Value; Invalidate(); }
    bool Shaded() const { return FShaded; }
    void SetShaded(bool Value) { FShaded = Value; Invalidate(); }
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value) { FShowCaption = Value; Invalidate(); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value) { FSpacing = Value; Invalidate(); }
    // The width that shows the glyph and the whole caption in the button's font, with a margin
    // of 6 pixels (or Margin) on either side; Width is not changed.
    int FitWidth();
    TProGridButtonStyle Style() const { return FStyle; }
    void SetStyle(TProGridButtonStyle Value) { FStyle = Value; }

    // The colour presets 0 to 6 (Color, ColorTo, hot, down, checked, borders, Rounded).
    void SetColorPreset(int Preset);
    // Drawn state: bsUp, bsDown while pressed, bsExclusive when latched down.
    TButtonState State() const { return FState; }
    bool Hot() const { return FHot; }
    TBitmap* ShadowGlyph() const { return FShadowGlyph.get(); }

    void Loaded() override;
    void Click() override;

    TNotifyEvent OnDropDown;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    TControlActionLink* CreateActionLink() override;

private:
    void UpdateExclusive();
    void ButtonPressed(TProGridButton* Sender);
    void BuildShadowGlyph();
    void ApplyThemePreset();
    TBitmap* CurrentGlyph() const;

    bool FAllowAllUp = false;
    bool FAutoThemeAdapt = false;
    bool FAutoXPStyle = false;
    TColor FBorderColor = clNone;
    TColor FBorderDownColor = clNone;
    TColor FBorderHotColor = clNone;
    TColor FColorTo = clNone;
    TColor FColorDown = RGB(210, 211, 216);
    TColor FColorDownTo = clNone;
    TColor FColorHot = RGB(199, 199, 202);
    TColor FColorHotTo = clNone;
    TColor FColorChecked = clGray;
    TColor FColorCheckedTo = clNone;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FDropDownButton = false;
    TPopupMenu* FDropDownMenu = nullptr;
    bool FFlat = true;
    std::unique_ptr<TBitmap> FGlyph, FGlyphHot, FGlyphDown, FGlyphDisabled, FShadowGlyph;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    bool FRounded = false;
    bool FShaded = true;
    bool FShowCaption = true;
    int FSpacing = 4;
    TProGridButtonStyle FStyle = tasButton;
    TButtonState FState = bsUp;
    bool FMouseCaptured = false;
    bool FHot = false;
};

// The grid button's link to its action: caption, Down (as the action's
// checked state) and GroupIndex follow the action while they match it.
class TProGridButtonActionLink : public TGroupButtonActionLink<TProGridButton> {
public:
    explicit TProGridButtonActionLink(TProGridButton* AClient) : TGroupButtonActionLink<TProGridButton>(AClient) {}
};

// ---------------------------------------------------------------- look helpers
// What the platform reports: Windows version and common-controls version.
void PlatformWindowsVersion(int& Major, int& Minor);
void PlatformComCtlVersion(int& Major, int& Minor);
// The platform is Windows 5.1 or later.
bool IsWinXP();
// 0 without XP visual styles; else the theme colour name: "NormalColor" 1,
// "HomeStead" 2, "Metallic" 3, anything else 0.
int GetXPColorScheme();
// The scheme number of a theme colour-scheme name: 1 "NormalColor", 2 "HomeStead", 3 "Metallic", else 0.
int XPColorSchemeOfName(const AnsiString& Name);
// The name of the current theme's colour scheme ("" when the platform has none).
AnsiString CurrentThemeColorName();
// Gradient of Steps bands (0 counts as 1) from FromColor to ToColor, then a
// frame in BorderColor unless that is clNone.
void DrawGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, const TRect& R, int Steps,
                  TColor BorderColor);
