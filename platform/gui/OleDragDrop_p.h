#pragma once
// Private to platform/gui: the drag loop of the system drag and drop without the
// toolkit's modal loop, for the test support. A step is where the pointer is
// (screen coordinates) and which keys are held; a step without MK_LBUTTON
// releases the button (drop), one with Escape cancels.
#include <functional>
#include <vector>

#include "platform/gui/OleDragDrop.h"

class QMimeData;

struct TOleDragStep {
    TPoint Screen;
    DWORD KeyState = 0;
    bool Escape = false;
};

// The next DoDragDrop runs along these steps at once (a drag ends at the last step: when
// the button is still held there, it is released at that point).
void ScriptNextOleDrag(std::vector<TOleDragStep> Steps);
bool OleDragScriptPending();
// A drag coming from another program with this data, along the steps; the effect of the drop
// (DROPEFFECT_NONE when nothing took it).
DWORD RunForeignOleDrag(const QMimeData& Data, DWORD OkEffects, const std::vector<TOleDragStep>& Steps);
// The image of the last DoDragDrop that had one (width and height; 0 x 0 when none).
TSize LastOleDragImageSize();
