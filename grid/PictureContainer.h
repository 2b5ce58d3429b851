#pragma once
// Pictures for mini-HTML text: THTMLPicture keeps the raw bytes of a picture
// file (BMP, ICO, JPEG, GIF, PNG; metafiles show as empty pictures) with a
// chosen frame of an animated GIF; THTMLPictureCache holds pictures named by
// an address, TPictureContainer named pictures on a form.
#include <functional>
#include <memory>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/gui/Component.h"
#include "platform/gui/Graphics.h"

class THTMLPicture;

using TDownloadProgressEvent = std::function<void(TObject* Sender, Cardinal dwSize, Cardinal dwTotSize)>;
using TDownloadCancelEvent = std::function<void(TObject* Sender, bool& Cancel)>;
using TDownloadCompleteEvent = std::function<void(TObject* Sender)>;
using TDownloadErrorEvent = std::function<void(TObject* Sender, const AnsiString& Err)>;

class THTMLPicture : public TGraphic {
public:
    THTMLPicture();
    ~THTMLPicture() override;

    void Assign(TPersistent* Source) override;
    // Rendered into R with Stretch, else at R's top-left corner at its own size
    // (scaled by the canvas's pixels per inch). Draws nothing when empty or
    // when the bytes could not be read as a picture.
    void Draw(TCanvas* Canvas, const TRect& R) override;
    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int) override {}
    void SetHeight(int) override {}

    // Reading bytes: they are kept and loaded; a format that cannot be read
    // raises Exception("Could not load image. Invalid format") and leaves the
    // bytes with no loaded picture.
    void LoadFromFile(const AnsiString& FileName) override;
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    void LoadFromData(const std::string& Data) override;
    std::string SaveToData() override { return FData; }
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream);
    void LoadFromClipboardFormat() {}
    void SaveToClipboardFormat() {}

    // "RES://name" loads the program's built-in picture of that name, "FILE://path"
    // the file; any other address is kept and nothing is loaded.
    void LoadFromURL(const AnsiString& Address);
    void LoadFromResourceName(const AnsiString& Name);

    bool Stretch() const { return FStretch; }
    void SetStretch(bool v) { FStretch = v; }
    int Frame() const { return FFrame; }
    void SetFrame(int v);
    const AnsiString& Address() const { return FAddress; }
    void SetAddress(const AnsiString& v) { FAddress = v; }
    bool IsGIF() const;
    // Number of GIF frames; -1 for other pictures.
    int FrameCount();
    int FrameWidth() const;
    int FrameHeight() const;
    int FrameLeft() const { return FFrameXPos; }
    int FrameTop() const { return FFrameYPos; }
    // True when the bytes were read as a picture.
    bool Loaded() const { return FImage != nullptr; }

    TNotifyEvent OnFrameChange;
    TDownloadProgressEvent OnDownLoadProgress;
    TDownloadCancelEvent OnDownLoadCancel;
    TDownloadCompleteEvent OnDownLoadComplete;
    TDownloadErrorEvent OnDownLoadError;

private:
    void Load();
    void Reset();

    std::string FData;
    bool FIsEmpty = true;
    bool FStretch = false;
    std::unique_ptr<TGraphic> FImage;   // what the bytes show; nullptr while not loaded
    bool FMetafile = false;             // a metafile: loaded, shows nothing
    AnsiString FAddress;
    int FFrame = 1;
    int FFrameCount = -1;
    Word FFrameXPos = 0, FFrameYPos = 0, FFrameXSize = 0, FFrameYSize = 0;
    Word FLogicalWidth = 0, FLogicalHeight = 0;
};

class THTMLPictureCache {
public:
    THTMLPictureCache() = default;
    ~THTMLPictureCache() { ClearPictures(); }
    THTMLPictureCache(const THTMLPictureCache&) = delete;
    THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;

    THTMLPicture* AddPicture();
    // The first picture whose address equals Address exactly; nullptr when none.
    THTMLPicture* FindPicture(const AnsiString& Address) const;
    THTMLPicture* GetPicture(int Index) const;
    int Count() const { return int(FItems.size()); }
    void ClearPictures() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<THTMLPicture>> FItems;
};

class TPictureContainer;

class TPictureItem : public TCollectionItem {
public:
    explicit TPictureItem(TCollection* ACollection);
    ~TPictureItem() override;
    void Assign(TPersistent* Source) override;
    THTMLPicture* Picture() const { return FPicture.get(); }
    void SetPicture(THTMLPicture* v) { FPicture->Assign(v); }
    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& v) { FName = v; }
    int Tag() const { return FTag; }
    void SetTag(int v) { FTag = v; }

private:
    std::unique_ptr<THTMLPicture> FPicture;
    AnsiString FName;
    int FTag = 0;
};

class TPictureCollection : public TOwnedCollection {
public:
    explicit TPictureCollection(TPictureContainer* AOwner);
    TPictureItem* Add() { return static_cast<TPictureItem*>(TCollection::Add()); }
    TPictureItem* Items(int Index) const { return static_cast<TPictureItem*>(TCollection::Items(Index)); }
};

class TPictureContainer : public TComponent {
public:
    explicit TPictureContainer(TComponent* AOwner);
    ~TPictureContainer() override;
    TPictureCollection* Items() const { return FItems.get(); }
    void SetItems(TPictureCollection* v) { FItems->Assign(v); }
    AnsiString Version() const;
    void SetVersion(const AnsiString&) {}
    // The picture of the first item named Name (without regard to case).
    virtual THTMLPicture* FindPicture(const AnsiString& Name) const;

private:
    std::unique_ptr<TPictureCollection> FItems;
};
