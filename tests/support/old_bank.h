#pragma once
// A bank of the program's version 2, written byte by byte from its layout:
// five files with one fixed-width entry per record, reconow.dat, jpcode.dat,
// link.dat and JPcount.dat.

#include "support/test_files.h"

#include <QDir>
#include <QList>
#include <QString>

namespace tz::testing {

struct OldRecord
{
    QByteArray memo, person, phrase; // code page 932 text
    int year = 0;
    int code = 0;
    QByteArray index; // "volume,first-last"
};

// Text padded with blanks to `width` bytes.
inline QByteArray padded(const QByteArray &text, int width)
{
    return text.leftJustified(width, ' ', true);
}

// Writes the old bank into `folder` (made when missing); the journals end at
// code 100 ("20-100-150").
inline void writeOldBank(const QString &folder, const QList<OldRecord> &records)
{
    QDir().mkpath(folder);
    QByteArray memo, person, phrase, year, index;
    for (const OldRecord &r : records) {
        memo += padded(r.memo, 70);
        person += padded(r.person, 212);
        phrase += padded(r.phrase, 284);
        year += le16(r.year);
        index += le16(r.code) + padded(r.index, 20) + QByteArray(8, ' ');
    }
    const auto write = [&](const char *name, const QByteArray &bytes) { writeFile(folder + u'/' + name, bytes); };
    write("memo.dat", memo);
    write("person.dat", person);
    write("phrase.dat", phrase);
    write("year.dat", year);
    write("index.dat", index);
    write("reconow.dat", " " + QByteArray::number(records.size()) + " \r\n");
    write("JPcode.dat", "J\r\n20-100-150\r\nNature\r\n");
    write("link.dat", le16(1) + le16(2));
    write("JPcount.dat", "");
}

} // namespace tz::testing
