#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/SysUtils.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Spin.h"
#include "platform/gui/TestSupport.h"

namespace {
struct ComForm : ::testing::Test {
    TForm* Form = nullptr;
    void SetUp() override
    {
        ResetFormatSettings();
        Form = new TForm(Application);
        Form->SetBounds(10, 10, 500, 400);
        Form->Show();
    }
    void TearDown() override { delete Form; }
};

TTabSheet* NewSheet(TPageControl* pc, const AnsiString& caption)
{
    auto* s = new TTabSheet(pc->Owner());
    s->SetPageControl(pc);
    s->SetCaption(caption);
    return s;
}
}  // namespace

TEST_F(ComForm, PageControlShowsOnePageAndTheUserCanBeRefused)
{
    auto* pc = new TPageControl(Form);
    pc->SetParent(Form);
    pc->SetBounds(0, 0, 300, 200);
    TTabSheet* a = NewSheet(pc, "&Ogólne");
    TTabSheet* b = NewSheet(pc, "Wydruk");
    TTabSheet* c = NewSheet(pc, "Inne");
    EXPECT_EQ(pc->PageCount(), 3);
    EXPECT_EQ(pc->ActivePage(), a) << "the first page shows at once";
    EXPECT_EQ(pc->Pages(2), c);
    EXPECT_THROW(pc->Pages(3), EListError);

    std::vector<AnsiString> events;
    bool allow = false;
    pc->OnChanging = [&](TObject*, bool& ok) { events.push_back("changing"); ok = allow; };
    pc->OnChange = [&](TObject*) { events.push_back("change"); };
    // From code: quiet.
    pc->SetActivePageIndex(1);
    EXPECT_EQ(pc->ActivePage(), b);
    EXPECT_TRUE(b->Visible());
    EXPECT_FALSE(a->Visible());
    EXPECT_TRUE(events.empty());
    // The user: refused, then allowed.
    pc->SelectNextPage(true);
    EXPECT_EQ(pc->ActivePage(), b);
    EXPECT_EQ(events, (std::vector<AnsiString>{"changing"}));
    allow = true;
    pc->SelectNextPage(true);
    EXPECT_EQ(pc->ActivePage(), c);
    EXPECT_EQ(events, (std::vector<AnsiString>{"changing", "changing", "change"}));
    // Through the tab bar: the first tab is left of the middle at the top.
    events.clear();
    allow = false;
    Click(pc, 12, 8);
    EXPECT_EQ(pc->ActivePage(), c);
    allow = true;
    Click(pc, 12, 8);
    EXPECT_EQ(pc->ActivePage(), a);
    EXPECT_EQ(events, (std::vector<AnsiString>{"changing", "changing", "change"}));
    // Sheets fill the display area.
    TRect d = pc->DisplayRect();
    EXPECT_EQ(a->BoundsRect(), d);
    EXPECT_GT(d.Top, 10);

    // A hidden tab hands the page on; a freed page leaves the list.
    a->SetTabVisible(false);
    EXPECT_EQ(pc->ActivePage(), b);
    EXPECT_EQ(a->TabIndex(), -1);
    EXPECT_EQ(b->TabIndex(), 0);
    delete b;
    EXPECT_EQ(pc->PageCount(), 2);
    EXPECT_EQ(pc->ActivePage(), c);
    c->SetPageIndex(0);
    EXPECT_EQ(pc->Pages(0), c);
    EXPECT_EQ(pc->ActivePageIndex(), 0);
}

TEST_F(ComForm, ProgressBarKeepsItsPositionInRange)
{
    auto* p = new TProgressBar(Form);
    p->SetParent(Form);
    struct Case { int Min, Max, Start, Step; int SetTo, AfterSet, AfterStepIt; } cases[] = {
        {0, 100, 0, 10, 150, 100, 10},    // past Max: clamped; StepIt starts over
        {0, 100, 0, 10, -5, 0, 10},
        {10, 20, 10, 3, 19, 19, 12},      // 22 wraps to 12
        {0, 100, 0, 10, 90, 90, 100},     // reaching Max exactly stays
    };
    for (const Case& c : cases) {
        p->SetMin(c.Min);
        p->SetMax(c.Max);
        p->SetStep(c.Step);
        p->SetPosition(c.SetTo);
        EXPECT_EQ(p->Position(), c.AfterSet) << c.SetTo;
        p->StepIt();
        EXPECT_EQ(p->Position(), c.AfterStepIt) << c.SetTo;
    }
    p->SetMin(0);
    p->SetMax(50);
    p->SetPosition(45);
    p->StepBy(20);
    EXPECT_EQ(p->Position(), 50);
    p->SetMax(30);
    EXPECT_EQ(p->Position(), 30);
}

TEST_F(ComForm, DatePickerKeepsDateTimeThroughTheWidgetAndReportsOnlyTheUser)
{
    auto* d = new TDateTimePicker(Form);
    d->SetParent(Form);
    d->SetBounds(10, 10, 150, 22);
    int changes = 0;
    d->OnChange = [&](TObject*) { ++changes; };
    TDateTime v = EncodeDate(2026, 12, 31) + EncodeTime(13, 45, 30, 0);
    d->SetDateTime(v);
    EXPECT_DOUBLE_EQ(d->DateTime(), v);
    EXPECT_EQ(d->Text(), "31.12.2026");
    EXPECT_DOUBLE_EQ(d->Date(), EncodeDate(2026, 12, 31));
    EXPECT_NEAR(d->Time(), EncodeTime(13, 45, 30, 0), 1e-9);
    EXPECT_EQ(changes, 0);
    // The user steps the day up: the day field starts again, the time of day stays.
    d->SetFocus();
    TypeKey(d, VK_UP);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(DateToStr(d->Date()), "01.12.2026");
    EXPECT_NEAR(d->Time(), EncodeTime(13, 45, 30, 0), 1e-6);
    // The time kind edits only the time.
    d->SetKind(dtkTime);
    EXPECT_EQ(d->Text(), "13:45:30");
    d->SetTime(EncodeTime(8, 5, 0, 0));
    EXPECT_EQ(DateToStr(d->Date()), "01.12.2026");
    EXPECT_EQ(d->Text(), "08:05:00");
    EXPECT_EQ(changes, 1);
    // Limits.
    d->SetKind(dtkDate);
    d->SetMaxDate(EncodeDate(2027, 6, 30));
    EXPECT_THROW(d->SetDate(EncodeDate(2027, 7, 1)), EDateTimeError);
    EXPECT_THROW(d->SetMinDate(EncodeDate(2028, 1, 1)), EDateTimeError);
    EXPECT_EQ(DateToStr(d->Date()), "01.12.2026");
    d->SetDateFormat(dfLong);
    EXPECT_EQ(d->Text(), FormatDateTime(FormatSettings.LongDateFormat, d->DateTime()));
}

// The mouse over the picker's text is the program's: presses, moves and clicks at points of the
// picker, in both kinds.
TEST_F(ComForm, DatePickerTellsTheMouseOverItsText)
{
    auto* d = new TDateTimePicker(Form);
    d->SetParent(Form);
    d->SetBounds(10, 10, 150, 22);
    std::vector<std::string> log;
    d->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int Y) {
        log.push_back("down " + std::to_string(X) + "," + std::to_string(Y));
    };
    d->OnMouseMove = [&](TObject*, TShiftState, int X, int) { log.push_back("move " + std::to_string(X)); };
    d->OnClick = [&](TObject*) { log.push_back("click"); };
    d->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("up"); };
    for (TDateTimeKind kind : {dtkDate, dtkTime}) {
        d->SetKind(kind);
        log.clear();
        AdvanceInputClock(1000);
        MouseMove(d, 20, 11);
        Click(d, 30, 11);
        EXPECT_EQ(log, (std::vector<std::string>{"move 20", "down 30,11", "click", "up"})) << kind;
    }
}

TEST_F(ComForm, DatePickerCheckBoxGreysTheValue)
{
    auto* d = new TDateTimePicker(Form);
    d->SetParent(Form);
    d->SetShowCheckbox(true);
    d->SetChecked(false);
    EXPECT_FALSE(d->Checked());
    d->SetDate(EncodeDate(2026, 12, 31));
    d->SetChecked(true);
    EXPECT_EQ(d->Text(), "31.12.2026");
}

TEST_F(ComForm, SpinEditClampsAndStepsByIncrement)
{
    auto* s = new TSpinEdit(Form);
    s->SetParent(Form);
    std::vector<int> seen;
    s->OnChange = [&](TObject*) { seen.push_back(s->Value()); };
    struct Case { int Min, Max, Set, Expected; } cases[] = {
        {0, 100, 150, 100},
        {0, 100, -3, 0},
        {0, 0, -3000, -3000},      // equal limits: none
        {5, 5, 99, 99},
        {-10, 10, 7, 7},
    };
    for (const Case& c : cases) {
        s->SetMinValue(c.Min);
        s->SetMaxValue(c.Max);
        s->SetValue(c.Set);
        EXPECT_EQ(s->Value(), c.Expected) << c.Set;
        EXPECT_EQ(s->Text(), IntToStr(c.Expected));
    }
    s->SetMinValue(0);
    s->SetMaxValue(20);
    s->SetIncrement(5);
    s->SetValue(12);
    seen.clear();
    s->SetFocus();
    TypeKey(s, VK_UP);
    EXPECT_EQ(s->Value(), 17);
    TypeKey(s, VK_UP);
    EXPECT_EQ(s->Value(), 20) << "kept at MaxValue";
    TypeKey(s, VK_DOWN);
    EXPECT_EQ(s->Value(), 15);
    EXPECT_EQ(seen, (std::vector<int>{17, 20, 15}));
    // Typed text that is no number reads as MinValue.
    s->SetText("");
    EXPECT_EQ(s->Value(), 0);
    s->SetEditorEnabled(false);
    s->SetValue(3);
    TypeText(s, "9");
    EXPECT_EQ(s->Value(), 3);
}
