#pragma once
// Registers picked by product: product group, product, variant from the
// menu file; the picked registers go to the list of used standards.
#include "platform/gui/Forms.h"

class TListBox;
class TLabel;
class TSpeedButton;

class Tf_Wyroby : public TForm {
public:
    explicit Tf_Wyroby(TComponent* AOwner);
    ~Tf_Wyroby() override;

    // ---------------------------------------------------------------- components
    TListBox* lb_GropyWyrobow = nullptr;        // the keys of "Kategorie"
    TListBox* lb_WyrobyWGropie = nullptr;       // the keys of the group's section
    TListBox* lb_Wykonania = nullptr;           // the keys of the product's section
    TListBox* lb_WykazyDoSprawdzenia = nullptr; // the variants picked
    // Hidden: the register files of the picks, line for line.
    TListBox* lb_SpisNazwWykazow = nullptr;
    // Hidden: the register file of the selected variant.
    TLabel* lbl_Menu_NazwaPoz = nullptr;
    TSpeedButton* sb_DodajWykaz = nullptr;
    TSpeedButton* sb_DodajWszystkie = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TSpeedButton* sb_SprawdzNormy = nullptr;
    TSpeedButton* sb_WyczyscListe = nullptr;

    // ---------------------------------------------------------------- handlers
    void FormShow(TObject* Sender);
    void FormCanResize(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void SpeedButton1Click(TObject* Sender);
    void lb_GropyWyrobowClick(TObject* Sender);
    void lb_WyrobyWGropieClick(TObject* Sender);
    void lb_WykonaniaClick(TObject* Sender);
    void sb_DodajWykazClick(TObject* Sender);
    void sb_DodajWszystkieClick(TObject* Sender);
    void sb_WyczyscListeClick(TObject* Sender);
    void sb_SprawdzNormyClick(TObject* Sender);
    void lb_WykazyDoSprawdzeniaClick(TObject* Sender);

private:
    void CreateComponents();
    AnsiString MenuFile() const;
    // The selected line of a list, "" when none is selected.
    static AnsiString Selected(TListBox* List);
    // The section's keys into List (the text before "=", or the whole line).
    void FillKeys(const AnsiString& Section, TListBox* List);
    // The register file of a variant of the selected product; "" when the
    // name would leave the registers folder (refused with a message).
    AnsiString VariantFile(const AnsiString& Variant);
    void AddPick(const AnsiString& Variant, const AnsiString& File);
    void UpdateButtons();
};

extern Tf_Wyroby* f_Wyroby;
