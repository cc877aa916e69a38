#include "core/search/word_bytes.h"

#include "core/common/cp932.h"

#include <QHash>

namespace tz {
namespace {

// A byte form: its length (1 or 2) and its bytes.
struct Form
{
    int size = 0;
    std::array<unsigned char, 2> bytes{};
};

// Every character the decoder gives for a byte or a pair of bytes, with the
// forms it comes from: as decoded, and by its lower case. Built once.
struct FormTable
{
    QHash<char16_t, std::vector<Form>> exact;
    QHash<char16_t, std::vector<Form>> lower;
    bool lowerIrregular = false; // some character lower-cases to more than one

    FormTable()
    {
        auto add = [this](QByteArrayView bytes) {
            const QString c = cp932::decode(bytes);
            if (c.size() != 1 || c[0] == QChar::ReplacementCharacter)
                return; // undecodable, or not one character: two single bytes
            Form form;
            form.size = static_cast<int>(bytes.size());
            for (int i = 0; i < form.size; ++i)
                form.bytes[static_cast<size_t>(i)] = static_cast<unsigned char>(bytes[i]);
            exact[c[0].unicode()].push_back(form);
            const QString lowered = c.toLower();
            if (lowered.size() != 1)
                lowerIrregular = true;
            else
                lower[lowered[0].unicode()].push_back(form);
        };
        for (int b = 0; b < 256; ++b) {
            const char one = static_cast<char>(b);
            add(QByteArrayView(&one, 1));
        }
        for (int lead = 0x80; lead < 256; ++lead) {
            if (!cp932::isLeadByte(static_cast<unsigned char>(lead)))
                continue;
            for (int trail = 0; trail < 256; ++trail) {
                const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                add(QByteArrayView(pair, 2));
            }
        }
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
        const auto &byChar = lowerCase ? table.lower : table.exact;
        const auto found = byChar.constFind(c.unicode());
        if (found == byChar.cend()) {
            m_never = true;
            return;
        }
        const int size = found->front().size;
        const size_t at = static_cast<size_t>(m_size) * 256;
        m_size += size;
        m_allowed.resize(static_cast<size_t>(m_size) * 256, 0);
        for (const Form &form : *found) {
            if (form.size != size) {
                m_undecided = true;
                return;
            }
            for (size_t i = 0; i < static_cast<size_t>(size); ++i)
                m_allowed[at + i * 256 + form.bytes[i]] = 1;
        }
    }
    // Horspool: a window whose last byte is x moves on to where x could next
    // stand at a position of the word.
    m_shift.fill(m_size);
    for (int j = 0; j < m_size - 1; ++j)
        for (size_t x = 0; x < 256; ++x)
            if (m_allowed[static_cast<size_t>(j) * 256 + x])
                m_shift[x] = m_size - 1 - j;
}

void WordBytes::markRecords(QByteArrayView file, int recCount, const std::vector<FieldSpan> &fields,
                            std::vector<char> &marks) const
{
    if (m_never)
        return;
    if (m_undecided) {
        for (int r = 1; r <= recCount; ++r)
            marks[static_cast<size_t>(r)] = 1;
        return;
    }
    const auto *bytes = reinterpret_cast<const unsigned char *>(file.data());
    const unsigned char *allowed = m_allowed.data();
    const qsizetype m = m_size;
    const qsizetype end = qMin<qsizetype>(file.size(), qsizetype(recCount) * kRecordSize);
    qsizetype pos = 0;
    while (pos + m <= end) {
        const unsigned char last = bytes[pos + m - 1];
        if (allowed[(m - 1) * 256 + last]) {
            qsizetype j = m - 2;
            while (j >= 0 && allowed[j * 256 + bytes[pos + j]])
                --j;
            if (j < 0) {
                const qsizetype record = pos / kRecordSize;
                const qsizetype at = pos % kRecordSize;
                bool inField = false;
                for (const FieldSpan &f : fields)
                    inField = inField || (at >= f.offset && at + m <= f.offset + f.width);
                if (inField) {
                    marks[static_cast<size_t>(record + 1)] = 1;
                    pos = (record + 1) * kRecordSize; // the record is marked: on to the next
                    continue;
                }
            }
        }
        pos += m_shift[last];
    }
}

} // namespace tz
