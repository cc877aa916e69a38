#pragma once
// The JP codes of records counted and renumbered, over the bytes of a whole
// record file (ReadRecordFile): the usage of each code, and a change of code
// numbers (a category enlarged, a name moved, the table sorted) applied to
// every record so that each keeps pointing at its journal or publisher.

#include "core/common/large_buffer.h"
#include "core/store/jpcode.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <functional>
#include <optional>

namespace tz {

// A change of code numbers.
struct JPrenumber
{
    // code[c] is the new number of code c (c = 0..kJPcodeMax); empty when no
    // number changes. Code 0 and negative codes never change.
    QList<qint16> code;
    // Records whose old code is styleCode (when it is not 0) get `style`.
    qint16 styleCode = 0;
    qint16 style = 0;

    // A map in which every code keeps its number.
    static JPrenumber identity();
    // The record's code and style after the change.
    void apply(qint16 &jpcode, qint16 &recordStyle) const;
    // True when some code or style changes.
    bool changesAnything() const;
};

// Called after each record of a pass with the records done and the total;
// false stops the pass (the progress window's Cancel).
using RecordStep = std::function<bool(int done, int total)>;

// The number of records of a record file: its length / 1174 rounded half to
// even, at most 32767, as the card counts them.
int RecordCountOf(qint64 fileBytes);

// The usage of each code 0..JPendE: the number of records 1..count of
// `records` (the bytes of a record file) whose JPcode is that code. Codes of
// 0 or less and above JPendE are not counted. Nothing when the step stopped
// the pass.
std::optional<QList<int>> JPcodeUsage(QByteArrayView records, int count, int JPendE, const RecordStep &step = {});

// Renumbers records 1..count of the `size` bytes of a record file at
// `records` as `change` says. A record whose JPcode field lies beyond the end
// of the bytes (a short last record) reads as code 0 and stays as it is. The
// number of records changed, or nothing when the step stopped the pass (the
// bytes are then partly changed).
std::optional<int> RenumberRecords(char *records, qsizetype size, int count, const JPrenumber &change,
                                   const RecordStep &step = {});

// The bank's record file read whole, every byte of it (a renumbering writes
// it back whole): no bytes when the bank or its record file is missing. False
// with *error when it cannot be read or is larger than 64 MB.
bool ReadRecordsWhole(const QString &bankPath, LargeBuffer &out, QString *error);

} // namespace tz
