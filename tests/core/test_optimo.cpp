#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/Calidad.h"
#include "core/Errores.h"
#include "core/Memoria.h"
#include "core/Optimo.h"
#include "core/Secuenciador.h"
#include "soporte/TablaCompleta.h"
#include "tests/core/ProblemasPequenos.h"

using namespace tavelorin;
using namespace tavelorin::prueba;

namespace {

const Lineas kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};
const Lineas kMiope = {"3", "3", "1\t1\t1\t3", "2\t0\t0\t2", "0\t1\t1\t3"};
// b = identity, d = 6, 3, 1: exact ties at stages 4 to 6.
const Lineas kIdentidad = {"3", "3", "1\t0\t0\t6", "0\t1\t0\t3", "0\t0\t1\t1"};

Datos DatosDe(const Lineas& lineas) {
    EstadoSecuenciador e;
    LeerProblema(e, lineas);
    Datos p;
    for (int32_t i = 1; i <= e.NProd; ++i) {
        p.b.emplace_back();
        for (int32_t j = 1; j <= e.NComp; ++j) p.b.back().push_back(e.Uso(i, j));
        p.d.push_back(e.Demanda(i));
    }
    return p;
}

EstadoSecuenciador Correr(const Lineas& lineas, bool exacta) {
    EstadoSecuenciador e = Leer(lineas);
    IniciarTabla(e);
    if (exacta)
        EjecutarEtapasExactas(e);
    else
        EjecutarEtapas(e);
    return e;
}

// A tiny problem: up to nMax products, up to 3 components, demands 0..dMax (the first
// at least 1), usages −3..4 or 0..2 (many exact ties).
Datos Aleatorio(uint32_t semilla, int nMax, int dMax, bool pequenos) {
    Lcg g{semilla};
    const int n = g.Entre(1, nMax);
    const int m = g.Entre(0, 3);
    Datos p;
    for (int i = 0; i < n; ++i) {
        p.b.emplace_back();
        for (int j = 0; j < m; ++j) p.b.back().push_back(pequenos ? g.Entre(0, 2) : g.Entre(-3, 4));
        p.d.push_back(g.Entre(i == 0 ? 1 : 0, dMax));
    }
    return p;
}

// The table a run with these choices stores, computed the plain way from the row before.
std::vector<double> TablaConElecciones(const EstadoSecuenciador& e, const Secuencia& elecciones) {
    const int32_t n = e.NProd, m = e.NComp, q = e.Q;
    const int32_t w = 1 + n + q + m + n + m;
    std::vector<double> t(static_cast<size_t>(q) * static_cast<size_t>(w), 0.0);
    auto celda = [&](int32_t k, int32_t c) -> double& { return t[static_cast<size_t>(k - 1) * w + c]; };
    for (int32_t k = 1; k <= q; ++k) {
        celda(k, 0) = k;
        for (int32_t p = 1; p <= n; ++p) {
            const double ns = k > 1 ? celda(k - 1, n + q + m + p) : 0;
            double s = 0;
            for (int32_t j = 1; j <= m; ++j) {
                const double x = k > 1 ? celda(k - 1, n + q + j) : 0;
                const int32_t kn = static_cast<int32_t>(static_cast<int64_t>(k) * e.Total(j));
                const double ideal = static_cast<double>(static_cast<long double>(kn) / static_cast<long double>(q));
                celda(k, n + q + m + n + j) = ideal;
                const double d = static_cast<double>((static_cast<long double>(ideal) - x) -
                                                     static_cast<long double>(e.Uso(p, j)));
                const double dd = static_cast<double>(static_cast<long double>(d) * d);
                s = static_cast<double>(static_cast<long double>(s) + dd);
            }
            celda(k, p) = e.Demanda(p) <= ns ? -1 : static_cast<double>(std::sqrt(static_cast<long double>(s)));
        }
        for (int32_t c = 1; c <= k; ++c) celda(k, n + c) = elecciones[static_cast<size_t>(c - 1)];
        for (int32_t j = 1; j <= m; ++j) {
            double x = 0;
            for (int32_t c = 1; c <= k; ++c) x += e.Uso(elecciones[static_cast<size_t>(c - 1)], j);
            celda(k, n + q + j) = x;
        }
        for (int32_t p = 1; p <= n; ++p)
            celda(k, n + q + m + p) =
                static_cast<double>(std::count(elecciones.begin(), elecciones.begin() + k, p));
    }
    return t;
}

std::vector<double> Celdas(const TablaEtapas& t) {
    const completa::TablaCompleta c = completa::Materializar(t);
    return std::vector<double>(c.Fila(0), c.Fila(0) + c.Cuantas());
}

bool TablaIgualBit(const TablaEtapas& t, const std::vector<double>& otra) {
    const std::vector<double> celdas = Celdas(t);
    return celdas.size() == otra.size() && std::memcmp(celdas.data(), otra.data(), celdas.size() * sizeof(double)) == 0;
}

// Σ_j (Q·(X + b) − k·N)² of product p at stage k, X read from the row before.
int64_t SumaExacta(const EstadoSecuenciador& e, int32_t k, int32_t p) {
    const TablaEtapas& t = e.TablaSolucion;
    int64_t s = 0;
    for (int32_t j = 1; j <= e.NComp; ++j) {
        const int64_t x = k > 1 ? static_cast<int64_t>(t.Celda(k - 2, t.ColConsumo(j))) : 0;
        const int64_t v = static_cast<int64_t>(e.Q) * (x + e.Uso(p, j)) - static_cast<int64_t>(k) * e.Total(j);
        s += v * v;
    }
    return s;
}

}  // namespace

TEST(EtapasExactas, EmpatesExactosAlMenorNumero) {
    EXPECT_EQ(SecuenciaDeTabla(Correr(kIdentidad, true).TablaSolucion), (Secuencia{1, 2, 1, 1, 2, 1, 3, 1, 2, 1}));
    EXPECT_EQ(SecuenciaDeTabla(Correr(kIdentidad, false).TablaSolucion), (Secuencia{1, 2, 1, 3, 1, 2, 1, 1, 2, 1}));
    // Stage 4 starts from the same state in both runs: the same distances, another choice.
    const EstadoSecuenciador exacta = Correr(kIdentidad, true);
    const EstadoSecuenciador flotante = Correr(kIdentidad, false);
    for (int32_t p = 1; p <= 3; ++p)
        EXPECT_EQ(std::bit_cast<uint64_t>(exacta.TablaSolucion.Celda(3, p)), std::bit_cast<uint64_t>(flotante.TablaSolucion.Celda(3, p)));
    EXPECT_EQ(exacta.TablaSolucion.Celda(3, exacta.TablaSolucion.ColSecuencia(4)), 1);
    EXPECT_EQ(flotante.TablaSolucion.Celda(3, flotante.TablaSolucion.ColSecuencia(4)), 3);
}

TEST(EtapasExactas, LaTablaEsLaDeSusEleccionesYSoloDifiereEnEmpates) {
    // Every cell is what the plain loop stores for the run's own choices; where the run
    // leaves the floating-point run, the two choices tie exactly and the exact one has
    // the lower number; where it does not, the tables are equal bit for bit.
    int divergencias = 0;
    auto comprobar = [&divergencias](const Lineas& lineas) {
        const EstadoSecuenciador exacta = Correr(lineas, true);
        const EstadoSecuenciador flotante = Correr(lineas, false);
        const Secuencia se = SecuenciaDeTabla(exacta.TablaSolucion);
        const Secuencia sf = SecuenciaDeTabla(flotante.TablaSolucion);
        EXPECT_TRUE(TablaIgualBit(exacta.TablaSolucion, TablaConElecciones(exacta, se)));
        const auto primera = std::mismatch(se.begin(), se.end(), sf.begin()).first;
        if (primera == se.end()) {
            EXPECT_TRUE(TablaIgualBit(exacta.TablaSolucion, Celdas(flotante.TablaSolucion)));
            return;
        }
        ++divergencias;
        const int32_t k = static_cast<int32_t>(primera - se.begin()) + 1;
        const int32_t pe = se[static_cast<size_t>(k - 1)], pf = sf[static_cast<size_t>(k - 1)];
        EXPECT_EQ(SumaExacta(exacta, k, pe), SumaExacta(exacta, k, pf)) << "etapa " << k;
        EXPECT_LT(pe, pf) << "etapa " << k;
    };
    {
        SCOPED_TRACE("identidad");
        comprobar(kIdentidad);
    }
    for (uint32_t semilla = 1; semilla <= 300; ++semilla) {
        SCOPED_TRACE("semilla " + std::to_string(semilla));
        comprobar(LineasDe(Aleatorio(semilla, 5, 6, semilla % 2 == 0)));
    }
    EXPECT_GT(divergencias, 1);
}

TEST(EtapasExactas, SecuenciarExactoEscribeElInforme) {
    EstadoSecuenciador e;
    const auto [informe, secuencia] = SecuenciarExacto(e, kIdentidad, ",");
    EXPECT_EQ(secuencia, (Lineas{"1", "2", "1", "1", "2", "1", "3", "1", "2", "1"}));
    ASSERT_EQ(informe.size(), 11u);
    EXPECT_EQ(informe[4], "4\t0,7483\t0,9798\t0,7483\t1\t2\t1\t1\t0\t0\t0\t0\t0\t0\t3\t1\t0\t3\t1\t0\t2,4\t1,2\t0,4");
    // Without exact ties, the report is the floating-point run's.
    EstadoSecuenciador a, b;
    const Solucion exacta = SecuenciarExacto(a, kEjemplo, ".");
    const Solucion real = Secuenciar(b, kEjemplo, ".");
    EXPECT_EQ(exacta.informe, real.informe);
    EXPECT_EQ(exacta.secuencia, real.secuencia);
    EXPECT_THROW(SecuenciarExacto(e, {"2", "1", "1\tx", "1\t1"}, "."), ErrorTavelorin);
}

TEST(Optimo, IgualQueLaFuerzaBruta) {
    struct Caso {
        const char* nombre;
        Datos datos;
    };
    const std::vector<Caso> casos = {
        {"ejemplo", DatosDe(kEjemplo)},
        {"persecucion miope", DatosDe(kMiope)},
        {"identidad", DatosDe(kIdentidad)},
        {"demanda cero en medio", {{{1, 0}, {0, 1}, {1, 1}}, {2, 0, 2}}},
        {"sin componentes: todo empata", {{{}, {}, {}}, {2, 1, 1}}},
        {"productos iguales", {{{1, 2}, {1, 2}}, {2, 2}}},
        {"usos negativos", {{{-2, 1}, {3, 0}, {0, -1}}, {2, 2, 1}}},
        {"un solo producto", {{{3, 1}}, {4}}},
        {"demandas desordenadas", {{{2, 1, 0}, {1, 0, 1}, {0, 2, 1}, {1, 1, 1}}, {1, 3, 2, 1}}},
        {"costes de mas de 64 bits", {{{400000000, 7}, {-400000000, 5}}, {5, 5}}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        const Optimo o = CalcularOptimo(Leer(LineasDe(caso.datos)));
        const Mejor f = FuerzaBruta(caso.datos);
        EXPECT_EQ(Texto(o.variacion.numerador), Texto(f.variacion));
        EXPECT_EQ(o.secuencia, f.secuencia);
    }
    EXPECT_GT(FuerzaBruta(casos.back().datos).variacion, Natural128(std::numeric_limits<uint64_t>::max()));
    for (uint32_t semilla = 1; semilla <= 300; ++semilla) {
        SCOPED_TRACE("semilla " + std::to_string(semilla));
        const Datos datos = Aleatorio(semilla, 4, 2, semilla % 3 == 0);
        const Optimo o = CalcularOptimo(Leer(LineasDe(datos)));
        const Mejor f = FuerzaBruta(datos);
        EXPECT_EQ(Texto(o.variacion.numerador), Texto(f.variacion));
        EXPECT_EQ(o.secuencia, f.secuencia);
    }
}

TEST(Optimo, FrenteALaPersecucion) {
    struct Caso {
        const char* nombre;
        Lineas problema;
        Natural128 persecucion, optimo;  // Q²·J
        const char* exceso;
    };
    const Caso casos[] = {
        {"la persecucion es optima", kEjemplo, 14, 14, "Exceso de la persecución (%)\t0"},
        {"empates: optima tambien", kIdentidad, 290, 290, "Exceso de la persecución (%)\t0"},
        {"miope: 99/16 frente a 51/16", kMiope, 396, 204, "Exceso de la persecución (%)\t94.1176470588235"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        const EstadoSecuenciador e = Correr(caso.problema, false);
        const Calidad c = CalcularCalidad(e, SecuenciaDeTabla(e.TablaSolucion));
        const Optimo o = CalcularOptimo(e);
        EXPECT_EQ(Texto(c.componentes.variacion.numerador), Texto(caso.persecucion));
        EXPECT_EQ(Texto(o.variacion.numerador), Texto(caso.optimo));
        EXPECT_EQ(LineasOptimo(o, c.componentes.variacion, ".").back(), caso.exceso);
    }
    const EstadoSecuenciador e = Leer(kMiope);
    const Lineas esperado = {"Óptimo:", "1", "3", "2", "1", "3", "2", "3", "1",
                             "J óptimo\t3,1875", "J persecución\t6,1875", "Exceso de la persecución (%)\t94,1176470588235"};
    EXPECT_EQ(LineasOptimo(CalcularOptimo(e), Racional{396, 64}, ","), esperado);
    // A zero optimum: the excess is 0 when goal chasing also reaches it, infinite otherwise.
    const Optimo cero{{1}, {0, 1}, 2};
    EXPECT_EQ(LineasOptimo(cero, Racional{0, 1}, ".").back(), "Exceso de la persecución (%)\t0");
    EXPECT_EQ(LineasOptimo(cero, Racional{3, 1}, ".").back(), "Exceso de la persecución (%)\tINF");
}

TEST(Optimo, CuentaDeEstados) {
    Lineas doscientos = {"200", "0"};
    for (int i = 0; i < 200; ++i) doscientos.push_back("1");
    struct Caso {
        Lineas problema;
        std::string estados;
    };
    const Caso casos[] = {
        {{"3", "0", "2", "0", "3"}, "12"},
        {{"1", "0", "1"}, "2"},
        {{"3", "1", "1\t1000", "1\t1000", "2\t1000"}, "1003003001"},
        {doscientos, "340282366920938463463374607431768211455"},  // saturated
    };
    for (const Caso& caso : casos) EXPECT_EQ(Texto(EstadosOptimo(Leer(caso.problema))), caso.estados);
}

TEST(Optimo, RechazosAntesDeCalcular) {
    Lineas doscientos = {"200", "0"};
    for (int i = 0; i < 200; ++i) doscientos.push_back("1");
    const Lineas doceEstados = {"2", "1", "1\t2", "2\t3"};
    struct Caso {
        Lineas problema;
        uint64_t limite;
        const char* mensaje;
    };
    const Caso casos[] = {
        {doceEstados, 11,
         "El problema es demasiado grande para el óptimo: tiene 12 estados (el producto de las demandas más uno) "
         "y el límite es 11"},
        {{"3", "1", "1\t1000", "1\t1000", "2\t1000"}, kEstadosMaximos,
         "El problema es demasiado grande para el óptimo: tiene 1003003001 estados (el producto de las demandas más "
         "uno) y el límite es 100000000"},
        {doscientos, kEstadosMaximos,
         "El problema es demasiado grande para el óptimo: tiene más de 10^60 estados (el producto de las demandas "
         "más uno) y el límite es 100000000"},
        {{"2", "1", "1\t-4", "2\t5"}, kEstadosMaximos,
         "El óptimo necesita demandas no negativas y la del producto 1 es -4"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.mensaje);
        try {
            CalcularOptimo(Leer(caso.problema), caso.limite);
            ADD_FAILURE() << "se esperaba un error";
        } catch (const ErrorTavelorin& error) {
            EXPECT_STREQ(error.what(), caso.mensaje);
        }
    }
    // At the limit it runs.
    EXPECT_EQ(CalcularOptimo(Leer(doceEstados), 12).estados, 12u);
    // The states must fit in the memory the system reports available.
    const EstadoSecuenciador e = Leer(doceEstados);
    EstablecerFuenteMemoria([] { return uint64_t{95}; });  // 12 states take 96 bytes
    try {
        CalcularOptimo(e);
        ADD_FAILURE() << "se esperaba Out of memory";
    } catch (const ErrorTavelorin& error) {
        EXPECT_STREQ(error.what(), "Out of memory");
    }
    EstablecerFuenteMemoria({});
}
