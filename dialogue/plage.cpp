// SPDX-License-Identifier: GPL-3.0-or-later
// The workers of a range and its ordered writer. The workers take the N in
// pieces: one N at a time in the dialogue, runs of N factored together by
// the sieve without it. The calling thread writes: it takes the finished
// pieces in order, waking every few milliseconds (or
// when the look-ahead is half full, when a count estimated long starts, or
// at the range's last block), and meanwhile draws the status line and
// watches for Ctrl-C.
#include "plage.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "avancement.hpp"
#include "calcul.hpp"
#include "contexte.hpp"
#include "crible.hpp"
#include "etat.hpp"
#include "interruption.hpp"
#include "moteur.hpp"
#include "sortie.hpp"
#include "suivi.hpp"

namespace {

using horloge = std::chrono::steady_clock;

// N computed ahead of the last one written, at most.
constexpr std::uint64_t kAvance = 4096;
// N per piece of a range factored by the sieve.
constexpr std::uint64_t kMorceau = 256;
// Longest sleep of the writer.
constexpr auto kSomme = std::chrono::milliseconds(5);
// Status line: first drawn after, and redrawn at most every.
constexpr double kAvantEtat = 1.0;
constexpr double kEntreEtats = 0.25;

// One piece of the look-ahead, at its index modulo the look-ahead.
struct Case {
    std::string bloc;           // the blocks of its N
    std::uint64_t faits = 0;    // N whose block is there
    bool pret = false;          // computed, not yet taken by the writer
    std::exception_ptr erreur;  // the count of the N after the last done failed
    unsigned fil = 0;           // the thread computing it
};

// What the workers of a range and its writer share.
struct Partage {
    Partage(std::int64_t n, std::uint64_t t, Budget& b, const Rendu& r, std::size_t fils)
        : nmin(n),
          total(t),
          taille(r.crible ? kMorceau : 1),
          morceaux((t - 1) / taille + 1),
          avance(std::max<std::uint64_t>(kAvance / taille, 4)),
          budget(b),
          rendu(r),
          suivis(fils) {}

    const std::int64_t nmin;
    const std::uint64_t total;     // number of N in the range
    const std::uint64_t taille;    // N per piece
    const std::uint64_t morceaux;  // pieces in the range
    const std::uint64_t avance;    // pieces computed ahead of the writer, at most
    Budget& budget;
    const Rendu& rendu;
    std::vector<Suivi> suivis;  // the progress of each thread's count

    std::mutex m;
    std::condition_variable fils;      // workers wait for room or the end
    std::condition_variable ecrivain;  // the writer waits for blocks
    std::uint64_t suivant = 0;         // next piece handed out
    std::uint64_t ecrits = 0;          // pieces taken by the writer
    std::uint64_t termines = 0;        // pieces computed
    bool arret = false;
    std::vector<Case> cases = std::vector<Case>(avance);
    std::atomic<bool> vider{false};    // a block starts a long count
    std::atomic<bool> ecartes{false};  // some count was left out
    std::atomic<int> libres{0};        // threads with nothing left to do, free to help a count
    std::mutex m_conseils;             // one line of advice at a time
    // Per thread, the last N whose advice was said.
    std::vector<std::atomic<std::int64_t>> dits = std::vector<std::atomic<std::int64_t>>(suivis.size());
};

// The advice of the count of N on thread id, once: as soon as the writer
// sees it (a count of hours says it at its start), or when it ends.
void dit_conseil(Partage& p, unsigned id, std::int64_t N) {
    const Suivi& s = p.suivis[id];
    const std::uint64_t mio = s.conseil_mio.load();
    if (!mio) return;
    // Said: in batch mode every advice, in the dialogue the counts that the
    // limits of the process slow down.
    const std::uint64_t limite = s.conseil_limite_mio.load();
    std::ostream* const dire = limite ? p.rendu.limites : p.rendu.conseils;
    if (!dire || p.dits[id].exchange(N) == N) return;
    const std::string l = "sommes-diviseurs : N = " + std::to_string(N) + " : " +
                          texte_conseil(mio, s.conseil_ns.load() * 1e-9, limite) + "\n";
    std::lock_guard<std::mutex> verrou(p.m_conseils);
    *dire << l << std::flush;
}

// The thread id's work: the next piece free, each of its N computed in w
// and rendered, until the range ends, the writer stops it, or a count fails.
void fil(Partage& p, unsigned id, Travail& w) {
    Suivi& s = p.suivis[id];
    Contexte ctx(p.budget, &s);
    // A decision is never left out.
    if (p.rendu.question == Question::compte) ctx.limite = p.rendu.limite;
    // Before a long count the writer flushes what it has written already.
    ctx.avant_long = [&p] {
        p.vider.store(true);
        p.ecrivain.notify_one();
    };
    // A count's helper is one of the threads of the range, free.
    ctx.libres = &p.libres;
    Moteur moteur(ctx);
    std::optional<Crible> crible;
    if (p.rendu.crible) crible.emplace(p.nmin + static_cast<std::int64_t>(p.total - 1));
    std::ostringstream out;
    for (;;) {
        std::uint64_t i;
        {
            std::unique_lock<std::mutex> l(p.m);
            const auto pret = [&p] { return p.arret || p.suivant >= p.morceaux || p.suivant < p.ecrits + p.avance; };
            if (!pret()) {
                // Nothing to do until the writer moves on: the buffers kept
                // for the next count go back to the budget, for the count
                // that holds the writer up.
                l.unlock();
                moteur.libere();
                l.lock();
                p.fils.wait(l, pret);
            }
            if (p.arret || p.suivant >= p.morceaux) {
                // Nothing left: this thread may help the counts still running.
                if (!p.arret) p.libres.fetch_add(1);
                break;
            }
            i = p.suivant++;
            p.cases[i % p.avance].fil = id;
        }
        const std::uint64_t premier = i * p.taille;
        const std::uint64_t n = std::min(p.taille, p.total - premier);
        const std::int64_t debut = p.nmin + static_cast<std::int64_t>(premier);
        if (crible) crible->factorise(debut, n);
        out.str(std::string());
        std::uint64_t faits = 0;
        std::exception_ptr erreur;
        bool interrompu = false;
        for (; faits < n; ++faits) {
            const std::int64_t N = debut + static_cast<std::int64_t>(faits);
            s.prevu.store(0);
            s.fait.store(0);
            s.conseil_mio.store(0);
            s.conseil_limite_mio.store(0);
            s.N.store(N);
            // Its place in the order of the range: the budget serves the
            // smallest N first.
            ctx.commence(static_cast<std::uint64_t>(N));
            try {
                const Resultat r = crible ? evalue(w, moteur, N, crible->facteurs(faits), p.rendu.question)
                                          : evalue(w, moteur, N, p.rendu.question);
                if (r.ecarte) p.ecartes = true;
                dit_conseil(p, id, N);
                if (garde(r, p.rendu.filtre)) {
                    if (p.rendu.decisions)
                        ligne_decision(r, out, p.rendu.question == Question::temoin);
                    else if (p.rendu.colonnes)
                        ligne(r, out);
                    else
                        bloc(r, out);
                }
            } catch (const Interruption&) {
                interrompu = true;
            } catch (...) {
                erreur = std::current_exception();
            }
            ctx.termine();  // between counts: no other count waits behind this one
            s.N.store(0);
            if (interrompu || erreur) break;
        }
        if (interrompu) break;
        std::lock_guard<std::mutex> l(p.m);
        Case& c = p.cases[i % p.avance];
        c.bloc = out.str();
        c.faits = faits;
        c.erreur = erreur;
        c.pret = true;
        // The writer wakes for an error, a look-ahead half full, and the
        // range's last piece (a short range does not wait for its timer).
        ++p.termines;
        if (erreur || i - p.ecrits >= p.avance / 2 || p.termines == p.morceaux) p.ecrivain.notify_one();
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
            // The blocks before a failed count are written before it is
            // reported.
            if (!ecrit_lot()) {
                ligne_.efface();
                arrete(p_, e_);
                return fin(false);
            }
            termine_si_signal();
            if (erreur) {
                ligne_.efface();
                out_.flush();
                // The caller stops the workers.
                throw EchecCompte(p_.nmin + static_cast<std::int64_t>(bilan_.ecrits));
            }
            if (bilan_.ecrits == p_.total) break;
            const auto t = horloge::now();
            // Written blocks reach the reader before a long count, and never
            // stay in the buffer longer than the delay.
            const bool long_compte = p_.vider.exchange(false);
            if (en_attente_ && (long_compte || t - vide_ >= delai_)) vide(t);
            termine_si_signal();
            // The advice of the counts running, as soon as they have one.
            for (unsigned id = 0; id < p_.suivis.size(); ++id)
                if (const std::int64_t N = p_.suivis[id].N.load()) dit_conseil(p_, id, N);
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
    // Takes into lot_ the pieces ready in order, after waiting a little when
    // none is; returns the error of a piece whose count failed, after taking
    // the blocks before it.
    std::exception_ptr prend() {
        lot_.clear();
        std::unique_lock<std::mutex> l(p_.m);
        auto pret = [&] { return p_.cases[p_.ecrits % p_.avance].pret; };
        if (!pret() && !p_.vider.load()) p_.ecrivain.wait_for(l, kSomme);
        while (p_.ecrits < p_.morceaux && pret()) {
            Case& c = p_.cases[p_.ecrits % p_.avance];
            lot_.emplace_back(std::move(c.bloc), c.faits);
            if (c.erreur) return c.erreur;
            c.bloc = std::string();
            c.pret = false;
            ++p_.ecrits;
        }
        return nullptr;
    }

    // Writes lot_, flushing after each block or when the delay has passed;
    // false as soon as out fails (a reader that went away ends it at once).
    // Ctrl-C or a signal stops it between two blocks: at a terminal that
    // reads slowly, the blocks already computed are not all waited for.
    bool ecrit_lot() {
        auto* const sortie = dynamic_cast<SortieFd*>(out_.rdbuf());
        for (const auto& [b, faits] : lot_) {
            if (interruption_demandee() || fin_demandee()) break;
            ligne_.efface();
            out_ << b;
            // Standard output is written in whole blocks, up to the last one.
            if (sortie) sortie->marque();
            bilan_.ecrits += faits;
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

    // A signal that ends the program: the workers stopped, the blocks
    // complete written, then the signal's own end.
    void termine_si_signal() {
        const int sig = fin_demandee();
        if (sig == 0) return;
        ligne_.efface();
        arrete(p_, e_);
        out_.flush();
        termine_par(sig);
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
            if (p_.suivant > p_.ecrits) s = &p_.suivis[p_.cases[p_.ecrits % p_.avance].fil];
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
    bool en_attente_ = true;                                  // written but maybe not flushed
    std::vector<std::pair<std::string, std::uint64_t>> lot_;  // blocks of pieces, and their N
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
