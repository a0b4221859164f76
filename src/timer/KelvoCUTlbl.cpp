#include "timer/KelvoCUTlbl.h"

#include <limits>

namespace {
constexpr qint64 kSecondNs = 1000000000;
}

tKelvoCUTlbl::tKelvoCUTlbl(QWidget* owner, Clock& clock) : AALabel(owner), m_clock(clock)
{
    ShowTime();
    FTimer.setTimerType(Qt::PreciseTimer);
    FTimer.setSingleShot(true);
    FTimer.setInterval(1000);
    FTimer.stop();
    connect(&FTimer, &QTimer::timeout, this, &tKelvoCUTlbl::TimerTick);
    FUsedSec = 0;
    FStatus = kelvoWait;
    SetFontColor(ToQColor(FStandColor));
}

tKelvoCUTlbl::~tKelvoCUTlbl()
{
    FTimer.stop();
}

QString tKelvoCUTlbl::FormatTime(qint32 seconds)
{
    const qint64 magnitude = seconds < 0 ? -qint64(seconds) : qint64(seconds);
    const qint64 s = magnitude % 60;
    const qint64 m = magnitude / 60;
    QString text = seconds < 0 ? QStringLiteral("-") : QString();
    text += QString::number(m) + (s >= 10 ? QStringLiteral(":") : QStringLiteral(":0")) + QString::number(s);
    return text;
}

void tKelvoCUTlbl::ShowTime()
{
    SetCaption(FormatTime(FUsedSec));
}

void tKelvoCUTlbl::rebase()
{
    m_baseNs = m_clock.nowNs();
    m_baseSec = FUsedSec;
}

void tKelvoCUTlbl::catchUp()
{
    if (FStatus != kelvoTiming)
        return;
    const qint64 elapsed = (m_clock.nowNs() - m_baseNs) / kSecondNs;
    const qint64 count = qint64(m_baseSec) + qMax<qint64>(elapsed, 0);
    FUsedSec = qint32(qMin<qint64>(count, std::numeric_limits<qint32>::max()));
}

void tKelvoCUTlbl::armForNextSecond()
{
    const qint64 intoSecond = ((m_clock.nowNs() - m_baseNs) % kSecondNs + kSecondNs) % kSecondNs;
    const qint64 leftNs = kSecondNs - intoSecond;
    FTimer.start(int((leftNs + 999999) / 1000000)); // round up: never show a second early
}

void tKelvoCUTlbl::TimerTick()
{
    if (FStatus != kelvoTiming)
        return;
    catchUp();
    ShowTime();
    armForNextSecond();
}

void tKelvoCUTlbl::Start()
{
    if (FStatus != kelvoWait)
        return;
    rebase();
    armForNextSecond();
    FStatus = kelvoTiming;
    SetFontColor(ToQColor(FTimingColor));
    DoStart();
}

void tKelvoCUTlbl::Stop()
{
    catchUp(); // the exact whole seconds at this moment, even if a tick is late
    ShowTime();
    FTimer.stop();
    SetFontColor(ToQColor(FStandColor));
    FStatus = kelvoStop;
}

void tKelvoCUTlbl::Reset()
{
    FTimer.stop(); // a waiting label never ticks
    FStatus = kelvoWait;
    FUsedSec = 0;
    SetCaption(QStringLiteral("0:00"));
    SetFontColor(ToQColor(FStandColor));
    DoReset();
}

void tKelvoCUTlbl::SetStandMin(qint32 v)
{
    if (v == FStandMin)
        return;
    FStandMin = v;
    ShowTime();
}

void tKelvoCUTlbl::SetStandSec(qint32 v)
{
    if (v == FStandSec)
        return;
    FStandSec = v;
    ShowTime();
}

void tKelvoCUTlbl::SetUsedSec(qint32 v)
{
    catchUp();
    if (v == FUsedSec)
        return;
    FUsedSec = v;
    ShowTime();
    if (FStatus == kelvoTiming) {
        rebase();
        armForNextSecond();
    }
}

void tKelvoCUTlbl::SetGroup(qint32 v)
{
    FGroup = v;
}

void tKelvoCUTlbl::SetStandColor(Colour c)
{
    FStandColor = c;
    if (FStatus == kelvoWait)
        SetFontColor(ToQColor(FStandColor));
}

void tKelvoCUTlbl::SetTimingColor(Colour c)
{
    FTimingColor = c;
}

void tKelvoCUTlbl::DoStart()
{
    if (OnStart) OnStart(this);
}

void tKelvoCUTlbl::DoPause()
{
    if (OnPause) OnPause(this);
}

void tKelvoCUTlbl::DoContinue()
{
    if (OnContinue) OnContinue(this);
}

void tKelvoCUTlbl::DoStop()
{
    if (OnStop) OnStop(this);
}

void tKelvoCUTlbl::DoReset()
{
    if (OnReset) OnReset(this);
}
