// The calculation loop: banner, bounds of the range, one report per N, and
// the new-calculation question.
#pragma once

#include <istream>
#include <ostream>

#include "controle.hpp"
#include "travail.hpp"

// How written blocks reach the reader: flushed after every block (for a
// terminal), or held in the stream's buffer (for a pipe or a file) for at
// most about a tenth of a second, so that a user who interrupts a long
// count loses none of the blocks already computed.
struct Vidage {
    bool chaque_bloc = false;
    double delai_max = 0.1;  // seconds a written block may stay in the buffer
};

// One calculation: asks the lower and upper bounds and processes every N of
// the range. Returns false when input ended or output failed.
bool calcul2(Console& c, Travail& w, const Vidage& v);

// The whole dialogue, from the banner to the answer 0 or the end of input.
// The prime table must be seeded. Returns the exit status, 1.
int dialogue(std::istream& in, std::ostream& out, Travail& w, const Vidage& v);

// The same dialogue with each range computed by the threads of e
// (plage.hpp): the same output, byte for byte, with Ctrl-C back to the
// new-calculation question and the status line when e asks for it.
struct Equipe;
int dialogue(std::istream& in, std::ostream& out, Equipe& e, const Vidage& v);
