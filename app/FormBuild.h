#pragma once
// Building a window's components in code: a control of the window placed on
// its parent with its name and bounds, and a caption label beside it.
#include <array>

#include "platform/core/SysUtils.h"
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

class TPanel;
// A group box at the bounds with its caption, and a borderless panel filling
// its inside that holds (and paints) the box's controls, its top left the
// inside's top left.
TPanel* PlaceGroupBox(TComponent* Owner, TWinControl* Parent, TGroupBox*& Box, const char* Name,
                      const AnsiString& Caption, int Left, int Top, int Width, int Height);

// A drop-down list of Words (sorted when Sorted) with nothing chosen.
template <size_t N>
TComboBox* PlaceList(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top, int Width,
                     const std::array<AnsiString, N>& Words, bool Sorted)
{
    auto* c = Place<TComboBox>(Owner, Parent, Name, Left, Top, Width, 23);
    c->SetStyle(csDropDownList);
    c->SetSorted(Sorted);
    for (const AnsiString& w : Words)
        c->Items()->Add(w);
    return c;
}

// After a change of the state list: the replacement and its label are
// enabled unless the state is "Aktualna", which empties the replacement.
void FollowStateChoice(TComboBox* State, TEdit* Replacement, TControl* Label);

class TWebBrowser;
// A step of a browser's history (GoBack, GoForward, Refresh): where there is
// no page to go to, nothing happens.
void BrowseHistory(TWebBrowser* Browser, void (TWebBrowser::*Step)());

// The record fields refuse the record separator "|": a text that holds one
// is emptied (true when it was), and a typed one is swallowed.
bool EmptyIfHoldsBar(TControl* Control);
inline void SwallowBar(char& Key)
{
    if (Key == '|')
        Key = 0;
}
// The first line of a text, without its line end: what a one-line field keeps of a pasted text.
inline AnsiString FirstLine(const AnsiString& Text)
{
    return Text.substr(0, Text.find_first_of("\r\n"));
}
// A one-line field keeps the first line of a text pasted into it, without the line end (true when
// it cut one off; the new text runs the field's change handler again).
bool KeepFirstLine(TControl* Control);
// Names of the menu file refuse ";", "=" and "|": a typed one is swallowed.
inline void SwallowMenuNameChar(char& Key)
{
    if (Key == ';' || Key == '=' || Key == '|')
        Key = 0;
}
// Why a name cannot stand in the menu file, nullptr when it can: ";", "=" or
// "|" in it, a blank or "[" at its start, or a "]" in a name that is a
// section name too (Section: a main-menu item or a product group).
const char* MenuNameRefusal(const AnsiString& Name, bool Section);
// A name as the menu file stores it, without blanks at its ends: names are
// compared in this form.
inline AnsiString StoredMenuName(const AnsiString& Name)
{
    return Trim(Name);
}
// The name of the menu file's section of the main menu's buttons, in any
// case of letters: no entry of the menu tree may take it, as its section
// would be that one.
inline bool IsMainMenuSectionName(const AnsiString& Name)
{
    return AnsiSameText(StoredMenuName(Name), "Kategorie");
}
