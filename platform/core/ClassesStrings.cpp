// TStrings and TStringList.
#include <algorithm>
#include <numeric>

#include "platform/core/Classes.h"

namespace {

const char* const SListIndexError = "List index out of bounds (%d)";
const char* const SDuplicateString = "String list does not allow duplicates";
const char* const SSortedListError = "Operation not allowed on sorted list";

// Keeps BeginUpdate/EndUpdate paired when an exception leaves the block.
class TUpdateScope {
public:
    explicit TUpdateScope(TStrings* s) : FStrings(s) { FStrings->BeginUpdate(); }
    ~TUpdateScope() { FStrings->EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TStrings* FStrings;
};

bool IsBlank(char c)
{
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 1 && u <= ' ';
}

}  // namespace

// ---------------------------------------------------------------- TStrings
void TStrings::Error(const AnsiString& Msg, int Data) const
{
    throw EStringListError(Format(Msg, {Data}));
}

int TStrings::CompareStrings(const AnsiString& S1, const AnsiString& S2) const
{
    return AnsiCompareText(S1, S2);
}

void TStrings::Put(int Index, const AnsiString& S)
{
    TObject* obj = GetObject(Index);
    TUpdateScope scope(this);
    Delete(Index);
    InsertObject(Index, S, obj);
}

TObject* TStrings::GetObject(int) const
{
    return nullptr;
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::InsertObject(int Index, const AnsiString& S, TObject* AObject)
{
    TUpdateScope scope(this);
    Insert(Index, S);
    PutObject(Index, AObject);
}

int TStrings::Add(const AnsiString& S)
{
    int result = GetCount();
    Insert(result, S);
    return result;
}

int TStrings::AddObject(const AnsiString& S, TObject* AObject)
{
    TUpdateScope scope(this);
    int result = Add(S);
    PutObject(result, AObject);
    return result;
}

void TStrings::AddStrings(TStrings* Strings)
{
    if (!Strings)
        return;
    TUpdateScope scope(this);
    int n = Strings->GetCount();
    for (int i = 0; i < n; ++i)
        AddObject(Strings->Get(i), Strings->GetObject(i));
}

void TStrings::Exchange(int Index1, int Index2)
{
    TUpdateScope scope(this);
    AnsiString s = Get(Index1);
    TObject* o = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s);
    PutObject(Index2, o);
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    TUpdateScope scope(this);
    AnsiString s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
}

int TStrings::IndexOf(const AnsiString& S) const
{
    int n = GetCount();
    for (int i = 0; i < n; ++i)
        if (CompareStrings(Get(i), S) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfName(const AnsiString& Name) const
{
    int n = GetCount();
    for (int i = 0; i < n; ++i) {
        AnsiString s = Get(i);
        size_t p = s.find(FNameValueSeparator);
        if (p != AnsiString::npos && CompareStrings(s.substr(0, p), Name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const
{
    int n = GetCount();
    for (int i = 0; i < n; ++i)
        if (GetObject(i) == AObject)
            return i;
    return -1;
}

bool TStrings::Equals(TStrings* Strings) const
{
    if (!Strings || Strings->GetCount() != GetCount())
        return false;
    int n = GetCount();
    for (int i = 0; i < n; ++i)
        if (Get(i) != Strings->Get(i))
            return false;
    return true;
}

void TStrings::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TStrings*>(Source)) {
        if (src == this)
            return;
        TUpdateScope scope(this);
        Clear();
        FNameValueSeparator = src->FNameValueSeparator;
        FQuoteChar = src->FQuoteChar;
        FDelimiter = src->FDelimiter;
        FStrictDelimiter = src->FStrictDelimiter;
        AddStrings(src);
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        SetUpdateState(true);
}

void TStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        SetUpdateState(false);
}

AnsiString TStrings::Text() const
{
    AnsiString result;
    int n = GetCount();
    for (int i = 0; i < n; ++i) {
        result += Get(i);
        result += "\r\n";
    }
    return result;
}

std::vector<std::string_view> TextLines(std::string_view Text)
{
    std::vector<std::string_view> lines;
    const size_t n = Text.size();
    // The next CR and LF at or after i (npos when there is none).
    size_t i = 0, cr = Text.find('\r'), lf = Text.find('\n');
    while (i < n) {
        if (cr < i)
            cr = Text.find('\r', i);
        if (lf < i)
            lf = Text.find('\n', i);
        const size_t end = std::min({cr, lf, n});
        lines.push_back(Text.substr(i, end - i));
        i = end;
        if (i < n && Text[i] == '\r')
            ++i;
        if (i < n && Text[i] == '\n')
            ++i;
    }
    return lines;
}

void TStrings::SetText(const AnsiString& Value)
{
    TUpdateScope scope(this);
    Clear();
    for (std::string_view line : TextLines(Value))
        Add(AnsiString(line));
}

AnsiString TStrings::JoinDelimited(char Delim, char Quote, bool Strict) const
{
    int n = GetCount();
    if (n == 1 && Get(0).empty())
        return AnsiString(2, Quote);
    AnsiString result;
    for (int i = 0; i < n; ++i) {
        AnsiString s = Get(i);
        bool quote = false;
        for (char c : s) {
            if (c == Quote || c == Delim || (!Strict && IsBlank(c))) {
                quote = true;
                break;
            }
        }
        if (i > 0)
            result += Delim;
        result += quote ? AnsiQuotedStr(s, Quote) : s;
    }
    return result;
}

AnsiString TStrings::DelimitedText() const
{
    return JoinDelimited(FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::SetDelimitedText(const AnsiString& Value)
{
    TUpdateScope scope(this);
    Clear();
    const size_t n = Value.size();
    size_t p = 0;
    auto skipBlanks = [&] {
        if (!FStrictDelimiter)
            while (p < n && IsBlank(Value[p]))
                ++p;
    };
    // The text ends at a NUL outside quotes, as a zero-terminated string does.
    auto atEnd = [&](size_t i) { return i >= n || Value[i] == '\0'; };
    skipBlanks();
    while (!atEnd(p)) {
        AnsiString s;
        if (Value[p] == FQuoteChar) {
            ++p;
            while (p < n) {
                if (Value[p] == FQuoteChar) {
                    if (p + 1 < n && Value[p + 1] == FQuoteChar) {
                        s += FQuoteChar;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                s += Value[p++];
            }
        } else {
            size_t start = p;
            while (!atEnd(p) && Value[p] != FDelimiter &&
                   (FStrictDelimiter || static_cast<unsigned char>(Value[p]) > ' '))
                ++p;
            s = Value.substr(start, p - start);
        }
        Add(s);
        skipBlanks();
        if (p < n && Value[p] == FDelimiter) {
            if (atEnd(p + 1))
                Add(AnsiString());
            ++p;
            skipBlanks();
        }
    }
}

AnsiString TStrings::CommaText() const
{
    return JoinDelimited(',', '"', false);
}

void TStrings::SetCommaText(const AnsiString& Value)
{
    char d = FDelimiter, q = FQuoteChar;
    bool strict = FStrictDelimiter;
    FDelimiter = ',';
    FQuoteChar = '"';
    FStrictDelimiter = false;
    try {
        SetDelimitedText(Value);
    } catch (...) {
        FDelimiter = d;
        FQuoteChar = q;
        FStrictDelimiter = strict;
        throw;
    }
    FDelimiter = d;
    FQuoteChar = q;
    FStrictDelimiter = strict;
}

AnsiString TStrings::Names(int Index) const
{
    AnsiString s = Get(Index);
    size_t p = s.find(FNameValueSeparator);
    return p == AnsiString::npos ? AnsiString() : s.substr(0, p);
}

AnsiString TStrings::Values(const AnsiString& Name) const
{
    int i = IndexOfName(Name);
    return i >= 0 ? ValueFromIndex(i) : AnsiString();
}

void TStrings::SetValues(const AnsiString& Name, const AnsiString& Value)
{
    int i = IndexOfName(Name);
    if (!Value.empty()) {
        if (i < 0)
            i = Add(AnsiString());
        Put(i, Name + FNameValueSeparator + Value);
    } else if (i >= 0) {
        Delete(i);
    }
}

AnsiString TStrings::ValueFromIndex(int Index) const
{
    if (Index < 0)
        return AnsiString();
    AnsiString s = Get(Index);
    size_t p = s.find(FNameValueSeparator);
    // A line without a separator has no value (not the line minus its first character).
    return p == AnsiString::npos ? AnsiString() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const AnsiString& Value)
{
    if (!Value.empty()) {
        if (Index < 0)
            Index = Add(AnsiString());
        Put(Index, Names(Index) + FNameValueSeparator + Value);
    } else if (Index >= 0) {
        Delete(Index);
    }
}

void TStrings::LoadFromFile(const AnsiString& FileName)
{
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TStrings::LoadFromStream(TStream* Stream)
{
    Int64 size = Stream->Size() - Stream->Position();
    AnsiString data(static_cast<size_t>(std::max<Int64>(size, 0)), '\0');
    Int64 got = Stream->Read(data.data(), static_cast<Int64>(data.size()));
    data.resize(static_cast<size_t>(std::max<Int64>(got, 0)));
    SetText(data);
}

void TStrings::SaveToFile(const AnsiString& FileName)
{
    SaveBytesToFile(FileName, Text());
}

void TStrings::SaveToStream(TStream* Stream)
{
    AnsiString s = Text();
    Stream->WriteBuffer(s.data(), static_cast<Int64>(s.size()));
}

// ---------------------------------------------------------------- TStringList
TStringList::~TStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects)
        for (auto& item : FList)
            delete item.FObject;
}

void TStringList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        Error(SListIndexError, Index);
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(const AnsiString& S1, const AnsiString& S2) const
{
    return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

AnsiString TStringList::Get(int Index) const
{
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)].FString;
}

void TStringList::Put(int Index, const AnsiString& S)
{
    if (FSorted)
        Error(SSortedListError, 0);
    CheckIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)].FString = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const
{
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)].FObject;
}

void TStringList::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)].FObject = AObject;
    Changed();
}

void TStringList::InsertItem(int Index, const AnsiString& S, TObject* AObject)
{
    Changing();
    FList.insert(FList.begin() + Index, TStringItem{S, AObject});
    Changed();
}

void TStringList::Insert(int Index, const AnsiString& S)
{
    InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const AnsiString& S, TObject* AObject)
{
    if (FSorted)
        Error(SSortedListError, 0);
    if (Index < 0 || Index > GetCount())
        Error(SListIndexError, Index);
    InsertItem(Index, S, AObject);
}

int TStringList::Add(const AnsiString& S)
{
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const AnsiString& S, TObject* AObject)
{
    int index = GetCount();
    if (FSorted && Find(S, index)) {
        if (FDuplicates == dupIgnore)
            return index;
        if (FDuplicates == dupError)
            Error(SDuplicateString, 0);
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index);
    Changing();
    TObject* obj = FList[static_cast<size_t>(Index)].FObject;
    FList.erase(FList.begin() + Index);
    if (FOwnsObjects)
        delete obj;
    Changed();
}

void TStringList::Clear()
{
    if (FList.empty())
        return;
    Changing();
    std::vector<TStringItem> old;
    old.swap(FList);
    if (FOwnsObjects)
        for (auto& item : old)
            delete item.FObject;
    Changed();
}

void TStringList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
    Changed();
}

void TStringList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    if (FSorted)
        Error(SSortedListError, 0);
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    // Moved in place: an owned object survives the move.
    Changing();
    TStringItem item = std::move(FList[static_cast<size_t>(CurIndex)]);
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, std::move(item));
    Changed();
}

bool TStringList::Find(const AnsiString& S, int& Index) const
{
    int lo = 0, hi = GetCount() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        int c = CompareStrings(FList[static_cast<size_t>(mid)].FString, S);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0)
                found = true;
        }
    }
    Index = lo;
    return found;
}

int TStringList::IndexOf(const AnsiString& S) const
{
    if (!FSorted)
        return TStrings::IndexOf(S);
    int index = 0;
    return Find(S, index) ? index : -1;
}

void TStringList::Sort()
{
    CustomSort([](TStringList* list, int a, int b) {
        return list->CompareStrings(list->FList[static_cast<size_t>(a)].FString,
                                    list->FList[static_cast<size_t>(b)].FString);
    });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare)
{
    if (FSorted || FList.size() < 2)
        return;
    Changing();
    // The comparison reads the list by index, so the list stays as it is
    // while an order of its indices is sorted.
    std::vector<int> order(FList.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Compare(this, a, b) < 0; });
    std::vector<TStringItem> sorted;
    sorted.reserve(FList.size());
    for (int i : order)
        sorted.push_back(std::move(FList[static_cast<size_t>(i)]));
    FList.swap(sorted);
    Changed();
}

void TStringList::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (FCaseSensitive == Value)
        return;
    FCaseSensitive = Value;
    if (FSorted) {
        FSorted = false;
        Sort();
        FSorted = true;
    }
}
