#pragma once
// A thin line that paints a gradient from Color to HighlightColor along its
// length; a solid band covering exactly its bounds when the two are equal.
#include <QColor>
#include <QWidget>

class Separator : public QWidget {
    Q_OBJECT
public:
    explicit Separator(QWidget* parent = nullptr);

    QColor Color() const { return m_color; }
    void SetColor(const QColor& c);
    QColor HighlightColor() const { return m_highlight; }
    void SetHighlightColor(const QColor& c);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor m_color = QColor(0x80, 0x80, 0x80);
    QColor m_highlight = Qt::white;
};
