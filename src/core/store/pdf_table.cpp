#include "core/store/pdf_table.h"

#include "core/common/basic.h"
#include "core/common/cp932.h"
#include "core/common/file_io.h"
#include "core/common/file_lookup.h"

#include <QFileInfo>

namespace tz {
namespace {

QString pdfPath(const QString &bankPath)
{
    return FilePathNoCase(bankPath, kPdfFileName);
}

QString fieldText(QByteArrayView bytes, int offset)
{
    if (offset >= bytes.size())
        return {};
    return RTrim(cp932::decode(bytes.sliced(offset, qMin<qsizetype>(kPdfFieldWidth, bytes.size() - offset))));
}

bool refuseNumber(const QString &path, int n, QString *error)
{
    if (n >= 1 && n <= kMaxRecords)
        return false;
    if (error)
        *error = FileError(path, QStringLiteral("エントリ番号 %1 は 1～%2 の範囲外です").arg(n).arg(kMaxRecords));
    return true;
}

} // namespace

QByteArray EncodePdfEntry(const PdfEntry &entry, bool *lossy)
{
    QByteArray out(kPdfEntrySize, ' ');
    cp932::encodeFixedInto(entry.URL, out.data(), kPdfFieldWidth, lossy);
    cp932::encodeFixedInto(entry.DOI, out.data() + kPdfFieldWidth, kPdfFieldWidth, lossy);
    return out;
}

PdfEntry DecodePdfEntry(QByteArrayView bytes)
{
    return {fieldText(bytes, 0), fieldText(bytes, kPdfFieldWidth)};
}

void PdfClear(PdfEntry &buf)
{
    buf = PdfEntry();
}

bool PdfInit(const QString &bankPath, int recCount, QString *error)
{
    if (!FindFileNoCase(bankPath, kPdfFileName).isEmpty())
        return true;
    const qsizetype count = qBound(0, recCount, kMaxRecords);
    return WriteFileAtomic(pdfPath(bankPath), QByteArray(count * kPdfEntrySize, ' '), error);
}

bool PdfRead(const QString &bankPath, int n, ReadMode mode, PdfEntry &buf, QString *error)
{
    PdfClear(buf);
    if (mode == ReadMode::Blank)
        return true;
    const QString path = pdfPath(bankPath);
    if (refuseNumber(path, n, error))
        return false;
    QByteArray bytes;
    if (!ReadFileAt(path, static_cast<qint64>(n - 1) * kPdfEntrySize, kPdfEntrySize, bytes, error))
        return false;
    buf = DecodePdfEntry(bytes);
    return true;
}

bool PdfWrite(const QString &bankPath, int n, const PdfEntry &buf, bool changed, QString *error)
{
    if (!changed)
        return true;
    const QString path = pdfPath(bankPath);
    return !refuseNumber(path, n, error) && RecFilePresent(bankPath, error) &&
           WriteFileAt(path, static_cast<qint64>(n - 1) * kPdfEntrySize, EncodePdfEntry(buf),
                       QByteArray(kPdfEntrySize, ' '), InPlaceRules{true, -1}, error);
}

bool PdfReadBytes(const QString &bankPath, QByteArray &bytes, QString *error)
{
    if (error)
        error->clear();
    bytes.clear();
    const QString path = FindFileNoCase(bankPath, kPdfFileName);
    return path.isEmpty() || ReadFileHead(path, static_cast<qint64>(kMaxRecords) * kPdfEntrySize, bytes, error);
}

bool PdfWriteWhole(const QString &bankPath, QByteArrayView bytes, QString *error)
{
    return RecFilePresent(bankPath, error) && WriteFileAtomic(pdfPath(bankPath), bytes, error);
}

QList<PdfEntry> PdfReadAll(const QString &bankPath, QString *error)
{
    QByteArray bytes;
    if (!PdfReadBytes(bankPath, bytes, error))
        return {};
    QList<PdfEntry> out;
    out.reserve((bytes.size() + kPdfEntrySize - 1) / kPdfEntrySize);
    for (qsizetype at = 0; at < bytes.size(); at += kPdfEntrySize)
        out.append(DecodePdfEntry(QByteArrayView(bytes).sliced(at, qMin<qsizetype>(kPdfEntrySize, bytes.size() - at))));
    return out;
}

} // namespace tz
