#include "core/search/search_engine.h"

#include "core/common/basic.h"
#include "core/common/cp932.h"
#include "core/common/field_text.h"
#include "core/common/file_lookup.h"
#include "core/common/text.h"
#include "core/search/word_bytes.h"
#include "core/store/record.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace tz {
namespace {

using L = RecordLayout;

// The bytes of a field without the blanks at either end. Only the byte 0x20
// decodes to a blank, and never as the second byte of a pair, so decoding them
// gives the trimmed text of the field.
QByteArrayView trimmedBytes(QByteArrayView rec, FieldSpan f)
{
    if (f.offset >= rec.size())
        return {};
    QByteArrayView bytes = rec.sliced(f.offset, qMin<qsizetype>(f.width, rec.size() - f.offset));
    while (!bytes.isEmpty() && bytes.front() == ' ')
        bytes = bytes.sliced(1);
    while (!bytes.isEmpty() && bytes.back() == ' ')
        bytes.chop(1);
    return bytes;
}

QString trimmedField(QByteArrayView rec, FieldSpan f)
{
    return cp932::decode(trimmedBytes(rec, f));
}

// The first n characters of a field as stored (the padding counts). They lie
// in its first 2n bytes whatever the characters are.
QString fieldStart(QByteArrayView rec, FieldSpan f, int n)
{
    return DecodeText(rec, FieldSpan{f.offset, qMin(f.width, 2 * n)}).left(n).leftJustified(n, u' ');
}

// Blank: author and title together hold no byte but blanks, or one ".". Any
// other byte decodes to a character that is neither a blank nor "." (a "." is
// only ever its own byte), and two bytes give more than ".".
bool blankBytes(QByteArrayView rec)
{
    static_assert(L::Author.offset + L::Author.width == L::Title.offset);
    const qsizetype to = qMin<qsizetype>(L::Title.offset + L::Title.width, rec.size());
    int dots = 0;
    for (qsizetype i = L::Author.offset; i < to; ++i) {
        const char b = rec[i];
        if (b != ' ' && (b != '.' || ++dots > 1))
            return false;
    }
    return true;
}

// The fields a word search looks in.
const std::vector<FieldSpan> &searchedFields(int kind)
{
    static const std::vector<FieldSpan> free{L::Memo, L::Author, L::Editor, L::Title, L::Book, L::Keyword};
    static const std::vector<FieldSpan> memo{L::Memo};
    static const std::vector<FieldSpan> names{L::Author, L::Editor};
    static const std::vector<FieldSpan> titles{L::Title, L::Book, L::Keyword};
    return kind == KindMemo ? memo : kind == KindAuthorEditor ? names : kind == KindTitleKeyword ? titles : free;
}

// The text a word search looks in: trimmed fields joined by one blank.
QString searchedText(QByteArrayView rec, int kind)
{
    const std::vector<FieldSpan> &fields = searchedFields(kind);
    QString text;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += u' ';
        text += trimmedField(rec, fields[i]);
    }
    return text;
}

// Turns blanks into commas, collapses comma runs and appends one comma.
// The pieces of a key text: blanks and commas separate them, empty pieces
// are dropped.
QStringList keyPieces(const QString &keyText)
{
    QString t = keyText;
    t.replace(u' ', u',');
    t = ReplaceAll(t, QStringLiteral(",,"), QStringLiteral(",")) + u',';
    QStringList pieces;
    int start = 1;
    while (const int p = FindSep(start, t, QStringLiteral(","))) {
        if (p > start)
            pieces.append(t.mid(start - 1, p - start));
        start = p + 1;
    }
    return pieces;
}

// Record numbers already in the list, for the "no repeated record" rule.
class Presence
{
public:
    void add(qint16 rec)
    {
        if (rec > 0)
            m_seen[rec] = true;
    }
    bool has(qint16 rec) const { return rec > 0 && m_seen[rec]; }

private:
    std::vector<bool> m_seen = std::vector<bool>(32768, false);
};

} // namespace

QString DupKey(QByteArrayView rec)
{
    return QString::number(DecodeInt16(rec, L::JPcode)) + u',' + trimmedField(rec, L::Volume) + u':' +
           trimmedField(rec, L::Page1) + u',' + fieldStart(rec, L::Author, 4) + fieldStart(rec, L::Title, 4);
}

QString SimilarKey(QByteArrayView rec)
{
    const qint16 code = DecodeInt16(rec, L::JPcode);
    const QString number = code >= 0 ? u' ' + QString::number(code) : QString::number(code);
    return number + u',' + fieldStart(rec, L::Volume, L::Volume.width) + u':' +
           fieldStart(rec, L::Page1, L::Page1.width) + u',' + fieldStart(rec, L::Author, 4) +
           fieldStart(rec, L::Title, 4);
}

SearchEngine::SearchEngine(int maxHits)
{
    setMaxHits(maxHits);
}

void SearchEngine::setMaxHits(int maxHits)
{
    MaxHits = qBound(1, maxHits, 32767);
    KeyWords.resize(MaxHits + 1);
    KeyNums.resize(MaxHits + 1);
    HitList.resize(MaxHits + 1);
    KeyCount = qMin(KeyCount, MaxHits);
    HitCount = qMin(HitCount, MaxHits);
}

void SearchEngine::Step1GetWord(const QString &keyText)
{
    const bool lower = CheckMode[CheckIgnoreCase];
    int counter = 0;
    for (const QString &piece : keyPieces(keyText)) {
        if (counter >= MaxHits)
            break;
        KeyWords[++counter] = lower ? piece.toLower() : piece;
    }
    KeyCount = counter;
    if (KeyCount == 1)
        AndMode = false;
}

void SearchEngine::Step1GetNum(const QString &keyText, const NumberContext &ctx)
{
    // The largest valid value of the kind: record numbers up to RecCount, years
    // up to this year, JP codes up to the end of the fourth group. Valid are
    // the values above 0 up to it; as the groups follow one another, a JP code
    // in that span always lies in one of them. A value is stored rounded, and
    // one that rounds to 0 names no record, year or code, so it is dropped too.
    int upper = 0;
    if (SearchItem == KindJPcode)
        upper = ctx.jp ? qMax(0, int(ctx.jp->JPendE)) : 0;
    else if (SearchItem == KindYear)
        upper = ctx.currentYear;
    else
        upper = ctx.RecCount;
    int counter = 0;
    auto store = [&](double x) {
        if (counter >= MaxHits || !(x > 0 && x <= upper))
            return;
        const qint16 value = ToInt16(x).value_or(0);
        if (value > 0)
            KeyNums[++counter] = value;
    };

    for (const QString &piece : keyPieces(keyText)) {
        if (counter >= MaxHits)
            break;
        const int q = FindSep(1, piece, QStringLiteral("-"));
        if (q == 0) {
            store(Val(piece));
            continue;
        }
        const QString from = piece.left(q - 1);
        const double s = Val(from);
        const double e = Val(PageEndFill(from, piece.mid(q)));
        if (s == 0 || s == e) {
            store(e);
            continue;
        }
        // Values below 1 or above the kind's largest valid value are never
        // valid, so the walk starts and stops within that span.
        double x = s;
        if (x < 1)
            x += std::ceil(1 - x);
        for (const double last = qMin(e, double(upper)); x <= last && counter < MaxHits; x += 1)
            store(x);
    }
    KeyCount = counter;
}

void SearchEngine::openProgress(int max)
{
    m_progressMax = max;
    if (progress)
        progress(ProgressMode::Open, 1, max);
}

void SearchEngine::closeProgress()
{
    // The range it was opened with: a progress window that opened for it
    // closes, one that never opened (a single candidate) stays unasked.
    if (progress)
        progress(ProgressMode::Close, m_progressMax, m_progressMax);
}

bool SearchEngine::cancelled(int pos)
{
    if (progress)
        progress(ProgressMode::Step, pos, m_progressMax);
    return CancelFlag;
}

bool SearchEngine::RunSteps(const RecordImage &bank, const QString &keyText, const JPcodeTable &jp, int similarRec)
{
    const NumberContext numbers{bank.RecCount(), &jp, QDate::currentDate().year()};
    switch (SearchItem) {
    case KindFreeKeyword:
    case KindMemo:
    case KindAuthorEditor:
    case KindTitleKeyword:
        Step1GetWord(keyText);
        Step2HitWord(bank);
        return true;
    case KindJPcode:
    case KindYear:
        Step1GetNum(keyText, numbers);
        Step2HitNum(bank);
        return true;
    case KindRecord:
    case KindCurrent:
    case KindLinked:
        Step1GetNum(keyText, numbers);
        Step2HitReco();
        return true;
    case KindBlank:
        Step2HitBlank(bank);
        return true;
    case KindDouble:
        Step2HitDouble(bank);
        return true;
    case KindSimilar:
    case KindSimilarAuto:
        Step2HitSimilar(bank, similarRec);
        return true;
    default:
        return false;
    }
}

QList<int> SearchEngine::candidates(const RecordImage &bank) const
{
    QList<int> list;
    if (CheckMode[CheckAdditional] && HitCount > 0) {
        for (int i = 1; i <= HitCount; ++i)
            list.append(HitList[i]);
    } else {
        list.reserve(bank.RecCount());
        for (int r = 1; r <= bank.RecCount(); ++r)
            list.append(r);
    }
    return list;
}

void SearchEngine::Step2HitWord(const RecordImage &bank)
{
    const bool additional = CheckMode[CheckAdditional];
    const bool unique = CheckMode[CheckUnique];
    const bool lower = CheckMode[CheckIgnoreCase];
    const bool topWord = CheckMode[CheckTopWord];
    int n = additional ? HitCount : 0;
    Presence present;
    for (int i = 1; i <= n; ++i)
        present.add(HitList[i]);
    auto add = [&](int rec) {
        if (unique && present.has(rec))
            return;
        HitList[++n] = static_cast<qint16>(rec);
        present.add(rec);
    };

    // One pass over the file finds the records whose bytes may hold the words
    // (any word, or every word for AND); only those are decoded and matched.
    const bool every = !topWord && AndMode;
    const size_t slots = static_cast<size_t>(bank.RecCount()) + 1;
    std::vector<char> mayMatch(slots, every ? 1 : 0);
    std::vector<char> marks;
    for (int j = 1; j <= KeyCount; ++j) {
        const WordBytes word(KeyWords[j], lower);
        if (every && word.undecided())
            continue;
        marks.assign(slots, 0);
        word.markRecords(bank.bytes(), bank.RecCount(), searchedFields(SearchItem), marks);
        for (size_t r = 0; r < slots; ++r)
            mayMatch[r] = every ? (mayMatch[r] & marks[r]) : (mayMatch[r] | marks[r]);
    }

    const QList<int> cands = candidates(bank);
    openProgress(cands.size());
    for (int c = 0; c < cands.size() && n < MaxHits; ++c) {
        if (cancelled(c + 1))
            return;
        const int rec = cands[c];
        if (rec >= 1 && rec <= bank.RecCount() && !mayMatch[static_cast<size_t>(rec)])
            continue;
        QString text = searchedText(bank.record(rec), SearchItem);
        if (lower)
            text = text.toLower();
        if (topWord || !AndMode) {
            for (int j = 1; j <= KeyCount && n < MaxHits; ++j) {
                const qsizetype at = text.indexOf(KeyWords[j]);
                if (at >= 0 && (!topWord || at == 0))
                    add(rec);
            }
        } else {
            bool all = KeyCount > 0;
            for (int j = 1; j <= KeyCount && all; ++j)
                all = text.contains(KeyWords[j]);
            if (all)
                add(rec);
        }
    }
    closeProgress();
    HitCount = n;
}

void SearchEngine::Step2HitNum(const RecordImage &bank)
{
    const bool additional = CheckMode[CheckAdditional];
    const bool skipRepeats = additional && CheckMode[CheckUnique];
    const FieldSpan field = SearchItem == KindJPcode ? L::JPcode : L::Year;
    int n = additional ? HitCount : 0;
    Presence present;
    for (int i = 1; i <= n; ++i)
        present.add(HitList[i]);

    const QList<int> cands = candidates(bank);
    openProgress(cands.size());
    for (int c = 0; c < cands.size() && n < MaxHits; ++c) {
        if (cancelled(c + 1))
            return;
        const int rec = cands[c];
        const qint16 value = DecodeInt16(bank.record(rec), field);
        for (int j = 1; j <= KeyCount && n < MaxHits; ++j) {
            if (value != KeyNums[j] || (skipRepeats && present.has(rec)))
                continue;
            HitList[++n] = static_cast<qint16>(rec);
            present.add(rec);
        }
    }
    closeProgress();
    HitCount = n;
}

void SearchEngine::RebuildRecordHits()
{
    HitList = m_recoStartList;
    HitCount = m_recoStartCount;
    const Progress saved = std::exchange(progress, Progress());
    Step2HitReco();
    progress = saved;
}

void SearchEngine::Step2HitReco()
{
    m_recoStartList = HitList;
    m_recoStartCount = HitCount;
    const bool additional = CheckMode[CheckAdditional];
    const bool skipRepeats = additional && CheckMode[CheckUnique];
    const int startCount = additional ? HitCount : 0;
    int n = startCount;
    Presence atStart;
    for (int i = 1; i <= startCount; ++i)
        atStart.add(HitList[i]);
    Presence present = atStart;

    openProgress(KeyCount);
    for (int i = 1; i <= KeyCount && n < MaxHits; ++i) {
        if (cancelled(i))
            return;
        const qint16 rec = KeyNums[i];
        if (startCount > 0 && !atStart.has(rec))
            continue;
        if (skipRepeats && present.has(rec))
            continue;
        HitList[++n] = rec;
        present.add(rec);
    }
    closeProgress();
    HitCount = n;
}

void SearchEngine::Step2HitBlank(const RecordImage &bank)
{
    int n = 0;
    openProgress(bank.RecCount());
    for (int rec = 1; rec <= bank.RecCount() && n < MaxHits; ++rec) {
        if (cancelled(rec))
            return;
        if (blankBytes(bank.record(rec)))
            HitList[++n] = static_cast<qint16>(rec);
    }
    closeProgress();
    HitCount = n;
}

void SearchEngine::Step2HitDouble(const RecordImage &bank)
{
    const int count = bank.RecCount();
    openProgress(count);
    std::vector<QString> keys(count + 1);
    for (int rec = 1; rec <= count; ++rec)
        keys[rec] = DupKey(bank.record(rec));
    // twin[i]: the first later record with exactly the same key, 0 for none;
    // found from the back with a map from key to the nearest record seen.
    std::vector<int> twin(count + 1, 0);
    QHash<QString, int> nearest;
    nearest.reserve(count);
    for (int rec = count; rec >= 1; --rec) {
        auto it = nearest.find(keys[rec]);
        if (it != nearest.end()) {
            twin[rec] = it.value();
            it.value() = rec;
        } else {
            nearest.insert(keys[rec], rec);
        }
    }

    int n = 0;
    const QString blankKey = QStringLiteral("0,:,");
    for (int i = 1; i <= count - 1 && n < MaxHits; ++i) {
        if (cancelled(i))
            return;
        if (twin[i] == 0 || Trim(keys[i]) == blankKey)
            continue;
        HitList[++n] = static_cast<qint16>(i);
        if (n < MaxHits)
            HitList[++n] = static_cast<qint16>(twin[i]);
    }
    closeProgress();
    HitCount = n;
}

void SearchEngine::Step2HitSimilar(const RecordImage &bank, int CurRec)
{
    const QString reference = SimilarKey(bank.record(CurRec));
    int n = 0;
    openProgress(bank.RecCount());
    for (int rec = 1; rec <= bank.RecCount() && n < MaxHits; ++rec) {
        if (cancelled(rec))
            return;
        if (rec != CurRec && SimilarKey(bank.record(rec)) == reference)
            HitList[++n] = static_cast<qint16>(rec);
    }
    closeProgress();
    HitCount = n;
}

} // namespace tz
