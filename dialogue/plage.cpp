// SPDX-License-Identifier: GPL-3.0-or-later
// The pool of a range and its ordered writer. The calling thread writes:
// it takes the finished blocks in order, waking every few milliseconds (or
// when the look-ahead is half full, when a count estimated long starts, or
// at the range's last block),
// and meanwhile draws the status line and watches for Ctrl-C.
#include "plage.hpp"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <ostream>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>

#include "avancement.hpp"
#include "calcul.hpp"
#include "contexte.hpp"
#include "etat.hpp"
#include "interruption.hpp"
#include "moteur.hpp"
#include "suivi.hpp"

namespace {

using horloge = std::chrono::steady_clock;

// Blocks computed ahead of the last one written, at most.
constexpr std::uint64_t kAvance = 4096;
// Longest sleep of the writer.
constexpr auto kSomme = std::chrono::milliseconds(5);
// Status line: first drawn after, and redrawn at most every.
constexpr double kAvantEtat = 1.0;
constexpr double kEntreEtats = 0.25;

struct Partage {
    std::mutex m;
    std::condition_variable fils;      // workers wait for room or the end
    std::condition_variable ecrivain;  // the writer waits for blocks
    std::uint64_t total = 0;           // number of N in the range
    std::uint64_t suivant = 0;         // next index handed out
    std::uint64_t ecrits = 0;          // blocks taken by the writer
    std::uint64_t termines = 0;        // blocks computed
    bool arret = false;
    std::vector<std::string> blocs = std::vector<std::string>(kAvance);
    std::vector<char> prets = std::vector<char>(kAvance, 0);
    std::vector<std::exception_ptr> erreurs = std::vector<std::exception_ptr>(kAvance);
    std::vector<unsigned> qui = std::vector<unsigned>(kAvance, 0);  // thread of each index
    std::atomic<bool> vider{false};    // a block starts a long count
};

// N computed in w and written to out as r asks, when the filter keeps it;
// true when its count was left out for the limit.
bool rend(Travail& w, Moteur& m, std::int64_t N, std::ostream& out, const Rendu& r) {
    const Resultat x = evalue(w, m, N);
    if (garde(x, r.filtre)) {
        if (r.colonnes)
            ligne(x, out);
        else
            bloc(x, out);
    }
    return x.ecarte;
}

void fil(Partage& p, unsigned id, Travail& w, const Equipe& e, Suivi& s, std::int64_t nmin, std::atomic<bool>& ecartes) {
    Contexte ctx(e.budget, &s);
    ctx.limite = e.rendu.limite;
    // Before a long count the writer flushes what it has written already.
    ctx.avant_long = [&p] {
        p.vider.store(true);
        p.ecrivain.notify_one();
    };
    Moteur moteur(ctx);
    std::ostringstream out;
    for (;;) {
        std::uint64_t i;
        {
            std::unique_lock<std::mutex> l(p.m);
            p.fils.wait(l, [&p] { return p.arret || p.suivant >= p.total || p.suivant < p.ecrits + kAvance; });
            if (p.arret || p.suivant >= p.total) break;
            i = p.suivant++;
            p.qui[i % kAvance] = id;
        }
        const std::int64_t N = nmin + static_cast<std::int64_t>(i);
        s.prevu.store(0);
        s.fait.store(0);
        s.N.store(N);
        // Its place in the order of the range: the budget serves the
        // smallest N first.
        ctx.commence(static_cast<std::uint64_t>(N));
        std::string bloc;
        std::exception_ptr erreur;
        try {
            out.str(std::string());
            if (rend(w, moteur, N, out, e.rendu)) ecartes = true;
            bloc = out.str();
        } catch (const Interruption&) {
            break;
        } catch (...) {
            erreur = std::current_exception();
        }
        ctx.termine();  // between counts: no other count waits behind this one
        s.N.store(0);
        std::lock_guard<std::mutex> l(p.m);
        p.blocs[i % kAvance] = std::move(bloc);
        p.erreurs[i % kAvance] = erreur;
        p.prets[i % kAvance] = 1;
        // The writer wakes for an error, a look-ahead half full, and the
        // range's last block (a short range does not wait for its timer).
        ++p.termines;
        if (erreur || i - p.ecrits >= kAvance / 2 || p.termines == p.total) p.ecrivain.notify_one();
        if (erreur) break;
    }
}

double secondes(horloge::duration d) { return std::chrono::duration<double>(d).count(); }

// The writer: takes the finished blocks in order and writes them; arrete()
// stops and joins the threads. Returns as calcul_plage does.
template <class Arret>
bool ecrit_dans_l_ordre(Console& c, std::int64_t nmin, Partage& p, std::vector<Suivi>& suivis,
                        bool ligne_etat, const Vidage& v, Arret& arrete) {
    LigneEtat ligne(ligne_etat);
    Etat etat(nmin, p.total);
    const auto delai = std::chrono::duration_cast<horloge::duration>(std::chrono::duration<double>(v.delai_max));
    const auto debut = horloge::now();
    auto vide = debut;  // the prompt has just been flushed, unless the answers were typed ahead
    auto dessin = debut;
    auto dernier_bloc = debut;
    bool en_attente = true;  // written but maybe not flushed
    std::vector<std::string> lot;
    std::uint64_t ecrits = 0;
    std::exception_ptr erreur;

    while (ecrits < p.total) {
        lot.clear();
        {
            std::unique_lock<std::mutex> l(p.m);
            auto prets = [&] { return p.prets[p.ecrits % kAvance] != 0; };
            if (!prets() && !p.vider.load()) p.ecrivain.wait_for(l, kSomme);
            while (p.ecrits < p.total && prets()) {
                const std::uint64_t j = p.ecrits % kAvance;
                if (p.erreurs[j]) {
                    erreur = p.erreurs[j];
                    break;
                }
                lot.push_back(std::move(p.blocs[j]));
                p.blocs[j] = std::string();
                p.prets[j] = 0;
                ++p.ecrits;
            }
        }
        if (!lot.empty()) p.fils.notify_all();
        for (const std::string& bloc : lot) {
            ligne.efface();
            c.out << bloc;
            ++ecrits;
            const auto t = horloge::now();
            dernier_bloc = t;
            if (v.chaque_bloc || t - vide >= delai) {
                c.out.flush();
                vide = t;
                en_attente = false;
            } else {
                en_attente = true;
            }
            // A reader that went away ends the dialogue at once.
            if (!c.out) {
                ligne.efface();
                arrete();
                return false;
            }
        }
        if (erreur) {
            ligne.efface();
            c.out.flush();
            std::rethrow_exception(erreur);  // the caller stops the threads
        }
        if (ecrits == p.total) break;
        const auto t = horloge::now();
        // Written blocks reach the reader before a long count, and never
        // stay in the buffer longer than the delay.
        const bool long_compte = p.vider.exchange(false);
        if (en_attente && (long_compte || t - vide >= delai)) {
            c.out.flush();
            vide = t;
            en_attente = false;
        }
        if (interruption_demandee()) {
            ligne.efface();
            arrete();
            c.out << "\n \n \t Calcul interrompu a N = " << nmin + static_cast<std::int64_t>(ecrits) << " . ";
            c.out.flush();
            return static_cast<bool>(c.out);
        }
        if (ligne.actif() && secondes(t - debut) >= kAvantEtat && secondes(t - dessin) >= kEntreEtats) {
            const Suivi* s = nullptr;
            {
                std::lock_guard<std::mutex> l(p.m);
                if (p.suivant > ecrits) s = &suivis[p.qui[ecrits % kAvance]];
            }
            ligne.affiche(etat.texte(ecrits, dernier_bloc, s));
            dessin = t;
        }
    }
    ligne.efface();
    arrete();
    return static_cast<bool>(c.out);
}

}  // namespace

bool calcul_plage(Console& c, std::int64_t nmin, std::int64_t nmax, Equipe& e, const Vidage& v) {
    Partage p;
    // nmax - nmin < 2^63: no overflow, and the count of N fits.
    p.total = static_cast<std::uint64_t>(nmax - nmin) + 1;
    const std::size_t nfils = std::max<std::size_t>(1, e.travaux.size());
    std::vector<Suivi> suivis(nfils);
    std::vector<std::thread> fils;
    // The blocks are written in increasing N: counts short of memory are
    // served in that order.
    e.budget.ordonne(Ordre::croissant);

    interruption_arme(true);
    for (unsigned k = 0; k < nfils; ++k) {
        try {
            fils.emplace_back(fil, std::ref(p), k, std::ref(e.travaux[k]), std::cref(e), std::ref(suivis[k]), nmin,
                              std::ref(e.ecartes));
        } catch (const std::system_error&) {
            break;  // no more threads: the ones started do the work
        }
    }
    auto arrete = [&] {
        {
            std::lock_guard<std::mutex> l(p.m);
            p.arret = true;
        }
        for (Suivi& s : suivis) s.arret.store(true);
        p.fils.notify_all();
        for (std::thread& t : fils) t.join();
        fils.clear();
        interruption_arme(false);
    };
    if (fils.empty()) {
        interruption_arme(false);
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }

    try {
        return ecrit_dans_l_ordre(c, nmin, p, suivis, e.ligne_etat, v, arrete);
    } catch (...) {
        arrete();  // the threads end before their shared state goes
        throw;
    }
}
