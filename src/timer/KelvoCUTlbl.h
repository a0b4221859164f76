#pragma once
// A count-up timer label: once started it counts whole seconds upward and
// shows them as m:ss in smoothed digits, in one colour while counting
// (TimingColor) and another while waiting or stopped (StandColor).
//
// The count is taken from a steady clock, not from the number of timer
// ticks: while counting, UsedSec is the count when counting began (Start,
// or the last time UsedSec was set) plus the whole seconds elapsed since.
// A busy GUI thread or a suspended machine never makes it fall behind. The
// label's timer only refreshes the display: it is armed for the next whole
// second, so the shown time changes within milliseconds of each second.
#include "platform/AALabel.h"
#include "platform/Clock.h"
#include "platform/Colour.h"

#include <QTimer>

#include <functional>

enum tKelvoTimerStatus : quint8 {
    kelvoWait = 0,   // idle; Start is accepted only here
    kelvoTiming = 1, // counting
    kelvoPause = 2,  // declared; never entered
    kelvoStop = 3,   // stopped; Start is refused until Reset
};

using NotifyEvent = std::function<void(QObject* sender)>;

class tKelvoCUTlbl : public AALabel {
    Q_OBJECT
public:
    explicit tKelvoCUTlbl(QWidget* owner = nullptr, Clock& clock = Clock::steady());
    ~tKelvoCUTlbl() override;

    void Start();
    void Stop();
    void Reset();

    qint32 StandMin() const { return FStandMin; }
    void SetStandMin(qint32 v);
    qint32 StandSec() const { return FStandSec; }
    void SetStandSec(qint32 v);
    qint32 UsedSec() const { return FUsedSec; }
    void SetUsedSec(qint32 v);
    qint32 Group() const { return FGroup; }
    void SetGroup(qint32 v);
    Colour StandColor() const { return FStandColor; }
    void SetStandColor(Colour c);
    Colour TimingColor() const { return FTimingColor; }
    void SetTimingColor(Colour c);
    tKelvoTimerStatus Status() const { return FStatus; }

    NotifyEvent OnStart, OnStop, OnPause, OnContinue, OnReset;

    // The display timer (exposed so that tests can see it armed or off).
    const QTimer& Timer() const { return FTimer; }

    // The m:ss text of a count ("-" and the magnitude's m:ss when negative).
    static QString FormatTime(qint32 seconds);

public slots:
    // The timer's tick: brings the count up to the clock, shows it, and
    // arms the timer for the next whole second.
    void TimerTick();

protected:
    virtual void DoStart();
    virtual void DoPause();
    virtual void DoContinue();
    virtual void DoStop();
    virtual void DoReset();

private:
    void ShowTime();
    void catchUp();         // UsedSec from the clock while counting
    void rebase();          // counting goes on from UsedSec as of now
    void armForNextSecond();

    QTimer FTimer;
    qint32 FStandMin = 2;
    qint32 FStandSec = 0;
    qint32 FUsedSec = 0;
    qint32 FGroup = 0;
    Colour FStandColor = 0;
    Colour FTimingColor = 0;
    tKelvoTimerStatus FStatus = kelvoWait;

    Clock& m_clock;
    qint64 m_baseNs = 0;    // clock reading when counting (re)began
    qint32 m_baseSec = 0;   // UsedSec at that moment
};
