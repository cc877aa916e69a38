#pragma once
// Rendering a hit list as a reference list: one entry per hit, written by the
// word order of the chosen output form for the record's style, with the
// markup codes of the chosen script, between the script's header and trailer,
// closed by a totals line. Everything written between the codes is escaped as
// the script says (script_output.h); a literal "." or "," of the word order
// is not written after a value that already ends in it ("A." not "A..").

#include "core/format/form_file.h"
#include "core/format/script_file.h"
#include "core/store/jpcode.h"
#include "core/store/record.h"

#include <QList>
#include <QString>
#include <functional>

namespace tz {

// Everything a rendering reads besides the hit list.
struct RenderContext
{
    const OutputForm &form;
    const Script &script;
    QString BankName;
    const JPcodeTable &jp;
    // The record with this number as stored (normalised after reading).
    std::function<Record(int)> readRecord;
    // The link list of the record with this number (a list of the renderer's
    // own: the card's lists are never touched).
    std::function<QString(int)> readLinkList;
    // The search kind, for the sort "none": the record-number searches (6, 11,
    // 12) rebuild their list in key order through rebuildRecordHits.
    int SearchItem = 0;
    std::function<void()> rebuildRecordHits;
    // The most characters the result may hold; beyond it the overflow text is
    // the result.
    qsizetype capacity = 16 * 1024 * 1024;
    // Asked before each entry (its number, from 1); false stops the rendering,
    // which then gives an empty text.
    std::function<bool(int entry)> keepGoing;
    // The author field and the year of the record with this number, as
    // readRecord gives them, for the sorts that read only those; readRecord
    // serves when they are not given.
    std::function<QString(int)> readAuthor;
    std::function<qint16(int)> readYear;
};

// Replaces the marks alternately by the opening and the closing code; an odd
// last mark gets the closing code at the very end of the text.
QString MarkupPair(const QString &text, const QString &mark, const QString &open, const QString &close);

// Sorts HitList (entries 1..HitCount) by the form's sort number.
void SortHits(QList<qint16> &HitList, int HitCount, const RenderContext &ctx);

// One entry: record rec (number recNo, running number `running` for "[N]")
// written by the form's word order for its style with the script's codes, as
// Step3 writes it.
QString RenderEntry(const Record &rec, int recNo, int running, const RenderContext &ctx);

// The result text for the hits 1..HitCount of HitList (sorted in place first).
QString Step3(QList<qint16> &HitList, int HitCount, const RenderContext &ctx);

} // namespace tz
