#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"

namespace {
// Records the presses that reach MouseDown, with their shift state.
class TPressList : public TListBox {
public:
    using TListBox::TListBox;
    std::vector<TShiftState> Presses;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        TListBox::MouseDown(Button, Shift, X, Y);
        if (Button == mbLeft)
            Presses.push_back(Shift & ssDouble);
    }
};

struct ListForm : TFormTest {
    TPressList* List = nullptr;
    void SetUp() override
    {
        MakeForm(300, 200);
        List = Place<TPressList>(10, 10, 150, 150);
        List->Items()->SetCommaText("a,b,c");
        Form->Show();
        AdvanceInputClock(2000);
    }
};
}  // namespace

TEST_F(ListForm, PressesReachMouseDownOnceEachAndOnlyTheSecondOfADoubleClickIsDouble)
{
    struct Case {
        const char* Name;
        TPoint At;   // on an item, or below the last one
    } cases[] = {{"on an item", TPoint(20, 5)}, {"below the items", TPoint(20, 120)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        List->Presses.clear();
        int dbl = 0;
        List->OnDblClick = [&](TObject*) { ++dbl; };
        Click(List, c.At.X, c.At.Y);
        EXPECT_EQ(List->Presses, (std::vector<TShiftState>{0}));
        EXPECT_EQ(dbl, 0);
        AdvanceInputClock(2000);
        List->Presses.clear();
        DoubleClick(List, c.At.X, c.At.Y);
        EXPECT_EQ(List->Presses, (std::vector<TShiftState>{0, ssDouble}));
        EXPECT_EQ(dbl, 1);
        AdvanceInputClock(2000);
    }
}

TEST_F(ListForm, HorizontalExtentGivesAScrollRangeAndKeepsTheSelection)
{
    List->SetItemIndex(1);
    auto bottomRow = [&] {
        std::unique_ptr<TBitmap> b = GrabControl(List);
        std::vector<TColor> row;
        for (int x = 5; x < b->Width() - 20; x += 5)
            row.push_back(b->Canvas()->Pixels(x, b->Height() - 6));
        return row;
    };
    const std::vector<TColor> plain = bottomRow();
    struct Step { int Extent; bool Bar; } steps[] = {{500, true}, {100, false}, {0, false}, {600, true}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.Extent);
        List->SetHorizontalExtent(s.Extent);
        EXPECT_EQ(List->HorizontalExtent(), s.Extent);
        EXPECT_EQ(bottomRow() != plain, s.Bar);
        EXPECT_EQ(List->ItemIndex(), 1);
    }
    List->SetHorizontalExtent(-5);
    EXPECT_EQ(List->HorizontalExtent(), 0);
}

TEST_F(ListForm, EveryClickOnAnItemTellsTheChoiceOnceAsDoTheKeys)
{
    int clicks = 0;
    List->OnClick = [&](TObject*) { ++clicks; };
    auto middle = [&](int Row) {
        const TRect r = List->ItemRect(Row);
        return TPoint(r.Left + 10, (r.Top + r.Bottom) / 2);
    };
    struct Step { const char* Name; std::function<void()> Do; int Clicks; int Index; } steps[] = {
        {"click on b", [&] { Click(List, middle(1).X, middle(1).Y); }, 1, 1},
        {"click on b again", [&] { Click(List, middle(1).X, middle(1).Y); }, 1, 1},
        {"double click on b", [&] { DoubleClick(List, middle(1).X, middle(1).Y); }, 1, 1},
        {"click below the items", [&] { Click(List, 20, 120); }, 0, 1},
        {"Down", [&] { KeyDown(List, VK_DOWN); }, 1, 2},
        {"double click on a", [&] { DoubleClick(List, middle(0).X, middle(0).Y); }, 1, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.Name);
        clicks = 0;
        s.Do();
        EXPECT_EQ(clicks, s.Clicks);
        EXPECT_EQ(List->ItemIndex(), s.Index);
        AdvanceInputClock(2000);
    }
}
