#pragma once
// The grid's editor for cells that hold a date and a time together: the
// framework's date picker showing the date, with a second picker for the time
// at its right edge when Kind is dkDateTime.
#include "platform/gui/ComCtrls.h"

// The framework's picker with a flat border setting (not three-dimensional by default).
class TCustomDateTimePicker : public TDateTimePicker {
public:
    explicit TCustomDateTimePicker(TComponent* AOwner);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    virtual void SetBorderStyle(TBorderStyle v);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { FBorderColor = v; Invalidate(); }
    // The common-controls library is of major version 6 or later.
    bool Themed() const { return FThemed; }

protected:
    // The flat border while not three-dimensional.
    void PaintOver(TCanvas* Canvas) override;

private:
    TBorderStyle FBorderStyle = bsNone;
    TColor FBorderColor = clBlack;
    bool FThemed;
};

enum TProDateTimeKind { dkDate, dkTime, dkDateTime };

class TProDateTimePicker : public TCustomDateTimePicker {
public:
    explicit TProDateTimePicker(TComponent* AOwner);
    TProDateTimeKind Kind() const { return FKind; }
    // dkDateTime makes the time picker when it is missing.
    void SetKind(TProDateTimeKind v);
    // The time picker's time taken first; milliseconds are cut when set.
    TDateTime DateTime();
    virtual void SetDateTime(TDateTime v);
    TDateTime Time();
    void SetTime(TDateTime v);
    const AnsiString& Format() const { return TDateTimePicker::Format(); }
    void SetFormat(const AnsiString& v) { TDateTimePicker::SetFormat(v); }
    const AnsiString& TimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(const AnsiString& v);
    TCustomDateTimePicker* TimePicker() const { return FTimePicker; }
    AnsiString Version() const { return "1.0.0.0"; }
    void SetVersion(const AnsiString&) {}
    void SetBorderStyle(TBorderStyle v) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetEnabled(bool v) override;
    // Copies colour, state, value, format and font to the time picker and places it.
    void UpdateTimePicker();
    // Fired after OnChange when the time picker changes.
    TNotifyEvent OnTimeChange;

protected:
    void CreateWnd() override;
    void Change() override;
    void CMColorChanged(TMessage& Message) override;
    virtual void DoChange();
    virtual void DoClick();
    virtual void TimeKeyPress(char& Key) {}

private:
    void CreateTimePicker();
    TProDateTimeKind FKind = dkDateTime;
    TCustomDateTimePicker* FTimePicker = nullptr;
    AnsiString FTimeFormat;
    bool FInTimeUpdate = false;
};
