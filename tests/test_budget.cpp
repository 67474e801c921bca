// SPDX-License-Identifier: GPL-3.0-or-later
// The memory of counts in several threads: granted in the order of N, and
// given back to the system once the threads have ended.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "budget.hpp"
#include "contexte.hpp"
#include "moteur.hpp"
#include "verites.hpp"

// Counts short of budget at once: in the order of the range, the budget goes
// to them by rank, whatever order they asked in, and a larger rank never
// takes the bytes a smaller one waits for; without an order nobody waits.
TEST(Budget, DansLOrdreDesRangs) {
    Budget budget;
    const std::size_t gros = budget.total() / 2 + 4096;  // two never fit at once
    {
        Contexte seul(budget);
        const Reservation tenu(seul, gros);
        ASSERT_TRUE(tenu);
        Contexte autre(budget);
        autre.commence(7);
        EXPECT_FALSE(budget.attend(autre, gros));  // no order given: no wait
    }
    budget.ordonne(Ordre::croissant);
    std::mutex m;
    std::vector<std::uint64_t> servis;
    auto compte = [&](std::uint64_t rang) {
        Contexte ctx(budget);
        ctx.commence(rang);
        if (budget.attend(ctx, gros)) {
            const Reservation r(ctx, gros);  // taken from what was granted
            {
                std::lock_guard<std::mutex> l(m);
                servis.push_back(rang);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
    };
    // The count of rank 10 holds the budget while 30, then 20, wait for it.
    std::optional<Contexte> a(std::in_place, budget);
    a->commence(10);
    std::optional<Reservation> tenu(std::in_place, *a, gros);
    ASSERT_TRUE(*tenu);
    std::thread t30(compte, 30);
    while (!budget.demande()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::thread t20(compte, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    {
        // A larger rank than a waiting one is refused even what is left.
        Contexte d(budget);
        d.commence(40);
        EXPECT_FALSE(budget.reserve(d, 4096));
    }
    tenu.reset();
    a.reset();
    t20.join();
    t30.join();
    EXPECT_EQ(servis, (std::vector<std::uint64_t>{20, 30}));
    EXPECT_EQ(budget.disponible(), budget.total());
}

// A count whose plan does not fit while another count holds the memory,
// and whose other plans cost far more, waits for that memory rather than run
// them: 10^15 + 184 = 2^3 29 37 59 28723 68743, split over two primes in
// 25 ms and 26 MB, over three in seconds.
TEST(Budget, AttendPlutotQuUnPlanBienPlusCher) {
    using namespace std::chrono_literals;
    const ListeFacteurs f{{2, 3}, {29, 1}, {37, 1}, {59, 1}, {28723, 1}, {68743, 1}};
    const auto d = verite::diviseurs_de_facteurs(f);
    const std::int64_t n = verite::produit(f);
    const auto g = Banc::facteurs(f);
    const mpz_class attendu = Banc().compte(d, n, f);
    Budget budget(std::size_t{64} << 20);
    Contexte ctx(budget);
    Moteur moteur(ctx);
    Contexte autre(budget);
    std::optional<Reservation> tenu(std::in_place, autre, std::size_t{60} << 20);
    ASSERT_TRUE(*tenu);
    std::thread rend([&] {
        std::this_thread::sleep_for(300ms);
        tenu.reset();
    });
    const Compte c = moteur.denombre(Entree{d, n, g});
    rend.join();
    EXPECT_EQ(c.methode, Methode::scission);
    EXPECT_EQ(c.valeur, attendu);
}

namespace {

// Resident memory of the process, in bytes, read from the system.
std::size_t resident() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, residentes = 0;
    statm >> pages >> residentes;
    return residentes * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace

// Counts whose tables the threads of a range keep from one N to the next
// (tens of MiB) give their memory back to the system once done: nothing
// stays resident outside the budget after the threads have ended.
TEST(Budget, MemoireRendueAuSysteme) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer keeps freed memory in quarantine";
#endif
    const std::size_t avant = resident();
    Budget budget;
    for (std::int64_t N : {2162160, 1441440, 2162160}) {
        const std::vector<std::int64_t> d = verite::diviseurs_par_paires(N);
        std::thread([&d, &budget, N] {
            Contexte ctx(budget);
            Moteur(ctx).compte(Entree{d, N, {}});
        }).join();
    }
    EXPECT_LT(resident(), avant + (std::size_t{8} << 20));
}
