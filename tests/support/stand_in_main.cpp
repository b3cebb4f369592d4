// A process that does nothing but exist, for tests that look at the process list: copies
// of it run under the names the tests need. It ends by itself after the milliseconds given
// as its argument (two minutes without one), so that none outlives a failed test for long.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  Sleep(argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 120000);
  return 0;
}
