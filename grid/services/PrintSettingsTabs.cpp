// The print settings form's tabs.
#include "grid/services/PrintSettingsTabs_p.h"

#include "platform/gui/ComCtrls.h"

TWinControl* NewPrintSettingsPages(TProGridPrintSettingsForm* Form, int Width, int Height)
{
    auto* p = new TPageControl(Form);
    p->SetParent(Form);
    p->SetBounds(0, 0, Width, Height);
    return p;
}

TWinControl* AddPrintSettingsTab(TProGridPrintSettingsForm* Form, const AnsiString& Caption)
{
    auto* t = new TTabSheet(Form);
    t->SetPageControl(static_cast<TPageControl*>(Form->Pages));
    t->SetCaption(Caption);
    return t;
}

int TProGridPrintSettingsForm::TabCount() const
{
    return static_cast<TPageControl*>(Pages)->PageCount();
}

TWinControl* TProGridPrintSettingsForm::TabSheet(int Index) const
{
    return static_cast<TPageControl*>(Pages)->Pages(Index);
}

bool TProGridPrintSettingsForm::TabShown(int Index) const
{
    return static_cast<TPageControl*>(Pages)->Pages(Index)->TabVisible();
}

void TProGridPrintSettingsForm::ShowTab(int Index, bool Show)
{
    static_cast<TPageControl*>(Pages)->Pages(Index)->SetTabVisible(Show);
}
