#pragma once
// The label the benchmark compares against: a stopwatch that counts the
// ticks of a plain one-second QTimer (default, coarse timer type). Each tick
// adds one to the count and shows it as m:ss. It keeps no clock of its own,
// so every tick the event loop misses or delivers late is lost or shown late.
#include "platform/AALabel.h"

#include <QTimer>

class BaselineLabel : public AALabel {
    Q_OBJECT
public:
    explicit BaselineLabel(QWidget* parent = nullptr);

    void Start();
    void Stop();
    int Count() const { return m_count; }

    // Text colour while stopped and while counting.
    void SetColours(const QColor& stand, const QColor& timing);

private:
    void tick();

    QTimer m_timer;
    int m_count = 0;
    QColor m_stand = Qt::black;
    QColor m_timing = Qt::black;
};
