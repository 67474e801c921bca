// SPDX-License-Identifier: GPL-3.0-or-later
// Validated keyboard input: writes a prompt, reads one whitespace-delimited
// token, and asks again until the token is a valid answer.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>

// The console: the streams the dialogue reads and writes, the prompt buffer
// and the values accepted by the last prompts.
struct Console {
    Console(std::istream& i, std::ostream& o) : in(i), out(o) {}

    std::istream& in;
    std::ostream& out;
    char message[200] = {};     // prompt handed to controle
    char entree[200] = {};      // last token read, NUL-terminated, 199 bytes at most
    std::int64_t valeur0 = 0;   // last whole number accepted (mode 9)
    std::int32_t valeur2 = 0;   // last yes/no answer accepted (mode 1)
    std::int32_t xn = 0;        // 1: mode 9 refuses the value 0
    std::int64_t valtest2 = 0;  // value of the character last classified
};

// Copies a prompt text, with its terminating zero, into c.message.
void prepare_message(Console& c, const char* texte);

// Mode 1: a yes/no answer, the single character 0 or 1, into valeur2.
// Mode 9: a whole number (optional +, no leading zero, at most
// 9223372036854775807; 0 alone only while xn is not 1) into valeur0.
// Writes the prompt before every token examined. Returns true once a token
// has passed, false when input ends or output can no longer be written.
bool controle(Console& c, int cas, const char* chaine);

// 1 when caract1 is +, - or a decimal digit, else 0. Sets valtest2 to the
// digit's value, 1 for + and -1 for -, 0 otherwise.
int valtest(Console& c, char caract1);
