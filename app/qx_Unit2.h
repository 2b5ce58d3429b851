#pragma once
// The check dialog of one standard: its record (number, holding, title,
// description) above, the web shop's result page for it in the middle, its
// state and replacing standard below. Created once at start-up and reused:
// the caller fills the fields, navigates webPodglad (or checks CheckBox1 to
// have the old number converted and the page loaded on showing), shows the
// dialog modally and on mrOk writes the fields back. mrIgnore: leave the
// standard as it is and go on; mrCancel: stop.
#include "platform/gui/Forms.h"

class TEdit;
class TMemo;
class TComboBox;
class TLabel;
class TCheckBox;
class TBitBtn;
class TSpeedButton;
class TPanel;
class TPopupMenu;
class TMenuItem;
class TWebBrowser;
class TAniIcon;

// An old-style number "PN-yy/X-nnnnn" as "PN-X-nnnnn:19yy", and
// "PN-yy/X-nnnnn.ss" as "PN-X-nnnnn-ss:19yy".
AnsiString ConvertOldNormNumber(const AnsiString& Number);

class Tf_SprawdzNorme : public TForm {
public:
    explicit Tf_SprawdzNorme(TComponent* AOwner);
    ~Tf_SprawdzNorme() override;

    // ---------------------------------------------------------------- components
    TEdit* e_NrNormy = nullptr;
    // "Brak", "Brak (Uznaniowa)", "Dostępna" ... (holding, not sorted).
    TComboBox* cb_StanPosiadania = nullptr;
    TMemo* m_Tytul = nullptr;
    TMemo* m_Opis = nullptr;
    TWebBrowser* webPodglad = nullptr;
    TSpeedButton* sb_Refresh = nullptr;
    TSpeedButton* sb_Back = nullptr;
    TSpeedButton* sbForword = nullptr;
    TSpeedButton* sb_Home = nullptr;
    // The five state words, sorted.
    TComboBox* cb_StanNormy = nullptr;
    TLabel* Label6 = nullptr;
    TEdit* e_ZastopionaPrzez = nullptr;
    // "Konwertuj norme": the old-style number is converted when the dialog shows.
    TCheckBox* CheckBox1 = nullptr;
    TBitBtn* bb_OK = nullptr;      // mrOk
    TBitBtn* BitBtn3 = nullptr;    // "Pomiń", mrIgnore
    TBitBtn* BitBtn2 = nullptr;    // "Przerwij/Anuluj", mrCancel
    TAniIcon* ani_Animacja = nullptr;
    // Pops up over the page on a right press.
    TPopupMenu* pm_SprawdzNorme = nullptr;
    // Its item of the standard's number: the caller sets the caption to the
    // number and the hint to the query address.
    TMenuItem* menu_NrNormy = nullptr;

    // ---------------------------------------------------------------- handlers
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormResize(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void cb_StanNormyChange(TObject* Sender);
    void e_ZastopionaPrzezChange(TObject* Sender);
    void e_ZastopionaPrzezKeyPress(TObject* Sender, char& Key);
    void e_NrNormyChange(TObject* Sender);
    void m_TytulChange(TObject* Sender);
    void m_OpisChange(TObject* Sender);
    void e_NrNormyKeyPress(TObject* Sender, char& Key);
    void e_NrNormyKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void Aktualna1Click(TObject* Sender);
    void menu_NrNormyClick(TObject* Sender);
    void sb_HomeClick(TObject* Sender);
    void sb_RefreshClick(TObject* Sender);
    void sb_BackClick(TObject* Sender);
    void sbForwordClick(TObject* Sender);
    void webPodgladProgressChange(TObject* Sender, int Progress, int ProgressMax);
    void webPodgladDocumentComplete(TObject* Sender, const WideString& URL);
    void bb_OKClick(TObject* Sender);
    void BitBtn2Click(TObject* Sender);
    // The application's message hook: a right press on the page pops up
    // pm_SprawdzNorme instead of the page's own menu.
    void BrowserRightClickHook(TMsg& Msg, bool& Handled);

private:
    void CreateComponents();
    // The page has loaded (or stopped loading): cursor and animation back.
    void LoadingFinished();
    void EnableReplacement(bool Enabled);
    // The state items of the popup (read-only dialogs get none).
    TMenuItem* FStateItems[5] = {};
};

extern Tf_SprawdzNorme* f_SprawdzNorme;
