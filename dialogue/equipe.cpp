// SPDX-License-Identifier: GPL-3.0-or-later
// The computing threads and their work tables.
#include "equipe.hpp"

#include <algorithm>
#include <system_error>

#include "premiers.hpp"

Equipe::Equipe(Budget& budget, unsigned fils, bool ligne_etat) : budget_(budget), ligne_etat_(ligne_etat) {
    Travail w;
    amorce(w);
    travaux_.assign(std::max(1u, fils), w);
}

std::size_t Equipe::lance(const std::function<void(unsigned, Travail&)>& travail) {
    for (unsigned k = 0; k < travaux_.size(); ++k) {
        try {
            fils_.emplace_back(travail, k, std::ref(travaux_[k]));
        } catch (const std::system_error&) {
            break;  // no more threads: the ones started do the work
        }
    }
    if (fils_.empty()) throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    return fils_.size();
}

void Equipe::attend() {
    for (std::thread& t : fils_) t.join();
    fils_.clear();
}
