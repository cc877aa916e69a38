#pragma once
// The JP code table "JPcode.tzd": the names of the journals and publishers the
// records refer to by number. Codes fall into four consecutive groups:
//   T "よく使う雑誌" 1..JPendT, J "普通の雑誌" JPendT+1..JPendJ,
//   P "出版社" JPendJ+1..JPendP, E "その他" JPendP+1..JPendE.
//
// The file (code page 932, lines ended by CR LF):
//   "3d"
//   JPendT-JPendJ-JPendP-JPendE           e.g. 20-100-150-200
//   one line per code 1..JPendE: its name (at most 70 characters, trimmed)
// Older files are still read: "J", then a-b-c, then c names; or a-b-c as the
// first line, then c names. Both get a fourth group of 50 free codes.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

namespace tz {

inline constexpr int kJPnameMax = 70;
inline constexpr int kJPcodeMax = 32767;
inline constexpr QLatin1StringView kJPcodeFileName("JPcode.tzd");

struct JPcodeTable
{
    // JPname[k] is the name of code k; entry 0 is unused. An empty name is a
    // free code. Holds JPendE + 1 entries.
    QStringList JPname;
    qint16 JPendT = 0;
    qint16 JPendJ = 0;
    qint16 JPendP = 0;
    qint16 JPendE = 0;

    // How the table was read. Lines of its file (1-based) whose bytes did not
    // decode exactly from code page 932 (a file in another encoding, damaged
    // bytes): writing the table back would change them. NotRead: the file
    // exists but could not be read, so the table holds the defaults instead.
    // Either way JPcodeSave leaves the file alone unless the person agreed.
    QList<int> inexactLines;
    bool notRead = false;

    bool operator==(const JPcodeTable &) const = default;
};

// The table of a new bank: 20-100-150-200 with 200 free codes.
JPcodeTable DefaultJPcodeTable();

// Brings the group ends into 0 <= JPendT <= JPendJ <= JPendP <= JPendE <= 32767
// (each end is clamped to 0..32767, then raised to at least the one before) and
// sizes JPname to JPendE + 1 entries (new entries empty).
void JPcodeRepairEnds(JPcodeTable &table);

// Reads a table from the bytes of a file of any of the three forms. Never
// fails: a malformed group line gives 0 for every number it lacks, the ends
// are repaired as JPcodeRepairEnds does, and names missing because the file
// ends early are empty. Lines may end in CR LF, CR or LF. Lines read that do
// not decode exactly are listed in inexactLines.
JPcodeTable ParseJPcode(QByteArrayView bytes);

// The bytes of a "3d" file. The ends are written as JPcodeRepairEnds makes
// them; each name is cut to 70 characters and trimmed, line breaks inside a
// name become spaces. *lossy (when given) becomes true when some character
// cannot be held by code page 932.
QByteArray SerializeJPcode(const JPcodeTable &table, bool *lossy = nullptr);

// Loads the table from filePath (its name matched without regard to letter
// case). When there is no such file the default table is taken and saved at
// once as "JPcode.tzd" in the same folder. False with *error when that save
// fails, when the file cannot be read (the table is then the default table,
// marked notRead), or when some of its lines did not decode exactly (the
// table holds what was read; *error names the lines).
bool JPcodeLoad(const QString &filePath, JPcodeTable &table, QString *error = nullptr);

// Writes the table to filePath (an existing file of that name in any letter
// case is replaced) through a temporary file; the old file stays on any
// failure. A table not read exactly (inexactLines, notRead) is written only
// when overwriteInexact says the person agreed; otherwise false with *error
// and the file is left as it is. False with *error on any failure.
bool JPcodeSave(const QString &filePath, const JPcodeTable &table, QString *error = nullptr,
                bool overwriteInexact = false);

// True when the table may be written back without asking: it was read
// exactly (or made anew).
bool JPcodeReadExactly(const JPcodeTable &table);

// ---- Lookups ------------------------------------------------------------------

// The name of a code: empty for 0, negative codes and codes beyond JPendE.
QString JPcodeName(const JPcodeTable &table, int code);

// The group of a code: 1 T, 2 J, 3 P, 4 E; 0 for none (0, negative, beyond JPendE).
int JPcodeGroup(const JPcodeTable &table, int code);

// The card's name list per record style: codes JPlistBase+1 .. JPlistEnd.
// Style 1: 1..JPendJ; styles 2 and 3: JPendJ+1..JPendP; any other: JPendP+1..JPendE.
int JPlistBase(const JPcodeTable &table, int style);
int JPlistEnd(const JPcodeTable &table, int style);

} // namespace tz
