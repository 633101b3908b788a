#include <gtest/gtest.h>

#include "core/Errores.h"
#include "core/MatrizProblema.h"
#include "core/Memoria.h"

using namespace tavelorin;

namespace {

using Lineas = std::vector<std::string>;

MatrizProblema Rotulada(int64_t filas, int64_t columnas) {
    MatrizProblema m;
    m.FijarFilas(filas);
    m.FijarColumnas(columnas);
    m.Rotular();
    return m;
}

Lineas FilaDeTextos(const MatrizProblema& m, int32_t fila) {
    Lineas r;
    for (int32_t c = 0; c < m.Columnas(); ++c) r.push_back(m.Celda(c, fila));
    return r;
}

Lineas ColumnaDeTextos(const MatrizProblema& m, int32_t columna) {
    Lineas r;
    for (int32_t f = 0; f < m.Filas(); ++f) r.push_back(m.Celda(columna, f));
    return r;
}

void Llenar(MatrizProblema& m) {
    int v = 1;
    for (int32_t r = 1; r < m.Filas(); ++r)
        for (int32_t c = 1; c < m.Columnas(); ++c) m.PonerCelda(c, r, std::to_string(v++));
}

}  // namespace

TEST(MatrizProblema, ComoSeCreaLaVentana) {
    MatrizProblema m;
    EXPECT_EQ(m.Filas(), 5);
    EXPECT_EQ(m.Columnas(), 4);
    EXPECT_TRUE(m.FilaFija());
    EXPECT_TRUE(m.ColumnaFija());
    for (int32_t r = 0; r < 5; ++r) EXPECT_EQ(FilaDeTextos(m, r), Lineas(4, ""));
    EXPECT_FALSE(m.Completa());
}

TEST(MatrizProblema, RotularTresPorCuatro) {
    const MatrizProblema m = Rotulada(4, 6);
    EXPECT_EQ(FilaDeTextos(m, 0), (Lineas{"Pr/Co", "1", "2", "3", "4", "Qj"}));
    EXPECT_EQ(ColumnaDeTextos(m, 0), (Lineas{"Pr/Co", "1", "2", "3"}));
    EXPECT_EQ(m.CeldasVacias(), 15);
    EXPECT_FALSE(m.Completa());
}

TEST(MatrizProblema, CompletaSigueALasCeldasVacias) {
    MatrizProblema m = Rotulada(4, 6);
    Llenar(m);
    EXPECT_TRUE(m.Completa());
    m.PonerCelda(3, 2, "");
    EXPECT_FALSE(m.Completa());
    m.PonerCelda(3, 2, " ");  // a space is not empty
    EXPECT_TRUE(m.Completa());
    m.PonerCelda(0, 2, "");  // headers do not count
    m.PonerCelda(2, 0, "");
    EXPECT_TRUE(m.Completa());
    m.PonerCelda(5, 3, "x");  // replacing a text keeps the count
    EXPECT_TRUE(m.Completa());
    m.Rotular();  // labelling empties every data cell again
    EXPECT_EQ(m.CeldasVacias(), 15);
}

TEST(MatrizProblema, CuentasYCabecerasFijas) {
    struct Caso {
        const char* nombre;
        int64_t filas, columnas;
        int32_t filasEsperadas, columnasEsperadas;
        bool filaFija, columnaFija;
        Lineas fila0;
        bool completa;
    };
    const Caso casos[] = {
        {"2 productos, 3 componentes", 3, 5, 3, 5, true, true, {"Pr/Co", "1", "2", "3", "Qj"}, false},
        {"0 productos: solo la fila de cabecera", 1, 6, 1, 6, false, true, {"Pr/Co", "1", "2", "3", "4", "Qj"}, true},
        {"-5 productos como 0", -4, 6, 1, 6, false, true, {"Pr/Co", "1", "2", "3", "4", "Qj"}, true},
        {"0 componentes: cabeceras y demanda", 4, 2, 4, 2, true, true, {"Pr/Co", "Qj"}, false},
        {"-1 componentes: una columna, Qj", 4, 1, 4, 1, true, false, {"Qj"}, true},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        const MatrizProblema m = Rotulada(caso.filas, caso.columnas);
        EXPECT_EQ(m.Filas(), caso.filasEsperadas);
        EXPECT_EQ(m.Columnas(), caso.columnasEsperadas);
        EXPECT_EQ(m.FilaFija(), caso.filaFija);
        EXPECT_EQ(m.ColumnaFija(), caso.columnaFija);
        EXPECT_EQ(FilaDeTextos(m, 0), caso.fila0);
        EXPECT_EQ(m.Completa(), caso.completa);
    }
}

TEST(MatrizProblema, LaFilaFijaNoVuelve) {
    MatrizProblema m = Rotulada(1, 6);
    m.FijarFilas(4);
    m.Rotular();
    EXPECT_FALSE(m.FilaFija());
    EXPECT_TRUE(m.ColumnaFija());
    EXPECT_EQ(ColumnaDeTextos(m, 0), (Lineas{"Pr/Co", "1", "2", "3"}));
    EXPECT_EQ(m.CeldasVacias(), 15);  // row 0 is still not a data row
}

TEST(MatrizProblema, ExportarLineas) {
    MatrizProblema m = Rotulada(4, 6);
    Llenar(m);
    EXPECT_EQ(m.LineasProblema(), (Lineas{"3", "4", "1\t2\t3\t4\t5", "6\t7\t8\t9\t10", "11\t12\t13\t14\t15"}));

    MatrizProblema texto = Rotulada(2, 3);
    texto.PonerCelda(1, 1, "  a ");
    EXPECT_EQ(texto.LineasProblema(), (Lineas{"1", "1", "  a \t"}));

    EXPECT_EQ(Rotulada(3, 1).LineasProblema(), (Lineas{"2", "-1", "", ""}));
    EXPECT_EQ(Rotulada(1, 4).LineasProblema(), (Lineas{"0", "2"}));
}

TEST(MatrizProblema, CambiarLaCuentaConservaLoQueQueda) {
    MatrizProblema m = Rotulada(4, 6);
    Llenar(m);
    m.FijarFilas(6);  // two empty rows appear; no labels are written
    EXPECT_EQ(m.Filas(), 6);
    EXPECT_EQ(m.Celda(5, 3), "15");
    EXPECT_EQ(m.Celda(0, 5), "");
    EXPECT_EQ(m.CeldasVacias(), 10);
    m.FijarFilas(2);
    EXPECT_EQ(m.CeldasVacias(), 0);
    EXPECT_EQ(m.LineasProblema(), (Lineas{"1", "4", "1\t2\t3\t4\t5"}));
}

TEST(MatrizProblema, DemasiadoGrande) {
    MatrizProblema m = Rotulada(4, 6);
    Llenar(m);
    try {
        m.FijarFilas(MatrizProblema::kFilasMaximas + 1);
        ADD_FAILURE() << "se esperaba un error";
    } catch (const ErrorTavelorin& e) {
        EXPECT_STREQ(e.what(), "Grid too large for operation");
    }
    EXPECT_EQ(m.Filas(), 4);
    EXPECT_TRUE(m.Completa());

    EstablecerFuenteMemoria([] { return uint64_t{1} << 20; });
    try {
        m.FijarFilas(100000);
        ADD_FAILURE() << "se esperaba un error";
    } catch (const ErrorTavelorin& e) {
        EXPECT_STREQ(e.what(), "Out of memory");
    }
    EstablecerFuenteMemoria({});
    EXPECT_EQ(m.Filas(), 4);
    EXPECT_EQ(m.Celda(1, 1), "1");
}

TEST(CargarLineas, LlenaLaMatrizComoTextos) {
    struct Caso {
        const char* nombre;
        Lineas lineas;
        int32_t filas, columnas;
        Lineas filaUno;  // cells 0.. of row 1, when there is one
        bool completa;
    };
    const Caso casos[] = {
        {"el ejemplo", {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"}, 4, 4, {"1", "1", "0", "2"}, true},
        {"textos tal cual", {"1", "2", "  7\tabc\t-$1"}, 2, 4, {"1", "  7", "abc", "-$1"}, true},
        {"campos de mas ignorados", {"1", "1", "1\t2\t3\t4"}, 2, 3, {"1", "1", "2"}, true},
        {"falta la demanda", {"1", "2", "1\t2"}, 2, 4, {"1", "1", "2", ""}, false},
        {"lineas de mas ignoradas", {"1", "0", "5", "otra"}, 2, 2, {"1", "5"}, true},
        {"cero productos", {"0", "3"}, 1, 5, {}, true},
        {"menos uno componentes", {"2", "-1", "", ""}, 3, 1, {"1"}, true},
        {"cuentas hexadecimales", {"$1", "x1", "4\t5"}, 2, 3, {"1", "4", "5"}, true},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        MatrizProblema m;
        CargarLineas(m, caso.lineas);
        EXPECT_EQ(m.Filas(), caso.filas);
        EXPECT_EQ(m.Columnas(), caso.columnas);
        if (!caso.filaUno.empty()) {
            EXPECT_EQ(FilaDeTextos(m, 1), caso.filaUno);
        }
        EXPECT_EQ(m.Completa(), caso.completa);
    }
}

TEST(CargarLineas, ErroresYLoQueQueda) {
    struct Caso {
        const char* nombre;
        Lineas lineas;
        const char* mensaje;
        int32_t filas, columnas;
        const char* celda11;  // cell (1, 1) afterwards
    };
    // Every case starts from the same loaded 2 x 1 problem.
    const Caso casos[] = {
        {"sin linea 1", {}, "List index out of bounds (0)", 3, 3, "8"},
        {"linea 1 mala", {"dos"}, "''dos'' is not a valid integer value", 3, 3, "8"},
        {"demasiadas filas", {"134217725", "1"}, "Grid too large for operation", 3, 3, "8"},
        {"sin linea 2: las filas nuevas ya valen", {"4"}, "List index out of bounds (1)", 5, 3, "8"},
        {"linea 2 mala: sin rotular", {"1", "x"}, "''x'' is not a valid integer value", 2, 3, "8"},
        {"faltan filas: las anteriores se llenan", {"3", "1", "5\t6"}, "List index out of bounds (3)", 4, 3, "5"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        MatrizProblema m;
        CargarLineas(m, {"2", "1", "8\t1", "9\t1"});
        try {
            CargarLineas(m, caso.lineas);
            ADD_FAILURE() << "se esperaba un error";
        } catch (const ErrorTavelorin& e) {
            EXPECT_STREQ(e.what(), caso.mensaje);
        }
        EXPECT_EQ(m.Filas(), caso.filas);
        EXPECT_EQ(m.Columnas(), caso.columnas);
        EXPECT_EQ(m.Celda(1, 1), caso.celda11);
    }
}

TEST(MatrizProblema, TamanosQueNoCabenSeRechazanAntesDeReservar) {
    // Sizes users can ask for; with this machine's memory each is refused at once.
    EstablecerFuenteMemoria([] { return uint64_t{16} << 30; });
    struct Caso {
        const char* nombre;
        int64_t filas, columnas;
        const char* mensaje;
    };
    const Caso casos[] = {
        {"10^8 productos", 100000001, 6, "Out of memory"},
        {"50000 x 50000", 50001, 50002, "Out of memory"},
        {"filas y columnas al limite", MatrizProblema::kFilasMaximas, INT32_MAX, "Out of memory"},
        {"mas filas que el limite", MatrizProblema::kFilasMaximas + 1, 2, "Grid too large for operation"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        MatrizProblema m = Rotulada(4, 6);
        try {
            m.FijarFilas(caso.filas);
            m.FijarColumnas(caso.columnas);
            ADD_FAILURE() << "se esperaba un error";
        } catch (const ErrorTavelorin& e) {
            EXPECT_STREQ(e.what(), caso.mensaje);
        }
        EXPECT_LE(int64_t{m.Filas()} * m.Columnas(), int64_t{50001} * 6);
    }
    // 100000 products of 20 components still fit.
    MatrizProblema grande;
    grande.FijarFilas(100001);
    grande.FijarColumnas(22);
    grande.Rotular();
    EXPECT_EQ(grande.CeldasVacias(), int64_t{100000} * 21);
    EstablecerFuenteMemoria({});
}
