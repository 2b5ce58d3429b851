#pragma once
// Pictures kept as the bytes of their file and drawn through the image
// wrappers below (PNG, JPEG, GIF, BMP, icons, TIFF where the toolkit reads
// it), and the grid's hint record that carries such a picture.
#include <memory>
#include <string>

#include "platform/core/Classes.h"
#include "platform/gui/Graphics.h"

enum TGPStatus { Ok = 0, GenericError = 1, InvalidParameter = 2, OutOfMemory = 3, UnknownImageFormat = 13 };

// Raw-format numbers of an image.
enum TGPImageFormat {
    ifUndefined = 0, ifMemoryBMP = 1, ifBMP = 2, ifEMF = 3, ifWMF = 4, ifJPEG = 5, ifPNG = 6, ifGIF = 7,
    ifTIFF = 8, ifEXIF = 9, ifIcon = 10
};

class TGdiplusBase : public TObject {};

// An image read from the bytes of a picture file; a failure is kept in
// LastStatus (nothing is raised) and the image then measures 0 x 0.
class TGPImage : public TGdiplusBase {
public:
    TGPImage(const std::string& Data, bool UseICM = false);
    ~TGPImage() override;
    int GetWidth() const;
    int GetHeight() const;
    TGPImageFormat GetFormat() const { return FFormat; }
    TGPStatus LastStatus() const { return FStatus; }
    TGraphic* Graphic() const { return FGraphic.get(); }

private:
    std::unique_ptr<TGraphic> FGraphic;
    TGPImageFormat FFormat = ifUndefined;
    TGPStatus FStatus = Ok;
};

class TGPGraphics : public TGdiplusBase {
public:
    explicit TGPGraphics(TCanvas* DC) : FCanvas(DC) {}
    // Draws the image scaled into the rectangle.
    TGPStatus DrawImage(TGPImage* Image, double X, double Y, double Width, double Height);
    TGPStatus LastStatus() const { return FStatus; }

private:
    TCanvas* FCanvas;
    TGPStatus FStatus = Ok;
};

class TGDIPPicture : public TGraphic {
public:
    TGDIPPicture();
    ~TGDIPPicture() override;
    void Assign(TPersistent* Source) override;
    void Draw(TCanvas* Canvas, const TRect& R) override;
    bool Empty() const override { return FIsEmpty; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    void LoadFromFile(const AnsiString& FileName) override;
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    void LoadFromData(const std::string& Data) override;
    std::string SaveToData() override { return FData; }
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream);
    void LoadFromClipboardFormat() {}
    void SaveToClipboardFormat() {}

    TNotifyEvent OnClear;

private:
    void Measure();
    std::string FData;
    bool FIsEmpty = true;
    int FWidth = 0, FHeight = 0;
};

class TProHintInfo : public TPersistent {
public:
    TProHintInfo();
    ~TProHintInfo() override;
    void Assign(TPersistent* Source) override;
    TGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TGDIPPicture* v) { FPicture->Assign(v); }
    bool ShowHelp() const { return FShowHelp; }
    void SetShowHelp(bool v) { FShowHelp = v; }
    TStrings* Notes() const;
    void SetNotes(TStrings* v);
    const AnsiString& Title() const { return FTitle; }
    void SetTitle(const AnsiString& v) { FTitle = v; }
    const WideString& WideTitle() const { return FWideTitle; }
    void SetWideTitle(const WideString& v) { FWideTitle = v; }
    const WideString& WideNotes() const { return FWideNotes; }
    void SetWideNotes(const WideString& v) { FWideNotes = v; }

private:
    std::unique_ptr<TGDIPPicture> FPicture;
    bool FShowHelp = false;
    std::unique_ptr<TStringList> FNotes;
    AnsiString FTitle;
    WideString FWideTitle, FWideNotes;
};
