// SPDX-License-Identifier: GPL-3.0-or-later
// A table over the smallest items and a meet in the middle over the largest
// (the queue): the sorted subset sums of the two halves of the queue, joined
// into a histogram over the window of the table, then one dot product per
// modulus. Estimated cost: the table over items[0..j) times the moduli, the
// histogram, the two half lists and the pairs joined. Wins when the target
// is far too large for a table and the divisors are few: N near 2^63 with
// up to about 60 divisors.
#include <algorithm>
#include <cmath>

#include "couts.hpp"
#include "methode.hpp"
#include "prefixe.hpp"

namespace {

class PlanMilieu : public PlanTableQueue {
public:
    using PlanTableQueue::PlanTableQueue;
    Methode methode() const override { return Methode::milieu; }

    Issue execute(Demande& d, mpz_class& resultat) override;
};

Issue PlanMilieu::execute(Demande& d, mpz_class& resultat) {
    Atelier& w = d.w;
    const Probleme& pb = d.pb;
    const std::size_t W = hi_ - lo_ + 1;
    Emprunt table(w.tampons, hi_ + 1), histo(w.tampons, W), sommes(w.tampons, 3 * kCapaciteMilieu),
        mults(w.tampons, 3 * kCapaciteMilieu);
    u64* F = prepare_table(d, table);
    u64* H = F ? histo.obtenir(d.ctx, W) : nullptr;
    u64* S = H ? sommes.obtenir(d.ctx, 3 * kCapaciteMilieu) : nullptr;
    u64* M = S ? mults.obtenir(d.ctx, 3 * kCapaciteMilieu) : nullptr;
    if (!M) return Issue::memoire;
    Progres pr(d.ctx.suivi());
    const u64 unites = unites_table(w.etapes.data(), w.etapes.size()) + W;
    pr.prevoit(unites * pb.modules);
    const Queue q = queue_.prepare(w, pb, j_, lo_, hi_);
    std::fill(H, H + W, u64{0});
    if (!milieu(q, pb.T, lo_, H, S, M, kCapaciteMilieu, pr)) return Issue::capacite;
    resultat = par_modules(w, pb, w.etapes, F, pr, unites, [&](u64 p, bool&) {
        const u64 r = produit_scalaire(F + lo_, H, W, p);
        pr.avance(W);
        return r;
    });
    return Issue::fait;
}

// Both halves: every merge pass (twice the final list) and the first touch
// of their buffers.
double cout_listes(std::size_t t) {
    const double a = std::exp2(static_cast<double>(t / 2));
    const double b = std::exp2(static_cast<double>(t - t / 2));
    return 4.0 * (a + b) * couts::kListe;
}

}  // namespace

std::unique_ptr<Plan> plan_milieu(Demande& d, std::size_t j) {
    const std::size_t t = d.pb.m - std::min(j, d.pb.m);
    if (t < 2 || t > kQueueMax) return nullptr;  // the halves' multiplicities on 64 bits
    auto plan = std::make_unique<PlanMilieu>(d, j);
    plan->octets = (plan->cellules_table() + plan->fenetre() + 6 * kCapaciteMilieu) * sizeof(u64);
    return plan;
}

std::unique_ptr<Plan> planifie_milieu(Demande& d) {
    if (d.plafond <= couts::kMilieuMin) return nullptr;
    const Probleme& pb = d.pb;
    const Atelier& w = d.w;
    const std::size_t m = pb.m;
    const double K = static_cast<double>(pb.modules);
    const std::size_t jmax = j_max(w, pb, d.cellules_max);
    std::unique_ptr<Plan> best;
    double cout_best = d.plafond;
    for (std::size_t j = jmax; j + kQueueMilieuMax >= m; --j) {
        const std::size_t t = m - j;
        std::size_t lo, hi;
        fenetre_apres(w, pb, j, lo, hi);
        const std::size_t W = hi - lo + 1;
        if (t >= 2 && static_cast<u128>(hi) + 1 + W <= std::min(kCellulesMaxMilieu, d.cellules_max)) {
            // Pairs: the 2^t queue sums spread over [0, their total].
            const double etendue = static_cast<double>(pb.total - w.prefixe[j]) + 1.0;
            const double paires = 4.0 * std::exp2(static_cast<double>(t)) * std::min(1.0, W / etendue) + 1.0;
            const double c = K * w.cout_prefixe[j] + W * (couts::kScalaire + (K - 1) * couts::kScalairePremier) +
                             cout_listes(t) + paires * couts::kPaire;
            if (c < cout_best) {
                best = plan_milieu(d, j);
                best->cout = cout_best = c;
            }
        }
        if (j == 0) break;
    }
    return best;
}
