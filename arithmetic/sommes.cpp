// Equal-sum count: the polynomial engine of comptage.cpp. The exhaustive
// searches of masques.cpp stay as the reference method for the tests.
#include "sommes.hpp"

#include "comptage.hpp"

mpz_class sommes_egales(const std::int64_t* div, std::size_t n, std::int64_t cible) {
    return compte_sommes(div, n, cible);
}

bool sommes_longues(const std::int64_t* div, std::size_t n, std::int64_t cible) {
    return comptage_long(div, n, cible);
}
