#include "core/format/form_file.h"

#include "core/common/basic.h"
#include "core/common/cp932.h"
#include "core/common/file_io.h"
#include "core/common/file_lookup.h"
#include "core/format/definition_file.h"

#include <QFileInfo>

namespace tz {
namespace {

const QString kItem = QStringLiteral("書式");
constexpr int kBlockLines = 10;     // lines per form in the file
constexpr int kContentLines = 9;    // of which the first 9 hold the form
constexpr qint16 kSortFallback = 2; // "none"

// Labels as the form editor shows them.
const char16_t *const kRuleValueLabels[5] = {u"1st person", u"2nd person", u"punctures", u"et_al", u"capitalize"};
const char16_t *const kOrderLabels[5] = {u"", u"Journal", u"Book (editn.)", u"Monograph", u"etc."};

// Name of text line i (as textLines) in messages.
QString textLabel(int i)
{
    if (i == 0)
        return QStringLiteral("名前");
    if (i == 1)
        return QStringLiteral("注記");
    return QStringLiteral("語順（%1）").arg(QString::fromUtf16(kOrderLabels[i - 1]));
}

// Reads the lines of one form and reports what had to be repaired.
class FormBlockReader
{
public:
    FormBlockReader(const QString &fileName, int number, QStringList &report)
        : m_fileName(fileName), m_number(number), m_report(report)
    {}

    OutputForm read(const QList<QByteArrayView> &lines) const
    {
        OutputForm form;
        form.name = text(lines[0], true, 0);
        form.note = text(lines[1], false, 1);
        form.sort = sort(Trim(cp932::decode(lines[2])));
        form.author = rule(Trim(cp932::decode(lines[3])), QStringLiteral("著者規則"));
        form.editor = rule(Trim(cp932::decode(lines[4])), QStringLiteral("編者規則"));
        for (int style = 1; style <= 4; ++style)
            form.order[style] = text(lines[4 + style], false, style + 1);
        return form;
    }

private:
    void report(const QString &what) const
    {
        m_report << QStringLiteral("%1: %2 %3 の%4").arg(m_fileName, kItem, QString::number(m_number), what);
    }

    // Text line `index` as textLines numbers them.
    QString text(QByteArrayView line, bool nameLine, int index) const
    {
        const QString decoded = cp932::decode(line);
        QString t = nameLine ? NameLineText(decoded) : Trim(decoded);
        if (ReplaceUndecodable(t))
            report(QStringLiteral("%1にシフトJIS として読めないバイトがあります。「?」に置き換えました")
                       .arg(textLabel(index)));
        return t;
    }

    qint16 sort(const QString &text) const
    {
        const std::optional<double> value = LeadingNumber(text);
        if (!value) {
            report(QStringLiteral(" Sort の値「%1」が数値ではありません。%2（%3）にしました")
                       .arg(QuotedInMessage(text), QString::number(kSortFallback), SortCaption(kSortFallback)));
            return kSortFallback;
        }
        const int sort = RoundClamp(*value, 0, 7);
        if (sort < 1 || sort > 6) {
            report(QStringLiteral(" Sort の値「%1」は範囲外です（1〜6）。%2（%3）にしました")
                       .arg(QuotedInMessage(text), QString::number(kSortFallback), SortCaption(kSortFallback)));
            return kSortFallback;
        }
        return static_cast<qint16>(sort);
    }

    // The first four values end at successive ","; the fifth is the rest.
    NameRule rule(const QString &text, const QString &label) const
    {
        QList<QStringView> pieces;
        if (!text.isEmpty()) {
            QStringView rest = text;
            while (pieces.size() < 4) {
                const qsizetype comma = rest.indexOf(u',');
                if (comma < 0)
                    break;
                pieces.append(rest.first(comma));
                rest = rest.sliced(comma + 1);
            }
            pieces.append(rest);
        }

        NameRule rule;
        const NameRule defaults;
        if (pieces.size() < 5) {
            QStringList filled;
            for (int k = static_cast<int>(pieces.size()) + 1; k <= 5; ++k)
                filled << QStringLiteral("%1 %2").arg(QString::fromUtf16(kRuleValueLabels[k - 1]),
                                                      QString::number(NameRuleValue(defaults, k)));
            report(QStringLiteral("%1の値が %2 個しかありません（5 個必要）。足りない値は既定値にしました（%3）")
                       .arg(label, QString::number(pieces.size()), filled.join(QStringLiteral(", "))));
        }
        for (int k = 1; k <= static_cast<int>(pieces.size()); ++k) {
            const QString piece = Trim(pieces[k - 1]);
            const QString valueLabel = QStringLiteral("%1 %2").arg(label, QString::fromUtf16(kRuleValueLabels[k - 1]));
            const std::optional<double> value = LeadingNumber(piece);
            if (!value) {
                report(QStringLiteral("%1 の値「%2」が数値ではありません。%3 にしました")
                           .arg(valueLabel, QuotedInMessage(piece), QString::number(NameRuleValue(defaults, k))));
                continue;
            }
            const int length = NameRuleListLength(k);
            const int v = RoundClamp(*value, -1, length + 1);
            if (v < 0 || v > length) {
                NameRuleValue(rule, k) = static_cast<qint16>(NameRuleReplacement(k));
                report(QStringLiteral("%1 の値「%2」は範囲外です（0〜%3）。%4 にしました")
                           .arg(valueLabel, QuotedInMessage(piece), QString::number(length),
                                QString::number(NameRuleReplacement(k))));
                continue;
            }
            NameRuleValue(rule, k) = static_cast<qint16>(v);
        }
        return rule;
    }

    const QString &m_fileName;
    int m_number;
    QStringList &m_report;
};

// Lines from one form block to the next: 10, or 9 for a file whose name lines
// ("==") stand at 9-line steps only.
int blockStep(const QList<QByteArrayView> &body, int count)
{
    const auto namesAt = [&](int step) {
        for (int k = 0; k < count; ++k) {
            const qsizetype at = static_cast<qsizetype>(k) * step;
            if (at >= body.size())
                break;
            if (!body[at].startsWith("=="))
                return false;
        }
        return true;
    };
    if (count >= 2 && !namesAt(kBlockLines) && namesAt(kContentLines))
        return kContentLines;
    return kBlockLines;
}

// One line of the file: trimmed, line breaks replaced.
QString oneLine(const QString &text, const QString &lineBreak)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), lineBreak);
    t.replace(QLatin1Char('\r'), lineBreak);
    t.replace(QLatin1Char('\n'), lineBreak);
    return Trim(t);
}

// The first character (a surrogate pair counts as one) code page 932 cannot
// store, or an empty text.
QString firstUnstorable(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype len = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            len = 2;
        bool lossy = false;
        cp932::encode(text.sliced(i, len), &lossy);
        if (lossy)
            return text.sliced(i, len).toString();
        i += len - 1;
    }
    return {};
}

// The text lines of a form as written: name, note, word orders 1..4.
std::array<QString, 6> textLines(const OutputForm &form)
{
    const QString blank = QStringLiteral(" ");
    const QString lineBreak = QStringLiteral("[/]");
    return {oneLine(form.name, blank),         oneLine(form.note, blank),         oneLine(form.order[1], lineBreak),
            oneLine(form.order[2], lineBreak), oneLine(form.order[3], lineBreak), oneLine(form.order[4], lineBreak)};
}

QString ruleLine(const NameRule &rule)
{
    QStringList values;
    for (int k = 1; k <= 5; ++k)
        values << QString::number(NameRuleValue(rule, k));
    return values.join(QLatin1Char(','));
}

bool writeAll(QIODevice &device, const QByteArray &bytes, const QString &fileName, QString *error)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 n = device.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString reason =
                device.errorString().isEmpty() ? QStringLiteral("書き込みが途中で止まりました") : device.errorString();
            *error = QStringLiteral("%1 に書き込めません（%2）。保存しませんでした").arg(fileName, reason);
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

bool FormTable::append(const OutputForm &form)
{
    if (FormCount < 0 || FormCount >= MaxForms)
        return false;
    ++FormCount;
    forms[static_cast<size_t>(FormCount)] = form;
    return true;
}

bool operator==(const FormTable &a, const FormTable &b)
{
    if (a.FormCount != b.FormCount)
        return false;
    const int n = qBound(0, a.FormCount, MaxForms);
    for (int k = 1; k <= n; ++k)
        if (!(a.form(k) == b.form(k)))
            return false;
    return true;
}

QString SortCaption(int sort)
{
    switch (sort) {
    case 1:
        return QStringLiteral("Author ABC");
    case 2:
        return QStringLiteral("none");
    case 3:
        return QStringLiteral("Year 123");
    case 4:
        return QStringLiteral("Year 321");
    case 5:
        return QStringLiteral("Rec 123");
    case 6:
        return QStringLiteral("Rec 321");
    default:
        return {};
    }
}

int NameRuleListLength(int k)
{
    static constexpr int kLengths[5] = {14, 14, 6, 14, 2};
    return k >= 1 && k <= 5 ? kLengths[k - 1] : 0;
}

int NameRuleReplacement(int k)
{
    static constexpr int kReplacements[5] = {14, 14, 5, 1, 2};
    return k >= 1 && k <= 5 ? kReplacements[k - 1] : 1;
}

FormTable ParseFormFile(QByteArrayView bytes, const QString &fileName, QStringList &report)
{
    FormTable table;
    const QList<QByteArrayView> lines = DefinitionLines(bytes, 2 + qsizetype(kBlockLines) * MaxForms);
    const int count = DefinitionCount(lines, MaxForms, fileName, kItem, report);
    const QList<QByteArrayView> body = lines.size() > 2 ? lines.mid(2) : QList<QByteArrayView>();
    const int step = blockStep(body, count);
    for (int k = 1; k <= count; ++k) {
        const qsizetype start = static_cast<qsizetype>(k - 1) * step;
        if (body.size() < start + kContentLines) {
            ReportTruncated(k, count, body.size() > start, fileName, kItem, report);
            break;
        }
        table.form(k) = FormBlockReader(fileName, k, report).read(body.mid(start, kContentLines));
        table.FormCount = k;
    }
    return table;
}

void FormRead(const QString &path, FormTable &table, QStringList &report)
{
    QString shownName;
    const std::optional<QByteArray> bytes = LoadDefinitionFile(path, kItem, &shownName, report);
    table = bytes ? ParseFormFile(*bytes, shownName, report) : FormTable();
}

std::optional<QByteArray> FormFileBytes(const FormTable &table, const QString &fileName, QString *error)
{
    if (table.FormCount < 0 || table.FormCount > MaxForms) {
        *error = QStringLiteral("%1: 書式の数 %2 は 0〜%3 の範囲にありません。保存しませんでした")
                     .arg(fileName, QString::number(table.FormCount), QString::number(MaxForms));
        return std::nullopt;
    }
    const QString crlf = QStringLiteral("\r\n");
    QString text = QStringLiteral("3d") + crlf + QString::number(table.FormCount) + crlf;
    for (int k = 1; k <= table.FormCount; ++k) {
        const OutputForm &form = table.form(k);
        const std::array<QString, 6> lines = textLines(form);
        text += QStringLiteral("==") + lines[0] + crlf;
        text += lines[1] + crlf;
        text += QString::number(form.sort) + crlf;
        text += ruleLine(form.author) + crlf;
        text += ruleLine(form.editor) + crlf;
        for (int i = 2; i < 6; ++i)
            text += lines[i] + crlf;
        text += crlf; // separator line
    }
    bool lossy = false;
    QByteArray bytes = cp932::encode(text, &lossy);
    if (!lossy)
        return bytes;

    // Name the first text that cannot be stored.
    for (int k = 1; k <= table.FormCount; ++k) {
        const std::array<QString, 6> lines = textLines(table.form(k));
        for (size_t i = 0; i < lines.size(); ++i) {
            const QString bad = firstUnstorable(lines[i]);
            if (!bad.isEmpty()) {
                *error = QStringLiteral("%1: 書式 %2 の%3の文字「%4」はシフトJIS で保存できません。保存しませんでした")
                             .arg(fileName, QString::number(k), textLabel(static_cast<int>(i)), bad);
                return std::nullopt;
            }
        }
    }
    *error = QStringLiteral("%1: シフトJIS で保存できない文字があります。保存しませんでした").arg(fileName);
    return std::nullopt;
}

bool FormWrite(QIODevice &device, const QString &fileName, const FormTable &table, QString *error)
{
    const std::optional<QByteArray> bytes = FormFileBytes(table, fileName, error);
    return bytes && writeAll(device, *bytes, fileName, error);
}

bool FormWrite(const QString &path, const FormTable &table, QString *error)
{
    const QFileInfo info(path);
    const QString target = FilePathNoCase(info.path(), info.fileName());
    const QString fileName = QFileInfo(target).fileName();
    const std::optional<QByteArray> bytes = FormFileBytes(table, fileName, error);
    if (!bytes)
        return false;
    return WriteFileAtomic(target, *bytes, error);
}

} // namespace tz
