#include "core/interchange/bank_export.h"

#include "core/common/file_io.h"
#include "core/store/pdf_table.h"
#include "core/store/record_image.h"

#include <QDate>

namespace tz {

bool ExportReferences(const QString &bankPath, const JPcodeTable &table, const QList<int> &numbers,
                      QList<Reference> &refs, QString *error)
{
    refs.clear();
    RecordImage bank;
    if (!bank.load(bankPath, error))
        return false;
    QString pdfError;
    const QList<PdfEntry> pdf = PdfReadAll(bankPath, &pdfError);
    if (!pdfError.isEmpty()) {
        if (error)
            *error = pdfError;
        return false;
    }
    QList<int> wanted = numbers;
    if (wanted.isEmpty())
        for (int n = 1; n <= bank.RecCount(); ++n)
            wanted << n;
    const QDate today = QDate::currentDate();
    refs.reserve(wanted.size());
    for (const int n : wanted) {
        if (n < 1 || n > bank.RecCount())
            continue;
        Record rec = DecodeRecord(bank.record(n));
        NormalizeRecord(rec, today);
        refs << ReferenceFromRecord(rec, pdf.value(n - 1), JPcodeName(table, rec.JPcode));
    }
    return true;
}

bool ExportBankFile(const QString &bankPath, const JPcodeTable &table, const QList<int> &numbers, ExchangeFormat format,
                    const QString &file, int *count, QString *error)
{
    QList<Reference> refs;
    if (!ExportReferences(bankPath, table, numbers, refs, error))
        return false;
    if (!WriteFileAtomic(file, WriteExchange(format, refs), error))
        return false;
    if (count)
        *count = int(refs.size());
    return true;
}

} // namespace tz
