// SPDX-License-Identifier: GPL-3.0-or-later
// The computing threads of the program: one work table (prime table seeded)
// for each, and the memory budget their counts share. Built once at start-up;
// each range starts the threads on its work and waits for them.
#pragma once

#include <cstddef>
#include <functional>
#include <thread>
#include <vector>

#include "budget.hpp"
#include "travail.hpp"

class Equipe {
public:
    // fils threads (at least one); ligne_etat: ranges show the status line
    // on standard error.
    Equipe(Budget& budget, unsigned fils, bool ligne_etat = false);
    ~Equipe() { attend(); }
    Equipe(const Equipe&) = delete;
    Equipe& operator=(const Equipe&) = delete;

    Budget& budget() const { return budget_; }
    std::size_t taille() const { return travaux_.size(); }
    bool ligne_etat() const { return ligne_etat_; }

    // Runs travail(k, work table k) on a thread of its own for each k, as
    // many as the system gives threads; returns how many started. Throws
    // std::system_error when not one could start.
    std::size_t lance(const std::function<void(unsigned, Travail&)>& travail);
    // Waits for the end of every thread started.
    void attend();

private:
    Budget& budget_;
    std::vector<Travail> travaux_;
    std::vector<std::thread> fils_;
    bool ligne_etat_;
};
