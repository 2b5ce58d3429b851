#pragma once
// Common controls: the page control with its tab sheets, the progress bar,
// the date and time picker and the status bar. Each wraps a toolkit widget;
// what is set before the window exists is kept and applied when it is made.
#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/Controls.h"

VELMAROK_EXCEPTION(EDateTimeError, Exception)

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// ---------------------------------------------------------------- TPageControl
class TPageControl;

// A page of a page control: a container shown when its tab is chosen.
class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* v);
    // Making a page control the parent puts the sheet on it too.
    void SetParent(TWinControl* AParent) override;
    // The position among the page control's pages (-1 without one).
    int PageIndex() const;
    void SetPageIndex(int v);
    // The position among the tabs shown (-1 when the tab is hidden).
    int TabIndex() const;
    // A hidden tab keeps its page in Pages; the page can still be made active.
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool v);

protected:
    void CMTextChanged(TMessage& Message) override;
    bool WindowWaitsForShowing() const override { return true; }

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
};

class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return int(FPages.size()); }
    // EListError "List index out of bounds (n)" outside 0..PageCount-1.
    TTabSheet* Pages(int Index) const;
    // Setting from code shows the page without OnChanging and OnChange; a sheet
    // of another page control is ignored.
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* v);
    int ActivePageIndex() const;
    void SetActivePageIndex(int v);
    // The sheet after (or before) CurrentPage in page order, wrapping; only
    // sheets with a visible tab when VisibleOnly.
    TTabSheet* FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool VisibleOnly) const;
    void SelectNextPage(bool GoForward);
    // Where the pages sit, in the control's coordinates.
    TRect DisplayRect() const;

    // The user chose another tab: OnChanging may refuse, then OnChange follows.
    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    TNativeWidget* CreateNativeWidget() override;
    void CreateWnd() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    virtual bool CanChange();
    virtual void Change();

private:
    friend class TTabSheet;
    friend class TPageTabs;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void MovePage(TTabSheet* Page, int Index);
    // The tab bar anew from the pages.
    void UpdateTabs();
    void ShowActivePage();
    // The user clicked or keyed to the tab of that page.
    void UserChoseTab(int TabIndex);
    int TabHeight() const;
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    bool FSyncing = false;
};

// ---------------------------------------------------------------- TProgressBar
// Scoped: the grid's print borders use the same names.
enum class TProgressBarOrientation { pbHorizontal, pbVertical };

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* AOwner);

    int Min() const { return FMin; }
    void SetMin(int v);
    int Max() const { return FMax; }
    void SetMax(int v);
    // Kept inside Min..Max.
    int Position() const { return FPosition; }
    void SetPosition(int v);
    int Step() const { return FStep; }
    void SetStep(int v) { FStep = v; }
    // Advances by Step; past Max it starts again from Min.
    void StepIt();
    // Advances by Delta (kept inside Min..Max).
    void StepBy(int Delta);
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool v);
    TProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation v);

protected:
    TNativeWidget* CreateNativeWidget() override;

private:
    void ApplyToWidget();
    int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
    bool FSmooth = false;
    TProgressBarOrientation FOrientation = TProgressBarOrientation::pbHorizontal;
};

// ---------------------------------------------------------------- TDateTimePicker
enum TDateTimeKind { dtkDate, dtkTime };
enum TDTDateFormat { dfShort, dfLong };
enum TDTDateMode { dmComboBox, dmUpDown };

class TDateTimePicker : public TWinControl {
public:
    explicit TDateTimePicker(TComponent* AOwner);
    ~TDateTimePicker() override;

    // Days since 30.12.1899 with the time of day as the fraction. Setting from
    // code does not fire OnChange; outside MinDate..MaxDate it raises EDateTimeError.
    TDateTime DateTime() const { return FDateTime; }
    void SetDateTime(TDateTime v);
    // The date part (the time of day is kept) and the time part (the date is kept).
    TDateTime Date() const;
    void SetDate(TDateTime v);
    TDateTime Time() const;
    void SetTime(TDateTime v);
    TDateTimeKind Kind() const { return FKind; }
    void SetKind(TDateTimeKind v);
    TDTDateFormat DateFormat() const { return FDateFormat; }
    void SetDateFormat(TDTDateFormat v);
    TDTDateMode DateMode() const { return FDateMode; }
    void SetDateMode(TDTDateMode v);
    // A display format of the date-time routines ("dd.mm.yyyy hh:nn"); empty: the
    // short or long date format (the long time format for dtkTime).
    const AnsiString& Format() const { return FFormat; }
    void SetFormat(const AnsiString& v);
    // A check box before the value; unchecked, the value shows greyed.
    bool ShowCheckbox() const { return FShowCheckbox; }
    void SetShowCheckbox(bool v);
    bool Checked() const { return FChecked; }
    void SetChecked(bool v);
    // 0: no limit.
    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime v);
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime v);
    // The calendar of the date mode drops down (or closes).
    bool DroppedDown() const;
    void SetDroppedDown(bool v);

    // The user changed the value (or the check box).
    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    TNativeWidget* CreateNativeWidget() override;
    // The value as shown.
    AnsiString GetText() const override;
    void WMGetDlgCode(TMessage& Message) override;
    // F4 and Alt+Down open and close the calendar of the date mode.
    void KeyDown(Word& Key, TShiftState Shift) override;
    // Painted over the check box and the editor (client coordinates); nothing by default.
    virtual void PaintOver(TCanvas* Canvas) {}
    virtual void Change();

private:
    friend class TPickerSignals;
    friend class TPickerOverlay;
    void ApplyToWidget();
    void UserChangedValue(TDateTime Value);
    void UserToggledCheck(bool Checked);
    AnsiString DisplayFormat() const;
    void CheckValidDate(TDateTime v) const;
    TDateTime FDateTime = 0;
    TDateTimeKind FKind = dtkDate;
    TDTDateFormat FDateFormat = dfShort;
    TDTDateMode FDateMode = dmComboBox;
    AnsiString FFormat;
    bool FShowCheckbox = false;
    bool FChecked = true;
    TDateTime FMinDate = 0, FMaxDate = 0;
    bool FSyncing = false;
    bool FDropped = false;
};

// ---------------------------------------------------------------- TStatusBar
// A status bar showing one text (the simple panel), aligned to the bottom.
class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* AOwner);

    const AnsiString& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const AnsiString& v);
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool v) { FSimplePanel = v; }

protected:
    TNativeWidget* CreateNativeWidget() override;

private:
    AnsiString FSimpleText;
    bool FSimplePanel = true;
};
