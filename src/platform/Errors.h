#pragma once
// Errors raised by the program's operations. They travel as C++ exceptions
// up to the guard around each event handler (see Dialogs.h), which shows
// them in the error box and lets the program go on.
#include <QByteArray>
#include <QString>
#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A text that is not an integer: "'%s' is not a valid integer value".
class ConvertError : public Exception {
public:
    using Exception::Exception;
};

// The settings file refused a write: "Unable to write to %s".
class IniFileError : public Exception {
public:
    using Exception::Exception;
};
