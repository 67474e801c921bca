// SPDX-License-Identifier: GPL-3.0-or-later
// The number of computing threads: the processors the program may run on,
// unless the setting says otherwise.
#include <gtest/gtest.h>
#include <sched.h>

#include "arguments.hpp"

TEST(Arguments, FilsSelonLesProcesseursPermis) {
    // As taskset -c 0 would: one processor allowed, one computing thread;
    // the setting still wins.
    cpu_set_t avant, un;
    ASSERT_EQ(sched_getaffinity(0, sizeof avant, &avant), 0);
    int premier = 0;
    while (!CPU_ISSET(premier, &avant)) ++premier;
    CPU_ZERO(&un);
    CPU_SET(premier, &un);
    ASSERT_EQ(sched_setaffinity(0, sizeof un, &un), 0);
    const unsigned seul = nombre_de_fils(nullptr);
    const unsigned regle = nombre_de_fils("3");
    sched_setaffinity(0, sizeof avant, &avant);
    EXPECT_EQ(seul, 1u);
    EXPECT_EQ(regle, 3u);
    EXPECT_EQ(nombre_de_fils(nullptr), static_cast<unsigned>(CPU_COUNT(&avant)));
}
