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
#include <algorithm>
#include <cmath>
#include <cstring>
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

// The duplicate and similarity keys of a record (DupKey, SimilarKey),
// written into a buffer of their own: the whole-bank searches build one for
// each record without allocating.
struct KeyUnits
{
    // The longest key: "-32768", the volume and page decoded from at most
    // their widths, three separators and the two starts; room for the hash's
    // zeros after it.
    static constexpr int kCapacity = 6 + 1 + L::Volume.width + 1 + L::Page1.width + 1 + 4 + 4;
    std::array<char16_t, kCapacity + 4> units{};
    int size = 0;

    // The duplicate key: the JP code, "," the trimmed volume, ":" the trimmed
    // first page, "," the first four characters of the author and of the
    // title, each padded with blanks.
    void build(QByteArrayView rec)
    {
        size = 0;
        number(rec, false);
        units[size++] = u',';
        append(trimmedBytes(rec, L::Volume));
        units[size++] = u':';
        append(trimmedBytes(rec, L::Page1));
        units[size++] = u',';
        start(rec, L::Author, 4);
        start(rec, L::Title, 4);
    }

    // The similarity key: the JP code (a blank before one that is not
    // negative), "," the volume and ":" the first page as stored, padded to
    // their widths, "," the starts of the author and the title.
    void buildSimilar(QByteArrayView rec)
    {
        size = 0;
        number(rec, true);
        units[size++] = u',';
        start(rec, L::Volume, L::Volume.width);
        units[size++] = u':';
        start(rec, L::Page1, L::Page1.width);
        units[size++] = u',';
        start(rec, L::Author, 4);
        start(rec, L::Title, 4);
    }

    // The JP code in decimal (QString::number's digits).
    void number(QByteArrayView rec, bool blankBeforePositive)
    {
        const qint16 code = DecodeInt16(rec, L::JPcode);
        char16_t digits[6];
        int n = 0;
        unsigned magnitude = code < 0 ? unsigned(-code) : unsigned(code);
        do {
            digits[n++] = char16_t(u'0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude > 0);
        if (code < 0)
            units[size++] = u'-';
        else if (blankBeforePositive)
            units[size++] = u' ';
        while (n > 0)
            units[size++] = digits[--n];
    }

    // The decoded bytes (ASCII as it is, the rest through the decoder).
    void append(QByteArrayView bytes)
    {
        qsizetype i = 0;
        while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80)
            units[size++] = static_cast<unsigned char>(bytes[i++]);
        if (i < bytes.size())
            size += int(cp932::decodeInto(bytes.sliced(i), units.data() + size));
    }

    // The first n characters of a field as stored, padded with blanks (they
    // lie in its first 2n bytes).
    void start(QByteArrayView rec, FieldSpan f, int n)
    {
        const qsizetype width = qMin(f.width, 2 * n);
        const QByteArrayView bytes = f.offset < rec.size()
                                         ? rec.sliced(f.offset, qMin<qsizetype>(width, rec.size() - f.offset))
                                         : QByteArrayView();
        int i = 0;
        for (; i < n && i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80; ++i)
            units[size + i] = static_cast<unsigned char>(bytes[i]);
        if (i < n && i < bytes.size()) { // a character beyond ASCII among the first n
            char16_t decoded[2 * kCapacity];
            const qsizetype got = cp932::decodeInto(bytes, decoded);
            for (i = 0; i < n && i < got; ++i)
                units[size + i] = decoded[i];
        }
        for (; i < n; ++i)
            units[size + i] = u' ';
        size += n;
    }

    // The key of a record with neither JP code, volume, page, author nor
    // title: "0,:," and blanks.
    bool blank() const
    {
        int end = size;
        while (end > 0 && units[end - 1] == u' ')
            --end;
        return end == 4 && units[0] == u'0' && units[1] == u',' && units[2] == u':' && units[3] == u',';
    }

    bool operator==(const KeyUnits &other) const
    {
        return size == other.size && std::equal(units.begin(), units.begin() + size, other.units.begin());
    }

    // Four units at a time; the units after the key count as zeros.
    quint64 hash()
    {
        std::fill(units.begin() + size, units.begin() + size + 4, char16_t(0));
        quint64 h = quint64(size);
        for (int i = 0; i < size; i += 4) {
            quint64 word;
            std::memcpy(&word, units.data() + i, sizeof word);
            h = (h ^ word) * 0x9E3779B97F4A7C15ull;
            h ^= h >> 29;
        }
        return h;
    }
};

} // namespace

QString DupKey(QByteArrayView rec)
{
    KeyUnits key;
    key.build(rec);
    return QString::fromUtf16(key.units.data(), key.size);
}

QString SimilarKey(QByteArrayView rec)
{
    KeyUnits key;
    key.buildSimilar(rec);
    return QString::fromUtf16(key.units.data(), key.size);
}

SearchEngine::SearchEngine(int maxHits)
{
    setMaxHits(maxHits);
}

void SearchEngine::setMaxHits(int maxHits)
{
    MaxHits = qBound(1, maxHits, 32767);
    HitList.resize(MaxHits + 1);
    KeyCount = qMin(KeyCount, MaxHits);
    HitCount = qMin(HitCount, MaxHits);
}

void SearchEngine::Step1GetWord(const QString &keyText)
{
    const bool lower = CheckMode[CheckIgnoreCase];
    QStringList words(1);
    for (const QString &piece : keyPieces(keyText)) {
        if (words.size() > MaxHits)
            break;
        words.append(lower ? piece.toLower() : piece);
    }
    KeyWords = std::move(words);
    KeyCount = static_cast<int>(KeyWords.size() - 1);
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
    QList<qint16> nums(1, 0);
    int counter = 0;
    auto store = [&](double x) {
        if (counter >= MaxHits || !(x > 0 && x <= upper))
            return;
        const qint16 value = ToInt16(x).value_or(0);
        if (value > 0) {
            nums.append(value);
            ++counter;
        }
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
    KeyNums = std::move(nums);
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

const QList<qint16> *SearchEngine::earlierList()
{
    if (!(CheckMode[CheckAdditional] && HitCount > 0))
        return nullptr;
    m_earlier = HitList.mid(1, HitCount);
    return &m_earlier;
}

namespace {

// Visits the candidates of a search in order: the records of the earlier
// list one by one (read on their own), or else every record, in the runs of
// one pass over the file. startRun(n, count, bytes) comes before the records
// n.. of each run (a run of one record for each of the list); visit(pos, rec, bytes)
// gets the candidate's place in the order (from 1), its number and its bytes,
// and returns false to end the walk.
template <typename StartRun, typename Visit>
void walkCandidates(const RecordImage &bank, const QList<qint16> *list, StartRun startRun, Visit visit)
{
    if (list) {
        for (int c = 0; c < list->size(); ++c) {
            const int rec = (*list)[c];
            const QByteArray bytes = bank.record(rec);
            startRun(rec, 1, QByteArrayView(bytes));
            if (!visit(c + 1, rec, QByteArrayView(bytes)))
                return;
        }
        return;
    }
    bank.scan(1, bank.RecCount(), [&](int first, int count, QByteArrayView bytes) {
        startRun(first, count, bytes);
        for (int k = 0; k < count; ++k)
            if (!visit(first + k, first + k, RecordAt(bytes, k + 1)))
                return false;
        return true;
    });
}

} // namespace

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

    // The bytes of each run of records tell which records may hold the words
    // (any word, or every word for AND); only those are decoded and matched.
    const bool every = !topWord && AndMode;
    const std::vector<FieldSpan> &fields = searchedFields(SearchItem);
    std::vector<WordBytes> words;
    for (int j = 1; j <= KeyCount; ++j) {
        WordBytes word(KeyWords[j], lower);
        if (!(every && word.undecided()))
            words.push_back(std::move(word));
    }
    std::vector<char> mayMatch, marks;
    int runFirst = 0; // the first record of the run the marks are for
    bool probed = false;
    auto startRun = [&](int first, int count, QByteArrayView bytes) {
        if (!probed) { // the bytes each word is tested by first: its rarest in the first run
            std::array<quint32, 256> frequency{};
            for (const char b : bytes)
                ++frequency[static_cast<unsigned char>(b)];
            for (WordBytes &word : words)
                word.chooseProbes(frequency);
            probed = true;
        }
        runFirst = first;
        mayMatch.assign(static_cast<size_t>(count), every ? 1 : 0);
        for (const WordBytes &word : words) {
            marks.assign(static_cast<size_t>(count), 0);
            word.markRecords(bytes, count, fields, marks.data());
            for (size_t k = 0; k < mayMatch.size(); ++k)
                mayMatch[k] = every ? (mayMatch[k] & marks[k]) : (mayMatch[k] | marks[k]);
        }
    };

    const QList<qint16> *list = earlierList();
    openProgress(list ? int(list->size()) : bank.RecCount());
    bool stopped = false;
    walkCandidates(bank, list, startRun, [&](int pos, int rec, QByteArrayView bytes) {
        if (n >= MaxHits)
            return false;
        if (cancelled(pos))
            return !(stopped = true);
        if (rec >= 1 && rec <= bank.RecCount() && !mayMatch[static_cast<size_t>(rec - runFirst)])
            return true;
        QString text = searchedText(bytes, SearchItem);
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
        return true;
    });
    if (stopped)
        return;
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

    const QList<qint16> *list = earlierList();
    openProgress(list ? int(list->size()) : bank.RecCount());
    bool stopped = false;
    walkCandidates(
        bank, list, [](int, int, QByteArrayView) {},
        [&](int pos, int rec, QByteArrayView bytes) {
            if (n >= MaxHits)
                return false;
            if (cancelled(pos))
                return !(stopped = true);
            const qint16 value = DecodeInt16(bytes, field);
            for (int j = 1; j <= KeyCount && n < MaxHits; ++j) {
                if (value != KeyNums[j] || (skipRepeats && present.has(rec)))
                    continue;
                HitList[++n] = static_cast<qint16>(rec);
                present.add(rec);
            }
            return true;
        });
    if (stopped)
        return;
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
    bool stopped = false;
    walkCandidates(
        bank, nullptr, [](int, int, QByteArrayView) {},
        [&](int, int rec, QByteArrayView bytes) {
            if (n >= MaxHits)
                return false;
            if (cancelled(rec))
                return !(stopped = true);
            if (blankBytes(bytes))
                HitList[++n] = static_cast<qint16>(rec);
            return true;
        });
    if (stopped)
        return;
    closeProgress();
    HitCount = n;
}

void SearchEngine::Step2HitDouble(const RecordImage &bank)
{
    const int count = bank.RecCount();
    openProgress(count);
    // Each record with the first later record of exactly the same key, in
    // one pass with a table from each key to the last record that had it
    // (open addressing; a slot holds the record number and a tag from the
    // key's hash, and the record's key is built again to compare when the
    // tags agree). Records with the blank key are never listed, so they are
    // left out.
    std::vector<std::pair<qint16, qint16>> twins; // (record, the first later one with its key)
    const quint32 slots = quint32(count) + quint32(count) / 2 + 16;
    std::vector<quint32> table(slots, 0); // tag << 16 | record
    KeyUnits key, other;
    walkCandidates(
        bank, nullptr, [](int, int, QByteArrayView) {},
        [&](int, int rec, QByteArrayView bytes) {
            key.build(bytes);
            if (key.blank())
                return true;
            const quint64 hash = key.hash();
            const quint32 tag = quint32(hash >> 48) & 0xFFFF;
            quint32 slot = quint32((quint64(quint32(hash)) * slots) >> 32);
            for (;; slot = slot + 1 == slots ? 0 : slot + 1) {
                quint32 &held = table[slot];
                const int heldRec = int(held & 0xFFFF);
                if (heldRec == 0) {
                    held = tag << 16 | quint32(rec);
                    return true;
                }
                if ((held >> 16) != tag)
                    continue;
                other.build(bank.record(heldRec));
                if (other == key) {
                    twins.emplace_back(static_cast<qint16>(heldRec), static_cast<qint16>(rec));
                    held = tag << 16 | quint32(rec);
                    return true;
                }
            }
        });
    std::sort(twins.begin(), twins.end());

    int n = 0;
    auto next = twins.cbegin();
    for (int i = 1; i <= count - 1 && n < MaxHits; ++i) {
        if (cancelled(i))
            return;
        if (next == twins.cend() || next->first != i)
            continue;
        HitList[++n] = static_cast<qint16>(i);
        if (n < MaxHits)
            HitList[++n] = next->second;
        ++next;
    }
    closeProgress();
    HitCount = n;
}

void SearchEngine::Step2HitSimilar(const RecordImage &bank, int CurRec)
{
    KeyUnits reference, key;
    reference.buildSimilar(bank.record(CurRec));
    int n = 0;
    openProgress(bank.RecCount());
    bool stopped = false;
    walkCandidates(
        bank, nullptr, [](int, int, QByteArrayView) {},
        [&](int, int rec, QByteArrayView bytes) {
            if (n >= MaxHits)
                return false;
            if (cancelled(rec))
                return !(stopped = true);
            if (rec == CurRec)
                return true;
            key.buildSimilar(bytes);
            if (key == reference)
                HitList[++n] = static_cast<qint16>(rec);
            return true;
        });
    if (stopped)
        return;
    closeProgress();
    HitCount = n;
}

} // namespace tz
