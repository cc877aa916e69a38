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

namespace {

// Each format with its names, file ending, reader and writer, in the order
// of ExchangeFormat.
struct FormatEntry
{
    QLatin1StringView name;
    QLatin1StringView suffix;
    QStringList aliases;
    ReadResult (*read)(const QString &);
    QByteArray (*write)(const QList<Reference> &);
};

const FormatEntry &entry(ExchangeFormat format)
{
    static const FormatEntry table[] = {
        {QLatin1StringView("RIS"), QLatin1StringView(".ris"), {"ris"}, ReadRis, WriteRis},
        {QLatin1StringView("BibTeX"), QLatin1StringView(".bib"), {"bibtex", "bib"}, ReadBibtex, WriteBibtex},
        {QLatin1StringView("CSL-JSON"),
         QLatin1StringView(".json"),
         {"csljson", "csl-json", "json"},
         ReadCslJson,
         WriteCslJson},
    };
    return table[int(format)];
}

} // namespace

std::optional<ExchangeFormat> ExchangeFormatFromName(const QString &name)
{
    for (const ExchangeFormat f : kExchangeFormats)
        if (entry(f).aliases.contains(name.trimmed().toLower()))
            return f;
    return std::nullopt;
}

QString ExchangeFormatName(ExchangeFormat format)
{
    return entry(format).name;
}

QString ExchangeFormatSuffix(ExchangeFormat format)
{
    return entry(format).suffix;
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
    return entry(*format).read(text);
}

QByteArray WriteExchange(ExchangeFormat format, const QList<Reference> &refs)
{
    return entry(format).write(refs);
}

} // namespace tz
