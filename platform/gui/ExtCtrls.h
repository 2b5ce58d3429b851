#pragma once
// Panels, images, shapes, bevels and the page notebook. (The paint box is in Controls.h.)
#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/StdCtrls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);

    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut v);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int v);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);

protected:
    void Paint() override;
    // Aligned children sit inside the bevels and the border.
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void CMTextChanged(TMessage& Message) override;
    // Pixels of border and bevels inside the panel's edge.
    int FrameWidth() const;

private:
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    TAlignment FAlignment = taCenter;
};

class TPanel : public TCustomPanel {
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// Draws a 3-D frame of Width pixels and shrinks Rect inside it.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// ---------------------------------------------------------------- TImage
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* v) { FPicture->Assign(v); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v);
    bool Center() const { return FCenter; }
    void SetCenter(bool v);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    // The size follows the picture.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    // Where the picture is painted in the client area.
    TRect DestRect() const;

protected:
    void Paint() override;

private:
    void PictureChanged(TObject* Sender);
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FProportional = false;
    bool FTransparent = false;
    bool FAutoSize = false;
};

// ---------------------------------------------------------------- TShape
enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);
    ~TShape() override;
    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType v);
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* v) { FPen->Assign(v); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* v) { FBrush->Assign(v); }

protected:
    void Paint() override;

private:
    TShapeType FShape = stRectangle;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
};

// ---------------------------------------------------------------- TBevel
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape v);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle v);

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

// ---------------------------------------------------------------- TNotebook
class TNotebook;

// A page of a notebook: a container whose Caption is the page's name.
class TPage : public TCustomControl {
public:
    TPage(TNotebook* ANotebook);
    ~TPage() override;
    TNotebook* Notebook() const { return FNotebook; }

protected:
    bool WindowWaitsForShowing() const override { return true; }

private:
    friend class TNotebook;
    TNotebook* FNotebook;
};

class TNotebook : public TCustomControl {
public:
    explicit TNotebook(TComponent* AOwner);
    ~TNotebook() override;

    // The page names: adding a name adds a page, deleting one deletes the
    // page and its controls, renaming renames the page.
    TStrings* Pages() const { return FPages.get(); }
    void SetPages(TStrings* v) { FPages->Assign(v); }
    int PageCount() const { return int(FPageList.size()); }
    TPage* Page(int Index) const;
    // The page shown; OnPageChanged fires only when it changes.
    int PageIndex() const { return FPageIndex; }
    void SetPageIndex(int v);
    // The shown page's name; setting a name shows that page (an unknown name changes nothing).
    AnsiString ActivePage() const;
    void SetActivePage(const AnsiString& v);

    TNotifyEvent OnPageChanged;

private:
    friend class TNotebookPages;
    friend class TPage;
    void PageGone(TPage* Page);
    std::unique_ptr<TStrings> FPages;
    std::vector<TPage*> FPageList;
    int FPageIndex = -1;
};
