#include "support/TestSupport.h"

#include "timer/KelvoCUTlbl.h"

#include <QLabel>

#include <sys/stat.h>

using namespace support;

namespace {
const QByteArray kColours = "[SYS]\r\nBackColor=4210752\r\nLineColor=255\r\nIngColor=65280\r\n"
                            "NoColor=16711680\r\nWaitColor=65535\r\nPnlColor=12632256\r\n";
const QColor kBack(0x40, 0x40, 0x40), kLine(0xFF, 0, 0), kPanel(0xC0, 0xC0, 0xC0);
constexpr Colour kIng = 65280, kWait = 65535;

QString startQuestion(qint32 n) { return QString("开始计时:第[ %1 ]组").arg(n); }
QString stopQuestion(qint32 n) { return QString("停止计时:第[ %1 ]组").arg(n); }
} // namespace

class GroupCycleTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    ManualClock clock;
    std::unique_ptr<Tfrm_main> board;

    QString ini() const { return dir.filePath("timer.ini"); }
    QByteArray results() const
    {
        const QByteArray all = readFile(ini());
        const qsizetype at = all.indexOf("[Timer]\r\n");
        return at < 0 ? QByteArray() : all.mid(at);
    }

    Panel* add(const QString& entry)
    {
        addGroupByKeyboard(board.get(), entry);
        return board->Boxes().last();
    }
    static tKelvoCUTlbl* timer(Panel* box) { return Tfrm_main::TimerLabelOf(box); }
    static TagButton* button(Panel* box) { return Tfrm_main::ButtonOf(box); }
    static QString number(Panel* box) { return Tfrm_main::NumberLabelOf(box)->text(); }

    static void press(Panel* box) { QTest::mouseClick(button(box), Qt::LeftButton); }

    // Time passes; running labels get their display tick.
    void pass(qint64 ms)
    {
        clock.advanceMs(ms);
        for (Panel* box : board->Boxes())
            if (timer(box)->Timer().isActive())
                timer(box)->TimerTick();
    }

    void start(Panel* box)
    {
        press(box);
        answer(openQuestion(startQuestion(box->Tag)), true);
    }
    void stop(Panel* box)
    {
        press(box);
        answer(openQuestion(stopQuestion(box->Tag)), true);
    }
    void renumber(Panel* box, const QString& entry)
    {
        auto seen = answerInput(entry);
        press(box);
        QVERIFY(seen->shown);
    }

private slots:
    void init()
    {
        QFile::remove(ini());
        writeFile(ini(), kColours);
        board = newBoard(ini(), clock);
    }
    void cleanup()
    {
        for (QMessageBox* q : openQuestions())
            q->close();
        board.reset();
        settle();
    }

    void wholeCycle()
    {
        Panel* box = add("7");
        press(box);
        QMessageBox* q = openQuestion(startQuestion(7));
        QVERIFY(q);
        QCOMPARE(q->text(), QString("开始计时:第[ 7 ]组"));
        QCOMPARE(q->windowTitle(), QString("提示"));
        QCOMPARE(q->icon(), QMessageBox::Warning);
        QCOMPARE(q->defaultButton(), q->button(QMessageBox::Yes));
        QVERIFY(!QApplication::activeModalWidget());
        answer(q, true);
        QCOMPARE(timer(box)->Status(), kelvoTiming);
        QCOMPARE(timer(box)->FontColor(), ToQColor(kIng));
        QCOMPARE(button(box)->text(), QString("停止"));
        QCOMPARE(button(box)->Tag, 2);

        pass(725000);
        QCOMPARE(timer(box)->Caption(), QString("12:05"));
        press(box);
        q = openQuestion(stopQuestion(7));
        QVERIFY(q);
        pass(2000); // the count goes on while the question is open
        QCOMPARE(timer(box)->Caption(), QString("12:07"));
        clock.advanceMs(1600); // and up to the answer, however late the tick
        answer(q, true);
        QCOMPARE(timer(box)->Status(), kelvoStop);
        QCOMPARE(timer(box)->Caption(), QString("12:08"));
        QCOMPARE(timer(box)->FontColor(), ToQColor(kWait));
        QCOMPARE(button(box)->text(), QString("重设"));
        QCOMPARE(button(box)->Tag, 3);
        QCOMPARE(readFile(ini()), kColours + "[Timer]\r\n7=12:08\r\n");

        auto seen = answerInput("8");
        press(box);
        QVERIFY(seen->shown);
        QCOMPARE(seen->caption, QString("请输入新的组号"));
        QCOMPARE(seen->prompt, QString("输入为0则隐藏且不可恢复"));
        QCOMPARE(seen->initialText, QString());
        QVERIFY(seen->boardBlocked);
        QCOMPARE(box->Tag, 8);
        QCOMPARE(number(box), QString("8"));
        QCOMPARE(timer(box)->Group(), 8);
        QCOMPARE(timer(box)->Caption(), QString("0:00"));
        QCOMPARE(timer(box)->Status(), kelvoWait);
        QCOMPARE(timer(box)->FontColor(), ToQColor(kWait));
        QCOMPARE(button(box)->text(), QString("开始"));
        QCOMPARE(button(box)->Tag, 1);

        start(box); // the question names group 8
        pass(3000);
        stop(box);
        QCOMPARE(results(), QByteArray("[Timer]\r\n7=12:08\r\n8=0:03\r\n"));
    }

    void noChangesNothing()
    {
        Panel* box = add("3");
        press(box);
        answer(openQuestion(startQuestion(3)), false);
        QCOMPARE(button(box)->Tag, 1);
        QCOMPARE(button(box)->text(), QString("开始"));
        QCOMPARE(timer(box)->Status(), kelvoWait);
        pass(2000);
        QCOMPARE(timer(box)->Caption(), QString("0:00"));

        start(box);
        pass(5000);
        press(box);
        answer(openQuestion(stopQuestion(3)), false);
        QCOMPARE(button(box)->Tag, 2);
        QCOMPARE(timer(box)->Status(), kelvoTiming);
        pass(1000);
        QCOMPARE(timer(box)->Caption(), QString("0:06"));
        QCOMPARE(results(), QByteArray());
    }

    void twoPressesOfTheSameButton()
    {
        Panel* box = add("4");
        press(box);
        press(box); // judged by the state at the press: two start questions
        QList<QMessageBox*> qs = openQuestions();
        QCOMPARE(qs.size(), 2);
        answer(qs[0], true);
        pass(2000);
        answer(qs[1], true); // starting a counting label changes nothing
        QCOMPARE(button(box)->Tag, 2);
        pass(1000);
        QCOMPARE(timer(box)->Caption(), QString("0:03"));

        press(box);
        press(box);
        qs = openQuestions();
        QCOMPARE(qs.size(), 2);
        answer(qs[1], true);
        pass(4000);
        answer(qs[0], true); // stopping again keeps the first stop's time
        QCOMPARE(button(box)->Tag, 3);
        QCOMPARE(timer(box)->Caption(), QString("0:03"));
        QCOMPARE(results(), QByteArray("[Timer]\r\n4=0:03\r\n"));
    }

    void anotherBoxWhileAQuestionIsOpen()
    {
        Panel* a = add("1");
        Panel* b = add("2");
        press(a);
        QVERIFY(openQuestion(startQuestion(1)));
        start(b);
        pass(2000);
        QCOMPARE(timer(b)->Caption(), QString("0:02"));
        QCOMPARE(timer(a)->Status(), kelvoWait);
        answer(openQuestion(startQuestion(1)), true);
        pass(1000);
        stop(b);
        QCOMPARE(timer(a)->Caption(), QString("0:01"));
        QCOMPARE(results(), QByteArray("[Timer]\r\n2=0:03\r\n"));
    }

    void twoBoxesWithOneNumberLeaveTheLaterTime()
    {
        Panel* a = add("5");
        Panel* b = add("5");
        start(a);
        start(b);
        pass(10000);
        stop(a);
        pass(10000);
        stop(b);
        QCOMPARE(results(), QByteArray("[Timer]\r\n5=0:20\r\n"));
    }

    void pastFiftyNineMinutesRecordedAsShown()
    {
        Panel* box = add("9");
        start(box);
        for (int i = 0; i < 4503; ++i)
            pass(1000);
        QCOMPARE(timer(box)->Caption(), QString("75:03"));
        stop(box);
        QCOMPARE(results(), QByteArray("[Timer]\r\n9=75:03\r\n"));
    }

    void renumber_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("converts");
        QTest::addColumn<int>("group");
        QTest::newRow("8") << "8" << true << 8;
        QTest::newRow("$1F") << "$1F" << true << 31;
        QTest::newRow("0x1F") << "0x1F" << true << 31;
        QTest::newRow("-3") << "-3" << true << -3;
        QTest::newRow("00") << "00" << true << 0;
        QTest::newRow("-0") << "-0" << true << 0;
        QTest::newRow("blank 0") << " 0" << true << 0;
        QTest::newRow("8 blank") << "8 " << false << 0;
        QTest::newRow("letter") << "a" << false << 0;
        QTest::newRow("point") << "1.5" << false << 0;
        QTest::newRow("too large") << "2147483648" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("cancel") << QString() << false << 0;
    }
    void renumber()
    {
        QFETCH(QString, entry);
        QFETCH(bool, converts);
        QFETCH(int, group);
        Panel* box = add("6");
        start(box);
        pass(2000);
        stop(box);
        auto error = catchError();
        renumber(box, entry);
        settle();
        if (!converts) {
            QVERIFY(error->shown);
            QCOMPARE(error->caption, QString("Kelvo并发计时器"));
            QCOMPARE(error->text, QString("'%1' is not a valid integer value.").arg(entry));
            QCOMPARE(box->Tag, 6);
            QCOMPARE(number(box), QString("6"));
            QCOMPARE(timer(box)->Group(), 6);
            QCOMPARE(timer(box)->Caption(), QString("0:02"));
            QCOMPARE(button(box)->Tag, 3);
            QCOMPARE(button(box)->text(), QString("重设"));
            QVERIFY(box->isVisible());
            return;
        }
        QVERIFY(!error->shown);
        QVERIFY(box->isVisible());
        QCOMPARE(box->Tag, group);
        QCOMPARE(number(box), entry); // as typed
        QCOMPARE(timer(box)->Group(), group);
        QCOMPARE(timer(box)->Caption(), QString("0:00"));
        QCOMPARE(button(box)->Tag, 1);
        start(box); // the question names the new number
        pass(1000);
        stop(box);
        QCOMPARE(results(), QString("[Timer]\r\n6=0:02\r\n%1=0:01\r\n").arg(group).toLatin1());
    }

    void hidingForGood()
    {
        Panel* first = add("1");
        Panel* box = add("2");
        start(box);
        pass(4000);
        stop(box);
        renumber(box, "0");
        QVERIFY(!box->isVisible());
        QCOMPARE(timer(box)->Status(), kelvoStop);
        QCOMPARE(results(), QByteArray("[Timer]\r\n2=0:04\r\n"));
        // its button no longer reacts
        button(box)->click();
        settle();
        QVERIFY(openQuestions().isEmpty());
        QVERIFY(!QApplication::activeModalWidget());
        // the slot stays empty and the next group takes the next one
        Panel* third = add("3");
        QCOMPARE(board->GroupCount, 3);
        QCOMPARE(third->pos(), QPoint(458, 2));
        const QImage img = board->grab().toImage();
        QCOMPARE(img.pixelColor(300, 50), kBack);
        QCOMPARE(img.pixelColor(228, 50), kLine);
        QCOMPARE(img.pixelColor(456, 50), kLine);
        QCOMPARE(img.pixelColor(20, 20), kPanel);
        QCOMPARE(img.pixelColor(470, 20), kPanel);
        QVERIFY(first->isVisible());
    }

    void refusedWriteAtStop()
    {
        Panel* box = add("7");
        start(box);
        pass(3000);
        ::chmod(QFile::encodeName(ini()).constData(), 0444);
        auto error = catchError();
        stop(box);
        QTRY_VERIFY(error->shown);
        ::chmod(QFile::encodeName(ini()).constData(), 0644);
        QCOMPARE(error->caption, QString("Kelvo并发计时器"));
        QCOMPARE(error->text, "Unable to write to " + ini() + ".");
        QCOMPARE(timer(box)->Status(), kelvoStop);
        QCOMPARE(button(box)->Tag, 3);
        QCOMPARE(button(box)->text(), QString("重设"));
        QCOMPARE(readFile(ini()), kColours);
    }
};

KELVO_TEST_MAIN(GroupCycleTest)
#include "tst_groupcycle.moc"
