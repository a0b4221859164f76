#pragma once
// A label that draws its text with smoothed glyph edges. It is opaque: its
// whole area is filled with the colour of the container it sits in, then
// the text is drawn in the font and the font colour, placed left/top or
// centred with truncating offsets. With AutoSize on (the default) it fits
// itself to its text. It redraws on every change of text, font, font
// colour, background or size; Qt's backing store composes the picture off
// screen, so changing digits do not flicker.
#include <QColor>
#include <QString>
#include <QWidget>

class AALabel : public QWidget {
    Q_OBJECT
public:
    enum class Alignment { Left, Center };
    enum class Layout { Top, Center };

    explicit AALabel(QWidget* parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& text);

    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor& color);

    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool on);

    Alignment EffectAlignment() const { return m_alignment; }
    void SetEffectAlignment(Alignment a);
    Layout EffectLayout() const { return m_layout; }
    void SetEffectLayout(Layout l);

    // The colour the label fills itself with: its container's.
    QColor BackgroundColor() const;
    // Where the text's top-left corner lands, in label coordinates.
    QPoint TextOffset() const;
    QSize TextExtent() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* e) override;

private:
    void fit();

    QString m_caption;
    QColor m_fontColor = Qt::black;
    bool m_autoSize = true;
    Alignment m_alignment = Alignment::Left;
    Layout m_layout = Layout::Top;
};
