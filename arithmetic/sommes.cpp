// Equal-sum count: the polynomial engine of comptage.cpp, or the walk over
// the digits of N of structure.cpp when the divisors of N make it cheaper.
// The exhaustive searches of masques.cpp stay as the reference method for
// the tests.
#include "sommes.hpp"

#include <utility>
#include <vector>

#include "comptage.hpp"
#include "structure.hpp"
#include "suivi.hpp"

namespace {

// Below this many cells (divisors times N), the plain table over every sum
// ends in a few milliseconds: the engine counts without any pricing.
constexpr double kPetit = 16e6;

}  // namespace

mpz_class sommes_egales(const std::int64_t* div, std::size_t n, std::int64_t cible) {
    // Short counts go straight to the engine: nothing else is priced.
    const bool petit = cible <= 0 || static_cast<double>(n) * static_cast<double>(cible) <= kPetit;
    if (!petit && comptage_long(div, n, cible)) {
        std::vector<std::pair<std::uint64_t, unsigned>> facteurs;
        PlanStructure plan;
        // The engine is kept when one of its plans is estimated at least
        // twice cheaper than the walk; its planner looks no further than
        // that, so that pricing it costs at most about half the walk.
        if (facteurs_depuis_liste(div, n, cible, facteurs) && planifier_structure(facteurs, n, cible, plan) &&
            cout_comptage(div, n, cible, plan.cout / 2) >= plan.cout / 2) {
            mpz_class r;
            // The engine's buffers kept for the next count go back first
            // when the walk needs their room; refused when other counts
            // keep the memory budget.
            if (plan.fils * plan.octets > budget_disponible()) comptage_libere();
            if (compte_structure(plan, r)) return r;
        }
    }
    return compte_sommes(div, n, cible);
}

bool sommes_longues(const std::int64_t* div, std::size_t n, std::int64_t cible) {
    return comptage_long(div, n, cible);
}
