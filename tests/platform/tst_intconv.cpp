#include "platform/Errors.h"
#include "platform/IntConv.h"

#include <QtTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<qint32>)

class IntConvTest : public QObject {
    Q_OBJECT
private slots:
    void convert_data()
    {
        using V = std::optional<qint32>;
        QTest::addColumn<QString>("text");
        QTest::addColumn<V>("value");
        QTest::newRow("decimal") << "8" << V(8);
        QTest::newRow("leading zeros") << "007" << V(7);
        QTest::newRow("negative") << "-3" << V(-3);
        QTest::newRow("plus") << "+5" << V(5);
        QTest::newRow("minus zero") << "-0" << V(0);
        QTest::newRow("00") << "00" << V(0);
        QTest::newRow("leading blank") << " 0" << V(0);
        QTest::newRow("leading blanks and sign") << "   -12" << V(-12);
        QTest::newRow("max") << "2147483647" << V(2147483647);
        QTest::newRow("min") << "-2147483648" << V(qint32(-2147483647 - 1));
        QTest::newRow("max + 1") << "2147483648" << V();
        QTest::newRow("min - 1") << "-2147483649" << V();
        QTest::newRow("huge") << "99999999999999999999" << V();
        QTest::newRow("$1F") << "$1F" << V(31);
        QTest::newRow("0x1F") << "0x1F" << V(31);
        QTest::newRow("0X1f") << "0X1f" << V(31);
        QTest::newRow("x1F") << "x1F" << V(31);
        QTest::newRow("X1F") << "X1F" << V(31);
        QTest::newRow("-$1F") << "-$1F" << V(-31);
        QTest::newRow("system colour") << "$FF00000F" << V(qint32(0xFF00000Fu));
        QTest::newRow("eight digits after zeros") << "$000FF00000F" << V(qint32(0xFF00000Fu));
        QTest::newRow("nine significant hex digits") << "$1FF00000F" << V();
        QTest::newRow("hex without digits") << "$" << V();
        QTest::newRow("0x alone") << "0x" << V();
        QTest::newRow("sign alone") << "-" << V();
        QTest::newRow("empty") << "" << V();
        QTest::newRow("blanks only") << "   " << V();
        QTest::newRow("trailing blank") << "8 " << V();
        QTest::newRow("tab before") << "\t8" << V();
        QTest::newRow("two signs") << "--8" << V();
        QTest::newRow("letter") << "green" << V();
        QTest::newRow("decimal point") << "1.0" << V();
        QTest::newRow("inner blank") << "1 2" << V();
        QTest::newRow("blank after sign") << "- 1" << V();
        QTest::newRow("full-width digits") << QString::fromUtf8("８") << V();
        QTest::newRow("bad hex digit") << "$1G" << V();
    }
    void convert()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<qint32>, value);
        QCOMPARE(TryStrToInt(text), value);
        if (value) {
            QCOMPARE(StrToInt(text), *value);
        } else {
            try {
                StrToInt(text);
                QFAIL("no error raised");
            } catch (const ConvertError& e) {
                QCOMPARE(e.message(), QString("'%1' is not a valid integer value").arg(text));
            }
        }
    }

    void decimalForm()
    {
        QCOMPARE(IntToStr(-16777201), QString("-16777201"));
        QCOMPARE(IntToStr(qint32(0xFF00000Fu)), QString("-16777201"));
        QCOMPARE(IntToStr(16711680), QString("16711680"));
        QCOMPARE(IntToStr(0), QString("0"));
    }
};

QTEST_GUILESS_MAIN(IntConvTest)
#include "tst_intconv.moc"
