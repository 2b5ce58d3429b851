// The page "ZapiszWykazJako": one register of a category saved in another
// format. The item's register is loaded into the register grid and written
// with one of the grid's export routines.
#include <iterator>

#include "app/FormBuild.h"
#include "app/Katalog.h"
#include "app/MainVars.h"
#include "app/U_WspolneFunkcje.h"
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
#include "platform/gui/Messages.h"
#include "platform/gui/StdCtrls.h"

namespace {
const char* const TitleError = "BŁĄD !!!";

// The format list's entries (sorted as the list shows them) and the extension
// of each.
struct TExportFormat {
    const char* Entry;
    const char* Extension;
};
const TExportFormat ExportFormats[] = {
    {"Dokument DOC", ".doc"},    {"Dokument HTML", ".html"}, {"Plik CSV", ".csv"},
    {"Plik Excela XLS", ".xls"}, {"Plik tekstowy", ".txt"},  {"Plik XML", ".xml"},
};

// Characters a file name may not hold.
bool HoldsForbiddenFileChar(const AnsiString& Name)
{
    return Name.find_first_of(";\\/<>|*?\"") != AnsiString::npos;
}

// The key of a menu-file line: the text before its first "=", or the whole line.
AnsiString SectionKey(const AnsiString& Line)
{
    const size_t eq = Line.find('=');
    return eq == AnsiString::npos ? Line : Line.substr(0, eq);
}

AnsiString SelectedText(TListBox* List)
{
    const int i = List->ItemIndex();
    return i < 0 || i >= List->Items()->Count() ? AnsiString() : List->Items()->Strings(i);
}
}  // namespace

AnsiString Tf_MainForm::ProgramFileRole(const AnsiString& FileName)
{
    if (!FileExists(FileName))
        return AnsiString();
    // Another name of the same file ("Z_U.TXT", a link) is the same file.
    auto same = [&](const AnsiString& Other) { return SamePlace(FileName, Other); };
    auto inFolder = [&](const AnsiString& Folder) { return SamePlace(ExtractFilePath(FileName), Folder); };
    if (same(CatalogueFileName()))
        return "spisem wszystkich norm";
    const AnsiString menuFile = edt_Menu->FileName();
    if (same(menuFile))
        return "plikiem ustawień menu";
    if (same(ConfigFileName()))
        return "plikiem konfiguracji programu";
    // The catalogue's dated copies are written and removed only where the catalogue may be.
    if (CurrentUserLevel < 3 && inFolder(BackupFolder()) &&
        IsNormBackupFileName(ExtractFileName(FileName), CatalogueFileName()))
        return "kopią spisu wszystkich norm";
    const AnsiString name = ExtractFileName(FileName);
    if (inFolder(UsersFolder()) && AnsiCompareText(ExtractFileExt(name), ".dat") == 0)
        return AnsiCompareText(name, "users.dat") == 0 ? "plikiem użytkowników programu"
                                                         : "plikiem ustawień użytkownika";
    if (!inFolder(ListFolder()) || !FileExists(menuFile))
        return AnsiString();
    TMemIniFile menu(menuFile);
    TStringList sections, lines;
    menu.ReadSections(&sections);
    for (int s = 0; s < sections.Count(); ++s) {
        menu.ReadSectionValues(sections.Strings(s), &lines);
        for (int i = 0; i < lines.Count(); ++i) {
            const AnsiString& line = lines.Strings(i);
            const AnsiString key = SectionKey(line);
            const AnsiString value = key.size() < line.size() ? line.substr(key.size() + 1) : AnsiString();
            if (IsPlainListName(value) && same(ListFolder() + value))
                return "wykazem pozycji \"" + key + "\"";
        }
    }
    return AnsiString();
}

void Tf_MainForm::CreateExportComponents()
{
    TPage* page = PageOf(Strony, "ZapiszWykazJako");
    auto* bar = Place<TNetGradient>(this, page, "ng_ZapiszWykazJako", 0, 0, 600, 25);
    bar->SetAlign(alTop);
    bar->SetCaption("Zapisz wykaz jako ...");
    bar->Font()->SetStyle(fsBold);

    TPanel* groups = PlaceGroupBox(this, page, gb_Eksportuj_NazwaKategorii, "gb_Eksportuj_NazwaKategorii",
                                   " Grupy wyrobów w kategorii ", 8, 34, 320, 420);
    lb_Eksportuj_GrupyProduktow = Place<TListBox>(this, groups, "lb_Eksportuj_GrupyProduktow", 8, 22, 300, 370);
    lb_Eksportuj_GrupyProduktow->SetSorted(true);
    PlaceLabel(this, groups, "Label_Eksportuj_Grupy", "&Wybierz grupę produktów", 8, 4, lb_Eksportuj_GrupyProduktow);
    lb_Eksportuj_ListaWykazow = Place<TListBox>(this, page, "lb_Eksportuj_ListaWykazow", 344, 58, 420, 200);
    PlaceLabel(this, page, "Label_Eksportuj_Wykazy", "Wy&bierz wykaz", 344, 40, lb_Eksportuj_ListaWykazow);

    edt_Exportuj_Directory = Place<TDirectoryEdit>(this, page, "edt_Exportuj_Directory", 344, 288, 420, 23);
    edt_Exportuj_Directory->SetDialogKind(dkWin32);
    PlaceLabel(this, page, "Label_Eksportuj_Folder", "&Zapisz do folderu:", 344, 270, edt_Exportuj_Directory);
    e_Exportuj_FileName = Place<TEdit>(this, page, "e_Exportuj_FileName", 344, 338, 420, 23);
    PlaceLabel(this, page, "Label_Eksportuj_Nazwa", "&Nazwa pliku:", 344, 320, e_Exportuj_FileName);
    cb_Exportuj_ZapiszJakoTyp = Place<TComboBox>(this, page, "cb_Exportuj_ZapiszJakoTyp", 344, 388, 220, 23);
    cb_Exportuj_ZapiszJakoTyp->SetStyle(csDropDownList);
    cb_Exportuj_ZapiszJakoTyp->SetSorted(true);
    for (const TExportFormat& f : ExportFormats)
        cb_Exportuj_ZapiszJakoTyp->Items()->Add(f.Entry);
    PlaceLabel(this, page, "Label_Eksportuj_Typ", "Z&apisz jako:", 344, 370, cb_Exportuj_ZapiszJakoTyp);
    sb_Exportuj = Place<TSpeedButton>(this, page, "sb_Exportuj", 344, 424, 200, 28);
    sb_Exportuj->SetCaption("   Zapisz plik jako ...");
    sb_Exportuj->SetEnabled(false);

    lb_Eksportuj_GrupyProduktow->OnClick = [this](TObject* s) { lb_Eksportuj_GrupyProduktowClick(s); };
    lb_Eksportuj_ListaWykazow->OnClick = [this](TObject* s) { lb_Eksportuj_ListaWykazowClick(s); };
    edt_Exportuj_Directory->OnChange = [this](TObject* s) { edt_Exportuj_DirectoryChange(s); };
    e_Exportuj_FileName->OnChange = [this](TObject* s) { edt_Exportuj_DirectoryChange(s); };
    cb_Exportuj_ZapiszJakoTyp->OnChange = [this](TObject* s) { edt_Exportuj_DirectoryChange(s); };
    sb_Exportuj->OnClick = [this](TObject* s) { sb_ExportujClick(s); };
    auto keys = [this](TObject* s, Word& k, TShiftState sh) { lb_Eksportuj_GrupyProduktowKeyDown(s, k, sh); };
    lb_Eksportuj_GrupyProduktow->OnKeyDown = keys;
    lb_Eksportuj_ListaWykazow->OnKeyDown = keys;
    edt_Exportuj_Directory->OnKeyDown = keys;
    e_Exportuj_FileName->OnKeyDown = keys;
    cb_Exportuj_ZapiszJakoTyp->OnKeyDown = keys;
}

void Tf_MainForm::lb_Eksportuj_GrupyProduktowClick(TObject*)
{
    const AnsiString menuFile = edt_Menu->FileName();
    if (FileExists(menuFile)) {
        lb_Eksportuj_ListaWykazow->Clear();
        e_Exportuj_FileName->Clear();
        ReadCategoryNames(SelectedText(lb_Eksportuj_GrupyProduktow), lb_Eksportuj_ListaWykazow);
    }
    edt_Exportuj_DirectoryChange(lb_Eksportuj_GrupyProduktow);
}

void Tf_MainForm::lb_Eksportuj_ListaWykazowClick(TObject*)
{
    const AnsiString item = SelectedText(lb_Eksportuj_ListaWykazow);
    if (!item.empty())
        e_Exportuj_FileName->SetText(ChangeFileExt(ExtractFileName(MakeListFileName(item)), ""));
    edt_Exportuj_DirectoryChange(lb_Eksportuj_ListaWykazow);
}

void Tf_MainForm::edt_Exportuj_DirectoryChange(TObject*)
{
    if (HoldsForbiddenFileChar(e_Exportuj_FileName->Text()))
        e_Exportuj_FileName->Clear();   // runs this handler again for the empty name
    sb_Exportuj->SetEnabled(DirectoryExists(edt_Exportuj_Directory->Text()) &&
                            lb_Eksportuj_GrupyProduktow->ItemIndex() >= 0 &&
                            lb_Eksportuj_ListaWykazow->ItemIndex() >= 0 && !e_Exportuj_FileName->Text().empty() &&
                            cb_Exportuj_ZapiszJakoTyp->ItemIndex() >= 0);
}

void Tf_MainForm::lb_Eksportuj_GrupyProduktowKeyDown(TObject* Sender, Word& Key, TShiftState Shift)
{
    if (Key == VK_RETURN && sb_Exportuj->Enabled())
        sb_ExportujClick(sb_Exportuj);
    FormKeyDown(Sender, Key, Shift);
}

void Tf_MainForm::sb_ExportujClick(TObject*)
{
    AnsiString folder = edt_Exportuj_Directory->Text();
    if (DirectoryExists(folder) && !folder.empty() && folder.back() != '\\' && folder.back() != '/') {
        folder += "/";
        edt_Exportuj_Directory->SetText(folder);
    }

    const AnsiString group = SelectedText(lb_Eksportuj_GrupyProduktow);
    const AnsiString item = SelectedText(lb_Eksportuj_ListaWykazow);
    AnsiString listName;
    const AnsiString menuFile = edt_Menu->FileName();
    if (FileExists(menuFile)) {
        TIniFile menu(menuFile);
        if (menu.SectionExists(group)) {
            TStringList lines;
            menu.ReadSectionValues(group, &lines);
            for (int i = 0; i < lines.Count() && listName.empty(); ++i) {
                const AnsiString& line = lines.Strings(i);
                const size_t eq = line.find('=');
                if (eq != AnsiString::npos && SectionKey(line) == item)
                    listName = line.substr(eq + 1);
            }
        }
    }
    if (!IsPlainListName(listName) || !FileExists(ListFolder() + listName)) {
        Application->MessageBox("Wskazana pozycja nie ma przypisanego żadnego wykazu materiałowego !!!", TitleError,
                                MB_OK | MB_ICONERROR);
        return;
    }

    const int format = cb_Exportuj_ZapiszJakoTyp->ItemIndex();
    if (format < 0 || format >= int(std::size(ExportFormats)))
        return;
    const AnsiString target = folder + e_Exportuj_FileName->Text() + ExportFormats[format].Extension;
    // The program's own data is never written over by an export.
    const AnsiString role = ProgramFileRole(target);
    if (!role.empty()) {
        Application->MessageBox("Nie można zapisać pliku " + target + " !!!\rWskazany plik jest " + role +
                                    " - eksport go nie zastąpi. Podaj inną nazwę pliku lub wybierz inny folder.",
                                TitleError, MB_OK | MB_ICONERROR);
        return;
    }
    // An open register whose changes the user kept, or a file that cannot be read, is not exported.
    if (!OpenListFile(ListFolder() + listName, ""))
        return;
    TProStringGrid* g = sg_NowyEdytujWykaz;
    // The state cells hold the coloured form the program gave them.
    const TStateWordExport plainStates(g, ListStateCol, format == 1);
    try {
        switch (format) {
        case 0:
            g->SaveToWord(target);
            break;
        case 1:
            g->SaveToHtmlFile(target, false);
            break;
        case 2:
            g->SaveToCsvFile(target);
            break;
        case 3:
            g->SaveToExcel(target, AnsiString(), true);
            break;
        case 4:
            g->SaveToFixedText(target);
            break;
        case 5: {
            TStringList fields;
            for (int c = 0; c < g->ColCount(); ++c)
                fields.Add(g->Cells(c, 0));
            g->SaveToXmlFile(target, item, "WYKAZ", &fields, false);
            break;
        }
        }
    } catch (const Exception& e) {
        // The routines leave the target as it was; the user learns that nothing was written.
        Application->MessageBox("Nie można zapisać pliku " + target + " !!!\r" + e.Message(), TitleError,
                                MB_OK | MB_ICONERROR);
    }
}
