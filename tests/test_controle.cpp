// Validated input: every token of the validation tables, the order in which
// tokens answer prompts, and the end of input.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "controle.hpp"

namespace {

const char* const invite = "[?]";

struct Issue {
    bool accepte;
    std::int64_t valeur;
    int invites;  // prompts written
};

int compte_invites(const std::string& sortie) {
    int n = 0;
    for (std::size_t p = sortie.find(invite); p != std::string::npos; p = sortie.find(invite, p + 1)) ++n;
    return n;
}

// Answers the prompt of mode cas with the given input.
Issue repond(const std::string& entree, int cas, int xn = 1) {
    std::istringstream in(entree);
    std::ostringstream out;
    Console c(in, out);
    c.xn = xn;
    const bool ok = controle(c, cas, invite);
    return {ok, cas == 1 ? c.valeur2 : c.valeur0, compte_invites(out.str())};
}

}  // namespace

TEST(Controle, NombresAcceptesEtRefuses) {
    struct Cas {
        const char* jeton;
        bool accepte_xn1, accepte_xn0;
        std::int64_t valeur;
    };
    const Cas cas[] = {
        {"0", false, true, 0},
        {"7", true, true, 7},
        {"+7", true, true, 7},
        {"10", true, true, 10},
        {"+10", true, true, 10},
        {"100", true, true, 100},
        {"9223372036854775807", true, true, 9223372036854775807},
        {"+", false, false, 0},
        {"-", false, false, 0},
        {"-7", false, false, 0},
        {"07", false, false, 0},
        {"00", false, false, 0},
        {"+0", false, false, 0},
        {"+07", false, false, 0},
        {"1-2", false, false, 0},
        {"1+2", false, false, 0},
        {"12+", false, false, 0},
        {"++1", false, false, 0},
        {"1a", false, false, 0},
        {"1.5", false, false, 0},
        {"1e3", false, false, 0},
        {"9223372036854775808", false, false, 0},
        {"18446744073709551617", false, false, 0},
        {"99999999999999999999999", false, false, 0},
    };
    for (const Cas& k : cas) {
        for (int xn : {1, 0}) {
            const bool accepte = xn == 1 ? k.accepte_xn1 : k.accepte_xn0;
            // A refused token is followed by 5, which the second prompt takes.
            const Issue r = repond(std::string(k.jeton) + " 5", 9, xn);
            EXPECT_TRUE(r.accepte) << k.jeton;
            EXPECT_EQ(r.valeur, accepte ? k.valeur : 5) << k.jeton << " xn=" << xn;
            EXPECT_EQ(r.invites, accepte ? 1 : 2) << k.jeton << " xn=" << xn;
        }
    }
}

TEST(Controle, OuiNon) {
    EXPECT_EQ(repond("0", 1).valeur, 0);
    EXPECT_EQ(repond("1", 1).valeur, 1);
    for (const char* jeton : {"00", "01", "10", "11", "2", "+1", "-1", "o", "n", "oui"}) {
        const Issue r = repond(std::string(jeton) + " 1", 1);
        EXPECT_EQ(r.valeur, 1) << jeton;
        EXPECT_EQ(r.invites, 2) << jeton;
    }
}

TEST(Controle, BlancsEtJetonsEnAvance) {
    EXPECT_EQ(repond(" \t\r\n\n  42\r\n", 9).valeur, 42);
    EXPECT_EQ(repond("\n\n\n\n7", 9).invites, 1);  // empty lines are no tokens
    // Three bad tokens then a good one: four prompts.
    const Issue r = repond("a b c 12 30", 9);
    EXPECT_EQ(r.valeur, 12);
    EXPECT_EQ(r.invites, 4);
    // What is not read stays for the next prompt.
    std::istringstream in("12 30");
    std::ostringstream out;
    Console c(in, out);
    c.xn = 1;
    ASSERT_TRUE(controle(c, 9, invite));
    EXPECT_EQ(c.valeur0, 12);
    ASSERT_TRUE(controle(c, 9, invite));
    EXPECT_EQ(c.valeur0, 30);
}

TEST(Controle, FinDesDonnees) {
    Issue r = repond("", 9);
    EXPECT_FALSE(r.accepte);
    EXPECT_EQ(r.invites, 1);
    r = repond("abc  \n", 9);
    EXPECT_FALSE(r.accepte);
    EXPECT_EQ(r.invites, 2);
    r = repond("   ", 1);
    EXPECT_FALSE(r.accepte);
    EXPECT_EQ(r.invites, 1);
    // A token that ends at the end of input still counts.
    r = repond("8", 9);
    EXPECT_TRUE(r.accepte);
    EXPECT_EQ(r.valeur, 8);
}

TEST(Controle, JetonsLongsEtOctetsNuls) {
    // Tokens of 199 characters and more are refused, never copied beyond
    // the buffer; the next token is taken as usual.
    for (std::size_t longueur : {199u, 200u, 201u, 5000u, 1u << 20}) {
        const Issue r = repond(std::string(longueur, '1') + " 3", 9);
        EXPECT_EQ(r.valeur, 3) << longueur;
        EXPECT_EQ(r.invites, 2) << longueur;
    }
    // A token is cut at its first NUL byte; one that begins with it is empty.
    EXPECT_EQ(repond(std::string("5\0xyz", 5), 9).valeur, 5);
    const Issue r = repond(std::string("\0" "12 4", 5), 9);
    EXPECT_EQ(r.valeur, 4);
    EXPECT_EQ(r.invites, 2);
    EXPECT_EQ(repond(std::string("1\0\xff", 3), 1).valeur, 1);
}

TEST(Controle, Valtest) {
    Console c(std::cin, std::cout);
    for (char ch = '0'; ch <= '9'; ++ch) {
        EXPECT_EQ(valtest(c, ch), 1);
        EXPECT_EQ(c.valtest2, ch - '0');
    }
    EXPECT_EQ(valtest(c, '+'), 1);
    EXPECT_EQ(c.valtest2, 1);
    EXPECT_EQ(valtest(c, '-'), 1);
    EXPECT_EQ(c.valtest2, -1);
    for (char ch : {'a', ' ', '.', '\0', '\xe9', '/', ':'}) {
        EXPECT_EQ(valtest(c, ch), 0);
        EXPECT_EQ(c.valtest2, 0);
    }
}

namespace {

// An input whose every read fails, as reading a directory does.
struct LectureImpossible : std::streambuf {
    int_type underflow() override { throw std::ios_base::failure("lecture impossible"); }
};

// An output that refuses every byte, as a pipe whose reader has gone.
struct EcritureImpossible : std::streambuf {
    int_type overflow(int_type) override { return traits_type::eof(); }
};

}  // namespace

TEST(Controle, LectureOuEcritureImpossibleFinitLeDialogue) {
    LectureImpossible illisible;
    std::istream in(&illisible);
    std::ostringstream out;
    Console c(in, out);
    EXPECT_FALSE(controle(c, 9, invite));
    EXPECT_EQ(compte_invites(out.str()), 1);

    std::istringstream donnees("x y z 5");
    EcritureImpossible plein;
    std::ostream sortie(&plein);
    Console d(donnees, sortie);
    EXPECT_FALSE(controle(d, 9, invite));
}
