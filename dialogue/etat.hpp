// SPDX-License-Identifier: GPL-3.0-or-later
// The status line of a long calculation, on standard error when it is a
// terminal: drawn on the line below the last block, redrawn in place, and
// erased with the cursor put back where the blocks go on.
#pragma once

#include <cstdint>
#include <string>

class LigneEtat {
public:
    explicit LigneEtat(bool actif) : actif_(actif) {}
    LigneEtat(const LigneEtat&) = delete;
    LigneEtat& operator=(const LigneEtat&) = delete;
    ~LigneEtat() { efface(); }

    bool actif() const { return actif_; }
    // Draws the line, or redraws it in place.
    void affiche(const std::string& texte);
    // Removes it; the cursor is back after the last block written.
    void efface();

private:
    bool actif_;
    bool visible_ = false;
};

// Whether the terminal named by TERM moves its cursor on the sequences the
// line uses: any but none and "dumb".
bool terminal_adressable(const char* term);

// The text of the line: the number N being waited for, how far its count
// (or the range) is, as a bar and a percentage, and the time left when it
// can be estimated (a negative reste: unknown).
std::string texte_etat(std::int64_t N, double fraction, double reste_secondes, bool de_la_plage);

// The progress of the whole range: N written out of total, the rate, and
// the time left at that rate.
std::string texte_plage(std::uint64_t ecrits, std::uint64_t total, double par_seconde);

// What more memory would give a long count: "avec --memoire 1500 : 1 min
// 30 s environ"; when it is beyond the limits of the process, which leave
// limite_mio: "avec 900 Mio : 2,4 s environ ; les limites du processus en
// laissent 290".
std::string texte_conseil(std::uint64_t mio, double secondes, std::uint64_t limite_mio = 0);

// The text when the count's length is unknown: N and the time spent on it.
std::string texte_etat_duree(std::int64_t N, double secondes);
