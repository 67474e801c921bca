// SPDX-License-Identifier: GPL-3.0-or-later
// Entry point: the command line, then the computing threads with their work
// tables and the memory budget, Ctrl-C, and the dialogue on standard input and
// output.
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <limits>
#include <ostream>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include "arguments.hpp"
#include "boucle.hpp"
#include "equipe.hpp"
#include "etat.hpp"
#include "interruption.hpp"
#include "limites.hpp"
#include "lot.hpp"
#include "plage.hpp"
#include "sortie.hpp"

namespace {

// A write to standard output refused: said once, unless the reader went
// away (a pipe closed by head), and the status of a failed write.
int ecriture_refusee(const SortieFd& sortie) {
    if (sortie.erreur() != EPIPE)
        std::cerr << "sommes-diviseurs : ecriture impossible sur la sortie standard : "
                  << std::strerror(sortie.erreur()) << '\n';
    return kStatutEcriture;
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that goes away shows up as a failed write, which ends the
    // dialogue like the end of input, instead of killing the process.
    std::signal(SIGPIPE, SIG_IGN);
    // Standard output through a buffer that keeps the error of a write that
    // failed.
    SortieFd sortie(STDOUT_FILENO);
    std::ostream out(&sortie);
    Lot l;
    const Commande commande = lit_arguments(argc, argv, out, std::cerr, l);
    switch (commande) {
        case Commande::termine:
            out.flush();
            return sortie.erreur() ? ecriture_refusee(sortie) : 0;
        case Commande::refus:
            return 2;
        case Commande::dialogue:
        case Commande::lot:
            break;
    }
    std::ios::sync_with_stdio(false);
    std::cin.tie(nullptr);
    // From the keyboard, Ctrl-C during a calculation goes back to the
    // question; otherwise, and without the dialogue, it ends the program, as
    // SIGINT does.
    const bool ctrl_c = commande == Commande::dialogue && isatty(STDIN_FILENO) == 1;
    if (ctrl_c) interruption_installe();
    // SIGTERM, SIGHUP (and SIGINT otherwise) during a calculation: the
    // blocks complete are written, then the program ends by the signal.
    fins_installe(!ctrl_c);

    int statut = 1;
    std::size_t budget_octets = 0;
    try {
        unsigned fils = nombre_de_fils(std::getenv("SOMMES_DIVISEURS_FILS"));
        // Under an address-space limit, the threads share one malloc arena
        // rather than reserve 64 MiB each.
        rlimit espace{};
        if (getrlimit(RLIMIT_AS, &espace) == 0 && espace.rlim_cur != RLIM_INFINITY) mallopt(M_ARENA_MAX, 1);
        // One memory budget for every count of the program, within the
        // limits the process has; one computing thread when it cannot hold
        // the tables of two counts.
        // The budget asked (--memoire, SOMMES_DIVISEURS_MEMOIRE), else the
        // default.
        std::size_t mio = l.memoire ? l.memoire : memoire_demandee(std::getenv("SOMMES_DIVISEURS_MEMOIRE"));
        const std::size_t voulu = mio ? mio << 20 : Budget::kDefaut;
        std::size_t octets = budget_permis(voulu, fils);
        if (fils > 1 && octets < kBudgetDeuxFils) {
            fils = 1;
            octets = budget_permis(voulu, fils);
        }
        // What a larger --memoire could reach, for the advice of a long count.
        const std::size_t permis = budget_permis(std::numeric_limits<std::size_t>::max(), fils);
        Budget budget(octets, voulu, permis);
        budget_octets = octets;
        // The left-out counts are decided on the memory asked; what the
        // limits take away only slows the table down.
        if (commande == Commande::lot && octets < voulu)
            std::cerr << "sommes-diviseurs : les limites du processus laissent " << (octets >> 20)
                      << " Mio aux comptes, " << (voulu >> 20)
                      << " Mio demandes : la table sera la meme, peut-etre plus lente\n";
        Equipe e(budget, fils, isatty(STDERR_FILENO) == 1 && terminal_adressable(std::getenv("TERM")));
        Vidage v;
        v.chaque_bloc = isatty(STDOUT_FILENO) == 1;
        statut = commande == Commande::lot ? lot(out, std::cerr, e, l, v) : dialogue(std::cin, out, e, v, &std::cerr);
    } catch (const EchecCompte& x) {
        // Memory exhausted beyond every fallback of the count: what was
        // written is kept, the count is said, with a status of its own.
        out.flush();
        std::cerr << "sommes-diviseurs : N = " << x.N << " : compte impossible dans la memoire du processus ("
                  << (budget_octets >> 20) << " Mio pour les comptes)\n";
        statut = kStatutMemoire;
    } catch (const std::exception& x) {
        // The threads or the tables of start-up refused.
        out.flush();
        std::cerr << "sommes-diviseurs : ressources insuffisantes : " << x.what() << '\n';
        statut = kStatutMemoire;
    }
    out.flush();
    // A table not wholly written never ends with 0; the dialogue ends as at
    // the end of its input when its reader goes away.
    if (sortie.erreur() != 0 && (commande == Commande::lot || sortie.erreur() != EPIPE))
        return ecriture_refusee(sortie);
    return statut;
}
