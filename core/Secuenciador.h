// Goal-chasing sequencer: the stage table and the run from problem lines to report.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Problema.h"

namespace tavelorin {

namespace detalle {

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

}  // namespace detalle

// Sizes the stage table to Q rows of W columns: column 0 the stage number, the rest 0.
void IniciarTabla(EstadoSecuenciador& estado);

// Runs the stages k = 1..Q over a freshly set-up table.
void EjecutarEtapas(EstadoSecuenciador& estado);

// Parses the lines, runs the method and writes the report and sequence lines (both
// empty on entry). On failure both lists are left as they were.
void Secuenciar(EstadoSecuenciador& estado, const std::vector<std::string>& lineas,
                std::vector<std::string>& informe, std::vector<std::string>& secuencia,
                std::string_view separador);

}  // namespace tavelorin
