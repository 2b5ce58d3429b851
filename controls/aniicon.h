#pragma once
// Animated icons: TAniIconFile holds a RIFF ".ani" file and turns its frames
// into icons; TAniIcon shows the current frame and steps on a 20 ms timer.
#include <array>
#include <memory>

#include "platform/gui/Controls.h"

constexpr int AniMaxFrames = 64;
constexpr int AniMaxSteps = 128;

// The "anih" header of an .ani file.
struct TAniHeader {
    Cardinal cbSize = 0;
    Cardinal nFrames = 0;
    Cardinal nSteps = 0;
    Cardinal iWidth = 0;
    Cardinal iHeight = 0;
    Cardinal iBitCount = 0;
    Cardinal nPlanes = 0;
    Cardinal iDispRate = 0;
    Cardinal bfAttributes = 0;
};

class TAniIconFile : public TGraphic {
public:
    TAniIconFile();
    ~TAniIconFile() override;

    // Only a name with the extension ".ani" (any case) of an existing file loads.
    // Data that ends early raises EReadError; the frames read before its end stay.
    void LoadFromFile(const AnsiString& FileName) override;
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    void LoadFromData(const std::string& Data) override;
    std::string SaveToData() override { return FData; }
    // From another TAniIconFile (copies its data); nullptr clears.
    void Assign(TPersistent* Source) override;
    // The current frame at r's top-left corner in its natural size.
    void Draw(TCanvas* Canvas, const TRect& r) override;
    int Width() const override { return 32; }
    int Height() const override { return 32; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return false; }

    bool Loaded() const { return FLoaded; }
    const TAniHeader& Header() const { return FHeader; }
    int FrameCount() const;
    TIcon* FrameIcon(int Index) const;
    Cardinal Rate(int Index) const { return Index >= 0 && Index < AniMaxSteps ? FRates[std::size_t(Index)] : 0; }
    Cardinal Sequence(int Index) const { return Index >= 0 && Index < AniMaxSteps ? FSeq[std::size_t(Index)] : 0; }
    int Frame() const { return FFrame; }
    // 0 <= Index < 64 and the frame has an icon: that frame; otherwise 0. Resets the step counter.
    void SetFrame(int Index);
    // One timer tick: the counter grows by 2; past the frame's rate the next frame shows.
    void NextStep();

private:
    void ReadFrames();
    void ReadChunks(bool& HaveHeader);
    void ClearFrames();
    std::array<std::unique_ptr<TIcon>, AniMaxFrames> FIcons;
    std::array<Cardinal, AniMaxSteps> FRates{};
    std::array<Cardinal, AniMaxSteps> FSeq{};
    TAniHeader FHeader;
    std::string FData;
    bool FLoaded = false;
    int FFrame = 0;
    Cardinal FCounter = 0;
};

class TAniIcon : public TCustomControl {
public:
    explicit TAniIcon(TComponent* AOwner);
    ~TAniIcon() override;

    TAniIconFile* AniFile() const { return FAniFile.get(); }
    void SetAniFile(TAniIconFile* Value);
    bool Animated() const { return FAnimated; }
    void SetAnimated(bool Value);
    bool AnimateOnEnter() const { return FAnimateOnEnter; }
    void SetAnimateOnEnter(bool Value) { FAnimateOnEnter = Value; }
    int Frame() const { return FFrame; }
    void SetFrame(int Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    bool ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(bool Value);
    AnsiString Version() const { return "1.0.0.0"; }
    void SetVersion(const AnsiString&) {}

    static constexpr UINT_PTR TimerId = 1;

protected:
    void Paint() override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WMTimer(TWMTimer& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    // A transparent icon leaves its background alone: its parent shows beneath it.
    void WMEraseBkgnd(TMessage& Message) override;

private:
    void FileChanged(TObject* Sender);
    void UpdateTimer();
    std::unique_ptr<TAniIconFile> FAniFile;
    bool FAnimated = false;
    bool FAnimateOnEnter = false;
    int FFrame = 0;
    bool FTransparent = false;
    bool FCenter = false;
    bool FButtonStyle = false;
    bool FTimerRunning = false;
    bool FMouseOver = false;
    bool FPressed = false;
};

// The program's own waiting animation: 10 frames of 32 x 32 icons, rate 3 each.
std::string ProgramAnimationData();
