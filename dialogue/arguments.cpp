// SPDX-License-Identifier: GPL-3.0-or-later
// The command line and the number of computing threads.
#include "arguments.hpp"

#include <sched.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#ifndef SD_VERSION
#define SD_VERSION "1.0"
#endif

namespace {

const char* const usage =
    "Usage : sommes-diviseurs [--help | -h | --version]\n"
    "        sommes-diviseurs [options] MIN MAX\n"
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
    "permis par defaut). SOMMES_DIVISEURS_MEMOIRE=Mio : memoire des comptes\n"
    "(900 par defaut, dans les limites du processus).\n"
    "\n"
    "Avec MIN et MAX, l'intervalle est calcule sans dialogue : une ligne par N,\n"
    "colonnes separees par des tabulations (N, classe, nombre et somme des\n"
    "diviseurs propres, solutions pour un N abondant), apres une ligne d'entete.\n"
    "  --blocs          les blocs du dialogue plutot que des colonnes\n"
    "  --abondants      seulement les N abondants\n"
    "  --bizarres       seulement les N bizarres (abondants sans solution),\n"
    "                   decides sans compter\n"
    "  --primitifs      seulement les N bizarres dont aucun diviseur n'est bizarre\n"
    "  --classes        chaque N abondant decide sans compter : la colonne\n"
    "                   decision (semiparfait ou bizarre) remplace solutions\n"
    "  --temoin         avec --classes, une colonne temoin : des diviseurs\n"
    "                   propres de somme N, du plus grand au plus petit\n"
    "  --sans-entete    sans la ligne d'entete\n"
    "  --limite S       ne compte pas un N estime a plus de S secondes : ?\n"
    "  --memoire Mio    memoire des comptes\n"
    "Statut : 0 quand tout est ecrit, 4 quand des comptes sont laisses (?).\n"
    "\n"
    "Statut de sortie : 1 apres la reponse 0 ou a la fin de l'entree,\n"
    "0 apres --help ou --version, 2 pour un argument inconnu, 3 quand la\n"
    "sortie standard refuse d'ecrire (disque plein, erreur d'entree-sortie).\n"
    "\n"
    "Manuel : man sommes-diviseurs\n";

}  // namespace

namespace {

// A whole number from lo to hi written in decimal digits only.
bool entier(const char* t, std::int64_t lo, std::int64_t hi, std::int64_t& v) {
    if (!t || !*t || std::strspn(t, "0123456789") != std::strlen(t) || std::strlen(t) > 19) return false;
    errno = 0;
    const unsigned long long x = std::strtoull(t, nullptr, 10);
    if (errno || x < static_cast<unsigned long long>(lo) || x > static_cast<unsigned long long>(hi)) return false;
    v = static_cast<std::int64_t>(x);
    return true;
}

}  // namespace

Commande lit_arguments(int argc, const char* const* argv, std::ostream& out, std::ostream& err, Lot& lot) {
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
    // Options, then MIN and MAX.
    const auto refus = [&err](const std::string& quoi) {
        err << "sommes-diviseurs : " << quoi << " (voir sommes-diviseurs --help)\n";
        return Commande::refus;
    };
    std::vector<const char*> bornes;
    for (int i = 1; i < argc; ++i) {
        const std::string o = argv[i];
        std::int64_t v = 0;
        if (o == "--blocs") {
            lot.blocs = true;
        } else if (o == "--abondants") {
            lot.filtre = Filtre::abondants;
        } else if (o == "--bizarres") {
            lot.filtre = Filtre::bizarres;
        } else if (o == "--primitifs") {
            lot.filtre = Filtre::primitifs;
        } else if (o == "--classes") {
            lot.classes = true;
        } else if (o == "--temoin") {
            lot.temoin = true;
        } else if (o == "--sans-entete") {
            lot.entete = false;
        } else if (o == "--limite" || o == "--memoire") {
            if (i + 1 >= argc) return refus("valeur manquante apres " + o);
            const char* t = argv[++i];
            if (o == "--limite") {
                // Seconds in decimal digits, with a fraction after a point:
                // no sign, exponent, hexadecimal or infinity.
                const std::size_t entiers = std::strspn(t, "0123456789");
                const std::size_t fraction = t[entiers] == '.' ? std::strspn(t + entiers + 1, "0123456789") : 0;
                const bool decimal =
                    entiers + fraction > 0 && std::strlen(t) == entiers + (t[entiers] == '.' ? 1 + fraction : 0);
                char* fin = nullptr;
                errno = 0;
                const double s = decimal ? std::strtod(t, &fin) : -1;
                if (!decimal || errno || !(s >= 0) || s > 1e12) return refus("limite refusee : " + std::string(t));
                lot.limite = s;
            } else {
                if (!entier(t, 16, std::int64_t{1} << 30, v)) return refus("memoire refusee : " + std::string(t));
                lot.memoire = static_cast<std::size_t>(v);
            }
        } else if (!o.empty() && o[0] == '-') {
            return refus("argument non reconnu : " + o);
        } else {
            bornes.push_back(argv[i]);
        }
    }
    if (lot.temoin && !lot.classes) return refus("--temoin va avec --classes");
    if (lot.classes && lot.blocs) return refus("--classes s'ecrit en colonnes, pas en --blocs");
    if (bornes.size() != 2)
        return refus(bornes.empty() ? "argument non reconnu : " + std::string(a) : "il faut deux bornes, MIN et MAX");
    if (!entier(bornes[0], 1, std::numeric_limits<std::int64_t>::max(), lot.nmin))
        return refus("borne refusee : " + std::string(bornes[0]));
    if (!entier(bornes[1], 1, std::numeric_limits<std::int64_t>::max(), lot.nmax))
        return refus("borne refusee : " + std::string(bornes[1]));
    if (lot.nmax < lot.nmin) return refus("MAX est plus petit que MIN");
    return Commande::lot;
}

std::size_t memoire_demandee(const char* reglage) {
    std::int64_t v = 0;
    return reglage && entier(reglage, 16, std::int64_t{1} << 30, v) ? static_cast<std::size_t>(v) : 0;
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
