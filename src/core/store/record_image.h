#pragma once
// The record file of a bank as the whole-bank scans read it.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <memory>

namespace tz {

struct FieldSpan;

// The records of a bank, record n at bytes (n-1)*1174 .. n*1174-1, for the
// whole-bank scans: a pass over all of them reads the record file once, in
// order, through one buffer of a few dozen records (as reading the file with
// `cat` does: neither a copy of the whole file nor a mapping of it, whose
// page faults cost several times the reading on some systems), and single
// records are read on their own. A loaded image keeps the record file open
// while any copy of it lives; the records are read as they are when asked.
class RecordImage
{
public:
    RecordImage() = default;
    // Records held in memory (the last one may be partial).
    RecordImage(QByteArray bytes, int recCount);

    // The bank's record file, opened for reading; the record count is
    // RecCountSet's (a missing file is created empty). False with *error
    // when the file cannot be opened; the image is then empty.
    bool load(const QString &bankPath, QString *error = nullptr);

    int RecCount() const { return m_recCount; }

    // Record n: 1174 bytes, fewer for a partial last record, none beyond the
    // records (a blank record) or when it cannot be read.
    QByteArray record(int n) const;
    // The bytes of one field of record n (fewer or none where the record is
    // short), read without the rest of the record.
    QByteArray field(int n, FieldSpan span) const;

    // The records first..last (within 1..RecCount) in order, a run of
    // consecutive records at a time: visit(n, count, bytes) gets the number n
    // of the first record of the run, the number of records in it and their
    // bytes, (count - 1) * 1174 of them and the last record's; records
    // missing at the end of the file (or that cannot be read) are missing
    // from bytes too, and read as blank records (RecordAt gives none). A
    // visit that returns false ends the pass.
    using Visit = std::function<bool(int n, int count, QByteArrayView bytes)>;
    void scan(int first, int last, const Visit &visit) const;

    // Records in a run of a pass over the file.
    static constexpr int kRunRecords = 96;

private:
    struct File;
    std::shared_ptr<File> m_file; // a loaded record file
    QByteArray m_bytes;           // records held in memory
    int m_recCount = 0;
};

} // namespace tz
