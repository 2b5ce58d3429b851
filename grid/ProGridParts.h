#pragma once
// Objects the string grid creates and owns besides its settings: the
// in-place editor controls, the rich-text editors, the footer and search
// footer, the cell graphic, the hint window and the hidden-row record.
// Each is created hidden by the grid's constructor; their behaviour lives
// with the grid feature that uses them.
#include <memory>

#include "platform/core/Classes.h"
#include "platform/gui/Component.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Grids.h"
#include "platform/gui/RichEdit.h"
#include "platform/gui/StdCtrls.h"

class TProStringGrid;

// ---------------------------------------------------------------- in-place editors
class TProInplaceEdit : public TInplaceEdit {
public:
    explicit TProInplaceEdit(TComponent* AOwner) : TInplaceEdit(AOwner) {}
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value) { FWordWrap = Value; }

private:
    bool FWordWrap = true;
};

// A hidden editor control of the grid; it knows the grid and the grid's Windows XP flag.
class TGridEditorControl : public TCustomControl {
public:
    explicit TGridEditorControl(TProStringGrid* AGrid);
    TProStringGrid* Grid() const { return FGrid; }
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool Value) { FIsWinXP = Value; }
    const AnsiString& ButtonCaption() const { return FButtonCaption; }
    void SetButtonCaption(const AnsiString& Value) { FButtonCaption = Value; }

private:
    TProStringGrid* FGrid;
    bool FIsWinXP = false;
    AnsiString FButtonCaption;
};

#define PSG_EDITOR(Name) \
    class Name : public TGridEditorControl { \
    public: \
        explicit Name(TProStringGrid* AGrid) : TGridEditorControl(AGrid) {} \
    };
PSG_EDITOR(TGridCombo)
PSG_EDITOR(TGridSpin)
PSG_EDITOR(TGridTransEdit)
PSG_EDITOR(TGridUniEdit)
PSG_EDITOR(TGridUniMemo)
PSG_EDITOR(TGridUniEditBtn)
PSG_EDITOR(TGridUniCombo)
PSG_EDITOR(TGridDatePicker)
PSG_EDITOR(TGridCheckBox)
PSG_EDITOR(TGridEditBtn)
PSG_EDITOR(TGridUnitEditBtn)
PSG_EDITOR(TGridButton)
PSG_EDITOR(TControlEdit)
PSG_EDITOR(TControlCombo)
#undef PSG_EDITOR

class TProDateTimePicker : public TGridEditorControl {
public:
    explicit TProDateTimePicker(TProStringGrid* AGrid) : TGridEditorControl(AGrid) {}
    TDateTime GetDateTime() const { return FDateTime; }
    void SetDateTime(TDateTime Value) { FDateTime = Value; }

private:
    TDateTime FDateTime = 0;
};

// Rich-text cells are edited and measured in these.
class TProRichEdit : public TRichEdit {
public:
    explicit TProRichEdit(TComponent* AOwner) : TRichEdit(AOwner) {}
    void LockSizing() { ++FSizingLock; }
    void UnlockSizing() { if (FSizingLock > 0) --FSizingLock; }
    bool SizingLocked() const { return FSizingLock > 0; }

private:
    int FSizingLock = 0;
};

// ---------------------------------------------------------------- footers
class TFooterPanel : public TCustomControl {
public:
    explicit TFooterPanel(TComponent* AOwner) : TCustomControl(AOwner) {}
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value) { FBorderWidth = Value; }

private:
    int FBorderWidth = 0;
};

class TSearchPanel : public TCustomControl {
public:
    explicit TSearchPanel(TComponent* AOwner) : TCustomControl(AOwner) {}
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value) { FBorderWidth = Value; }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { FColorTo = Value; }

    // What the panel reports to the grid.
    TNotifyEvent OnEditChange;
    TNotifyEvent OnFindNext;
    TNotifyEvent OnFindPrevious;
    TNotifyEvent OnHighlight;
    TNotifyEvent OnClose;

private:
    int FBorderWidth = 0;
    TColor FColorTo = clNone;
};

enum TFooterStyle { fsFixedLastRow, fsColumnPreview, fsCustomPreview };
using TFooterCalcEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)>;

class TFloatingFooter : public TPersistent {
public:
    explicit TFloatingFooter(TProStringGrid* AGrid) : FGrid(AGrid) {}
    void Assign(TPersistent* Source) override;
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    TFooterStyle FooterStyle() const { return FFooterStyle; }
    void SetFooterStyle(TFooterStyle Value) { FFooterStyle = Value; }
    // The footer calculation includes hidden rows.
    bool CalculateHiddenRows() const { return FCalculateHiddenRows; }
    void SetCalculateHiddenRows(bool Value) { FCalculateHiddenRows = Value; }

    // Custom footer values (calculation type 7).
    TFooterCalcEvent OnCalcFooter;

private:
    TProStringGrid* FGrid;
    bool FVisible = false;
    int FHeight = 22;
    TFooterStyle FFooterStyle = fsFixedLastRow;
    bool FCalculateHiddenRows = true;
};

class TSearchFooter : public TPersistent {
public:
    explicit TSearchFooter(TProStringGrid* AGrid) : FGrid(AGrid) {}
    void Assign(TPersistent* Source) override;
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value) { FAutoThemeAdapt = Value; }
    TProStringGrid* Grid() const { return FGrid; }

    TNotifyEvent OnChange;

private:
    TProStringGrid* FGrid;
    bool FVisible = false;
    bool FAutoThemeAdapt = false;
};

// ---------------------------------------------------------------- cell graphic
enum TCellType {
    ctBitmap, ctIcon, ctNone, ctImageList, ctCheckBox, ctDataCheckBox, ctRotated, ctDataImage, ctNode, ctRadio,
    ctEmpty, ctImages, ctPicture, ctFilePicture, ctValue, ctProgress, ctComment, ctButton, ctBitButton,
    ctVirtCheckBox, ctRowCheckBox, ctProgressPie, ctSummary, ctRangeIndicator, ctXPProgress, ctInterface
};
enum TCellHAlign { haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull };
enum TCellVAlign { vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull };

class TCellGraphic : public TPersistent {
public:
    TCellType CellType = ctNone;
    TObject* CellObject = nullptr;
    TCellVAlign CellVAlign = vaTop;
    TCellHAlign CellHAlign = haLeft;
    int CellIndex = 0;
    bool CellTransparent = false;
    bool CellCreated = false;
    bool CellBoolean = false;
    int CellAngle = 0;
    double CellValue = 0;
    int CellErrFrom = 0;
    int CellErrLen = 0;
    AnsiString CellText;
};

// ---------------------------------------------------------------- hint window
// The mini-HTML hint window: grid/ProHint.h.
class THTMLHintWindow;

// ---------------------------------------------------------------- hidden rows
// The record of one hidden row: its stored index, height and cells.
class TGridItem : public TCollectionItem {
public:
    explicit TGridItem(TCollection* ACollection);
    int Idx = 0;
    int Height = 0;
    TStringList* Items() const { return FItems.get(); }

private:
    std::unique_ptr<TStringList> FItems;
};
