// SPDX-License-Identifier: GPL-3.0-or-later
// The memory a process may really take: its address-space limit less what it
// maps already, its control group's limit less what the group uses, and the
// machine's memory. The budget of the counts is drawn from it.
#pragma once

#include <cstddef>

// The smallest of voulu and of what the limits leave, once fils computing
// threads have their stacks and a margin is kept for everything but the
// counting tables.
std::size_t budget_permis(std::size_t voulu, unsigned fils);

// Budgets below this hold the tables of one count at a time only.
constexpr std::size_t kBudgetDeuxFils = std::size_t{256} << 20;
