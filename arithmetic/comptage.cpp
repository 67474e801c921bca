// Equal-sum count engine: reduction of the target, the chosen plan run once
// per modulus, exact rebuild, and the fallbacks when memory or the memory
// budget of the process runs short.
#include "comptage.hpp"

#include <algorithm>
#include <limits>
#include <new>

#include "comptage_interne.hpp"

using namespace comptage_interne;

namespace {

// Buffers above this many cells are released at the end of each call.
constexpr std::size_t kGardeMax = std::size_t{1} << 22;  // 32 MiB
constexpr double kLong = 10e6;                           // 10 ms, in ns

Atelier& atelier() {
    thread_local Atelier a;
    return a;
}

void liberer_gros(Atelier& w) {
    w.table.rendre_si_gros(kGardeMax);
    w.histo.rendre_si_gros(kGardeMax);
    w.ls.rendre_si_gros(kGardeMax);
    w.lm.rendre_si_gros(kGardeMax);
    w.sommes.rendre_si_gros(kGardeMax);
    w.mults.rendre_si_gros(kGardeMax);
    if (w.pile_x.capacity() > kGardeMax) {
        std::vector<u64>().swap(w.pile_x);
        std::vector<std::size_t>().swap(w.pile_k);
    }
}

void liberer_tampons(Atelier& w) {
    for (Tampon* t : {&w.table, &w.histo, &w.ls, &w.lm, &w.sommes, &w.mults}) *t = Tampon{};
}

// Keeps the items <= T, and replaces T by total - T while that is smaller:
// a set sums to T exactly when its complement sums to total - T, and an
// item above T is in no set summing to T.
Probleme preparer(Atelier& w, const std::int64_t* div, std::size_t n, std::int64_t cible) {
    Probleme pb;
    for (std::size_t i = 0; i < n; ++i)
        if (div[i] == 0) ++pb.zeros;
    u128 total = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (div[i] > 0) total += static_cast<u64>(div[i]);
    if (cible < 0 || total < static_cast<u64>(cible)) {
        pb.connu = true;
        return pb;
    }
    const u128 c = static_cast<u64>(cible);
    u64 T = static_cast<u64>(std::min(c, total - c));
    std::vector<u64>& a = w.items;
    a.clear();
    for (std::size_t i = 0; i < n; ++i)
        if (div[i] > 0 && static_cast<u64>(div[i]) <= T) a.push_back(static_cast<u64>(div[i]));
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
    return pb;
}

// The queue items[j..m), largest first, and the walk scratch.
Queue preparer_queue(Atelier& w, const Probleme& pb, const Plan& plan) {
    const std::size_t t = pb.m - plan.j;
    w.queue.resize(t);
    w.reste.resize(t + 1);
    for (std::size_t k = 0; k < t; ++k) w.queue[k] = w.items[pb.m - 1 - k];
    const u64 plafond = u64{1} << 63;
    w.reste[t] = 0;
    for (std::size_t k = t; k-- > 0;) {
        const u64 s = w.reste[k + 1] + w.queue[k];  // both <= 2^63: no wrap
        w.reste[k] = s > plafond ? plafond : s;
    }
    w.pile_x.resize(t + 1);
    w.pile_k.resize(t + 1);
    return Queue{w.queue.data(), w.reste.data(), t, pb.T - plan.hi, pb.T - plan.lo};
}

enum class Issue { Fait, Memoire, Milieu };

Issue executer(Atelier& w, const Probleme& pb, const Plan& plan, std::size_t modules,
               mpz_class& resultat) {
    const u64 T = pb.T;
    const bool queue = plan.j < pb.m;
    if (plan.methode == Methode::Liste && queue && plan.feuilles == 0) {
        resultat = 0;  // no queue sum can be completed
        return Issue::Fait;
    }
    if (plan.methode == Methode::Table)
        w.etapes.swap(w.etapes_zz);
    else
        etapes_croissantes(w, pb, plan.j);
    u64* F = w.table.obtenir(plan.hi + 1);  // windows only grow upwards
    if (!F) return Issue::Memoire;

    // Planned work, once per modulus: the table cells, then the queue
    // entries read against the table, or the walk (which reports itself).
    u64 unites_queue = 0;
    if (queue && plan.methode == Methode::Liste) unites_queue = plan.feuilles;
    if (plan.methode == Methode::Milieu) unites_queue = plan.hi - plan.lo + 1;
    const u64 unites_parcours = queue && plan.methode == Methode::Parcours ? kUnitesParcours : 0;
    suivi_prevoit((unites_table(w.etapes.data(), w.etapes.size()) + unites_queue + unites_parcours) * modules);

    const std::size_t W = plan.hi - plan.lo + 1;
    u64* H = nullptr;
    Queue q{};
    if (plan.methode == Methode::Milieu || plan.methode == Methode::Parcours) q = preparer_queue(w, pb, plan);
    if (plan.methode == Methode::Milieu) {
        H = w.histo.obtenir(W);
        u64* S = H ? w.sommes.obtenir(3 * kCapaciteMilieu) : nullptr;
        u64* M = S ? w.mults.obtenir(3 * kCapaciteMilieu) : nullptr;
        if (!M) return Issue::Memoire;
        std::fill(H, H + W, u64{0});
        if (!milieu(q, T, plan.lo, H, S, M, kCapaciteMilieu)) return Issue::Milieu;
    }
    const u64* xs = w.ls.p.get() + 2 * w.capa_liste;
    const u64* ms = w.lm.p.get() + 2 * w.capa_liste;

    w.residus.assign(modules, 0);
    for (std::size_t i = 0; i < modules; ++i) {
        const u64 p = i == 0 ? 0 : module_premier(i - 1);
        execute_table(w.etapes.data(), w.etapes.size(), F, p);
        u64 r = 0;
        if (!queue) {
            r = F[T];
        } else if (plan.methode == Methode::Liste) {
            if (p == 0 || pb.m - plan.j <= kQueueMax) {
                // Multiplicities exact, or right modulo 2^64.
                r = somme_feuilles(F, T, xs, ms, plan.feuilles, p);
            } else {
                const u64 *xp, *mp;
                const std::size_t nl = liste_queue(w, pb, plan.j, p, xp, mp);
                r = somme_feuilles(F, T, xp, mp, nl, p);
            }
        } else if (plan.methode == Methode::Milieu) {
            r = produit_scalaire(F + plan.lo, H, W, p);
        } else {
            parcours(q, PileParcours{w.pile_x.data(), w.pile_k.data()},
                     [&r, F, T, p](u64 x) { r = ajoute_mod(r, F[T - x], p); });
        }
        w.residus[i] = r;
        suivi_avance(unites_queue);
    }
    resultat = modules == 1 ? mpz_class(static_cast<unsigned long>(w.residus[0]))
                            : reconstruire(w.residus.data(), modules);
    return Issue::Fait;
}

// Bytes of the tables of a plan.
std::size_t octets_plan(const Atelier& w, const Plan& plan) {
    std::size_t cellules = plan.hi + 1;
    if (plan.methode == Methode::Milieu) cellules += plan.hi - plan.lo + 1 + 6 * kCapaciteMilieu;
    if (plan.methode == Methode::Liste) cellules += 6 * w.capa_liste;
    return cellules * sizeof(u64);
}

mpz_class compter(Atelier& w, const std::int64_t* div, std::size_t n, std::int64_t cible,
                  Options opt, Plan* dernier) {
    const Probleme pb = preparer(w, div, n, cible);
    mpz_class r;
    if (pb.connu) {
        r = static_cast<unsigned long>(pb.resultat);
    } else {
        const std::size_t modules = nombre_modules(pb.m);
        for (;;) {
            const Plan plan = planifier(w, pb, modules, opt);
            if (dernier) *dernier = plan;
            const Issue is = executer(w, pb, plan, modules, r);
            if (is == Issue::Fait) break;
            // Too many sums for the meet in the middle, or not enough
            // memory: plan again with less, unless other counts only have
            // to give their part of the budget back (waited for in the
            // order of N).
            const std::size_t besoin = octets_plan(w, plan);
            liberer_tampons(w);
            budget_solde();
            if (is == Issue::Memoire && budget_attend(besoin)) continue;
            opt.impose = false;
            if (is == Issue::Milieu) {
                opt.milieu = false;
            } else {
                if (opt.cellules_max <= 2) throw std::bad_alloc();
                opt.cellules_max = std::max<std::size_t>(2, opt.cellules_max / 4);
            }
        }
    }
    if (pb.zeros) r <<= static_cast<mp_bitcnt_t>(pb.zeros);
    return r;
}

}  // namespace

namespace comptage_interne {

Tampon& Tampon::operator=(Tampon&& o) noexcept {
    if (this != &o) {
        rendre();
        p = std::move(o.p);
        n = o.n;
        o.n = 0;
    }
    return *this;
}

u64* Tampon::obtenir(std::size_t k) {
    if (k <= n) return p.get();
    rendre();
    if (k > std::numeric_limits<std::size_t>::max() / (2 * sizeof(u64))) return nullptr;
    // Half again at least, so that slowly growing requests (consecutive N)
    // do not reallocate each time; just k when that is all memory or the
    // budget allows, and for a buffer given back at the end of the count.
    const std::size_t plus = k <= kGardeMax ? k / 2 : 0;
    for (const std::size_t large : {k + plus, k}) {
        const std::size_t octets = large * sizeof(u64);
        if (!budget_reserve(octets)) continue;
        u64* q = memoire_obtenir(large);
        if (q) {
            p = Memoire(q, MemoireRendue{large});
            n = large;
            return q;
        }
        budget_rend(octets);
    }
    return nullptr;
}

void Tampon::rendre_si_gros(std::size_t max) {
    if (n > max) rendre();
}

void Tampon::rendre() {
    p.reset();
    budget_rend(n * sizeof(u64));
    n = 0;
}

}  // namespace comptage_interne

mpz_class comptage_interne::compte_sommes_options(const std::int64_t* div, std::size_t n,
                                                 std::int64_t cible, const Options& opt, Plan* plan) {
    Atelier& w = atelier();
    // The large buffers go back to the budget however the count ends,
    // interrupted included; the workspace stays usable for the next one.
    struct Rangement {
        Atelier& w;
        ~Rangement() {
            // Everything back when another count waits for budget.
            if (budget_demande())
                liberer_tampons(w);
            else
                liberer_gros(w);
            budget_solde();
        }
    } rangement{w};
    mpz_class r;
    try {
        r = compter(w, div, n, cible, opt, plan);
    } catch (const std::bad_alloc&) {
        // Memory ran out even for the smallest table, or a small vector
        // could not grow: give every buffer back and count once more.
        liberer_tampons(w);
        w = Atelier{};
        r = compter(w, div, n, cible, Options{}, plan);
    }
    return r;
}

mpz_class compte_sommes(const std::int64_t* div, std::size_t n, std::int64_t cible) {
    return compte_sommes_options(div, n, cible, Options{}, nullptr);
}

double cout_comptage(const std::int64_t* div, std::size_t n, std::int64_t cible, double plafond) {
    Atelier& w = atelier();
    const Probleme pb = preparer(w, div, n, cible);
    if (pb.connu) return 0;
    Options opt;
    opt.plafond = plafond;
    const double c = planifier(w, pb, nombre_modules(pb.m), opt).cout;
    liberer_gros(w);
    return c;
}

void comptage_libere() { liberer_tampons(atelier()); }

bool comptage_long(const std::int64_t* div, std::size_t n, std::int64_t cible) {
    Atelier& w = atelier();
    const Probleme pb = preparer(w, div, n, cible);
    if (pb.connu) return false;
    return estimation_depasse(w, pb, kLong);
}
