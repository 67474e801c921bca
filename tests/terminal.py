#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The built program at a terminal (a pseudo-terminal): the command line, the
# status line of a long count on standard error only when that is a
# terminal that moves its cursor, never wider than the terminal, and Ctrl-C
# during a range back to the question, blocks kept, even at a terminal that
# reads slowly.
# Usage: terminal.py path/to/sommes-diviseurs
import fcntl, os, pty, re, select, signal, struct, subprocess, sys, termios, time

prog, echecs = sys.argv[1], []


def verifie(ok, message):
    if not ok:
        echecs.append(message)
        print("ECHEC:", message)


def lit(fd, fin, delai):  # reads fd until fin appears or delai seconds pass
    vu, limite = b"", time.monotonic() + delai
    while fin not in vu and time.monotonic() < limite:
        if select.select([fd], [], [], 0.1)[0]:
            try:
                vu += os.read(fd, 65536)
            except OSError:
                break
    return vu


for args, statut, texte in ((["--help"], 0, b"man sommes-diviseurs"), (["-h"], 0, b"Usage"),
                            (["--version"], 0, b"sommes-diviseurs 1."), (["-x"], 2, b""),
                            (["--help", "5"], 2, b""), (["10"], 2, b""),
                            # A range without the dialogue: its bounds as the dialogue takes them.
                            (["1", "6"], 0, b"6\tparfait\t3\t6\t\n"), (["5", "3"], 2, b""), (["0", "5"], 2, b""),
                            (["1", "x"], 2, b""), (["-1", "5"], 2, b""), (["1", "2", "3"], 2, b""),
                            (["9223372036854775808", "9223372036854775808"], 2, b""), (["--limite"], 2, b""),
                            (["--limite", "-1", "1", "2"], 2, b""), (["--memoire", "5", "1", "2"], 2, b""),
                            (["--blocs", "12", "12"], 0, b"12  :  2  Solutions"),
                            # Bounds in decimal digits, leading zeros as in the dialogue; options
                            # before or after them; seconds of --limite in decimal only.
                            (["05", "06", "--sans-entete"], 0, b"5\tdeficient\t1\t1\t\n6\tparfait"),
                            ([" 1", "6"], 2, b""), (["--limite", "0x10", "1", "2"], 2, b""),
                            (["--limite", "1e3", "1", "2"], 2, b""), (["--limite", "inf", "1", "2"], 2, b""),
                            (["--limite", "0.5", "--sans-entete", "6", "6"], 0, b"6\tparfait"),
                            # The decisions: --temoin goes with --classes, which is written in columns.
                            (["--temoin", "1", "12"], 2, b""), (["--classes", "--blocs", "1", "12"], 2, b""),
                            (["--classes", "--temoin", "12", "12"], 0, b"12\tabondant\t5\t16\tsemiparfait\t6+4+2\n"),
                            (["--primitifs", "--sans-entete", "70", "836"], 0, b"70\tabondant\t7\t74\t0\n836\t")):
    r = subprocess.run([prog] + args, capture_output=True, stdin=subprocess.DEVNULL)
    verifie(r.returncode == statut and texte in r.stdout and bool(r.stdout) == (statut == 0)
            and r.stderr.count(b"\n") == (statut == 2), f"{args}: {r.returncode} {r.stdout[:50]!r} {r.stderr!r}")

# A count that does not end (1102701600: see doc/): the status line after about a second, drawn
# in place on a terminal, nothing at all when standard error is a pipe.
maitre, esclave = pty.openpty()
for terminal in (True, False):
    p = subprocess.Popen([prog], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                         stderr=esclave if terminal else subprocess.PIPE)
    p.stdin.write(b"1102701600 1102701600 0")
    p.stdin.close()
    vu = lit(maitre if terminal else p.stderr.fileno(), b"\033[K", 4 if terminal else 2)
    p.kill()
    p.wait()
    verifie((b"N = 1102701600" in vu and b"\r" in vu and b"%" in vu) == terminal, f"ligne d'etat: {vu!r}")

def erreur_sur_pty(entree, term, fin, delai):  # what the program writes on a pty as stderr
    p = subprocess.Popen([prog], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=esclave,
                         env=dict(os.environ, TERM=term))
    p.stdin.write(entree)
    p.stdin.close()
    vu = lit(maitre, fin, delai)
    p.kill()
    p.wait()
    return vu


# A range held by that count: the range's own progress beside it.
vu = erreur_sur_pty(b"1102701596 1102701605 0", "xterm", b" N/s", 4)
verifie(b"4 / 10 N, " in vu, f"avancement de l'intervalle: {vu[-200:]!r}")

# TERM=dumb: a terminal that moves no cursor gets no status line at all.
vu = erreur_sur_pty(b"1102701600 1102701600 0", "dumb", b"\033", 2.5)
verifie(vu == b"", f"TERM=dumb: {vu!r}")

# Ctrl-C during the range: the blocks written stay, the calculation stops at
# the long count, the question comes back; Ctrl-C at the question ends the
# program by SIGINT.
# On a terminal of 40 columns: each drawing of the status line is at most
# 39 columns and leaves the cursor at its start (the echoed ^C never wraps);
# the line is cleared, with all below the last block, before the message.
os.environ["SOMMES_DIVISEURS_FILS"] = "2"
os.environ.setdefault("TERM", "xterm")
pid, fd = pty.fork()
if pid == 0:
    os.execv(prog, [prog])
fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", 24, 40, 0, 0))
os.write(fd, b"1102701596 1102701605\n")
vu = lit(fd, b"1102701599  est deficient", 10)
time.sleep(1.5)
os.kill(pid, signal.SIGINT)
vu += lit(fd, b"Nouveau calcul", 5)
for attendu in (b"1102701596  est", b"1102701599  est", b"Calcul interrompu a N = 1102701600 .", b"Nouveau calcul"):
    verifie(attendu in vu, f"interruption: {attendu!r} manque")
verifie(b"1102701601  est" not in vu, "interruption: un bloc apres N a ete ecrit")
dessins = re.findall(rb"\r(  N = [^\r\033]*)\033\[K\r", vu)
verifie(dessins and all(len(d) <= 39 for d in dessins), f"ligne d'etat sur 40 colonnes: {dessins!r}")
fin = vu.rfind(b"Calcul interrompu")
verifie(vu.rfind(b"\0338\033[J", 0, fin) > vu.rfind(b"\033[K\r", 0, fin), "ligne d'etat non effacee avant le message")
os.kill(pid, signal.SIGINT)
etat = os.waitpid(pid, 0)[1]
verifie(os.WIFSIGNALED(etat) and os.WTERMSIG(etat) == signal.SIGINT, f"Ctrl-C a la question: {etat}")

# Ctrl-C typed at a terminal that reads slowly (512 bytes every 10 ms): the
# terminal drops what it had not shown, and the program writes at most a
# few more blocks before the message, instead of all those computed ahead.
pid, fd = pty.fork()
if pid == 0:
    os.execv(prog, [prog])
os.write(fd, b"1 100000000\n")
vu, debut = b"", time.monotonic()
while time.monotonic() - debut < 1.5:
    if select.select([fd], [], [], 0.1)[0]:
        vu += os.read(fd, 512)
    time.sleep(0.01)
os.write(fd, b"\x03")
apres, debut = b"", time.monotonic()
while b"Nouveau calcul" not in apres and time.monotonic() - debut < 20:
    if select.select([fd], [], [], 0.1)[0]:
        try:
            apres += os.read(fd, 512)
        except OSError:
            break
    time.sleep(0.01)
blocs = len(re.findall(rb"  (?:est|:  )", apres[:apres.find(b"Calcul interrompu")]))
verifie(b"Calcul interrompu" in apres and blocs <= 100, f"Ctrl-C au terminal lent: {blocs} blocs apres")
os.kill(pid, signal.SIGKILL)
os.waitpid(pid, 0)

print("terminal: tout est conforme" if not echecs else f"terminal: {len(echecs)} echecs")
sys.exit(1 if echecs else 0)
