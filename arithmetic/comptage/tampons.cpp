// SPDX-License-Identifier: GPL-3.0-or-later
// The buffers of the counts: one buffer taken from the memory budget, and
// the reserve of one thread that lends them from one count to the next.
#include <limits>

#include "probleme.hpp"

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
    // budget allows, and for the large buffers.
    const std::size_t plus = k <= kCroissanceMax ? k / 2 : 0;
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

void Tampon::rendre() {
    p.reset();
    if (budget) budget->rend(n * sizeof(u64));
    n = 0;
}

Tampon Reserve::prend(std::size_t k) {
    if (k == 0 || libres_.empty()) return Tampon{};
    std::size_t choix = 0;
    for (std::size_t i = 1; i < libres_.size(); ++i) {
        const std::size_t n = libres_[i].n, c = libres_[choix].n;
        // The smallest that holds k; else the largest.
        if (c >= k ? (n >= k && n < c) : n > c) choix = i;
    }
    Tampon t;
    t.echange(libres_[choix]);
    libres_[choix].echange(libres_.back());
    libres_.pop_back();
    return t;
}

void Reserve::rend(Tampon&& t) {
    if (t.n) {
        libres_.emplace_back();
        libres_.back().echange(t);
    }
}

void Reserve::libere() { libres_.clear(); }

void Reserve::libere_gros() {
    for (std::size_t i = libres_.size(); i-- > 0;)
        if (libres_[i].n > kGardeMax) {
            libres_[i].echange(libres_.back());
            libres_.pop_back();
        }
}
