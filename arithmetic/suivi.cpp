// Progress, interruption and the process-wide memory budget of the counts.
#include "suivi.hpp"

namespace {

thread_local Suivi* courant = nullptr;

// About 900 MiB for all counts together, leaving room below 1 GiB for the
// prime table, the divisor lists and the streams.
constexpr std::size_t kBudget = std::size_t{900} << 20;
std::atomic<std::size_t> pris{0};

}  // namespace

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
    std::size_t v = pris.load(std::memory_order_relaxed);
    do {
        if (octets > kBudget - v) return false;
    } while (!pris.compare_exchange_weak(v, v + octets, std::memory_order_relaxed));
    return true;
}

void budget_rend(std::size_t octets) {
    if (octets) pris.fetch_sub(octets, std::memory_order_relaxed);
}

std::size_t budget_disponible() { return kBudget - pris.load(std::memory_order_relaxed); }
