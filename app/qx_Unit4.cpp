#include "app/qx_Unit4.h"

#include "app/FormBuild.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/StdCtrls.h"

Tf_Szer_WysKomorek* f_Szer_WysKomorek = nullptr;

Tf_Szer_WysKomorek::Tf_Szer_WysKomorek(TComponent* AOwner) : TForm(AOwner)
{
    SetName("f_Szer_WysKomorek");
    SetBorderStyle(bsToolWindow);
    SetPosition(poMainFormCenter);
    SetBounds(0, 0, 260, 130);

    Edit1 = Place<TEdit>(this, this, "Edit1", 8, 28, 232, 23);
    l_Caption = PlaceLabel(this, this, "l_Caption", "", 8, 8, Edit1);
    Edit1->OnKeyPress = [this](TObject* s, char& k) { Edit1KeyPress(s, k); };

    BitBtn1 = Place<TBitBtn>(this, this, "BitBtn1", 64, 62, 84, 27);
    BitBtn1->SetKind(bkOK);
    BitBtn2 = Place<TBitBtn>(this, this, "BitBtn2", 156, 62, 84, 27);
    BitBtn2->SetKind(bkCancel);
    BitBtn2->SetCaption("Anuluj");
    SetClientWidth(248);
    SetClientHeight(98);
}

Tf_Szer_WysKomorek::~Tf_Szer_WysKomorek()
{
    if (f_Szer_WysKomorek == this)
        f_Szer_WysKomorek = nullptr;
}

void Tf_Szer_WysKomorek::Edit1KeyPress(TObject*, char& Key)
{
    if (Key != '\b' && (Key < '0' || Key > '9'))
        Key = 0;
}
