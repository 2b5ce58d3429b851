#pragma once
// How many empty lines to insert into a register, and where: below the
// selection (rb_Ponizej) or above it (rb_Powyzej). Created once at start-up;
// the caller shows it modally and on mrOk reads the count and the place.
#include "platform/gui/Forms.h"

class TSpinEdit;
class TGroupBox;
class TRadioButton;
class TBitBtn;

class Tf_WstawKilkaLinii : public TForm {
public:
    explicit Tf_WstawKilkaLinii(TComponent* AOwner);
    ~Tf_WstawKilkaLinii() override;

    TSpinEdit* se_LiczbaLinii = nullptr;   // 1 to 100
    TGroupBox* GroupBox1 = nullptr;        // "Wstaw ..."
    TRadioButton* rb_Ponizej = nullptr;
    TRadioButton* rb_Powyzej = nullptr;
    TBitBtn* BitBtn1 = nullptr;            // OK
    TBitBtn* BitBtn2 = nullptr;            // "Anuluj"
};

extern Tf_WstawKilkaLinii* f_WstawKilkaLinii;
