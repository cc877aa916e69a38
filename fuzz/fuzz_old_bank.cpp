// Any bytes as the nine files of a version-2 bank: the conversion never
// crashes or loops; it either fails with a message that names what it could
// not read and leaves no bank, or makes a bank whose record file holds whole
// records only.

#include "core/bank/bank_convert.h"
#include "core/store/record.h"
#include "fuzz_check.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString old = dir.path() + QStringLiteral("/old");
    const QString bank = dir.path() + QStringLiteral("/new.bnk");
    QDir(old).removeRecursively();
    QDir(bank).removeRecursively();
    QDir().mkpath(old);
    // The first nine bytes give each file's share of the rest.
    const QStringList names = tz::OldBankFiles();
    if (size < size_t(names.size()))
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data) + names.size(),
                          static_cast<qsizetype>(size) - names.size());
    qsizetype total = 0;
    for (qsizetype i = 0; i < names.size(); ++i)
        total += data[i];
    qsizetype at = 0;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const qsizetype length = i + 1 == names.size() || total == 0 ? rest.size() - at : rest.size() * data[i] / total;
        QFile f(old + u'/' + names[i]);
        check(f.open(QIODevice::WriteOnly) && f.write(rest.mid(at, length)) >= 0);
        at = qMin(rest.size(), at + length);
    }
    QString error;
    if (tz::ConvertOldBank(old, bank, QDate(2024, 1, 2), {}, &error)) {
        QFile records(bank + QStringLiteral("/record.tzd"));
        check(records.open(QIODevice::ReadOnly) && records.size() % tz::kRecordSize == 0);
    } else {
        const QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        check(!error.isEmpty() && left == QStringList{QStringLiteral("old")});
    }
    return 0;
}
