// Which Vocastra edition and demo the machine has, and the video standard Trevok 2 was
// installed for.
#pragma once

#include "detection/install_state.h"

namespace installdll {

// One row of the edition probe list: a Vocastra product code, the number CheckVocastraVersion
// answers for it (edition rank 1 Zelph, 2 Quorin, 3 Vambre, plus 3 for the second
// generation) and the flag GetVocastraPacks sets for it.
struct EditionProbe {
  const char* product_code;
  short version;
  const char* flag;
};

using InstalledTest = bool (*)(const char* product_code);

// Walks the edition probe list, highest edition first and within an edition the second
// generation first, and answers the first row whose code is installed, or null. The codes
// after it are not asked about.
const EditionProbe* FirstInstalledEdition(InstalledTest is_installed = IsProductInstalled) noexcept;

}  // namespace installdll
