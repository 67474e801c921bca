// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation loop: banner, bounds of the range, the blocks of the range
// computed by the threads of an Equipe (equipe.hpp, plage.hpp), and the new-calculation
// question.
#pragma once

#include <istream>
#include <ostream>

#include "vidage.hpp"

class Equipe;

// The whole dialogue, from the banner to the answer 0 or the end of input,
// each range computed by the threads of e: Ctrl-C back to the
// new-calculation question and the status line when e asks for it. Returns
// the exit status, 1. A count that the limits of the process slow down is
// said on erreurs.
int dialogue(std::istream& in, std::ostream& out, Equipe& e, const Vidage& v, std::ostream* erreurs = nullptr);
