#include "app/Unit9_Waiting.h"

#include "app/FormBuild.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/StdCtrls.h"

Tf_Waiting* f_Waiting = nullptr;

Tf_Waiting::Tf_Waiting(TComponent* AOwner) : TForm(AOwner)
{
    SetName("f_Waiting");
    SetCaption("Czekaj ...");
    SetBorderStyle(bsToolWindow);
    SetSystemMenu(false);
    SetPosition(poMainFormCenter);
    SetBounds(0, 0, 440, 150);

    Label1 = PlaceLabel(this, this, "Label1", "Trwa generowanie listy - proszę czekać !!!", 12, 10);
    Label1->Font()->SetStyle(fsBold);
    Label2 = PlaceLabel(this, this, "Label2",
                        "Nie wykonuj zbędnych operacji opuźniających proces pobierania.\r\n"
                        "Nie ruszaj kursorem i nie naciskaj żadnego przycisku.\r\n"
                        "Generowanie może zająć kilka minut ...",
                        12, 34);
    pb_Waiting = Place<TProgressBar>(this, this, "pb_Waiting", 12, 96, 410, 18);
    pb_Waiting->SetMin(0);
    pb_Waiting->SetMax(100);
    SetClientWidth(434);
    SetClientHeight(124);
}

Tf_Waiting::~Tf_Waiting()
{
    if (f_Waiting == this)
        f_Waiting = nullptr;
}
