// The cell editors: the spin edit's values and steps, the held spin button,
// the edit with a button and the unit edit, the flat combo's button width,
// wide string lists, Unicode cells, every special editor type opened by a key
// and by a double click, the date editors that leave untouched cells alone,
// the date picker's notifications, the cell checker and the custom edit link.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "grid/ProGrid.h"
#include "grid/editing/EditLink.h"
#include "grid/editing/GridEditors.h"
#include "platform/core/CodePage.h"
#include "platform/core/SysUtils.h"
#include "grid/ProUtil.h"
#include "platform/gui/Clipbrd.h"
#include "platform/gui/Sound.h"
#include "platform/gui/Menus.h"
#include "platform/gui/Messages.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/GridTest.h"
#include "tests/common/Screenshots.h"

namespace {

// A custom editor: a plain edit of the link's own.
struct EditBoxLink : TEditLink {
    TEdit* Box = nullptr;
    using TEditLink::TEditLink;
    TWinControl* GetEditControl() override { return Box; }
    void CreateEditor(TWinControl* AParent) override
    {
        if (!Box) {
            Box = new TEdit(this);
            Box->OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { EditKeyDown(S, K, Sh); };
            Box->OnExit = [this](TObject*) { EditExit(); };
        }
        Box->SetParent(AParent);
    }
    AnsiString GetEditorValue() override { return Box ? Box->Text() : AnsiString(); }
    void SetEditorValue(const AnsiString& s) override { Box->SetText(s); }
};

struct CellEditors : TGridFormTest<TProStringGrid> {
    PolishFormatSettings Formats;
    void SetUp() override
    {
        TGridFormTest<TProStringGrid>::SetUp();
        Grid->SetColCount(5);
        Grid->SetRowCount(5);
        Grid->SetDefaultColWidth(90);
        Grid->SetOptions(Grid->Options() | goEditing);
        Grid->SetFocus();
    }
    // The handlers of a test hold its locals: they go before the grid does.
    void TearDown() override
    {
        Grid->OnRichEditSelectionChange = nullptr;
        Grid->OnDateTimeChange = nullptr;
        Grid->OnDatePickerCloseUp = nullptr;
        Grid->OnComboChange = nullptr;
        Grid->OnSpinClick = nullptr;
        Grid->OnCellValidate = nullptr;
        Grid->OnGetEditorProp = nullptr;
        Grid->OnEllipsClick = nullptr;
        Grid->OnClipboardBeforePasteCell = nullptr;
        Grid->SetEditLink(nullptr);
        TGridFormTest<TProStringGrid>::TearDown();
    }
    void UseEditor(TEditorType Type)
    {
        Grid->OnGetEditorType = [Type](TObject*, int, int, TEditorType& e) { e = Type; };
    }
    // A custom edit link of the form's, given to the grid as the editor of every cell.
    EditBoxLink* UseLink()
    {
        auto* link = new EditBoxLink(Form);
        Grid->SetEditLink(link);
        UseEditor(edCustom);
        return link;
    }
    // Opens the editor of cell (ACol, ARow) as it stands.
    TWinControl* Edit(int ACol, int ARow)
    {
        Grid->FocusCell(ACol, ARow, true);
        Grid->BeginCellEdit();
        ProcessPendingMessages();
        return Grid->ActiveEditor();
    }
    // Opens the editor of a cell, (2, 2) unless given, holding Text.
    TWinControl* Open(const AnsiString& Text, int ACol = 2, int ARow = 2)
    {
        Grid->SetCells(ACol, ARow, Text);
        return Edit(ACol, ARow);
    }
    // Types S over the whole text of the editor E.
    void TypeOver(TWinControl* E, const AnsiString& S)
    {
        if (auto* e = dynamic_cast<TCustomEdit*>(E))
            e->SelectAll();
        if (auto* c = dynamic_cast<TCustomComboBox*>(E))
            c->SelectAll();
        TypeText(E, S);
        ProcessPendingMessages();
    }
    // The spin edit's text after a step up or down with the caret at At.
    static AnsiString Step(TPsgSpinEdit* S, int At, bool Up)
    {
        S->SetSelStart(At);
        Up ? S->StepUp(false) : S->StepDown(false);
        return S->Text();
    }
    // Opens the editor of cell (2, 2) holding Text as the user does: by F2, or by a double click.
    void OpenByUser(const AnsiString& Text, bool ByDoubleClick)
    {
        Grid->SetCells(2, 2, Text);
        Grid->FocusCell(2, 2, true);
        Grid->SetFocus();
        if (ByDoubleClick) {
            const TRect cell = Grid->CellRect(2, 2);
            DoubleClick(Grid, cell.Left + 10, cell.Top + 5);
            AdvanceInputClock(1000);
        } else {
            Key(Grid, VK_F2);
        }
        ProcessPendingMessages();
    }
    // The open editor: a special one, else the default edit.
    TWinControl* Editor() { return Grid->ActiveEditor() ? Grid->ActiveEditor() : Grid->InplaceEditor(); }
    void Key(TWinControl* C, Word K, TShiftState Shift = 0)
    {
        TypeKey(C, K, Shift);
        ProcessPendingMessages();
    }
};

// ---------------------------------------------------------------- the spin edit
TEST_F(CellEditors, SpinStepsTimeFieldsDatePartsAndLimits)
{
    TPsgSpinEdit* s = Place<TPsgSpinEdit>(420, 10, 120, 22);
    // Times: the caret picks hours, minutes or seconds; a day wraps.
    s->SetSpinType(sptTime);
    s->SetText("23:59:59");
    EXPECT_EQ(Step(s, 7, true), "00:00:00");
    EXPECT_DOUBLE_EQ(s->TimeValue(), 0.0);
    EXPECT_EQ(Step(s, 0, false), "23:00:00");
    s->SetText("12:30");
    EXPECT_EQ(Step(s, 4, true), "12:30:01");   // no second separator: the step is one second

    // Dates, day first: the caret in the month steps a month, cut to the month's end.
    s->SetSpinType(sptDate);
    s->SetText("31.01.2009");
    EXPECT_EQ(Step(s, 4, true), "28.02.2009");
    EXPECT_FALSE(s->DateOrderMonthFirst());
    EXPECT_EQ(Step(s, 1, true), "01.03.2009");
    EXPECT_EQ(Step(s, 8, false), "01.03.2008");
    // Without a second separator the part after the first one is the year's.
    s->SetText("31.01");
    s->SetSelStart(4);
    const TDateTime shortDate = s->DateValue();
    s->StepUp(false);
    EXPECT_EQ(s->DateValue(), IncMonth(shortDate, 12));

    // Whole numbers: 0..100 by default; equal limits clamp nothing; unreadable text reads as the minimum.
    s->SetSpinType(sptNormal);
    s->SetValue(150);
    EXPECT_EQ(s->Text(), "100");
    s->SetMinValue(5);
    s->SetMaxValue(5);
    s->SetValue(150);
    EXPECT_EQ(s->Text(), "150");
    s->SetText("");
    EXPECT_EQ(s->Value(), 5);
    s->SetSpinType(sptFloat);
    s->SetText("");
    EXPECT_DOUBLE_EQ(s->FloatValue(), 5.0);   // the integer minimum, not the float one
}

// The spin buttons sit inside the edit's frame, the edit is never lower than its font's text
// needs, and the buttons are not reported transparent unless asked.
TEST_F(CellEditors, SpinButtonsInsideTheFrameAndTheHeightTheTextNeeds)
{
    TPsgSpinEdit* s = Place<TPsgSpinEdit>(420, 10, 120, 22);
    EXPECT_FALSE(s->SpinTransparent());
    EXPECT_EQ(s->Button()->UpNumGlyphs(), 1);
    EXPECT_EQ(s->Button()->DownNumGlyphs(), 1);
    const struct { bool Ctl3D; TBorderStyle Border; TRect Button; } cases[] = {
        {true, bsSingle, {104, 1, 119, 21}}, {true, bsNone, {104, 0, 119, 21}}, {false, bsSingle, {105, 1, 120, 20}}};
    for (const auto& c : cases) {
        s->SetCtl3D(c.Ctl3D);
        s->SetBorderStyle(c.Border);
        s->SetBounds(420, 10, 120, 22);
        const TControl* b = s->Button();
        EXPECT_EQ(TRect(b->Left(), b->Top(), b->Left() + b->Width(), b->Top() + b->Height()), c.Button) << c.Ctl3D << c.Border;
    }
    TBitmap text;
    text.Canvas()->Font()->Assign(s->Font());
    TTextMetric tm;
    GetTextMetrics(text.Canvas(), tm);
    s->SetHeight(5);
    EXPECT_EQ(s->Height(), tm.tmHeight + tm.tmHeight / 4 + 2 + 4);
    // A new font sizes the spin edit and the edit with a button to its text, unless AutoSize is off.
    TPsgEditBtn* e = Place<TPsgEditBtn>(420, 40, 120, 22);
    e->Font()->SetSize(20);
    s->Font()->SetSize(20);
    text.Canvas()->Font()->Assign(e->Font());
    GetTextMetrics(text.Canvas(), tm);
    EXPECT_EQ(e->Height(), tm.tmHeight + 8);
    EXPECT_EQ(s->Height(), std::max(tm.tmHeight + 8, s->GetMinHeight()));
    e->SetAutoSize(false);
    e->Font()->SetSize(8);
    EXPECT_EQ(e->Height(), tm.tmHeight + 8);
}

TEST_F(CellEditors, FloatSpinRefusesADecimalBeyondPrecisionAndTakesTheKeypadSeparator)
{
    TPsgSpinEdit* s = Place<TPsgSpinEdit>(420, 10, 120, 22);
    s->SetSpinType(sptFloat);
    s->SetPrecision(2);
    s->SetFloatValue(1.5);
    EXPECT_EQ(s->Text(), "1,50");
    s->SetFocus();
    s->SetSelStart(4);
    s->SetSelLength(0);
    const int beeps = MessageBeepCount();
    TypeText(s, "7");
    EXPECT_EQ(s->Text(), "1,50");
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    // Before the separator a digit is taken; a second separator and a letter are not.
    s->SetSelStart(0);
    TypeText(s, "2,x");
    EXPECT_EQ(s->Text(), "21,50");
    // "-" only at the start, and once.
    s->SetSelStart(2);
    TypeText(s, "-");
    EXPECT_EQ(s->Text(), "21,50");
    s->SetSelStart(0);
    TypeText(s, "-");
    EXPECT_EQ(s->Text(), "-21,50");
    // With ExcelStyleDecimalSeparator the keypad's decimal key types the locale's separator.
    s->SetText("3");
    s->SetExcelStyleDecimalSeparator(true);
    s->SetSelStart(1);
    TypeKey(s, VK_DECIMAL);
    EXPECT_EQ(s->Text(), "3,");
}

TEST_F(CellEditors, HeldSpinButtonRepeatsAfter400AndEvery100Milliseconds)
{
    TPsgSpinEdit* s = Place<TPsgSpinEdit>(420, 10, 120, 22);
    s->SetValue(10);
    TProTimerSpeedButton* up = s->Button()->UpButton();
    MouseDown(up, 3, 3);
    TTimer* timer = up->RepeatTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 400u);
    EXPECT_EQ(s->Value(), 10);   // nothing before the first tick
    FireTimer(timer);
    EXPECT_EQ(timer->Interval(), 100u);
    EXPECT_EQ(s->Value(), 11);
    for (int i = 0; i < 6; ++i)
        FireTimer(timer);
    EXPECT_EQ(s->Value(), 17);
    // The release over the button steps once more and stops the repeat.
    MouseUp(up, 3, 3);
    EXPECT_EQ(s->Value(), 18);
    EXPECT_FALSE(timer->Enabled());
    // A short click steps exactly once.
    Click(up, 3, 3);
    EXPECT_EQ(s->Value(), 19);
    // Themed, the button is lit while the mouse is over it.
    up->SetIsWinXP(true);
    MouseLeave(up);
    const TColor plain = GrabControl(up)->Canvas()->Pixels(3, 3);
    MouseMove(up, 3, 3);
    EXPECT_NE(GrabControl(up)->Canvas()->Pixels(3, 3), plain);
    MouseLeave(up);
    EXPECT_EQ(GrabControl(up)->Canvas()->Pixels(3, 3), plain);
}

// ---------------------------------------------------------------- edit with button, unit edit, combo
TEST_F(CellEditors, UnitEditShowsNumberAndUnitAndStoresBoth)
{
    DotFormatSettings dot;
    UseEditor(edUnitEditBtn);
    auto* e = dynamic_cast<TGridUnitEditBtn*>(Open("12.5 kg"));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Text(), "12.5");
    EXPECT_EQ(e->UnitID(), " kg");
    Key(e, VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 2), "12.5 kg");
    EXPECT_FALSE(e->Visible());

    // A changed number keeps its unit; a unit chosen from the list replaces it.
    e = dynamic_cast<TGridUnitEditBtn*>(Open("3 g"));
    e->Units()->SetText("mg\r\ng\r\nkg");
    TPopupMenuHook old = SetPopupMenuHook([](TPopupMenu* Menu, int, int) { Menu->Items()->Items(2)->Click(); });
    TypeOver(e, "7");
    e->ClickButton(e);
    SetPopupMenuHook(old);
    EXPECT_EQ(e->UnitID(), "kg");
    Key(e, VK_TAB);
    EXPECT_EQ(Grid->Cells(2, 2), "7kg");
}

TEST_F(CellEditors, EditButtonRunsTheEllipsisAndPasteTakesTheHandlersValue)
{
    UseEditor(edEditBtn);
    Grid->OnEllipsClick = [](TObject*, int, int, AnsiString& S) { S = "wybrano " + S; };
    auto* e = dynamic_cast<TGridEditBtn*>(Open("abc"));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Button()->ButtonCaption(), "...");
    Key(e, VK_F4);
    EXPECT_EQ(e->Text(), "wybrano abc");
    Key(e, VK_F4, ssAlt);
    EXPECT_EQ(e->Text(), "wybrano abc");

    Clipboard()->SetAsText("schowek");
    Grid->OnClipboardBeforePasteCell = [](TObject*, int, int, AnsiString& V, bool&) { V = "poprawione"; };
    e->SelectAll();
    e->Perform(WM_PASTE, 0, 0);
    EXPECT_EQ(e->Text(), "poprawione");
    Key(e, VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 2), "poprawione");
}

TEST_F(CellEditors, NumericEditButtonFiltersCharacters)
{
    UseEditor(edNumericEditBtn);
    auto* e = dynamic_cast<TGridEditBtn*>(Open(""));
    const int beeps = MessageBeepCount();
    TypeText(e, "1a-2");
    EXPECT_EQ(e->Text(), "12");
    EXPECT_EQ(MessageBeepCount(), beeps + 2);
    e->SetSelStart(0);
    TypeText(e, "-");
    EXPECT_EQ(e->Text(), "-12");
    Key(e, VK_ESCAPE);
    EXPECT_EQ(Grid->Cells(2, 2), "");
}

TEST_F(CellEditors, ComboButtonWidthLimitsAndColourWhileDisabled)
{
    TPSGComboBox* c = Place<TPSGComboBox>(420, 10, 120, 22);
    const int start = c->ButtonWidth();
    const struct { int Width; bool Taken; } cases[] = {{13, false}, {33, false}, {14, true}, {32, true}};
    for (const auto& k : cases) {
        const int before = c->ButtonWidth();
        c->SetButtonWidth(k.Width);
        EXPECT_EQ(c->ButtonWidth(), k.Taken ? k.Width : before) << k.Width;
    }
    EXPECT_NE(start, 0);
    c->SetColor(clYellow);
    c->SetEnabled(false);
    c->SetEnabled(true);
    EXPECT_EQ(c->Color(), clYellow);
    EXPECT_EQ(c->Version(), "1.0.0.0");
    // The frame turns three-dimensional with the focus only with FocusBorder.
    c->SetFocus();
    EXPECT_FALSE(c->BorderIs3D());
    c->SetFocusBorder(true);
    EXPECT_TRUE(c->BorderIs3D());
    Grid->SetFocus();
    EXPECT_FALSE(c->BorderIs3D());
    // AutoFocus takes the focus when the mouse comes over the combo.
    c->SetAutoFocus(true);
    c->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(c->Focused());
    EXPECT_TRUE(c->MouseInControl());
}

// A focused flat combo shows its Color in its field and, with FocusBorder, in the frame one pixel inside
// the button-face frame: in the drop-down style as in the drop-down-list style, the Unicode combo too, and
// the grid's combo editors opened on a cell of that colour.
TEST_F(CellEditors, FocusedFlatCombosShowTheirColour)
{
    const TColor colour = 0xEACAB6;
    auto at = [](TBitmap* B, int X, int Y) { return ColorToRGB(B->Canvas()->Pixels(X, Y)); };
    // The field (drop-down style) and the frames (with FocusBorder) of the combo as painted now.
    auto check = [&](TPSGCustomCombo* C, const std::string& Name) {
        SCOPED_TRACE(Name);
        ASSERT_TRUE(C->Focused());
        auto shot = GrabControl(C);
        const int w = C->Width(), h = C->Height(), fieldRight = w - C->ButtonWidth() - 4;
        if (C->Style() == csDropDown) {
            for (int y : {h / 2 - 3, h / 2 + 3})
                EXPECT_EQ(at(shot.get(), fieldRight - 6, y), colour);
        }
        if (!C->FocusBorder())
            return;
        EXPECT_EQ(at(shot.get(), 1, h / 2), ColorToRGB(clBtnFace));
        EXPECT_EQ(at(shot.get(), 2, h / 2), colour);
        EXPECT_EQ(at(shot.get(), fieldRight / 2, 2), colour);
        EXPECT_EQ(at(shot.get(), fieldRight / 2, h - 3), colour);
        if (C->Style() == csDropDown)
            SaveScreenshot(Form, "flat_combo_focused_colour.png");
    };
    TPSGComboBox* narrow = Place<TPSGComboBox>(420, 10, 120, 22);
    TPSGUniComboBox* wide = Place<TPSGUniComboBox>(420, 40, 120, 22);
    for (TPSGCustomCombo* c : {static_cast<TPSGCustomCombo*>(narrow), static_cast<TPSGCustomCombo*>(wide)}) {
        for (TComboBoxStyle style : {csDropDown, csDropDownList}) {
            c->SetStyle(style);
            c->Items()->SetText("a\r\nb");
            c->SetItemIndex(0);
            c->SetColor(colour);
            c->SetFocusBorder(true);
            c->SetFocus();
            ProcessPendingMessages();
            check(c, (c == narrow ? "combo, style " : "Unicode combo, style ") + std::to_string(int(style)));
        }
    }
    // The grid's editors, opened by F2 and by a double click on a cell of that colour.
    Grid->GridCombo()->Items()->SetText("jeden\r\ndwa");
    Grid->GridUniCombo()->WideItems()->SetTextStr(u"jeden\r\ndwa");
    Grid->SetCellBrushColor(2, 2, colour);
    for (TEditorType type : {edComboEdit, edUniComboEdit}) {
        for (bool mouse : {false, true}) {
            UseEditor(type);
            OpenByUser("dwa", mouse);
            auto* c = dynamic_cast<TPSGCustomCombo*>(Grid->ActiveEditor());
            ASSERT_NE(c, nullptr);
            check(c, std::string(type == edComboEdit ? "grid combo" : "grid Unicode combo") +
                         (mouse ? " by double click" : " by F2"));
            if (type == edComboEdit && !mouse)
                SaveScreenshot(Form, "grid_combo_edit_cell_colour.png");
            Key(c, VK_ESCAPE);
        }
    }
}

// ---------------------------------------------------------------- wide strings and Unicode cells
TEST_F(CellEditors, WideStringListsSplitLinesAndFindWithoutCase)
{
    TPSGUniComboBox* c = Place<TPSGUniComboBox>(420, 10, 120, 22);
    c->HandleNeeded();
    TComboBoxStrings* items = c->WideItems();
    items->SetTextStr(u"a\r\nb\u2028c");
    ASSERT_EQ(items->Count(), 3);
    EXPECT_EQ(items->Get(1), u"b");
    EXPECT_EQ(items->GetTextStr(), u"a\r\nb\r\nc\r\n");
    items->SetTextStr(u"\u0141\u00F3d\u017A\nx\u03BB\u2029");
    EXPECT_EQ(items->Count(), 2);
    EXPECT_EQ(items->IndexOf(u"\u0142\u00D3D\u0179"), 0);   // "Łódź" found as "łÓDŹ"
    EXPECT_EQ(items->IndexOf(u"X\u039B"), 1);
    EXPECT_EQ(c->TCustomComboBox::ItemWideText(1), u"x\u03BB");   // the list shows the Greek letter
    EXPECT_EQ(c->Items()->Strings(1), "x?");               // its 8-bit form cannot
    items->Move(1, 0);
    EXPECT_EQ(items->Get(0), u"x\u03BB");
    try {
        items->Insert(5, u"z");
        FAIL() << "no error";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message(), "Unable to insert a line");
    }
    items->AnsiStrings()->Add("zz");
    EXPECT_EQ(items->Count(), 3);
    EXPECT_EQ(items->Get(2), u"zz");
    // Letters beyond Windows-1250 are found whatever their case too.
    items->SetTextStr(u"\u00D1and\u00FA\r\n\u0152\u0174\u0100\u0139");
    EXPECT_EQ(items->IndexOf(u"\u00F1AND\u00DA"), 0);
    EXPECT_EQ(items->IndexOf(u"\u0153\u0175\u0101\u013A"), 1);
}

TEST_F(CellEditors, UnicodeCellEditedWithPolishAndGreekLetters)
{
    UseEditor(edUniEdit);
    auto* e = dynamic_cast<TGridUniEdit*>(Open("ab"));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->WideText(), u"ab");
    e->SelectAll();
    TypeWideText(e, u"ż\u03BB");
    Key(e, VK_RETURN);
    EXPECT_EQ(Grid->GetWideCell(2, 2), u"ż\u03BB");
    EXPECT_EQ(Grid->GetGridCell(2, 2).substr(0, 2), "|\\");
    Edit(2, 2);   // read back: the editor opens on the wide text
    EXPECT_EQ(e->WideText(), u"ż\u03BB");
    Key(e, VK_ESCAPE);
    EXPECT_EQ(Grid->GetWideCell(2, 2), u"ż\u03BB");
}

TEST_F(CellEditors, UnicodeMemoMakesLinesOnReturnAndConcludesOnTab)
{
    UseEditor(edUniMemo);
    auto* m = dynamic_cast<TGridUniMemo*>(Open(""));
    ASSERT_NE(m, nullptr);
    TypeWideText(m, u"\u03B1");
    Key(m, VK_RETURN);
    TypeWideText(m, u"b");
    EXPECT_TRUE(m->Visible());
    Key(m, VK_TAB);
    EXPECT_EQ(Grid->GetWideCell(2, 2), u"\u03B1\r\nb");
}

// ---------------------------------------------------------------- every editor type

TEST_F(CellEditors, EveryEditorTypeOpensByKeyAndDoubleClickAndStores)
{
    Grid->GridCombo()->Items()->SetText("jeden\r\ndwa\r\ntrzy");
    Grid->GridUniCombo()->WideItems()->SetTextStr(u"\u03B1\r\n\u03B2\r\ngamma");
    Grid->OnEllipsClick = [](TObject*, int, int, AnsiString& S) { S = S + "!"; };
    struct Case {
        const char* Name;
        TEditorType Type;
        AnsiString Before;
        std::function<void(TWinControl*)> Change;
        Word Conclude;
        std::function<AnsiString()> Stored;   // the expected cell text
    };
    auto typeOver = [this](const AnsiString& S) { return [this, S](TWinControl* E) { TypeOver(E, S); }; };
    auto is = [](const AnsiString& S) { return [S] { return S; }; };
    auto wide = [](const WideString& S) { return [S] { return EncodeUnicodeCell(S); }; };
    auto arrowUp = [this](TWinControl* E) { Key(E, VK_UP); };
    bool byMouse = false;
    const Case cases[] = {
        {"spin", edSpinEdit, "7", [this](TWinControl* E) { Key(E, VK_PRIOR); }, VK_RETURN, is("8")},
        {"float spin", edFloatSpinEdit, "1.5", [this](TWinControl* E) { Key(E, VK_PRIOR); }, VK_RETURN,
         is("1,60")},
        {"time spin", edTimeSpinEdit, "10:00:00",
         [](TWinControl* E) { static_cast<TGridSpin*>(E)->SetSelStart(0); static_cast<TGridSpin*>(E)->UpClick(E); },
         VK_RETURN, is("11:00:00")},
        {"date spin", edDateSpinEdit, "15.03.2010",
         [](TWinControl* E) { static_cast<TGridSpin*>(E)->SetSelStart(0); static_cast<TGridSpin*>(E)->UpClick(E); },
         VK_RETURN, is("16.03.2010")},
        {"combo", edComboEdit, "dwa", typeOver("cztery"), VK_RETURN, is("cztery")},
        {"list combo", edComboList, "dwa", arrowUp, VK_RETURN, is("jeden")},
        {"edit with button", edEditBtn, "x", typeOver("tekst"), VK_RETURN, is("tekst")},
        {"numeric edit with button", edNumericEditBtn, "1", typeOver("42"), VK_RETURN, is("42")},
        {"float edit with button", edFloatEditBtn, "1", typeOver("4,5"), VK_RETURN, is("4,5")},
        {"unit edit", edUnitEditBtn, "5 kg", typeOver("6"), VK_RETURN, is("6 kg")},
        {"Unicode edit", edUniEdit, "u", typeOver("nowy"), VK_RETURN, wide(u"nowy")},
        {"Unicode edit with button", edUniEditBtn, "u", typeOver("inny"), VK_RETURN, wide(u"inny")},
        {"Unicode memo", edUniMemo, "", typeOver("m"), VK_TAB, wide(u"m")},
        {"Unicode combo", edUniComboEdit, "gamma", typeOver("delta"), VK_RETURN, wide(u"delta")},
        {"Unicode list combo", edUniComboList, "gamma", arrowUp, VK_RETURN, wide(u"\u03B2")},
        {"date picker", edDateEdit, "15.03.2010", arrowUp, VK_RETURN, is("16.03.2010")},
        {"date picker with up-down", edDateEditUpDown, "15.03.2010", arrowUp, VK_RETURN, is("16.03.2010")},
        {"time picker", edTimeEdit, "10:20:30", arrowUp, VK_RETURN, is("11:20:30")},
        // The date and time picker has no leave keys: the edit ends when the focus goes.
        {"date and time picker", edDateTimeEdit, "15.03.2010 10:20", arrowUp, 0, is("16.03.2010 10:20")},
        {"check box", edCheckBox, "opis", [this](TWinControl* E) { Key(E, VK_SPACE); }, VK_RETURN, is("opis")},
        // A double click's last release already presses the button.
        {"button", edButton, "przycisk", [&byMouse](TWinControl* E) { if (!byMouse) Click(E, 5, 5); }, VK_ESCAPE,
         is("przycisk!")},
        {"custom edit link", edCustom, "k", typeOver("link"), VK_RETURN, is("link")},
        {"rich edit", edRichEdit, "", typeOver("r"), 0, nullptr},
    };
    UseLink();
    for (bool mouse : {false, true}) {
        byMouse = mouse;
        for (const Case& k : cases) {
            SCOPED_TRACE(std::string(k.Name) + (byMouse ? " by double click" : " by F2"));
            UseEditor(k.Type);
            OpenByUser(k.Before, byMouse);
            TWinControl* e = k.Type == edCheckBox ? static_cast<TWinControl*>(Grid->GridCheckBox())
                             : k.Type == edDateTimeEdit ? static_cast<TWinControl*>(Grid->DateTimePicker())
                                                        : Grid->ActiveEditor();
            ASSERT_NE(e, nullptr);
            EXPECT_TRUE(e->Visible());
            EXPECT_TRUE(e->Focused());
            k.Change(e);
            if (!k.Stored) {
                Grid->EndCellEdit();
                ProcessPendingMessages();
                EXPECT_NE(Grid->Cells(2, 2).find("r"), AnsiString::npos);
                EXPECT_NE(Grid->Cells(2, 2).find("{\\rtf"), AnsiString::npos);
                continue;
            }
            if (k.Conclude)
                Key(e, k.Conclude);
            else
                Grid->SetFocus();
            ProcessPendingMessages();
            EXPECT_FALSE(e->Visible());
            EXPECT_EQ(Grid->Cells(2, 2), k.Stored());
            EXPECT_FALSE(Grid->EditingFlag());
        }
    }
}

// A value the validation refuses is never stored: after the user's own leave key the editor opens
// on the cell again, after an operation that ends the edit no editor is left open.
TEST_F(CellEditors, ARefusedValueReopensTheEditorAfterAKeyAndNotAfterAnOperation)
{
    Grid->SetOptions(Grid->Options() | goTabs);
    Grid->GridCombo()->Items()->SetText("a\r\nb");
    auto arrowUp = [this](TWinControl* E) { Key(E, VK_UP); };
    auto typeOver = [this](TWinControl* E) { TypeOver(E, "zle"); };
    auto key = [this](Word K) { return [this, K](TWinControl* E) { Key(E, K); }; };
    struct Case {
        const char* Name; TEditorType Type; AnsiString Before; std::function<void(TWinControl*)> Change, Leave;
        bool AdvanceOnEnter, Reopened;
    } cases[] = {
        {"date picker, Tab", edDateEdit, "15.03.2010", arrowUp, key(VK_TAB), false, true},
        {"date picker, Return to the next cell", edDateEdit, "15.03.2010", arrowUp, key(VK_RETURN), true, true},
        {"date picker, column hidden", edDateEdit, "15.03.2010", arrowUp,
         [this](TWinControl*) { Grid->HideColumns(4, 4); }, false, false},
        {"combo, End", edComboEdit, "a", typeOver, key(VK_END), false, true},
        {"combo, EndCellEdit", edComboEdit, "a", typeOver, [this](TWinControl*) { Grid->EndCellEdit(); }, false,
         false},
        {"edit with button, Page Down", edEditBtn, "x", typeOver, key(VK_NEXT), false, true},
        {"list combo, list closed on an item", edComboList, "a",
         [this](TWinControl* E) { Key(E, VK_DOWN, ssAlt); Key(E, VK_DOWN); }, key(VK_RETURN), false, true},
        {"date picker, calendar closed", edDateEdit, "15.03.2010",
         [this](TWinControl* E) { Key(E, VK_UP); Grid->GridDatePicker()->SetDroppedDown(true); },
         [this](TWinControl*) { Grid->GridDatePicker()->SetDroppedDown(false); }, false, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Name);
        int validated = 0;
        Grid->OnCellValidate = [&validated](TObject*, int, int, AnsiString&, bool& Valid) {
            ++validated;
            Valid = false;
        };
        Grid->Navigation()->SetAdvanceOnEnter(k.AdvanceOnEnter);
        Grid->MouseActions()->SetDirectDateClose(true);
        UseEditor(k.Type);
        TWinControl* e = Open(k.Before);
        ASSERT_NE(e, nullptr);
        k.Change(e);
        k.Leave(e);
        ProcessPendingMessages();
        EXPECT_EQ(Grid->Cells(2, 2), k.Before);
        EXPECT_EQ(validated, 1);
        EXPECT_EQ(e->Visible(), k.Reopened);
        EXPECT_EQ(Grid->EditingActive(), k.Reopened);
        EXPECT_EQ(Current(), TPoint(2, 2));
        Grid->OnCellValidate = nullptr;
        Grid->EndCellEdit();
        Grid->UnHideColumns(4, 4);
        Grid->SetFocus();
    }
    Grid->MouseActions()->SetDirectDateClose(false);
}

TEST_F(CellEditors, EditorsOverAnOpenGridAreDrawnInTheirCells)
{
    Grid->GridCombo()->Items()->SetText("Norma PN-EN\r\nNorma PN-ISO");
    Grid->SetCells(1, 1, "Zażółć gęślą jaźń");
    Grid->SetCells(2, 1, "Norma PN-EN");
    UseEditor(edComboList);
    Edit(2, 1);
    SaveScreenshot(Form, "grid_combo_editor.png");
    Grid->EndCellEdit();
    UseEditor(edUnitEditBtn);
    DotFormatSettings dot;
    TWinControl* unit = Open("12.5 kg", 3, 2);
    ASSERT_NE(unit, nullptr);
    SaveScreenshot(Form, "grid_unit_editor.png");
    // The unit is painted right of the number, left of the button.
    auto picture = GrabControl(unit);
    // Left of the button (18 wide, 5 from the right edge), 20 pixels of unit space.
    const TRect unitArea(unit->Width() - 23 - 22, 2, unit->Width() - 23 - 2, unit->Height() - 2);
    const TRect ink = InkBox(picture.get(), unitArea, [](TColor c) {
        return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100;   // dark text
    });
    EXPECT_GE(ink.Left, 0);
    Grid->EndCellEdit();
    EXPECT_EQ(Grid->Cells(3, 2), "12.5 kg");
}

// ---------------------------------------------------------------- date and time editors
TEST_F(CellEditors, DateEditorsLeaveEmptyAndUnreadableCellsAlone)
{
    const TEditorType types[] = {edDateEdit, edTimeEdit, edDateTimeEdit, edDateSpinEdit, edTimeSpinEdit,
                                 edSpinEdit, edFloatSpinEdit};
    for (TEditorType t : types) {
        for (const char* text : {"", "nie data", "500"}) {
            SCOPED_TRACE(std::to_string(int(t)) + " " + text);
            UseEditor(t);
            Open(text);
            Grid->EndCellEdit();
            ProcessPendingMessages();
            EXPECT_EQ(Grid->Cells(2, 2), text);
        }
    }
}

TEST_F(CellEditors, DateSpinStoresShortDateAndTimePickerItsOwnFormat)
{
    UseEditor(edDateSpinEdit);
    auto* s = dynamic_cast<TGridSpin*>(Open("01.02.2003"));
    ASSERT_NE(s, nullptr);
    Step(s, 0, false);
    Grid->EndCellEdit();
    EXPECT_EQ(Grid->Cells(2, 2), "31.01.2003");

    UseEditor(edTimeEdit);
    Open("08:15:00");
    Grid->GridDatePicker()->SetFormat("HH:mm");
    Key(Grid->GridDatePicker(), VK_UP);
    Grid->EndCellEdit();
    EXPECT_EQ(Grid->Cells(2, 2), "09:15");
    EXPECT_EQ(FormatSettings.LongTimeFormat, "hh:nn:ss");
    // A format given before the editor opens: the cell's text in it is read and written in it.
    Open("09:15");
    EXPECT_EQ(Grid->GridDatePicker()->Text(), "09:15");
    Key(Grid->GridDatePicker(), VK_UP);
    Grid->EndCellEdit();
    EXPECT_EQ(Grid->Cells(2, 2), "10:15");
    Grid->GridDatePicker()->SetFormat("");
}

TEST_F(CellEditors, DatePickerReportsChangesAndCloseUp)
{
    std::vector<std::string> log;
    Grid->OnDateTimeChange = [&](TObject*, int c, int r, TDateTime d) {
        log.push_back("change " + std::to_string(c) + "," + std::to_string(r) + " " + FormatDateTime("dd.mm.yyyy", d));
    };
    Grid->OnDatePickerCloseUp = [&](TObject*, int r, int c) {
        log.push_back("closeup " + std::to_string(r) + "," + std::to_string(c));
    };
    Grid->MouseActions()->SetDirectDateDrop(true);
    Grid->MouseActions()->SetDirectDateClose(true);
    UseEditor(edDateEdit);
    TWinControl* p = Open("15.03.2010");
    ASSERT_EQ(p, Grid->GridDatePicker());
    EXPECT_TRUE(Grid->GridDatePicker()->DroppedDown());
    Grid->GridDatePicker()->SetDroppedDown(false);
    ProcessPendingMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"closeup 2,2"}));
    // DirectDateClose ended the edit.
    EXPECT_FALSE(p->Visible());
    EXPECT_FALSE(Grid->EditingFlag());

    log.clear();
    Grid->MouseActions()->SetDirectDateDrop(false);
    Open("15.03.2010");
    Grid->GridDatePicker()->OnChange = [&](TObject*) { log.push_back("picker"); };
    Key(p, VK_UP);
    // The grid hears first; a check box the user clears leaves no valid date (0).
    Grid->GridDatePicker()->SetShowCheckbox(true);
    Click(p, 8, p->Height() / 2);
    EXPECT_EQ(log, (std::vector<std::string>{"change 2,2 16.03.2010", "picker", "change 2,2 30.12.1899", "picker"}));
    Grid->GridDatePicker()->OnChange = nullptr;
    Grid->GridDatePicker()->SetChecked(true);
    Grid->GridDatePicker()->SetShowCheckbox(false);
    Key(p, VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 2), "16.03.2010");
}

TEST_F(CellEditors, DateTimePickerKeepsWholeSecondsAndShowsItsTimePicker)
{
    TProDateTimePicker* p = Grid->DateTimePicker();
    ASSERT_NE(p, nullptr);
    const TDateTime v = EncodeDate(2010, 3, 15) + EncodeTime(10, 20, 30, 456);
    p->SetDateTime(v);
    EXPECT_DOUBLE_EQ(p->DateTime(), EncodeDate(2010, 3, 15) + EncodeTime(10, 20, 30, 0));
    EXPECT_TRUE(p->TimePicker()->Visible());
    p->TimePicker()->SetTime(EncodeTime(7, 0, 0, 0));
    EXPECT_DOUBLE_EQ(p->DateTime(), EncodeDate(2010, 3, 15) + EncodeTime(7, 0, 0, 0));
    p->SetKind(dkDate);
    EXPECT_FALSE(p->TimePicker()->Visible());
    EXPECT_NE(p->TimePicker(), nullptr);
}

// The time the user gives stays: in the time picker when the picker is sized, coloured or enabled
// again, and in the picker itself with dkTime.
TEST_F(CellEditors, DateTimePickerKeepsTheTimeTheUserGave)
{
    auto* p = Place<TProDateTimePicker>(420, 10, 200, 22);
    const TDateTime day = EncodeDate(2010, 3, 15);
    const struct { TProDateTimeKind Kind; std::function<void()> Then; const char* Name; } cases[] = {
        {dkDateTime, [&] { p->SetBounds(420, 10, 240, 22); }, "sized"},
        {dkDateTime, [&] { p->SetColor(clYellow); }, "coloured"},
        {dkDateTime, [&] { p->SetEnabled(true); }, "enabled"},
        {dkTime, [] {}, "time only"},
    };
    for (const auto& c : cases) {
        p->SetKind(c.Kind);
        p->SetDateTime(day + EncodeTime(10, 20, 30, 0));
        TWinControl* field = c.Kind == dkDateTime ? static_cast<TWinControl*>(p->TimePicker()) : p;
        field->SetFocus();
        Key(field, VK_UP);   // the hour
        c.Then();
        EXPECT_NEAR(p->DateTime(), day + EncodeTime(11, 20, 30, 0), 1e-9) << c.Name;
    }
}

TEST_F(CellEditors, FlatPickerBorderFollowsBorderStyle)
{
    Form->SetColor(clYellow);
    auto* p = Place<TCustomDateTimePicker>(420, 10, 150, 22);
    EXPECT_FALSE(p->Ctl3D());
    p->SetBorderColor(clRed);
    const struct { TBorderStyle Style; TColor Frame; } cases[] = {
        {bsNone, clYellow},
        {bsSingle, p->Themed() ? TColor(RGB(127, 157, 185)) : clRed},
    };
    for (const auto& k : cases) {
        p->SetBorderStyle(k.Style);
        ProcessPendingMessages();
        auto shot = GrabControl(p);
        EXPECT_EQ(ColorToRGB(shot->Canvas()->Pixels(0, 10)), ColorToRGB(k.Frame)) << int(k.Style);
        EXPECT_EQ(ColorToRGB(shot->Canvas()->Pixels(75, 21)), ColorToRGB(k.Frame)) << int(k.Style);
    }
}

// ---------------------------------------------------------------- checker, rich edit, spin events
struct UpperChecker : TProStringGridCheck {
    using TProStringGridCheck::TProStringGridCheck;
    AnsiString Correct(int, int, const AnsiString& V) override { return AnsiUpperCase(V); }
    AnsiString MarkError(int, int, const AnsiString& V) override { return V + "*"; }
};

TEST_F(CellEditors, TheCheckersAndTheValidationsCorrectionsAreWhatTheCellKeeps)
{
    // The base checker leaves every text as it is.
    TProStringGridCheck base(nullptr);
    EXPECT_EQ(base.Correct(1, 1, "tekst "), "tekst ");
    EXPECT_EQ(base.MarkError(1, 1, "tekst "), "tekst ");
    auto* checker = new UpperChecker(Form);
    Grid->SetCellChecker(checker);
    AnsiString validated;
    Grid->OnCellValidate = [&](TObject*, int, int, AnsiString& V, bool&) { validated = V; };
    UseEditor(edEditBtn);
    auto* e = dynamic_cast<TGridEditBtn*>(Open("x"));
    TypeOver(e, "abc");
    Key(e, VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 2), "abc");   // the checker's flags are off
    checker->SetAutoCorrect(true);
    checker->SetAutoMarkError(true);
    e = dynamic_cast<TGridEditBtn*>(Open("x"));
    TypeOver(e, "łódź");
    Key(e, VK_RETURN);
    EXPECT_EQ(validated, "ŁÓDŹ");
    EXPECT_EQ(Grid->Cells(2, 2), "ŁÓDŹ*");
    delete checker;
    EXPECT_EQ(Grid->CellChecker(), nullptr);
    // A value the validation amends stays after the key of the editor that concludes it.
    Grid->SetOptions(Grid->Options() | goTabs);
    Grid->OnCellValidate = [](TObject*, int, int, AnsiString& V, bool&) { V = "9 kg"; };
    Grid->OnCellValidateWide = [](TObject*, int, int, WideString& V, bool&) { V.assign(1, u'9'); };
    const std::tuple<TEditorType, Word, AnsiString> amended[] = {{edUniEdit, VK_RETURN, EncodeUnicodeCell(u"9")},
        {edUniMemo, VK_TAB, EncodeUnicodeCell(u"9")}, {edUnitEditBtn, VK_TAB, "9 kg"}};
    for (const auto& [type, leave, stored] : amended) {
        UseEditor(type);
        TypeText(Open(""), "5");
        Key(Grid->ActiveEditor(), leave);
        EXPECT_EQ(Grid->Cells(2, 2), stored);
    }
}

TEST_F(CellEditors, SpinPageKeysStayInsideTheLimitsAndReportClicks)
{
    std::vector<std::string> clicks;
    Grid->OnSpinClick = [&](TObject*, int, int, int v, bool up) {
        clicks.push_back(std::to_string(v) + (up ? "+" : "-"));
    };
    UseEditor(edSpinEdit);
    auto* s = dynamic_cast<TGridSpin*>(Open("98"));
    s->SetIncrement(3);
    Key(s, VK_PRIOR);   // 101 is beyond MaxValue 100: no step
    EXPECT_EQ(s->Text(), "98");
    Key(s, VK_NEXT);
    EXPECT_EQ(s->Text(), "95");
    Key(s, VK_END);
    EXPECT_EQ(s->Text(), "0");
    s->Button()->UpButton()->Click();
    EXPECT_EQ(s->Text(), "3");
    EXPECT_EQ(clicks, (std::vector<std::string>{"98-", "95-", "0-", "3+"}));
    // Dates page as the spin edit does: the part under the caret.
    Key(s, VK_ESCAPE);
    UseEditor(edDateSpinEdit);
    auto* d = dynamic_cast<TGridSpin*>(Open("10.05.2011"));
    d->SetSelStart(4);
    Key(d, VK_PRIOR);
    EXPECT_EQ(d->Text(), "10.06.2011");
    Key(d, VK_ESCAPE);
    EXPECT_EQ(Grid->Cells(2, 2), "10.05.2011");
    UseEditor(edSpinEdit);
    s = dynamic_cast<TGridSpin*>(Open("3"));
    // Down leaves the editor for the next row with the value stored.
    Key(s, VK_DOWN);
    EXPECT_EQ(Grid->Cells(2, 2), "3");
    EXPECT_EQ(Grid->Row(), 3);
}

TEST_F(CellEditors, RichEditSelectionChangeReachesTheGrid)
{
    int changes = 0;
    Grid->OnRichEditSelectionChange = [&](TObject* Sender) { EXPECT_EQ(Sender, Grid); ++changes; };
    UseEditor(edRichEdit);
    TWinControl* e = Open("");
    ASSERT_NE(e, nullptr);
    changes = 0;
    TypeText(e, "ab");
    TypeKey(e, VK_LEFT, ssShift);
    EXPECT_GT(changes, 0);
    Grid->EndCellEdit();
}

// With SizeWhileTyping.Height the row grows under the rich editor as its text grows; without it
// the row keeps its height.
// The rich-text editor: disabled while idle, frameless in the cell's colour, typing over its chosen text.
TEST_F(CellEditors, RichEditTypesOverItsTextWithoutAFrameAndGrowsItsRow)
{
    UseEditor(edRichEdit);
    EXPECT_FALSE(Grid->RichEditSelection()->Enabled());
    TWinControl* r = Open("zwykly");
    EXPECT_EQ(ColorToRGB(GrabControl(r)->Canvas()->Pixels(0, r->Height() / 2)), ColorToRGB(r->Color()));
    TypeText(r, "Q");
    EXPECT_EQ(Grid->RichEditSelection()->Lines()->Text(), "Q\r\n");
    Grid->EndCellEdit();
    for (bool grow : {true, false}) {
        SCOPED_TRACE(grow ? "growing" : "fixed");
        Grid->SizeWhileTyping()->SetHeight(grow);
        Grid->SetRowHeights(2, Grid->DefaultRowHeight());
        std::vector<int> sized;
        Grid->OnEndRowSize = [&](TObject*, int ARow) { sized.push_back(ARow); };
        TWinControl* e = Open("");
        ASSERT_EQ(e, Grid->RichEditSelection());
        const int oneLine = Grid->RowHeights(2);
        std::vector<int> heights;   // after each line typed
        for (int line = 0; line < 4; ++line) {
            if (line > 0)
                Key(e, VK_RETURN);
            TypeText(e, "wiersz");
            heights.push_back(Grid->RowHeights(2));
        }
        ASSERT_EQ(Grid->RichEditSelection()->Lines()->Count(), 4);
        if (grow) {
            EXPECT_EQ(heights[0], oneLine);
            for (int i = 1; i < 4; ++i)
                EXPECT_GT(heights[i], heights[i - 1]) << i;
            EXPECT_EQ(e->Height(), Grid->RowHeights(2) - 1);
            ASSERT_FALSE(sized.empty());
            EXPECT_EQ(sized.back(), 2);
        } else {
            EXPECT_EQ(heights, std::vector<int>(4, oneLine));
            EXPECT_TRUE(sized.empty());
        }
        Grid->EndCellEdit();
        Grid->OnEndRowSize = nullptr;
    }
    // Opening a cell of several lines leaves its row as it is, and the grid's repaints leave
    // what is typed in the editor.
    Grid->SizeWhileTyping()->SetHeight(true);
    Grid->SetRowHeights(2, Grid->DefaultRowHeight());
    TWinControl* e = Open("{\\rtf1\\ansi a\\par b\\par c\\par d}");
    EXPECT_EQ(Grid->RowHeights(2), Grid->DefaultRowHeight());
    TypeText(e, "Q");
    Grid->Repaint();
    EXPECT_EQ(Grid->RichEditSelection()->Lines()->Text(), "Q\r\n");
    Grid->EndCellEdit();
}

TEST_F(CellEditors, ComboLookupCompletesFromItemsAndKeepsHistory)
{
    Grid->SetLookup(true);
    Grid->SetLookupHistory(true);
    Grid->GridCombo()->Items()->SetText("Gdańsk\r\nGdynia\r\nSopot");
    UseEditor(edComboEdit);
    auto* c = dynamic_cast<TGridCombo*>(Open(""));
    ASSERT_NE(c, nullptr);
    TypeText(c, "gdy");
    EXPECT_EQ(c->Text(), "gdynia");
    EXPECT_EQ(c->ItemIndex(), 1);
    EXPECT_EQ(c->SelLength(), 3);
    Key(c, VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 2), "gdynia");
    // A text not among the items joins them when the editor is left.
    c = dynamic_cast<TGridCombo*>(Open(""));
    TypeText(c, "Puck");
    Key(c, VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 2), "Puck");
    EXPECT_EQ(c->Items()->IndexOf("Puck"), 3);
}

// The Unicode combo's list is as wide as its items show, letters beyond Windows-1250 too.
TEST_F(CellEditors, UnicodeComboListTakesTheWidthOfItsWideItems)
{
    Grid->Navigation()->SetAutoComboDropSize(true);
    const WideString omegas(40, u'\u03c9');
    Grid->GridUniCombo()->WideItems()->Add(omegas);
    UseEditor(edUniComboEdit);
    TWinControl* c = Open("");
    TRect r(0, 0, 0, 0);
    DrawTextW(Grid->Canvas(), omegas, r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(c->Perform(CB_GETDROPPEDWIDTH), r.Width() + 8);
}

TEST_F(CellEditors, ListComboOpensOnItemZeroWhenTheCellIsNotInTheList)
{
    std::vector<std::string> log;
    Grid->OnComboChange = [&](TObject*, int c, int r, int i, const AnsiString& s) {
        log.push_back(std::to_string(c) + "," + std::to_string(r) + ":" + std::to_string(i) + " " + s);
    };
    Grid->GridCombo()->Items()->SetText("A\r\nB");
    UseEditor(edComboList);
    auto* c = dynamic_cast<TGridCombo*>(Open("zzz"));
    EXPECT_EQ(c->ItemIndex(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"2,2:0 A"}));
    // The wheel moves through the items.
    Wheel(c, 5, 5, -120);
    EXPECT_EQ(c->ItemIndex(), 1);
    Key(c, VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 2), "B");
}

// Every exit of an editor leaves a value the user did not change as the cell held it;
// Escape cancels; what the user changes is stored (a step stays within the limits).
TEST_F(CellEditors, EditorsNeverChangeACellTheUserDidNotChange)
{
    enum Exit { Return, Tab, ClickElsewhere, FocusLoss, Escape };
    TEdit* other = Place<TEdit>(420, 300, 100, 22);
    Grid->SetOptions(Grid->Options() | goTabs);
    Grid->GridCombo()->Items()->SetText("a\r\nb");
    struct Case { TEditorType Type; const char* Text; bool StepUp; Exit How; const char* Expected; } cases[] = {
        {edSpinEdit, "250", false, Return, "250"},   {edSpinEdit, "250", false, Tab, "250"},
        {edSpinEdit, "250", false, ClickElsewhere, "250"}, {edSpinEdit, "250", false, FocusLoss, "250"},
        {edSpinEdit, "250", false, Escape, "250"},   {edSpinEdit, "250", true, Return, "100"},
        {edSpinEdit, "250", true, FocusLoss, "100"}, {edFloatSpinEdit, "1234,5", false, Return, "1234,5"},
        {edFloatSpinEdit, "1234,5", false, Tab, "1234,5"}, {edFloatSpinEdit, "1234,5", false, Escape, "1234,5"},
        {edFloatSpinEdit, "1234,5", false, FocusLoss, "1234,5"},
        {edFloatSpinEdit, "1 234,50", false, Return, "1 234,50"},
        {edDateSpinEdit, "", false, Return, ""},     {edDateSpinEdit, "", false, Tab, ""},
        {edComboList, "xyz", false, Escape, "xyz"},  {edComboList, "xyz", false, Return, "a"},
    };
    for (const Case& k : cases) {
        UseEditor(k.Type);
        TWinControl* e = Open(k.Text);
        ASSERT_NE(e, nullptr);
        if (k.StepUp)
            dynamic_cast<TGridSpin*>(e)->Button()->UpButton()->Click();
        switch (k.How) {
        case Return: Key(e, VK_RETURN); break;
        case Tab: Key(e, VK_TAB); break;
        case Escape: Key(e, VK_ESCAPE); break;
        case ClickElsewhere: {
            const TRect r = Grid->CellRect(3, 3);
            Click(Grid, r.Left + 5, r.Top + 5);
            break;
        }
        case FocusLoss: other->SetFocus(); break;
        }
        ProcessPendingMessages();
        EXPECT_EQ(Grid->Cells(2, 2), k.Expected) << k.Type << " " << k.Text << " exit " << k.How;
        Grid->EndCellEdit();
        Grid->SetFocus();
    }
}

// The combo's notifications reach the grid's events once each: a chosen item and typed
// text as a combo change (with the item's object), the close of a dropped list as the
// end of the edit with the chosen item; opening on item 0 by itself is a change too.
TEST_F(CellEditors, ComboChoicesAndTheCloseOfItsListFireTheGridsEventsOnce)
{
    std::vector<std::string> log;
    Grid->OnComboChange = [&](TObject*, int, int, int i, const AnsiString& s) {
        log.push_back("change " + std::to_string(i) + " " + s);
    };
    Grid->OnComboObjectChange = [&](TObject*, int, int, int i, const AnsiString&, TObject* o) {
        log.push_back("object " + std::to_string(i) + (o ? " set" : " none"));
    };
    Grid->OnComboCloseUp = [&](TObject*, int r, int c) { log.push_back("closeup " + std::to_string(c) + "," + std::to_string(r)); };
    Grid->OnEditChange = [&](TObject*, int, int, const AnsiString& s) { log.push_back("edit " + s); };
    TStrings* items = Grid->GridCombo()->Items();
    items->SetText("A\r\nB\r\nC");
    items->SetObjects(1, Grid);
    struct Step { Word Key; TShiftState Shift; const char* Text; };
    struct Case {
        TEditorType Type; const char* Cell; std::vector<Step> Steps; std::vector<std::string> Log; const char* Stored;
    } cases[] = {
        {edComboEdit, "", {{0, 0, "x"}, {VK_RETURN, 0, nullptr}}, {"change -1 x", "edit x"}, "x"},
        {edComboList, "zzz", {}, {"edit A", "change 0 A", "object 0 none"}, nullptr},
        {edComboList, "A", {{VK_DOWN, ssAlt, nullptr}, {VK_DOWN, 0, nullptr}, {VK_RETURN, 0, nullptr}},
         {"change 1 B", "object 1 set", "edit B", "closeup 2,2"}, "B"},
        {edComboList, "A", {{VK_DOWN, 0, nullptr}, {VK_RETURN, 0, nullptr}}, {"change 1 B", "object 1 set", "edit B"}, "B"},
    };
    for (const Case& k : cases) {
        log.clear();
        UseEditor(k.Type);
        TWinControl* c = Open(k.Cell);
        ASSERT_NE(c, nullptr);
        for (const Step& s : k.Steps) {
            if (s.Text)
                TypeText(c, s.Text);
            else
                Key(c, s.Key, s.Shift);
        }
        EXPECT_EQ(log, k.Log) << k.Type << " " << k.Cell;
        if (k.Stored) {
            EXPECT_EQ(Grid->Cells(2, 2), k.Stored);
        }
        Grid->EndCellEdit();
    }
    Grid->OnComboObjectChange = nullptr;
    Grid->OnComboCloseUp = nullptr;
    Grid->OnEditChange = nullptr;
}

// ---------------------------------------------------------------- the custom edit link
TEST_F(CellEditors, EditLinkPutsAControlOfItsOwnIntoTheCell)
{
    EditBoxLink* link = UseLink();
    TEditLink* given = nullptr;
    Grid->OnGetEditorProp = [&](TObject*, int, int, TEditLink* l) { given = l; };
    Open("przed");
    ASSERT_NE(link->Box, nullptr);
    EXPECT_EQ(given, link);
    EXPECT_EQ(Grid->ActiveEditor(), link->Box);
    EXPECT_EQ(link->Box->Text(), "przed");
    EXPECT_TRUE(link->Box->Focused());
    const TRect cell = Grid->CellRect(2, 2);
    EXPECT_EQ(link->Box->Left(), cell.Left);
    EXPECT_EQ(link->Box->Width(), cell.Right - cell.Left - Grid->GridLineWidth());
    // The grid's window hook: with goTabs the control wants all keys, Tab and the arrows.
    Grid->SetOptions(Grid->Options() | goTabs);
    EXPECT_EQ(link->Box->Perform(WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTARROWS));
    Grid->SetOptions(Grid->Options() & ~goTabs);
    EXPECT_FALSE(link->Box->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);

    // Home stays in the control; Return stores.
    TypeOver(link->Box, "po");
    Key(link->Box, VK_HOME);
    EXPECT_TRUE(link->Box->Visible());
    Key(link->Box, VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 2), "po");
    EXPECT_FALSE(link->Box->Visible());

    // A refused value shows the link again on the same cell.
    Grid->OnCellValidate = [](TObject*, int, int, AnsiString&, bool& Valid) { Valid = false; };
    Open("po");
    TypeText(link->Box, "x");
    Key(link->Box, VK_RETURN);
    EXPECT_TRUE(link->Box->Visible());
    EXPECT_EQ(Grid->Row(), 2);
    Grid->OnCellValidate = nullptr;
    // Escape puts the kept text back.
    link->Box->SetText("zmiana");
    Key(link->Box, VK_ESCAPE);
    EXPECT_EQ(Grid->Cells(2, 2), "po");
    // Closed by the application, the control gives the focus back to the grid, where F2 opens it again.
    for (bool byExit : {true, false}) {
        Open("po");
        byExit ? link->EditExit() : Grid->EndCellEdit();
        EXPECT_TRUE(Grid->Focused());
        Key(Grid, VK_F2);
        EXPECT_TRUE(link->Box->Visible());
        Key(link->Box, VK_ESCAPE);
    }
    // OnSetEditText hears the stored column, as from the built-in editors.
    Grid->HideColumn(1);
    std::vector<int> told;
    Grid->OnSetEditText = [&](TObject*, int ACol, int, const AnsiString&) { told.push_back(ACol); };
    Open("");
    Key(link->Box, VK_RETURN);
    EXPECT_EQ(told, std::vector<int>(std::max<std::size_t>(told.size(), 1), 3));
}

// Down and Up leave the link's control and move the cursor one row, as out of the built-in editors;
// Page Down only leaves it.
TEST_F(CellEditors, EditLinkLeftByAnArrowMovesOneRow)
{
    EditBoxLink* link = UseLink();
    struct Case { Word Key; int From, To; } cases[] = {{VK_DOWN, 2, 3}, {VK_UP, 3, 2}, {VK_NEXT, 2, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Key == VK_DOWN ? "Down" : c.Key == VK_UP ? "Up" : "Page Down");
        Edit(2, c.From);
        ASSERT_TRUE(link->Box->Focused());
        Key(link->Box, c.Key);
        EXPECT_EQ(Current(), TPoint(2, c.To));
        EXPECT_FALSE(link->Box->Visible());
    }
}

// The cell follows the typing in the spin and button editors as it follows the default edit's;
// Escape puts the cell's text back.
TEST_F(CellEditors, CellFollowsTypingInTheSpinAndButtonEditors)
{
    struct Case { TEditorType Type; AnsiString Before, Typed; } cases[] = {
        {edNormal, "7", "42"},         {edSpinEdit, "7", "42"},       {edFloatSpinEdit, "1,50", "2,25"},
        {edEditBtn, "x", "abc"},       {edNumericEditBtn, "1", "42"}, {edFloatEditBtn, "1", "4,5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Type));
        UseEditor(c.Type);
        for (Word end : {Word(VK_ESCAPE), Word(VK_RETURN)}) {
            Open(c.Before);
            TWinControl* e = Editor();
            ASSERT_NE(e, nullptr);
            static_cast<TCustomEdit*>(e)->SelectAll();
            TypeText(e, c.Typed);
            ProcessPendingMessages();
            EXPECT_EQ(Grid->Cells(2, 2), c.Typed);
            Key(e, end);
            EXPECT_FALSE(e->Visible());
            EXPECT_EQ(Grid->Cells(2, 2), end == VK_ESCAPE ? c.Before : c.Typed);
        }
    }
}

// Sizing a column or row moves the open editor with its cell and sizes it with the cell.
TEST_F(CellEditors, OpenEditorFollowsItsCellWhenColumnsAndRowsAreSized)
{
    const TEditorType types[] = {edNormal, edEditBtn, edComboEdit, edSpinEdit, edUniEdit, edButton};
    for (TEditorType t : types) {
        SCOPED_TRACE(int(t));
        Grid->SetColWidths(1, 90);
        Grid->SetColWidths(2, 90);
        Grid->SetRowHeights(1, Grid->DefaultRowHeight());
        UseEditor(t);
        Open("5");
        TWinControl* e = Editor();
        ASSERT_TRUE(e && e->Visible());
        auto offsets = [&] {
            const TRect c = Grid->CellRect(2, 2);
            return std::vector<int>{e->Left() - c.Left, e->Top() - c.Top, e->Width() - c.Width()};
        };
        const std::vector<int> shown = offsets();
        Grid->SetColWidths(1, 130);   // the cell moves right
        Grid->SetRowHeights(1, 40);   // and down
        Grid->SetColWidths(2, 150);   // and widens
        EXPECT_EQ(offsets(), shown);
        Grid->EndCellEdit();
    }
}

TEST_F(CellEditors, PopupEditLinkOpensAtTheCellOnItsOwnFormAndClosesWithTheEdit)
{
    ProcessPendingMessages();   // the window is active, as the user's is
    EditBoxLink* link = UseLink();
    link->SetEditStyle(esPopup);
    link->SetPopupWidth(150);
    link->SetPopupHeight(60);
    Open("w oknie");
    ASSERT_NE(link->PopupForm(), nullptr);
    EXPECT_EQ(link->PopupForm()->Owner(), link);
    const TPoint at = Grid->ClientToScreen(TPoint(Grid->CellRect(2, 2).Left, Grid->CellRect(2, 2).Top));
    EXPECT_EQ(link->PopupForm()->Left(), at.X);
    EXPECT_EQ(link->PopupForm()->Top(), at.Y);
    EXPECT_EQ(link->Box->Parent(), link->PopupForm());
    link->Box->SetText("nowe");
    Key(link->Box, VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 2), "nowe");
    EXPECT_FALSE(link->PopupForm()->Visible());
}

// ---------------------------------------------------------------- more of the spin edit
TEST_F(CellEditors, SpinKeysSignsSeparatorsAndALockedEditor)
{
    TPsgSpinEdit* s = Place<TPsgSpinEdit>(420, 10, 120, 22);
    s->SetFocus();
    // Up, Down and the page keys step; an integer page step is the same as a plain one.
    s->SetValue(10);
    s->SetIncrement(5);
    Key(s, VK_UP);
    Key(s, VK_PRIOR);
    EXPECT_EQ(s->Text(), "20");
    Key(s, VK_NEXT);
    Key(s, VK_DOWN);
    EXPECT_EQ(s->Text(), "10");
    // "-" with the existing one selected replaces it; elsewhere it is refused.
    s->SetText("-12");
    s->SetSelStart(0);
    s->SetSelLength(1);
    TypeText(s, "-");
    EXPECT_EQ(s->Text(), "-12");
    s->SetSelStart(3);
    TypeText(s, "-");
    EXPECT_EQ(s->Text(), "-12");
    // The time and date separators only in their own types.
    s->SetSpinType(sptFloat);
    s->SetText("1");
    s->SetSelStart(1);
    TypeText(s, ":.");
    EXPECT_EQ(s->Text(), "1");
    s->SetSpinType(sptTime);
    s->SetText("1");
    s->SetSelStart(1);
    TypeText(s, ":2:3:");
    EXPECT_EQ(s->Text(), "1:2:3");   // a third separator is refused
    // Read only: a step beeps and changes nothing; EditorEnabled off: no typing, no paste.
    s->SetSpinType(sptNormal);
    s->SetValue(4);
    s->SetReadOnly(true);
    const int beeps = MessageBeepCount();
    s->StepUp(false);
    EXPECT_EQ(s->Text(), "4");
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    s->SetReadOnly(false);
    s->SetEditorEnabled(false);
    s->SetSelStart(1);
    TypeText(s, "5");
    Clipboard()->SetAsText("77");
    s->Perform(WM_PASTE, 0, 0);
    EXPECT_EQ(s->Text(), "4");
    for (Word key : {Word('V'), Word('X')}) {   // nor by the keys
        s->SelectAll();
        TypeKey(s, key, ssCtrl);
        EXPECT_EQ(s->Text(), "4") << key;
    }
    s->StepUp(false);   // by the Increment of 5
    EXPECT_EQ(s->Text(), "9");
}

TEST_F(CellEditors, SpinMonthFirstDatesAndHorizontalButtons)
{
    TPsgSpinEdit* s = Place<TPsgSpinEdit>(420, 10, 120, 22);
    FormatSettings.ShortDateFormat = "mm/dd/yyyy";
    FormatSettings.DateSeparator = '/';
    s->SetSpinType(sptDate);
    s->SetDateValue(EncodeDate(2009, 1, 31));
    EXPECT_EQ(s->Text(), "01/31/2009");
    EXPECT_EQ(Step(s, 0, true), "02/28/2009");   // the month
    EXPECT_TRUE(s->DateOrderMonthFirst());
    EXPECT_EQ(Step(s, 4, true), "03/01/2009");   // the day
    EXPECT_EQ(Step(s, 9, false), "03/01/2008");   // the year

    // Horizontal: 20 wide, right arrow up, left arrow down, side by side.
    TPsgSpinButton* b = s->Button();
    s->SetDirection(spHorizontal);
    EXPECT_EQ(b->Width(), 20);
    EXPECT_EQ(b->UpButton()->ArrowKind(), 1);
    EXPECT_EQ(b->DownButton()->ArrowKind(), 0);
    EXPECT_LT(b->DownButton()->Left(), b->UpButton()->Left());
    // The spin control's keys: Up and Down click, Space clicks the focused button.
    s->SetSpinType(sptNormal);
    s->SetValue(1);
    b->SetTabStop(true);
    b->SetFocus();
    EXPECT_TRUE(b->UpButton()->FocusRectShown());
    Key(b, VK_UP);
    Key(b, VK_SPACE);
    EXPECT_EQ(s->Text(), "3");
    Key(b, VK_DOWN);
    EXPECT_EQ(s->Text(), "2");
    // The focus rectangle went with the key to the down button, and goes with the focus.
    EXPECT_TRUE(b->DownButton()->FocusRectShown());
    EXPECT_FALSE(b->UpButton()->FocusRectShown());
    s->SetFocus();
    EXPECT_FALSE(b->DownButton()->FocusRectShown());
}

// ---------------------------------------------------------------- more of the edit with a button
TEST_F(CellEditors, EditButtonClicksOnTheLeftReleaseAndF4WithoutCtrlOrAlt)
{
    TPsgEditBtn* e = Place<TPsgEditBtn>(420, 10, 120, 22);
    std::vector<TObject*> senders;
    e->OnClickBtn = [&](TObject* Sender) { senders.push_back(Sender); };
    TProSpeedButton* sb = e->Button()->SpeedButton();
    MouseDown(sb, 3, 3);
    EXPECT_TRUE(senders.empty());
    MouseUp(sb, 3, 3);
    Click(sb, 3, 3, mbRight);
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], e->Button());
    e->SetFocus();
    Key(e, VK_F4);
    Key(e, VK_F4, ssCtrl);
    Key(e, VK_F4, ssAlt);
    ASSERT_EQ(senders.size(), 2u);
    EXPECT_EQ(senders[1], e);
    // Locked for typing and paste, the button still works.
    e->SetEditorEnabled(false);
    e->SetText("stały");
    TypeText(e, "x");
    EXPECT_EQ(e->Text(), "stały");
    Click(sb, 3, 3);
    EXPECT_EQ(senders.size(), 3u);
    // Paste and cut, by message and by key, only while typing is allowed and the edit is not read-only.
    const struct { bool Typing, ReadOnly; Cardinal Msg; Word K; TShiftState Shift; AnsiString Text; } ways[] = {
        {false, false, WM_PASTE, 0, 0, "stały"},  {false, false, 0, 'V', ssCtrl, "stały"},
        {false, false, 0, VK_INSERT, ssShift, "stały"}, {false, false, WM_CUT, 0, 0, "stały"},
        {false, false, 0, 'X', ssCtrl, "stały"},  {false, false, 0, VK_DELETE, ssShift, "stały"},
        {true, true, 0, 'V', ssCtrl, "stały"},    {true, true, WM_CUT, 0, 0, "stały"},
        {true, false, WM_PASTE, 0, 0, "wklejony"}, {true, false, 0, 'V', ssCtrl, "wklejony"},
        {true, false, 0, VK_INSERT, ssShift, "wklejony"}, {true, false, WM_CUT, 0, 0, ""},
        {true, false, 0, 'X', ssCtrl, ""},        {true, false, 0, VK_DELETE, ssShift, ""},
    };
    for (const auto& w : ways) {
        e->SetEditorEnabled(w.Typing);
        e->SetReadOnly(w.ReadOnly);
        e->SetText("stały");
        e->SelectAll();
        Clipboard()->SetAsText("wklejony");
        if (w.Msg)
            e->Perform(w.Msg, 0, 0);
        else
            Key(e, w.K, w.Shift);
        EXPECT_EQ(e->Text(), w.Text) << "typing " << w.Typing << ", read-only " << w.ReadOnly << ", message "
                                     << w.Msg << ", key " << w.K;
    }
}

// The flat combo's button: a raised edge drawn over the frame, to the bottom and into the right
// frame, beside the field in the combo's colour (the window colour by default).
TEST_F(CellEditors, FlatComboDrawsARaisedButtonOverItsFrame)
{
    Form->SetColor(clAqua);
    TPSGComboBox* c = Place<TPSGComboBox>(420, 10, 120, 22);
    c->SetText("tekst");
    ProcessPendingMessages();
    auto shot = GrabControl(c);
    const int w = c->ClientWidth(), h = c->ClientHeight(), left = w - c->ButtonWidth() - 2;
    const struct { int X, Y; TColor Colour; } pixels[] = {
        {left - 2, h / 2, clWindow},     {left, h / 2, cl3DLight},       {left + 1, h / 2, clBtnHighlight},
        {w - 3, h / 2, clBtnShadow},     {w - 2, h / 2, cl3DDkShadow},   {w - 1, h / 2, clAqua},
        {left + 5, 2, cl3DLight},        {left + 5, h - 2, clBtnShadow}, {left + 5, h - 1, cl3DDkShadow},
    };
    for (const auto& p : pixels)
        EXPECT_EQ(ColorToRGB(shot->Canvas()->Pixels(p.X, p.Y)), ColorToRGB(p.Colour)) << p.X << ", " << p.Y;
}

// The button's caption is drawn in the button's font, its colour too; a disabled button greys it.
TEST_F(CellEditors, EditButtonCaptionTakesItsFontColour)
{
    TPsgEditBtn* e = Place<TPsgEditBtn>(420, 10, 150, 24);
    e->SetButtonWidth(50);
    e->SetButtonCaption("WWW");
    e->Font()->SetColor(clRed);
    e->Font()->SetStyle(fsBold);
    TProSpeedButton* sb = e->Button()->SpeedButton();
    const TColor grey = ColorToRGB(clGrayText);
    auto near = [](TColor P, TColor C) {
        return std::abs(GetRValue(P) - GetRValue(C)) < 40 && std::abs(GetGValue(P) - GetGValue(C)) < 40 &&
               std::abs(GetBValue(P) - GetBValue(C)) < 40;
    };
    const struct { bool Enabled; TColor Ink, Not; } cases[] = {{true, clRed, clBlack}, {false, grey, clRed}};
    for (const auto& c : cases) {
        sb->SetEnabled(c.Enabled);
        if (c.Enabled)
            SaveScreenshot(Form, "edit_button_red_caption.png");
        auto shot = GrabControl(sb);
        const TRect all(3, 3, sb->Width() - 3, sb->Height() - 3);   // inside the button's edges
        const TRect ink = InkBox(shot.get(), all, [&](TColor p) { return near(p, c.Ink); });
        EXPECT_GE(ink.Width(), 15) << "enabled " << c.Enabled;
        EXPECT_LT(InkBox(shot.get(), all, [&](TColor p) { return near(p, c.Not); }).Left, 0) << "enabled " << c.Enabled;
    }
}

TEST_F(CellEditors, UnitSpaceMovesTheEditRectangle)
{
    TPsgUnitEditBtn* u = Place<TPsgUnitEditBtn>(420, 10, 140, 22);
    u->HandleNeeded();
    EXPECT_EQ(u->UnitSpace(), 20);
    const int with = u->EditRect().Right;
    u->SetUnitSpace(0);
    EXPECT_EQ(u->EditRect().Right - with, 23);
    EXPECT_EQ(u->EditRect().Right, u->ClientWidth() - u->ButtonWidth() - 3);
    // A unit from the popup list leaves the text alone.
    u->Units()->SetText("g\r\nkg\r\nt");
    u->SetText("5");
    TPopupMenuHook old = SetPopupMenuHook([](TPopupMenu* Menu, int, int) { Menu->Items()->Items(2)->Click(); });
    u->ClickButton(u);
    SetPopupMenuHook(old);
    EXPECT_EQ(u->UnitID(), "t");
    EXPECT_EQ(u->Text(), "5");
}

TEST_F(CellEditors, EditButtonLeaveKeysConcludeAndMove)
{
    UseEditor(edEditBtn);
    // Home and End stay in the edit.
    auto* e = dynamic_cast<TGridEditBtn*>(Open("abc"));
    Key(e, VK_HOME);
    Key(e, VK_END);
    EXPECT_TRUE(e->Visible());
    // Return without AdvanceOnEnter concludes and leaves on the same cell.
    TypeOver(e, "n1");
    Key(e, VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 2), "n1");
    EXPECT_FALSE(e->Visible());
    EXPECT_EQ(Grid->Row(), 2);
    // With AdvanceOnEnter the next cell is current and its editor open.
    Grid->Navigation()->SetAdvanceOnEnter(true);
    e = dynamic_cast<TGridEditBtn*>(Open("n1"));
    TypeOver(e, "n2");
    Key(e, VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 2), "n2");
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_TRUE(e->Visible());
    Grid->EndCellEdit();
    Grid->Navigation()->SetAdvanceOnEnter(false);
    // A refused value keeps the editor open with the cell's text; Escape gives the text back.
    Grid->OnCellValidate = [](TObject*, int, int, AnsiString&, bool& Valid) { Valid = false; };
    e = dynamic_cast<TGridEditBtn*>(Open("stare"));
    TypeOver(e, "złe");
    Key(e, VK_DOWN);
    EXPECT_TRUE(e->Visible());
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(e->Text(), "stare");
    EXPECT_EQ(Grid->Row(), 2);
    Grid->OnCellValidate = nullptr;
    TypeText(e, "x");
    Key(e, VK_ESCAPE);
    EXPECT_EQ(Grid->Cells(2, 2), "stare");
    // Tab with goTabs concludes and goes to the next cell.
    Grid->SetOptions(Grid->Options() | goTabs);
    e = dynamic_cast<TGridEditBtn*>(Open("t"));
    TypeOver(e, "tab");
    Key(e, VK_TAB);
    EXPECT_EQ(Grid->Cells(2, 2), "tab");
    EXPECT_EQ(Grid->Col(), 3);
}

TEST_F(CellEditors, ComboEndLeavesWithTheListClosed)
{
    Grid->GridCombo()->Items()->SetText("a\r\nb");
    UseEditor(edComboEdit);
    auto* c = dynamic_cast<TGridCombo*>(Open("a"));
    TypeOver(c, "zz");
    Key(c, VK_END);
    EXPECT_FALSE(c->Visible());
    EXPECT_EQ(Grid->Cells(2, 2), "zz");
}

TEST_F(CellEditors, CheckBoxAndButtonEditors)
{
    UseEditor(edCheckBox);
    Open("pole");
    TGridCheckBox* b = Grid->GridCheckBox();
    EXPECT_FALSE(b->Checked());
    Click(b, 5, 5);
    EXPECT_TRUE(b->Checked());   // one press, one toggle
    Key(b, VK_SPACE);
    EXPECT_FALSE(b->Checked());
    Key(b, VK_DOWN);
    EXPECT_FALSE(b->Visible());
    EXPECT_EQ(Grid->Row(), 3);
    EXPECT_EQ(Grid->Cells(2, 2), "pole");

    UseEditor(edButton);
    TWinControl* button = Open("przycisk");
    Key(button, VK_RIGHT);
    EXPECT_FALSE(button->Visible());
    EXPECT_EQ(Grid->Col(), 3);
    Edit(2, 2);
    Key(button, VK_ESCAPE);
    EXPECT_EQ(Grid->Cells(2, 2), "przycisk");
    EXPECT_FALSE(button->Visible());
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->Col(), 2);
}

// ---------------------------------------------------------------- more of the Unicode controls
TEST_F(CellEditors, UnicodeEditKeepsWideTextAndShows255ToByteHandlers)
{
    auto* e = new TPsgUniEdit(Form);
    e->SetWideText(u"\u03A9 przed oknem");
    e->SetParent(Form);
    e->SetBounds(420, 10, 120, 22);
    EXPECT_EQ(e->WideText(), u"\u03A9 przed oknem");
    std::vector<int> seen;
    e->OnKeyPress = [&](TObject*, char& K) { seen.push_back(Byte(K)); };
    e->SetFocus();
    e->SetText("");
    TypeWideText(e, u"a\u03BB");
    EXPECT_EQ(e->WideText(), u"a\u03BB");
    EXPECT_EQ(seen, (std::vector<int>{'a', 255}));
    // An input method's result arrives a character at a time; an edit locked for typing takes none.
    CommitInputMethodText(e, u"b\u03BC");
    EXPECT_EQ(e->WideText(), u"a\u03BBb\u03BC");
    EXPECT_EQ(seen, (std::vector<int>{'a', 255, 'b', 255}));
    TPsgUniEditBtn* locked = Place<TPsgUniEditBtn>(420, 70, 120, 22);
    locked->SetEditorEnabled(false);
    locked->SetFocus();
    CommitInputMethodText(locked, u"\u03BC");
    EXPECT_EQ(locked->WideText(), u"");

    // Assigning between wide and 8-bit lists converts each line and keeps the objects.
    TPSGUniComboBox* c = Place<TPSGUniComboBox>(420, 40, 120, 22);
    TStringList narrow;
    narrow.AddObject("jeden", reinterpret_cast<TObject*>(&narrow));
    narrow.Add("dwa");
    c->WideItems()->Assign(&narrow);
    EXPECT_EQ(c->WideItems()->Get(0), u"jeden");
    EXPECT_EQ(c->WideItems()->GetObject(0), reinterpret_cast<TObject*>(&narrow));
    c->WideItems()->Add(u"\u0144\u03C9");
    TStringList back;
    back.Assign(c->WideItems());
    EXPECT_EQ(back.Text(), "jeden\r\ndwa\r\nń?\r\n");
    c->WideItems()->Exchange(0, 2);
    EXPECT_EQ(c->WideItems()->Get(0), u"\u0144\u03C9");
    EXPECT_EQ(c->WideItems()->GetObject(2), reinterpret_cast<TObject*>(&narrow));
}

// A wide text that differs is set and notified, the window showing it, even where the 8-bit forms
// are alike ("α" and "β" are both "?"); the same text again is not notified.
TEST_F(CellEditors, UnicodeControlsNotifyEveryChangeOfTheirWideText)
{
    TWinControl* controls[] = {Place<TPsgUniEdit>(420, 10, 120, 22), Place<TPsgUniMemo>(420, 40, 120, 60),
                               Place<TPsgUniEditBtn>(420, 110, 120, 22), Place<TPSGUniComboBox>(420, 140, 120, 22)};
    int changes = 0;
    static_cast<TPsgUniEdit*>(controls[0])->OnChange = [&](TObject*) { ++changes; };
    for (TWinControl* c : controls) {
        std::vector<WideString> seen;
        const int hook = c->AddMessageHook([&](TMessage& M) {
            if (M.Msg == CM_TEXTCHANGED)
                seen.push_back(GetWideText(c));
            return false;
        });
        for (const WideString& t : {WideString(u"\u03B1"), WideString(u"\u03B2"), WideString(u"\u03B2")})
            SetWideText(c, t);
        c->RemoveMessageHook(hook);
        EXPECT_EQ(seen, (std::vector<WideString>{u"\u03B1", u"\u03B2"})) << c->ClassName();
    }
    EXPECT_EQ(changes, 2);
}

TEST_F(CellEditors, EditLinkShiftReturnGoesBackAndHomeStays)
{
    EditBoxLink* link = UseLink();
    Grid->Navigation()->SetAdvanceOnEnter(true);
    Open("a");
    Key(link->Box, VK_HOME);
    EXPECT_TRUE(link->Box->Visible());
    Key(link->Box, VK_RETURN, ssShift);
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(Grid->Row(), 2);
    Grid->EndCellEdit();
    Grid->Navigation()->SetAdvanceOnEnter(false);
}

// The keys an editor's control takes reach the grid only as the editor hands them on: a key no
// editor uses fires the grid's OnKeyDown once; the keys a link keeps are its own (the grid does
// not move), and with goTabs Return ends the link's edit though the form has a default button.
TEST_F(CellEditors, KeysOfAnEditorReachTheGridOnlyThroughTheEditor)
{
    int gridKeys = 0;
    Grid->OnKeyDown = [&](TObject*, Word& K, TShiftState) { gridKeys += K == VK_F5; };
    for (TEditorType t : {edEditBtn, edSpinEdit, edComboEdit, edUniEdit}) {
        UseEditor(t);
        Open("1");
        gridKeys = 0;
        Key(Editor(), VK_F5);
        EXPECT_EQ(gridKeys, 1) << int(t);
        Grid->EndCellEdit();
    }
    Grid->OnKeyDown = nullptr;
    EditBoxLink* link = UseLink();
    link->SetWantKeyUpDown(true);
    link->SetWantKeyPriorNext(true);
    for (Word k : {Word(VK_UP), Word(VK_DOWN), Word(VK_PRIOR), Word(VK_NEXT)}) {
        Grid->SetFocus();
        Open("k");
        Key(link->Box, k);
        EXPECT_TRUE(link->Box->Visible()) << k;
        EXPECT_EQ(Current(), TPoint(2, 2)) << k;
        Grid->EndCellEdit();
    }
    auto* ok = Place<TButton>(420, 200, 60, 22);
    ok->SetDefault(true);
    bool clicked = false;
    ok->OnClick = [&](TObject*) { clicked = true; };
    Grid->SetOptions(Grid->Options() | goTabs);
    Grid->SetFocus();
    Open("k");
    link->Box->SetText("nowy");
    Key(link->Box, VK_RETURN);
    EXPECT_FALSE(clicked);
    EXPECT_EQ(Grid->Cells(2, 2), "nowy");
}

// The cursor walk of the edit with a button goes on to the next row from the last column and to
// the previous row from the first; the Unicode edits put the caret at the end unless EditSelectAll.
TEST_F(CellEditors, CursorWalkWrapsAndUnicodeEditsPutTheCaretAtTheEnd)
{
    Grid->Navigation()->SetCursorWalkEditor(true);
    struct Walk { TEditorType Type; Word Key; TPoint From, To; } walks[] = {
        {edEditBtn, VK_RIGHT, {4, 2}, {1, 3}}, {edEditBtn, VK_LEFT, {1, 3}, {4, 2}},
        {edNormal, VK_RIGHT, {4, 2}, {1, 3}}, {edNormal, VK_LEFT, {1, 3}, {4, 2}}};
    for (const Walk& w : walks) {
        UseEditor(w.Type);
        Open("ab", w.From.X, w.From.Y);
        auto* e = static_cast<TCustomEdit*>(Editor());
        e->SetSelStart(w.Key == VK_RIGHT ? 2 : 0);
        Key(e, w.Key);
        EXPECT_EQ(Current(), w.To) << w.Key;
        Grid->EndCellEdit();
    }
    Grid->Navigation()->SetEditSelectAll(false);
    for (TEditorType t : {edUniEdit, edUniEditBtn}) {
        UseEditor(t);
        OpenByUser("abc", false);
        auto* e = static_cast<TCustomEdit*>(Grid->ActiveEditor());
        EXPECT_EQ(e->SelStart(), 3) << int(t);
        EXPECT_EQ(e->SelLength(), 0) << int(t);
        Grid->EndCellEdit();
    }
}

}  // namespace
