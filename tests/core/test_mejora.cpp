#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>

#include "core/Calidad.h"
#include "core/Errores.h"
#include "core/Mejora.h"
#include "core/Optimo.h"
#include "core/Secuenciador.h"
#include "soporte/ProblemaSembrado.h"
#include "tests/core/ProblemasPequenos.h"

using namespace tavelorin;
using namespace tavelorin::prueba;

namespace {

// The most count vectors 0 ≤ x ≤ d with the same sum: the widest stage of the lattice.
uint64_t EtapaMasAncha(const Datos& p) {
    std::vector<uint64_t> porSuma = {1};
    for (const int64_t d : p.d) {
        if (d <= 0) continue;
        std::vector<uint64_t> nueva(porSuma.size() + static_cast<size_t>(d), 0);
        for (size_t s = 0; s < porSuma.size(); ++s)
            for (int64_t c = 0; c <= d; ++c) nueva[s + static_cast<size_t>(c)] += porSuma[s];
        porSuma = std::move(nueva);
    }
    return *std::max_element(porSuma.begin(), porSuma.end());
}

// Each product p exactly max(d(p), 0) times, nothing else.
void ComprobarCuentas(const Datos& p, const Secuencia& s) {
    std::vector<int64_t> cuentas(p.d.size(), 0);
    for (const int32_t v : s) {
        ASSERT_GE(v, 1);
        ASSERT_LE(v, static_cast<int32_t>(p.d.size()));
        ++cuentas[static_cast<size_t>(v - 1)];
    }
    for (size_t i = 0; i < p.d.size(); ++i) EXPECT_EQ(cuentas[i], std::max<int64_t>(p.d[i], 0)) << "producto " << i + 1;
}

// Up to 4 products, up to 3 components, demands 0..3 (the first at least 1), Q ≤ 9.
Datos Aleatorio(uint32_t semilla) {
    Lcg g{semilla};
    const int n = g.Entre(1, 4);
    const int m = g.Entre(0, 3);
    Datos p;
    int64_t q = 0;
    for (int i = 0; i < n; ++i) {
        p.b.emplace_back();
        for (int j = 0; j < m; ++j) p.b.back().push_back(g.Entre(-2, 4));
        p.d.push_back(std::min<int64_t>(g.Entre(i == 0 ? 1 : 0, 3), 9 - q));
        q += p.d.back();
    }
    return p;
}

OpcionesMejora SoloBusqueda(uint64_t anchura) {
    OpcionesMejora o;
    o.segundos = 0;
    o.anchura = anchura;
    o.limiteExacto = 0;
    return o;
}

Secuencia Persecucion(const EstadoSecuenciador& e) {
    EstadoSecuenciador copia;
    copia.NProd = e.NProd;
    copia.NComp = e.NComp;
    copia.Q = e.Q;
    copia.Datos = e.Datos;
    IniciarTabla(copia);
    EjecutarEtapas(copia);
    return SecuenciaDeTabla(copia.TablaSolucion);
}

const Lineas kMiope = {"3", "3", "1\t1\t1\t3", "2\t0\t0\t2", "0\t1\t1\t3"};

struct Caso {
    const char* nombre;
    Datos datos;
};

const std::vector<Caso>& Casos() {
    static const std::vector<Caso> casos = {
        {"persecucion miope", {{{1, 1, 1}, {2, 0, 0}, {0, 1, 1}}, {3, 2, 3}}},
        {"identidad con empates", {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {4, 3, 2}}},
        {"demanda cero en medio", {{{1, 0}, {0, 1}, {1, 1}}, {2, 0, 2}}},
        {"usos negativos", {{{-2, 1}, {3, 0}, {0, -1}}, {2, 2, 1}}},
        {"productos iguales", {{{1, 2}, {1, 2}, {0, 1}}, {2, 2, 2}}},
        {"un solo producto", {{{3, 1}}, {4}}},
        {"cuatro productos, demandas desordenadas", {{{2, 1, 0}, {1, 0, 1}, {0, 2, 1}, {1, 1, 1}}, {1, 3, 2, 2}}},
        {"costes de mas de 64 bits", {{{400000000, 7}, {-400000000, 5}, {1, 1}}, {4, 4, 1}}},
    };
    return casos;
}

}  // namespace

TEST(Mejora, LaBusquedaAnchaLlegaAlOptimoDeLaFuerzaBruta) {
    auto comprobar = [](const Datos& datos) {
        const EstadoSecuenciador e = Leer(LineasDe(datos));
        const Natural128 optimo = FuerzaBruta(datos).variacion;
        const Secuencia persecucion = Persecucion(e);
        const Natural128 jPersecucion = Variacion(datos, persecucion);

        // Wide enough to keep every state of every stage: exact, and proven so.
        const Mejora ancha = MejorarSecuencia(e, SoloBusqueda(4096));
        ComprobarCuentas(datos, ancha.secuencia);
        EXPECT_EQ(Texto(ancha.variacion.numerador), Texto(optimo));
        EXPECT_EQ(Texto(Variacion(datos, ancha.secuencia)), Texto(optimo));
        EXPECT_EQ(Texto(ancha.variacionPersecucion.numerador), Texto(jPersecucion));
        EXPECT_TRUE(ancha.demostrada);
        EXPECT_EQ(ancha.estadosExacto, 0u);
        if (optimo == jPersecucion) {
            EXPECT_EQ(ancha.secuencia, persecucion);  // nothing better: left as it was
        }

        // Narrower: never worse than goal chasing, never below the optimum; proven when
        // wider than every stage of the lattice, and, J = 0 aside, only when no stage
        // could have been pruned.
        const uint64_t etapaMayor = EtapaMasAncha(datos);
        for (uint64_t anchura = 1; anchura <= etapaMayor + 1; ++anchura) {
            const Mejora estrecha = MejorarSecuencia(e, SoloBusqueda(anchura));
            ComprobarCuentas(datos, estrecha.secuencia);
            EXPECT_LE(estrecha.variacion.numerador, jPersecucion);
            EXPECT_GE(estrecha.variacion.numerador, optimo);
            EXPECT_EQ(Texto(Variacion(datos, estrecha.secuencia)), Texto(estrecha.variacion.numerador));
            if (anchura > etapaMayor) {
                EXPECT_TRUE(estrecha.demostrada) << "anchura " << anchura;
            }
            if (estrecha.demostrada && optimo != 0) {
                EXPECT_GE(anchura, etapaMayor);
                EXPECT_EQ(Texto(estrecha.variacion.numerador), Texto(optimo)) << "anchura " << anchura;
            }
        }

        // With the exact optimum: the same J, proven.
        const Mejora exacta = MejorarSecuencia(e, OpcionesMejora{});
        EXPECT_EQ(Texto(exacta.variacion.numerador), Texto(optimo));
        EXPECT_TRUE(exacta.demostrada);
        ComprobarCuentas(datos, exacta.secuencia);
    };
    for (const Caso& caso : Casos()) {
        SCOPED_TRACE(caso.nombre);
        comprobar(caso.datos);
    }
    for (uint32_t semilla = 1; semilla <= 150; ++semilla) {
        SCOPED_TRACE("semilla " + std::to_string(semilla));
        comprobar(Aleatorio(semilla));
    }
}

TEST(Mejora, TodasLasEstimacionesLleganAlOptimoConAnchuraSuficiente) {
    for (const EstimacionMejora estimacion :
         {EstimacionMejora::ninguna, EstimacionMejora::etapaActual, EstimacionMejora::etapaSiguiente}) {
        for (const Caso& caso : Casos()) {
            SCOPED_TRACE(caso.nombre);
            OpcionesMejora o = SoloBusqueda(4096);
            o.estimacion = estimacion;
            o.busquedaLocal = false;
            const Mejora r = MejorarSecuencia(Leer(LineasDe(caso.datos)), o);
            EXPECT_EQ(Texto(r.variacion.numerador), Texto(FuerzaBruta(caso.datos).variacion));
        }
    }
}

TEST(Mejora, LaBusquedaLocalSoloMejora) {
    // A width-1 pass is goal chasing with exact ties; the local search then takes it
    // below goal chasing on a problem where that is possible, and its J is the
    // definition's.
    const EstadoSecuenciador e = Leer(bench::ProblemaSembrado(8, 6, 60, 7));
    OpcionesMejora sin = SoloBusqueda(1);
    sin.busquedaLocal = false;
    OpcionesMejora con = SoloBusqueda(1);
    const Mejora a = MejorarSecuencia(e, sin);
    const Mejora b = MejorarSecuencia(e, con);
    EXPECT_EQ(a.movimientosLocales, 0u);
    EXPECT_GT(b.movimientosLocales, 0u);
    EXPECT_LT(b.variacion.numerador, a.variacion.numerador);
    EXPECT_EQ(Texto(CalcularCalidad(e, b.secuencia).componentes.variacion.numerador), Texto(b.variacion.numerador));
}

TEST(Mejora, DemostradaConElOptimoExactoJCeroOUnaPasadaSinPoda) {
    const Lineas miope = kMiope;  // 4·3·4 = 48 lattice states, at most 10 a stage
    const Lineas sinComponentes = {"3", "0", "2", "1", "3"};
    struct Fila {
        const char* nombre;
        Lineas problema;
        uint64_t limiteExacto, anchura;
        bool demostrada;
        uint64_t estados;
    };
    const Fila filas[] = {
        {"cabe en el limite", miope, kEstadosMaximos, 2, true, 48},
        {"justo en el limite", miope, 48, 2, true, 48},
        {"por encima del limite, pasada podada", miope, 47, 2, false, 0},
        {"sin optimo exacto, pasada podada", miope, 0, 2, false, 0},
        {"sin optimo exacto, pasada sin poda", miope, 0, 11, true, 0},
        {"J = 0 sin componentes", sinComponentes, 0, 1, true, 0},
    };
    for (const Fila& f : filas) {
        SCOPED_TRACE(f.nombre);
        OpcionesMejora o = SoloBusqueda(f.anchura);
        o.limiteExacto = f.limiteExacto;
        const Mejora r = MejorarSecuencia(Leer(f.problema), o);
        EXPECT_EQ(r.demostrada, f.demostrada);
        EXPECT_EQ(r.estadosExacto, f.estados);
    }
    // The miope problem: goal chasing 396/16², the least J 204/16², found by the search.
    const Mejora r = MejorarSecuencia(Leer(miope), SoloBusqueda(11));
    EXPECT_EQ(Texto(r.variacionPersecucion.numerador), "396");
    EXPECT_EQ(Texto(r.variacion.numerador), "204");
    EXPECT_EQ(Texto(r.variacion.denominador), "64");
    // Without a limit of time or width the widths stop at the first pass that prunes nothing.
    OpcionesMejora o = SoloBusqueda(0);
    const Mejora porDefecto = MejorarSecuencia(Leer(miope), o);
    EXPECT_TRUE(porDefecto.demostrada);
    EXPECT_EQ(porDefecto.anchuras, std::vector<uint64_t>{16});
}

TEST(Mejora, CanceladaAntesDeEmpezarDevuelveLaPersecucion) {
    const std::atomic<bool> cancelar{true};
    const EstadoSecuenciador e = Leer(bench::ProblemaSembrado(6, 5, 40, 3));
    const Secuencia persecucion = Persecucion(e);
    for (const uint64_t limite : {kEstadosMaximos, uint64_t{0}}) {
        SCOPED_TRACE(limite == 0 ? "busqueda" : "optimo exacto");
        OpcionesMejora o;
        o.limiteExacto = limite;
        o.cancelar = &cancelar;
        const Mejora r = MejorarSecuencia(e, persecucion, o);
        EXPECT_TRUE(r.cancelada);
        EXPECT_FALSE(r.demostrada);
        EXPECT_EQ(r.secuencia, persecucion);
        EXPECT_TRUE(r.anchuras.empty());
        EXPECT_EQ(r.estadosExacto, 0u);
    }
    // The optimum alone stops too, with an empty sequence.
    EXPECT_TRUE(CalcularOptimo(e, kEstadosMaximos, &cancelar).secuencia.empty());
}

TEST(Mejora, CanceladaEnMedioDeUnaPasadaGuardaLoMejor) {
    // Cancelled from the progress callback halfway through the third pass: the two
    // passes done stand, the sequence is valid and no worse than goal chasing.
    const Lineas lineas = bench::ProblemaSembrado(10, 8, 80, 5);
    const EstadoSecuenciador e = Leer(lineas);
    std::atomic<bool> cancelar{false};
    int pasadas = 0;
    OpcionesMejora o;
    o.segundos = 0;
    o.limiteExacto = 0;
    o.intervaloProgreso = 0;
    o.cancelar = &cancelar;
    o.progreso = [&](const ProgresoMejora& p) {
        if (p.anchura > 0 && p.etapa == 1) ++pasadas;
        if (pasadas == 3 && p.etapa == p.etapas / 2) cancelar = true;
    };
    const Mejora r = MejorarSecuencia(e, o);
    EXPECT_TRUE(r.cancelada);
    EXPECT_EQ(r.anchuras, (std::vector<uint64_t>{16, 32}));
    EXPECT_LE(r.variacion.numerador, r.variacionPersecucion.numerador);
    EXPECT_TRUE(LeerSecuencia(e, [&] {
                    Lineas l;
                    for (const int32_t p : r.secuencia) l.push_back(std::to_string(p));
                    return l;
                }()).errores.empty());
}

TEST(Mejora, ProgresoOrdenadoYMejorQueNoSube) {
    const EstadoSecuenciador e = Leer(bench::ProblemaSembrado(9, 7, 70, 11));
    struct Llamada {
        int32_t etapa, etapas;
        uint64_t anchura;
        Natural128 mejor;
    };
    std::vector<Llamada> llamadas;
    OpcionesMejora o;
    o.segundos = 0;
    o.limiteExacto = 0;
    o.intervaloProgreso = 0;
    o.progreso = [&](const ProgresoMejora& p) {
        llamadas.push_back({p.etapa, p.etapas, p.anchura, p.mejor.numerador});
        EXPECT_EQ(p.mejor.denominador, Natural128(70 * 70));
    };
    const Mejora r = MejorarSecuencia(e, o);
    ASSERT_FALSE(llamadas.empty());
    EXPECT_EQ(llamadas.front().etapa, 0);
    EXPECT_EQ(llamadas.front().mejor, r.variacionPersecucion.numerador);
    EXPECT_EQ(llamadas.back().mejor, r.variacion.numerador);
    for (size_t i = 1; i < llamadas.size(); ++i) {
        const Llamada& a = llamadas[i - 1];
        const Llamada& b = llamadas[i];
        EXPECT_EQ(b.etapas, 70);
        EXPECT_TRUE(a.anchura < b.anchura || (a.anchura == b.anchura && a.etapa <= b.etapa)) << "llamada " << i;
        EXPECT_LE(b.mejor, a.mejor) << "llamada " << i;
    }
    // Every stage of every pass, widths doubling up to the limit without a time limit.
    std::vector<uint64_t> esperadas;
    for (uint64_t w = 16; w <= kAnchuraMejoraSinLimite; w *= 2) esperadas.push_back(w);
    EXPECT_EQ(r.anchuras, esperadas);
    for (const uint64_t w : esperadas)
        for (int32_t k = 1; k <= 70; ++k)
            EXPECT_TRUE(std::any_of(llamadas.begin(), llamadas.end(),
                                    [&](const Llamada& l) { return l.anchura == w && l.etapa == k; }))
                << "anchura " << w << " etapa " << k;
}

TEST(Mejora, DeterministaConAnchuraFija) {
    const EstadoSecuenciador e = Leer(bench::ProblemaSembrado(14, 12, 150, 2));
    const Mejora a = MejorarSecuencia(e, SoloBusqueda(200));
    const Mejora b = MejorarSecuencia(e, SoloBusqueda(200));
    EXPECT_EQ(a.secuencia, b.secuencia);
    EXPECT_EQ(a.variacion.numerador, b.variacion.numerador);
    EXPECT_LT(a.variacion.numerador, a.variacionPersecucion.numerador);
    EXPECT_EQ(a.anchuras, std::vector<uint64_t>{200});
}

TEST(Mejora, ConLimiteDeTiempoTerminaAtiempoYNoEmpeora) {
    const EstadoSecuenciador e = Leer(bench::ProblemaSembrado(20, 15, 300, 4));
    OpcionesMejora o;
    o.segundos = 0.3;
    o.limiteExacto = 0;
    const Mejora r = MejorarSecuencia(e, o);
    EXPECT_FALSE(r.anchuras.empty());
    EXPECT_LT(r.variacion.numerador, r.variacionPersecucion.numerador);
    EXPECT_EQ(r.anchuraMejor != 0, r.variacion.numerador < r.variacionPersecucion.numerador);
    EXPECT_LT(r.segundos, 5.0);  // bounded by the limit plus one stage, not a speed figure
}

TEST(Mejora, UnaPasadaDemasiadoAnchaParaElTiempoSeEstrechaYTermina) {
    // A width that would take far longer than the limit: the pass narrows its stages
    // to end in time instead of being lost.
    const EstadoSecuenciador e = Leer(bench::ProblemaSembrado(20, 15, 300, 4));
    OpcionesMejora o;
    o.segundos = 1;
    o.anchura = 1'000'000;
    o.limiteExacto = 0;
    const Mejora r = MejorarSecuencia(e, o);
    ASSERT_EQ(r.anchuras.size(), 1u);
    EXPECT_LT(r.variacion.numerador, r.variacionPersecucion.numerador);
    EXPECT_FALSE(r.demostrada);
}

TEST(Mejora, DemandasCeroNegativasYSinComponentes) {
    // A product of demand 0 never appears; the rest is the problem without it.
    const Datos conCero = {{{2, 0}, {0, 0}, {0, 3}, {1, 1}}, {3, 0, 2, 2}};
    const Datos sinCero = {{{2, 0}, {0, 3}, {1, 1}}, {3, 2, 2}};
    const Mejora r = MejorarSecuencia(Leer(LineasDe(conCero)), SoloBusqueda(1000));
    ComprobarCuentas(conCero, r.secuencia);
    EXPECT_EQ(Texto(r.variacion.numerador), Texto(FuerzaBruta(sinCero).variacion));

    // A negative demand is refused before anything runs.
    try {
        MejorarSecuencia(Leer({"2", "1", "1\t-1", "2\t4"}), SoloBusqueda(10));
        ADD_FAILURE() << "se esperaba un error";
    } catch (const ErrorTavelorin& error) {
        EXPECT_STREQ(error.what(), "La mejora necesita demandas no negativas y la del producto 1 es -1");
    }

    // m = 0: every sequence has J = 0; goal chasing's stays, proven.
    const EstadoSecuenciador e = Leer({"3", "0", "2", "1", "3"});
    for (const uint64_t limite : {kEstadosMaximos, uint64_t{0}}) {
        OpcionesMejora o = SoloBusqueda(16);
        o.limiteExacto = limite;
        const Mejora m0 = MejorarSecuencia(e, o);
        EXPECT_EQ(m0.variacion.numerador, Natural128(0));
        EXPECT_TRUE(m0.demostrada);
        EXPECT_EQ(m0.secuencia, Persecucion(e));
        EXPECT_EQ(LineasMejora(m0, ".").back(), "Óptima demostrada\tsí");
    }
}

TEST(Mejora, EntradasRechazadas) {
    const EstadoSecuenciador e = Leer(kMiope);
    const std::pair<const char*, Secuencia> malas[] = {
        {"corta", {1, 2, 3}},
        {"producto inexistente", {1, 1, 1, 2, 2, 3, 3, 4}},
        {"cuentas cambiadas", {1, 1, 2, 2, 2, 3, 3, 3}},
    };
    for (const auto& [nombre, s] : malas) {
        SCOPED_TRACE(nombre);
        try {
            MejorarSecuencia(e, s, SoloBusqueda(10));
            ADD_FAILURE() << "se esperaba un error";
        } catch (const ErrorTavelorin& error) {
            EXPECT_STREQ(error.what(), "La secuencia de partida no hace cada producto tantas veces como su demanda");
        }
    }
    // Too many products with demand for the l × l form.
    Lineas muchos = {std::to_string(kProductosMejora + 1), "0"};
    for (int32_t i = 0; i <= kProductosMejora; ++i) muchos.push_back("1");
    try {
        MejorarSecuencia(Leer(muchos), Secuencia{}, SoloBusqueda(10));
        ADD_FAILURE() << "se esperaba un error";
    } catch (const ErrorTavelorin& error) {
        EXPECT_STREQ(error.what(), "La mejora admite hasta 2048 productos con demanda y el problema tiene 2049");
    }
    // Usages and demands so large that J could leave 128 bits: refused before the
    // sequence is looked at (2^30 stages would not fit in memory).
    EstadoSecuenciador enorme;
    enorme.NProd = 2;
    enorme.NComp = 1;
    enorme.Q = 1 << 30;
    enorme.Datos = {3, 2, {1 << 30, 1 << 29, -(1 << 30), 1 << 29, 0, 1 << 30}};
    try {
        MejorarSecuencia(enorme, Secuencia{}, SoloBusqueda(10));
        ADD_FAILURE() << "se esperaba un error";
    } catch (const ErrorTavelorin& error) {
        EXPECT_STREQ(error.what(),
                     "Los consumos son demasiado grandes para la mejora: la variación podría salirse de los enteros de 128 bits");
    }
}

TEST(Mejora, EjemploDeNivelacionDeCuatroProductos) {
    // The installed example, byte for byte: CR LF line ends.
    std::ifstream f(TAVELORIN_EJEMPLOS "/nivelacion_cuatro_productos.brk", std::ios::binary);
    ASSERT_TRUE(f);
    const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "4\r\n5\r\n1\t0\t1\t2\t1\t2\r\n1\t0\t0\t1\t1\t2\r\n0\t0\t0\t0\t1\t2\r\n0\t1\t0\t0\t0\t4\r\n");
    Lineas lineas;
    for (size_t desde = 0, fin; (fin = bytes.find("\r\n", desde)) != std::string::npos; desde = fin + 2)
        lineas.push_back(bytes.substr(desde, fin - desde));
    const EstadoSecuenciador e = Leer(lineas);
    ASSERT_EQ(e.Q, 10);

    // The sample solution of the textbook's kind, J = 9.6; goal chasing 9.2; the least 7.2.
    const Secuencia muestra = {1, 4, 3, 2, 4, 2, 4, 3, 1, 4};
    EXPECT_EQ(CalcularCalidad(e, muestra).componentes.variacion.Real(), 9.6);
    const Mejora persecucion = MejorarSecuencia(e, Persecucion(e), SoloBusqueda(1));
    EXPECT_EQ(persecucion.variacionPersecucion.Real(), 9.2);
    EXPECT_EQ(Texto(persecucion.variacionPersecucion.numerador), "920");

    const Mejora busqueda = MejorarSecuencia(e, SoloBusqueda(3));
    EXPECT_EQ(Texto(busqueda.variacion.numerador), "720");
    EXPECT_FALSE(busqueda.demostrada);
    const Mejora exacta = MejorarSecuencia(e);
    EXPECT_EQ(Texto(exacta.variacion.numerador), "720");
    EXPECT_TRUE(exacta.demostrada);
    EXPECT_EQ(exacta.estadosExacto, 3u * 3u * 3u * 5u);

    Lineas esperado = {"Mejorada:"};
    for (const int32_t p : exacta.secuencia) esperado.push_back(std::to_string(p));
    esperado.insert(esperado.end(), {"J mejorada\t7,2", "J persecución\t9,2", "Exceso de la persecución (%)\t27,7777777777778",
                                     "Óptima demostrada\tsí"});
    EXPECT_EQ(LineasMejora(exacta, ","), esperado);
    EXPECT_EQ(LineasMejora(busqueda, ".").back(), "Óptima demostrada\tno");
    EXPECT_EQ(LineasMejora(busqueda, ".")[12], "J persecución\t9.2");
}

TEST(Mejora, ExcesoComoElDelOptimo) {
    // The same figures as the optimum block writes for the same pair of J.
    struct Fila {
        Racional persecucion, otra;
        const char* texto;
    };
    const Fila filas[] = {
        {{396, 64}, {204, 64}, "94.1176470588235"},
        {{920, 100}, {720, 100}, "27.7777777777778"},
        {{5, 4}, {5, 4}, "0"},
        {{0, 1}, {0, 1}, "0"},
        {{3, 1}, {0, 1}, "INF"},
    };
    for (const Fila& f : filas) {
        Mejora m;
        m.variacion = f.otra;
        m.variacionPersecucion = f.persecucion;
        m.excesoPersecucion = ExcesoPorcentaje(f.persecucion, f.otra);
        const Optimo o{{}, f.otra, 0};
        EXPECT_EQ(LineasMejora(m, ".")[3], LineasOptimo(o, f.persecucion, ".")[3]);
        EXPECT_EQ(LineasMejora(m, ".")[3], std::string("Exceso de la persecución (%)\t") + f.texto);
    }
}
