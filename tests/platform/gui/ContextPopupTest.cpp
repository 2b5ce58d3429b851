#include <gtest/gtest.h>

#include <vector>

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestSupport.h"

namespace {
// A control that paints itself and knows nothing of menus.
class TDrawnBox : public TCustomControl {
public:
    explicit TDrawnBox(TComponent* AOwner) : TCustomControl(AOwner) {}
};

struct PopupForm : ::testing::Test {
    TForm* Form = nullptr;
    TPanel* Panel = nullptr;
    TDrawnBox* Box = nullptr;
    TMemo* Memo = nullptr;
    std::vector<std::pair<TPopupMenu*, TComponent*>> Shown;
    TPopupMenuHook Old;
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(10, 10, 400, 300);
        Panel = new TPanel(Form);
        Panel->SetParent(Form);
        Panel->SetBounds(0, 0, 300, 200);
        Box = new TDrawnBox(Form);
        Box->SetParent(Panel);
        Box->SetBounds(10, 10, 100, 80);
        Memo = new TMemo(Form);
        Memo->SetParent(Panel);
        Memo->SetBounds(120, 10, 150, 100);
        Form->Show();
        Old = SetPopupMenuHook([this](TPopupMenu* m, int, int) { Shown.push_back({m, m->PopupComponent()}); });
    }
    void TearDown() override { SetPopupMenuHook(Old); delete Form; }
};
}  // namespace

TEST_F(PopupForm, RightClickPopsUpTheNearestPopupMenuUpTheParents)
{
    auto* own = new TPopupMenu(Form);
    auto* panels = new TPopupMenu(Form);
    Panel->SetPopupMenu(panels);
    struct Case { TControl* Control; TPopupMenu* BoxMenu; TPopupMenu* Expected; } cases[] = {
        {Box, own, own},          // the control's own menu
        {Box, nullptr, panels},   // none: the parent's
        {Memo, nullptr, panels},  // a standard control too
    };
    for (const Case& c : cases) {
        Shown.clear();
        Box->SetPopupMenu(c.BoxMenu);
        Click(c.Control, 20, 20, mbRight);
        ASSERT_EQ(Shown.size(), 1u) << c.Control->ClassName();
        EXPECT_EQ(Shown[0].first, c.Expected);
    }
    // Only the release asks for the menu; OnContextPopup may take it.
    Shown.clear();
    Box->SetPopupMenu(own);
    MouseDown(Box, 5, 5, mbRight);
    EXPECT_TRUE(Shown.empty());
    MouseUp(Box, 5, 5, mbRight);
    EXPECT_EQ(Shown.size(), 1u);
    TPoint at(-1, -1);
    Box->OnContextPopup = [&](TObject*, TPoint p, bool& handled) { at = p; handled = true; };
    Click(Box, 7, 9, mbRight);
    EXPECT_EQ(Shown.size(), 1u);
    EXPECT_EQ(at, TPoint(7, 9));
}

TEST_F(PopupForm, AMenuOfAnotherWindowFreedIsForgotten)
{
    auto* other = new TForm(Application);
    Box->SetPopupMenu(new TPopupMenu(other));
    delete other;
    EXPECT_EQ(Box->PopupMenu(), nullptr);
    Click(Box, 20, 20, mbRight);
    EXPECT_TRUE(Shown.empty());
}

TEST_F(PopupForm, RightClickWithoutAnyMenuDoesNothing)
{
    Click(Box, 20, 20, mbRight);
    Click(Memo, 20, 20, mbRight);
    EXPECT_TRUE(Shown.empty());
}

TEST_F(PopupForm, ClickOnTheThirdListItemReachesTheListsView)
{
    auto* list = new TListBox(Form);
    list->SetParent(Form);
    list->SetBounds(10, 210, 200, 80);
    list->Items()->SetCommaText("jeden,dwa,trzy,cztery");
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    TRect r = list->ItemRect(2);
    ASSERT_FALSE(r.Width() == 0);
    Click(list, r.Left + 5, r.Top + r.Height() / 2);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(clicks, 1);
}
