#include "app/FormBuild.h"

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/SHDocVw.h"

TLabel* PlaceLabel(TComponent* Owner, TWinControl* Parent, const char* Name, const AnsiString& Caption, int Left,
                   int Top, TWinControl* Focus)
{
    auto* l = new TLabel(Owner);
    // Sized once, when placed with its caption and its parent's font.
    l->SetAutoSize(false);
    if (Name)
        l->SetName(Name);
    l->SetParent(Parent);
    l->SetLeft(Left);
    l->SetTop(Top);
    l->SetCaption(Caption);
    l->SetAutoSize(true);
    if (Focus)
        l->SetFocusControl(Focus);
    return l;
}

const char* MenuNameRefusal(const AnsiString& Name, bool Section)
{
    if (Name.find_first_of(";=|") != AnsiString::npos)
        return "Nazwa nie może zawierać żadnego z następujących znaków: ; = |";
    if (!Name.empty() && Name[0] == ' ')
        return "Nazwa nie może rozpoczynać się od znaku spacji";
    // The file would read such a line as a section's heading.
    if (!Name.empty() && Name[0] == '[')
        return "Nazwa nie może rozpoczynać się od znaku [";
    if (Section && Name.find(']') != AnsiString::npos)
        return "Nazwa nie może zawierać znaku ]";
    return nullptr;
}

bool EmptyIfHoldsBar(TControl* Control)
{
    if (Control->Text().find('|') == AnsiString::npos)
        return false;
    Control->SetText("");
    return true;
}

bool KeepFirstLine(TControl* Control)
{
    const AnsiString text = Control->Text();
    const AnsiString line = FirstLine(text);
    if (line.size() == text.size())
        return false;
    Control->SetText(line);
    return true;
}

void FollowStateChoice(TComboBox* State, TEdit* Replacement, TControl* Label)
{
    const bool current = State->Text() == "Aktualna";
    Replacement->SetEnabled(!current);
    Label->SetEnabled(!current);
    if (current)
        Replacement->SetText("");
}

TPanel* PlaceGroupBox(TComponent* Owner, TWinControl* Parent, TGroupBox*& Box, const char* Name,
                      const AnsiString& Caption, int Left, int Top, int Width, int Height)
{
    Box = Place<TGroupBox>(Owner, Parent, Name, Left, Top, Width, Height);
    Box->SetCaption(Caption);
    auto* inside = Place<TPanel>(Owner, Box, "", 2, 18, Width - 4, Height - 20);
    inside->SetBevelOuter(bvNone);
    inside->SetCaption("");
    return inside;
}

void BrowseHistory(TWebBrowser* Browser, void (TWebBrowser::*Step)())
{
    try {
        (Browser->*Step)();
    } catch (const Exception&) {
    }
}
