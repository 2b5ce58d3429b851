#include "platform/gui/StdCtrls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextOption>

#include "platform/core/SysUtils.h"
#include "platform/gui/Graphics_p.h"
#include "platform/gui/StdCtrls_p.h"

// ---------------------------------------------------------------- TWidgetItems
template <class F>
void TWidgetItems::Step(F&& f)
{
    bool quiet = UpdateCount() > 0;
    FStepping = true;
    try {
        f(quiet);
    } catch (...) {
        FStepping = false;
        throw;
    }
    FStepping = false;
    if (quiet)
        FDirty = true;
}

int TWidgetItems::AddObject(const AnsiString& S, TObject* AObject)
{
    int result = -1;
    Step([&](bool quiet) {
        int before = Count();
        result = TStringList::AddObject(S, PutData ? nullptr : AObject);
        if (!quiet && Count() > before)
            FSink->RowInserted(result, S);
    });
    if (PutData && AObject)
        PutData(result, AObject);
    return result;
}

void TWidgetItems::InsertObject(int Index, const AnsiString& S, TObject* AObject)
{
    Step([&](bool quiet) {
        TStringList::InsertObject(Index, S, PutData ? nullptr : AObject);
        if (!quiet)
            FSink->RowInserted(Index, S);
    });
    if (PutData && AObject)
        PutData(Index, AObject);
}

void TWidgetItems::Delete(int Index)
{
    Step([&](bool quiet) {
        TStringList::Delete(Index);
        if (!quiet)
            FSink->RowDeleted(Index);
    });
}

void TWidgetItems::Clear()
{
    Step([&](bool quiet) {
        TStringList::Clear();
        if (!quiet)
            FSink->RowsCleared();
    });
}

void TWidgetItems::Put(int Index, const AnsiString& S)
{
    Step([&](bool quiet) {
        TStringList::Put(Index, S);
        if (!quiet)
            FSink->RowChanged(Index, S);
    });
}

TObject* TWidgetItems::GetObject(int Index) const
{
    return GetData ? GetData(Index) : RawObject(Index);
}

void TWidgetItems::PutObject(int Index, TObject* AObject)
{
    if (PutData)
        PutData(Index, AObject);
    else
        PutRawObject(Index, AObject);
}

void TWidgetItems::PutRawObject(int Index, TObject* AObject)
{
    Step([&](bool quiet) {
        TStringList::PutObject(Index, AObject);
        if (!quiet)
            FSink->RowChanged(Index, Get(Index));
    });
}

void TWidgetItems::Changed()
{
    TStringList::Changed();
    if (FStepping || UpdateCount() > 0) {
        if (UpdateCount() > 0)
            FDirty = true;
        return;
    }
    // The end of an update, or a change made without a row step (sort, move, exchange).
    FDirty = false;
    FSink->RowsReset();
}

// ---------------------------------------------------------------- owner-drawn rows
void TItemsDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!OwnerDraw()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    TCanvas* canvas = Canvas();
    TOwnerDrawState state = 0;
    if (option.state & QStyle::State_Selected)
        state |= odSelected;
    if (option.state & QStyle::State_HasFocus)
        state |= odFocused;
    if (!(option.state & QStyle::State_Enabled))
        state |= odDisabled | odGrayed;
    QRect q = option.rect;
    TRect r(q.left(), q.top(), q.right() + 1, q.bottom() + 1);
    TCanvasPaintScope scope(*canvas, *painter);
    RunGuarded([&] {
        canvas->Font()->Assign(Font());
        if (state & odSelected) {
            canvas->Brush()->SetColor(clHighlight);
            canvas->Font()->SetColor(clHighlightText);
        } else {
            canvas->Brush()->SetColor(Color());
        }
        canvas->Brush()->SetStyle(bsSolid);
        Draw(index.row(), r, state);
        if ((state & odFocused) && !(state & odNoFocusRect))
            canvas->DrawFocusRect(FocusRect ? FocusRect(index.row(), r) : r);
    });
}

QSize TItemsDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    if (OwnerDraw()) {
        int h = 16;
        RunGuarded([&] { h = Measure(index.row()); });
        s.setHeight(std::max(1, h));
    }
    if (MinWidth) {
        int w = 0;
        RunGuarded([&] { w = MinWidth(); });
        s.setWidth(std::max(s.width(), w));
    }
    if (FixedWidth) {
        int w = 0;
        RunGuarded([&] { w = FixedWidth(); });
        if (w > 0)
            s.setWidth(w);
    }
    return s;
}

namespace {
// Byte-wise: '&' marks the accelerator, "&&" is a plain ampersand.
bool IsAccel(Word Key, const AnsiString& Caption)
{
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&')
            continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        AnsiString a = AnsiUpperCase(AnsiString(1, Caption[i + 1]));
        AnsiString k = AnsiUpperCase(AnsiString(1, char(Key)));
        return a == k;
    }
    return false;
}

Qt::Alignment HorzAlign(TAlignment a)
{
    return a == taRightJustify ? Qt::AlignRight : a == taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
}

}  // namespace

QString QtFromCrLf(const AnsiString& s)
{
    AnsiString out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            out += '\n';
            if (i + 1 < s.size() && s[i + 1] == '\n')
                ++i;
        } else {
            out += s[i];
        }
    }
    return ToQString(out);
}

// ---------------------------------------------------------------- TCustomLabel
TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetControlStyle(ControlStyle() | csReplicatable);
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
}

void TCustomLabel::SetAlignment(TAlignment v)
{
    if (FAlignment != v) {
        FAlignment = v;
        Invalidate();
    }
}

void TCustomLabel::SetLayout(TTextLayout v)
{
    if (FLayout != v) {
        FLayout = v;
        Invalidate();
    }
}

void TCustomLabel::SetWordWrap(bool v)
{
    if (FWordWrap != v) {
        FWordWrap = v;
        AdjustBounds();
        Invalidate();
    }
}

void TCustomLabel::SetTransparent(bool v)
{
    if (FTransparent != v) {
        FTransparent = v;
        Invalidate();
    }
}

void TCustomLabel::SetAutoSize(bool v)
{
    if (FAutoSize != v) {
        FAutoSize = v;
        AdjustBounds();
    }
}

void TCustomLabel::SetShowAccelChar(bool v)
{
    if (FShowAccelChar != v) {
        FShowAccelChar = v;
        AdjustBounds();
        Invalidate();
    }
}

void TCustomLabel::SetFocusControl(TWinControl* v)
{
    SetReference(FFocusControl, v);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

unsigned TCustomLabel::TextFlags() const
{
    unsigned flags = DT_EXPANDTABS;
    if (FWordWrap)
        flags |= DT_WORDBREAK;
    if (!FShowAccelChar)
        flags |= DT_NOPREFIX;
    if (FAlignment == taRightJustify)
        flags |= DT_RIGHT;
    else if (FAlignment == taCenter)
        flags |= DT_CENTER;
    return flags;
}

void TCustomLabel::Paint()
{
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (!FTransparent) {
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(r);
    }
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    AnsiString text = Caption();
    if (text.empty() || (FShowAccelChar && text == "&"))
        text += ' ';
    unsigned flags = TextFlags();
    if (FLayout != tlTop) {
        TRect calc = r;
        DrawText(c, text, -1, calc, flags | DT_CALCRECT);
        int h = calc.Height();
        r.Top = FLayout == tlBottom ? r.Bottom - h : r.Top + (r.Height() - h) / 2;
    }
    if (!Enabled()) {
        c->Font()->SetColor(clBtnHighlight);
        TRect shadow = r;
        shadow.Left += 1; shadow.Top += 1; shadow.Right += 1; shadow.Bottom += 1;
        DrawText(c, text, -1, shadow, flags);
        c->Font()->SetColor(clBtnShadow);
    }
    DrawText(c, text, -1, r, flags);
}

void TCustomLabel::AdjustBounds()
{
    if (!FAutoSize || (ComponentState() & csLoading))
        return;
    TBitmap measure;
    measure.SetWidth(1);
    measure.SetHeight(1);
    TCanvas* c = measure.Canvas();
    c->Font()->Assign(Font());
    AnsiString text = Caption();
    if (text.empty() || (FShowAccelChar && text == "&"))
        text += ' ';
    TRect r(0, 0, FWordWrap ? std::max(1, Width()) : 0, 0);
    DrawText(c, text, -1, r, (TextFlags() & ~(DT_RIGHT | DT_CENTER)) | DT_CALCRECT);
    int x = Left();
    int w = FWordWrap ? Width() : r.Width();
    if (!FWordWrap && FAlignment == taRightJustify)
        x = Left() + Width() - w;
    SetBounds(x, Top(), w, r.Height());
}

void TCustomLabel::CMTextChanged(TMessage& Message)
{
    Invalidate();
    AdjustBounds();
    TGraphicControl::CMTextChanged(Message);
}

void TCustomLabel::CMFontChanged(TMessage& Message)
{
    TGraphicControl::CMFontChanged(Message);
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_DIALOGCHAR && FFocusControl && Enabled() && FShowAccelChar &&
        IsAccel(Word(Message.WParam), Caption()) && FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
        return;
    }
    TGraphicControl::WndProc(Message);
}

// ---------------------------------------------------------------- TCustomEdit
// The edit's line widget: with PaintsParentBackground the parent paints under
// it first; the edit's PaintOver paints on top of it.
class TEditWidget : public QLineEdit {
public:
    explicit TEditWidget(TCustomEdit* Edit) : FEdit(Edit) {}

protected:
    void paintEvent(QPaintEvent* ev) override
    {
        TCustomEdit* e = FEdit;
        TWinControl* parent = e->Parent();
        if (e->PaintsParentBackground() && parent)
            RunGuarded([&] { PaintParent(parent); });
        QLineEdit::paintEvent(ev);
        QPainter p(this);
        TCanvas canvas;
        TCanvasPaintScope scope(canvas, p);
        RunGuarded([&] { e->PaintOver(&canvas); });
    }

    void focusOutEvent(QFocusEvent* ev) override
    {
        // The widget drops its selection as the focus goes; the edit keeps it (and the widget
        // takes it back with the focus), shown meanwhile only without HideSelection.
        TCustomEdit* e = FEdit;
        e->FKeepSelection = true;
        QLineEdit::focusOutEvent(ev);
        e->FKeepSelection = false;
        if (!e->HideSelection() && !hasSelectedText())
            e->WidgetSelection();
    }

private:
    // The parent's erase and paint messages, its origin moved to the edit's position.
    void PaintParent(TWinControl* parent)
    {
        QPainter p(this);
        p.translate(-FEdit->Left(), -FEdit->Top());
        TWinControlImpl& impl = WinImpl(parent);
        QPainter* old = impl.Painter;
        impl.Painter = &p;
        std::shared_ptr<bool> alive = impl.Alive;
        parent->Perform(WM_ERASEBKGND, 0, 0);
        if (*alive)
            parent->Perform(WM_PAINT, 0, 0);
        if (*alive)
            impl.Painter = old;
    }
    TCustomEdit* FEdit;
};

namespace {
// The style of a password edit: its own character stands for each hidden one.
class TPasswordStyle : public QProxyStyle {
public:
    explicit TPasswordStyle(QObject* Owner) { setParent(Owner); }
    QChar Mask = QChar('*');
    int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                  QStyleHintReturn* Return) const override
    {
        if (Hint == SH_LineEdit_PasswordCharacter)
            return Mask.unicode();
        if (Hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(Hint, Option, Widget, Return);
    }
};

void ShowPasswordAs(QLineEdit* E, char Mask)
{
    auto* style = E->findChild<TPasswordStyle*>(QString(), Qt::FindDirectChildrenOnly);
    if (!style) {
        style = new TPasswordStyle(E);
        E->setStyle(style);
    }
    const QChar mask(Win1250ToUnicode(Byte(Mask)));
    if (style->Mask == mask)
        return;
    style->Mask = mask;
    // The edit reads the character when its style changes and shows it when its echo mode is set.
    QEvent changed(QEvent::StyleChange);
    QCoreApplication::sendEvent(E, &changed);
    E->setEchoMode(QLineEdit::Normal);
    E->setEchoMode(QLineEdit::Password);
}
}  // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetControlStyle(ControlStyle() | csFixedHeight);
    // An edit is white like every window that takes text, not the face of its form.
    SetColor(clWindow);
}

TCustomEdit::~TCustomEdit() = default;

TNativeWidget* TCustomEdit::CreateNativeWidget()
{
    if (IsMultiLine()) {
        auto* m = new TMultiLineEditWidget;
        QObject::connect(m, &QPlainTextEdit::textChanged, m, [this, m] {
            if (FSettingText)
                return;
            // The document reports layout changes too: only a new text is an edit.
            AnsiString now = AdjustLineBreaks(FromQString(m->toPlainText()));
            if (now != AdjustLineBreaks(FText))
                RunGuarded([&] { TextEdited(now); });
        });
        auto noteSelection = [this, m] {
            // The caret may move before the widget reports its new text: Text is then the old one,
            // and the positions are counted in the widget's text (a line break there is CR LF here).
            const QString plain = m->toPlainText();
            const bool current = QtFromCrLf(FText) == plain;
            auto textPos = [&](int Pos) {
                return current ? TextPos(FText, Pos) : Pos + int(plain.left(Pos).count(QChar('\n')));
            };
            const QTextCursor c = m->textCursor();
            FSelStart = textPos(c.selectionStart());
            FSelLength = textPos(c.selectionEnd()) - FSelStart;
        };
        QObject::connect(m, &QPlainTextEdit::selectionChanged, m, noteSelection);
        QObject::connect(m, &QPlainTextEdit::cursorPositionChanged, m, noteSelection);
        InstallMessageBridge(m->viewport(), this);
        auto* w = WrapWidget(m);
        // Setting the widget up is no edit (the document reports its layout changes as changes).
        FSettingText = true;
        m->document()->setDocumentMargin(0);
        ApplyToWidget();
        WidgetText(FText);
        FSettingText = false;
        WidgetSelection();
        return w;
    }
    auto* e = new TEditWidget(this);
    QObject::connect(e, &QLineEdit::textChanged, e, [this](const QString& s) {
        if (!FSettingText)
            RunGuarded([&] { TextEdited(FromQString(s)); });
    });
    QObject::connect(e, &QLineEdit::selectionChanged, e, [this, e] {
        if (FKeepSelection)
            return;
        FSelStart = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
        FSelLength = int(e->selectedText().size());
    });
    QObject::connect(e, &QLineEdit::cursorPositionChanged, e, [this, e](int, int pos) {
        if (!FKeepSelection && !e->hasSelectedText()) {
            FSelStart = pos;
            FSelLength = 0;
        }
    });
    auto* w = WrapWidget(e);
    WidgetText(FText);
    WidgetSelection();
    ApplyToWidget();
    return w;
}

void SetFieldColor(QWidget* W, const QColor& Base)
{
    QPalette pal = W->palette();
    // A disabled field keeps the style's disabled look, its text in the system's grey text colour.
    pal.setColor(QPalette::Active, QPalette::Base, Base);
    pal.setColor(QPalette::Inactive, QPalette::Base, Base);
    pal.setColor(QPalette::Disabled, QPalette::Text, ToQColor(clGrayText));
    W->setPalette(pal);
}

void ApplySelectionColors(QWidget* W, bool Shown)
{
    if (!W)
        return;
    QPalette pal = W->palette();
    const QPalette standard = QApplication::palette(W);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(g, QPalette::Highlight, Shown ? standard.color(g, QPalette::Highlight) : pal.color(g, QPalette::Base));
        pal.setColor(g, QPalette::HighlightedText,
                     Shown ? standard.color(g, QPalette::HighlightedText) : pal.color(g, QPalette::Text));
    }
    if (pal != W->palette())
        W->setPalette(pal);
}

bool SelectionShown(TWinControl* C, bool HideSelection) { return !HideSelection || gui_state::Focused() == C; }

void ApplyComboFieldColor(TCustomComboBox* C)
{
    auto* c = NativeOf<QComboBox>(C);
    if (c && c->lineEdit())
        SetFieldColor(c->lineEdit(), ToQColor(C->Color()));
}

void TCustomEdit::ApplyToWidget()
{
    // What the creation parameters say, descendants' styles included.
    TCreateParams p;
    CreateParams(p);
    Qt::Alignment horizontalAlign = (p.Style & ES_RIGHT)    ? Qt::AlignRight
                                    : (p.Style & ES_CENTER) ? Qt::AlignHCenter
                                                            : Qt::AlignLeft;
    auto background = [&](QWidget* w) {
        SetFieldColor(w, PaintsParentBackground() ? QColor(Qt::transparent) : ToQColor(Color()));
    };
    if (auto* m = NativeOf<QPlainTextEdit>(this)) {
        m->setReadOnly((p.Style & ES_READONLY) != 0);
        m->setFrameShape((p.Style & WS_BORDER) || (p.ExStyle & WS_EX_CLIENTEDGE) ? QFrame::StyledPanel
                                                                                 : QFrame::NoFrame);
        // Lines wrap at the width unless the edit scrolls sideways.
        m->setLineWrapMode((p.Style & ES_AUTOHSCROLL) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
        m->setVerticalScrollBarPolicy((p.Style & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        m->setHorizontalScrollBarPolicy((p.Style & WS_HSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        // Tab is no character of an edit: it moves on, as in a one-line edit.
        m->setTabChangesFocus(true);
        QTextOption option = m->document()->defaultTextOption();
        option.setAlignment(horizontalAlign);
        m->document()->setDefaultTextOption(option);
        background(m);
        background(m->viewport());
        ApplySelectionColors(m, SelectionShown(this, FHideSelection));
        return;
    }
    auto* e = NativeOf<QLineEdit>(this);
    if (!e)
        return;
    e->setEchoMode((p.Style & ES_PASSWORD) ? QLineEdit::Password : QLineEdit::Normal);
    if (p.Style & ES_PASSWORD)
        ShowPasswordAs(e, FPasswordChar ? FPasswordChar : '*');
    e->setReadOnly((p.Style & ES_READONLY) != 0);
    e->setFrame((p.Style & WS_BORDER) || (p.ExStyle & WS_EX_CLIENTEDGE));
    e->setAlignment(horizontalAlign | Qt::AlignVCenter);
    // The edit's Color is its background.
    background(e);
    ApplySelectionColors(e, SelectionShown(this, FHideSelection));
}

void TCustomEdit::SetHideSelection(bool v)
{
    FHideSelection = v;
    if (HandleAllocated())
        ApplyToWidget();
}

bool TCustomEdit::IsMultiLine() const
{
    TCreateParams p;
    const_cast<TCustomEdit*>(this)->CreateParams(p);
    return (p.Style & ES_MULTILINE) != 0;
}

void TCustomEdit::StylesChanged()
{
    if (!HandleAllocated())
        return;
    const bool multiLineWidget = NativeOf<QPlainTextEdit>(this) != nullptr;
    if (multiLineWidget != IsMultiLine()) {
        RecreateWnd();
        return;
    }
    ApplyToWidget();
}

void TCustomEdit::WidgetText(const AnsiString& Value)
{
    // The kept selection stays while the widget's caret moves with its new text.
    const int selStart = FSelStart, selLength = FSelLength;
    const bool setting = FSettingText;
    FSettingText = true;
    if (auto* m = NativeOf<QPlainTextEdit>(this)) {
        if (AdjustLineBreaks(FromQString(m->toPlainText())) != Value)
            m->setPlainText(QtFromCrLf(Value));
    } else if (auto* e = NativeOf<QLineEdit>(this)) {
        e->setText(ToQString(Value));
    }
    FSettingText = setting;
    FSelStart = selStart;
    FSelLength = selLength;
}

void TCustomEdit::WidgetSelection()
{
    if (auto* m = NativeOf<QPlainTextEdit>(this)) {
        // A selection that would end inside a line break takes it whole.
        const int start = WidgetPos(FText, FSelStart), end = WidgetPos(FText, FSelStart + FSelLength);
        QTextCursor c = m->textCursor();
        c.setPosition(start);
        c.setPosition(end, QTextCursor::KeepAnchor);
        m->setTextCursor(c);
    } else if (auto* e = NativeOf<QLineEdit>(this)) {
        if (FSelLength > 0)
            e->setSelection(FSelStart, FSelLength);
        else
            e->setCursorPosition(FSelStart);
    }
}

void TCustomEdit::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.Style |= ES_AUTOHSCROLL;
    if (FPasswordChar)
        Params.Style |= ES_PASSWORD;
    if (FReadOnly)
        Params.Style |= ES_READONLY;
    if (FCharCase == ecUpperCase)
        Params.Style |= ES_UPPERCASE;
    else if (FCharCase == ecLowerCase)
        Params.Style |= ES_LOWERCASE;
    if (FBorderStyle != bsNone) {
        if (Ctl3D())
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            Params.Style |= WS_BORDER;
    }
    Params.WinClassName = "EDIT";
}

AnsiString TCustomEdit::GetText() const { return FText; }

AnsiString TCustomEdit::CasedText(const AnsiString& s) const
{
    switch (FCharCase) {
    case ecUpperCase: return AnsiUpperCase(s);
    case ecLowerCase: return AnsiLowerCase(s);
    default: return s;
    }
}

void TCustomEdit::TextEdited(const AnsiString& Value)
{
    auto* e = NativeOf<QLineEdit>(this);
    auto* m = NativeOf<QPlainTextEdit>(this);
    // The caret as a position of the new text.
    auto caret = [&] {
        return m ? TextPos(Value, m->textCursor().position()) : e ? e->cursorPosition() : int(Value.size());
    };
    AnsiString v = CasedText(Value);
    if (FMaxLength > 0 && int(v.size()) > FMaxLength && v.size() > FText.size()) {
        // Typing past the limit is refused: the widget goes back to the text it had.
        if (e || m) {
            const int pos = std::max(0, caret() - int(v.size() - FText.size()));
            WidgetText(FText);
            FSelStart = std::min(pos, int(FText.size()));
            FSelLength = 0;
            WidgetSelection();
        }
        return;
    }
    if (v != Value && (e || m)) {
        UserEdit(v, caret());
        return;
    }
    FText = v;
    FModified = true;
    Change();
}

void TCustomEdit::CMTextChanged(TMessage& Message)
{
    FText = CasedText(FText);
    if (auto* e = NativeOf<QLineEdit>(this)) {
        if (FromQString(e->text()) != FText)
            WidgetText(FText);
    } else {
        WidgetText(FText);
    }
    FSelStart = int(FText.size());
    FSelLength = 0;
    if (NativeOf<QPlainTextEdit>(this))
        WidgetSelection();
    FModified = false;
    Change();
    TWinControl::CMTextChanged(Message);
}

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomEdit::CMEnter(TMessage& Message)
{
    if (FAutoSelect && !(ControlState() & csLButtonDown))
        SelectAll();
    TWinControl::CMEnter(Message);
}

// The edit keeps its arrows and characters; Tab, Enter and Escape go to the form.
void TCustomEdit::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL; }

void TCustomEdit::SetMaxLength(int v) { FMaxLength = std::max(0, v); }

void TCustomEdit::SetPasswordChar(char v)
{
    FPasswordChar = v;
    ApplyToWidget();
}

void TCustomEdit::SetReadOnly(bool v)
{
    FReadOnly = v;
    ApplyToWidget();
}

void TCustomEdit::SetCharCase(TEditCharCase v)
{
    FCharCase = v;
    AnsiString cased = CasedText(FText);
    if (cased != FText)
        SetText(cased);
}

void TCustomEdit::SetBorderStyle(TBorderStyle v)
{
    FBorderStyle = v;
    ApplyToWidget();
}

bool TCustomEdit::Modified() const { return FModified; }
void TCustomEdit::SetModified(bool v)
{
    FModified = v;
    if (auto* e = NativeOf<QLineEdit>(this))
        e->setModified(v);
    else if (auto* m = NativeOf<QPlainTextEdit>(this))
        m->document()->setModified(v);
}

int TCustomEdit::SelStart() const { return FSelStart; }
int TCustomEdit::SelLength() const { return FSelLength; }

void TCustomEdit::SetSelStart(int v)
{
    FSelStart = std::clamp(v, 0, int(FText.size()));
    FSelLength = 0;
    WidgetSelection();
}

void TCustomEdit::SetSelLength(int v)
{
    const int start = FSelStart;
    FSelLength = std::clamp(v, 0, int(FText.size()) - start);
    if (auto* e = NativeOf<QLineEdit>(this))
        e->setSelection(FSelStart, FSelLength);
    else
        WidgetSelection();
}

AnsiString TCustomEdit::SelText() const
{
    int start = std::clamp(FSelStart, 0, int(FText.size()));
    return FText.substr(size_t(start), size_t(std::clamp(FSelLength, 0, int(FText.size()) - start)));
}

void TCustomEdit::SetSelText(const AnsiString& v)
{
    if (auto* e = NativeOf<QLineEdit>(this)) {
        e->insert(ToQString(v));   // the widget reports the new text
        return;
    }
    if (auto* m = NativeOf<QPlainTextEdit>(this)) {
        m->insertPlainText(QtFromCrLf(v));   // the widget reports the new text
        return;
    }
    int start = std::clamp(FSelStart, 0, int(FText.size()));
    int len = std::clamp(FSelLength, 0, int(FText.size()) - start);
    AnsiString t = FText;
    t.replace(size_t(start), size_t(len), v);
    SetText(t);
    FSelStart = start + int(v.size());
    FSelLength = 0;
}

void TCustomEdit::SelectAll()
{
    FSelStart = 0;
    FSelLength = int(FText.size());
    if (auto* e = NativeOf<QLineEdit>(this))
        e->selectAll();
    else
        WidgetSelection();
}

// ---------------------------------------------------------------- TMemo
// The memo's text seen as lines: a trailing line break ends the last line
// rather than starting an empty one.
class TMemoLines : public TStrings {
public:
    explicit TMemoLines(TMemo* Memo) : FMemo(Memo) {}
    int GetCount() const override { return Lines()->Count(); }
    AnsiString Get(int Index) const override
    {
        auto lines = Lines();
        Check(Index, lines->Count());
        return lines->Strings(Index);
    }
    void Put(int Index, const AnsiString& S) override
    {
        auto lines = Lines();
        Check(Index, lines->Count());
        lines->Put(Index, S);
        FMemo->SetText(lines->Text());
    }
    void Insert(int Index, const AnsiString& S) override
    {
        auto lines = Lines();
        Check(Index, lines->Count() + 1);
        lines->Insert(Index, S);
        FMemo->SetText(lines->Text());
    }
    void Delete(int Index) override
    {
        auto lines = Lines();
        Check(Index, lines->Count());
        lines->Delete(Index);
        FMemo->SetText(lines->Text());
    }
    void Clear() override { FMemo->SetText(AnsiString()); }
    void SetText(const AnsiString& Value) override { FMemo->SetText(Value); }

private:
    // The memo's text cut into lines the way every string list cuts text.
    std::unique_ptr<TStringList> Lines() const
    {
        auto lines = std::make_unique<TStringList>();
        lines->SetText(FMemo->Text());
        return lines;
    }
    void Check(int Index, int Limit) const
    {
        if (Index < 0 || Index >= Limit)
            Error("List index out of bounds (%d)", Index);
    }
    TMemo* FMemo;
};

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner), FLines(std::make_unique<TMemoLines>(this))
{
    SetBounds(0, 0, 185, 89);
    SetTabStop(true);
}

TMemo::~TMemo() = default;

TNativeWidget* TMemo::CreateNativeWidget()
{
    auto* m = new TPastingTextWidget<QPlainTextEdit>;
    QObject::connect(m, &QPlainTextEdit::textChanged, m, [this, m] {
        if (FSettingText)
            return;
        RunGuarded([&] {
            FText = AdjustLineBreaks(FromQString(m->toPlainText()));
            FModified = true;
            Change();
        });
    });
    FSettingText = true;
    m->setPlainText(QtFromCrLf(FText));
    FSettingText = false;
    InstallMessageBridge(m->viewport(), this);
    auto* w = WrapWidget(m);
    ApplyToWidget();
    return w;
}

void TMemo::ApplyToWidget()
{
    auto* m = NativeOf<QPlainTextEdit>(this);
    if (!m)
        return;
    m->setReadOnly(FReadOnly);
    m->setFrameShape(FBorderStyle == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
    m->setLineWrapMode(FWordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    m->setVerticalScrollBarPolicy(FScrollBars == ssVertical || FScrollBars == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                                      : Qt::ScrollBarAlwaysOff);
    m->setHorizontalScrollBarPolicy(FScrollBars == ssHorizontal || FScrollBars == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                                          : Qt::ScrollBarAlwaysOff);
    m->setTabChangesFocus(!FWantTabs);
    QTextOption opt = m->document()->defaultTextOption();
    opt.setAlignment(HorzAlign(FAlignment));
    m->document()->setDefaultTextOption(opt);
    ApplySelectionColors(m, SelectionShown(this, FHideSelection));
}

void TMemo::SetHideSelection(bool v)
{
    FHideSelection = v;
    ApplyToWidget();
}

AnsiString TMemo::GetText() const { return FText; }

void TMemo::CMTextChanged(TMessage& Message)
{
    // A widget showing the text already (a wide text of that 8-bit form too) keeps it.
    if (auto* m = NativeOf<QPlainTextEdit>(this); m && AdjustLineBreaks(FromQString(m->toPlainText())) != FText) {
        FSettingText = true;
        m->setPlainText(QtFromCrLf(FText));
        FSettingText = false;
    }
    FModified = false;
    Change();
    TWinControl::CMTextChanged(Message);
}

void TMemo::WMGetDlgCode(TMessage& Message)
{
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
    if (FWantTabs)
        Message.Result |= DLGC_WANTTAB;
    if (FWantReturns)
        Message.Result |= DLGC_WANTALLKEYS;
}

void TMemo::Change()
{
    if (OnChange)
        OnChange(this);
}

void TMemo::SetScrollBars(TScrollStyle v) { FScrollBars = v; ApplyToWidget(); }
void TMemo::SetWordWrap(bool v) { FWordWrap = v; ApplyToWidget(); }
void TMemo::SetAlignment(TAlignment v) { FAlignment = v; ApplyToWidget(); }
void TMemo::SetBorderStyle(TBorderStyle v) { FBorderStyle = v; ApplyToWidget(); }
void TMemo::SetReadOnly(bool v) { FReadOnly = v; ApplyToWidget(); }

void TMemo::SelectAll()
{
    if (auto* m = NativeOf<QPlainTextEdit>(this))
        m->selectAll();
}

// ---------------------------------------------------------------- TButton
TButton::TButton(TComponent* AOwner) : TWinControl(AOwner)
{
    // Clicks come from the button itself, not from the mouse messages.
    SetControlStyle(ControlStyle() & ~csClickEvents);
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

TNativeWidget* TButton::CreateNativeWidget()
{
    auto* b = new QPushButton(ToQString(Caption()));
    b->setAutoDefault(false);
    b->setDefault(FDefault);
    QObject::connect(b, &QPushButton::clicked, b, [this] { RunGuarded([&] { Click(); }); });
    return WrapWidget(b);
}

void TButton::SetDefault(bool v)
{
    FDefault = v;
    if (auto* b = NativeOf<QPushButton>(this))
        b->setDefault(v);
}

void TButton::Click()
{
    if (FModalResult != mrNone) {
        if (TCustomForm* form = GetParentForm(this))
            form->SetModalResult(FModalResult);
    }
    TWinControl::Click();
}

void TButton::CMTextChanged(TMessage& Message)
{
    if (auto* b = NativeOf<QPushButton>(this))
        b->setText(ToQString(Caption()));
    TWinControl::CMTextChanged(Message);
}

void TButton::CMDialogKey(TMessage& Message)
{
    Word key = Word(Message.WParam);
    bool noShift = (KeyboardStateToShiftState() & (ssShift | ssCtrl | ssAlt)) == 0;
    // Enter goes to the focused button, else to the default one.
    bool otherButtonFocused = false;
    if (auto* b = dynamic_cast<TButton*>(FindControl(GetFocus())))
        otherButtonFocused = b != this;
    bool active = Focused() || (FDefault && !otherButtonFocused);
    if (noShift && ((key == VK_RETURN && active) || (key == VK_ESCAPE && FCancel)) &&
        CanFocus()) {
        Click();
        Message.Result = 1;
        return;
    }
    TWinControl::CMDialogKey(Message);
}

// ---------------------------------------------------------------- TCheckBox
TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(ControlStyle() & ~csClickEvents);
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
}

TNativeWidget* TCheckBox::CreateNativeWidget()
{
    auto* b = new QCheckBox(ToQString(Caption()));
    QObject::connect(b, &QCheckBox::clicked, b, [this, b] {
        RunGuarded([&] {
            Qt::CheckState s = b->checkState();
            TCheckBoxState now = s == Qt::Checked ? cbChecked : s == Qt::PartiallyChecked ? cbGrayed : cbUnchecked;
            if (now != FState) {
                FState = now;
                Click();
            }
        });
    });
    auto* w = WrapWidget(b);
    ApplyToWidget();
    return w;
}

void TCheckBox::ApplyToWidget()
{
    auto* b = NativeOf<QCheckBox>(this);
    if (!b)
        return;
    QSignalBlocker block(b);
    b->setTristate(FAllowGrayed || FState == cbGrayed);
    b->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    b->setLayoutDirection(FAlignment == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TCheckBox::SetState(TCheckBoxState v)
{
    if (v == FState)
        return;
    FState = v;
    ApplyToWidget();
    Click();
}

void TCheckBox::SetAllowGrayed(bool v)
{
    FAllowGrayed = v;
    ApplyToWidget();
}

void TCheckBox::SetAlignment(TAlignment v)
{
    FAlignment = v;
    ApplyToWidget();
}

void TCheckBox::CMTextChanged(TMessage& Message)
{
    if (auto* b = NativeOf<QCheckBox>(this))
        b->setText(ToQString(Caption()));
    TWinControl::CMTextChanged(Message);
}

// ---------------------------------------------------------------- TRadioButton
TRadioButton::TRadioButton(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(ControlStyle() & ~csClickEvents);
    SetBounds(0, 0, 113, 17);
}

TNativeWidget* TRadioButton::CreateNativeWidget()
{
    auto* b = new QRadioButton(ToQString(Caption()));
    // The siblings are turned off here, so that only radio buttons of one parent exclude each other.
    b->setAutoExclusive(false);
    QObject::connect(b, &QRadioButton::clicked, b, [this, b] {
        RunGuarded([&] {
            {
                QSignalBlocker block(b);
                b->setChecked(true);   // a click never turns a radio button off
            }
            SetChecked(true);
        });
    });
    auto* w = WrapWidget(b);
    ApplyToWidget();
    return w;
}

void TRadioButton::ApplyToWidget()
{
    auto* b = NativeOf<QRadioButton>(this);
    if (!b)
        return;
    QSignalBlocker block(b);
    b->setChecked(FChecked);
    b->setLayoutDirection(FAlignment == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TRadioButton::SetChecked(bool v)
{
    if (FChecked == v)
        return;
    FChecked = v;
    SetTabStop(v);
    ApplyToWidget();
    if (!v)
        return;
    if (TWinControl* p = Parent()) {
        for (int i = 0; i < p->ControlCount(); ++i) {
            auto* r = dynamic_cast<TRadioButton*>(p->Controls(i));
            if (r && r != this && r->FChecked) {
                r->FChecked = false;
                r->SetTabStop(false);
                r->ApplyToWidget();
            }
        }
    }
    Click();
}

void TRadioButton::SetAlignment(TAlignment v)
{
    FAlignment = v;
    ApplyToWidget();
}

void TRadioButton::CMTextChanged(TMessage& Message)
{
    if (auto* b = NativeOf<QRadioButton>(this))
        b->setText(ToQString(Caption()));
    TWinControl::CMTextChanged(Message);
}

// ---------------------------------------------------------------- TComboBox
class TQtCombo : public QComboBox {
public:
    explicit TQtCombo(TCustomComboBox* Owner) : Owner(Owner) {}
    void showPopup() override;
    void hidePopup() override;
    // The combo's PaintOver paints on top of what the widget painted.
    void paintEvent(QPaintEvent* ev) override
    {
        QComboBox::paintEvent(ev);
        QPainter p(this);
        TCanvas canvas;
        TCanvasPaintScope scope(canvas, p);
        RunGuarded([&] { Owner->PaintOver(&canvas); });
    }
    TCustomComboBox* Owner;
    std::function<void()> DroppingDown;
    std::function<void()> ClosingUp;
};

void TQtCombo::showPopup()
{
    // The list takes the mouse from here: a capture left by the press that opened it would
    // take the next click meant for another control.
    ReleaseCapture();
    if (DroppingDown)
        RunGuarded(DroppingDown);
    QComboBox::showPopup();
}

void TQtCombo::hidePopup()
{
    QComboBox::hidePopup();
    if (ClosingUp)
        RunGuarded(ClosingUp);
}

class TComboItems : public TItemsSink {
public:
    explicit TComboItems(TCustomComboBox* c) : C(c) {}
    QComboBox* W() const { return NativeOf<QComboBox>(C); }
    void RowInserted(int Index, const AnsiString& S) override
    {
        if (auto* w = W()) {
            QSignalBlocker block(w);
            w->insertItem(Index, ToQString(S));
            C->FSettingText = true;
            if (w->currentIndex() != C->FItemIndex && C->FItemIndex < 0)
                w->setCurrentIndex(-1);
            C->FSettingText = false;
        }
    }
    void RowDeleted(int Index) override
    {
        if (auto* w = W()) {
            QSignalBlocker block(w);
            w->removeItem(Index);
        }
    }
    void RowChanged(int Index, const AnsiString& S) override
    {
        if (auto* w = W())
            w->setItemText(Index, ToQString(S));
    }
    void RowsCleared() override
    {
        C->FItemIndex = -1;
        if (auto* w = W()) {
            QSignalBlocker block(w);
            w->clear();
        }
    }
    void RowsReset() override
    {
        auto* w = W();
        if (!w)
            return;
        QSignalBlocker block(w);
        int keep = w->currentIndex();
        QString edit = w->isEditable() ? w->currentText() : QString();
        w->clear();
        QStringList rows;
        for (int i = 0; i < C->FItems->Count(); ++i)
            rows << ToQString(C->FItems->Strings(i));
        w->addItems(rows);
        w->setCurrentIndex(keep < w->count() ? keep : -1);
        if (w->isEditable())
            w->setEditText(edit);
    }
    TCustomComboBox* C;
};

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>())
{
    SetControlStyle((ControlStyle() & ~csClickEvents) | csFixedHeight);
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetParentColor(false);
    // A combo takes text: white like an edit, not the face of its form.
    SetColor(clWindow);
    auto* sink = new TComboItems(this);
    FItems = std::make_unique<TWidgetItems>(sink);
    FSink.reset(sink);
}

TCustomComboBox::~TCustomComboBox() = default;

TNativeWidget* TCustomComboBox::CreateNativeWidget()
{
    auto* c = new TQtCombo(this);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->DroppingDown = [this] {
        Notify(CBN_DROPDOWN);
        DropDown();
    };
    c->ClosingUp = [this] {
        Notify(CBN_CLOSEUP);
        if (OnCloseUp)
            OnCloseUp(this);
    };
    QStringList rows;
    for (int i = 0; i < FItems->Count(); ++i)
        rows << ToQString(FItems->Strings(i));
    c->addItems(rows);
    c->setItemDelegate(new TItemsDelegate(
        c, [this] { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; },
        [this] { return FCanvas.get(); },
        [this](int i, const TRect& r, TOwnerDrawState s) { DrawItem(i, r, s); },
        [this](int i) {
            int h = FItemHeight;
            if (FStyle == csOwnerDrawVariable && OnMeasureItem)
                OnMeasureItem(this, i, h);
            return h;
        },
        [this] { return Color(); }, [this] { return Font(); }));
    QObject::connect(c, &QComboBox::activated, c, [this](int i) { RunGuarded([&] { UserChoseItem(i); }); });
    auto* w = WrapWidget(c);
    ApplyToWidget();
    return w;
}

void TCustomComboBox::ApplyToWidget()
{
    auto* c = NativeOf<QComboBox>(this);
    if (!c)
        return;
    QSignalBlocker block(c);
    FSettingText = true;
    bool editable = FStyle == csDropDown || FStyle == csSimple;
    if (c->isEditable() != editable) {
        c->setEditable(editable);
        if (editable) {
            QLineEdit* e = c->lineEdit();
            InstallMessageBridge(e, this);
            QObject::connect(e, &QLineEdit::textEdited, e, [this](const QString& s) {
                if (FSettingText)
                    return;
                RunGuarded([&] {
                    FText = FromQString(s);
                    Notify(CBN_EDITCHANGE);
                    Change();
                });
            });
        }
    }
    c->setMaxVisibleItems(std::max(1, FDropDownCount));
    c->setCurrentIndex(FItemIndex < c->count() ? FItemIndex : -1);
    if (editable) {
        c->lineEdit()->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
        c->setEditText(ToQString(FText));
        ApplyComboFieldColor(this);
    }
    FSettingText = false;
}

AnsiString TCustomComboBox::GetText() const
{
    if (FStyle == csDropDownList || FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable) {
        int i = ItemIndex();
        return i >= 0 && i < FItems->Count() ? FItems->Strings(i) : AnsiString();
    }
    return FText;
}

void TCustomComboBox::CMTextChanged(TMessage& Message)
{
    // A combo showing the text already (a wide text of that 8-bit form too) keeps it.
    if (FStyle == csDropDownList || FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable) {
        if (GetText() != FText)
            SetItemIndex(FItems->IndexOf(FText));
    } else if (auto* c = NativeOf<QComboBox>(this); c && FromQString(c->currentText()) != FText) {
        FSettingText = true;
        c->setEditText(ToQString(FText));
        FSettingText = false;
    }
    TWinControl::CMTextChanged(Message);
}

void TCustomComboBox::UserChoseItem(int Index)
{
    FItemIndex = Index;
    FText = Index >= 0 && Index < FItems->Count() ? FItems->Strings(Index) : AnsiString();
    Notify(CBN_SELCHANGE);
    Click();
    Select();
}

void TCustomComboBox::Notify(Word Code)
{
    if (FParent && HandleAllocated())
        FParent->Perform(WM_COMMAND, MAKEWPARAM(0, Code), LPARAM(Handle()));
}

void TCustomComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::Select()
{
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::DropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    FCanvas->FillRect(Rect);
    if (Index >= 0 && Index < FItems->Count())
        FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Strings(Index));
}

void TCustomComboBox::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TCustomComboBox::SetStyle(TComboBoxStyle v)
{
    FStyle = v;
    ApplyToWidget();
}

int TCustomComboBox::ItemIndex() const
{
    if (auto* c = NativeOf<QComboBox>(this))
        return c->currentIndex();
    return FItemIndex;
}

void TCustomComboBox::SetItemIndex(int v)
{
    if (v < -1 || v >= FItems->Count())
        v = -1;
    FItemIndex = v;
    FText = v >= 0 ? FItems->Strings(v) : AnsiString();
    if (auto* c = NativeOf<QComboBox>(this)) {
        QSignalBlocker block(c);
        FSettingText = true;
        c->setCurrentIndex(v);
        if (c->isEditable())
            c->setEditText(ToQString(FText));
        FSettingText = false;
    }
}

bool TCustomComboBox::Sorted() const { return static_cast<TStringList*>(FItems.get())->Sorted(); }
void TCustomComboBox::SetSorted(bool v) { static_cast<TStringList*>(FItems.get())->SetSorted(v); }

void TCustomComboBox::SetDropDownCount(int v)
{
    FDropDownCount = v;
    ApplyToWidget();
}

void TCustomComboBox::SetMaxLength(int v)
{
    FMaxLength = std::max(0, v);
    ApplyToWidget();
}

bool TCustomComboBox::DroppedDown() const
{
    auto* c = NativeOf<QComboBox>(this);
    return c && c->view() && c->view()->isVisible();
}

void TCustomComboBox::SetDroppedDown(bool v)
{
    ControlWidget(this);
    auto* c = NativeOf<QComboBox>(this);
    if (!c)
        return;
    if (v)
        c->showPopup();
    else
        c->hidePopup();
}

void TCustomComboBox::Clear()
{
    FItems->Clear();
    SetText(AnsiString());
    FItemIndex = -1;
}

int TCustomComboBox::SelStart() const
{
    auto* c = NativeOf<QComboBox>(this);
    if (c && c->lineEdit())
        return c->lineEdit()->hasSelectedText() ? c->lineEdit()->selectionStart() : c->lineEdit()->cursorPosition();
    return 0;
}

int TCustomComboBox::SelLength() const
{
    auto* c = NativeOf<QComboBox>(this);
    return c && c->lineEdit() ? int(c->lineEdit()->selectedText().size()) : 0;
}

void TCustomComboBox::SelectAll()
{
    auto* c = NativeOf<QComboBox>(this);
    if (c && c->lineEdit())
        c->lineEdit()->selectAll();
}

// ---------------------------------------------------------------- TCustomListBox
class TListItems : public TItemsSink {
public:
    explicit TListItems(TCustomListBox* l) : L(l) {}
    QListWidget* W() const { return NativeOf<QListWidget>(L); }
    void RowInserted(int Index, const AnsiString& S) override
    {
        L->FPendingSel.insert(L->FPendingSel.begin() + std::min<size_t>(size_t(Index), L->FPendingSel.size()),
                              false);
        if (L->FItemIndex >= Index)
            ++L->FItemIndex;
        if (auto* w = W()) {
            L->FSyncing = true;
            w->insertItem(Index, ToQString(S));
            L->FSyncing = false;
        }
        L->ItemsChanged(Index, 1);
    }
    void RowDeleted(int Index) override
    {
        if (size_t(Index) < L->FPendingSel.size())
            L->FPendingSel.erase(L->FPendingSel.begin() + Index);
        if (L->FItemIndex == Index)
            L->FItemIndex = -1;
        else if (L->FItemIndex > Index)
            --L->FItemIndex;
        if (auto* w = W()) {
            L->FSyncing = true;
            // The chosen line deleted leaves a single-choice list with no
            // choice, as the system's list box does: the neighbour that the
            // view makes current is no line the user chose.
            const bool wasCurrent = w->currentRow() == Index;
            delete w->takeItem(Index);
            if (wasCurrent && !L->FMultiSelect) {
                w->setCurrentRow(-1);
                w->clearSelection();
            }
            L->FSyncing = false;
        }
        L->ItemsChanged(Index, -1);
    }
    void RowChanged(int Index, const AnsiString& S) override
    {
        if (auto* w = W()) {
            if (auto* it = w->item(Index); it && it->text() != ToQString(S))
                it->setText(ToQString(S));
            else
                w->update(w->model()->index(Index, 0));   // a new object: an owner-drawn row paints again
        }
        L->ItemsChanged(Index, 0);
    }
    void RowsCleared() override
    {
        L->FPendingSel.clear();
        L->FItemIndex = -1;
        if (auto* w = W()) {
            L->FSyncing = true;
            w->clear();
            L->FSyncing = false;
        }
        L->ItemsChanged(-1, 0);
    }
    void RowsReset() override
    {
        L->FPendingSel.assign(size_t(L->FItems->Count()), false);
        if (L->FItemIndex >= L->FItems->Count())
            L->FItemIndex = -1;
        if (auto* w = W()) {
            L->FSyncing = true;
            int keep = w->currentRow();
            w->clear();
            QStringList rows;
            for (int i = 0; i < L->FItems->Count(); ++i)
                rows << ToQString(L->FItems->Strings(i));
            w->addItems(rows);
            if (keep < w->count())
                w->setCurrentRow(keep);
            L->FSyncing = false;
        }
        L->ItemsChanged(-1, 0);
    }
    TCustomListBox* L;
};

TCustomListBox::TCustomListBox(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>())
{
    SetControlStyle((ControlStyle() & ~csClickEvents) | csOpaque);
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    auto* sink = new TListItems(this);
    auto items = std::make_unique<TWidgetItems>(sink);
    items->GetData = [this](int Index) { return reinterpret_cast<TObject*>(GetItemData(Index)); };
    items->PutData = [this](int Index, TObject* AObject) {
        SetItemData(Index, reinterpret_cast<std::intptr_t>(AObject));
    };
    FItems = std::move(items);
    FSink.reset(sink);
}

TCustomListBox::~TCustomListBox() = default;

std::intptr_t TCustomListBox::InternalGetItemData(int Index) const
{
    return reinterpret_cast<std::intptr_t>(static_cast<TWidgetItems*>(FItems.get())->RawObject(Index));
}

void TCustomListBox::InternalSetItemData(int Index, std::intptr_t Data)
{
    static_cast<TWidgetItems*>(FItems.get())->PutRawObject(Index, reinterpret_cast<TObject*>(Data));
}

void TCustomListBox::SetItemDataOwned(bool Value) { static_cast<TStringList*>(FItems.get())->SetOwnsObjects(Value); }

namespace {
// A list box's list: the focus alone chooses no row. (The toolkit's views
// make the first row current and selected when they get the focus without
// one; a Windows list box only draws its focus frame.)
class TListBoxWidget : public QListWidget {
protected:
    void focusInEvent(QFocusEvent* Event) override
    {
        if (currentRow() >= 0 || count() == 0) {
            QListWidget::focusInEvent(Event);
            return;
        }
        QAbstractScrollArea::focusInEvent(Event);
        viewport()->update();
    }
};
}  // namespace

TNativeWidget* TCustomListBox::CreateNativeWidget()
{
    auto* l = new TListBoxWidget;
    auto* delegate = new TItemsDelegate(
        l, [this] { return OwnerDrawn(); }, [this] { return FCanvas.get(); },
        [this](int i, const TRect& r, TOwnerDrawState s) { DrawItem(i, r, s); },
        [this](int i) {
            int h = FStyle == lbOwnerDrawVariable ? FItemHeight : RowHeight();
            if (FStyle == lbOwnerDrawVariable)
                MeasureItem(i, h);
            return h;
        },
        [this] { return Color(); }, [this] { return Font(); });
    delegate->MinWidth = [this] { return FColumns > 0 ? 0 : FHorizontalExtent; };
    delegate->FixedWidth = [this] { return ColumnWidth(); };
    delegate->FocusRect = [this](int Row, const TRect& Rect) { return ItemFocusRect(Row, Rect); };
    l->setItemDelegate(delegate);
    QStringList rows;
    for (int i = 0; i < FItems->Count(); ++i)
        rows << ToQString(FItems->Strings(i));
    FSyncing = true;
    l->addItems(rows);
    FSyncing = false;
    // Focus alone makes the first row current without selecting it: no choice
    // of the user. A click makes its row current first and selects it after.
    auto chosen = [this, l](int Row) {
        return Row < 0 || (l->item(Row)->isSelected() && Row != FItemIndex);
    };
    QObject::connect(l, &QListWidget::currentRowChanged, l, [this, chosen](int Row) {
        if (!FSyncing && !FMultiSelect && chosen(Row))
            RunGuarded([&] { UserSelectionChanged(); });
    });
    QObject::connect(l, &QListWidget::itemSelectionChanged, l, [this, l, chosen] {
        if (!FSyncing && (FMultiSelect || chosen(l->currentRow())))
            RunGuarded([&] { UserSelectionChanged(); });
    });
    InstallMessageBridge(l->viewport(), this);
    auto* w = WrapWidget(l);
    ApplyToWidget();
    FSyncing = true;
    if (FMultiSelect) {
        for (int i = 0; i < l->count() && size_t(i) < FPendingSel.size(); ++i)
            l->item(i)->setSelected(FPendingSel[size_t(i)]);
        if (FItemIndex >= 0)
            l->setCurrentRow(FItemIndex, QItemSelectionModel::NoUpdate);
    } else if (FItemIndex >= 0) {
        l->setCurrentRow(FItemIndex);
    }
    FSyncing = false;
    return w;
}

void TCustomListBox::ApplyToWidget()
{
    auto* l = NativeOf<QListWidget>(this);
    if (!l)
        return;
    FSyncing = true;
    l->setSelectionMode(!FMultiSelect     ? QAbstractItemView::SingleSelection
                        : FExtendedSelect ? QAbstractItemView::ExtendedSelection
                                          : QAbstractItemView::MultiSelection);
    l->setUniformItemSizes(FStyle != lbOwnerDrawVariable);
    l->setFrameShape(FBorderStyle == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
    // Several columns: the items run down a column and on into the next, scrolled sideways.
    l->setFlow(QListView::TopToBottom);
    l->setWrapping(FColumns > 0);
    l->setResizeMode(FColumns > 0 ? QListView::Adjust : QListView::Fixed);
    l->setVerticalScrollBarPolicy(FColumns > 0 ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    l->doItemsLayout();
    l->viewport()->update();
    FSyncing = false;
}

void TCustomListBox::SetColumns(int v)
{
    v = std::max(0, v);
    if (v == FColumns)
        return;
    FColumns = v;
    ApplyToWidget();
}

int TCustomListBox::ColumnWidth() const { return FColumns > 0 ? (Width() + FColumns - 3) / FColumns : 0; }

void TCustomListBox::Resize()
{
    TWinControl::Resize();
    if (FColumns > 0)
        ApplyToWidget();
}

void TCustomListBox::SetHorizontalExtent(int v)
{
    v = std::max(0, v);
    if (v == FHorizontalExtent)
        return;
    FHorizontalExtent = v;
    if (NativeOf<QListWidget>(this)) {
        // Rows are measured again: the widest sets the scroll range.
        ApplyToWidget();
    }
}

void TCustomListBox::UserSelectionChanged()
{
    if (auto* l = NativeOf<QListWidget>(this))
        FItemIndex = l->currentRow();
    Click();
}

// A click on the item already chosen chooses it again: the list tells its
// owner as it does for a new choice (a click on another item has told it at
// the press already).
void TCustomListBox::WMLButtonDown(TWMMouse& Message)
{
    const int row = ItemAtPos(Message.Pos(), true);
    FPressedChosen = !FMultiSelect && row >= 0 && row == FItemIndex ? row : -1;
    TWinControl::WMLButtonDown(Message);
}

void TCustomListBox::WMLButtonUp(TWMMouse& Message)
{
    const int pressed = FPressedChosen;
    FPressedChosen = -1;
    std::shared_ptr<bool> alive = WinImpl(this).Alive;
    TWinControl::WMLButtonUp(Message);
    if (*alive && pressed >= 0 && pressed == FItemIndex && ItemAtPos(Message.Pos(), true) == pressed)
        Click();
}

void TCustomListBox::WMLButtonDblClk(TWMMouse& Message)
{
    FPressedChosen = -1;
    TWinControl::WMLButtonDblClk(Message);
    DblClick();
}

void TCustomListBox::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    FCanvas->FillRect(Rect);
    if (Index >= 0 && Index < FItems->Count())
        FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Strings(Index));
}

void TCustomListBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

bool TCustomListBox::Sorted() const { return static_cast<TStringList*>(FItems.get())->Sorted(); }
void TCustomListBox::SetSorted(bool v) { static_cast<TStringList*>(FItems.get())->SetSorted(v); }

int TCustomListBox::ItemIndex() const
{
    if (auto* l = NativeOf<QListWidget>(this))
        return l->currentRow();
    return FItemIndex;
}

void TCustomListBox::SetItemIndex(int v)
{
    if (v < -1 || v >= FItems->Count())
        v = -1;
    FItemIndex = v;
    auto* l = NativeOf<QListWidget>(this);
    if (!l)
        return;
    FSyncing = true;
    if (FMultiSelect) {
        l->setCurrentRow(v, QItemSelectionModel::NoUpdate);
    } else if (v < 0) {
        l->setCurrentRow(-1);
        l->clearSelection();
    } else {
        l->setCurrentRow(v);
        l->scrollToItem(l->item(v));
    }
    FSyncing = false;
}

void TCustomListBox::SetMultiSelect(bool v)
{
    FMultiSelect = v;
    ApplyToWidget();
}

void TCustomListBox::SetExtendedSelect(bool v)
{
    FExtendedSelect = v;
    ApplyToWidget();
}

bool TCustomListBox::Selected(int Index) const
{
    if (Index < 0 || Index >= FItems->Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    if (auto* l = NativeOf<QListWidget>(this))
        return l->item(Index)->isSelected();
    if (!FMultiSelect)
        return Index == FItemIndex;
    return size_t(Index) < FPendingSel.size() && FPendingSel[size_t(Index)];
}

void TCustomListBox::SetSelected(int Index, bool v)
{
    if (Index < 0 || Index >= FItems->Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    if (!FMultiSelect) {
        if (v)
            SetItemIndex(Index);
        else if (ItemIndex() == Index)
            SetItemIndex(-1);
        return;
    }
    FPendingSel.resize(size_t(FItems->Count()), false);
    FPendingSel[size_t(Index)] = v;
    if (auto* l = NativeOf<QListWidget>(this)) {
        FSyncing = true;
        l->item(Index)->setSelected(v);
        FSyncing = false;
    }
}

int TCustomListBox::SelCount() const
{
    if (!FMultiSelect)
        return -1;
    if (auto* l = NativeOf<QListWidget>(this))
        return int(l->selectedItems().size());
    return int(std::count(FPendingSel.begin(), FPendingSel.end(), true));
}

void TCustomListBox::ClearSelection()
{
    FPendingSel.assign(size_t(FItems->Count()), false);
    if (!FMultiSelect)
        FItemIndex = -1;
    if (auto* l = NativeOf<QListWidget>(this)) {
        FSyncing = true;
        l->clearSelection();
        FSyncing = false;
    }
}

void TCustomListBox::SelectAll()
{
    if (!FMultiSelect)
        return;
    FPendingSel.assign(size_t(FItems->Count()), true);
    if (auto* l = NativeOf<QListWidget>(this)) {
        FSyncing = true;
        l->selectAll();
        FSyncing = false;
    }
}

void TCustomListBox::SetStyle(TListBoxStyle v)
{
    FStyle = v;
    ApplyToWidget();
}

void TCustomListBox::SetItemHeight(int v)
{
    if (v > 0) {
        FItemHeight = v;
        ApplyToWidget();
    }
}

void TCustomListBox::SetBorderStyle(TBorderStyle v)
{
    FBorderStyle = v;
    ApplyToWidget();
}

int TCustomListBox::TopIndex() const
{
    if (auto* l = NativeOf<QListWidget>(this)) {
        int row = l->indexAt(QPoint(1, 1)).row();
        return row < 0 ? 0 : row;
    }
    return 0;
}

void TCustomListBox::SetTopIndex(int v)
{
    auto* l = NativeOf<QListWidget>(this);
    if (l && v >= 0 && v < l->count())
        l->scrollToItem(l->item(v), QAbstractItemView::PositionAtTop);
}

int TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) const
{
    if (auto* l = NativeOf<QListWidget>(this)) {
        // A point outside the list's client area names no item, not even the one after the last.
        if (!l->viewport()->rect().contains(QPoint(Pos.X, Pos.Y)))
            return -1;
        int row = l->indexAt(QPoint(Pos.X, Pos.Y)).row();
        if (row >= 0)
            return row;
    } else if (Pos.X < 0 || Pos.Y < 0 || Pos.X >= ClientWidth() || Pos.Y >= ClientHeight()) {
        return -1;
    } else if (RowHeight() > 0) {
        int row = Pos.Y / RowHeight();
        if (row < FItems->Count())
            return row;
    }
    return Existing ? -1 : FItems->Count();
}

TRect TCustomListBox::ItemRect(int Index) const
{
    if (auto* l = NativeOf<QListWidget>(this)) {
        if (Index >= 0 && Index < l->count()) {
            QRect r = l->visualItemRect(l->item(Index));
            return TRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
        }
        // The place of an item added at the end: below the last one (the first row of an empty list).
        if (Index == l->count()) {
            if (Index == 0)
                return TRect(0, 0, l->viewport()->width(), RowHeight());
            TRect r = ItemRect(Index - 1);
            return TRect(r.Left, r.Bottom, r.Right, r.Bottom + r.Height());
        }
        return TRect();
    }
    if (Index < 0 || Index > FItems->Count())
        return TRect();
    int top = (Index - TopIndex()) * RowHeight();
    return TRect(0, top, ClientWidth(), top + RowHeight());
}

// ---------------------------------------------------------------- TScrollBar
TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 121, 17);
    SetTabStop(true);
}

TNativeWidget* TScrollBar::CreateNativeWidget()
{
    auto* s = new QScrollBar(FKind == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
    QObject::connect(s, &QScrollBar::actionTriggered, s, [this](int action) {
        RunGuarded([&] { UserAction(action); });
    });
    auto* w = WrapWidget(s);
    ApplyToWidget();
    return w;
}

void TScrollBar::ApplyToWidget()
{
    auto* s = NativeOf<QScrollBar>(this);
    if (!s)
        return;
    QSignalBlocker block(s);
    FSyncing = true;
    s->setOrientation(FKind == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
    // The thumb covers PageSize positions: the last reachable one is Max - PageSize + 1.
    s->setRange(FMin, std::max(FMin, FMax - std::max(FPageSize - 1, 0)));
    s->setSingleStep(FSmallChange);
    s->setPageStep(FPageSize > 0 ? FPageSize : FLargeChange);
    s->setValue(FPosition);
    FSyncing = false;
}

void TScrollBar::UserAction(int action)
{
    auto* s = NativeOf<QScrollBar>(this);
    if (!s || FSyncing)
        return;
    TScrollCode code = scPosition;
    int pos = s->sliderPosition();
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = scLineDown; pos = FPosition + FSmallChange; break;
    case QAbstractSlider::SliderSingleStepSub: code = scLineUp; pos = FPosition - FSmallChange; break;
    case QAbstractSlider::SliderPageStepAdd: code = scPageDown; pos = FPosition + FLargeChange; break;
    case QAbstractSlider::SliderPageStepSub: code = scPageUp; pos = FPosition - FLargeChange; break;
    case QAbstractSlider::SliderToMinimum: code = scTop; pos = FMin; break;
    case QAbstractSlider::SliderToMaximum: code = scBottom; pos = FMax; break;
    case QAbstractSlider::SliderMove: code = scTrack; break;
    default: break;
    }
    pos = std::clamp(pos, FMin, FMax);
    Scroll(code, pos);
    SetPosition(pos);
    // The widget shows the position the handler left.
    s->setSliderPosition(FPosition);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos)
{
    if (OnScroll)
        OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

void TScrollBar::Change()
{
    if (OnChange)
        OnChange(this);
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax)
{
    if (AMax < AMin)
        throw EInvalidOperation("Scroll bar property out of range");
    APosition = std::clamp(APosition, AMin, AMax);
    bool moved = APosition != FPosition;
    FMin = AMin;
    FMax = AMax;
    FPosition = APosition;
    ApplyToWidget();
    if (moved)
        Change();
}

void TScrollBar::SetKind(TScrollBarKind v)
{
    if (FKind == v)
        return;
    FKind = v;
    if (!(ComponentState() & csLoading))
        SetBounds(Left(), Top(), Height(), Width());
    ApplyToWidget();
}

void TScrollBar::SetLargeChange(int v) { FLargeChange = std::max(1, v); ApplyToWidget(); }
void TScrollBar::SetSmallChange(int v) { FSmallChange = std::max(1, v); ApplyToWidget(); }
void TScrollBar::SetPageSize(int v) { FPageSize = std::clamp(v, 0, FMax - FMin + 1); ApplyToWidget(); }

// ---------------------------------------------------------------- TGroupBox
TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(ControlStyle() | csAcceptsControls);
    SetBounds(0, 0, 185, 105);
}

TNativeWidget* TGroupBox::CreateNativeWidget() { return WrapWidget(new QGroupBox(ToQString(Caption()))); }

void TGroupBox::CMTextChanged(TMessage& Message)
{
    if (auto* g = NativeOf<QGroupBox>(this))
        g->setTitle(ToQString(Caption()));
    TWinControl::CMTextChanged(Message);
}
