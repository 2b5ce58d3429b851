// Window functions over the layer's controls: position and order, showing,
// creation parameters and the three-dimensional look.
#include "platform/gui/Forms.h"

bool SetWindowPos(HWND Handle, HWND InsertAfter, int X, int Y, int CX, int CY, UINT Flags)
{
    TWinControl* c = FindControl(Handle);
    if (!c)
        return false;
    if (!(Flags & SWP_NOMOVE) || !(Flags & SWP_NOSIZE)) {
        int left = (Flags & SWP_NOMOVE) ? c->Left() : X, top = (Flags & SWP_NOMOVE) ? c->Top() : Y;
        int width = (Flags & SWP_NOSIZE) ? c->Width() : CX, height = (Flags & SWP_NOSIZE) ? c->Height() : CY;
        c->SetBounds(left, top, width, height);
    }
    if (!(Flags & SWP_NOZORDER)) {
        if (InsertAfter == HWND_BOTTOM)
            c->SendToBack();
        else if (InsertAfter == HWND_TOP || InsertAfter == HWND_TOPMOST)
            c->BringToFront();
    }
    if (Flags & SWP_SHOWWINDOW)
        c->SetVisible(true);
    else if (Flags & SWP_HIDEWINDOW)
        c->SetVisible(false);
    return true;
}

bool ShowWindow(HWND Handle, int CmdShow)
{
    TWinControl* c = FindControl(Handle);
    if (!c)
        return false;
    bool was = c->Visible();
    if (CmdShow == SW_HIDE) {
        c->SetVisible(false);
        return was;
    }
    // A form also takes the window state asked for.
    if (auto* form = dynamic_cast<TCustomForm*>(c)) {
        if (CmdShow == SW_SHOWMINIMIZED || CmdShow == SW_MINIMIZE)
            form->SetWindowState(wsMinimized);
        else if (CmdShow == SW_SHOWMAXIMIZED)
            form->SetWindowState(wsMaximized);
        else if (CmdShow == SW_RESTORE || CmdShow == SW_SHOWNORMAL)
            form->SetWindowState(wsNormal);
    }
    c->SetVisible(true);
    return was;
}

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params.Caption = Text();
    Params.Style = WS_CLIPSIBLINGS | (FParent ? WS_CHILD : 0) | (Visible() ? WS_VISIBLE : 0) |
                   (Enabled() ? 0 : WS_DISABLED) | (TabStop() ? WS_TABSTOP : 0);
    Params.ExStyle = 0;
    Params.X = Left();
    Params.Y = Top();
    Params.Width = Width();
    Params.Height = Height();
    Params.WndParent = FParent && FParent->HandleAllocated() ? FParent->Handle() : 0;
    Params.WinClassName = ClassName();
}

bool TWinControl::Ctl3D() const
{
    if (FParentCtl3D && FParent)
        return FParent->Ctl3D();
    return FCtl3D;
}

void TWinControl::SetCtl3D(bool v)
{
    bool before = Ctl3D();
    FCtl3D = v;
    FParentCtl3D = false;
    if (before != v) {
        Perform(CM_CTL3DCHANGED, 0, 0);
        Invalidate();
    }
}

void TWinControl::SetParentCtl3D(bool v)
{
    if (v == FParentCtl3D)
        return;
    bool before = Ctl3D();
    FParentCtl3D = v;
    if (before != Ctl3D()) {
        Perform(CM_CTL3DCHANGED, 0, 0);
        Invalidate();
    }
}
