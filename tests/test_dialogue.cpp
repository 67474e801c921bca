#include <gtest/gtest.h>
#include <sstream>
#include "boucle.hpp"
#include "premiers.hpp"
TEST(Dialogue, Smoke) {
    std::istringstream in("5 6 0");
    std::ostringstream out;
    Travail w; amorce(w);
    EXPECT_EQ(dialogue(in, out, w, Vidage{}), 1);
    std::cout << out.str() << "|\n";
}
