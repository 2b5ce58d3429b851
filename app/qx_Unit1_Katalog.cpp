// The standards catalogue of the main window: loading it from its file into
// the catalogue grid, saving it back with the dated backup copy, regrouping.
#include <algorithm>
#include <charconv>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>

#include "app/Katalog.h"
#include "app/MainVars.h"
#include "app/SharedFiles.h"
#include "app/qx_Unit1.h"
#include "grid/ProGrid.h"
#include "grid/ProGridSettings.h"
#include "platform/core/Classes.h"
#include "platform/core/Parallel.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"

namespace {
const char* const TitleError = "BŁĄD !!!";
const char* const TitleWarning = "UWAGA !!!";
const char* const TitleInfo = "INFORMACJA !!!";

std::function<void(int Row)>& NormLineProbe()
{
    static std::function<void(int Row)> probe;
    return probe;
}

// The record lines of the grid's records (rows 1 to the last; rows with no field at all,
// the empty last row among them, are left out) and their numbers, read in one pass over
// the rows, on several threads where the grid allows.
struct TGridLines {
    std::vector<std::string> Parts;   // the lines of a run of rows, one after the other
    std::vector<std::string_view> Lines, Numbers;
};

// The record lines of rows [From, To) appended to Bytes, each followed by LineEnd; each
// line's place in Bytes, its length and its number's length added to Places when given.
// Concurrent: the grid gives its stored texts (CellsAsStored), read off its thread.
void AppendGridLines(TProStringGrid* Grid, std::size_t From, std::size_t To, bool Concurrent, std::string_view LineEnd,
                     std::string& Bytes, std::vector<std::array<std::size_t, 3>>* Places)
{
    const int cols = std::min(Grid->ColCount() - 1, NormFieldCount);
    std::array<AnsiString, NormFieldCount> copies;
    const std::function<void(int)>& probe = NormLineProbe();
    for (std::size_t r = From; r < To; ++r) {
        if (probe)
            probe(int(r));
        std::array<std::string_view, NormFieldCount> f{};
        bool any = false;
        for (int k = 0; k < cols; ++k) {
            f[std::size_t(k)] = Grid->ShownCellText(k + 1, int(r), Concurrent, copies[std::size_t(k)]);
            if (k == nfState)
                f[std::size_t(k)] = NormStateWordOf(f[std::size_t(k)]);
            any = any || !f[std::size_t(k)].empty();
        }
        if (!any)
            continue;
        const std::size_t start = Bytes.size();
        AppendRecordFields(Bytes, f.data(), NormFieldCount);
        if (Places)
            Places->push_back({start, Bytes.size() - start, f[nfNumber].size()});
        Bytes += LineEnd;
    }
}

TGridLines GridLines(TProStringGrid* Grid)
{
    const std::size_t rows = std::size_t(std::max(0, Grid->RowCount() - 1));
    const bool concurrent = Grid->CellsAsStored();
    const int parts = concurrent ? PartsFor(rows, 4096) : 1;
    // Each line's place in its part and the length of its number.
    std::vector<std::vector<std::array<std::size_t, 3>>> places(static_cast<std::size_t>(parts));
    TGridLines out;
    out.Parts.resize(std::size_t(parts));
    RunInParts(rows, parts, [&](int Part, std::size_t From, std::size_t To) {
        // Written on the thread's own string and list, which no other thread's writes share a line with.
        std::string bytes;
        std::vector<std::array<std::size_t, 3>> at;
        AppendGridLines(Grid, From + 1, To + 1, concurrent, {}, bytes, &at);
        out.Parts[std::size_t(Part)] = std::move(bytes);
        places[std::size_t(Part)] = std::move(at);
    });
    for (std::size_t p = 0; p < out.Parts.size(); ++p)
        for (const auto& a : places[p]) {
            const std::string_view line(out.Parts[p].data() + a[0], a[1]);
            out.Lines.push_back(line);
            out.Numbers.push_back(line.substr(0, a[2]));
        }
    return out;
}

// The catalogue file's bytes from the grid: its record lines, each followed by CR LF, in
// runs of rows made on several threads once Start is called (where the grid allows), each
// taken in turn by Take.
class TGridText {
public:
    explicit TGridText(TProStringGrid* Grid)
        : FGrid(Grid), FRows(std::size_t(std::max(0, Grid->RowCount() - 1))), FConcurrent(Grid->CellsAsStored()),
          FRuns((FRows + RowsPerRun - 1) / RowsPerRun)
    {
    }
    std::size_t Count() const { return FRuns.size(); }
    void Start()
    {
        FMade = std::make_unique<TOrderedParts>(FRuns.size(), FConcurrent ? PartsFor(FRows, RowsPerRun) : 0,
                                                [this](std::size_t i) {
                                                    const std::size_t from = i * RowsPerRun;
                                                    std::string run;
                                                    AppendGridLines(FGrid, from + 1, std::min(FRows, from + RowsPerRun) + 1,
                                                                    FConcurrent, "\r\n", run, nullptr);
                                                    FRuns[i] = std::move(run);
                                                });
    }
    std::string_view Take(std::size_t Index)
    {
        FMade->Take(Index);
        return FRuns[Index];
    }
    // Ends the making: the runs begun are finished, no more are begun, and
    // no thread reads the grid any longer.
    void Stop() { FMade.reset(); }
    // The runs taken.
    std::vector<std::string_view> Runs() const { return {FRuns.begin(), FRuns.end()}; }

private:
    static constexpr std::size_t RowsPerRun = 4096;
    TProStringGrid* FGrid;
    std::size_t FRows;
    bool FConcurrent;
    std::vector<std::string> FRuns;
    std::unique_ptr<TOrderedParts> FMade;
};

// The lines, each followed by CR LF, copied on several threads.
AnsiString JoinLines(const std::vector<std::string_view>& Lines)
{
    std::vector<std::size_t> starts(Lines.size() + 1, 0);
    for (std::size_t i = 0; i < Lines.size(); ++i)
        starts[i + 1] = starts[i] + Lines[i].size() + 2;
    AnsiString text(starts.back(), '\0');
    RunInParts(Lines.size(), PartsFor(Lines.size(), 16384), [&](int, std::size_t From, std::size_t To) {
        for (std::size_t i = From; i < To; ++i) {
            std::memcpy(text.data() + starts[i], Lines[i].data(), Lines[i].size());
            std::memcpy(text.data() + starts[i] + Lines[i].size(), "\r\n", 2);
        }
    });
    return text;
}

// A new file holding the bytes of Runs; false when the name is taken or it cannot be written.
bool WriteNewFile(const AnsiString& FileName, const std::vector<std::string_view>& Runs)
{
    if (FileExists(FileName) || DirectoryExists(FileName))
        return false;
    try {
        TReplacingFile file(FileName);
        for (std::string_view r : Runs)
            file.Write(r);
        file.Commit();
        return true;
    } catch (const Exception&) {
        return false;
    }
}

}  // namespace

void SetNormLineProbe(std::function<void(int Row)> Probe)
{
    NormLineProbe() = std::move(Probe);
}

TProStringGrid* Tf_MainForm::NewGrid(TWinControl* Parent, const char* Name, TAlign Align)
{
    auto* g = new TProStringGrid(this);
    g->SetName(Name);
    g->SetParent(Parent);
    g->SetBounds(8, 8, 600, 260);
    g->SetAlign(Align);
    g->SetColCount(NormColCount);
    g->SetRowCount(2);
    return g;
}

void Tf_MainForm::FillNormGrids(std::string_view Text)
{
    FillNormGrids(TextLines(Text));
}

void Tf_MainForm::FillNormGrids(const std::vector<std::string_view>& lines)
{
    TProStringGrid* g = sg_WszystkieNormy;
    const std::array<std::int32_t, 5> colors = StateColors();
    const int n = int(lines.size());
    FFoundRowsRefilled = true;
    g->BeginUpdate();
    try {
        g->ClearAll();
        g->SortSettings()->ResetSortIndicator();
        g->SetRowCount(n + 2);
        g->SetColCount(NormColCount);
        for (int c = 0; c < NormColCount; ++c)
            g->SetCells(c, 0, NormHeaders[size_t(c)]);
        // A state cell depends on the state word only: those of the state
        // words and of no word are made once, another word's in the row's
        // scratch. A row's number and fields are copied straight from the
        // line into its cells, the rows on several threads.
        std::vector<std::pair<std::string_view, AnsiString>> stateCells;
        for (const AnsiString& word : NormStateWords)
            stateCells.emplace_back(word, NormStateCell(word, colors));
        stateCells.emplace_back(std::string_view(), NormStateCell(AnsiString(), colors));
        g->SetRowsCellsFrom(1, n, NormColCount, [&](int ARow, std::string_view* AValues, std::string& AScratch) {
            std::string_view* rec = AValues + 1;
            SplitRecordFields(lines[std::size_t(ARow - 1)], rec, NormFieldCount);
            const std::string_view word = rec[nfState];
            auto known = std::find_if(stateCells.begin(), stateCells.end(), [&](const auto& c) { return c.first == word; });
            AScratch.clear();
            if (known == stateCells.end())
                AScratch = NormStateCell(AnsiString(word), colors);
            const std::size_t cell = AScratch.size();
            char number[16];
            AScratch.append(number, std::size_t(std::to_chars(number, number + sizeof number, ARow).ptr - number));
            rec[nfState] = known != stateCells.end() ? std::string_view(known->second) : std::string_view(AScratch).substr(0, cell);
            AValues[0] = std::string_view(AScratch).substr(cell);
        });
        // The empty last row carries its number.
        char number[16];
        const std::string_view last(number, std::size_t(std::to_chars(number, number + sizeof number, n + 1).ptr - number));
        g->SetRowCellsFrom(0, n + 1, &last, 1);
    } catch (...) {
        g->EndUpdate();
        throw;
    }
    g->EndUpdate();

    // The preview: the header and the first ten records.
    TProStringGrid* p = sg_PN_Podglad;
    p->BeginUpdate();
    p->ClearAll();
    p->SetColCount(g->ColCount());
    const int last = std::min(10, g->RowCount() - 2);
    p->SetRowCount(std::max(last + 1, 2));
    for (int r = 0; r <= last; ++r)
        for (int c = 0; c < g->ColCount(); ++c)
            p->SetCells(c, r, g->Cells(c, r));
    p->EndUpdate();

    if (FSizeColumnsOnLoad) {
        g->SetAutoSize(true);
        p->SetAutoSize(true);
    }
}

void Tf_MainForm::LoadNormList(const AnsiString& FileName)
{
    bool whole = true;
    AnsiString text;
    try {
        text = LoadBytesFromFile(FileName);
        RememberSharedFile(FileName, text);
    } catch (const Exception&) {
        whole = false;
        RememberSharedFile(FileName);
    } catch (const std::bad_alloc&) {
        whole = false;
    }
    try {
        FillNormGrids(text);
    } catch (const Exception&) {
        whole = false;   // the rows filled so far stay
    } catch (const std::bad_alloc&) {
        whole = false;
    }
    sg_WszystkieNormy->SetHint(CatalogueFileName());
    if (!StartingUp)
        Strony->SetActivePage("ListaWszystkichNorm");
    NormListModified = false;

    // A catalogue read in part must not be saved over what is there; only
    // a file that is not there at all leaves nothing to protect.
    FCatalogueIncomplete = !whole && (FileExists(FileName) || DirectoryExists(FileName));
    if (!whole) {
        AnsiString text = "Nie udało się wczytać spisu norm z pliku:\r" + FileName + " !!!";
        if (FCatalogueIncomplete)
            text += "\r\rSpis norm nie może zostać zapisany, dopóki nie zostanie wczytany w całości.";
        Application->MessageBox(text, TitleError, MB_OK | MB_ICONERROR);
    }
}

bool Tf_MainForm::RefuseIncompleteSave()
{
    if (!FCatalogueIncomplete)
        return false;
    Application->MessageBox("Spis norm nie został wczytany w całości, zapisanie go usunęłoby z pliku normy, "
                            "których nie wczytano !!!\r\rWczytaj ponownie spis norm z pliku:\r" +
                                CatalogueFileName(),
                            TitleError, MB_OK | MB_ICONERROR);
    return true;
}

bool Tf_MainForm::WriteNormFile(const AnsiString& Bytes)
{
    return WriteNormFile(1, [] {}, [&](std::size_t) { return std::string_view(Bytes); });
}

bool Tf_MainForm::WriteNormFile(std::size_t ACount, const std::function<void()>& AStart,
                                const std::function<std::string_view(std::size_t)>& ARun)
{
    AnsiString fileName = CatalogueFileName();
    AnsiString dir = ExtractFileDir(fileName);
    if (!dir.empty() && !DirectoryExists(dir))
        ForceDirectories(dir);
    // The new file is written beside the old one while the old one is looked
    // at, and put in its place only when nobody else's save is lost by it.
    std::vector<std::string_view> runs;
    TReplacingFile file(fileName);
    TSharedFileSave save(fileName);
    if (!save.MayReplace([&] {
            AStart();
            for (std::size_t i = 0; i < ACount; ++i) {
                runs.push_back(ARun(i));
                file.Write(runs.back());
            }
        }))
        return false;
    file.Commit();
    RememberSharedFile(fileName, runs);
    return true;
}

void Tf_MainForm::SaveNormList(TProStringGrid* Grid)
{
    if (RefuseIncompleteSave())
        return;
    // The runs of lines are made while those before them are written.
    TGridText text(Grid);
    AnsiString fileName = CatalogueFileName();
    try {
        const bool written =
            WriteNormFile(text.Count(), [&] { text.Start(); }, [&](std::size_t i) { return text.Take(i); });
        text.Stop();
        if (!written)
            return;
        if (Application->MessageBox("Zrobić kopię zapisanego właśnie pliku norm z aktualną datą ???", TitleWarning,
                                    MB_YESNO | MB_ICONQUESTION) == IDYES) {
            // The copy is of what this program wrote, even when another login
            // has saved the catalogue again while the question was shown.
            AnsiString folder = BackupFolder();
            AnsiString copy = NormBackupFileName(folder, fileName, Now());
            if (Trim(folder).empty() || !WriteNewFile(copy, text.Runs()))
                Application->MessageBox("Nie udało się zrobić kopii pliku norm:\r" + copy + " !!!", TitleWarning,
                                        MB_OK | MB_ICONERROR);
        }
        LoadNormList(fileName);
        Application->MessageBox("Spis norm został pomyślnie zaktualizowany.", TitleInfo, MB_OK | MB_ICONINFORMATION);
    } catch (const std::exception&) {
        // A failed write, or a line that could not be made (no memory): the
        // threads making the others end before the message's loop runs.
        text.Stop();
        Application->MessageBox(
            "Nie udało się zaktualizować spisu norm, nie masz do tego odpowiednich uprawnień !!!.", TitleWarning,
            MB_OK | MB_ICONERROR);
    }
}

void Tf_MainForm::GroupNormList()
{
    if (RefuseIncompleteSave())
        return;
    auto failed = [] {
        Application->MessageBox(
            "Nie udało się pogrupować i zapisać wykazu norm, nie masz odpowiednich uprawnień !!!.", TitleWarning,
            MB_OK | MB_ICONERROR);
    };
    // The record lines in their new order: filled into the grid as they are, written when
    // the catalogue is saved. Lines that cannot be made leave the grid and the file as they were.
    TGridLines lines;
    std::vector<std::string_view> grouped;
    try {
        lines = GridLines(sg_WszystkieNormy);
        for (int i : GroupNormOrder(lines.Lines, lines.Numbers))
            grouped.push_back(lines.Lines[std::size_t(i)]);
    } catch (const std::exception&) {
        failed();
        return;
    }

    try {
        FillNormGrids(grouped);
    } catch (const std::exception&) {
        FCatalogueIncomplete = true;   // the grid holds part of the catalogue
    }
    sg_WszystkieNormy->SetHint(CatalogueFileName());
    if (!StartingUp)
        Strony->SetActivePage("ListaWszystkichNorm");
    NormListModified = true;

    if (Application->MessageBox("Lista norm została pogrupowana, czy chcesz zapisać ją teraz ???", TitleWarning,
                                MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    try {
        if (!WriteNormFile(JoinLines(grouped)))
            return;
        NormListModified = false;
        LoadNormList(CatalogueFileName());
        Application->MessageBox("Lista norm została pogrupowana i zapisana.", TitleInfo, MB_OK | MB_ICONINFORMATION);
    } catch (const std::exception&) {
        failed();
    }
}
