#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/Mejora.h"
#include "soporte/CotaInferior.h"
#include "tests/core/ProblemasPequenos.h"

using namespace tavelorin;
using namespace tavelorin::prueba;

namespace {

double J(const Datos& p, const Secuencia& s) {
    int64_t q = 0;
    for (const int64_t d : p.d) q += std::max<int64_t>(d, 0);
    return static_cast<double>(Variacion(p, s)) / (static_cast<double>(q) * static_cast<double>(q));
}

// Products in order, each d(p) times: a poor but valid guide.
Secuencia EnOrden(const Datos& p) {
    Secuencia s;
    for (size_t i = 0; i < p.d.size(); ++i)
        for (int64_t c = 0; c < p.d[i]; ++c) s.push_back(static_cast<int32_t>(i + 1));
    return s;
}

// 2..5 products, more components than products, usages −1..6, demands 0..3 (the first
// at least 1), Q ≤ 10.
Datos Aleatorio(uint32_t semilla) {
    Lcg g{semilla};
    const int n = g.Entre(2, 5);
    const int m = n + g.Entre(1, 2);
    Datos p;
    int64_t q = 0;
    for (int i = 0; i < n; ++i) {
        p.b.emplace_back();
        for (int j = 0; j < m; ++j) p.b.back().push_back(g.Entre(-1, 6));
        p.d.push_back(std::min<int64_t>(g.Entre(i == 0 ? 1 : 0, 3), 10 - q));
        q += p.d.back();
    }
    return p;
}

// The published level-scheduling example of examples/nivelacion_cuatro_productos.brk.
Datos Nivelacion() { return {{{1, 0, 1, 2, 1}, {1, 0, 0, 1, 1}, {0, 0, 0, 0, 1}, {0, 1, 0, 0, 0}}, {2, 2, 2, 4}}; }

}  // namespace

// Below the optimum, rising with the block length, equal to it when one block covers
// every stage, and the same whatever valid sequence guides the enumeration.
TEST(CotaInferior, AcotaElOptimoDeLaFuerzaBrutaYLoAlcanzaConUnSoloBloque) {
    auto comprobar = [](const Datos& datos) {
        const EstadoSecuenciador e = Leer(LineasDe(datos));
        const double optimo = J(datos, FuerzaBruta(datos).secuencia);
        OpcionesMejora o;
        o.segundos = 0;
        o.anchura = 16;
        o.limiteExacto = 0;
        const Secuencia buena = MejorarSecuencia(e, o).secuencia;
        const double tolerancia = 1e-7 * (1 + optimo);
        double anterior = 0;
        for (const int32_t largo : {1, 2, 4, e.Q}) {
            SCOPED_TRACE("bloques de " + std::to_string(largo));
            const auto guiada = bench::CalcularCotaInferior(e, buena, largo);
            const auto torpe = bench::CalcularCotaInferior(e, EnOrden(datos), largo);
            ASSERT_TRUE(guiada && torpe);
            EXPECT_NEAR(guiada->referencia, J(datos, buena), tolerancia);
            EXPECT_NEAR(torpe->referencia, J(datos, EnOrden(datos)), tolerancia);
            EXPECT_NEAR(guiada->porBloques, torpe->porBloques, tolerancia);
            EXPECT_NEAR(guiada->porEtapa, torpe->porEtapa, tolerancia);
            EXPECT_LE(guiada->porEtapa, guiada->porBloques + tolerancia);
            EXPECT_LE(guiada->porBloques, optimo + tolerancia);
            if (largo > 1 && (largo & (largo - 1)) == 0) {
                EXPECT_GE(guiada->porBloques, anterior - tolerancia);  // halving blocks never raises it
            }
            if (largo >= e.Q - 1) {
                EXPECT_NEAR(guiada->porBloques, optimo, tolerancia);
            }
            anterior = guiada->porBloques;
        }
    };
    {
        SCOPED_TRACE("nivelacion_cuatro_productos");
        comprobar(Nivelacion());
        const EstadoSecuenciador e = Leer(LineasDe(Nivelacion()));
        EXPECT_NEAR(bench::CalcularCotaInferior(e, EnOrden(Nivelacion()), e.Q)->porBloques, 7.2, 1e-7);
    }
    for (uint32_t semilla = 1; semilla <= 60; ++semilla) {
        SCOPED_TRACE("semilla " + std::to_string(semilla));
        comprobar(Aleatorio(semilla));
    }
}

// The enumeration needs independent usage differences; a repeated product breaks that.
TEST(CotaInferior, NoSeAplicaConUsosDependientes) {
    const Datos repetido{{{1, 2, 0}, {1, 2, 0}, {0, 1, 3}}, {2, 1, 2}};
    const EstadoSecuenciador e = Leer(LineasDe(repetido));
    EXPECT_FALSE(bench::CalcularCotaInferior(e, EnOrden(repetido), 2).has_value());
}
