#pragma once
// Shared by the source files of the main window: a component placed with its
// name, parent and bounds.
#include "platform/gui/Controls.h"

template <class T>
T* Place(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top, int Width, int Height)
{
    T* c = new T(Owner);
    c->SetName(Name);
    c->SetParent(Parent);
    c->SetBounds(Left, Top, Width, Height);
    return c;
}
