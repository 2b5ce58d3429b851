#pragma once
// Actions: a command with its caption, enabled and checked state, hint and
// handler, shared by the controls linked to it. A control's Action property
// makes an action link; the link copies the action's properties to the
// control as they change, while the control's own value still equals the
// action's (so a control given its own caption keeps it). Clicking a linked
// control executes the action. OnUpdate handlers run when the program is idle.
#include <functional>
#include <vector>

#include "platform/gui/Controls.h"
#include "platform/gui/Menus.h"

class TBasicActionLink;
class TCustomActionList;
class TImageList;

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner);
    ~TBasicAction() override;

    // Fires OnExecute; true when it was assigned.
    virtual bool Execute();
    // Fires OnUpdate; true when it was assigned.
    virtual bool Update();
    // The control whose click executes the action now (nullptr from code).
    TComponent* ActionComponent() const { return FActionComponent; }
    void SetActionComponent(TComponent* v);
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

protected:
    friend class TBasicActionLink;
    // The links of the controls using the action, in the order they were made.
    std::vector<TBasicActionLink*> FClients;

private:
    TComponent* FActionComponent = nullptr;
};

// The tie of one client (a control) to an action.
class TBasicActionLink : public TObject {
public:
    explicit TBasicActionLink(TObject* AClient) : FClient(AClient) {}
    ~TBasicActionLink() override;
    TBasicActionLink(const TBasicActionLink&) = delete;
    TBasicActionLink& operator=(const TBasicActionLink&) = delete;

    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);
    TObject* Client() const { return FClient; }
    // Executes the action on behalf of AComponent; false without an action.
    virtual bool Execute(TComponent* AComponent = nullptr);
    virtual bool Update();

protected:
    TBasicAction* FAction = nullptr;
    TObject* FClient;
};

class TContainedAction : public TBasicAction {
public:
    explicit TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    ~TContainedAction() override;
    const AnsiString& Category() const { return FCategory; }
    void SetCategory(const AnsiString& v) { FCategory = v; }
    TCustomActionList* ActionList() const { return FActionList; }
    // Moves the action into the list (nullptr: out of any list).
    void SetActionList(TCustomActionList* v);
    // Position in its list, -1 outside one.
    int Index() const;
    // The list's OnExecute may handle it first.
    bool Execute() override;
    bool Update() override;

private:
    AnsiString FCategory;
    TCustomActionList* FActionList = nullptr;
};

class TCustomAction : public TContainedAction {
public:
    explicit TCustomAction(TComponent* AOwner);
    ~TCustomAction() override;

    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& v);
    // Checking an action of a GroupIndex other than 0 unchecks the others of
    // that group (in its list, or among the components of its owner).
    bool Checked() const { return FChecked; }
    void SetChecked(bool v);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int v) { FHelpContext = v; }
    // Executing toggles Checked first.
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool v) { FAutoCheck = v; }

    // OnUpdate first; a disabled action does not run (false).
    bool Execute() override;

private:
    template <class F>
    void ForLinks(F&& f);
    AnsiString FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    int FGroupIndex = 0;
    AnsiString FHint;
    int FImageIndex = -1;
    TShortCut FShortCut = 0;
    bool FVisible = true;
    int FHelpContext = 0;
    bool FAutoCheck = false;
};

class TAction : public TCustomAction {
public:
    explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

// What a link to a TCustomAction carries over; each setter writes the client
// when the matching Is...Linked says so.
class TActionLink : public TBasicActionLink {
public:
    explicit TActionLink(TObject* AClient) : TBasicActionLink(AClient) {}
    // True when the action is a TCustomAction (the properties are linkable).
    virtual bool IsCaptionLinked() const;
    virtual bool IsCheckedLinked() const;
    virtual bool IsEnabledLinked() const;
    virtual bool IsGroupIndexLinked() const;
    virtual bool IsHintLinked() const;
    virtual bool IsImageIndexLinked() const;
    virtual bool IsShortCutLinked() const;
    virtual bool IsVisibleLinked() const;
    virtual bool IsOnExecuteLinked() const;

    virtual void SetCaption(const AnsiString& Value) {}
    virtual void SetChecked(bool Value) {}
    virtual void SetEnabled(bool Value) {}
    virtual void SetGroupIndex(int Value) {}
    virtual void SetHint(const AnsiString& Value) {}
    virtual void SetImageIndex(int Value) {}
    virtual void SetShortCut(TShortCut Value) {}
    virtual void SetVisible(bool Value) {}

protected:
    TCustomAction* CustomAction() const;
};

// The link of a control: caption, enabled, hint and visible follow the action
// while the control's own value equals the action's.
class TControlActionLink : public TActionLink {
public:
    explicit TControlActionLink(TControl* AClient) : TActionLink(AClient), FClient(AClient) {}
    bool IsCaptionLinked() const override;
    bool IsEnabledLinked() const override;
    bool IsHintLinked() const override;
    bool IsVisibleLinked() const override;
    bool IsOnExecuteLinked() const override;
    void SetCaption(const AnsiString& Value) override;
    void SetEnabled(bool Value) override;
    void SetHint(const AnsiString& Value) override;
    void SetVisible(bool Value) override;

protected:
    TControl* FClient;
};

// A control's link to the action, for controls with a Down state in a group
// (the speed button and the grid's button): checked follows Down while the
// button can be up and down on its own (GroupIndex not 0, AllowAllUp), and the
// group index follows the action's while equal.
template <class TButtonClass>
class TGroupButtonActionLink : public TControlActionLink {
public:
    explicit TGroupButtonActionLink(TButtonClass* AClient) : TControlActionLink(AClient), FButton(AClient) {}
    bool IsCheckedLinked() const override
    {
        return TControlActionLink::IsCheckedLinked() && FButton->GroupIndex() != 0 && FButton->AllowAllUp() &&
               FButton->Down() == CustomAction()->Checked();
    }
    bool IsGroupIndexLinked() const override
    {
        return TControlActionLink::IsGroupIndexLinked() && FButton->GroupIndex() == CustomAction()->GroupIndex();
    }
    void SetChecked(bool Value) override
    {
        if (IsCheckedLinked())
            FButton->SetDown(Value);
    }
    void SetGroupIndex(int Value) override
    {
        if (IsGroupIndexLinked())
            FButton->SetGroupIndex(Value);
    }

protected:
    TButtonClass* FButton;
};

using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

// The actions of a form, in order; the list's OnExecute and OnUpdate see every
// action of it first.
class TCustomActionList : public TComponent {
public:
    explicit TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}
    ~TCustomActionList() override;
    int ActionCount() const { return int(FActions.size()); }
    TContainedAction* Actions(int Index) const;
    // Fires OnExecute for the action; true when the handler handled it.
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);
    // Executes the first enabled action with that shortcut; true when one ran.
    bool IsShortCut(Word Key, TShiftState Shift);
    // The actions' pictures (ImageIndex is an index into it); nullptr when none.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TActionEvent OnExecute;
    TActionEvent OnUpdate;

private:
    friend class TContainedAction;
    std::vector<TContainedAction*> FActions;
    TImageList* FImages = nullptr;
};

class TActionList : public TCustomActionList {
public:
    explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
};

// What the program does when idle: every action updates (OnUpdate). The event
// loop runs it when it has nothing else to do; tests call it.
void UpdateActionsIdle();
