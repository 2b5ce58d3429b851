// The import page of the main window: a tab-separated text file becomes a
// new register file, entered into the menu file under a category and a
// product group.
#include <algorithm>

#include "app/FormBuild.h"
#include "app/MainVars.h"
#include "app/Wykazy.h"
#include "app/qx_Unit1.h"
#include "controls/FileLbl.h"
#include "controls/QelSensitiveLabel.h"
#include "controls/ToolEdit.h"
#include "platform/core/Classes.h"
#include "platform/core/IniFiles.h"
#include "platform/core/SysUtils.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"

namespace {
// A status picture: a filled circle with a white mark (an exclamation mark
// or a tick).
void DrawStatusPicture(TImage* Image, TColor Color, bool Tick)
{
    TBitmap* b = Image->Picture()->Bitmap();
    b->SetSize(24, 24);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect(0, 0, 24, 24));
    c->Brush()->SetColor(Color);
    c->Pen()->SetColor(Color);
    c->Ellipse(1, 1, 23, 23);
    c->Pen()->SetColor(clWhite);
    c->Pen()->SetWidth(3);
    if (Tick) {
        c->MoveTo(6, 12);
        c->LineTo(10, 17);
        c->LineTo(18, 7);
    } else {
        c->MoveTo(12, 5);
        c->LineTo(12, 14);
        c->MoveTo(12, 18);
        c->LineTo(12, 19);
    }
    Image->Invalidate();
}
}  // namespace

void Tf_MainForm::CreateImportComponents()
{
    TPage* page = PageOf(Strony, "Importuj");
    gb_Importuj_NazwaKategorii = Place<TGroupBox>(this, page, "gb_Importuj_NazwaKategorii", 8, 8, 320, 300);
    gb_Importuj_NazwaKategorii->SetCaption(" Grupy wyrobów w kategorii ");
    lb_Importuj_GrupyProdoktow =
        Place<TListBox>(this, gb_Importuj_NazwaKategorii, "lb_Importuj_GrupyProdoktow", 10, 22, 300, 268);
    lb_Importuj_GrupyProdoktow->SetSorted(true);

    TLabel* group = Place<TLabel>(this, page, "", 344, 12, 120, 16);
    group->SetCaption("Wybrana grupa:");
    lbl_Importuj_NazwaGrupy = Place<TLabel>(this, page, "lbl_Importuj_NazwaGrupy", 470, 12, 300, 16);
    lbl_Importuj_NazwaGrupy->SetCaption("(NIE WYBRANO GRUPY)");
    lbl_Importuj_NazwaGrupy->Font()->SetColor(TColor(255));
    lb_Importuj_ListaWykazow = Place<TListBox>(this, page, "lb_Importuj_ListaWykazow", 344, 34, 420, 160);

    TLabel* item = Place<TLabel>(this, page, "", 344, 204, 300, 16);
    item->SetCaption("&Nazwa nowej pozycji:");
    e_Importuj_NazwaNowejPoz = Place<TEdit>(this, page, "e_Importuj_NazwaNowejPoz", 344, 222, 420, 23);
    item->SetFocusControl(e_Importuj_NazwaNowejPoz);
    TLabel* file = Place<TLabel>(this, page, "", 344, 254, 120, 16);
    file->SetCaption("Importowany plik:");
    lbl_Importuj_ImportowanyPlik = Place<TFileLabel>(this, page, "lbl_Importuj_ImportowanyPlik", 470, 254, 294, 16);
    sb_ImportujPlik = Place<TSpeedButton>(this, page, "sb_ImportujPlik", 344, 280, 140, 26);
    sb_ImportujPlik->SetCaption("Importuj plik");
    QelSensitiveLabel5 = Place<TQelSensitiveLabel>(this, page, "QelSensitiveLabel5", 500, 285, 264, 16);
    QelSensitiveLabel5->SetCaption("Jak przygotować plik do importu ?");

    Label38 = Place<TLabel>(this, page, "Label38", 8, 324, 200, 16);
    Label38->SetCaption("Importowanie pliku:");
    Label38->Hide();
    pbar_ImportowaniePliku = Place<TProgressBar>(this, page, "pbar_ImportowaniePliku", 8, 344, 756, 18);
    pbar_ImportowaniePliku->Hide();
    p_Worning = Place<TPanel>(this, page, "p_Worning", 8, 372, 756, 34);
    p_Worning->SetBevelOuter(bvLowered);
    p_Worning->SetAlignment(taLeftJustify);
    p_Worning->Font()->SetStyle(fsBold);
    p_Worning->Hide();
    img_Warning = Place<TImage>(this, p_Worning, "img_Warning", 6, 5, 24, 24);
    DrawStatusPicture(img_Warning, clRed, false);
    img_Warning->Hide();
    img_OK = Place<TImage>(this, p_Worning, "img_OK", 6, 5, 24, 24);
    DrawStatusPicture(img_OK, clGreen, true);
    img_OK->Hide();

    gb_Eksportuj_NazwaKategorii =
        Place<TGroupBox>(this, PageOf(Strony, "ZapiszWykazJako"), "gb_Eksportuj_NazwaKategorii", 8, 8, 320, 300);
    gb_Eksportuj_NazwaKategorii->SetCaption(" Grupy wyrobów w kategorii ");
    lb_Eksportuj_GrupyProduktow =
        Place<TListBox>(this, gb_Eksportuj_NazwaKategorii, "lb_Eksportuj_GrupyProduktow", 10, 22, 300, 268);
    lb_Eksportuj_GrupyProduktow->SetSorted(true);
    lb_Eksportuj_ListaWykazow =
        Place<TListBox>(this, PageOf(Strony, "ZapiszWykazJako"), "lb_Eksportuj_ListaWykazow", 344, 30, 420, 278);
}

void Tf_MainForm::ImportListFile(const AnsiString& FileName, const AnsiString& ItemName, const AnsiString& Category,
                                 const AnsiString& Group, bool DeleteSource)
{
    if (FileName.empty() || !FileExists(FileName)) {
        Application->MessageBox("Nie znaleziono pliku do zaimportowania:\r" + FileName + " !!!", "BŁĄD !!!",
                                MB_OK | MB_ICONERROR);
        return;
    }
    const AnsiString target = MakeListFileName(ItemName);

    AnsiString source;
    try {
        source = LoadBytesFromFile(FileName);
    } catch (const Exception&) {
        Application->MessageBox("Nie można odczytać pliku do zaimportowania:\r" + FileName + " !!!", "BŁĄD !!!",
                                MB_OK | MB_ICONERROR);
        return;
    }

    pbar_ImportowaniePliku->Show();
    Label38->Show();
    pbar_ImportowaniePliku->SetPosition(0);
    // Six passes over the logical lines.
    bool counted = false;
    TListImport imported = ImportListText(source, [&](int Lines) {
        if (!counted) {
            counted = true;
            pbar_ImportowaniePliku->SetMax(6 * Lines);
        }
        pbar_ImportowaniePliku->StepBy(1);
        Application->ProcessMessages();
    });

    if (imported.Dropped > 0) {
        img_Warning->Show();
        img_OK->Hide();
        p_Worning->Font()->SetColor(clRed);
        p_Worning->SetCaption(DroppedLinesText(imported.Dropped));
        p_Worning->Show();
    }

    bool saved = false;
    try {
        WriteListFile(target, imported.Text);
        saved = true;
    } catch (const Exception&) {
        Application->MessageBox("Nie można zapisać pliku - nie masz do tego odpowiednich uprawnień, skontaktuj się "
                                "z administratorem sieci !!!",
                                "UWAGA !!!", MB_OK | MB_ICONERROR);
    }

    // The menu names the register only once it is written.
    const AnsiString menuFile = edt_Menu->FileName();
    if (saved && FileExists(menuFile)) {
        try {
            TIniFile menu(menuFile);
            menu.WriteString("Kategorie", Category, "");
            menu.WriteString(Category, Group, "");
            menu.WriteString(Group, ItemName, ExtractFileName(target));
        } catch (const Exception&) {
            Application->MessageBox("Nie można zapisać pliku menu:\r" + menuFile +
                                        "\rNie masz do tego odpowiednich uprawnień !!!",
                                    "UWAGA !!!", MB_OK | MB_ICONERROR);
        }
    }

    pbar_ImportowaniePliku->SetPosition(pbar_ImportowaniePliku->Max());
    if (saved) {
        if (Application->MessageBox("Wykaz został pomyślnie zaimportowany, czy chcesz uruchomić go teraz ???",
                                    "INFORMACJA !!!", MB_YESNO | MB_ICONQUESTION) == IDYES) {
            OpenListFile(target, ItemName);
            Strony->SetActivePage("NowyWykaz");
        }
        img_Warning->Hide();
        img_OK->Show();
        p_Worning->Font()->SetColor(clBlack);
        p_Worning->SetCaption(AnsiString(20, ' ') + "Wykaz został pomyślnie zaimportowany");
        p_Worning->Show();
        if (DeleteSource)
            DeleteFile(FileName);
    }
    pbar_ImportowaniePliku->Hide();
    Label38->Hide();
}
