// The whole signed 64-bit range: factorizations checked by multiplying back
// and by primality, exact sums of divisors beyond 2^63, perfect numbers.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include <gmpxx.h>

#include "calcul.hpp"
#include "pilote.hpp"
#include "decomp.hpp"
#include "diviseurs.hpp"
#include "premiers.hpp"

namespace {

// Checks that the recorded factors are ascending primes whose product with
// their exponents is n; the primality verdict comes from GMP.
void verifie_factorisation(Travail& w, std::int64_t n) {
    w.S = n;
    decomp(w);
    mpz_class produit = 1;
    for (std::int32_t q = 1; q <= w.nf; ++q) {
        const mpz_class p(std::to_string(w.Nfact[q]));
        EXPECT_NE(mpz_probab_prime_p(p.get_mpz_t(), 30), 0) << n << ": " << w.Nfact[q];
        if (q > 1) {
            EXPECT_LT(w.Nfact[q - 1], w.Nfact[q]) << n;
        }
        EXPECT_GE(w.Nexpo[q], 1) << n;
        mpz_class puissance;
        mpz_pow_ui(puissance.get_mpz_t(), p.get_mpz_t(), static_cast<unsigned long>(w.Nexpo[q]));
        produit *= puissance;
    }
    EXPECT_EQ(produit, mpz_class(std::to_string(n))) << n;
    remise(w);
}

std::string texte(__int128 v) {
    std::ostringstream out;
    ecrire_entier(out, v);
    return out.str();
}

}  // namespace

TEST(GrandsNombres, FactorisationsPresDuSommet) {
    Travail w;
    amorce(w);
    const std::int64_t cas[] = {
        9223372036854775807,  // 7^2 73 127 337 92737 649657
        9223372036854775783,  // the largest prime below 2^63
        9223372036854775806,  // 2 3 715827883 2147483647
        2305843009213693951,  // the Mersenne prime 2^61 - 1
        9223371873002223329,  // 3037000453 * 3037000493
        9223372030926249001,  // 3037000499^2
        1099509530625,        // 1048573^2: the last trial prime squared
        1099513724929,        // 1048583^2: the first prime past the table
        1152921504606846976,  // 2^60
        4052555153018976267,  // 3^39
        614889782588491410,   // 2 3 5 ... 47
    };
    for (std::int64_t n : cas) verifie_factorisation(w, n);
    // The table never grows past the primes below 2^20.
    EXPECT_EQ(w.np, 82025);
    EXPECT_EQ(w.Nprem[w.np], 1048573);
}

TEST(GrandsNombres, FactorisationsAuHasard) {
    Travail w;
    amorce(w);
    std::mt19937_64 alea(20261206);
    for (int r = 0; r < 3000; ++r) {
        const auto n = static_cast<std::int64_t>(alea() >> (1 + r % 40));
        if (n >= 1) verifie_factorisation(w, n);
    }
    EXPECT_LE(w.np, 82025);
}

TEST(GrandsNombres, NombresParfaitsSous2Puissance63) {
    Travail w;
    amorce(w);
    struct Parfait {
        std::int64_t n, nd1;
    };
    const Parfait parfaits[] = {{6, 3},           {28, 5},          {496, 9},
                                {8128, 13},       {33550336, 25},   {8589869056, 33},
                                {137438691328, 37}, {2305843008139952128, 61}};
    for (const Parfait& p : parfaits)
        EXPECT_EQ(bloc_de(w, p.n), " \n \n \t \t " + std::to_string(p.n) + "  est parfait. Il a " +
                                       std::to_string(p.nd1) + " diviseurs propres.");
}

TEST(GrandsNombres, SommesExactes) {
    Travail w;
    amorce(w);
    // 2^62: 1 + 2 + ... + 2^61.
    EXPECT_EQ(bloc_de(w, std::int64_t{1} << 62),
              " \n \n \t \t \t 4611686018427387904  est deficient. Il a  62  diviseurs propres de somme "
              "4611686018427387903 . ");
    // 3^39: (3^39 - 1) / 2, beyond what double precision holds.
    EXPECT_EQ(bloc_de(w, 4052555153018976267),
              " \n \n \t \t \t 4052555153018976267  est deficient. Il a  39  diviseurs propres de somme "
              "2026277576509488133 . ");
    // 12 p with p prime: the sum 16 p + 28 passes 2^63 - 1. Only the
    // multiples 6p + 4p + 2p and 6p + 3p + 2p + p make 12 p.
    EXPECT_EQ(bloc_de(w, 9223372036854775356),
              "\n \n \t 9223372036854775356  :  2  Solutions. Il a  11  diviseurs propres de somme "
              "12297829382473033836 . ");
    // 2^61 3: the sum 5 2^61 - 4 is computed and compared exactly.
    w.N = w.S = 6917529027641081856;
    diviseurs(w);
    EXPECT_EQ(w.ND1, 123);
    EXPECT_EQ(texte(w.Smax), "11529215046068469756");
    remise(w);
}

TEST(GrandsNombres, EcritureDesEntiers) {
    EXPECT_EQ(texte(0), "0");
    EXPECT_EQ(texte(-7), "-7");
    EXPECT_EQ(texte(static_cast<__int128>(1) << 100), "1267650600228229401496703205376");
}
