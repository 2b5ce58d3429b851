#include "app/qx_Unit3.h"

#include "app/FormBuild.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/Spin.h"
#include "platform/gui/StdCtrls.h"

Tf_WstawKilkaLinii* f_WstawKilkaLinii = nullptr;

Tf_WstawKilkaLinii::Tf_WstawKilkaLinii(TComponent* AOwner) : TForm(AOwner)
{
    SetName("f_WstawKilkaLinii");
    SetCaption("Wstaw kilka linii ...");
    SetBorderStyle(bsToolWindow);
    SetPosition(poScreenCenter);
    SetBounds(0, 0, 300, 200);

    se_LiczbaLinii = Place<TSpinEdit>(this, this, "se_LiczbaLinii", 160, 12, 72, 23);
    se_LiczbaLinii->SetMinValue(1);
    se_LiczbaLinii->SetMaxValue(100);
    se_LiczbaLinii->SetValue(1);
    PlaceLabel(this, this, "Label1", "&Podaj liczbę linii:", 8, 16, se_LiczbaLinii);

    GroupBox1 = Place<TGroupBox>(this, this, "GroupBox1", 8, 44, 270, 76);
    GroupBox1->SetCaption("Wstaw ...");
    rb_Ponizej = Place<TRadioButton>(this, GroupBox1, "rb_Ponizej", 12, 22, 240, 20);
    rb_Ponizej->SetCaption("p&oniżej zaznaczenia");
    rb_Ponizej->HandleNeeded();   // the window shows the check set before it exists only when it is made first
    rb_Ponizej->SetChecked(true);
    rb_Powyzej = Place<TRadioButton>(this, GroupBox1, "rb_Powyzej", 12, 46, 240, 20);
    rb_Powyzej->SetCaption("powyżej &zaznaczenia");

    BitBtn1 = Place<TBitBtn>(this, this, "BitBtn1", 102, 130, 84, 27);
    BitBtn1->SetKind(bkOK);
    BitBtn2 = Place<TBitBtn>(this, this, "BitBtn2", 194, 130, 84, 27);
    BitBtn2->SetKind(bkCancel);
    BitBtn2->SetCaption("Anuluj");
    SetClientWidth(286);
    SetClientHeight(166);
    SetActiveControl(BitBtn1);
}

Tf_WstawKilkaLinii::~Tf_WstawKilkaLinii()
{
    if (f_WstawKilkaLinii == this)
        f_WstawKilkaLinii = nullptr;
}
