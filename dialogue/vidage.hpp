// SPDX-License-Identifier: GPL-3.0-or-later
// How written blocks reach the reader: flushed after every block (for a
// terminal), or held in the stream's buffer (for a pipe or a file) for at
// most about a tenth of a second, so that a user who interrupts a long count
// loses none of the blocks already computed.
#pragma once

struct Vidage {
    bool chaque_bloc = false;
    double delai_max = 0.1;  // seconds a written block may stay in the buffer
};
