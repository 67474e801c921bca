// SPDX-License-Identifier: GPL-3.0-or-later
// Entry point: the command line, then the work tables of the computing
// threads, the prime table, Ctrl-C, and the dialogue on standard input and
// output.
#include <csignal>
#include <cstdlib>
#include <exception>
#include <iostream>

#include <unistd.h>

#include "arguments.hpp"
#include "boucle.hpp"
#include "interruption.hpp"
#include "plage.hpp"
#include "premiers.hpp"
#include "travail.hpp"

int main(int argc, char** argv) {
    switch (lit_arguments(argc, argv, std::cout, std::cerr)) {
        case Demande::termine:
            std::cout.flush();
            return std::cout ? 0 : 1;
        case Demande::refus:
            return 2;
        case Demande::dialogue:
            break;
    }
    // A reader that goes away shows up as a failed write, which ends the
    // dialogue like the end of input, instead of killing the process.
    std::signal(SIGPIPE, SIG_IGN);
    std::ios::sync_with_stdio(false);
    std::cin.tie(nullptr);
    // From the keyboard, Ctrl-C during a calculation goes back to the
    // question; otherwise it ends the program, as SIGINT does.
    if (isatty(STDIN_FILENO) == 1) interruption_installe();

    int statut = 1;
    try {
        // One memory budget for every count of the program.
        Budget budget;
        Travail w;
        amorce(w);
        Equipe e(budget);
        e.travaux.assign(nombre_de_fils(std::getenv("SOMMES_DIVISEURS_FILS")), w);
        e.ligne_etat = isatty(STDERR_FILENO) == 1;
        Vidage v;
        v.chaque_bloc = isatty(STDOUT_FILENO) == 1;
        statut = dialogue(std::cin, std::cout, e, v);
    } catch (const std::exception&) {
        // Memory exhausted beyond every fallback of the count: end as after
        // the answer 0, keeping what was written, rather than abort.
    }
    std::cout.flush();
    return statut;
}
