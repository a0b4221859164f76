#include "support/TestSupport.h"

#include "timer/KelvoCUTlbl.h"

#include <QLabel>
#include <QMenu>

using namespace support;

namespace {
// Colours unlike each other and every default, so a pixel tells its source.
const QByteArray kColoursFile = "[SYS]\r\nBackColor=4210752\r\nLineColor=255\r\nIngColor=65280\r\n"
                                "NoColor=16711680\r\nWaitColor=65535\r\nPnlColor=12632256\r\n";
const QColor kBack(0x40, 0x40, 0x40), kPanel(0xC0, 0xC0, 0xC0), kWait(0xFF, 0xFF, 0x00), kNumber(0x00, 0x00, 0xFF);

bool hasColour(const QImage& img, const QRect& area, const QColor& c)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (img.pixelColor(x, y) == c)
                return true;
    return false;
}
} // namespace

class AddGroupTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    ManualClock clock;
    std::unique_ptr<Tfrm_main> board;

    Panel* lastBox() const { return board->Boxes().isEmpty() ? nullptr : board->Boxes().last(); }

    void addByMenu(const QString& entry)
    {
        auto seen = answerInput(entry);
        QTest::mouseClick(board->windowHandle(), Qt::RightButton, {}, QPoint(700, 400));
        QTRY_VERIFY_WITH_TIMEOUT(board->pm1->isVisible(), 2000);
        QTest::mouseClick(board->pm1, Qt::LeftButton, {}, board->pm1->actionGeometry(board->mniN1).center());
        QTRY_VERIFY(seen->shown);
    }

private slots:
    void init()
    {
        writeFile(dir.filePath("timer.ini"), kColoursFile);
        board = newBoard(dir.filePath("timer.ini"), clock);
    }
    void cleanup() { board.reset(); }

    void theQuestionForTheNumber()
    {
        auto seen = answerInput(QString()); // Cancel
        pressCtrlN(board.get());
        QTRY_VERIFY(seen->shown);
        QCOMPARE(seen->caption, QString("请输入新的组号："));
        QCOMPARE(seen->prompt, QString());
        QCOMPARE(seen->initialText, QString());
        QCOMPARE(seen->maxLength, 255);
        QVERIFY(seen->boardBlocked);
        QCOMPARE(board->GroupCount, 0); // Cancel adds nothing
    }

    void aNewBox()
    {
        addGroupByKeyboard(board.get(), "7");
        QCOMPARE(board->GroupCount, 1);
        Panel* box = lastBox();
        QVERIFY(box);
        QCOMPARE(box->geometry(), QRect(2, 2, 226, 180));
        QCOMPARE(box->Tag, 7);
        tKelvoCUTlbl* timer = Tfrm_main::TimerLabelOf(box);
        QCOMPARE(timer->geometry(), QRect(1, 1, 224, 120));
        QCOMPARE(timer->Group(), 7);
        QCOMPARE(timer->Caption(), QString("0:00"));
        QCOMPARE(timer->Status(), kelvoWait);
        QCOMPARE(timer->StandColor(), Colour(65535));
        QCOMPARE(timer->TimingColor(), Colour(65280));
        QCOMPARE(timer->font().pixelSize(), 72);
        QVERIFY(!timer->AutoSize());
        TagButton* button = Tfrm_main::ButtonOf(box);
        QCOMPARE(button->geometry(), QRect(168, 148, 56, 30));
        QCOMPARE(button->text(), QString("开始"));
        QCOMPARE(button->Tag, 1);
        QLabel* number = Tfrm_main::NumberLabelOf(box);
        QCOMPARE(number->text(), QString("7"));
        QCOMPARE(number->font().pixelSize(), 48);
        QVERIFY(number->font().bold());
        QCOMPARE(number->x(), 48);
        QCOMPARE(number->y(), 180 - number->height() - 8);

        // What the operator sees: the box in its colours with 0:00 in the idle colour.
        const QImage img = board->grab().toImage();
        QCOMPARE(img.pixelColor(2, 2), QColor(Qt::white));        // raised bevel, light edge
        QCOMPARE(img.pixelColor(227, 181), box->palette().color(QPalette::Dark)); // and its shadow edge
        QCOMPARE(img.pixelColor(5, 5), kPanel);
        QVERIFY(hasColour(img, QRect(3, 3, 222, 118), kWait));     // the digits
        QVERIFY(hasColour(img, QRect(50, 110, 60, 70), kNumber)); // the number
        QVERIFY(!hasColour(img, QRect(230, 2, 226, 180), kPanel)); // the next slot is still empty
        QCOMPARE(img.pixelColor(240, 20), kBack);
    }

    void groupSlots_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("1") << 1 << QPoint(2, 2);
        QTest::newRow("6") << 6 << QPoint(1142, 2);
        QTest::newRow("7") << 7 << QPoint(2, 184);
        QTest::newRow("24") << 24 << QPoint(1142, 548);
        QTest::newRow("25") << 25 << QPoint(2, 730);
    }
    void groupSlots()
    {
        QFETCH(int, n);
        QFETCH(QPoint, at);
        for (int i = 1; i <= n; ++i)
            addGroupByKeyboard(board.get(), QString::number(100 + i));
        QCOMPARE(board->GroupCount, n);
        Panel* box = lastBox();
        QCOMPARE(box->pos(), at);
        QCOMPARE(box->Tag, 100 + n);
        // the 25th exists below the board, unseen; the board does not grow
        QCOMPARE(board->size(), QSize(1372, 729));
        QCOMPARE(box->isVisible(), true);
        QCOMPARE(board->rect().contains(box->geometry()), n <= 24);
    }

    void throughTheContextMenu()
    {
        addByMenu("3");
        addByMenu("4");
        QCOMPARE(board->GroupCount, 2);
        QCOMPARE(lastBox()->pos(), QPoint(230, 2));
        QCOMPARE(lastBox()->Tag, 4);
    }

    void entries_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("group");
        QTest::addColumn<QString>("shown");
        QTest::newRow("007 with blanks") << "  007 " << 7 << "007";
        QTest::newRow("0") << "0" << 0 << "0";
        QTest::newRow("largest") << "2147483647" << 2147483647 << "2147483647";
        QTest::newRow("many leading zeros") << "0000000000012" << 12 << "0000000000012";
    }
    void entries()
    {
        QFETCH(QString, entry);
        QFETCH(int, group);
        QFETCH(QString, shown);
        addGroupByKeyboard(board.get(), entry);
        QCOMPARE(board->GroupCount, 1);
        QCOMPARE(lastBox()->Tag, group);
        QCOMPARE(Tfrm_main::TimerLabelOf(lastBox())->Group(), group);
        QCOMPARE(Tfrm_main::NumberLabelOf(lastBox())->text(), shown);
    }

    void silentRefusals_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::newRow("cancel") << QString();
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   ";
        QTest::newRow("minus") << "-1";
        QTest::newRow("plus") << "+1";
        QTest::newRow("decimal point") << "1.5";
        QTest::newRow("exponent") << "1e3";
        QTest::newRow("inner blank") << "1 2";
        QTest::newRow("letter") << "a";
        QTest::newRow("hex") << "$1F";
        QTest::newRow("full-width digit") << QString::fromUtf8("７");
    }
    void silentRefusals()
    {
        QFETCH(QString, entry);
        auto error = catchError();
        addGroupByKeyboard(board.get(), entry);
        settle();
        QCOMPARE(board->GroupCount, 0);
        QVERIFY(board->Boxes().isEmpty());
        QVERIFY(!error->shown);
    }

    void duplicateNumbersMakeTwoBoxes()
    {
        addGroupByKeyboard(board.get(), "5");
        addGroupByKeyboard(board.get(), "5");
        QCOMPARE(board->GroupCount, 2);
        QCOMPARE(board->Boxes()[0]->Tag, 5);
        QCOMPARE(board->Boxes()[1]->Tag, 5);
        QCOMPARE(board->Boxes()[1]->pos(), QPoint(230, 2));
    }

    void tooLargeShowsTheConversionErrorAndTakesNoSlot()
    {
        addGroupByKeyboard(board.get(), "1");
        auto error = catchError();
        addGroupByKeyboard(board.get(), "2147483648");
        QTRY_VERIFY(error->shown);
        QCOMPARE(error->caption, QString("Kelvo并发计时器"));
        QCOMPARE(error->text, QString("'2147483648' is not a valid integer value."));
        QCOMPARE(board->GroupCount, 1);
        QCOMPARE(board->Boxes().size(), 1);
        addGroupByKeyboard(board.get(), "2");
        QCOMPARE(board->GroupCount, 2);
        QCOMPARE(lastBox()->pos(), QPoint(230, 2));
    }

    void aLongNumberRunsUnderTheButtonAndIsCutAtTheEdge()
    {
        addGroupByKeyboard(board.get(), "123456789");
        Panel* box = lastBox();
        QLabel* number = Tfrm_main::NumberLabelOf(box);
        QVERIFY(number->geometry().right() > 226); // wider than the box
        const QImage img = box->grab().toImage();
        QCOMPARE(img.size(), QSize(226, 180));
        // inside the button: its face, not the number's colour
        QVERIFY(!hasColour(img, QRect(172, 152, 48, 22), kNumber));
        // left of the button the number shows
        QVERIFY(hasColour(img, QRect(60, 120, 100, 58), kNumber));
        // the board outside the box shows no digit ink of it
        const QImage boardImg = board->grab().toImage();
        QVERIFY(!hasColour(boardImg, QRect(230, 100, 100, 82), kNumber));
    }

    void runningCountsGoOnWhileTheQuestionIsOpen()
    {
        addGroupByKeyboard(board.get(), "1");
        tKelvoCUTlbl* timer = Tfrm_main::TimerLabelOf(lastBox());
        timer->Start();
        auto timerOn = std::make_shared<bool>(false);
        whenModal<QInputDialog>([this, timer, timerOn](QInputDialog* d) {
            clock.advanceMs(3400); // the operator takes a while to answer; no tick is delivered
            *timerOn = timer->Timer().isActive();
            enterText(d, "2");
        });
        pressCtrlN(board.get());
        QTRY_COMPARE(board->GroupCount, 2);
        QVERIFY(*timerOn);
        QCOMPARE(timer->Status(), kelvoTiming);
        timer->Stop(); // the time spent in the dialog is counted
        QCOMPARE(timer->Caption(), QString("0:03"));
    }
};

KELVO_TEST_MAIN(AddGroupTest)
#include "tst_addgroup.moc"
