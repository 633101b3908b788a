// Writes a seeded problem as a problem file to the standard output, for the benchmarks
// that run the programs themselves and for trying the window by hand:
//   problema_sembrado N M Q [grande]
// "grande" gives the problem of any Q whose ideal consumptions stay within 32 bits.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "soporte/ProblemaSembrado.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "uso: problema_sembrado N M Q [grande]\n");
        return 2;
    }
    const int32_t n = std::atoi(argv[1]), m = std::atoi(argv[2]), q = std::atoi(argv[3]);
    const bool grande = argc > 4 && std::strcmp(argv[4], "grande") == 0;
    const auto lineas = grande ? tavelorin::bench::ProblemaSembradoGrande(n, m, q) : tavelorin::bench::ProblemaSembrado(n, m, q);
    for (const auto& l : lineas) std::printf("%s\r\n", l.c_str());
    return 0;
}
