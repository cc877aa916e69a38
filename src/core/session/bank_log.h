#pragma once
// The bank-path log "Bpath.log" of the program folder: the ten most recently
// used banks, most recent first, one bank folder path a line (code page 932,
// CR LF). In memory the list BankPaths always has kBankPathCount entries, entry
// 1 at index 0; an empty entry ends the list as shown.

#include "core/session/config_io.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace tz {

inline constexpr QStringView kBankLogFileName = u"Bpath.log";
inline constexpr int kBankPathCount = 10;

// The first kBankPathCount lines of the log's bytes as entries (lines end in
// CR LF, LF or CR; a last line without its end counts). A line holding a
// control character other than TAB is taken as an empty entry. Missing entries
// are empty, so an empty log gives an empty list.
QStringList BankLogParse(QByteArrayView bytes);

// Reads the log (its name matched without regard to letter case). Without a
// log, entry 1 is the sample bank in the folder of banks: bankHome + "sample.bnk".
// *state (when given) tells whether the log was read exactly: one that cannot
// be read, or with a line among the first ten that does not decode exactly
// from code page 932 or holds control characters, is not, and BankLogSave
// will not replace it unless told the person agreed.
QStringList BankLogLoad(const QString &file, const QString &bankHome, ConfigReadState *state = nullptr);

// The bytes of the log: entries 1..kBankPathCount, each without surrounding
// blanks, empty ones left out. An entry the log cannot hold faithfully (a line
// break, a character outside code page 932) makes it fail with the reason in *why.
bool BankLogFormat(const QStringList &paths, QByteArray *out, QString *why);

// Writes the log atomically; false with *error naming the file and the reason
// when it was not written (the old log then stays). The log on disk is looked
// at first: one not read exactly (see BankLogLoad) is replaced only when
// overwriteInexact says the person agreed.
bool BankLogSave(const QString &file, const QStringList &paths, QString *error, bool overwriteInexact = false);

} // namespace tz
