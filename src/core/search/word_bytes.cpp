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
    // The probes: the first and the last position that allow few bytes.
    auto allowedAt = [this](int j) {
        std::vector<unsigned char> bytes;
        for (int x = 0; x < 256; ++x)
            if (m_allowed[static_cast<size_t>(j) * 256 + static_cast<size_t>(x)])
                bytes.push_back(static_cast<unsigned char>(x));
        return bytes;
    };
    for (int j = 0; j < m_size && m_probes[0].at < 0; ++j)
        if (std::vector<unsigned char> bytes = allowedAt(j); bytes.size() <= kProbeBytes)
            m_probes[0] = Probe{j, std::move(bytes)};
    for (int j = m_size - 1; j >= 0 && m_probes[1].at < 0; --j)
        if (std::vector<unsigned char> bytes = allowedAt(j); bytes.size() <= kProbeBytes)
            m_probes[1] = Probe{j, std::move(bytes)};
}

bool WordBytes::standsAt(const unsigned char *data, qsizetype pos) const
{
    for (qsizetype j = 0; j < m_size; ++j)
        if (!m_allowed[static_cast<size_t>(j) * 256 + data[pos + j]])
            return false;
    return true;
}

void WordBytes::markRecords(QByteArrayView bytes, int count, const std::vector<FieldSpan> &fields, char *marks) const
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
    if (m_probes[0].at >= 0) {
        // Both probes tested at the 16 places pos..pos+15 at once.
        const Probe &p1 = m_probes[0], &p2 = m_probes[1];
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
