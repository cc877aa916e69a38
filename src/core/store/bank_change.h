#pragma once
// A change of a bank's record file and JP code table made as one change, so
// that records and names always agree: after a kill or a failure at any
// moment the bank holds both files as they were or both as changed, or a
// state that CompleteBankChange, run whenever a bank is opened, turns into
// one of the two.
//
// How: both new files are first written whole beside the old ones
// (".record.tzd.renumbered" and ".JPcode.tzd.renumbered", each through a
// temporary file, flushed to the device). Then the intent file ".renumbering"
// is written; it says that the two files are about to take their places.
// The record file is put in place first: that rename is the moment the change
// takes effect. The table follows, and the intent file is removed last.
//
// What CompleteBankChange finds and does (after putting back any in-place
// write of the record file, the URL/DOI table or the link table that was
// stopped halfway):
//   no intent file              leftovers of an unfinished preparation are
//                               removed: both files stay as they were;
//   intent, new record file     the record file was not yet replaced: the
//     still waiting             change is rolled back (the intent file goes
//                               first, then the prepared files);
//   intent, record file gone    the record file was replaced: the waiting
//                               table is put in place, then the intent file
//                               goes.

#include "core/store/jpcode.h"

#include <QByteArrayView>
#include <QString>

namespace tz {

inline constexpr QLatin1StringView kBankChangeIntent(".renumbering");
inline constexpr QLatin1StringView kBankChangeRecords(".record.tzd.renumbered");
inline constexpr QLatin1StringView kBankChangeTable(".JPcode.tzd.renumbered");

// Completes or rolls back an interrupted change of the bank in bankPath, as
// described above. True when the bank is consistent afterwards (also when
// there was nothing to do); false with *error naming the file that could not
// be removed or put in place (the next run tries again).
bool CompleteBankChange(const QString &bankPath, QString *error = nullptr);

// Replaces the record file by `records` and the JP code table by `table` as
// one change. True when both are in place. On false *error says why and
// *committed whether the change took effect: false, both files are as they
// were; true, the record file holds the new records and the table waits
// beside it until CompleteBankChange puts it in place (which this routine
// tries once more before it gives up).
bool CommitBankChange(const QString &bankPath, QByteArrayView records, QByteArrayView table, bool *committed,
                      QString *error = nullptr);

// JPcodeSave for the table of an open bank: an interrupted change of the
// bank is completed first, so that a table waiting from it can never replace
// the one saved now; when it cannot be completed nothing is written.
bool JPcodeSaveInBank(const QString &bankPath, const JPcodeTable &table, QString *error = nullptr,
                      bool overwriteInexact = false);

} // namespace tz
