// main.cpp - entry of `fir`; the run itself is fir_main. Arguments are ignored.
#include "fir/bench/fir_driver.h"

int main()
{
    return fir_main();
}
