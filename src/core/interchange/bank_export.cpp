#include "core/interchange/bank_export.h"

#include "core/common/file_io.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"
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
    const QDate today = QDate::currentDate();
    auto add = [&](int n, QByteArrayView bytes) {
        Record rec = DecodeRecord(bytes);
        NormalizeRecord(rec, today);
        refs << ReferenceFromRecord(rec, pdf.value(n - 1), JPcodeName(table, rec.JPcode));
    };
    if (numbers.isEmpty()) { // every record, in one pass over the file
        refs.reserve(bank.RecCount());
        bank.scan(1, bank.RecCount(), [&](int first, int count, QByteArrayView bytes) {
            for (int k = 0; k < count; ++k)
                add(first + k, RecordAt(bytes, k + 1));
            return true;
        });
        return true;
    }
    refs.reserve(numbers.size());
    for (const int n : numbers)
        if (n >= 1 && n <= bank.RecCount())
            add(n, bank.record(n));
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
