#include "platform/gui/Sound.h"

#include <QApplication>

namespace {
int g_beeps = 0;
}

void MessageBeep(UINT)
{
    ++g_beeps;
    QApplication::beep();
}

int MessageBeepCount()
{
    return g_beeps;
}
