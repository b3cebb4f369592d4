// The distribution disc a Vocastra setup runs from: its marker file, or the edition an
// installed Vocastra recorded.
#pragma once

#include <cstddef>

namespace installdll {

constexpr std::size_t kDiscIdCapacity = 260;

// Searches the source folder for a marker file ("DiscId" and one or two letters, ".txt"),
// first as folder + "DiscId?.txt", then as folder + "\DiscId??.txt". A pattern that does not
// fit a path with the folder is skipped. On a match, disc_id holds the file's name without
// its extension, upper-cased; otherwise it is left empty and false is returned.
bool FindMarkerDiscId(const char* source_folder, char (&disc_id)[kDiscIdCapacity]) noexcept;

// The disc identifier of a recorded edition identifier, compared exactly; "" for none.
const char* DiscIdForEdition(const char* edition_id) noexcept;

}  // namespace installdll
