#include "card/card_search.h"

#include "common/file_lookup.h"
#include "format/render.h"
#include "store/link_table.h"

#include <QFile>

namespace tz {

bool RunCardSearch(const CardSearchRequest &request, const CardSearchBank &bank, CardSearchResult *result,
                   QString *error)
{
    RecordImage image;
    if (!image.load(bank.bankPath, error))
        return false;
    QByteArray links;
    if (const QString linkPath = FindFileNoCase(bank.bankPath, QString(kLinkFileName)); !linkPath.isEmpty()) {
        QFile f(linkPath);
        if (f.open(QIODevice::ReadOnly))
            links = f.readAll();
    }
    SearchEngine engine(bank.maxHits);
    engine.SearchItem = request.SearchItem;
    if (request.SearchItem == KindSimilar || request.SearchItem == KindSimilarAuto) {
        engine.Step2HitSimilar(image, request.keyText.toInt());
    } else {
        const NumberContext numbers{image.RecCount(), &bank.jp, QDate::currentDate().year()};
        engine.Step1GetNum(request.keyText, numbers);
        engine.Step2HitReco();
    }
    result->hitCount = engine.HitCount;
    result->text.clear();
    if (engine.HitCount == 0)
        return true;
    const QDate today = QDate::currentDate();
    const RenderContext ctx{
        bank.form,
        bank.script,
        bank.bankName,
        bank.jp,
        [&](int n) {
            Record r = DecodeRecord(image.record(n));
            NormalizeRecord(r, today);
            return r;
        },
        [&](int n) { return LinkListOf(links, n, image.RecCount(), engine.MaxHits); },
        request.SearchItem,
        [&] { engine.RebuildRecordHits(); },
    };
    result->text = Step3(engine.HitList, engine.HitCount, ctx);
    return true;
}

} // namespace tz
