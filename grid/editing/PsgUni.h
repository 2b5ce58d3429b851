#pragma once
// Unicode strings and the Unicode editors of the grid: a list of wide strings
// with the string list's operations, its form over a Unicode combo box's
// items, and the Unicode edit, memo, edit with button and combo box. The
// windows of these controls are Unicode windows of the layer, so typed
// characters beyond Windows-1250 reach their wide text whole.
#include <memory>
#include <vector>

#include "grid/editing/PsgCombo.h"
#include "grid/editing/PsgEdit.h"
#include "platform/gui/StdCtrls.h"

class TWideStrings;

// The 8-bit view of a wide list: count, get (narrowed), clear, delete and insert (widened).
class TNarrowStringsView : public TStrings {
public:
    explicit TNarrowStringsView(TWideStrings* AWide) : FWide(AWide) {}
    int GetCount() const override;
    AnsiString Get(int Index) const override;
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;

private:
    TWideStrings* FWide;
};

// The case-insensitive comparison of wide text by the locale (0 when equal).
int WideCompareTextFunc(const WideString& S1, const WideString& S2, unsigned Locale);
// Lower case: the Polish rules for what Windows-1250 holds, and the other Latin, the Greek and the
// Cyrillic capitals.
WideString WideLowerCase(const WideString& S);

class TWideStrings : public TPersistent {
public:
    TWideStrings();
    ~TWideStrings() override;

    virtual WideString Get(int Index) = 0;
    virtual int GetCapacity() { return GetCount(); }
    virtual int GetCount() = 0;
    virtual TObject* GetObject(int Index) { return nullptr; }
    // Every line followed by CR LF (the last one too).
    virtual WideString GetTextStr();
    // Keeps the line's object.
    virtual void Put(int Index, const WideString& S);
    virtual void PutObject(int Index, TObject* AObject) {}
    virtual void SetCapacity(int NewCapacity) {}
    // Lines end at 10, 11, 12, 13, U+2028 or U+2029; CR LF is one break.
    virtual void SetTextStr(const WideString& Value);
    unsigned Locale() const { return FLocale; }
    virtual void SetLocale(unsigned Value) { FLocale = Value; }
    virtual int Add(const WideString& S);
    virtual int AddObject(const WideString& S, TObject* AObject);
    virtual void AddStrings(TStrings* Strings);
    virtual void AddStrings(TWideStrings* Strings);
    virtual void Clear() = 0;
    virtual void Delete(int Index) = 0;
    virtual void Exchange(int Index1, int Index2);
    // A copy of the text (each line followed by CR LF).
    virtual WideString GetText() { return GetTextStr(); }
    // The first line equal to S without regard to case (by Locale); -1 when none.
    virtual int IndexOf(const WideString& S);
    virtual void Insert(int Index, const WideString& S) = 0;
    virtual void Move(int CurIndex, int NewIndex);
    // Text up to its first zero character.
    virtual void SetText(const char16_t* Text);
    // Wide or 8-bit lists are copied line by line with their objects.
    void Assign(TPersistent* Source) override;

    int Count() { return GetCount(); }
    WideString Strings(int Index) { return Get(Index); }
    void SetStrings(int Index, const WideString& S) { Put(Index, S); }
    TObject* Objects(int Index) { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }
    WideString Text() { return GetTextStr(); }
    void BeginUpdate();
    void EndUpdate();
    // The 8-bit view; assigning copies into the list through it.
    TNarrowStringsView* AnsiStrings() const { return FAnsiStrings.get(); }
    void SetAnsiStrings(TStrings* Value) { FAnsiStrings->Assign(Value); }

protected:
    void AssignTo(TPersistent* Dest) override;
    virtual void SetUpdateState(bool Updating) {}

private:
    std::unique_ptr<TNarrowStringsView> FAnsiStrings;
    int FUpdateCount = 0;
    unsigned FLocale;
};

class TCustomUNIComboBox;

// The items of a Unicode combo box: their wide texts, with count, objects and
// deletion through the combo's 8-bit items.
class TComboBoxStrings : public TWideStrings {
public:
    explicit TComboBoxStrings(TCustomUNIComboBox* ACombo) : FCombo(ACombo) {}
    WideString Get(int Index) override;
    int GetCount() override;
    TObject* GetObject(int Index) override;
    void PutObject(int Index, TObject* AObject) override;
    // EOutOfResources "Unable to insert a line" when the list refuses the line.
    int Add(const WideString& S) override;
    void Insert(int Index, const WideString& S) override;
    // The first item equal to S (without regard to case); -1 when none.
    int IndexOf(const WideString& S) override;
    // Keeps the combo's text.
    void Clear() override;
    void Delete(int Index) override;
    // Gives the window its wide texts again (a new window shows the 8-bit items).
    void ShowInWindow();

protected:
    void SetUpdateState(bool Updating) override;

private:
    // -1 (the list's error answer) when Index is outside 0..Count.
    int InsertItem(int Index, const WideString& S);
    TCustomUNIComboBox* FCombo;
    std::vector<WideString> FWide;
};

// The wide text of any control: an edit's, memo's or combo's Unicode text, else its text widened.
WideString GetWideText(TWinControl* Control);
void SetWideText(TWinControl* Control, const WideString& Value);

class TCustomUNIEdit : public TCustomEdit {
public:
    explicit TCustomUNIEdit(TComponent* AOwner);

protected:
    // The wide text set before the window was made is the window's text.
    void CreateWnd() override;
};

class TPsgUniEdit : public TCustomUNIEdit {
public:
    explicit TPsgUniEdit(TComponent* AOwner) : TCustomUNIEdit(AOwner) {}
};

class TPsgUniCustomMemo : public TMemo {
public:
    explicit TPsgUniCustomMemo(TComponent* AOwner);

protected:
    void CreateWnd() override;
};

class TPsgUniMemo : public TPsgUniCustomMemo {
public:
    explicit TPsgUniMemo(TComponent* AOwner);
};

// The edit with a button over a wide text: empty at first, F4 clicks the
// button whatever shift keys are down, and no room is kept for a unit.
class TPsgUniEditBtn : public TPsgEditBtn {
public:
    explicit TPsgUniEditBtn(TComponent* AOwner);

protected:
    bool F4Clicks(TShiftState Shift) const override { return true; }
    void CreateWnd() override;
};

class TCustomUNIComboBox : public TPSGCustomCombo {
public:
    explicit TCustomUNIComboBox(TComponent* AOwner);
    ~TCustomUNIComboBox() override;
    TComboBoxStrings* WideItems() const { return FWideItems.get(); }
    WideString ItemWideText(int Index) const override { return FWideItems->Get(Index); }

protected:
    void CreateWnd() override;
    // The chosen item's wide text becomes the text before the click and change notifications.
    void Select() override;
    // Backspace only fires OnKeyPress.
    void KeyPress(char& Key) override;

private:
    std::unique_ptr<TComboBoxStrings> FWideItems;
};

class TPSGUniCustomCombo : public TCustomUNIComboBox {
public:
    explicit TPSGUniCustomCombo(TComponent* AOwner) : TCustomUNIComboBox(AOwner) {}
};

class TPSGUniComboBox : public TPSGUniCustomCombo {
public:
    explicit TPSGUniComboBox(TComponent* AOwner) : TPSGUniCustomCombo(AOwner) {}
};
