// The standards catalogue of the main window: loading it from its file into
// the catalogue grid, saving it back with the dated backup copy, regrouping.
#include <algorithm>
#include <charconv>
#include <new>
#include <unordered_map>

#include "app/Katalog.h"
#include "app/MainVars.h"
#include "app/SharedFiles.h"
#include "app/qx_Unit1.h"
#include "grid/ProGrid.h"
#include "grid/ProGridSettings.h"
#include "platform/core/Classes.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"

namespace {
const char* const TitleError = "BŁĄD !!!";
const char* const TitleWarning = "UWAGA !!!";
const char* const TitleInfo = "INFORMACJA !!!";

// The record of a grid row, the state word taken back from the state cell.
TNormRecord GridRecord(TProStringGrid* Grid, int Row)
{
    TNormRecord rec;
    for (int f = 0; f < NormFieldCount; ++f)
        rec[size_t(f)] = f + 1 < Grid->ColCount() ? Grid->Cells(f + 1, Row) : AnsiString();
    rec[nfState] = NormStateWord(rec[nfState]);
    return rec;
}

bool IsEmptyRecord(const TNormRecord& Record)
{
    return std::all_of(Record.begin(), Record.end(), [](const AnsiString& f) { return f.empty(); });
}

// Every record of the grid, rows 1 to the last: rows with no field at all
// (the empty last row among them) are left out, so no record is lost when
// the grid was sorted or has no empty last row.
std::vector<TNormRecord> GridRecords(TProStringGrid* Grid)
{
    std::vector<TNormRecord> records;
    for (int r = 1; r < Grid->RowCount(); ++r) {
        TNormRecord rec = GridRecord(Grid, r);
        if (!IsEmptyRecord(rec))
            records.push_back(std::move(rec));
    }
    return records;
}

// The catalogue file's bytes: the record line of every row that holds a
// field, rows 1 to the last (so the empty last row is left out, and no
// record is lost when the grid was sorted), each line ended by CR LF. The
// cells are read in place.
AnsiString CatalogueFileText(TProStringGrid* Grid)
{
    const int cols = std::min(Grid->ColCount(), NormColCount);
    AnsiString text, own[NormFieldCount];
    text.reserve(Grid->CellTextBytesUsed() + std::size_t(Grid->RowCount()) * 64);
    for (int r = 1; r < Grid->RowCount(); ++r) {
        std::array<std::string_view, NormFieldCount> rec{};
        for (int f = 0; f + 1 < cols; ++f)
            rec[size_t(f)] = Grid->CellsView(f + 1, r, own[f]);
        rec[nfState] = NormStateWordIn(rec[nfState]);
        if (std::all_of(rec.begin(), rec.end(), [](std::string_view f) { return f.empty(); }))
            continue;
        AppendRecordFields(text, rec.data(), NormFieldCount);
        text += "\r\n";
    }
    return text;
}

// A new file holding Bytes; false when the name is taken or it cannot be written.
bool WriteNewFile(const AnsiString& FileName, const AnsiString& Bytes)
{
    if (FileExists(FileName) || DirectoryExists(FileName))
        return false;
    try {
        SaveBytesToFile(FileName, Bytes);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

}  // namespace

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
    TProStringGrid* g = sg_WszystkieNormy;
    const std::array<std::int32_t, 5> colors = StateColors();
    const std::vector<std::string_view> lines = TextLines(Text);
    const int n = int(lines.size());
    g->BeginUpdate();
    try {
        g->ClearAll();
        g->SortSettings()->SetColumn(-1);
        g->SetRowCount(n + 2);
        g->SetColCount(NormColCount);
        for (int c = 0; c < NormColCount; ++c)
            g->SetCells(c, 0, NormHeaders[size_t(c)]);
        // A state cell depends on the state word only: each is made once,
        // the few words met looked up in turn. A row's number and fields are
        // copied straight from the line into its cells.
        std::vector<std::pair<std::string_view, AnsiString>> stateCells;
        std::size_t last = 0;
        for (int i = 0; i < n + 1; ++i) {
            std::array<std::string_view, NormColCount> row{};
            char number[16];
            row[0] = std::string_view(number, size_t(std::to_chars(number, number + sizeof number, i + 1).ptr - number));
            if (i == n) {
                g->SetRowCellsFrom(0, i + 1, row.data(), 1);   // the empty last row carries its number
                break;
            }
            std::string_view* rec = row.data() + 1;
            SplitRecordFields(lines[size_t(i)], rec, NormFieldCount);
            const std::string_view word = rec[nfState];
            if (last >= stateCells.size() || stateCells[last].first != word) {
                last = 0;
                while (last < stateCells.size() && stateCells[last].first != word)
                    ++last;
                if (last == stateCells.size())
                    stateCells.emplace_back(word, NormStateCell(AnsiString(word), colors));
            }
            rec[nfState] = stateCells[last].second;
            g->SetRowCellsFrom(0, i + 1, row.data(), NormColCount);
        }
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
    AnsiString fileName = CatalogueFileName();
    if (!MayReplaceSharedFile(fileName))
        return false;
    AnsiString dir = ExtractFileDir(fileName);
    if (!dir.empty() && !DirectoryExists(dir))
        ForceDirectories(dir);
    SaveBytesToFile(fileName, Bytes);
    RememberSharedFile(fileName, Bytes);
    return true;
}

void Tf_MainForm::SaveNormList(TProStringGrid* Grid)
{
    if (RefuseIncompleteSave())
        return;
    const AnsiString bytes = CatalogueFileText(Grid);
    AnsiString fileName = CatalogueFileName();
    try {
        if (!WriteNormFile(bytes))
            return;
        if (Application->MessageBox("Zrobić kopię zapisanego właśnie pliku norm z aktualną datą ???", TitleWarning,
                                    MB_YESNO | MB_ICONQUESTION) == IDYES) {
            // The copy is of what this program wrote, even when another login
            // has saved the catalogue again while the question was shown.
            AnsiString folder = BackupFolder();
            AnsiString copy = NormBackupFileName(folder, fileName, Now());
            if (Trim(folder).empty() || !WriteNewFile(copy, bytes))
                Application->MessageBox("Nie udało się zrobić kopii pliku norm:\r" + copy + " !!!", TitleWarning,
                                        MB_OK | MB_ICONERROR);
        }
        LoadNormList(fileName);
        Application->MessageBox("Spis norm został pomyślnie zaktualizowany.", TitleInfo, MB_OK | MB_ICONINFORMATION);
    } catch (const Exception&) {
        Application->MessageBox(
            "Nie udało się zaktualizować spisu norm, nie masz do tego odpowiednich uprawnień !!!.", TitleWarning,
            MB_OK | MB_ICONERROR);
    }
}

void Tf_MainForm::GroupNormList()
{
    if (RefuseIncompleteSave())
        return;
    std::vector<TNormRecord> records = GridRecords(sg_WszystkieNormy);
    TStringList lines;
    for (int i : GroupNormOrder(records))
        lines.Add(NormLine(records[size_t(i)]));

    try {
        FillNormGrids(lines.Text());
    } catch (const Exception&) {
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
        if (!WriteNormFile(lines.Text()))
            return;
        NormListModified = false;
        LoadNormList(CatalogueFileName());
        Application->MessageBox("Lista norm została pogrupowana i zapisana.", TitleInfo, MB_OK | MB_ICONINFORMATION);
    } catch (const Exception&) {
        Application->MessageBox(
            "Nie udało się pogrupować i zapisać wykazu norm, nie masz odpowiednich uprawnień !!!.", TitleWarning,
            MB_OK | MB_ICONERROR);
    }
}
