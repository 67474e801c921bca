// SPDX-License-Identifier: GPL-3.0-or-later
// The processor's features, from the compiler's run-time checks.
#include "processeur.hpp"

namespace {

Processeur lit_processeur() {
    Processeur p;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    __builtin_cpu_init();
    p.ifma = __builtin_cpu_supports("avx512ifma") && __builtin_cpu_supports("avx512vl");
#endif
    return p;
}

}  // namespace

const Processeur& processeur() {
    static const Processeur p = lit_processeur();
    return p;
}
