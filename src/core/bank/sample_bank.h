#pragma once
// The sample bank, written from a readable source: a folder holding
// "jpcodes.txt" (the JP code table, name by name and group by group) and
// "records.txt" (one block of "key: value" lines per record). Both are UTF-8
// text; the format is described at the top of each file in data/sample.
//
// The writer checks everything a person could get wrong in such a file and
// reports each fault as "FILE:LINE: what is wrong", so that the stored bank is
// exactly what the card would have stored: author and editor lists in their
// canonical form, titles with their end mark, completed last pages, every text
// storable in code page 932 and within its field width, each JP code taken
// from the group that the record's style offers.

#include "core/store/jpcode.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace tz {

inline constexpr QLatin1StringView kSampleJPcodeSource("jpcodes.txt");
inline constexpr QLatin1StringView kSampleRecordSource("records.txt");

// One record of the source.
struct SampleRecord
{
    int line = 0;  // line of the record's "@" line
    QString label; // the name other records use to link to it
    Record record; // as it is stored
    PdfEntry address;
    QList<int> links; // record numbers of its linked records, ascending, both directions
};

struct SampleSource
{
    JPcodeTable jpcodes;
    QList<SampleRecord> records; // record n is records[n - 1]
};

// Reads the JP code list. Names are placed at the codes of their group in the
// order given. Faults are appended to errors; the table holds what could be read.
JPcodeTable ParseSampleJPcodes(QStringView text, const QString &fileName, QStringList &errors);

// Reads the record list against a JP code table. `today` is the registration
// date of records that give none (a "registered:" line before the first record
// gives another default). Links name records by label and are made symmetric.
QList<SampleRecord> ParseSampleRecords(QStringView text, const QString &fileName, const JPcodeTable &jpcodes,
                                       QDate today, QStringList &errors);

// Both files of a source folder. False when a file cannot be read or holds a
// fault (each one is in errors).
bool ReadSampleSource(const QString &folder, QDate today, SampleSource &source, QStringList &errors);

// Writes the bank folder bankPath (which must not exist yet) through the
// bank's own file routines: the records, the JP code table, a URL/DOI entry
// for every record and the link pairs. The bank is built in a hidden folder
// beside bankPath (BuildingFolderFor) and takes its name only when complete;
// such a folder left by an earlier run that was cut short is removed first.
// On failure nothing is left and *error says what went wrong.
bool WriteSampleBank(const SampleSource &source, const QString &bankPath, QString *error);

} // namespace tz
