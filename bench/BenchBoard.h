#pragma once
// What the measurements share: the real steady clock, ways to let the event
// loop run or to keep the GUI thread busy, boards built as the program
// builds them, and a recorder of the moments labels repaint new digits.
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class AALabel;
class BaselineLabel;
class QWidget;
class Tfrm_main;
class tKelvoCUTlbl;

namespace bench {

constexpr qint64 kSecondNs = 1000000000;

// CLOCK_MONOTONIC, in nanoseconds.
qint64 nowNs();

// Lets the event loop run for ms milliseconds.
void runFor(qint64 ms);

// Keeps the GUI thread busy (no events handled) until the clock reads untilNs.
void spinUntil(qint64 untilNs);

bool waitExposed(QWidget* window, int timeoutMs = 5000);

// A board on the settings file iniPath, its options dialog confirmed as it
// stands, shown in the middle of the screen and exposed.
std::unique_ptr<Tfrm_main> makeBoard(const QString& iniPath);

// Adds n group boxes (groups first, first + 1, ...) and returns their timer labels.
QList<tKelvoCUTlbl*> addTimerBoxes(Tfrm_main& board, int n, int first = 1);

// Adds n group boxes and puts a baseline label in the place of each box's
// own timer label (which is hidden and never started): same geometry,
// font, placement and colours.
QList<BaselineLabel*> addBaselineBoxes(Tfrm_main& board, int n, int first = 1);

// Reads m:ss back into seconds.
int secondsOf(const QString& caption);

// Peak resident set size of this process (VmHWM), in kB.
qint64 peakRssKb();

// CPU time of this process, all threads, in nanoseconds.
qint64 processCpuNs();

// Watches labels' paint events. Each time a label paints a caption it had
// not painted before, the delay from the true moment of that second
// (the label's start plus the seconds shown) to the end of the paint is
// recorded. Negative delays mean the second was shown early.
class PaintRecorder : public QObject {
public:
    void watch(AALabel* label, qint64 startNs);

    std::vector<double> lateMs;
    int early = 0;   // changes painted before their second began
    int skipped = 0; // seconds that were never painted

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Watched {
        qint64 startNs = 0;
        int lastShown = 0;
    };
    QHash<QObject*, Watched> m_watched;
};

} // namespace bench
