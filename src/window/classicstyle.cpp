#include "window/classicstyle.h"

#include <QPaintDevice>
#include <QPainter>
#include <QStyleOption>

namespace velluno::window {

namespace {

// The classic two-pixel frame of `r`: its outer top and left edges in
// `outer1`, outer bottom and right in `outer2`, the inner edges likewise in
// `inner1` and `inner2`, then the inside in `fill` when there is one. The
// style draws the same edges as four polylines, each pixel by the stroker,
// which made the frames a tenth of the window's first frame.
void DrawShades(QPainter* p, const QRect& r, const QColor& outer1, const QColor& outer2, const QColor& inner1,
                const QColor& inner2, const QBrush* fill)
{
    const int x = r.x(), y = r.y(), w = r.width(), h = r.height();
    p->fillRect(x, y, 1, h - 1, outer1);
    p->fillRect(x + 1, y, w - 2, 1, outer1);
    p->fillRect(x, y + h - 1, w, 1, outer2);
    p->fillRect(x + w - 1, y, 1, h - 1, outer2);
    p->fillRect(x + 1, y + 1, 1, h - 3, inner1);
    p->fillRect(x + 2, y + 1, w - 4, 1, inner1);
    p->fillRect(x + 1, y + h - 2, w - 2, 1, inner2);
    p->fillRect(x + w - 2, y + 1, 1, h - 3, inner2);
    if (fill)
        p->fillRect(x + 2, y + 2, w - 4, h - 4, *fill);
}

// The group box's etched frame: a dark rectangle a pixel short of `r` on
// the right and at the bottom, light lines inside it and beyond it.
void DrawEtched(QPainter* p, const QRect& r, const QColor& dark, const QColor& light)
{
    const int x = r.x(), y = r.y(), w = r.width(), h = r.height();
    p->fillRect(x, y, w - 1, 1, dark);
    p->fillRect(x, y + h - 2, w - 1, 1, dark);
    p->fillRect(x, y, 1, h - 1, dark);
    p->fillRect(x + w - 2, y, 1, h - 1, dark);
    p->fillRect(x + 1, y + 1, w - 3, 1, light);
    p->fillRect(x + 1, y + 2, 1, h - 4, light);
    p->fillRect(x, y + h - 1, w, 1, light);
    p->fillRect(x + w - 1, y, 1, h - 1, light);
}

// Rectangles land on whole device pixels only unscaled: elsewhere the
// style's own strokes are kept.
bool WholePixels(const QPainter* p, const QRect& r, int least)
{
    return r.width() > least && r.height() > least && p->transform().type() <= QTransform::TxTranslate &&
           p->device() && p->device()->devicePixelRatio() == 1.0;
}

}  // namespace

ClassicStyle::ClassicStyle() : QProxyStyle(QStringLiteral("Windows")) {}

int ClassicStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* answer) const
{
    // The classic style draws each disabled caption a second time, a pixel
    // off in the light colour: a shadow that hardly shows on the window's
    // background, and that doubled the text of the first frame, where
    // nearly every control waits disabled for a skin.
    if (hint == SH_EtchDisabledText)
        return 0;
    return QProxyStyle::styleHint(hint, option, widget, answer);
}

void ClassicStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* p,
                                 const QWidget* widget) const
{
    const QPalette& pal = option->palette;
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    switch (element) {
    case PE_FrameLineEdit:
        if (frame && (frame->state & State_Sunken) && frame->lineWidth == 2 && WholePixels(p, frame->rect, 4)) {
            DrawShades(p, frame->rect, pal.dark().color(), pal.light().color(), pal.shadow().color(),
                       pal.window().color(), nullptr);
            return;
        }
        break;
    case PE_FrameGroupBox:
        if (frame && !(frame->features & QStyleOptionFrame::Flat) && frame->lineWidth == 1 &&
            frame->midLineWidth == 0 && WholePixels(p, frame->rect, 4)) {
            DrawEtched(p, frame->rect, pal.dark().color(), pal.light().color());
            return;
        }
        break;
    case PE_FrameTabWidget:
        if (qstyleoption_cast<const QStyleOptionTabWidgetFrame*>(option) &&
            pixelMetric(PM_DefaultFrameWidth, option, widget) == 2 && WholePixels(p, option->rect, 4)) {
            DrawShades(p, option->rect, pal.light().color(), pal.shadow().color(), pal.button().color(),
                       pal.dark().color(), nullptr);
            return;
        }
        break;
    case PE_IndicatorCheckBox:
        // Unchecked only: a check mark is left to the style.
        if ((option->state & State_Off) && !(option->state & (State_On | State_NoChange)) &&
            WholePixels(p, option->rect, 4)) {
            const QBrush& fill = (option->state & State_Sunken)   ? pal.button()
                                 : (option->state & State_Enabled) ? pal.base()
                                                                   : pal.window();
            DrawShades(p, option->rect, pal.dark().color(), pal.light().color(), pal.shadow().color(),
                       pal.midlight().color(), &fill);
            return;
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawPrimitive(element, option, p, widget);
}

}  // namespace velluno::window
