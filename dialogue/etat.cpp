// SPDX-License-Identifier: GPL-3.0-or-later
// The status line on standard error. The blocks end in the middle of a line,
// so the line is drawn one line below, with the cursor saved first (ESC 7);
// it is erased by putting the cursor back (ESC 8) and clearing everything
// below (ESC [J); an index down and back up (ESC D, ESC M) makes room at the
// bottom of the screen before the cursor is saved.
#include "etat.hpp"

#include <cmath>
#include <cstdio>
#include <cstring>

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

std::string duree(double secondes) {
    // Beyond a lifetime, or no estimate at all.
    if (!(secondes < 1e9)) return "plus de 30 ans";
    const long long t = std::llround(secondes);
    char r[48];
    if (t >= 3600)
        std::snprintf(r, sizeof r, "%lld h %02lld min", t / 3600, t / 60 % 60);
    else if (t >= 60)
        std::snprintf(r, sizeof r, "%lld min %02lld s", t / 60, t % 60);
    else
        std::snprintf(r, sizeof r, "%lld s", t);
    return r;
}

void ecrit(const std::string& s) {
    const char* p = s.data();
    std::size_t reste = s.size();
    while (reste > 0) {
        const ssize_t n = ::write(STDERR_FILENO, p, reste);
        if (n <= 0) return;  // a terminal that went away: nothing to do
        p += n;
        reste -= static_cast<std::size_t>(n);
    }
}

// Columns of the terminal, less one so that the line never wraps.
std::size_t largeur() {
    winsize ws{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 1) return ws.ws_col - 1u;
    return 79;
}

}  // namespace

void LigneEtat::affiche(const std::string& texte) {
    if (!actif_) return;
    // A line drawn before, maybe wrapped by a narrower window since: all
    // below the end of the blocks goes first. The cursor is left at the
    // start of the line, where an echo (^C, answers typed ahead) never wraps
    // and the next drawing covers it.
    std::string s = visible_ ? "\0338\033[J" : "";
    s += "\033D\033M\0337\033D\r";
    s += texte.substr(0, largeur());
    s += "\033[K\r";
    ecrit(s);
    visible_ = true;
}

void LigneEtat::efface() {
    if (!visible_) return;
    ecrit("\0338\033[J");
    visible_ = false;
}

bool terminal_adressable(const char* term) { return term && *term && std::strcmp(term, "dumb") != 0; }

std::string texte_etat(std::int64_t N, double fraction, double reste_secondes, bool de_la_plage) {
    if (fraction < 0) fraction = 0;
    if (fraction > 1) fraction = 1;
    constexpr int kBarre = 16;
    const int plein = static_cast<int>(fraction * kBarre);
    char pct[16];
    std::snprintf(pct, sizeof pct, "%3d %%", static_cast<int>(fraction * 100));
    std::string s =
        "  N = " + std::to_string(N) + "  [" + std::string(plein, '#') + std::string(kBarre - plein, '.') + "] " + pct;
    if (de_la_plage) s += " de l'intervalle";
    if (reste_secondes >= 0) s += " , reste " + duree(reste_secondes);
    return s;
}

std::string texte_plage(std::uint64_t ecrits, std::uint64_t total, double par_seconde) {
    char debit[48];
    std::snprintf(debit, sizeof debit, "%.3g N/s", par_seconde);
    std::string s = std::to_string(ecrits) + " / " + std::to_string(total) + " N, " + debit;
    if (par_seconde > 0) s += ", reste " + duree(static_cast<double>(total - ecrits) / par_seconde);
    return s;
}

std::string texte_conseil(std::uint64_t mio, double secondes, std::uint64_t limite_mio) {
    std::string d;
    if (secondes < 9.95) {
        // Tenths of a second, with a decimal comma.
        char r[48];
        const long dixiemes = std::lround(secondes * 10);
        std::snprintf(r, sizeof r, "%ld,%ld s", dixiemes / 10, dixiemes % 10);
        d = r;
    } else {
        d = duree(secondes);
    }
    if (limite_mio)
        return "avec " + std::to_string(mio) + " Mio : " + d + " environ ; les limites du processus en laissent " +
               std::to_string(limite_mio);
    return "avec --memoire " + std::to_string(mio) + " : " + d + " environ";
}

std::string texte_etat_duree(std::int64_t N, double secondes) {
    return "  N = " + std::to_string(N) + "  en calcul depuis " + duree(secondes);
}
