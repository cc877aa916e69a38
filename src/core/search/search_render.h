#pragma once
// Step 3 over an open bank: the hit list of a search rendered with an output
// form and a script, each record and link list read from the bank's own
// files. The search window and every search the card starts render through
// this one routine.

#include "core/format/form_file.h"
#include "core/format/render.h"
#include "core/format/script_file.h"
#include "core/search/search_engine.h"
#include "core/store/jpcode.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace tz {

// The most characters a rendered list may hold (4 Mi characters, some 40,000
// entries of a long form): a result box still scrolls through that much text
// at once. Beyond it the result is the overflow text.
inline constexpr qsizetype kResultCapacity = 4 * 1024 * 1024;

struct SearchRenderBank
{
    const QString &bankName;
    const JPcodeTable &jp;
    const OutputForm &form;
    const Script &script;
};

// The bytes of the bank's link table: every pair any record can have (a
// table of 32767 records linked to every other is far smaller). Empty when
// the bank has none; empty with *error when it cannot be read (the lists then
// show no links).
inline constexpr qint64 kMaxLinkBytes = 64 * 1024 * 1024;
QByteArray ReadLinkBytes(const QString &bankPath, QString *error = nullptr);

// What the rendering of engine's hits over the records of image reads; the
// context refers to its arguments, which must outlive it.
RenderContext SearchRenderContext(SearchEngine &engine, const RecordImage &image, const QByteArray &links,
                                  const SearchRenderBank &bank);

// Step3 for the hits 1..HitCount of engine (sorted in place first) over the
// records of image, with the engine's progress: nothing when the rendering
// was cancelled.
std::optional<QString> RenderHits(SearchEngine &engine, const RecordImage &image, const QByteArray &links,
                                  const SearchRenderBank &bank, qsizetype capacity = kResultCapacity);

} // namespace tz
