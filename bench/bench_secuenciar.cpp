// Timings of a solve: the compact table ready to produce any report line, against the
// square table with its whole report (the road a solve took before, run here as the
// baseline of the same run), the cost of just writing that much fresh memory, and the
// plain stage loop.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/Informe.h"
#include "core/LineasInforme.h"
#include "soporte/EtapasLiteral.h"
#include "soporte/TablaCompleta.h"
#include "soporte/ProblemaSembrado.h"
#include "core/Secuenciador.h"
#include "core/TextoReal.h"

using namespace tavelorin;

namespace {

constexpr int32_t kProductos = 10;
constexpr int32_t kComponentes = 20;
constexpr const char* kSeparador = ",";

using Lineas = std::vector<std::string>;

// One problem per Q, with the outputs of one real run for sizing and checking.
struct Caso {
    Lineas problema;
    Lineas informe;
    Lineas secuencia;
    uint64_t bytesTabla = 0;
    uint64_t bytesInforme = 0;
    uint64_t bytesSecuencia = 0;
    double celdas = 0;  // (Q + 1) x W: the report's header and stage lines
};

const Caso& CasoDe(int32_t q) {
    static std::map<int32_t, Caso> casos;
    auto it = casos.find(q);
    if (it != casos.end()) return it->second;
    Caso c;
    c.problema = bench::ProblemaSembrado(kProductos, kComponentes, q);
    EstadoSecuenciador e;
    Solucion s = completa::SecuenciarCompleto(e, c.problema, kSeparador);
    c.informe = std::move(s.informe);
    c.secuencia = std::move(s.secuencia);
    if (e.Q != q) {
        std::fprintf(stderr, "seeded problem: demands add up to %d, not %d\n", e.Q, q);
        std::abort();
    }
    c.bytesTabla = bench::BytesTabla(kProductos, kComponentes, q);
    c.bytesInforme = bench::BytesTexto(c.informe);
    c.bytesSecuencia = bench::BytesTexto(c.secuencia);
    c.celdas = static_cast<double>(q + 1) * static_cast<double>(bench::Columnas(kProductos, kComponentes, q));
    return casos.emplace(q, std::move(c)).first->second;
}

void Contadores(benchmark::State& state, const Caso& c) {
    using benchmark::Counter;
    // Seconds per report cell: "1.5n" reads 1.5 ns.
    state.counters["t_celda"] = Counter(c.celdas, Counter::kIsIterationInvariantRate | Counter::kInvert);
    state.counters["tabla"] = Counter(static_cast<double>(c.bytesTabla), Counter::kDefaults, Counter::kIs1024);
    state.counters["informe"] = Counter(static_cast<double>(c.bytesInforme), Counter::kDefaults, Counter::kIs1024);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(c.bytesTabla + c.bytesInforme + c.bytesSecuencia));
}

// The solve: problem lines in, the compact table and the index of its lines out, ready
// to produce any line. The first iteration checks every line against the baseline's.
void BM_Secuenciar(benchmark::State& state) {
    const Caso& c = CasoDe(static_cast<int32_t>(state.range(0)));
    bool comprobado = false;
    for (auto _ : state) {
        EstadoSecuenciador e;
        SecuenciarTabla(e, c.problema);
        const LineasInforme lineas(e.TablaSolucion, kSeparador);
        benchmark::DoNotOptimize(&lineas);
        benchmark::ClobberMemory();
        if (!comprobado) {
            comprobado = true;
            state.PauseTiming();
            bool iguales = lineas.Cantidad() == static_cast<int64_t>(c.informe.size() + 1 + c.secuencia.size());
            for (size_t i = 0; iguales && i < c.informe.size(); ++i) iguales = lineas.Linea(static_cast<int64_t>(i)) == c.informe[i];
            for (size_t i = 0; iguales && i < c.secuencia.size(); ++i)
                iguales = lineas.Linea(static_cast<int64_t>(c.informe.size() + 1 + i)) == c.secuencia[i];
            state.ResumeTiming();
            if (!iguales) {
                state.SkipWithError("the compact table's lines differ from the square table's report");
                break;
            }
        }
    }
    Contadores(state, c);
}

// The baseline: the square table and its whole report, as a solve built them before.
void BM_SecuenciarCompleto(benchmark::State& state) {
    const Caso& c = CasoDe(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        EstadoSecuenciador e;
        const Solucion s = completa::SecuenciarCompleto(e, c.problema, kSeparador);
        benchmark::DoNotOptimize(s.informe.data());
        benchmark::DoNotOptimize(s.secuencia.data());
        benchmark::ClobberMemory();
    }
    Contadores(state, c);
}

// The floor: fresh blocks as large as the table and as each report and sequence line,
// written with memset/memcpy and freed, as a run allocates, fills and frees them.
void BM_Suelo(benchmark::State& state) {
    const Caso& c = CasoDe(static_cast<int32_t>(state.range(0)));
    std::vector<size_t> tamanos;
    size_t mayor = 0;
    for (const Lineas* l : {&c.informe, &c.secuencia})
        for (const auto& s : *l) {
            tamanos.push_back(s.size());
            mayor = std::max(mayor, s.size());
        }
    const std::string plantilla(mayor, '7');
    std::vector<char*> bloques(tamanos.size());
    for (auto _ : state) {
        // Each byte written once (a reused heap block under calloc would be zeroed twice).
        auto* tabla = static_cast<char*>(std::malloc(c.bytesTabla));
        std::memset(tabla, 0x3f, c.bytesTabla);
        benchmark::DoNotOptimize(tabla);
        for (size_t i = 0; i < tamanos.size(); ++i) {
            bloques[i] = static_cast<char*>(std::malloc(tamanos[i] + 1));
            std::memcpy(bloques[i], plantilla.data(), tamanos[i]);
            bloques[i][tamanos[i]] = '\0';
        }
        benchmark::DoNotOptimize(bloques.data());
        benchmark::ClobberMemory();
        for (char* b : bloques) std::free(b);
        std::free(tabla);
    }
    Contadores(state, c);
}

// The plain stage loop, with the same reading and the same report: same outputs.
void BM_Literal(benchmark::State& state) {
    const Caso& c = CasoDe(static_cast<int32_t>(state.range(0)));
    bool comprobado = false;
    for (auto _ : state) {
        const completa::TablaCompleta t = literal::TablaLiteral(c.problema);
        const Solucion s = completa::EscribirInformeCompleto(t, kSeparador);
        benchmark::DoNotOptimize(s.informe.data());
        benchmark::ClobberMemory();
        if (!comprobado) {
            comprobado = true;
            if (s.informe != c.informe || s.secuencia != c.secuencia) {
                state.SkipWithError("the plain stage loop gives a different report");
                break;
            }
        }
    }
    Contadores(state, c);
}

// Table phase alone: reading, table set-up and the stages; compact, square, plain.
void BM_TablaNuestra(benchmark::State& state) {
    const Caso& c = CasoDe(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        EstadoSecuenciador e;
        SecuenciarTabla(e, c.problema);
        benchmark::DoNotOptimize(e.TablaSolucion.datos.get());
        benchmark::ClobberMemory();
    }
    Contadores(state, c);
}

void BM_TablaCompleta(benchmark::State& state) {
    const Caso& c = CasoDe(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        EstadoSecuenciador e;
        LeerProblema(e, c.problema);
        completa::TablaCompleta t = completa::IniciarTablaCompleta(e);
        completa::EjecutarEtapasCompleta(e, t);
        benchmark::DoNotOptimize(t.celdas.get());
        benchmark::ClobberMemory();
    }
    Contadores(state, c);
}

void BM_TablaLiteral(benchmark::State& state) {
    const Caso& c = CasoDe(static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        const completa::TablaCompleta t = literal::TablaLiteral(c.problema);
        benchmark::DoNotOptimize(t.celdas.get());
        benchmark::ClobberMemory();
    }
    Contadores(state, c);
}

// Every line of the report produced from the compact table, handed to a sink that only
// counts the bytes (what the command line does on its way to the output).
void BM_Informe(benchmark::State& state) {
    const Caso& c = CasoDe(static_cast<int32_t>(state.range(0)));
    EstadoSecuenciador e;
    SecuenciarTabla(e, c.problema);
    const LineasInforme lineas(e.TablaSolucion, kSeparador);
    uint64_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        lineas.EscribirLineas(0, lineas.Cantidad(), "\n", [&bytes](const char* d, size_t n) {
            benchmark::DoNotOptimize(d);
            bytes += n;
        });
        benchmark::ClobberMemory();
    }
    state.counters["bytes_linea"] = static_cast<double>(bytes);
    Contadores(state, c);
}

// The whole report of the square table built as lines (the baseline's report phase).
void BM_InformeCompleto(benchmark::State& state) {
    const Caso& c = CasoDe(static_cast<int32_t>(state.range(0)));
    EstadoSecuenciador e;
    LeerProblema(e, c.problema);
    completa::TablaCompleta t = completa::IniciarTablaCompleta(e);
    completa::EjecutarEtapasCompleta(e, t);
    for (auto _ : state) {
        const Solucion s = completa::EscribirInformeCompleto(t, kSeparador);
        benchmark::DoNotOptimize(s.informe.data());
        benchmark::ClobberMemory();
    }
    Contadores(state, c);
}

// The real-text formatter on report cells: distances (general reals) and small
// whole numbers (sequence, units, most consumptions).
std::vector<double> Valores(bool distancias) {
    bench::Generador g{7};
    std::vector<double> v(4096);
    for (auto& x : v) {
        if (distancias) {
            double s = 0;
            for (int j = 0; j < kComponentes; ++j) {
                const double e = g.Entre(-4000, 4000) / 997.0;
                s += e * e;
            }
            x = std::sqrt(s);
        } else {
            x = g.Entre(0, kProductos);
        }
    }
    return v;
}

void BM_TextoReal(benchmark::State& state) {
    const std::vector<double> valores = Valores(state.range(0) != 0);
    const FormatoReal formato = FormatoInforme(kSeparador);
    std::string destino;
    destino.reserve(valores.size() * 16);
    for (auto _ : state) {
        destino.clear();
        for (double v : valores) {
            AnadirTextoReal(destino, v, formato);
            destino.push_back('\t');
        }
        benchmark::DoNotOptimize(destino.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(valores.size()));
    state.counters["bytes_por_valor"] = static_cast<double>(destino.size()) / static_cast<double>(valores.size());
}

// The machine may be shared: with --benchmark_repetitions, the fastest repetition is
// the best estimate of the cost itself.
void ConMinimo(benchmark::internal::Benchmark* b) {
    b->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

}  // namespace

BENCHMARK(BM_Secuenciar)->Arg(1000)->Arg(3000)->Arg(5000)->Unit(benchmark::kMillisecond)->Apply(ConMinimo);
BENCHMARK(BM_SecuenciarCompleto)->Arg(1000)->Arg(3000)->Arg(5000)->Unit(benchmark::kMillisecond)->Apply(ConMinimo);
BENCHMARK(BM_Suelo)->Arg(1000)->Arg(3000)->Arg(5000)->Unit(benchmark::kMillisecond)->Apply(ConMinimo);
BENCHMARK(BM_Informe)->Arg(1000)->Arg(3000)->Arg(5000)->Unit(benchmark::kMillisecond)->Apply(ConMinimo);
BENCHMARK(BM_InformeCompleto)->Arg(1000)->Arg(3000)->Arg(5000)->Unit(benchmark::kMillisecond)->Apply(ConMinimo);
BENCHMARK(BM_TablaNuestra)->Arg(1000)->Arg(3000)->Arg(5000)->Unit(benchmark::kMillisecond)->Apply(ConMinimo);
BENCHMARK(BM_TablaCompleta)->Arg(1000)->Arg(3000)->Arg(5000)->Unit(benchmark::kMillisecond)->Apply(ConMinimo);
BENCHMARK(BM_TablaLiteral)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond)->Apply(ConMinimo);
BENCHMARK(BM_TablaLiteral)->Arg(5000)->Iterations(1)->Unit(benchmark::kMillisecond)->Apply(ConMinimo);
BENCHMARK(BM_Literal)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond)->Apply(ConMinimo);
BENCHMARK(BM_Literal)->Arg(5000)->Iterations(1)->Unit(benchmark::kMillisecond)->Apply(ConMinimo);
BENCHMARK(BM_TextoReal)->ArgName("distancias")->Arg(1)->Arg(0)->Apply(ConMinimo);

BENCHMARK_MAIN();
