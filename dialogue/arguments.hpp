// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: --help / -h, --version, nothing else.
#pragma once

#include <ostream>

// What the command line asks for. Writes the usage or the version to out,
// or one line to err for an argument it refuses.
enum class Demande { dialogue, termine, refus };
Demande lit_arguments(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// The number of computing threads: SOMMES_DIVISEURS_FILS when it holds a
// whole number from 1 to 256, else the number of processors the machine has.
unsigned nombre_de_fils(const char* reglage);
