#pragma once
// A search word as the bytes the record file can hold for it, so that a word
// search finds the records that may contain the word with one pass over the
// file and decodes only those.
//
// Each decoded character comes from one byte or one pair of bytes, one after
// the other, so a field whose text holds the word holds, as bytes, one of the
// byte forms of the word's first character, then one of its second, and so on.
// When the text is compared lower-cased, the forms of a character are those
// of every character whose lower case it is. The pass looks for that run of
// bytes inside the searched fields; what it finds is only a candidate (a pair
// may be matched from its second byte), what it does not find is certainly
// absent. Where the processor has 16-byte vector compares (SSE2), two bytes
// of the word are tested at 16 places at once and only the places where both
// may stand are tested whole; elsewhere the search skips ahead by the last
// byte of the window (Horspool).

#include "core/store/record.h"

#include <QByteArrayView>
#include <QString>
#include <array>
#include <vector>

namespace tz {

class WordBytes
{
public:
    WordBytes(const QString &word, bool lowerCase);

    // The bytes cannot tell (the word holds a character that only stands for
    // undecodable bytes, or one with forms of different lengths): every record
    // may hold it.
    bool undecided() const { return m_undecided; }
    // No record can hold the word (a character no byte decodes to).
    bool never() const { return m_never; }

    // Chooses the two bytes of the word tested first by how often each byte
    // occurs (in a part of the file searched): the rarest.
    void chooseProbes(const std::array<quint32, 256> &frequency);

    // How the bytes are tested: the fastest way the processor allows, 16
    // places at a time, or place by place (all three mark the same records).
    enum class Method { Fastest, By16, OneByOne };

    // Sets marks[k] for each record k (0..count-1) of the run of records
    // `bytes` whose bytes in one of fields may hold the word.
    void markRecords(QByteArrayView bytes, int count, const std::vector<FieldSpan> &fields, char *marks,
                     Method method = Method::Fastest) const;

private:
    // Whether the word's bytes stand at pos of data (pos + size within it).
    bool standsAt(const unsigned char *data, qsizetype pos) const;

    int m_size = 0;                       // the length of the word in bytes
    std::vector<unsigned char> m_allowed; // [position * 256 + byte]: 1 when the byte may stand there
    std::array<int, 256> m_shift{};       // how far the window moves on its last byte
    // Two positions of the word with few allowed bytes (one or two each),
    // which the search tests for 16 places at once, the rarest bytes; none
    // when every position allows more.
    static constexpr size_t kProbeBytes = 2;
    struct Probe
    {
        int at = -1;
        std::vector<unsigned char> bytes;
    };
    std::array<Probe, 2> m_probes;
    bool m_undecided = false;
    bool m_never = false;
};

} // namespace tz
