// SPDX-License-Identifier: GPL-3.0-or-later
// Ctrl-C during a calculation. The handler only reads the clock and sets
// flags (all async-signal-safe); the calculation loop polls the request.
#include "interruption.hpp"

#include <atomic>
#include <csignal>
#include <ctime>

namespace {

std::atomic<bool> arme{false};
std::atomic<bool> demande{false};
std::atomic<long long> derniere{0};  // time of the last accepted Ctrl-C, ns

constexpr long long kSeconde = 1000000000LL;

long long maintenant() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * kSeconde + t.tv_nsec;
}

void sur_sigint(int) {
    const long long t = maintenant();
    if (!arme.load() || demande.load() || t - derniere.load() < kSeconde) {
        // The default action, as without the handler: SIGINT is blocked
        // while the handler runs and ends the process once it returns.
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
        return;
    }
    derniere.store(t);
    demande.store(true);
}

}  // namespace

void interruption_installe() {
    derniere.store(maintenant() - 2 * kSeconde);
    struct sigaction sa {};
    sa.sa_handler = sur_sigint;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
}

void interruption_arme(bool calcul) {
    if (calcul) demande.store(false);
    arme.store(calcul);
}

bool interruption_demandee() { return demande.load(); }
