#include <gtest/gtest.h>

#include <cmath>

#include "core/Aleatorio.h"
#include "core/Errores.h"
#include "core/GeneracionAleatoria.h"
#include "core/Memoria.h"
#include "core/TextoReal.h"

using namespace tavelorin;

namespace {

std::string MensajeDe(const std::function<void()>& f) {
    try {
        f();
    } catch (const ErrorTavelorin& e) {
        return e.what();
    }
    return "";
}

std::vector<std::string> Fila(const MatrizProblema& m, int32_t fila) {
    std::vector<std::string> r;
    for (int32_t c = 1; c < m.Columnas(); ++c) r.push_back(m.Celda(c, fila));
    return r;
}

constexpr uint32_t kSinContar = UINT32_MAX;  // draws depend on the presences

}  // namespace

TEST(GeneradorAleatorio, EstadosYReales) {
    GeneradorAleatorio g;
    g.SemillaAleatoria = 0;
    const uint32_t estados[] = {1, 134775814, 3698175007, 870078620, 1172187917};
    for (uint32_t e : estados) {
        const double r = g.RealAleatorio();
        EXPECT_EQ(g.SemillaAleatoria, e);
        EXPECT_EQ(r, std::ldexp(static_cast<double>(e), -32));
    }
    g.SemillaAleatoria = 0xFFFFFFFFu;
    EXPECT_LT(g.RealAleatorio(), 1.0);
}

TEST(GeneradorAleatorio, EnteroAleatorioEntreLosDosLimites) {
    struct Caso {
        int32_t minimo, maximo, menor, mayor;
    };
    const Caso casos[] = {
        {1, 5, 1, 5},
        {5, 20, 5, 20},
        {7, 7, 7, 7},
        {-3, 2, -3, 2},
        {0, 0, 0, 0},
        {5, 1, 1, 5},  // crossed: taken the other way round
        {3, 2, 2, 3},
        {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX},  // the width 2^32 needs the 64 bits
        {INT32_MAX - 1, INT32_MAX, INT32_MAX - 1, INT32_MAX},
        {INT32_MIN, INT32_MIN + 2, INT32_MIN, INT32_MIN + 2},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(std::to_string(caso.minimo) + ", " + std::to_string(caso.maximo));
        GeneradorAleatorio g;
        g.SemillaAleatoria = 12345;
        int32_t visto_min = INT32_MAX, visto_max = INT32_MIN;
        for (int i = 0; i < 20000; ++i) {
            const uint32_t antes = g.SemillaAleatoria;
            const int32_t v = g.EnteroAleatorio(caso.minimo, caso.maximo);
            EXPECT_EQ(g.SemillaAleatoria, antes * 134775813u + 1u);  // one draw each
            visto_min = std::min(visto_min, v);
            visto_max = std::max(visto_max, v);
        }
        EXPECT_GE(visto_min, caso.menor);
        EXPECT_LE(visto_max, caso.mayor);
        if (int64_t{caso.mayor} - caso.menor < 100) {  // small ranges are covered end to end
            EXPECT_EQ(visto_min, caso.menor);
            EXPECT_EQ(visto_max, caso.mayor);
        }
    }
    // Exact: minimo + floor(s * (maximo - minimo + 1) / 2^32) with the new state s.
    GeneradorAleatorio g;
    g.SemillaAleatoria = 0;
    EXPECT_EQ(g.EnteroAleatorio(5, 20), 5);   // s = 1: 16 s / 2^32 = 0.0000000037
    EXPECT_EQ(g.EnteroAleatorio(5, 20), 5);   // s = 134775814: 0.502
    EXPECT_EQ(g.EnteroAleatorio(5, 20), 18);  // s = 3698175007: 13.78
    EXPECT_EQ(g.EnteroAleatorio(1, 5), 2);    // s = 870078620: 5 s / 2^32 = 1.013
}

TEST(GeneradorAleatorio, EnteroAleatorioUniforme) {
    // Each of 1..5 about a fifth of the draws (the last value too).
    GeneradorAleatorio g;
    g.SemillaAleatoria = 7;
    int cuentas[6] = {};
    constexpr int kSorteos = 50000;
    for (int i = 0; i < kSorteos; ++i) ++cuentas[g.EnteroAleatorio(1, 5)];
    EXPECT_EQ(cuentas[0], 0);
    for (int v = 1; v <= 5; ++v) {
        SCOPED_TRACE(v);
        EXPECT_NEAR(cuentas[v], kSorteos / 5, kSorteos / 50);
    }
}

TEST(TextoAReal, ReglaDeLosReales) {
    struct Caso {
        const char* texto;
        const char* separador;
        bool valido;
        double valor;
    };
    const Caso casos[] = {
        {"0,5", ",", true, 0.5},     {"0.5", ".", true, 0.5},       {"  1,25  ", ",", true, 1.25},
        {"+3", ",", true, 3},        {"-2,5", ",", true, -2.5},     {"1,", ",", true, 1},
        {",5", ",", true, 0.5},      {",", ",", true, 0},           {"1E2", ",", true, 100},
        {"1e-2", ",", true, 0.01},   {"2e", ",", true, 2},          {"2e+", ",", true, 2},
        {"1,5E+1", ",", true, 15},   {"007", ",", true, 7},         {"1e-400", ",", true, 0},
        {"0.5", ",", false, 0},      {"1.000,5", ",", false, 0},    {"", ",", false, 0},
        {" ", ",", false, 0},        {"abc", ",", false, 0},        {"1 2", ",", false, 0},
        {"--1", ",", false, 0},      {"e5", ",", false, 0},         {"1,5,", ",", false, 0},
        {"\t1", ",", false, 0},      {"$10", ",", false, 0},        {"1e99999", ",", false, 0},
        {"0,1", ",", true, 0.1},     {"0,3", ",", true, 0.3},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(std::string("[") + caso.texto + "] sep " + caso.separador);
        if (caso.valido) {
            EXPECT_EQ(TextoAReal(caso.texto, caso.separador), caso.valor);
        } else {
            EXPECT_EQ(MensajeDe([&] { TextoAReal(caso.texto, caso.separador); }),
                      std::string("'") + caso.texto + "' is not a valid floating point value");
        }
    }
    EXPECT_EQ(MensajeDe([] { TextoAReal("1e400", ","); }), "Floating point overflow");
    EXPECT_EQ(MensajeDe([] { TextoAReal("-1,5e309", ","); }), "Floating point overflow");
}

TEST(AjustarDecimal, CambiaElSeparadorSoloSiNoConvierte) {
    struct Caso {
        const char* texto;
        const char* separador;
        const char* ajustado;
    };
    const Caso casos[] = {
        {"0,5", ",", "0,5"},       {"0.5", ",", "0,5"},         {"0,5", ".", "0.5"},
        {"0.5", ".", "0.5"},       {"1.000,5", ".", "1.000.5"}, {"1.000,5", ",", "1.000.5"},
        {"abc", ",", "abc"},       {"", ",", ""},               {"1e400", ",", "1e400"},
        {"a.b", ",", "a,b"},       {"1,2,3", ".", "1.2,3"},
    };
    for (const Caso& caso : casos) EXPECT_EQ(AjustarDecimal(caso.texto, caso.separador), caso.ajustado);
}

TEST(ProblemaAleatorio, EjemploConSemillaCero) {
    // Seed 0, n = 2, m = 3, demands 5..20, p = 0.5, quantities 1..5. The states drawn,
    // and what each gives (demand: 5 + floor(16 s / 2^32); presence: s / 2^32 < 0.5;
    // quantity: 1 + floor(5 s / 2^32)):
    //   product 1: demand  s = 1           -> 5 + 0 = 5
    //              comp 1  s = 134775814   -> 0.031, present; s = 3698175007 -> 1 + 4 = 5
    //              comp 2  s = 870078620   -> 0.203, present; s = 1172187917 -> 1 + 1 = 2
    //              comp 3  s = 2884733762  -> 0.672, absent: 0
    //   product 2: demand  s = 1368768587  -> 5 + 5 = 10
    //              comp 1  s = 694906232   -> 0.162, present; s = 1598751577 -> 1 + 1 = 2
    //              comp 2  s = 1828254910  -> 0.426, present; s = 352239543  -> 1 + 0 = 1
    //              comp 3  s = 2039224980  -> 0.475, present; s = 303092965  -> 1 + 0 = 1
    TextosAleatorios t;
    t.productos = "2";
    t.componentes = "3";
    t.probabilidad = "0.5";
    const ParametrosAleatorios p = LeerParametrosAleatorios(t, ",");
    GeneradorAleatorio g;
    g.SemillaAleatoria = 0;
    MatrizProblema m;
    GenerarProblemaAleatorio(m, p, g);
    EXPECT_EQ(m.Filas(), 3);
    EXPECT_EQ(m.Columnas(), 5);
    EXPECT_EQ(Fila(m, 1), (std::vector<std::string>{"5", "2", "0", "5"}));
    EXPECT_EQ(Fila(m, 2), (std::vector<std::string>{"2", "1", "1", "10"}));
    EXPECT_EQ(g.SemillaAleatoria, 303092965u);  // the thirteenth state: no extra draw
    EXPECT_EQ(m.Celda(0, 0), "Pr/Co");
    EXPECT_EQ(m.Celda(4, 0), "Qj");
}

TEST(ProblemaAleatorio, CasosDeBorde) {
    struct Caso {
        const char* nombre;
        TextosAleatorios textos;
        int32_t filas, columnas;
        uint32_t sorteos;  // draws made
        std::function<bool(const std::string& celda, bool demanda)> celdaValida;
    };
    auto texto = [](std::string n, std::string m, std::string umin, std::string umax, std::string p,
                    std::string cmin, std::string cmax) {
        return TextosAleatorios{n, m, umin, umax, p, cmin, cmax};
    };
    auto entre = [](int a, int b) {
        return [a, b](const std::string& c, bool) { const int v = std::stoi(c); return v >= a && v <= b; };
    };
    const Caso casos[] = {
        {"valores iniciales", TextosAleatorios{}, 11, 22, kSinContar,
         [](const std::string& c, bool demanda) {
             const int v = std::stoi(c);
             return demanda ? (v >= 5 && v <= 20) : (v >= 0 && v <= 5);
         }},
        {"p = 0: todo ausente", texto("4", "5", "5", "20", "0", "1", "5"), 5, 7, 4 * (1 + 5),
         [](const std::string& c, bool demanda) { return demanda || c == "0"; }},
        {"p = 1: todo presente", texto("3", "4", "5", "20", "1", "3", "3"), 4, 6, 3 * (1 + 4 + 4),
         [](const std::string& c, bool demanda) { return demanda || c == "3"; }},
        {"umin = umax", texto("3", "2", "7", "7", "-1", "1", "5"), 4, 4, 3 * 3,
         [](const std::string& c, bool demanda) { return demanda ? c == "7" : c == "0"; }},
        {"limites negativos", texto("4", "3", "-5", "-2", "1", "-1", "0"), 5, 5, 4 * (1 + 3 + 3),
         [](const std::string& c, bool demanda) {
             const int v = std::stoi(c);
             return demanda ? (v >= -5 && v <= -2) : (v >= -1 && v <= 0);
         }},
        {"sin componentes", texto("3", "0", "5", "20", "0,5", "1", "5"), 4, 2, 3, entre(5, 20)},
        {"sin productos", texto("0", "4", "5", "20", "0,5", "1", "5"), 1, 6, 0, entre(0, 0)},
        {"productos negativos", texto("-3", "4", "5", "20", "0,5", "1", "5"), 1, 6, 0, entre(0, 0)},
        {"hexadecimal", texto("x10", "1", "5", "20", "0", "1", "5"), 17, 3, 16 * 2,
         [](const std::string& c, bool demanda) {
             const int v = std::stoi(c);
             return demanda ? (v >= 5 && v <= 20) : v == 0;
         }},
        // Crossed bounds never reach here from the commands; the draw takes them the
        // other way round.
        {"cantidades cruzadas", texto("2", "3", "5", "20", "1", "5", "1"), 3, 5, 2 * 7,
         [](const std::string& c, bool demanda) {
             const int v = std::stoi(c);
             return demanda ? (v >= 5 && v <= 20) : (v >= 1 && v <= 5);
         }},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        const ParametrosAleatorios p = LeerParametrosAleatorios(caso.textos, ",");
        GeneradorAleatorio g;
        g.SemillaAleatoria = 99;
        MatrizProblema m;
        GenerarProblemaAleatorio(m, p, g);
        EXPECT_EQ(m.Filas(), caso.filas);
        EXPECT_EQ(m.Columnas(), caso.columnas);
        EXPECT_TRUE(m.Completa());
        if (caso.sorteos == kSinContar) {
            EXPECT_NE(g.SemillaAleatoria, 99u);
        } else if (caso.sorteos > 0) {
            GeneradorAleatorio h;
            h.SemillaAleatoria = 99;
            for (uint32_t i = 0; i < caso.sorteos; ++i) h.RealAleatorio();
            EXPECT_EQ(g.SemillaAleatoria, h.SemillaAleatoria);
        } else {
            EXPECT_EQ(g.SemillaAleatoria, 99u);
        }
        for (int32_t r = 1; r < m.Filas(); ++r)
            for (int32_t c = 1; c < m.Columnas(); ++c)
                EXPECT_TRUE(caso.celdaValida(m.Celda(c, r), c == m.Columnas() - 1)) << "celda " << c << "," << r << ": " << m.Celda(c, r);
    }
}

TEST(ProblemaAleatorio, MismaSemillaMismaMatriz) {
    const ParametrosAleatorios p = LeerParametrosAleatorios(TextosAleatorios{}, ",");
    MatrizProblema a, b;
    GeneradorAleatorio g, h;
    g.SemillaAleatoria = h.SemillaAleatoria = 2026;
    GenerarProblemaAleatorio(a, p, g);
    GenerarProblemaAleatorio(b, p, h);
    EXPECT_EQ(a.LineasProblema(), b.LineasProblema());
}

TEST(ProblemaAleatorio, ErroresEnOrden) {
    struct Caso {
        TextosAleatorios textos;
        const char* mensaje;
    };
    const Caso casos[] = {
        {{"x", "y", "5", "20", "0,5", "1", "5"}, "''x'' is not a valid integer value"},
        {{"3", "y", "5", "20", "abc", "1", "5"}, "''y'' is not a valid integer value"},
        {{"3", "2", "5", "20", "abc", "z", "5"}, "''z'' is not a valid integer value"},
        {{"3", "2", "5", "20", "abc", "1", "5"}, "'abc' is not a valid floating point value"},
        {{"3", "2", "5", "20", "", "1", "5"}, "'' is not a valid floating point value"},
        {{"3", "2", "5", "20", "1e400", "1", "5"}, "Floating point overflow"},
    };
    for (const Caso& caso : casos) EXPECT_EQ(MensajeDe([&] { LeerParametrosAleatorios(caso.textos, ","); }), caso.mensaje);
    // With "." as separator, 1.000,5 fails with the text as AjustarDecimal left it.
    EXPECT_EQ(MensajeDe([] { LeerParametrosAleatorios({"3", "2", "5", "20", "1.000,5", "1", "5"}, "."); }),
              "'1.000.5' is not a valid floating point value");
    EXPECT_EQ(MensajeDe([] { ComprobarComponentesAleatorios({"3", "-2", "5", "20", "0,5", "1", "5"}); }),
              "El número de componentes no puede ser negativo (-2)");
    EXPECT_EQ(MensajeDe([] { ComprobarComponentesAleatorios({"3", "x", "5", "20", "0,5", "1", "5"}); }), "");
    EXPECT_EQ(MensajeDe([] { ComprobarComponentesAleatorios({"3", "0", "5", "20", "0,5", "1", "5"}); }), "");
}

// Everything is checked before anything changes; the error names the field to select.
TEST(ProblemaAleatorio, ComprobarParametros) {
    using C = CampoAleatorio;
    struct Caso {
        const char* nombre;
        TextosAleatorios textos;
        std::string mensaje;  // empty: accepted
        C campo;
    };
    const std::string grande = "Grid too large for operation";
    const Caso casos[] = {
        {"valores iniciales", {}, "", C::Productos},
        {"limites iguales", {"3", "2", "7", "7", "0,5", "4", "4"}, "", C::Productos},
        {"unidades cruzadas", {"3", "2", "20", "5", "0,5", "1", "5"},
         "El número de unidades mínimas de producto (20) es mayor que el número de unidades máximas de producto (5)",
         C::UnidadesMinimas},
        {"cantidades cruzadas", {"3", "2", "5", "20", "0,5", "5", "1"},
         "La cantidad mínima de componente en producto (5) es mayor que la cantidad máxima de componente en producto (1)",
         C::CantidadMinima},
        {"cantidades cruzadas aunque p = 0", {"3", "2", "5", "20", "0", "2", "1"},
         "La cantidad mínima de componente en producto (2) es mayor que la cantidad máxima de componente en producto (1)",
         C::CantidadMinima},
        {"negativos cruzados", {"3", "2", "-1", "-2", "0,5", "1", "5"},
         "El número de unidades mínimas de producto (-1) es mayor que el número de unidades máximas de producto (-2)",
         C::UnidadesMinimas},
        {"las conversiones antes que los limites", {"3", "2", "20", "5", "abc", "1", "5"},
         "'abc' is not a valid floating point value", C::Probabilidad},
        {"componentes negativos primero", {"x", "-2", "20", "5", "0,5", "1", "5"},
         "El número de componentes no puede ser negativo (-2)", C::Componentes},
        {"productos mal", {"diez", "2", "5", "20", "0,5", "1", "5"}, "''diez'' is not a valid integer value",
         C::Productos},
        {"componentes mal", {"3", "", "5", "20", "0,5", "1", "5"}, "'''' is not a valid integer value", C::Componentes},
        {"unidades maximas mal", {"3", "2", "5", "$", "0,5", "1", "5"}, "''$'' is not a valid integer value",
         C::UnidadesMaximas},
        {"cantidad maxima mal", {"3", "2", "5", "20", "0,5", "1", "5.0"}, "''5.0'' is not a valid integer value",
         C::CantidadMaxima},
        {"probabilidad enorme", {"3", "2", "5", "20", "1e400", "1", "5"}, "Floating point overflow", C::Probabilidad},
        // Sizes are computed without wrapping: n + 1 or m + 2 past 32 bits is too large.
        {"productos que darian la vuelta", {"2147483647", "1", "5", "20", "0,5", "1", "5"}, grande, C::Productos},
        {"demasiados productos", {"134217725", "1", "5", "20", "0,5", "1", "5"}, grande, C::Productos},
        {"componentes que darian la vuelta (+2)", {"1", "2147483646", "5", "20", "0,5", "1", "5"}, "Out of memory",
         C::Componentes},
        {"componentes que darian la vuelta (+1)", {"1", "2147483647", "5", "20", "0,5", "1", "5"}, "Out of memory",
         C::Componentes},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        try {
            ComprobarParametrosAleatorios(caso.textos, ",");
            EXPECT_EQ(caso.mensaje, "");
        } catch (const ErrorCampoAleatorio& e) {
            EXPECT_EQ(e.what(), caso.mensaje);
            EXPECT_EQ(e.Campo(), caso.campo);
        }
    }
}

// More cells than memory holds: refused before anything is drawn, on the larger count.
TEST(ProblemaAleatorio, ComprobarParametrosSinMemoria) {
    EstablecerFuenteMemoria([] { return uint64_t{1} << 30; });
    struct Caso {
        TextosAleatorios textos;
        CampoAleatorio campo;
    };
    const Caso casos[] = {
        {{"60000", "50000", "5", "20", "0,5", "1", "5"}, CampoAleatorio::Productos},
        {{"50000", "60000", "5", "20", "0,5", "1", "5"}, CampoAleatorio::Componentes},
        {{"10", "100000000", "5", "20", "0,5", "1", "5"}, CampoAleatorio::Componentes},
        {{"100000000", "10", "5", "20", "0,5", "1", "5"}, CampoAleatorio::Productos},
    };
    for (const Caso& caso : casos) {
        try {
            ComprobarParametrosAleatorios(caso.textos, ",");
            ADD_FAILURE() << "aceptado";
        } catch (const ErrorCampoAleatorio& e) {
            EXPECT_STREQ(e.what(), "Out of memory");
            EXPECT_EQ(e.Campo(), caso.campo);
        }
    }
    EstablecerFuenteMemoria({});
}

// A count the grid cannot take is refused with the grid's message, never wrapped into a
// small grid.
TEST(ProblemaAleatorio, TamanoQueNoCabe) {
    struct Caso {
        int32_t productos, componentes;
        const char* mensaje;
    };
    const Caso casos[] = {
        {INT32_MAX, 1, "Grid too large for operation"},
        {1, INT32_MAX, "Out of memory"},
        {1, INT32_MAX - 1, "Out of memory"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(std::to_string(caso.productos) + " x " + std::to_string(caso.componentes));
        ParametrosAleatorios p;
        p.productos = caso.productos;
        p.componentes = caso.componentes;
        p.unidadesMinimas = p.cantidadMinima = 1;
        p.unidadesMaximas = p.cantidadMaxima = 5;
        p.probabilidad = 0.5;
        MatrizProblema m;
        GeneradorAleatorio g;
        g.SemillaAleatoria = 5;
        EXPECT_EQ(MensajeDe([&] { GenerarProblemaAleatorio(m, p, g); }), caso.mensaje);
        EXPECT_EQ(g.SemillaAleatoria, 5u);  // nothing drawn
        EXPECT_EQ(m.Filas(), 5);            // the grid as it was
    }
}
