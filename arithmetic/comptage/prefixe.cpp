// SPDX-License-Identifier: GPL-3.0-or-later
// The table over the smallest items: windows, steps, costs, and the queue.
#include "prefixe.hpp"

#include <algorithm>

#include "couts.hpp"

double cellules_item(std::size_t lo, u64 x, const Fenetre& f) {
    const u128 A = std::max<u128>(f.lo, static_cast<u128>(lo) + x);
    return A > f.hi ? 1.0 : static_cast<double>(f.hi - static_cast<std::size_t>(A) + 1);
}

void prepare_prefixes(Atelier& w, const Probleme& pb) {
    const std::size_t m = pb.m;
    w.prefixe.resize(m + 1);
    w.prefixe[0] = 0;
    for (std::size_t i = 0; i < m; ++i) w.prefixe[i + 1] = w.prefixe[i] + w.items[i];
    std::vector<double>& cout = w.cout_prefixe;
    cout.assign(m + 1, 0.0);
    Fenetre f{pb.T, 0, pb.total};
    for (std::size_t i = 0; i < m; ++i) {
        const std::size_t lo = f.lo;
        f.avance(w.items[i]);
        cout[i + 1] = cout[i] + cellules_item(lo, w.items[i], f) * couts::cellule(f.hi + 1) + couts::kEtape;
    }
}

void fenetre_apres(const Atelier& w, const Probleme& pb, std::size_t j, std::size_t& lo, std::size_t& hi) {
    const u128 P = w.prefixe[j];
    const u128 R = pb.total - P;
    hi = static_cast<std::size_t>(P < pb.T ? P : pb.T);
    lo = static_cast<std::size_t>(R >= pb.T ? 0 : pb.T - R);
}

std::size_t j_max(const Atelier& w, const Probleme& pb, std::size_t cellules_max) {
    std::size_t j = pb.m;
    while (j > 0) {
        std::size_t lo, hi;
        fenetre_apres(w, pb, j, lo, hi);
        if (static_cast<u128>(hi) + 1 <= cellules_max) break;
        --j;
    }
    return j;
}

void etapes_croissantes(Atelier& w, const Probleme& pb, std::size_t j) {
    w.etapes.clear();
    Fenetre f{pb.T, 0, pb.total};
    for (std::size_t i = 0; i < j; ++i) {
        f.avance(w.items[i]);
        w.etapes.push_back({w.items[i], 0, f.lo, f.hi});
    }
}

Queue QueueDe::prepare(const Atelier& w, const Probleme& pb, std::size_t j, std::size_t lo, std::size_t hi) {
    const std::size_t t = pb.m - j;
    b.resize(t);
    reste.resize(t + 1);
    for (std::size_t k = 0; k < t; ++k) b[k] = w.items[pb.m - 1 - k];
    const u64 plafond = u64{1} << 63;
    reste[t] = 0;
    for (std::size_t k = t; k-- > 0;) {
        const u64 s = reste[k + 1] + b[k];  // both <= 2^63: no wrap
        reste[k] = s > plafond ? plafond : s;
    }
    return Queue{b.data(), reste.data(), t, pb.T - hi, pb.T - lo};
}

PlanTableQueue::PlanTableQueue(const Demande& d, std::size_t j) : j_(std::min(j, d.pb.m)) {
    fenetre_apres(d.w, d.pb, j_, lo_, hi_);
}
