#include <gtest/gtest.h>

#include <cmath>

#include "core/Aleatorio.h"
#include "core/Errores.h"
#include "core/GeneracionAleatoria.h"
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

TEST(GeneradorAleatorio, EnteroAleatorioSegunLaDiferencia) {
    struct Caso {
        int32_t minimo, maximo, menor, mayor;
    };
    const Caso casos[] = {
        {1, 5, 1, 4}, {5, 20, 1, 15}, {7, 7, 1, 1}, {5, 1, -2, 1}, {3, 2, 1, 1},
        {INT32_MIN, INT32_MAX, 1, 1},  // the difference wraps to -1
        {0, INT32_MAX, 1, INT32_MAX},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(std::to_string(caso.minimo) + ", " + std::to_string(caso.maximo));
        GeneradorAleatorio g;
        g.SemillaAleatoria = 12345;
        int32_t visto_min = INT32_MAX, visto_max = INT32_MIN;
        for (int i = 0; i < 20000; ++i) {
            const int32_t v = g.EnteroAleatorio(caso.minimo, caso.maximo);
            visto_min = std::min(visto_min, v);
            visto_max = std::max(visto_max, v);
        }
        EXPECT_GE(visto_min, caso.menor);
        EXPECT_LE(visto_max, caso.mayor);
        if (caso.mayor - caso.menor < 100) {  // small ranges are covered end to end
            EXPECT_EQ(visto_min, caso.menor);
            EXPECT_EQ(visto_max, caso.mayor);
        }
    }
    // Exact: 1 + floor(s * k / 2^32) with the new state s.
    GeneradorAleatorio g;
    g.SemillaAleatoria = 0;
    EXPECT_EQ(g.EnteroAleatorio(5, 20), 1);  // s = 1
    EXPECT_EQ(g.EnteroAleatorio(5, 20), 1);  // s = 134775814: 15 * s / 2^32 = 0.47
    EXPECT_EQ(g.EnteroAleatorio(5, 20), 13);  // s = 3698175007: 12.9
    EXPECT_EQ(g.EnteroAleatorio(5, 1), 1);    // s = 870078620: 1 - floor(0.81)
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
    EXPECT_EQ(Fila(m, 1), (std::vector<std::string>{"4", "2", "0", "1"}));
    EXPECT_EQ(Fila(m, 2), (std::vector<std::string>{"2", "1", "1", "5"}));
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
             return demanda ? (v >= 1 && v <= 15) : (v >= 0 && v <= 4);
         }},
        {"p = 0: todo ausente", texto("4", "5", "5", "20", "0", "1", "5"), 5, 7, 4 * (1 + 5),
         [](const std::string& c, bool demanda) { return demanda || c == "0"; }},
        {"p = 1: todo presente", texto("3", "4", "5", "20", "1", "3", "3"), 4, 6, 3 * (1 + 4 + 4),
         [](const std::string& c, bool demanda) { return demanda || c == "1"; }},
        {"umin = umax", texto("3", "2", "7", "7", "-1", "1", "5"), 4, 4, 3 * 3,
         [](const std::string& c, bool demanda) { return demanda ? c == "1" : c == "0"; }},
        {"sin componentes", texto("3", "0", "5", "20", "0,5", "1", "5"), 4, 2, 3, entre(1, 15)},
        {"sin productos", texto("0", "4", "5", "20", "0,5", "1", "5"), 1, 6, 0, entre(0, 0)},
        {"productos negativos", texto("-3", "4", "5", "20", "0,5", "1", "5"), 1, 6, 0, entre(0, 0)},
        {"hexadecimal", texto("x10", "1", "5", "20", "0", "1", "5"), 17, 3, 16 * 2, entre(0, 15)},
        {"productos que dan la vuelta", texto("2147483647", "1", "5", "20", "0", "1", "5"), 1, 3, 0, entre(0, 0)},
        {"cantidades cruzadas", texto("2", "3", "5", "20", "1", "5", "1"), 3, 5, 2 * 7,
         [](const std::string& c, bool demanda) {
             const int v = std::stoi(c);
             return demanda ? (v >= 1 && v <= 15) : (v >= -2 && v <= 1);
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
