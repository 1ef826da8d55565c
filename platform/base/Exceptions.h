#pragma once

// The exception classes every layer raises and catches. Failures travel only
// as these; nothing returns error codes.

#include <QString>
#include <QVector>
#include <cstdint>
#include <exception>

// The general exception: a message text (Unicode; the system shows it as is).
class Exception : public std::exception {
public:
    explicit Exception(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString &message() const noexcept { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// A text that does not convert (a number, a date, a character outside the code page).
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// File input and output failures.
class EInOutError : public Exception {
public:
    using Exception::Exception;
};

// Other failures of the data layer (data sets, fields, connections).
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

// A failure reported by the database server or its client library.
class EIBError : public EDatabaseError {
public:
    EIBError(QString message, std::int32_t errorCode, std::int32_t sqlCode = 0)
        : EDatabaseError(std::move(message)), errorCode_(errorCode), sqlCode_(sqlCode)
    {
    }
    // The first code of the server's status vector, such as 335544665.
    std::int32_t errorCode() const noexcept { return errorCode_; }
    std::int32_t sqlCode() const noexcept { return sqlCode_; }

private:
    std::int32_t errorCode_;
    std::int32_t sqlCode_;
};

// The desktop database engine's failure: a list of entries, each a code and a text.
// Nothing in this system works through that engine; the error translation still
// understands it.
class EDBEngineError : public EDatabaseError {
public:
    struct Entry {
        std::uint16_t errorCode;
        QString message;
    };
    EDBEngineError(QString message, QVector<Entry> entries)
        : EDatabaseError(std::move(message)), entries_(std::move(entries))
    {
    }
    const QVector<Entry> &entries() const noexcept { return entries_; }

private:
    QVector<Entry> entries_;
};

// The text of any exception: the message of ours, what() of any other.
inline QString exceptionMessage(const std::exception &error)
{
    const auto *own = dynamic_cast<const Exception *>(&error);
    return own ? own->message() : QString::fromLocal8Bit(error.what());
}
