// Choice of the counting method by estimated cost.
//
// Items are split at j: items[0..j) (the smallest) go to a counting table,
// items[j..m) (the largest, the "queue") are enumerated as sorted lists of
// distinct subset sums with multiplicities, merged one item at a time. A
// queue sum x is useful when the table can still complete it to T, that
// is when x + (items[0] + ... + items[j-1]) >= T, and the list for the
// queue of k items is exactly the list of useful leaves for j = m - k: the
// lists are grown once, largest item first, and each length is priced on
// the way. Other candidates: the whole table in zigzag order (chains of
// doublings as single steps), the meet in the middle when the target is far
// too large for a table, and, when nothing fits, a walk in bounded memory.
#include <algorithm>
#include <cmath>
#include <limits>

#include "comptage_interne.hpp"

namespace comptage_interne {

namespace {

// Estimated nanoseconds.
constexpr double kCelluleCache = 0.20;    // table cell update, table in L2
constexpr double kCelluleGrande = 0.25;   // the same, larger table
constexpr double kCelluleScalaire = 0.8;  // running sums with a stride below 8
constexpr double kEtape = 12.0;           // fixed cost of one table step
constexpr double kListe = 3.0;            // list entry merged
constexpr double kFeuille = 1.0;          // list entry read against the table, per modulus
constexpr double kScalaire = 0.3;         // histogram cell, modulo 2^64
constexpr double kScalairePremier = 1.5;  // the same modulo a prime
constexpr double kPaire = 3.0;            // pair joined by the meet in the middle
constexpr double kZigzagMin = 20e3;       // below, the zigzag steps are not built
constexpr double kInfini = std::numeric_limits<double>::infinity();

double cout_cellule(std::size_t cellules) {
    return cellules <= (std::size_t{1} << 18) ? kCelluleCache : kCelluleGrande;
}

// Window of useful sums as items are added: sums reachable by the items
// taken (at most fait) and still able to reach T with the others (reste).
struct Fenetre {
    u64 T;
    u128 fait;
    u128 reste;
    std::size_t lo = 0, hi = 0;

    void avance(u64 w) {
        fait += w;
        reste -= w;
        hi = static_cast<std::size_t>(fait < T ? fait : T);
        lo = static_cast<std::size_t>(reste >= T ? 0 : T - reste);
    }
};

// Cells written by the 0/1 step of item x from a window starting at lo to
// the window of f.
double cellules_item(std::size_t lo, u64 x, const Fenetre& f) {
    const u128 A = std::max<u128>(f.lo, static_cast<u128>(lo) + x);
    return A > f.hi ? 1.0 : static_cast<double>(f.hi - static_cast<std::size_t>(A) + 1);
}

// The whole table: doubling chains e, 2e, 4e, ... of the (distinct) items,
// sorted by weight and laid in zigzag (every other one going up, the rest
// coming back down) so that both the sums taken and the sums left grow
// slowly from the two ends; the wide windows are left to the few heavy
// chains in the middle. Each chain is one bounded step or its single
// items, whichever is cheaper. Returns the cost; fills etapes if not null.
double plan_zigzag(const Atelier& w, const Probleme& pb, std::vector<Etape>* etapes) {
    const std::vector<u64>& a = w.items;
    const std::size_t m = pb.m;
    struct Unite {
        u64 e;
        unsigned k;  // terms e, 2e, ..., 2^(k-1) e
        u64 poids;   // their sum
    };
    thread_local std::vector<Unite> unites, ordre;
    unites.clear();
    if (pb.distincts) {
        auto present = [&a](u64 v) { return std::binary_search(a.begin(), a.end(), v); };
        for (std::size_t i = 0; i < m; ++i) {
            const u64 e = a[i];
            if ((e & 1) == 0 && present(e / 2)) continue;  // inside a chain
            unsigned k = 1;
            u64 x = e;
            while (present(x * 2)) {  // x <= T < 2^63
                x *= 2;
                ++k;
            }
            unites.push_back({e, k, 2 * x - e});
        }
    } else {
        for (std::size_t i = 0; i < m; ++i) unites.push_back({a[i], 1, a[i]});
    }
    std::stable_sort(unites.begin(), unites.end(),
                     [](const Unite& x, const Unite& y) { return x.poids < y.poids; });
    ordre.clear();
    for (std::size_t i = 0; i < unites.size(); i += 2) ordre.push_back(unites[i]);
    for (std::size_t i = unites.size(); i-- > 0;)
        if (i % 2 == 1) ordre.push_back(unites[i]);

    if (etapes) etapes->clear();
    const double ccell = cout_cellule(static_cast<std::size_t>(pb.T) + 1);
    Fenetre f{pb.T, 0, pb.total};
    double cout = 0;
    for (const Unite& u : ordre) {
        Fenetre g = f;
        double c_items = 0;
        u64 x = u.e;
        for (unsigned t = 0; t < u.k; ++t, x *= 2) {
            const std::size_t lo = g.lo;
            g.avance(x);
            c_items += cellules_item(lo, x, g) * ccell + kEtape;
        }
        double c_chaine = kInfini;
        if (u.k >= 3) {
            // Running sums from the old lo up, differences over the new window.
            Fenetre h = f;
            h.avance(u.poids);
            const double montee = static_cast<double>(h.hi - f.lo + 1);
            const double descente = static_cast<double>(h.hi - h.lo + 1);
            c_chaine = montee * (u.e < 8 ? kCelluleScalaire : ccell) + descente * ccell + 2 * kEtape;
        }
        if (c_chaine < c_items) {
            f.avance(u.poids);
            cout += c_chaine;
            if (etapes) etapes->push_back({u.e, u.e << u.k, f.lo, f.hi});
        } else {
            x = u.e;
            for (unsigned t = 0; t < u.k; ++t, x *= 2) {
                f.avance(x);
                if (etapes) etapes->push_back({x, 0, f.lo, f.hi});
            }
            cout += c_items;
        }
    }
    return cout;
}

// cout[j]: estimated cost of the table over items[0..j), ascending.
void couts_croissants(Atelier& w, const Probleme& pb) {
    const std::size_t m = pb.m;
    std::vector<double>& cout = w.cout_prefixe;
    cout.assign(m + 1, 0.0);
    Fenetre f{pb.T, 0, pb.total};
    for (std::size_t i = 0; i < m; ++i) {
        const std::size_t lo = f.lo;
        f.avance(w.items[i]);
        cout[i + 1] = cout[i] + cellules_item(lo, w.items[i], f) * cout_cellule(f.hi + 1) + kEtape;
    }
}

void prefixes(Atelier& w, const Probleme& pb) {
    w.prefixe.resize(pb.m + 1);
    w.prefixe[0] = 0;
    for (std::size_t i = 0; i < pb.m; ++i) w.prefixe[i + 1] = w.prefixe[i] + w.items[i];
}

// Both halves: every merge pass (twice the final list) and the first
// touch of their buffers.
double cout_milieu_listes(std::size_t t) {
    const double a = std::exp2(static_cast<double>(t / 2));
    const double b = std::exp2(static_cast<double>(t - t / 2));
    return 4.0 * (a + b) * kListe;
}

// Grows the lists of queue sums, largest item first, pricing each length
// k (j = m - k, for j <= jmax) and keeping the best list in slot 2 of
// w.ls / w.lm. Stops when the lists alone cost more than the best plan, when
// the cost rises past its minimum, when a list would pass kCapaciteListe,
// or when lists that keep doubling cannot reach a usable split. With
// impose, builds exactly the list for items[0..jmax) in the table.
void croissance_liste(Atelier& w, const Probleme& pb, double K, std::size_t jmax, bool impose,
                      Plan& best) {
    const std::size_t m = pb.m;
    const std::size_t cap = kCapaciteListe;
    // Start with the buffers at hand (most lists stay short); they grow on
    // demand. Slot i of a buffer starts at i * capa.
    std::size_t capa = std::min(cap, std::max<std::size_t>(1024, std::min(w.ls.n, w.lm.n) / 3));
    w.capa_liste = capa;
    u64* S = w.ls.obtenir(3 * capa);
    u64* M = S ? w.lm.obtenir(3 * capa) : nullptr;
    if (!S || !M) return;
    int cur = 0, nxt = 1;
    S[0] = 0;
    M[0] = 1;
    std::size_t n = 1;
    double liste = 0;  // cost of the lists so far
    double cout_prec = kInfini;
    int hausses = 0;
    double taille[4] = {1, 1, 1, 1};  // the last four list sizes
    const u64 T = pb.T;
    const std::size_t kmax = impose ? m - jmax : m;
    for (std::size_t k = 1; k <= kmax; ++k) {
        const std::size_t j = m - k;
        const u128 P = w.prefixe[j];  // what the table can add
        const u64 seuil = P >= T ? 0 : static_cast<u64>(T - P);
        std::size_t n2;
        for (;;) {
            n2 = etend_liste(S + cur * capa, M + cur * capa, n, w.items[j], seuil, T, S + nxt * capa,
                             M + nxt * capa, capa, 0);
            if (n2 <= capa || capa == cap) break;
            // Grow the three slots, keeping the current list and the best.
            const std::size_t capa2 = std::min(cap, capa * 4);
            Tampon s2, m2;
            u64* S2 = s2.obtenir(3 * capa2);
            u64* M2 = S2 ? m2.obtenir(3 * capa2) : nullptr;
            if (!S2 || !M2) return;
            std::copy(S + cur * capa, S + cur * capa + n, S2 + cur * capa2);
            std::copy(M + cur * capa, M + cur * capa + n, M2 + cur * capa2);
            if (best.methode == Methode::Liste) {
                std::copy(S + 2 * capa, S + 2 * capa + best.feuilles, S2 + 2 * capa2);
                std::copy(M + 2 * capa, M + 2 * capa + best.feuilles, M2 + 2 * capa2);
            }
            w.ls = std::move(s2);
            w.lm = std::move(m2);
            S = S2;
            M = M2;
            capa = capa2;
            w.capa_liste = capa;
        }
        if (n2 > capa) break;
        suivi_point();
        std::swap(cur, nxt);
        n = n2;
        liste += static_cast<double>(n) * kListe;
        if (liste >= best.cout && !impose) break;
        taille[k % 4] = static_cast<double>(n);
        if (m - k > jmax && n >= (std::size_t{1} << 16) && !impose) {
            // No usable split yet (the table over items[0..m-k) does not fit).
            // Lists that still nearly double at each item once they are long
            // (sums with few coincidences; the lists of divisor sets double
            // at first, then level off) are projected up to the first usable
            // split.
            const double rho = std::pow(static_cast<double>(n) / std::max(1.0, taille[(k + 1) % 4]), 1.0 / 3);
            const double reste = static_cast<double>(m - jmax - k);
            if (rho > 1.8) {
                const double fin = static_cast<double>(n) * std::pow(rho, reste);
                const double somme = static_cast<double>(n) * rho * (std::pow(rho, reste) - 1) / (rho - 1);
                if (fin > static_cast<double>(cap) || liste + somme * kListe >= best.cout) break;
            }
        }
        if (n == 0) {
            // No useful queue sum: the count is 0, whatever the table says.
            best = Plan{Methode::Liste, j, 0, 0, 0, liste};
            break;
        }
        if (j > jmax) continue;  // the table over items[0..j) does not fit
        // Past kQueueMax items, each prime modulus builds the lists again.
        const double c = K * w.cout_prefixe[j] + liste * (k > kQueueMax ? K : 1.0) +
                         K * kFeuille * static_cast<double>(n);
        // Past the balance of table and lists the cost only rises.
        hausses = c > cout_prec ? hausses + 1 : 0;
        cout_prec = c;
        if (hausses >= 2 && c > best.cout && !impose) break;
        if (c < best.cout || impose) {
            std::size_t lo, hi;
            fenetre_apres(w, pb, j, lo, hi);
            best = Plan{Methode::Liste, j, lo, hi, n, c};
            std::copy(S + cur * capa, S + cur * capa + n, S + 2 * capa);
            std::copy(M + cur * capa, M + cur * capa + n, M + 2 * capa);
        }
    }
    w.capa_liste = capa;
}

}  // namespace

void fenetre_apres(const Atelier& w, const Probleme& pb, std::size_t j, std::size_t& lo,
                   std::size_t& hi) {
    const u128 P = w.prefixe[j];
    const u128 R = pb.total - P;
    hi = static_cast<std::size_t>(P < pb.T ? P : pb.T);
    lo = static_cast<std::size_t>(R >= pb.T ? 0 : pb.T - R);
}

std::size_t liste_queue(Atelier& w, const Probleme& pb, std::size_t j, u64 p, const u64*& xs,
                        const u64*& ms) {
    // Same merges and bounds as croissance_liste, so the same sums.
    const std::size_t capa = w.capa_liste;
    u64* S = w.ls.p.get();
    u64* M = w.lm.p.get();
    int cur = 0, nxt = 1;
    S[0] = 0;
    M[0] = 1;
    std::size_t n = 1;
    for (std::size_t i = pb.m; i-- > j && n > 0;) {
        const u128 P = w.prefixe[i];
        const u64 seuil = P >= pb.T ? 0 : static_cast<u64>(pb.T - P);
        n = etend_liste(S + cur * capa, M + cur * capa, n, w.items[i], seuil, pb.T, S + nxt * capa,
                        M + nxt * capa, capa, p);
        std::swap(cur, nxt);
        suivi_point();
    }
    xs = S + cur * capa;
    ms = M + cur * capa;
    return n;
}

void etapes_croissantes(Atelier& w, const Probleme& pb, std::size_t j) {
    w.etapes.clear();
    Fenetre f{pb.T, 0, pb.total};
    for (std::size_t i = 0; i < j; ++i) {
        f.avance(w.items[i]);
        w.etapes.push_back({w.items[i], 0, f.lo, f.hi});
    }
}

Plan planifier(Atelier& w, const Probleme& pb, std::size_t modules, const Options& opt) {
    const std::size_t m = pb.m;
    const double K = static_cast<double>(modules);
    Plan best;
    best.cout = opt.plafond;
    prefixes(w, pb);
    couts_croissants(w, pb);
    const std::vector<double>& cc = w.cout_prefixe;

    if (opt.impose) {
        std::size_t lo, hi;
        const std::size_t j = std::min(opt.j, m);
        switch (opt.methode) {
            case Methode::Table:
                best = Plan{Methode::Table, m, pb.T, pb.T, 0, K * plan_zigzag(w, pb, &w.etapes_zz)};
                break;
            case Methode::Liste:
                if (j == m) {
                    best = Plan{Methode::Liste, m, pb.T, pb.T, 0, K * cc[m]};
                } else {
                    croissance_liste(w, pb, K, j, true, best);
                    if (best.methode != Methode::Liste) {  // list too long
                        fenetre_apres(w, pb, j, lo, hi);
                        best = Plan{Methode::Parcours, j, lo, hi, 0, kInfini};
                    }
                }
                break;
            case Methode::Milieu:
            case Methode::Parcours:
                fenetre_apres(w, pb, j, lo, hi);
                best = Plan{opt.methode, j, lo, hi, 0, kInfini};
                if (opt.methode == Methode::Milieu && (m - j < 2 || m - j > kQueueMax))
                    best.methode = Methode::Parcours;
                break;
        }
        return best;
    }

    // Largest j whose table fits.
    std::size_t jmax = m;
    while (jmax > 0) {
        std::size_t lo, hi;
        fenetre_apres(w, pb, jmax, lo, hi);
        if (static_cast<u128>(hi) + 1 <= opt.cellules_max) break;
        --jmax;
    }

    // The whole table: ascending, or in zigzag order when that is worth
    // building.
    if (jmax == m && K * cc[m] < best.cout) {
        best = Plan{Methode::Liste, m, pb.T, pb.T, 0, K * cc[m]};
        if (K * cc[m] > kZigzagMin) {
            const double c = K * plan_zigzag(w, pb, &w.etapes_zz);
            if (c < best.cout) best = Plan{Methode::Table, m, pb.T, pb.T, 0, c};
        }
    }

    // Meet in the middle over a queue too long for lists; priced first so
    // that it bounds the growth of the lists.
    if (opt.milieu && best.cout > 1e6) {
        for (std::size_t j = jmax; j + kQueueMilieuMax >= m; --j) {
            const std::size_t t = m - j;
            std::size_t lo, hi;
            fenetre_apres(w, pb, j, lo, hi);
            const std::size_t W = hi - lo + 1;
            if (t >= 2 && static_cast<u128>(hi) + 1 + W <= std::min(kCellulesMaxMilieu, opt.cellules_max)) {
                // Pairs: the 2^t queue sums spread over [0, their total].
                const double etendue = static_cast<double>(pb.total - w.prefixe[j]) + 1.0;
                const double paires =
                    4.0 * std::exp2(static_cast<double>(t)) * std::min(1.0, W / etendue) + 1.0;
                const double c = K * cc[j] + W * (kScalaire + (K - 1) * kScalairePremier) +
                                 cout_milieu_listes(t) + paires * kPaire;
                if (c < best.cout) best = Plan{Methode::Milieu, j, lo, hi, 0, c};
            }
            if (j == 0) break;
        }
    }

    // Table and queue lists.
    croissance_liste(w, pb, K, jmax, false, best);

    // Nothing that fits ends in reasonable time: walk the queue behind the
    // largest table that fits. It may never end; its memory is bounded.
    if (best.cout == kInfini) {
        std::size_t lo, hi;
        fenetre_apres(w, pb, jmax, lo, hi);
        best = Plan{Methode::Parcours, jmax, lo, hi, 0, kInfini};
    }
    return best;
}

bool estimation_depasse(Atelier& w, const Probleme& pb, double seuil) {
    const std::size_t m = pb.m;
    const double K = static_cast<double>(nombre_modules(m));
    if (m <= 40 && std::exp2(static_cast<double>(m)) * kListe <= seuil) return false;
    if (m <= kQueueMilieuMax && cout_milieu_listes(m) <= seuil) return false;
    if (static_cast<u128>(pb.T) + 1 > kCellulesMax) return true;
    // Every item over the whole table: an upper bound of the plain table.
    if (K * static_cast<double>(m) * (static_cast<double>(pb.T) * kCelluleGrande + kEtape) <= seuil)
        return false;
    prefixes(w, pb);
    couts_croissants(w, pb);
    if (K * w.cout_prefixe[m] <= seuil) return false;
    return K * plan_zigzag(w, pb, nullptr) > seuil;
}

}  // namespace comptage_interne
