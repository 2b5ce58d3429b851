#include "app/WaitNotice.h"

#include "app/Unit9_Waiting.h"
#include "platform/gui/ComCtrls.h"

TWaitNotice::TWaitNotice(int Max)
{
    if (!f_Waiting)
        return;
    f_Waiting->pb_Waiting->SetMax(Max);
    f_Waiting->pb_Waiting->SetPosition(0);
    f_Waiting->Show();
    Application->ProcessMessages();
}

TWaitNotice::~TWaitNotice()
{
    if (!f_Waiting)
        return;
    f_Waiting->pb_Waiting->SetPosition(f_Waiting->pb_Waiting->Max());
    f_Waiting->Close();
}

void TWaitNotice::SetPosition(int Position)
{
    if (!f_Waiting)
        return;
    f_Waiting->pb_Waiting->SetPosition(Position);
    Application->ProcessMessages();
}

void TWaitNotice::Step()
{
    if (f_Waiting)
        SetPosition(f_Waiting->pb_Waiting->Position() + 1);
}
