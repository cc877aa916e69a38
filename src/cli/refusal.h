#pragma once
// What the command files share: a refusal ends a command with its message
// (status 2), and text goes out in UTF-8.

#include <QString>
#include <cstdio>

namespace tz {

struct Refusal
{
    QString message;
};

[[noreturn]] inline void refuse(const QString &message)
{
    throw Refusal{message};
}

inline void print(std::FILE *to, const QString &text)
{
    std::fputs(text.toUtf8().constData(), to);
}

} // namespace tz
