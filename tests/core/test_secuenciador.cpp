#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "soporte/EtapasLiteral.h"
#include "soporte/TablaCompleta.h"
#include "tests/core/ProblemasPequenos.h"
#include "core/Calidad.h"
#include "core/Errores.h"
#include "core/Secuenciador.h"

using namespace tavelorin;
using namespace tavelorin::prueba;

namespace {

const Lineas kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};
const Lineas kCuatroPorTres = {"4", "3", "2\t1\t0\t3", "1\t0\t1\t2", "0\t2\t1\t2", "1\t1\t1\t1"};

EstadoSecuenciador Ejecutar(const Lineas& lineas) {
    EstadoSecuenciador e;
    LeerProblema(e, lineas);
    IniciarTabla(e);
    EjecutarEtapas(e);
    return e;
}

std::vector<double> FilaTabla(const TablaEtapas& t, int32_t fila) {
    std::vector<double> r;
    for (int64_t c = 0; c < t.columnas; ++c) r.push_back(t.Celda(fila, c));
    return r;
}

std::vector<int> SecuenciaFinal(const TablaEtapas& t) {
    std::vector<int> s;
    for (int32_t c = 1; c <= t.filas; ++c) s.push_back(static_cast<int>(t.Celda(t.filas - 1, t.ColSecuencia(c))));
    return s;
}

// Bitwise equality, so that a last-bit difference in a distance fails.
void EsperarIgualesBit(const std::vector<double>& a, const std::vector<double>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(std::memcmp(&a[i], &b[i], sizeof(double)), 0) << "columna " << i << ": " << a[i] << " frente a " << b[i];
}

}  // namespace

TEST(Secuenciador, EjemploTrabajadoBitABit) {
    const EstadoSecuenciador e = Ejecutar(kEjemplo);
    const TablaEtapas& t = e.TablaSolucion;
    ASSERT_EQ(t.filas, 4);
    ASSERT_EQ(t.columnas, 15);
    const std::vector<std::vector<double>> esperada = {
        {1, 0.5590169943749475, 0.9013878188659973, 0.5590169943749475, 1, 0, 0, 0, 1, 0, 1, 0, 0, 0.75, 0.5},
        {2, 1.118033988749895, 0.5, 0.5, 1, 2, 0, 0, 1, 1, 1, 1, 0, 1.5, 1},
        {3, 0.5590169943749475, -1, 0.5590169943749475, 1, 2, 1, 0, 2, 1, 2, 1, 0, 2.25, 1.5},
        {4, -1, -1, 0, 1, 2, 1, 3, 3, 2, 2, 1, 1, 3, 2},
    };
    for (int32_t k = 0; k < 4; ++k) {
        SCOPED_TRACE("etapa " + std::to_string(k + 1));
        EsperarIgualesBit(FilaTabla(t, k), esperada[static_cast<size_t>(k)]);
    }
}

TEST(Secuenciador, CuatroProductosTresComponentes) {
    const EstadoSecuenciador e = Ejecutar(kCuatroPorTres);
    const TablaEtapas& t = e.TablaSolucion;
    EXPECT_EQ(SecuenciaFinal(t), (std::vector<int>{4, 1, 3, 2, 1, 2, 3, 1}));
    EsperarIgualesBit({t.Celda(0, 1), t.Celda(0, 2), t.Celda(0, 3), t.Celda(0, 4)},
                      {1.0752906583803283, 1.0752906583803283, 1.5512092057488571, 0.39528470752104744});
    const int32_t u = t.filas - 1;
    EXPECT_EQ((std::vector<double>{t.Celda(u, t.ColConsumo(1)), t.Celda(u, t.ColConsumo(2)), t.Celda(u, t.ColConsumo(3))}),
              (std::vector<double>{9, 8, 5}));
    EXPECT_EQ((std::vector<double>{t.Celda(u, t.ColUnidades(1)), t.Celda(u, t.ColUnidades(2)),
                                   t.Celda(u, t.ColUnidades(3)), t.Celda(u, t.ColUnidades(4))}),
              (std::vector<double>{3, 2, 2, 1}));
    EXPECT_EQ(t.Celda(u, 1), 0);
    EXPECT_EQ(t.Celda(u, 2), -1);
    EXPECT_EQ(t.Celda(u, 3), -1);
    EXPECT_EQ(t.Celda(u, 4), -1);
}

TEST(Secuenciador, CasosDeBorde) {
    struct Caso {
        const char* nombre;
        Lineas lineas;
        int32_t columnas;
        std::vector<int> secuencia;
    };
    const Caso casos[] = {
        {"sin componentes: el menor numero no agotado", {"2", "0", "5", "3"}, 13, {1, 1, 1, 1, 1, 2, 2, 2}},
        {"demanda cero nunca se elige", {"3", "1", "1\t2", "5\t0", "1\t2"}, 1 + 3 + 4 + 1 + 3 + 1, {1, 1, 3, 3}},
        {"una sola etapa", {"1", "1", "3\t1"}, 1 + 1 + 1 + 1 + 1 + 1, {1}},
        {"demanda negativa agotada siempre", {"2", "1", "1\t-4", "2\t5"}, 1 + 2 + 1 + 1 + 2 + 1, {2}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        const EstadoSecuenciador e = Ejecutar(caso.lineas);
        EXPECT_EQ(e.TablaSolucion.columnas, caso.columnas);
        EXPECT_EQ(SecuenciaFinal(e.TablaSolucion), caso.secuencia);
    }
    // A product with demand 0 shows -1 at every stage.
    const EstadoSecuenciador e = Ejecutar(casos[1].lineas);
    for (int32_t k = 0; k < e.TablaSolucion.filas; ++k) EXPECT_EQ(e.TablaSolucion.Celda(k, 2), -1);
}

TEST(Secuenciador, CadaFilaGuardaLaSecuenciaDeSuEtapa) {
    const EstadoSecuenciador e = Ejecutar(kCuatroPorTres);
    const TablaEtapas& t = e.TablaSolucion;
    const std::vector<int> final = SecuenciaFinal(t);
    for (int32_t k = 1; k <= t.filas; ++k) {
        EXPECT_EQ(t.Celda(k - 1, 0), k);
        for (int32_t c = 1; c <= t.filas; ++c)
            EXPECT_EQ(t.Celda(k - 1, t.ColSecuencia(c)), c <= k ? final[static_cast<size_t>(c - 1)] : 0)
                << "etapa " << k << " columna s" << c;
    }
    // The ideal of the last stage is N(j) exactly.
    for (int32_t j = 1; j <= 3; ++j) EXPECT_EQ(t.Celda(t.filas - 1, t.ColIdeal(j)), e.Total(j));
}

TEST(Secuenciador, IgualQueElBucleLiteral) {
    // Every cell of the compact table must be what the plain loop stores in the square
    // table, and what the square table's incremental loop stores, bit for bit.
    struct Forma {
        int n, m, dMax, bMin, bMax;
    };
    const Forma formas[] = {{3, 4, 12, 0, 5}, {6, 2, 20, -3, 3}, {1, 5, 30, 0, 9}, {8, 0, 6, 0, 0},
                            {5, 9, 15, 0, 1}, {4, 3, 25, -10000, 10000}};
    for (uint32_t semilla = 1; semilla <= 12; ++semilla) {
        for (const Forma& f : formas) {
            const Lineas lineas = ProblemaAleatorio(semilla, f.n, f.m, f.dMax, f.bMin, f.bMax);
            EstadoSecuenciador rapido;
            LeerProblema(rapido, lineas);
            IniciarTabla(rapido);
            EjecutarEtapas(rapido);
            SCOPED_TRACE("semilla " + std::to_string(semilla) + " n=" + std::to_string(f.n) + " m=" + std::to_string(f.m));
            const completa::TablaCompleta a = completa::Materializar(rapido.TablaSolucion);
            const completa::TablaCompleta b = literal::TablaLiteral(lineas);
            completa::TablaCompleta c = completa::IniciarTablaCompleta(rapido);
            completa::EjecutarEtapasCompleta(rapido, c);
            ASSERT_EQ(a.filas, b.filas);
            ASSERT_EQ(a.columnas, b.columnas);
            const size_t bytes = a.Cuantas() * sizeof(double);
            EXPECT_EQ(std::memcmp(a.Fila(0), b.Fila(0), bytes), 0);
            EXPECT_EQ(std::memcmp(a.Fila(0), c.Fila(0), bytes), 0);
        }
    }
    // Usages whose sums by the demands pass 32 bits: the consumption is kept in 64.
    const Lineas anchos = {"3", "2", "1073741824\t-5\t1", "-1073741824\t7\t1", "3\t2\t4"};
    EstadoSecuenciador e;
    SecuenciarTabla(e, anchos);
    const completa::TablaCompleta a = completa::Materializar(e.TablaSolucion);
    const completa::TablaCompleta b = literal::TablaLiteral(anchos);
    ASSERT_EQ(a.Cuantas(), b.Cuantas());
    EXPECT_EQ(std::memcmp(a.Fila(0), b.Fila(0), a.Cuantas() * sizeof(double)), 0);
    EXPECT_NE(e.TablaSolucion.datos->consumos, nullptr);
    EXPECT_EQ(e.TablaSolucion.datos->consumos32, nullptr);
}

TEST(IniciarTabla, EscribeNumeroDeEtapaYCeros) {
    EstadoSecuenciador e;
    LeerProblema(e, kEjemplo);
    IniciarTabla(e);
    const TablaEtapas& t = e.TablaSolucion;
    ASSERT_EQ(t.filas, 4);
    ASSERT_EQ(t.columnas, 15);
    EXPECT_EQ(t.nProd, 3);
    EXPECT_EQ(t.nComp, 2);
    for (int32_t k = 0; k < 4; ++k)
        for (int32_t c = 0; c < 15; ++c) EXPECT_EQ(t.Celda(k, c), c == 0 ? k + 1 : 0);
}

TEST(IniciarTabla, UnaQNegativaNoTocaLaTablaAnterior) {
    EstadoSecuenciador e = Ejecutar(kEjemplo);
    const std::vector<double> antes = FilaTabla(e.TablaSolucion, 3);
    LeerProblema(e, {"2", "1", "1\t-4", "2\t1"});
    EXPECT_EQ(e.Q, -3);
    try {
        IniciarTabla(e);
        ADD_FAILURE() << "se esperaba Range check error";
    } catch (const ErrorTavelorin& error) {
        EXPECT_STREQ(error.what(), "Range check error");
    }
    ASSERT_EQ(e.TablaSolucion.filas, 4);
    EXPECT_EQ(e.TablaSolucion.nProd, 3);
    EXPECT_EQ(FilaTabla(e.TablaSolucion, 3), antes);
}

TEST(Secuenciar, UnFalloDejaLaTablaComoEstaba) {
    EstadoSecuenciador e = Ejecutar(kEjemplo);
    struct Caso {
        Lineas lineas;
        const char* mensaje;
    };
    const Caso casos[] = {
        {{"2", "1", "1\tx", "1\t1"}, "''x'' is not a valid integer value"},
        {{"2", "1", "1\t-4", "2\t1"}, "Range check error"},
        {{"1"}, "List index out of bounds (1)"},
    };
    for (const Caso& caso : casos) {
        try {
            Secuenciar(e, caso.lineas, ".");
            ADD_FAILURE() << "se esperaba un error";
        } catch (const ErrorTavelorin& error) {
            EXPECT_STREQ(error.what(), caso.mensaje);
        }
        EXPECT_EQ(e.TablaSolucion.filas, 4);
        EXPECT_EQ(e.TablaSolucion.nProd, 3);
    }
}

TEST(SecuenciarTabla, MasDe65535ColumnasSeResuelve) {
    // The table keeps no row of W cells, so its width is no limit: Q = 65527, W = 65537.
    EstadoSecuenciador e;
    SecuenciarTabla(e, {"3", "2", "1\t0\t20000", "0\t1\t10", "0\t0\t45517"});
    const TablaEtapas& t = e.TablaSolucion;
    ASSERT_EQ(t.filas, 65527);
    EXPECT_EQ(t.columnas, 1 + 3 + 65527 + 2 + 3 + 2);
    const int32_t u = t.filas - 1;
    EXPECT_EQ(FilaTabla(t, u).back(), 10);  // KN2/Q of the last stage is N(2)
    EXPECT_EQ(t.Celda(u, t.ColConsumo(1)), 20000);
    EXPECT_EQ(t.Celda(u, t.ColConsumo(2)), 10);
    EXPECT_EQ(t.Celda(u, t.ColIdeal(1)), 20000);
    EXPECT_EQ(t.Celda(u, t.ColUnidades(1)), 20000);
    EXPECT_EQ(t.Celda(u, t.ColUnidades(2)), 10);
    EXPECT_EQ(t.Celda(u, t.ColUnidades(3)), 45517);
    // A row in the middle: the sequence so far, then zeros; units counted from it.
    const Secuencia s = SecuenciaDeTabla(t);
    const int32_t r = 40000;
    std::vector<int32_t> cuenta(3, 0);
    for (int32_t c = 1; c <= t.filas; ++c) {
        const double v = t.Celda(r, t.ColSecuencia(c));
        ASSERT_EQ(v, c <= r + 1 ? s[static_cast<size_t>(c - 1)] : 0) << "s" << c;
        if (c <= r + 1) ++cuenta[static_cast<size_t>(s[static_cast<size_t>(c - 1)] - 1)];
    }
    for (int32_t p = 1; p <= 3; ++p) EXPECT_EQ(t.Celda(r, t.ColUnidades(p)), cuenta[static_cast<size_t>(p - 1)]);
}

TEST(TablaEtapas, UnidadesDeCadaBloque) {
    // The units of a product are counted from the nearest stored count: every stage,
    // on both sides of a block boundary, agrees with counting the choices.
    const Lineas lineas = ProblemaAleatorio(7, 5, 3, 90, 0, 4);
    const EstadoSecuenciador e = Ejecutar(lineas);
    const TablaEtapas& t = e.TablaSolucion;
    ASSERT_GT(t.filas, 3 * TablaEtapas::kPasoUnidades);
    std::vector<int32_t> cuenta(static_cast<size_t>(t.nProd), 0);
    std::vector<int32_t> todas(static_cast<size_t>(t.nProd));
    for (int32_t fila = 0; fila < t.filas; ++fila) {
        if (t.Eleccion(fila) != 0) ++cuenta[static_cast<size_t>(t.Eleccion(fila) - 1)];
        t.Unidades(fila, todas.data());
        EXPECT_EQ(todas, cuenta) << "etapa " << fila + 1;
        for (int32_t p = 1; p <= t.nProd; ++p) EXPECT_EQ(t.UnidadesDe(fila, p), cuenta[static_cast<size_t>(p - 1)]);
    }
}
