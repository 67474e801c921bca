// Progress, interruption and memory of long counts, shared by every thread
// of the process.
//
// The dialogue attaches a Suivi to each thread that computes blocks. The
// counting engine announces the work it plans for the count it starts
// (suivi_prevoit), reports the work it has done (suivi_avance) at its safe
// points, at least every few milliseconds of work, and leaves by throwing
// Interruption from there once the dialogue has asked it to stop. Every
// table the engine holds is released on the way out.
//
// The engine takes its large tables from one memory budget for the whole
// process (budget_reserve / budget_rend), so that several counts running at
// once stay within the same bound as a single one. A count short of budget
// waits for it in the order of N (budget_attend): the block of a smaller N
// is written first in any case, so a count never waits behind a larger N
// for long, and a larger N never takes the bytes a smaller one waits for.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>

struct Suivi {
    Suivi();  // known to the budget for as long as it lives
    ~Suivi();
    Suivi(const Suivi&) = delete;
    Suivi& operator=(const Suivi&) = delete;

    std::atomic<bool> arret{false};          // set from outside: stop at the next safe point
    std::atomic<std::int64_t> N{0};          // the number whose count is running, 0 between counts
    std::atomic<std::uint64_t> prevu{0};     // work units planned for that count
    std::atomic<std::uint64_t> fait{0};      // work units done so far
};

// Thrown at a safe point of a count once Suivi::arret is set.
struct Interruption : std::exception {
    const char* what() const noexcept override { return "calcul interrompu"; }
};

// The Suivi of the calling thread; none (nullptr) by default. A thread that
// a count starts for its own work attaches the Suivi of the thread that
// started it.
void suivi_attache(Suivi* s);
Suivi* suivi_courant();

// Work planned for the count about to run; resets the work done.
void suivi_prevoit(std::uint64_t unites);
// Work done since the last call; throws Interruption when a stop was asked.
void suivi_avance(std::uint64_t unites);
// Throws Interruption when a stop was asked.
void suivi_point();

// Total bytes that all counts of the process may hold at once.
std::size_t budget_total();
// Takes octets from the budget; false (and nothing taken) when they are not
// left, or when a count of a smaller N waits for budget. Bytes granted to
// the calling thread by budget_attend are taken first.
bool budget_reserve(std::size_t octets);
// Gives back what budget_reserve took.
void budget_rend(std::size_t octets);
// Bytes left in the budget now.
std::size_t budget_disponible();

// For a count whose tables were refused: waits until octets are free and no
// count of a smaller N waits, then grants them to the calling thread (its
// next budget_reserve calls take them) and returns true. Waits for as long
// as a count of a smaller N runs in another thread, and at most 10 s once
// only larger N run, so that a count that never ends elsewhere only delays
// this one. False at once when octets exceed the whole budget, or when they
// are free already and nothing gave way (memory itself ran short). Throws
// Interruption when a stop is asked.
bool budget_attend(std::size_t octets);
// True when some count waits for budget: a count that ends gives back even
// the tables it would keep for the next one.
bool budget_demande();
// Gives back what budget_attend granted and no table took.
void budget_solde();

// Memory of the tables: from 4 MiB on, mapped from the system and unmapped
// when freed, since the allocator would keep a freed table for the thread
// that held it, outside the budget, and a process of several threads would
// hold more than the budget says. obtenir gives nullptr when the system
// refuses.
std::uint64_t* memoire_obtenir(std::size_t cellules);
struct MemoireRendue {
    std::size_t cellules = 0;
    void operator()(std::uint64_t* p) const;
};
using Memoire = std::unique_ptr<std::uint64_t[], MemoireRendue>;

// Bytes taken from the budget for as long as the object lives.
class Reservation {
public:
    Reservation() = default;
    explicit Reservation(std::size_t octets) : octets_(budget_reserve(octets) ? octets : 0) {}
    Reservation(const Reservation&) = delete;
    Reservation& operator=(const Reservation&) = delete;
    ~Reservation() { budget_rend(octets_); }
    // True when the bytes asked for were granted.
    explicit operator bool() const { return octets_ != 0; }

private:
    std::size_t octets_ = 0;
};
