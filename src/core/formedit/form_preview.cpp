#include "core/formedit/form_preview.h"

#include "core/format/render.h"
#include "core/search/search_render.h"
#include "core/store/link_table.h"
#include "core/store/record_image.h"

#include <QDate>

namespace tz {

namespace {

const char16_t *const kStyleNames[5] = {u"", u"Journal", u"Book (editn.)", u"Monograph", u"etc."};

// The preview's column of the style a record is written by: 5 and 6 as 4.
int previewStyle(qint16 style)
{
    return style >= 1 && style <= 6 ? std::min<int>(style, 4) : 0;
}

// The plain-text script: no codes, a line break for "[/]".
const Script &plainScript()
{
    static const Script script = [] {
        Script s;
        s.name = QStringLiteral("plain");
        s.lineBreak = QStringLiteral("\n");
        return s;
    }();
    return script;
}

} // namespace

void FormPreview::clear()
{
    for (auto &r : m_records)
        r.reset();
    m_fromHits = false;
}

bool FormPreview::sample(const QString &bankPath, const QList<qint16> &hits, int maxHits, QString *error)
{
    clear();
    RecordImage image;
    if (!image.load(bankPath, error))
        return false;
    const int count = image.RecCount();
    m_fromHits = !hits.isEmpty();
    int found = 0;
    std::array<int, 5> chosen{};
    auto consider = [&](int n, QByteArrayView bytes) {
        if (n < 1 || n > count)
            return;
        const int style = previewStyle(DecodeInt16(bytes, RecordLayout::Style));
        if (style > 0 && chosen[static_cast<size_t>(style)] == 0) {
            chosen[static_cast<size_t>(style)] = n;
            ++found;
        }
    };
    if (m_fromHits) {
        for (int i = 0; i < hits.size() && found < 4; ++i)
            consider(hits[i], image.record(hits[i]));
    } else {
        image.scan(1, count, [&](int first, int run, QByteArrayView bytes) {
            for (int k = 0; k < run && found < 4; ++k)
                consider(first + k, RecordAt(bytes, k + 1));
            return found < 4;
        });
    }
    if (found == 0)
        return true;

    const QByteArray links = ReadLinkBytes(bankPath); // the lists show no links when it cannot be read
    const QDate today = QDate::currentDate();
    for (int style = 1; style <= 4; ++style) {
        const int n = chosen[static_cast<size_t>(style)];
        if (n == 0)
            continue;
        PreviewRecord p;
        p.recNo = n;
        p.rec = DecodeRecord(image.record(n));
        NormalizeRecord(p.rec, today);
        p.linkList = LinkListOf(links, n, count, maxHits);
        m_records[static_cast<size_t>(style)] = std::move(p);
    }
    return true;
}

const std::optional<PreviewRecord> &FormPreview::record(int style) const
{
    return m_records.at(static_cast<size_t>(std::clamp(style, 0, 4)));
}

QString FormPreview::text(const OutputForm &form, const QString &bankName, const JPcodeTable &jp) const
{
    QString out;
    for (int style = 1; style <= 4; ++style) {
        const std::optional<PreviewRecord> &p = m_records[static_cast<size_t>(style)];
        const QString name = QString::fromUtf16(kStyleNames[style]);
        if (!out.isEmpty())
            out += u'\n';
        if (!p) {
            out += name + (m_fromHits ? QStringLiteral("  （検索結果にこのスタイルのレコードはありません）")
                                      : QStringLiteral("  （このスタイルのレコードはありません）"));
            out += u'\n';
            continue;
        }
        out += QStringLiteral("%1  (Rec %2)\n").arg(name).arg(p->recNo);
        const RenderContext ctx{
            form,
            plainScript(),
            bankName,
            jp,
            [p](int) { return p->rec; },
            [p](int) { return p->linkList; },
            0,
            {},
            kResultCapacity,
            {},
            {},
            {},
        };
        QString entry = RenderEntry(p->rec, p->recNo, 1, ctx);
        if (!entry.endsWith(u'\n'))
            entry += u'\n';
        out += entry;
    }
    return out;
}

} // namespace tz
