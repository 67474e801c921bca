// Drives the per-number computation for the tests: the block of one N.
#pragma once

#include <sstream>
#include <string>

#include "calcul.hpp"

inline std::string bloc_de(Travail& w, std::int64_t n) {
    std::ostringstream out;
    w.N = n;
    w.S = n;
    calcul(w, out);
    return out.str();
}
