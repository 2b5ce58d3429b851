#pragma once
// The system's warning sound.
#include "platform/gui/Messages.h"

// Plays the warning sound of the given kind (0: the default beep).
void MessageBeep(UINT Type);
// Beeps since the program started (tests read it; offscreen nothing is heard).
int MessageBeepCount();
