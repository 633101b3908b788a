// Peak memory of one solve (n = 10, m = 20): the compact table and the index of its report
// lines, against the bytes they hold; with "completa", the square table and its whole
// report instead. Usage: memoria_secuenciar [Q] [completa]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/LineasInforme.h"
#include "core/Secuenciador.h"
#include "soporte/MemoriaProceso.h"
#include "soporte/ProblemaSembrado.h"
#include "soporte/TablaCompleta.h"

using namespace tavelorin;
using bench::EstadoBytes;
using bench::MiB;
using bench::ReiniciarPico;

int main(int argc, char** argv) {
    const int32_t q = argc > 1 ? std::atoi(argv[1]) : 5000;
    const bool cuadrada = argc > 2 && std::strcmp(argv[2], "completa") == 0;
    const int32_t n = 10, m = 20;
    const std::vector<std::string> problema = bench::ProblemaSembrado(n, m, q);

    const long long base = EstadoBytes("VmRSS");
    const bool reiniciado = ReiniciarPico();

    EstadoSecuenciador estado;
    long long datos = 0;
    if (cuadrada) {
        const Solucion s = completa::SecuenciarCompleto(estado, problema, ",");
        datos = static_cast<long long>(bench::BytesTabla(n, m, q) + bench::BytesTexto(s.informe) + bench::BytesTexto(s.secuencia));
    } else {
        SecuenciarTabla(estado, problema);
        const LineasInforme lineas(estado.TablaSolucion, ",");
        // What the compact table stores, and the index of the lines.
        const long long anchoConsumo = estado.TablaSolucion.datos->consumos32 != nullptr ? 4 : 8;
        datos = static_cast<long long>(q) * (4 + 8 * n + anchoConsumo * m) + (q / TablaEtapas::kPasoUnidades + 1) * 4LL * n +
                static_cast<long long>(lineas.LargoMedio(q) + 2LL * q + 8LL * (q + 1));
    }
    const long long pico = EstadoBytes("VmHWM");
    if (estado.Q != q) {
        std::fprintf(stderr, "seeded problem: demands add up to %d, not %d\n", estado.Q, q);
        return 1;
    }
    const long long usado = pico - base;
    std::printf("Q = %d, n = %d, m = %d: %s\n", q, n, m,
                cuadrada ? "square table and whole report" : "compact table and line index");
    std::printf("data held          %12lld  (%.1f MiB)\n", datos, MiB(datos));
    std::printf("RSS before run     %12lld  (%.1f MiB)%s\n", base, MiB(base),
                reiniciado ? "" : "  [VmHWM could not be reset: peak may predate the run]");
    std::printf("peak RSS (VmHWM)   %12lld  (%.1f MiB)\n", pico, MiB(pico));
    std::printf("peak - before      %12lld  (%.1f MiB)\n", usado, MiB(usado));
    std::printf("(peak - before) / data = %.3f\n", static_cast<double>(usado) / static_cast<double>(datos));
    return 0;
}
