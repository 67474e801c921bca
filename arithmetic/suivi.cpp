// Progress, interruption and the process-wide memory budget of the counts.
#include "suivi.hpp"

#include <sys/mman.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <new>
#include <thread>
#include <utility>
#include <vector>

namespace {

thread_local Suivi* courant = nullptr;
// Bytes that budget_attend granted to this thread and no table took yet.
thread_local std::size_t accorde = 0;
// Set when a reservation of this thread was refused for a smaller N.
thread_local bool cede = false;

// About 900 MiB for all counts together, leaving room below 1 GiB for the
// prime table, the divisor lists and the streams.
constexpr std::size_t kBudget = std::size_t{900} << 20;
std::atomic<std::size_t> pris{0};

// Tables from this size on are mapped from the system; smaller ones, which
// consecutive counts allocate often, come from the allocator.
constexpr std::size_t kMappee = std::size_t{4} << 20;

// Longest wait for budget once only counts of larger N run.
constexpr auto kAttenteMax = std::chrono::seconds(10);

// The counts that may hold or wait for budget, and the N of those waiting.
std::mutex verrou;
std::vector<const Suivi*> suivis;
std::vector<std::int64_t> attente;
std::atomic<std::size_t> attentes{0};

// The N of the calling thread's count; 0 outside a count.
std::int64_t N_courant() { return courant ? courant->N.load(std::memory_order_relaxed) : 0; }

// With verrou held: whether a count of N smaller than n waits for budget.
bool attente_avant(std::int64_t n) {
    return n > 0 && std::any_of(attente.begin(), attente.end(), [n](std::int64_t m) { return m < n; });
}

// With verrou held: whether another thread runs the count of an N smaller than n.
bool calcul_avant(std::int64_t n) {
    return std::any_of(suivis.begin(), suivis.end(), [n](const Suivi* s) {
        const std::int64_t m = s->N.load(std::memory_order_relaxed);
        return s != courant && m > 0 && m < n;
    });
}

bool prend(std::size_t octets) {
    std::size_t v = pris.load(std::memory_order_relaxed);
    do {
        if (octets > kBudget - v) return false;
    } while (!pris.compare_exchange_weak(v, v + octets, std::memory_order_relaxed));
    return true;
}

}  // namespace

Suivi::Suivi() {
    std::lock_guard<std::mutex> l(verrou);
    suivis.push_back(this);
}

Suivi::~Suivi() {
    std::lock_guard<std::mutex> l(verrou);
    suivis.erase(std::find(suivis.begin(), suivis.end(), this));
}

void suivi_attache(Suivi* s) { courant = s; }
Suivi* suivi_courant() { return courant; }

void suivi_prevoit(std::uint64_t unites) {
    if (Suivi* s = courant) {
        s->fait.store(0, std::memory_order_relaxed);
        s->prevu.store(unites, std::memory_order_relaxed);
    }
}

void suivi_point() {
    if (Suivi* s = courant; s && s->arret.load(std::memory_order_relaxed)) throw Interruption();
}

void suivi_avance(std::uint64_t unites) {
    if (Suivi* s = courant) {
        s->fait.fetch_add(unites, std::memory_order_relaxed);
        if (s->arret.load(std::memory_order_relaxed)) throw Interruption();
    }
}

std::size_t budget_total() { return kBudget; }

bool budget_reserve(std::size_t octets) {
    if (octets <= accorde) {
        accorde -= octets;
        return true;
    }
    if (attentes.load(std::memory_order_relaxed) > 0) {
        std::lock_guard<std::mutex> l(verrou);
        if (attente_avant(N_courant())) {
            cede = true;  // a smaller N goes first
            return false;
        }
    }
    return prend(octets);
}

void budget_rend(std::size_t octets) {
    if (octets) pris.fetch_sub(octets, std::memory_order_relaxed);
}

std::size_t budget_disponible() { return kBudget - pris.load(std::memory_order_relaxed); }

bool budget_attend(std::size_t octets) {
    const std::int64_t n = N_courant();
    // A count outside the order of a range (no N) does not wait.
    if (n <= 0 || octets > kBudget) return false;
    {
        std::lock_guard<std::mutex> l(verrou);
        const bool refuse = std::exchange(cede, false);
        if (!refuse && !attente_avant(n) && budget_disponible() >= octets) return false;
        attente.push_back(n);
        attentes.fetch_add(1);
    }
    struct Sortie {
        std::int64_t n;
        ~Sortie() {
            std::lock_guard<std::mutex> l(verrou);
            attente.erase(std::find(attente.begin(), attente.end(), n));
            attentes.fetch_sub(1);
        }
    } sortie{n};
    auto fin = std::chrono::steady_clock::now() + kAttenteMax;
    for (;;) {
        const auto t = std::chrono::steady_clock::now();
        {
            std::lock_guard<std::mutex> l(verrou);
            if (!attente_avant(n) && prend(octets)) {
                accorde += octets;
                return true;
            }
            // Behind a smaller N the wait costs nothing: its block comes first.
            if (calcul_avant(n)) fin = t + kAttenteMax;
        }
        if (t >= fin) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        suivi_point();
    }
}

bool budget_demande() { return attentes.load(std::memory_order_relaxed) > 0; }

void budget_solde() {
    budget_rend(accorde);
    accorde = 0;
}

std::uint64_t* memoire_obtenir(std::size_t cellules) {
    if (cellules == 0 || cellules > SIZE_MAX / sizeof(std::uint64_t)) return nullptr;
    const std::size_t octets = cellules * sizeof(std::uint64_t);
    if (octets < kMappee) return new (std::nothrow) std::uint64_t[cellules];
    void* p = mmap(nullptr, octets, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    // Large pages where the system has them: a table is touched whole, and
    // one fault per 2 MiB costs far less than one per 4 KiB.
    madvise(p, octets, MADV_HUGEPAGE);
    return static_cast<std::uint64_t*>(p);
}

void MemoireRendue::operator()(std::uint64_t* p) const {
    if (!p) return;
    if (cellules * sizeof(std::uint64_t) < kMappee)
        delete[] p;
    else
        munmap(p, cellules * sizeof(std::uint64_t));
}
