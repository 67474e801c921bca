// Equal-sum count: the mask search while masks fit in 64 bits, a walk
// without masks beyond.
#include "sommes.hpp"

#include "masques.hpp"

mpz_class sommes_egales(const std::int64_t* div, std::size_t n, std::int64_t cible) {
    if (n <= 61) {
        const std::int64_t ns = recherche_masques(div, n, cible);
        return mpz_class(static_cast<long>(ns));
    }
    return recherche_profondeur(div, n, cible);
}
