#include "platform/Separator.h"

#include <QLinearGradient>
#include <QPainter>

Separator::Separator(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Separator::SetColor(const QColor& c)
{
    m_color = c;
    update();
}

void Separator::SetHighlightColor(const QColor& c)
{
    m_highlight = c;
    update();
}

void Separator::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_color == m_highlight) {
        p.fillRect(rect(), m_color);
        return;
    }
    const bool level = width() >= height();
    QLinearGradient g(0, 0, level ? width() : 0, level ? 0 : height());
    g.setColorAt(0, m_color);
    g.setColorAt(1, m_highlight);
    p.fillRect(rect(), g);
}
