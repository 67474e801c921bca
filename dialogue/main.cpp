// Entry point: creates the work tables, seeds the prime table and runs the
// dialogue on standard input and output.
#include <csignal>
#include <exception>
#include <iostream>

#include <unistd.h>

#include "boucle.hpp"
#include "premiers.hpp"
#include "travail.hpp"

int main() {
    // A reader that goes away shows up as a failed write, which ends the
    // dialogue like the end of input, instead of killing the process.
    std::signal(SIGPIPE, SIG_IGN);
    std::ios::sync_with_stdio(false);
    std::cin.tie(nullptr);

    Travail w;
    amorce(w);
    Vidage v;
    v.chaque_bloc = isatty(STDOUT_FILENO) == 1;
    int statut = 1;
    try {
        statut = dialogue(std::cin, std::cout, w, v);
    } catch (const std::exception&) {
        // Memory exhausted beyond every fallback of the count: end as after
        // the answer 0, keeping what was written, rather than abort.
    }
    std::cout.flush();
    return statut;
}
