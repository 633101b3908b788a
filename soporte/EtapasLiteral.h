// The stage loop written the plain way over the square table: every stage rescans all Q
// sequence columns of its row and writes its choice into every later row. Slow
// (Q^2 (n + m)), but a direct reading of the method; the benchmarks use it as a
// baseline and the tests as an oracle for the core's loop.
#pragma once

#include <cmath>

#include "core/Problema.h"
#include "soporte/TablaCompleta.h"

namespace tavelorin::literal {

using completa::TablaCompleta;

inline void EjecutarEtapasLiteral(const EstadoSecuenciador& estado, TablaCompleta& t) {
    const int32_t n = t.nProd;
    const int32_t m = t.nComp;
    const int32_t q = t.filas;
    for (int32_t k = 1; k <= q; ++k) {
        double* fila = t.Fila(k - 1);
        const double* previa = k > 1 ? t.Fila(k - 2) : nullptr;
        for (int32_t p = 1; p <= n; ++p) {
            const int32_t nsPrevio = previa ? static_cast<int32_t>(previa[t.ColUnidades(p)]) : 0;
            double s = 0;
            for (int32_t j = 1; j <= m; ++j) {
                const double xPrevio = previa ? previa[t.ColConsumo(j)] : 0;
                const int32_t kn = static_cast<int32_t>(static_cast<int64_t>(k) * estado.Total(j));
                const double ideal = static_cast<double>(static_cast<long double>(kn) / static_cast<long double>(q));
                fila[t.ColIdeal(j)] = ideal;
                const double e = static_cast<double>((static_cast<long double>(ideal) - xPrevio) -
                                                     static_cast<long double>(estado.Uso(p, j)));
                const double ee = static_cast<double>(static_cast<long double>(e) * e);
                s = static_cast<double>(static_cast<long double>(s) + ee);
            }
            fila[t.ColDistancia(p)] = static_cast<double>(std::sqrt(static_cast<long double>(s)));
            if (estado.Demanda(p) <= nsPrevio) fila[t.ColDistancia(p)] = -1;
        }
        double mejor = 99999999999.0;
        int32_t elegido = 0;
        for (int32_t p = 1; p <= n; ++p) {
            const double v = fila[t.ColDistancia(p)];
            if (v >= mejor) continue;
            if (v == -1) continue;
            mejor = v;
            elegido = p;
        }
        for (int32_t r = k - 1; r < q; ++r) t.Fila(r)[t.ColSecuencia(k)] = elegido;
        for (int32_t j = 1; j <= m; ++j) {
            double x = 0;
            for (int32_t c = 1; c <= q; ++c) {
                const double v = fila[t.ColSecuencia(c)];
                if (v == 0) continue;
                x = static_cast<double>(static_cast<long double>(estado.Uso(static_cast<int32_t>(v), j)) + x);
            }
            fila[t.ColConsumo(j)] = x;
        }
        for (int32_t p = 1; p <= n; ++p) {
            int32_t cuenta = 0;
            for (int32_t c = 1; c <= q; ++c)
                if (fila[t.ColSecuencia(c)] == p) ++cuenta;
            fila[t.ColUnidades(p)] = cuenta;
        }
    }
}

// The problem read and the square table set up and run by the plain loop.
inline TablaCompleta TablaLiteral(const std::vector<std::string>& lineas, EstadoSecuenciador* estado = nullptr) {
    EstadoSecuenciador e;
    LeerProblema(e, lineas);
    TablaCompleta t = completa::IniciarTablaCompleta(e);
    EjecutarEtapasLiteral(e, t);
    if (estado != nullptr) *estado = std::move(e);
    return t;
}

}  // namespace tavelorin::literal
