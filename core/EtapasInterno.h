// The stage loop that the floating-point and the exact runs share, with the data it reads
// once a run. For the core's own sources: not part of its interface.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/Calidad.h"
#include "core/Informe.h"
#include "core/Problema.h"

namespace tavelorin::detalle {

// The problem's usages by product, demands and totals, read once from Datos for a run.
struct DatosEtapas {
    int32_t n = 0, m = 0;
    std::vector<int32_t> usos;  // n rows of m
    std::vector<int32_t> demandas;
    std::vector<int32_t> totales;

    explicit DatosEtapas(const EstadoSecuenciador& estado) : n(estado.TablaSolucion.nProd), m(estado.TablaSolucion.nComp) {
        usos.resize(static_cast<size_t>(n) * static_cast<size_t>(m));
        demandas.resize(static_cast<size_t>(n));
        totales.resize(static_cast<size_t>(m));
        for (int32_t p = 0; p < n; ++p) {
            for (int32_t j = 0; j < m; ++j) usos[static_cast<size_t>(p) * m + j] = estado.Datos(p, j);
            demandas[static_cast<size_t>(p)] = estado.Datos(p, m);
        }
        for (int32_t j = 0; j < m; ++j) totales[static_cast<size_t>(j)] = estado.Datos(n, j);
    }
    const int32_t* Usos(int32_t producto0) const { return usos.data() + static_cast<size_t>(producto0) * m; }
};

// The distance of one product at a stage, with the run's exact rounding: each
// difference, square and partial sum evaluated with a 64-bit significand and stored
// as a double, then the square root.
inline double DistanciaEtapa(const double* ideal, const int64_t* consumo, const int32_t* b, int32_t m) {
    double s = 0.0;
    for (int32_t j = 0; j < m; ++j) {
        const double e = static_cast<double>(
            (static_cast<long double>(ideal[j]) - static_cast<long double>(consumo[j])) - static_cast<long double>(b[j]));
        const double ee = static_cast<double>(static_cast<long double>(e) * static_cast<long double>(e));
        s = static_cast<double>(static_cast<long double>(s) + static_cast<long double>(ee));
    }
    return static_cast<double>(std::sqrt(static_cast<long double>(s)));
}

// A stage as a choice rule sees it.
struct Etapa {
    int32_t k = 0;  // 1..Q
    int32_t q = 0;
    int32_t m = 0;
    const int32_t* totales = nullptr;  // N(j), m of them
    const int64_t* consumo = nullptr;  // X(j) after stages 1..k−1
};

// Runs the stages k = 1..Q over a freshly set-up table. Each row gets the ideal
// consumption k·N(j)/Q, every product's distance (−1 once it is exhausted), the sequence
// so far, the consumption and the units. The rule chooses among the products not
// exhausted: regla.Empezar() opens a stage, then regla.Mejora(etapa, usos, distancia) is
// asked about each of them in product order and answers whether it takes the place of
// the best so far. A stage where no product is taken makes nothing (0).
template <typename Regla>
void RecorrerEtapas(EstadoSecuenciador& estado, Regla& regla) {
    TablaEtapas& t = estado.TablaSolucion;
    const int32_t n = t.nProd;
    const int32_t m = t.nComp;
    const int32_t q = t.filas;
    const int64_t w = t.columnas;

    const DatosEtapas datos(estado);
    const std::vector<int32_t>& demandas = datos.demandas;
    const std::vector<int32_t>& totales = datos.totales;

    // Consumption and units so far, kept incrementally: whole numbers, so exact.
    std::vector<int64_t> consumo(static_cast<size_t>(m), 0);
    std::vector<int64_t> unidades(static_cast<size_t>(n), 0);
    std::vector<double> ideal(static_cast<size_t>(m));
    const long double divisor = q;

    for (int32_t k = 1; k <= q; ++k) {
        double* fila = t.Fila(k - 1);
        for (int32_t j = 0; j < m; ++j) {
            const int32_t kn = static_cast<int32_t>(static_cast<int64_t>(k) * totales[static_cast<size_t>(j)]);
            ideal[static_cast<size_t>(j)] = static_cast<double>(static_cast<long double>(kn) / divisor);
            fila[t.ColIdeal(j + 1)] = ideal[static_cast<size_t>(j)];
        }

        const Etapa etapa{k, q, m, totales.data(), consumo.data()};
        regla.Empezar();
        int32_t elegido = 0;
        for (int32_t p = 0; p < n; ++p) {
            const int32_t* b = datos.Usos(p);
            const bool agotado = demandas[static_cast<size_t>(p)] <= unidades[static_cast<size_t>(p)];
            const double d = agotado ? -1.0 : DistanciaEtapa(ideal.data(), consumo.data(), b, m);
            fila[t.ColDistancia(p + 1)] = d;
            if (!agotado && regla.Mejora(etapa, b, d)) elegido = p + 1;
        }

        // The sequence so far: the previous row's choices, then this stage's.
        if (k > 1) std::memcpy(fila + t.ColSecuencia(1), fila - w + t.ColSecuencia(1), sizeof(double) * (k - 1));
        fila[t.ColSecuencia(k)] = elegido;

        if (elegido != 0) {
            const int32_t* b = datos.Usos(elegido - 1);
            for (int32_t j = 0; j < m; ++j) consumo[static_cast<size_t>(j)] += b[j];
            ++unidades[static_cast<size_t>(elegido - 1)];
        }
        for (int32_t j = 0; j < m; ++j) fila[t.ColConsumo(j + 1)] = static_cast<double>(consumo[static_cast<size_t>(j)]);
        for (int32_t p = 0; p < n; ++p) fila[t.ColUnidades(p + 1)] = static_cast<double>(unidades[static_cast<size_t>(p)]);
    }
}

// An upper bound of Σ_j (Q·X(j) − k·N(j))² over every k ≤ Q and every unit vector
// 0 ≤ x ≤ max(d, 0): with U(j) = Q·Σ_i |b(i,j)|·max(d(i), 0) + Q·|N(j)|, Σ_j U(j)².
// false when it leaves 128 bits.
bool CotaPorEtapa(const EstadoSecuenciador& e, Natural128& cota);

// Reads the lines, sets up the table, runs etapas over it and writes the report and the
// sequence; a failed allocation becomes "Out of memory".
Solucion SecuenciarCon(EstadoSecuenciador& estado, const std::vector<std::string>& lineas,
                       std::string_view separador, void (*etapas)(EstadoSecuenciador&));

}  // namespace tavelorin::detalle
