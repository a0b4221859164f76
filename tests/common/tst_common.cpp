#include "common/AppDir.h"
#include "common/TextUtil.h"

#include <QCoreApplication>
#include <QDir>
#include <QtTest>

class CommonTest : public QObject {
    Q_OBJECT
private slots:
    void appDirIsTheExecutablesNotTheCurrentDirectory()
    {
        const QString before = QDir::currentPath();
        QDir::setCurrent(QDir::tempPath());
        const QString dir = GetAppDir();
        QDir::setCurrent(before);
        QCOMPARE(dir, QCoreApplication::applicationDirPath() + "/");
    }

    void allDigits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("digits");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("007") << "007" << true;
        QTest::newRow("sign") << "-1" << false;
        QTest::newRow("plus") << "+1" << false;
        QTest::newRow("point") << "1.5" << false;
        QTest::newRow("inner blank") << "1 2" << false;
        QTest::newRow("letter") << "1a" << false;
        QTest::newRow("full-width digit") << QString::fromUtf8("１２") << false;
        QTest::newRow("exponent") << "1e3" << false;
    }
    void allDigits()
    {
        QFETCH(QString, text);
        QFETCH(bool, digits);
        QCOMPARE(IsAllDigits(text), digits);
    }

    void trim_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("blanks") << "  007  " << "007";
        QTest::newRow("controls") << "\t\r\n7\x01" << "7";
        QTest::newRow("inner kept") << " 1 2 " << "1 2";
        // The ideographic space is no control character: it stays.
        QTest::newRow("full-width space") << QString::fromUtf8("\u30007") << QString::fromUtf8("\u30007");
        QTest::newRow("all blank") << "   " << "";
    }
    void trim()
    {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(TrimControls(text), trimmed);
    }
};

QTEST_GUILESS_MAIN(CommonTest)
#include "tst_common.moc"
