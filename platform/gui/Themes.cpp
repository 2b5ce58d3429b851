#include "platform/gui/Themes.h"

#include <QApplication>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>
#include <QStyleOptionButton>
#include <QStyleOptionHeader>
#include <QStyleOptionProgressBar>

#include "platform/gui/Canvas_p.h"

namespace {

QStyle* Style()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) ? QApplication::style() : nullptr;
}

void SetState(QStyleOption& opt, bool hot, bool pressed, bool disabled)
{
    opt.state = disabled ? QStyle::State_None : QStyle::State_Enabled;
    if (hot) opt.state |= QStyle::State_MouseOver;
    if (pressed) opt.state |= QStyle::State_Sunken;
    else opt.state |= QStyle::State_Raised;
}

bool SameClass(const char* a, const char* b)
{
    return QString::fromLatin1(a).compare(QString::fromLatin1(b), Qt::CaseInsensitive) == 0;
}

// The style draws some parts the same in every state: the part under the mouse is lit in the
// highlight colour and a pressed one darkened, as the system shows them.
void TintPart(QPainter& p, const QRect& r, const QPalette& palette, bool hot, bool pressed)
{
    if (!hot && !pressed)
        return;
    QColor tint = hot ? palette.color(QPalette::Highlight) : QColor(Qt::black);
    tint.setAlpha(hot ? 48 : 40);
    p.fillRect(r, tint);
}

bool DrawButtonPart(QPainter& p, QStyle& s, int part, int state, const QRect& r)
{
    QStyleOptionButton opt;
    opt.rect = r;
    opt.palette = QApplication::palette();
    if (part == BP_PUSHBUTTON) {
        SetState(opt, state == PBS_HOT, state == PBS_PRESSED, state == PBS_DISABLED);
        s.drawControl(QStyle::CE_PushButtonBevel, &opt, &p);
        return true;
    }
    if (part == BP_CHECKBOX || part == BP_RADIOBUTTON) {
        // States run in groups of four: normal, hot, pressed, disabled; unchecked, checked, mixed.
        int group = (state - 1) / 4, kind = (state - 1) % 4;
        SetState(opt, kind == 1, kind == 2, kind == 3);
        opt.state &= ~QStyle::State_Raised;
        opt.state |= group == 1 ? QStyle::State_On : group == 2 ? QStyle::State_NoChange : QStyle::State_Off;
        s.drawPrimitive(part == BP_CHECKBOX ? QStyle::PE_IndicatorCheckBox : QStyle::PE_IndicatorRadioButton,
                        &opt, &p);
        if (kind == 1) {   // the style draws no hover of its own: the box under the mouse is lit
            p.save();
            if (part == BP_RADIOBUTTON) {
                QPainterPath round;
                round.addEllipse(QRectF(r));
                p.setClipPath(round, Qt::IntersectClip);
            }
            TintPart(p, r, opt.palette, true, false);
            p.restore();
        }
        return true;
    }
    return false;
}

bool DrawArrowButton(QPainter& p, QStyle& s, QStyle::PrimitiveElement arrow, bool hot, bool pressed,
                     bool disabled, const QRect& r)
{
    QStyleOptionButton opt;
    opt.rect = r;
    opt.palette = QApplication::palette();
    // A disabled part takes the palette's disabled colours (a grey arrow).
    if (disabled)
        opt.palette.setCurrentColorGroup(QPalette::Disabled);
    SetState(opt, hot, pressed, disabled);
    s.drawPrimitive(QStyle::PE_PanelButtonBevel, &opt, &p);
    TintPart(p, r, opt.palette, hot && !pressed, false);
    QStyleOption a;
    a.rect = r.adjusted(2, 2, -2, -2);
    a.palette = opt.palette;
    a.state = opt.state;
    s.drawPrimitive(arrow, &a, &p);
    return true;
}

}  // namespace

bool ThemesActive() { return true; }

bool DrawThemedPart(TCanvas* canvas, const char* themeClass, int part, int state, const TRect& r)
{
    if (!canvas || !themeClass) return false;
    // The part's rectangle in the device's pixels (a mapped canvas gives it in its units).
    const QRect qr = canvas->Data().DevRect(r);
    if (qr.isEmpty()) return false;
    QPainter* p = CanvasPainter(*canvas);
    QStyle* s = Style();
    if (!p || !s) return false;
    p->save();
    bool done = false;
    if (SameClass(themeClass, "button")) {
        done = DrawButtonPart(*p, *s, part, state, qr);
    } else if (SameClass(themeClass, "combobox")) {
        if (part == CP_DROPDOWNBUTTON)
            done = DrawArrowButton(*p, *s, QStyle::PE_IndicatorArrowDown, state == CBXS_HOT,
                                   state == CBXS_PRESSED, state == CBXS_DISABLED, qr);
    } else if (SameClass(themeClass, "spin")) {
        static const QStyle::PrimitiveElement arrows[] = {QStyle::PE_IndicatorSpinUp, QStyle::PE_IndicatorSpinDown,
                                                          QStyle::PE_IndicatorArrowRight, QStyle::PE_IndicatorArrowLeft};
        if (part >= SPNP_UP && part <= SPNP_DOWNHORZ)
            done = DrawArrowButton(*p, *s, arrows[part - SPNP_UP], state == UPS_HOT, state == UPS_PRESSED,
                                   state == UPS_DISABLED, qr);
    } else if (SameClass(themeClass, "header")) {
        if (part == HP_HEADERITEM) {
            QStyleOptionHeader opt;
            opt.rect = qr;
            opt.palette = QApplication::palette();
            SetState(opt, state == HIS_HOT, state == HIS_PRESSED, false);
            s->drawControl(QStyle::CE_HeaderSection, &opt, p);
            TintPart(*p, qr, opt.palette, state == HIS_HOT, state == HIS_PRESSED);
            done = true;
        }
    } else if (SameClass(themeClass, "Progress")) {
        QStyleOptionProgressBar opt;
        opt.rect = qr;
        opt.palette = QApplication::palette();
        opt.state = QStyle::State_Enabled;
        opt.minimum = 0;
        opt.maximum = 100;
        if (part == PP_BAR || part == PP_BARVERT) {
            if (part == PP_BAR) opt.state |= QStyle::State_Horizontal;
            s->drawControl(QStyle::CE_ProgressBarGroove, &opt, p);
            done = true;
        } else if (part == PP_CHUNK || part == PP_CHUNKVERT) {
            p->fillRect(qr, opt.palette.color(QPalette::Highlight));
            done = true;
        }
    }
    p->restore();
    return done;
}
