#pragma once
// Objects the string grid creates and owns besides its settings: the
// in-place editor controls, the rich-text editors, the footer and search
// footer, the cell graphic, the hint window and the hidden-row record.
// Each is created hidden by the grid's constructor; their behaviour lives
// with the grid feature that uses them.
#include <functional>
#include <memory>
#include <utility>
#include <vector>
#include <variant>

#include "platform/core/Classes.h"
#include "platform/gui/Component.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Grids.h"
#include "platform/gui/RichEdit.h"
#include "platform/gui/StdCtrls.h"
#include "grid/editing/PsgCombo.h"

class TProStringGrid;

// ---------------------------------------------------------------- in-place editors
// The editor wrappers (grid/editing/GridEditors.h) and the date and time picker
// (grid/editing/ProDateTimePicker.h).
class TGridCombo;
class TGridSpin;
class TGridUniEdit;
class TGridUniMemo;
class TGridUniEditBtn;
class TGridUniCombo;
class TGridDatePicker;
class TGridCheckBox;
class TGridEditBtn;
class TGridUnitEditBtn;
class TGridButton;
class TProDateTimePicker;
class TProStringGridCheck;

// ---------------------------------------------------------------- auxiliary editors (ProGridAux.cpp)
// Rich-text cells are edited and measured in these.
class TProRichEdit : public TRichEdit {
public:
    explicit TProRichEdit(TProStringGrid* AGrid);
    TProStringGrid* Grid() const { return FGrid; }
    // A new window for the control, as when it becomes the in-place editor.
    void RecreateWindow();
    void LockSizing() { FSizingLock = true; }
    void UnlockSizing() { FSizingLock = false; }
    bool SizingLocked() const { return FSizingLock; }
    // The control asks for a new size of its content (its text grew or shrank).
    void RequestResize(const TRect& Requested);
    const TRect& RequestedRect() const { return FRequested; }

protected:
    void RequestSize(const TRect& Rect) override;
    void WMKillFocus(TWMFocus& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    TProStringGrid* FGrid;
    bool FSizingLock = false;
    TRect FRequested;
};

// Typing straight over a cell; hidden until the grid shows it.
class TGridTransEdit : public TEdit {
public:
    explicit TGridTransEdit(TProStringGrid* AGrid);
    TProStringGrid* Grid() const { return FGrid; }
    // Validates and stores the text in the edited cell; false when refused.
    bool CommitEdit();

protected:
    void DoEnter() override;
    void DoExit() override;
    void KeyPress(char& Key) override;

private:
    TProStringGrid* FGrid;
    int FEditCol = -1;
    int FEditRow = -1;
    // Set while a commit runs: hiding the edit moves the focus away, and
    // that exit must not commit the same text a second time.
    bool FCommitting = false;
};

// The edit and the combo box that stand for form controls in mini-HTML cells.
class TControlEdit : public TMaskEdit {
public:
    explicit TControlEdit(TProStringGrid* AGrid);
    TProStringGrid* Grid() const { return FGrid; }

protected:
    void WMGetDlgCode(TMessage& Message) override;
    void WMKeyDown(TWMKey& Message) override;
    void KeyPress(char& Key) override;

private:
    TProStringGrid* FGrid;
};

class TControlCombo : public TPSGComboBox {
public:
    explicit TControlCombo(TProStringGrid* AGrid);
    TProStringGrid* Grid() const { return FGrid; }

protected:
    void WMGetDlgCode(TMessage& Message) override;
    void KeyPress(char& Key) override;

private:
    TProStringGrid* FGrid;
};

// ---------------------------------------------------------------- footers
// The strip under the rows that shows the floating footer (grid/services/ProGridFooter.cpp).
class TFooterPanel : public TCustomControl {
public:
    explicit TFooterPanel(TProStringGrid* AGrid);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value) { FBorderWidth = Value; }
    TProStringGrid* Grid() const { return FGrid; }
    // The grid column under the panel's point X (-1 when none).
    int ColumnAt(int X) const;
    int HintColumn() const { return FHintCol; }

protected:
    void Paint() override;
    void CreateWnd() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMHintShow(TMessage& Message) override;

private:
    // The left edge of each column under the panel (fixed columns, then from LeftCol) and the width painted.
    std::vector<std::pair<int, TRect>> ColumnRects() const;
    void PaintLastRow(const std::vector<std::pair<int, TRect>>& Cols);
    void PaintPreview(int Width);
    TProStringGrid* FGrid;
    int FBorderWidth = 0;
    int FHintCol = -1;
};

class TSearchPanel;

// The search edit: Return acts as find next.
class TRetEdit : public TEdit {
public:
    explicit TRetEdit(TSearchPanel* APanel);

protected:
    // Answers as an edit of several lines: Return comes to the edit, not to the form's default button.
    void WMGetDlgCode(TMessage& Message) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    TSearchPanel* FPanel;
    bool FReturnDown = false;   // the Return key down that ran find next; its character is only swallowed
};

class TProGridButton;

// The search footer's panel (grid/services/ProGridSearchFooter.cpp): the search edit, find next, find
// previous, highlight and close buttons and the match-case box.
class TSearchPanel : public TCustomControl {
public:
    explicit TSearchPanel(TProStringGrid* AGrid);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value) { FBorderWidth = Value; }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { FColorTo = Value; Invalidate(); }

    // The edit, the buttons and the box are made when first asked for: a panel that never shows
    // costs no glyphs. OnPartsMade lets the grid put its footer's settings on them then.
    TRetEdit* EditControl() { MakeParts(); return FEdit; }
    TProGridButton* FindNextButton() { MakeParts(); return FFindNext; }
    TProGridButton* FindPrevButton() { MakeParts(); return FFindPrev; }
    TProGridButton* HighlightButton() { MakeParts(); return FHighlight; }
    TProGridButton* CloseButton() { MakeParts(); return FClose; }
    TCheckBox* MatchCaseBox() { MakeParts(); return FMatchCase; }
    bool PartsMade() const { return FEdit != nullptr; }
    void MakeParts();
    // Places the children as the panel's layout says (right-to-left moves the edit).
    void LayoutControls();
    // The edit's change: the three action buttons follow whether it holds text; then OnEditChange.
    void EditChanged();

    // What the panel reports to the grid.
    TNotifyEvent OnEditChange;
    TNotifyEvent OnFindNext;
    TNotifyEvent OnFindPrevious;
    TNotifyEvent OnHighlight;
    TNotifyEvent OnClose;
    TNotifyEvent OnPartsMade;

protected:
    void Paint() override;

private:
    TProStringGrid* FGrid;
    int FBorderWidth = 0;
    TColor FColorTo = clNone;
    TRetEdit* FEdit = nullptr;
    TProGridButton* FFindNext = nullptr;
    TProGridButton* FFindPrev = nullptr;
    TProGridButton* FClose = nullptr;
    TProGridButton* FHighlight = nullptr;
    TCheckBox* FMatchCase = nullptr;
};

enum TFooterStyle { fsFixedLastRow, fsColumnPreview, fsCustomPreview };
using TFooterCalcEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)>;

class TFloatingFooter : public TPersistent {
public:
    explicit TFloatingFooter(TProStringGrid* AGrid) : FGrid(AGrid) {}
    void Assign(TPersistent* Source) override;
    bool Visible() const { return FVisible; }
    // Shows or hides the panel; with fsFixedLastRow the grid's last row becomes its footer row.
    void SetVisible(bool Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    TFooterStyle FooterStyle() const { return FFooterStyle; }
    void SetFooterStyle(TFooterStyle Value);
    int Column() const { return FColumn; }
    void SetColumn(int Value);
    const AnsiString& CustomTemplate() const { return FCustomTemplate; }
    void SetCustomTemplate(const AnsiString& Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    // The footer calculation includes hidden rows.
    bool CalculateHiddenRows() const { return FCalculateHiddenRows; }
    void SetCalculateHiddenRows(bool Value) { FCalculateHiddenRows = Value; }
    // Repaints the panel.
    void Invalidate();

    // Custom footer values (calculation type 7).
    TFooterCalcEvent OnCalcFooter;

private:
    TProStringGrid* FGrid;
    bool FVisible = false;
    int FHeight = 22;
    TFooterStyle FFooterStyle = fsFixedLastRow;
    int FColumn = 0;
    AnsiString FCustomTemplate;
    TColor FColor = clBtnFace;
    TColor FBorderColor = clNone;
    bool FShowHint = false;
    bool FCalculateHiddenRows = true;
};

// "<#n>" in Template stands for the text Cell(n) gives; a tag that is no number inserts nothing, and an
// unfinished "<#" is dropped with what follows it.
AnsiString ExpandFooterTemplate(const AnsiString& Template, const std::function<AnsiString(int)>& Cell);

class TSearchFooter : public TPersistent {
public:
    explicit TSearchFooter(TProStringGrid* AGrid);
    ~TSearchFooter() override;
    void Assign(TPersistent* Source) override;
    TProStringGrid* Grid() const { return FGrid; }

    bool Visible() const { return FV.Visible; }
    void SetVisible(bool Value) { SetFlag(FV.Visible, Value); }
    bool AutoThemeAdapt() const { return FV.AutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value) { FV.AutoThemeAdapt = Value; Changed(); }
    bool AutoSearch() const { return FV.AutoSearch; }
    void SetAutoSearch(bool Value) { SetFlag(FV.AutoSearch, Value); }
    TColor Color() const { return FV.Color; }
    void SetColor(TColor Value) { FV.Color = Value; Changed(); }
    TColor ColorTo() const { return FV.ColorTo; }
    void SetColorTo(TColor Value) { FV.ColorTo = Value; Changed(); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    const AnsiString& FindNextCaption() const { return FV.FindNextCaption; }
    void SetFindNextCaption(const AnsiString& Value) { FV.FindNextCaption = Value; Changed(); }
    const AnsiString& FindPrevCaption() const { return FV.FindPrevCaption; }
    void SetFindPrevCaption(const AnsiString& Value) { FV.FindPrevCaption = Value; Changed(); }
    const AnsiString& MatchCaseCaption() const { return FV.MatchCaseCaption; }
    void SetMatchCaseCaption(const AnsiString& Value) { FV.MatchCaseCaption = Value; Changed(); }
    const AnsiString& HighLightCaption() const { return FV.HighLightCaption; }
    void SetHighLightCaption(const AnsiString& Value) { FV.HighLightCaption = Value; Changed(); }
    const AnsiString& HintClose() const { return FV.HintClose; }
    void SetHintClose(const AnsiString& Value) { FV.HintClose = Value; Changed(); }
    const AnsiString& HintFindNext() const { return FV.HintFindNext; }
    void SetHintFindNext(const AnsiString& Value) { FV.HintFindNext = Value; Changed(); }
    const AnsiString& HintFindPrev() const { return FV.HintFindPrev; }
    void SetHintFindPrev(const AnsiString& Value) { FV.HintFindPrev = Value; Changed(); }
    const AnsiString& HintHighlight() const { return FV.HintHighlight; }
    void SetHintHighlight(const AnsiString& Value) { FV.HintHighlight = Value; Changed(); }
    bool ShowClose() const { return FV.ShowClose; }
    void SetShowClose(bool Value) { SetFlag(FV.ShowClose, Value); }
    bool ShowFindNext() const { return FV.ShowFindNext; }
    void SetShowFindNext(bool Value) { SetFlag(FV.ShowFindNext, Value); }
    bool ShowFindPrev() const { return FV.ShowFindPrev; }
    void SetShowFindPrev(bool Value) { SetFlag(FV.ShowFindPrev, Value); }
    bool ShowHighLight() const { return FV.ShowHighLight; }
    void SetShowHighLight(bool Value) { SetFlag(FV.ShowHighLight, Value); }
    bool ShowMatchCase() const { return FV.ShowMatchCase; }
    void SetShowMatchCase(bool Value) { SetFlag(FV.ShowMatchCase, Value); }
    bool SearchActiveColumnOnly() const { return FV.SearchActiveColumnOnly; }
    void SetSearchActiveColumnOnly(bool Value) { SetFlag(FV.SearchActiveColumnOnly, Value); }
    int SearchColumn() const { return FV.SearchColumn; }
    void SetSearchColumn(int Value) { FV.SearchColumn = Value; Changed(); }
    bool SearchMatchStart() const { return FV.SearchMatchStart; }
    void SetSearchMatchStart(bool Value) { SetFlag(FV.SearchMatchStart, Value); }
    bool SearchFixedCells() const { return FV.SearchFixedCells; }
    void SetSearchFixedCells(bool Value) { SetFlag(FV.SearchFixedCells, Value); }

    TNotifyEvent OnChange;

private:
    void Changed()
    {
        if (OnChange)
            OnChange(this);
    }
    void SetFlag(bool& Field, bool Value)
    {
        if (Field != Value) {
            Field = Value;
            Changed();
        }
    }
    TProStringGrid* FGrid;
    std::unique_ptr<TFont> FFont;
    struct {
        bool Visible = false, AutoThemeAdapt = false, AutoSearch = true;
        TColor Color = clWhite, ColorTo = clBtnFace;
        AnsiString FindNextCaption = "Find &next", FindPrevCaption = "Find &previous";
        AnsiString MatchCaseCaption = "Match case", HighLightCaption = "Highlight";
        AnsiString HintClose = "Close", HintFindNext = "Find next occurence";
        AnsiString HintFindPrev = "Find previous occurence", HintHighlight = "Highlight occurences";
        bool ShowClose = true, ShowFindNext = true, ShowFindPrev = true, ShowHighLight = true;
        bool ShowMatchCase = true, SearchActiveColumnOnly = false;
        int SearchColumn = -1;
        bool SearchMatchStart = false, SearchFixedCells = false;
    } FV;
};

// ---------------------------------------------------------------- cell graphic
enum TCellType {
    ctBitmap, ctIcon, ctNone, ctImageList, ctCheckBox, ctDataCheckBox, ctRotated, ctDataImage, ctNode, ctRadio,
    ctEmpty, ctImages, ctPicture, ctFilePicture, ctValue, ctProgress, ctComment, ctButton, ctBitButton,
    ctVirtCheckBox, ctRowCheckBox, ctProgressPie, ctSummary, ctRangeIndicator, ctXPProgress, ctInterface
};

// The cell types drawn and toggled as check boxes.
inline bool IsCheckBoxType(TCellType T)
{
    return T == ctCheckBox || T == ctDataCheckBox || T == ctVirtCheckBox || T == ctRowCheckBox;
}
enum TCellHAlign { haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull };
enum TCellVAlign { vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull };

// A tagged value; nodes keep their grouping column in it, radio groups their index.
using TCellVariant = std::variant<std::monostate, int, double, AnsiString>;

// The graphic of one cell (CellGraphic.cpp). CellCreated means the graphic
// owns CellObject and CellIcon and frees them; the image index list of
// ctImages is always its own.
class TCellGraphic : public TPersistent {
public:
    TCellGraphic() = default;
    ~TCellGraphic() override;
    TCellGraphic(const TCellGraphic&) = delete;
    TCellGraphic& operator=(const TCellGraphic&) = delete;
    // Copies every field but the object and the icon; ownership stays with
    // the graphic that holds an object (CellCreated is this graphic's own).
    void Assign(TPersistent* Source) override;
    // Frees what the graphic owns and forgets its object and icon.
    void ReleaseObject();
    // ctPicture and ctFilePicture: the picture's size in a cell of the given
    // size by the fit mode in the low byte of CellAngle.
    TSize GetPictureSize(int CellWidth, int CellHeight) const;
    // The picture the object holds: the object itself when it is a graphic, a picture object's
    // graphic; nullptr for anything else.
    TGraphic* PictureGraphic() const;
    int FitMode() const { return CellAngle & 0xFF; }

    TCellType CellType = ctNone;
    TObject* CellObject = nullptr;
    TIcon* CellIcon = nullptr;
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
    TCellVariant CellVar;
    // ctProgress drawn classically with CellBoolean set: the text colour over
    // the done part and over the rest (clNone: that bar colour inverted).
    TColor CellCompleteFontColor = clNone;
    TColor CellUnCompleteFontColor = clNone;
};

// The object of a ctInterface cell (its CellObject) draws itself: its size in the cell, whether
// it goes before the cell's text, and the drawing into the cell's rectangle.
class IGridCellObject : public TObject {
public:
    virtual TSize CellSize(int ACol, int ARow) = 0;
    virtual bool DrawBeforeText() = 0;
    virtual void DrawCell(TCanvas* ACanvas, const TRect& ARect, int ACol, int ARow, bool ASelected,
                          TProStringGrid* AGrid) = 0;
};

// ---------------------------------------------------------------- hint window
// The mini-HTML hint window: grid/ProHint.h.
class THTMLHintWindow;

// ---------------------------------------------------------------- hidden rows
// The record of one hidden row: its stored index, height and cells.
// Cell records still held by the record when it goes are freed with it.
class TGridItem : public TCollectionItem {
public:
    explicit TGridItem(TCollection* ACollection);
    ~TGridItem() override;
    int Idx = 0;
    int Height = 0;
    TStringList* Items() const { return FItems.get(); }
    // The controls of the row's cells (stored column, control), hidden with it.
    std::vector<std::pair<int, TControl*>> Controls;

private:
    std::unique_ptr<TStringList> FItems;
};
