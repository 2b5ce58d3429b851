#pragma once
// Sliding tool panels: a tab strip docked at an edge of a form, the panels it
// slides out over the form, their sections of clickable items, the shared
// colour styles and the saved arrangement of the panels.
#include <functional>
#include <memory>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/gui/Component.h"
#include "platform/gui/Controls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"

class TPanelStore;
class TProToolPanel;
class TProToolPanelTab;
class TProToolPanelSection;
class TSectionItems;

// ---------------------------------------------------------------- styles and colours
enum TToolPanelStyle {
    esOffice2003Blue, esOffice2003Silver, esOffice2003Olive, esOffice2003Classic, esOffice2007Luna,
    esOffice2007Obsidian, esWindowsXP, esWhidbey, esCustom, esOffice2007Silver
};
enum TGradientDirection { gdHorizontal, gdVertical };

// Fills R with Steps bands going from FromColor to ToColor (Steps 0 is one band).
void ToolPanelGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, const TRect& R,
                       int Steps);
// The same gradient, or R filled plainly with FromColor when ToColor is clNone.
void ToolPanelFill(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, const TRect& R, int Steps);
// Paints a Width x Height control through a buffer filled by ToolPanelFill first: APaint draws the
// rest on the buffer (R its whole area), which then goes to Target at (0, 0). Nothing for an empty size.
void ToolPanelPaintBuffered(TCanvas* Target, int Width, int Height, TColor FromColor, TColor ToColor,
                            bool Horizontal, int Steps, const std::function<void(TCanvas* C, const TRect& R)>& APaint);
// Draws the bitmap at (X, Y); its pixels of TransparentColor leave the destination unchanged.
void DrawTransparentBitmap(TCanvas* DC, TBitmap* Bitmap, int X, int Y, TColor TransparentColor);
// The same for the Source part of the bitmap scaled to Dest.
void StretchTransparentBitmap(TCanvas* DC, TBitmap* Bitmap, const TRect& Dest, const TRect& Source,
                              TColor TransparentColor);
// Colour scheme of the desktop's visual style: 1 "NormalColor", 2 "HomeStead", 3 "Metallic", else 0.
int ThemeColorSchemeOfName(const AnsiString& ColorName);
int CurrentThemeColorScheme();
// The style that suits a colour scheme.
TToolPanelStyle StyleOfColorScheme(int Scheme);

// ---------------------------------------------------------------- sections and items
enum TSectionCorners { scRectangle, scRoundLeft, scRoundRight, scRoundLeftRight };

class TSectionItem : public TCollectionItem {
public:
    explicit TSectionItem(TCollection* ACollection);
    ~TSectionItem() override;
    void Assign(TPersistent* Source) override;
    AnsiString DisplayName() const override;

    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& Value) { FHint = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    // The caption "-" makes a separator line.
    bool IsSeparator() const { return FCaption == "-"; }

private:
    TSectionItems* Items() const;
    int FImageIndex = -1;
    AnsiString FCaption = "Untitled";
    AnsiString FHint;
    bool FEnabled = true;
    int FTag = 0;
};

class TSectionItems : public TOwnedCollection {
public:
    TSectionItems(TProToolPanel* APanel, TProToolPanelSection* ASection);
    ~TSectionItems() override;
    TSectionItem* Add();
    TSectionItem* Items(int Index) const;
    TSectionItem* GetItem(int Index) const { return Items(Index); }
    TProToolPanel* Panel() const { return FPanel; }
    TProToolPanelSection* Section() const { return FSection; }

    // Called when an item is made and when it goes (the section sizes itself).
    std::function<void(TSectionItem* Item)> OnItemAdded;
    std::function<void(TSectionItem* Item)> OnItemRemoved;

private:
    TProToolPanel* FPanel;
    TProToolPanelSection* FSection;
};

class TProToolPanelSection : public TCollectionItem {
public:
    explicit TProToolPanelSection(TCollection* ACollection);
    ~TProToolPanelSection() override;
    AnsiString DisplayName() const override;

    int Height() const { return FHeight; }
    // Ignored for an autosized section unless the section sizes itself.
    void SetHeight(int Value);
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    TSectionItems* SectionItems() const { return FSectionItems.get(); }
    int CaptionImageIndex() const { return FCaptionImageIndex; }
    void SetCaptionImageIndex(int Value);
    bool Node() const { return FNode; }
    void SetNode(bool Value);
    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool Value);
    bool Draw() const { return FDraw; }
    void SetDraw(bool Value);
    bool Autosize() const { return FAutosize; }
    void SetAutosize(bool Value);
    int ItemHeight() const { return FItemHeight; }

    TProToolPanel* Panel() const;

private:
    friend class TProToolPanel;
    void ItemAdded(TSectionItem* Item);
    void ItemRemoved(TSectionItem* Item);
    // Hides or shows the panel's controls over this section and moves those below by Delta.
    void MoveControls(bool Collapsing, int Delta, const TRect& R);
    int FHeight = 48;
    int FExpandedHeight = 48;
    AnsiString FCaption = "Untitled";
    std::unique_ptr<TSectionItems> FSectionItems;
    int FCaptionImageIndex = -1;
    bool FNode = false;
    bool FExpanded = true;
    bool FDraw = true;
    bool FAutosize = false;
    int FItemHeight = 0;
    bool FInternalChange = false;
    std::vector<TControl*> FHiddenControls;
};

class TProToolPanelSections : public TOwnedCollection {
public:
    explicit TProToolPanelSections(TProToolPanel* APanel);
    ~TProToolPanelSections() override;
    TProToolPanelSection* Add();
    TProToolPanelSection* Items(int Index) const;
    TProToolPanelSection* GetItem(int Index) const { return Items(Index); }
    TProToolPanel* Panel() const { return FPanel; }

private:
    TProToolPanel* FPanel;
};

class TSectionLayout : public TPersistent {
public:
    void Assign(TPersistent* Source) override;

    TColor CaptionColor() const { return FCaptionColor; }
    void SetCaptionColor(TColor v) { Set(FCaptionColor, v); }
    TColor CaptionColorTo() const { return FCaptionColorTo; }
    void SetCaptionColorTo(TColor v) { Set(FCaptionColorTo, v); }
    TColor BackGroundColor() const { return FBackGroundColor; }
    void SetBackGroundColor(TColor v) { Set(FBackGroundColor, v); }
    TColor BackGroundColorTo() const { return FBackGroundColorTo; }
    void SetBackGroundColorTo(TColor v) { Set(FBackGroundColorTo, v); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { Set(FBorderColor, v); }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v) { Set(FBorderWidth, v); }
    TGradientDirection BackGroundGradientDir() const { return FBackGroundGradientDir; }
    void SetBackGroundGradientDir(TGradientDirection v) { Set(FBackGroundGradientDir, v); }
    TGradientDirection CaptionGradientDir() const { return FCaptionGradientDir; }
    void SetCaptionGradientDir(TGradientDirection v) { Set(FCaptionGradientDir, v); }
    TColor ItemFontColor() const { return FItemFontColor; }
    void SetItemFontColor(TColor v) { Set(FItemFontColor, v); }
    bool UnderLineCaption() const { return FUnderLineCaption; }
    void SetUnderLineCaption(bool v) { Set(FUnderLineCaption, v); }
    TColor ItemHoverTextColor() const { return FItemHoverTextColor; }
    void SetItemHoverTextColor(TColor v) { Set(FItemHoverTextColor, v); }
    bool ItemHoverUnderline() const { return FItemHoverUnderline; }
    void SetItemHoverUnderline(bool v) { Set(FItemHoverUnderline, v); }
    TColor CaptionFontColor() const { return FCaptionFontColor; }
    void SetCaptionFontColor(TColor v) { Set(FCaptionFontColor, v); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v) { Set(FSpacing, v); }
    int Indent() const { return FIndent; }
    void SetIndent(int v) { Set(FIndent, v); }
    bool CaptionRounded() const { return FCaptionRounded; }
    void SetCaptionRounded(bool v) { Set(FCaptionRounded, v); }
    TSectionCorners Corners() const { return FCorners; }
    void SetCorners(TSectionCorners v) { Set(FCorners, v); }

    TNotifyEvent OnChange;

private:
    template <class T> void Set(T& field, T v)
    {
        field = v;
        if (OnChange)
            OnChange(this);
    }
    TColor FCaptionColor = 0xF7DEC6;
    TColor FCaptionColorTo = 0xD68C63;
    TColor FBackGroundColor = 0xF7EFDE;
    TColor FBackGroundColorTo = 0xF7D6BD;
    TColor FBorderColor = 0xFFFFFF;
    int FBorderWidth = 1;
    TGradientDirection FBackGroundGradientDir = gdVertical;
    TGradientDirection FCaptionGradientDir = gdHorizontal;
    TColor FItemFontColor = 0xB53900;
    bool FUnderLineCaption = false;
    TColor FItemHoverTextColor = 0xB53900;
    bool FItemHoverUnderline = true;
    TColor FCaptionFontColor = 0x842900;
    int FSpacing = 4;
    int FIndent = 4;
    bool FCaptionRounded = false;
    TSectionCorners FCorners = scRectangle;
};

// ---------------------------------------------------------------- the tool panel
enum TTPBackGroundPosition { bpTopLeft, bpTopRight, bpBottomLeft, bpBottomRight, bpTiled, bpStretched, bpCenter };

using TOnItemClick = std::function<void(TObject* Sender, int SectionIndex, int ItemIndex)>;
using TNodeExpandEvent = std::function<void(TObject* Sender, int SectionIndex)>;
using TOnCaptionButtonClick = std::function<void(TObject* Sender, TRect CaptionButtonRect)>;

// Pictures that replace the drawn caption buttons of the panels.
class TToolPanelGlyphs : public TPersistent {
public:
    TToolPanelGlyphs();
    ~TToolPanelGlyphs() override;
    void Assign(TPersistent* Source) override;
    TBitmap* CloseGlyphHot() const { return FBitmaps[0].get(); }
    TBitmap* LockGlyphDown() const { return FBitmaps[1].get(); }
    TBitmap* LockGlyphHot() const { return FBitmaps[2].get(); }
    TBitmap* LockGlyphNormal() const { return FBitmaps[3].get(); }
    TBitmap* CloseGlyphDown() const { return FBitmaps[4].get(); }
    TBitmap* CloseGlyphNormal() const { return FBitmaps[5].get(); }
    TBitmap* UnLockGlyphDown() const { return FBitmaps[6].get(); }
    TBitmap* UnLockGlyphHot() const { return FBitmaps[7].get(); }
    TBitmap* UnLockGlyphNormal() const { return FBitmaps[8].get(); }
    void SetCloseGlyphHot(TBitmap* v) { SetGlyph(0, v); }
    void SetLockGlyphDown(TBitmap* v) { SetGlyph(1, v); }
    void SetLockGlyphHot(TBitmap* v) { SetGlyph(2, v); }
    void SetLockGlyphNormal(TBitmap* v) { SetGlyph(3, v); }
    void SetCloseGlyphDown(TBitmap* v) { SetGlyph(4, v); }
    void SetCloseGlyphNormal(TBitmap* v) { SetGlyph(5, v); }
    void SetUnLockGlyphDown(TBitmap* v) { SetGlyph(6, v); }
    void SetUnLockGlyphHot(TBitmap* v) { SetGlyph(7, v); }
    void SetUnLockGlyphNormal(TBitmap* v) { SetGlyph(8, v); }
    TNotifyEvent OnChange;

private:
    void SetGlyph(int i, TBitmap* v);
    std::unique_ptr<TBitmap> FBitmaps[9];
};

class TProToolPanel : public TCustomPanel {
public:
    explicit TProToolPanel(TComponent* AOwner);
    ~TProToolPanel() override;

    // Height of the caption bar.
    static constexpr int CaptionHeight = 23;

    void SetCaption(const AnsiString& Value);
    AnsiString Caption() const { return TControl::Caption(); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TProToolPanelTab* ToolPanelTab() const { return FTab; }
    void SetToolPanelTab(TProToolPanelTab* Value) { FTab = Value; }
    int OpenWidth() const { return FOpenWidth; }
    void SetOpenWidth(int Value);
    bool Locked() const { return FLocked; }
    void SetLocked(bool Value);
    bool CanSize() const { return FCanSize; }
    void SetCanSize(bool v) { FCanSize = v; }
    bool Hidden() const { return FHidden; }
    void SetHidden(bool Value);
    const AnsiString& CloseHint() const { return FCloseHint; }
    void SetCloseHint(const AnsiString& v) { FCloseHint = v; }
    const AnsiString& LockHint() const { return FLockHint; }
    void SetLockHint(const AnsiString& v) { FLockHint = v; }
    const AnsiString& UnlockHint() const { return FUnlockHint; }
    void SetUnlockHint(const AnsiString& v) { FUnlockHint = v; }
    TColor FocusCaptionColor() const { return FFocusCaptionColor; }
    void SetFocusCaptionColor(TColor v) { SetAndPaint(FFocusCaptionColor, v); }
    TColor FocusCaptionColorTo() const { return FFocusCaptionColorTo; }
    void SetFocusCaptionColorTo(TColor v) { SetAndPaint(FFocusCaptionColorTo, v); }
    TColor FocusCaptionFontColor() const { return FFocusCaptionFontColor; }
    void SetFocusCaptionFontColor(TColor v) { SetAndPaint(FFocusCaptionFontColor, v); }
    TColor NoFocusCaptionColor() const { return FNoFocusCaptionColor; }
    void SetNoFocusCaptionColor(TColor v) { SetAndPaint(FNoFocusCaptionColor, v); }
    TColor NoFocusCaptionColorTo() const { return FNoFocusCaptionColorTo; }
    void SetNoFocusCaptionColorTo(TColor v) { SetAndPaint(FNoFocusCaptionColorTo, v); }
    TColor NoFocusCaptionFontColor() const { return FNoFocusCaptionFontColor; }
    void SetNoFocusCaptionFontColor(TColor v) { SetAndPaint(FNoFocusCaptionFontColor, v); }
    bool Docked() const { return FDocked; }
    void SetDocked(bool Value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool v) { SetAndPaint(FShowCaption, v); }
    bool AllowDocking() const { return FAllowDocking; }
    void SetAllowDocking(bool v) { FAllowDocking = v; }
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool v) { SetAndPaint(FShowClose, v); }
    bool ShowLock() const { return FShowLock; }
    void SetShowLock(bool v) { SetAndPaint(FShowLock, v); }
    bool AutoLock() const { return FAutoLock; }
    void SetAutoLock(bool v) { FAutoLock = v; }
    TGradientDirection CaptionGradientDirection() const { return FCaptionGradientDirection; }
    void SetCaptionGradientDirection(TGradientDirection v) { SetAndPaint(FCaptionGradientDirection, v); }
    bool ShowCaptionBorder() const { return FShowCaptionBorder; }
    void SetShowCaptionBorder(bool v) { SetAndPaint(FShowCaptionBorder, v); }
    bool DockDots() const { return FDockDots; }
    void SetDockDots(bool v) { SetAndPaint(FDockDots, v); }
    bool CaptionButton() const { return FCaptionButton; }
    void SetCaptionButton(bool v) { SetAndPaint(FCaptionButton, v); }
    bool Button3D() const { return FButton3D; }
    void SetButton3D(bool v) { SetAndPaint(FButton3D, v); }
    TColor HoverButtonColor() const { return FHoverButtonColor; }
    void SetHoverButtonColor(TColor v) { SetAndPaint(FHoverButtonColor, v); }
    TColor HoverButtonColorTo() const { return FHoverButtonColorTo; }
    void SetHoverButtonColorTo(TColor v) { SetAndPaint(FHoverButtonColorTo, v); }
    TColor DownButtonColor() const { return FDownButtonColor; }
    void SetDownButtonColor(TColor v) { SetAndPaint(FDownButtonColor, v); }
    TColor DownButtonColorTo() const { return FDownButtonColorTo; }
    void SetDownButtonColorTo(TColor v) { SetAndPaint(FDownButtonColorTo, v); }
    TProToolPanelSections* Sections() const { return FSections.get(); }
    TSectionLayout* SectionLayout() const { return FSectionLayout.get(); }
    void SetSectionLayout(TSectionLayout* v) { FSectionLayout->Assign(v); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v) { SetAndPaint(FColorTo, v); }
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection v) { SetAndPaint(FGradientDirection, v); }
    TImageList* SectionImages() const { return FSectionImages; }
    void SetSectionImages(TImageList* v);
    TBitmap* Background() const { return FBackground.get(); }
    void SetBackground(TBitmap* v);
    TTPBackGroundPosition BackGroundPosition() const { return FBackGroundPosition; }
    void SetBackGroundPosition(TTPBackGroundPosition v) { SetAndPaint(FBackGroundPosition, v); }
    bool BackgroundTransparent() const { return FBackgroundTransparent; }
    void SetBackgroundTransparent(bool v) { SetAndPaint(FBackgroundTransparent, v); }
    TToolPanelStyle Style() const { return FStyle; }
    void SetStyle(TToolPanelStyle Value);
    // The style interface's one operation, as the grid has it: Preset is a style's number.
    void SetComponentLook(int Preset) { SetStyle(TToolPanelStyle(Preset)); }
    AnsiString Version() const { return "1.0.0.0"; }
    void SetVersion(const AnsiString&) {}

    // Neither locked, hidden nor docked: the panel has a tab on its strip.
    bool ShowsTab() const { return !FLocked && !FHidden && !FDocked; }
    // The floating window the panel sits in (nullptr unless Floating()).
    TForm* FloatingForm() const;
    // Floats the panel in a window of its own whose client area is the screen rectangle R.
    void FloatAt(const TRect& R);
    // Takes the panel out of its floating window back into its strip's form (the window goes).
    void EndFloat();
    // The end of a docking: a floating panel's content moves up under the window's own
    // caption (down again when docked), the strip arranges its panels, dragging is manual again.
    void EndDocking();
    bool PanelLoaded() const { return FLoaded; }
    void SetPanelLoaded(bool v) { FLoaded = v; }

    // Geometry of the sections (client coordinates).
    int ContentTop() const;
    int SectionCaptionHeight() const;
    TRect SectionRect(int Index) const;
    // Left text offset and row height of an expanded section's items.
    void SectionRows(int Index, int& X0, int& RowHeight) const;
    TRect ExpandBoxRect(int Index) const;
    // Section and item under a point, with the row rectangle; -1, -1 when none.
    bool ItemAtPos(int X, int Y, int& SectionIndex, int& ItemIndex, TRect& ItemRect) const;
    int HoveredSection() const { return FHoverSection; }
    int HoveredItem() const { return FHoverItem; }
    // Caption button boxes (client coordinates).
    TRect CloseButtonRect() const;
    TRect LockButtonRect() const;
    TRect CaptionButtonRect() const;
    bool IsFocusedPanel() const { return FFocused; }
    // Text height of "gh" in the panel's font.
    int TextHeightGh() const;
    // Re-applies every section's autosize and repaints.
    void LayoutChanged(TObject* Sender);

    TOnItemClick OnItemClick;
    TNodeExpandEvent OnNodeCollapse;
    TNodeExpandEvent OnNodeExpand;
    TOnCaptionButtonClick OnCaptionBtnClick;

    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The sizing border of an open panel beside its strip under a client point (HTRIGHT,
    // HTBOTTOM, and when locked HTLEFT, HTTOP), else HTCLIENT; WM_NCHITTEST answers it.
    LRESULT SizingHit(int X, int Y) const;
    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoStartDock(TDragDockObject*& DragObject) override;
    void DoEndDock(TObject* Target, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMHintShow(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;

private:
    friend class TProToolPanelTab;
    friend class TProToolPanelSection;
    template <class T> void SetAndPaint(T& field, T v)
    {
        if (field != v) {
            field = v;
            Invalidate();
        }
    }
    void PaintSections(TCanvas* C);
    void PaintCaption(TCanvas* C);
    void PaintButtonBox(TCanvas* C, const TRect& R, bool Hot, bool Down);
    void PaintBackgroundPicture(TCanvas* C);
    void InvalidateButtons();
    void CaptionButtonClick();
    void DoClose();
    void StartFloatDrag(int X, int Y);
    void CancelHover();
    void SetHover(int Section, int Item, const TRect& R);
    // The item under a point becomes the hovered one (none: the hover is cleared).
    void HoverAt(int X, int Y);

    int FImageIndex = -1;
    TProToolPanelTab* FTab = nullptr;
    int FOpenWidth = 150;
    bool FMouseDown = false;
    bool FLocked = false;
    std::unique_ptr<TBitmap> FCloseGlyph, FLockGlyph, FUnlockGlyph;
    bool FCanSize = true;
    bool FHidden = false;
    AnsiString FCloseHint = "Close panel", FLockHint = "Lock panel", FUnlockHint = "Unlock panel";
    bool FFocused = false;
    TColor FFocusCaptionColor = 0x94E6FB, FFocusCaptionFontColor = 0x000000;
    TColor FNoFocusCaptionColor = 0xD68759, FNoFocusCaptionFontColor = 0xFFFFFF;
    bool FDocked = false;
    bool FShowCaption = true;
    bool FAllowDocking = true;
    bool FLoaded = false;
    bool FShowClose = true, FShowLock = true;
    bool FAutoLock = false;
    TColor FNoFocusCaptionColorTo = 0x933803;
    TColor FFocusCaptionColorTo = 0x1595EE;
    TGradientDirection FCaptionGradientDirection = gdVertical;
    bool FShowCaptionBorder = true;
    bool FDockDots = true;
    bool FCaptionButton = false;
    bool FButton3D = true;
    TColor FHoverButtonColor = 0xDCFFFF, FDownButtonColor = 0x087FE8;
    TColor FHoverButtonColorTo = 0x5BC0F7, FDownButtonColorTo = 0x7CDAF7;
    std::unique_ptr<TProToolPanelSections> FSections;
    std::unique_ptr<TSectionLayout> FSectionLayout;
    TColor FColorTo = 0xC67B52;
    TGradientDirection FGradientDirection = gdVertical;
    TImageList* FSectionImages = nullptr;
    bool FWasFloating = false;
    int FHoverSection = -1, FHoverItem = -1;
    TRect FHoverRect{-1, -1, -1, -1};
    std::unique_ptr<TBitmap> FBackground;
    TTPBackGroundPosition FBackGroundPosition = bpTopLeft;
    TToolPanelStyle FStyle = esOffice2003Blue;
    bool FBackgroundTransparent = false;
    TPoint FMousePos{-1, -1};
    // Dragging the inner edge.
    bool FSizing = false;
    int FSizeStart = 0, FSizeStartExtent = 0;
    // Where the press that started a dock drag was.
    TPoint FDragStart{-1, -1};
    // At design time, the section whose height follows the mouse (-1 none).
    int FSizingSection = -1;
    // Measures text in the panel's font outside painting.
    mutable std::unique_ptr<TBitmap> FMeasure;
    TCanvas* MeasureCanvas() const;
};

// ---------------------------------------------------------------- the tab strip
enum TPanelPosition { ppLeft, ppRight, ppTop, ppBottom };
enum TSlideSpeed { ssSlow, ssMedium, ssFast, ssInstant };
enum TAutoOpenCloseSpeed { aocSlow, aocMedium, aocFast, aocVerySlow, aocVeryFast };
enum TPanelState { psClosed, psOpened, psDocked };
enum TPanelPersistLocation { pplINIFile, pplRegistry };

using TTabEvent = std::function<void(TObject* Sender, int Index, TProToolPanel* APanel)>;
using TAllowTabEvent = std::function<void(TObject* Sender, int Index, TProToolPanel* APanel, bool& Allow)>;

// One panel of a strip.
class TToolPanel : public TCollectionItem {
public:
    explicit TToolPanel(TCollection* ACollection) : TCollectionItem(ACollection) {}
    void Assign(TPersistent* Source) override;
    int Tag() const { return FTag; }
    void SetTag(int v) { FTag = v; }
    TProToolPanel* Panel() const { return FPanel; }
    void SetPanel(TProToolPanel* v) { FPanel = v; }
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& v) { FCaption = v; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    TPanelState State() const { return FState; }
    void SetState(TPanelState v) { FState = v; }
    int OpenWidth() const { return FOpenWidth; }
    // Values of 0 and below are ignored.
    void SetOpenWidth(int v)
    {
        if (v > 0)
            FOpenWidth = v;
    }

private:
    int FTag = 0;
    TProToolPanel* FPanel = nullptr;
    AnsiString FCaption;
    bool FVisible = true;
    int FImageIndex = -1;
    TPanelState FState = psClosed;
    int FOpenWidth = 150;
};

class TToolPanels : public TOwnedCollection {
public:
    explicit TToolPanels(TProToolPanelTab* AOwner);
    TToolPanel* Add();
    TToolPanel* Items(int Index) const;
};

// Where and whether a strip keeps the arrangement of its panels.
class TPanelPersistence : public TPersistent {
public:
    void Assign(TPersistent* Source) override;
    bool AutoSave() const { return FAutoSave; }
    void SetAutoSave(bool v) { FAutoSave = v; }
    bool AutoLoad() const { return FAutoLoad; }
    void SetAutoLoad(bool v) { FAutoLoad = v; }
    const AnsiString& INIFile() const { return FINIFile; }
    void SetINIFile(const AnsiString& v) { FINIFile = v; }
    TPanelPersistLocation Location() const { return FLocation; }
    void SetLocation(TPanelPersistLocation v) { FLocation = v; }
    const AnsiString& RegistryUserKey() const { return FRegistryUserKey; }
    void SetRegistryUserKey(const AnsiString& v) { FRegistryUserKey = v; }

private:
    bool FAutoSave = false;
    bool FAutoLoad = false;
    AnsiString FINIFile;
    TPanelPersistLocation FLocation = pplINIFile;
    AnsiString FRegistryUserKey;
};

// The borderless window that carries the open panel of a right or bottom strip;
// the user sizes it by its inner edge (left for a right strip, top for a bottom one).
class TToolPanelForm : public TForm {
public:
    explicit TToolPanelForm(TProToolPanelTab* ATab);
    // Within 2 pixels of the inner edge while a sizable panel is open: HTLEFT or HTTOP, else HTCLIENT.
    LRESULT HitTest(int X, int Y) const;
    void Dispatch(TMessage& Message) override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TProToolPanelTab* FTab;
    // The inner edge being dragged: the edge's hit and the screen point of the press.
    LRESULT FSizing = 0;
    TPoint FSizeFrom;
    TRect FSizeStart;
};

class TProToolPanelTab : public TCustomPanel {
public:
    explicit TProToolPanelTab(TComponent* AOwner);
    ~TProToolPanelTab() override;

    // Id of the auto-open and auto-close timer.
    static constexpr UINT_PTR TimerId = 500;
    // Pixels a panel moves per slide step.
    static constexpr int SlideStep = 15;

    // The wait between two slide steps: the default waits Delay milliseconds while
    // letting pending messages run. Tests replace it (no real waiting).
    static std::function<void(TProToolPanelTab* Strip, int Delay)> SlideWait;
    // Milliseconds per slide step of a speed (18, 9, 3, 0).
    static int SlideDelay(TSlideSpeed Speed);
    // Timer interval of an auto-open/close speed.
    static UINT AutoOpenCloseInterval(TAutoOpenCloseSpeed Speed);

    TToolPanels* Panels() const { return FPanels.get(); }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v);
    TPanelPosition Position() const { return FPosition; }
    void SetPosition(TPanelPosition Value);
    TColor TabColor() const { return FTabColor; }
    void SetTabColor(TColor v) { SetAndPaint(FTabColor, v); }
    TColor TabColorTo() const { return FTabColorTo; }
    void SetTabColorTo(TColor v) { SetAndPaint(FTabColorTo, v); }
    TColor TabBorderColor() const { return FTabBorderColor; }
    void SetTabBorderColor(TColor v) { SetAndPaint(FTabBorderColor, v); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v) { SetAndPaint(FColorTo, v); }
    TColor TabHoverColor() const { return FTabHoverColor; }
    void SetTabHoverColor(TColor v) { FTabHoverColor = v; }
    TColor TabHoverColorTo() const { return FTabHoverColorTo; }
    void SetTabHoverColorTo(TColor v) { FTabHoverColorTo = v; }
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    TBitmap* TabGlyph() const { return FTabGlyph.get(); }
    void SetTabGlyph(TBitmap* Value);
    bool AutoDock() const { return FAutoDock; }
    // A strip that docks is a dock site: panels pulled off can be dropped back on it.
    void SetAutoDock(bool v)
    {
        FAutoDock = v;
        SetDockSite(v);
    }
    TAutoOpenCloseSpeed AutoOpenCloseSpeed() const { return FAutoOpenCloseSpeed; }
    void SetAutoOpenCloseSpeed(TAutoOpenCloseSpeed v);
    TSlideSpeed SlideSpeed() const { return FSlideSpeed; }
    void SetSlideSpeed(TSlideSpeed v) { FSlideSpeed = v; }
    TPanelPersistence* Persist() const { return FPersist.get(); }
    TToolPanelGlyphs* PanelGlyphs() const { return FPanelGlyphs.get(); }
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool v) { FAutoThemeAdapt = v; }
    TToolPanelStyle Style() const { return FStyle; }
    void SetStyle(TToolPanelStyle Value);
    void SetComponentLook(int Preset) { SetStyle(TToolPanelStyle(Preset)); }
    bool AutoOpenOnMouseEnter() const { return FAutoOpenOnMouseEnter; }
    void SetAutoOpenOnMouseEnter(bool v) { FAutoOpenOnMouseEnter = v; }
    AnsiString Version() const { return "1.0.0.0"; }
    void SetVersion(const AnsiString&) {}

    TProToolPanel* CreatePanel();
    void AddPanel(TProToolPanel* APanel);
    void RemovePanel(TProToolPanel* APanel);
    void UpdatePanel(TProToolPanel* APanel);
    int IndexOfPanel(TProToolPanel* APanel) const;
    TProToolPanel* PanelByName(const AnsiString& AName) const;
    int TabCount() const;
    // TabCount() > 0, found at the first tab.
    bool HasTabs() const;
    int TabAtPos(int X, int Y) const;
    int TabsLength() const;
    void OpenTab(int Index);
    void SlidePanelOut(TProToolPanel* APanel);
    void SlidePanelIn(TProToolPanel* APanel);
    void PanelLockChanged(TProToolPanel* APanel);
    void ArrangePanels(int ActiveIndex);
    void ResetAutoCloseCounter() { FCloseTicks = 0; }
    void SetAutoClose(bool Value) { FAutoCloseEnabled = Value; }
    void ThemeAdapt();
    // The dock band of the strip in screen coordinates; false when the control is no panel.
    bool DockOver(TControl* Source, TRect& DockRect) const;
    void DockDrop(TProToolPanel* APanel);
    // The layer's docking: a tool panel dragged over the strip lands in the dock band.
    void DockDrop(TDragDockObject* Source, int X, int Y) override;
    void SavePanels();
    void LoadPanels();
    bool StripLoaded() const { return FLoaded; }

    // State seen by the panels and the tests.
    int OpenIndex() const { return FOpenIndex; }
    int OpenCandidate() const { return FOpenCandidate; }
    int OpenTicks() const { return FOpenTicks; }
    int CloseTicks() const { return FCloseTicks; }
    bool Sliding() const { return FSliding; }
    int ScrollOffset() const { return FScrollOffset; }
    int HotTab() const { return FHotTab; }
    // One tick of the auto-open and auto-close timer.
    void TabTimerTick();
    TToolPanelForm* HostForm() const { return FHostForm; }

    TTabEvent OnTabLeave, OnTabEnter, OnTabRightClick, OnTabLeftClick;
    TTabEvent OnTabSlideIn, OnTabSlideInDone, OnTabSlideOut, OnTabSlideOutDone;
    TTabEvent OnTabHide;
    TAllowTabEvent OnAllowTabHide;

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void WndProc(TMessage& Message) override;
    void SetParent(TWinControl* AParent) override;
    // The host window is named "tabf" followed by the strip's name.
    void SetName(const AnsiString& Value) override;

protected:
    void CreateWnd() override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMTimer(TWMTimer& Message) override;
    void Resize() override;
    void DockOver(TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock) override;

private:
    friend class TProToolPanel;
    friend class TToolPanelForm;
    template <class T> void SetAndPaint(T& field, T v)
    {
        if (field != v) {
            field = v;
            Invalidate();
        }
    }
    struct TabSpan {
        int Index;    // in Panels
        int Start;    // along the band
        int Length;   // text length
    };
    std::vector<TabSpan> TabSpans() const;
    // The panel at Index shows a tab on the band.
    bool ShowsTabAt(int Index) const;
    int TabTextLength(int Index) const;
    // The tabs on the filled buffer C of the strip's size R.
    void PaintTabs(TCanvas* C, const TRect& r);
    bool Vertical() const { return FPosition == ppLeft || FPosition == ppRight; }
    void SetThickness(int v);
    void HookParentForm();
    void UnhookParentForm();
    void Wait();
    bool SlideAlive(const std::shared_ptr<bool>& Alive, TProToolPanel* APanel) const;
    void ActivateParentForm(bool WasActive);
    bool ParentFormActive() const;
    bool ReadPanels(TPanelStore& Store);
    void WritePanels(TPanelStore& Store);
    std::unique_ptr<TPanelStore> OpenStore() const;
    // The strip's hook on its parent form's messages.
    bool ParentFormMessage(TMessage& Message, const TMessageNext& Next);
    void ParentFormClosing();
    void ParentFormResized();
    void ParentFormMoved();
    void ParentFormSysCommand(WPARAM Command);
    void PlaceHostForm();

    std::unique_ptr<TToolPanels> FPanels;
    TImageList* FImages = nullptr;
    bool FMouseBusy = false;
    bool FAutoSliding = false;
    int FOpenIndex = -1;
    int FOpenCandidate = -1;
    bool FTimerOn = false;
    int FCloseTicks = 0;
    int FOpenTicks = 0;
    bool FAutoCloseEnabled = true;
    TPanelPosition FPosition = ppLeft;
    TToolPanelForm* FHostForm = nullptr;
    TColor FTabColor = clBtnFace;
    int FLastMouseX = -1, FLastMouseY = -1;
    bool FAutoDock = true;
    TAutoOpenCloseSpeed FAutoOpenCloseSpeed = aocMedium;
    TSlideSpeed FSlideSpeed = ssMedium;
    int FScrollOffset = 0;
    std::unique_ptr<TBitmap> FScrollGlyph;
    TColor FColorTo = clNone;
    TColor FTabColorTo = clNone;
    TColor FTabBorderColor = 0x808080;
    int FHotTab = -1;
    int FTabUnderCursor = -1;
    TColor FTabHoverColor = clNone, FTabHoverColorTo = clNone;
    int FTabWidth = 23;
    std::unique_ptr<TBitmap> FTabGlyph;
    std::unique_ptr<TPanelPersistence> FPersist;
    std::unique_ptr<TToolPanelGlyphs> FPanelGlyphs;
    bool FAutoThemeAdapt = false;
    TToolPanelStyle FStyle = esOffice2003Blue;
    bool FMouseInStrip = false;
    bool FAutoOpenOnMouseEnter = true;
    TWinControl* FHookedForm = nullptr;
    int FHookId = 0;
    bool FLoaded = false;
    bool FWindowDestroyed = false;
    // A slide is running: requests to open or close are ignored meanwhile.
    bool FSliding = false;
    // Cleared when the strip goes, so that a slide interrupted by it stops.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
    mutable std::unique_ptr<TBitmap> FMeasure;
    TCanvas* MeasureCanvas() const;
};
