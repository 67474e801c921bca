// SPDX-License-Identifier: GPL-3.0-or-later
// The per-number computation: divisor list, classification, equal-sum count
// for an abundant N, reset of the per-number tables.
#pragma once

#include <cstdint>

#include "moteur.hpp"
#include "resultat.hpp"
#include "travail.hpp"

// Lists the proper divisors of N (N >= 1), classifies N and, when compter
// is set and N is abundant, counts with m the sets of divisors whose sum is
// N; a count the engine refuses as too long (CompteEcarte) comes back as
// ecarte. The per-number tables of w are reset however this ends: an
// interrupted count (Interruption) or any other failure of the engine is
// thrown again with w ready for the next N.
Resultat evalue(Travail& w, Moteur& m, std::int64_t N, bool compter = true);
