// The edits' caret, selection, formatting rectangle and Unicode text, the edit
// messages, and the masked edit.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>

#include "platform/core/SysUtils.h"
#include "platform/gui/StdCtrls_p.h"

namespace {
WideString WideOf(const QString& s)
{
    return WideString(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size()));
}
// The caret rectangle the line edit keeps to itself.
struct TLineEditAccess : QLineEdit {
    using QLineEdit::cursorRect;
};

QString QOfWide(const WideString& w) { return QString::fromUtf16(w.data(), qsizetype(w.size())); }

// The kept wide text while it still stands for the 8-bit text, else the 8-bit text widened.
WideString KeptWide(const WideString& Kept, const AnsiString& Narrow)
{
    return WideToAnsi(Kept) == Narrow ? Kept : AnsiToWide(Narrow);
}

// The caret or selection asked for by EM_SETSEL (start -1: no selection; end -1: to the end).
void SelFromMessage(const TMessage& m, int Length, int& Start, int& Len)
{
    int a = int(m.WParam), b = int(m.LParam);
    if (a < 0) {
        Start = std::clamp(b < 0 ? Length : b, 0, Length);
        Len = 0;
        return;
    }
    if (b < 0 || b > Length)
        b = Length;
    a = std::min(a, Length);
    Start = std::min(a, b);
    Len = std::abs(b - a);
}

LRESULT AnswerSel(TMessage& m, int Start, int End)
{
    if (m.WParam)
        *reinterpret_cast<DWORD*>(m.WParam) = DWORD(Start);
    if (m.LParam)
        *reinterpret_cast<DWORD*>(m.LParam) = DWORD(End);
    return LRESULT(DWORD(MAKELPARAM(Start, End)));
}

// The selection messages a one-line edit and a memo answer alike; false for any other message.
template <class TEditControl>
bool AnswerSelectionMessage(TEditControl& Edit, TMessage& m, int Length)
{
    switch (m.Msg) {
    case EM_GETSEL:
        m.Result = AnswerSel(m, Edit.SelStart(), Edit.SelStart() + Edit.SelLength());
        return true;
    case EM_SETSEL: {
        int start = 0, len = 0;
        SelFromMessage(m, Length, start, len);
        Edit.SetSelStart(start);
        Edit.SetSelLength(len);
        return true;
    }
    case EM_REPLACESEL:
        Edit.SetSelText(m.LParam ? AnsiString(reinterpret_cast<const char*>(m.LParam)) : AnsiString());
        return true;
    default:
        return false;
    }
}

}  // namespace

// A CR LF is one line break of the widget; so is a CR or an LF alone (QtFromCrLf).
namespace {
bool CrBeforeLf(const AnsiString& Text, size_t i)
{
    return Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n';
}
}  // namespace

int WidgetPos(const AnsiString& Text, int Pos)
{
    Pos = std::clamp(Pos, 0, int(Text.size()));
    int pairs = 0;
    for (size_t i = 0; i < size_t(Pos); ++i)
        pairs += CrBeforeLf(Text, i) ? 1 : 0;
    return Pos - pairs;
}

int TextPos(const AnsiString& Text, int WidgetPosition)
{
    int w = 0;
    for (size_t i = 0; i < Text.size(); ++i) {
        const bool secondOfPair = i > 0 && CrBeforeLf(Text, i - 1);
        if (w == WidgetPosition && !secondOfPair)
            return int(i);
        if (!CrBeforeLf(Text, i))
            ++w;
    }
    return int(Text.size());
}

TPoint CaretOfText(const AnsiString& Text, int Pos)
{
    Pos = std::clamp(Pos, 0, int(Text.size()));
    int line = int(std::count(Text.begin(), Text.begin() + Pos, '\n'));
    size_t lineStart = Pos > 0 ? Text.rfind('\n', size_t(Pos - 1)) : AnsiString::npos;
    int x = lineStart == AnsiString::npos ? Pos : Pos - int(lineStart) - 1;
    return TPoint(x, line);
}

// ---------------------------------------------------------------- TMultiLineEditWidget
namespace {
// The lines a block shows (laid out now when it was not yet); one at least.
int ShownLines(const QTextDocument* Doc, const QTextBlock& Block)
{
    if (QAbstractTextDocumentLayout* layout = Doc->documentLayout())
        layout->blockBoundingRect(Block);
    return std::max(1, Block.layout() ? Block.layout()->lineCount() : 1);
}
}  // namespace

int TMultiLineEditWidget::VisualLineAt(int Position) const
{
    const QTextBlock block = document()->findBlock(Position);
    int line = 0;
    for (QTextBlock b = document()->begin(); b.isValid() && b != block; b = b.next())
        line += ShownLines(document(), b);
    if (block.isValid() && ShownLines(document(), block) > 1) {
        const QTextLine inBlock = block.layout()->lineForTextPosition(Position - block.position());
        line += inBlock.isValid() ? inBlock.lineNumber() : 0;
    }
    return line;
}

int TMultiLineEditWidget::VisualLineCount() const
{
    int count = 0;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        count += ShownLines(document(), b);
    return count;
}

int TMultiLineEditWidget::VisualLineStart(int Line) const
{
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const int lines = ShownLines(document(), b);
        if (Line < lines)
            return b.position() + (lines > 1 ? b.layout()->lineAt(Line).textStart() : 0);
        Line -= lines;
    }
    return -1;
}

namespace {
// EM_POSFROMCHAR and EM_CHARFROMPOS of a plain-text widget showing Text (CR LF line breaks): the
// character's top-left, or the character under a point with its line in the high word.
void CaretMessage(QPlainTextEdit& W, const AnsiString& Text, TMessage& m)
{
    if (m.Msg == EM_POSFROMCHAR) {
        const int index = int(m.WParam);
        if (index < 0 || index >= int(Text.size())) {
            m.Result = -1;
            return;
        }
        QTextCursor c(W.document());
        c.setPosition(WidgetPos(Text, index));
        const QPoint p = W.viewport()->mapTo(&W, W.cursorRect(c).topLeft());
        m.Result = LRESULT(DWORD(MAKELPARAM(p.x(), p.y())));
        return;
    }
    const QPoint p = W.viewport()->mapFrom(&W, QPoint(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
    const QTextCursor c = W.cursorForPosition(p);
    auto* shown = dynamic_cast<TMultiLineEditWidget*>(&W);
    const int line = shown ? shown->VisualLineAt(c.position()) : c.blockNumber();
    m.Result = LRESULT(DWORD(MAKELPARAM(TextPos(Text, c.position()), line)));
}

// The line messages of a multi-line edit, by the lines it shows; Caret is the caret's position in Text.
void MultiLineMessage(TMultiLineEditWidget& W, const AnsiString& Text, int Caret, TMessage& m)
{
    switch (m.Msg) {
    case EM_LINEFROMCHAR: {
        const int pos = int(m.WParam) < 0 ? Caret : std::min(int(m.WParam), int(Text.size()));
        m.Result = W.VisualLineAt(WidgetPos(Text, pos));
        return;
    }
    case EM_GETLINECOUNT: m.Result = W.VisualLineCount(); return;
    case EM_LINEINDEX: {
        const int line = int(m.WParam) < 0 ? W.VisualLineAt(WidgetPos(Text, Caret)) : int(m.WParam);
        const int start = W.VisualLineStart(line);
        m.Result = start < 0 ? -1 : TextPos(Text, start);
        return;
    }
    default: W.ensureCursorVisible(); return;
    }
}
}  // namespace

// ---------------------------------------------------------------- TCustomEdit
WideString TCustomEdit::WideText() const
{
    if (auto* e = NativeOf<QLineEdit>(this))
        return WideOf(e->text());
    if (auto* m = NativeOf<QPlainTextEdit>(this))
        return WideOf(m->toPlainText().replace(QChar('\n'), QStringLiteral("\r\n")));
    return KeptWide(FWideText, FText);
}

// A wide text that differs is set and notified even when its 8-bit form stays the same ("α" and
// "β" are both "?"): the window shows it before the notification.
void TCustomEdit::SetWideText(const WideString& v)
{
    if (v == WideText())
        return;
    FWideText = v;
    FText = WideToAnsi(v);
    FSettingText = true;
    if (auto* e = NativeOf<QLineEdit>(this))
        e->setText(QOfWide(v));
    else if (auto* m = NativeOf<QPlainTextEdit>(this))
        m->setPlainText(QOfWide(v).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    FSettingText = false;
    Perform(CM_TEXTCHANGED, 0, 0);
}

TPoint TCustomEdit::CaretPos() const
{
    const int pos = FSelStart + FSelLength;
    return NativeOf<QPlainTextEdit>(this) ? CaretOfText(FText, pos) : TPoint(pos, 0);
}

void TCustomEdit::UserEdit(const AnsiString& Value, int Caret)
{
    Caret = std::clamp(Caret, 0, int(Value.size()));
    FText = Value;
    // The widget's caret moves with its new text; then it goes where asked.
    WidgetText(Value);
    FSelStart = Caret;
    FSelLength = 0;
    WidgetSelection();
    FModified = true;
    Change();
}

void TCustomEdit::SetMargins(int Left, int Right)
{
    FMarginLeft = std::max(0, Left);
    FMarginRight = std::max(0, Right);
    ApplyMargins();
}

TRect TCustomEdit::EditRect() const
{
    if (!IsRectEmpty(FEditRect))
        return FEditRect;
    return TRect(FMarginLeft, 0, std::max(FMarginLeft, ClientWidth() - FMarginRight), ClientHeight());
}

void TCustomEdit::SetEditRect(const TRect& r)
{
    FEditRect = r;
    ApplyMargins();
}

void TCustomEdit::ApplyMargins()
{
    TRect r = EditRect();
    const int left = std::max(0, r.Left), top = std::max(0, IsRectEmpty(FEditRect) ? 0 : r.Top);
    const int right = std::max(0, ClientWidth() - r.Right);
    const int bottom = std::max(0, IsRectEmpty(FEditRect) ? 0 : ClientHeight() - r.Bottom);
    if (auto* e = NativeOf<QLineEdit>(this))
        e->setTextMargins(left, top, right, bottom);
    else if (auto* m = dynamic_cast<TMultiLineEditWidget*>(NativeOf<QPlainTextEdit>(this)))
        m->setViewportMargins(left, top, right, bottom);
}

void TCustomEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    ApplyMargins();
}

void TCustomEdit::WMKeyDown(TWMKey& m)
{
    if (DoKeyDown(m))
        return;
    const TShiftState shift = KeyboardStateToShiftState() & (ssShift | ssCtrl | ssAlt);
    const Word key = m.CharCode();
    Cardinal clip = 0;
    if (shift == ssShift)
        clip = key == VK_INSERT ? WM_PASTE : key == VK_DELETE ? WM_CUT : 0;
    else if (shift == ssCtrl)
        clip = key == VK_INSERT ? WM_COPY : 0;
    if (clip)
        Perform(clip, 0, 0);
    else if (!(shift == ssCtrl && (key == 'X' || key == 'C' || key == 'V')))
        DefaultHandler(m.M);
}

void TCustomEdit::WMChar(TWMKey& m)
{
    if (DoKeyPress(m))
        return;
    switch (Byte(m.CharCode())) {
    case 0x18: Perform(WM_CUT, 0, 0); return;
    case 0x03: Perform(WM_COPY, 0, 0); return;
    case 0x16: Perform(WM_PASTE, 0, 0); return;
    default: DefaultHandler(m.M); return;
    }
}

void TCustomEdit::WndProc(TMessage& m)
{
    int length = int(FText.size());
    if (AnswerSelectionMessage(*this, m, length))
        return;
    switch (m.Msg) {
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
        // Through the widget, which keeps a password to itself; a read-only edit only copies.
        if (auto* e = NativeOf<QLineEdit>(this)) {
            if (m.Msg == WM_COPY)
                e->copy();
            else if (m.Msg == WM_PASTE && !ReadOnly())
                e->paste();
            else if (m.Msg == WM_CUT && !ReadOnly() && !PasswordChar())
                e->cut();
        } else if (auto* p = NativeOf<QPlainTextEdit>(this)) {
            if (m.Msg == WM_COPY)
                p->copy();
            else if (!ReadOnly())
                m.Msg == WM_CUT ? p->cut() : p->paste();
        }
        return;
    case CM_COLORCHANGED:
        ApplyToWidget();
        break;
    case EM_GETRECT:
        if (m.LParam)
            *reinterpret_cast<TRect*>(m.LParam) = EditRect();
        return;
    case EM_SETRECT:
    case EM_SETRECTNP:
        SetEditRect(m.LParam ? *reinterpret_cast<const TRect*>(m.LParam) : TRect());
        return;
    case EM_SETMARGINS:
        if (m.WParam == EC_USEFONTINFO) {
            SetMargins(0, 0);
            return;
        }
        SetMargins(m.WParam & EC_LEFTMARGIN ? int(LOWORD(std::uintptr_t(m.LParam))) : FMarginLeft,
                   m.WParam & EC_RIGHTMARGIN ? int(HIWORD(std::uintptr_t(m.LParam))) : FMarginRight);
        return;
    case EM_GETMARGINS:
        m.Result = LRESULT(DWORD(MAKELPARAM(FMarginLeft, FMarginRight)));
        return;
    case EM_GETMODIFY:
        m.Result = Modified() ? 1 : 0;
        return;
    case EM_SETMODIFY:
        SetModified(m.WParam != 0);
        return;
    case EM_LIMITTEXT:
        SetMaxLength(int(m.WParam));
        return;
    case EM_SETPASSWORDCHAR:
        SetPasswordChar(char(m.WParam));
        return;
    case EM_SETREADONLY:
        SetReadOnly(m.WParam != 0);
        m.Result = 1;
        return;
    case EM_LINEFROMCHAR:
    case EM_GETLINECOUNT:
    case EM_LINEINDEX:
    case EM_SCROLLCARET:
        if (auto* w = dynamic_cast<TMultiLineEditWidget*>(NativeOf<QPlainTextEdit>(this))) {
            MultiLineMessage(*w, FText, FSelStart + FSelLength, m);
            return;
        }
        m.Result = m.Msg == EM_GETLINECOUNT ? 1 : 0;
        return;
    case EM_POSFROMCHAR:
    case EM_CHARFROMPOS:
        if (auto* w = NativeOf<QPlainTextEdit>(this)) {
            CaretMessage(*w, FText, m);
            return;
        }
        break;
    }
    switch (m.Msg) {
    case EM_POSFROMCHAR: {
        auto* e = NativeOf<QLineEdit>(this);
        int index = int(m.WParam);
        if (!e || index < 0 || index >= length) {
            m.Result = -1;
            return;
        }
        // The caret's place at the character, found without moving the caret for good.
        QSignalBlocker block(e);
        int cursor = e->cursorPosition();
        int selStart = e->selectionStart(), selLen = int(e->selectedText().size());
        e->setCursorPosition(index);
        QRect r = (e->*(&TLineEditAccess::cursorRect))();
        if (selStart >= 0 && selLen > 0)
            e->setSelection(selStart, selLen);
        else
            e->setCursorPosition(cursor);
        m.Result = LRESULT(DWORD(MAKELPARAM(r.center().x(), r.top())));
        return;
    }
    case EM_CHARFROMPOS: {
        auto* e = NativeOf<QLineEdit>(this);
        QPoint p(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        m.Result = e ? LRESULT(DWORD(MAKELPARAM(e->cursorPositionAt(p), 0))) : 0;
        return;
    }
    }
    std::shared_ptr<bool> alive = WinImpl(this).Alive;
    TWinControl::WndProc(m);
    // A hidden selection shows with the focus; a one-line widget takes back the one it dropped.
    if ((m.Msg == WM_SETFOCUS || m.Msg == WM_KILLFOCUS) && *alive) {
        QWidget* w = NativeOf<QLineEdit>(this);
        if (w && m.Msg == WM_SETFOCUS && !static_cast<QLineEdit*>(w)->hasSelectedText() && FSelLength > 0)
            WidgetSelection();
        ApplySelectionColors(w ? w : NativeOf<QPlainTextEdit>(this), SelectionShown(this, FHideSelection));
    }
}

// ---------------------------------------------------------------- TCustomMaskEdit
TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
TCustomMaskEdit::~TCustomMaskEdit() = default;

bool TCustomMaskEdit::IsMasked() const { return !FMask.Empty(); }

void TCustomMaskEdit::SetEditMask(const AnsiString& v)
{
    if (v == FEditMask)
        return;
    AnsiString text = GetText();
    FEditMask = v;
    FMask = TEditMask(v);
    SetMaxLength(IsMasked() ? FMask.Length() : 0);
    FText = text;
    Perform(CM_TEXTCHANGED, 0, 0);
}

AnsiString TCustomMaskEdit::GetText() const { return IsMasked() ? FMask.TextOf(FText) : FText; }

void TCustomMaskEdit::SetEditText(const AnsiString& v)
{
    if (!IsMasked()) {
        SetText(v);
        return;
    }
    FText = FMask.Conform(v);
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TCustomMaskEdit::CMTextChanged(TMessage& Message)
{
    if (IsMasked())
        FText = FMask.Format(FText);
    TCustomEdit::CMTextChanged(Message);
}

void TCustomMaskEdit::ValidateEdit()
{
    int pos = 0;
    if (!IsMasked() || !Modified() || FMask.Validate(FText, pos))
        return;
    // Back into the edit, the caret at the empty position (not the whole text selected).
    FReEnter = true;
    SetFocus();
    FReEnter = false;
    SetSelStart(pos);
    SetSelLength(1);
    throw EDBEditError("Invalid input value.  Use escape key to abandon changes");
}

void TCustomMaskEdit::Reset()
{
    if (!Modified())
        return;
    SetEditText(FOldValue);
    SetModified(false);
}

void TCustomMaskEdit::CMEnter(TMessage& Message)
{
    if (FReEnter) {
        TWinControl::CMEnter(Message);
        return;
    }
    FOldValue = FText;
    TCustomEdit::CMEnter(Message);
}

void TCustomMaskEdit::CMExit(TMessage& Message)
{
    ValidateEdit();
    TCustomEdit::CMExit(Message);
}

void TCustomMaskEdit::BlankRange(int From, int To, int Caret)
{
    AnsiString t = FText;
    for (int i = std::max(From, 0); i < std::min(To, int(t.size())); ++i)
        if (!FMask.IsLiteral(i))
            t[size_t(i)] = FMask.BlankChar();
    UserEdit(t, Caret);
}

void TCustomMaskEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomEdit::KeyDown(Key, Shift);
    if (!IsMasked() || Key == 0)
        return;
    if (Key == VK_ESCAPE && Modified()) {
        Reset();
        Key = 0;
    } else if (Key == VK_DELETE && !(Shift & (ssShift | ssCtrl))) {
        if (!ReadOnly()) {
            int start = SelStart();
            BlankRange(start, SelLength() > 0 ? start + SelLength() : FMask.NextInput(start) + 1, start);
        }
        Key = 0;
    } else if (Key == VK_BACK) {
        Key = 0;   // the character message that follows does the work
    }
}

void TCustomMaskEdit::KeyPress(char& Key)
{
    TCustomEdit::KeyPress(Key);
    if (!IsMasked() || Key == 0)
        return;
    auto k = Byte(Key);
    // Copy, paste, cut, Enter, Tab and Escape go their usual ways.
    if (k == 3 || k == 22 || k == 24 || k == '\r' || k == '\t' || k == 27)
        return;
    char typed = Key;
    Key = 0;
    if (ReadOnly())
        return;
    int start = SelStart(), len = SelLength();
    if (k == 8) {
        if (len > 0) {
            BlankRange(start, start + len, start);
        } else if (int p = FMask.PrevInput(start); p >= 0) {
            BlankRange(p, p + 1, p);
        }
        return;
    }
    if (k < 32)
        return;
    // Typing a literal where it stands steps over it.
    if (len == 0 && FMask.IsLiteral(start) && typed == FMask.MaskChar(start)) {
        SetSelStart(start + 1);
        return;
    }
    int p = FMask.NextInput(start);
    char ok = FMask.Accept(p, typed);
    if (!ok)
        return;   // refused: the text stays
    AnsiString t = FText;
    for (int i = start; i < start + len && i < int(t.size()); ++i)
        if (!FMask.IsLiteral(i))
            t[size_t(i)] = FMask.BlankChar();
    t[size_t(p)] = ok;
    UserEdit(t, FMask.NextInput(p + 1));
}

void TCustomMaskEdit::TextEdited(const AnsiString& Value)
{
    if (!IsMasked()) {
        TCustomEdit::TextEdited(Value);
        return;
    }
    // What the widget changed (a paste, a cut): the old positions it replaced
    // are blanked and what it put in is typed from there, position by position.
    size_t prefix = 0;
    while (prefix < Value.size() && prefix < FText.size() && Value[prefix] == FText[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < Value.size() - prefix && suffix < FText.size() - prefix &&
           Value[Value.size() - 1 - suffix] == FText[FText.size() - 1 - suffix])
        ++suffix;
    AnsiString inserted = Value.substr(prefix, Value.size() - prefix - suffix);
    AnsiString t = FText;
    for (size_t i = prefix; i < FText.size() - suffix; ++i)
        if (!FMask.IsLiteral(int(i)))
            t[i] = FMask.BlankChar();
    int p = int(prefix);
    for (char ch : inserted) {
        if (FMask.IsLiteral(p) && ch == FMask.MaskChar(p)) {
            ++p;
            continue;
        }
        p = FMask.NextInput(p);
        if (p >= FMask.Length())
            break;
        if (char ok = FMask.Accept(p, ch)) {
            t[size_t(p)] = ok;
            ++p;
        }
    }
    UserEdit(t, p);
}

// ---------------------------------------------------------------- TMemo
WideString TMemo::WideText() const
{
    if (auto* m = NativeOf<QPlainTextEdit>(this))
        return WideOf(m->toPlainText().replace(QChar('\n'), QStringLiteral("\r\n")));
    return KeptWide(FWideText, FText);
}

void TMemo::SetWideText(const WideString& v)
{
    if (v == WideText())
        return;
    FWideText = v;
    FText = WideToAnsi(v);
    if (auto* m = NativeOf<QPlainTextEdit>(this)) {
        FSettingText = true;
        m->setPlainText(QOfWide(v).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        FSettingText = false;
    }
    Perform(CM_TEXTCHANGED, 0, 0);
}

int TMemo::SelStart() const
{
    if (auto* m = NativeOf<QPlainTextEdit>(this))
        return TextPos(FText, m->textCursor().selectionStart());
    return std::min(FSelStart, int(FText.size()));
}

int TMemo::SelLength() const
{
    if (auto* m = NativeOf<QPlainTextEdit>(this)) {
        QTextCursor c = m->textCursor();
        return TextPos(FText, c.selectionEnd()) - TextPos(FText, c.selectionStart());
    }
    return std::clamp(FSelLength, 0, int(FText.size()) - SelStart());
}

void TMemo::SetSelStart(int v)
{
    FSelStart = std::clamp(v, 0, int(FText.size()));
    FSelLength = 0;
    if (auto* m = NativeOf<QPlainTextEdit>(this)) {
        QTextCursor c = m->textCursor();
        c.setPosition(WidgetPos(FText, FSelStart));
        m->setTextCursor(c);
    }
}

void TMemo::SetSelLength(int v)
{
    int start = SelStart();
    FSelStart = start;
    FSelLength = std::clamp(v, 0, int(FText.size()) - start);
    if (auto* m = NativeOf<QPlainTextEdit>(this)) {
        QTextCursor c = m->textCursor();
        c.setPosition(WidgetPos(FText, start));
        c.setPosition(WidgetPos(FText, start + FSelLength), QTextCursor::KeepAnchor);
        m->setTextCursor(c);
    }
}

AnsiString TMemo::SelText() const
{
    int start = SelStart();
    return FText.substr(size_t(start), size_t(SelLength()));
}

void TMemo::SetSelText(const AnsiString& v)
{
    int start = SelStart();
    AnsiString t = FText;
    t.replace(size_t(start), size_t(SelLength()), v);
    SetText(t);
    FModified = true;
    SetSelStart(start + int(AdjustLineBreaks(v).size()));
}

TPoint TMemo::CaretPos() const
{
    return CaretOfText(FText, SelStart() + SelLength());
}

void TMemo::SetCaretPos(const TPoint& v)
{
    std::unique_ptr<TStringList> lines = std::make_unique<TStringList>();
    lines->SetText(FText);
    int pos = 0;
    for (int i = 0; i < std::min(v.Y, lines->Count()); ++i)
        pos += int(lines->Strings(i).size()) + 2;
    int lineLen = v.Y < lines->Count() ? int(lines->Strings(v.Y).size()) : 0;
    SetSelStart(pos + std::clamp(v.X, 0, lineLen));
}

void TMemo::WndProc(TMessage& m)
{
    auto* w = NativeOf<QPlainTextEdit>(this);
    int length = int(FText.size());
    if (AnswerSelectionMessage(*this, m, length))
        return;
    switch (m.Msg) {
    case EM_GETMODIFY:
        m.Result = FModified ? 1 : 0;
        return;
    case EM_SETMODIFY:
        FModified = m.WParam != 0;
        return;
    case EM_GETLINECOUNT:
        m.Result = LRESULT(std::count(FText.begin(), FText.end(), '\n') + 1);
        return;
    case EM_LINEFROMCHAR: {
        int pos = int(m.WParam) < 0 ? SelStart() : std::min(int(m.WParam), length);
        m.Result = LRESULT(std::count(FText.begin(), FText.begin() + pos, '\n'));
        return;
    }
    case EM_LINEINDEX: {
        int line = int(m.WParam) < 0 ? CaretPos().Y : int(m.WParam);
        int pos = 0;
        for (int i = 0; i < line; ++i) {
            size_t nl = FText.find('\n', size_t(pos));
            if (nl == AnsiString::npos) {
                m.Result = -1;
                return;
            }
            pos = int(nl) + 1;
        }
        m.Result = pos;
        return;
    }
    case EM_SCROLLCARET:
        if (w)
            w->ensureCursorVisible();
        return;
    case EM_POSFROMCHAR:
    case EM_CHARFROMPOS:
        if (!w) {
            m.Result = m.Msg == EM_POSFROMCHAR ? -1 : 0;
            return;
        }
        CaretMessage(*w, FText, m);
        return;
    }
    std::shared_ptr<bool> alive = WinImpl(this).Alive;
    TWinControl::WndProc(m);
    if ((m.Msg == WM_SETFOCUS || m.Msg == WM_KILLFOCUS) && *alive)
        ApplySelectionColors(NativeOf<QPlainTextEdit>(this), SelectionShown(this, FHideSelection));
}

// ---------------------------------------------------------------- TCustomComboBox
namespace {
QLineEdit* ComboEdit(const TCustomComboBox* c)
{
    auto* w = NativeOf<QComboBox>(c);
    return w ? w->lineEdit() : nullptr;
}
}

void TCustomComboBox::SetSelStart(int v)
{
    if (QLineEdit* e = ComboEdit(this))
        e->setCursorPosition(std::clamp(v, 0, int(e->text().size())));
}

void TCustomComboBox::SetSelLength(int v)
{
    if (QLineEdit* e = ComboEdit(this)) {
        int start = SelStart();
        e->setSelection(start, std::clamp(v, 0, int(e->text().size()) - start));
    }
}

AnsiString TCustomComboBox::SelText() const
{
    QLineEdit* e = ComboEdit(this);
    return e ? FromQString(e->selectedText()) : AnsiString();
}

void TCustomComboBox::SetSelText(const AnsiString& v)
{
    if (QLineEdit* e = ComboEdit(this)) {
        FSettingText = true;
        e->insert(ToQString(v));
        FSettingText = false;
        FText = FromQString(e->text());
        Change();
    }
}

void TCustomComboBox::SetDropDownWidth(int v)
{
    FDropDownWidth = std::max(0, v);
    if (auto* c = NativeOf<QComboBox>(this))
        c->view()->setMinimumWidth(FDropDownWidth);
}

WideString TCustomComboBox::WideText() const
{
    if (QLineEdit* e = ComboEdit(this))
        return WideOf(e->text());
    // A list style shows its item.
    if (FStyle == csDropDownList || FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable)
        return ItemIndex() >= 0 ? ItemWideText(ItemIndex()) : WideString();
    return KeptWide(FWideText, GetText());
}

void TCustomComboBox::SetWideText(const WideString& v)
{
    if (v == WideText())
        return;
    FWideText = v;
    FText = WideToAnsi(v);
    if (FStyle == csDropDownList || FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable) {
        // The item of that wide text (items alike in 8 bits are told apart).
        int found = -1;
        for (int i = 0; i < FItems->Count() && found < 0; ++i)
            if (ItemWideText(i) == v)
                found = i;
        SetItemIndex(found);
        if (found < 0) {
            FWideText.clear();
            FText.clear();
        }
    } else if (QLineEdit* e = ComboEdit(this)) {
        FSettingText = true;
        e->setText(QOfWide(v));
        FSettingText = false;
    }
    Perform(CM_TEXTCHANGED, 0, 0);
}

WideString TCustomComboBox::ItemWideText(int Index) const
{
    if (auto* c = NativeOf<QComboBox>(this); c && Index >= 0 && Index < c->count())
        return WideOf(c->itemText(Index));
    return Index >= 0 && Index < FItems->Count() ? AnsiToWide(FItems->Strings(Index)) : WideString();
}

void TCustomComboBox::SetItemWideText(int Index, const WideString& v)
{
    if (auto* c = NativeOf<QComboBox>(this); c && Index >= 0 && Index < c->count()) {
        QSignalBlocker block(c);
        c->setItemText(Index, QOfWide(v));
    }
}

void TCustomComboBox::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case CB_GETEDITSEL:
        m.Result = AnswerSel(m, SelStart(), SelStart() + SelLength());
        return;
    case CB_SETEDITSEL: {
        // LParam: start in the low word, end in the high word (-1: none / to the end).
        int a = short(LOWORD(std::uintptr_t(m.LParam))), b = short(HIWORD(std::uintptr_t(m.LParam)));
        TMessage sel{EM_SETSEL, WPARAM(a), LPARAM(b), 0};
        int start = 0, len = 0;
        SelFromMessage(sel, int(FText.size()), start, len);
        SetSelStart(start);
        SetSelLength(len);
        m.Result = 1;
        return;
    }
    case CM_COLORCHANGED:
        ApplyComboFieldColor(this);
        break;
    case CB_LIMITTEXT:
        SetMaxLength(int(m.WParam));
        m.Result = 1;
        return;
    case CB_SETITEMHEIGHT:
        SetItemHeight(int(m.LParam));
        m.Result = 0;
        return;
    case CB_GETITEMHEIGHT:
        m.Result = FItemHeight;
        return;
    case CB_SETDROPPEDWIDTH:
        SetDropDownWidth(int(m.WParam));
        m.Result = std::max(FDropDownWidth, Width());
        return;
    case CB_GETDROPPEDWIDTH:
        m.Result = std::max(FDropDownWidth, Width());
        return;
    case CB_SHOWDROPDOWN:
        SetDroppedDown(m.WParam != 0);
        m.Result = 1;
        return;
    case CB_GETDROPPEDSTATE:
        m.Result = DroppedDown() ? 1 : 0;
        return;
    case CB_GETCOUNT:
        m.Result = FItems->Count();
        return;
    case CB_GETCURSEL:
        m.Result = ItemIndex();
        return;
    case CB_SETCURSEL:
        SetItemIndex(int(m.WParam));
        m.Result = ItemIndex() == int(m.WParam) ? LRESULT(m.WParam) : CB_ERR;
        return;
    case EM_CHARFROMPOS: {
        auto* c = NativeOf<QComboBox>(this);
        QLineEdit* e = c ? c->lineEdit() : nullptr;
        const QPoint p(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        m.Result = e ? LRESULT(DWORD(MAKELPARAM(e->cursorPositionAt(e->mapFrom(c, p)), 0))) : 0;
        return;
    }
    }
    TWinControl::WndProc(m);
}

void TCustomEdit::CreateWnd()
{
    TWinControl::CreateWnd();
    ApplyToWidget();
    ApplyMargins();
}

void TMemo::CreateWnd()
{
    TWinControl::CreateWnd();
    ApplyToWidget();
}

void TCustomComboBox::CreateWnd()
{
    TWinControl::CreateWnd();
    ApplyToWidget();
}
