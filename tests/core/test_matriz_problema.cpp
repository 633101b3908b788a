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

TEST(MatrizProblema, LasCabecerasVuelvenAFijarse) {
    struct Caso {
        const char* nombre;
        int64_t filasAntes, columnasAntes, filas, columnas;
        bool filaFija, columnaFija;
    };
    const Caso casos[] = {
        {"0 productos y luego 3", 1, 6, 4, 6, true, true},
        {"-1 componentes y luego 2", 4, 1, 4, 4, true, true},
        {"una sola celda y luego 2 x 2", 1, 1, 3, 4, true, true},
        {"una sola celda y luego 0 productos", 1, 1, 1, 4, false, true},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        MatrizProblema m = Rotulada(caso.filasAntes, caso.columnasAntes);
        m.FijarTamano(caso.filas, caso.columnas);
        m.Rotular();
        EXPECT_EQ(m.FilaFija(), caso.filaFija);
        EXPECT_EQ(m.ColumnaFija(), caso.columnaFija);
        EXPECT_EQ(m.CeldasVacias(), (m.Filas() - 1) * (m.Columnas() - 1));  // row 0 is never a data row
    }
}

// Items: what still fits stays, the demands follow their column, new cells are empty.
TEST(MatrizProblema, CambiarDimensionesConservaLoQueCabe) {
    struct Caso {
        const char* nombre;
        int64_t filas, columnas;
        Lineas lineas;
        Lineas fila0, columna0;
    };
    // Before: 3 products x 4 components, cells 1..15 row by row (demands 5, 10, 15).
    const Caso casos[] = {
        {"igual", 4, 6, {"3", "4", "1\t2\t3\t4\t5", "6\t7\t8\t9\t10", "11\t12\t13\t14\t15"},
         {"Pr/Co", "1", "2", "3", "4", "Qj"}, {"Pr/Co", "1", "2", "3"}},
        {"mas productos", 6, 6, {"5", "4", "1\t2\t3\t4\t5", "6\t7\t8\t9\t10", "11\t12\t13\t14\t15", "\t\t\t\t", "\t\t\t\t"},
         {"Pr/Co", "1", "2", "3", "4", "Qj"}, {"Pr/Co", "1", "2", "3", "4", "5"}},
        {"menos productos", 3, 6, {"2", "4", "1\t2\t3\t4\t5", "6\t7\t8\t9\t10"},
         {"Pr/Co", "1", "2", "3", "4", "Qj"}, {"Pr/Co", "1", "2"}},
        {"mas componentes", 4, 7, {"3", "5", "1\t2\t3\t4\t\t5", "6\t7\t8\t9\t\t10", "11\t12\t13\t14\t\t15"},
         {"Pr/Co", "1", "2", "3", "4", "5", "Qj"}, {"Pr/Co", "1", "2", "3"}},
        {"menos componentes", 4, 4, {"3", "2", "1\t2\t5", "6\t7\t10", "11\t12\t15"},
         {"Pr/Co", "1", "2", "Qj"}, {"Pr/Co", "1", "2", "3"}},
        {"0 componentes: quedan las demandas", 4, 2, {"3", "0", "5", "10", "15"}, {"Pr/Co", "Qj"},
         {"Pr/Co", "1", "2", "3"}},
        {"-1 componentes: ninguna celda", 4, 1, {"3", "-1", "", "", ""}, {"Qj"}, {"Qj", "1", "2", "3"}},
        {"0 productos", 1, 6, {"0", "4"}, {"Pr/Co", "1", "2", "3", "4", "Qj"}, {"Pr/Co"}},
        {"las dos a la vez", 3, 5, {"2", "3", "1\t2\t3\t5", "6\t7\t8\t10"}, {"Pr/Co", "1", "2", "3", "Qj"},
         {"Pr/Co", "1", "2"}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        MatrizProblema m = Rotulada(4, 6);
        Llenar(m);
        m.CambiarDimensiones(caso.filas, caso.columnas);
        EXPECT_EQ(m.LineasProblema(), caso.lineas);
        EXPECT_EQ(FilaDeTextos(m, 0), caso.fila0);
        EXPECT_EQ(ColumnaDeTextos(m, 0), caso.columna0);
        int64_t vacias = 0;
        for (int32_t r = 1; r < m.Filas(); ++r)
            for (int32_t c = 1; c < m.Columnas(); ++c) vacias += m.Celda(c, r).empty();
        EXPECT_EQ(m.CeldasVacias(), vacias);
    }
    // Growing back does not bring dropped texts back.
    MatrizProblema m = Rotulada(4, 6);
    Llenar(m);
    m.CambiarDimensiones(4, 4);
    m.CambiarDimensiones(4, 6);
    EXPECT_EQ(m.LineasProblema(), (Lineas{"3", "4", "1\t2\t\t\t5", "6\t7\t\t\t10", "11\t12\t\t\t15"}));
    // From one column (no demand column) to several: nothing to keep but the labels.
    MatrizProblema una = Rotulada(3, 1);
    una.CambiarDimensiones(3, 4);
    EXPECT_EQ(una.LineasProblema(), (Lineas{"2", "2", "\t\t", "\t\t"}));
    EXPECT_EQ(FilaDeTextos(una, 0), (Lineas{"Pr/Co", "1", "2", "Qj"}));
}

TEST(MatrizProblema, CambiarDimensionesQueNoCabenNoCambiaNada) {
    MatrizProblema m = Rotulada(4, 6);
    Llenar(m);
    const Lineas antes = m.LineasProblema();
    EXPECT_THROW(m.CambiarDimensiones(MatrizProblema::kFilasMaximas + 1, 6), ErrorTavelorin);
    EXPECT_THROW(m.CambiarDimensiones(4, int64_t{INT32_MAX} + 1), ErrorTavelorin);
    EXPECT_EQ(m.LineasProblema(), antes);
    EXPECT_EQ(FilaDeTextos(m, 0), (Lineas{"Pr/Co", "1", "2", "3", "4", "Qj"}));
}

TEST(MatrizProblema, PerdidaAlCambiar) {
    struct Caso {
        const char* nombre;
        std::vector<std::pair<int, int>> vaciar;  // (column, row) emptied before
        int64_t filas, columnas;
        int32_t productoDesde, productoHasta, componenteDesde, componenteHasta;
        bool demandas;
    };
    const Caso casos[] = {
        {"crecer no pierde nada", {}, 6, 8, 0, 0, 0, 0, false},
        {"igual", {}, 4, 6, 0, 0, 0, 0, false},
        {"un producto", {}, 3, 6, 3, 3, 0, 0, false},
        {"dos productos", {}, 2, 6, 2, 3, 0, 0, false},
        {"productos vacios", {{1, 3}, {2, 3}, {3, 3}, {4, 3}, {5, 3}}, 3, 6, 0, 0, 0, 0, false},
        {"basta una celda", {{1, 3}, {2, 3}, {4, 3}, {5, 3}}, 3, 6, 3, 3, 0, 0, false},
        {"componentes", {}, 4, 4, 0, 0, 3, 4, false},
        {"componentes vacios en las filas que quedan", {{4, 1}, {4, 2}}, 3, 5, 3, 3, 0, 0, false},
        {"un componente", {}, 4, 5, 0, 0, 4, 4, false},
        {"0 productos", {}, 1, 6, 1, 3, 0, 0, false},
        {"0 componentes", {}, 4, 2, 0, 0, 1, 4, false},
        {"-1 componentes: tambien las demandas", {}, 4, 1, 0, 0, 1, 4, true},
        {"-1 componentes sin demandas", {{5, 1}, {5, 2}, {5, 3}}, 4, 1, 0, 0, 1, 4, false},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        MatrizProblema m = Rotulada(4, 6);
        Llenar(m);
        for (auto [c, r] : caso.vaciar) m.PonerCelda(c, r, "");
        const MatrizProblema::Perdida p = m.PerdidaAlCambiar(caso.filas, caso.columnas);
        EXPECT_EQ(p.productoDesde, caso.productoDesde);
        EXPECT_EQ(p.productoHasta, caso.productoHasta);
        EXPECT_EQ(p.componenteDesde, caso.componenteDesde);
        EXPECT_EQ(p.componenteHasta, caso.componenteHasta);
        EXPECT_EQ(p.demandas, caso.demandas);
        EXPECT_EQ(p.Ninguna(), caso.productoDesde == 0 && caso.componenteDesde == 0 && !caso.demandas);
    }
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
