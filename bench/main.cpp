// bench_timer: how well the board's count-up label keeps time and what it
// costs, measured side by side with a label that counts timer ticks.
//
//   bench_timer            the full run (about three and a half minutes)
//   bench_timer --quick    the same measurements with short durations
//
// It runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
// Progress goes to stderr; the results table goes to stdout. The CPU and
// memory figures come from child processes of this same binary
// (bench_timer --child ...), one per case, so each has a process of its own.
#include "BaselineLabel.h"
#include "BenchBoard.h"

#include "board/Unit1.h"
#include "platform/Application.h"
#include "timer/KelvoCUTlbl.h"

#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <type_traits>

using namespace bench;

namespace {

const QString kTitle = QStringLiteral("Kelvo并发计时器");
constexpr int kBoardLabels = 24;
constexpr int kManyLabels = 1000;

struct Durations {
    int stallS = 60;  // counting under GUI stalls
    int lateS = 20;   // display lateness, per kind of label
    int costS = 60;   // CPU time, per case
    int floorS = 10;  // the event loop's own timer lateness
};

void progress(const QString& text)
{
    std::fprintf(stderr, "bench_timer: %s\n", qPrintable(text));
    std::fflush(stderr);
}

// Nearest-rank percentile of a sample, p in (0, 100].
double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return std::nan("");
    std::sort(v.begin(), v.end());
    const size_t rank = size_t(std::ceil(p / 100.0 * double(v.size())));
    return v[std::clamp<size_t>(rank, 1, v.size()) - 1];
}

double median(std::vector<double> v)
{
    if (v.empty())
        return std::nan("");
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

QString num(double v, int decimals)
{
    return std::isnan(v) ? QStringLiteral("n/a") : QString::number(v, 'f', decimals);
}

QString metOrMissed(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("missed");
}

template <class Label>
QList<Label*> addBoxes(Tfrm_main& board, int n)
{
    if constexpr (std::is_same_v<Label, tKelvoCUTlbl>)
        return addTimerBoxes(board, n);
    else
        return addBaselineBoxes(board, n);
}

// Stops a label; returns what it counted.
int stopAndCount(tKelvoCUTlbl* l)
{
    l->Stop();
    return l->UsedSec();
}

int stopAndCount(BaselineLabel* l)
{
    l->Stop();
    return l->Count();
}

// Lets the event loop run until the clock reads atNs.
void runUntil(qint64 atNs)
{
    const qint64 leftMs = (atNs - nowNs()) / 1000000;
    if (leftMs > 0)
        runFor(leftMs);
}

// When label i of n starts if the labels are started one after another over
// one second, as the groups of a real board start at different moments:
// (i + 1/2) / n s after t0. No two share a phase, and no label's second
// boundary ever coincides with a whole second after t0.
qint64 spreadStart(qint64 t0, int i, int n)
{
    return t0 + (2 * qint64(i) + 1) * kSecondNs / (2 * qint64(n));
}

// --- 1. counting while the GUI thread stalls ---------------------------------

struct CountErrors {
    int maxAbs = 0;
    double meanSigned = 0;
    double meanAbs = 0;
};

struct AccuracyResult {
    CountErrors ours, base;
    int stalls = 0;
    double stalledS = 0;
    double stopAtS = 0;
};

template <class Label>
CountErrors countErrors(const QList<Label*>& labels, const std::vector<qint64>& startNs)
{
    CountErrors e;
    double sum = 0, sumAbs = 0;
    for (int i = 0; i < labels.size(); ++i) {
        const qint64 at = nowNs();
        const int count = stopAndCount(labels[i]);
        const int truth = int((at - startNs[size_t(i)]) / kSecondNs);
        const int error = count - truth;
        e.maxAbs = std::max(e.maxAbs, std::abs(error));
        sum += error;
        sumAbs += std::abs(error);
    }
    e.meanSigned = sum / labels.size();
    e.meanAbs = sumAbs / labels.size();
    return e;
}

AccuracyResult measureAccuracy(const QTemporaryDir& dir, int seconds)
{
    constexpr qint64 kStallNs = 1500 * 1000000LL;
    constexpr qint64 kStallEveryNs = 5 * kSecondNs;
    constexpr qint64 kFirstStallNs = 2500 * 1000000LL; // mid-period, so stalls end clear of the stop

    auto oursBoard = makeBoard(dir.filePath(QStringLiteral("accuracy-ours.ini")));
    const QList<tKelvoCUTlbl*> ours = addTimerBoxes(*oursBoard, kBoardLabels);
    auto baseBoard = makeBoard(dir.filePath(QStringLiteral("accuracy-base.ini")));
    const QList<BaselineLabel*> base = addBaselineBoxes(*baseBoard, kBoardLabels);
    runFor(300);

    // The labels start spread over the first second, each of ours next to
    // a baseline label; the stalls then hit every phase of their seconds.
    std::vector<qint64> oursStart, baseStart;
    const qint64 t0 = nowNs();
    for (int i = 0; i < kBoardLabels; ++i) {
        runUntil(spreadStart(t0, i, kBoardLabels));
        oursStart.push_back(nowNs());
        ours[i]->Start();
        baseStart.push_back(nowNs());
        base[i]->Start();
    }

    AccuracyResult r;
    const qint64 endNs = t0 + qint64(seconds) * kSecondNs;
    // Stop one second later, when every label has counted about `seconds`
    // and none is near a second boundary (the nearest is 1/48 s away).
    const qint64 stopNs = endNs + kSecondNs;

    QTimer stall;
    stall.setTimerType(Qt::PreciseTimer);
    stall.setSingleShot(true);
    auto armStall = [&] {
        const qint64 at = t0 + kFirstStallNs + r.stalls * kStallEveryNs;
        if (at + kStallNs <= endNs)
            stall.start(int(std::max<qint64>(0, at - nowNs()) / 1000000));
    };
    QObject::connect(&stall, &QTimer::timeout, &stall, [&] {
        const qint64 begin = nowNs();
        spinUntil(begin + kStallNs);
        r.stalledS += double(nowNs() - begin) / 1e9;
        ++r.stalls;
        armStall();
    });
    armStall();

    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds((stopNs - nowNs()) / 1000000), Qt::PreciseTimer, &loop, [&] {
        r.stopAtS = double(nowNs() - t0) / 1e9;
        r.ours = countErrors(ours, oursStart);
        r.base = countErrors(base, baseStart);
        loop.quit();
    });
    loop.exec();
    return r;
}

// --- 2. display lateness -------------------------------------------------------

struct LatenessResult {
    double medianMs = 0, p99Ms = 0, maxMs = 0;
    size_t samples = 0;
    int early = 0, skipped = 0;
};

template <class Label>
LatenessResult measureLateness(const QTemporaryDir& dir, const QString& name, int seconds, bool spread)
{
    auto board = makeBoard(dir.filePath(name + QStringLiteral(".ini")));
    const QList<Label*> labels = addBoxes<Label>(*board, kBoardLabels);
    runFor(300);

    PaintRecorder recorder;
    const qint64 t0 = nowNs();
    for (int i = 0; i < labels.size(); ++i) {
        if (spread)
            runUntil(spreadStart(t0, i, int(labels.size())));
        recorder.watch(labels[i], nowNs());
        labels[i]->Start();
    }
    runFor(qint64(seconds) * 1000 + 500);
    for (Label* l : labels) {
        l->removeEventFilter(&recorder);
        stopAndCount(l);
    }

    LatenessResult r;
    r.samples = recorder.lateMs.size();
    r.medianMs = median(recorder.lateMs);
    r.p99Ms = percentile(recorder.lateMs, 99);
    r.maxMs = percentile(recorder.lateMs, 100);
    r.early = recorder.early;
    r.skipped = recorder.skipped;
    return r;
}

// How late the event loop alone delivers a precise timer armed, as the
// label arms its own, for the next whole second (rounded up to a whole
// millisecond): the part of the display lateness no label can avoid.
LatenessResult measureTimerFloor(int seconds)
{
    std::vector<double> lateMs;
    const qint64 base = nowNs();
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    auto arm = [&] {
        const qint64 left = kSecondNs - (nowNs() - base) % kSecondNs;
        timer.start(int((left + 999999) / 1000000));
    };
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] {
        const qint64 into = (nowNs() - base) % kSecondNs;
        lateMs.push_back(double(into < kSecondNs / 2 ? into : into - kSecondNs) / 1e6);
        arm();
    });
    arm();
    runFor(qint64(seconds) * 1000 + 500);
    LatenessResult r;
    r.samples = lateMs.size();
    r.medianMs = median(lateMs);
    r.p99Ms = percentile(lateMs, 99);
    r.maxMs = percentile(lateMs, 100);
    return r;
}

// --- 5. adding groups ------------------------------------------------------------

struct AddResult {
    double medianMs = 0, p99Ms = 0, maxMs = 0, totalS = 0;
};

AddResult measureAdding(const QTemporaryDir& dir, int groups)
{
    auto board = makeBoard(dir.filePath(QStringLiteral("adding.ini")));
    std::vector<double> ms;
    ms.reserve(size_t(groups));
    const qint64 t0 = nowNs();
    for (int g = 1; g <= groups; ++g) {
        const qint64 before = nowNs();
        board->AddGroupBox(g, QString::number(g));
        ms.push_back(double(nowNs() - before) / 1e6);
        // The board repaints between one addition and the next, as it does
        // when groups are added one by one.
        QCoreApplication::processEvents();
    }
    AddResult r;
    r.totalS = double(nowNs() - t0) / 1e9;
    r.medianMs = median(ms);
    r.p99Ms = percentile(ms, 99);
    r.maxMs = percentile(ms, 100);
    return r;
}

// --- child processes: 3. CPU time, 4. peak memory -------------------------------

void report(const QString& line)
{
    std::printf("RESULT %s\n", qPrintable(line));
    std::fflush(stdout);
}

template <class Label>
int costChild(int n, int seconds, bool spread)
{
    QTemporaryDir dir;
    auto board = makeBoard(dir.filePath(QStringLiteral("timer.ini")));
    const QList<Label*> labels = addBoxes<Label>(*board, n);
    runFor(500);
    const qint64 t0 = nowNs();
    for (int i = 0; i < n; ++i) {
        if (spread)
            runUntil(spreadStart(t0, i, n));
        labels[i]->Start();
    }
    runFor(2000); // past the first ticks and repaints
    const qint64 cpu0 = processCpuNs(), wall0 = nowNs();
    runFor(qint64(seconds) * 1000);
    const qint64 cpu = processCpuNs() - cpu0, wall = nowNs() - wall0;
    report(QStringLiteral("cpu_pct=%1 cpu_ms=%2 wall_ms=%3")
               .arg(100.0 * double(cpu) / double(wall), 0, 'f', 4)
               .arg(double(cpu) / 1e6, 0, 'f', 1)
               .arg(double(wall) / 1e6, 0, 'f', 1));
    return 0;
}

int memoryChild(const QString& what)
{
    QTemporaryDir dir;
    std::unique_ptr<QWidget> window;
    if (what == QLatin1String("board24")) {
        auto board = makeBoard(dir.filePath(QStringLiteral("timer.ini")));
        for (tKelvoCUTlbl* l : addTimerBoxes(*board, kBoardLabels))
            l->Start();
        window = std::move(board);
    } else {
        window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
        window->setFixedSize(Tfrm_main::ClientWidth, Tfrm_main::ClientHeight);
        window->show();
        waitExposed(window.get());
    }
    runFor(2500); // a couple of repaints of the running labels
    report(QStringLiteral("vmhwm_kb=%1").arg(peakRssKb()));
    return 0;
}

int runChild(const QStringList& args)
{
    if (args.size() >= 4 && args[0] == QLatin1String("cost")) {
        const int n = args[2].toInt(), seconds = args[3].toInt();
        const bool spread = args.size() < 5 || args[4] != QLatin1String("together");
        return args[1] == QLatin1String("ours") ? costChild<tKelvoCUTlbl>(n, seconds, spread)
                                                : costChild<BaselineLabel>(n, seconds, spread);
    }
    if (args.size() >= 2 && args[0] == QLatin1String("mem"))
        return memoryChild(args[1]);
    std::fprintf(stderr, "bench_timer: unknown child mode\n");
    return 2;
}

// Runs children of this binary at the same time; returns each one's
// RESULT values by key ("" when a child failed).
QList<QHash<QString, QString>> runChildren(const QList<QStringList>& argLists, int timeoutS)
{
    QList<QProcess*> procs;
    for (const QStringList& args : argLists) {
        auto* p = new QProcess;
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--child")} + args);
        procs << p;
    }
    QList<QHash<QString, QString>> results;
    for (QProcess* p : procs) {
        QHash<QString, QString> values;
        if (p->waitForFinished(timeoutS * 1000) && p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0) {
            for (const QByteArray& line : p->readAllStandardOutput().split('\n')) {
                if (!line.startsWith("RESULT "))
                    continue;
                for (const QByteArray& pair : line.mid(7).split(' ')) {
                    const qsizetype eq = pair.indexOf('=');
                    if (eq > 0)
                        values.insert(QString::fromLatin1(pair.left(eq)), QString::fromLatin1(pair.mid(eq + 1)));
                }
            }
        } else {
            p->kill();
            p->waitForFinished(2000);
            progress(QStringLiteral("a child failed: %1").arg(p->arguments().join(QLatin1Char(' '))));
        }
        results << values;
        delete p;
    }
    return results;
}

double valueOf(const QHash<QString, QString>& values, const QString& key)
{
    bool ok = false;
    const double v = values.value(key).toDouble(&ok);
    return ok ? v : std::nan("");
}

// --- the table ------------------------------------------------------------------

void printTable(const QList<QStringList>& rows)
{
    QList<int> widths(rows.first().size(), 0);
    for (const QStringList& row : rows)
        for (int c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], int(row[c].size()));
    auto line = [&](const QStringList& row) {
        QString s = QStringLiteral("|");
        for (int c = 0; c < row.size(); ++c)
            s += QLatin1Char(' ') + row[c].leftJustified(widths[c]) + QStringLiteral(" |");
        std::printf("%s\n", s.toUtf8().constData());
    };
    line(rows.first());
    QStringList rule;
    for (int w : widths)
        rule << QString(w, QLatin1Char('-'));
    line(rule);
    for (int i = 1; i < rows.size(); ++i)
        line(rows[i]);
}

QtMessageHandler g_qtMessages = nullptr;

// Drops the offscreen platform's notes that say nothing about the results.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("does not support raise()"))
        || message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (g_qtMessages)
        g_qtMessages(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

void usage()
{
    std::fprintf(stderr, "usage: bench_timer [--quick]\n"
                         "  --quick   short durations, for a smoke run\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_qtMessages = qInstallMessageHandler(quietMessages);

    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    SetupApplication(app, kTitle);

    QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args.first() == QLatin1String("--child"))
        return runChild(args.mid(1));

    Durations d;
    bool quick = false;
    for (const QString& a : args) {
        if (a == QLatin1String("--quick")) {
            quick = true;
            d = Durations{10, 5, 10, 3};
        } else {
            usage();
            return a == QLatin1String("--help") || a == QLatin1String("-h") ? 0 : 2;
        }
    }

    QTemporaryDir dir;
    const qint64 runStart = nowNs();

    progress(QStringLiteral("1/5 counting for %1 s, GUI thread stalled 1.5 s every 5 s (%2 + %2 labels)")
                 .arg(d.stallS)
                 .arg(kBoardLabels));
    const AccuracyResult acc = measureAccuracy(dir, d.stallS);

    progress(QStringLiteral("2/5 display lateness, %1 s per case, then %2 s of a bare timer")
                 .arg(d.lateS)
                 .arg(d.floorS));
    const LatenessResult lateOurs =
        measureLateness<tKelvoCUTlbl>(dir, QStringLiteral("late-ours"), d.lateS, false);
    const LatenessResult lateBase =
        measureLateness<BaselineLabel>(dir, QStringLiteral("late-base"), d.lateS, false);
    const LatenessResult lateOursSpread =
        measureLateness<tKelvoCUTlbl>(dir, QStringLiteral("late-ours-spread"), d.lateS, true);
    const LatenessResult timerFloor = measureTimerFloor(d.floorS);

    // Each case in a process of its own, all at once: every one of them
    // keeps a core busy for well under a tenth of the time.
    progress(QStringLiteral("3/5 CPU time over %1 s, eight child processes at once").arg(d.costS));
    const QString costS = QString::number(d.costS);
    QList<QStringList> costCases;
    for (const char* kind : {"ours", "base"})
        for (const int n : {kBoardLabels, kManyLabels})
            for (const char* start : {"together", "spread"})
                costCases << QStringList{"cost", kind, QString::number(n), costS, start};
    const auto cost = runChildren(costCases, d.costS + 120);
    auto cpuOf = [&](bool ours, int n, bool spread) {
        const qsizetype i = (ours ? 0 : 4) + (n == kBoardLabels ? 0 : 2) + (spread ? 1 : 0);
        return valueOf(cost[i], "cpu_pct");
    };

    progress(QStringLiteral("4/5 peak memory: board with 24 boxes, bare window"));
    const auto memBoard = runChildren({{"mem", "board24"}}, 60);
    const auto memBare = runChildren({{"mem", "bare"}}, 60);

    progress(QStringLiteral("5/5 adding %1 groups").arg(kManyLabels));
    const AddResult add = measureAdding(dir, kManyLabels);

    // ---- results
    const double rssBoard = valueOf(memBoard[0], "vmhwm_kb") / 1024, rssBare = valueOf(memBare[0], "vmhwm_kb") / 1024;
    const double rssRatio = rssBoard / rssBare;
    auto pct = [](double v) { return num(v, 3) + QStringLiteral(" %"); };
    auto ms = [](double v) { return num(v, 3) + QStringLiteral(" ms"); };
    auto signedS = [](double v, int decimals) {
        return (v > 0 ? QStringLiteral("+") : QString()) + num(v, decimals) + QStringLiteral(" s");
    };

    const QString stallRow =
        QStringLiteral("Count error after %1 s, GUI stalled 1.5 s every 5 s, 24 labels").arg(d.stallS);
    const QString lateRow = QStringLiteral("Display lateness, 24 labels, %1 s").arg(d.lateS);
    const QString together = QStringLiteral("started together");
    const QString spread = QStringLiteral("started spread over 1 s");

    QList<QStringList> rows{
        {"Measure", "Ours (tKelvoCUTlbl)", "Baseline (counts 1 s QTimer ticks)", "Goal (ours)", "Ours vs goal"},
        {stallRow + ": max abs error", num(acc.ours.maxAbs, 0) + " s", num(acc.base.maxAbs, 0) + " s", "0 s",
         metOrMissed(acc.ours.maxAbs == 0)},
        {stallRow + ": mean error", signedS(acc.ours.meanSigned, 2), signedS(acc.base.meanSigned, 2), "0 s",
         metOrMissed(acc.ours.meanAbs == 0)},
        {lateRow + ", " + together + ": median", ms(lateOurs.medianMs), ms(lateBase.medianMs), "<= 3 ms",
         metOrMissed(lateOurs.medianMs <= 3)},
        {lateRow + ", " + together + ": p99", ms(lateOurs.p99Ms), ms(lateBase.p99Ms), "<= 10 ms",
         metOrMissed(lateOurs.p99Ms <= 10)},
        {lateRow + ", " + spread + ": median", ms(lateOursSpread.medianMs), "-", "<= 3 ms",
         metOrMissed(lateOursSpread.medianMs <= 3)},
        {lateRow + ", " + spread + ": p99", ms(lateOursSpread.p99Ms), "-", "<= 10 ms",
         metOrMissed(lateOursSpread.p99Ms <= 10)},
        {lateRow + ": seconds shown early / changes painted",
         QStringLiteral("%1 / %2").arg(lateOurs.early + lateOursSpread.early).arg(lateOurs.samples + lateOursSpread.samples),
         QStringLiteral("%1 / %2").arg(lateBase.early).arg(lateBase.samples), "0 early",
         metOrMissed(lateOurs.early + lateOursSpread.early == 0)},
        {QStringLiteral("Event loop alone, %1 s: precise QTimer for each next second, wake-up lateness median / p99")
             .arg(d.floorS),
         ms(timerFloor.medianMs) + " / " + ms(timerFloor.p99Ms), "-", "-", "info"},
    };
    for (const int n : {kBoardLabels, kManyLabels})
        for (const bool spreadStarts : {false, true}) {
            const double goal = n == kBoardLabels ? 0.2 : 3;
            const double ours = cpuOf(true, n, spreadStarts);
            rows << QStringList{QStringLiteral("CPU, %1 running labels, %2, over %3 s")
                                    .arg(n == kBoardLabels ? QStringLiteral("24") : QStringLiteral("1,000"),
                                         spreadStarts ? spread : together, costS),
                                pct(ours), pct(cpuOf(false, n, spreadStarts)),
                                QStringLiteral("<= %1 % of one core").arg(goal), metOrMissed(ours <= goal)};
        }
    rows << QStringList{"Peak RSS, board with 24 boxes / bare 1372x729 window",
                        QStringLiteral("%1 / %2 MB = %3 x").arg(num(rssBoard, 1), num(rssBare, 1), num(rssRatio, 2)),
                        "-", "<= 1.3 x", metOrMissed(rssRatio <= 1.3)}
         << QStringList{"AddGroupBox, 1,000 groups: median per group", ms(add.medianMs), "-", "<= 1 ms",
                        metOrMissed(add.medianMs <= 1)}
         << QStringList{"AddGroupBox, 1,000 groups: p99 per group", ms(add.p99Ms), "-", "-", "info"};

    std::printf("bench_timer%s, platform %s, %d cores\n\n", quick ? " --quick" : "",
                qPrintable(QGuiApplication::platformName()), QThread::idealThreadCount());
    printTable(rows);
    std::printf("\n");
    std::printf("Started together: all labels start within a millisecond, so their seconds change at once. Started "
                "spread: label i of n starts (i + 1/2)/n s after the first, as groups started by hand do.\n");
    std::printf("Stalls: %d of 1.5 s (%.1f s of GUI time lost); labels (started spread) stopped %.2f s after the "
                "first start.\n",
                acc.stalls, acc.stalledS, acc.stopAtS);
    std::printf("Lateness is from the second's true start (label start + seconds shown) to the end of the paint; "
                "negative: shown early. Max %s ours together, %s ours spread, %s baseline; seconds never painted: "
                "%d ours, %d baseline.\n",
                qPrintable(ms(lateOurs.maxMs)), qPrintable(ms(lateOursSpread.maxMs)), qPrintable(ms(lateBase.maxMs)),
                lateOurs.skipped + lateOursSpread.skipped, lateBase.skipped);
    std::printf("Adding 1,000 groups: max %s per group, %.2f s in all with the repaints in between.\n",
                qPrintable(ms(add.maxMs)), add.totalS);
    std::printf("Run took %.0f s.\n", double(nowNs() - runStart) / 1e9);
    return 0;
}
