#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QStyleHints>

#include "platform/gui/SysInfo.h"

namespace {
QRect ScreenRect(bool available)
{
    QScreen* s = qApp ? QGuiApplication::primaryScreen() : nullptr;
    if (!s)
        return QRect(0, 0, 1024, available ? 738 : 768);
    return available ? s->availableGeometry() : s->geometry();
}

int StyleMetric(QStyle::PixelMetric m, int fallback)
{
    return qApp ? QApplication::style()->pixelMetric(m) : fallback;
}

QRect VirtualRect()
{
    QScreen* s = qApp ? QGuiApplication::primaryScreen() : nullptr;
    return s ? s->virtualGeometry() : ScreenRect(false);
}
}

int GetSystemMetrics(int Index)
{
    const int caption = 26, frame = 4, fixedFrame = 3;
    switch (Index) {
    case SM_CXSCREEN: return ScreenRect(false).width();
    case SM_CYSCREEN: return ScreenRect(false).height();
    case SM_CXFULLSCREEN: return ScreenRect(true).width();
    case SM_CYFULLSCREEN: return ScreenRect(true).height() - caption;
    case SM_CXMAXIMIZED: return ScreenRect(true).width() + 2 * frame;
    case SM_CYMAXIMIZED: return ScreenRect(true).height() + 2 * frame;
    case SM_XVIRTUALSCREEN: return VirtualRect().left();
    case SM_YVIRTUALSCREEN: return VirtualRect().top();
    case SM_CXVIRTUALSCREEN: return VirtualRect().width();
    case SM_CYVIRTUALSCREEN: return VirtualRect().height();
    case SM_CMONITORS: return qApp ? int(QGuiApplication::screens().size()) : 1;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL: return StyleMetric(QStyle::PM_ScrollBarExtent, 17);
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return StyleMetric(QStyle::PM_ScrollBarSliderMin, 17);
    case SM_CYCAPTION: return caption;
    case SM_CYSMCAPTION: return 18;
    case SM_CXSIZE:
    case SM_CYSIZE: return caption - 1;
    case SM_CXSMSIZE:
    case SM_CYSMSIZE: return 17;
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE: return 19;
    case SM_CYMENU: return 20;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return 13;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME: return fixedFrame;
    case SM_CXFRAME:
    case SM_CYFRAME: return frame;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXMINTRACK: return 112;
    case SM_CYMINTRACK: return 27;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXDRAG:
    case SM_CYDRAG: return qApp ? QApplication::startDragDistance() : 4;
    case SM_SWAPBUTTON: return 0;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_MOUSEWHEELPRESENT: return 1;
    }
    return 0;
}
