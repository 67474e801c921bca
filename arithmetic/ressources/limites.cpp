// SPDX-License-Identifier: GPL-3.0-or-later
// The memory limits of the process, read from the system.
#include "limites.hpp"

#include <algorithm>
#include <fstream>
#include <limits>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr std::size_t kAucune = std::numeric_limits<std::size_t>::max();
// Besides the counting tables: the prime table, divisor lists, streams.
constexpr std::size_t kMarge = std::size_t{64} << 20;
// What one more thread maps besides its stack.
constexpr std::size_t kParFil = std::size_t{8} << 20;

std::size_t reste(std::size_t limite, std::size_t pris) { return limite > pris ? limite - pris : 0; }

// A number read from the first word of a file, kAucune when there is none
// ("max", a missing file).
std::size_t lit_nombre(const std::string& chemin) {
    std::ifstream f(chemin);
    std::string mot;
    if (!(f >> mot) || mot.empty() || mot.find_first_not_of("0123456789") != std::string::npos) return kAucune;
    try {
        return static_cast<std::size_t>(std::stoull(mot));
    } catch (...) {
        return kAucune;
    }
}

// The address space left under RLIMIT_AS.
std::size_t espace_adresses(unsigned fils) {
    rlimit r{};
    if (getrlimit(RLIMIT_AS, &r) != 0 || r.rlim_cur == RLIM_INFINITY) return kAucune;
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    std::size_t pages = 0;
    std::ifstream statm("/proc/self/statm");
    if (!(statm >> pages)) return kAucune;
    // Each computing thread and the writer: a stack, and what it maps.
    rlimit pile{};
    std::size_t par_fil = kParFil;
    if (getrlimit(RLIMIT_STACK, &pile) == 0 && pile.rlim_cur != RLIM_INFINITY)
        par_fil += static_cast<std::size_t>(pile.rlim_cur);
    else
        par_fil += std::size_t{8} << 20;
    return reste(static_cast<std::size_t>(r.rlim_cur), pages * page + (fils + 1) * par_fil);
}

// What the process's control group leaves (version 2, then version 1).
std::size_t groupe() {
    std::ifstream f("/proc/self/cgroup");
    std::string ligne;
    while (std::getline(f, ligne)) {
        if (ligne.rfind("0::", 0) == 0) {
            const std::string d = "/sys/fs/cgroup" + ligne.substr(3);
            const std::size_t max = lit_nombre(d + "/memory.max");
            if (max == kAucune) return kAucune;
            const std::size_t pris = lit_nombre(d + "/memory.current");
            return reste(max, pris == kAucune ? 0 : pris);
        }
    }
    const std::size_t max = lit_nombre("/sys/fs/cgroup/memory/memory.limit_in_bytes");
    if (max == kAucune || max >= (std::size_t{1} << 60)) return kAucune;
    const std::size_t pris = lit_nombre("/sys/fs/cgroup/memory/memory.usage_in_bytes");
    return reste(max, pris == kAucune ? 0 : pris);
}

std::size_t physique() {
    const long pages = sysconf(_SC_PHYS_PAGES), taille = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || taille <= 0) return kAucune;
    return static_cast<std::size_t>(pages) * static_cast<std::size_t>(taille);
}

}  // namespace

std::size_t budget_permis(std::size_t voulu, unsigned fils) {
    const std::size_t limite = std::min({espace_adresses(fils), groupe(), physique()});
    // Under a small limit, half of what is left keeps the smallest counts
    // possible (a few KiB for 12) rather than none.
    return std::min(voulu, limite == kAucune ? kAucune : reste(limite, std::min(kMarge, limite / 2)));
}
