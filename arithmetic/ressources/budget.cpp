// SPDX-License-Identifier: GPL-3.0-or-later
// The memory budget of the counts and the order in which it serves them.
#include "budget.hpp"

#include <algorithm>
#include <thread>
#include <utility>

#include "contexte.hpp"

void Budget::ordonne(Ordre o) { ordre_.store(o); }

void Budget::entre(std::uint64_t rang) {
    std::lock_guard<std::mutex> l(verrou_);
    en_cours_.push_back(rang);
}

void Budget::sort(std::uint64_t rang) {
    std::lock_guard<std::mutex> l(verrou_);
    const auto i = std::find(en_cours_.begin(), en_cours_.end(), rang);
    if (i != en_cours_.end()) en_cours_.erase(i);
}

bool Budget::attente_avant(std::uint64_t rang) const {
    return rang > 0 && std::any_of(attente_.begin(), attente_.end(), [rang](std::uint64_t m) { return m < rang; });
}

bool Budget::calcul_avant(std::uint64_t rang) const {
    return std::any_of(en_cours_.begin(), en_cours_.end(), [rang](std::uint64_t m) { return m < rang; });
}

bool Budget::prend(std::size_t octets) {
    std::size_t v = pris_.load(std::memory_order_relaxed);
    do {
        if (octets > total_ - v) return false;
    } while (!pris_.compare_exchange_weak(v, v + octets, std::memory_order_relaxed));
    return true;
}

bool Budget::reserve(Contexte& c, std::size_t octets) {
    if (octets <= c.accorde) {
        c.accorde -= octets;
        return true;
    }
    if (attentes_.load(std::memory_order_relaxed) > 0) {
        std::lock_guard<std::mutex> l(verrou_);
        if (attente_avant(c.rang())) {
            c.cede = true;  // a smaller rank goes first
            return false;
        }
    }
    return prend(octets);
}

bool Budget::attend(Contexte& c, std::size_t octets) {
    const std::uint64_t n = c.rang();
    if (ordre_.load() == Ordre::aucun || n == 0 || octets > total_) return false;
    {
        std::lock_guard<std::mutex> l(verrou_);
        const bool refuse = std::exchange(c.cede, false);
        // Free already (the memory came back since the plan failed): granted
        // at once.
        if (!refuse && !attente_avant(n) && prend(octets)) {
            c.accorde += octets;
            return true;
        }
        attente_.push_back(n);
        attentes_.fetch_add(1);
    }
    struct Sortie {
        Budget& b;
        std::uint64_t n;
        ~Sortie() {
            std::lock_guard<std::mutex> l(b.verrou_);
            b.attente_.erase(std::find(b.attente_.begin(), b.attente_.end(), n));
            b.attentes_.fetch_sub(1);
        }
    } sortie{*this, n};
    const Progres arret(c.suivi());
    auto fin = std::chrono::steady_clock::now() + kAttenteMax;
    for (;;) {
        const auto t = std::chrono::steady_clock::now();
        {
            std::lock_guard<std::mutex> l(verrou_);
            if (!attente_avant(n) && prend(octets)) {
                c.accorde += octets;
                return true;
            }
            // Behind a smaller rank the wait costs nothing: its block comes first.
            if (calcul_avant(n)) fin = t + kAttenteMax;
        }
        if (t >= fin) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        arret.point();
    }
}

void Budget::solde(Contexte& c) {
    rend(c.accorde);
    c.accorde = 0;
}
