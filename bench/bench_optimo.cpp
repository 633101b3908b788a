// Time of CalcularOptimo against the number of lattice states ∏(d(i) + 1), on seeded
// problems of n products with the same demand d and 20 components.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/Optimo.h"
#include "soporte/ProblemaSembrado.h"

using namespace tavelorin;

namespace {

constexpr int32_t kComponentes = 20;

// Usages 0..5, about half of them 0 (as ProblemaSembrado), every demand d.
EstadoSecuenciador Problema(int32_t n, int32_t d) {
    bench::Generador g{20240611};
    std::vector<std::string> lineas = {std::to_string(n), std::to_string(kComponentes)};
    for (int32_t i = 0; i < n; ++i) {
        std::string linea;
        for (int32_t j = 0; j < kComponentes; ++j) linea += std::to_string(g.Entre(0, 1) == 0 ? 0 : g.Entre(1, 5)) + "\t";
        lineas.push_back(linea + std::to_string(d));
    }
    EstadoSecuenciador e;
    LeerProblema(e, lineas);
    return e;
}

// BM_Optimo/n/d: within the program's limit.
void BM_Optimo(benchmark::State& state) {
    const EstadoSecuenciador e = Problema(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
    const double estados = static_cast<double>(EstadosOptimo(e));
    for (auto _ : state) {
        Optimo o = CalcularOptimo(e);
        benchmark::DoNotOptimize(o.secuencia.data());
    }
    state.counters["estados"] = estados;
    state.counters["t_estado"] =
        benchmark::Counter(estados, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// BM_OptimoSinLimite/n/d: beyond it, one run each, to find what 10 s reach.
void BM_OptimoSinLimite(benchmark::State& state) {
    const EstadoSecuenciador e = Problema(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
    const double estados = static_cast<double>(EstadosOptimo(e));
    for (auto _ : state) {
        Optimo o = CalcularOptimo(e, std::numeric_limits<uint64_t>::max());
        benchmark::DoNotOptimize(o.secuencia.data());
    }
    state.counters["estados"] = estados;
    state.counters["t_estado"] =
        benchmark::Counter(estados, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

// Long rows (4 products), middle (8) and the shortest rows (demand 1, 2^n states).
BENCHMARK(BM_Optimo)
    ->Args({4, 9})->Args({4, 31})->Args({4, 55})->Args({4, 99})
    ->Args({8, 3})->Args({8, 5})->Args({8, 7})->Args({8, 9})
    ->Args({16, 1})->Args({20, 1})->Args({24, 1})->Args({25, 1})->Args({26, 1})
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OptimoSinLimite)
    ->Args({4, 120})->Args({4, 140})->Args({8, 10})->Args({8, 11})
    ->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
