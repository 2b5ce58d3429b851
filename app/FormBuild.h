#pragma once
// Building a window's components in code: a control of the window placed on
// its parent with its name and bounds, and a caption label beside it.
#include "platform/gui/StdCtrls.h"

template <class T>
T* Place(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top, int Width, int Height)
{
    T* c = new T(Owner);
    c->SetName(Name);
    c->SetParent(Parent);
    c->SetBounds(Left, Top, Width, Height);
    return c;
}

// A label sized to its caption at Left, Top; Alt with its "&" letter focuses Focus.
TLabel* PlaceLabel(TComponent* Owner, TWinControl* Parent, const char* Name, const AnsiString& Caption, int Left,
                   int Top, TWinControl* Focus = nullptr);

// The record fields refuse the record separator "|": a text that holds one
// is emptied (true when it was), and a typed one is swallowed.
bool EmptyIfHoldsBar(TControl* Control);
inline void SwallowBar(char& Key)
{
    if (Key == '|')
        Key = 0;
}
