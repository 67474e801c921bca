// SPDX-License-Identifier: GPL-3.0-or-later
// A count's work shared between its own thread and one helper: share t of
// fils (0 here, 1 on the helper), each with its progress reporter on the
// count's Suivi. The helper is one of the program's computing threads: it
// is taken from libres (the threads with nothing left to do; none when one
// thread was asked) and given back; without libres (a count on its own),
// one is started. Without a thread to be had, both shares run here.
#pragma once

#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

#include "suivi.hpp"

// Runs travail(0, pr), and travail(1, its own Progres) on a helper thread
// when fils is 2 (here too when no thread is free); whatever either throws
// is thrown here, after the join.
template <class Travail>
void en_fils(unsigned fils, std::atomic<int>* libres, Suivi* suivi, Progres& pr, Travail&& travail) {
    if (fils < 2) {
        travail(0u, pr);
        return;
    }
    if (libres) {
        int v = libres->load();
        do {
            if (v <= 0) {
                travail(1u, pr);
                travail(0u, pr);
                return;
            }
        } while (!libres->compare_exchange_weak(v, v - 1));
    }
    // The thread taken goes back however this ends.
    struct Rendu {
        std::atomic<int>* libres;
        ~Rendu() {
            if (libres) libres->fetch_add(1);
        }
    } rendu{libres};
    std::exception_ptr erreur;
    {
        // Joined on the way out, whatever this thread throws.
        std::jthread aide;
        try {
            aide = std::jthread([&] {
                Progres second(suivi);
                try {
                    travail(1u, second);
                } catch (...) {
                    erreur = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            travail(1u, pr);  // no thread to be had: its share here too
        }
        travail(0u, pr);
    }
    if (erreur) std::rethrow_exception(erreur);
}
