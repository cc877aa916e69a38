#include "core/format/script_file.h"

#include "core/common/basic.h"
#include "core/common/cp932.h"
#include "core/format/definition_file.h"

namespace tz {
namespace {

const QString kItem = QStringLiteral("スクリプト");
constexpr int kBlockLines = 13;

enum class CodeStatus { Ok, NotHex, NotText };

struct CodeResult
{
    QString code;
    CodeStatus status = CodeStatus::Ok;
    QString text; // the hexadecimal part as written, for messages
};

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

bool isBlankOrTab(QChar c)
{
    return c == u' ' || c == u'\t';
}

CodeResult decodeCode(QStringView line)
{
    CodeResult result;
    QStringView t = line;
    const qsizetype comment = t.indexOf(u'\'');
    if (comment >= 0)
        t = t.first(comment);
    // Text editors like to put tabs before a comment: they count as blanks.
    while (!t.isEmpty() && isBlankOrTab(t.front()))
        t = t.sliced(1);
    while (!t.isEmpty() && isBlankOrTab(t.back()))
        t.chop(1);
    result.text = t.toString();

    QByteArray bytes;
    bytes.reserve(t.size() / 2 + 1);
    for (qsizetype i = 0; i < t.size(); i += 2) {
        const int high = hexValue(t[i]);
        const int low = i + 1 < t.size() ? hexValue(t[i + 1]) : 0;
        if (high < 0 || low < 0) {
            result.status = CodeStatus::NotHex;
            return result;
        }
        bytes.append(static_cast<char>(i + 1 < t.size() ? high * 16 + low : high));
    }
    QString code = cp932::decode(bytes);
    if (ReplaceUndecodable(code)) {
        result.status = CodeStatus::NotText;
        return result;
    }
    result.code = code;
    return result;
}

// The codes in file order (lines 3..13 of a block) with their names.
struct CodeSlot
{
    QString Script::*member;
    const char16_t *label;
};
const CodeSlot kCodes[] = {
    {&Script::header, u"ヘッダー"},       {&Script::trailer, u"トレーラー"}, {&Script::underlineOn, u"下線開始"},
    {&Script::underlineOff, u"下線終了"}, {&Script::superOn, u"上付き開始"}, {&Script::superOff, u"上付き終了"},
    {&Script::subOn, u"下付き開始"},      {&Script::subOff, u"下付き終了"},  {&Script::boldOn, u"太字開始"},
    {&Script::boldOff, u"太字終了"},      {&Script::lineBreak, u"改行"},
};

Script readScript(const QList<QByteArrayView> &lines, int number, const QString &fileName, QStringList &report)
{
    const QString prefix = QStringLiteral("%1: %2 %3 の").arg(fileName, kItem, QString::number(number));
    Script script;
    const QString nameLine = cp932::decode(lines[0]);
    script.name = NameLineText(nameLine);
    script.escape = EscapeOfNameLine(nameLine);
    if (ReplaceUndecodable(script.name))
        report << prefix + QStringLiteral("名前にシフトJIS として読めないバイトがあります。「?」に置き換えました");
    script.note = Trim(cp932::decode(lines[1]));
    if (ReplaceUndecodable(script.note))
        report << prefix + QStringLiteral("注記にシフトJIS として読めないバイトがあります。「?」に置き換えました");
    for (int i = 0; i < 11; ++i) {
        const CodeResult r = decodeCode(cp932::decode(lines[2 + i]));
        script.*kCodes[i].member = r.code;
        if (r.status == CodeStatus::Ok)
            continue;
        const QString what = r.status == CodeStatus::NotHex ? QStringLiteral("は 16 進数の並びではありません")
                                                            : QStringLiteral("はシフトJIS の文字になりません");
        report << prefix + QStringLiteral(" %1 行目（%2）「%3」%4。この符号は空にしました")
                               .arg(QString::number(3 + i), QString::fromUtf16(kCodes[i].label),
                                    QuotedInMessage(r.text), what);
    }
    return script;
}

} // namespace

bool operator==(const ScriptTable &a, const ScriptTable &b)
{
    if (a.ScriptCount != b.ScriptCount)
        return false;
    const int n = qBound(0, a.ScriptCount, MaxScripts);
    for (int k = 1; k <= n; ++k)
        if (!(a.script(k) == b.script(k)))
            return false;
    return true;
}

QString DecodeCodeLine(QStringView line, bool *ok)
{
    const CodeResult r = decodeCode(line);
    if (ok)
        *ok = r.status == CodeStatus::Ok;
    return r.code;
}

ScriptTable ParseScriptFile(QByteArrayView bytes, const QString &fileName, QStringList &report)
{
    ScriptTable table;
    const QList<QByteArrayView> lines = DefinitionLines(bytes, 2 + qsizetype(kBlockLines) * MaxScripts);
    const int count = DefinitionCount(lines, MaxScripts, fileName, kItem, report);
    for (int k = 1; k <= count; ++k) {
        const qsizetype start = 2 + static_cast<qsizetype>(k - 1) * kBlockLines;
        if (lines.size() < start + kBlockLines) {
            ReportTruncated(k, count, lines.size() > start, fileName, kItem, report);
            break;
        }
        table.script(k) = readScript(lines.mid(start, kBlockLines), k, fileName, report);
        table.ScriptCount = k;
    }
    return table;
}

void ScriptRead(const QString &path, ScriptTable &table, QStringList &report)
{
    QString shownName;
    const std::optional<QByteArray> bytes = LoadDefinitionFile(path, kItem, &shownName, report);
    table = bytes ? ParseScriptFile(*bytes, shownName, report) : ScriptTable();
}

} // namespace tz
