// SPDX-License-Identifier: GPL-3.0-or-later
// Per-number reset of the work tables.
#include "travail.hpp"

namespace {

void vide(Table& t) {
    for (std::size_t j = t.slots() - 1; j > 0; --j) {
        t[j] = 0;
        t.remove_last();
    }
}

}  // namespace

void remise(Travail& w) {
    vide(w.Div);
    vide(w.Prod);
    vide(w.Nexpo);
    vide(w.Nfact);
}
