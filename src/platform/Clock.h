#pragma once
// The clock that running timers count on. The real one is steady and also
// counts the time the machine spends suspended, so a timed event goes on
// while the machine sleeps. Tests hand in a clock they move by hand.
#include <QtGlobal>

class Clock {
public:
    virtual ~Clock() = default;
    // Nanoseconds since an arbitrary fixed point; never goes back.
    virtual qint64 nowNs() const = 0;

    // The process-wide real clock (CLOCK_BOOTTIME).
    static Clock& steady();
};

// A clock that stands still until it is moved.
class ManualClock : public Clock {
public:
    qint64 nowNs() const override { return m_now; }
    void advanceMs(qint64 ms) { m_now += ms * 1000000; }
    void advanceNs(qint64 ns) { m_now += ns; }

private:
    qint64 m_now = 1000000000000; // any start; not zero to catch offsets
};
