// SPDX-License-Identifier: GPL-3.0-or-later
// The command line and the number of computing threads.
#include "arguments.hpp"

#include <sched.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#ifndef SD_VERSION
#define SD_VERSION "1.0"
#endif

namespace {

const char* const usage =
    "Usage : sommes-diviseurs [--help | -h | --version]\n"
    "\n"
    "Programme interactif. Il demande une valeur minimale et une valeur maximale\n"
    "de N (de 1 a 9223372036854775807), puis ecrit pour chaque N de l'intervalle,\n"
    "en ordre croissant, s'il est deficient, parfait ou abondant, le nombre et la\n"
    "somme de ses diviseurs propres et, pour un N abondant, le nombre exact de\n"
    "Solutions : les ensembles de diviseurs propres distincts de somme N.\n"
    "Il demande ensuite : Nouveau calcul , Oui[1] / Non[0].\n"
    "\n"
    "Ctrl-C pendant un calcul (entree au clavier) l'arrete et revient a la\n"
    "question ; a une question, Ctrl-C termine le programme.\n"
    "SOMMES_DIVISEURS_FILS=n : nombre de fils de calcul (tous les processeurs\n"
    "par defaut).\n"
    "\n"
    "Statut de sortie : 1 apres la reponse 0 ou a la fin de l'entree,\n"
    "0 apres --help ou --version, 2 pour un argument inconnu, 3 quand la\n"
    "sortie standard refuse d'ecrire (disque plein, erreur d'entree-sortie).\n"
    "\n"
    "Manuel : man sommes-diviseurs\n";

}  // namespace

Commande lit_arguments(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    if (argc <= 1) return Commande::dialogue;
    const char* a = argv[1];
    if (argc == 2 && (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0)) {
        out << usage;
        return Commande::termine;
    }
    if (argc == 2 && std::strcmp(a, "--version") == 0) {
        out << "sommes-diviseurs " SD_VERSION "\n";
        return Commande::termine;
    }
    const char* refuse = argc == 2 ? a : argv[2];
    if (argc > 2 && std::strcmp(a, "--help") != 0 && std::strcmp(a, "-h") != 0 &&
        std::strcmp(a, "--version") != 0)
        refuse = a;
    err << "sommes-diviseurs : argument non reconnu : " << refuse << " (voir sommes-diviseurs --help)\n";
    return Commande::refus;
}

unsigned nombre_de_fils(const char* reglage) {
    if (reglage && *reglage) {
        char* fin = nullptr;
        const long n = std::strtol(reglage, &fin, 10);
        if (*fin == '\0' && n >= 1 && n <= 256) return static_cast<unsigned>(n);
    }
    // The processors this process may run on (taskset, cgroup cpusets), as
    // nproc counts them; the machine's count when the mask cannot be read.
    cpu_set_t masque;
    if (sched_getaffinity(0, sizeof masque, &masque) == 0) {
        const int n = CPU_COUNT(&masque);
        if (n > 0) return static_cast<unsigned>(n);
    }
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : n;
}
