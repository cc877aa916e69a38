#include "core/common/text.h"

#include "core/common/cp932.h"

#include <QStringList>

namespace tz {

QString AddSuffix(const QString &text, const QString &suffix)
{
    return text.endsWith(suffix) ? text : text + suffix;
}

QString StripSuffix(const QString &text, const QString &suffix)
{
    if (suffix.isEmpty() || !text.endsWith(suffix))
        return text;
    return text.left(text.size() - suffix.size());
}

int FindSep(int start, const QString &text, const QString &sep)
{
    if (start < 1)
        start = 1;
    if (sep.isEmpty() || start > text.size())
        return 0;
    const qsizetype at = text.indexOf(sep, start - 1);
    if (at < 0)
        return 0;
    if (at > 0) {
        const int b = cp932::singleByte(text[at - 1].unicode());
        if ((b >= 128 && b <= 159) || (b >= 224 && b <= 255))
            return 0;
    }
    return static_cast<int>(at) + 1;
}

int LastPos(const QString &text, const QString &ch)
{
    int last = 0;
    for (int p = FindSep(1, text, ch); p > 0; p = FindSep(p + 1, text, ch))
        last = p;
    return last;
}

QString ReplaceAll(const QString &text, const QString &sought, const QString &replacement)
{
    if (sought.isEmpty())
        return text;
    if (replacement.contains(sought)) // would never end when restarted from the front
        return QString(text).replace(sought, replacement);
    // Restarting at the first character finds the same match as resuming just
    // before the replaced place: the text in front of it is unchanged and held no
    // match, so a new match can only begin within sought.size() - 1 characters of it.
    QString s = text;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = s.indexOf(sought, from);
        if (at < 0)
            return s;
        s.replace(at, sought.size(), replacement);
        from = qMax<qsizetype>(0, at - sought.size() + 1);
    }
}

int HasDoubleByte(const QString &text)
{
    for (QChar c : text)
        if (cp932::charBytes(c.unicode()) == 2)
            return 1;
    return 0;
}

QString LineNumberList(const QList<int> &lines)
{
    QStringList shown;
    for (qsizetype i = 0; i < qMin<qsizetype>(lines.size(), 10); ++i)
        shown.append(QString::number(lines[i]));
    QString text = shown.join(QStringLiteral(", "));
    if (lines.size() > 10)
        text += QStringLiteral(" ほか %1 行").arg(lines.size() - 10);
    return text;
}

} // namespace tz
