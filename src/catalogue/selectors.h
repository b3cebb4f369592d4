// Selector dispatch: an action that serves several products compares the application
// selector with its own table, in the table's order, without regard to case.
#pragma once

#include <cstddef>

#include "frame/strings.h"

namespace installdll {

// The first entry of table whose `selector` member equals selector; null when none does
// (the empty selector included).
template <class Entry, std::size_t N>
const Entry* FindSelected(const Entry (&table)[N], const char* selector) noexcept {
  for (const Entry& entry : table) {
    if (EqualsIgnoreCase(selector, entry.selector)) {
      return &entry;
    }
  }
  return nullptr;
}

}  // namespace installdll
