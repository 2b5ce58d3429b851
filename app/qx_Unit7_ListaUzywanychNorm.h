#pragma once
// The list of the standards that the registers cite, each with its state
// and replacement from the catalogue; the listed standards found in the
// catalogue can be checked one by one in the check dialog.
#include "platform/gui/Forms.h"

class TPanel;
class TListBox;
class TSpeedButton;
class TBitBtn;
class TProStringGrid;

// The decimal value of S, or -1 when S is not a valid integer.
int SafeStrToInt(const AnsiString& S);

// The holding word an old one becomes when the standard is checked ("Jest" "Dostępna",
// "Brak - Uznaniowa" "Brak (Uznaniowa)", "Jest - Uznaniowa" "Dostępna (Uznaniowa)", letter case
// aside); any other word as it is.
AnsiString HoldingWordNow(const AnsiString& Holding);

// The check dialog (f_SprawdzNorme) filled from catalogue row Row: number,
// holding (an old holding word of the catalogue cell converted there
// first; a word the list lacks shows as "Dostępna"), title, description,
// the first state word the state cell holds, the replacement; its number
// item names the standard and its query address, where the browser goes.
// A StateWord given is chosen instead of the one the state cell holds.
void FillCheckDialog(TProStringGrid* Catalogue, int Row, const AnsiString& StateWord = AnsiString());
// The accepted dialog's fields into catalogue row Row: number, holding,
// title, description, the state word as plain text and the replacement.
void StoreCheckDialog(TProStringGrid* Catalogue, int Row);

class Tf_ListaUzywanychNorm : public TForm {
public:
    explicit Tf_ListaUzywanychNorm(TComponent* AOwner);
    ~Tf_ListaUzywanychNorm() override;

    // ---------------------------------------------------------------- components
    TPanel* p_Naglowek = nullptr;
    // Columns: number, standard, state cell, replacement, catalogue row (hidden).
    TProStringGrid* sg_ListaNorm = nullptr;
    // Hidden: the register files to read, by their names in the registers folder.
    TListBox* lb_ListaWykazow = nullptr;
    TPanel* p_Przyciski = nullptr;
    TSpeedButton* sb_SprawdzListe = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    TBitBtn* BitBtn1 = nullptr;

    // ---------------------------------------------------------------- handlers
    void FormShow(TObject* Sender);
    void sb_SprawdzListeClick(TObject* Sender);
    void sg_ListaNormGetCellColor(TObject* Sender, int ARow, int ACol, unsigned AState, TBrush* ABrush, TFont* AFont);
    void FormCanResize(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void BitBtn1Click(TObject* Sender);

private:
    void CreateComponents();
    AnsiString FCaption;
};

extern Tf_ListaUzywanychNorm* f_ListaUzywanychNorm;
