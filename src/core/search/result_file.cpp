#include "core/search/result_file.h"

#include "core/common/cp932.h"
#include "core/common/file_io.h"

namespace tz {

QString CrLfLines(const QString &boxText)
{
    QString out;
    out.reserve(boxText.size() + boxText.size() / 40 + 2);
    for (qsizetype i = 0; i < boxText.size(); ++i) {
        const QChar c = boxText.at(i);
        if (c == u'\r') {
            if (i + 1 < boxText.size() && boxText.at(i + 1) == u'\n')
                ++i;
            out += QStringLiteral("\r\n");
        } else if (c == u'\n') {
            out += QStringLiteral("\r\n");
        } else {
            out += c;
        }
    }
    return out;
}

QString ResultFileText(const QString &boxText)
{
    return CrLfLines(boxText) + QStringLiteral("\r\n");
}

QStringList UnencodableChars(const QString &text, int max)
{
    QStringList found;
    bool lossy = false;
    cp932::encode(text, &lossy);
    if (!lossy)
        return found;
    for (qsizetype i = 0; i < text.size() && found.size() < max; ++i) {
        // A character outside the basic plane is one pair of surrogates.
        const qsizetype len =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const QString ch = text.mid(i, len);
        i += len - 1;
        bool bad = false;
        cp932::encode(ch, &bad);
        if (bad && !found.contains(ch))
            found.append(ch);
    }
    return found;
}

bool SaveResultFile(const QString &path, const QString &boxText, bool utf8, QString *error)
{
    const QString text = ResultFileText(boxText);
    const QByteArray bytes = utf8 ? text.toUtf8() : cp932::encode(text);
    return WriteFileAtomic(path, bytes, error);
}

} // namespace tz
