#include "platform/Errors.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

ino_t inode(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_ino;
}

mode_t mode(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

// A write that must be refused: the error names the file, which keeps its bytes.
void expectRefused(IniFile& ini, const QString& section, const QString& key, const QString& value)
{
    const QByteArray before = readAll(ini.FileName());
    const bool existed = QFile::exists(ini.FileName());
    try {
        ini.WriteString(section, key, value);
        QFAIL("the write was not refused");
    } catch (const IniFileError& e) {
        QCOMPARE(e.message(), "Unable to write to " + ini.FileName());
    }
    QCOMPARE(QFile::exists(ini.FileName()), existed);
    QCOMPARE(readAll(ini.FileName()), before);
}

const QByteArray kGbk = "\xbc\xc6\xca\xb1"; // GBK bytes of a Chinese word
} // namespace

class IniFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path() const { return dir.filePath("timer.ini"); }

private slots:
    void init() { QFile::remove(path()); }

    void readInteger_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("expected");
        const int face = int(0xFF00000Fu);
        QTest::newRow("decimal system colour") << QByteArray("[SYS]\r\nBackColor=-16777201\r\n") << "BackColor" << face;
        QTest::newRow("$ form") << QByteArray("[SYS]\r\nBackColor=$FF00000F\r\n") << "BackColor" << face;
        QTest::newRow("0x form lower") << QByteArray("[SYS]\r\nBackColor=0xff00000f\r\n") << "BackColor" << face;
        QTest::newRow("0X form") << QByteArray("[SYS]\r\nBackColor=0XFF00000F\r\n") << "BackColor" << face;
        QTest::newRow("leading zeros, 8 significant") << QByteArray("[SYS]\r\nBackColor=$00FF00000F\r\n") << "BackColor" << face;
        QTest::newRow("9 significant hex digits") << QByteArray("[SYS]\r\nBackColor=$1FF00000F\r\n") << "BackColor" << -1;
        QTest::newRow("empty value") << QByteArray("[SYS]\r\nLineColor=\r\n") << "LineColor" << -1;
        QTest::newRow("a word") << QByteArray("[SYS]\r\nLineColor=green\r\n") << "LineColor" << -1;
        QTest::newRow("too large") << QByteArray("[SYS]\r\nLineColor=2147483648\r\n") << "LineColor" << -1;
        QTest::newRow("smallest") << QByteArray("[SYS]\r\nLineColor=-2147483648\r\n") << "LineColor" << int(0x80000000u);
        QTest::newRow("blanks around") << QByteArray("[SYS]\r\n  LineColor  =  255  \r\n") << "LineColor" << 255;
        QTest::newRow("quoted") << QByteArray("[SYS]\r\nLineColor=\"255\"\r\n") << "LineColor" << 255;
        QTest::newRow("single-quoted") << QByteArray("[SYS]\r\nLineColor='255'\r\n") << "LineColor" << 255;
        QTest::newRow("lower-case section") << QByteArray("[sys]\r\nLineColor=7\r\n") << "LineColor" << 7;
        QTest::newRow("lower-case key") << QByteArray("[SYS]\r\nlinecolor=7\r\n") << "LineColor" << 7;
        QTest::newRow("blanks in header") << QByteArray("[ SYS ]\r\nLineColor=7\r\n") << "LineColor" << 7;
        QTest::newRow("LF endings") << QByteArray("[Other]\nLineColor=1\n[SYS]\nLineColor=7\n") << "LineColor" << 7;
        QTest::newRow("first key wins") << QByteArray("[SYS]\r\nLineColor=7\r\nLineColor=8\r\n") << "LineColor" << 7;
        QTest::newRow("first section wins") << QByteArray("[SYS]\r\nA=1\r\n[SYS]\r\nLineColor=8\r\n") << "LineColor" << -1;
        QTest::newRow("key in another section") << QByteArray("[Timer]\r\nLineColor=8\r\n") << "LineColor" << -1;
        QTest::newRow("no section") << QByteArray("LineColor=8\r\n") << "LineColor" << -1;
        QTest::newRow("value with =") << QByteArray("[SYS]\r\nLineColor=1=2\r\n") << "LineColor" << -1;
        QTest::newRow("no final line break") << QByteArray("[SYS]\r\nLineColor=9") << "LineColor" << 9;
        QTest::newRow("GBK comment around") << (kGbk + "\r\n[SYS]\r\n;" + kGbk + "\r\nLineColor=9\r\n") << "LineColor" << 9;
        QTest::newRow("empty file") << QByteArray() << "LineColor" << -1;
    }
    void readInteger()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, key);
        QFETCH(int, expected);
        writeAll(path(), file);
        const IniFile ini(path());
        QCOMPARE(ini.ReadInteger("SYS", key, -1), expected);
    }

    void readingAMissingFileGivesTheDefaultAndCreatesNothing()
    {
        const IniFile ini(path());
        QCOMPARE(ini.ReadInteger("SYS", "LineColor", 65280), 65280);
        QCOMPARE(ini.ReadString("Timer", "7", "none"), QString("none"));
        QVERIFY(!QFile::exists(path()));
    }

    void readValueIsCutAt2047Bytes()
    {
        writeAll(path(), "[Timer]\r\n1=" + QByteArray(3000, 'a') + "\r\n");
        QCOMPARE(IniFile(path()).ReadString("Timer", "1", "").size(), 2047);
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("new file") << QByteArray() << "Timer" << "7" << "12:05" << QByteArray("[Timer]\r\n7=12:05\r\n");
        QTest::newRow("new section at the end")
            << QByteArray("[SYS]\r\nWaitColor=0\r\n") << "Timer" << "7" << "12:05"
            << QByteArray("[SYS]\r\nWaitColor=0\r\n[Timer]\r\n7=12:05\r\n");
        QTest::newRow("new section, no final line break")
            << QByteArray("[SYS]\r\nWaitColor=0") << "Timer" << "7" << "0:48"
            << QByteArray("[SYS]\r\nWaitColor=0\r\n[Timer]\r\n7=0:48\r\n");
        QTest::newRow("replace keeps the line's place and ending")
            << QByteArray("[Timer]\r\n7=12:05\r\n3=0:48\r\n") << "Timer" << "7" << "3:10"
            << QByteArray("[Timer]\r\n7=3:10\r\n3=0:48\r\n");
        QTest::newRow("replace in an LF file")
            << QByteArray("[Timer]\n7=12:05\n3=0:48\n") << "Timer" << "7" << "3:10"
            << QByteArray("[Timer]\n7=3:10\n3=0:48\n");
        QTest::newRow("new key at the end of its section, before the next")
            << QByteArray("[Timer]\r\n7=12:05\r\n\r\n[Other]\r\nx=1\r\n") << "Timer" << "3" << "0:48"
            << QByteArray("[Timer]\r\n7=12:05\r\n3=0:48\r\n\r\n[Other]\r\nx=1\r\n");
        QTest::newRow("new key, section is the last line without break")
            << QByteArray("[Timer]\r\n7=12:05") << "Timer" << "3" << "0:48"
            << QByteArray("[Timer]\r\n7=12:05\r\n3=0:48\r\n");
        QTest::newRow("spelling of section and key kept")
            << QByteArray("[sys]\r\nlinecolor=1\r\n") << "SYS" << "LineColor" << "65280"
            << QByteArray("[sys]\r\nlinecolor=65280\r\n");
        QTest::newRow("other bytes kept: GBK, comments, unknown keys")
            << ("; " + kGbk + "\r\n[SYS]\r\nName=" + kGbk + "\r\nBackColor=1\r\n[Mine]\r\n" + kGbk + "=x\r\n")
            << "SYS" << "BackColor" << "-16777201"
            << ("; " + kGbk + "\r\n[SYS]\r\nName=" + kGbk + "\r\nBackColor=-16777201\r\n[Mine]\r\n" + kGbk + "=x\r\n");
        QTest::newRow("first of two matching sections")
            << QByteArray("[Timer]\r\n1=0:01\r\n[Timer]\r\n7=9:99\r\n") << "Timer" << "7" << "0:02"
            << QByteArray("[Timer]\r\n1=0:01\r\n7=0:02\r\n[Timer]\r\n7=9:99\r\n");
        QTest::newRow("negative group key")
            << QByteArray("[Timer]\r\n3=0:01\r\n") << "Timer" << "-3" << "0:05"
            << QByteArray("[Timer]\r\n3=0:01\r\n-3=0:05\r\n");
    }
    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        if (!before.isNull())
            writeAll(path(), before);
        IniFile ini(path());
        ini.WriteString(section, key, value);
        QCOMPARE(readAll(path()), after);
        QCOMPARE(ini.ReadString(section, key, ""), value);
    }

    void writeReplacesTheFileAtomicallyAndLeavesNoTemporary()
    {
        writeAll(path(), "[Timer]\r\n7=12:05\r\n");
        ::chmod(QFile::encodeName(path()).constData(), 0640);
        const ino_t old = inode(path());
        IniFile ini(path());
        ini.WriteString("Timer", "7", "3:10");
        QVERIFY2(inode(path()) != old, "the file was rewritten in place, not replaced");
        QCOMPARE(mode(path()), mode_t(0640));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"timer.ini"});
    }

    void writingTheValueAlreadyThereLeavesTheFileUntouched()
    {
        writeAll(path(), "[SYS]\r\nBackColor=-16777201\r\n");
        const ino_t old = inode(path());
        IniFile ini(path());
        ini.WriteInteger("SYS", "BackColor", -16777201);
        QCOMPARE(inode(path()), old);
        QCOMPARE(readAll(path()), QByteArray("[SYS]\r\nBackColor=-16777201\r\n"));
    }

    void refusedReadOnlyFile()
    {
        writeAll(path(), "[Timer]\r\n7=12:05\r\n");
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        IniFile ini(path());
        expectRefused(ini, "Timer", "7", "3:10");
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
    }

    void refusedMissingDirectory()
    {
        IniFile ini(dir.filePath("gone/timer.ini"));
        expectRefused(ini, "Timer", "7", "3:10");
    }

    void refusedReadOnlyDirectoryWithoutTheFile()
    {
        QTemporaryDir locked;
        IniFile ini(locked.filePath("timer.ini"));
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner);
        expectRefused(ini, "Timer", "7", "3:10");
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void readOnlyDirectoryWithWritableFileIsRewrittenInPlace()
    {
        QTemporaryDir locked;
        const QString file = locked.filePath("timer.ini");
        writeAll(file, "[Timer]\r\n7=12:05\r\n");
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner);
        IniFile ini(file);
        ini.WriteString("Timer", "3", "0:48");
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(readAll(file), QByteArray("[Timer]\r\n7=12:05\r\n3=0:48\r\n"));
    }

    void refusedWhenTheDiskIsFull()
    {
        // A file size limit stands in for a full disk: writes past it fail.
        const QByteArray old = "[Timer]\r\n7=12:05\r\n";
        writeAll(path(), old);
        IniFile ini(path());
        rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &small);
        expectRefused(ini, "Timer", "8", QString(200, u'9'));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        QCOMPARE(readAll(path()), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"timer.ini"});
    }

    void refusedLineBreaks_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("value LF") << "Timer" << "7" << "1\n[SYS]";
        QTest::newRow("value CR") << "Timer" << "7" << "1\r2";
        QTest::newRow("key LF") << "Timer" << "7\n8" << "1";
        QTest::newRow("section LF") << "Tim\ner" << "7" << "1";
    }
    void refusedLineBreaks()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        writeAll(path(), "[Timer]\r\n7=12:05\r\n");
        IniFile ini(path());
        expectRefused(ini, section, key, value);
    }
};

QTEST_GUILESS_MAIN(IniFileTest)
#include "tst_inifile.moc"
