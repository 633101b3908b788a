#include <gtest/gtest.h>

#include <optional>

#include "core/Errores.h"
#include "core/Memoria.h"
#include "core/Problema.h"

using namespace tavelorin;

namespace {

using Lineas = std::vector<std::string>;

const Lineas kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};

std::string MensajeDe(EstadoSecuenciador& estado, const Lineas& lineas, std::optional<CeldaProblema>* celda = nullptr) {
    try {
        LeerProblema(estado, lineas);
    } catch (const ErrorTavelorin& e) {
        if (celda != nullptr) *celda = e.Celda();
        return e.what();
    }
    return "";
}

std::vector<int32_t> Fila(const EstadoSecuenciador& e, int64_t fila) {
    std::vector<int32_t> r;
    for (int64_t c = 0; c < e.Datos.columnas; ++c) r.push_back(e.Datos(fila, c));
    return r;
}

// A state as a previous successful run leaves it.
EstadoSecuenciador EstadoAnterior() {
    EstadoSecuenciador e;
    LeerProblema(e, kEjemplo);
    return e;
}

class MemoriaLimitada : public ::testing::Test {
protected:
    void TearDown() override { EstablecerFuenteMemoria({}); }
};

}  // namespace

TEST(LeerProblema, ElEjemplo) {
    EstadoSecuenciador e;
    LeerProblema(e, kEjemplo);
    EXPECT_EQ(e.NProd, 3);
    EXPECT_EQ(e.NComp, 2);
    EXPECT_EQ(e.Q, 4);
    ASSERT_EQ(e.Datos.filas, 4);
    ASSERT_EQ(e.Datos.columnas, 3);
    EXPECT_EQ(Fila(e, 0), (std::vector<int32_t>{1, 0, 2}));
    EXPECT_EQ(Fila(e, 1), (std::vector<int32_t>{0, 1, 1}));
    EXPECT_EQ(Fila(e, 2), (std::vector<int32_t>{1, 1, 1}));
    EXPECT_EQ(Fila(e, 3), (std::vector<int32_t>{3, 2, 4}));
}

TEST(LeerProblema, FormasAceptadas) {
    struct Caso {
        const char* nombre;
        Lineas lineas;
        int32_t q;
        std::vector<int32_t> totales;  // last row of Datos
    };
    const Caso casos[] = {
        {"sin componentes", {"2", "0", "5", "3"}, 8, {8}},
        {"campos de mas ignorados", {"1", "1", "2\t3\tbasura\t"}, 3, {6, 3}},
        {"lineas de mas ignoradas", {"1", "1", "2\t3", "no se lee", ""}, 3, {6, 3}},
        {"cuentas con espacios iniciales y hex", {"  $1", "x1", "$2\t0x3"}, 3, {6, 3}},
        {"demandas cero y negativas", {"3", "1", "1\t2", "5\t0", "1\t-1"}, 1, {1, 1}},
        {"usos negativos", {"2", "1", "-3\t2", "4\t1"}, 3, {-2, 3}},
        {"limites de 32 bits exactos", {"1", "2", "2147483647\t-2147483648\t1"}, 1,
         {2147483647, -2147483648, 1}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        EstadoSecuenciador e;
        LeerProblema(e, caso.lineas);
        EXPECT_EQ(e.Q, caso.q);
        EXPECT_EQ(Fila(e, e.NProd), caso.totales);
    }
}

TEST(LeerProblema, Errores) {
    struct Caso {
        const char* nombre;
        Lineas lineas;
        const char* mensaje;
        std::optional<CeldaProblema> celda = std::nullopt;  // the cell a text error names
    };
    const Caso casos[] = {
        {"sin lineas", {}, "List index out of bounds (0)"},
        {"sin linea 2", {"3"}, "List index out of bounds (1)"},
        {"faltan filas", {"3", "2", "1\t0\t2"}, "List index out of bounds (3)"},
        {"faltan todas las filas", {"2", "1"}, "List index out of bounds (2)"},
        {"cuenta con espacio final", {"3 ", "2"}, "''3 '' is not a valid integer value"},
        {"componentes no enteros", {"3", "dos"}, "''dos'' is not a valid integer value"},
        {"campo vacio por falta", {"1", "2", "1\t2"}, "'''' is not a valid integer value", CeldaProblema{1, 3}},
        {"tabuladores seguidos", {"1", "2", "1\t\t2"}, "'''' is not a valid integer value", CeldaProblema{1, 2}},
        {"primer campo malo en orden de lectura", {"2", "1", "1\t2", "x\ty"}, "''x'' is not a valid integer value",
         CeldaProblema{2, 1}},
        {"decimal", {"1", "1", "1.5\t2"}, "''1.5'' is not a valid integer value", CeldaProblema{1, 1}},
        {"demanda", {"2", "1", "1\t2", "3\t4 "}, "''4 '' is not a valid integer value", CeldaProblema{2, 2}},
        {"productos negativos", {"-2", "1"}, "Range check error"},
        {"componentes negativos", {"1", "-2"}, "Range check error"},
        {"productos -1", {"-1", "5"}, "El número de productos no puede ser negativo (-1)"},
        {"componentes -1", {"1", "-1", "3"},
         "El problema necesita al menos la columna de la demanda: el número de componentes no puede ser "
         "negativo (-1)"},
        {"sin productos", {"0", "2"},
         "No hay nada que secuenciar: la demanda total es 0; al menos un producto debe tener demanda positiva"},
        {"demanda total cero", {"2", "1", "1\t3", "1\t-3"},
         "No hay nada que secuenciar: la demanda total es 0; al menos un producto debe tener demanda positiva"},
        {"uso por demanda fuera de 32 bits", {"1", "1", "65536\t32768"},
         "El consumo del componente 1 por el producto 1 (2147483648) se sale del intervalo de los enteros de 32 "
         "bits"},
        {"total fuera de 32 bits", {"2", "1", "2147483647\t1", "1\t1"},
         "El consumo total del componente 1 (2147483648) se sale del intervalo de los enteros de 32 bits"},
        {"demanda total fuera de 32 bits", {"2", "0", "2147483647", "1"},
         "La demanda total (2147483648) se sale del intervalo de los enteros de 32 bits"},
        {"consumo ideal fuera de 32 bits", {"1", "1", "50000\t30000"},
         "El consumo ideal del componente 1 en la etapa 30000 (45000000000000) se sale del intervalo de los "
         "enteros de 32 bits"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        EstadoSecuenciador e;
        std::optional<CeldaProblema> celda;
        EXPECT_EQ(MensajeDe(e, caso.lineas, &celda), caso.mensaje);
        EXPECT_EQ(celda, caso.celda);
    }
}

TEST(LeerProblema, UnFalloDejaElEstadoParcial) {
    // Rows before the bad field are converted, the counts are the new ones, Q is old.
    EstadoSecuenciador e = EstadoAnterior();
    EXPECT_EQ(MensajeDe(e, {"2", "3", "7\t8\t9\t1", "4\tmal\t6\t1"}), "''mal'' is not a valid integer value");
    EXPECT_EQ(e.NProd, 2);
    EXPECT_EQ(e.NComp, 3);
    EXPECT_EQ(e.Q, 4);
    ASSERT_EQ(e.Datos.filas, 3);
    ASSERT_EQ(e.Datos.columnas, 4);
    EXPECT_EQ(Fila(e, 0), (std::vector<int32_t>{7, 8, 9, 1}));
    EXPECT_EQ(e.Datos(1, 0), 4);

    // A count that fails leaves the earlier count and everything else as it was.
    EstadoSecuenciador f = EstadoAnterior();
    EXPECT_NE(MensajeDe(f, {"5", "x"}), "");
    EXPECT_EQ(f.NProd, 5);
    EXPECT_EQ(f.NComp, 2);
    EXPECT_EQ(f.Q, 4);
    EXPECT_EQ(f.Datos.filas, 4);

    // A refused problem keeps the old Q and leaves the totals row unwritten.
    EstadoSecuenciador g = EstadoAnterior();
    EXPECT_NE(MensajeDe(g, {"1", "1", "50000\t30000"}), "");
    EXPECT_EQ(g.Q, 4);
    EXPECT_EQ(g.Datos(1, 0), 0);
    EXPECT_EQ(g.Datos(1, 1), 0);
}

TEST_F(MemoriaLimitada, UnProblemaQueNoCabeSeRechazaAntesDeReservar) {
    EstablecerFuenteMemoria([] { return uint64_t{1} << 20; });
    struct Caso {
        const char* nombre;
        Lineas lineas;
    };
    const Caso casos[] = {
        {"Datos enorme", {"100000000", "1000"}},
        {"tabla que no cabe", {"1", "0", "100000"}},
    };
    // 100 products and 100 components over 20,000,000 stages keep 32 GB of distances and
    // consumptions: more than a 16 GB machine has.
    EstablecerFuenteMemoria([] { return uint64_t{16} << 30; });
    {
        Lineas grande = {"100", "100"};
        std::string fila;
        for (int j = 0; j < 100; ++j) fila += "0\t";
        for (int i = 0; i < 100; ++i) grande.push_back(fila + "200000");
        EstadoSecuenciador e = EstadoAnterior();
        EXPECT_EQ(MensajeDe(e, grande), "Out of memory");
        EXPECT_EQ(e.Q, 4);
    }
    EstablecerFuenteMemoria([] { return uint64_t{1} << 20; });
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        EstadoSecuenciador e = EstadoAnterior();
        EXPECT_EQ(MensajeDe(e, caso.lineas), "Out of memory");
        EXPECT_EQ(e.Q, 4);
    }
    // A small problem still fits.
    EstadoSecuenciador e;
    EXPECT_EQ(MensajeDe(e, kEjemplo), "");
}

TEST(MemoriaNecesaria, CubreLaTablaYCreceConQ) {
    // Per stage the choice (4 bytes), n distances and m consumptions (8 bytes each), and
    // every 64 stages the units of every product; nothing grows with Q^2.
    auto almacenado = [](uint64_t n, uint64_t m, uint64_t q) { return q * (4 + 8 * n + 8 * m) + (q / 64 + 1) * 4 * n; };
    EXPECT_GE(MemoriaNecesaria(3, 2, 4), almacenado(3, 2, 4));
    EXPECT_GE(MemoriaNecesaria(10, 20, 1000000), almacenado(10, 20, 1000000));
    EXPECT_LT(MemoriaNecesaria(10, 20, 1000000), 2 * almacenado(10, 20, 1000000));
    EXPECT_EQ(MemoriaNecesaria(3, 2, 0), 0u);
    // The whole text, which only Secuenciar builds, grows with the square of Q.
    EXPECT_GT(MemoriaTextoInforme(10, 20, 5000), uint64_t{5001} * 5000 * 2);
}

TEST_F(MemoriaLimitada, LasCuentasMaximasNoDanLaVueltaAlContarBytes) {
    // (n + 1)(m + 1) cells of 4 bytes reach 2^64 with n = m = 2147483647: refused as
    // too large, never taken for 0 bytes; past max_size() even with the memory unknown.
    EstablecerFuenteMemoria([] { return uint64_t{1} << 20; });
    EstadoSecuenciador e = EstadoAnterior();
    EXPECT_EQ(MensajeDe(e, {"2147483647", "2147483647"}), "Out of memory");
    EXPECT_EQ(MensajeDe(e, {"$7FFFFFFF", "x7FFFFFFF"}), "Out of memory");
    EXPECT_EQ(e.Q, 4);
    EstablecerFuenteMemoria([] { return UINT64_MAX; });
    EXPECT_EQ(MensajeDe(e, {"2147483647", "2147483647"}), "Out of memory");
    EXPECT_EQ(MensajeDe(e, {"2147483647", "1073741824"}), "Out of memory");
    EXPECT_EQ(e.Q, 4);
}

// An evaluation builds no stage table: neither the table's width, nor its memory, nor
// its 32-bit ideal consumption Q·N(j) limits it, while the checks on the problem's
// values stay.
TEST_F(MemoriaLimitada, EvaluarNoNecesitaLaTablaDeEtapas) {
    EstablecerFuenteMemoria([] { return uint64_t{4} << 20; });
    struct Caso {
        const char* nombre;
        Lineas lineas;
        std::string paraSecuenciar, paraEvaluar;  // messages; empty: read
    };
    const Caso casos[] = {
        {"Q = 200000: la tabla no cabe", {"2", "1", "0\t100000", "0\t100000"}, "Out of memory", ""},
        {"Q = 60000: Q·N(1) fuera de 32 bits", {"2", "1", "1\t30000", "2\t30000"},
         "El consumo ideal del componente 1 en la etapa 60000 (5400000000) se sale del intervalo de los enteros de 32 bits",
         ""},
        // The table keeps no row of W cells: a problem wider than 65535 columns is read.
        {"Q = 70000: mas ancha que 65535 columnas", {"2", "1", "1\t15000", "0\t55000"}, "", ""},
        {"Q = 2000000: ni la tabla ni la secuencia caben", {"1", "0", "2000000"}, "Out of memory", "Out of memory"},
        {"sin demanda", {"1", "1", "1\t0"},
         "No hay nada que secuenciar: la demanda total es 0; al menos un producto debe tener demanda positiva",
         "No hay nada que secuenciar: la demanda total es 0; al menos un producto debe tener demanda positiva"},
        {"consumo de un producto fuera de 32 bits", {"1", "1", "100000\t30000"},
         "El consumo del componente 1 por el producto 1 (3000000000) se sale del intervalo de los enteros de 32 bits",
         "El consumo del componente 1 por el producto 1 (3000000000) se sale del intervalo de los enteros de 32 bits"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        for (const Lectura lectura : {Lectura::ParaSecuenciar, Lectura::ParaEvaluar}) {
            EstadoSecuenciador e;
            std::string mensaje;
            try {
                LeerProblema(e, c.lineas, lectura);
            } catch (const ErrorTavelorin& error) {
                mensaje = error.what();
            }
            EXPECT_EQ(mensaje, lectura == Lectura::ParaSecuenciar ? c.paraSecuenciar : c.paraEvaluar);
        }
    }
}
