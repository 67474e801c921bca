// SPDX-License-Identifier: GPL-3.0-or-later
// The per-number computation: divisor list, classification, equal-sum count
// for an abundant N, reset of the per-number tables.
#pragma once

#include <cstdint>
#include <span>

#include "moteur.hpp"
#include "resultat.hpp"
#include "travail.hpp"

// What is asked of an abundant N: nothing beyond its class, the count of
// the sets of divisors whose sum is N, or whether there is one (with one
// such set, or whether a weird N is primitive).
enum class Question { classe, compte, decision, temoin, primitif };

// Lists the proper divisors of N (N >= 1), classifies N and, for an
// abundant N, answers q with m; a count the engine refuses as too long
// (CompteEcarte) comes back as ecarte. The per-number tables of w are reset however this ends: an
// interrupted count (Interruption) or any other failure of the engine is
// thrown again with w ready for the next N.
Resultat evalue(Travail& w, Moteur& m, std::int64_t N, Question q = Question::compte);

// The same for an N factored already (f: its primes ascending, with their
// exponents): the class from the factorization, the divisors listed only
// for an abundant N asked more than its class.
Resultat evalue(Travail& w, Moteur& m, std::int64_t N, std::span<const Facteur> f, Question q);
