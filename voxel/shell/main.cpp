// main.cpp - the voxel program.
#include "voxel/shell/shell.h"

int main() { return run_demo(GetModuleHandleA(NULL), SW_SHOWDEFAULT); }
