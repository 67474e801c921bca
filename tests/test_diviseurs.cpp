// Divisor lists: order, count and sum against a brute-force list, and exact
// divisors of numbers beyond 2^53.
#include <gtest/gtest.h>

#include "diviseurs.hpp"
#include "premiers.hpp"
#include "verites.hpp"

namespace {

std::vector<std::int64_t> liste(Travail& w, std::int64_t n) {
    w.N = n;
    w.S = n;
    diviseurs(w);
    std::vector<std::int64_t> d(w.Div.data() + 1, w.Div.data() + 1 + w.ND1);
    return d;
}

}  // namespace

TEST(Diviseurs, ExemplesDetailles) {
    Travail w;
    amorce(w);
    EXPECT_EQ(liste(w, 12), (std::vector<std::int64_t>{1, 2, 3, 4, 6}));
    EXPECT_EQ(static_cast<std::int64_t>(w.Smax), 16);
    remise(w);
    EXPECT_EQ(liste(w, 36), (std::vector<std::int64_t>{1, 2, 3, 4, 6, 9, 12, 18}));
    EXPECT_EQ(static_cast<std::int64_t>(w.Smax), 55);
    remise(w);
    EXPECT_EQ(liste(w, 60), (std::vector<std::int64_t>{1, 2, 3, 4, 5, 6, 10, 12, 15, 20, 30}));
    EXPECT_EQ(static_cast<std::int64_t>(w.Smax), 108);
    remise(w);
    EXPECT_TRUE(liste(w, 1).empty());
    EXPECT_EQ(static_cast<std::int64_t>(w.Smax), 0);
    remise(w);
}

TEST(Diviseurs, Jusqua2000ContreForceBrute) {
    Travail w;
    amorce(w);
    for (std::int64_t n = 1; n <= 2000; ++n) {
        const auto attendu = verite::diviseurs_propres(n);
        ASSERT_EQ(liste(w, n), attendu) << "N = " << n;
        std::int64_t somme = 0;
        for (auto d : attendu) somme += d;
        ASSERT_EQ(static_cast<std::int64_t>(w.Smax), somme) << "N = " << n;
        remise(w);
    }
}

TEST(Diviseurs, ExactsAuDelaDe2Puissance53) {
    Travail w;
    amorce(w);
    // 2^62: every power of two below it.
    const auto d = liste(w, std::int64_t{1} << 62);
    ASSERT_EQ(d.size(), 62u);
    for (std::size_t q = 0; q < d.size(); ++q) EXPECT_EQ(d[q], std::int64_t{1} << q);
    EXPECT_EQ(static_cast<std::int64_t>(w.Smax), (std::int64_t{1} << 62) - 1);
    remise(w);
    // 3^39: the divisors are the powers 3^0 .. 3^38, their sum (3^39 - 1) / 2.
    std::int64_t p = 1;
    for (int e = 0; e < 39; ++e) p *= 3;
    const auto t = liste(w, p);
    ASSERT_EQ(t.size(), 39u);
    std::int64_t q3 = 1;
    for (std::size_t q = 0; q < t.size(); ++q, q3 *= 3) EXPECT_EQ(t[q], q3);
    EXPECT_EQ(static_cast<std::int64_t>(w.Smax), (p - 1) / 2);
    remise(w);
}
