#include "core/interchange/exchange_file.h"

#include "core/common/cp932.h"
#include "core/interchange/bibtex.h"
#include "core/interchange/csl_json.h"
#include "core/interchange/ris.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace tz {

namespace {

bool isUtf16(QByteArrayView bytes)
{
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

} // namespace

std::optional<ExchangeFormat> ExchangeFormatFromName(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("ris"))
        return ExchangeFormat::Ris;
    if (n == QLatin1String("bibtex") || n == QLatin1String("bib"))
        return ExchangeFormat::Bibtex;
    if (n == QLatin1String("csljson") || n == QLatin1String("csl-json") || n == QLatin1String("json"))
        return ExchangeFormat::CslJson;
    return std::nullopt;
}

QString ExchangeFormatName(ExchangeFormat format)
{
    switch (format) {
    case ExchangeFormat::Ris:
        return QStringLiteral("RIS");
    case ExchangeFormat::Bibtex:
        return QStringLiteral("BibTeX");
    case ExchangeFormat::CslJson:
        break;
    }
    return QStringLiteral("CSL-JSON");
}

QString ExchangeFormatSuffix(ExchangeFormat format)
{
    switch (format) {
    case ExchangeFormat::Ris:
        return QStringLiteral(".ris");
    case ExchangeFormat::Bibtex:
        return QStringLiteral(".bib");
    case ExchangeFormat::CslJson:
        break;
    }
    return QStringLiteral(".json");
}

std::optional<ExchangeFormat> DetectExchangeFormat(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i].isSpace() || text[i] == QChar(0xFEFF)))
        ++i;
    if (i >= text.size())
        return std::nullopt;
    if (text[i] == u'[' || text[i] == u'{')
        return ExchangeFormat::CslJson;
    static const QRegularExpression ris(QStringLiteral("^TY {1,2}-"));
    if (ris.match(QStringView(text).sliced(i)).hasMatch())
        return ExchangeFormat::Ris;
    if (text[i] == u'@')
        return ExchangeFormat::Bibtex;
    // Some databases write a few header lines ("Provider: ...") before the
    // first RIS entry; BibTeX allows any text before the first entry.
    static const QRegularExpression risLine(QStringLiteral("(^|\\n)TY {1,2}-"));
    if (risLine.match(text).hasMatch())
        return ExchangeFormat::Ris;
    static const QRegularExpression entry(QStringLiteral("(^|\\n)\\s*@\\s*[A-Za-z]+\\s*[{(]"));
    if (entry.match(text).hasMatch())
        return ExchangeFormat::Bibtex;
    return std::nullopt;
}

QString DecodeExchangeBytes(QByteArrayView bytes, bool *cp932)
{
    QByteArrayView b = bytes;
    // Some Windows programs write UTF-16 with its byte-order mark.
    if (isUtf16(b)) {
        if (cp932)
            *cp932 = false;
        return QStringDecoder(b.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE)
            .decode(b.sliced(2));
    }
    if (b.startsWith("\xEF\xBB\xBF"))
        b = b.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(b);
    const bool isUtf8 = !utf8.hasError();
    if (cp932)
        *cp932 = !isUtf8;
    return isUtf8 ? text : cp932::decode(b);
}

ReadResult ReadExchange(QByteArrayView bytes)
{
    if (bytes.size() > kMaxExchangeFileBytes)
        return {{},
                QStringLiteral("ファイルが大きすぎます（%1 MB。読めるのは %2 MB までです）")
                    .arg(bytes.size() / (1024 * 1024))
                    .arg(kMaxExchangeFileBytes / (1024 * 1024))};
    if (!isUtf16(bytes) && bytes.contains('\0'))
        return {
            {},
            QStringLiteral("%1 行目: 文字でないデータ（NUL）があります。RIS、BibTeX、CSL-JSON のファイルではありません")
                .arg(bytes.first(bytes.indexOf('\0')).count('\n') + 1)};
    const QString text = DecodeExchangeBytes(bytes);
    const std::optional<ExchangeFormat> format = DetectExchangeFormat(text);
    if (!format)
        return {{}, QStringLiteral("1 行目: RIS、BibTeX、CSL-JSON のどれでもありません")};
    switch (*format) {
    case ExchangeFormat::Ris:
        return ReadRis(text);
    case ExchangeFormat::Bibtex:
        return ReadBibtex(text);
    case ExchangeFormat::CslJson:
        break;
    }
    return ReadCslJson(text);
}

QByteArray WriteExchange(ExchangeFormat format, const QList<Reference> &refs)
{
    switch (format) {
    case ExchangeFormat::Ris:
        return WriteRis(refs);
    case ExchangeFormat::Bibtex:
        return WriteBibtex(refs);
    case ExchangeFormat::CslJson:
        break;
    }
    return WriteCslJson(refs);
}

} // namespace tz
