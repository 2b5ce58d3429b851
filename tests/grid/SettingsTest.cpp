#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "grid/ProGrid.h"
#include "platform/gui/Forms.h"
#include "tests/common/GridTest.h"

TEST(GridSettings, SetterRulesAndEvents)
{
    TProStringGrid g(nullptr);
    g.SetOptions(g.Options() | goEditing);
    g.MouseActions()->SetEditOnDblClickOnly(true);
    EXPECT_FALSE(g.Options() & goEditing);

    g.DragDropSettings()->SetOleDropRTF(true);
    EXPECT_TRUE(RichTextDropAllowed());
    g.DragDropSettings()->SetOleDropRTF(false);
    EXPECT_FALSE(RichTextDropAllowed());
}

TEST(GridSettings, ProgressLevelBoundaryBelongsToUpperLevel)
{
    TProStringGrid g(nullptr);
    struct { int Perc; int Level; } cases[] = {{0, 0}, {69, 0}, {70, 1}, {89, 1}, {90, 2}, {99, 2}, {100, 3}};
    for (auto c : cases) EXPECT_EQ(g.ProgressAppearance()->LevelOf(c.Perc), c.Level) << c.Perc;
    TColor from, to;
    g.ProgressAppearance()->LevelColors(70, from, to);
    EXPECT_EQ(from, clYellow);
    EXPECT_EQ(to, TColor(0xCAFFFF));
}

namespace {
template <class V>
std::string Str(const V& v)
{
    if constexpr (std::is_same_v<V, AnsiString>) return "'" + v + "'";
    else if constexpr (std::is_same_v<V, bool>) return v ? "true" : "false";
    else if constexpr (std::is_enum_v<V>) return std::to_string(int(v));
    else return std::to_string(v);
}

std::string BitmapSize(const TBitmap* b) { return std::to_string(b->Width()) + "x" + std::to_string(b->Height()); }
std::string FontText(const TFont* f)
{
    return f->Name() + "/" + std::to_string(f->Size()) + "/" + std::to_string(f->Style()) + "/" +
           std::to_string(f->Color());
}

template <class T>
struct Prop {
    const char* Name;
    std::string Default;   // empty: no default given by the table (owned object)
    std::function<std::string(T*)> Get;
    std::function<void(T*)> Set;   // to a value that is not the default
};

#define PROP(T, Name, Def, Other)                                                                 \
    Prop<T>{#Name, Str(std::decay_t<decltype(std::declval<T*>()->Name())>(Def)),                  \
            [](T* o) { return Str(std::decay_t<decltype(o->Name())>(o->Name())); },               \
            [](T* o) { o->Set##Name(Other); }}
// A bitmap property, set to a 3 x 2 one; a font property, set to an italic red 17-point Courier New.
#define GLYPH(T, Name)                                                                            \
    Prop<T>{#Name, "0x0", [](T* o) { return BitmapSize(o->Name()); }, [](T* o) {                  \
                TBitmap b;                                                                        \
                b.SetSize(3, 2);                                                                  \
                o->Set##Name(&b);                                                                 \
            }}
#define FONT(T, Name)                                                                             \
    Prop<T>{#Name, "", [](T* o) { return FontText(o->Name()); }, [](T* o) {                       \
                TFont f;                                                                          \
                f.SetName("Courier New");                                                         \
                f.SetSize(17);                                                                    \
                f.SetStyle(fsItalic);                                                             \
                f.SetColor(clRed);                                                                \
                o->Set##Name(&f);                                                                 \
            }}

// An object of no settings class.
class TForeignSettings : public TPersistent {};

// Three grids: one left new, a source whose objects get other values, and a
// destination the source is assigned to.
struct GridSettingsClasses : ::testing::Test {
    TProStringGrid Fresh{nullptr}, Source{nullptr}, Dest{nullptr};

    template <class T>
    void Check(const char* Class, std::function<T*(TProStringGrid&)> Of, const std::vector<Prop<T>>& Props,
               bool ForeignRaises = false)
    {
        for (const Prop<T>& p : Props)
            if (!p.Default.empty()) {
                EXPECT_EQ(p.Get(Of(Fresh)), p.Default) << Class << "." << p.Name << " default";
            }
        T* src = Of(Source);
        T* dst = Of(Dest);
        for (const Prop<T>& p : Props) {
            std::string before = p.Get(src);
            p.Set(src);
            EXPECT_NE(p.Get(src), before) << Class << "." << p.Name << ": the test value is the default";
        }
        dst->Assign(src);
        for (const Prop<T>& p : Props)
            EXPECT_EQ(p.Get(dst), p.Get(src)) << Class << "." << p.Name << " not copied by Assign";
        // A source of another class is ignored (print settings refuse it).
        TForeignSettings foreign;
        if (ForeignRaises) {
            EXPECT_THROW(dst->Assign(&foreign), EInvalidCast) << Class;
        } else {
            dst->Assign(&foreign);
            for (const Prop<T>& p : Props)
                EXPECT_EQ(p.Get(dst), p.Get(src)) << Class << "." << p.Name << " changed by a foreign source";
        }
    }
};
}  // namespace

TEST_F(GridSettingsClasses, CellNodeAndSizeWhileTyping)
{
    using T = TCellNode;
    Check<T>("TCellNode", [](TProStringGrid& g) { return g.CellNode(); },
             {PROP(T, Color, 0xC0C0C0, 0x123456), PROP(T, ExpandOne, false, true), PROP(T, NodeType, cnXP, cnFlat),
              PROP(T, NodeColor, 0x000000, clRed), PROP(T, NodeIndent, 12, 20), GLYPH(T, ExpandGlyph),
              GLYPH(T, ContractGlyph), PROP(T, ShowTree, true, false), PROP(T, ShowTreeFull, true, false),
              PROP(T, TreeColor, 0x808080, clBlue)});
    using S = TSizeWhileTyping;
    Check<S>("TSizeWhileTyping", [](TProStringGrid& g) { return g.SizeWhileTyping(); },
             {PROP(S, Height, false, true), PROP(S, Width, false, true)});
}

TEST_F(GridSettingsClasses, MouseActions)
{
    using T = TMouseActions;
    Check<T>("TMouseActions", [](TProStringGrid& g) { return g.MouseActions(); },
             {PROP(T, AllColumnSize, false, true), PROP(T, AllRowSize, false, true), PROP(T, AllSelect, false, true),
              PROP(T, AutoSizeColOnDblClick, true, false), PROP(T, CaretPositioning, false, true),
              PROP(T, CheckAllCheck, false, true), PROP(T, ColSelect, false, true),
              PROP(T, DirectComboClose, false, true), PROP(T, DirectComboDrop, false, true),
              PROP(T, DirectDateClose, false, true), PROP(T, DirectDateDrop, false, true),
              PROP(T, DirectEdit, false, true), PROP(T, DisjunctRowSelect, false, true),
              PROP(T, DisjunctColSelect, false, true), PROP(T, DisjunctCellSelect, false, true),
              PROP(T, EditOnDblClickOnly, false, true), PROP(T, FixedRowsEdit, fceNone, fceDblClick),
              PROP(T, FixedColsEdit, fceNone, fceRightClick), PROP(T, HotmailRowSelect, false, true),
              PROP(T, MoveRowOnNodeClick, false, true), PROP(T, NoAutoRangeScroll, false, true),
              PROP(T, NodeAllExpandContract, false, true), PROP(T, NoScrollOnPartialRow, false, true),
              PROP(T, PreciseCheckBoxCheck, false, true), PROP(T, RangeSelectAndEdit, false, true),
              PROP(T, RowSelect, false, true), PROP(T, RowSelectPersistent, false, true),
              PROP(T, SelectOnRightClick, false, true), PROP(T, SizeFixedCol, false, true),
              PROP(T, SizeFixedRow, false, true), PROP(T, WheelIncrement, 0, 3),
              PROP(T, WheelAction, waMoveSelection, waScroll)});
    // Assign copies without the setters: the destination keeps its editing option.
    Dest.SetOptions(Dest.Options() | goEditing);
    Dest.MouseActions()->Assign(Source.MouseActions());
    EXPECT_TRUE(Dest.Options() & goEditing);
}

TEST_F(GridSettingsClasses, ColumnSizeAndNavigation)
{
    using C = TColumnSize;
    Check<C>("TColumnSize", [](TProStringGrid& g) { return g.ColumnSize(); },
             {PROP(C, Save, false, true), PROP(C, Key, "", "Software\\Wykaz"), PROP(C, Section, "", "Kolumny"),
              PROP(C, Stretch, false, true), PROP(C, StretchColumn, -1, 2), PROP(C, SynchWithGrid, false, true),
              PROP(C, Location, clRegistry, clIniFile)});
    using T = TNavigation;
    Check<T>("TNavigation", [](TProStringGrid& g) { return g.Navigation(); },
             {PROP(T, AllowInsertRow, false, true), PROP(T, AllowDeleteRow, false, true),
              PROP(T, AlwaysEdit, false, true), PROP(T, AdvanceOnEnter, false, true),
              PROP(T, AdvanceInsert, false, true), PROP(T, AutoGotoWhenSorted, false, true),
              PROP(T, AutoGotoIncremental, false, true), PROP(T, AutoComboDropSize, false, true),
              PROP(T, AdvanceDirection, adLeftRight, adTopBottom), PROP(T, AllowClipboardShortCuts, false, true),
              PROP(T, AllowCtrlEnter, true, false), PROP(T, AllowSmartClipboard, false, true),
              PROP(T, AllowRTFClipboard, false, true), PROP(T, AllowFmtClipboard, false, true),
              PROP(T, AllowClipboardAlways, false, true), PROP(T, AllowClipboardRowGrow, true, false),
              PROP(T, AllowClipboardColGrow, true, false), PROP(T, AdvanceAuto, false, true),
              PROP(T, AppendOnArrowDown, false, true), PROP(T, EditSelectAll, true, false),
              PROP(T, InsertPosition, pInsertBefore, pInsertAfter), PROP(T, CursorWalkEditor, false, true),
              PROP(T, CursorWalkAlwaysEdit, true, false), PROP(T, MoveRowOnSort, false, true),
              PROP(T, KeepScrollOnSort, false, true), PROP(T, MoveScrollOnly, false, true),
              PROP(T, ImproveMaskSel, false, true), PROP(T, LeftRightRowSelect, true, false),
              PROP(T, CopyHTMLTagsToClipboard, true, false), PROP(T, KeepHorizScroll, false, true),
              PROP(T, LineFeedOnEnter, false, true), PROP(T, HomeEndKey, heFirstLastColumn, heFirstLastRow),
              PROP(T, SkipFixedCells, true, false), PROP(T, TabToNextAtEnd, false, true),
              PROP(T, TabAdvanceDirection, adLeftRight, adTopBottom)});
}

TEST_F(GridSettingsClasses, HTMLAndPrintSettings)
{
    using H = THTMLSettings;
    Check<H>("THTMLSettings", [](TProStringGrid& g) { return g.HTMLSettings(); },
             {PROP(H, BorderSize, 1, 2), PROP(H, CellSpacing, 0, 3), PROP(H, CellPadding, 0, 4),
              PROP(H, SaveColor, true, false), PROP(H, SaveFonts, true, false), PROP(H, FooterFile, "", "stopka.htm"),
              PROP(H, HeaderFile, "", "nagłówek.htm"), PROP(H, TableStyle, "", "border:0"),
              PROP(H, PrefixTag, "", "<b>"), PROP(H, SuffixTag, "", "</b>"), PROP(H, Width, 100, 80),
              PROP(H, XHTML, false, true), PROP(H, ConvertSpecialChars, false, true),
              PROP(H, AutoPreview, false, true), PROP(H, NonBreakingText, false, true)});
    EXPECT_NE(Fresh.HTMLSettings()->ColWidths(), nullptr);

    using P = TPrintSettings;
    Check<P>(
        "TPrintSettings", [](TProStringGrid& g) { return g.PrintSettings(); },
        {PROP(P, FooterSize, 0, 5), PROP(P, HeaderSize, 0, 6), PROP(P, Time, ppNone, ppTopLeft),
         PROP(P, Date, ppNone, ppTopRight), PROP(P, DateFormat, "dd/mm/yyyy", "yyyy-mm-dd"),
         PROP(P, PageNr, ppNone, ppBottomCenter), PROP(P, Title, ppNone, ppTopCenter),
         PROP(P, TitleText, "", "Wykaz norm"),
         Prop<P>{"TitleLines", "''", [](P* o) { return "'" + o->TitleLines()->Text() + "'"; },
                 [](P* o) {
                     TStringList l;
                     l.Add("pierwsza");
                     l.Add("druga");
                     o->SetTitleLines(&l);
                 }},
         FONT(P, Font), FONT(P, FixedFont), FONT(P, HeaderFont), FONT(P, FooterFont),
         PROP(P, Borders, pbSingle, pbDouble), PROP(P, BorderStyle, psSolid, psDash), PROP(P, Centered, true, false),
         PROP(P, RepeatFixedRows, false, true), PROP(P, RepeatFixedCols, false, true), PROP(P, LeftSize, 0, 7),
         PROP(P, RightSize, 0, 8), PROP(P, ColumnSpacing, 0, 9), PROP(P, RowSpacing, 0, 10),
         PROP(P, TitleSpacing, 0, 11), PROP(P, Orientation, poPortrait, poLandscape),
         PROP(P, PagePrefix, "", "str. "), PROP(P, PageSuffix, "", " z"), PROP(P, PageNumberOffset, 0, 2),
         PROP(P, MaxPagesOffset, 0, 3), PROP(P, FixedWidth, 0, 40), PROP(P, FixedHeight, 0, 30),
         PROP(P, UseFixedHeight, false, true), PROP(P, UseFixedWidth, false, true),
         PROP(P, FitToPage, fpNever, fpShrink), PROP(P, JobName, "", "Wydruk"), PROP(P, PageNumSep, "/", " z "),
         PROP(P, NoAutoSize, false, true), PROP(P, NoAutoSizeRow, false, true), PROP(P, PrintGraphics, false, true),
         PROP(P, UseDisplayFont, true, false), PROP(P, UseDefaultOrientation, false, true)},
        true);
}

TEST_F(GridSettingsClasses, BackGroundBandsAndFilterData)
{
    using B = TBackGround;
    Check<B>("TBackGround", [](TProStringGrid& g) { return g.BackGround(); },
             {PROP(B, Top, 0, 4), PROP(B, Left, 0, 5), PROP(B, Display, bdTile, bdGradientVert), GLYPH(B, Bitmap),
              PROP(B, Cells, bcNormal, bcAll), PROP(B, Color, clWindow, clRed), PROP(B, ColorTo, clBtnFace, clBlue)});
    using N = TBands;
    Check<N>("TBands", [](TProStringGrid& g) { return g.Bands(); },
             {PROP(N, Active, false, true), PROP(N, PrimaryColor, clInfoBk, clYellow), PROP(N, PrimaryLength, 1, 2),
              PROP(N, SecondaryColor, clWindow, clLime), PROP(N, SecondaryLength, 1, 3), PROP(N, Print, false, true),
              Prop<N>{"Period", "2", [](N* o) { return std::to_string(o->Period()); },
                      [](N* o) { o->SetPrimaryLength(o->PrimaryLength() + 1); }}});
    EXPECT_EQ(Dest.Bands()->Period(), 6);

    using F = TFilterData;
    Check<F>("TFilterData", [](TProStringGrid& g) { return g.Filter()->Count() ? g.Filter()->Items(0) : g.Filter()->Add(); },
             {PROP(F, Column, 0, 3), PROP(F, Condition, "", ">5 & <9"), PROP(F, CaseSensitive, true, false),
              PROP(F, Data, fcVirtual, fcCalculated), PROP(F, Prefix, "", "PN-"), PROP(F, Suffix, "", ":2004"),
              PROP(F, Operation, foSHORT, foXOR)});
    EXPECT_EQ(Fresh.Filter()->Grid(), &Fresh);
}

TEST_F(GridSettingsClasses, SortSettingsAndControlLook)
{
    using S = TSortSettings;
    Check<S>("TSortSettings", [](TProStringGrid& g) { return g.SortSettings(); },
             {PROP(S, AutoSortForGrouping, true, false), PROP(S, AutoColumnMerge, false, true), PROP(S, Column, 0, 3),
              PROP(S, Show, false, true), PROP(S, IndexShow, false, true), PROP(S, IndexColor, 0x00FFFF, clRed),
              PROP(S, Full, true, false), PROP(S, SingleColumn, false, true), PROP(S, IgnoreBlanks, false, true),
              PROP(S, BlankPos, blFirst, blLast), PROP(S, AutoFormat, true, false),
              PROP(S, Direction, sdAscending, sdDescending), GLYPH(S, UpGlyph), GLYPH(S, DownGlyph),
              PROP(S, IgnoreCase, false, true), GLYPH(S, IndexUpGlyph), GLYPH(S, IndexDownGlyph),
              PROP(S, InitSortDirection, sdAscending, sdDescending), PROP(S, FixedCols, false, true),
              PROP(S, NormalCellsOnly, false, true), PROP(S, Row, 0, 1), PROP(S, UndoSort, false, true),
              PROP(S, SortOnVirtualCells, true, false), PROP(S, HeaderColor, clNone, clRed),
              PROP(S, HeaderColorTo, clNone, clBlue), PROP(S, HeaderMirrorColor, clNone, clLime),
              PROP(S, HeaderMirrorColorTo, clNone, clYellow)});

    using L = TControlLook;
    Check<L>("TControlLook", [](TProStringGrid& g) { return g.ControlLook(); },
             {PROP(L, Color, 0x000000, clRed), PROP(L, CommentColor, 0x0000FF, clBlue), GLYPH(L, CheckedGlyph),
              PROP(L, FixedGradientFrom, clNone, 0x010101), PROP(L, FixedGradientTo, clNone, 0x020202),
              PROP(L, FixedGradientMirrorFrom, clNone, 0x030303), PROP(L, FixedGradientMirrorTo, clNone, 0x040404),
              PROP(L, FixedGradientHoverFrom, clNone, 0x050505), PROP(L, FixedGradientHoverTo, clNone, 0x060606),
              PROP(L, FixedGradientHoverMirrorFrom, clNone, 0x070707),
              PROP(L, FixedGradientHoverMirrorTo, clNone, 0x080808),
              PROP(L, FixedGradientHoverBorder, clNone, 0x090909), PROP(L, FixedGradientDownFrom, clNone, 0x0A0A0A),
              PROP(L, FixedGradientDownTo, clNone, 0x0B0B0B), PROP(L, FixedGradientDownMirrorFrom, clNone, 0x0C0C0C),
              PROP(L, FixedGradientDownMirrorTo, clNone, 0x0D0D0D), PROP(L, FixedGradientDownBorder, clNone, 0x0E0E0E),
              PROP(L, FixedDropDownButton, false, true), GLYPH(L, UnCheckedGlyph), GLYPH(L, RadioOnGlyph),
              GLYPH(L, RadioOffGlyph), PROP(L, CheckSize, 15, 13), PROP(L, CheckAlwaysActive, false, true),
              PROP(L, RadioSize, 10, 12), PROP(L, RadioAlwaysActive, false, true),
              PROP(L, ControlStyle, csWinXP, csFlat), PROP(L, DropDownAlwaysVisible, false, true),
              PROP(L, SpinButtonsAlwaysVisible, false, true), PROP(L, FlatButton, false, true),
              PROP(L, NoDisabledCheckRadioLook, false, true), PROP(L, NoDisabledButtonLook, false, true),
              PROP(L, ProgressBorderColor, 0x808080, clBlack), PROP(L, ProgressMarginX, 2, 4),
              PROP(L, ProgressMarginY, 2, 5), PROP(L, ProgressXP, false, true)});
    // Assign runs no setter: the destination grid's header colours stay its own.
    EXPECT_NE(Dest.LookColors().FixedFrom, TColor(0x010101));
    EXPECT_NE(Dest.LookColors().DownBorder, TColor(0x0E0E0E));
    EXPECT_EQ(Source.LookColors().DownBorder, TColor(0x0E0E0E));
}

TEST_F(GridSettingsClasses, GroupingDragDropBalloonAndShowModified)
{
    using G = TGrouping;
    Check<G>("TGrouping", [](TProStringGrid& g) { return g.Grouping(); },
             {PROP(G, AutoSelectGroup, false, true), PROP(G, GroupCountFormat, "", "(%d)"),
              PROP(G, HeaderColor, clNone, clRed), PROP(G, HeaderColorTo, clNone, clBlue),
              PROP(G, HeaderTextColor, clNone, clLime), PROP(G, HeaderUnderline, false, true),
              PROP(G, HeaderLineColor, 0xFF0000, clRed), PROP(G, HeaderLineWidth, 2, 1),
              PROP(G, MergeHeader, false, true), PROP(G, MergeSummary, false, true),
              PROP(G, ShowGroupCount, false, true), PROP(G, Summary, false, true),
              PROP(G, SummaryColor, clNone, clRed), PROP(G, SummaryColorTo, clNone, clBlue),
              PROP(G, SummaryTextColor, clNone, clLime), PROP(G, SummaryLine, false, true),
              PROP(G, SummaryLineColor, 0xFF0000, clRed), PROP(G, SummaryLineWidth, 2, 3)});

    using D = TDragDropSettings;
    Check<D>("TDragDropSettings", [](TProStringGrid& g) { return g.DragDropSettings(); },
             {PROP(D, ShowCells, true, false), PROP(D, OleAcceptFiles, true, false),
              PROP(D, OleAcceptText, true, false), PROP(D, OleAcceptURLs, true, false),
              PROP(D, OleCopyAlways, false, true), PROP(D, OleDropTarget, false, true),
              PROP(D, OleDropSource, false, true), PROP(D, OleEntireRows, false, true),
              PROP(D, OleInsertRows, false, true), PROP(D, OleRemoveRows, false, true),
              PROP(D, OleDropRTF, false, true), PROP(D, OleColumnDragDrop, false, true)});
    // Only the setter touches the program's one rich-text drop switch.
    RichTextDropAllowed() = false;
    Dest.DragDropSettings()->Assign(Source.DragDropSettings());
    EXPECT_FALSE(RichTextDropAllowed());

    using B = TBalloonSettings;
    int enableChanges = 0;
    Dest.Balloon()->OnEnableChange = [&](TObject*) { ++enableChanges; };
    Check<B>("TBalloonSettings", [](TProStringGrid& g) { return g.Balloon(); },
             {PROP(B, AutoHideDelay, -1, 500), PROP(B, BackgroundColor, clNone, clInfoBk), PROP(B, Enable, false, true),
              PROP(B, InitialDelay, -1, 100), PROP(B, ReshowDelay, -1, 200), PROP(B, TextColor, clNone, clBlack),
              PROP(B, Transparency, 0, 128)});
    EXPECT_EQ(enableChanges, 0);

    using M = TShowModified;
    int modifiedChanges = 0;
    Dest.ShowModified()->OnChange = [&](TObject*) { ++modifiedChanges; };
    Check<M>("TShowModified", [](TProStringGrid& g) { return g.ShowModified(); },
             {PROP(M, Enabled, false, true), PROP(M, Color, 0x00FFFF, clRed)});
    EXPECT_EQ(modifiedChanges, 0);
}

TEST_F(GridSettingsClasses, FloatingAndSearchFooters)
{
    using F = TFloatingFooter;
    Check<F>("TFloatingFooter", [](TProStringGrid& g) { return g.FloatingFooter(); },
             {PROP(F, Visible, false, true), PROP(F, FooterStyle, fsFixedLastRow, fsColumnPreview),
              PROP(F, CalculateHiddenRows, true, false), PROP(F, Column, 0, 3),
              PROP(F, CustomTemplate, "", "Razem <#2>"), PROP(F, Color, clBtnFace, clRed),
              PROP(F, ShowHint, false, true)});
    using S = TSearchFooter;
    Check<S>("TSearchFooter", [](TProStringGrid& g) { return g.SearchFooter(); },
             {PROP(S, Visible, false, true), PROP(S, AutoThemeAdapt, false, true), PROP(S, Color, clWhite, clRed),
              PROP(S, ColorTo, clBtnFace, clBlue), PROP(S, FindNextCaption, "Find &next", "Dalej"),
              PROP(S, FindPrevCaption, "Find &previous", "Wstecz"), PROP(S, MatchCaseCaption, "Match case", "Wielkość"),
              PROP(S, HighLightCaption, "Highlight", "Wyróżnij"), PROP(S, HintClose, "Close", "Zamknij"),
              PROP(S, HintFindNext, "Find next occurence", "n"), PROP(S, HintFindPrev, "Find previous occurence", "p"),
              PROP(S, HintHighlight, "Highlight occurences", "h"), PROP(S, ShowClose, true, false),
              PROP(S, ShowFindNext, true, false), PROP(S, ShowFindPrev, true, false),
              PROP(S, ShowHighLight, true, false), PROP(S, ShowMatchCase, true, false),
              PROP(S, SearchActiveColumnOnly, false, true), PROP(S, SearchColumn, -1, 2),
              PROP(S, SearchMatchStart, false, true)});
    // AutoSearch and SearchFixedCells stay the target's own.
    TProStringGrid a(nullptr), b(nullptr);
    a.SearchFooter()->SetAutoSearch(false);
    a.SearchFooter()->SetSearchFixedCells(true);
    b.SearchFooter()->Assign(a.SearchFooter());
    EXPECT_TRUE(b.SearchFooter()->AutoSearch());
    EXPECT_FALSE(b.SearchFooter()->SearchFixedCells());
}

TEST_F(GridSettingsClasses, DragScrollAndProgressAppearance)
{
    using O = TDragScrollOptions;
    Check<O>("TDragScrollOptions", [](TProStringGrid& g) { return g.DragScrollOptions(); },
             {PROP(O, Active, false, true),
              Prop<O>{"Delays", "1000/250",
                      [](O* o) {
                          return std::to_string(o->Delays()->InitialDelay()) + "/" +
                                 std::to_string(o->Delays()->RepeatDelay());
                      },
                      [](O* o) {
                          o->Delays()->SetInitialDelay(300);
                          o->Delays()->SetRepeatDelay(40);
                      }},
              Prop<O>{"Margins", "50/50/50/50",
                      [](O* o) {
                          auto* m = o->Margins();
                          return std::to_string(m->TopMargin()) + "/" + std::to_string(m->BottomMargin()) + "/" +
                                 std::to_string(m->LeftMargin()) + "/" + std::to_string(m->RightMargin());
                      },
                      [](O* o) {
                          o->Margins()->SetTopMargin(1);
                          o->Margins()->SetBottomMargin(2);
                          o->Margins()->SetLeftMargin(3);
                          o->Margins()->SetRightMargin(4);
                      }}});

    using P = TGridProgressAppearance;
    int changes = 0;
    Dest.ProgressAppearance()->OnChange = [&](TObject*) { ++changes; };
    Check<P>("TGridProgressAppearance", [](TProStringGrid& g) { return g.ProgressAppearance(); },
             {PROP(P, CompleteColor, 0x0000FF, clLime), PROP(P, CompleteFontColor, 0xFF0000, clBlack),
              PROP(P, UnCompleteColor, clNone, clWindow), PROP(P, UnCompleteFontColor, clWindowText, clRed),
              PROP(P, Level0Color, 0x00FF00, 0x111111), PROP(P, Level0ColorTo, 0xE1FFE1, 0x222222),
              PROP(P, Level1Color, 0x00FFFF, 0x333333), PROP(P, Level1ColorTo, 0xCAFFFF, 0x444444),
              PROP(P, Level2Color, 0x53A9FF, 0x555555), PROP(P, Level2ColorTo, 0xA8D3FF, 0x666666),
              PROP(P, Level3Color, 0x0000FF, 0x777777), PROP(P, Level3ColorTo, 0xCACAFF, 0x888888),
              PROP(P, Level1Perc, 70, 50), PROP(P, Level2Perc, 90, 80), PROP(P, BorderColor, 0x000000, clGray),
              PROP(P, ShowBorder, false, true), PROP(P, Stacked, false, true), PROP(P, ShowPercentage, true, false),
              PROP(P, CompletionSmooth, true, false), PROP(P, ShowGradient, true, false), PROP(P, Steps, 11, 20)});
    EXPECT_EQ(changes, 1);   // one change event for the whole assignment, none for the foreign source
}

// ---------------------------------------------------------------- setters
namespace {
// A grid that counts the repaints it is asked for.
class TCountingGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    int Repaints = 0;
    void InvalidateRect(const TRect& r) override
    {
        ++Repaints;
        TProStringGrid::InvalidateRect(r);
    }
};
}  // namespace

TEST(GridSettings, RepaintOnlyWhereAndWhenTheTablesSay)
{
    struct Case {
        const char* What;
        std::function<void(TCountingGrid&)> Prepare;   // runs before counting
        std::function<void(TCountingGrid&)> Act;
        bool Repaints;
    };
    auto none = [](TCountingGrid&) {};
    const Case cases[] = {
        {"CellNode.NodeType changed", none, [](auto& g) { g.CellNode()->SetNodeType(cnFlat); }, true},
        {"CellNode.NodeType same", none, [](auto& g) { g.CellNode()->SetNodeType(cnXP); }, false},
        {"CellNode.NodeIndent changed", none, [](auto& g) { g.CellNode()->SetNodeIndent(3); }, true},
        {"CellNode.TreeColor same", none, [](auto& g) { g.CellNode()->SetTreeColor(clGray); }, false},
        {"CellNode.Color plain", none, [](auto& g) { g.CellNode()->SetColor(clRed); }, false},
        {"CellNode.ExpandOne plain", none, [](auto& g) { g.CellNode()->SetExpandOne(true); }, false},
        {"Bands.Active", none, [](auto& g) { g.Bands()->SetActive(false); }, true},
        {"Bands.PrimaryLength inactive", none, [](auto& g) { g.Bands()->SetPrimaryLength(2); }, false},
        {"Bands.PrimaryColor inactive", none, [](auto& g) { g.Bands()->SetPrimaryColor(clRed); }, false},
        {"Bands.SecondaryColor active", [](auto& g) { g.Bands()->SetActive(true); },
         [](auto& g) { g.Bands()->SetSecondaryColor(clRed); }, true},
        {"Bands.SecondaryLength active", [](auto& g) { g.Bands()->SetActive(true); },
         [](auto& g) { g.Bands()->SetSecondaryLength(4); }, true},
        {"Bands.Print plain", none, [](auto& g) { g.Bands()->SetPrint(true); }, false},
        {"BackGround.Top", none, [](auto& g) { g.BackGround()->SetTop(0); }, true},
        {"BackGround.Cells", none, [](auto& g) { g.BackGround()->SetCells(bcFixed); }, true},
        {"MouseActions.HotmailRowSelect", none, [](auto& g) { g.MouseActions()->SetHotmailRowSelect(true); }, true},
        {"MouseActions.RowSelect plain", none, [](auto& g) { g.MouseActions()->SetRowSelect(true); }, false},
        {"SortSettings.Show changed", none, [](auto& g) { g.SortSettings()->SetShow(true); }, true},
        {"SortSettings.Show same", none, [](auto& g) { g.SortSettings()->SetShow(false); }, false},
        {"SortSettings.Full plain", none, [](auto& g) { g.SortSettings()->SetFull(false); }, false},
        {"ControlLook.CheckSize", none, [](auto& g) { g.ControlLook()->SetCheckSize(20); }, true},
        {"ControlLook.CheckSize same", none, [](auto& g) { g.ControlLook()->SetCheckSize(15); }, true},
        {"ControlLook.Color same", none, [](auto& g) { g.ControlLook()->SetColor(clBlack); }, true},
        {"ControlLook.ControlStyle", none, [](auto& g) { g.ControlLook()->SetControlStyle(csFlat); }, true},
        {"ControlLook.FixedGradientFrom", none, [](auto& g) { g.ControlLook()->SetFixedGradientFrom(clRed); }, true},
        {"ControlLook.FixedGradientHoverFrom direct", none,
         [](auto& g) { g.ControlLook()->SetFixedGradientHoverFrom(clRed); }, false},
        {"ControlLook.FixedGradientDownBorder direct", none,
         [](auto& g) { g.ControlLook()->SetFixedGradientDownBorder(clRed); }, false},
        {"ProgressAppearance.Steps", none, [](auto& g) { g.ProgressAppearance()->SetSteps(5); }, true},
        {"Navigation.AdvanceOnEnter plain", none, [](auto& g) { g.Navigation()->SetAdvanceOnEnter(true); }, false},
        {"URLColor without URLShow", none, [](auto& g) { g.SetURLColor(clRed); }, false},
        {"URLFull without URLShow", none, [](auto& g) { g.SetURLFull(true); }, false},
        {"URLColor with URLShow", [](auto& g) { g.SetURLShow(true); }, [](auto& g) { g.SetURLColor(clRed); }, true},
    };
    for (const Case& c : cases) {
        TCountingGrid g(nullptr);
        c.Prepare(g);
        g.Repaints = 0;
        c.Act(g);
        EXPECT_EQ(g.Repaints > 0, c.Repaints) << c.What;
    }
}

// A whole settings object given to the grid is copied into the grid's own; the background
// repaints, and the progress look through its change event.
TEST(GridSettings, WholeObjectsGoIntoTheGridsOwn)
{
    TShowModified modified;
    modified.SetEnabled(true);
    modified.SetColor(clRed);
    TBalloonSettings balloon;
    balloon.SetTextColor(clBlue);
    TGridProgressAppearance progress(nullptr);
    progress.SetSteps(7);
    TBackGround background(nullptr);
    background.SetColor(clAqua);
    background.SetDisplay(bdGradientVert);
    struct Case {
        const char* What;
        std::function<void(TCountingGrid&)> Set;
        std::function<bool(TCountingGrid&)> Took;
        bool Repaints;
    } cases[] = {
        {"ShowModified", [&](TCountingGrid& g) { g.SetShowModified(&modified); },
         [](TCountingGrid& g) { return g.ShowModified()->Enabled() && g.ShowModified()->Color() == clRed; }, false},
        {"Balloon", [&](TCountingGrid& g) { g.SetBalloon(&balloon); },
         [](TCountingGrid& g) { return g.Balloon()->TextColor() == clBlue; }, false},
        {"ProgressAppearance", [&](TCountingGrid& g) { g.SetProgressAppearance(&progress); },
         [](TCountingGrid& g) { return g.ProgressAppearance()->Steps() == 7; }, true},
        {"BackGround", [&](TCountingGrid& g) { g.SetBackGround(&background); },
         [](TCountingGrid& g) {
             return g.BackGround()->Color() == clAqua && g.BackGround()->Display() == bdGradientVert;
         },
         true},
    };
    for (const Case& c : cases) {
        TCountingGrid g(nullptr);
        g.Repaints = 0;
        c.Set(g);
        EXPECT_TRUE(c.Took(g)) << c.What;
        EXPECT_EQ(g.Repaints > 0, c.Repaints) << c.What;
    }
}

TEST(GridSettings, ChangeEventsFireFromTheListedSettersOnly)
{
    TProStringGrid g(nullptr);
    int mouse = 0, nav = 0, balloon = 0, modified = 0, progress = 0;
    g.MouseActions()->OnChange = [&](TObject* s) { EXPECT_EQ(s, g.MouseActions()); ++mouse; };
    g.Navigation()->OnChange = [&](TObject* s) { EXPECT_EQ(s, g.Navigation()); ++nav; };
    g.Balloon()->OnEnableChange = [&](TObject* s) { EXPECT_EQ(s, g.Balloon()); ++balloon; };
    g.ShowModified()->OnChange = [&](TObject* s) { EXPECT_EQ(s, g.ShowModified()); ++modified; };
    g.ProgressAppearance()->OnChange = [&](TObject* s) { EXPECT_EQ(s, g.ProgressAppearance()); ++progress; };

    struct Case {
        const char* What;
        std::function<void()> Act;
        int* Counter;
        int Expected;   // events from this action
    };
    const Case cases[] = {
        {"WheelAction changed", [&] { g.MouseActions()->SetWheelAction(waScroll); }, &mouse, 1},
        {"WheelAction same", [&] { g.MouseActions()->SetWheelAction(waScroll); }, &mouse, 0},
        {"WheelIncrement plain", [&] { g.MouseActions()->SetWheelIncrement(4); }, &mouse, 0},
        {"DisjunctRowSelect", [&] { g.MouseActions()->SetDisjunctRowSelect(true); }, &mouse, 0},
        {"AdvanceDirection changed", [&] { g.Navigation()->SetAdvanceDirection(adTopBottom); }, &nav, 1},
        {"AdvanceDirection same", [&] { g.Navigation()->SetAdvanceDirection(adTopBottom); }, &nav, 0},
        {"AdvanceOnEnter plain", [&] { g.Navigation()->SetAdvanceOnEnter(true); }, &nav, 0},
        {"AdvanceInsert changed", [&] { g.Navigation()->SetAdvanceInsert(true); }, &nav, 1},
        {"AdvanceInsert same", [&] { g.Navigation()->SetAdvanceInsert(true); }, &nav, 0},
        {"AutoGotoWhenSorted plain", [&] { g.Navigation()->SetAutoGotoWhenSorted(true); }, &nav, 0},
        {"TabAdvanceDirection plain", [&] { g.Navigation()->SetTabAdvanceDirection(adTopBottom); }, &nav, 0},
        {"Balloon.Enable", [&] { g.Balloon()->SetEnable(false); }, &balloon, 1},
        {"Balloon.Enable on", [&] { g.Balloon()->SetEnable(true); }, &balloon, 1},
        {"Balloon.InitialDelay plain", [&] { g.Balloon()->SetInitialDelay(10); }, &balloon, 0},
        {"ShowModified.Color", [&] { g.ShowModified()->SetColor(clRed); }, &modified, 1},
        {"ShowModified.Enabled plain", [&] { g.ShowModified()->SetEnabled(true); }, &modified, 0},
        {"Progress.Level1Perc", [&] { g.ProgressAppearance()->SetLevel1Perc(60); }, &progress, 1},
        {"Progress.Level1Perc same", [&] { g.ProgressAppearance()->SetLevel1Perc(60); }, &progress, 1},
        {"Progress.ShowGradient", [&] { g.ProgressAppearance()->SetShowGradient(false); }, &progress, 1},
        {"Progress.UnCompleteFontColor", [&] { g.ProgressAppearance()->SetUnCompleteFontColor(clRed); },
         &progress, 1},
    };
    for (const Case& c : cases) {
        int before = *c.Counter;
        c.Act();
        EXPECT_EQ(*c.Counter - before, c.Expected) << c.What;
    }
}

TEST(GridSettings, DisjunctSelectionsExcludeEachOtherOnlyWhileDesigning)
{
    TProStringGrid g(nullptr);
    TMouseActions* m = g.MouseActions();
    m->SetDisjunctColSelect(true);
    m->SetDisjunctCellSelect(true);
    m->SetDisjunctRowSelect(true);
    EXPECT_TRUE(m->DisjunctColSelect());
    EXPECT_TRUE(m->DisjunctCellSelect());

    struct { void (TMouseActions::*Set)(bool); bool Row, Col, Cell; } cases[] = {
        {&TMouseActions::SetDisjunctRowSelect, true, false, false},
        {&TMouseActions::SetDisjunctColSelect, false, true, false},
        {&TMouseActions::SetDisjunctCellSelect, false, false, true},
    };
    for (auto c : cases) {
        g.SetDesigning(false);
        m->SetDisjunctRowSelect(true);
        m->SetDisjunctColSelect(true);
        m->SetDisjunctCellSelect(true);
        g.SetDesigning(true);
        (m->*c.Set)(true);
        EXPECT_EQ(m->DisjunctRowSelect(), c.Row);
        EXPECT_EQ(m->DisjunctColSelect(), c.Col);
        EXPECT_EQ(m->DisjunctCellSelect(), c.Cell);
    }
    // Clearing one at design time leaves the others.
    m->SetDisjunctColSelect(true);
    m->SetDisjunctColSelect(false);
    EXPECT_FALSE(m->DisjunctRowSelect());
    EXPECT_FALSE(m->DisjunctCellSelect());
    g.SetDesigning(false);
}

TEST(GridSettings, SortRowBandsPeriodAndResetIndicator)
{
    TProStringGrid g(nullptr);
    g.SetRowCount(6);
    // The sort row goes up to FixedRows.
    struct { int Fixed, Row; bool Accepted; } rows[] = {{1, 1, true}, {1, 2, false}, {3, 0, true}, {3, 3, true},
                                                        {3, 2, true}, {3, 4, false}, {3, 99, false}};
    for (auto c : rows) {
        g.SetFixedRows(c.Fixed);
        int before = g.SortSettings()->Row();
        if (c.Accepted) {
            g.SortSettings()->SetRow(c.Row);
            EXPECT_EQ(g.SortSettings()->Row(), c.Row);
        } else {
            EXPECT_EQ(GridError<Exception>([&] { g.SortSettings()->SetRow(c.Row); }),
                      "Sort row should be smaller than number of fixed rows")
                << c.Row;
            EXPECT_EQ(g.SortSettings()->Row(), before);
        }
    }

    struct { int Primary, Secondary, Period; } bands[] = {{1, 1, 2}, {2, 1, 3}, {2, 5, 7}, {1, 3, 4}};
    for (auto b : bands) {
        g.Bands()->SetPrimaryLength(b.Primary);
        g.Bands()->SetSecondaryLength(b.Secondary);
        EXPECT_EQ(g.Bands()->Period(), b.Period);
    }

    g.SortSettings()->SetColumn(2);
    g.SortIndexes()->AddIndex(2, false);
    g.SortIndexes()->AddIndex(1, true);
    g.SortSettings()->ResetSortIndicator();
    EXPECT_EQ(g.SortSettings()->Column(), -1);
    EXPECT_EQ(g.SortIndexes()->Count(), 0);
}

TEST(GridSettings, FixedGradientColoursReachTheGridUnlessNone)
{
    TProStringGrid g(nullptr);
    TLookColors before = g.LookColors();
    TControlLook* l = g.ControlLook();
    l->SetFixedGradientFrom(clNone);
    l->SetFixedGradientTo(clNone);
    EXPECT_EQ(g.LookColors().FixedFrom, before.FixedFrom);
    EXPECT_EQ(g.LookColors().FixedTo, before.FixedTo);
    EXPECT_EQ(l->FixedGradientFrom(), clNone);

    struct {
        void (TControlLook::*Set)(TColor);
        TColor TLookColors::*Field;
    } cases[] = {
        {&TControlLook::SetFixedGradientFrom, &TLookColors::FixedFrom},
        {&TControlLook::SetFixedGradientTo, &TLookColors::FixedTo},
        {&TControlLook::SetFixedGradientMirrorFrom, &TLookColors::FixedMirrorFrom},
        {&TControlLook::SetFixedGradientMirrorTo, &TLookColors::FixedMirrorTo},
        {&TControlLook::SetFixedGradientHoverFrom, &TLookColors::HoverFrom},
        {&TControlLook::SetFixedGradientHoverTo, &TLookColors::HoverTo},
        {&TControlLook::SetFixedGradientHoverMirrorFrom, &TLookColors::HoverMirrorFrom},
        {&TControlLook::SetFixedGradientHoverMirrorTo, &TLookColors::HoverMirrorTo},
        {&TControlLook::SetFixedGradientHoverBorder, &TLookColors::HoverBorder},
        {&TControlLook::SetFixedGradientDownFrom, &TLookColors::DownFrom},
        {&TControlLook::SetFixedGradientDownTo, &TLookColors::DownTo},
        {&TControlLook::SetFixedGradientDownMirrorFrom, &TLookColors::DownMirrorFrom},
        {&TControlLook::SetFixedGradientDownMirrorTo, &TLookColors::DownMirrorTo},
        {&TControlLook::SetFixedGradientDownBorder, &TLookColors::DownBorder},
    };
    int i = 0;
    for (auto c : cases) {
        TColor v = TColor(0x102030 + i++);
        (l->*c.Set)(v);
        EXPECT_EQ(g.LookColors().*c.Field, v) << i;
        (l->*c.Set)(clNone);   // none is stored in the settings but not mirrored
        EXPECT_EQ(g.LookColors().*c.Field, v) << i;
    }
    // The normal-state colours are stored as RGB.
    l->SetFixedGradientFrom(clBtnFace);
    l->SetFixedGradientTo(clBtnFace);
    EXPECT_EQ(g.LookColors().FixedFrom, ColorToRGB(clBtnFace));
    EXPECT_EQ(g.LookColors().FixedTo, ColorToRGB(clBtnFace));
    EXPECT_EQ(l->FixedGradientTo(), clBtnFace);
}

TEST(GridSettings, ColumnStretchAppliesOnlyWithAParent)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 600, 400);
    auto* g = new TProStringGrid(&form);
    g->SetBounds(0, 0, 400, 200);
    g->ColumnSize()->SetStretch(true);   // no parent yet: only stored
    EXPECT_TRUE(g->ColumnSize()->Stretch());
    EXPECT_EQ(g->ColWidths(4), 64);
    g->ColumnSize()->SetStretch(false);
    g->SetParent(&form);
    g->ColumnSize()->SetStretch(true);
    EXPECT_GT(g->ColWidths(4), 64);
}
