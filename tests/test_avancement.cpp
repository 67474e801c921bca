// SPDX-License-Identifier: GPL-3.0-or-later
// What the status line says of a count that more memory would speed up: the
// advice beside the count's own progress, and its wording.
#include <gtest/gtest.h>

#include <string>

#include "avancement.hpp"
#include "etat.hpp"

TEST(Avancement, ConseilDeMemoire) {
    EXPECT_EQ(texte_conseil(1500, 90), "avec --memoire 1500 : 1 min 30 s environ");
    EXPECT_EQ(texte_conseil(128, 0.24), "avec --memoire 128 : 0,2 s environ");
    EXPECT_EQ(texte_conseil(3000, 9.96), "avec --memoire 3000 : 10 s environ");
    EXPECT_EQ(texte_conseil(1500, 4.5 * 86400), "avec --memoire 1500 : 108 h 00 min environ");
    EXPECT_EQ(texte_conseil(500, 21, 369), "avec 500 Mio : 21 s environ ; les limites du processus en laissent 369");

    // The count of N = 7 is under way with an advice: the line shows both;
    // once the advice is gone (another N), only the progress.
    Suivi s;
    s.N = 7;
    s.prevu = 100;
    s.fait = 25;
    s.conseil_mio = 1500;
    s.conseil_ns = 90e9;
    Etat etat(7, 1);
    const std::string avec = etat.texte(0, Etat::horloge::now(), &s);
    EXPECT_NE(avec.find("N = 7"), std::string::npos) << avec;
    EXPECT_NE(avec.find(" ; avec --memoire 1500 : 1 min 30 s environ"), std::string::npos) << avec;
    s.conseil_mio = 0;
    EXPECT_EQ(etat.texte(0, Etat::horloge::now(), &s).find("--memoire"), std::string::npos);
}
