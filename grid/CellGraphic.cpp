// TCellGraphic: the graphic of one cell, its ownership of its object and
// icon, and the fitting of a picture into its cell.
#include <cmath>

#include "grid/ProGrid.h"

TCellGraphic::~TCellGraphic()
{
    ReleaseObject();
}

void TCellGraphic::ReleaseObject()
{
    // An image index list is made for the graphic whatever the flag says;
    // anything else is freed only by the graphic that owns it.
    if (CellCreated || CellType == ctImages)
        delete CellObject;
    if (CellCreated)
        delete CellIcon;
    CellObject = nullptr;
    CellIcon = nullptr;
    CellCreated = false;
}

void TCellGraphic::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TCellGraphic*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    if (s == this)
        return;
    // The object and icon stay where they are, and so does their ownership:
    // a graphic that holds an object keeps its own flag (claiming another's
    // object would free it twice, giving up its own would leak it). One that
    // holds nothing takes the source's flag; it has nothing to free.
    bool holdsNothing = !CellObject && !CellIcon;
    bool ownsObject = CellObject && (CellCreated || CellType == ctImages);
    CellType = s->CellType;
    CellVAlign = s->CellVAlign;
    CellHAlign = s->CellHAlign;
    CellIndex = s->CellIndex;
    CellTransparent = s->CellTransparent;
    CellValue = s->CellValue;
    CellAngle = s->CellAngle;
    CellBoolean = s->CellBoolean;
    CellErrFrom = s->CellErrFrom;
    CellErrLen = s->CellErrLen;
    CellText = s->CellText;
    CellVar = s->CellVar;
    CellCompleteFontColor = s->CellCompleteFontColor;
    CellUnCompleteFontColor = s->CellUnCompleteFontColor;
    if (CellType == ctImages) {
        // An image index list is always freed with its graphic.
        if (CellObject && !ownsObject)
            CellObject = nullptr;
    } else if (ownsObject) {
        CellCreated = true;
    }
    if (holdsNothing)
        CellCreated = s->CellCreated;
}

TGraphic* TCellGraphic::PictureGraphic() const
{
    if (auto* p = dynamic_cast<TPicture*>(CellObject))
        return p->Graphic();
    return dynamic_cast<TGraphic*>(CellObject);
}

namespace {
TSize PictureNaturalSize(const TCellGraphic& G)
{
    if (G.CellType == ctPicture) {
        if (TGraphic* g = G.PictureGraphic())
            return TSize{g->Width(), g->Height()};
    } else if (G.CellType == ctFilePicture) {
        if (auto* f = dynamic_cast<TFilePicture*>(G.CellObject))
            return TSize{f->Width(), f->Height()};
    }
    return TSize{};
}

// Scaled to keep the aspect ratio: the smaller factor wins and its axis
// takes the whole available length. CapAtOne keeps both factors at most 1.
TSize ScaledToFit(TSize Picture, int AvailW, int AvailH, bool CapAtOne)
{
    double fx = Picture.cx < 1 ? 1.0 : double(AvailW) / Picture.cx;
    double fy = Picture.cy < 1 ? 1.0 : double(AvailH) / Picture.cy;
    if (CapAtOne) {
        fx = std::min(fx, 1.0);
        fy = std::min(fy, 1.0);
    }
    if (fx < fy)
        return TSize{AvailW, int(std::lround(Picture.cy * fx))};
    if (fy < fx)
        return TSize{int(std::lround(Picture.cx * fy)), AvailH};
    return TSize{AvailW, AvailH};
}
}

TSize TCellGraphic::GetPictureSize(int CellWidth, int CellHeight) const
{
    TSize picture = PictureNaturalSize(*this);
    if (CellType != ctPicture && CellType != ctFilePicture)
        return picture;
    int availW = CellWidth - CellIndex;
    int availH = CellHeight - CellIndex;
    switch (FitMode()) {
    case 1:
        return TSize{availW, availH};
    case 2:
        return ScaledToFit(picture, availW, availH, false);
    case 3:
        if (picture.cx > availW || picture.cy > availH)
            return TSize{availW, availH};
        return picture;
    case 4:
        if (picture.cx <= availW && picture.cy <= availH)
            return picture;
        return ScaledToFit(picture, availW, availH, true);
    default:
        return picture;
    }
}
