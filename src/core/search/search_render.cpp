#include "core/search/search_render.h"

#include "core/common/file_io.h"
#include "core/common/file_lookup.h"
#include "core/format/render.h"
#include "core/store/link_table.h"
#include "core/store/record.h"

#include <QDate>
#include <QFile>

namespace tz {

QByteArray ReadLinkBytes(const QString &bankPath, QString *error)
{
    if (error)
        error->clear();
    const QString path = FindFileNoCase(bankPath, QString(kLinkFileName));
    QByteArray bytes;
    if (!path.isEmpty() && !ReadFileHead(path, kMaxLinkBytes, bytes, error))
        return {};
    return bytes;
}

RenderContext SearchRenderContext(SearchEngine &engine, const RecordImage &image, const QByteArray &links,
                                  const SearchRenderBank &bank)
{
    const QDate today = QDate::currentDate();
    return RenderContext{
        bank.form,
        bank.script,
        bank.bankName,
        bank.jp,
        [&image, today](int n) {
            Record r = DecodeRecord(image.record(n));
            NormalizeRecord(r, today);
            return r;
        },
        [&links, &image, &engine](int n) { return LinkListOf(links, n, image.RecCount(), engine.MaxHits); },
        engine.SearchItem,
        [&engine] { engine.RebuildRecordHits(); },
        kResultCapacity,
        {},
        [&image](int n) {
            return DecodeText(image.field(n, RecordLayout::Author), FieldSpan{0, RecordLayout::Author.width});
        },
        [&image](int n) {
            return DecodeInt16(image.field(n, RecordLayout::Year), FieldSpan{0, 2});
        },
    };
}

std::optional<QString> RenderHits(SearchEngine &engine, const RecordImage &image, const QByteArray &links,
                                  const SearchRenderBank &bank, qsizetype capacity)
{
    RenderContext ctx = SearchRenderContext(engine, image, links, bank);
    ctx.capacity = capacity;
    const int count = engine.HitCount;
    if (engine.progress)
        engine.progress(ProgressMode::Open, 1, count);
    ctx.keepGoing = [&engine, count](int entry) {
        if (engine.progress)
            engine.progress(ProgressMode::Step, entry, count);
        return !engine.CancelFlag;
    };
    QString text = Step3(engine.HitList, engine.HitCount, ctx);
    if (engine.progress)
        engine.progress(ProgressMode::Close, count, count);
    if (engine.CancelFlag)
        return std::nullopt;
    return text;
}

} // namespace tz
