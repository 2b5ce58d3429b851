#pragma once
// A clickable label whose font changes while the mouse is over it or pressed on it.
#include <memory>

#include "platform/gui/StdCtrls.h"

class TQelSensitiveLabel : public TLabel {
public:
    explicit TQelSensitiveLabel(TComponent* AOwner);
    ~TQelSensitiveLabel() override;
    bool ActiveMouseDown() const { return FActiveMouseDown; }
    void SetActiveMouseDown(bool Value);
    bool ActiveMouseMove() const { return FActiveMouseMove; }
    void SetActiveMouseMove(bool Value);
    TFont* FontMouseDown() const { return FFontMouseDown.get(); }
    void SetFontMouseDown(TFont* Value);
    TFont* FontMouseMove() const { return FFontMouseMove.get(); }
    void SetFontMouseMove(TFont* Value);

protected:
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void TakeFont(const TFont* Source);
    bool FActiveMouseDown = true;
    bool FActiveMouseMove = false;
    std::unique_ptr<TFont> FFontMouseDown;
    std::unique_ptr<TFont> FFontMouseMove;
};
