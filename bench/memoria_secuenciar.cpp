// Peak memory of one run at Q = 5000 (n = 10, m = 20), against the bytes the table and
// the report text hold. Usage: memoria_secuenciar [Q]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "soporte/ProblemaSembrado.h"
#include "core/Secuenciador.h"

using namespace tavelorin;

namespace {

// A line "Clave:   123 kB" of /proc/self/status, in bytes; -1 when missing.
long long EstadoKiB(const char* clave) {
    std::ifstream f("/proc/self/status");
    std::string linea;
    const std::string prefijo = std::string(clave) + ":";
    while (std::getline(f, linea))
        if (linea.rfind(prefijo, 0) == 0) return std::atoll(linea.c_str() + prefijo.size()) * 1024;
    return -1;
}

// Writing 5 to clear_refs resets VmHWM to the current RSS (Linux 4.0 on).
bool ReiniciarPico() {
    std::ofstream f("/proc/self/clear_refs");
    if (!f) return false;
    f << "5";
    f.flush();
    return static_cast<bool>(f);
}

double MiB(long long b) { return static_cast<double>(b) / (1024.0 * 1024.0); }

}  // namespace

int main(int argc, char** argv) {
    const int32_t q = argc > 1 ? std::atoi(argv[1]) : 5000;
    const int32_t n = 10, m = 20;
    const std::vector<std::string> problema = bench::ProblemaSembrado(n, m, q);

    const long long base = EstadoKiB("VmRSS");
    const bool reiniciado = ReiniciarPico();
    const long long picoPrevio = EstadoKiB("VmHWM");

    EstadoSecuenciador estado;
    const auto [informe, secuencia] = Secuenciar(estado, problema, ",");

    const long long pico = EstadoKiB("VmHWM");
    if (estado.Q != q) {
        std::fprintf(stderr, "seeded problem: demands add up to %d, not %d\n", estado.Q, q);
        return 1;
    }
    const long long final = EstadoKiB("VmRSS");
    const long long tabla = static_cast<long long>(bench::BytesTabla(n, m, q));
    const long long texto = static_cast<long long>(bench::BytesTexto(informe) + bench::BytesTexto(secuencia));
    const long long objetivo = tabla + texto;
    const long long usado = pico - base;

    std::printf("Q = %d, n = %d, m = %d, W = %lld\n", q, n, m, static_cast<long long>(bench::Columnas(n, m, q)));
    std::printf("table bytes        %12lld  (%.1f MiB)\n", tabla, MiB(tabla));
    std::printf("report text bytes  %12lld  (%.1f MiB; report %llu + sequence %llu)\n", texto, MiB(texto),
                static_cast<unsigned long long>(bench::BytesTexto(informe)),
                static_cast<unsigned long long>(bench::BytesTexto(secuencia)));
    std::printf("table + text       %12lld  (%.1f MiB)\n", objetivo, MiB(objetivo));
    std::printf("RSS before run     %12lld  (%.1f MiB)%s\n", base, MiB(base),
                reiniciado ? "" : "  [VmHWM could not be reset: peak may predate the run]");
    std::printf("VmHWM before run   %12lld  (%.1f MiB)\n", picoPrevio, MiB(picoPrevio));
    std::printf("peak RSS (VmHWM)   %12lld  (%.1f MiB)\n", pico, MiB(pico));
    std::printf("RSS after run      %12lld  (%.1f MiB)\n", final, MiB(final));
    std::printf("peak - before      %12lld  (%.1f MiB)\n", usado, MiB(usado));
    std::printf("(peak - before) / (table + text) = %.3f   (target <= 1.100: %s)\n",
                static_cast<double>(usado) / static_cast<double>(objetivo), usado * 10 <= objetivo * 11 ? "met" : "MISSED");
    std::printf("peak / (table + text)            = %.3f\n", static_cast<double>(pico) / static_cast<double>(objetivo));
    return 0;
}
