#include "core/store/record.h"

#include "core/common/basic.h"
#include "core/common/cp932.h"
#include "core/common/file_io.h"
#include "core/common/file_lookup.h"
#include "core/common/ole_date.h"

#include <QtEndian>
#include <cstring>

namespace tz {
namespace {

// The text fields in record order, for encoding and decoding alike.
struct TextField
{
    FieldSpan span;
    QString Record::*member;
};

constexpr std::array<TextField, 9> kTextFields{{
    {RecordLayout::Memo, &Record::Memo},
    {RecordLayout::Author, &Record::Author},
    {RecordLayout::Title, &Record::Title},
    {RecordLayout::Volume, &Record::Volume},
    {RecordLayout::Page1, &Record::Page1},
    {RecordLayout::Page2, &Record::Page2},
    {RecordLayout::Editor, &Record::Editor},
    {RecordLayout::Book, &Record::Book},
    {RecordLayout::Keyword, &Record::Keyword},
}};

// The bytes `span` covers, zero-filled where the record is short.
template <int N> std::array<unsigned char, N> fieldBytes(QByteArrayView record, FieldSpan span)
{
    std::array<unsigned char, N> b{};
    for (int i = 0; i < N && i < span.width; ++i) {
        const qsizetype at = span.offset + i;
        if (at < record.size())
            b[i] = static_cast<unsigned char>(record[at]);
    }
    return b;
}

void putInt16(QByteArray &out, FieldSpan span, qint16 v)
{
    qToLittleEndian(v, out.data() + span.offset);
}

void putDouble(QByteArray &out, FieldSpan span, double v)
{
    quint64 bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    qToLittleEndian(bits, out.data() + span.offset);
}

// The blank layout: spaces in the text fields, zeros in the numbers.
QByteArray blankLayout()
{
    QByteArray out(kRecordSize, ' ');
    putInt16(out, RecordLayout::Style, 0);
    putInt16(out, RecordLayout::JPcode, 0);
    putInt16(out, RecordLayout::Year, 0);
    putDouble(out, RecordLayout::RegDate, 0.0);
    return out;
}

bool validRecordNumber(int n)
{
    return n >= 1 && n <= kMaxRecords;
}

QString recordPath(const QString &bankPath)
{
    return FilePathNoCase(bankPath, kRecordFileName);
}

} // namespace

QByteArrayView RecordAt(QByteArrayView file, int n)
{
    if (n < 1)
        return {};
    const qint64 start = static_cast<qint64>(n - 1) * kRecordSize;
    if (start >= file.size())
        return {};
    return file.sliced(start, qMin<qint64>(kRecordSize, file.size() - start));
}

QString DecodeText(QByteArrayView record, FieldSpan span)
{
    if (span.offset < 0 || span.width <= 0 || span.offset >= record.size())
        return {};
    QByteArrayView bytes = record.sliced(span.offset, qMin<qsizetype>(span.width, record.size() - span.offset));
    // Only the byte 0x20 decodes to a blank, and it is never the second byte of
    // a pair, so the padding is cut off before decoding.
    while (!bytes.isEmpty() && bytes.back() == ' ')
        bytes.chop(1);
    return cp932::decode(bytes);
}

qint16 DecodeInt16(QByteArrayView record, FieldSpan span)
{
    const auto b = fieldBytes<2>(record, span);
    return qFromLittleEndian<qint16>(b.data());
}

double DecodeDouble(QByteArrayView record, FieldSpan span)
{
    const auto b = fieldBytes<8>(record, span);
    const quint64 bits = qFromLittleEndian<quint64>(b.data());
    double v = 0.0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

QByteArray EncodeRecord(const Record &rec, bool *lossy)
{
    QByteArray out(kRecordSize, ' ');
    putInt16(out, RecordLayout::Style, rec.Style);
    putInt16(out, RecordLayout::JPcode, rec.JPcode);
    putInt16(out, RecordLayout::Year, rec.Year);
    putDouble(out, RecordLayout::RegDate, rec.RegDate);
    for (const TextField &f : kTextFields)
        cp932::encodeFixedInto(rec.*f.member, out.data() + f.span.offset, f.span.width, lossy);
    return out;
}

Record DecodeRecord(QByteArrayView bytes)
{
    Record rec;
    rec.Style = DecodeInt16(bytes, RecordLayout::Style);
    rec.JPcode = DecodeInt16(bytes, RecordLayout::JPcode);
    rec.Year = DecodeInt16(bytes, RecordLayout::Year);
    rec.RegDate = DecodeDouble(bytes, RecordLayout::RegDate);
    for (const TextField &f : kTextFields)
        rec.*f.member = DecodeText(bytes, f.span);
    return rec;
}

void NormalizeRecord(Record &rec, QDate today)
{
    if (rec.Style > 6 || rec.Style < 1)
        rec.Style = 1;
    if (rec.RegDate == 0.0)
        rec.RegDate = DateToOle(today);
}

Record BlankRecord(QDate today)
{
    Record rec;
    rec.RegDate = DateToOle(today);
    return rec;
}

void RecClear(Record &rec, QDate today)
{
    rec = BlankRecord(today);
}

void RecClear(Record &rec, QDate today, QString &linkText, QString &linkTextOld)
{
    RecClear(rec, today);
    linkTextOld = linkText;
    linkText.clear();
}

int RecCountSet(const QString &bankPath, QString *error)
{
    if (bankPath.isEmpty()) {
        if (error)
            *error = QStringLiteral("%1: バンクのフォルダが指定されていません").arg(kRecordFileName);
        return -1;
    }
    const QString path = recordPath(bankPath);
    if (!EnsureFile(path, error))
        return -1;
    const qint64 size = RegularFileSize(path, error);
    if (size < 0)
        return -1;
    return RoundClamp(static_cast<double>(size) / kRecordSize, 0, kMaxRecords);
}

bool RecRead(const QString &bankPath, int n, ReadMode mode, Record &buf, QDate today, QString *error)
{
    if (mode == ReadMode::Blank) {
        const qint16 jpcode = buf.JPcode;
        RecClear(buf, today);
        buf.JPcode = jpcode;
        NormalizeRecord(buf, today);
        return true;
    }
    buf = BlankRecord(today);
    const QString path = recordPath(bankPath);
    if (!validRecordNumber(n)) {
        if (error)
            *error = FileError(path, QStringLiteral("レコード番号 %1 は 1～%2 の範囲外です").arg(n).arg(kMaxRecords));
        return false;
    }
    QByteArray bytes;
    if (!ReadFileAt(path, static_cast<qint64>(n - 1) * kRecordSize, kRecordSize, bytes, error))
        return false;
    buf = DecodeRecord(bytes);
    NormalizeRecord(buf, today);
    return true;
}

bool RecWrite(const QString &bankPath, int n, const Record &rec, bool changed, QString *error)
{
    if (!changed)
        return true;
    return RecWriteRun(bankPath, n, EncodeRecord(rec), error);
}

bool RecWriteRun(const QString &bankPath, int n, QByteArrayView records, QString *error)
{
    const QString path = recordPath(bankPath);
    const int last = n + int(records.size() / kRecordSize) - 1;
    if (records.isEmpty() || records.size() % kRecordSize != 0 || !validRecordNumber(n) || !validRecordNumber(last)) {
        if (error)
            *error = FileError(path, QStringLiteral("レコード番号 %1 は 1～%2 の範囲外です")
                                         .arg(validRecordNumber(n) ? last : n)
                                         .arg(kMaxRecords));
        return false;
    }
    // Record n goes into a file that holds the records before it: a record
    // file that has vanished or shrunk is never rebuilt from blank records.
    // Only the first record of a new bank starts the file.
    const qint64 offset = static_cast<qint64>(n - 1) * kRecordSize;
    const PathKind kind = PathKindOf(path);
    if (kind == PathKind::Missing && n > 1) {
        if (error)
            *error =
                FileError(path, QStringLiteral("レコードファイルが見つかりません（バンクが移されたか消されました）。"
                                               "レコード %1 は書き込みませんでした")
                                    .arg(n));
        return false;
    }
    if (kind == PathKind::File) {
        const qint64 size = RegularFileSize(path, error);
        if (size < 0)
            return false;
        if (size + kRecordSize - 1 < offset) {
            if (error)
                *error = FileError(path, QStringLiteral("レコードが %1 件しかないため、レコード %2 は書き込めません"
                                                        "（レコードファイルが短くなっています）。書き込みませんでした")
                                             .arg(RoundClamp(static_cast<double>(size) / kRecordSize, 0, kMaxRecords))
                                             .arg(n));
            return false;
        }
    }
    return WriteFileAt(path, offset, records, blankLayout(), InPlaceRules{n == 1, kRecordSize - 1}, error);
}

bool RecFilePresent(const QString &bankPath, QString *error)
{
    const QString path = recordPath(bankPath);
    if (PathKindOf(path) == PathKind::File)
        return true;
    if (error)
        *error = FileError(path, QStringLiteral("レコードファイルが見つかりません（バンクが移されたか消されました）。"
                                                "書き込みませんでした"));
    return false;
}

QByteArray ReadRecordFile(const QString &bankPath, QString *error)
{
    if (error)
        error->clear();
    QByteArray out;
    const QString path = recordPath(bankPath);
    if (!ReadFileHead(path, static_cast<qint64>(kMaxRecords) * kRecordSize, out, error))
        return {};
    return out;
}

} // namespace tz
