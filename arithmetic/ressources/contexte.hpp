// SPDX-License-Identifier: GPL-3.0-or-later
// The context of a count: the memory budget it takes its tables from, where
// its progress goes and whether it must stop, its place in the order of a
// range, what to do before a long count, and the processor it runs on. The
// dialogue keeps one per computing thread and passes it to every count that
// thread runs.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <limits>

#include "budget.hpp"
#include "processeur.hpp"
#include "suivi.hpp"

class Contexte {
public:
    // The processor as read at start, unless a test imposes another.
    explicit Contexte(Budget& budget, Suivi* suivi = nullptr, const Processeur& cpu = ::processeur())
        : budget_(budget), suivi_(suivi), processeur_(cpu) {}
    Contexte(const Contexte&) = delete;
    Contexte& operator=(const Contexte&) = delete;
    ~Contexte() { termine(); }

    Budget& budget() const { return budget_; }
    Suivi* suivi() const { return suivi_; }
    const Processeur& processeur() const { return processeur_; }

    // The count of rank rang (its place in the range's order, from 1) starts;
    // termine() when it ends. Rank 0: a count outside any order. The budget
    // learns of it only once the engine is asked (inscrit): most N of a
    // range need no count and do not take the budget's lock.
    void commence(std::uint64_t rang) {
        termine();
        rang_ = rang;
    }
    void inscrit() {
        if (rang_ && !inscrit_) budget_.entre(rang_);
        inscrit_ = rang_ != 0;
    }
    void termine() {
        if (inscrit_) budget_.sort(rang_);
        rang_ = 0;
        inscrit_ = false;
    }
    std::uint64_t rang() const { return rang_; }

    // The computing threads of the program free to help a count (those with
    // nothing left to do), shared by all; none: a count on its own starts
    // its helper.
    std::atomic<int>* libres = nullptr;

    // Called once the count is planned and estimated long (about 10 ms or
    // more): what is already written should reach its reader first, so that
    // none of it is lost if the user interrupts the count.
    std::function<void()> avant_long;

    // Above this estimate (in nanoseconds), a count is not run: it throws
    // CompteEcarte instead.
    double limite = std::numeric_limits<double>::infinity();

    // Kept by the budget: bytes granted by Budget::attend that no table took
    // yet, and whether a reservation was refused for a smaller rank.
    std::size_t accorde = 0;
    bool cede = false;

private:
    Budget& budget_;
    Suivi* suivi_;
    Processeur processeur_;  // a copy: one flag
    std::uint64_t rang_ = 0;
    bool inscrit_ = false;
};

// Thrown by a count whose plan is estimated above Contexte::limite.
struct CompteEcarte : std::exception {
    const char* what() const noexcept override { return "compte estime trop long"; }
};

// Bytes taken from the budget of a context for as long as the object lives.
class Reservation {
public:
    Reservation(Contexte& c, std::size_t octets)
        : budget_(&c.budget()), octets_(c.budget().reserve(c, octets) ? octets : 0) {}
    Reservation(const Reservation&) = delete;
    Reservation& operator=(const Reservation&) = delete;
    ~Reservation() { budget_->rend(octets_); }
    // True when the bytes asked for were granted.
    explicit operator bool() const { return octets_ != 0; }

private:
    Budget* budget_;
    std::size_t octets_ = 0;
};
