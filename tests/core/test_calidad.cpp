#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <cstdint>
#include <limits>

#include "core/Calidad.h"
#include "core/Errores.h"
#include "core/Secuenciador.h"

using namespace tavelorin;

namespace {

using Lineas = std::vector<std::string>;

const Lineas kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};
// b = (1,1,1), (2,0,0), (0,1,1); d = 3, 2, 3; goal chasing gives 1 1 1 2 3 3 2 3.
const Lineas kMiope = {"3", "3", "1\t1\t1\t3", "2\t0\t0\t2", "0\t1\t1\t3"};

EstadoSecuenciador Leer(const Lineas& lineas) {
    EstadoSecuenciador e;
    LeerProblema(e, lineas);
    return e;
}

std::vector<Natural128> Numeradores(const std::vector<Racional>& v) {
    std::vector<Natural128> r;
    for (const Racional& x : v) r.push_back(x.numerador);
    return r;
}

std::string Texto(Natural128 v) { return TextoNatural(v); }

}  // namespace

TEST(Calidad, FigurasCalculadasAMano) {
    // Numerators: variations over Q², deviations over Q (hand-computed from the rates).
    struct Caso {
        const char* nombre;
        Lineas problema;
        Secuencia secuencia;
        Natural128 jComp;
        std::vector<Natural128> desvComp;
        Natural128 jProd;
        std::vector<Natural128> desvProd;
    };
    const Caso casos[] = {
        {"ejemplo", kEjemplo, {1, 2, 1, 3}, 14, {2, 2}, 28, {2, 2, 3}},
        {"persecucion miope", kMiope, {1, 1, 1, 2, 3, 3, 2, 3}, 396, {12, 6, 6}, 1048, {15, 6, 12}},
        {"una etapa sin producto", kEjemplo, {1, 2, 1, 0}, 46, {4, 4}, 44, {2, 2, 4}},
        {"sin componentes", {"2", "0", "1", "1"}, {1, 2}, 0, {}, 2, {1, 1}},
        {"usos negativos", {"2", "1", "-1\t1", "1\t1"}, {1, 2}, 4, {2}, 2, {1, 1}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        const EstadoSecuenciador e = Leer(caso.problema);
        const Calidad c = CalcularCalidad(e, caso.secuencia);
        const Natural128 q = static_cast<Natural128>(e.Q);
        EXPECT_EQ(Texto(c.componentes.variacion.numerador), Texto(caso.jComp));
        EXPECT_EQ(Texto(c.componentes.variacion.denominador), Texto(q * q));
        EXPECT_EQ(Numeradores(c.componentes.desviaciones), caso.desvComp);
        Natural128 maximo = 0;
        for (const Natural128 v : caso.desvComp) maximo = std::max(maximo, v);
        EXPECT_EQ(Texto(c.componentes.desviacionMaxima.numerador), Texto(maximo));
        EXPECT_EQ(Texto(c.componentes.desviacionMaxima.denominador), Texto(q));
        EXPECT_EQ(Texto(c.productos.variacion.numerador), Texto(caso.jProd));
        EXPECT_EQ(Numeradores(c.productos.desviaciones), caso.desvProd);
        maximo = 0;
        for (const Natural128 v : caso.desvProd) maximo = std::max(maximo, v);
        EXPECT_EQ(Texto(c.productos.desviacionMaxima.numerador), Texto(maximo));
        for (const Racional& r : c.productos.desviaciones) EXPECT_EQ(Texto(r.denominador), Texto(q));
    }
    // 396 / 64 is 99/16 exactly.
    EXPECT_EQ(CalcularCalidad(Leer(kMiope), {1, 1, 1, 2, 3, 3, 2, 3}).componentes.variacion.Real(), 99.0 / 16);
}

TEST(Calidad, ExactaDondeUnDoubleNoLlega) {
    // B² needs 60 bits: a computation in doubles would lose its last ones.
    const int64_t b = 1073741823;
    const EstadoSecuenciador e = Leer({"2", "1", "1073741823\t1", "0\t1"});
    const Calidad c = CalcularCalidad(e, {1, 2});
    EXPECT_EQ(Texto(c.componentes.variacion.numerador), "1152921502459363329");
    EXPECT_EQ(Texto(c.componentes.desviacionMaxima.numerador), std::to_string(b));
    EXPECT_EQ(LineasCalidad(c, ".")[1], "J componentes\t2.88230375614841E17");
}

TEST(Calidad, SumasFueraDe128BitsSeRechazan) {
    // 4000 products of demand 1, half using +B of each of 1500 components and half −B
    // (so N = 0). Made in order, the deviations grow to Q·2000·B and their squares add up
    // past 2^128; alternated, they stay at Q·B and the figure is exact.
    const int32_t mitad = 2000, m = 1500, b = 2147483647;
    EstadoSecuenciador e;
    e.NProd = 2 * mitad;
    e.NComp = m;
    e.Q = 2 * mitad;
    e.Datos.filas = e.NProd + 1;
    e.Datos.columnas = m + 1;
    e.Datos.celdas.assign(static_cast<size_t>(e.Datos.filas * e.Datos.columnas), 0);
    for (int32_t i = 0; i < e.NProd; ++i) {
        for (int32_t j = 0; j < m; ++j) e.Datos(i, j) = i < mitad ? b : -b;
        e.Datos(i, m) = 1;
    }
    e.Datos(e.NProd, m) = e.Q;
    Secuencia enOrden, alternada;
    for (int32_t i = 1; i <= 2 * mitad; ++i) enOrden.push_back(i);
    for (int32_t i = 1; i <= mitad; ++i) {
        alternada.push_back(i);
        alternada.push_back(mitad + i);
    }
    try {
        CalcularCalidad(e, enOrden);
        ADD_FAILURE() << "se esperaba un error";
    } catch (const ErrorTavelorin& error) {
        EXPECT_STREQ(error.what(), "Los consumos son demasiado grandes: la variación se sale de los enteros de 128 bits");
    }
    // Odd stages deviate by Q·B in every component, even ones by 0.
    const Natural128 qb = static_cast<Natural128>(e.Q) * static_cast<Natural128>(b);
    EXPECT_EQ(Texto(CalcularCalidad(e, alternada).componentes.variacion.numerador),
              Texto(qb * qb * static_cast<Natural128>(mitad) * static_cast<Natural128>(m)));
}

TEST(Calidad, SecuenciasQueNoSeEvaluan) {
    const EstadoSecuenciador e = Leer(kEjemplo);
    struct Caso {
        Secuencia secuencia;
        const char* mensaje;
    };
    const Caso casos[] = {
        {{1, 2, 1}, "La secuencia tiene 3 etapas y el problema 4"},
        {{1, 2, 1, 4}, "La secuencia nombra el producto 4 y el problema tiene 3"},
        {{1, -1, 1, 3}, "La secuencia nombra el producto -1 y el problema tiene 3"},
    };
    for (const Caso& caso : casos) {
        try {
            CalcularCalidad(e, caso.secuencia);
            ADD_FAILURE() << "se esperaba: " << caso.mensaje;
        } catch (const ErrorTavelorin& error) {
            EXPECT_STREQ(error.what(), caso.mensaje);
        }
    }
}

TEST(Racional, RedondeoAlDoubleMasCercano) {
    const Natural128 dos53 = Natural128(1) << 53;
    struct Caso {
        Natural128 numerador, denominador;
        double esperado;
    };
    const Caso casos[] = {
        {0, 5, 0.0},
        {1, 3, 1.0 / 3.0},
        {2, 7, 2.0 / 7.0},
        {10, 4, 2.5},
        {5, 0, std::numeric_limits<double>::infinity()},
        {dos53 + 1, 1, 0x1p53},                // a tie: to the even neighbour
        {dos53 + 3, 1, 0x1p53 + 4},            // a tie the other way
        {3 * (dos53 + 1), 3, 0x1p53},          // double(a)/double(b) gives 2^53 + 2
        {2 * dos53 + 3, 2, 0x1p53 + 2},        // just above the middle
        {Natural128(1) << 100, 1, 0x1p100},
        {~Natural128(0), 1, 0x1p128},          // rounds up to 2^128
        {(Natural128(1) << 100) + 1, Natural128(1) << 100, 1.0},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(Texto(caso.numerador) + "/" + Texto(caso.denominador));
        EXPECT_EQ((Racional{caso.numerador, caso.denominador}.Real()), caso.esperado);
    }
    EXPECT_EQ(Texto(0), "0");
    EXPECT_EQ(Texto(~Natural128(0)), "340282366920938463463374607431768211455");
}

TEST(Calidad, Bloque) {
    const EstadoSecuenciador e = Leer(kEjemplo);
    const Lineas esperado = {
        "Calidad:",
        "J componentes\t0,875",
        "Desviación máxima componentes\t0,5",
        "Desviación máxima por componente\t0,5\t0,5",
        "J productos\t1,75",
        "Desviación máxima productos\t0,75",
        "Desviación máxima por producto\t0,5\t0,5\t0,75",
    };
    EXPECT_EQ(LineasCalidad(CalcularCalidad(e, {1, 2, 1, 3}), ","), esperado);
}

TEST(Calidad, SecuenciaDeLaTabla) {
    EstadoSecuenciador e;
    LeerProblema(e, {"4", "3", "2\t1\t0\t3", "1\t0\t1\t2", "0\t2\t1\t2", "1\t1\t1\t1"});
    IniciarTabla(e);
    EjecutarEtapas(e);
    EXPECT_EQ(SecuenciaDeTabla(e.TablaSolucion), (Secuencia{4, 1, 3, 2, 1, 2, 3, 1}));
    EXPECT_EQ(SecuenciaDeTabla(TablaEtapas{}), Secuencia{});
}

TEST(LeerSecuencia, DiceDondeNoCuadra) {
    struct Caso {
        const char* nombre;
        Lineas problema;
        Lineas lineas;
        Secuencia secuencia;  // the valid numbers read
        Lineas errores;
    };
    const Lineas negativa = {"2", "1", "1\t-4", "2\t5"};
    const Caso casos[] = {
        {"correcta", kEjemplo, {"1", "2", "1", "3"}, {1, 2, 1, 3}, {}},
        {"regla de los enteros", kEjemplo, {" 1", "$2", "+1", "3"}, {1, 2, 1, 3}, {}},
        {"cuenta equivocada", kEjemplo, {"1", "1", "1", "3"}, {1, 1, 1, 3},
         {"el producto 1 aparece 3 veces y su demanda es 2", "el producto 2 aparece 0 veces y su demanda es 1"}},
        {"corta", kEjemplo, {"1", "2", "1"}, {1, 2, 1},
         {"el producto 3 aparece 0 veces y su demanda es 1", "la secuencia tiene 3 unidades y la demanda total es 4"}},
        {"vacia", kEjemplo, {}, {},
         {"el producto 1 aparece 0 veces y su demanda es 2", "el producto 2 aparece 0 veces y su demanda es 1",
          "el producto 3 aparece 0 veces y su demanda es 1", "la secuencia tiene 0 unidades y la demanda total es 4"}},
        {"lineas malas", kEjemplo, {"1", "x", "4", "0", "", "1.0", "2", "1", "3"}, {1, 2, 1, 3},
         {"línea 2: \"x\" no es un número de producto",
          "línea 3: no hay producto 4 (los productos van de 1 a 3)",
          "línea 4: no hay producto 0 (los productos van de 1 a 3)",
          "línea 5: \"\" no es un número de producto",
          "línea 6: \"1.0\" no es un número de producto"}},
        {"linea mala y cuenta", kEjemplo, {"1", "-2", "1", "3"}, {1, 1, 3},
         {"línea 2: no hay producto -2 (los productos van de 1 a 3)",
          "el producto 2 aparece 0 veces y su demanda es 1"}},
        {"archivo de solucion", kEjemplo, {"K\tDk1", "1\t0.559", "Solucion:", "1", "2", "1", "3", "Calidad:", "J\t1"},
         {1, 2, 1, 3}, {}},
        {"numeros de linea del archivo", kEjemplo, {"K", "Solucion:", "1", "2", "x", "3"}, {1, 2, 3},
         {"línea 5: \"x\" no es un número de producto", "el producto 1 aparece 1 vez y su demanda es 2"}},
        {"demanda negativa", negativa, {"2"}, {2},
         {"el producto 1 tiene demanda negativa (-4): ninguna secuencia la cumple",
          "el producto 2 aparece 1 vez y su demanda es 5"}},
        {"una sola", kEjemplo, {"3"}, {3},
         {"el producto 1 aparece 0 veces y su demanda es 2", "el producto 2 aparece 0 veces y su demanda es 1",
          "la secuencia tiene 1 unidad y la demanda total es 4"}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        const SecuenciaLeida r = LeerSecuencia(Leer(caso.problema), caso.lineas);
        EXPECT_EQ(r.secuencia, caso.secuencia);
        EXPECT_EQ(r.errores, caso.errores);
    }
}

TEST(LeerSecuencia, ListasLargasSeCortan) {
    // 25 products of demand 1; 25 bad lines and no product at all.
    Lineas problema = {"25", "0"};
    for (int i = 0; i < 25; ++i) problema.push_back("1");
    const Lineas malas(25, "x");
    const SecuenciaLeida r = LeerSecuencia(Leer(problema), malas);
    ASSERT_EQ(r.errores.size(), kErroresListados + 1 + kErroresListados + 1);
    EXPECT_EQ(r.errores[kErroresListados - 1], "línea 20: \"x\" no es un número de producto");
    EXPECT_EQ(r.errores[kErroresListados], "... y 5 líneas más con errores");
    EXPECT_EQ(r.errores[2 * kErroresListados], "el producto 20 aparece 0 veces y su demanda es 1");
    EXPECT_EQ(r.errores.back(), "... y 5 productos más con otra cuenta");
}

namespace {

// Lines made on demand (as many as wanted, even without end); counts the lines asked for.
class LineasHechas final : public FuenteLineas {
public:
    LineasHechas(std::function<std::optional<std::string>(size_t)> linea) : linea_(std::move(linea)) {}
    bool Siguiente(std::string& linea) override {
        const std::optional<std::string> l = linea_(pedidas);
        if (!l) return false;
        ++pedidas;
        linea = *l;
        return true;
    }
    size_t pedidas = 0;

private:
    std::function<std::optional<std::string>(size_t)> linea_;
};

}  // namespace

// One pass over the lines: nothing after the block that follows "Solucion:" is read, and
// however many lines there are, only Q products are kept and a long text is quoted short.
TEST(LeerSecuencia, UnaPasadaYMemoriaAcotada) {
    struct Caso {
        const char* nombre;
        std::function<std::optional<std::string>(size_t)> linea;
        size_t pedidas;       // lines read
        size_t guardadas;     // products kept
        Lineas errores;
    };
    const Lineas solucion = {"K", "Solucion:", "1", "2", "1", "3", "Calidad:"};
    const Lineas dosSoluciones = {"Solucion:", "1", "2", "Solucion:", "1", "3"};
    const std::string larga(1000, 'z');
    const Caso casos[] = {
        {"tras el bloque de la solucion, lineas sin fin",
         [&](size_t i) { return std::optional<std::string>(i < solucion.size() ? solucion[i] : "x"); }, 7, 4, {}},
        {"una segunda \"Solucion:\" cierra el bloque",
         [&](size_t i) { return i < dosSoluciones.size() ? std::optional<std::string>(dosSoluciones[i]) : std::nullopt; },
         4, 2,
         {"el producto 1 aparece 1 vez y su demanda es 2", "el producto 3 aparece 0 veces y su demanda es 1",
          "la secuencia tiene 2 unidades y la demanda total es 4"}},
        {"texto largo",
         [&](size_t i) {
             const Lineas l = {"1", "2", larga + "ñ", "1", "3"};
             return i < l.size() ? std::optional<std::string>(l[i]) : std::nullopt;
         },
         5, 4, {"línea 3: \"" + std::string(60, 'z') + "…\" no es un número de producto"}},
        {"un millon de productos",
         [](size_t i) { return i < 1000000 ? std::optional<std::string>("1") : std::nullopt; }, 1000000, 4,
         {"el producto 1 aparece 1000000 veces y su demanda es 2", "el producto 2 aparece 0 veces y su demanda es 1",
          "el producto 3 aparece 0 veces y su demanda es 1", "la secuencia tiene 1000000 unidades y la demanda total es 4"}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        LineasHechas lineas(c.linea);
        const SecuenciaLeida r = LeerSecuencia(Leer(kEjemplo), lineas);
        EXPECT_EQ(lineas.pedidas, c.pedidas);
        EXPECT_EQ(r.secuencia.size(), c.guardadas);
        EXPECT_EQ(r.errores, c.errores);
    }
}
