#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/RichEdit.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/Bounds.h"

namespace {

struct RichEdit : ::testing::Test {
    TForm form{nullptr};
    TRichEdit* edit = nullptr;
    int changes = 0;
    void SetUp() override
    {
        edit = new TRichEdit(&form);
        edit->SetParent(&form);
        edit->OnChange = [this](TObject*) { ++changes; };
    }
};

}  // namespace

TEST_F(RichEdit, LinesTextAndSelectionStayInStep)
{
    edit->SetText("Pierwsza\r\nDruga łódź\r\nTrzecia");
    EXPECT_EQ(1, changes);
    TStrings* lines = edit->Lines();
    ASSERT_EQ(3, lines->Count());
    EXPECT_EQ("Druga łódź", lines->Strings(1));
    lines->Insert(0, "Zero");
    lines->Add("Ostatnia");
    lines->Delete(2);
    lines->SetStrings(1, "Jeden");
    EXPECT_EQ("Zero\r\nJeden\r\nTrzecia\r\nOstatnia", edit->Text());
    lines->Delete(3);
    EXPECT_EQ("Zero\r\nJeden\r\nTrzecia", edit->Text());
    EXPECT_THROW(lines->Strings(3), Exception);
    EXPECT_THROW(lines->Delete(-1), Exception);

    // A paragraph end counts as one character.
    edit->SetSelStart(5);
    edit->SetSelLength(7);
    EXPECT_EQ(5, edit->SelStart());
    EXPECT_EQ("Jeden\r\nT", edit->SelText());
    changes = 0;
    edit->SetSelText("ą");
    EXPECT_EQ(1, changes);
    EXPECT_EQ("Zero\r\nąrzecia", edit->Text());
    edit->SetSelLength(1000);
    EXPECT_EQ("rzecia", edit->SelText());

    edit->Clear();
    EXPECT_EQ(0, lines->Count());
    EXPECT_EQ("", edit->Text());
    lines->Add("jedyna");
    EXPECT_EQ(1, lines->Count());
    EXPECT_EQ("jedyna\r\n", lines->Text());
}

TEST_F(RichEdit, FormattedTextGoesToRtfAndBack)
{
    AnsiString file = "/tmp/velmarok-rich-" + IntToStr(getpid()) + ".rtf";
    edit->SetText("Zwykły pogrubiony czerwony\r\nŚrodek");
    edit->SetSelStart(7);
    edit->SetSelLength(10);
    edit->SelAttributes()->SetStyle(fsBold);
    edit->SetSelStart(18);
    edit->SetSelLength(8);
    edit->SelAttributes()->SetColor(clRed);
    edit->SelAttributes()->SetSize(14);
    edit->SetSelStart(28);
    edit->Paragraph()->SetAlignment(taCenter);
    edit->Lines()->SaveToFile(file);

    AnsiString rtf = LoadBytesFromFile(file);
    EXPECT_EQ(0u, rtf.find("{\\rtf1\\ansi\\ansicpg1250"));
    EXPECT_NE(AnsiString::npos, rtf.find("\\b pogrubiony\\b0"));
    EXPECT_NE(AnsiString::npos, rtf.find("\\red255\\green0\\blue0;"));
    EXPECT_NE(AnsiString::npos, rtf.find("\\fs28"));
    EXPECT_NE(AnsiString::npos, rtf.find("\\qc"));

    TRichEdit* other = new TRichEdit(&form);
    other->Lines()->LoadFromFile(file);
    EXPECT_EQ("Zwykły pogrubiony czerwony\r\nŚrodek", other->Text());
    other->SetSelStart(8);
    other->SetSelLength(1);
    EXPECT_EQ(TFontStyles(fsBold), other->SelAttributes()->Style());
    other->SetSelStart(20);
    other->SetSelLength(1);
    EXPECT_EQ(clRed, other->SelAttributes()->Color());
    EXPECT_EQ(14, other->SelAttributes()->Size());
    EXPECT_EQ(0u, other->SelAttributes()->Style());
    other->SetSelStart(29);
    EXPECT_EQ(taCenter, other->Paragraph()->Alignment());

    // As plain text the RTF is just text, both ways.
    other->SetPlainText(true);
    other->Lines()->LoadFromFile(file);
    EXPECT_EQ(rtf.substr(0, 20), other->Lines()->Strings(0).substr(0, 20));
    other->SetText("tylko tekst");
    other->Lines()->SaveToFile(file);
    EXPECT_EQ("tylko tekst\r\n", LoadBytesFromFile(file));
    DeleteFile(file);
}

// The formatting rectangle sets the text in from the edges.
TEST_F(RichEdit, FormattingRectangleSetsTheTextIn)
{
    form.Show();
    edit->SetBorderStyle(bsNone);
    edit->SetBounds(0, 0, 120, 40);
    edit->Lines()->SetText("HHHH");
    auto firstInk = [this] {
        std::unique_ptr<TBitmap> b = GrabControl(edit);
        for (int x = 0; x < b->Width(); ++x)
            for (int y = 0; y < b->Height(); ++y)
                if (ColorToRGB(b->Canvas()->Pixels(x, y)) == ColorToRGB(clBlack))
                    return TPoint(x, y);
        return TPoint(-1, -1);
    };
    const TPoint plain = firstInk();
    TRect r(12, 8, 110, 36), got;
    edit->Perform(EM_SETRECT, 0, LPARAM(&r));
    EXPECT_EQ(firstInk(), TPoint(plain.X + 11, plain.Y + 7));   // the document's own margin of 1 counted in
    edit->Perform(EM_GETRECT, 0, LPARAM(&got));
    EXPECT_EQ(got, r);
}

// The text asks for the height it takes whenever that height changes, and only then.
TEST_F(RichEdit, ResizeRequestsFollowTheHeightOfTheText)
{
    form.Show();
    std::vector<int> heights;
    edit->OnResizeRequest = [&](TObject* Sender, const TRect& R) {
        EXPECT_EQ(Sender, edit);
        EXPECT_EQ(R.Width(), edit->ClientWidth());
        heights.push_back(R.Height());
    };
    edit->SetText("jeden");
    heights.clear();
    edit->Lines()->Add("dwa");
    edit->Lines()->Add("trzy");
    ASSERT_EQ(heights.size(), 2u);
    EXPECT_GT(heights[0], 0);
    EXPECT_GT(heights[1], heights[0]);
    edit->Lines()->SetStrings(2, "cztery");   // the same height
    EXPECT_EQ(heights.size(), 2u);
    edit->Lines()->Delete(2);
    ASSERT_EQ(heights.size(), 3u);
    EXPECT_EQ(heights[2], heights[0]);
    edit->OnResizeRequest = nullptr;
}

// Loading and showing grow with the text, not with its square: a long word (of one format, or
// of a format a letter, as a rich cell opened in the grid's in-place editor), many paragraphs in
// the largest size, a long word put in at the caret, and a rich cell painted. Hidden, as the
// grid's rich edit that reads the text of rich cells, the text is not laid out at all.
TEST_F(RichEdit, HugeDocumentsLoadAndShowInTimeGrowingWithTheirSize)
{
    edit->SetBounds(0, 0, 200, 100);
    form.SetBounds(0, 0, 300, 200);
    form.Show();
    const auto word = [](int N) { return "{\\rtf1\\ansi " + std::string(std::size_t(N), 'x') + "\\par}"; };
    const auto formats = [](int N) {   // N times a bold letter and a plain one, one word
        std::string rtf = "{\\rtf1\\ansi ";
        for (int i = 0; i < N; ++i)
            rtf += "\\b x\\b0 y";
        return rtf + "}";
    };
    const auto paragraphs = [](int N) {
        std::string rtf = "{\\rtf1\\ansi\\fs3276 ";
        for (int i = 0; i < N; ++i)
            rtf += "a\\par ";
        return rtf + "}";
    };
    std::string text;
    // Made before each run: the text of size N, the edit emptied and shown or hidden.
    const auto with = [&](std::function<std::string(int)> Make, bool Shown) {
        return [&, Make, Shown](int N) { text = Make(N); edit->Clear(); edit->SetVisible(Shown); };
    };
    const auto load = [&](int) { TStringStream in(text); edit->Lines()->LoadFromStream(&in); };
    const auto loadShown = [&](int N) { load(N); GrabControl(edit); };
    const auto loadThenShow = [&](int N) {   // the grid's in-place editor opening on a rich cell
        load(N);
        edit->SetVisible(true);
        GrabControl(edit);
    };
    TBitmap cell;
    cell.SetSize(600, 400);
    const struct Case {
        TScalingCase Scaling;
        std::function<std::size_t(int N)> Length;   // of the edit's text after a run on N
    } cases[] = {
        {{"hidden: a word of changing formats", 5000, with(formats, false), load}, [](int N) { return 2u * N; }},
        {{"hidden: paragraphs in the largest size", 4000, with(paragraphs, false), load},
         [](int N) { return 3u * N - 2; }},
        {{"shown: a word", 30000, with(word, true), loadShown}, [](int N) { return std::size_t(N); }},
        {{"shown: a word of changing formats", 2000, with(formats, true), loadShown}, [](int N) { return 2u * N; }},
        {{"loaded hidden, then shown: a word of changing formats", 2000, with(formats, false), loadThenShow},
         [](int N) { return 2u * N; }},
        {{"shown: a word put in at the caret", 30000,
          with([](int N) { return std::string(std::size_t(N), 'x'); }, true),
          [&](int) { edit->SetSelText(text); GrabControl(edit); }},
         [](int N) { return std::size_t(N); }},
        {{"painted: a rich cell of a word of changing formats", 4000, with(formats, false),
          [&](int) { DrawRichText(cell.Canvas(), text, TRect(0, 0, 600, 400)); }},
         nullptr},
        {{"shown: paragraphs in the largest size", 1000, with(paragraphs, true), loadShown},
         [](int N) { return 3u * N - 2; }},
    };
    for (const Case& k : cases) {
        ExpectProportional(k.Scaling, 10.0);
        if (k.Length) { EXPECT_EQ(edit->Text().size(), k.Length(16 * k.Scaling.N)) << k.Scaling.Name; }
    }
    // Shown, the text keeps its sizes while the toolkit shows what it can lay out.
    edit->SetSelStart(0);
    edit->SetSelLength(1);
    EXPECT_EQ(edit->SelAttributes()->Size(), 1638);
    TStringStream out("");
    edit->Lines()->SaveToStream(&out);
    EXPECT_NE(out.DataString().find("\\fs3276 a\\par"), AnsiString::npos);

    // Only a text holding a long word wraps anywhere: ordinary words keep whole after it.
    const auto shown = [&](const std::string& Rtf) {
        TStringStream in(Rtf);
        edit->Lines()->LoadFromStream(&in);
        return GrabControl(edit);
    };
    std::string words = "{\\rtf1\\ansi ";
    for (int i = 0; i < 12; ++i)
        words += "Norma zakładowa ";
    const auto before = shown(words + "}");
    shown(formats(100));
    const auto after = shown(words + "}");
    int differ = 0;
    for (int y = 0; y < before->Height(); ++y)
        for (int x = 0; x < before->Width(); ++x)
            differ += before->Canvas()->Pixels(x, y) != after->Canvas()->Pixels(x, y);
    EXPECT_EQ(differ, 0);
    form.Hide();
}
