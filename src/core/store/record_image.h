#pragma once
// The record file of a bank as one piece of memory, for the whole-bank scans.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>

namespace tz {

// The records of a bank as one piece of memory: record n occupies bytes
// (n-1)*1174 .. n*1174-1. A search loads it once and drops it after its
// rendering: a loaded image maps the record file, which stays open while any
// copy of the image lives.
class RecordImage
{
public:
    RecordImage() = default;
    // Records held in memory (the last one may be partial).
    RecordImage(QByteArray bytes, int recCount);

    // The bank's record file, mapped into memory, or read in one piece where
    // the system cannot map it; the record count is RecCountSet's (a missing
    // file is created empty). False with *error when the file cannot be read;
    // the image is then empty.
    bool load(const QString &bankPath, QString *error = nullptr);

    int RecCount() const { return m_recCount; }
    QByteArrayView bytes() const { return m_bytes; }
    QByteArrayView record(int n) const; // empty beyond the records: a blank record

private:
    std::shared_ptr<const void> m_owner; // what keeps m_bytes alive
    QByteArrayView m_bytes;
    int m_recCount = 0;
};

} // namespace tz
