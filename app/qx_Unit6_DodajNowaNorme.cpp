#include "app/qx_Unit6_DodajNowaNorme.h"

#include "app/FormBuild.h"
#include "app/Katalog.h"
#include "app/U_WspolneFunkcje.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Messages.h"
#include "platform/gui/StdCtrls.h"

Tf_DodajNowaNorme* f_DodajNowaNorme = nullptr;

Tf_DodajNowaNorme::Tf_DodajNowaNorme(TComponent* AOwner) : TForm(AOwner)
{
    SetName("f_DodajNowaNorme");
    SetCaption("Dodaj nową normę do spisu");
    SetBorderStyle(bsToolWindow);
    SetPosition(poMainFormCenter);
    SetBounds(0, 0, 430, 400);
    CreateComponents();
    SetClientWidth(418);
    SetClientHeight(368);
    OnShow = [this](TObject* s) { FormShow(s); };
}

Tf_DodajNowaNorme::~Tf_DodajNowaNorme()
{
    if (f_DodajNowaNorme == this)
        f_DodajNowaNorme = nullptr;
}

void Tf_DodajNowaNorme::CreateComponents()
{
    e_NrNormy = Place<TEdit>(this, this, "e_NrNormy", 8, 26, 300, 23);
    PlaceLabel(this, this, "Label1", "&Numer normy:", 8, 8, e_NrNormy);
    sb_SprawdzNorme = Place<TSpeedButton>(this, this, "sb_SprawdzNorme", 318, 25, 92, 25);
    sb_SprawdzNorme->SetCaption("Sprawdź");
    sb_SprawdzNorme->SetFlat(true);
    sb_SprawdzNorme->SetEnabled(false);

    cb_StanPosiadania = PlaceList(this, this, "cb_StanPosiadania", 8, 76, 300, NormHoldingWords, true);
    PlaceLabel(this, this, "Label2", "&Stan posiadania:", 8, 58, cb_StanPosiadania);

    m_Tytul = Place<TMemo>(this, this, "m_Tytul", 8, 126, 402, 64);
    PlaceLabel(this, this, "Label3", "&Tytuł:", 8, 108, m_Tytul);
    m_Opis = Place<TMemo>(this, this, "m_Opis", 8, 214, 402, 64);
    PlaceLabel(this, this, "Label4", "&Opis:", 8, 196, m_Opis);

    cb_StanNormy = PlaceList(this, this, "cb_StanNormy", 8, 304, 196, NormStateWords, true);
    PlaceLabel(this, this, "Label5", "&Aktualny stan normy:", 8, 286, cb_StanNormy);
    e_ZastopionaPrzez = Place<TEdit>(this, this, "e_ZastopionaPrzez", 214, 304, 196, 23);
    e_ZastopionaPrzez->SetEnabled(false);
    Label6 = PlaceLabel(this, this, "Label6", "&Zastąpiona przez:", 214, 286, e_ZastopionaPrzez);
    Label6->SetEnabled(false);

    bb_OK = Place<TBitBtn>(this, this, "bb_OK", 234, 336, 84, 27);
    bb_OK->SetKind(bkOK);
    bb_OK->SetDefault(false);   // Enter moves to the state list
    bb_OK->SetEnabled(false);
    BitBtn2 = Place<TBitBtn>(this, this, "BitBtn2", 326, 336, 84, 27);
    BitBtn2->SetKind(bkCancel);
    BitBtn2->SetCaption("Anuluj");

    for (TWinControl* c : {static_cast<TWinControl*>(e_NrNormy), static_cast<TWinControl*>(m_Tytul),
                           static_cast<TWinControl*>(m_Opis), static_cast<TWinControl*>(cb_StanPosiadania)})
        c->OnKeyPress = [this](TObject* s, char& k) { e_NrNormyKeyPress(s, k); };
    e_NrNormy->OnChange = [this](TObject* s) { e_NrNormyChange(s); };
    m_Tytul->OnChange = [this](TObject* s) { m_TytulChange(s); };
    m_Opis->OnChange = [this](TObject* s) { m_OpisChange(s); };
    cb_StanPosiadania->OnChange = [this](TObject* s) { cb_StanPosiadaniaChange(s); };
    cb_StanNormy->OnChange = [this](TObject* s) { cb_StanNormyChange(s); };
    e_ZastopionaPrzez->OnChange = [this](TObject* s) { e_ZastopionaPrzezChange(s); };
    e_ZastopionaPrzez->OnKeyPress = [this](TObject* s, char& k) { e_ZastopionaPrzezKeyPress(s, k); };
    sb_SprawdzNorme->OnClick = [this](TObject* s) { sb_SprawdzNormeClick(s); };
}

void Tf_DodajNowaNorme::UpdateOK()
{
    // A title or description of blanks and line ends alone (a pasted empty line) is none.
    auto given = [](TMemo* Memo) { return Memo->Text().find_first_not_of(" \t\r\n") != AnsiString::npos; };
    bb_OK->SetEnabled(!e_NrNormy->Text().empty() && cb_StanPosiadania->ItemIndex() >= 0 &&
                      (given(m_Tytul) || given(m_Opis)) && cb_StanNormy->ItemIndex() >= 0);
}

void Tf_DodajNowaNorme::FormShow(TObject*)
{
    SetActiveControl(e_NrNormy);
}

void Tf_DodajNowaNorme::e_NrNormyKeyPress(TObject*, char& Key)
{
    SwallowBar(Key);
    if (Key == '\r') {
        Key = 0;
        if (cb_StanNormy->CanFocus())
            cb_StanNormy->SetFocus();
    }
}

void Tf_DodajNowaNorme::e_NrNormyChange(TObject*)
{
    if (KeepFirstLine(e_NrNormy))
        return;   // the cut text came through here again
    EmptyIfHoldsBar(e_NrNormy);
    sb_SprawdzNorme->SetEnabled(e_NrNormy->Text().find("PN") != AnsiString::npos);
    UpdateOK();
}

void Tf_DodajNowaNorme::m_TytulChange(TObject*)
{
    EmptyIfHoldsBar(m_Tytul);
    UpdateOK();
}

void Tf_DodajNowaNorme::m_OpisChange(TObject*)
{
    EmptyIfHoldsBar(m_Opis);
    UpdateOK();
}

void Tf_DodajNowaNorme::cb_StanPosiadaniaChange(TObject*)
{
    UpdateOK();
}

void Tf_DodajNowaNorme::cb_StanNormyChange(TObject*)
{
    FollowStateChoice(cb_StanNormy, e_ZastopionaPrzez, Label6);
    UpdateOK();
}

void Tf_DodajNowaNorme::e_ZastopionaPrzezChange(TObject*)
{
    if (KeepFirstLine(e_ZastopionaPrzez))
        return;
    EmptyIfHoldsBar(e_ZastopionaPrzez);
    UpdateOK();
}

void Tf_DodajNowaNorme::e_ZastopionaPrzezKeyPress(TObject*, char& Key)
{
    SwallowBar(Key);
}

void Tf_DodajNowaNorme::sb_SprawdzNormeClick(TObject*)
{
    if (IsInternetConnected())
        OpenWithDesktop(BuildCatalogQueryUrl(e_NrNormy->Text()), SW_SHOWNORMAL);
    else
        MessageBox(Handle(), "Musisz być połączony z Internetem !!!", "UWAGA !!!", MB_ICONERROR);
}
