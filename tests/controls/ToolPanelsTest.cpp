#include <gtest/gtest.h>

#include "tests/common/Screenshots.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>

#include "controls/ToolPanels.h"
#include "platform/core/IniFiles.h"
#include "platform/core/Registry.h"
#include "platform/gui/Forms.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/ToolStripTest.h"

namespace {

// A form with a left strip; slides step without waiting and record the panel's edge.
struct StripFixture : TToolStripTest {
    std::vector<int> steps;
    TProToolPanel* watched = nullptr;

    void SetUp() override
    {
        MakeStrip();
        strip->SetTabWidth(20);
        form->Show();
        TProToolPanelTab::SlideWait = [this](TProToolPanelTab*, int) {
            if (watched)
                steps.push_back(watched->Left());
        };
    }
    // Middle of tab Index along the strip (client coordinates of the strip).
    TPoint TabPoint(int Index)
    {
        for (int y = 0; y < strip->Height(); ++y)
            if (strip->TabAtPos(strip->Width() - 5, y) == Index)
                return TPoint(strip->Width() - 5, y + 8);
        return TPoint(-1, -1);
    }
    void CursorAt(TControl* c, TPoint p)
    {
        TPoint s = c->ClientToScreen(p);
        SetCursorPos(s.X, s.Y);
    }
};

} // namespace

TEST_F(StripFixture, ThicknessFollowsTheTabs)
{
    EXPECT_EQ(strip->Width(), 0);
    TProToolPanel* p = Add("Normy");
    EXPECT_EQ(strip->Width(), 23);
    EXPECT_EQ(strip->TabCount(), 1);
    p->SetHidden(true);
    EXPECT_EQ(strip->TabCount(), 0);
    EXPECT_EQ(strip->Width(), 0);
}

TEST_F(StripFixture, SlidesOutInFifteenPixelStepsClampedAtTheTabWidth)
{
    TProToolPanel* p = Add("Normy");
    p->SetOpenWidth(150);
    watched = p;
    strip->OpenTab(0);
    ASSERT_EQ(steps.size(), 12u);
    EXPECT_EQ(steps.front(), -150);
    EXPECT_EQ(steps.back(), 15);
    EXPECT_EQ(p->Left(), 20);
    EXPECT_EQ(strip->OpenIndex(), 0);

    // Sliding back in, and instantly without any step.
    steps.clear();
    strip->SlidePanelIn(p);
    EXPECT_EQ(steps.size(), 12u);
    EXPECT_LE(p->Left(), -150);
    EXPECT_EQ(strip->OpenIndex(), -1);
    steps.clear();
    strip->SetSlideSpeed(ssInstant);
    strip->OpenTab(0);
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(p->Left(), 20);
}

TEST_F(StripFixture, AutoOpenOnTheThirdTickUnlessTheMouseRestsOnTheSamePoint)
{
    Add("Normy");
    Add("Wykazy");
    const TPoint t1 = TabPoint(1);
    ASSERT_GE(t1.Y, 0);
    struct Case { bool repeatSamePoint; int openAfter3; };
    for (Case c : {Case{false, 1}, Case{true, -1}}) {
        strip->SlidePanelIn(strip->Panels()->Items(1)->Panel());
        CursorAt(strip, t1);
        MouseMove(strip, t1.X, t1.Y - 1);
        MouseMove(strip, t1.X, t1.Y);
        if (c.repeatSamePoint)
            MouseMove(strip, t1.X, t1.Y);
        CursorAt(strip, t1);
        FireTimer(strip, TProToolPanelTab::TimerId);
        FireTimer(strip, TProToolPanelTab::TimerId);
        EXPECT_EQ(strip->OpenIndex(), -1);
        FireTimer(strip, TProToolPanelTab::TimerId);
        EXPECT_EQ(strip->OpenIndex(), c.openAfter3) << c.repeatSamePoint;
    }
}

TEST_F(StripFixture, AutoCloseOnExactlyTheTenthTickNeverForAFloatingPanel)
{
    TProToolPanel* p = Add("Normy");
    Add("Wykazy");
    for (bool floating : {false, true}) {
        strip->OpenTab(0);
        ASSERT_EQ(strip->OpenIndex(), 0);
        if (floating)
            p->FloatAt(TRect(900, 600, 1050, 900));
        CursorAt(form, TPoint(500, 350));   // away from the strip and the panel
        strip->ResetAutoCloseCounter();
        for (int i = 0; i < 9; ++i)
            FireTimer(strip, TProToolPanelTab::TimerId);
        EXPECT_EQ(strip->OpenIndex(), 0);
        FireTimer(strip, TProToolPanelTab::TimerId);
        EXPECT_EQ(strip->OpenIndex(), floating ? 0 : -1);
        for (int i = 0; i < 15; ++i)
            FireTimer(strip, TProToolPanelTab::TimerId);
        EXPECT_EQ(strip->OpenIndex(), floating ? 0 : -1);
    }
    EXPECT_EQ(strip->TabCount(), 1);   // the floating panel has no tab
}

TEST_F(StripFixture, LockRemovesTheTabAndUnlockMakesItTheOpenPanel)
{
    TProToolPanel* p = Add("Normy");
    Add("Wykazy");
    strip->OpenTab(0);
    const TRect lock = p->LockButtonRect();
    Click(p, lock.Left + 5, lock.Top + 5);
    EXPECT_TRUE(p->Locked());
    EXPECT_EQ(strip->OpenIndex(), -1);
    EXPECT_EQ(strip->TabCount(), 1);
    EXPECT_EQ(p->Align(), alLeft);
    EXPECT_EQ(p->Left(), strip->Left() + strip->Width());

    Click(p, p->LockButtonRect().Left + 5, lock.Top + 5);
    EXPECT_FALSE(p->Locked());
    EXPECT_EQ(strip->OpenIndex(), 0);
    EXPECT_EQ(p->Left(), 20);
    EXPECT_EQ(strip->TabCount(), 2);

    // Without the close button the lock box takes its place.
    p->SetShowClose(false);
    EXPECT_EQ(p->LockButtonRect(), p->CloseButtonRect());
}

TEST_F(StripFixture, CloseButtonAsksAndHides)
{
    TProToolPanel* p = Add("Normy");
    int hides = 0;
    bool allow = false;
    strip->OnAllowTabHide = [&](TObject*, int, TProToolPanel*, bool& a) { a = allow; };
    strip->OnTabHide = [&](TObject*, int, TProToolPanel*) { ++hides; };
    for (bool a : {false, true}) {
        allow = a;
        strip->OpenTab(0);
        const TRect close = p->CloseButtonRect();
        Click(p, close.Left + 5, close.Top + 5);
        EXPECT_EQ(p->Hidden(), a);
        EXPECT_EQ(hides, a ? 1 : 0);
        EXPECT_EQ(p->Visible(), !a);
    }
    EXPECT_EQ(strip->TabCount(), 0);
}

TEST_F(StripFixture, ClickOrClosingDuringASlideIsSafe)
{
    TProToolPanel* a = Add("Normy");
    TProToolPanel* b = Add("Wykazy");
    a->SetOpenWidth(150);
    const TPoint tb = TabPoint(1);
    int slideOuts = 0;
    strip->OnTabSlideOut = [&](TObject*, int, TProToolPanel*) { ++slideOuts; };
    // A click on another tab in the middle of the slide is ignored.
    bool clicked = false;
    TProToolPanelTab::SlideWait = [&](TProToolPanelTab* s, int) {
        if (!clicked) {
            clicked = true;
            Click(s, tb.X, tb.Y);
        }
    };
    strip->OpenTab(0);
    EXPECT_EQ(slideOuts, 1);
    EXPECT_EQ(strip->OpenIndex(), 0);
    EXPECT_EQ(a->Left(), 20);
    EXPECT_FALSE(b->Visible());
    EXPECT_FALSE(strip->Sliding());

    // The window goes in the middle of a slide: the slide ends there.
    strip->SlidePanelIn(a);
    int waits = 0;
    TProToolPanelTab::SlideWait = [&](TProToolPanelTab*, int) {
        if (++waits == 2) {
            delete form;
            form = nullptr;
        }
    };
    strip->OpenTab(1);
    EXPECT_EQ(waits, 2);
    EXPECT_EQ(form, nullptr);
}

TEST(ToolPanelSections, AutosizeFollowsTheItemsAndNeverGoesBelow25)
{
    TForm form(nullptr);
    auto* p = new TProToolPanel(&form);
    p->SetParent(&form);
    TProToolPanelSection* s = p->Sections()->Add();
    s->SetAutosize(true);
    for (int i = 0; i < 5; ++i)
        s->SectionItems()->Add()->SetCaption("Pozycja " + IntToStr(i));
    const int h = p->TextHeightGh();
    EXPECT_EQ(s->Height(), 5 * h + 16 + 6 + 4);
    s->SetHeight(300);   // cannot be set from outside
    EXPECT_EQ(s->Height(), 5 * h + 26);
    while (s->SectionItems()->Count() > 0) {
        s->SectionItems()->Delete(0);
        EXPECT_GE(s->Height(), 25);
    }
    EXPECT_THROW(s->SectionItems()->Items(0), EListError);
}

namespace {
// A 200 x 300 panel without a strip on a shown 300 x 400 form.
TProToolPanel* ShownPanel(TForm& form)
{
    form.SetBounds(0, 0, 300, 400);
    auto* p = new TProToolPanel(&form);
    p->SetParent(&form);
    p->SetBounds(0, 0, 200, 300);
    form.Show();
    return p;
}
}  // namespace

TEST(ToolPanelSections, ItemsAreHitExceptSeparatorsAndDisabledOnesStillClick)
{
    TForm form(nullptr);
    TProToolPanel* p = ShownPanel(form);
    TProToolPanelSection* s = p->Sections()->Add();
    s->SetAutosize(true);
    s->SectionItems()->Add()->SetCaption("Otwórz");
    s->SectionItems()->Add()->SetCaption("-");
    TSectionItem* off = s->SectionItems()->Add();
    off->SetCaption("Zapisz");
    off->SetEnabled(false);
    int x0, rh;
    p->SectionRows(0, x0, rh);
    const int indent = p->SectionLayout()->Indent();
    const int top = p->SectionRect(0).Top + p->SectionCaptionHeight() + 4;
    struct Case { int row; int item; };
    for (Case c : {Case{0, 0}, Case{1, -1}, Case{2, 2}}) {
        int si, ii;
        TRect r;
        p->ItemAtPos(indent + x0 + 2, top + c.row * rh + 2, si, ii, r);
        EXPECT_EQ(ii, c.item) << c.row;
        EXPECT_EQ(si, c.item < 0 ? -1 : 0);
    }
    std::vector<std::pair<int, int>> clicks;
    p->OnItemClick = [&](TObject*, int si, int ii) { clicks.push_back({si, ii}); };
    MouseMove(p, indent + x0 + 2, top + 2 * rh + 2);
    EXPECT_EQ(p->HoveredItem(), 2);
    Click(p, indent + x0 + 2, top + 2 * rh + 2);
    MouseMove(p, indent + x0 + 2, top + rh + 2);
    Click(p, indent + x0 + 2, top + rh + 2);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair(0, 2));
}

TEST(ToolPanelSections, AClickWithoutAMoveNamesOnlyAnItemThatIsUnderThePointer)
{
    // Items and sections removed under a resting pointer: the click that follows names the item
    // the application finds there now, or nothing.
    struct Case {
        const char* Name;
        int Section, Item;   // hovered before the change
        std::function<void(TProToolPanel*)> Change;
        std::vector<AnsiString> Clicked;
    } cases[] = {
        {"the hovered item removed", 0, 2, [](TProToolPanel* p) { p->Sections()->Items(0)->SectionItems()->Delete(2); },
         {}},
        {"every section removed", 0, 1, [](TProToolPanel* p) { p->Sections()->Clear(); }, {}},
        {"the section above removed", 1, 1, [](TProToolPanel* p) { p->Sections()->Delete(0); }, {}},
        {"an item above removed", 0, 1, [](TProToolPanel* p) { p->Sections()->Items(0)->SectionItems()->Delete(0); },
         {"0:1 C"}},
        {"the menu rebuilt by the click", 0, 2, nullptr, {"0:2 C"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TForm form(nullptr);
        TProToolPanel* p = ShownPanel(form);
        auto build = [p](int sections) {
            p->Sections()->Clear();
            for (int s = 0; s < sections; ++s) {
                TProToolPanelSection* sec = p->Sections()->Add();
                sec->SetAutosize(true);
                for (const char* caption : {"A", "B", "C"})
                    sec->SectionItems()->Add()->SetCaption(caption);
            }
        };
        build(2);
        std::vector<AnsiString> clicked;
        p->OnItemClick = [&](TObject*, int si, int ii) {
            // As the application does: the item is looked up by the two indices.
            try {
                clicked.push_back(IntToStr(si) + ":" + IntToStr(ii) + " " +
                                  p->Sections()->Items(si)->SectionItems()->Items(ii)->Caption());
            } catch (const EListError&) {
                clicked.push_back("list index error");
            }
            if (!c.Change) {
                build(1);
                p->Sections()->Items(0)->SectionItems()->Delete(2);
            }
        };
        int x0, rh;
        p->SectionRows(c.Section, x0, rh);
        const int x = p->SectionLayout()->Indent() + x0 + 2;
        const int y = p->SectionRect(c.Section).Top + p->SectionCaptionHeight() + 4 + c.Item * rh + 2;
        MouseMove(p, x, y);
        ASSERT_EQ(p->HoveredItem(), c.Item);
        if (c.Change) {
            c.Change(p);
            EXPECT_EQ(p->HoveredSection(), -1);
            EXPECT_EQ(p->HoveredItem(), -1);
        } else {
            Click(p, x, y);
        }
        Click(p, x, y);
        EXPECT_EQ(clicked, c.Clicked);
    }
}

TEST(ToolPanelSections, CollapsingHidesControlsInsideAndMovesThoseBelow)
{
    TForm form(nullptr);
    auto* p = new TProToolPanel(&form);
    p->SetParent(&form);
    TProToolPanelSection* s0 = p->Sections()->Add();
    s0->SetNode(true);
    s0->SetHeight(100);
    p->Sections()->Add()->SetHeight(80);
    auto* inside = new TPaintBox(&form);
    inside->SetParent(p);
    inside->SetBounds(10, p->SectionRect(0).Top + 30, 20, 20);
    auto* below = new TPaintBox(&form);
    below->SetParent(p);
    below->SetBounds(10, p->SectionRect(1).Top + 20, 20, 20);
    const int belowTop = below->Top();
    int collapsed = -1, expanded = -1;
    p->OnNodeCollapse = [&](TObject*, int i) { collapsed = i; };
    p->OnNodeExpand = [&](TObject*, int i) { expanded = i; };

    s0->SetExpanded(false);
    const int folded = p->SectionCaptionHeight() + p->SectionLayout()->Spacing();
    EXPECT_EQ(s0->Height(), folded);
    EXPECT_FALSE(inside->Visible());
    EXPECT_EQ(below->Top(), belowTop - (100 - folded));
    EXPECT_EQ(collapsed, 0);

    s0->SetExpanded(true);
    EXPECT_EQ(s0->Height(), 100);
    EXPECT_TRUE(inside->Visible());
    EXPECT_EQ(below->Top(), belowTop);
    EXPECT_EQ(expanded, 0);
}

TEST(ToolPanelStyles, GradientBandsAndStyleTables)
{
    TBitmap b;
    b.SetSize(40, 20);
    struct Case { int steps; TColor right; };
    for (Case c : {Case{0, 0x0000FF}, Case{2, 0x00007F}}) {
        ToolPanelGradient(b.Canvas(), 0x0000FF, 0x000000, true, TRect(0, 0, 40, 20), c.steps);
        EXPECT_EQ(b.Canvas()->Pixels(1, 10), 0x0000FF);
        EXPECT_EQ(b.Canvas()->Pixels(37, 10) & 0xFFFFFF, c.right) << c.steps;
    }

    TForm form(nullptr);
    auto* strip = new TProToolPanelTab(&form);
    strip->SetParent(&form);
    TProToolPanel* p = strip->CreatePanel();
    strip->SetAutoThemeAdapt(true);
    strip->SetStyle(esWhidbey);
    EXPECT_EQ(strip->Color(), 0xEBEEEF);
    EXPECT_EQ(strip->ColorTo(), 0x7E9898);
    EXPECT_FALSE(strip->AutoThemeAdapt());
    EXPECT_EQ(p->SectionLayout()->BackGroundColorTo(), clNone);

    p->SetFocusCaptionColor(0x123456);
    p->SetStyle(esCustom);
    EXPECT_EQ(p->FocusCaptionColor(), 0x123456);
    p->SetStyle(esWindowsXP);
    EXPECT_EQ(p->FocusCaptionColor(), clHighlight);
    EXPECT_EQ(p->HoverButtonColorTo(), clNone);

    strip->ThemeAdapt();   // the platform names no colour scheme
    EXPECT_EQ(strip->Style(), esOffice2003Classic);
    EXPECT_EQ(strip->TabColorTo(), 0xC9D1D5);
    EXPECT_EQ(ThemeColorSchemeOfName("HomeStead"), 2);
    EXPECT_EQ(ThemeColorSchemeOfName("metallic"), 0);
}

namespace {
std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string("toolpanels_") + std::to_string(getpid()) + name))
        .string();
}
} // namespace

TEST_F(StripFixture, SavedArrangementLoadsBackEqual)
{
    const std::string ini = TempPath(".ini");
    TProToolPanel* a = Add("Normy");
    a->SetName("PanelA");
    TProToolPanel* b = Add("Wykazy");
    b->SetName("PanelB");
    TProToolPanel* c = Add("Ustawienia");
    c->SetName("PanelC");
    b->SetOpenWidth(210);
    strip->OpenTab(0);
    a->SetLocked(true);
    c->SetHidden(true);
    strip->Persist()->SetINIFile(ini);
    strip->SavePanels();
    {
        TIniFile f(ini);
        EXPECT_EQ(f.ReadInteger("ProToolPanelTabPANELS", "COUNT", 0), 3);
        EXPECT_EQ(f.ReadString("ProToolPanelTabPANEL3", "NAME", ""), "PanelC");
        EXPECT_EQ(f.ReadString("ProToolPanelTabPANEL1", "TAB", ""), "ProToolPanelTab");
        EXPECT_EQ(f.ReadInteger("ProToolPanelTabPANEL2", "OPENWIDTH", 0), 210);
    }

    // A second form with the same names loads the same arrangement.
    auto* form2 = new TForm(nullptr);
    form2->SetBounds(100, 100, 600, 400);
    auto* strip2 = new TProToolPanelTab(form2);
    strip2->SetName("ProToolPanelTab");
    strip2->SetParent(form2);
    strip2->SetTabWidth(20);
    form2->Show();
    const char* names[] = {"PanelA", "PanelB", "PanelC"};
    for (const char* n : names) {
        TProToolPanel* p = strip2->CreatePanel();
        p->SetName(n);
    }
    strip2->Persist()->SetINIFile(ini);
    strip2->LoadPanels();
    for (int i = 0; i < 3; ++i) {
        TProToolPanel* p1 = strip->PanelByName(names[i]);
        TProToolPanel* p2 = strip2->PanelByName(names[i]);
        EXPECT_EQ(p2->Locked(), p1->Locked()) << i;
        EXPECT_EQ(p2->Hidden(), p1->Hidden()) << i;
        EXPECT_EQ(p2->OpenWidth(), p1->OpenWidth()) << i;
        EXPECT_TRUE(p2->PanelLoaded());
    }
    EXPECT_EQ(strip2->TabCount(), strip->TabCount());
    EXPECT_EQ(strip2->OpenIndex(), -1);
    delete form2;

    // The registry form writes no TAB key.
    const std::string reg = TempPath(".reg");
    SetRegistryStoreFile(reg);
    strip->Persist()->SetLocation(pplRegistry);
    strip->Persist()->SetRegistryUserKey("Software\\Test\\Panels");
    strip->SavePanels();
    TRegIniFile r("Software\\Test\\Panels");
    EXPECT_EQ(r.ReadString("ProToolPanelTabPANEL1", "NAME", ""), "PanelA");
    EXPECT_EQ(r.ReadString("ProToolPanelTabPANEL1", "TAB", "none"), "none");
    std::remove(ini.c_str());
    std::remove(reg.c_str());
}

TEST_F(StripFixture, Screenshot)
{
    form->SetColor(clWhite);
    strip->SetStyle(esOffice2003Blue);
    TProToolPanel* open = nullptr;
    for (const char* c : {"Normy", "Wykazy", "Ustawienia"}) {
        TProToolPanel* p = Add(c);
        p->SetOpenWidth(200);
        if (!open)
            open = p;
    }
    for (const char* cap : {"Katalog", "Wykazy wyrobów"}) {
        TProToolPanelSection* s = open->Sections()->Add();
        s->SetCaption(cap);
        s->SetAutosize(true);
        for (const char* it : {"Wszystkie normy", "Normy wg stanu", "-", "Dodaj nową normę"})
            s->SectionItems()->Add()->SetCaption(it);
    }
    strip->OpenTab(0);
    std::unique_ptr<TBitmap> shot = GrabControl(form);
    ASSERT_TRUE(shot && !shot->Empty());
    SaveScreenshot(shot.get(), "toolpanels.png");
    // The caption bar of the open panel is painted with the no-focus gradient.
    const TColor caption = shot->Canvas()->Pixels(open->Left() + 60, 3);
    EXPECT_NE(caption, clWhite);
    EXPECT_EQ(open->Left(), 20);
}
