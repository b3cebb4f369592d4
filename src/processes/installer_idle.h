// Waiting until no other installer is busy.
#pragma once

namespace installdll {

// Whether a process list's executable name (a bare name or a full path) is that of an
// installer: its last eleven characters are "MSIEXEC.EXE" in any letter case.
bool IsInstallerProcessName(const char* executable) noexcept;

// The installer processes running now; 1 when the process list cannot be read.
unsigned CountInstallerProcesses() noexcept;

}  // namespace installdll
