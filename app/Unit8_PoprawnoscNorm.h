#pragma once
// The review of the standards cited by the open register: both cited
// standards, their state and current standard from the catalogue, and the
// designation proposed for the register. Read-only.
#include "platform/gui/Forms.h"

class TPanel;
class TBitBtn;
class TProStringGrid;

class Tf_PoprawnoscNorm : public TForm {
public:
    explicit Tf_PoprawnoscNorm(TComponent* AOwner);
    ~Tf_PoprawnoscNorm() override;

    // ---------------------------------------------------------------- components
    TPanel* Panel1 = nullptr;   // heading
    TPanel* Panel2 = nullptr;   // holds the review grid
    TPanel* Panel3 = nullptr;   // holds the close button
    TProStringGrid* sg_ListaNorm = nullptr;
    TBitBtn* BitBtn1 = nullptr;

    // The catalogue designation proposed for a register entry that the
    // catalogue does not hold.
    AnsiString ProposeNormFromRegister(const AnsiString& Entry);

    // ---------------------------------------------------------------- handlers
    void FormShow(TObject* Sender);
    void sg_ListaNormGetCellColor(TObject* Sender, int ARow, int ACol, unsigned AState, TBrush* ABrush, TFont* AFont);
    void BitBtn1Click(TObject* Sender);

private:
    void CreateComponents();
};

extern Tf_PoprawnoscNorm* f_PoprawnoscNorm;
