// SPDX-License-Identifier: GPL-3.0-or-later
// The workers of a range and its ordered writer. The calling thread writes:
// it takes the finished blocks in order, waking every few milliseconds (or
// when the look-ahead is half full, when a count estimated long starts, or
// at the range's last block), and meanwhile draws the status line and
// watches for Ctrl-C.
#include "plage.hpp"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

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

// One N of the look-ahead, at the index of the range modulo kAvance.
struct Case {
    std::string bloc;
    bool pret = false;          // computed, not yet taken by the writer
    std::exception_ptr erreur;  // the count failed
    unsigned fil = 0;           // the thread computing it
};

// What the workers of a range and its writer share.
struct Partage {
    Partage(std::int64_t n, std::uint64_t t, Budget& b, const Rendu& r, std::size_t fils)
        : nmin(n), total(t), budget(b), rendu(r), suivis(fils) {}

    const std::int64_t nmin;
    const std::uint64_t total;  // number of N in the range
    Budget& budget;
    const Rendu& rendu;
    std::vector<Suivi> suivis;  // the progress of each thread's count

    std::mutex m;
    std::condition_variable fils;      // workers wait for room or the end
    std::condition_variable ecrivain;  // the writer waits for blocks
    std::uint64_t suivant = 0;         // next index handed out
    std::uint64_t ecrits = 0;          // blocks taken by the writer
    std::uint64_t termines = 0;        // blocks computed
    bool arret = false;
    std::vector<Case> cases = std::vector<Case>(kAvance);
    std::atomic<bool> vider{false};    // a block starts a long count
    std::atomic<bool> ecartes{false};  // some count was left out
    std::mutex m_conseils;             // one line of advice at a time
};

// The thread id's work: the next N free, computed in w and rendered, until
// the range ends, the writer stops it, or a count fails.
void fil(Partage& p, unsigned id, Travail& w) {
    Suivi& s = p.suivis[id];
    Contexte ctx(p.budget, &s);
    ctx.limite = p.rendu.limite;
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
            p.cases[i % kAvance].fil = id;
        }
        const std::int64_t N = p.nmin + static_cast<std::int64_t>(i);
        s.prevu.store(0);
        s.fait.store(0);
        s.conseil_mio.store(0);
        s.N.store(N);
        // Its place in the order of the range: the budget serves the
        // smallest N first.
        ctx.commence(static_cast<std::uint64_t>(N));
        std::string texte;
        std::exception_ptr erreur;
        try {
            const Resultat r = evalue(w, moteur, N);
            if (r.ecarte) p.ecartes = true;
            if (p.rendu.conseils && s.conseil_mio.load()) {
                const std::string l = "sommes-diviseurs : N = " + std::to_string(N) + " : " +
                                      texte_conseil(s.conseil_mio.load(), s.conseil_ns.load() * 1e-9) + "\n";
                std::lock_guard<std::mutex> verrou(p.m_conseils);
                *p.rendu.conseils << l << std::flush;
            }
            out.str(std::string());
            if (garde(r, p.rendu.filtre)) {
                if (p.rendu.colonnes)
                    ligne(r, out);
                else
                    bloc(r, out);
            }
            texte = out.str();
        } catch (const Interruption&) {
            break;
        } catch (...) {
            erreur = std::current_exception();
        }
        ctx.termine();  // between counts: no other count waits behind this one
        s.N.store(0);
        std::lock_guard<std::mutex> l(p.m);
        Case& c = p.cases[i % kAvance];
        c.bloc = std::move(texte);
        c.erreur = erreur;
        c.pret = true;
        // The writer wakes for an error, a look-ahead half full, and the
        // range's last block (a short range does not wait for its timer).
        ++p.termines;
        if (erreur || i - p.ecrits >= kAvance / 2 || p.termines == p.total) p.ecrivain.notify_one();
        if (erreur) break;
    }
}

// Stops the workers of p and waits for them; Ctrl-C ends the program again.
void arrete(Partage& p, Equipe& e) {
    {
        std::lock_guard<std::mutex> l(p.m);
        p.arret = true;
    }
    for (Suivi& s : p.suivis) s.arret.store(true);
    p.fils.notify_all();
    e.attend();
    interruption_arme(false);
}

// The writer: takes the finished blocks in order and writes them to out.
class Ecrivain {
public:
    Ecrivain(std::ostream& out, Partage& p, Equipe& e, const Vidage& v)
        : out_(out),
          p_(p),
          e_(e),
          v_(v),
          ligne_(e.ligne_etat()),
          etat_(p.nmin, p.total),
          delai_(std::chrono::duration_cast<horloge::duration>(std::chrono::duration<double>(v.delai_max))) {}

    // Until the range ends, output fails or Ctrl-C; the workers are stopped
    // when it returns. A block's error is thrown again after the blocks
    // before it, the workers still running.
    Bilan ecrit() {
        while (bilan_.ecrits < p_.total) {
            std::exception_ptr erreur = prend();
            if (!lot_.empty()) p_.fils.notify_all();
            if (!ecrit_lot()) {
                ligne_.efface();
                arrete(p_, e_);
                return fin(false);
            }
            if (erreur) {
                ligne_.efface();
                out_.flush();
                std::rethrow_exception(erreur);  // the caller stops the workers
            }
            if (bilan_.ecrits == p_.total) break;
            const auto t = horloge::now();
            // Written blocks reach the reader before a long count, and never
            // stay in the buffer longer than the delay.
            const bool long_compte = p_.vider.exchange(false);
            if (en_attente_ && (long_compte || t - vide_ >= delai_)) vide(t);
            if (interruption_demandee()) {
                ligne_.efface();
                arrete(p_, e_);
                out_ << "\n \n \t Calcul interrompu a N = " << p_.nmin + static_cast<std::int64_t>(bilan_.ecrits)
                     << " . ";
                out_.flush();
                bilan_.arrete = true;
                return fin(static_cast<bool>(out_));
            }
            dessine(t);
        }
        ligne_.efface();
        arrete(p_, e_);
        return fin(static_cast<bool>(out_));
    }

private:
    // Takes into lot_ the blocks ready in order, after waiting a little when
    // none is; returns the error of the next block when it failed.
    std::exception_ptr prend() {
        lot_.clear();
        std::unique_lock<std::mutex> l(p_.m);
        auto pret = [&] { return p_.cases[p_.ecrits % kAvance].pret; };
        if (!pret() && !p_.vider.load()) p_.ecrivain.wait_for(l, kSomme);
        while (p_.ecrits < p_.total && pret()) {
            Case& c = p_.cases[p_.ecrits % kAvance];
            if (c.erreur) return c.erreur;
            lot_.push_back(std::move(c.bloc));
            c.bloc = std::string();
            c.pret = false;
            ++p_.ecrits;
        }
        return nullptr;
    }

    // Writes lot_, flushing after each block or when the delay has passed;
    // false as soon as out fails (a reader that went away ends it at once).
    bool ecrit_lot() {
        for (const std::string& b : lot_) {
            ligne_.efface();
            out_ << b;
            ++bilan_.ecrits;
            const auto t = horloge::now();
            dernier_bloc_ = t;
            if (v_.chaque_bloc || t - vide_ >= delai_)
                vide(t);
            else
                en_attente_ = true;
            if (!out_) return false;
        }
        return true;
    }

    void vide(horloge::time_point t) {
        out_.flush();
        vide_ = t;
        en_attente_ = false;
    }

    // The status line, once the range has run a while, at most so often.
    void dessine(horloge::time_point t) {
        if (!ligne_.actif() || secondes(t - debut_) < kAvantEtat || secondes(t - dessin_) < kEntreEtats) return;
        const Suivi* s = nullptr;
        {
            std::lock_guard<std::mutex> l(p_.m);
            if (p_.suivant > bilan_.ecrits) s = &p_.suivis[p_.cases[bilan_.ecrits % kAvance].fil];
        }
        ligne_.affiche(etat_.texte(bilan_.ecrits, dernier_bloc_, s));
        dessin_ = t;
    }

    Bilan fin(bool sortie_ok) {
        bilan_.ecartes = p_.ecartes.load();
        bilan_.sortie_ok = sortie_ok;
        return bilan_;
    }

    std::ostream& out_;
    Partage& p_;
    Equipe& e_;
    const Vidage& v_;
    LigneEtat ligne_;
    Etat etat_;
    const horloge::duration delai_;
    const horloge::time_point debut_ = horloge::now();
    horloge::time_point vide_ = debut_;  // the prompt has just been flushed, unless the answers were typed ahead
    horloge::time_point dessin_ = debut_;
    horloge::time_point dernier_bloc_ = debut_;
    bool en_attente_ = true;  // written but maybe not flushed
    std::vector<std::string> lot_;
    Bilan bilan_;
};

}  // namespace

Bilan calcul_plage(std::ostream& out, std::int64_t nmin, std::int64_t nmax, Equipe& e, const Rendu& r,
                   const Vidage& v) {
    // nmax - nmin < 2^63: no overflow, and the count of N fits.
    Partage p(nmin, static_cast<std::uint64_t>(nmax - nmin) + 1, e.budget(), r, e.taille());
    // The blocks are written in increasing N: counts short of memory are
    // served in that order.
    e.budget().ordonne(Ordre::croissant);

    interruption_arme(true);
    try {
        e.lance([&p](unsigned id, Travail& w) { fil(p, id, w); });
    } catch (...) {
        interruption_arme(false);
        throw;
    }
    try {
        return Ecrivain(out, p, e, v).ecrit();
    } catch (...) {
        arrete(p, e);  // the workers end before their shared state goes
        throw;
    }
}
