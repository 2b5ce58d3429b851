#pragma once
// A component that sees every message of a windowed control before and after
// the control handles it.
#include <functional>
#include <memory>

#include "platform/gui/Controls.h"

using THookMessageEvent = std::function<void(TObject* Sender, TMessage& Msg, bool& Handled)>;

class TKxWindowHook : public TComponent {
public:
    explicit TKxWindowHook(TComponent* AOwner);
    ~TKxWindowHook() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TWinControl* WinControl() const { return FWinControl; }
    void SetWinControl(TWinControl* Value);
    // The hooked control is the form that owns this component (stored as "IsForm").
    bool IsForm() const;

    void HookControl();
    void UnhookControl();

    // Before: from the last hook added to the first, until one sets Handled; a
    // handled message (other than WM_DESTROY) does not reach the control.
    THookMessageEvent BeforeMessage;
    // After the control: in the same order, until one sets Handled.
    THookMessageEvent AfterMessage;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend struct TKxHookRecord;
    bool FActive = true;
    TWinControl* FWinControl = nullptr;
    bool FHooked = false;
};
