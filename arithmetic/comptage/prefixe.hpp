// SPDX-License-Identifier: GPL-3.0-or-later
// The table over the smallest items, shared by the methods that split the
// items at j: items[0..j) go to a counting table, items[j..m) (the largest,
// the "queue") are handled apart. The window of useful sums of that table,
// its steps, its estimated cost, and the queue laid out largest first.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include <gmpxx.h>

#include "cellules.hpp"
#include "listes.hpp"
#include "methode.hpp"
#include "modules.hpp"
#include "noyaux.hpp"
#include "probleme.hpp"

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
double cellules_item(std::size_t lo, u64 x, const Fenetre& f);

// w.prefixe and w.cout_prefixe (the estimated cost of the table over
// items[0..j), ascending) for the items of the problem.
void prepare_prefixes(Atelier& w, const Probleme& pb);

// The window of the table over items[0..j) once the queue is left.
void fenetre_apres(const Atelier& w, const Probleme& pb, std::size_t j, std::size_t& lo, std::size_t& hi);

// The largest j whose table fits in cellules_max cells.
std::size_t j_max(const Atelier& w, const Probleme& pb, std::size_t cellules_max);

// The steps of the table over items[0..j), ascending, in w.etapes.
void etapes_croissantes(Atelier& w, const Probleme& pb, std::size_t j);

// The queue items[j..m), largest first, with its suffix sums, for a table
// whose window is [lo, hi]: what the meet in the middle and the walk read.
struct QueueDe {
    std::vector<u64> b, reste;
    Queue prepare(const Atelier& w, const Probleme& pb, std::size_t j, std::size_t lo, std::size_t hi);
};

// A plan over the table of items[0..j) (window [lo, hi]) and the queue
// items[j..m): the shape the meet in the middle and the walk share. Its
// table shrinks with Demande::cellules_max.
class PlanTableQueue : public Plan {
public:
    PlanTableQueue(const Demande& d, std::size_t j);
    bool reductible() const override { return true; }
    std::size_t cellules_table() const { return hi_ + 1; }
    std::size_t fenetre() const { return hi_ - lo_ + 1; }

    Cellules cellules_;  // of its table, and the threads

protected:
    std::size_t j_, lo_, hi_;
    QueueDe queue_;
};
