// Moduli of the count: 2^64, then the primes just below 2^63, as many as
// the largest possible count requires; exact rebuild by the Chinese
// remainder theorem (Garner's form, on GMP integers).
#include <vector>

#include "comptage_interne.hpp"

namespace comptage_interne {

namespace {

u64 mulmod(u64 a, u64 b, u64 m) { return static_cast<u64>(static_cast<u128>(a) * b % m); }

u64 powmod(u64 a, u64 e, u64 m) {
    u64 r = 1 % m;
    a %= m;
    while (e) {
        if (e & 1) r = mulmod(r, a, m);
        a = mulmod(a, a, m);
        e >>= 1;
    }
    return r;
}

// Deterministic Miller-Rabin for 64-bit n (these seven bases suffice).
bool est_premier(u64 n) {
    if (n < 2) return false;
    for (u64 q : {2u, 3u, 5u, 7u, 11u, 13u, 17u, 19u, 23u, 29u, 31u, 37u}) {
        if (n % q == 0) return n == q;
    }
    u64 d = n - 1;
    int s = 0;
    while ((d & 1) == 0) {
        d >>= 1;
        ++s;
    }
    for (u64 a : {2ull, 325ull, 9375ull, 28178ull, 450775ull, 9780504ull, 1795265022ull}) {
        u64 x = powmod(a, d, n);
        if (x == 0 || x == 1 || x == n - 1) continue;
        bool compose = true;
        for (int r = 1; r < s && compose; ++r) {
            x = mulmod(x, x, n);
            if (x == n - 1) compose = false;
        }
        if (compose) return false;
    }
    return true;
}

}  // namespace

std::size_t nombre_modules(std::size_t m) {
    // Sets of distinct positive values with one common sum form an
    // antichain, so there are at most C(m, floor(m/2)) of them (Sperner).
    if (m <= 67) return 1;  // C(67, 33) < 2^64
    std::size_t bits;
    if (m <= 20000) {
        mpz_class b;
        mpz_bin_uiui(b.get_mpz_t(), m, m / 2);
        bits = mpz_sizeinbase(b.get_mpz_t(), 2);
    } else {
        bits = m;  // 2^m
    }
    // 64 bits from 2^64, then more than 62 bits per prime.
    return 1 + (bits + 1 - 64 + 61) / 62;
}

u64 module_premier(std::size_t i) {
    thread_local std::vector<u64> premiers;
    while (premiers.size() <= i) {
        u64 c = premiers.empty() ? (u64{1} << 63) - 1 : premiers.back() - 2;
        while (!est_premier(c)) c -= 2;
        premiers.push_back(c);
    }
    return premiers[i];
}

mpz_class reconstruire(const u64* r, std::size_t modules) {
    mpz_class x(static_cast<unsigned long>(r[0]));
    mpz_class M(1);
    M <<= 64;
    for (std::size_t i = 1; i < modules; ++i) {
        // x is right modulo M; add the multiple of M that fixes it modulo p.
        const u64 p = module_premier(i - 1);
        const u64 xm = mpz_fdiv_ui(x.get_mpz_t(), p);
        const u64 Mm = mpz_fdiv_ui(M.get_mpz_t(), p);
        const u64 diff = r[i] >= xm ? r[i] - xm : r[i] + (p - xm);
        const u64 t = mulmod(diff, powmod(Mm, p - 2, p), p);
        x += M * mpz_class(static_cast<unsigned long>(t));
        M *= mpz_class(static_cast<unsigned long>(p));
    }
    return x;
}

}  // namespace comptage_interne
