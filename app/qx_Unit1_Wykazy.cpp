// The register page of the main window: opening a register file matched
// against the catalogue, a new empty register, saving, free file names and
// the switch between viewing and editing mode.
#include <memory>
#include <vector>

#include "app/FormBuild.h"
#include "app/MainVars.h"
#include "app/SharedFiles.h"
#include "app/Wykazy.h"
#include "app/qx_Unit1.h"
#include "controls/NetGradient.h"
#include "controls/ToolEdit.h"
#include "grid/ProGrid.h"
#include "platform/core/Classes.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"

namespace {
const char* const TitleError = "BŁĄD !!!";
const char* const TitleWarning = "UWAGA !!!";
const AnsiString OpenPrefix = "Zestawienie materiałów dla ";
const AnsiString NewPrefix = "Dodaj nowy wykaz - zestawienie dla ";
}  // namespace

void Tf_MainForm::CreateRegisterComponents()
{
    TPage* page = PageOf(Strony, "NowyWykaz");
    ng_NowyEdytujWykaz = Place<TNetGradient>(this, page, "ng_NowyEdytujWykaz", 0, 0, 600, 25);
    ng_NowyEdytujWykaz->SetAlign(alTop);
    ng_NowyEdytujWykaz->SetCaption(OpenPrefix);
    ng_NowyEdytujWykaz->Font()->SetStyle(fsBold);

    pan_NowyWykaz = Place<TPanel>(this, page, "pan_NowyWykaz", 0, 24, 600, 34);
    pan_NowyWykaz->SetAlign(alTop);
    pan_NowyWykaz->SetBevelOuter(bvNone);
    struct Button {
        TSpeedButton** Field;
        const char* Name;
        const char* Caption;
    };
    const Button buttons[] = {
        {&sb_NowyWykaz_Edytuj, "sb_NowyWykaz_Edytuj", "Edytuj wykaz"},
        {&sb_Edytuj_Edycja, "sb_Edytuj_Edycja", "Edycja"},
        {&sb_Edytuj_Wykaz, "sb_Edytuj_Wykaz", "Wykaz"},
        {&sb_Edytuj_Linie, "sb_Edytuj_Linie", "Linie"},
        {&sb_Edytuj_Format, "sb_Edytuj_Format", "Format"},
        {&sb_Edytuj_ZapiszZmiany, "sb_Edytuj_ZapiszZmiany", "Zapisz"},
    };
    int left = 4;
    for (const Button& b : buttons) {
        const int width = b.Field == &sb_NowyWykaz_Edytuj ? 120 : 84;
        *b.Field = Place<TSpeedButton>(this, pan_NowyWykaz, b.Name, left, 4, width, 26);
        (*b.Field)->SetCaption(b.Caption);
        (*b.Field)->SetFlat(true);
        (*b.Field)->SetEnabled(b.Field == &sb_NowyWykaz_Edytuj);
        left += width + 4;
    }
    sb_NowyWykaz_Edytuj->OnClick = [this](TObject* Sender) { sb_NowyWykaz_EdytujClick(Sender); };
    sb_Edytuj_ZapiszZmiany->OnClick = [this](TObject*) { SaveListFile(); };
    sb_Edytuj_Edycja->OnClick = [this](TObject* Sender) { sb_Edytuj_EdycjaClick(Sender); };
    sb_Edytuj_Wykaz->OnClick = [this](TObject* Sender) { sb_Edytuj_WykazClick(Sender); };
    sb_Edytuj_Linie->OnClick = [this](TObject* Sender) { sb_Edytuj_LinieClick(Sender); };
    sb_Edytuj_Format->OnClick = [this](TObject* Sender) { sb_Edytuj_FormatClick(Sender); };

    pm_NoyEdytujWykaz = new TPopupMenu(this);
    pm_NoyEdytujWykaz->SetName("pm_NoyEdytujWykaz");

    sg_NowyEdytujWykaz = NewGrid(page, "sg_NowyEdytujWykaz", alClient);
    TProStringGrid* g = sg_NowyEdytujWykaz;
    g->SetDefaultColWidth(40);
    g->SetDefaultRowHeight(21);
    g->SetOptions((g->Options() | goRowSizing | goColSizing | goDrawFocusSelected) & ~goEditing);
    g->ShowModified()->SetEnabled(true);
    CreateListCommandComponents();
    ClearListGrid(3);
    sb_Edytuj_ZapiszZmiany->SetEnabled(false);

    CreateMenuComponents();
    CreateImportComponents();
    CreateExportComponents();
}

AnsiString Tf_MainForm::ListFolder() const
{
    return IncludeTrailingPathDelimiter(edt_DirWykazy->Text());
}

AnsiString Tf_MainForm::ListFilePath(const AnsiString& Name)
{
    if (IsPlainListName(Name))
        return ListFolder() + Name;
    Application->MessageBox("Nieprawidłowa nazwa pliku wykazu: \"" + Name + "\" !!!\r" +
                                "Nazwa wykazu w pliku menu nie może zawierać znaków \"\\\", \"/\" ani \"..\", "
                                "wykaz musi leżeć w folderze wykazów.",
                            TitleError, MB_OK | MB_ICONERROR);
    return AnsiString();
}

bool Tf_MainForm::ListEditing() const
{
    return sb_Edytuj_Linie->Enabled();
}

AnsiString Tf_MainForm::ListItemName() const
{
    return FListItemName;
}

void Tf_MainForm::ClearListGrid(int Rows)
{
    TProStringGrid* g = sg_NowyEdytujWykaz;
    g->ClearAll();
    g->ClearRowModified();
    // What was done to the earlier content cannot be undone into this one.
    UndoRedo_NowyEdytujWykaz->Clear();
    g->SetColCount(ListColCount);
    g->SetRowCount(Rows);
    for (int c = 0; c < ListColCount; ++c)
        g->SetCells(c, 0, ListHeaders[size_t(c)]);
}

bool Tf_MainForm::AskSaveModifiedList(const AnsiString& Then)
{
    int answer = Application->MessageBox("Wykaz " + ListItemName() +
                                             " został zmodyfikowany. Czy chcesz zapisać wprowadzone zmiany ???\r\r"
                                             "Kliknij na:\r• TAK aby zapisać zmiany w wykazie,\r• NIE aby " +
                                             Then + ",\r• ANULUJ aby wrócić do otwartego wykazu.",
                                         TitleWarning, MB_YESNOCANCEL | MB_ICONWARNING);
    if (answer == IDCANCEL)
        return false;
    // Changes that could not be written are not dropped.
    return answer != IDYES || SaveListFile();
}

bool Tf_MainForm::ListModified()
{
    sg_NowyEdytujWykaz->EndCellEdit();
    return sb_Edytuj_ZapiszZmiany->Enabled();
}

bool Tf_MainForm::LeaveListEditing(bool Ask)
{
    if (Ask && ListModified() && !AskSaveModifiedList("bez zapisywania zmian przerwać edycję"))
        return false;
    TProStringGrid* g = sg_NowyEdytujWykaz;
    g->UnHideColumns(6, 8);
    for (int i = 0; i < 3; ++i)
        g->MoveColumn(3, 8);
    g->SetOptions(g->Options() & ~goEditing);
    g->Navigation()->SetAllowInsertRow(false);
    for (TSpeedButton* b : {sb_Edytuj_Linie, sb_Edytuj_Wykaz, sb_Edytuj_Edycja, sb_Edytuj_Format})
        b->SetEnabled(false);
    sb_Edytuj_ZapiszZmiany->SetEnabled(false);
    sb_NowyWykaz_Edytuj->SetCaption("Edytuj wykaz");
    g->SetPopupMenu(nullptr);
    return true;
}

void Tf_MainForm::EnterListEditing()
{
    // The stored fields side by side, the looked-up columns hidden behind them.
    TProStringGrid* g = sg_NowyEdytujWykaz;
    for (int i = 0; i < 3; ++i)
        g->MoveColumn(3, 8);
    g->HideColumns(6, 8);
    g->SetOptions(g->Options() | goEditing);
    g->Navigation()->SetAllowInsertRow(true);
    for (TSpeedButton* b : {sb_Edytuj_Linie, sb_Edytuj_Wykaz, sb_Edytuj_Edycja, sb_Edytuj_Format})
        b->SetEnabled(true);
    sb_Edytuj_ZapiszZmiany->SetEnabled(false);
    sb_NowyWykaz_Edytuj->SetCaption("Przerwij edycję");
    g->SetPopupMenu(pm_NoyEdytujWykaz);
    UpdateListEditItems(pm_NoyEdytujWykaz);
}

void Tf_MainForm::sb_NowyWykaz_EdytujClick(TObject*)
{
    if (ListEditing())
        LeaveListEditing(true);
    else
        EnterListEditing();
}

bool Tf_MainForm::KeepOrSaveListBefore(const AnsiString& Caption)
{
    return !ListModified() || AskSaveModifiedList("bez zapisywania zmian otworzyć wykaz " + Caption);
}

bool Tf_MainForm::OpenListFile(const AnsiString& FileName, const AnsiString& Caption)
{
    if (!KeepOrSaveListBefore(Caption))
        return false;
    TProStringGrid* g = sg_NowyEdytujWykaz;
    sb_Edytuj_ZapiszZmiany->SetEnabled(false);
    g->UnHideColumnsAll();
    if (ListEditing())
        LeaveListEditing(false);

    g->BeginUpdate();
    ClearListGrid(3);
    CurrentListFile = FileName;
    ng_NowyEdytujWykaz->SetCaption(OpenPrefix + Caption);
    FListItemName = Caption;

    TStringList lines;
    bool read = true;
    try {
        const AnsiString bytes = LoadBytesFromFile(FileName);
        RememberSharedFile(FileName, bytes);
        lines.SetText(bytes);
    } catch (const Exception&) {
        RememberSharedFile(FileName);
        read = false;
        lines.Clear();
        Application->MessageBox("Nie można otworzyć wskazanego pliku.\rWskazany plik jest pusty lub ma "
                                "nieprawidłowy format !!!",
                                TitleError, MB_OK | MB_ICONERROR);
    }
    g->SetRowCount(lines.Count() + 2);
    g->NumberColumn(0);

    std::vector<TListRecord> records(size_t(lines.Count()));
    std::vector<AnsiString> numbers;
    numbers.reserve(records.size());
    for (int i = 0; i < lines.Count(); ++i)
        if (!lines.Strings(i).empty()) {
            records[size_t(i)] = SplitListLine(lines.Strings(i));
            numbers.push_back(records[size_t(i)][lfDocNorm]);
        }
    const TNormIndex catalogue(sg_WszystkieNormy, numbers);
    TProStringGrid* cat = sg_WszystkieNormy;
    // The catalogue row of each line; the rows lie apart in memory, so the
    // cells of the rows a few lines on are asked for ahead.
    std::vector<int> found(records.size(), -1);
    for (size_t i = 0; i < records.size(); ++i)
        if (!records[i][lfDocNorm].empty())
            found[i] = catalogue.Find(records[i][lfDocNorm]);
    constexpr size_t Ahead = 8;
    auto prefetch = [&](size_t i) {
        if (i < found.size() && found[i] >= 0)
            for (int c = 2; c <= 4; ++c)
                cat->PrefetchCell(c, found[i]);
    };
    for (size_t i = 0; i < Ahead; ++i)
        prefetch(i);
    for (int i = 0; i < lines.Count(); ++i) {
        prefetch(size_t(i) + Ahead);
        if (records[size_t(i)][lfDocNorm].empty() && lines.Strings(i).empty())
            continue;
        const int row = i + 1;
        const TListRecord& rec = records[size_t(i)];
        for (int f = 0; f < ListFieldCount; ++f)
            g->SetCells(ListFieldViewCols[size_t(f)], row, rec[size_t(f)]);
        const AnsiString& doc = rec[lfDocNorm];
        const AnsiString& listed = rec[lfListNorm];
        if (!doc.empty()) {
            const int c = found[size_t(i)];
            if (c >= 0) {
                g->SetCellsFrom(ListStateCol, row, cat->CellText(2, c));
                g->SetCellsFrom(ListCurrentCol, row, cat->CellText(4, c));
                g->SetCellsFrom(ListHoldingCol, row, cat->CellText(3, c));
            } else
                g->SetCells(ListStateCol, row, NotInCatalogue);
        }
        if (!doc.empty() || !listed.empty()) {
            if (doc == listed)
                g->RemoveCellComment(1, row);
            else
                g->AddCellComment(1, row, NormsDifferComment);
        }
    }

    if (CurrentUserLevel >= 3)
        pan_NowyWykaz->Show();
    else {
        g->SetOptions(g->Options() & ~goEditing);
        pan_NowyWykaz->Hide();
        g->SetPopupMenu(nullptr);
    }
    g->EndUpdate();
    g->AutoSizeColumns(false, 10);
    sb_Edytuj_ZapiszZmiany->SetEnabled(false);
    return read;
}

void Tf_MainForm::NewListGrid(const AnsiString& FileName, const AnsiString& Caption)
{
    TProStringGrid* g = sg_NowyEdytujWykaz;
    g->UnHideColumnsAll();
    if (ListEditing())
        LeaveListEditing(false);
    ClearListGrid(31);
    g->AutoSizeColumns(false, 10);
    g->NumberColumn(0);
    EnterListEditing();

    CurrentListFile = FileName;
    RememberSharedFile(FileName);
    ng_NowyEdytujWykaz->SetCaption(NewPrefix + Caption);
    FListItemName = Caption;
    g->SetPopupMenu(pm_NoyEdytujWykaz);
    g->AutoSizeColumns(false, 10);
    pan_NowyWykaz->Show();
    Strony->SetActivePage("NowyWykaz");
}

bool Tf_MainForm::SaveListFile()
{
    const AnsiString name = ExtractFileName(CurrentListFile);
    const AnsiString ext = ExtractFileExt(name);
    if (ext.empty() || ext.size() == name.size()) {
        Application->MessageBox(
            "Nie można zapisać tego pliku !!!\rProblem związany jest z nazwą pliku przypisaną do tworzonej właśnie "
            "pozycji. Przejdź do ustawień Menu i najpierw usuń tworzony (edytowany) właśnie wyrób a potem dodaj go "
            "ponownie i przejdź jeszcze raz do tworzenia nowego wykazu. Aby nie stracić wprowadzonych już danych, "
            "przekopiuj aktualną zawartość do schowka i wklej w nowym wykazie (kliknij teraz na OK a potem naciśnij "
            "CTRL+SHIFT+C, przejdź do edycji nowego wykazu i naciśniej CTRL+V).",
            TitleError, MB_OK | MB_ICONERROR);
        return false;
    }
    // A cell still being edited is saved as typed.
    TProStringGrid* g = sg_NowyEdytujWykaz;
    g->EndCellEdit();
    // The five stored fields by their headers, wherever editing mode put them.
    int cols[ListFieldCount];
    for (int f = 0; f < ListFieldCount; ++f) {
        cols[f] = ListColumnOf(g, ListHeaders[size_t(ListFieldViewCols[size_t(f)])]);
        if (cols[f] < 0)
            cols[f] = ListFieldViewCols[size_t(f)];
    }
    AnsiString text;
    for (int r = 1; r < g->RowCount(); ++r) {
        TListRecord rec;
        bool any = false;
        for (int f = 0; f < ListFieldCount; ++f) {
            rec[size_t(f)] = g->Cells(cols[f], r);
            any = any || !rec[size_t(f)].empty();
        }
        if (any)
            text += ListLine(rec) + "\r\n";
    }
    TSharedFileSave save(CurrentListFile);
    if (!save.MayReplace())
        return false;
    try {
        WriteListFile(CurrentListFile, text);
        RememberSharedFile(CurrentListFile, text);
        save.Release();
        sb_Edytuj_ZapiszZmiany->SetEnabled(false);
        g->ClearRowModified();
        return true;
    } catch (const Exception&) {
        save.Release();
        Application->MessageBox("NIE MOGĘ ZAPISAĆ ZMIAN W WYKAZIE !!!\rNIE MASZ DO TEGO ODPOWIEDNICH UPRAWNIEŃ !!!",
                                TitleError, MB_OK | MB_ICONERROR);
        return false;
    }
}

AnsiString Tf_MainForm::MakeListFileName(const AnsiString& Name, bool Create)
{
    // The menu file names files that are not written yet too (another
    // login's new items, say).
    TStringList named;
    const AnsiString menuFile = edt_Menu->FileName();
    if (FileExists(menuFile)) {
        try {
            TMemIniFile menu(menuFile);
            TStringList sections, lines;
            menu.ReadSections(&sections);
            for (int i = 0; i < sections.Count(); ++i) {
                menu.ReadSectionValues(sections.Strings(i), &lines);
                for (int j = 0; j < lines.Count(); ++j)
                    named.Add(lines.ValueFromIndex(j));
            }
        } catch (const Exception&) {
            // An unreadable menu file hands out nothing more.
        }
    }
    const AnsiString folder = ListFolder();
    const auto taken = [&](const AnsiString& c) {
        return FileExists(folder + c) || UsedListFiles->IndexOf(c) >= 0 || named.IndexOf(c) >= 0;
    };
    const AnsiString base = ListFileBase(Name.empty() ? DateTimeToStr(Now()) : Name);
    if (Create && !DirectoryExists(folder))
        ForceDirectories(folder);
    const AnsiString candidate = Create ? CreateListFile(folder, base, taken) : FreeListFileName(base, taken);
    UsedListFiles->Add(candidate);
    return folder + candidate;
}
