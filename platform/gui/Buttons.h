#pragma once
// Types shared by the framework's glyph buttons: where the glyph sits beside the caption and the
// state a button is drawn in.

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Up, greyed, pressed while the mouse holds it, and latched down (a grouped button that stays down).
enum TButtonState : int { bsUp, bsDisabled, bsDown, bsExclusive };
