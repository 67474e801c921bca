// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: --help / -h, --version, nothing else.
#pragma once

#include <ostream>

// What the command line asks for. Writes the usage or the version to out,
// or one line to err for an argument it refuses.
enum class Commande { dialogue, termine, refus };
Commande lit_arguments(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// The number of computing threads: SOMMES_DIVISEURS_FILS when it holds a
// whole number from 1 to 256, else the number of processors the process may
// run on (its affinity mask).
unsigned nombre_de_fils(const char* reglage);
