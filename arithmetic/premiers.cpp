// Prime table: seeding and extension by one prime.
#include "premiers.hpp"

void amorce(Travail& w) {
    w.np = 2;
    w.Nprem[1] = 2;
    w.Nprem[2] = 3;
}

int Suiv(Travail& w) {
    const std::int64_t last = w.Nprem[w.np];
    std::int64_t i = 1;  // step count: the candidate is last + 2 i
    std::int64_t j = 1;  // index of the trial divisor
    for (;;) {
        const std::int64_t c = last + 2 * i;
        const std::int64_t p = w.Nprem[j];
        // Candidates stay far below 2^53 and trial primes below 2^27, so
        // the exact test p * p <= c is the square-root test of the table.
        if (p * p <= c) {
            // Candidates stay below 2^32 over the whole 64-bit range of N
            // (the largest prime ever asked for is 3037000507), where a
            // 32-bit division is several times cheaper.
            const bool divise = c < (std::int64_t{1} << 32)
                                    ? static_cast<std::uint32_t>(c) % static_cast<std::uint32_t>(p) == 0
                                    : c % p == 0;
            if (divise) {
                ++i;
                j = 1;
            } else {
                ++j;
            }
            continue;
        }
        ++w.np;
        w.Nprem.append();
        w.Nprem[w.np] = c;
        return 1;
    }
}
