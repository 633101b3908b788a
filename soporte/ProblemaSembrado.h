// Seeded random problems for the benchmarks: n products, m components, usages 0..5
// (about half of them 0) and demands that add up to exactly Q.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Problema.h"

namespace tavelorin::bench {

// splitmix64: the same numbers on every platform and standard library.
struct Generador {
    uint64_t s;
    uint64_t Siguiente() {
        uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in a..b.
    int32_t Entre(int32_t a, int32_t b) {
        return a + static_cast<int32_t>((Siguiente() >> 32) * static_cast<uint64_t>(b - a + 1) >> 32);
    }
};

inline std::vector<std::string> ProblemaSembrado(int32_t n, int32_t m, int32_t q, uint64_t semilla = 20240611) {
    Generador g{semilla};
    std::vector<std::vector<int32_t>> usos(static_cast<size_t>(n), std::vector<int32_t>(static_cast<size_t>(m)));
    for (auto& fila : usos)
        for (auto& b : fila) b = g.Entre(0, 1) == 0 ? 0 : g.Entre(1, 5);

    // Demands: 1 each, the rest shared by random weights, the leftover one by one.
    std::vector<int64_t> pesos(static_cast<size_t>(n));
    int64_t sumaPesos = 0;
    for (auto& p : pesos) sumaPesos += (p = g.Entre(1, 100));
    std::vector<int32_t> demandas(static_cast<size_t>(n), 1);
    const int64_t resto = q - n;
    int64_t repartido = 0;
    for (int32_t i = 0; i < n; ++i) {
        const int32_t parte = static_cast<int32_t>(resto * pesos[static_cast<size_t>(i)] / sumaPesos);
        demandas[static_cast<size_t>(i)] += parte;
        repartido += parte;
    }
    for (int32_t i = 0; repartido < resto; i = (i + 1) % n, ++repartido) ++demandas[static_cast<size_t>(i)];

    std::vector<std::string> lineas = {std::to_string(n), std::to_string(m)};
    for (int32_t i = 0; i < n; ++i) {
        std::string linea;
        for (int32_t j = 0; j < m; ++j) linea += std::to_string(usos[static_cast<size_t>(i)][static_cast<size_t>(j)]) + "\t";
        linea += std::to_string(demandas[static_cast<size_t>(i)]);
        lineas.push_back(std::move(linea));
    }
    return lineas;
}

// A problem of any Q whose ideal consumptions stay within 32 bits (Q·N(j) < 2^31): the
// first half of the products are plain models that use no component and take most of
// the demand; the others use 0..2 units of each component (about half of them 0), with
// demands that keep every N(j) within 2^31 / Q.
inline std::vector<std::string> ProblemaSembradoGrande(int32_t n, int32_t m, int32_t q, uint64_t semilla = 20240611) {
    Generador g{semilla};
    const int32_t simples = n / 2;
    const int32_t conComponentes = n - simples;
    const int64_t totalMaximo = (int64_t{1} << 31) / q - 1;
    const int32_t pequena = static_cast<int32_t>(std::max<int64_t>(1, totalMaximo / (2 * conComponentes)));
    std::vector<std::string> lineas = {std::to_string(n), std::to_string(m)};
    int64_t resto = q - static_cast<int64_t>(pequena) * conComponentes;
    for (int32_t i = 0; i < n; ++i) {
        std::string linea;
        const bool simple = i < simples;
        for (int32_t j = 0; j < m; ++j) linea += std::to_string(simple ? 0 : (g.Entre(0, 1) == 0 ? 0 : g.Entre(1, 2))) + "\t";
        int64_t demanda = pequena;
        if (simple) {
            demanda = i + 1 < simples ? resto / (simples - i) : resto;
            resto -= demanda;
        }
        linea += std::to_string(demanda);
        lineas.push_back(std::move(linea));
    }
    return lineas;
}

inline int64_t Columnas(int64_t n, int64_t m, int64_t q) { return 1 + n + q + m + n + m; }

inline uint64_t BytesTabla(int64_t n, int64_t m, int64_t q) {
    return static_cast<uint64_t>(q) * static_cast<uint64_t>(Columnas(n, m, q)) * sizeof(double);
}

inline uint64_t BytesTexto(const std::vector<std::string>& lineas) {
    uint64_t total = 0;
    for (const auto& l : lineas) total += l.size();
    return total;
}

}  // namespace tavelorin::bench
