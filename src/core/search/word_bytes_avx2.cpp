// The probe test of the byte-level word search (word_bytes.cpp) 32 places at
// a time, compiled for processors with AVX2 alone: word_bytes.cpp calls it
// only where the processor has them. Nothing here may come from a shared
// header's inline functions (the linker could keep this file's copy of one
// for every caller), hence the plain types.
#include "core/search/word_bytes_avx2.h"

#include <immintrin.h>

namespace tz {

long long ProbeStepsAvx2(const ProbeSteps &s, long long pos)
{
    const __m256i a0 = _mm256_set1_epi8(static_cast<char>(s.bytes1[0]));
    const __m256i a1 = _mm256_set1_epi8(static_cast<char>(s.bytes1[1]));
    const __m256i b0 = _mm256_set1_epi8(static_cast<char>(s.bytes2[0]));
    const __m256i b1 = _mm256_set1_epi8(static_cast<char>(s.bytes2[1]));
    const long long reach = (s.at1 > s.at2 ? s.at1 : s.at2) + 32; // the bytes a step reads from pos
    while (pos + reach <= s.end) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(s.data + pos + s.at1));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(s.data + pos + s.at2));
        const __m256i hitA = _mm256_or_si256(_mm256_cmpeq_epi8(a, a0), _mm256_cmpeq_epi8(a, a1));
        const __m256i hitB = _mm256_or_si256(_mm256_cmpeq_epi8(b, b0), _mm256_cmpeq_epi8(b, b1));
        unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(hitA, hitB)));
        long long next = pos + 32;
        while (mask != 0) {
            const long long place = pos + __builtin_ctz(mask);
            mask &= mask - 1;
            if (const long long after = s.candidate(s.context, place); after != 0) {
                next = after;
                break;
            }
        }
        pos = next;
    }
    return pos;
}

} // namespace tz
