// SPDX-License-Identifier: GPL-3.0-or-later
// What the processor offers beyond baseline x86-64, read once when the
// program starts and handed to the counts with their context, so that a
// cost estimate and the run it prices make the same choice.
#pragma once

struct Processeur {
    bool ifma = false;  // AVX-512 IFMA with VL: the dot products modulo a prime below 2^50

    bool operator==(const Processeur&) const = default;
};

// The processor this program runs on, read at the first call.
const Processeur& processeur();
