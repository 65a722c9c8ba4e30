// missing_unit.cpp - the module a browser without WebAssembly's 128-bit
// vector instructions gets instead of voxel or fir (which it cannot load):
// built without them, it shows what either program shows natively when its
// vector-unit check fails, the catalogue's box in the browser's language,
// and ends with status 1.
//
//   missing_unit voxel|fir
#include <windows.h>

#include <cstring>

#include "common/checks.h"

int main(int argc, char **argv) {
    const unsigned language = select_language();
    const bool fir = argc > 1 && std::strcmp(argv[1], "fir") == 0;
    // voxel's text and caption are slots 0 and 1, fir's 4 and 5
    current_messages = fir ? fir_messages[language] : voxel_messages[language];
    const int slot = fir ? 4 : 0;
    MessageBoxA(NULL, current_messages[slot], current_messages[slot + 1], MB_OK | MB_ICONERROR);
    ExitProcess(1);
}
