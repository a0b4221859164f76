#include "BenchBoard.h"

#include "BaselineLabel.h"

#include "board/Unit1.h"
#include "platform/Colour.h"
#include "timer/KelvoCUTlbl.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <time.h>

namespace bench {

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void runFor(qint64 ms)
{
    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds(ms), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void spinUntil(qint64 untilNs)
{
    volatile quint64 sink = 0;
    while (nowNs() < untilNs)
        for (int i = 0; i < 1000; ++i)
            sink = sink + i;
}

bool waitExposed(QWidget* window, int timeoutMs)
{
    const qint64 deadline = nowNs() + qint64(timeoutMs) * 1000000;
    while (!(window->windowHandle() && window->windowHandle()->isExposed())) {
        if (nowNs() > deadline)
            return false;
        runFor(5);
    }
    runFor(50); // the first paint
    return true;
}

std::unique_ptr<Tfrm_main> makeBoard(const QString& iniPath)
{
    // The board's constructor shows the options dialog modally; confirm it
    // from inside that dialog's event loop as soon as it is up.
    QTimer confirm;
    confirm.setInterval(2);
    QObject::connect(&confirm, &QTimer::timeout, &confirm, [&confirm] {
        if (auto* dialog = qobject_cast<TForm2*>(QApplication::activeModalWidget()); dialog && dialog->isVisible()) {
            confirm.stop();
            dialog->btn1->click();
        }
    });
    confirm.start();
    auto board = std::make_unique<Tfrm_main>(iniPath);
    confirm.stop();
    board->ShowCentred();
    if (!waitExposed(board.get()))
        qWarning("bench: the board was not exposed");
    return board;
}

QList<tKelvoCUTlbl*> addTimerBoxes(Tfrm_main& board, int n, int first)
{
    QList<tKelvoCUTlbl*> labels;
    labels.reserve(n);
    for (int i = 0; i < n; ++i)
        labels << Tfrm_main::TimerLabelOf(board.AddGroupBox(first + i, QString::number(first + i)));
    return labels;
}

QList<BaselineLabel*> addBaselineBoxes(Tfrm_main& board, int n, int first)
{
    QList<BaselineLabel*> labels;
    labels.reserve(n);
    for (int i = 0; i < n; ++i) {
        Panel* box = board.AddGroupBox(first + i, QString::number(first + i));
        tKelvoCUTlbl* own = Tfrm_main::TimerLabelOf(box);
        auto* label = new BaselineLabel(box);
        label->SetAutoSize(false);
        label->setGeometry(own->geometry());
        label->SetEffectAlignment(own->EffectAlignment());
        label->SetEffectLayout(own->EffectLayout());
        label->setFont(own->font());
        label->SetColours(ToQColor(board.Colours.WaitColor), ToQColor(board.Colours.IngColor));
        own->hide();
        label->show();
        labels << label;
    }
    return labels;
}

int secondsOf(const QString& caption)
{
    const qsizetype colon = caption.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return 0;
    return caption.left(colon).toInt() * 60 + caption.mid(colon + 1).toInt();
}

qint64 peakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

qint64 processCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * kSecondNs + ts.tv_nsec;
}

void PaintRecorder::watch(AALabel* label, qint64 startNs)
{
    m_watched.insert(label, Watched{startNs, secondsOf(label->Caption())});
    label->installEventFilter(this);
}

bool PaintRecorder::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Paint)
        return false;
    const auto it = m_watched.find(watched);
    if (it == m_watched.end())
        return false;
    // Paint now, so that the time taken is when the new digits are drawn.
    watched->event(event);
    const qint64 paintedNs = nowNs();
    const int shown = secondsOf(static_cast<AALabel*>(watched)->Caption());
    if (shown != it->lastShown) {
        if (shown > it->lastShown + 1)
            skipped += shown - it->lastShown - 1;
        const double ms = double(paintedNs - (it->startNs + qint64(shown) * kSecondNs)) / 1e6;
        lateMs.push_back(ms);
        if (ms < 0)
            ++early;
        it->lastShown = shown;
    }
    return true;
}

} // namespace bench
