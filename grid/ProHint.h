#pragma once
// The grid's pop-up texts: the hint window that shows mini-HTML and wide
// (Unicode-in-ANSI) hints, and the balloon window that shows a cell's text
// with a title while the mouse rests over the grid.
#include <functional>

#include "platform/gui/Forms.h"

// A borderless top-level window that stays on the monitor under the mouse.
class THTMLHintWindow : public TCustomForm {
public:
    explicit THTMLHintWindow(TComponent* AOwner);

    // (0, 0, width, height) of the text laid out at most MaxWidth wide.
    TRect CalcHintRect(int MaxWidth, const AnsiString& Hint);
    // Shows Hint with its top-left corner at Rect's (screen coordinates), its
    // text laid out at most MaxWidth wide (wrapped at words when narrower).
    void ActivateHint(TRect Rect, const AnsiString& Hint, int MaxWidth = WidestHint);
    static constexpr int WidestHint = 1008;   // a hint's widest line when no narrower width is asked for
    void ReleaseHint() { Hide(); }

    int TextWidth() const { return FTextWidth; }
    int TextHeight() const { return FTextHeight; }
    const WideString& WideText() const { return FWideText; }
    // The face of wide text (the grid's font).
    static AnsiString& FontName();
    // The screen area a hint is kept inside (the work area of the screen when empty).
    static void SetMonitorRect(const TRect& R);

protected:
    void Paint() override;
    // Without a border; from Windows 5.1 on with the drop shadow of tips.
    void CreateParams(TCreateParams& Params) override;

private:
    bool IsWide(const AnsiString& Hint) const;
    TSize Measure(const AnsiString& Hint, int MaxWidth);
    int FTextHeight = 0;
    int FTextWidth = 0;
    int FMaxWidth = WidestHint;
    WideString FWideText;
};

// The balloon: a title (bold) over the text, in a rounded frame.
class TBalloonWindow : public TCustomForm {
public:
    explicit TBalloonWindow(TComponent* AOwner);

    const AnsiString& Title() const { return FTitle; }
    const AnsiString& BalloonText() const { return FText; }
    // 0 none, 1 information, 2 warning, 3 error; other values become 0.
    int Icon() const { return FIcon; }
    void SetContent(const AnsiString& Title, int Icon, const AnsiString& Text);
    void SetColors(TColor TextColor, TColor BackgroundColor);
    void SetDelays(int Initial, int Reshow, int AutoHide);
    int InitialDelay() const { return FInitial; }
    int ReshowDelay() const { return FReshow; }
    int AutoHideDelay() const { return FAutoHide; }
    Byte Opacity() const { return FOpacity; }
    // The window shows with this opacity (255 opaque).
    void SetOpacity(Byte v);
    // Sized to its content and shown below-right of the screen point, without activation;
    // it hides itself after AutoHideDelay milliseconds.
    void ShowAt(const TPoint& ScreenPos);
    // The pointer moved to At (the owner's coordinates): OnShowDue(At) comes once it has rested
    // there for InitialDelay milliseconds, or ReshowDelay when Reshow (a balloon was just shown).
    void WaitToShow(const TPoint& At, bool Reshow);
    // No balloon is wanted any more: the pointer left.
    void CancelShow() { FShowTimer->SetEnabled(false); }
    TTimer* ShowTimer() const { return FShowTimer; }
    std::function<void(const TPoint& At)> OnShowDue;

protected:
    void Paint() override;
    // A tip window: shown above the others, never activated.
    void CreateParams(TCreateParams& Params) override;

private:
    TSize ContentSize();
    AnsiString FTitle = "ToolTipText";
    AnsiString FText;
    int FIcon = 3;
    TColor FTextColor = clInfoText;
    TColor FBackColor = clInfoBk;
    int FInitial = 500, FReshow = 100, FAutoHide = 5000;
    TTimer* FHideTimer;
    TTimer* FShowTimer;
    TPoint FShowAt;
    Byte FOpacity = 255;
};
