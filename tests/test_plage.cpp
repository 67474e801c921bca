// SPDX-License-Identifier: GPL-3.0-or-later
// Ranges computed by several threads against one thread; what a range
// reports it did: every N, counts left out, output gone; an interrupted
// count: it stops, gives its memory back, and leaves the
// workspace of its thread as good as new; the memory of counts in several
// threads: granted in the order of N, and given back to the system.
#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "arguments.hpp"
#include "boucle.hpp"
#include "plage.hpp"
#include "suivi.hpp"
#include "verites.hpp"

namespace {

// The whole dialogue on entree, with a pool of fils threads.
std::string joue(const std::string& entree, std::size_t fils) {
    Budget budget;
    Equipe e(budget, static_cast<unsigned>(fils));
    std::istringstream in(entree);
    std::ostringstream out;
    EXPECT_EQ(dialogue(in, out, e, Vidage{}), 1);
    EXPECT_EQ(budget.disponible(), budget.total());  // every table given back
    return out.str();
}

}  // namespace

TEST(Plage, MemeSortieQuelQueSoitLeNombreDeFils) {
    // Short and long ranges, a count of several moduli (720720), numbers at
    // the top of the 64-bit range, refused answers and the end of input.
    for (const std::string entree :
         {"1 5000 1 720718 720722 1 9223372036854775806 9223372036854775807 0", "5 x 3 7 1 70 70 zz 0", "1 600"}) {
        const std::string attendu = joue(entree, 1);
        for (std::size_t fils : {2, 5}) EXPECT_EQ(joue(entree, fils), attendu) << entree << " / " << fils;
    }
}

namespace {

struct Ferme : std::streambuf {  // every write fails
    int_type overflow(int_type) override { return traits_type::eof(); }
};

}  // namespace

TEST(Plage, BilanDeLaPlage) {
    // Every N done, in the same lines whatever the number of threads; the
    // counts left out under a limit no plan meets: 12 and 18 between 10 and
    // 20, each a "?" line (20, whose count needs no plan, is counted); an output that fails ends a range of hours
    // at its first block. The pool runs one range after another.
    Budget budget;
    Equipe deux(budget, 2), un(budget, 1);
    Rendu r;
    r.colonnes = true;
    std::ostringstream a, b;
    const Bilan ba = calcul_plage(a, 1, 3000, deux, r, Vidage{});
    const Bilan bb = calcul_plage(b, 1, 3000, un, r, Vidage{});
    EXPECT_EQ(a.str(), b.str());
    for (const Bilan& x : {ba, bb}) {
        EXPECT_EQ(x.ecrits, 3000u);
        EXPECT_FALSE(x.ecartes);
        EXPECT_FALSE(x.arrete);
        EXPECT_TRUE(x.sortie_ok);
    }

    r.limite = 0;
    std::ostringstream c;
    const Bilan bc = calcul_plage(c, 10, 20, deux, r, Vidage{});
    EXPECT_EQ(bc.ecrits, 11u);
    EXPECT_TRUE(bc.ecartes);
    EXPECT_TRUE(bc.sortie_ok);
    EXPECT_NE(c.str().find("\n12\tabondant\t5\t16\t?\n"), std::string::npos);
    EXPECT_NE(c.str().find("\n18\tabondant\t5\t21\t?\n"), std::string::npos);
    EXPECT_NE(c.str().find("\n20\tabondant\t5\t22\t1\n"), std::string::npos);

    Ferme f;
    std::ostream ferme(&f);
    const Bilan bf = calcul_plage(ferme, 1, 4000000000000, deux, Rendu{}, Vidage{});
    EXPECT_FALSE(bf.sortie_ok);
    EXPECT_EQ(bf.ecrits, 1u);
    EXPECT_FALSE(bf.arrete);
    EXPECT_EQ(budget.disponible(), budget.total());
}

TEST(Plage, CompteInterrompuPuisRecommence) {
    const std::vector<std::int64_t> d = verite::diviseurs_par_paires(4324320);
    const mpz_class attendu = Banc().compte(d, 4324320);
    Budget budget;
    Suivi s;
    bool interrompu = false;
    mpz_class apres;
    std::thread t([&] {
        Contexte ctx(budget, &s);
        Moteur moteur(ctx);
        const Entree e{d, 4324320, {}};
        try {
            moteur.compte(e);
        } catch (const Interruption&) {
            interrompu = true;
        }
        // The same engine, the same workspace: the next count is whole.
        s.arret.store(false);
        apres = moteur.compte(e);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    s.arret.store(true);
    t.join();
    EXPECT_TRUE(interrompu);
    EXPECT_EQ(apres, attendu);
    // The whole count announced its work and reported all of it.
    EXPECT_GT(s.prevu.load(), 0u);
    EXPECT_EQ(s.fait.load(), s.prevu.load());
    // The engine has gone: every byte it took is back in the budget.
    EXPECT_EQ(budget.disponible(), budget.total());
}

// Counts short of budget at once: in the order of the range, the budget goes
// to them by rank, whatever order they asked in, and a larger rank never
// takes the bytes a smaller one waits for; without an order nobody waits.
TEST(Plage, BudgetDansLOrdreDesRangs) {
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
TEST(Plage, MemoireRendueAuSysteme) {
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

TEST(Plage, FilsSelonLesProcesseursPermis) {
    // As taskset -c 0 would: one processor allowed, one computing thread;
    // the setting still wins.
    cpu_set_t avant, un;
    ASSERT_EQ(sched_getaffinity(0, sizeof avant, &avant), 0);
    int premier = 0;
    while (!CPU_ISSET(premier, &avant)) ++premier;
    CPU_ZERO(&un);
    CPU_SET(premier, &un);
    ASSERT_EQ(sched_setaffinity(0, sizeof un, &un), 0);
    const unsigned seul = nombre_de_fils(nullptr);
    const unsigned regle = nombre_de_fils("3");
    sched_setaffinity(0, sizeof avant, &avant);
    EXPECT_EQ(seul, 1u);
    EXPECT_EQ(regle, 3u);
    EXPECT_EQ(nombre_de_fils(nullptr), static_cast<unsigned>(CPU_COUNT(&avant)));
}
