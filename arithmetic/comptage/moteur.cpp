// SPDX-License-Identifier: GPL-3.0-or-later
// The engine: reduction of the target, the chooser over the plans of every
// method, the fallbacks when memory or the memory budget runs short, and the
// buffers kept from one count to the next.
#include "moteur.hpp"

#include <algorithm>
#include <limits>
#include <new>

#include "couts.hpp"
#include "modules.hpp"
#include "prefixe.hpp"

namespace {

// The methods, in the order their planners are asked: each planner is given
// the cost of the best plan so far, so that the cheap ones come first and
// bound the search of the others. Adding a method: a file with its planner,
// and one line here.
const Planificateur kMethodes[] = {
    planifie_table,     // the whole table, ascending (table.cpp)
    planifie_chiffres,  // the walk over the digits of N (chiffres.cpp)
    planifie_scission,  // the split over two primes of N (deux_premiers.cpp)
    planifie_milieu,    // table and meet in the middle (milieu.cpp)
    planifie_listes,    // table and lists of the queue (queue_listes.cpp)
    planifie_zigzag,    // the whole table in zigzag, when it may still win (table.cpp)
    planifie_parcours,  // table and walk in bounded memory, when nothing else fits (parcours.cpp)
};

// Keeps the items <= T, and replaces T by total - T while that is smaller:
// a set sums to T exactly when its complement sums to total - T, and an
// item above T is in no set summing to T.
Probleme reduire(Atelier& w, const Entree& e) {
    Probleme pb;
    const std::int64_t cible = e.cible;
    u128 total = 0;
    for (const std::int64_t x : e.div) {
        if (x == 0) ++pb.zeros;
        if (x > 0) total += static_cast<u64>(x);
    }
    if (cible < 0 || total < static_cast<u64>(cible)) {
        pb.connu = true;
        return pb;
    }
    const u128 c = static_cast<u64>(cible);
    u64 T = static_cast<u64>(std::min(c, total - c));
    std::vector<u64>& a = w.items;
    a.clear();
    for (const std::int64_t x : e.div)
        if (x > 0 && static_cast<u64>(x) <= T) a.push_back(static_cast<u64>(x));
    if (!std::is_sorted(a.begin(), a.end())) std::sort(a.begin(), a.end());
    for (;;) {
        total = 0;
        for (u64 x : a) total += x;
        if (total < T) {
            pb.connu = true;
            return pb;
        }
        if (total - T >= T) break;
        T = static_cast<u64>(total - T);
        a.erase(std::upper_bound(a.begin(), a.end(), T), a.end());
    }
    pb.T = T;
    pb.total = total;
    pb.m = a.size();
    for (std::size_t i = 1; i < a.size(); ++i)
        if (a[i] == a[i - 1]) pb.distincts = false;
    if (T == 0) {
        pb.connu = true;  // only the empty set
        pb.resultat = 1;
    }
    pb.modules = nombre_modules(pb.m);
    return pb;
}

mpz_class compter(Atelier& w, Contexte& ctx, const Entree& e, std::span<const Planificateur> planificateurs,
                  const char** methode) {
    const Probleme pb = reduire(w, e);
    mpz_class r;
    if (pb.connu) {
        r = static_cast<unsigned long>(pb.resultat);
    } else {
        prepare_prefixes(w, pb);
        std::vector<bool> exclus(planificateurs.size(), false);
        Demande d{e, pb, w, ctx};
        bool annonce = false;
        for (;;) {
            std::unique_ptr<Plan> plan;
            std::size_t choisi = 0;
            d.plafond = kInfini;
            for (std::size_t i = 0; i < planificateurs.size(); ++i) {
                if (exclus[i]) continue;
                auto p = planificateurs[i](d);
                if (p && (!plan || p->cout < plan->cout)) {
                    plan = std::move(p);
                    choisi = i;
                    d.plafond = plan->cout;
                }
            }
            if (!plan) throw std::bad_alloc();  // not even the smallest walk
            if (plan->cout > ctx.limite) throw CompteEcarte();
            if (!annonce && plan->cout > couts::kLong && ctx.avant_long) {
                annonce = true;
                ctx.avant_long();
            }
            // The buffers kept for the next count go back first when the
            // plan needs their room.
            if (plan->octets > ctx.budget().disponible()) {
                for (Tampon* t : {&w.table, &w.histo, &w.sommes, &w.mults}) t->rendre();
                if (!plan->listes) {
                    w.ls.rendre();
                    w.lm.rendre();
                }
            }
            if (methode) *methode = plan->nom();
            const Issue is = plan->execute(d, r);
            if (is == Issue::fait) break;
            // Too many sums for the method, or not enough memory: plan again
            // without it, with smaller tables, unless other counts only have
            // to give their part of the budget back (waited for in the order
            // the range gives).
            const std::size_t besoin = plan->octets;
            const bool reductible = plan->reductible;
            plan.reset();
            w.libere();
            ctx.budget().solde(ctx);
            if (is == Issue::memoire && ctx.budget().attend(ctx, besoin)) continue;
            if (is == Issue::capacite || !reductible) {
                exclus[choisi] = true;
            } else {
                if (d.cellules_max <= 2) throw std::bad_alloc();
                d.cellules_max = std::max<std::size_t>(2, d.cellules_max / 4);
            }
        }
    }
    if (pb.zeros) r <<= static_cast<mp_bitcnt_t>(pb.zeros);
    return r;
}

}  // namespace

std::span<const Planificateur> methodes() { return kMethodes; }

Moteur::Moteur(Contexte& c) : ctx_(c), w_(std::make_unique<Atelier>()) {}

Moteur::~Moteur() { libere(); }

void Moteur::libere() { w_->libere(); }

mpz_class Moteur::compte(const Entree& e) { return compte(e, kMethodes, nullptr); }

mpz_class Moteur::compte(const Entree& e, std::span<const Planificateur> planificateurs, const char** methode) {
    Atelier& w = *w_;
    // The large buffers go back to the budget however the count ends,
    // interrupted included; the workspace stays usable for the next one.
    struct Rangement {
        Atelier& w;
        Contexte& ctx;
        ~Rangement() {
            // Everything back when another count waits for budget.
            if (ctx.budget().demande())
                w.libere();
            else
                w.libere_gros();
            ctx.budget().solde(ctx);
        }
    } rangement{w, ctx_};
    try {
        return compter(w, ctx_, e, planificateurs, methode);
    } catch (const std::bad_alloc&) {
        // Memory ran out even for the smallest table, or a small vector
        // could not grow: give every buffer back and count once more.
        w.libere();
        *w_ = Atelier{};
        return compter(w, ctx_, e, planificateurs, methode);
    }
}

// ---------------------------------------------------------------------------
// Buffers.

Tampon& Tampon::operator=(Tampon&& o) noexcept {
    if (this != &o) {
        rendre();
        p = std::move(o.p);
        n = o.n;
        budget = o.budget;
        o.n = 0;
    }
    return *this;
}

u64* Tampon::obtenir(Contexte& c, std::size_t k) {
    if (k <= n) return p.get();
    rendre();
    if (k > std::numeric_limits<std::size_t>::max() / (2 * sizeof(u64))) return nullptr;
    // Half again at least, so that slowly growing requests (consecutive N)
    // do not reallocate each time; just k when that is all memory or the
    // budget allows, and for a buffer given back at the end of the count.
    const std::size_t plus = k <= kGardeMax ? k / 2 : 0;
    for (const std::size_t large : {k + plus, k}) {
        const std::size_t octets = large * sizeof(u64);
        if (!c.budget().reserve(c, octets)) continue;
        u64* q = memoire_obtenir(large);
        if (q) {
            p = Memoire(q, MemoireRendue{large});
            n = large;
            budget = &c.budget();
            return q;
        }
        c.budget().rend(octets);
    }
    return nullptr;
}

void Tampon::rendre_si_gros(std::size_t max) {
    if (n > max) rendre();
}

void Tampon::rendre() {
    p.reset();
    if (budget) budget->rend(n * sizeof(u64));
    n = 0;
}

void Atelier::libere() {
    for (Tampon* t : {&table, &histo, &ls, &lm, &sommes, &mults}) t->rendre();
}

void Atelier::libere_gros() {
    for (Tampon* t : {&table, &histo, &ls, &lm, &sommes, &mults}) t->rendre_si_gros(kGardeMax);
    if (pile_x.capacity() > kGardeMax) {
        std::vector<u64>().swap(pile_x);
        std::vector<std::size_t>().swap(pile_k);
    }
}
