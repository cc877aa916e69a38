#include "core/common/storable_text.h"

#include "core/common/cp932.h"

#include <QHash>
#include <algorithm>
#include <optional>

namespace tz {
namespace {

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar(0x2028) || c == QChar(0x2029);
}

bool storable(QStringView s)
{
    bool lossy = false;
    cp932::encode(s, &lossy);
    return !lossy;
}

// Close forms the decomposition does not give.
const QHash<char32_t, QString> &closeForms()
{
    static const QHash<char32_t, QString> forms = {
        {U'ß', QStringLiteral("ss")},
        {U'æ', QStringLiteral("ae")},
        {U'Æ', QStringLiteral("AE")},
        {U'œ', QStringLiteral("oe")},
        {U'Œ', QStringLiteral("OE")},
        {U'ø', QStringLiteral("o")},
        {U'Ø', QStringLiteral("O")},
        {U'ł', QStringLiteral("l")},
        {U'Ł', QStringLiteral("L")},
        {U'đ', QStringLiteral("d")},
        {U'Đ', QStringLiteral("D")},
        {U'ð', QStringLiteral("d")},
        {U'Ð', QStringLiteral("D")},
        {U'þ', QStringLiteral("th")},
        {U'Þ', QStringLiteral("Th")},
        {U'ı', QStringLiteral("i")},
        {0x2010, QStringLiteral("-")},
        {0x2011, QStringLiteral("-")},
        {0x2012, QStringLiteral("-")},
        {0x2013, QStringLiteral("-")},
        {0x2014, QStringLiteral("-")},
        {0x2015, QStringLiteral("-")},
        {0x2212, QStringLiteral("-")},
        {0x2018, QStringLiteral("'")},
        {0x2019, QStringLiteral("'")},
        {0x201A, QStringLiteral(",")},
        {0x201B, QStringLiteral("'")},
        {0x201C, QStringLiteral("\"")},
        {0x201D, QStringLiteral("\"")},
        {0x201E, QStringLiteral("\"")},
        {0x201F, QStringLiteral("\"")},
        {0x2039, QStringLiteral("<")},
        {0x203A, QStringLiteral(">")},
        {U'«', QStringLiteral("\"")},
        {U'»', QStringLiteral("\"")},
        {0x2022, QStringLiteral("・")},
        {U'©', QStringLiteral("(c)")},
        {U'®', QStringLiteral("(R)")},
        {0x2122, QStringLiteral("TM")},
        {U'µ', QStringLiteral("μ")},
        {0x00A0, QStringLiteral(" ")},
        {0x2007, QStringLiteral(" ")},
        {0x202F, QStringLiteral(" ")},
        {0x200B, QString()},
        {0x200C, QString()},
        {0x200D, QString()},
        {0xFEFF, QString()},
        {0x00AD, QString()},
    };
    return forms;
}

// The closest storable form of one character (a code point), or nothing.
std::optional<QString> closeForm(char32_t c)
{
    if (const auto it = closeForms().constFind(c); it != closeForms().constEnd())
        return *it;
    if (c >= 0x2000 && c <= 0x200A) // the typographic blanks
        return QStringLiteral(" ");
    // The compatibility decomposition without its combining marks: a letter
    // without its accent, "fi" for the ligature, digits for superscripts.
    QString decomposed = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KD);
    decomposed.removeIf([](QChar ch) { return ch.category() == QChar::Mark_NonSpacing; });
    if (!decomposed.isEmpty() && storable(decomposed))
        return decomposed;
    return std::nullopt;
}

} // namespace

QString WithoutLineBreaks(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar &c : out)
        if (isLineBreak(c))
            c = u' ';
    return out;
}

QString PlainWidth(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E)
            c = QChar(c.unicode() - 0xFF01 + 0x21);
        else if (c.unicode() == 0x3000)
            c = u' ';
    }
    return out;
}

StorableText MakeStorable(const QString &text)
{
    StorableText r;
    r.text.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const QStringView ch = QStringView(text).mid(i, length);
        i += length;
        if (ch.front().unicode() < 0x80 || storable(ch)) {
            r.text += ch;
            continue;
        }
        const char32_t code = ch.toUcs4().value(0);
        if (const std::optional<QString> form = closeForm(code)) {
            r.text += *form;
            const QString pair =
                ch.toString() + QStringLiteral("→") + (form->isEmpty() ? QStringLiteral("（なし）") : *form);
            if (!r.changed.contains(pair))
                r.changed.append(pair);
        } else if (!r.refused.contains(ch.toString())) {
            r.refused.append(ch.toString());
        }
    }
    return r;
}

QString StorableMessage(const StorableText &result)
{
    QStringList parts;
    if (!result.changed.isEmpty())
        parts.append(QStringLiteral("次の文字はシフト JIS で保存できないため、近い文字に置き換えました：\n") +
                     result.changed.join(QStringLiteral("　")));
    if (!result.refused.isEmpty())
        parts.append(QStringLiteral("次の文字はシフト JIS で保存できず、近い文字もないため、取り除きました：\n") +
                     result.refused.join(QStringLiteral("　")));
    return parts.join(QStringLiteral("\n\n"));
}

QString FitBytes(const QString &text, qsizetype width)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        bytes += cp932::encodedLength(QStringView(text).mid(i, length));
        if (bytes > width)
            return text.left(i);
        i += length;
    }
    return text;
}

BoxEdit FitBoxEdit(const QString &text, qsizetype cursor, qsizetype width)
{
    BoxEdit e{WithoutLineBreaks(text), std::clamp<qsizetype>(cursor, 0, text.size()), 0};
    if (e.text.size() != text.size()) // a CR LF pair became one blank before the cursor or after it
        e.cursor = std::min(WithoutLineBreaks(text.left(e.cursor)).size(), e.text.size());
    const QString tail = e.text.mid(e.cursor);
    const qsizetype tailBytes = cp932::encodedLength(tail);
    if (cp932::encodedLength(e.text) <= width)
        return e;
    // What stands before the cursor is cut to the room the rest leaves.
    const QString head = FitBytes(e.text.left(e.cursor), std::max<qsizetype>(0, width - tailBytes));
    e.removed = e.cursor - head.size();
    e.text = head + tail;
    e.cursor = head.size();
    if (cp932::encodedLength(e.text) > width) // the text after the cursor alone is too long
        e.text = FitBytes(e.text, width);
    return e;
}

} // namespace tz
