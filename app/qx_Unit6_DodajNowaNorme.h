#pragma once
// The dialog of a new standard for the catalogue. Created once at start-up
// and reused: the caller clears the fields, shows it modally and on mrOk
// reads number, holding, title, description, state and replacement.
#include "platform/gui/Forms.h"

class TEdit;
class TMemo;
class TComboBox;
class TLabel;
class TBitBtn;
class TSpeedButton;

class Tf_DodajNowaNorme : public TForm {
public:
    explicit Tf_DodajNowaNorme(TComponent* AOwner);
    ~Tf_DodajNowaNorme() override;

    // ---------------------------------------------------------------- components
    TEdit* e_NrNormy = nullptr;
    // The holding words, sorted.
    TComboBox* cb_StanPosiadania = nullptr;
    TMemo* m_Tytul = nullptr;
    TMemo* m_Opis = nullptr;
    // The five state words, sorted.
    TComboBox* cb_StanNormy = nullptr;
    TLabel* Label6 = nullptr;
    TEdit* e_ZastopionaPrzez = nullptr;
    // "Sprawdź": the standard in the web shop, in the desktop's browser.
    TSpeedButton* sb_SprawdzNorme = nullptr;
    TBitBtn* bb_OK = nullptr;     // mrOk
    TBitBtn* BitBtn2 = nullptr;   // "Anuluj", mrCancel

    // ---------------------------------------------------------------- handlers
    void FormShow(TObject* Sender);
    void e_NrNormyKeyPress(TObject* Sender, char& Key);
    void e_NrNormyChange(TObject* Sender);
    void m_TytulChange(TObject* Sender);
    void m_OpisChange(TObject* Sender);
    void cb_StanPosiadaniaChange(TObject* Sender);
    void cb_StanNormyChange(TObject* Sender);
    void e_ZastopionaPrzezChange(TObject* Sender);
    void e_ZastopionaPrzezKeyPress(TObject* Sender, char& Key);
    void sb_SprawdzNormeClick(TObject* Sender);

private:
    void CreateComponents();
    // OK is enabled exactly when number, holding, state and the title or the
    // description are given.
    void UpdateOK();
};

extern Tf_DodajNowaNorme* f_DodajNowaNorme;
