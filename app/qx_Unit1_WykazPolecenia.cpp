// The commands of the register page: the drop-down menus of its buttons, the
// register grid's context menu (present in editing mode), the line, edit,
// register and format commands, and printing with preview and settings.
#include "app/FormBuild.h"
#include "app/MainVars.h"
#include "app/Unit8_PoprawnoscNorm.h"
#include "app/Wykazy.h"
#include "app/qx_Unit1.h"
#include "app/qx_Unit3.h"
#include "app/qx_Unit4.h"
#include "grid/BaseGrid.h"
#include "grid/ProGrid.h"
#include "grid/services/ProPreview.h"
#include "grid/services/ProPrintSettingsDialog.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/CommonDialogs.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Menus.h"
#include "platform/gui/Printers.h"
#include "platform/gui/Spin.h"
#include "platform/gui/StdCtrls.h"

namespace {
const char* const TitleWarning = "UWAGA !!!";

const char* const CaptionUndo = "Cofnij";
const char* const CaptionRedo = "Ponów";
const char* const CaptionCut = "Wytnij";
const char* const CaptionReload = "Odświerz z dysku";
const char* const CaptionGrow = "Włącz autodopasowywanie w trakcie pisania";

struct TListMenuItem {
    const char* Caption;   // "-": a separator
    TShortCut ShortCut;
    Tf_MainForm::TListCommand Command;
};

constexpr TShortCut Ctrl(Word Key) { return TShortCut(Key | scCtrl); }

const TListMenuItem WykazItems[] = {
    {CaptionReload, Ctrl('R'), Tf_MainForm::lcReload},
    {"Sprawdź poprawność norm", scNone, Tf_MainForm::lcCheckNorms},
    {"Wyczyść wszystko", Ctrl('E'), Tf_MainForm::lcClearAll},
    {"Podgląd wydruku", TShortCut('P' | scCtrl | scShift), Tf_MainForm::lcPreview},
    {"Drukuj", Ctrl('P'), Tf_MainForm::lcPrint},
    {"Ustaienia wydruku", scNone, Tf_MainForm::lcPrintSettings},
    {"Zapisz", Ctrl('S'), Tf_MainForm::lcSave},
};
const TListMenuItem LinieItems[] = {
    {"Wstaw linię powyżej zaznaczenia", Ctrl(VK_UP), Tf_MainForm::lcInsertAbove},
    {"Wstaw linię poniżej zaznaczenia", Ctrl(VK_DOWN), Tf_MainForm::lcInsertBelow},
    {"Wstaw kilka linii", scNone, Tf_MainForm::lcInsertSeveral},
    {"Usuń zaznaczoną linię", Ctrl(VK_DELETE), Tf_MainForm::lcDeleteLine},
    {"Przesuń zaznaczoną linię na samą górę", TShortCut(VK_UP | scAlt), Tf_MainForm::lcMoveToTop},
    {"Przesuń zaznaczoną linię na sam dół", TShortCut(VK_DOWN | scAlt), Tf_MainForm::lcMoveToBottom},
};
const TListMenuItem EdycjaItems[] = {
    {CaptionUndo, Ctrl('Z'), Tf_MainForm::lcUndo},
    {CaptionRedo, Ctrl('Y'), Tf_MainForm::lcRedo},
    {CaptionCut, Ctrl('X'), Tf_MainForm::lcCut},
    {"Kopiuj", Ctrl('C'), Tf_MainForm::lcCopy},
    {"Wklej", Ctrl('V'), Tf_MainForm::lcPaste},
    {"Kopiuj całość do schowka", TShortCut('C' | scCtrl | scShift), Tf_MainForm::lcCopyAll},
    {"Zaznacz wszystko", Ctrl('A'), Tf_MainForm::lcSelectAll},
    {"Wyczyść", TShortCut(VK_DELETE | scShift), Tf_MainForm::lcClear},
    {"Wyczyść zaznaczoną kolumnę", Ctrl('K'), Tf_MainForm::lcClearColumn},
    {"Wyczyść zaznaczony wiersz", Ctrl('W'), Tf_MainForm::lcClearRow},
};
const TListMenuItem FormatItems[] = {
    {"Ustaw wysokość komórek", scNone, Tf_MainForm::lcCellHeight},
    {"Ustaw szerokość komórek", scNone, Tf_MainForm::lcCellWidth},
    {"Dopasuj do zawartości", scNone, Tf_MainForm::lcFitToContent},
    {CaptionGrow, scNone, Tf_MainForm::lcGrowWhileTyping},
};
// The grid's context menu: the twins of the button menus' items, with their
// shortcuts, except the two insert items.
const TListMenuItem ContextItems[] = {
    EdycjaItems[0],
    EdycjaItems[1],
    {"-", scNone, Tf_MainForm::lcUndo},
    EdycjaItems[2],
    EdycjaItems[3],
    EdycjaItems[5],
    EdycjaItems[4],
    EdycjaItems[7],
    EdycjaItems[8],
    EdycjaItems[9],
    EdycjaItems[6],
    {"-", scNone, Tf_MainForm::lcUndo},
    {"Wstaw linię powyżej zaznaczenia", TShortCut(VK_UP | scShift), Tf_MainForm::lcInsertAbove},
    {"Wstaw linię poniżej zaznaczenia", TShortCut(VK_DOWN | scShift), Tf_MainForm::lcInsertBelow},
    LinieItems[3],
    LinieItems[4],
    LinieItems[5],
    {"-", scNone, Tf_MainForm::lcUndo},
    WykazItems[0],
    WykazItems[2],
    {"-", scNone, Tf_MainForm::lcUndo},
    WykazItems[4],
    {"-", scNone, Tf_MainForm::lcUndo},
    WykazItems[6],
};

template <size_t N>
void FillListMenu(Tf_MainForm* Form, TPopupMenu* Menu, const TListMenuItem (&Items)[N])
{
    for (const TListMenuItem& i : Items) {
        auto* item = new TMenuItem(Menu);
        item->SetCaption(i.Caption);
        if (!item->IsLine()) {
            item->SetShortCut(i.ShortCut);
            const Tf_MainForm::TListCommand command = i.Command;
            item->OnClick = [Form, command](TObject*) { Form->RunListCommand(command); };
        }
        Menu->Items()->Add(item);
    }
}

TPopupMenu* NewListMenu(Tf_MainForm* Form, const char* Name)
{
    auto* menu = new TPopupMenu(Form);
    menu->SetName(Name);
    return menu;
}

void EnableItem(TPopupMenu* Menu, const char* Caption, bool Enabled)
{
    if (TMenuItem* item = Menu->Items()->Find(Caption))
        item->SetEnabled(Enabled);
}
}  // namespace

void Tf_MainForm::CreateListCommandComponents()
{
    pm_Wykaz = NewListMenu(this, "pm_Wykaz");
    FillListMenu(this, pm_Wykaz, WykazItems);
    pm_Wykaz->OnPopup = [this](TObject* Sender) { pm_WykazPopup(Sender); };
    pm_Linie = NewListMenu(this, "pm_Linie");
    FillListMenu(this, pm_Linie, LinieItems);
    pm_Edycja = NewListMenu(this, "pm_Edycja");
    FillListMenu(this, pm_Edycja, EdycjaItems);
    pm_Format = NewListMenu(this, "pm_Format");
    FillListMenu(this, pm_Format, FormatItems);
    FillListMenu(this, pm_NoyEdytujWykaz, ContextItems);
    pm_NoyEdytujWykaz->OnPopup = [this](TObject* Sender) { pm_NoyEdytujWykazPopup(Sender); };

    TProStringGrid* g = sg_NowyEdytujWykaz;
    UndoRedo_NowyEdytujWykaz = new TProGridUndoRedo(this);
    UndoRedo_NowyEdytujWykaz->SetName("UndoRedo_NowyEdytujWykaz");
    g->SetUndoRedo(UndoRedo_NowyEdytujWykaz);
    // Insert adds a line only in editing mode (switched with the mode): a
    // register that is only browsed is never changed by a key.
    g->Navigation()->SetAllowInsertRow(false);
    g->SortSettings()->SetIgnoreBlanks(true);
    g->SortSettings()->SetBlankPos(blLast);
    g->SetActiveCellShow(true);
    g->SetActiveCellColor(clWhite);
    g->SetActiveCellColorTo(TColor(16767411));
    g->SetFloatFormat("%.2f");
    // Any change of cells leaves unsaved changes (and something to undo).
    g->OnCellsChanged = [this](TObject*, const TRect&) {
        sb_Edytuj_ZapiszZmiany->SetEnabled(true);
        UpdateListEditItems(pm_NoyEdytujWykaz);
    };
    g->OnKeyPress = [](TObject*, char& Key) { SwallowBar(Key); };
    g->OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { sg_NowyEdytujWykazKeyDown(Sender, Key, Shift); };

    PrintDialog1 = new TPrintDialog(this);
    PrintDialog1->SetName("PrintDialog1");
    ProPreviewDialog1 = new TProPreviewDialog(this);
    ProPreviewDialog1->SetName("ProPreviewDialog1");
    ProPreviewDialog1->SetDialogCaption("Podgląd wydruku");
    ProPreviewDialog1->SetDialogNextBtn("Następna");
    ProPreviewDialog1->SetDialogPrevBtn("Poprzednia");
    ProPreviewDialog1->SetDialogPrintBtn("Drukuj");
    ProPreviewDialog1->SetDialogCloseBtn("Zamknij");
    ProPreviewDialog1->SetPreviewWidth(700);
    ProPreviewDialog1->SetPreviewHeight(600);
    ProPreviewDialog1->SetPreviewCenter(true);
    ProGridPrintSettingsDialog1 = new TProGridPrintSettingsDialog(this);
    ProGridPrintSettingsDialog1->SetName("ProGridPrintSettingsDialog1");
    ProGridPrintSettingsDialog1->SetCaption("Ustawienia wydruku");
}

void Tf_MainForm::UpdateListEditItems(TPopupMenu* Menu)
{
    EnableItem(Menu, CaptionUndo, UndoRedo_NowyEdytujWykaz->CanUndo());
    EnableItem(Menu, CaptionRedo, UndoRedo_NowyEdytujWykaz->CanRedo());
    EnableItem(Menu, CaptionCut, !sg_NowyEdytujWykaz->GridAsPlainText().empty());
}

void Tf_MainForm::pm_NoyEdytujWykazPopup(TObject*)
{
    UpdateListEditItems(pm_NoyEdytujWykaz);
    EnableItem(pm_NoyEdytujWykaz, CaptionReload, FileExists(CurrentListFile));
}

void Tf_MainForm::pm_WykazPopup(TObject*)
{
    EnableItem(pm_Wykaz, CaptionReload, FileExists(CurrentListFile));
}

void Tf_MainForm::DropDownListMenu(TSpeedButton* Button, TPopupMenu* Menu)
{
    const TPoint at = Button->ClientToScreen(TPoint(0, Button->Height()));
    Menu->SetPopupComponent(Button);
    Menu->Popup(at.X, at.Y);
}

void Tf_MainForm::sb_Edytuj_EdycjaClick(TObject*)
{
    UpdateListEditItems(pm_Edycja);
    DropDownListMenu(sb_Edytuj_Edycja, pm_Edycja);
}

void Tf_MainForm::sb_Edytuj_WykazClick(TObject*)
{
    DropDownListMenu(sb_Edytuj_Wykaz, pm_Wykaz);
}

void Tf_MainForm::sb_Edytuj_LinieClick(TObject*)
{
    DropDownListMenu(sb_Edytuj_Linie, pm_Linie);
}

void Tf_MainForm::sb_Edytuj_FormatClick(TObject*)
{
    if (TMenuItem* grow = pm_Format->Items()->Find(CaptionGrow))
        grow->SetChecked(sg_NowyEdytujWykaz->SizeWhileTyping()->Width());
    DropDownListMenu(sb_Edytuj_Format, pm_Format);
}

void Tf_MainForm::sg_NowyEdytujWykazKeyDown(TObject* Sender, Word& Key, TShiftState Shift)
{
    // While the register is edited, every key its buttons' menus show runs its item from the
    // grid: the grid's context menu, offered the key first, lacks some of them (the print
    // preview, the insert items' Ctrl+Up and Ctrl+Down).
    if (Sender == sg_NowyEdytujWykaz && ListEditing())
        for (TPopupMenu* menu : {pm_Wykaz, pm_Edycja, pm_Linie, pm_Format})
            if (menu->IsShortCut(ShortCut(Key, Shift))) {
                Key = 0;
                return;
            }
    FormKeyDown(Sender, Key, Shift);
}

void Tf_MainForm::Drukuj1Click(TObject*)
{
    // The dialog offers the orientation the register prints in, and the one picked there is the
    // one printed: the grid would otherwise turn the paper back to its own print setting.
    TPrintSettings* ps = sg_NowyEdytujWykaz->PrintSettings();
    const TPrinterOrientation kept = ps->Orientation();
    if (!ps->UseDefaultOrientation())
        Printer()->SetOrientation(kept);
    if (!PrintDialog1->Execute())
        return;
    ps->SetOrientation(Printer()->Orientation());
    try {
        sg_NowyEdytujWykaz->PrintGrid();
    } catch (...) {
        ps->SetOrientation(kept);
        throw;
    }
    ps->SetOrientation(kept);
}

void Tf_MainForm::Podgldwydruku1Click(TObject*)
{
    ProPreviewDialog1->SetGrid(sg_NowyEdytujWykaz);
    ProPreviewDialog1->Execute();
}

void Tf_MainForm::UstaieniaWydruku1Click(TObject*)
{
    ProGridPrintSettingsDialog1->SetGrid(sg_NowyEdytujWykaz);
    ProGridPrintSettingsDialog1->Execute();
}

void Tf_MainForm::InsertListLines(int Row, int Count)
{
    sg_NowyEdytujWykaz->InsertRows(Row, Count);
    sg_NowyEdytujWykaz->NumberColumn(0);
}

void Tf_MainForm::ReloadListFromDisk()
{
    // The item is off for a register never saved; its shortcut acts even when
    // no drop-down has turned it off yet.
    if (!FileExists(CurrentListFile))
        return;
    if (ListModified()) {
        if (Application->MessageBox("Aktualny wykaz został zmieniony, czy na pewno chcesz otworzyć ostatnią, zapisaną "
                                    "wersję tego pliku ???\rWszystkie zmiany zostaną utracone.",
                                    TitleWarning, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        sb_Edytuj_ZapiszZmiany->SetEnabled(false);
    }
    OpenListFile(CurrentListFile, ListItemName());
    Strony->SetActivePage("NowyWykaz");
}

void Tf_MainForm::ClearWholeList()
{
    if (Application->MessageBox("Czy na pewno chcesz usunąć wszystkie dane z otwartego wykazu ???", TitleWarning,
                                MB_YESNO) != IDYES)
        return;
    // Cancel in the save question (or a save that failed) leaves the register as it was.
    if (ListEditing() && ListModified() &&
        !AskSaveModifiedList("bez zapisywania zmian przerwać edycję"))
        return;
    TProStringGrid* g = sg_NowyEdytujWykaz;
    g->UnHideColumnsAll();
    if (ListEditing())
        LeaveListEditing(false);
    ClearListGrid(31);
    g->SetAutoSize(true);
    g->NumberColumn(0);
    EnterListEditing();
}

void Tf_MainForm::SetListCellSize(bool Height)
{
    TProStringGrid* g = sg_NowyEdytujWykaz;
    Tf_Szer_WysKomorek* d = f_Szer_WysKomorek;
    d->SetCaption(Height ? "Ustaw wysokość komórek" : "Ustaw szerokość komórek");
    d->l_Caption->SetCaption(Height ? "&Wysokosc komórek:" : "&Szerokość komórek:");
    d->Edit1->SetText(IntToStr(Height ? g->DefaultRowHeight() : g->DefaultColWidth()));
    if (d->ShowModal() != mrOk)
        return;
    // A text that is no number raises the conversion error, which the
    // application reports; a size below one pixel is not taken either.
    const int size = StrToInt(d->Edit1->Text());
    if (size <= 0)
        return;
    if (Height)
        g->SetDefaultRowHeight(size);
    else
        g->SetDefaultColWidth(size);
}

void Tf_MainForm::RunListCommand(TListCommand Command)
{
    TProStringGrid* g = sg_NowyEdytujWykaz;
    switch (Command) {
    case lcReload:
        ReloadListFromDisk();
        break;
    case lcCheckNorms:
        f_PoprawnoscNorm->Show();
        break;
    case lcClearAll:
        ClearWholeList();
        break;
    case lcPreview:
        Podgldwydruku1Click(this);
        break;
    case lcPrint:
        Drukuj1Click(this);
        break;
    case lcPrintSettings:
        UstaieniaWydruku1Click(this);
        break;
    case lcSave:
        SaveListFile();
        break;
    case lcInsertAbove:
        InsertListLines(g->Row(), 1);
        break;
    case lcInsertBelow:
        InsertListLines(g->Row() + 1, 1);
        break;
    case lcInsertSeveral:
        if (f_WstawKilkaLinii->ShowModal() == mrOk) {
            const int count = f_WstawKilkaLinii->se_LiczbaLinii->Value();
            InsertListLines(f_WstawKilkaLinii->rb_Ponizej->Checked() ? g->Row() + 1 : g->Row(), count);
        }
        break;
    case lcDeleteLine:
        // The register keeps one line below its header.
        if (g->RowCount() > g->FixedRows() + 1)
            g->RemoveRowsEx(g->Row(), 1);
        else
            g->ClearRowRange(g->Row(), 1);
        g->NumberColumn(0);
        break;
    case lcMoveToTop:
    case lcMoveToBottom:
        // Lines move among the rows below the header only: with one row
        // there is nothing to move, and the header never takes a line.
        if (g->RowCount() - g->FixedRows() < 2 || g->Row() < g->FixedRows())
            break;
        g->MoveRow(g->Row(), Command == lcMoveToTop ? g->FixedRows() : g->RowCount() - 2);
        g->NumberColumn(0);
        sb_Edytuj_ZapiszZmiany->SetEnabled(true);
        break;
    case lcUndo:
        // A cell still being edited is the latest change: it is what is undone.
        g->EndCellEdit();
        if (UndoRedo_NowyEdytujWykaz->CanUndo())
            UndoRedo_NowyEdytujWykaz->Undo();
        UpdateListEditItems(pm_NoyEdytujWykaz);
        break;
    case lcRedo:
        g->EndCellEdit();
        if (UndoRedo_NowyEdytujWykaz->CanRedo())
            UndoRedo_NowyEdytujWykaz->Redo();
        UpdateListEditItems(pm_NoyEdytujWykaz);
        break;
    case lcCut:
        g->CutSelection();
        break;
    case lcCopy:
        g->CopySelection();
        break;
    case lcPaste:
        g->PasteSelection();
        break;
    case lcCopyAll:
        g->SelectRange(1, g->ColCount() - 1, 1, g->RowCount() - 1);
        g->CopySelection();
        break;
    case lcSelectAll:
        g->SelectRange(1, g->ColCount() - 1, 1, g->RowCount() - 1);
        break;
    case lcClear:
        g->ClearSelection();
        break;
    case lcClearColumn:
        g->SelectCols(g->Col(), 1);
        g->ClearSelection();
        break;
    case lcClearRow:
        g->SelectRows(g->Row(), 1);
        g->ClearSelection();
        break;
    case lcCellHeight:
    case lcCellWidth:
        SetListCellSize(Command == lcCellHeight);
        break;
    case lcFitToContent:
        g->SetAutoSize(true);
        break;
    case lcGrowWhileTyping:
        if (TMenuItem* grow = pm_Format->Items()->Find(CaptionGrow)) {
            grow->SetChecked(!grow->Checked());
            g->SizeWhileTyping()->SetWidth(grow->Checked());
        }
        break;
    }
}
