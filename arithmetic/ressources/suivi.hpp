// SPDX-License-Identifier: GPL-3.0-or-later
// Progress and stop of a count: what the dialogue reads to draw its status
// line and sets to stop a count, and the reporter the counting routines write
// their progress through.
//
// A count announces the work it plans (prevoit), reports the work it has done
// at its safe points, at least every few milliseconds of work, and leaves by
// throwing Interruption from there once a stop was asked.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>

// One per thread, each on cache lines of its own: the writer reads them
// while their threads write.
struct alignas(64) Suivi {
    std::atomic<bool> arret{false};       // set from outside: stop at the next safe point
    std::atomic<std::int64_t> N{0};       // the number whose count is running, 0 between counts
    std::atomic<std::uint64_t> prevu{0};  // work units planned for that count
    std::atomic<std::uint64_t> fait{0};   // work units done so far
    // Set by a count much faster with more memory than the budget gives:
    // the --memoire (MiB) that would make it so, and its estimate then
    // (nanoseconds); 0 otherwise.
    std::atomic<std::uint64_t> conseil_mio{0};
    std::atomic<double> conseil_ns{0};
    // When that memory is beyond the limits of the process: the MiB they
    // leave the counts; 0 otherwise.
    std::atomic<std::uint64_t> conseil_limite_mio{0};
};

// Thrown at a safe point of a count once Suivi::arret is set.
struct Interruption : std::exception {
    const char* what() const noexcept override { return "calcul interrompu"; }
};

// The progress of one count as one thread sees it: the work done is added up
// here and reported in batches, one atomic add per batch rather than per
// step. Without a Suivi, nothing is reported and nothing stops.
class Progres {
public:
    static constexpr std::uint64_t kLot = std::uint64_t{1} << 18;

    explicit Progres(Suivi* s = nullptr) : s_(s) {}
    Progres(const Progres&) = delete;
    Progres& operator=(const Progres&) = delete;

    // Throws Interruption when a stop was asked.
    void point() const {
        if (s_ && s_->arret.load(std::memory_order_relaxed)) throw Interruption();
    }
    // Work planned for the count about to run; resets the work done.
    void prevoit(std::uint64_t unites) {
        fait_ = 0;
        if (s_) {
            s_->fait.store(0, std::memory_order_relaxed);
            s_->prevu.store(unites, std::memory_order_relaxed);
        }
    }
    // Work done, reported once a batch is full.
    void ajoute(std::uint64_t unites) {
        fait_ += unites;
        if (fait_ >= kLot) solde();
    }
    // Work done, reported now (with what the batch holds); a safe point.
    void avance(std::uint64_t unites) {
        fait_ += unites;
        solde();
    }
    void solde() {
        if (s_ && fait_) s_->fait.fetch_add(fait_, std::memory_order_relaxed);
        fait_ = 0;
        point();
    }

private:
    Suivi* s_;
    std::uint64_t fait_ = 0;  // not reported yet
};
