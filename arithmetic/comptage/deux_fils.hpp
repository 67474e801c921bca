// SPDX-License-Identifier: GPL-3.0-or-later
// A count's work shared between its own thread and one helper: share t of
// fils (0 here, 1 on the helper), each with its progress reporter on the
// count's Suivi. Without a thread to be had, or when the context allows no
// helper (one computing thread asked), both shares run here.
#pragma once

#include <exception>
#include <system_error>
#include <thread>

#include "suivi.hpp"

// Runs travail(0, pr), and travail(1, its own Progres) on a helper thread
// when fils is 2 (here too without aide); whatever either throws is thrown
// here, after the join.
template <class Travail>
void en_fils(unsigned fils, bool aide, Suivi* suivi, Progres& pr, Travail&& travail) {
    if (fils < 2) {
        travail(0u, pr);
        return;
    }
    if (!aide) {
        travail(1u, pr);
        travail(0u, pr);
        return;
    }
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
