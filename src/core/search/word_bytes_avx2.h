#pragma once
// The probe test of the byte-level word search for processors with AVX2
// (word_bytes_avx2.cpp, built with them where the compiler can).

namespace tz {

struct ProbeSteps
{
    const unsigned char *data; // the bytes searched, up to end
    long long end;
    int at1, at2;            // the positions of the two probes in the word
    unsigned char bytes1[2]; // the bytes each may be (twice the same for one)
    unsigned char bytes2[2];
    // A place where both probes may stand: where the search goes on (past
    // the step: the step ends there), or 0 for the next place.
    long long (*candidate)(void *context, long long place);
    void *context;
};

// Tests the places from pos in steps of 32 while a step's bytes lie before
// end; returns the place reached.
long long ProbeStepsAvx2(const ProbeSteps &s, long long pos);

} // namespace tz
