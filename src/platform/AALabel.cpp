#include "platform/AALabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

namespace {
// Text made only of these characters is laid out one glyph after another,
// left to right, with no glyph depending on the ones after it.
bool isClockText(const QString& s)
{
    for (const QChar c : s)
        if (!((c >= u'0' && c <= u'9') || c == u':' || c == u'-'))
            return false;
    return !s.isEmpty();
}

// True when the widget is shown and some of it lies inside its window.
bool insideWindow(const QWidget& w)
{
    if (!w.isVisible())
        return false;
    QRect r = w.rect();
    for (const QWidget* p = &w; !p->isWindow() && p->parentWidget(); p = p->parentWidget()) {
        r.translate(p->pos());
        r &= p->parentWidget()->rect();
        if (r.isEmpty())
            return false;
    }
    return true;
}

// The part of a label whose pixels can differ between showing before and
// showing its caption now, at the same size. When both are clock text of
// the same length and width, both are drawn from the same place and only
// the ink of what follows their common beginning changes; repainting just
// that is much cheaper with large fonts, whose glyphs are filled as
// outlines clipped to the repainted part. Otherwise the whole label.
QRect changedArea(const AALabel& label, const QString& before)
{
    const QString after = label.Caption();
    const QRect all = label.rect();
    if (before.size() != after.size() || !isClockText(before) || !isClockText(after))
        return all;
    const QFontMetrics fm(label.font());
    const int width = fm.horizontalAdvance(after);
    if (fm.horizontalAdvance(before) != width)
        return all;
    qsizetype common = 0;
    while (before[common] == after[common]) // equal length, and they differ
        ++common;
    const QPoint at = label.TextOffset();
    const int baseline = at.y() + fm.ascent();
    QRect ink;
    for (const QString& text : {before, after}) {
        const QString tail = text.mid(common);
        // Where the tail starts in the whole text, kerning with the
        // character before it included; boundingRect covers at least every
        // pixel the tail draws.
        const int start = width - fm.horizontalAdvance(tail);
        ink |= fm.boundingRect(tail).translated(at.x() + start, baseline);
    }
    constexpr int margin = 2; // rounding of glyph positions and smoothed edges
    return ink.adjusted(-margin, -margin, margin, margin) & all;
}
} // namespace

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
    const QString before = m_caption;
    const QSize sizeBefore = size();
    m_caption = text;
    fit();
    if (size() != sizeBefore)
        update();
    else if (insideWindow(*this))
        update(changedArea(*this, before));
    // Otherwise none of it is in its window, so nothing is repainted; once
    // it is moved into view, Qt paints it afresh.
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
