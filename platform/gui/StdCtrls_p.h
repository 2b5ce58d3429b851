#pragma once
// Private to platform/gui: what the standard controls share on the toolkit side.
#include <QPlainTextEdit>
#include <QStyledItemDelegate>
#include <QWidget>
#include <functional>

#include "platform/gui/Controls_p.h"
#include "platform/gui/QtText_p.h"
#include "platform/gui/StdCtrls.h"

// The control's widget as its toolkit class; nullptr while the window is not made.
template <class W>
W* NativeOf(const TControl* c)
{
    auto* wc = const_cast<TWinControl*>(static_cast<const TWinControl*>(c));
    return dynamic_cast<W*>(WinImpl(wc).Widget.data());
}

// An edit's field (a combo box's, a rich edit's) in the colour Base.
void SetFieldColor(QWidget* W, const QColor& Base);

// A combo box with an edit field shows its Color in the field, as the system's combo box paints its
// edit with the combo's brush.
void ApplyComboFieldColor(TCustomComboBox* C);
// The selection of an edit's widget in the highlight colours (Shown) or in the field's own colours,
// where it stays but cannot be seen: Shown unless HideSelection is on and the control has not the focus.
void ApplySelectionColors(QWidget* W, bool Shown);
bool SelectionShown(TWinControl* C, bool HideSelection);

// Positions in a text whose line breaks are CR LF (two characters) <-> in the
// widget's text, where a line break is one character.
int WidgetPos(const AnsiString& Text, int Pos);
int TextPos(const AnsiString& Text, int WidgetPosition);
// The caret at Pos of a CR LF text: X the character in its line, Y the line.
TPoint CaretOfText(const AnsiString& Text, int Pos);
// A CR LF text as the toolkit's text (line breaks "\n").
QString QtFromCrLf(const AnsiString& s);

// The widget of a multi-line edit (ES_MULTILINE): plain text whose formatting
// rectangle is kept as the viewport's margins.
class TMultiLineEditWidget : public TPastingTextWidget<QPlainTextEdit> {
public:
    using QPlainTextEdit::setViewportMargins;
    using QPlainTextEdit::viewportMargins;
    // The line shown at a widget position (lines wrapped at the width count) and the number of them.
    int VisualLineAt(int Position) const;
    int VisualLineCount() const;
    // The widget position where shown line Line begins; -1 past the last line.
    int VisualLineStart(int Line) const;
};

// What a list widget does when its item list changes.
class TItemsSink {
public:
    virtual ~TItemsSink() = default;
    virtual void RowInserted(int Index, const AnsiString& S) = 0;
    virtual void RowDeleted(int Index) = 0;
    virtual void RowChanged(int Index, const AnsiString& S) = 0;
    virtual void RowsCleared() = 0;
    // Anything else (sorting, moves, the end of an update): fill the widget anew.
    virtual void RowsReset() = 0;
};

// The items of a combo or list box: a string list that keeps the widget in step,
// row by row, or all at once at the end of BeginUpdate/EndUpdate.
class TWidgetItems : public TStringList {
public:
    explicit TWidgetItems(TItemsSink* Sink) : FSink(Sink) {}

    int Add(const AnsiString& S) override { return AddObject(S, nullptr); }
    int AddObject(const AnsiString& S, TObject* AObject) override;
    void Insert(int Index, const AnsiString& S) override { InsertObject(Index, S, nullptr); }
    void InsertObject(int Index, const AnsiString& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    void Put(int Index, const AnsiString& S) override;
    // An item's object, through the list's own reading and writing of its item data when it has them.
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    // The datum the list keeps for an item: the row stays as it is shown (no refill of the widget).
    TObject* RawObject(int Index) const { return TStringList::GetObject(Index); }
    void PutRawObject(int Index, TObject* AObject);
    // Set by a list box whose item data a descendant may keep elsewhere.
    std::function<TObject*(int Index)> GetData;
    std::function<void(int Index, TObject* AObject)> PutData;

protected:
    void Changed() override;

private:
    template <class F>
    void Step(F&& f);
    TItemsSink* FSink;
    bool FStepping = false;
    bool FDirty = false;
};

// Paints the rows of an owner-drawn list through the control's canvas.
class TItemsDelegate : public QStyledItemDelegate {
public:
    TItemsDelegate(QObject* parent, std::function<bool()> ownerDraw, std::function<TCanvas*()> canvas,
                   std::function<void(int, const TRect&, TOwnerDrawState)> draw,
                   std::function<int(int)> measure, std::function<TColor()> color, std::function<TFont*()> font)
        : QStyledItemDelegate(parent), OwnerDraw(std::move(ownerDraw)), Canvas(std::move(canvas)),
          Draw(std::move(draw)), Measure(std::move(measure)), Color(std::move(color)), Font(std::move(font))
    {
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The least width of a row (a list box's horizontal extent); none when unset.
    std::function<int()> MinWidth;
    // A width every row takes (a column of a multi-column list), 0 none.
    std::function<int()> FixedWidth;
    // Where the focus frame of a row goes (the whole row when unset).
    std::function<TRect(int Row, const TRect& Rect)> FocusRect;

private:
    std::function<bool()> OwnerDraw;
    std::function<TCanvas*()> Canvas;
    std::function<void(int, const TRect&, TOwnerDrawState)> Draw;
    std::function<int(int)> Measure;
    std::function<TColor()> Color;
    std::function<TFont*()> Font;
};
