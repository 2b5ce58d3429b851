#pragma once
// The wait notice shown while a long list is generated; its user moves the
// progress bar pb_Waiting (0 to 100 unless it sets other limits).
#include "platform/gui/Forms.h"

class TLabel;
class TProgressBar;

class Tf_Waiting : public TForm {
public:
    explicit Tf_Waiting(TComponent* AOwner);
    ~Tf_Waiting() override;

    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TProgressBar* pb_Waiting = nullptr;
};

extern Tf_Waiting* f_Waiting;
