#pragma once

#include <QString>

#include <stdexcept>

// The error that socket operations raise. The message is one of the fixed texts of the
// socket layer ("Send - Socket Not Connected", "Listen - Error Binding Socket" ...); owners
// compare and show it, so it is kept as the exact QString as well as in what().
class ESockException : public std::runtime_error {
public:
    explicit ESockException(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }

    QString message() const { return m_message; }

private:
    QString m_message;
};
