#pragma once
// The form editor's preview: one record of each record style taken from the
// open bank once, then rendered with any form as often as the person types.
// Rendering touches no file, so a key press costs the rendering of four
// entries whatever the size of the bank.

#include "core/format/form_file.h"
#include "core/store/jpcode.h"
#include "core/store/record.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace tz {

struct PreviewRecord
{
    int recNo = 0;
    Record rec;       // as stored, normalised as the renderer reads it
    QString linkList; // its link list, for "[L]"
};

class FormPreview
{
public:
    // For each style 1..4 the first record of that style (5 and 6 count as
    // 4, as the renderer writes them) among `hits` in their order, or, when
    // `hits` is empty, among all records of the bank at bankPath. False with
    // *error when the bank cannot be read (no records then).
    bool sample(const QString &bankPath, const QList<qint16> &hits, int maxHits, QString *error = nullptr);
    void clear();

    // The chosen record of style 1..4.
    const std::optional<PreviewRecord> &record(int style) const;
    bool fromHits() const { return m_fromHits; }

    // The preview text: for each style a heading ("Journal  (Rec 12)") and
    // the record rendered with form as the plain-text script writes it
    // (line breaks as line breaks, no marks), or a note that the bank (or
    // the hit list) holds no record of the style.
    QString text(const OutputForm &form, const QString &bankName, const JPcodeTable &jp) const;

private:
    std::array<std::optional<PreviewRecord>, 5> m_records;
    bool m_fromHits = false;
};

} // namespace tz
