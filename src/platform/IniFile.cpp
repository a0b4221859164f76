#include "platform/IniFile.h"

#include "platform/Errors.h"
#include "platform/IntConv.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <optional>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype kMaxValueBytes = 2047;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray trimBlanks(const QByteArray& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.mid(b, e - b);
}

bool sameName(const QByteArray& a, const QByteArray& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct Line {
    qsizetype begin; // first byte
    qsizetype end;   // one past the last byte before the line break
    qsizetype next;  // first byte of the following line
};

QList<Line> splitLines(const QByteArray& data)
{
    QList<Line> lines;
    qsizetype pos = 0;
    while (pos < data.size()) {
        qsizetype nl = data.indexOf('\n', pos);
        const qsizetype next = nl < 0 ? data.size() : nl + 1;
        qsizetype end = nl < 0 ? data.size() : nl;
        if (end > pos && data[end - 1] == '\r') --end;
        lines.append({pos, end, next});
        pos = next;
    }
    return lines;
}

// The section name if the line is a header, else nothing.
std::optional<QByteArray> headerName(const QByteArray& text)
{
    const QByteArray t = trimBlanks(text);
    if (!t.startsWith('['))
        return std::nullopt;
    qsizetype close = t.indexOf(']');
    return trimBlanks(t.mid(1, close < 0 ? -1 : close - 1));
}

// Where a section and a key stand in a file.
struct Place {
    qsizetype header = -1;    // index of the matching section's header line
    qsizetype lastFilled = -1; // last non-blank line of that section
    qsizetype keyLine = -1;   // index of the first matching key line
    qsizetype equals = -1;    // byte offset of that line's "="
};

Place locate(const QByteArray& data, const QList<Line>& lines, const QByteArray& section, const QByteArray& key)
{
    Place p;
    bool inside = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray text = data.mid(lines[i].begin, lines[i].end - lines[i].begin);
        if (auto name = headerName(text)) {
            if (inside)
                break; // only the first matching section counts
            if (sameName(*name, section)) {
                inside = true;
                p.header = p.lastFilled = i;
            }
            continue;
        }
        if (!inside)
            continue;
        if (!trimBlanks(text).isEmpty())
            p.lastFilled = i;
        if (p.keyLine >= 0)
            continue;
        const qsizetype eq = text.indexOf('=');
        if (eq >= 0 && sameName(trimBlanks(text.left(eq)), key)) {
            p.keyLine = i;
            p.equals = lines[i].begin + eq;
        }
    }
    return p;
}

QByteArray rawValue(const QByteArray& data, const Line& line, qsizetype equals)
{
    return trimBlanks(data.mid(equals + 1, line.end - equals - 1));
}

bool markedReadOnly(const struct stat& st) { return (st.st_mode & 0222) == 0; }

bool writeAll(int fd, const QByteArray& data)
{
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

void syncDirectory(const QByteArray& dir)
{
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Rewrites an existing file where it stands; used only when its directory
// takes no new files. On failure the old bytes are put back.
bool rewriteInPlace(const QByteArray& path, const QByteArray& oldData, const QByteArray& newData)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, newData) && ::ftruncate(fd, newData.size()) == 0 && ::fsync(fd) == 0;
    if (!ok) {
        ::lseek(fd, 0, SEEK_SET);
        writeAll(fd, oldData);
        (void)::ftruncate(fd, oldData.size());
        ::fsync(fd);
    }
    ::close(fd);
    return ok;
}

bool replaceFile(const QString& fileName, const QByteArray& oldData, const QByteArray& newData)
{
    QString target = fileName;
    const QFileInfo info(fileName);
    if (info.isSymLink())
        target = info.symLinkTarget(); // keep the link, replace what it points to
    const QByteArray path = QFile::encodeName(target);
    const QByteArray dir = QFile::encodeName(QFileInfo(target).absolutePath());

    struct stat fileStat {};
    const bool exists = ::stat(path.constData(), &fileStat) == 0;
    if (exists && (markedReadOnly(fileStat) || ::access(path.constData(), W_OK) != 0))
        return false;

    struct stat dirStat {};
    if (::stat(dir.constData(), &dirStat) != 0)
        return false;
    const bool dirWritable = !markedReadOnly(dirStat) && ::access(dir.constData(), W_OK) == 0;
    if (!dirWritable)
        return exists && rewriteInPlace(path, oldData, newData);

    const QByteArray tmp = path + ".tmp-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
    const int fd = ::open(tmp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? (fileStat.st_mode & 07777) : 0666);
    if (fd < 0)
        return exists && (errno == EACCES || errno == EPERM || errno == EROFS) && rewriteInPlace(path, oldData, newData);
    bool ok = true;
    if (exists)
        ok = ::fchmod(fd, fileStat.st_mode & 07777) == 0;
    ok = ok && writeAll(fd, newData) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(tmp.constData(), path.constData()) == 0;
    if (!ok) {
        ::unlink(tmp.constData());
        return false;
    }
    syncDirectory(dir);
    return true;
}

bool hasLineBreak(const QString& s)
{
    return s.contains(u'\n') || s.contains(u'\r') || s.contains(QChar(0));
}

} // namespace

IniFile::IniFile(QString fileName) : m_fileName(std::move(fileName)) {}

void IniFile::fail() const
{
    throw IniFileError(QStringLiteral("Unable to write to %1").arg(m_fileName));
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const
{
    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue;
    const QByteArray data = file.readAll();
    const QList<Line> lines = splitLines(data);
    const Place p = locate(data, lines, section.toLocal8Bit(), key.toLocal8Bit());
    if (p.keyLine < 0)
        return defaultValue;
    QByteArray v = rawValue(data, lines[p.keyLine], p.equals);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return QString::fromLocal8Bit(v.left(kMaxValueBytes));
}

qint32 IniFile::ReadInteger(const QString& section, const QString& key, qint32 defaultValue) const
{
    QString text = ReadString(section, key, QString());
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
        text = u'$' + text.mid(2);
    return TryStrToInt(text).value_or(defaultValue);
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value) || key.trimmed().isEmpty()
        || section.trimmed().isEmpty())
        fail();

    QByteArray data;
    QFile file(m_fileName);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            fail();
        data = file.readAll();
        file.close();
    }
    const QByteArray sec = section.toLocal8Bit();
    const QByteArray k = key.toLocal8Bit();
    const QByteArray v = value.toLocal8Bit();
    const QList<Line> lines = splitLines(data);
    const Place p = locate(data, lines, sec, k);

    QByteArray out;
    if (p.keyLine >= 0) {
        const Line& line = lines[p.keyLine];
        if (rawValue(data, line, p.equals) == v)
            return; // already there: the file stays untouched
        out = data.left(p.equals + 1) + v + data.mid(line.end);
    } else {
        const QByteArray entry = k + '=' + v + "\r\n";
        if (p.header >= 0) {
            const Line& after = lines[p.lastFilled];
            QByteArray head = data.left(after.next);
            if (after.next == after.end) // last line of the file, no line break yet
                head += "\r\n";
            out = head + entry + data.mid(after.next);
        } else {
            out = data;
            if (!out.isEmpty() && !out.endsWith('\n'))
                out += "\r\n";
            out += '[' + sec + "]\r\n" + entry;
        }
    }
    if (!replaceFile(m_fileName, data, out))
        fail();
}

void IniFile::WriteInteger(const QString& section, const QString& key, qint32 value)
{
    WriteString(section, key, IntToStr(value));
}
