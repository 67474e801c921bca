// SPDX-License-Identifier: GPL-3.0-or-later
// Validated console input.
#include "controle.hpp"

#include <cstring>
#include <exception>
#include <limits>

namespace {

bool blanc(int ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r'; }

enum class Lecture { jeton, fin };

// Reads one token into c.entree. The token ends at white space or at end of
// input; it is cut at its first NUL byte. Only the first 199 bytes are kept;
// a longer token is reported through *trop_long and never overflows.
Lecture lire_jeton(Console& c, int& l1, bool& trop_long) {
    using traits = std::istream::traits_type;
    std::streambuf* sb = c.in.rdbuf();
    l1 = 0;
    trop_long = false;
    c.entree[0] = '\0';
    if (sb == nullptr) return Lecture::fin;
    int ch = sb->sbumpc();
    while (ch != traits::eof() && blanc(ch)) ch = sb->sbumpc();
    if (ch == traits::eof()) return Lecture::fin;
    bool coupe = false;  // a NUL byte has ended the text
    std::size_t n = 0;
    while (ch != traits::eof() && !blanc(ch)) {
        if (ch == '\0') coupe = true;
        if (!coupe) {
            if (n < sizeof c.entree - 1)
                c.entree[n] = static_cast<char>(ch);
            else
                trop_long = true;
            ++n;
        }
        ch = sb->sbumpc();
    }
    // The white space that ended the token is consumed, as a formatted read
    // would leave it for the next one to skip: nothing differs.
    const std::size_t garde = n < sizeof c.entree - 1 ? n : sizeof c.entree - 1;
    c.entree[garde] = '\0';
    l1 = static_cast<int>(garde);
    return Lecture::jeton;
}

// Judges c.entree as a whole number, character by character, as the table of
// positions says. Returns false when the token fails.
bool examine_nombre(Console& c, int l1, std::int64_t& valeur) {
    constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
    valeur = 0;
    for (int a = 0; a < l1; ++a) {
        const char ch = c.entree[a];
        if (valtest(c, ch) != 1) return false;
        const bool signe = ch == '+' || ch == '-';
        const std::int64_t chiffre = signe ? 0 : c.valtest2;
        if (a == 0) {
            if (ch == '-') return false;
            if (ch == '0') {
                if (l1 != 1) return false;
                valeur = 0;
            } else if (ch == '+') {
                if (l1 == 1) return false;
            } else {
                valeur = chiffre;
            }
            continue;
        }
        if (signe) return false;
        if (a == 1 && c.entree[0] == '+') {
            if (ch == '0') return false;
            valeur = chiffre;
            continue;
        }
        // Above 9223372036854775807 the token fails instead of wrapping.
        if (valeur > (max - chiffre) / 10) return false;
        valeur = valeur * 10 + chiffre;
    }
    return true;
}

// Reads one token; an input that cannot be read (a directory, a closed
// descriptor, a read error) counts as the end of input.
Lecture lit(Console& c, int& l1, bool& trop_long) {
    try {
        return lire_jeton(c, l1, trop_long);
    } catch (const std::exception&) {
        l1 = 0;
        c.entree[0] = '\0';
        return Lecture::fin;
    }
}

}  // namespace

void prepare_message(Console& c, const char* texte) {
    std::strncpy(c.message, texte, sizeof c.message - 1);
    c.message[sizeof c.message - 1] = '\0';
}

int valtest(Console& c, char caract1) {
    c.valtest2 = 0;
    if (caract1 >= '0' && caract1 <= '9') {
        c.valtest2 = caract1 - '0';
        return 1;
    }
    if (caract1 == '+') {
        c.valtest2 = 1;
        return 1;
    }
    if (caract1 == '-') {
        c.valtest2 = -1;
        return 1;
    }
    return 0;
}

bool controle(Console& c, int cas, const char* chaine) {
    // Input is never repositioned: input from a file is read token by token
    // like input from a pipe.
    c.in.clear();
    const std::size_t l = std::strlen(chaine);
    for (;;) {
        c.out.write(chaine, static_cast<std::streamsize>(l));
        // Flush before the read can wait; a token already buffered is read
        // without waiting, so the flush can wait for the next real read.
        std::streambuf* sb = c.in.rdbuf();
        if (sb == nullptr || sb->in_avail() <= 0) c.out.flush();
        if (!c.out) return false;
        int l1 = 0;
        bool trop_long = false;
        if (lit(c, l1, trop_long) == Lecture::fin) return false;
        if (l1 == 0 || trop_long) continue;
        if (cas == 1) {
            if (l1 == 1 && (c.entree[0] == '0' || c.entree[0] == '1')) {
                c.valeur2 = c.entree[0] - '0';
                return true;
            }
            continue;
        }
        std::int64_t valeur = 0;
        if (!examine_nombre(c, l1, valeur)) continue;
        c.valeur0 = valeur;
        if (c.xn == 1 && valeur == 0) continue;
        return true;
    }
}
