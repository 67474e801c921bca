// SPDX-License-Identifier: GPL-3.0-or-later
// Ctrl-C during a calculation. The handler only reads the clock and sets
// flags (all async-signal-safe); the calculation loop polls the request.
#include "interruption.hpp"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <ctime>

#include <pthread.h>

namespace {

std::atomic<bool> arme{false};
std::atomic<bool> demande{false};
std::atomic<long long> derniere{0};  // time of the last accepted Ctrl-C, ns
std::atomic<int> fin{0};             // the signal that asks the calculation to end

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

void sur_fin(int sig) {
    if (!arme.load() || fin.load() != 0) termine_par(sig);
    fin.store(sig);
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

void fins_installe(bool sigint) {
    struct sigaction sa {};
    sa.sa_handler = sur_fin;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    if (sigint) sigaction(SIGINT, &sa, nullptr);
}

int fin_demandee() { return fin.load(); }

void termine_par(int sig) {
    // The default action, as without the handler; the signal is blocked
    // while a handler runs, and ends the process once it is let through.
    std::signal(sig, SIG_DFL);
    sigset_t s;
    sigemptyset(&s);
    sigaddset(&s, sig);
    pthread_sigmask(SIG_UNBLOCK, &s, nullptr);
    std::raise(sig);
    std::_Exit(128 + sig);
}
