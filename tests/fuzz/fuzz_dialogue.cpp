// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: arbitrary bytes typed at the keyboard. An odd first byte
// drives the validated input alone (its bits 1 and 2 choose the mode and xn),
// every answer checked against a plain model of the rules; an even one drives
// a whole dialogue, as the program runs it, over numbers below 10^4, so that every run stays short.
// A broken rule stops the run with __builtin_trap().
#include <cstdint>
#include <sstream>
#include <string>

#include "boucle.hpp"
#include "controle.hpp"
#include "equipe.hpp"

namespace {

void verifie(bool condition) {
    if (!condition) __builtin_trap();
}

// A mode-9 answer: digits in their shortest form, a + allowed before a nonzero
// value, at most 2^63 - 1, 0 only while xn is not 1; -1 when refused.
std::int64_t modele(const std::string& j, int xn) {
    const std::string c = !j.empty() && j[0] == '+' ? j.substr(1) : j;
    if (j.size() >= 200 || c.empty() || c.size() > 19 || c.find_first_not_of("0123456789") != std::string::npos ||
        (c[0] == '0' && c != j) || (c[0] == '0' && c.size() > 1) || (c.size() == 19 && c > "9223372036854775807"))
        return -1;
    const std::int64_t v = std::stoll(c);
    return v == 0 && xn == 1 ? -1 : v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t taille) {
    if (taille == 0) return 0;
    const std::string texte(reinterpret_cast<const char*>(data) + 1, taille - 1);
    std::istringstream in(texte), mots(texte);
    std::ostringstream out;
    if (data[0] & 1) {
        Console c(in, out);
        const int cas = data[0] & 2 ? 1 : 9;
        c.xn = data[0] >> 2 & 1;
        std::size_t jetons = 0;
        for (std::string j; mots >> j; ++jetons) {
            j = j.substr(0, j.find('\0'));
            const std::int64_t v = cas == 1 ? (j == "0" || j == "1" ? j[0] - '0' : -1) : modele(j, c.xn);
            if (v >= 0) verifie(controle(c, cas, "?") && (cas == 1 ? c.valeur2 : c.valeur0) == v);
        }
        verifie(!controle(c, cas, "?"));
        verifie(out.str() == std::string(jetons + 1, '?'));  // one prompt per token, one at the end
        return 0;
    }
    for (std::size_t i = 0, suite = 0; i < texte.size(); ++i)
        if ((suite = texte[i] >= '0' && texte[i] <= '9' ? suite + 1 : 0) > 4) return 0;
    Budget budget;
    Equipe e(budget, 1);
    verifie(dialogue(in, out, e, Vidage{}) == 1);
    const std::string s = out.str();
    verifie(s.rfind(" \n   POUR MODIFIER", 0) == 0);
    verifie(s.ends_with(" ? ") || s.ends_with(" ? :  "));  // the dialogue ends at a prompt
    return 0;
}
