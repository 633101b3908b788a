// The better-sequence search on seeded problems (a plain program: one-shot figures).
//
//   bench_mejora exactos       200 problems within the exact optimum's reach
//   bench_mejora grande        30 products, 50 components, Q = 677: J after 2 s and 5 s
//   bench_mejora familias      the same against the plain beam over families and seeds, Q about 700
//   bench_mejora medianos      10 products, 20 components, Q = 150, against a width-1000 plain beam
//   bench_mejora estimaciones  the estimates of the cost to come, at equal width and equal time
//   bench_mejora cota          a proven lower bound of J on the large problem and the families
//   bench_mejora               all of them
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/GeneracionAleatoria.h"
#include "core/MatrizProblema.h"
#include "core/Mejora.h"
#include "core/Optimo.h"
#include "soporte/CotaInferior.h"
#include "soporte/ProblemaSembrado.h"

using namespace tavelorin;

namespace {

using Reloj = std::chrono::steady_clock;

EstadoSecuenciador Leer(const std::vector<std::string>& lineas) {
    EstadoSecuenciador e;
    LeerProblema(e, lineas);
    return e;
}

double Segundos(Reloj::time_point desde) { return std::chrono::duration<double>(Reloj::now() - desde).count(); }

// The plain beam: cost so far alone, no local search, one pass.
OpcionesMejora HazSimple(uint64_t anchura) {
    OpcionesMejora o;
    o.segundos = 0;
    o.anchura = anchura;
    o.limiteExacto = 0;
    o.estimacion = EstimacionMejora::ninguna;
    o.busquedaLocal = false;
    return o;
}

OpcionesMejora ConTiempo(double segundos) {
    OpcionesMejora o;
    o.segundos = segundos;
    o.limiteExacto = 0;
    return o;
}

double Cociente(const Mejora& r) { return r.variacion.Real() / r.variacionPersecucion.Real(); }

// n in 4..10, 10 components, usages as ProblemaSembrado, demands 2..12 cut so that the
// lattice has at most 10^7 states.
std::vector<std::string> ProblemaExacto(uint64_t semilla) {
    bench::Generador g{semilla};
    const int32_t n = g.Entre(4, 10);
    const int32_t m = 10;
    std::vector<std::string> lineas = {std::to_string(n), std::to_string(m)};
    double estados = 1;
    for (int32_t i = 0; i < n; ++i) {
        std::string linea;
        for (int32_t j = 0; j < m; ++j) linea += std::to_string(g.Entre(0, 1) == 0 ? 0 : g.Entre(1, 5)) + "\t";
        int32_t d = g.Entre(2, 12);
        while (d > 1 && estados * (d + 1) * std::pow(3.0, n - i - 1) > 1e7) --d;
        estados *= d + 1;
        lineas.push_back(linea + std::to_string(d));
    }
    return lineas;
}

void Exactos() {
    std::printf("== exactos: 200 seeded problems, 4-10 products, 10 components, <= 1e7 lattice states\n");
    const uint64_t anchuras[] = {16, 128, 1024};
    int demostradas = 0, iguales = 0;
    int alcanzados[3] = {0, 0, 0};
    int alcanzadosTiempo = 0;
    double tExacto = 0, tAnchura[3] = {0, 0, 0}, tTiempo = 0;
    double peor[3] = {1, 1, 1};
    for (uint64_t semilla = 1; semilla <= 200; ++semilla) {
        const EstadoSecuenciador e = Leer(ProblemaExacto(semilla));
        auto t0 = Reloj::now();
        const Mejora exacta = MejorarSecuencia(e);
        tExacto += Segundos(t0);
        const Optimo o = CalcularOptimo(e);
        demostradas += exacta.demostrada;
        iguales += exacta.variacion.numerador == o.variacion.numerador;
        for (int a = 0; a < 3; ++a) {
            OpcionesMejora op = ConTiempo(0);
            op.anchura = anchuras[a];
            t0 = Reloj::now();
            const Mejora r = MejorarSecuencia(e, op);
            tAnchura[a] += Segundos(t0);
            alcanzados[a] += r.variacion.numerador == o.variacion.numerador;
            if (o.variacion.numerador > 0)
                peor[a] = std::max(peor[a], r.variacion.Real() / o.variacion.Real());
        }
        t0 = Reloj::now();
        const Mejora r = MejorarSecuencia(e, ConTiempo(0.25));
        tTiempo += Segundos(t0);
        alcanzadosTiempo += r.variacion.numerador == o.variacion.numerador;
    }
    std::printf("with the exact run: proven %d/200, J equal to CalcularOptimo's %d/200, %.2f s in all\n", demostradas,
                iguales, tExacto);
    std::printf("bounded search alone (no exact run):\n");
    for (int a = 0; a < 3; ++a)
        std::printf("  width %5llu + local search: optimum reached %3d/200, worst J / optimum %.4f, %.2f s in all\n",
                    static_cast<unsigned long long>(anchuras[a]), alcanzados[a], peor[a], tAnchura[a]);
    std::printf("  0.25 s limit (widths doubling): optimum reached %3d/200, %.2f s in all\n", alcanzadosTiempo, tTiempo);
}

// A problem of the program's own random generator, as
// `tavelorin-cli --aleatorio 30 50 UMIN UMAX P CMIN CMAX --semilla S` writes it.
std::vector<std::string> ProblemaDelGenerador(int32_t umin, int32_t umax, double p, int32_t cmin, int32_t cmax,
                                              uint32_t semilla) {
    const ParametrosAleatorios parametros{30, 50, umin, umax, p, cmin, cmax};
    GeneradorAleatorio g;
    g.SemillaAleatoria = semilla;
    MatrizProblema matriz;
    GenerarProblemaAleatorio(matriz, parametros, g);
    return matriz.LineasProblema();
}

// The large problem: `--aleatorio 30 50 5 40 0.5 1 5 --semilla 5`, Q = 677 (the first
// seed of those parameters that gives 677).
std::vector<std::string> ProblemaGrande() { return ProblemaDelGenerador(5, 40, 0.5, 1, 5, 5); }

// J / goal chasing's J at the moments the best improved, from the progress calls.
void Grande() {
    std::printf("== grande: --aleatorio 30 50 5 40 0.5 1 5 --semilla 5\n");
    const EstadoSecuenciador e = Leer(ProblemaGrande());
    auto t0 = Reloj::now();
    const Mejora simple = MejorarSecuencia(e, HazSimple(1000));
    std::printf("Q = %d; plain beam, width 1000: J/J_gc = %.4f in %.2f s (goal chasing J = %.6g)\n", e.Q,
                Cociente(simple), Segundos(t0), simple.variacionPersecucion.Real());
    for (const double segundos : {2.0, 5.0}) {
        OpcionesMejora o = ConTiempo(segundos);
        double jPersecucion = 0;
        std::vector<std::pair<double, double>> curva;
        const auto inicio = Reloj::now();
        o.progreso = [&](const ProgresoMejora& p) {
            if (p.anchura == 0) jPersecucion = p.mejor.Real();
            if (curva.empty() || curva.back().second != p.mejor.Real()) curva.push_back({Segundos(inicio), p.mejor.Real()});
        };
        o.intervaloProgreso = 1e9;
        const Mejora r = MejorarSecuencia(e, o);
        std::printf("limit %.0f s: J/J_gc = %.4f, %.2f s used, widths", segundos, Cociente(r), r.segundos);
        for (const uint64_t w : r.anchuras) std::printf(" %llu", static_cast<unsigned long long>(w));
        std::printf("; improvements at");
        for (const auto& [t, j] : curva) std::printf(" %.2fs:%.4f", t, j / jPersecucion);
        std::printf("\n");
    }
    // The same problem with every usage times 1000: the sums leave 64 bits and the search
    // runs in 128-bit integers; every cost is 10^6 times larger, so the passes choose alike.
    {
        std::vector<std::string> lineas = ProblemaGrande();
        for (size_t i = 2; i < lineas.size(); ++i) {
            std::string fila;
            size_t desde = 0;
            for (size_t tab; (tab = lineas[i].find('\t', desde)) != std::string::npos; desde = tab + 1)
                fila += std::to_string(std::stoll(lineas[i].substr(desde, tab - desde)) * 1000) + "\t";
            lineas[i] = fila + lineas[i].substr(desde);
        }
        const EstadoSecuenciador grande = Leer(lineas);
        OpcionesMejora o = ConTiempo(0);
        o.anchura = 1000;
        t0 = Reloj::now();
        const Mejora r64 = MejorarSecuencia(e, o);
        const double t64 = Segundos(t0);
        t0 = Reloj::now();
        const Mejora r128 = MejorarSecuencia(grande, o);
        std::printf("width 1000: 64-bit sums %.2f s, usages x1000 (128-bit sums) %.2f s; same sequence: %s\n", t64,
                    Segundos(t0), r64.secuencia == r128.secuencia ? "yes" : "no");
    }
    // How far wider passes go: the same J from width 4096 on means the beam has settled.
    for (const uint64_t w : {4096u, 16384u, 65536u}) {
        OpcionesMejora o = ConTiempo(0);
        o.anchura = w;
        t0 = Reloj::now();
        const Mejora r = MejorarSecuencia(e, o);
        std::printf("one pass at width %llu: J/J_gc = %.4f in %.2f s\n", static_cast<unsigned long long>(w), Cociente(r),
                    Segundos(t0));
    }
}

// The spread over families of 30 x 50 problems with Q about 700: seeds 1..10 of each,
// J/J_gc of the plain width-1000 beam, the search after 2 s and after 5 s, and a
// width-16384 pass (where the beams settle).
void Familias() {
    struct Familia {
        const char* nombre;
        int32_t umin, umax;  // umin < 0: ProblemaSembrado(30, 50, 700, seed)
        double p;
        int32_t cmin, cmax;
    };
    const Familia familias[] = {
        {"ProblemaSembrado(30, 50, 700)", -1, 0, 0, 0, 0},
        {"--aleatorio 30 50 5 40 0.5 1 5", 5, 40, 0.5, 1, 5},
        {"--aleatorio 30 50 1 45 0.5 1 5", 1, 45, 0.5, 1, 5},
        {"--aleatorio 30 50 15 30 0.5 1 5", 15, 30, 0.5, 1, 5},
        {"--aleatorio 30 50 5 40 0.2 1 5", 5, 40, 0.2, 1, 5},
        {"--aleatorio 30 50 1 45 0.1 1 5", 1, 45, 0.1, 1, 5},
    };
    std::printf("== familias: J/J_gc over seeds 1..10 (plain width 1000 / 2 s / 5 s / one pass at 16384)\n");
    for (const Familia& f : familias) {
        std::printf("%s\n", f.nombre);
        double suma[4] = {0, 0, 0, 0}, menor[4] = {9, 9, 9, 9}, mayor[4] = {0, 0, 0, 0};
        int32_t qMenor = 1 << 30, qMayor = 0, cumplen = 0;
        for (uint32_t semilla = 1; semilla <= 10; ++semilla) {
            const EstadoSecuenciador e = Leer(f.umin < 0 ? bench::ProblemaSembrado(30, 50, 700, semilla)
                                                         : ProblemaDelGenerador(f.umin, f.umax, f.p, f.cmin, f.cmax, semilla));
            OpcionesMejora ancha = ConTiempo(0);
            ancha.anchura = 16384;
            const double r[4] = {Cociente(MejorarSecuencia(e, HazSimple(1000))), Cociente(MejorarSecuencia(e, ConTiempo(2))),
                                 Cociente(MejorarSecuencia(e, ConTiempo(5))), Cociente(MejorarSecuencia(e, ancha))};
            std::printf("  seed %2u, Q = %3d: %.4f / %.4f / %.4f / %.4f\n", semilla, e.Q, r[0], r[1], r[2], r[3]);
            for (int c = 0; c < 4; ++c) {
                suma[c] += r[c];
                menor[c] = std::min(menor[c], r[c]);
                mayor[c] = std::max(mayor[c], r[c]);
            }
            qMenor = std::min(qMenor, e.Q);
            qMayor = std::max(qMayor, e.Q);
            cumplen += r[2] <= 0.70;
        }
        std::printf("  Q %d..%d; mean %.4f / %.4f / %.4f / %.4f; range", qMenor, qMayor, suma[0] / 10, suma[1] / 10,
                    suma[2] / 10, suma[3] / 10);
        for (int c = 0; c < 4; ++c) std::printf(" %.4f-%.4f", menor[c], mayor[c]);
        std::printf("; 5 s at most 0.70: %d/10\n", cumplen);
    }
}

void Medianos() {
    std::printf("== medianos: 20 seeds of ProblemaSembrado(10, 20, 150)\n");
    double peor = 0, tPeor = 0, tSimple = 0, suma = 0;
    int mejores = 0;
    for (uint64_t semilla = 1; semilla <= 20; ++semilla) {
        const EstadoSecuenciador e = Leer(bench::ProblemaSembrado(10, 20, 150, semilla));
        auto t0 = Reloj::now();
        const Mejora simple = MejorarSecuencia(e, HazSimple(1000));
        tSimple += Segundos(t0);
        const double objetivo = simple.variacion.Real() * 1.01;
        OpcionesMejora o = ConTiempo(2);
        double alcanzado = -1;
        const auto inicio = Reloj::now();
        o.intervaloProgreso = 1e9;
        o.progreso = [&](const ProgresoMejora& p) {
            if (alcanzado < 0 && p.mejor.Real() <= objetivo) alcanzado = Segundos(inicio);
        };
        const Mejora r = MejorarSecuencia(e, o);
        const double cociente = r.variacion.Real() / simple.variacion.Real();
        peor = std::max(peor, cociente);
        suma += cociente;
        mejores += r.variacion.numerador < simple.variacion.numerador;
        tPeor = std::max(tPeor, alcanzado < 0 ? 1e9 : alcanzado);
    }
    std::printf("plain beam width 1000: %.3f s for the 20\n", tSimple);
    std::printf("search, 2 s limit: J / plain-1000 J mean %.4f, worst %.4f; better on %d/20; within 1%% of it after at "
                "most %.3f s\n",
                suma / 20, peor, mejores, tPeor);
}

void Estimaciones() {
    std::printf("== estimaciones: mean J/J_gc over 4 seeds (1000..1003), no local search\n");
    struct Familia {
        int32_t n, m, q;
    };
    const Familia familias[] = {{30, 50, 700}, {20, 10, 400}, {50, 20, 500}};
    struct Estimacion {
        EstimacionMejora estimacion;
        int32_t etapas;
        const char* nombre;
    };
    const Estimacion estimaciones[] = {{EstimacionMejora::ninguna, 0, "ninguna"},
                                       {EstimacionMejora::etapaActual, 1, "etapaActual, 1"},
                                       {EstimacionMejora::etapaActual, 2, "etapaActual, 2"},
                                       {EstimacionMejora::etapaActual, 4, "etapaActual, 4"},
                                       {EstimacionMejora::etapaActual, 8, "etapaActual, 8"},
                                       {EstimacionMejora::etapaSiguiente, 0, "etapaSiguiente"}};
    for (const Familia& f : familias) {
        std::printf("%d x %d, Q = %d\n", f.n, f.m, f.q);
        for (const auto& [estimacion, etapas, nombre] : estimaciones) {
            std::printf("  %-15s", nombre);
            for (const double limite : {-100.0, -1000.0, 2.0}) {  // negative: a fixed width
                double suma = 0, t = 0;
                for (uint64_t semilla = 1000; semilla < 1004; ++semilla) {
                    const EstadoSecuenciador e = Leer(bench::ProblemaSembrado(f.n, f.m, f.q, semilla));
                    OpcionesMejora o = ConTiempo(limite > 0 ? limite : 0);
                    o.anchura = limite > 0 ? 0 : static_cast<uint64_t>(-limite);
                    o.estimacion = estimacion;
                    o.etapasEstimadas = etapas;
                    o.busquedaLocal = false;
                    const auto t0 = Reloj::now();
                    suma += Cociente(MejorarSecuencia(e, o));
                    t += Segundos(t0);
                }
                if (limite > 0)
                    std::printf("  %.0f s: %.4f", limite, suma / 4);
                else
                    std::printf("  W=%.0f: %.4f (%.2f s)", -limite, suma / 4, t / 4);
            }
            std::printf("\n");
        }
    }
}

// How far the search can still be from the optimum: a lower bound of J (blocks of
// stages, soporte/CotaInferior.h) against goal chasing's J and the width-4096 pass's.
void Cota() {
    const auto pasada = [](const EstadoSecuenciador& e) {
        OpcionesMejora o = ConTiempo(0);
        o.anchura = 4096;
        return MejorarSecuencia(e, o);
    };
    std::printf("== cota: lower bound of J (LB) over goal chasing's J and the width-4096 pass's J\n");
    {
        const EstadoSecuenciador e = Leer(ProblemaGrande());
        const Mejora r = pasada(e);
        const double jPersecucion = r.variacionPersecucion.Real();
        std::printf("grande, Q = %d: pass J/J_gc = %.4f\n", e.Q, Cociente(r));
        for (const int32_t largo : {1, 2, 3}) {
            const auto t0 = Reloj::now();
            const auto cota = bench::CalcularCotaInferior(e, r.secuencia, largo);
            if (!cota) {
                std::printf("  blocks of %d: does not apply\n", largo);
                continue;
            }
            std::printf("  blocks of %d stages: LB = %.1f, LB/J_gc = %.4f, pass J/LB = %.4f; %.1f s, %llu vectors\n", largo,
                        cota->porBloques, cota->porBloques / jPersecucion, cota->referencia / cota->porBloques, Segundos(t0),
                        static_cast<unsigned long long>(cota->vectores));
        }
    }
    std::printf("ProblemaSembrado(30, 50, 700), seeds 1..10, blocks of 2 stages:\n");
    for (uint32_t semilla = 1; semilla <= 10; ++semilla) {
        const EstadoSecuenciador e = Leer(bench::ProblemaSembrado(30, 50, 700, semilla));
        const Mejora r = pasada(e);
        const auto t0 = Reloj::now();
        const auto cota = bench::CalcularCotaInferior(e, r.secuencia, 2);
        if (!cota) {
            std::printf("  seed %2u: does not apply\n", semilla);
            continue;
        }
        std::printf("  seed %2u: pass J/J_gc = %.4f, LB/J_gc = %.4f, pass J/LB = %.4f; %.1f s\n", semilla, Cociente(r),
                    cota->porBloques / r.variacionPersecucion.Real(), cota->referencia / cota->porBloques, Segundos(t0));
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string que = argc > 1 ? argv[1] : "";
    if (que.empty() || que == "exactos") Exactos();
    if (que.empty() || que == "grande") Grande();
    if (que.empty() || que == "familias") Familias();
    if (que.empty() || que == "medianos") Medianos();
    if (que.empty() || que == "estimaciones") Estimaciones();
    if (que.empty() || que == "cota") Cota();
    return 0;
}
