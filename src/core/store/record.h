#pragma once
// The record file "record.tzd": one 1174-byte record per literature reference,
// record n at bytes (n-1)*1174 .. n*1174-1, no header. Integers are
// little-endian; text fields are code page 932, left-aligned and padded with
// spaces to their byte width, with neither terminator nor length byte.
//
// Whole-bank scans read the file in one piece (ReadRecordFile) and decode only
// the fields they need straight from the buffer (RecordAt, DecodeText,
// DecodeInt16, DecodeDouble with the spans of RecordLayout).

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <array>

namespace tz {

inline constexpr int kRecordSize = 1174;
inline constexpr int kMaxRecords = 32767;
inline constexpr QLatin1StringView kRecordFileName("record.tzd");

// Where a field lies inside a record.
struct FieldSpan
{
    int offset;
    int width;
};

// The record layout; the text widths are also the card's limits in characters.
struct RecordLayout
{
    static constexpr FieldSpan Style{0, 2};
    static constexpr FieldSpan Memo{2, 70};
    static constexpr FieldSpan Author{72, 210};
    static constexpr FieldSpan Title{282, 280};
    static constexpr FieldSpan JPcode{562, 2};
    static constexpr FieldSpan Volume{564, 20};
    static constexpr FieldSpan Page1{584, 10};
    static constexpr FieldSpan Page2{594, 10};
    static constexpr FieldSpan Year{604, 2};
    static constexpr FieldSpan Editor{606, 140};
    static constexpr FieldSpan Book{746, 140};
    static constexpr FieldSpan Keyword{886, 280};
    static constexpr FieldSpan RegDate{1166, 8};
};

// One reference. Text fields hold the decoded text without the trailing space
// padding (leading blanks are kept), so encoding gives back the stored bytes.
struct Record
{
    qint16 Style = 1;
    QString Memo;
    QString Author;
    QString Title;
    qint16 JPcode = 0;
    QString Volume;
    QString Page1;
    QString Page2;
    qint16 Year = 0;
    QString Editor;
    QString Book;
    QString Keyword;
    double RegDate = 0.0; // OLE Automation date; 0 = unset

    bool operator==(const Record &) const = default;
};

// What RecRead and PdfRead put into the buffer: the entry as stored, or a
// blank one (a new record).
enum class ReadMode { Stored, Blank };

// ---- Pure routines on bytes -------------------------------------------------

// The bytes of record n (1-based) inside a whole record file: 1174 bytes, fewer
// for a partial last record, none beyond the end or for n < 1.
QByteArrayView RecordAt(QByteArrayView file, int n);

// One text field of a record's bytes, trailing spaces removed. Bytes missing at
// the end of a short record count as spaces.
QString DecodeText(QByteArrayView record, FieldSpan span);
// One integer field; missing bytes count as zeros.
qint16 DecodeInt16(QByteArrayView record, FieldSpan span);
// The registration date field; missing bytes count as zeros.
double DecodeDouble(QByteArrayView record, FieldSpan span);

// Exactly 1174 bytes. Each text field is cut to its byte width without
// splitting a double-byte character (a character that would straddle the end
// is dropped and its byte becomes a space). *lossy (when given) becomes true
// when some character cannot be held by code page 932 (it is stored as "?").
QByteArray EncodeRecord(const Record &rec, bool *lossy = nullptr);

// Decodes any number of bytes as one record: the first 1174 are used, and a
// short input reads as if padded with the blank layout (spaces in the text
// fields, zeros in the numbers). No normalisation; see NormalizeRecord.
Record DecodeRecord(QByteArrayView bytes);

// The repair after every read: Style outside 1..6 becomes 1; an unset RegDate
// (0) becomes `today` with no time part.
void NormalizeRecord(Record &rec, QDate today);

// The blank record: style 1, empty texts, JP code 0, year 0, RegDate = today.
Record BlankRecord(QDate today);

// RecClear: rec becomes the blank record (its JP code too).
void RecClear(Record &rec, QDate today);
// RecClear for the card: also prepares the link lists of an empty record
// (linkTextOld takes the current list, linkText becomes empty), so that saving
// the cleared record removes all its links.
void RecClear(Record &rec, QDate today, QString &linkText, QString &linkTextOld);

// ---- File routines (bankPath: the bank folder) ------------------------------
// "record.tzd" is found without regard to letter case; a new file gets the
// spelling "record.tzd". Each routine opens the file for one read or write and
// closes it again. Error texts name the file and the reason.

// The number of records: file length / 1174 rounded half to even, at most
// 32767 (records beyond can never be addressed). Creates an empty file when
// there is none. -1 with *error when the bank path is empty, the file can be
// neither found nor created, or something other than a regular file has its
// name.
int RecCountSet(const QString &bankPath, QString *error = nullptr);

// Stored: reads record n into buf (a record beyond the end of the file reads
// as the blank record, a partial last record as padded with the blank
// layout). Blank: RecClear keeping buf's JP code. Either way the result is
// normalised with `today`. False with *error when the file cannot be read or
// n is outside 1..32767; buf is then the blank record.
bool RecRead(const QString &bankPath, int n, ReadMode mode, Record &buf, QDate today, QString *error = nullptr);

// Writes rec as record n in place, only when `changed` (otherwise nothing is
// touched and the result is true). Either all 1174
// bytes reach the file and the device, or the file is left as it was and
// false comes back with *error. Record n may replace a record or follow the
// last one (completing a partial last record with the blank layout); a file
// that holds fewer than n - 1 records, a missing file (unless n is 1, the
// first record of a new bank) and n outside 1..32767 are refused.
bool RecWrite(const QString &bankPath, int n, const Record &rec, bool changed, QString *error = nullptr);

// RecWrite of a run of encoded records (a multiple of 1174 bytes) as records
// n, n + 1, ...: all of them reach the file and the device in one write, or
// the file is left as it was. The same refusals as RecWrite; the last record
// of the run must not pass 32767.
bool RecWriteRun(const QString &bankPath, int n, QByteArrayView records, QString *error = nullptr);

// True when the bank folder holds its record file. The tables that go with
// the records (links, URL/DOI) are written only into such a bank, so that a
// bank folder emptied or replaced while open is never refilled with blanks.
// False with *error naming the record file otherwise.
bool RecFilePresent(const QString &bankPath, QString *error = nullptr);

// The whole record file in one read, at most 32767 records (the bytes beyond
// can never be addressed). Empty with *error when it cannot be read; *error is
// cleared on success.
QByteArray ReadRecordFile(const QString &bankPath, QString *error = nullptr);

} // namespace tz
