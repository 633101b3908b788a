// One road of a solve, run a given number of times, for counting instructions with
// callgrind (a figure the machine's load does not change):
//   valgrind --tool=callgrind instrucciones_secuenciar compacta|completa Q VECES
// The count of VECES = 3 minus that of VECES = 1, halved, is one solve.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/LineasInforme.h"
#include "core/Secuenciador.h"
#include "soporte/ProblemaSembrado.h"
#include "soporte/TablaCompleta.h"

using namespace tavelorin;

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "uso: instrucciones_secuenciar compacta|completa Q VECES\n");
        return 2;
    }
    const bool compacta = std::strcmp(argv[1], "compacta") == 0;
    const int32_t q = std::atoi(argv[2]);
    const int veces = std::atoi(argv[3]);
    const std::vector<std::string> problema = bench::ProblemaSembrado(10, 20, q);
    size_t total = 0;
    for (int v = 0; v < veces; ++v) {
        EstadoSecuenciador e;
        if (compacta) {
            SecuenciarTabla(e, problema);
            const LineasInforme lineas(e.TablaSolucion, ".");
            total += static_cast<size_t>(lineas.Cantidad());
        } else {
            total += completa::SecuenciarCompleto(e, problema, ".").informe.size();
        }
    }
    std::printf("%zu\n", total);
    return 0;
}
