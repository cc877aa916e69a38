#include "core/format/render.h"

#include "core/common/basic.h"
#include "core/common/comb_sort.h"
#include "core/common/ole_date.h"
#include "core/format/name_list.h"

#include <QRegularExpression>
#include <algorithm>

namespace tz {
namespace {

using namespace Qt::StringLiterals;

// A number written as a decimal conversion that reserves a sign position does.
QString signedNumber(qint64 n)
{
    return n >= 0 ? u' ' + QString::number(n) : QString::number(n);
}

// While an entry is built, the script's codes and the values put in for the
// symbols of the word order are bounded by characters that no record, name or
// code can hold (Unicode noncharacters: code page 932 decodes to none of
// them). The finished line drops them: codes are written as they are, the
// text between them escaped as the script says, and a literal "." or "," of
// the word order that follows a value already ending in that character is
// left out ("A.." and "et al.." become "A." and "et al.").
constexpr char16_t kCodeStart = 0xFDD0;
constexpr char16_t kCodeEnd = 0xFDD1;
constexpr char16_t kValueStart = 0xFDD2;
constexpr char16_t kValueEnd = 0xFDD3;

bool isBoundary(QChar c)
{
    return c.unicode() >= kCodeStart && c.unicode() <= kValueEnd;
}

QString withoutBoundaries(QString text)
{
    text.removeIf(isBoundary);
    return text;
}

QString boundedCode(const QString &code)
{
    return QChar(kCodeStart) + withoutBoundaries(code) + QChar(kCodeEnd);
}

// The marks of `text` replaced by open and close codes in turn. Each search
// starts at least minStep past where the last code began, and never inside a
// code: a code that holds the mark itself (a script writing "**" for "*") is
// output, not markup, and searching it would replace without end.
QString pairMarks(const QString &text, const QString &mark, const QString &open, const QString &close,
                  qsizetype minStep)
{
    auto after = [minStep](qsizetype at, const QString &code) { return at + qMax(minStep, code.size()); };
    QString t = text;
    qsizetype from = 0;
    for (;;) {
        qsizetype at = t.indexOf(mark, from);
        if (at < 0)
            return t;
        t.replace(at, mark.size(), open);
        at = t.indexOf(mark, after(at, open));
        if (at < 0)
            return t + close;
        t.replace(at, mark.size(), close);
        from = after(at, close);
    }
}

// MarkupPair with each code bounded: the searches skip exactly what they skip
// for the bare codes (the two bounds more), so that the marks pair up the
// same way.
QString boundedMarkupPair(const QString &text, const QString &mark, const QString &open, const QString &close)
{
    return pairMarks(text, mark, boundedCode(open), boundedCode(close), 3);
}

// The word order of a record style with the script's codes put in for the
// marks and each symbol bounded as a value.
QString preparedOrder(const OutputForm &form, const Script &s, int style)
{
    static const QRegularExpression symbol(QStringLiteral("(\\[(?:M|T|J|V|PS|PE|Y|B|K|L|FR|F|R|N\\d{0,9}|D|A|E)\\])"));
    if (style < 1)
        return {};
    QString order = withoutBoundaries(form.order[static_cast<size_t>(qMin(style, 4))]); // 5 and 6 are written like 4
    order.replace(symbol, QString(QChar(kValueStart)) + QStringLiteral("\\1") + QChar(kValueEnd));
    order = boundedMarkupPair(order, QStringLiteral("*"), s.underlineOn, s.underlineOff);
    order = boundedMarkupPair(order, QStringLiteral("@"), s.subOn, s.subOff);
    order = boundedMarkupPair(order, QStringLiteral("^"), s.superOn, s.superOff);
    order = boundedMarkupPair(order, QStringLiteral("|"), s.boldOn, s.boldOff);
    return order.replace(QStringLiteral("[/]"), boundedCode(s.lineBreak));
}

// The line as written: boundaries dropped, codes as they are, the text between
// them escaped, doubled "." and "," after a value left out. A code may hold
// another code (a mark inside an earlier code is translated by a later one).
QString finishedLine(const QString &line, TextEscape escape)
{
    // The text between codes collects in `text` (text[0, size)); a code
    // writes it out escaped, then itself.
    QString out;
    out.reserve(line.size() + line.size() / 8);
    QString text(line.size(), Qt::Uninitialized);
    QChar *const buffer = text.data();
    qsizetype size = 0;
    auto flush = [&] {
        if (size == 0)
            return;
        if (escape == TextEscape::None)
            out.append(buffer, size);
        else
            out += EscapeText(QStringView(buffer, size), escape);
        size = 0;
    };
    int depth = 0;           // inside this many codes
    QChar last;              // the last character of text written (codes aside)
    bool afterValue = false; // nothing but codes since the end of a value
    for (const QChar c : line) {
        if (c == kCodeStart) {
            if (depth++ == 0)
                flush();
        } else if (c == kCodeEnd) {
            depth = qMax(0, depth - 1);
        } else if (depth > 0) {
            if (!isBoundary(c))
                out += c;
        } else if (c == kValueEnd || c == kValueStart) {
            afterValue = c == kValueEnd;
        } else {
            const bool doubled = afterValue && (c == u'.' || c == u',') && c == last;
            afterValue = false;
            if (!doubled) {
                buffer[size++] = c;
                last = c;
            }
        }
    }
    flush();
    return out;
}

// Where the symbol (ASCII, from "[") stands in text at or after `from`; -1
// when nowhere.
qsizetype symbolAt(QStringView text, QLatin1StringView symbol, qsizetype from)
{
    const char16_t *const begin = text.utf16();
    const char16_t *const end = begin + text.size();
    for (const char16_t *at = std::find(begin + from, end, u'['); at != end; at = std::find(at + 1, end, u'[')) {
        if (end - at < symbol.size())
            return -1;
        qsizetype i = 1;
        while (i < symbol.size() && at[i] == symbol[i].unicode())
            ++i;
        if (i == symbol.size())
            return at - begin;
    }
    return -1;
}

// "[N]" gives the running number; "[Nx]" numbers from x.
QString putNumbering(QString line, int running)
{
    static const QRegularExpression from(QStringLiteral("\\[N(\\d{1,9})\\]"));
    if (symbolAt(line, "[N"_L1, 0) < 0)
        return line;
    line.replace(QStringLiteral("[N]"), QString::number(running));
    if (!line.contains(QStringLiteral("[N")))
        return line;
    QString out;
    qsizetype last = 0;
    for (auto it = from.globalMatch(line); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(line).sliced(last, m.capturedStart() - last);
        out += QString::number(m.captured(1).toLongLong() + running - 1);
        last = m.capturedEnd();
    }
    out += QStringView(line).sliced(last);
    return out;
}

QString entry(const QString &order, const Record &rec, int recNo, int running, const RenderContext &ctx)
{
    QString line = order;
    // Each symbol in turn, wherever it stands, its value made only when the
    // line holds it (a value put in may hold a later symbol, which is then
    // replaced too).
    auto put = [&line](QLatin1StringView symbol, const auto &value) {
        qsizetype at = symbolAt(line, symbol, 0);
        if (at < 0)
            return;
        const QString v = withoutBoundaries(value());
        QString out;
        out.reserve(line.size() + v.size());
        qsizetype from = 0;
        for (; at >= 0; at = symbolAt(line, symbol, from)) {
            out.append(QStringView(line).sliced(from, at - from));
            out.append(v);
            from = at + symbol.size();
        }
        out.append(QStringView(line).sliced(from));
        line = std::move(out);
    };
    put("[M]"_L1, [&] { return Trim(rec.Memo); });
    put("[T]"_L1, [&] { return Trim(rec.Title); });
    put("[J]"_L1, [&] { return Trim(JPcodeName(ctx.jp, rec.JPcode)); });
    put("[V]"_L1, [&] { return Trim(rec.Volume); });
    put("[PS]"_L1, [&] { return Trim(rec.Page1); });
    put("[PE]"_L1, [&] { return Trim(rec.Page2); });
    put("[Y]"_L1, [&] { return QString::number(rec.Year); });
    put("[B]"_L1, [&] { return Trim(rec.Book); });
    put("[K]"_L1, [&] { return Trim(rec.Keyword); });
    put("[L]"_L1, [&] { return Trim(ctx.readLinkList(recNo)); });
    put("[FR]"_L1, [&] { return ctx.BankName + QStringLiteral(" -") + signedNumber(recNo); });
    put("[F]"_L1, [&] { return ctx.BankName; });
    put("[R]"_L1, [&] { return signedNumber(recNo); });
    line = putNumbering(line, running);
    put("[D]"_L1, [&] { return OleToDate(rec.RegDate).toString(QStringLiteral("yyyy/MM/dd")); });
    put("[A]"_L1, [&] { return NameListFormat(Trim(rec.Author), 1, ctx.form.author, ctx.form.editor); });
    put("[E]"_L1, [&] { return NameListFormat(Trim(rec.Editor), 2, ctx.form.author, ctx.form.editor); });
    return finishedLine(line, ctx.script.escape);
}

QString overflowText(int HitCount, const Script &s)
{
    auto text = [&s](const QString &t) { return EscapeText(t, s.escape); };
    return text(QStringLiteral("( total ") + signedNumber(HitCount) + QStringLiteral(" hits.)")) + s.lineBreak +
           s.lineBreak + text(QStringLiteral("The text-viewing is over flowed.")) + s.lineBreak +
           text(QStringLiteral("so please, choose more simple form to view,")) + s.lineBreak +
           text(QStringLiteral("or more apporpriate key to search. ")) + s.trailer;
}

} // namespace

QString MarkupPair(const QString &text, const QString &mark, const QString &open, const QString &close)
{
    return mark.isEmpty() ? text : pairMarks(text, mark, open, close, 1);
}

void SortHits(QList<qint16> &HitList, int HitCount, const RenderContext &ctx)
{
    const int n = qMin<qsizetype>(HitCount, HitList.size() - 1);
    const auto author = [&ctx](int rec) { return ctx.readAuthor ? ctx.readAuthor(rec) : ctx.readRecord(rec).Author; };
    const auto year = [&ctx](int rec) { return ctx.readYear ? ctx.readYear(rec) : ctx.readRecord(rec).Year; };
    switch (ctx.form.sort) {
    case 1: {
        QStringList keys(n + 1);
        for (int i = 1; i <= n; ++i)
            keys[i] = NameListFormat(Trim(author(HitList[i])), 3, ctx.form.author, ctx.form.editor);
        SortByText(keys, HitList, n, 0);
        break;
    }
    case 2:
        if (ctx.SearchItem == 6 || ctx.SearchItem == 11 || ctx.SearchItem == 12) {
            if (ctx.rebuildRecordHits)
                ctx.rebuildRecordHits();
        } else {
            SortHitsUp(HitList, n);
        }
        break;
    case 3:
    case 4: {
        QList<qint16> keys(n + 1);
        for (int i = 1; i <= n; ++i)
            keys[i] = year(HitList[i]);
        if (ctx.form.sort == 3)
            SortByNumUp(keys, HitList, n, 0);
        else
            SortByNumDown(keys, HitList, n);
        break;
    }
    case 5:
        SortHitsUp(HitList, n);
        break;
    case 6:
        SortHitsDown(HitList, n);
        break;
    default:
        break;
    }
}

QString RenderEntry(const Record &rec, int recNo, int running, const RenderContext &ctx)
{
    if (rec.Style < 1 || rec.Style > 6)
        return {};
    return entry(preparedOrder(ctx.form, ctx.script, rec.Style), rec, recNo, running, ctx);
}

QString Step3(QList<qint16> &HitList, int HitCount, const RenderContext &ctx)
{
    const Script &s = ctx.script;
    std::array<QString, 7> orders;
    for (int style = 1; style <= 6; ++style)
        orders[static_cast<size_t>(style)] = preparedOrder(ctx.form, s, style);

    SortHits(HitList, HitCount, ctx);

    QString text = s.header;
    const int n = qMin<qsizetype>(HitCount, HitList.size() - 1);
    for (int i = 1; i <= n; ++i) {
        if (ctx.keepGoing && !ctx.keepGoing(i))
            return {};
        const int recNo = HitList[i];
        const Record rec = ctx.readRecord(recNo);
        const QString &order = (rec.Style >= 1 && rec.Style <= 6) ? orders[static_cast<size_t>(rec.Style)] : QString();
        text += entry(order, rec, recNo, i, ctx);
        if (text.size() > ctx.capacity)
            return overflowText(HitCount, s);
    }
    text += EscapeText(QStringLiteral("( total ") + signedNumber(HitCount) + QStringLiteral(" hits )"), s.escape) +
            s.trailer;
    if (text.size() > ctx.capacity)
        return overflowText(HitCount, s);
    return text;
}

} // namespace tz
