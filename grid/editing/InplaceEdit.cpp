#include "grid/editing/InplaceEdit.h"

#include "grid/ProGrid.h"
#include "grid/ProUtil.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/Sound.h"

TProInplaceEdit::TProInplaceEdit(TProStringGrid* AGrid) : TInplaceEdit(AGrid), FGridOwner(AGrid) {}

void TProInplaceEdit::SetVAlign(bool Value)
{
    FVAlign = Value;
    SetAlignment(Value ? taRightJustify : taLeftJustify);
}

TEditorType TProInplaceEdit::CellEditorType() const
{
    return FGridOwner->EditorType();
}

void TProInplaceEdit::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    StylesChanged();
}

void TProInplaceEdit::CreateParams(TCreateParams& Params)
{
    TInplaceEdit::CreateParams(Params);
    FWordWrap = FGridOwner->WordWrap();
    // A password is one line of hidden characters, and so is a text typed into an edit mask;
    // every other text may have several lines.
    if (CellEditorType() == edPassword)
        Params.Style = (Params.Style | ES_PASSWORD) & ~DWORD(ES_MULTILINE);
    else if (IsMasked())
        Params.Style &= ~DWORD(ES_MULTILINE);
    else
        Params.Style |= ES_MULTILINE;
    if (FWordWrap)
        Params.Style &= ~DWORD(ES_AUTOHSCROLL);
    Params.Style |= ES_WANTRETURN;
}

bool TProInplaceEdit::TypeLineBreak()
{
    switch (CellEditorType()) {
    case edNormal: case edCapital: case edMixedCase: case edLowerCase: case edUpperCase: break;
    default: return false;
    }
    if (!IsMultiLine() || ReadOnly())
        return false;
    SetSelText("\r\n");
    return true;
}

bool TProInplaceEdit::InsideLines(Word Key)
{
    if ((Key != VK_UP && Key != VK_DOWN) || !IsMultiLine())
        return false;
    const int line = int(Perform(EM_LINEFROMCHAR, WPARAM(-1), 0));
    return Key == VK_UP ? line > 0 : line < int(Perform(EM_GETLINECOUNT, 0, 0)) - 1;
}

void TProInplaceEdit::GrowRowForLineBreak()
{
    TProStringGrid* g = FGridOwner;
    const int row = g->Row();
    // The text's lines with the line break about to come.
    const int lines = CountTextLines(Text() + "\r\n ", true);
    if (lines >= g->RowLineCount(row))
        g->SizeRowToLines(row, lines, 2 * g->CellTextOffset().Y);
    else
        g->AutoSizeRow(row);
    if (g->OnEndRowSize)
        g->OnEndRowSize(g, row);
}

// ---------------------------------------------------------------- placing and filling
void TProInplaceEdit::SetVisible(bool Value)
{
    TInplaceEdit::SetVisible(Value);
    TProStringGrid* g = FGridOwner;
    if (!Value && g->IsTextEditor(g->FEdit.Type)) {
        g->FEdit.Chosen = false;
        g->FEdit.Flag = false;
        g->SetEditorVisibleFlag(false);
    }
}

void TProInplaceEdit::Move(const TRect& Loc)
{
    // The editor covers the whole merged region of the current cell.
    TProStringGrid* g = FGridOwner;
    TRect region = g->MergedCellRect(g->Col(), g->Row());
    TRect r = Loc;
    if (!IsRectEmpty(region)) {
        r.Left = region.Left;
        r.Top = region.Top;
        r.Right = std::max(r.Left + 1, region.Right - 1);
        r.Bottom = std::max(r.Top + 1, region.Bottom - 1);
    }
    TInplaceEdit::Move(r);
    // The text begins two pixels in, where the cell paints it (a one-line edit keeps its own margin).
    if (IsMultiLine())
        SetEditRect(TRect(2, 2, Width() - 2, Height()));
}

void TProInplaceEdit::UpdateContents()
{
    TProStringGrid* g = FGridOwner;
    FUpdating = true;
    TInplaceEdit::UpdateContents();
    FUpdating = false;
    // What the user sees of the cell: given back unchanged, the cell keeps its text (and tags).
    g->NoteShownText(g->Col(), g->Row(), Text());
    FLengthLimit = g->MaxEditLength();
    SetMaxLength(0);   // LengthLimit does the limiting, as the characters come
    const TEditorType type = CellEditorType();
    SetPasswordChar(type == edPassword ? (g->PasswordChar().empty() ? '*' : g->PasswordChar()[0]) : 0);
    // Between a password and other texts the editor changes between one line and several.
    StylesChanged();
    // The editor takes the colours the cell is painted with.
    TBrush brush;
    TFont font;
    font.Assign(g->Font());
    brush.SetColor(g->Color());
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TCellGradientDirection direction = GradientVertical;
    const int realCol = g->RealColIndex(g->Col());
    bool selected = false;
    g->GetCellStyle(realCol, g->Row(), 0, &brush, &font, colorTo, mirror, mirrorTo, direction, selected);
    SetColor(brush.Color() == clNone ? g->Color() : brush.Color());
    SetFont(&font);
    FEditCol = g->Col();
    FEditRow = g->Row();
    if (g->OnGetEditorProp)
        g->OnGetEditorProp(g, g->Col(), g->Row(), nullptr);
}

void TProInplaceEdit::Change()
{
    if (FUpdating) {
        // Filled from the cell: no change of the user's, nothing to tell the grid.
        TCustomEdit::Change();
        return;
    }
    TInplaceEdit::Change();
    TProStringGrid* g = FGridOwner;
    if (!g->FEdit.Filling && g->OnEditChange)
        g->OnEditChange(g, g->Col(), g->Row(), Text());
}

void TProInplaceEdit::CMWantSpecialKey(TMessage& Message)
{
    TInplaceEdit::CMWantSpecialKey(Message);
    if (Message.WParam == VK_TAB && (FGridOwner->Options() & goTabs))
        Message.Result = 1;
}

// ---------------------------------------------------------------- messages
void TProInplaceEdit::WndProc(TMessage& Message)
{
    TProStringGrid* g = FGridOwner;
    switch (Message.Msg) {
    case WM_CHAR:
        if (FilterChar(Message))
            return;
        break;
    case WM_KEYDOWN:
        if (EditKeyDown(Message))
            return;
        break;
    case WM_PASTE:
        Paste();
        return;
    case WM_CUT:
    case WM_COPY: {
        bool allow = true;
        TAllowEvent& event = Message.Msg == WM_CUT ? g->OnClipboardCut : g->OnClipboardCopy;
        if (event)
            event(this, allow);
        if (allow)
            TInplaceEdit::WndProc(Message);
        return;
    }
    case WM_LBUTTONDBLCLK:
        TInplaceEdit::WndProc(Message);
        if (g->OnDblClickCell)
            g->OnDblClickCell(g, g->Row(), g->Col());
        return;
    case WM_SETFOCUS:
        TInplaceEdit::WndProc(Message);
        FocusGained(Message);
        return;
    case WM_KILLFOCUS:
        FocusLost(Message);
        return;
    default: break;
    }
    TInplaceEdit::WndProc(Message);
}

bool TProInplaceEdit::FilterChar(TMessage& Message)
{
    TProStringGrid* g = FGridOwner;
    char ch = char(Message.WParam);
    auto drop = [&](bool beep) {
        if (beep)
            MessageBeep(0);
        return true;
    };
    // The numeric keypad's point types the decimal separator.
    if (g->ExcelStyleDecimalSeparator() && ch == '.' && (GetKeyState(VK_DECIMAL) & 0x8000))
        ch = FormatSettings.DecimalSeparator;
    TNavigation* nav = g->Navigation();
    // Ctrl+Return's character: its key has typed the line break (with AllowCtrlEnter) or nothing.
    if (ch == '\n')
        return drop(false);
    const AnsiString text = Text();
    if (FLengthLimit > 0 && int(text.size()) >= FLengthLimit && SelLength() == 0 && ch != '\b' && ch != 27 &&
        ch != '\r')
        return drop(false);
    if (ch == '\r' && nav->LineFeedOnEnter() && TypeLineBreak())
        return true;
    const bool control = ch == '\b' || ch == '\t' || ch == '\r' || ch == 27;
    // What a Ctrl key types (Ctrl+A, Ctrl+V ...) is no character of the text.
    const bool ctrlChar = Byte(ch) < 32;
    // Ctrl+A, C, V, X and Z: the edit took their keys (selecting, the clipboard, undo); no refusal.
    const bool editKey = ch == 1 || ch == 3 || ch == 22 || ch == 24 || ch == 26;
    const bool digit = ch >= '0' && ch <= '9';
    const int selStart = SelStart(), selLength = SelLength();
    switch (CellEditorType()) {
    case edNumeric:
        if (!control && !digit && ch != '-')
            return drop(!editKey);
        if (ch == '-' && (text.find('-') != AnsiString::npos || selStart != 0))
            return drop(true);
        break;
    case edPositiveNumeric:
        if (!control && !digit)
            return drop(!editKey);
        break;
    case edFloat: {
        const bool ctrlHeld = GetKeyState(VK_CONTROL) & 0x8000;
        if (!control && !digit && ch != ',' && ch != '-' && ch != '.' && !ctrlHeld)
            return drop(false);
        if (ch == FormatSettings.DecimalSeparator) {
            AnsiString outside = text;
            outside.erase(std::size_t(std::clamp(selStart, 0, int(text.size()))), std::size_t(selLength));
            if (outside.find(ch) != AnsiString::npos)
                return drop(false);
        } else if (ch == FormatSettings.ThousandSeparator) {
            return drop(false);
        }
        if (ch == '-') {
            const bool minusSelected = selLength > 0 && SelText().find('-') != AnsiString::npos;
            if (!((selStart == 0 && text.find('-') == AnsiString::npos) || minusSelected))
                return drop(true);
        }
        break;
    }
    case edCapital:
    case edUpperCase:
        if (!control)
            ch = AnsiUpperCase(AnsiString(1, ch))[0];
        break;
    case edLowerCase:
        if (!control)
            ch = AnsiLowerCase(AnsiString(1, ch))[0];
        break;
    case edMixedCase:
        if (!ctrlChar) {
            // The character goes in, then the whole text gets its words capitalised.
            SetSelText(AnsiString(1, ch));
            const int caret = SelStart();
            SetText(ProperNameCase(Text()));
            SetSelStart(caret);
            return true;
        }
        break;
    default: break;
    }
    Message.WParam = WPARAM(Byte(ch));
    return false;
}

void TProInplaceEdit::TakeCellTextBack()
{
    TProStringGrid* g = FGridOwner;
    SetText(g->GetEditText(g->Col(), g->Row()));
    if (g->Navigation()->EditSelectAll())
        SelectAll();
    else
        SetSelStart(int(Text().size()));
}

bool TProInplaceEdit::ConcludeAndClose(const AnsiString& Value)
{
    TProStringGrid* g = FGridOwner;
    if (!g->FinishCellEdit(Value)) {
        TakeCellTextBack();
        return false;
    }
    SetText(g->NewEditText());
    g->EndCellEdit();
    return true;
}

bool TProInplaceEdit::EditKeyDown(TMessage& Message)
{
    TProStringGrid* g = FGridOwner;
    g->EditorMessageHook(Message);
    Word key = Word(Message.WParam);
    const TShiftState shift = KeyboardStateToShiftState() & (ssShift | ssCtrl | ssAlt);
    FMsgKeyDownCaret = SelStart();
    TNavigation* nav = g->Navigation();
    const int length = int(Text().size());
    FSwallowReturn = false;
    switch (key) {
    case VK_ESCAPE:
        SetText(g->KeptEditText());
        g->EndCellEdit();
        if (g->CanFocus())
            g->SetFocus();
        return true;
    case VK_RETURN:
        if ((shift & ssCtrl) && !nav->AllowCtrlEnter())
            return true;
        if ((shift & ssCtrl) && nav->LineFeedOnEnter()) {
            TypeLineBreak();
            return true;
        }
        if (!(shift & ssCtrl) && !nav->LineFeedOnEnter()) {
            if (!g->FinishCellEdit(Text())) {
                TakeCellTextBack();
                FSwallowReturn = true;
                return true;
            }
            FUpdating = true;
            SetText(g->GetEditText(g->Col(), g->Row()));
            FUpdating = false;
        }
        break;
    case VK_TAB:
        if (g->Options() & goTabs) {
            if (g->FinishCellEdit(Text())) {
                FUpdating = true;
                SetText(g->GetEditText(g->Col(), g->Row()));
                FUpdating = false;
                g->EndCellEdit();
                if (g->CanFocus())
                    g->SetFocus();
                // The grid's own Tab stops: cells that may not be edited are passed.
                g->TabToNextCell(shift & ssShift);
            } else {
                TakeCellTextBack();
            }
            return true;
        }
        break;
    case VK_LEFT:
    case VK_RIGHT: {
        const bool edge = key == VK_LEFT ? FMsgKeyDownCaret == 0 && SelLength() == 0
                                         : FMsgKeyDownCaret >= length && SelLength() == 0;
        if (shift == ssShift && edge && nav->CursorWalkEditor()) {
            const bool saved = g->FEdit.Finishing;
            g->FEdit.Finishing = true;
            g->SetCurrentCell(Text());
            g->FEdit.Finishing = saved;
            if (ConcludeAndClose(Text()) && g->CanFocus())
                g->SetFocus();
            Invalidate();
            return true;
        }
        break;
    }
    case VK_UP:
    case VK_DOWN: {
        // Between the lines of the text the caret moves; from its first (last) line the key leaves it.
        if ((shift & (ssShift | ssCtrl | ssAlt)) || InsideLines(key))
            break;
        if (!ConcludeAndClose(Text()))
            return true;
        if (g->CanFocus())
            g->SetFocus();
        g->GridKeyDown(key, shift);
        if (g->MouseActions()->DisjunctRowSelect()) {
            g->ClearRowSelect();
            g->SetShownRowSelect(g->Row(), true);
        }
        return true;
    }
    case VK_HOME:
        if (!(shift & (ssCtrl | ssShift))) {
            SetSelStart(0);
            return true;
        }
        break;
    case VK_END:
        if (!(shift & (ssCtrl | ssShift))) {
            SetSelStart(length);
            return true;
        }
        break;
    default: break;
    }
    return false;
}

void TProInplaceEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TProStringGrid* g = FGridOwner;
    TNavigation* nav = g->Navigation();
    FKeyDownCaret = SelStart();
    // A Return that ends the edit ends it here; one that typed a line break leaves it going.
    if (Key == VK_RETURN && !nav->AllowCtrlEnter() && !nav->LineFeedOnEnter())
        g->SetEditingActive(false);
    if (Key == VK_RETURN && (Shift & (ssCtrl | ssShift)) && g->SizeWhileTyping()->Height() && g->Multilinecells())
        GrowRowForLineBreak();
    // Ctrl+Return (allowed, without LineFeedOnEnter, which typed it already): the line break of an
    // edit of several lines.
    if (Key == VK_RETURN && (Shift & ssCtrl) && nav->AllowCtrlEnter()) {
        TypeLineBreak();
        Key = 0;
        return;
    }
    if (Key == VK_BACK || Key == VK_DELETE)
        FTyped = false;
    else if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z') || Key == VK_SPACE || Key >= VK_OEM_1)
        FTyped = true;
    g->EditorKeyHook(Key, Shift);
    if (Key == 0)
        return;
    // Return is a character for this edit: the grid acts on it when it arrives. Up and Down between
    // the text's lines move the caret.
    if (Key == VK_RETURN || InsideLines(Key)) {
        TCustomEdit::KeyDown(Key, Shift);
        return;
    }
    TInplaceEdit::KeyDown(Key, Shift);
}

void TProInplaceEdit::CursorWalk(bool Forward)
{
    TProStringGrid* g = FGridOwner;
    TNavigation* nav = g->Navigation();
    // The neighbouring data cell of the row; at the row's ends the advance goes on to the next (the
    // previous) row.
    const int next = Forward ? g->ShownMergedRegion(g->Col(), g->Row()).Right + 1 : g->Col() - 1;
    const bool inRow = Forward ? next < g->ColCount() - g->FixedRightCols() : next >= g->FixedCols();
    if (inRow && g->HasCellControl(g->RealColIndex(next), g->Row())) {
        if (g->FinishCellEdit(Text())) {
            g->EndCellEdit();
            g->SetCol(next);
        }
        return;
    }
    if (g->FinishCellEdit(Text()))
        g->EndCellEdit();
    const TAdvanceDirection saved = nav->AdvanceDirection();
    nav->SetAdvanceDirection(adLeftRight);
    g->AdvanceToNextCell(g->Col(), g->Row(), true, true, Forward, false, true);
    nav->SetAdvanceDirection(saved);
}

void TProInplaceEdit::KeyUp(Word& Key, TShiftState Shift)
{
    TProStringGrid* g = FGridOwner;
    TNavigation* nav = g->Navigation();
    const int caret = SelStart();
    const bool walkLeft = Key == VK_LEFT && SelLength() == 0 && FKeyDownCaret == 0 && caret == 0;
    const bool walkRight = Key == VK_RIGHT && SelLength() == 0 && FKeyDownCaret >= int(Text().size()) &&
                           caret >= int(Text().size());
    if ((walkLeft || walkRight) && Shift == 0 && nav->CursorWalkEditor()) {
        Key = 0;
        CursorWalk(walkRight);
        if (!nav->CursorWalkAlwaysEdit())
            g->EndCellEdit();
        else
            g->BeginCellEdit();
        return;
    }
    TInplaceEdit::KeyUp(Key, Shift);
    const int before = SelStart() - 1;
    const LRESULT pos = before >= 0 ? Perform(EM_POSFROMCHAR, WPARAM(before), 0) : -1;
    g->EditorCaretHook(pos == -1 ? -1 : GET_X_LPARAM(pos), pos == -1 ? -1 : GET_Y_LPARAM(pos), Text(),
                       !Text().empty() && Text()[0] == '=');
    LookupComplete();
    if (g->SizeWhileTyping()->Width())
        g->AutoSizeColEx(g->Col(), true);
    if (g->SizeWhileTyping()->Height() && g->WordWrap()) {
        g->AutoSizeRow(g->Row());
        if (g->OnEndRowSize)
            g->OnEndRowSize(g, g->Row());
    }
}

void TProInplaceEdit::LookupComplete()
{
    TProStringGrid* g = FGridOwner;
    if (!FTyped || !g->Lookup())
        return;
    FTyped = false;
    const int caret = SelStart();
    AnsiString typed = Text().substr(0, std::size_t(caret));
    if (typed.empty())
        return;
    const bool caseSensitive = g->LookupCaseSensitive();
    if (!caseSensitive)
        typed = AnsiUpperCase(typed);
    TStringList* items = g->LookupItems();
    for (int i = 0; i < items->Count(); ++i) {
        AnsiString item = items->Strings(i);
        AnsiString probe = caseSensitive ? item : AnsiUpperCase(item);
        if (probe.size() >= typed.size() && probe.compare(0, typed.size(), typed) == 0) {
            SetText(Text().substr(0, std::size_t(caret)) + item.substr(typed.size()));
            SetSelStart(caret);
            SetSelLength(int(item.size()) - caret);
            return;
        }
    }
}

void TProInplaceEdit::KeyPress(char& Key)
{
    TProStringGrid* g = FGridOwner;
    if (Key == '\r' && FSwallowReturn) {
        FSwallowReturn = false;
        Key = 0;
        return;
    }
    if (Key == '\r' && !g->Navigation()->LineFeedOnEnter()) {
        if (!g->FinishCellEdit(Text())) {
            TakeCellTextBack();
            Key = 0;
            return;
        }
    }
    const bool typed = Byte(Key) >= 32;
    TInplaceEdit::KeyPress(Key);
    // A filled edit mask moves on by itself: the edit is concluded and the next cell is edited.
    if (typed && g->Navigation()->AdvanceAuto() && IsMasked() && Visible() &&
        Text().find(' ') == AnsiString::npos && SelStart() >= int(EditText().size()) && ConcludeAndClose(Text())) {
        if (g->CanFocus())
            g->SetFocus();
        g->AdvanceToNextCell(g->Col(), g->Row(), true, true, true, false, true);
    }
}

// ---------------------------------------------------------------- clipboard
void TProInplaceEdit::Paste()
{
    TProStringGrid* g = FGridOwner;
    if (!Clipboard()->HasFormat(CF_TEXT) || ReadOnly())
        return;
    bool allow = true;
    if (g->OnClipboardPaste)
        g->OnClipboardPaste(this, allow);
    if (!allow)
        return;
    AnsiString value = Clipboard()->AsText();
    if (g->OnClipboardBeforePasteCell)
        g->OnClipboardBeforePasteCell(this, g->Col(), g->Row(), value, allow);
    if (!allow)
        return;
    // Only the first line goes into the cell.
    std::size_t cut = value.find_first_of("\r\n");
    if (cut != AnsiString::npos)
        value.resize(cut);
    const AnsiString text = Text();
    const int start = std::clamp(SelStart(), 0, int(text.size()));
    const int length = std::clamp(SelLength(), 0, int(text.size()) - start);
    AnsiString result = text.substr(0, std::size_t(start)) + value + text.substr(std::size_t(start + length));
    switch (CellEditorType()) {
    case edNumeric:
    case edPositiveNumeric:
    case edFloat:
        if (IsNumericText(result) == 2)
            return;
        break;
    case edUpperCase: result = AnsiUpperCase(result); break;
    case edLowerCase: result = AnsiLowerCase(result); break;
    case edMixedCase: result = ProperNameCase(result); break;
    default: break;
    }
    if (FLengthLimit > 0 && int(result.size()) > FLengthLimit)
        result.resize(std::size_t(FLengthLimit));
    SetText(result);
    SetSelStart(std::min(int(result.size()), start + int(value.size())));
}

// ---------------------------------------------------------------- focus
void TProInplaceEdit::FocusGained(TMessage&)
{
    TProStringGrid* g = FGridOwner;
    g->FEdit.Filling = false;
    // In an edit mask the first position is selected, ready to be typed over.
    if (IsMasked() && g->Navigation()->ImproveMaskSel() && !g->CaretRequest()) {
        SetSelStart(0);
        SetSelLength(1);
        return;
    }
    if (!g->Navigation()->EditSelectAll())
        SetSelStart(int(Text().size()));
    if (!g->CaretRequest())
        return;
    // The click that opened the editor puts the caret at the character under it.
    g->SetCaretRequest(false);
    TPoint screen;
    GetCursorPos(screen);
    const TPoint p = ScreenToClient(screen);
    if (PtInRect(ClientRect(), p))
        SetSelStart(LOWORD(Perform(EM_CHARFROMPOS, 0, MAKELPARAM(p.X, p.Y))));
}

void TProInplaceEdit::FocusLost(TMessage& Message)
{
    TProStringGrid* g = FGridOwner;
    g->SetTypedStartChar(0);
    if (g->LookupHistory() && !Text().empty() && g->LookupItems()->IndexOf(Text()) < 0)
        g->LookupItems()->Add(Text());
    TInplaceEdit::WndProc(Message);
    const HWND to = HWND(Message.WParam);
    const bool toGrid = g->HandleAllocated() && to == g->Handle();
    if (!toGrid && g->EditingActive()) {
        // The user is elsewhere now: a refused value is not held open for them. The editor takes
        // what the cell holds now, so that closing it writes nothing else back.
        g->ConcludeCellEdit(Text(), false);
        FUpdating = true;
        SetText(g->GetEditText(g->Col(), g->Row()));
        FUpdating = false;
        g->EndCellEdit();
        g->SetEditingActive(false);
        g->FEdit.Chosen = false;
        g->SelectCell(FEditCol >= 0 ? FEditCol : g->Col(), FEditRow >= 0 ? FEditRow : g->Row());
    }
    g->FEdit.Filling = true;
    FUpdating = true;
    SetText(g->GetEditText(g->Col(), g->Row()));
    FUpdating = false;
    g->EditorCaretHook(-1, -1, Text(), false);
    if (FEditCol >= 0 && FEditRow >= 0)
        g->PostEditDone(g->RealColIndex(FEditCol), FEditRow);
}
