#pragma once
// The classic style the program starts with (UseProgramLook), drawn more
// cheaply where the window draws most: every frame of fields, group boxes,
// the tab pane and unchecked check boxes in whole-pixel rectangles, pixel
// for pixel as the classic style strokes them; and disabled captions in
// the disabled colour only.
#include <QProxyStyle>

namespace velluno::window {

class ClassicStyle : public QProxyStyle {
public:
    ClassicStyle();

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* answer) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* p,
                       const QWidget* widget) const override;
};

}  // namespace velluno::window
