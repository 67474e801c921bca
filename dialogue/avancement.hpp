// SPDX-License-Identifier: GPL-3.0-or-later
// What the status line of a range shows: the count of the N waited for when
// its work is known, else the progress of the range, else the time spent on
// that N; with, beside a count's own progress, the N of the range written,
// the rate, and the time left at that rate.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "suivi.hpp"

// A duration of the steady clock in seconds.
inline double secondes(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

class Etat {
public:
    using horloge = std::chrono::steady_clock;

    // The range has total N from nmin on, and begins now.
    Etat(std::int64_t nmin, std::uint64_t total) : nmin_(nmin), total_(total), debut_(horloge::now()) {}

    // The text of the line. ecrits: blocks written, the last one at depuis
    // (or the range began); s: the progress of the thread computing the N
    // waited for, when it has started.
    std::string texte(std::uint64_t ecrits, horloge::time_point depuis, const Suivi* s);

private:
    std::string plage(std::uint64_t ecrits, horloge::time_point t) const;

    std::int64_t nmin_;
    std::uint64_t total_;
    horloge::time_point debut_;
    std::int64_t N_ = 0;
    std::uint64_t prevu_ = 0;
    horloge::time_point t0_{};
    double f0_ = 0;
};
