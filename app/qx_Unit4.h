#pragma once
// A cell width or height in pixels. Created once at start-up; the caller
// sets the window caption, the label l_Caption and the value in Edit1, shows
// it modally and on mrOk reads Edit1 (digits only).
#include "platform/gui/Forms.h"

class TLabel;
class TEdit;
class TBitBtn;

class Tf_Szer_WysKomorek : public TForm {
public:
    explicit Tf_Szer_WysKomorek(TComponent* AOwner);
    ~Tf_Szer_WysKomorek() override;

    TLabel* l_Caption = nullptr;
    TEdit* Edit1 = nullptr;
    TBitBtn* BitBtn1 = nullptr;   // OK
    TBitBtn* BitBtn2 = nullptr;   // "Anuluj"

    // Backspace and the digits pass; every other character is swallowed.
    void Edit1KeyPress(TObject* Sender, char& Key);
};

extern Tf_Szer_WysKomorek* f_Szer_WysKomorek;
