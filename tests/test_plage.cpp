// Ranges computed by several threads against the single-threaded dialogue;
// an interrupted count: it stops, gives its memory back, and leaves the
// workspace of its thread as good as new; the memory of counts in several
// threads: granted in the order of N, and given back to the system.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "boucle.hpp"
#include "comptage.hpp"
#include "plage.hpp"
#include "premiers.hpp"
#include "suivi.hpp"
#include "verites.hpp"

namespace {

// The whole dialogue on entree: single-threaded (fils == 0) or in a pool.
std::string joue(const std::string& entree, std::size_t fils) {
    Travail w;
    amorce(w);
    Equipe e;
    e.travaux.assign(fils, w);
    std::istringstream in(entree);
    std::ostringstream out;
    EXPECT_EQ(fils == 0 ? dialogue(in, out, w, Vidage{}) : dialogue(in, out, e, Vidage{}), 1);
    return out.str();
}

}  // namespace

TEST(Plage, MemeSortieQuelQueSoitLeNombreDeFils) {
    // Short and long ranges, a count of several moduli (720720), numbers at
    // the top of the 64-bit range, refused answers and the end of input.
    for (const std::string entree :
         {"1 5000 1 720718 720722 1 9223372036854775806 9223372036854775807 0", "5 x 3 7 1 70 70 zz 0", "1 600"}) {
        const std::string attendu = joue(entree, 0);
        for (std::size_t fils : {1, 2, 5}) EXPECT_EQ(joue(entree, fils), attendu) << entree << " / " << fils;
    }
}

TEST(Plage, CompteInterrompuPuisRecommence) {
    const std::vector<std::int64_t> d = verite::diviseurs_par_paires(4324320);
    const mpz_class attendu = compte_sommes(d.data(), d.size(), 4324320);
    const std::size_t libre = budget_disponible();  // this thread keeps small buffers
    Suivi s;
    bool interrompu = false;
    mpz_class apres;
    std::thread t([&] {
        suivi_attache(&s);
        try {
            compte_sommes(d.data(), d.size(), 4324320);
        } catch (const Interruption&) {
            interrompu = true;
        }
        // The same thread, the same workspace: the next count is whole.
        s.arret.store(false);
        apres = compte_sommes(d.data(), d.size(), 4324320);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    s.arret.store(true);
    t.join();
    EXPECT_TRUE(interrompu);
    EXPECT_EQ(apres, attendu);
    // The whole count announced its work and reported all of it.
    EXPECT_GT(s.prevu.load(), 0u);
    EXPECT_EQ(s.fait.load(), s.prevu.load());
    // The thread has ended: every byte it took is back in the budget.
    EXPECT_EQ(budget_disponible(), libre);
}

// Counts short of budget at once: the budget goes to them in the order of
// their N, whatever order they asked in, and a larger N never takes the
// bytes a smaller one waits for.
TEST(Plage, BudgetDansLOrdreDesN) {
    const std::size_t tout = budget_disponible();
    const std::size_t gros = tout / 2 + 4096;  // two never fit at once
    std::mutex m;
    std::vector<std::int64_t> servis;
    auto compte = [&](Suivi& s, std::int64_t N) {
        suivi_attache(&s);
        s.N = N;
        if (budget_attend(gros)) {
            const Reservation r(gros);  // taken from what was granted
            {
                std::lock_guard<std::mutex> l(m);
                servis.push_back(N);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        s.N = 0;
        suivi_attache(nullptr);
    };
    // The count of N = 10 holds the budget while 30, then 20, wait for it.
    Suivi a, b, c, d;
    a.N = 10;
    suivi_attache(&a);
    std::optional<Reservation> tenu(std::in_place, gros);
    ASSERT_TRUE(*tenu);
    std::thread t30(compte, std::ref(c), 30);
    while (!budget_demande()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::thread t20(compte, std::ref(b), 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    // A larger N than a waiting one is refused even what is left.
    std::thread([&d] {
        suivi_attache(&d);
        d.N = 40;
        EXPECT_FALSE(budget_reserve(4096));
        suivi_attache(nullptr);
    }).join();
    tenu.reset();
    a.N = 0;
    suivi_attache(nullptr);
    t20.join();
    t30.join();
    EXPECT_EQ(servis, (std::vector<std::int64_t>{20, 30}));
    EXPECT_EQ(budget_disponible(), tout);
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
    for (std::int64_t N : {2162160, 1441440, 2162160}) {
        const std::vector<std::int64_t> d = verite::diviseurs_par_paires(N);
        std::thread([&d, N] { compte_sommes(d.data(), d.size(), N); }).join();
    }
    EXPECT_LT(resident(), avant + (std::size_t{8} << 20));
}
