#include "support/TestSupport.h"

#include "platform/Controls.h"
#include "timer/KelvoCUTlbl.h"

using namespace support;

namespace {
constexpr Colour kWait = 0x0000FF;   // red
constexpr Colour kTiming = 0x00FF00; // bright green

// A label in a box, coloured as the board colours it, on a clock the test moves.
struct Fixture {
    ManualClock clock;
    Panel box;
    tKelvoCUTlbl* label;
    int started = 0, reset = 0, others = 0;
    tKelvoTimerStatus seenStatus = kelvoPause;
    QColor seenColour;
    QString seenText;
    qint32 seenCount = -1;

    Fixture()
    {
        box.resize(226, 180);
        box.SetColor(QColor(0xC0, 0xC0, 0xC0));
        label = new tKelvoCUTlbl(&box, clock);
        label->SetAutoSize(false);
        label->setGeometry(1, 1, 224, 120);
        label->setFont(PixelFont("微软雅黑", 72));
        label->SetEffectAlignment(AALabel::Alignment::Center);
        label->SetEffectLayout(AALabel::Layout::Center);
        label->SetStandColor(kWait);
        label->SetTimingColor(kTiming);
        auto record = [this](QObject* sender) {
            QCOMPARE(sender, static_cast<QObject*>(label));
            seenStatus = label->Status();
            seenColour = label->FontColor();
            seenText = label->Caption();
            seenCount = label->UsedSec();
        };
        label->OnStart = [=, this](QObject* s) { ++started; record(s); };
        label->OnReset = [=, this](QObject* s) { ++reset; record(s); };
        label->OnStop = label->OnPause = label->OnContinue = [this](QObject*) { ++others; };
    }

    // Time passes; the display timer fires once at the end, however late.
    void pass(qint64 ms, bool tick = true)
    {
        clock.advanceMs(ms);
        if (tick && label->Timer().isActive())
            label->TimerTick();
    }

    void bringTo(tKelvoTimerStatus s)
    {
        if (s == kelvoTiming || s == kelvoStop)
            label->Start();
        pass(3000);
        if (s == kelvoStop)
            label->Stop();
        started = reset = 0;
    }
};
} // namespace

Q_DECLARE_METATYPE(tKelvoTimerStatus)

class TimerLabelTest : public QObject {
    Q_OBJECT
private slots:
    void newLabel()
    {
        ManualClock clock;
        tKelvoCUTlbl label(nullptr, clock);
        QCOMPARE(label.Caption(), QString("0:00"));
        QCOMPARE(label.FontColor(), QColor(Qt::black));
        QCOMPARE(label.Status(), kelvoWait);
        QCOMPARE(label.StandMin(), 2);
        QCOMPARE(label.StandSec(), 0);
        QCOMPARE(label.UsedSec(), 0);
        QCOMPARE(label.Group(), 0);
        QVERIFY(!label.Timer().isActive());
        QVERIFY(label.AutoSize());
    }

    void format_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        const std::pair<int, const char*> rows[] = {
            {0, "0:00"},     {9, "0:09"},     {10, "0:10"},     {59, "0:59"},  {60, "1:00"},
            {61, "1:01"},    {599, "9:59"},   {600, "10:00"},   {725, "12:05"}, {3599, "59:59"},
            {3600, "60:00"}, {4503, "75:03"}, {6000, "100:00"}, {-1, "-0:01"}, {-125, "-2:05"},
            {2147483647, "35791394:07"},      {int(0x80000000u), "-35791394:08"},
        };
        for (auto [s, t] : rows)
            QTest::newRow(t) << s << QString(t);
    }
    void format()
    {
        QFETCH(int, seconds);
        QFETCH(QString, text);
        Fixture f;
        f.label->SetUsedSec(seconds);
        QCOMPARE(f.label->Caption(), text);
        QCOMPARE(tKelvoCUTlbl::FormatTime(seconds), text);
    }

    void transitions_data()
    {
        QTest::addColumn<tKelvoTimerStatus>("from");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<tKelvoTimerStatus>("to");
        QTest::addColumn<bool>("timerOn");
        QTest::addColumn<Colour>("colour");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("startFired");
        QTest::addColumn<int>("resetFired");
        QTest::newRow("wait start") << kelvoWait << "Start" << kelvoTiming << true << kTiming << "0:00" << 1 << 0;
        QTest::newRow("wait stop") << kelvoWait << "Stop" << kelvoStop << false << kWait << "0:00" << 0 << 0;
        QTest::newRow("wait reset") << kelvoWait << "Reset" << kelvoWait << false << kWait << "0:00" << 0 << 1;
        QTest::newRow("timing start") << kelvoTiming << "Start" << kelvoTiming << true << kTiming << "0:03" << 0 << 0;
        QTest::newRow("timing stop") << kelvoTiming << "Stop" << kelvoStop << false << kWait << "0:03" << 0 << 0;
        QTest::newRow("timing reset") << kelvoTiming << "Reset" << kelvoWait << false << kWait << "0:00" << 0 << 1;
        QTest::newRow("stop start") << kelvoStop << "Start" << kelvoStop << false << kWait << "0:03" << 0 << 0;
        QTest::newRow("stop stop") << kelvoStop << "Stop" << kelvoStop << false << kWait << "0:03" << 0 << 0;
        QTest::newRow("stop reset") << kelvoStop << "Reset" << kelvoWait << false << kWait << "0:00" << 0 << 1;
    }
    void transitions()
    {
        QFETCH(tKelvoTimerStatus, from);
        QFETCH(QString, operation);
        QFETCH(tKelvoTimerStatus, to);
        QFETCH(bool, timerOn);
        QFETCH(Colour, colour);
        QFETCH(QString, text);
        QFETCH(int, startFired);
        QFETCH(int, resetFired);
        Fixture f;
        f.bringTo(from);
        if (operation == "Start") f.label->Start();
        if (operation == "Stop") f.label->Stop();
        if (operation == "Reset") f.label->Reset();
        QCOMPARE(f.label->Status(), to);
        QCOMPARE(f.label->Timer().isActive(), timerOn);
        QCOMPARE(f.label->FontColor(), ToQColor(colour));
        QCOMPARE(f.label->Caption(), text);
        QCOMPARE(f.started, startFired);
        QCOMPARE(f.reset, resetFired);
        QCOMPARE(f.others, 0);
        // Afterwards the count moves only while counting.
        f.clock.advanceMs(2000);
        if (f.label->Timer().isActive())
            f.label->TimerTick();
        QCOMPARE(f.label->Caption() != text, to == kelvoTiming);
    }

    void handlersSeeTheNewState()
    {
        Fixture f;
        f.label->Start();
        QCOMPARE(f.started, 1);
        QCOMPARE(f.seenStatus, kelvoTiming);
        QCOMPARE(f.seenColour, ToQColor(kTiming));
        f.pass(5000);
        f.label->Stop();
        f.label->Reset();
        QCOMPARE(f.reset, 1);
        QCOMPARE(f.seenStatus, kelvoWait);
        QCOMPARE(f.seenColour, ToQColor(kWait));
        QCOMPARE(f.seenText, QString("0:00"));
        QCOMPARE(f.seenCount, 0);
        QCOMPARE(f.others, 0); // no pause, continue or stop notifications
    }

    void countsWholeSecondsFromStart()
    {
        Fixture f;
        f.label->Start();
        f.pass(999);
        QCOMPARE(f.label->Caption(), QString("0:00"));
        f.pass(1);
        QCOMPARE(f.label->Caption(), QString("0:01"));
        QCOMPARE(f.label->UsedSec(), 1);
        f.pass(58000);
        QCOMPARE(f.label->Caption(), QString("0:59"));
        f.pass(1000);
        QCOMPARE(f.label->Caption(), QString("1:00"));
    }

    void startGoesOnFromTheCurrentCount()
    {
        Fixture f;
        f.label->SetUsedSec(125);
        QCOMPARE(f.label->Caption(), QString("2:05"));
        f.label->Start();
        f.pass(1000);
        QCOMPARE(f.label->Caption(), QString("2:06"));
    }

    void aStalledThreadLosesNoTime()
    {
        Fixture f;
        f.label->Start();
        f.pass(1000);
        // 7.3 s pass with the thread busy: one late tick shows the right time at once
        f.pass(7300);
        QCOMPARE(f.label->Caption(), QString("0:08"));
        for (int i = 0; i < 10; ++i) f.pass(1500); // more stalls, each longer than a second
        QCOMPARE(f.label->UsedSec(), 23);
    }

    void stopRecordsTheExactSecondEvenWhenATickIsLate()
    {
        Fixture f;
        f.label->Start();
        f.pass(4000);
        f.pass(2100, /*tick=*/false); // the tick due at 5 s and 6 s has not come
        f.label->Stop();
        QCOMPARE(f.label->UsedSec(), 6);
        QCOMPARE(f.label->Caption(), QString("0:06"));
        f.clock.advanceMs(5000);
        QVERIFY(!f.label->Timer().isActive());
        QCOMPARE(f.label->Caption(), QString("0:06"));
    }

    void timerIsArmedForTheNextWholeSecond()
    {
        Fixture f;
        f.label->Start();
        QCOMPARE(f.label->Timer().timerType(), Qt::PreciseTimer);
        QCOMPARE(f.label->Timer().interval(), 1000);
        f.pass(1004); // 4 ms late
        QCOMPARE(f.label->Timer().interval(), 996);
        f.pass(200); // early: re-armed for what is left
        QCOMPARE(f.label->Caption(), QString("0:01"));
        QCOMPARE(f.label->Timer().interval(), 796);
        f.clock.advanceNs(796 * 1000000 - 300000); // 0.3 ms short of the second
        f.label->TimerTick();
        QCOMPARE(f.label->Caption(), QString("0:01"));
        QCOMPARE(f.label->Timer().interval(), 1); // never shows a second early
    }

    void settingUsedSec_data()
    {
        QTest::addColumn<tKelvoTimerStatus>("state");
        QTest::newRow("waiting") << kelvoWait;
        QTest::newRow("counting") << kelvoTiming;
        QTest::newRow("stopped") << kelvoStop;
    }
    void settingUsedSec()
    {
        QFETCH(tKelvoTimerStatus, state);
        Fixture f;
        f.bringTo(state);
        f.pass(500);
        const bool timerWasOn = f.label->Timer().isActive();
        const QColor colour = f.label->FontColor();
        f.label->SetUsedSec(f.label->UsedSec()); // the same value: nothing
        QCOMPARE(f.label->Caption(), state == kelvoWait ? QString("0:00") : QString("0:03"));
        f.label->SetUsedSec(100);
        QCOMPARE(f.label->Caption(), QString("1:40"));
        QCOMPARE(f.label->Status(), state);
        QCOMPARE(f.label->Timer().isActive(), timerWasOn);
        QCOMPARE(f.label->FontColor(), colour);
        f.pass(1000);
        QCOMPARE(f.label->Caption(), state == kelvoTiming ? QString("1:41") : QString("1:40"));
    }

    void colourSetters()
    {
        Fixture f;
        f.label->SetStandColor(0x123456); // waiting: at once
        QCOMPARE(f.label->FontColor(), ToQColor(0x123456));
        f.label->SetTimingColor(0xAA0000); // before Start: taken by Start
        f.label->Start();
        QCOMPARE(f.label->FontColor(), ToQColor(0xAA0000));
        f.label->SetTimingColor(0x00AA00); // counting: the text keeps its colour
        f.label->SetStandColor(0x0000AA);  // counting: stored only
        QCOMPARE(f.label->FontColor(), ToQColor(0xAA0000));
        f.label->Stop();
        QCOMPARE(f.label->FontColor(), ToQColor(0x0000AA));
        f.label->SetStandColor(0x00BB00); // stopped: stored, Reset applies it
        QCOMPARE(f.label->FontColor(), ToQColor(0x0000AA));
        f.label->Reset();
        QCOMPARE(f.label->FontColor(), ToQColor(0x00BB00));
    }

    void groupAndStandardTimeAreNotShown()
    {
        Fixture f;
        f.label->SetGroup(42);
        f.label->SetStandMin(5);
        f.label->SetStandSec(30);
        QCOMPARE(f.label->Group(), 42);
        QCOMPARE(f.label->StandMin(), 5);
        QCOMPARE(f.label->Caption(), QString("0:00"));
        QCOMPARE(f.label->Status(), kelvoWait);
    }

    void drawnOpaqueAndCentredInTheBoxColour()
    {
        Fixture f;
        f.label->SetUsedSec(725);
        f.box.show();
        const QImage img = f.label->grab().toImage();
        QCOMPARE(img.size(), QSize(224, 120));
        const QColor back(0xC0, 0xC0, 0xC0), text = ToQColor(kWait);
        QRect ink;
        bool solid = false;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QColor c = img.pixelColor(x, y);
                if (c != back) ink |= QRect(x, y, 1, 1);
                solid = solid || c == text;
            }
        QVERIFY2(solid, "the digits are drawn opaque in the font colour");
        QCOMPARE(img.pixelColor(0, 0), back);
        QCOMPARE(img.pixelColor(223, 119), back);
        // centred: the digits' ink sits about equally far from both sides
        QVERIFY(qAbs(ink.left() - (223 - ink.right())) <= 4);
        QVERIFY(qAbs(ink.top() - (119 - ink.bottom())) <= 12);
        const QPoint at = f.label->TextOffset();
        const QSize extent = f.label->TextExtent();
        QCOMPARE(at, QPoint((224 - extent.width()) / 2, (120 - extent.height()) / 2));
        // smoothed: there are blended edge pixels between ink and background
        int blended = 0;
        for (int x = ink.left(); x <= ink.right(); ++x) {
            const QColor c = img.pixelColor(x, ink.center().y());
            if (c != back && c != text) ++blended;
        }
        QVERIFY(blended > 0);
    }
};

KELVO_TEST_MAIN(TimerLabelTest)
#include "tst_timerlabel.moc"
