// The maker's product catalogue: application selectors, product codes, edition
// identifiers, main-window classes, registry keys and host names. The configured values
// (PC_..., EDITION_ID_..., WC_..., the hosts) come from the build.
#pragma once

#include "catalogue_config.h"

namespace installdll {

// Values of the installer property "KQAPPLICATION", compared case-insensitively.
inline constexpr char CLA_VOCASTRA[] = "CLA_VOCASTRA";
inline constexpr char CLA_QUIBBET[] = "CLA_QUIBBET";
inline constexpr char CLA_TREVOK_KEY[] = "CLA_TREVOK_KEY";
inline constexpr char CLA_TREVOK_2[] = "CLA_TREVOK_2";
inline constexpr char CLA_PELLORIG[] = "CLA_PELLORIG";
inline constexpr char CLA_PELLORIG_EXPRESS[] = "CLA_PELLORIG_EXPRESS";
inline constexpr char CLA_PELLORIG_HD[] = "CLA_PELLORIG_HD";
inline constexpr char CLA_SALVETTA[] = "CLA_SALVETTA";
inline constexpr char CLA_SALVETTA_PLAYER[] = "CLA_SALVETTA_PLAYER";

inline constexpr char kApplicationProperty[] = "KQAPPLICATION";

// Product keys below HKEY_LOCAL_MACHINE; the library only reads them.
inline constexpr char kVocastraKey[] = "SOFTWARE\\Kestrane\\Vocastra";
inline constexpr char kTrevokKey[] = "SOFTWARE\\Kestrane\\Trevok Key";
inline constexpr char kTrevokDemoKey[] = "SOFTWARE\\Kestrane\\TREVOK Demo";
inline constexpr char kQuibbetKey[] = "SOFTWARE\\Kestrane\\Quibbet";

}  // namespace installdll
