#pragma once
// The promises the references of every interchange reader keep: made into
// records (as an import makes them), every text is storable in code page 932
// within its field and holds no line break; those records written out in the
// format (as an export writes them) read back as as many references.

#include "core/common/cp932.h"
#include "core/interchange/reference.h"
#include "core/store/jpcode.h"
#include "fuzz_check.h"

#include <QList>

inline void checkStorable(const QString &text, int width)
{
    bool lossy = false;
    check(tz::cp932::encode(text, &lossy).size() <= width && !lossy);
    check(!text.contains(u'\r') && !text.contains(u'\n'));
}

inline tz::ImportedRecord checkImported(const tz::Reference &ref)
{
    using L = tz::RecordLayout;
    const tz::ImportedRecord r = tz::RecordFromReference(ref, QDate(2024, 2, 29));
    const tz::Record &rec = r.rec;
    check(rec.Style >= 1 && rec.Style <= 4 && rec.Year >= 0 && rec.Year <= 9999 && rec.JPcode == 0);
    const std::pair<const QString &, int> fields[] = {
        {rec.Memo, L::Memo.width},       {rec.Author, L::Author.width},  {rec.Title, L::Title.width},
        {rec.Volume, L::Volume.width},   {rec.Page1, L::Page1.width},    {rec.Page2, L::Page2.width},
        {rec.Editor, L::Editor.width},   {rec.Book, L::Book.width},      {rec.Keyword, L::Keyword.width},
        {r.pdf.URL, tz::kPdfFieldWidth}, {r.pdf.DOI, tz::kPdfFieldWidth}};
    for (const auto &[text, width] : fields)
        checkStorable(text, width);
    checkStorable(r.jpName, 2 * tz::kJPnameMax);
    check(r.jpName.size() <= tz::kJPnameMax);
    // The record's bytes read back as a record of the same bytes.
    const QByteArray bytes = tz::EncodeRecord(rec);
    check(tz::EncodeRecord(tz::DecodeRecord(bytes)) == bytes);
    return r;
}

// What a reader read, stored as records, written by the writer as an export
// writes the records and read again.
template <typename Read, typename Write> void checkReadBack(const tz::ReadResult &read, Read reader, Write writer)
{
    check(read.error.isEmpty() || read.refs.isEmpty());
    if (!read.error.isEmpty())
        return;
    QList<tz::Reference> stored;
    for (const tz::Reference &ref : read.refs) {
        const tz::ImportedRecord r = checkImported(ref);
        stored << tz::ReferenceFromRecord(tz::DecodeRecord(tz::EncodeRecord(r.rec)), r.pdf, r.jpName);
    }
    const tz::ReadResult again = reader(QString::fromUtf8(writer(stored)));
    check(again.error.isEmpty() && again.refs.size() == stored.size());
}
