// SPDX-License-Identifier: GPL-3.0-or-later
// The memory budget of the counts: one object for the whole program, created
// by its entry point and handed down, so that counts running at once in
// several threads stay within the same bound as a single one.
//
// A count takes the bytes of its large tables from the budget (reserve) and
// gives them back (rend). A count whose tables are refused may wait for them
// (attend); in which order waiting counts are served is a policy that the
// range scheduler gives the budget (Ordre): by default nobody waits; in the
// order of their rank, the smallest first, for the counts of a range whose
// blocks are written in increasing order.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

class Contexte;

enum class Ordre {
    aucun,      // a refused count does not wait
    croissant,  // the smallest rank first; a larger rank never takes the bytes a smaller one waits for
};

class Budget {
public:
    // About 900 MiB for all counts together, leaving room below 1 GiB for the
    // prime table, the divisor lists and the streams.
    static constexpr std::size_t kDefaut = std::size_t{900} << 20;

    // total: what the counts may take; voulu: what was asked, when the
    // limits of the process gave less; permis: the most those limits would
    // give, when more than total (what a larger --memoire could reach).
    explicit Budget(std::size_t total = kDefaut, std::size_t voulu = 0, std::size_t permis = 0)
        : total_(total), voulu_(voulu ? voulu : total), permis_(std::max(permis, total)) {}
    Budget(const Budget&) = delete;
    Budget& operator=(const Budget&) = delete;

    std::size_t total() const { return total_; }
    std::size_t voulu() const { return voulu_; }
    std::size_t permis() const { return permis_; }
    std::size_t disponible() const { return total_ - pris_.load(std::memory_order_relaxed); }

    void ordonne(Ordre o);
    Ordre ordre() const { return ordre_.load(); }

    // The count of c, of rank c.rang(), starts or ends: a count waits for as
    // long as one of smaller rank runs.
    void entre(std::uint64_t rang);
    void sort(std::uint64_t rang);

    // Takes octets; false (and nothing taken) when they are not left, or when
    // a count of smaller rank waits for budget. Bytes granted to c by attend
    // are taken first.
    bool reserve(Contexte& c, std::size_t octets);
    // Gives back what reserve took.
    void rend(std::size_t octets) {
        if (octets) pris_.fetch_sub(octets, std::memory_order_relaxed);
    }

    // For a count whose tables were refused: waits until octets are free and
    // no count of smaller rank waits, then grants them to c (its next reserve
    // calls take them) and returns true. Waits for as long as a count of
    // smaller rank runs, and at most 10 s once only larger ranks run, so that
    // a count that never ends elsewhere only delays this one. False at once
    // without an order, for a count without a rank, or when octets exceed
    // the whole budget; granted at once when they are free already (the
    // memory came back between the refusal and this call). Throws
    // Interruption when c is asked to stop.
    bool attend(Contexte& c, std::size_t octets);
    // True when some count waits for budget: a count that ends gives back
    // even the tables it would keep for the next one.
    bool demande() const { return attentes_.load(std::memory_order_relaxed) > 0; }
    // Gives back what attend granted to c and no table took.
    void solde(Contexte& c);

private:
    bool prend(std::size_t octets);
    bool attente_avant(std::uint64_t rang) const;  // with verrou_ held
    bool calcul_avant(std::uint64_t rang) const;   // with verrou_ held

    static constexpr auto kAttenteMax = std::chrono::seconds(10);

    const std::size_t total_;
    const std::size_t voulu_;
    const std::size_t permis_;
    std::atomic<std::size_t> pris_{0};
    std::atomic<Ordre> ordre_{Ordre::aucun};
    mutable std::mutex verrou_;
    std::vector<std::uint64_t> en_cours_;  // ranks of the counts running
    std::vector<std::uint64_t> attente_;   // ranks of the counts waiting
    std::atomic<std::size_t> attentes_{0};
};
