// SPDX-License-Identifier: GPL-3.0-or-later
// Per-number reset of the work tables.
#include "travail.hpp"

void remise(Travail& w) {
    w.Div.clear();
    w.Nexpo.clear();
    w.Nfact.clear();
}
