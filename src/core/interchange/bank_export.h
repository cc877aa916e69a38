#pragma once
// Exporting records of a bank as RIS, BibTeX or CSL-JSON: each record with
// its URL/DOI entry and the name of its JP code (link lists are not
// exchanged).

#include "core/interchange/exchange_file.h"
#include "core/store/jpcode.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tz {

// The references of the given records (1-based; every record when empty;
// numbers outside the bank are skipped). False with *error when the bank's
// files cannot be read.
bool ExportReferences(const QString &bankPath, const JPcodeTable &table, const QList<int> &numbers,
                      QList<Reference> &refs, QString *error = nullptr);

// The references written to `file` in the format, through a temporary file:
// the old file stays on any failure. *count: the references written.
bool ExportBankFile(const QString &bankPath, const JPcodeTable &table, const QList<int> &numbers, ExchangeFormat format,
                    const QString &file, int *count = nullptr, QString *error = nullptr);

} // namespace tz
