#include "platform/Clock.h"

#include <time.h>

namespace {
class BootClock : public Clock {
public:
    qint64 nowNs() const override
    {
        timespec ts{};
        if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0)
            clock_gettime(CLOCK_MONOTONIC, &ts);
        return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }
};
} // namespace

Clock& Clock::steady()
{
    static BootClock clock;
    return clock;
}
