#include "support/TestSupport.h"

#include "settings/TimerIni.h"
#include "timer/KelvoCUTlbl.h"

using namespace support;

class BoardTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    ManualClock clock;
    QString ini() const { return dir.filePath("timer.ini"); }

private slots:
    void look()
    {
        auto board = newBoard(ini(), clock);
        board->AddGroupBox(7, "7");
        board->AddGroupBox(8, "008");
        board->grab().save("/tmp/board.png");
    }
};

KELVO_TEST_MAIN(BoardTest)
#include "tst_board.moc"
