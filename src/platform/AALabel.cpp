#include "platform/AALabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

AALabel::AALabel(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont f = font();
    f.setStyleStrategy(QFont::PreferAntialias);
    setFont(f);
}

void AALabel::SetCaption(const QString& text)
{
    if (text == m_caption)
        return;
    m_caption = text;
    fit();
    update();
}

void AALabel::SetFontColor(const QColor& color)
{
    if (color == m_fontColor)
        return;
    m_fontColor = color;
    update();
}

void AALabel::SetAutoSize(bool on)
{
    m_autoSize = on;
    fit();
}

void AALabel::SetEffectAlignment(Alignment a)
{
    m_alignment = a;
    update();
}

void AALabel::SetEffectLayout(Layout l)
{
    m_layout = l;
    update();
}

QColor AALabel::BackgroundColor() const
{
    const QWidget* container = parentWidget() ? parentWidget() : this;
    return container->palette().color(container->backgroundRole());
}

QSize AALabel::TextExtent() const
{
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(m_caption), fm.height()};
}

QPoint AALabel::TextOffset() const
{
    const QSize text = TextExtent();
    const int left = m_alignment == Alignment::Center ? (width() - text.width()) / 2 : 0;
    const int top = m_layout == Layout::Center ? (height() - text.height()) / 2 : 0;
    return {left, top};
}

QSize AALabel::sizeHint() const
{
    return TextExtent();
}

void AALabel::fit()
{
    if (m_autoSize)
        resize(TextExtent());
}

void AALabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), BackgroundColor());
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setFont(font());
    p.setPen(m_fontColor);
    const QPoint at = TextOffset();
    p.drawText(at.x(), at.y() + QFontMetrics(font()).ascent(), m_caption);
}

void AALabel::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::FontChange) {
        fit();
        update();
    } else if (e->type() == QEvent::ParentChange || e->type() == QEvent::PaletteChange) {
        update();
    }
    QWidget::changeEvent(e);
}
