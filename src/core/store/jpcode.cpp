#include "core/store/jpcode.h"

#include "core/common/basic.h"
#include "core/common/cp932.h"
#include "core/common/file_io.h"
#include "core/common/file_lookup.h"
#include "core/common/text.h"

#include <QFileInfo>

namespace tz {
namespace {

// Lines beyond this many bytes are never needed: 32767 names of 70
// double-byte characters take less than 5 MB.
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

// Lines of a decoded text; CR LF, CR and LF all end a line. The last line
// needs no line end; an empty text has no lines.
class LineReader
{
public:
    explicit LineReader(QStringView text) : m_text(text) {}

    bool next(QStringView &line)
    {
        if (m_pos >= m_text.size())
            return false;
        qsizetype end = m_pos;
        while (end < m_text.size() && m_text[end] != u'\r' && m_text[end] != u'\n')
            ++end;
        line = m_text.sliced(m_pos, end - m_pos);
        m_pos = end;
        if (m_pos < m_text.size() && m_text[m_pos] == u'\r')
            ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == u'\n')
            ++m_pos;
        return true;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

// A line read as one field: leading blanks skipped; a quoted field runs to
// the closing quote, any other to the first comma; surrounding spaces removed.
QString readField(QStringView line)
{
    qsizetype i = 0;
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t'))
        ++i;
    line = line.sliced(i);
    if (line.startsWith(u'"')) {
        line = line.sliced(1);
        const qsizetype close = line.indexOf(u'"');
        return Trim(close < 0 ? line : line.first(close));
    }
    const qsizetype comma = line.indexOf(u',');
    return Trim(comma < 0 ? line : line.first(comma));
}

// The texts between the first count-1 "-" of a group line; a missing
// separator leaves the remaining texts empty, the last text takes the rest.
QList<QStringView> splitGroupLine(QStringView line, int count)
{
    QList<QStringView> parts;
    qsizetype from = 0;
    for (int i = 0; i < count; ++i) {
        if (from > line.size()) {
            parts.append(QStringView());
            continue;
        }
        const qsizetype dash = i + 1 < count ? line.indexOf(u'-', from) : -1;
        if (dash < 0) {
            parts.append(line.sliced(from));
            from = line.size() + 1;
        } else {
            parts.append(line.sliced(from, dash - from));
            from = dash + 1;
        }
    }
    return parts;
}

qint16 groupEnd(QStringView text)
{
    return static_cast<qint16>(RoundClamp(Val(text), 0, kJPcodeMax));
}

QString cleanName(QStringView name)
{
    QString n = name.first(qMin<qsizetype>(name.size(), kJPnameMax)).toString();
    n.replace(u'\r', u' ');
    n.replace(u'\n', u' ');
    return Trim(n);
}

} // namespace

JPcodeTable DefaultJPcodeTable()
{
    JPcodeTable t;
    t.JPendT = 20;
    t.JPendJ = 100;
    t.JPendP = 150;
    t.JPendE = 200;
    JPcodeRepairEnds(t);
    return t;
}

void JPcodeRepairEnds(JPcodeTable &t)
{
    auto clamp = [](int v) { return static_cast<qint16>(qBound(0, v, kJPcodeMax)); };
    t.JPendT = clamp(t.JPendT);
    t.JPendJ = qMax(clamp(t.JPendJ), t.JPendT);
    t.JPendP = qMax(clamp(t.JPendP), t.JPendJ);
    t.JPendE = qMax(clamp(t.JPendE), t.JPendP);
    t.JPname.resize(t.JPendE + 1);
}

JPcodeTable ParseJPcode(QByteArrayView bytes)
{
    const QString text = cp932::decode(bytes);
    LineReader lines(text);
    QStringView line;
    JPcodeTable t;

    const QString first = lines.next(line) ? readField(line) : QString();
    int nameLines = 0;
    if (first == u"3d") {
        const QString group = lines.next(line) ? readField(line) : QString();
        const QList<QStringView> parts = splitGroupLine(group, 4);
        t.JPendT = groupEnd(parts[0]);
        t.JPendJ = groupEnd(parts[1]);
        t.JPendP = groupEnd(parts[2]);
        t.JPendE = groupEnd(parts[3]);
        JPcodeRepairEnds(t);
        nameLines = t.JPendE;
    } else {
        QString group = first;
        if (first == u"J")
            group = lines.next(line) ? readField(line) : QString();
        const QList<QStringView> parts = splitGroupLine(group, 3);
        t.JPendT = groupEnd(parts[0]);
        t.JPendJ = groupEnd(parts[1]);
        t.JPendP = groupEnd(parts[2]);
        t.JPendE = 0;
        JPcodeRepairEnds(t);
        t.JPendE = static_cast<qint16>(qMin(t.JPendP + 50, kJPcodeMax));
        JPcodeRepairEnds(t);
        nameLines = t.JPendP;
    }

    int read = first == u"3d" || first == u"J" ? 2 : 1;
    for (int k = 1; k <= nameLines && lines.next(line); ++k, ++read)
        t.JPname[k] = cleanName(line);
    t.inexactLines = cp932::inexactLines(bytes, read);
    return t;
}

QByteArray SerializeJPcode(const JPcodeTable &table, bool *lossy)
{
    JPcodeTable t = table;
    JPcodeRepairEnds(t);
    QString text;
    text += u"3d\r\n";
    text += QStringLiteral("%1-%2-%3-%4\r\n").arg(t.JPendT).arg(t.JPendJ).arg(t.JPendP).arg(t.JPendE);
    for (int k = 1; k <= t.JPendE; ++k) {
        text += cleanName(t.JPname[k]);
        text += u"\r\n";
    }
    return cp932::encode(text, lossy);
}

bool JPcodeLoad(const QString &filePath, JPcodeTable &table, QString *error)
{
    const QFileInfo info(filePath);
    const QString folder = info.path();
    const QString found = FindFileNoCase(folder, info.fileName());
    if (found.isEmpty()) {
        table = DefaultJPcodeTable();
        return JPcodeSave(FilePathNoCase(folder, kJPcodeFileName), table, error);
    }
    QByteArray bytes;
    if (!ReadFileHead(found, kMaxFileBytes, bytes, error)) {
        table = DefaultJPcodeTable();
        table.notRead = true;
        return false;
    }
    table = ParseJPcode(bytes);
    if (table.inexactLines.isEmpty())
        return true;
    if (error)
        *error = FileError(found, QStringLiteral("%1 行目はシフトJIS として正しく読めません。"
                                                 "この表は元のファイルを残したまま、読めた形で使います")
                                      .arg(LineNumberList(table.inexactLines)));
    return false;
}

bool JPcodeSave(const QString &filePath, const JPcodeTable &table, QString *error, bool overwriteInexact)
{
    const QFileInfo info(filePath);
    const QString path = FilePathNoCase(info.path(), info.fileName());
    if (!overwriteInexact && !JPcodeReadExactly(table)) {
        if (error)
            *error = FileError(path, table.notRead ? QStringLiteral("読み込めなかった表なので、上書きしませんでした")
                                                   : QStringLiteral("%1 行目がシフトJIS として正しく読めなかったので、"
                                                                    "上書きしませんでした。ファイルは元のままです")
                                                         .arg(LineNumberList(table.inexactLines)));
        return false;
    }
    return WriteFileAtomic(path, SerializeJPcode(table), error);
}

bool JPcodeReadExactly(const JPcodeTable &table)
{
    return !table.notRead && table.inexactLines.isEmpty();
}

QString JPcodeName(const JPcodeTable &table, int code)
{
    if (code < 1 || code > table.JPendE || code >= table.JPname.size())
        return {};
    return table.JPname[code];
}

int JPcodeGroup(const JPcodeTable &table, int code)
{
    if (code < 1 || code > table.JPendE)
        return 0;
    if (code <= table.JPendT)
        return 1;
    if (code <= table.JPendJ)
        return 2;
    if (code <= table.JPendP)
        return 3;
    return 4;
}

int JPlistBase(const JPcodeTable &table, int style)
{
    if (style == 1)
        return 0;
    if (style == 2 || style == 3)
        return table.JPendJ;
    return table.JPendP;
}

int JPlistEnd(const JPcodeTable &table, int style)
{
    if (style == 1)
        return table.JPendJ;
    if (style == 2 || style == 3)
        return table.JPendP;
    return table.JPendE;
}

} // namespace tz
