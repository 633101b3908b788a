// Goal chasing with the choice compared in exact integers.
#include "core/Secuenciador.h"

#include "core/Calidad.h"
#include "core/Errores.h"
#include "core/EtapasInterno.h"

namespace tavelorin {

namespace {

Natural128 AbsolutoCuadrado(Entero128 v) {
    const Natural128 a = v < 0 ? Natural128(0) - static_cast<Natural128>(v) : static_cast<Natural128>(v);
    return a * a;
}

// The smallest Σ_j (Q·(X(j) + b(j)) − k·N(j))² wins, the lowest number among equals.
// The caller's bound keeps the sums inside 128 bits.
struct EleccionExacta {
    Natural128 mejor = 0;
    bool alguno = false;
    void Empezar() { alguno = false; }
    bool Mejora(const detalle::Etapa& etapa, const int32_t* b, double) {
        Natural128 exacta = 0;
        for (int32_t j = 0; j < etapa.m; ++j)
            exacta += AbsolutoCuadrado(static_cast<Entero128>(etapa.q) * (etapa.consumo[j] + b[j]) -
                                       static_cast<Entero128>(etapa.k) * etapa.totales[j]);
        if (alguno && exacta >= mejor) return false;
        mejor = exacta;
        alguno = true;
        return true;
    }
};

}  // namespace

bool detalle::CotaPorEtapa(const EstadoSecuenciador& e, Natural128& cota) {
    const Natural128 q = static_cast<Natural128>(e.Q);
    cota = 0;
    for (int32_t j = 1; j <= e.NComp; ++j) {
        Natural128 x = 0;  // below n·2^62
        for (int32_t i = 1; i <= e.NProd; ++i) {
            const int64_t d = e.Demanda(i);
            if (d <= 0) continue;
            const int64_t b = e.Uso(i, j);
            x += static_cast<Natural128>(b < 0 ? -b : b) * static_cast<Natural128>(d);
        }
        const int64_t total = e.Total(j);
        Natural128 u = 0;
        Natural128 u2 = 0;
        if (__builtin_mul_overflow(q, x + static_cast<Natural128>(total < 0 ? -total : total), &u) ||
            __builtin_mul_overflow(u, u, &u2) || __builtin_add_overflow(cota, u2, &cota))
            return false;
    }
    return true;
}

void EjecutarEtapasExactas(EstadoSecuenciador& estado) {
    Natural128 cota = 0;
    if (!detalle::CotaPorEtapa(estado, cota))
        throw ErrorTavelorin("Los consumos son demasiado grandes para comparar las distancias en enteros de 128 bits");
    EleccionExacta regla;
    detalle::RecorrerEtapas(estado, regla);
}

Solucion SecuenciarExacto(EstadoSecuenciador& estado, const std::vector<std::string>& lineas,
                          std::string_view separador) {
    return detalle::SecuenciarCon(estado, lineas, separador, EjecutarEtapasExactas);
}

void SecuenciarTablaExacta(EstadoSecuenciador& estado, const std::vector<std::string>& lineas) {
    detalle::SecuenciarTablaCon(estado, lineas, EjecutarEtapasExactas);
}

}  // namespace tavelorin
