// Any key text and any record-file bytes: parsing stays within the limit and
// the kind's valid numbers, every search lists only records of the bank, and
// the word search (which looks at the bytes first) lists exactly what a
// search over the decoded text of every record lists.
//
// Input: byte 0 chooses the options, byte 1 the length of the key text (UTF-8),
// then the key text, then the record file.

#include "core/common/basic.h"
#include "core/search/search_engine.h"
#include "core/store/record.h"
#include "fuzz_check.h"

#include <cstdint>
#include <cstdlib>

namespace {

QString searchedText(const tz::Record &r, int kind)
{
    QStringList fields;
    if (kind == tz::KindMemo)
        fields = {r.Memo};
    else if (kind == tz::KindAuthorEditor)
        fields = {r.Author, r.Editor};
    else if (kind == tz::KindTitleKeyword)
        fields = {r.Title, r.Book, r.Keyword};
    else
        fields = {r.Memo, r.Author, r.Editor, r.Title, r.Book, r.Keyword};
    for (QString &f : fields)
        f = tz::Trim(f);
    return fields.join(u' ');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const int options = data[0];
    const size_t keyLength = qMin<size_t>(data[1], size - 2);
    const QString keys = QString::fromUtf8(reinterpret_cast<const char *>(data + 2), qsizetype(keyLength));
    const QByteArray file(reinterpret_cast<const char *>(data + 2 + keyLength), qsizetype(size - 2 - keyLength));
    const int recCount = tz::RoundClamp(double(file.size()) / tz::kRecordSize, 0, tz::kMaxRecords);
    const tz::RecordImage image(file, recCount);

    tz::SearchEngine engine(1 + (options >> 5)); // 1..8 hits
    engine.CheckMode[tz::CheckIgnoreCase] = options & 1;
    engine.AndMode = (options >> 1) & 1;
    const int wordKind = (options >> 2) & 3;
    engine.SearchItem = wordKind;
    engine.Step1GetWord(keys);
    check(engine.KeyCount >= 0 && engine.KeyCount <= engine.MaxHits);
    engine.Step2HitWord(image);
    check(engine.HitCount >= 0 && engine.HitCount <= engine.MaxHits);

    // The same search over the decoded records (OR or AND, each record once).
    QList<qint16> expected;
    const QStringList words = engine.KeyWords.mid(1, engine.KeyCount);
    for (int n = 1; n <= recCount && expected.size() < engine.MaxHits; ++n) {
        QString text = searchedText(tz::DecodeRecord(image.record(n)), wordKind);
        if (engine.CheckMode[tz::CheckIgnoreCase] == 1)
            text = text.toLower();
        bool any = false, all = !words.isEmpty();
        for (const QString &w : words) {
            any = any || text.contains(w);
            all = all && text.contains(w);
        }
        if (engine.AndMode == 1 ? all : any)
            expected.append(static_cast<qint16>(n));
    }
    check(engine.hits() == expected);

    // The number kinds.
    tz::JPcodeTable jp = tz::DefaultJPcodeTable();
    for (int kind : {tz::KindJPcode, tz::KindYear, tz::KindRecord}) {
        engine.SearchItem = kind;
        engine.Step1GetNum(keys, tz::NumberContext{recCount, &jp, 2025});
        const int upper = kind == tz::KindJPcode ? jp.JPendE : kind == tz::KindYear ? 2025 : recCount;
        for (int i = 1; i <= engine.KeyCount; ++i)
            check(engine.KeyNums[i] >= 1 && engine.KeyNums[i] <= upper);
        if (kind == tz::KindRecord)
            engine.Step2HitReco();
        else
            engine.Step2HitNum(image);
        for (qint16 n : engine.hits())
            check(n >= 1 && n <= recCount);
    }
    engine.Step2HitBlank(image);
    engine.Step2HitDouble(image);
    for (qint16 n : engine.hits())
        check(n >= 1 && n <= recCount);
    if (recCount > 0) {
        engine.Step2HitSimilar(image, 1);
        for (qint16 n : engine.hits())
            check(n >= 2 && n <= recCount);
    }
    return 0;
}
