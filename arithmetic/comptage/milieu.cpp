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

#include "cellules.hpp"
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
    Emprunt histo(w.tampons, W), sommes(w.tampons, 3 * kCapaciteMilieu), mults(w.tampons, 3 * kCapaciteMilieu);
    u64* H = histo.obtenir(d.ctx, W);
    u64* S = H ? sommes.obtenir(d.ctx, 3 * kCapaciteMilieu) : nullptr;
    u64* M = S ? mults.obtenir(d.ctx, 3 * kCapaciteMilieu) : nullptr;
    if (!M) return Issue::memoire;
    etapes_croissantes(w, pb, j_);
    Progres pr(d.ctx.suivi());
    const u64 unites = unites_table(w.etapes.data(), w.etapes.size()) + W;
    const Queue q = queue_.prepare(w, pb, j_, lo_, hi_);
    std::fill(H, H + W, u64{0});
    if (!milieu(q, pb.T, lo_, H, S, M, kCapaciteMilieu, pr)) return Issue::capacite;
    return par_modules(
        d, cellules_, w.etapes, hi_ + 1, pr, unites,
        [&](const auto* F, u64 p, bool&, Progres& suivi) {
            const u64 r = produit_scalaire(F + lo_, H, W, p);
            suivi.avance(W);
            return r;
        },
        resultat);
}

// Both halves: every merge pass (twice the final list) and the first touch
// of their buffers.
double cout_listes(std::size_t t) {
    const double a = std::exp2(static_cast<double>(t / 2));
    const double b = std::exp2(static_cast<double>(t - t / 2));
    return 4.0 * (a + b) * couts::kListe;
}

// Its cost at j (infinite when the table and histogram do not fit), its
// cells and threads into c.
double cout_milieu(const Demande& d, std::size_t j, Cellules& c, bool etroit = false, unsigned fils = 0) {
    const Probleme& pb = d.pb;
    const Atelier& w = d.w;
    const std::size_t t = pb.m - j;
    std::size_t lo, hi;
    fenetre_apres(w, pb, j, lo, hi);
    const std::size_t W = hi - lo + 1;
    const std::size_t limite = std::min(kCellulesMaxMilieu, d.cellules_max);
    if (W >= limite) return kInfini;
    // Pairs: the 2^t queue sums spread over [0, their total].
    const double etendue = static_cast<double>(pb.total - w.prefixe[j]) + 1.0;
    const double paires = 4.0 * std::exp2(static_cast<double>(t)) * std::min(1.0, W / etendue) + 1.0;
    BesoinTable b;
    b.n = hi + 1;
    b.limite = limite - W;  // the histogram beside the table
    b.table = w.cout_prefixe[j];
    b.fin = static_cast<double>(W) * couts::kScalairePremier;
    b.autres = (W + 6 * kCapaciteMilieu) * sizeof(u64);
    if (etroit) b.etroites = true;
    b.fils = fils;
    const double tables = choisit_cellules(d, b, c);
    // Modulo 2^64 the histogram is read at its own price.
    const double premier = c.etroites ? 0.0 : static_cast<double>(W) * (couts::kScalaire - couts::kScalairePremier);
    return tables + premier + cout_listes(t) + paires * couts::kPaire;
}

}  // namespace

std::unique_ptr<Plan> plan_milieu(Demande& d, std::size_t j, bool etroit, unsigned fils) {
    const std::size_t t = d.pb.m - std::min(j, d.pb.m);
    if (t < 2 || t > kQueueMax) return nullptr;  // the halves' multiplicities on 64 bits
    auto plan = std::make_unique<PlanMilieu>(d, j);
    plan->cout = cout_milieu(d, j, plan->cellules_, etroit, fils);
    plan->octets =
        plan->cellules_.octets(plan->cellules_table()) + (plan->fenetre() + 6 * kCapaciteMilieu) * sizeof(u64);
    return plan;
}

std::unique_ptr<Plan> planifie_milieu(Demande& d) {
    if (d.plafond <= couts::kMilieuMin) return nullptr;
    const Probleme& pb = d.pb;
    const std::size_t m = pb.m;
    // On 32-bit cells the table holds twice the sums.
    const std::size_t jmax = j_max(d.w, pb, 2 * std::min(kCellulesMaxMilieu, d.cellules_max));
    std::unique_ptr<Plan> best;
    double cout_best = d.plafond;
    for (std::size_t j = jmax; j + kQueueMilieuMax >= m; --j) {
        Cellules c;
        if (m - j >= 2) {
            const double cout = cout_milieu(d, j, c);
            if (cout < cout_best) {
                best = plan_milieu(d, j);
                cout_best = cout;
            }
        }
        if (j == 0) break;
    }
    return best;
}
