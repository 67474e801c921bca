// libFuzzer target: arbitrary bytes typed at the keyboard.
//
// The first byte chooses what the rest drives:
//   - even: a whole dialogue, banner to end, over numbers below 10^4 (an
//     input with more than 4 digits in a row is skipped, so that every run
//     stays short);
//   - odd: the validated input alone, with no limit on the tokens; the
//     second byte gives the mode (1 or 9) and xn of the successive prompts,
//     and every answer is checked against a plain model of the rules.
// Output is discarded and fails after 256 KiB, so that every run ends.
// A broken invariant stops the run with __builtin_trap().
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "boucle.hpp"
#include "controle.hpp"
#include "premiers.hpp"
#include "travail.hpp"

namespace {

constexpr std::size_t kPlafond = 256 * 1024;

void verifie(bool condition) {
    if (!condition) __builtin_trap();
}

// Counts and discards the bytes written; refuses every byte past the cap,
// which sets badbit on the stream.
class Plafond : public std::streambuf {
public:
    std::size_t ecrits = 0;
    bool plein() const { return ecrits >= kPlafond; }

protected:
    int_type overflow(int_type ch) override {
        if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
        if (plein()) return traits_type::eof();
        ++ecrits;
        return ch;
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        const std::size_t pris = std::min(kPlafond - ecrits, static_cast<std::size_t>(n));
        ecrits += pris;
        return static_cast<std::streamsize>(pris);
    }
};

// ---------------------------------------------------------------------------
// The validated input, checked against a model of the rules written from the
// prompt's description: tokens split at white space and cut at their first
// NUL byte; 200 bytes and more refused; mode 1 takes 0 or 1; mode 9 takes a
// whole number written in its shortest form, with an optional + before a
// nonzero value, up to 9223372036854775807, and 0 only while xn is not 1.

bool blanc(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

std::vector<std::string> jetons(std::string_view texte) {
    std::vector<std::string> liste;
    std::size_t p = 0;
    while (p < texte.size()) {
        while (p < texte.size() && blanc(texte[p])) ++p;
        if (p == texte.size()) break;
        std::size_t fin = p;
        while (fin < texte.size() && !blanc(texte[fin])) ++fin;
        const std::string_view brut = texte.substr(p, fin - p);
        liste.emplace_back(brut.substr(0, brut.find('\0')));
        p = fin;
    }
    return liste;
}

// The value of a mode-9 token, or -1 when the token is refused.
std::int64_t valeur_modele(const std::string& jeton, int xn) {
    if (jeton.empty() || jeton.size() >= 200) return -1;
    const bool plus = jeton[0] == '+';
    const std::string chiffres = plus ? jeton.substr(1) : jeton;
    if (chiffres.empty() || chiffres.size() > 19) return -1;
    if (!std::all_of(chiffres.begin(), chiffres.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
        return -1;
    if (chiffres[0] == '0' && (chiffres.size() > 1 || plus)) return -1;
    if (chiffres.size() == 19 && chiffres > "9223372036854775807") return -1;
    const std::int64_t v = std::stoll(chiffres);
    if (v == 0 && xn == 1) return -1;
    return v;
}

void fuzz_controle(std::uint8_t motif, std::string_view texte) {
    const std::string copie(texte);
    std::istringstream in(copie);
    Plafond tampon;
    std::ostream out(&tampon);
    Console c(in, out);

    const std::vector<std::string> attendus = jetons(texte);
    std::size_t suivant = 0;  // next token of the model
    std::size_t invites = 0;  // prompts the model expects
    for (unsigned appel = 0;; ++appel) {
        const unsigned code = (motif >> (2 * (appel % 4))) & 3u;
        const int cas = code >= 2 ? 1 : 9;
        c.xn = static_cast<std::int32_t>(code & 1u);

        // The model: the first acceptable token, or the end of input.
        bool modele_ok = false;
        std::int64_t modele_valeur = 0;
        while (suivant < attendus.size() && !modele_ok) {
            const std::string& j = attendus[suivant++];
            ++invites;
            if (cas == 1) {
                modele_ok = j == "0" || j == "1";
                if (modele_ok) modele_valeur = j[0] - '0';
            } else {
                modele_valeur = valeur_modele(j, c.xn);
                modele_ok = modele_valeur >= 0;
            }
        }
        if (!modele_ok) ++invites;  // the prompt before the end of input

        const bool ok = controle(c, cas, "?");
        if (tampon.plein()) return;  // the cap ended the run early
        verifie(ok == modele_ok);
        verifie(tampon.ecrits == invites);
        if (!ok) return;
        const std::string jeton(c.entree);
        if (cas == 1) {
            verifie(c.valeur2 == 0 || c.valeur2 == 1);
            verifie(jeton == std::to_string(c.valeur2));
            verifie(c.valeur2 == modele_valeur);
        } else {
            verifie(c.valeur0 >= 0);
            if (c.xn == 1) verifie(c.valeur0 >= 1);
            // The accepted token is the value itself, in its shortest form.
            const std::string forme = std::to_string(c.valeur0);
            verifie(jeton == forme || (c.valeur0 != 0 && jeton == "+" + forme));
            verifie(c.valeur0 == modele_valeur);
        }
    }
}

// ---------------------------------------------------------------------------
// The whole dialogue over small numbers.

bool chiffres_courts(std::string_view texte) {
    std::size_t suite = 0;
    for (char ch : texte) {
        suite = ch >= '0' && ch <= '9' ? suite + 1 : 0;
        if (suite > 4) return false;
    }
    return true;
}

// The first np primes, by trial division of every candidate.
bool premiers_exacts(const Travail& w) {
    if (w.np < 2 || w.Nprem.slots() != static_cast<std::size_t>(w.np) + 1) return false;
    std::int64_t candidat = 1;
    for (std::int64_t q = 1; q <= w.np; ++q) {
        bool premier = false;
        while (!premier) {
            ++candidat;
            premier = true;
            for (std::int64_t d = 2; d * d <= candidat; ++d)
                if (candidat % d == 0) premier = false;
        }
        if (w.Nprem[static_cast<std::size_t>(q)] != candidat) return false;
    }
    return true;
}

void fuzz_dialogue(std::string_view texte) {
    if (!chiffres_courts(texte)) return;
    const std::string copie(texte);
    std::istringstream in(copie);
    Plafond tampon;
    std::ostream out(&tampon);
    Travail w;
    amorce(w);
    verifie(dialogue(in, out, w, Vidage{}) == 1);
    // Every report resets the per-number tables; the prime table only grows.
    verifie(w.Div.slots() == 1 && w.Prod.slots() == 1 && w.Nexpo.slots() == 1 && w.Nfact.slots() == 1);
    verifie(premiers_exacts(w));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view reste(reinterpret_cast<const char*>(data) + 1, size - 1);
    if ((data[0] & 1u) == 0) {
        fuzz_dialogue(reste);
    } else if (!reste.empty()) {
        fuzz_controle(static_cast<std::uint8_t>(reste[0]), reste.substr(1));
    }
    return 0;
}
