// The better-sequence search on seeded problems (a plain program: one-shot figures).
//
//   bench_mejora exactos       200 problems within the exact optimum's reach
//   bench_mejora grande        30 products, 50 components, Q = 700: J after 2 s and 5 s
//   bench_mejora medianos      10 products, 20 components, Q = 150, against a width-1000 plain beam
//   bench_mejora estimaciones  the estimates of the cost to come, at equal width and equal time
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

// J / goal chasing's J at the moments the best improved, from the progress calls.
void Grande() {
    std::printf("== grande: ProblemaSembrado(30, 50, 700)\n");
    const EstadoSecuenciador e = Leer(bench::ProblemaSembrado(30, 50, 700));
    auto t0 = Reloj::now();
    const Mejora simple = MejorarSecuencia(e, HazSimple(1000));
    std::printf("plain beam, width 1000: J/J_gc = %.4f in %.2f s (goal chasing J = %.6g)\n", Cociente(simple),
                Segundos(t0), simple.variacionPersecucion.Real());
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
        std::vector<std::string> lineas = bench::ProblemaSembrado(30, 50, 700);
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
    auto fila = [](const char* nombre, uint64_t semilla, const EstadoSecuenciador& otro) {
        std::printf("  %-22s seed %8llu, Q = %d: %.4f / %.4f / %.4f\n", nombre, static_cast<unsigned long long>(semilla),
                    otro.Q, Cociente(MejorarSecuencia(otro, HazSimple(1000))),
                    Cociente(MejorarSecuencia(otro, ConTiempo(2))), Cociente(MejorarSecuencia(otro, ConTiempo(5))));
    };
    std::printf("other problems of the size, J/J_gc (plain width 1000 / 2 s / 5 s):\n");
    for (const uint64_t semilla : {1u, 2u, 3u, 4u})
        fila("ProblemaSembrado", semilla, Leer(bench::ProblemaSembrado(30, 50, 700, semilla)));
    // The program's own random problems: demands drawn one by one, so Q is about 700.
    for (const uint32_t semilla : {20240611u, 1u, 2u, 3u, 4u}) {
        const ParametrosAleatorios p{30, 50, 1, 47, 0.5, 1, 5};
        GeneradorAleatorio g;
        g.SemillaAleatoria = semilla;
        MatrizProblema matriz;
        GenerarProblemaAleatorio(matriz, p, g);
        fila("GenerarProblemaAleatorio", semilla, Leer(matriz.LineasProblema()));
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
    const std::pair<EstimacionMejora, const char*> estimaciones[] = {
        {EstimacionMejora::ninguna, "ninguna"},
        {EstimacionMejora::etapaActual, "etapaActual"},
        {EstimacionMejora::etapaSiguiente, "etapaSiguiente"}};
    for (const Familia& f : familias) {
        std::printf("%d x %d, Q = %d\n", f.n, f.m, f.q);
        for (const auto& [estimacion, nombre] : estimaciones) {
            std::printf("  %-15s", nombre);
            for (const double limite : {-100.0, -1000.0, 2.0}) {  // negative: a fixed width
                double suma = 0, t = 0;
                for (uint64_t semilla = 1000; semilla < 1004; ++semilla) {
                    const EstadoSecuenciador e = Leer(bench::ProblemaSembrado(f.n, f.m, f.q, semilla));
                    OpcionesMejora o = ConTiempo(limite > 0 ? limite : 0);
                    o.anchura = limite > 0 ? 0 : static_cast<uint64_t>(-limite);
                    o.estimacion = estimacion;
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

}  // namespace

int main(int argc, char** argv) {
    const std::string que = argc > 1 ? argv[1] : "";
    if (que.empty() || que == "exactos") Exactos();
    if (que.empty() || que == "grande") Grande();
    if (que.empty() || que == "medianos") Medianos();
    if (que.empty() || que == "estimaciones") Estimaciones();
    return 0;
}
