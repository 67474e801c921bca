// SPDX-License-Identifier: GPL-3.0-or-later
// The engine: reduction of the target, the chooser over the plans of every
// method, the fallbacks when memory or the memory budget runs short, and the
// buffers kept from one count to the next.
#include "moteur.hpp"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <new>
#include <thread>

#include "couts.hpp"
#include "modules.hpp"
#include "prefixe.hpp"

namespace {

// The methods, in the order their planners are asked: each planner is given
// the cost of the best plan so far, so that the cheap ones come first and
// bound the search of the others. Adding a method: a file with its planner,
// and one line here.
struct Methodique {
    Methode methode;
    Planificateur planifie;
};
const Methodique kMethodes[] = {
    {Methode::table, planifie_table},        // the whole table, ascending
    {Methode::chiffres, planifie_chiffres},  // the walk over the digits of N
    {Methode::scission, planifie_scission},  // the split over two primes of N
    {Methode::trois, planifie_trois},        // the split over three primes of N
    {Methode::milieu, planifie_milieu},      // table and meet in the middle
    {Methode::listes, planifie_listes},      // table and lists of the queue
    {Methode::zigzag, planifie_zigzag},      // the whole table in zigzag, when it may still win
    {Methode::parcours, planifie_parcours},  // table and walk in bounded memory, when nothing else fits
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

// The plan of the method imposed, for its choice.
std::unique_ptr<Plan> plan_impose(Demande& d, const Imposee& i) {
    const std::size_t j = d.pb.m - std::min(i.queue, d.pb.m);
    switch (i.methode) {
        case Methode::aucune:
            return nullptr;
        case Methode::table:
        case Methode::zigzag:
            return plan_table(d, i.methode == Methode::zigzag, i.etroit, i.fils);
        case Methode::listes:
            return plan_listes(d, j, i.etroit, i.fils);
        case Methode::milieu:
            return plan_milieu(d, j, i.etroit, i.fils);
        case Methode::parcours:
            return plan_parcours(d, j, i.etroit);
        case Methode::chiffres:
            return plan_chiffres(d, i.p, i.etroit, i.par_valeur);
        case Methode::scission:
            return plan_scission(d, i.p, i.q, i.transformees);
        case Methode::trois:
            return plan_trois(d, i.p, i.q, i.r, i.fils);
    }
    return nullptr;
}

// The cheapest plan of the methods not excluded, priced for d.machine.
std::unique_ptr<Plan> choisit(Demande& d, const bool* exclus = nullptr) {
    std::unique_ptr<Plan> plan;
    d.plafond = kInfini;
    for (std::size_t i = 0; i < std::size(kMethodes); ++i) {
        if (exclus && exclus[i]) continue;
        auto p = kMethodes[i].planifie(d);
        if (p && (!plan || p->cout < plan->cout)) {
            plan = std::move(p);
            d.plafond = plan->cout;
        }
    }
    return plan;
}

// The machine a count runs on: the budget, the processor; and the one a
// limit is decided on: the memory asked, a processor without any of its
// extensions.
Machine ici(const Contexte& ctx) { return Machine{ctx.budget().total(), ctx.processeur()}; }
Machine reference(const Contexte& ctx) { return Machine{ctx.budget().voulu(), Processeur{}}; }

// For the estimates, which run nothing: the best plan for e priced for m
// handed to suite with its request, or nothing to suite when the reduction
// settles the count; the large buffers go back after.
template <class Suite>
auto sans_compter(Atelier& w, Contexte& ctx, const Entree& e, const Machine& m, Suite&& suite) {
    const Probleme pb = reduire(w, e);
    if (pb.connu) return suite(nullptr, nullptr);
    prepare_prefixes(w, pb);
    Demande d{e, pb, w, ctx, m};
    const std::unique_ptr<Plan> plan = choisit(d);
    auto r = suite(&d, plan.get());
    w.libere_gros();
    return r;
}

// The advice for a plan of cost cout chosen on d: the smallest memory, in
// whole hundreds of MiB up to what the process's limits allow, whose best
// plan is kConseilGain times cheaper; found by doublings of d's memory, then
// halvings of the last step.
std::optional<Moteur::Conseil> conseil_pour(const Demande& d, double cout) {
    // Within the limits of the process; beyond them, up to what was asked,
    // when they leave the budget (as read at start) hardly more.
    constexpr std::size_t kAuDela = std::size_t{64} << 20;
    const bool limites = d.ctx.budget().permis() < d.machine.memoire + kAuDela;
    const std::size_t permis = limites ? d.ctx.budget().voulu() : d.ctx.budget().permis();
    if (cout < couts::kConseilMin || permis <= d.machine.memoire) return std::nullopt;
    // The estimate of the best plan in that memory, when kConseilGain times
    // cheaper.
    const auto essaie = [&](std::size_t memoire) -> std::optional<double> {
        Demande a{d.entree, d.pb, d.w, d.ctx, Machine{memoire, d.machine.processeur}};
        const std::unique_ptr<Plan> p = choisit(a);
        if (p && p->cout < kInfini && p->cout * couts::kConseilGain <= cout) return p->cout;
        return std::nullopt;
    };
    constexpr std::size_t kPas = std::size_t{100} << 20;
    std::size_t bas = d.machine.memoire, haut = bas;
    std::optional<double> c;
    while (!c && haut < permis) {
        bas = haut;
        // From a budget of nothing, the first step is kPas.
        haut = haut > permis / 2 ? permis : std::max(2 * haut, kPas);
        c = essaie(haut);
    }
    if (!c) return std::nullopt;
    while (haut - bas > kPas) {
        const std::size_t milieu = bas + (haut - bas) / 2;
        if (const auto m = essaie(milieu)) {
            haut = milieu;
            c = m;
        } else {
            bas = milieu;
        }
    }
    // Rounded up to hundreds of MiB, within the limits.
    const std::size_t arrondi = std::min(permis, (haut + kPas - 1) / kPas * kPas);
    if (arrondi != haut)
        if (const auto m = essaie(arrondi)) {
            haut = arrondi;
            c = m;
        }
    return Moteur::Conseil{haut, *c, limites};
}

// Said to the count's progress (which the context has), for the status line
// and the batch mode.
void conseille(Contexte& ctx, const std::optional<Moteur::Conseil>& c) {
    if (!c) return;
    ctx.suivi()->conseil_ns.store(c->cout);
    ctx.suivi()->conseil_limite_mio.store(c->limites ? ctx.budget().total() >> 20 : 0);
    ctx.suivi()->conseil_mio.store((c->octets + (std::size_t{1} << 20) - 1) >> 20);
}

// Plans short of memory waited for, at most, in one count.
constexpr unsigned kEchecsMax = 64;

Compte compter(Atelier& w, Contexte& ctx, const Entree& e, const Imposee* impose) {
    const Probleme pb = reduire(w, e);
    Compte c;
    if (pb.connu) {
        c.valeur = static_cast<unsigned long>(pb.resultat);
    } else {
        prepare_prefixes(w, pb);
        bool exclus[std::size(kMethodes)] = {};
        Demande d{e, pb, w, ctx, ici(ctx)};
        std::unique_ptr<Plan> plan;
        if (!impose && ctx.limite < kInfini) {
            // Left out or not by the estimate on the reference machine, the
            // same on every machine; then planned on this one, which may
            // take longer, never give another count.
            Demande r{e, pb, w, ctx, reference(ctx)};
            plan = choisit(r, exclus);
            if (!plan || plan->cout > ctx.limite) throw CompteEcarte();
            if (!(r.machine == d.machine)) plan.reset();
        }
        bool annonce = false, conseil_vu = false;
        unsigned echecs = 0;  // of plans short of memory
        for (;;) {
            if (!plan) plan = impose ? plan_impose(d, *impose) : choisit(d, exclus);
            if (!plan) throw AucunPlan();
            if (!conseil_vu && !impose && ctx.suivi()) conseille(ctx, conseil_pour(d, plan->cout));
            conseil_vu = true;
            if (!annonce && plan->cout > couts::kLong && ctx.avant_long) {
                annonce = true;
                ctx.avant_long();
            }
            // The buffers kept for the next count go back first when the
            // plan needs their room.
            if (plan->octets > ctx.budget().disponible()) w.libere();
            c.methode = plan->methode();
            const Issue is = plan->execute(d, c.valeur);
            if (is == Issue::fait) break;
            // Too many sums for the method, or not enough memory: plan again
            // without it, or with smaller tables when that makes it smaller,
            // unless other counts only have to give their part of the budget
            // back (waited for in the order the range gives).
            const std::size_t besoin = plan->octets;
            const double cout_voulu = plan->cout;
            const bool reductible = plan->reductible();
            const Methode m = plan->methode();
            plan.reset();
            w.libere();
            ctx.budget().solde(ctx);
            // A plan that fails again and again with its memory granted
            // (the system refuses it) gives way.
            if (is == Issue::memoire && ++echecs <= kEchecsMax && ctx.budget().attend(ctx, besoin)) {
                // The bytes granted wait for the tables of the plan: the
                // planners' scratch does not take them.
                const std::size_t accorde = std::exchange(ctx.accorde, std::size_t{0});
                plan = impose ? plan_impose(d, *impose) : choisit(d, exclus);
                ctx.accorde += accorde;
                continue;
            }
            if (impose) throw AucunPlan();
            const std::size_t cellules_max = d.cellules_max;
            bool exclu[std::size(kMethodes)];
            std::copy(std::begin(exclus), std::end(exclus), std::begin(exclu));
            if (is == Issue::capacite || !reductible) {
                for (std::size_t i = 0; i < std::size(kMethodes); ++i)
                    if (kMethodes[i].methode == m) exclus[i] = true;
            } else {
                if (d.cellules_max <= 2) throw AucunPlan();
                d.cellules_max = std::max<std::size_t>(2, d.cellules_max / 4);
            }
            // Short of memory only while other counts hold it, with nothing
            // else but the walk in bounded memory, which may never end, or
            // plans that cost far more than the one that did not fit: this
            // count waits for them instead, however long they take.
            if (is == Issue::memoire && echecs <= kEchecsMax && besoin <= ctx.budget().total()) {
                plan = choisit(d, exclus);
                if (!plan || plan->cout == kInfini || plan->cout > couts::kAttente * cout_voulu) {
                    plan.reset();
                    w.libere();  // what the planners borrowed
                    d.cellules_max = cellules_max;
                    std::copy(std::begin(exclu), std::end(exclu), std::begin(exclus));
                    if (ctx.rang() != 0 && ctx.budget().ordre() != Ordre::aucun) {
                        // In the order of the range, so that the counts
                        // after this one give way.
                        while (!ctx.budget().attend(ctx, besoin)) {
                        }
                        const std::size_t accorde = std::exchange(ctx.accorde, std::size_t{0});
                        plan = choisit(d, exclus);
                        ctx.accorde += accorde;
                    } else {
                        const Progres arret(ctx.suivi());
                        while (ctx.budget().disponible() < besoin) {
                            std::this_thread::sleep_for(std::chrono::milliseconds(10));
                            arret.point();
                        }
                    }
                }
            }
        }
    }
    if (pb.zeros) c.valeur <<= static_cast<mp_bitcnt_t>(pb.zeros);
    return c;
}

}  // namespace

const char* nom(Methode m) {
    // In the order of the enum.
    static constexpr const char* kNoms[] = {
        "aucune",
        "table",
        "parcours des chiffres",
        "scission sur deux premiers",
        "scission sur trois premiers",
        "table et rencontre au milieu",
        "table et listes",
        "table en zigzag",
        "table et parcours",
    };
    return kNoms[static_cast<std::size_t>(m)];
}

Moteur::Moteur(Contexte& c) : ctx_(c), w_(std::make_unique<Atelier>()) {}

Moteur::~Moteur() { libere(); }

void Moteur::libere() { w_->libere(); }

mpz_class Moteur::compte(const Entree& e) { return denombre(e, nullptr).valeur; }

Compte Moteur::denombre(const Entree& e) { return denombre(e, nullptr); }

Compte Moteur::denombre(const Entree& e, const Imposee& i) { return denombre(e, &i); }

double Moteur::estime(const Entree& e) {
    return sans_compter(*w_, ctx_, e, reference(ctx_), [](const Demande* d, const Plan* plan) {
        if (!d) return 0.0;
        if (!plan) return kInfini;  // not even the smallest walk
        return plan->cout;
    });
}

std::optional<Moteur::Conseil> Moteur::conseil(const Entree& e) {
    return sans_compter(*w_, ctx_, e, ici(ctx_), [](const Demande* d, const Plan* plan) -> std::optional<Conseil> {
        if (!d || !plan) return std::nullopt;
        return conseil_pour(*d, plan->cout);
    });
}

Compte Moteur::denombre(const Entree& e, const Imposee* impose) {
    ctx_.inscrit();
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
        return compter(w, ctx_, e, impose);
    } catch (const std::bad_alloc&) {
        // A small vector could not grow: give every buffer back and count
        // once more.
    } catch (const AucunPlan&) {
        // Not even the smallest plan fitted beside the buffers kept: the
        // same, once.
    }
    w.libere();
    *w_ = Atelier{};
    return compter(w, ctx_, e, impose);
}
