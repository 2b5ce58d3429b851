#include <gtest/gtest.h>

#include "tests/common/Screenshots.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>

#include "controls/ToolPanels.h"
#include "platform/core/IniFiles.h"
#include "platform/core/Registry.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/TestFiles.h"
#include "tests/common/ToolStripTest.h"
#include "tests/platform/gui/Pixels.h"

namespace {

const TToolPanelStyle TableStyles[] = {esOffice2003Blue, esOffice2003Silver, esOffice2003Olive,
                                       esOffice2003Classic, esOffice2007Luna, esOffice2007Obsidian,
                                       esWindowsXP, esWhidbey, esOffice2007Silver};

int TextWidthIn(TFont* Font, const AnsiString& Text)
{
    TBitmap b;
    b.SetSize(1, 1);
    b.Canvas()->Font()->Assign(Font);
    return b.Canvas()->TextWidth(Text);
}

// A box of W x W on the panel P at (10, Top), owned by the panel's form.
TPaintBox* BoxOn(TProToolPanel* P, int Top, int W)
{
    auto* b = new TPaintBox(P->Owner());
    b->SetParent(P);
    b->SetBounds(10, Top, W, W);
    return b;
}

std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string("toolpanels_") + std::to_string(getpid()) + name))
        .string();
}

// A form with one strip; slides step without waiting and record a value per step.
struct TSlidingStripTest : TToolStripTest {
    std::vector<int> steps;
    // A point well inside tab Index, in strip coordinates.
    TPoint TabPoint(int Index)
    {
        const bool vertical = strip->Position() == ppLeft || strip->Position() == ppRight;
        const int extent = vertical ? strip->Height() : strip->Width();
        for (int a = 0; a < extent; ++a) {
            const int x = vertical ? strip->Width() - 5 : a, y = vertical ? a : strip->Height() - 5;
            if (strip->TabAtPos(x, y) == Index)
                return vertical ? TPoint(x, a + 8) : TPoint(a + 8, y);
        }
        return TPoint(-1, -1);
    }
    void CursorAt(TControl* c, TPoint p) { const TPoint s = c->ClientToScreen(p); SetCursorPos(s.X, s.Y); }
    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            FireTimer(strip, TProToolPanelTab::TimerId);
    }
};

// A left strip whose slides record the watched panel's edge.
struct StripFixture : TSlidingStripTest {
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
};

// A strip whose slides record what the test asks for; its timer is ticked by hand.
struct PanelStrip : TSlidingStripTest {
    std::function<int()> record;

    void SetUp() override
    {
        MakeStrip();
        form->Show();
        TProToolPanelTab::SlideWait = [this](TProToolPanelTab*, int) {
            if (record)
                steps.push_back(record());
        };
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
        Tick(2);
        EXPECT_EQ(strip->OpenIndex(), -1);
        Tick();
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
        Tick(9);
        EXPECT_EQ(strip->OpenIndex(), 0);
        Tick();
        EXPECT_EQ(strip->OpenIndex(), floating ? 0 : -1);
        Tick(15);
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
    TPaintBox* inside = BoxOn(p, p->SectionRect(0).Top + 30, 20);
    TPaintBox* below = BoxOn(p, p->SectionRect(1).Top + 20, 20);
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

TEST_F(StripFixture, SavedArrangementLoadsBackEqual)
{
    const std::string ini = TempPath(".ini");
    TProToolPanel* a = Add("Normy", "PanelA");
    TProToolPanel* b = Add("Wykazy", "PanelB");
    TProToolPanel* c = Add("Ustawienia", "PanelC");
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
    for (const char* n : names)
        strip2->CreatePanel()->SetName(n);
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

// ---------------------------------------------------------------- styles

TEST(ToolPanelStyles, StripColoursOfEveryStyle)
{
    struct Row { TToolPanelStyle s; TColor font, tab, tabTo, hover, hoverTo, border, back, backTo; };
    const Row rows[] = {
        {esOffice2003Blue, 0x000000, 0xFCE1CB, 0xE0A57D, 0xDCFFFF, 0x5BC0F7, 0x962D00, 0xFFFFFF, 0xF7EFDE},
        {esOffice2003Silver, 0x000000, 0xECE2E1, 0xB39698, 0xDCFFFF, 0x5BC0F7, 0x947C7C, 0xFFFFFF, 0xEFE7E7},
        {esOffice2003Olive, 0x000000, 0xCFF0EA, 0x8CC0B1, 0xDCFFFF, 0x5BC0F7, 0x588060, 0xFFFFFF, 0xCEE7E7},
        {esOffice2003Classic, 0x000000, 0xFFFFFF, 0xC9D1D5, 0xD2BDB6, 0xD2BDB6, 0x808080, 0xFFFFFF, 0xECEFF0},
        {esOffice2007Luna, 0x723708, 0xFFEFE3, 0xFFD2AF, 0xDCFFFF, 0x5BC0F7, 0xFFD2AF, 0xFFF4E3, 0xEDD9C8},
        {esOffice2007Obsidian, 0x433C37, 0xF2F1F0, 0xC9C2BD, 0xDCFFFF, 0x5BC0F7, 0x5C534C, 0xF1F0E6, 0xC6BCB5},
        {esWindowsXP, 0xFFFFFF, clInactiveCaption, clInactiveCaption, clHighlight, clHighlight, 0x000000,
         clBtnFace, clBtnFace},
        {esWhidbey, 0x000000, 0xEBEEEF, 0x7E9898, 0xDCFFFF, 0x5BC0F7, 0x962D00, 0xEBEEEF, 0x7E9898},
        {esOffice2007Silver, 0x723708, 0xF8F7F6, 0xE8E0DB, 0xDCFFFF, 0x5BC0F7, 0x74706F, 0xFFFFFF, 0xDDD4D0},
    };
    TForm form(nullptr);
    auto* strip = new TProToolPanelTab(&form);
    strip->SetParent(&form);
    TProToolPanel* panel = strip->CreatePanel();
    for (const Row& r : rows) {
        strip->SetStyle(r.s);
        EXPECT_EQ(strip->Style(), r.s);
        const TColor got[] = {strip->Font()->Color(), strip->TabColor(), strip->TabColorTo(), strip->TabHoverColor(),
                              strip->TabHoverColorTo(), strip->TabBorderColor(), strip->Color(), strip->ColorTo()};
        const TColor want[] = {r.font, r.tab, r.tabTo, r.hover, r.hoverTo, r.border, r.back, r.backTo};
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(got[i], want[i]) << "style " << r.s << " strip colour " << i;
        EXPECT_EQ(panel->Style(), r.s) << "the strip passes its style on";
    }

    // esWhidbey ends the theme adaptation; esCustom keeps every colour of the strip and of its panels
    // and only ends the adaptation.
    strip->SetAutoThemeAdapt(true);
    strip->SetStyle(esWhidbey);
    EXPECT_FALSE(strip->AutoThemeAdapt());
    strip->SetStyle(esOffice2007Luna);
    strip->SetAutoThemeAdapt(true);
    panel->SetColor(0x010203);
    strip->SetStyle(esCustom);
    EXPECT_EQ(strip->Style(), esCustom);
    EXPECT_EQ(strip->TabColor(), 0xFFEFE3);
    EXPECT_EQ(panel->Color(), 0x010203);
    EXPECT_FALSE(strip->AutoThemeAdapt());

    // A value outside the enumeration changes nothing at all.
    strip->SetStyle(TToolPanelStyle(12));
    EXPECT_EQ(strip->Style(), esCustom);
    panel->SetStyle(esOffice2003Olive);
    panel->SetStyle(TToolPanelStyle(-1));
    EXPECT_EQ(panel->Style(), esOffice2003Olive);
    EXPECT_EQ(panel->Color(), 0xDEEFEF);
    // The style interface's operation takes a style's number.
    strip->SetComponentLook(esWhidbey);
    panel->SetComponentLook(esOffice2003Silver);
    EXPECT_EQ(std::make_pair(strip->Style(), panel->Style()), std::make_pair(esWhidbey, esOffice2003Silver));

    // The colour scheme of the desktop picks a style; the platform names no colour scheme.
    strip->ThemeAdapt();
    EXPECT_EQ(strip->Style(), esOffice2003Classic);
    const std::pair<int, TToolPanelStyle> schemes[] = {
        {1, esOffice2003Blue}, {2, esOffice2003Olive}, {3, esOffice2003Silver}, {0, esOffice2003Classic},
        {7, esOffice2003Classic}};
    for (auto [scheme, style] : schemes)
        EXPECT_EQ(StyleOfColorScheme(scheme), style) << scheme;
    const std::pair<const char*, int> names[] = {
        {"NormalColor", 1}, {"HomeStead", 2}, {"Metallic", 3}, {"normalcolor", 0}, {"metallic", 0}, {"", 0}};
    for (auto [name, scheme] : names)
        EXPECT_EQ(ThemeColorSchemeOfName(name), scheme) << name;
}

TEST(ToolPanelStyles, PanelCaptionButtonAndSectionColoursOfEveryStyle)
{
    struct Panel { TColor back, backTo, nf, nfTo, nfFont, f, fTo, fFont; };
    struct Buttons { TColor hover, hoverTo, down, downTo; };
    struct Section { TColor cap, capTo; TGradientDirection dir; TColor capFont, bg, bgTo, item, border; };
    struct Row { TToolPanelStyle s; Panel p; Buttons b; Section c; };
    const Row rows[] = {
        {esOffice2003Blue,
         {0xFFE7D6, 0xC67B52, 0xD68759, 0x933803, 0xFFFFFF, 0x94E6FB, 0x1595EE, 0x000000},
         {0xDCFFFF, 0x5BC0F7, 0x087FE8, 0x7CDAF7},
         {0xF7DEC6, 0xD68C63, gdHorizontal, 0x842900, 0xF7EFDE, 0xF7D6BD, 0xB53900, 0xFFFFFF}},
        {esOffice2003Silver,
         {0xF7E7E7, 0xB5A5A5, 0xEFE7E7, 0xAA8888, 0x000000, 0x94E6FB, 0x1595EE, 0x000000},
         {0xDCFFFF, 0x5BC0F7, 0x087FE8, 0x7CDAF7},
         {0xDECACE, 0xBDADAD, gdHorizontal, 0x7B5A5A, 0xEFE7E7, 0xE7D6D6, 0xB53900, 0xFFFFFF}},
        {esOffice2003Olive,
         {0xDEEFEF, 0x84ADA5, 0xC6EFE7, 0x94BDB5, 0x000000, 0x94E6FB, 0x1595EE, 0x000000},
         {0xDCFFFF, 0x5BC0F7, 0x087FE8, 0x7CDAF7},
         {0xADDED2, 0x7BB5A5, gdHorizontal, 0x842900, 0xCEE7E7, 0xB5DED6, 0xB53900, 0xFFFFFF}},
        {esOffice2003Classic,
         {0xE7E7EF, 0xC6CECE, 0xEFEFEF, 0xC0C9C9, 0x000000, 0xDFDFDF, 0xAFA7A3, 0x000000},
         {0xD2BDB6, 0xD2BDB6, 0xB59285, 0xB59285},
         {0xE7E7E7, 0xDEDEDE, gdHorizontal, 0x000000, 0xF7F7F7, 0xECEFF0, 0xFF0000, 0xFFFFFF}},
        {esOffice2007Luna,
         {0xFFF4E3, 0xEDD9C8, 0xFFEFE3, 0xFFD2AF, 0x723708, 0xBBEEFF, 0x78DAFF, 0x723708},
         {0xDCFFFF, 0x5BC0F7, 0x087FE8, 0x7CDAF7},
         {0xFDD6B7, 0xC89A76, gdVertical, 0x000000, 0xF7EFDE, 0xF7D6BD, 0xB53900, 0xFFD2AF}},
        {esOffice2007Obsidian,
         {0xF1F0E6, 0xC6BCB5, 0xF2F1F0, 0xC9C2BD, 0x433C37, 0xBBEEFF, 0x78DAFF, 0x000000},
         {0xDCFFFF, 0x5BC0F7, 0x087FE8, 0x7CDAF7},
         {0xB8B8B6, 0x6E6E6D, gdVertical, 0xFFFFFF, 0xE6E6DF, 0xD7D5CE, 0xB53900, 0x5C534C}},
        {esWindowsXP,
         {clBtnFace, clBtnFace, clInactiveCaption, clInactiveCaption, 0xFFFFFF, clHighlight, clHighlight, 0xFFFFFF},
         {clHighlight, clNone, clInactiveCaption, clNone},
         {0xFFFFFF, cl3DLight, gdVertical, 0x000000, clBtnFace, clBtnFace, 0x000000, 0xFFFFFF}},
        {esWhidbey,
         {0xEBEEEF, 0x7E9898, 0xEBEEEF, 0x7E9898, 0x000000, 0x94E6FB, 0x1595EE, 0x000000},
         {0xF5F9FA, 0xA8C0C0, 0x087FE8, 0x7CDAF7},
         {0xEBEEEF, 0xA8C0C0, gdVertical, 0x000000, 0xFFFFFF, clNone, 0x000000, 0xFFFFFF}},
        {esOffice2007Silver,
         {0xDEDDDE, 0xF7F3F3, 0xF8F7F6, 0xE8E0DB, 0x000000, 0xBBEEFF, 0x78DAFF, 0x723708},
         {0xDCFFFF, 0x5BC0F7, 0x087FE8, 0x7CDAF7},
         {0xFAEEEB, 0xE5DBD7, gdVertical, 0x000000, 0xE7DCD5, 0xFBFAF0, 0xB53900, 0xCCCAC9}},
    };
    TForm form(nullptr);
    auto* p = new TProToolPanel(&form);
    p->SetParent(&form);
    TSectionLayout* l = p->SectionLayout();
    for (const Row& r : rows) {
        // Settings every style overwrites.
        p->SetGradientDirection(gdHorizontal);
        p->SetCaptionGradientDirection(gdHorizontal);
        p->SetShowCaptionBorder(true);
        p->SetButton3D(true);
        l->SetBackGroundGradientDir(gdHorizontal);
        l->SetItemHoverUnderline(false);
        l->SetBorderWidth(3);

        p->SetStyle(r.s);
        const TColor panel[] = {p->Color(), p->ColorTo(), p->NoFocusCaptionColor(), p->NoFocusCaptionColorTo(),
                                p->NoFocusCaptionFontColor(), p->FocusCaptionColor(), p->FocusCaptionColorTo(),
                                p->FocusCaptionFontColor()};
        const TColor panelWant[] = {r.p.back, r.p.backTo, r.p.nf, r.p.nfTo, r.p.nfFont, r.p.f, r.p.fTo, r.p.fFont};
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(panel[i], panelWant[i]) << "style " << r.s << " panel colour " << i;
        EXPECT_EQ(p->HoverButtonColor(), r.b.hover) << r.s;
        EXPECT_EQ(p->HoverButtonColorTo(), r.b.hoverTo) << r.s;
        EXPECT_EQ(p->DownButtonColor(), r.b.down) << r.s;
        EXPECT_EQ(p->DownButtonColorTo(), r.b.downTo) << r.s;
        const TColor sec[] = {l->CaptionColor(), l->CaptionColorTo(), l->CaptionFontColor(), l->BackGroundColor(),
                              l->BackGroundColorTo(), l->ItemFontColor(), l->ItemHoverTextColor(), l->BorderColor()};
        const TColor secWant[] = {r.c.cap, r.c.capTo, r.c.capFont, r.c.bg, r.c.bgTo, r.c.item, r.c.item, r.c.border};
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(sec[i], secWant[i]) << "style " << r.s << " section colour " << i;
        EXPECT_EQ(l->CaptionGradientDir(), r.c.dir) << r.s;

        EXPECT_EQ(p->GradientDirection(), gdVertical);
        EXPECT_EQ(p->CaptionGradientDirection(), gdVertical);
        EXPECT_FALSE(p->ShowCaptionBorder());
        EXPECT_FALSE(p->Button3D());
        EXPECT_EQ(l->BackGroundGradientDir(), gdVertical);
        EXPECT_TRUE(l->ItemHoverUnderline());
        EXPECT_EQ(l->BorderWidth(), 1);
    }
    // esCustom keeps the panel's own colours.
    p->SetFocusCaptionColor(0x123456);
    p->SetStyle(esCustom);
    EXPECT_EQ(p->FocusCaptionColor(), 0x123456);
}

TEST(ToolPanelStyles, GradientBandsStepThroughTheColours)
{
    // No steps: the start colour across; two steps: the second band halfway to the end colour.
    TBitmap few;
    few.SetSize(40, 20);
    struct Case { int steps; TColor right; };
    for (Case c : {Case{0, 0x0000FF}, Case{2, 0x00007F}}) {
        ToolPanelGradient(few.Canvas(), 0x0000FF, 0x000000, true, TRect(0, 0, 40, 20), c.steps);
        EXPECT_EQ(few.Canvas()->Pixels(1, 10), 0x0000FF);
        EXPECT_EQ(few.Canvas()->Pixels(37, 10) & 0xFFFFFF, c.right) << c.steps;
    }
    // 16 bands over 161 pixels (span 160): band i starts at 10 i and has the colour i x increment.
    TBitmap b;
    b.SetSize(161, 8);
    ToolPanelGradient(b.Canvas(), RGB(0, 0, 0), RGB(160, 80, 16), true, TRect(0, 0, 161, 8), 16);
    for (int i = 0; i < 16; ++i) {
        const TColor want = RGB(10 * i, 5 * i, i);
        EXPECT_EQ(b.Canvas()->Pixels(10 * i + 2, 4) & 0xFFFFFF, want) << i;
    }
    // Vertical bands advance along y and span the whole width.
    TBitmap v;
    v.SetSize(6, 41);
    ToolPanelGradient(v.Canvas(), RGB(0, 0, 0), RGB(0, 200, 0), false, TRect(0, 0, 6, 41), 4);
    const int expectG[] = {0, 50, 100, 150};
    for (int i = 0; i < 4; ++i)
        for (int x : {0, 5})
            EXPECT_EQ(v.Canvas()->Pixels(x, 10 * i + 5) & 0xFFFFFF, RGB(0, expectG[i], 0)) << i;
}

// Bands are filled where a plain pen allows it: the pixels are those of bands outlined in their own
// colour (an inside-frame pen of one pixel outlines them), edges and single-pixel bands included.
TEST(ToolPanelStyles, FilledBandsCoverWhatOutlinedBandsCover)
{
    struct Case { TRect R; bool Horizontal; int Steps; };
    const Case cases[] = {{TRect(3, 2, 60, 20), true, 16},  {TRect(0, 0, 61, 30), false, 128},
                 {TRect(5, 5, 9, 25), true, 128},  {TRect(1, 1, 40, 3), false, 7},
                 {TRect(2, 4, 50, 28), false, 1}, {TRect(0, 0, 1, 1), true, 3},
                 {TRect(7, 9, 10, 11), false, 5}, {TRect(7, 9, 9, 10), true, 2}};
    for (const auto& c : cases) {
        auto filled = FilledBitmap(64, 32, clFuchsia), outlined = FilledBitmap(64, 32, clFuchsia);
        outlined->Canvas()->Pen()->SetStyle(psInsideFrame);
        ToolPanelGradient(filled->Canvas(), RGB(250, 10, 0), RGB(0, 90, 240), c.Horizontal, c.R, c.Steps);
        ToolPanelGradient(outlined->Canvas(), RGB(250, 10, 0), RGB(0, 90, 240), c.Horizontal, c.R, c.Steps);
        int differing = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; ++x)
                differing += filled->Canvas()->Pixels(x, y) != outlined->Canvas()->Pixels(x, y);
        EXPECT_EQ(differing, 0) << c.R.Left << "," << c.R.Top << " " << c.Steps;
    }
}

// ---------------------------------------------------------------- sections and items

TEST(ToolPanelSections, ItemHitRectanglesForEachItemStyle)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 500);
    auto* p = new TProToolPanel(&form);
    p->SetParent(&form);
    p->SetBounds(0, 0, 220, 400);
    TImageList images(16, 20);
    TBitmap pic;
    pic.SetSize(16, 20);
    images.Add(&pic, nullptr);

    struct Case {
        const char* name;
        bool images;        // the panel has section images and item 0 has one
        bool showCaption;
    };
    for (Case c : {Case{"text", false, true}, Case{"images", true, true}, Case{"no caption", false, false}}) {
        p->Sections()->Clear();
        p->SetSectionImages(c.images ? &images : nullptr);
        p->SetShowCaption(c.showCaption);
        TProToolPanelSection* first = p->Sections()->Add();
        first->SetHeight(60);
        first->SetDraw(false);   // keeps its space
        TProToolPanelSection* s = p->Sections()->Add();
        s->SetHeight(120);
        TSectionItem* a = s->SectionItems()->Add();
        a->SetCaption("Normy");
        if (c.images)
            a->SetImageIndex(0);
        s->SectionItems()->Add()->SetCaption("-");
        s->SectionItems()->Add()->SetCaption("Wykazy");

        const int y0 = c.showCaption ? 23 : 1;
        EXPECT_EQ(p->ContentTop(), y0) << c.name;
        const int I = p->SectionLayout()->Indent();
        EXPECT_EQ(p->SectionRect(1), TRect(I + 1, y0 + 60, 219, y0 + 180)) << c.name;
        int x0, rh;
        p->SectionRows(1, x0, rh);
        const int gh = p->TextHeightGh();
        EXPECT_EQ(x0, c.images ? 28 : 12) << c.name;
        EXPECT_EQ(rh, c.images ? std::max(22, gh) : gh) << c.name;

        const int rowTop0 = y0 + 60 + 16 + 4;
        struct Probe { int x, y, section, item; };
        const int left0 = x0 - (c.images ? 16 : 0) + I;
        const int right0 = x0 + I + TextWidthIn(p->Font(), "Normy");
        const int left2 = x0 + I;
        const int right2 = x0 + I + TextWidthIn(p->Font(), "Wykazy");
        const Probe probes[] = {
            {left0, rowTop0, 1, 0},               // corner is inside
            {left0 - 1, rowTop0, -1, -1},
            {right0 - 1, rowTop0 + rh - 1, 1, 0},
            {right0, rowTop0, -1, -1},            // right edge is outside
            {left0, rowTop0 - 1, -1, -1},
            {left2 + 1, rowTop0 + rh + 2, -1, -1},   // the separator is never hit
            {left2, rowTop0 + 2 * rh, 1, 2},
            {right2 - 1, rowTop0 + 3 * rh - 1, 1, 2},
            {left2, rowTop0 + 3 * rh, -1, -1},
        };
        for (const Probe& pr : probes) {
            int si, ii;
            TRect r;
            const bool hit = p->ItemAtPos(pr.x, pr.y, si, ii, r);
            EXPECT_EQ(hit, pr.item >= 0) << c.name << " at " << pr.x << "," << pr.y;
            EXPECT_EQ(si, pr.section) << c.name << " at " << pr.x << "," << pr.y;
            EXPECT_EQ(ii, pr.item) << c.name << " at " << pr.x << "," << pr.y;
            if (pr.item >= 0) {
                EXPECT_EQ(r, TRect(I + 1, rowTop0 + pr.item * rh, 219, rowTop0 + (pr.item + 1) * rh)) << c.name;
            }
        }
    }
    p->SetSectionImages(nullptr);
}

TEST(ToolPanelSections, CaptionImagesWidenTheCaptionAndTheExpandBoxFollows)
{
    TForm form(nullptr);
    auto* p = new TProToolPanel(&form);
    p->SetParent(&form);
    TImageList images(16, 24);
    TBitmap pic;
    pic.SetSize(16, 24);
    images.Add(&pic, nullptr);
    TProToolPanelSection* s = p->Sections()->Add();
    s->SetNode(true);
    const int I = p->SectionLayout()->Indent();
    struct Case { bool images; int captionImage; int ch; };
    for (Case c : {Case{false, 0, 16}, Case{true, -1, 16}, Case{true, 0, 26}}) {
        p->SetSectionImages(c.images ? &images : nullptr);
        s->SetCaptionImageIndex(c.captionImage);
        EXPECT_EQ(p->SectionCaptionHeight(), c.ch);
        const int t = 23 + (c.ch - 8) / 2;
        EXPECT_EQ(p->ExpandBoxRect(0), TRect(I + 4, t, I + 13, t + 9));
    }
    // A press on the expand box toggles the node; a press beside it does not.
    p->SetSectionImages(nullptr);
    s->SetCaptionImageIndex(-1);
    const TRect box = p->ExpandBoxRect(0);
    Click(p, box.Left + 4, box.Top + 4);
    EXPECT_FALSE(s->Expanded());
    EXPECT_EQ(s->Height(), 16 + 4);
    Click(p, box.Right + 3, box.Top + 4);
    EXPECT_FALSE(s->Expanded());
    Click(p, box.Left, box.Top);
    EXPECT_TRUE(s->Expanded());
    EXPECT_EQ(s->Height(), 48);

    // A collapsed section reports no items.
    s->SectionItems()->Add()->SetCaption("Normy");
    s->SetExpanded(false);
    int si, ii;
    TRect r;
    EXPECT_FALSE(p->ItemAtPos(I + 13, 23 + 16 + 5, si, ii, r));
    // Autosize with item images takes the image height + 2 as row height.
    s->SetExpanded(true);
    p->SetSectionImages(&images);
    s->SectionItems()->Items(0)->SetImageIndex(0);
    s->SetAutosize(true);
    EXPECT_EQ(s->ItemHeight(), std::max(26, p->TextHeightGh()));
    EXPECT_EQ(s->Height(), s->ItemHeight() + 16 + 6 + 4);
    p->SetSectionImages(nullptr);
}

TEST(ToolPanelSections, HeightMovesTheControlsFromTheSectionBottomOn)
{
    TForm form(nullptr);
    auto* p = new TProToolPanel(&form);
    p->SetParent(&form);
    TProToolPanelSection* s = p->Sections()->Add();
    s->SetHeight(100);
    const int bottom = p->SectionRect(0).Bottom;
    TPaintBox* above = BoxOn(p, bottom - 1, 10);
    TPaintBox* at = BoxOn(p, bottom, 10);
    s->SetHeight(130);
    EXPECT_EQ(above->Top(), bottom - 1);
    EXPECT_EQ(at->Top(), bottom + 30);
    s->SetHeight(130);   // same value: nothing moves
    EXPECT_EQ(at->Top(), bottom + 30);
    // At design time the caption of the next section sizes this one with the mouse, down to CH + 1.
    p->Sections()->Add();
    p->SetDesigning(true);
    const int caption = p->SectionRect(1).Top + 3;
    MouseMove(p, 50, caption);
    EXPECT_EQ(WindowCursor(p), crVSplit);
    const int top = p->SectionRect(0).Top;
    Drag(p, TPoint(50, caption), TPoint(50, top + 70));
    EXPECT_EQ(s->Height(), 70);
    Drag(p, TPoint(50, top + 72), TPoint(50, top + 2));
    EXPECT_EQ(s->Height(), 17);
    MouseMove(p, 50, top + 3);   // the first section's caption sizes nothing
    EXPECT_EQ(WindowCursor(p), crDefault);
}

TEST(ToolPanelSections, NodesCollapsedAndExpandedInAnyOrderRestoreTheControls)
{
    struct Order { const char* name; int ops[4]; };   // section index, negative to expand (-1 - index)
    const Order orders[] = {
        {"inner first", {1, 0, -2, -1}},
        {"outer first", {0, 1, -1, -2}},
        {"nested", {1, 0, -1, -2}},
    };
    for (const Order& o : orders) {
        TForm form(nullptr);
        auto* p = new TProToolPanel(&form);
        p->SetParent(&form);
        p->SetHeight(400);
        TProToolPanelSection* s0 = p->Sections()->Add();
        s0->SetNode(true);
        s0->SetHeight(100);
        TProToolPanelSection* s1 = p->Sections()->Add();
        s1->SetNode(true);
        s1->SetHeight(80);
        TPaintBox* c0 = BoxOn(p, p->SectionRect(0).Top + 40, 10);
        TPaintBox* c1 = BoxOn(p, p->SectionRect(1).Top + 40, 10);
        TPaintBox* c2 = BoxOn(p, p->SectionRect(1).Bottom + 5, 10);
        const int t0 = c0->Top(), t1 = c1->Top(), t2 = c2->Top();
        for (int op : o.ops) {
            TProToolPanelSection* s = p->Sections()->Items(op >= 0 ? op : -1 - op);
            s->SetExpanded(op < 0);
            // The control below both sections always sits right under them.
            const int under = p->SectionRect(1).Bottom;
            EXPECT_EQ(c2->Top(), under + 5) << o.name << " op " << op;
        }
        EXPECT_TRUE(c0->Visible() && c1->Visible()) << o.name;
        EXPECT_EQ(c0->Top(), t0) << o.name;
        EXPECT_EQ(c1->Top(), t1) << o.name;
        EXPECT_EQ(c2->Top(), t2) << o.name;
        EXPECT_EQ(s0->Height() + s1->Height(), 180) << o.name;
    }
}

// ---------------------------------------------------------------- caption buttons

TEST_F(PanelStrip, CaptionButtonBoxesHintsAndClicks)
{
    TProToolPanel* p = Add("Normy");
    p->SetShowHint(true);
    strip->OpenTab(0);
    const int R = p->ClientWidth();
    EXPECT_EQ(p->CloseButtonRect(), TRect(R - 20, 2, R - 5, 18));
    EXPECT_EQ(p->LockButtonRect(), TRect(R - 40, 2, R - 21, 18));

    struct HintCase { bool showClose; int x, y; const char* hint; };
    const HintCase hints[] = {
        {true, R - 21, 2, "Close panel"},
        {true, R - 6, 20, "Close panel"},
        {true, R - 22, 10, ""},
        {true, R - 42, 20, "Lock panel"},
        {true, R - 43, 10, ""},
        {false, R - 21, 2, "Lock panel"},
        {false, R - 6, 20, "Lock panel"},
        {false, R - 30, 10, ""},
    };
    for (const HintCase& h : hints) {
        p->SetShowClose(h.showClose);
        EXPECT_EQ(HintAt(p, h.x, h.y), h.hint) << h.showClose << " " << h.x << "," << h.y;
    }
    p->SetShowClose(true);
    p->SetLocked(true);
    const int RL = p->ClientWidth();
    EXPECT_EQ(HintAt(p, RL - 30, 10), "Unlock panel");
    p->SetLocked(false);

    // Clicks: the caption button area starts 8 pixels in with the dock dots.
    int captionClicks = 0;
    TRect captionRect;
    p->SetCaptionButton(true);
    p->OnCaptionBtnClick = [&](TObject*, TRect r) { ++captionClicks; captionRect = r; };
    struct ClickCase { bool dots; int x; int clicks; };
    for (ClickCase c : {ClickCase{true, 7, 0}, ClickCase{true, 8, 1}, ClickCase{false, 0, 1}}) {
        captionClicks = 0;
        p->SetDockDots(c.dots);
        Click(p, c.x, 10);
        EXPECT_EQ(captionClicks, c.clicks) << c.dots << " " << c.x;
        if (c.clicks) { EXPECT_EQ(captionRect, TRect(c.dots ? 8 : 0, 0, p->ClientWidth(), 23)); }
    }
    // The lock box comes before the caption button; it toggles the lock.
    captionClicks = 0;
    Click(p, p->LockButtonRect().Left + 1, 5);
    EXPECT_EQ(captionClicks, 0);
    EXPECT_TRUE(p->Locked());

    // Without a caption there are no buttons: a click where the close box was hides nothing.
    p->SetLocked(false);
    p->SetCaptionButton(false);
    p->SetShowCaption(false);
    EXPECT_EQ(p->ContentTop(), 1);
    Click(p, p->CloseButtonRect().Left + 3, 5);
    EXPECT_FALSE(p->Hidden());
    EXPECT_FALSE(p->Locked());
    auto* child = new TPanel(p);   // aligned inside the bevel
    child->SetParent(p);
    child->SetAlign(alTop);
    EXPECT_EQ(child->BoundsRect(), TRect(1, 1, p->ClientWidth() - 1, 1 + child->Height()));
}

TEST_F(PanelStrip, TheCaptionButtonDropsThePanelsMenu)
{
    TProToolPanel* p = Add("Normy");
    strip->OpenTab(0);
    p->SetCaptionButton(true);
    int captionClicks = 0;
    p->OnCaptionBtnClick = [&](TObject*, TRect) { ++captionClicks; };
    TPopupMenu menu(nullptr);
    p->SetPopupMenu(&menu);
    TPoint at(-1, -1);
    TPopupMenuHook old = SetPopupMenuHook([&](TPopupMenu* m, int X, int Y) { EXPECT_EQ(m, &menu); at = TPoint(X, Y); });
    Click(p, 20, 10);
    SetPopupMenuHook(old);
    // At the caption's bottom-left corner, instead of the event.
    EXPECT_EQ(at, p->ClientToScreen(TPoint(8, 23 - 2)));
    EXPECT_EQ(menu.PopupComponent(), p);
    EXPECT_EQ(captionClicks, 0);
    p->SetPopupMenu(nullptr);
    Click(p, 20, 10);
    EXPECT_EQ(captionClicks, 1);
}

TEST_F(PanelStrip, HostWindowOfRightAndBottomStripsSizesByItsInnerEdge)
{
    TToolPanelForm* host = strip->HostForm();
    EXPECT_EQ(host->Name(), "tabfProToolPanelTab");
    strip->SetName("Pasek");
    EXPECT_EQ(host->Name(), "tabfPasek");
    EXPECT_EQ(host->BorderStyle(), bsNone);
    EXPECT_TRUE(strip->DockSite());
    strip->SetAutoDock(false);
    EXPECT_FALSE(strip->DockSite());
    strip->SetAutoDock(true);

    TProToolPanel* p = Add("Normy");
    struct Case { TPanelPosition Pos; TPoint Edge, Inside; LRESULT Hit; };
    Case cases[] = {{ppRight, TPoint(1, 50), TPoint(2, 50), HTLEFT}, {ppBottom, TPoint(50, 1), TPoint(50, 2), HTTOP}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Pos);
        strip->SetPosition(c.Pos);
        ProcessPendingMessages();
        // Nothing open: no edge.
        EXPECT_EQ(host->HitTest(c.Edge.X, c.Edge.Y), HTCLIENT);
        p->SetOpenWidth(120);
        strip->OpenTab(0);
        ASSERT_TRUE(host->Visible());
        const TPoint screen = host->ClientToScreen(c.Edge);
        EXPECT_EQ(host->Perform(WM_NCHITTEST, 0, LPARAM((screen.Y << 16) | (screen.X & 0xFFFF))), c.Hit);
        EXPECT_EQ(host->HitTest(c.Inside.X, c.Inside.Y), HTCLIENT);
        p->SetCanSize(false);
        EXPECT_EQ(host->HitTest(c.Edge.X, c.Edge.Y), HTCLIENT);
        p->SetCanSize(true);
        // Dragging the inner edge 30 pixels outwards widens the window; its outer edge stays.
        const TRect before = host->BoundsRect();
        // The pointer moves 30 pixels on the screen; the window moves under it.
        const TPoint to = c.Pos == ppRight ? TPoint(screen.X - 30, screen.Y) : TPoint(screen.X, screen.Y - 30);
        MouseDown(host, c.Edge.X, c.Edge.Y);
        const TPoint local = host->ScreenToClient(to);
        MouseMove(host, local.X, local.Y);
        MouseUp(host, local.X, local.Y);
        const TRect after = host->BoundsRect();
        EXPECT_EQ(after.Right, before.Right);
        EXPECT_EQ(after.Bottom, before.Bottom);
        EXPECT_EQ(c.Pos == ppRight ? after.Width() : after.Height(), 150);
        EXPECT_EQ(p->OpenWidth(), 150);
        strip->SlidePanelIn(p);
    }
}

TEST_F(PanelStrip, TheSizingBorderOfAnOpenPanelShowsTheSizingCursor)
{
    TProToolPanel* p = Add("Normy");
    p->SetCursor(crHelp);
    p->SetOpenWidth(120);
    // Where the border lies for each strip edge: X or Y from the panel's far side (negative) or
    // from its near side; an open right or bottom panel sizes by its host window's edge.
    struct Case { TPanelPosition Pos; bool Locked; TPoint Border; TCursor Want; } cases[] = {
        {ppLeft, false, TPoint(-1, 60), crSizeWE},   {ppLeft, true, TPoint(-2, 60), crSizeWE},
        {ppTop, false, TPoint(60, -1), crSizeNS},    {ppRight, true, TPoint(2, 60), crSizeWE},
        {ppBottom, true, TPoint(60, 1), crSizeNS},   {ppRight, false, TPoint(-2 - 1, 60), crSizeWE},
        {ppBottom, false, TPoint(60, -1), crSizeNS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Pos) + (c.Locked ? " locked" : ""));
        strip->SetPosition(c.Pos);
        strip->OpenTab(0);
        p->SetLocked(c.Locked);
        ProcessPendingMessages();
        TWinControl* window = p;
        TPoint at(c.Border.X < 0 ? p->Width() + c.Border.X : c.Border.X,
                  c.Border.Y < 0 ? p->Height() + c.Border.Y : c.Border.Y);
        if (p->Parent() == strip->HostForm()) {
            // The host window's inner edge, 2 pixels before the panel.
            window = strip->HostForm();
            at = c.Pos == ppRight ? TPoint(1, 60) : TPoint(60, 1);
        }
        MouseMove(window, at.X, at.Y);
        EXPECT_EQ(WindowCursor(window), c.Want);
        // Off the border, inside the panel, the panel's own cursor is back.
        MouseMove(p, p->Width() / 2, p->Height() / 2);
        EXPECT_EQ(WindowCursor(p), crHelp);
        p->SetCanSize(false);
        MouseMove(window, at.X, at.Y);
        EXPECT_EQ(WindowCursor(window), window == p ? crHelp : crDefault);
        p->SetCanSize(true);
        p->SetLocked(false);
        strip->SlidePanelIn(p);
    }
    // The screen cursor, too, goes back to the control's own.
    strip->SetCursor(crIBeam);
    strip->OpenTab(0);
    p->SetLocked(true);
    MouseMove(p, 4, 10);
    MouseMove(p, p->Width() - 10, 10);
    EXPECT_EQ(Screen->Cursor(), crHelp);
    Screen->SetCursor(crSizeAll);
    MouseLeave(strip);
    EXPECT_EQ(Screen->Cursor(), crIBeam);
}

TEST_F(PanelStrip, TheBackgroundPictureKeepsInsideTheBevelAndTheGradientInsideTheBorder)
{
    TProToolPanel* p = Add("Normy");
    strip->OpenTab(0);
    p->SetColorTo(clNone);
    TBitmap pic;
    pic.SetSize(10, 10);   // white
    p->SetBackground(&pic);
    const int R = p->ClientWidth(), H = p->ClientHeight();
    // The picture's top-left pixel for each position (the bevel is 1 pixel wide), the one before it not.
    const std::pair<TTPBackGroundPosition, TPoint> places[] = {{bpTopRight, TPoint(R - 12, 23)},
        {bpBottomLeft, TPoint(1, H - 12)}, {bpCenter, TPoint((R - 12) / 2, (H - 11) / 2)}};
    for (auto [pos, at] : places) {
        p->SetBackGroundPosition(pos);
        std::unique_ptr<TBitmap> shot = GrabControl(p);
        EXPECT_EQ(std::make_pair(shot->Canvas()->Pixels(at.X - 1, at.Y - 1), shot->Canvas()->Pixels(at.X, at.Y)),
                  std::make_pair(p->Color(), TColor(clWhite))) << pos;
    }
    p->SetBorderWidth(3);
    p->SetColorTo(0x0000FF);
    EXPECT_EQ(GrabControl(p)->Canvas()->Pixels(R - 2, H - 5), p->Color());
}

TEST_F(PanelStrip, ALockedPanelPulledOffByItsCaptionFloatsAndDocksBack)
{
    TProToolPanel* p = Add("Ustawienia wyglądu");
    EXPECT_EQ(p->DragKind(), dkDock);
    auto* edit = new TEdit(p);
    edit->SetParent(p);
    edit->SetBounds(10, 40, 100, 21);
    strip->OpenTab(0);
    p->SetLocked(true);
    ASSERT_TRUE(p->Locked());
    // The user presses on the caption and pulls: the first move is still on the caption.
    auto pull = [&](TPoint from, TPoint to) {
        MouseDown(p, from.X, from.Y);
        MouseMove(p, from.X + 1, from.Y + 1);
        MouseMove(p, to.X, to.Y);
        MouseUp(p, to.X, to.Y);
    };
    // A press near the right end of the caption never pulls the panel off.
    pull(TPoint(p->ClientWidth() - 30, 10), TPoint(p->ClientWidth() + 170, 110));
    EXPECT_FALSE(p->Floating());
    // From the grip of the dock dots it does: the panel floats in a window of its own.
    pull(TPoint(4, 10), TPoint(300, 150));
    ASSERT_TRUE(p->Floating());
    TForm* f = p->FloatingForm();
    ASSERT_NE(f, nullptr);
    EXPECT_FALSE(p->Docked());
    EXPECT_EQ(p->DragMode(), dmManual);
    EXPECT_EQ(strip->Panels()->Items(0)->State(), psDocked);
    EXPECT_EQ(edit->Top(), 40 - 23);   // under the window's own caption
    EXPECT_EQ(p->ContentTop(), 1);
    // The floating window sizes by its own frame: the panel's edge is no border.
    p->SetCursor(crHelp);
    MouseMove(p, p->Width() - 1, 60);
    EXPECT_EQ(WindowCursor(p), crHelp);
    f->SetCaption(p->Caption());
    ProcessPendingMessages();
    std::unique_ptr<TBitmap> shot = GrabControl(f);
    ASSERT_TRUE(shot && !shot->Empty());
    TRasterImage png("PNG");
    png.Assign(shot.get());
    png.SaveToFile(FromOsPath(ScreenshotPath("toolpanel_floating.png")));
    // Widened while floating, a click in it keeps the width it docks back to.
    f->SetBounds(f->Left(), f->Top(), 320, f->Height());
    ProcessPendingMessages();
    ASSERT_EQ(p->Width(), 320);
    Click(p, 100, 100);
    EXPECT_EQ(p->OpenWidth(), 320);

    // Closing the window docks the panel back beside its strip, locked.
    CloseWindowByUser(f);
    ProcessPendingMessages();
    EXPECT_FALSE(p->Floating());
    EXPECT_TRUE(p->Locked());
    EXPECT_EQ(p->Width(), 320);
    EXPECT_EQ(p->Parent(), form);
    EXPECT_EQ(edit->Top(), 40);
    EXPECT_EQ(strip->Panels()->Items(0)->State(), psOpened);
}

TEST_F(PanelStrip, AFreedImageListLeavesTheStripAndThePanelWithoutImages)
{
    TProToolPanel* p = Add("Normy");
    p->SetImageIndex(0);
    strip->UpdatePanel(p);
    TProToolPanelSection* sec = p->Sections()->Add();
    sec->SetCaptionImageIndex(0);
    sec->SectionItems()->Add()->SetImageIndex(0);
    auto* images = new TImageList(form);
    TBitmap pic;
    pic.SetSize(16, 16);
    images->Add(&pic, nullptr);
    strip->SetImages(images);
    p->SetSectionImages(images);
    strip->OpenTab(0);
    const int withImage = strip->TabsLength();
    delete images;   // the form's own list goes first
    EXPECT_EQ(strip->Images(), nullptr);
    EXPECT_EQ(p->SectionImages(), nullptr);
    EXPECT_LT(strip->TabsLength(), withImage);
    // Painting afterwards touches no freed list (AddressSanitizer watches).
    EXPECT_TRUE(GrabControl(strip) != nullptr);
    EXPECT_TRUE(GrabControl(p) != nullptr);
    // A list given and taken back tells nobody afterwards; a strip that goes first is forgotten by the list.
    auto* other = new TImageList(form);
    strip->SetImages(other);
    strip->SetImages(nullptr);
    p->SetSectionImages(other);
    delete other;
    EXPECT_EQ(p->SectionImages(), nullptr);
    auto* kept = new TImageList(form);
    strip->SetImages(kept);
    delete strip;
    strip = nullptr;
    delete kept;
}

// ---------------------------------------------------------------- tab geometry

TEST_F(PanelStrip, TabGeometryAndPaintingForEachEdge)
{
    const char* captions[] = {"Normy", "Wykazy wyrobów", "Ustawienia"};
    for (const char* c : captions)
        Add(c);
    strip->SetColor(clWhite);
    strip->SetColorTo(clNone);
    strip->SetTabColor(0x00FF00);
    strip->SetTabColorTo(clNone);
    strip->SetTabBorderColor(0x0000FF);
    strip->SetTabHoverColor(clNone);
    struct Edge {
        TPanelPosition pos;
        // A pixel just inside the tab's far corner, and one outside its cross edge (x or y across the band).
        int inCross, outCross;
    };
    const Edge edges[] = {{ppLeft, 20, 22}, {ppRight, 3, 1}, {ppTop, 20, 22}, {ppBottom, 2, 0}};
    for (const Edge& e : edges) {
        strip->SetPosition(e.pos);
        const bool vertical = e.pos == ppLeft || e.pos == ppRight;
        // The edge changes, the thickness stays: give the strip its thickness again.
        if (vertical)
            strip->SetWidth(23);
        else
            strip->SetHeight(23);
        ProcessPendingMessages();
        ASSERT_EQ(vertical ? strip->Width() : strip->Height(), 23) << e.pos;
        int start = 2, total = 2;
        std::vector<std::pair<int, int>> spans;
        for (const char* c : captions) {
            const int n = TextWidthIn(strip->Font(), c) + 4;
            spans.push_back({start, n});
            start += n + 10;
            total += n + 10;
        }
        EXPECT_EQ(strip->TabsLength(), total) << e.pos;
        std::unique_ptr<TBitmap> shot = GrabControl(strip);
        auto at = [&](int along, int cross) {
            return (vertical ? shot->Canvas()->Pixels(cross, along) : shot->Canvas()->Pixels(along, cross)) &
                   0xFFFFFF;
        };
        auto hit = [&](int along) {
            return vertical ? strip->TabAtPos(strip->Width() - 5, along) : strip->TabAtPos(along, strip->Height() - 5);
        };
        for (int k = 0; k < 3; ++k) {
            const auto [s, n] = spans[k];
            // Hit spans are strict on both sides.
            EXPECT_EQ(hit(s), -1) << e.pos << " tab " << k;
            EXPECT_EQ(hit(s + 1), k) << e.pos << " tab " << k;
            EXPECT_EQ(hit(s + n + 9), k) << e.pos << " tab " << k;
            EXPECT_EQ(hit(s + n + 10), -1) << e.pos << " tab " << k;
            // The tab is painted over its length + 4, the gap up to the next tab is background.
            EXPECT_EQ(at(s + n + 2, e.inCross), 0x00FF00u) << e.pos << " tab " << k;
            EXPECT_EQ(at(s + n + 3, e.inCross), 0x0000FFu) << e.pos << " tab " << k;
            EXPECT_EQ(at(s + n + 6, e.inCross), 0xFFFFFFu) << e.pos << " tab " << k;
            EXPECT_EQ(at(s + n + 2, e.outCross), 0xFFFFFFu) << e.pos << " tab " << k;
        }
    }
}

TEST_F(PanelStrip, TabImagesLengthenTheTabs)
{
    TImageList images(16, 16);
    TBitmap pic;
    pic.SetSize(16, 16);
    images.Add(&pic, nullptr);
    TProToolPanel* p = Add("Normy");
    const int plain = TextWidthIn(strip->Font(), "Normy") + 4;
    EXPECT_EQ(strip->TabsLength(), 2 + plain + 10);
    strip->SetImages(&images);
    EXPECT_EQ(strip->TabsLength(), 2 + plain + 10) << "no image index yet";
    p->SetImageIndex(0);
    EXPECT_EQ(strip->Panels()->Items(0)->ImageIndex(), 0);
    EXPECT_EQ(strip->TabsLength(), 2 + plain + 6 + 16 + 10);
    strip->SetImages(nullptr);
}

TEST_F(PanelStrip, OverflowingTabsScrollFromTheArrows)
{
    form->SetClientHeight(120);
    for (const char* c : {"Normy europejskie", "Wykazy wyrobów budowlanych", "Ustawienia programu"})
        Add(c);
    const int H = strip->Height();
    ASSERT_GT(strip->TabsLength(), H);
    // The bottom 10 pixels are the arrows, whatever tab lies below them.
    const int x = strip->Width() - 5;
    EXPECT_EQ(strip->TabAtPos(x, H - 9), -1);
    EXPECT_NE(strip->TabAtPos(x, H - 10), -1);

    struct Press { int x; int offset; };
    const int presses = (strip->TabsLength() - H + 9) / 10;   // down presses until the last tab shows
    for (int i = 1; i <= presses; ++i) {
        Click(strip, 15, H - 3);
        EXPECT_EQ(strip->ScrollOffset(), -10 * i);
    }
    MouseDown(strip, 15, H - 3);   // no further than the tabs reach
    MouseUp(strip, 15, H - 3);
    EXPECT_EQ(strip->ScrollOffset(), -10 * presses);
    EXPECT_EQ(strip->TabAtPos(x, 2 - 10 * presses + 1), 0) << "tabs move with the offset";
    for (Press pr : {Press{12, -10 * presses}, Press{11, -10 * (presses - 1)}}) {
        Click(strip, pr.x, H - 3);
        EXPECT_EQ(strip->ScrollOffset(), pr.offset) << pr.x;
    }
    for (int i = 0; i < presses + 2; ++i) {
        Click(strip, 5, H - 3);
    }
    EXPECT_EQ(strip->ScrollOffset(), 0);
}

TEST_F(PanelStrip, DockBandsOfEachEdge)
{
    TProToolPanel* p = Add("Normy");
    TPaintBox other(nullptr);
    TRect r;
    EXPECT_FALSE(strip->DockOver(&other, r));
    for (TPanelPosition pos : {ppLeft, ppRight, ppTop, ppBottom}) {
        strip->SetPosition(pos);
        const int w = strip->Width(), h = strip->Height();
        const TPoint o = strip->ClientToScreen(TPoint(0, 0));
        TRect want;
        switch (pos) {
        case ppLeft: want = TRect(0, 0, 100, h); break;
        case ppRight: want = TRect(w - 100, 0, w, h); break;
        case ppTop: want = TRect(0, 0, w, 100); break;
        case ppBottom: want = TRect(0, h - 100, w, h); break;
        }
        ASSERT_TRUE(strip->DockOver(p, r));
        EXPECT_EQ(r, TRect(want.Left + o.X, want.Top + o.Y, want.Right + o.X, want.Bottom + o.Y)) << pos;
    }
}

// ---------------------------------------------------------------- transitions

TEST_F(PanelStrip, SlidesOfEachEdgeStepFifteenPixels)
{
    struct Case {
        TPanelPosition pos;
        std::vector<int> outSteps;   // the recorded edge before each step
        int outEnd;
        std::vector<int> inSteps;
    };
    const Case cases[] = {
        {ppTop, {-100, -85, -70, -55, -40, -25, -10, 5, 20}, 23, {23, 8, -7, -22, -37, -52, -67, -82, -97}},
        {ppRight, {0, 15, 30, 45, 60, 75, 90}, 100, {100, 85, 70, 55, 40, 25, 10}},
        {ppBottom, {0, 15, 30, 45, 60, 75, 90}, 100, {100, 85, 70, 55, 40, 25, 10}},
    };
    TProToolPanel* p = Add("Normy");
    Add("Wykazy");
    for (const Case& c : cases) {
        strip->SetPosition(c.pos);
        strip->SetTabWidth(23);
        c.pos == ppRight ? strip->SetWidth(23) : strip->SetHeight(23);
        ProcessPendingMessages();
        p->SetOpenWidth(100);
        TForm* host = strip->HostForm();
        record = [&] { return c.pos == ppTop ? p->Top() : c.pos == ppRight ? host->Width() : host->Height(); };
        steps.clear();
        strip->OpenTab(0);
        EXPECT_EQ(steps, c.outSteps) << c.pos;
        EXPECT_EQ(record(), c.outEnd) << c.pos;
        EXPECT_EQ(strip->OpenIndex(), 0);
        EXPECT_EQ(strip->Panels()->Items(0)->State(), psOpened);
        const TPoint o = strip->ClientToScreen(TPoint(0, 0));
        if (c.pos == ppRight) {
            EXPECT_EQ(p->Parent(), host);
            EXPECT_EQ(host->Left(), o.X - 100);
            EXPECT_EQ(host->Top(), o.Y);
            EXPECT_EQ(host->Height(), strip->Height());
            EXPECT_EQ(p->Left(), 2);
            EXPECT_EQ(p->Width(), 98);
        } else if (c.pos == ppBottom) {
            EXPECT_EQ(host->Top(), o.Y - 100);
            EXPECT_EQ(host->Width(), strip->Width());
            EXPECT_EQ(p->Top(), 2);
            EXPECT_EQ(p->Height(), 98);
        } else {
            EXPECT_EQ(p->Left(), strip->Left());
            EXPECT_EQ(p->Width(), strip->Width());
            EXPECT_EQ(p->Height(), 100);
        }
        steps.clear();
        strip->SlidePanelIn(p);
        EXPECT_EQ(steps, c.inSteps) << c.pos;
        EXPECT_EQ(strip->OpenIndex(), -1);
        EXPECT_EQ(strip->Panels()->Items(0)->State(), psClosed);
        if (c.pos != ppTop) {
            EXPECT_FALSE(p->Visible());
            EXPECT_EQ(p->OpenWidth(), 100) << "the host's extent is kept";
        }
        // Instant speed: no step at all.
        strip->SetSlideSpeed(ssInstant);
        steps.clear();
        strip->OpenTab(0);
        strip->SlidePanelIn(p);
        EXPECT_TRUE(steps.empty()) << c.pos;
        strip->SetSlideSpeed(ssMedium);
    }
    record = nullptr;
}

TEST_F(PanelStrip, OpeningAnotherTabClosesTheOpenOneWithEventsInOrder)
{
    TProToolPanel* a = Add("Normy");
    Add("Wykazy");
    std::vector<std::string> log;
    auto note = [&](const char* what) {
        return [&log, what](TObject*, int i, TProToolPanel*) { log.push_back(what + std::to_string(i)); };
    };
    strip->OnTabSlideOut = note("out");
    strip->OnTabSlideOutDone = note("outDone");
    strip->OnTabSlideIn = note("in");
    strip->OnTabSlideInDone = note("inDone");
    strip->OnTabLeftClick = note("left");
    strip->OnTabRightClick = note("right");
    strip->OnTabEnter = note("enter");
    strip->OnTabLeave = note("leave");

    const TPoint t0 = TabPoint(0), t1 = TabPoint(1);
    Click(strip, t0.X, t0.Y);
    Click(strip, t1.X, t1.Y, mbRight);
    const std::vector<std::string> opened = {"left0", "out0", "outDone0", "right1", "in0", "inDone0", "out1",
                                             "outDone1"};
    EXPECT_EQ(log, opened);
    EXPECT_EQ(strip->OpenIndex(), 1);
    EXPECT_FALSE(a->Visible());
    a->SetWidth(170);   // the closed panel keeps the width it had
    log.clear();
    strip->OpenTab(1);   // already open: nothing
    EXPECT_TRUE(log.empty());

    // A press off the tabs slides the open panel in.
    const TPoint empty(strip->Width() - 5, strip->Height() - 40);
    ASSERT_EQ(strip->TabAtPos(empty.X, empty.Y), -1);
    Click(strip, empty.X, empty.Y);
    EXPECT_EQ(log, (std::vector<std::string>{"in1", "inDone1"}));
    EXPECT_EQ(strip->OpenIndex(), -1);

    // Entering and leaving tabs.
    log.clear();
    MouseMove(strip, t0.X, t0.Y);
    MouseMove(strip, t0.X, t0.Y + 1);
    MouseMove(strip, t1.X, t1.Y);
    MouseLeave(strip);
    EXPECT_EQ(log, (std::vector<std::string>{"enter0", "leave0", "enter1", "leave1"}));
}

TEST_F(PanelStrip, AutoLockedPanelStaysBesideTheStrip)
{
    TProToolPanel* a = Add("Normy");
    Add("Wykazy");
    a->SetAutoLock(true);
    a->SetOpenWidth(140);
    strip->OpenTab(0);
    EXPECT_TRUE(a->Locked());
    EXPECT_EQ(strip->OpenIndex(), -1);
    EXPECT_EQ(strip->OpenCandidate(), -1);
    EXPECT_EQ(a->Align(), alLeft);
    EXPECT_EQ(a->Width(), 140);
    EXPECT_EQ(strip->TabCount(), 1);
    // A press off the tabs leaves it alone, and so does the timer.
    Click(strip, strip->Width() - 5, strip->Height() - 40);
    CursorAt(form, TPoint(500, 300));
    Tick(25);
    EXPECT_TRUE(a->Visible());
    EXPECT_EQ(a->Align(), alLeft);
}

TEST_F(PanelStrip, LockAndUnlockOnARightStripMoveThePanelOutOfAndIntoTheHost)
{
    strip->SetPosition(ppRight);
    TProToolPanel* a = Add("Normy");
    Add("Wykazy");
    a->SetOpenWidth(120);
    strip->OpenTab(0);
    TForm* host = strip->HostForm();
    ASSERT_EQ(a->Parent(), host);
    a->SetLocked(true);
    EXPECT_EQ(a->Parent(), form);
    EXPECT_EQ(a->Align(), alRight);
    EXPECT_EQ(a->Width(), 120);
    EXPECT_FALSE(host->Visible());
    EXPECT_EQ(strip->OpenIndex(), -1);
    EXPECT_EQ(strip->Width(), 23);

    a->SetLocked(false);
    EXPECT_EQ(a->Parent(), host);
    EXPECT_TRUE(host->Visible());
    EXPECT_EQ(a->OpenWidth(), 122);
    EXPECT_EQ(host->Width(), 122);
    EXPECT_EQ(host->Left(), strip->ClientToScreen(TPoint(0, 0)).X - 122);
    EXPECT_EQ(a->Width(), 120);
    EXPECT_EQ(strip->OpenIndex(), 0);

    // Hiding the open panel clears the open index.
    a->SetHidden(true);
    EXPECT_EQ(strip->OpenIndex(), -1);
    EXPECT_EQ(strip->TabCount(), 1);
}

TEST_F(PanelStrip, LockingTheLastTabShrinksTheStripAndUnlockingRestoresIt)
{
    TProToolPanel* a = Add("Normy");
    strip->SetTabWidth(20);
    strip->OpenTab(0);
    a->SetLocked(true);
    EXPECT_EQ(strip->TabCount(), 0);
    EXPECT_EQ(strip->Width(), 0);
    EXPECT_EQ(a->Left(), 0);
    a->SetLocked(false);
    EXPECT_EQ(strip->Width(), 20) << "the tab width, now that a tab is back";
    EXPECT_EQ(a->Left(), 20);
    EXPECT_EQ(strip->OpenIndex(), 0);
}

// ---------------------------------------------------------------- the timer

TEST_F(PanelStrip, AutoOpenCountsTicksPerTab)
{
    Add("Normy");
    Add("Wykazy");
    const TPoint t0 = TabPoint(0), t1 = TabPoint(1);
    // Two ticks on tab 0, then the mouse moves to tab 1: the count starts again.
    CursorAt(strip, t0);
    MouseMove(strip, t0.X, t0.Y);
    Tick(2);
    EXPECT_EQ(strip->OpenTicks(), 2);
    MouseMove(strip, t1.X, t1.Y);
    EXPECT_EQ(strip->OpenTicks(), 0);
    CursorAt(strip, t1);
    Tick(2);
    EXPECT_EQ(strip->OpenIndex(), -1);
    // Moving within the same tab keeps the count.
    MouseMove(strip, t1.X, t1.Y + 2);
    EXPECT_EQ(strip->OpenTicks(), 2);
    Tick();
    EXPECT_EQ(strip->OpenIndex(), 1);
    EXPECT_EQ(strip->OpenCandidate(), -1);
    strip->SlidePanelIn(strip->Panels()->Items(1)->Panel());

    // The cursor reached another tab before the third tick: nothing opens.
    MouseMove(strip, t0.X, t0.Y);
    CursorAt(strip, t0);
    Tick(2);
    CursorAt(strip, t1);
    Tick();
    EXPECT_EQ(strip->OpenIndex(), -1);
    EXPECT_EQ(strip->OpenCandidate(), -1);
    Tick(3);
    EXPECT_EQ(strip->OpenIndex(), -1);

    // Outside the tab band no tick counts.
    MouseMove(strip, t0.X, t0.Y + 1);
    CursorAt(strip, TPoint(strip->Width() - strip->TabWidth(), t0.Y));
    Tick(5);
    EXPECT_EQ(strip->OpenIndex(), -1);
    EXPECT_EQ(strip->OpenTicks(), 0);
    // Without auto-open the mouse sets no candidate.
    MouseMove(strip, 0, t0.Y);   // the band starts after Width - TabWidth
    EXPECT_EQ(strip->OpenCandidate(), -1);
    strip->SetAutoOpenOnMouseEnter(false);
    MouseMove(strip, t0.X, t0.Y + 3);
    EXPECT_EQ(strip->OpenCandidate(), -1);
}

TEST_F(PanelStrip, AutoCloseCountsOnlyOutsideAndWhileEnabled)
{
    TProToolPanel* a = Add("Normy");
    Add("Wykazy");
    strip->SetTabWidth(20);
    strip->OpenTab(0);
    struct Where { const char* name; TControl* on; TPoint at; bool closes; };
    const TPoint onOwnTab = TabPoint(0), onOtherTab = TabPoint(1);
    const Where places[] = {
        {"inside the panel", a, TPoint(30, 30), false},
        {"on its own tab", strip, TPoint(2, onOwnTab.Y), false},
        {"on another tab", strip, onOtherTab, true},
    };
    for (const Where& w : places) {
        if (strip->OpenIndex() != 0)
            strip->OpenTab(0);
        strip->ResetAutoCloseCounter();
        CursorAt(w.on, w.at);
        Tick(9);
        EXPECT_EQ(strip->OpenIndex(), 0) << w.name;
        Tick();
        EXPECT_EQ(strip->OpenIndex(), w.closes ? -1 : 0) << w.name;
    }
    // Switched off while the user sizes the panel: the count stands still.
    strip->OpenTab(0);
    strip->ResetAutoCloseCounter();
    CursorAt(form, TPoint(500, 300));
    a->Perform(WM_ENTERSIZEMOVE, 0, 0);
    Tick(20);
    EXPECT_EQ(strip->CloseTicks(), 0);
    EXPECT_EQ(strip->OpenIndex(), 0);
    a->Perform(WM_EXITSIZEMOVE, 0, 0);
    // A left strip keeps the panel's width at closing.
    a->SetWidth(177);
    strip->ResetAutoCloseCounter();
    Tick(10);
    EXPECT_EQ(strip->OpenIndex(), -1);
    EXPECT_EQ(a->OpenWidth(), 177);
    EXPECT_EQ(strip->Panels()->Items(0)->OpenWidth(), 177);
    // With nothing open the count stays at 0.
    Tick(3);
    EXPECT_EQ(strip->CloseTicks(), 0);
}

TEST(ToolPanelTimer, IntervalsAndStepDelaysOfEachSpeed)
{
    const std::pair<TAutoOpenCloseSpeed, UINT> intervals[] = {
        {aocSlow, 500}, {aocMedium, 200}, {aocFast, 75}, {aocVerySlow, 1500}, {aocVeryFast, 40}};
    for (auto [speed, ms] : intervals)
        EXPECT_EQ(TProToolPanelTab::AutoOpenCloseInterval(speed), ms) << speed;
    const std::pair<TSlideSpeed, int> delays[] = {{ssSlow, 18}, {ssMedium, 9}, {ssFast, 3}, {ssInstant, 0}};
    for (auto [speed, d] : delays)
        EXPECT_EQ(TProToolPanelTab::SlideDelay(speed), d) << speed;
}

// ---------------------------------------------------------------- the saved arrangement

TEST_F(PanelStrip, SavingWritesEveryKeyInOrder)
{
    const std::string ini = TempPath("save.ini");
    std::remove(ini.c_str());
    strip->SetTabWidth(20);
    TProToolPanel* a = Add("Normy", "PanelA");
    TProToolPanel* b = Add("Wykazy", "PanelB");
    TProToolPanel* c = Add("Ustawienia", "PanelC");
    a->SetOpenWidth(140);
    strip->OpenTab(0);
    a->SetLocked(true);
    b->SetOpenWidth(210);
    c->FloatAt(TRect(300, 200, 460, 500));
    TForm* f = c->FloatingForm();
    ASSERT_NE(f, nullptr);
    strip->Persist()->SetINIFile(ini);
    strip->SavePanels();

    auto n = [](int v) { return std::to_string(v); };
    const std::string want =
        "[ProToolPanelTabPANELS]\r\nCOUNT=3\r\n"
        "[ProToolPanelTabPANEL1]\r\nNAME=PanelA\r\nOPENWIDTH=140\r\nLOCKED=1\r\nHIDDEN=0\r\nDOCKED=0\r\n"
        "VISIBLE=1\r\nTAB=ProToolPanelTab\r\nLEFT=" + n(a->Left()) + "\r\nTOP=" + n(a->Top()) +
        "\r\nWIDTH=140\r\n"
        "[ProToolPanelTabPANEL2]\r\nNAME=PanelB\r\nOPENWIDTH=210\r\nLOCKED=0\r\nHIDDEN=0\r\nDOCKED=0\r\n"
        "VISIBLE=0\r\nTAB=ProToolPanelTab\r\nLEFT=" + n(b->Left()) + "\r\nTOP=" + n(b->Top()) +
        "\r\nWIDTH=210\r\n"
        "[ProToolPanelTabPANEL3]\r\nNAME=PanelC\r\nOPENWIDTH=150\r\nLOCKED=0\r\nHIDDEN=0\r\nDOCKED=1\r\n"
        "VISIBLE=1\r\nTAB=ProToolPanelTab\r\nLEFT=" + n(f->Left()) + "\r\nTOP=" + n(f->Top()) +
        "\r\nWIDTH=" + n(f->Width()) + "\r\nHEIGHT=" + n(f->Height()) + "\r\n";
    EXPECT_EQ(ReadFileBytes(ini), want);
    // The panel's area, not the window's frame, went where it was floated.
    EXPECT_EQ(f->ClientOrigin().X, 300);
    EXPECT_EQ(f->Width(), 160);

    // An empty file name disables saving; the strip's loaded flag is cleared either way.
    std::remove(ini.c_str());
    strip->Persist()->SetINIFile("");
    strip->SavePanels();
    EXPECT_FALSE(std::filesystem::exists(ini));
    EXPECT_FALSE(strip->StripLoaded());
}

TEST_F(PanelStrip, LoadingSkipsMissingAndBadKeys)
{
    const std::string ini = TempPath("load.ini");
    const std::string rec = "[ProToolPanelTabPANELS]\r\nCOUNT=";
    struct Case {
        const char* name;
        std::string bytes;
        bool loadedA, lockedA, hiddenA, floatingA;
        int openWidthA, entryWidthA;
        bool loadedB;
        int openWidthB;
        TPoint floatAt = TPoint(300, 200);   // the floating window's left and top
    };
    const TRect wa = Screen->WorkAreaRect();
    const Case cases[] = {
        {"no file", "", false, false, false, false, 150, 150, false, 150},
        {"count 0", rec + "0\r\n[ProToolPanelTabPANEL1]\r\nNAME=PanelA\r\nLOCKED=1\r\n", false, false, false,
         false, 150, 150, false, 150},
        {"count not a number", rec + "abc\r\n[ProToolPanelTabPANEL1]\r\nNAME=PanelA\r\nLOCKED=1\r\n", false, false,
         false, false, 150, 150, false, 150},
        {"unknown name and missing records",
         rec + "3\r\n[ProToolPanelTabPANEL1]\r\nNAME=Nobody\r\nLOCKED=1\r\n"
               "[ProToolPanelTabPANEL2]\r\nNAME=PanelA\r\nOPENWIDTH=xyz\r\nLOCKED=1\r\nVISIBLE=1\r\n",
         true, true, false, false, 150, 150, false, 150},
        {"locked from WIDTH, unlocked from OPENWIDTH",
         rec + "2\r\n[ProToolPanelTabPANEL1]\r\nNAME=PanelA\r\nOPENWIDTH=130\r\nLOCKED=1\r\nVISIBLE=1\r\nWIDTH=180\r\n"
               "[ProToolPanelTabPANEL2]\r\nNAME=PanelB\r\nOPENWIDTH=130\r\nWIDTH=180\r\n",
         true, true, false, false, 180, 180, true, 130},
        {"hidden", rec + "1\r\n[ProToolPanelTabPANEL1]\r\nNAME=PanelA\r\nHIDDEN=1\r\nLOCKED=1\r\n", true, false,
         true, false, 150, 150, false, 150},
        {"floating without a size",
         rec + "1\r\n[ProToolPanelTabPANEL1]\r\nNAME=PanelA\r\nDOCKED=1\r\nVISIBLE=1\r\nLEFT=300\r\nTOP=200\r\n", true,
         false, false, true, 150, 150, false, 150},
        {"floating beyond the screen comes back on it",
         rec + "1\r\n[ProToolPanelTabPANEL1]\r\nNAME=PanelA\r\nDOCKED=1\r\nVISIBLE=1\r\nLEFT=3800\r\nTOP=2800\r\n"
               "WIDTH=200\r\nHEIGHT=300\r\n",
         true, false, false, true, 150, 150, false, 150, TPoint(wa.Right - 200, wa.Bottom - 300)},
        {"floating before the screen",
         rec + "1\r\n[ProToolPanelTabPANEL1]\r\nNAME=PanelA\r\nDOCKED=1\r\nVISIBLE=1\r\nLEFT=-900\r\nTOP=-50\r\n"
               "WIDTH=200\r\nHEIGHT=300\r\n",
         true, false, false, true, 150, 150, false, 150, TPoint(wa.Left, wa.Top)},
    };
    for (const Case& c : cases) {
        std::remove(ini.c_str());
        if (!c.bytes.empty())
            WriteFileBytes(ini, c.bytes);
        auto* f2 = new TForm(nullptr);
        f2->SetBounds(100, 100, 600, 400);
        auto* s2 = new TProToolPanelTab(f2);
        s2->SetName("ProToolPanelTab");
        s2->SetParent(f2);
        s2->SetTabWidth(20);
        f2->Show();
        TProToolPanel* a = s2->CreatePanel();
        a->SetName("PanelA");
        TProToolPanel* b = s2->CreatePanel();
        b->SetName("PanelB");
        s2->Persist()->SetINIFile(ini);
        s2->LoadPanels();
        EXPECT_EQ(a->PanelLoaded(), c.loadedA) << c.name;
        EXPECT_EQ(a->Locked(), c.lockedA) << c.name;
        EXPECT_EQ(a->Hidden(), c.hiddenA) << c.name;
        EXPECT_EQ(a->Floating(), c.floatingA) << c.name;
        EXPECT_EQ(a->OpenWidth(), c.openWidthA) << c.name;
        EXPECT_EQ(s2->Panels()->Items(0)->OpenWidth(), c.entryWidthA) << c.name;
        EXPECT_EQ(b->PanelLoaded(), c.loadedB) << c.name;
        EXPECT_EQ(b->OpenWidth(), c.openWidthB) << c.name;
        EXPECT_EQ(s2->OpenIndex(), -1) << c.name;
        EXPECT_EQ(s2->StripLoaded(), c.loadedA || c.loadedB) << c.name;
        if (c.lockedA) { EXPECT_EQ(a->Width(), c.openWidthA) << c.name; }
        if (c.floatingA) {
            const TForm* ff = a->FloatingForm();
            EXPECT_EQ(TPoint(ff->Left(), ff->Top()), c.floatAt) << c.name;
            EXPECT_TRUE(ff->Width() > 0 && ff->Height() > 0) << c.name;
        }
        const int tabs = int(!(c.lockedA || c.hiddenA || c.floatingA)) + 1;
        EXPECT_EQ(s2->TabCount(), tabs) << c.name;
        EXPECT_EQ(s2->Width(), c.loadedA || c.loadedB ? 20 : 23) << c.name;

        // A panel is restored once: a second load changes nothing.
        if (c.loadedA) {
            WriteFileBytes(ini, rec + "1\r\n[ProToolPanelTabPANEL1]\r\nNAME=PanelA\r\nOPENWIDTH=99\r\nHIDDEN=0\r\n");
            s2->LoadPanels();
            EXPECT_EQ(a->Hidden(), c.hiddenA) << c.name;
            EXPECT_EQ(s2->Panels()->Items(0)->OpenWidth(), c.entryWidthA) << c.name;
        }
        delete f2;
    }
    std::remove(ini.c_str());
}

TEST_F(PanelStrip, LoadingHandsPanelsToTheStripWhoseRecordsNameThem)
{
    const std::string ini = TempPath("two.ini");
    WriteFileBytes(ini, "[StripRPANELS]\r\nCOUNT=1\r\n[StripRPANEL1]\r\nNAME=PanelA\r\nOPENWIDTH=120\r\nVISIBLE=0\r\n"
                    "[ProToolPanelTabPANELS]\r\nCOUNT=1\r\n[ProToolPanelTabPANEL1]\r\nNAME=PanelB\r\n"
                    "OPENWIDTH=160\r\nVISIBLE=0\r\n");
    auto* right = new TProToolPanelTab(form);
    right->SetName("StripR");
    right->SetParent(form);
    right->SetPosition(ppRight);
    TProToolPanel* a = Add("Normy", "PanelA");
    TProToolPanel* b = Add("Wykazy", "PanelB");
    right->Persist()->SetINIFile(ini);
    strip->Persist()->SetINIFile(ini);
    right->LoadPanels();
    EXPECT_EQ(a->ToolPanelTab(), right);
    EXPECT_EQ(b->ToolPanelTab(), strip);
    EXPECT_EQ(right->IndexOfPanel(a), 0);
    EXPECT_EQ(strip->IndexOfPanel(a), -1);
    EXPECT_EQ(strip->IndexOfPanel(b), 0);
    EXPECT_EQ(a->Owner(), right);
    EXPECT_EQ(b->Owner(), strip);
    EXPECT_EQ(right->Panels()->Items(0)->OpenWidth(), 120);
    EXPECT_EQ(strip->Panels()->Items(0)->OpenWidth(), 160);
    EXPECT_TRUE(strip->StripLoaded());
    EXPECT_TRUE(right->StripLoaded());
    std::remove(ini.c_str());
}

TEST_F(PanelStrip, AFocusedEditInsideAGroupOnThePanelKeepsItOpen)
{
    TProToolPanel* a = Add("Normy");
    Add("Wykazy");
    auto* group = new TPanel(form);
    group->SetParent(a);
    group->SetBounds(10, 40, 120, 60);
    auto* edit = new TEdit(form);
    edit->SetParent(group);
    edit->SetBounds(5, 5, 100, 21);
    strip->OpenTab(0);
    form->SetFocus();
    edit->SetFocus();
    ProcessPendingMessages();
    if (!edit->Focused())
        GTEST_SKIP() << "no keyboard focus on this platform";
    CursorAt(form, TPoint(500, 300));
    strip->ResetAutoCloseCounter();
    Tick(12);
    EXPECT_EQ(strip->OpenIndex(), 0);
}
