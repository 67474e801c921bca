// SPDX-License-Identifier: GPL-3.0-or-later
// Ctrl-C during a calculation: the first one asks the calculation to stop and
// the dialogue goes back to its question; at a question, or a second time
// within a second, Ctrl-C ends the program as it always has (SIGINT). And
// the signals that end the program (SIGTERM, SIGHUP, SIGINT without the
// dialogue at a terminal): during a calculation, the blocks complete are
// written first.
#pragma once

// Installs the SIGINT handler (for standard input on a terminal). Without
// it, Ctrl-C always ends the program.
void interruption_installe();

// A calculation starts (true) or ends (false). Only in between does Ctrl-C
// ask it to stop instead of ending the program. Starting clears the request.
void interruption_arme(bool calcul);

// True once Ctrl-C has asked the running calculation to stop.
bool interruption_demandee();

// Installs the handlers of SIGTERM and SIGHUP, and of SIGINT too unless
// interruption_installe has. Outside a calculation they end the program at
// once; during one they ask it to stop.
void fins_installe(bool sigint);

// The signal that asked the running calculation to stop, 0 if none.
int fin_demandee();

// Ends the program by signal sig, as without the handler.
[[noreturn]] void termine_par(int sig);
