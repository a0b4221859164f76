#pragma once
// A settings file in the classic INI form: [section] headers followed by
// key=value lines. Every read and every write goes to the file at once;
// nothing of its contents is kept in memory.
//
// Reading: section and key names match without regard to ASCII case, with
// blanks around them ignored; the first matching section and key win. A
// value is what follows the first "=", trimmed, with one pair of matching
// quotes removed, and at most 2047 bytes long.
//
// Writing changes only the line concerned and keeps every other byte. The
// new content replaces the file atomically (temporary file in the same
// directory, flushed, renamed over the old one), so a crash mid-write never
// leaves a truncated file. A refused write leaves the file as it was and
// raises IniFileError "Unable to write to <file name>".
#include <QString>

class IniFile {
public:
    explicit IniFile(QString fileName);

    const QString& FileName() const { return m_fileName; }

    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Decimal, or hexadecimal after $, x, X, 0x or 0X; anything else gives the default.
    qint32 ReadInteger(const QString& section, const QString& key, qint32 defaultValue) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, qint32 value);

private:
    [[noreturn]] void fail() const;

    QString m_fileName;
};
