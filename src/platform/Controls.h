#pragma once
// Plain controls that carry a number of their own (Tag), as the group boxes
// and their buttons do.
#include <QFrame>
#include <QPushButton>

// A panel: a filled area in its own background colour with a raised bevel
// one pixel wide along its edge. Children are clipped at its edge.
class Panel : public QFrame {
    Q_OBJECT
public:
    explicit Panel(QWidget* parent = nullptr);

    qint32 Tag = 0;

    QColor Color() const;
    void SetColor(const QColor& c);

protected:
    void paintEvent(QPaintEvent*) override;
};

class TagButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;
    qint32 Tag = 0;
};
