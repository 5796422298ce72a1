#include "ProcessEnd.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

void EndProcess(int status) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}
