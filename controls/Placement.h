#pragma once
// Saving and restoring a form's placement in an ini file or the registry,
// size limits of the form, and links through which other components save
// their own settings in the same place.
#include <memory>
#include <vector>

#include "platform/gui/Forms.h"

class TKxWindowHook;

class TFormPlacement;

enum TPlacementOption : unsigned { fpState = 1, fpPosition = 2, fpActiveControl = 4 };
using TPlacementOptions = unsigned;
enum TPlacementRegRoot { prCurrentUser, prLocalMachine, prCurrentConfig, prClassesRoot, prUsers, prDynData };

class TWinMinMaxInfo : public TPersistent {
public:
    void Assign(TPersistent* Source) override;
    int MaxPosLeft() const { return FValues[0]; }
    int MaxPosTop() const { return FValues[1]; }
    int MaxSizeHeight() const { return FValues[2]; }
    int MaxSizeWidth() const { return FValues[3]; }
    int MaxTrackHeight() const { return FValues[4]; }
    int MaxTrackWidth() const { return FValues[5]; }
    int MinTrackHeight() const { return FValues[6]; }
    int MinTrackWidth() const { return FValues[7]; }
    void SetMaxPosLeft(int v) { SetValue(0, v); }
    void SetMaxPosTop(int v) { SetValue(1, v); }
    void SetMaxSizeHeight(int v) { SetValue(2, v); }
    void SetMaxSizeWidth(int v) { SetValue(3, v); }
    void SetMaxTrackHeight(int v) { SetValue(4, v); }
    void SetMaxTrackWidth(int v) { SetValue(5, v); }
    void SetMinTrackHeight(int v) { SetValue(6, v); }
    void SetMinTrackWidth(int v) { SetValue(7, v); }
    // Every value 0: no limits.
    bool DefaultMinMaxInfo() const;
    TNotifyEvent OnChange;

private:
    void SetValue(int Index, int Value);
    int FValues[8] = {};
};

class TIniLink : public TPersistent {
public:
    TIniLink() = default;
    ~TIniLink() override;
    TFormPlacement* Storage() const { return FStorage; }
    void SetStorage(TFormPlacement* Value);
    // The storage's section followed by "\" (empty without storage or section).
    AnsiString RootSection() const;
    // The storage's open ini file or registry object (nullptr when closed or unlinked).
    TObject* IniObject() const;
    void SaveToIni();
    void LoadFromIni();
    TNotifyEvent OnSave;
    TNotifyEvent OnLoad;

private:
    TFormPlacement* FStorage = nullptr;
};

class TFormPlacement : public TComponent {
public:
    explicit TFormPlacement(TComponent* AOwner);
    ~TFormPlacement() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    const AnsiString& IniFileName() const { return FIniFileName; }
    void SetIniFileName(const AnsiString& Value) { FIniFileName = Value; }
    // The section used: IniSection, or the owning form's default section.
    AnsiString IniSection() const;
    void SetIniSection(const AnsiString& Value) { FIniSection = Value; }
    TWinMinMaxInfo* MinMaxInfo() const { return FMinMaxInfo.get(); }
    void SetMinMaxInfo(TWinMinMaxInfo* Value) { FMinMaxInfo->Assign(Value); }
    TPlacementOptions Options() const { return FOptions; }
    void SetOptions(TPlacementOptions Value) { FOptions = Value; }
    bool PreventResize() const { return FPreventResize; }
    void SetPreventResize(bool Value);
    TPlacementRegRoot RegistryRoot() const { return FRegistryRoot; }
    void SetRegistryRoot(TPlacementRegRoot Value) { FRegistryRoot = Value; }
    bool UseRegistry() const { return FUseRegistry; }
    void SetUseRegistry(bool Value) { FUseRegistry = Value; }
    int Version() const { return FVersion; }
    void SetVersion(int Value) { FVersion = Value; }
    // The open storage object (TIniFile or TRegIniFile), nullptr when closed.
    TObject* IniFileObject() const { return FIniFile.get(); }
    bool IsActive() const { return FActive && !(ComponentState() & csDesigning); }

    void SavePlacement();
    void RestorePlacement();
    AnsiString ReadString(const AnsiString& Ident, const AnsiString& Default);
    void WriteString(const AnsiString& Ident, const AnsiString& Value);
    int ReadInteger(const AnsiString& Ident, int Default);
    void WriteInteger(const AnsiString& Ident, int Value);

    TNotifyEvent OnSavePlacement;
    TNotifyEvent OnRestorePlacement;

    void Loaded() override;

private:
    friend class TIniLink;
    TCustomForm* Form() const;
    void IniNeeded(bool ReadOnly);
    void IniFree();
    void HookForm();
    void UnhookForm();
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormDestroy(TObject* Sender);
    // Size limits: the form is hooked while PreventResize or a limit is set.
    void CheckMinMaxInfo();
    void WndMessage(TObject* Sender, TMessage& Msg, bool& Handled);
    void WndMessageBefore(TObject* Sender, TMessage& Msg, bool& Handled);
    bool FActive = true;
    AnsiString FIniFileName;
    AnsiString FIniSection;
    mutable AnsiString FFormSection;   // the owner's default section, kept for its destruction
    std::unique_ptr<TWinMinMaxInfo> FMinMaxInfo;
    TPlacementOptions FOptions = 0;
    bool FPreventResize = false;
    TPlacementRegRoot FRegistryRoot = prCurrentUser;
    bool FUseRegistry = false;
    int FVersion = 0;
    std::unique_ptr<TObject> FIniFile;
    int FIniRefs = 0;
    std::vector<TIniLink*> FLinks;
    bool FSaved = false;
    bool FRestored = false;
    bool FDestroying = false;
    bool FHooked = false;
    TNotifyEvent FSaveFormShow;
    TCloseQueryEvent FSaveFormCloseQuery;
    TNotifyEvent FSaveFormDestroy;
    std::unique_ptr<TKxWindowHook> FWinHook;
    void ApplyLimits();
    // The form had a maximise box before PreventResize took it.
    bool FHadMaximizeBox = false;
};
