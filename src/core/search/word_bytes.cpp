#include "core/search/word_bytes.h"

#include "core/common/cp932.h"
#include "core/common/cp932_table.h"

#include <QtAlgorithms>
#include <algorithm>
#include <initializer_list>

#if defined(__SSE2__) || defined(_M_X64)
#define TZ_WORD_BYTES_SSE2
#include <emmintrin.h>
#endif
#ifdef TZ_WORD_BYTES_AVX2
#include "core/search/word_bytes_avx2.h"
#endif

namespace tz {
namespace {

// A byte form: its length (1 or 2) and its bytes.
struct Form
{
    int size = 0;
    std::array<unsigned char, 2> bytes{};
};

// Every byte and pair of bytes that decodes to one character, in byte order,
// with that character as decoded and lower-cased. Built once from the
// decoding tables.
struct FormTable
{
    std::vector<Form> forms;
    std::vector<char16_t> exact;
    std::vector<char16_t> lower;
    bool lowerIrregular = false; // some character lower-cases to more than one

    FormTable()
    {
        auto add = [this](std::initializer_list<unsigned char> bytes, char16_t c) {
            Form form;
            form.size = static_cast<int>(bytes.size());
            std::copy(bytes.begin(), bytes.end(), form.bytes.begin());
            forms.push_back(form);
            exact.push_back(c);
        };
        for (int b = 0; b < 256; ++b) {
            const char16_t c = b < 0x80 ? char16_t(b) : cp932::kSingleTable[b];
            if (c != QChar::ReplacementCharacter)
                add({static_cast<unsigned char>(b)}, c);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!cp932::isLeadByte(static_cast<unsigned char>(lead)))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char16_t c =
                    cp932::kDoubleTable[cp932::LeadIndex(static_cast<unsigned char>(lead))][trail - 0x40];
                if (c != 0 && c != QChar::ReplacementCharacter)
                    add({static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)}, c);
            }
        }
        // The lower case of each character, as the search lower-cases text:
        // one text of all of them, lower-cased at once, character by
        // character (a different length means some character becomes more
        // than one).
        const QString all = QString::fromUtf16(exact.data(), static_cast<qsizetype>(exact.size()));
        const QString lowered = all.toLower();
        lowerIrregular = lowered.size() != all.size();
        if (!lowerIrregular)
            lower.assign(reinterpret_cast<const char16_t *>(lowered.utf16()),
                         reinterpret_cast<const char16_t *>(lowered.utf16()) + lowered.size());
    }
};

const FormTable &forms()
{
    static const FormTable table;
    return table;
}

} // namespace

WordBytes::WordBytes(const QString &word, bool lowerCase)
{
    const FormTable &table = forms();
    if (word.isEmpty() || (lowerCase && table.lowerIrregular)) {
        m_undecided = true;
        return;
    }
    for (QChar c : word) {
        if (c == QChar::ReplacementCharacter) {
            m_undecided = true; // stands for any undecodable bytes
            return;
        }
        const std::vector<char16_t> &byChar = lowerCase ? table.lower : table.exact;
        int size = 0;
        size_t at = 0;
        for (size_t k = 0; k < byChar.size(); ++k) {
            if (byChar[k] != c.unicode())
                continue;
            const Form &form = table.forms[k];
            if (size == 0) { // the first form sets the length of the character
                size = form.size;
                at = static_cast<size_t>(m_size) * 256;
                m_size += size;
                m_allowed.resize(static_cast<size_t>(m_size) * 256, 0);
            } else if (form.size != size) {
                m_undecided = true;
                return;
            }
            for (size_t i = 0; i < static_cast<size_t>(size); ++i)
                m_allowed[at + i * 256 + form.bytes[i]] = 1;
        }
        if (size == 0) {
            m_never = true;
            return;
        }
    }
    // Horspool: a window whose last byte is x moves on to where x could next
    // stand at a position of the word.
    m_shift.fill(m_size);
    for (int j = 0; j < m_size - 1; ++j)
        for (size_t x = 0; x < 256; ++x)
            if (m_allowed[static_cast<size_t>(j) * 256 + x])
                m_shift[x] = m_size - 1 - j;
    // The probes, until the bytes of the file tell which are rare: the first
    // and the last position that allow few bytes.
    std::array<quint32, 256> even;
    even.fill(1);
    chooseProbes(even);
}

void WordBytes::chooseProbes(const std::array<quint32, 256> &frequency)
{
    m_probes = {};
    // The positions that allow one or two bytes, each with how often its
    // bytes occur; the two rarest (the first and last of equals) are tested.
    struct Place
    {
        quint64 occurs = 0;
        Probe probe;
    };
    std::vector<Place> places;
    for (int j = 0; j < m_size; ++j) {
        Place place{0, Probe{j, {}}};
        for (int x = 0; x < 256; ++x)
            if (m_allowed[static_cast<size_t>(j) * 256 + static_cast<size_t>(x)]) {
                place.probe.bytes.push_back(static_cast<unsigned char>(x));
                place.occurs += frequency[static_cast<size_t>(x)];
            }
        if (place.probe.bytes.size() <= kProbeBytes)
            places.push_back(std::move(place));
    }
    if (places.empty())
        return;
    std::stable_sort(places.begin(), places.end(), [](const Place &a, const Place &b) { return a.occurs < b.occurs; });
    m_probes[0] = places.front().probe;
    m_probes[1] = places[places.size() > 1 ? 1 : 0].probe;
}

bool WordBytes::standsAt(const unsigned char *data, qsizetype pos) const
{
    for (qsizetype j = 0; j < m_size; ++j)
        if (!m_allowed[static_cast<size_t>(j) * 256 + data[pos + j]])
            return false;
    return true;
}

void WordBytes::markRecords(QByteArrayView bytes, int count, const std::vector<FieldSpan> &fields, char *marks,
                            Method method) const
{
    if (m_never)
        return;
    if (m_undecided) {
        std::fill(marks, marks + count, 1);
        return;
    }
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype m = m_size;
    const qsizetype end = qMin<qsizetype>(bytes.size(), qsizetype(count) * kRecordSize);
    // The word found at pos: when it lies inside one of the fields, its
    // record is marked and the search goes on at the next record (the place
    // returned), else at the next place.
    auto found = [&](qsizetype pos) {
        const qsizetype record = pos / kRecordSize;
        const qsizetype at = pos % kRecordSize;
        for (const FieldSpan &f : fields) {
            if (at >= f.offset && at + m <= f.offset + f.width) {
                marks[record] = 1;
                return (record + 1) * kRecordSize;
            }
        }
        return pos + 1;
    };
    qsizetype pos = 0;
#ifdef TZ_WORD_BYTES_SSE2
    if (m_probes[0].at >= 0 && method != Method::OneByOne) {
        const Probe &p1 = m_probes[0], &p2 = m_probes[1];
#ifdef TZ_WORD_BYTES_AVX2
        // 32 places at a time where the processor can.
        static const bool avx2 = __builtin_cpu_supports("avx2");
        if (avx2 && method == Method::Fastest) {
            struct Context
            {
                const WordBytes *word;
                const unsigned char *data;
                qsizetype end;
                decltype(found) *markFound;
            } context{this, data, end, &found};
            const ProbeSteps steps{data,
                                   end,
                                   p1.at,
                                   p2.at,
                                   {p1.bytes.front(), p1.bytes.back()},
                                   {p2.bytes.front(), p2.bytes.back()},
                                   [](void *c, long long place) -> long long {
                                       const Context &x = *static_cast<const Context *>(c);
                                       if (place + x.word->m_size > x.end || !x.word->standsAt(x.data, place))
                                           return 0;
                                       const qsizetype after = (*x.markFound)(place);
                                       return after > place + 1 ? after : 0;
                                   },
                                   &context};
            pos = ProbeStepsAvx2(steps, pos);
        }
#endif
        // Both probes tested at the 16 places pos..pos+15 at once.
        const __m128i a0 = _mm_set1_epi8(static_cast<char>(p1.bytes.front()));
        const __m128i a1 = _mm_set1_epi8(static_cast<char>(p1.bytes.back()));
        const __m128i b0 = _mm_set1_epi8(static_cast<char>(p2.bytes.front()));
        const __m128i b1 = _mm_set1_epi8(static_cast<char>(p2.bytes.back()));
        const qsizetype reach = qMax(p1.at, p2.at) + 16; // the bytes a step reads from pos
        while (pos + reach <= end) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + pos + p1.at));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + pos + p2.at));
            const __m128i hitA = _mm_or_si128(_mm_cmpeq_epi8(a, a0), _mm_cmpeq_epi8(a, a1));
            const __m128i hitB = _mm_or_si128(_mm_cmpeq_epi8(b, b0), _mm_cmpeq_epi8(b, b1));
            unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(hitA, hitB)));
            qsizetype next = pos + 16;
            while (mask != 0) {
                const qsizetype place = pos + qCountTrailingZeroBits(mask);
                mask &= mask - 1;
                if (place + m <= end && standsAt(data, place)) {
                    if (const qsizetype after = found(place); after > place + 1) {
                        next = after;
                        break;
                    }
                }
            }
            pos = next;
        }
        for (; pos + m <= end;) // the last places, one by one
            pos = standsAt(data, pos) ? found(pos) : pos + 1;
        return;
    }
#endif
    while (pos + m <= end) {
        const unsigned char last = data[pos + m - 1];
        if (m_allowed[static_cast<size_t>(m - 1) * 256 + last] && standsAt(data, pos)) {
            if (const qsizetype after = found(pos); after > pos + 1) {
                pos = after;
                continue;
            }
        }
        pos += m_shift[last];
    }
}

} // namespace tz
