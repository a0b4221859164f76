#include "support/TestSupport.h"

#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "settings/TimerIni.h"

#include <QMenu>
#include <QScreen>
#include <QSignalSpy>

#include <sys/stat.h>

using namespace support;

namespace {
// Hand-set colours that differ from every default, so a pixel tells which one it is.
const QByteArray kColoursFile = "[SYS]\r\nBackColor=8421504\r\nLineColor=255\r\nIngColor=32768\r\n"
                                "NoColor=16711680\r\nWaitColor=0\r\nPnlColor=12632256\r\n";
const QColor kBack(0x80, 0x80, 0x80);
const QColor kLine(0xFF, 0x00, 0x00);

struct Rect {
    int left, top, width, height;
};
// The twelve grid lines as they must stand.
const Rect kLineBounds[] = {
    {-9, 0, 1377, 2}, {-8, 182, 1377, 2}, {-3, 364, 1371, 2}, {-3, 546, 1371, 2}, {-14, 727, 1382, 2},
    {0, -14, 2, 743}, {228, 1, 2, 727},   {456, 0, 2, 729},   {684, 3, 2, 725},   {912, 1, 2, 728},
    {1140, 1, 2, 728}, {1368, 0, 2, 730},
};

void openContextMenu(Tfrm_main* board, QPoint at)
{
    QTest::mouseClick(board->windowHandle(), Qt::RightButton, {}, at);
    QTRY_VERIFY_WITH_TIMEOUT(board->pm1->isVisible(), 2000);
}

void chooseFromMenu(QMenu* menu, QAction* item)
{
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
}
} // namespace

class BoardTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    ManualClock clock;
    QString ini() const { return dir.filePath("timer.ini"); }

private slots:
    void init()
    {
        QFile::remove(ini());
        writeFile(ini(), kColoursFile);
    }

    void windowIsBorderlessFixedAndCentred()
    {
        auto board = newBoard(ini(), clock);
        QVERIFY(board->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(board->size(), QSize(1372, 729));
        QCOMPARE(board->minimumSize(), QSize(1372, 729));
        QCOMPARE(board->maximumSize(), QSize(1372, 729));
        // centred: equal margins on both sides (to the pixel that halving loses)
        const QRect screen = board->screen()->geometry(), g = board->geometry();
        QVERIFY(qAbs((g.left() - screen.left()) - (screen.right() - g.right())) <= 1);
        QVERIFY(qAbs((g.top() - screen.top()) - (screen.bottom() - g.bottom())) <= 1);
        QCOMPARE(board->GroupCount, 0);
        QCOMPARE(board->BoxWidth, 226);
        QCOMPARE(board->BoxHeight, 180);
        QVERIFY(!board->btn1->isVisible());
        QCOMPARE(board->mniN1->text(), QString("新增"));
        QCOMPARE(board->mniN1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
        QCOMPARE(board->mniN2->text(), QString("关闭"));
    }

    void gridLinesAndBackgroundInTheConfirmedColours()
    {
        auto board = newBoard(ini(), clock);
        const QImage img = board->grab().toImage();
        QCOMPARE(img.size(), QSize(1372, 729));
        QImage expected(img.size(), QImage::Format_RGB32);
        expected.fill(kBack);
        for (const Rect& r : kLineBounds)
            for (int y = qMax(0, r.top); y < qMin(729, r.top + r.height); ++y)
                for (int x = qMax(0, r.left); x < qMin(1372, r.left + r.width); ++x)
                    expected.setPixelColor(x, y, kLine);
        int wrong = 0;
        QPoint first;
        for (int y = 0; y < 729; ++y)
            for (int x = 0; x < 1372; ++x)
                if (img.pixelColor(x, y) != expected.pixelColor(x, y) && wrong++ == 0)
                    first = {x, y};
        QVERIFY2(wrong == 0, qPrintable(QString("%1 pixels differ, first at %2,%3").arg(wrong).arg(first.x()).arg(first.y())));
        // The cells' corners are exactly the group slots.
        for (int k = 0; k < 24; ++k) {
            const QPoint slot = board->SlotPosition(k);
            QCOMPARE(img.pixelColor(slot), kBack);
            QCOMPARE(img.pixelColor(slot - QPoint(1, 1)), kLine);
        }
        QCOMPARE(img.pixelColor(1370, 300), kBack);
        QCOMPARE(img.pixelColor(1371, 300), kBack);
    }

    void closingTheOptionsDialogKeepsTheLoadedColours()
    {
        auto board = newBoard(ini(), clock, /*confirm=*/false);
        QCOMPARE(readFile(ini()), kColoursFile);
        QCOMPARE(board->Colours, ReadColours(IniFile(ini())));
        QCOMPARE(pixel(board.get(), 100, 100), kBack);
        QCOMPARE(pixel(board.get(), 228, 100), kLine);
    }

    void closingTheOptionsDialogOnFirstRunGivesTheDefaults()
    {
        QFile::remove(ini());
        auto board = newBoard(ini(), clock, /*confirm=*/false);
        QVERIFY(!QFile::exists(ini()));
        QCOMPARE(board->Colours, DefaultColours());
        QCOMPARE(pixel(board.get(), 228, 100), QColor(0, 255, 0));
        QCOMPARE(pixel(board.get(), 100, 100), ToQColor(clBtnFace));
    }

    void closeQuestionNoKeepsTheBoardYesCloses()
    {
        auto board = newBoard(ini(), clock);
        QSignalSpy closed(board.get(), &Tfrm_main::Closed);
        openContextMenu(board.get(), {600, 400});
        chooseFromMenu(board->pm1, board->mniN2);
        QMessageBox* q = openQuestion("请先检查计时是否全部停止，确认退出？");
        QVERIFY(q);
        QCOMPARE(q->windowTitle(), QString("警告"));
        QCOMPARE(q->icon(), QMessageBox::Warning);
        QCOMPARE(q->defaultButton(), q->button(QMessageBox::Yes));
        QCOMPARE(q->button(QMessageBox::Yes)->text(), QString("是"));
        QCOMPARE(q->button(QMessageBox::No)->text(), QString("否"));
        QVERIFY(!q->parentWidget());
        QVERIFY(!QApplication::activeModalWidget()); // the board stays usable
        answer(q, false);
        QVERIFY(board->isVisible());
        QCOMPARE(closed.count(), 0);

        board->close(); // a close request from the system asks the same
        q = openQuestion("请先检查计时是否全部停止，确认退出？");
        QVERIFY(q);
        answer(q, true);
        QCOMPARE(closed.count(), 1);
        QVERIFY(!board->isVisible());
        QVERIFY(openQuestions().isEmpty());
    }

    void errorText_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("conversion") << "'abc' is not a valid integer value" << "'abc' is not a valid integer value.";
        QTest::newRow("write") << "Unable to write to /x/timer.ini" << "Unable to write to /x/timer.ini.";
        QTest::newRow("ends in a full stop") << "done." << "done.";
        QTest::newRow("sorts before the full stop") << "what!" << "what!";
        QTest::newRow("ends in a quote") << "''" << "''";
        QTest::newRow("ends in a digit") << "7" << "7.";
        QTest::newRow("empty") << "" << "";
    }
    void errorText()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorText(message), shown);
    }

    void raisedErrorIsShownInTheErrorBox()
    {
        auto seen = catchError();
        Guarded([] { throw ConvertError("'x' is not a valid integer value"); });
        QVERIFY(seen->shown);
        QCOMPARE(seen->caption, QString("Kelvo并发计时器"));
        QCOMPARE(seen->text, QString("'x' is not a valid integer value."));
        QCOMPARE(seen->icon, QMessageBox::Critical);
    }
};

KELVO_TEST_MAIN(BoardTest)
#include "tst_board.moc"
