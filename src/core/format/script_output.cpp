#include "core/format/script_output.h"

#include "core/common/cp932.h"

#include <QRegularExpression>

namespace tz {
namespace {

bool encodable(QStringView c)
{
    bool lossy = false;
    cp932::encode(c, &lossy);
    return !lossy;
}

void escapeHtml(QStringView text, QString &out)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            continue;
        case u'<':
            out += QLatin1String("&lt;");
            continue;
        case u'>':
            out += QLatin1String("&gt;");
            continue;
        case u'"':
            out += QLatin1String("&quot;");
            continue;
        case u'\'':
            out += QLatin1String("&#39;");
            continue;
        default:
            break;
        }
        if (c.unicode() < 0x80) {
            out += c;
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += QStringLiteral("&#%1;").arg(QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else if (encodable(text.sliced(i, 1))) {
            out += c;
        } else {
            out += QStringLiteral("&#%1;").arg(c.unicode());
        }
    }
}

void escapeRtf(QStringView text, QString &out)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += u'\\';
            out += QChar(c);
        } else if (c == u'\t') {
            out += QLatin1String("\\tab ");
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += QLatin1String("\\line ");
        } else if (c >= 0x20 && c < 0x7F) {
            out += QChar(c);
        } else {
            // Each UTF-16 unit on its own, as RTF writes characters outside
            // the basic plane; the signed value is what \u takes.
            out += QLatin1String("\\u") + QString::number(static_cast<qint16>(c)) + u'?';
        }
    }
}

void escapeLatex(QStringView text, QString &out)
{
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'#':
        case u'$':
        case u'%':
        case u'&':
        case u'_':
        case u'{':
        case u'}':
            out += u'\\';
            out += c;
            break;
        case u'~':
            out += QLatin1String("\\textasciitilde{}");
            break;
        case u'^':
            out += QLatin1String("\\textasciicircum{}");
            break;
        case u'\\':
            out += QLatin1String("\\textbackslash{}");
            break;
        case u'<':
            out += QLatin1String("\\textless{}");
            break;
        case u'>':
            out += QLatin1String("\\textgreater{}");
            break;
        case u'|':
            out += QLatin1String("\\textbar{}");
            break;
        default:
            out += c;
        }
    }
}

} // namespace

TextEscape EscapeOfNameLine(QStringView line)
{
    if (line.size() < 2 || line[0] != u'=')
        return TextEscape::None;
    switch (line[1].unicode()) {
    case u'H':
        return TextEscape::Html;
    case u'R':
        return TextEscape::Rtf;
    case u'L':
        return TextEscape::Latex;
    default:
        return TextEscape::None;
    }
}

QString EscapeMarker(TextEscape escape)
{
    switch (escape) {
    case TextEscape::Html:
        return QStringLiteral("=H");
    case TextEscape::Rtf:
        return QStringLiteral("=R");
    case TextEscape::Latex:
        return QStringLiteral("=L");
    case TextEscape::None:
        break;
    }
    return QStringLiteral("==");
}

QString EscapeText(QStringView text, TextEscape escape)
{
    QString out;
    switch (escape) {
    case TextEscape::None:
        return text.toString();
    case TextEscape::Html:
        out.reserve(text.size() + text.size() / 8);
        escapeHtml(text, out);
        break;
    case TextEscape::Rtf:
        out.reserve(text.size() + text.size() / 8);
        escapeRtf(text, out);
        break;
    case TextEscape::Latex:
        out.reserve(text.size() + text.size() / 8);
        escapeLatex(text, out);
        break;
    }
    return out;
}

DeclaredEncoding DeclaredEncodingOf(QStringView header, QString *name)
{
    static const QRegularExpression markup(QStringLiteral(R"((?:charset|encoding)\s*=\s*["']?([A-Za-z0-9_.:\-]+))"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression rtf(QStringLiteral(R"(\\ansicpg(\d+))"));
    QString declared;
    if (const QRegularExpressionMatch m = markup.match(header.toString()); m.hasMatch())
        declared = m.captured(1);
    else if (const QRegularExpressionMatch r = rtf.match(header.toString()); r.hasMatch())
        declared = QStringLiteral("cp") + r.captured(1);
    if (name)
        *name = declared;
    if (declared.isEmpty())
        return DeclaredEncoding::None;
    const QString key = declared.toLower().remove(u'-').remove(u'_');
    static const QStringList cp932Names{QStringLiteral("shiftjis"),   QStringLiteral("sjis"),
                                        QStringLiteral("xsjis"),      QStringLiteral("csshiftjis"),
                                        QStringLiteral("windows31j"), QStringLiteral("cswindows31j"),
                                        QStringLiteral("cp932"),      QStringLiteral("ms932"),
                                        QStringLiteral("mskanji"),    QStringLiteral("windows932")};
    if (cp932Names.contains(key))
        return DeclaredEncoding::Cp932;
    if (key == u"utf8" || key == u"cp65001")
        return DeclaredEncoding::Utf8;
    return DeclaredEncoding::Other;
}

} // namespace tz
