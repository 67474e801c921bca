// SPDX-License-Identifier: GPL-3.0-or-later
// The status of a range: the progress of the count waited for, with its rate
// measured since its plan was last announced, or the range's own.
#include "avancement.hpp"

#include <algorithm>

#include "etat.hpp"

std::string Etat::texte(std::uint64_t ecrits, horloge::time_point depuis, const Suivi* s) {
    const auto t = horloge::now();
    const std::int64_t N = nmin_ + static_cast<std::int64_t>(ecrits);
    if (N != N_) {
        N_ = N;
        prevu_ = 0;
    }
    if (s && s->N.load() == N && s->prevu.load() > 0) {
        const std::uint64_t prevu = s->prevu.load();
        const double fait = static_cast<double>(std::min(s->fait.load(), prevu));
        if (prevu != prevu_) {  // a new plan: the rate starts again
            prevu_ = prevu;
            t0_ = t;
            f0_ = fait;
        }
        const double fraction = fait / static_cast<double>(prevu);
        const double dt = secondes(t - t0_);
        double reste = -1;
        if (fait > f0_ && dt > 0.5) reste = (static_cast<double>(prevu) - fait) * dt / (fait - f0_);
        // The advice last: a narrow terminal cuts it first.
        std::string texte = texte_etat(N, fraction, reste, false) + plage(ecrits, t);
        if (const std::uint64_t mio = s->conseil_mio.load())
            texte += " ; " + texte_conseil(mio, s->conseil_ns.load() * 1e-9, s->conseil_limite_mio.load());
        return texte;
    }
    if (total_ > 1 && ecrits > 0) {
        const double fraction = static_cast<double>(ecrits) / static_cast<double>(total_);
        const double reste = secondes(t - debut_) * static_cast<double>(total_ - ecrits) / static_cast<double>(ecrits);
        return texte_etat(N, fraction, reste, true);
    }
    return texte_etat_duree(N, secondes(t - depuis)) + plage(ecrits, t);
}

std::string Etat::plage(std::uint64_t ecrits, horloge::time_point t) const {
    if (total_ <= 1 || ecrits == 0) return std::string();
    const double dt = secondes(t - debut_);
    const double debit = static_cast<double>(ecrits) / (dt > 0 ? dt : 1);
    return " ; " + texte_plage(ecrits, total_, debit);
}
