#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/core/Classes.h"
#include "tests/common/TestFiles.h"

namespace {

void Fill(TStrings& s, const std::vector<AnsiString>& items)
{
    s.Clear();
    for (const auto& i : items)
        s.Add(i);
}

struct Flag : TObject {
    bool* Deleted;
    explicit Flag(bool* d) : Deleted(d) {}
    ~Flag() override { *Deleted = true; }
};

}  // namespace

class TSampleFont : public TPersistent {};

TEST(StringList, TextJoinsWithCrLfAndSplitsAtAnyLineBreak)
{
    struct Case { AnsiString In; std::vector<AnsiString> Lines; } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\n\r\n", {"a", ""}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"\r\n", {""}},
        {"x\n\ny", {"x", "", "y"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\rb\r", {"a", "", "b"}},
        {"\r", {""}},
        {"Zastąpiona\tuznaniowo\r\n", {"Zastąpiona\tuznaniowo"}},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetText(c.In);
        EXPECT_EQ(Items(list), c.Lines) << c.In;
        AnsiString expected;
        for (const auto& l : c.Lines)
            expected += l + "\r\n";
        EXPECT_EQ(list.Text(), expected);
    }
}

TEST(StringList, CommaTextQuotesAndRoundTrips)
{
    struct Case { std::vector<AnsiString> Items; AnsiString Text; } cases[] = {
        {{"a", "b", "c"}, "a,b,c"},
        {{"a b", "c"}, "\"a b\",c"},
        {{"say \"hi\"", "x,y"}, "\"say \"\"hi\"\"\",\"x,y\""},
        {{""}, "\"\""},
        {{"a", "", "b"}, "a,,b"},
        {{"", "a"}, ",a"},
        {{"a", ""}, "a,"},
        {{}, ""},
        {{"ąb ć", "Łódź"}, "\"ąb ć\",Łódź"},
    };
    for (const auto& c : cases) {
        TStringList list;
        Fill(list, c.Items);
        EXPECT_EQ(list.CommaText(), c.Text);
        TStringList back;
        back.SetCommaText(c.Text);
        EXPECT_EQ(Items(back), c.Items) << c.Text;
    }
    // Reading also splits at blanks outside quotes and skips blanks around items.
    struct Read { AnsiString Text; std::vector<AnsiString> Items; } reads[] = {
        {"  a , b  ", {"a", "b"}},
        {"a b", {"a", "b"}},
        {"\"x y\"z,w", {"x y", "z", "w"}},
        {"\"unterminated, still", {"unterminated, still"}},
    };
    for (const auto& r : reads) {
        TStringList list;
        list.SetCommaText(r.Text);
        EXPECT_EQ(Items(list), r.Items) << r.Text;
    }
}

TEST(StringList, DelimitedTextWithOwnDelimiterQuoteAndStrictMode)
{
    TStringList list;
    list.SetDelimiter(';');
    list.SetQuoteChar('\'');
    list.SetDelimitedText("a b;'c;d';e");
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"a", "b", "c;d", "e"}));
    list.SetStrictDelimiter(true);
    list.SetDelimitedText("a b; c;'x''y'");
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"a b", " c", "x'y"}));
    EXPECT_EQ(list.DelimitedText(), "a b; c;'x''y'");
    // CommaText ignores and keeps the list's own settings.
    EXPECT_EQ(list.CommaText(), "\"a b\",\" c\",x'y");
    EXPECT_EQ(list.Delimiter(), ';');
}

TEST(StringList, DelimitedTextEndsAtANulOutsideQuotes)
{
    using std::string;
    struct Case { string Text; char Delimiter; bool Strict; std::vector<AnsiString> Items; } cases[] = {
        {string("a,\0b", 4), ',', false, {"a", ""}},
        {string("a, \0b", 5), ',', false, {"a"}},
        {string("\0a,b", 4), ',', false, {}},
        {string("a\0b,c", 5), ',', false, {"a"}},
        {string("\"x\0y\",\0z", 8), ',', false, {string("x\0y", 3), ""}},
        {string("a;\0b;c", 6), ';', true, {"a", ""}},
        {string("a b\0;c", 6), ';', true, {"a b"}},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.SetDelimiter(c.Delimiter);
        list.SetStrictDelimiter(c.Strict);
        if (c.Delimiter == ',' && !c.Strict)
            list.SetCommaText(c.Text);
        else
            list.SetDelimitedText(c.Text);
        EXPECT_EQ(Items(list), c.Items) << c.Text.size();
    }
}

TEST(StringList, SortedListOrdersPolishLettersAndFinds)
{
    TStringList list;
    list.SetSorted(true);
    for (AnsiString s : {"żaba", "ćma", "cebula", "ąb", "Łódź", "lis", "zebra", "Ala", "źdźbło"})
        list.Add(s);
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"Ala", "ąb", "cebula", "ćma", "lis", "Łódź", "zebra",
                                                    "źdźbło", "żaba"}));
    int index = -1;
    EXPECT_TRUE(list.Find("ĆMA", index));
    EXPECT_EQ(index, 3);
    EXPECT_FALSE(list.Find("d", index));
    EXPECT_EQ(index, 4);
    EXPECT_EQ(list.IndexOf("ŁÓDŹ"), 5);

    // Duplicates: ignored (existing index), accepted, or refused.
    EXPECT_EQ(list.Add("LIS"), 4);
    EXPECT_EQ(list.Count(), 9);
    list.SetDuplicates(dupAccept);
    list.Add("LIS");
    EXPECT_EQ(list.Count(), 10);
    list.SetDuplicates(dupError);
    try {
        list.Add("lis");
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "String list does not allow duplicates");
    }
    EXPECT_THROW(list.Insert(0, "x"), EStringListError);

    // Case-sensitive lists keep both cases apart.
    TStringList cs;
    cs.SetCaseSensitive(true);
    cs.SetSorted(true);
    cs.Add("Ab");
    cs.Add("ab");
    EXPECT_EQ(cs.Count(), 2);
    EXPECT_EQ(cs.IndexOf("AB"), -1);
}

TEST(StringList, SortAndCustomSortKeepObjectsWithTheirStrings)
{
    TStringList list;
    TObject a, b, c;
    list.AddObject("ccc", &a);
    list.AddObject("a", &b);
    list.AddObject("bb", &c);
    list.Sort();
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"a", "bb", "ccc"}));
    EXPECT_EQ(list.Objects(0), &b);
    list.CustomSort([](TStringList* l, int i, int j) {
        return static_cast<int>(l->Strings(j).size()) - static_cast<int>(l->Strings(i).size());
    });
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"ccc", "bb", "a"}));
    EXPECT_EQ(list.IndexOfObject(&a), 0);
}

TEST(StringList, NamesAndValues)
{
    TStringList list;
    list.SetText("Path=C:\\x\r\nemail=a=b\r\nnoseparator\r\n");
    EXPECT_EQ(list.Values("PATH"), "C:\\x");
    EXPECT_EQ(list.Values("email"), "a=b");
    EXPECT_EQ(list.Names(1), "email");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.ValueFromIndex(2), "");
    EXPECT_EQ(list.IndexOfName("noseparator"), -1);
    list.SetValues("New", "1");
    EXPECT_EQ(list.Strings(3), "New=1");
    list.SetValues("path", "D:");
    EXPECT_EQ(list.Strings(0), "path=D:");
    list.SetValues("email", "");
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"path=D:", "noseparator", "New=1"}));
}

TEST(StringList, ChangeEventsOncePerChangeOrUpdate)
{
    TStringList list;
    int changing = 0, changed = 0;
    list.OnChanging = [&](TObject* s) { ++changing; EXPECT_EQ(s, &list); };
    list.OnChange = [&](TObject*) { ++changed; };
    list.Add("a");
    list.SetStrings(0, "b");
    list.Delete(0);
    EXPECT_EQ(changing, 3);
    EXPECT_EQ(changed, 3);
    list.BeginUpdate();
    list.Add("x");
    list.Add("y");
    list.Exchange(0, 1);
    EXPECT_EQ(changed, 3);
    list.EndUpdate();
    EXPECT_EQ(changed, 4);
    list.SetText("1\r\n2\r\n3");
    EXPECT_EQ(changed, 5);
}

TEST(StringList, IndexErrorsAndAssign)
{
    TStringList list;
    list.Add("a");
    struct Case { std::function<void()> Call; AnsiString Message; } cases[] = {
        {[&] { list.Strings(5); }, "List index out of bounds (5)"},
        {[&] { list.Delete(-1); }, "List index out of bounds (-1)"},
        {[&] { list.Insert(3, "x"); }, "List index out of bounds (3)"},
        {[&] { list.Exchange(0, 1); }, "List index out of bounds (1)"},
    };
    for (const auto& c : cases) {
        try {
            c.Call();
            ADD_FAILURE() << c.Message;
        } catch (const EStringListError& e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
    }
    TStringList other;
    other.SetText("x\r\ny\r\n");
    list.Assign(&other);
    EXPECT_TRUE(list.Equals(&other));
    TSampleFont font;
    try {
        list.Assign(&font);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TSampleFont to a TStringList");
    }
    EXPECT_THROW(font.Assign(&list), EConvertError);
}

TEST(StringList, OwnedObjectsAreFreedOnDeleteButSurviveMove)
{
    bool d1 = false, d2 = false;
    {
        TStringList list(true);
        list.AddObject("a", new Flag(&d1));
        list.AddObject("b", new Flag(&d2));
        list.Move(0, 1);
        EXPECT_FALSE(d1);
        EXPECT_EQ(Items(list), (std::vector<AnsiString>{"b", "a"}));
        list.Delete(0);
        EXPECT_TRUE(d2);
        EXPECT_FALSE(d1);
    }
    EXPECT_TRUE(d1);
}

TEST(StringList, FilesByteForByteAndReplacedWhole)
{
    TTempDir dir("velmarok-sl");
    std::string name = dir / "lista.txt";
    WriteFileBytes(name, "Zast\xB9piona\n\x8C" "ciana\r\nkoniec");
    TStringList list;
    list.LoadFromFile(name);
    EXPECT_EQ(Items(list), (std::vector<AnsiString>{"Zastąpiona", "Ściana", "koniec"}));
    list.Add("nowa");
    list.SaveToFile(name);
    std::string bytes = ReadFileBytes(name);
    EXPECT_EQ(bytes, "Zast\xB9piona\r\n\x8C" "ciana\r\nkoniec\r\nnowa\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path), std::filesystem::directory_iterator()), 1);
    EXPECT_THROW(list.LoadFromFile(dir / "missing.txt"), EFOpenError);
    EXPECT_EQ(list.Count(), 4);
}
