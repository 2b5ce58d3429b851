#include "app/Unit8_PoprawnoscNorm.h"

#include "app/FormBuild.h"
#include "app/WaitNotice.h"
#include "app/Wykazy.h"
#include "app/qx_Unit1.h"
#include "controls/ColorPicker.h"
#include "grid/ProGrid.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/ExtCtrls.h"

Tf_PoprawnoscNorm* f_PoprawnoscNorm = nullptr;

namespace {
const char* const ReviewHeaders[] = {"Nr", "Norma w dokumentacji", "Norma w wykazie", "Stan normy", "Zastąpiona",
                                     "Proponuję ..."};
}  // namespace

Tf_PoprawnoscNorm::Tf_PoprawnoscNorm(TComponent* AOwner) : TForm(AOwner)
{
    SetName("f_PoprawnoscNorm");
    SetCaption("Sprawdź poprawność norm");
    SetBounds(0, 0, 860, 520);
    SetPosition(poMainFormCenter);
    CreateComponents();
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

Tf_PoprawnoscNorm::~Tf_PoprawnoscNorm()
{
    if (f_PoprawnoscNorm == this)
        f_PoprawnoscNorm = nullptr;
}

void Tf_PoprawnoscNorm::CreateComponents()
{
    Panel1 = Place<TPanel>(this, this, "Panel1", 0, 0, 860, 32);
    Panel1->SetAlign(alTop);
    Panel1->SetCaption("Normy użyte w otwartym wykazie i normy proponowane w ich miejsce");
    Panel1->Font()->SetStyle(fsBold);
    Panel3 = Place<TPanel>(this, this, "Panel3", 0, 480, 860, 44);
    Panel3->SetAlign(alBottom);
    BitBtn1 = Place<TBitBtn>(this, Panel3, "BitBtn1", 740, 8, 104, 28);
    BitBtn1->SetCaption("Zamknij");
    BitBtn1->SetAnchors(akTop | akRight);
    BitBtn1->OnClick = [this](TObject* Sender) { BitBtn1Click(Sender); };
    Panel2 = Place<TPanel>(this, this, "Panel2", 0, 32, 860, 448);
    Panel2->SetAlign(alClient);
    Panel2->SetBevelOuter(bvNone);
    sg_ListaNorm = Place<TProStringGrid>(this, Panel2, "sg_ListaNorm", 0, 0, 860, 448);
    sg_ListaNorm->SetAlign(alClient);
    sg_ListaNorm->OnGetCellColor = [this](TObject* Sender, int ARow, int ACol, TGridDrawState AState, TBrush* ABrush,
                                          TFont* AFont) {
        sg_ListaNormGetCellColor(Sender, ARow, ACol, AState, ABrush, AFont);
    };
}

AnsiString Tf_PoprawnoscNorm::ProposeNormFromRegister(const AnsiString& Entry)
{
    return ProposeNorm(Entry, f_MainForm->sg_WszystkieNormy);
}

void Tf_PoprawnoscNorm::FormShow(TObject* Sender)
{
    TProStringGrid* g = sg_ListaNorm;
    TProStringGrid* reg = f_MainForm->sg_NowyEdytujWykaz;
    g->BeginUpdate();
    g->ClearAll();
    g->SetColCount(6);
    g->SetRowCount(std::max(reg->RowCount(), 2));
    TWaitNotice wait(reg->RowCount() + 5);
    for (int c = 0; c < 6; ++c)
        g->SetCells(c, 0, ReviewHeaders[c]);

    // The register's columns by their headers, in viewing or editing mode.
    const int doc = ListColumnOf(reg, ListHeaders[1]);
    const int listed = ListColumnOf(reg, ListHeaders[2]);
    const int state = ListColumnOf(reg, ListHeaders[ListStateCol]);
    const int current = ListColumnOf(reg, ListHeaders[ListCurrentCol]);
    auto cell = [&](int Col, int Row) { return Col < 0 ? AnsiString() : reg->Cells(Col, Row); };
    for (int r = 1; r <= reg->RowCount() - 2; ++r) {
        const AnsiString s = cell(state, r);
        const AnsiString replacement =
            s.find(NotInCatalogue) != AnsiString::npos ? AnsiString("Nie znaleziono w spisie") : cell(current, r);
        g->SetCells(1, r, cell(doc, r));
        g->SetCells(2, r, cell(listed, r));
        g->SetCells(3, r, s);
        g->SetCells(4, r, replacement);
        AnsiString proposal;
        if (s.find("Nieaktualna") != AnsiString::npos)
            proposal = replacement;
        else if (s.find("Aktualna") != AnsiString::npos)
            proposal = g->Cells(1, r);
        else if (s.find("Zastąpiona") != AnsiString::npos)
            proposal = replacement;
        else if (s.find(NotInCatalogue) != AnsiString::npos)
            proposal = ProposeNormFromRegister(g->Cells(1, r));
        g->SetCells(5, r, proposal);
        wait.Step();
    }
    SortNormListRows(g);
    g->EndUpdate();

    int width = 40;
    for (int c = 0; c < g->ColCount(); ++c)
        width += g->ColWidths(c);
    SetWidth(width);
}

void Tf_PoprawnoscNorm::sg_ListaNormGetCellColor(TObject* Sender, int ARow, int ACol, unsigned AState,
                                                 TBrush* ABrush, TFont* AFont)
{
    NormListCellColor(sg_ListaNorm, ARow, ACol, AState, ABrush, AFont,
                      f_MainForm->ColorBtn_PN_KolCellNrNormy->ActiveColor());
}

void Tf_PoprawnoscNorm::BitBtn1Click(TObject* Sender)
{
    Close();
}
