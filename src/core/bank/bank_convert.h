#pragma once
// Converting a bank of the program's version 2 into a bank of today's layout.
// A version-2 bank is a folder holding nine files: five with one entry per
// record ("memo.dat" 70 bytes, "person.dat" 212 bytes of authors "&&"
// editors, "phrase.dat" 284 bytes of title "&&" keywords "&&" book title,
// "year.dat" a 16-bit year, "index.dat" 30 bytes: a 16-bit JP code, 20 bytes
// "volume,first page-last page" and 8 bytes nothing reads), "reconow.dat" (the
// number of records), "jpcode.dat" (the JP code table, first line "J", second
// the group ends "T-J-P"), "link.dat" (the link table) and "JPcount.dat".
// The new bank is built in a hidden folder beside its place and takes its
// name only when complete.

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

namespace tz {

class Session;

// The nine files, in the order they are looked for.
QStringList OldBankFiles();

// The files of `oldFolder` missing among the nine (found without regard to
// letter case).
QStringList MissingOldBankFiles(const QString &oldFolder);

// What a conversion reports back: the steps of its progress (1 when it
// starts, 2 per record, 0 at the end, with the record and the count), and
// whether it is to stop (Cancel).
struct ConvertProgress
{
    std::function<void(int mode, int record, int count)> step;
    std::function<bool()> cancelled;
};

// Converts the old bank in `oldFolder` into the bank folder `newBank`
// (".../NAME.bnk"): every record mapped, the JP code and link tables copied,
// the URL/DOI table made. A bank already in `newBank` that holds a file is
// kept under "NAME.bak" (or "NAME.bak2", "NAME.bak3" ... when that is taken),
// and only once the new bank is complete. False with *error (in the
// program's language, naming the file) when the old bank cannot be read or
// the new one cannot be written, and when cancelled (*error then empty);
// nothing is left of the new bank then. *kept names the folder an earlier
// bank was kept in, if any.
bool ConvertOldBank(const QString &oldFolder, const QString &newBank, QDate today, const ConvertProgress &progress,
                    QString *error, QString *kept = nullptr);

// The bank menu's conversion: asks for the name of an old bank in the
// program folder, checks it, asks before it starts and converts it into
// NAME.bnk beside it, with the progress window; every question and message
// goes through the session's user interface. The open bank stays open.
void BankConvert(Session &session, QDate today);

} // namespace tz
