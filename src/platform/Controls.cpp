#include "platform/Controls.h"

#include <QPainter>

Panel::Panel(QWidget* parent) : QFrame(parent)
{
    setAutoFillBackground(true);
    setFrameStyle(QFrame::NoFrame);
}

QColor Panel::Color() const
{
    return palette().color(QPalette::Window);
}

void Panel::SetColor(const QColor& c)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, c);
    setPalette(pal);
}

void Panel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    const int r = width() - 1, b = height() - 1;
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(0, 0, r - 1, 0);
    p.drawLine(0, 0, 0, b - 1);
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(r, 0, r, b);
    p.drawLine(0, b, r, b);
}
