// The command line's parser on its own: what each command line means, and which ones
// are refused with what reason.
#include "app/OpcionesCli.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavelorin::cli {
namespace {

using Args = std::vector<std::string>;

struct CasoOpciones {
    Args argumentos;
    Orden orden;
    std::optional<std::string> entrada;
    std::string separador;
    std::string salida;
    std::optional<std::string> evaluar;
};

TEST(LeerOpciones, QueOrdenYQueArchivos) {
    const CasoOpciones casos[] = {
        {{"p.brk"}, Orden::Resolver, "p.brk", "", "", {}},
        {{"-"}, Orden::Resolver, "-", "", "", {}},
        {{""}, Orden::Resolver, "", "", "", {}},
        {{"--", "-x.brk"}, Orden::Resolver, "-x.brk", "", "", {}},
        {{"--salida", "p.sol", "p.brk"}, Orden::Resolver, "p.brk", "", "p.sol", {}},
        {{"--separador", ",", "--separador=.", "p.brk"}, Orden::Resolver, "p.brk", ".", "", {}},  // the last one counts
        {{"--evaluar", "a.txt", "--evaluar", "s.txt", "p.brk"}, Orden::Evaluar, "p.brk", "", "", "s.txt"},
        {{"--evaluar", "-", "p.brk"}, Orden::Evaluar, "p.brk", "", "", "-"},
        {{"--evaluar", "", "p.brk"}, Orden::Evaluar, "p.brk", "", "", ""},
        {{"--aleatorio", "2", "3", "5", "20", "0.5", "1", "5", "-o", "r.brk"}, Orden::Aleatorio, {}, "", "r.brk", {}},
        // --help and --version end the reading: what follows is not looked at.
        {{"p.brk", "-h", "--rapido"}, Orden::Ayuda, "p.brk", "", "", {}},
        {{"--version", "--help"}, Orden::Version, {}, "", "", {}},
    };
    for (const CasoOpciones& c : casos) {
        SCOPED_TRACE(::testing::PrintToString(c.argumentos));
        const OpcionesCli o = LeerOpciones(c.argumentos);
        EXPECT_EQ(o.orden, c.orden);
        EXPECT_EQ(o.entrada, c.entrada);
        EXPECT_EQ(o.separador, c.separador);
        EXPECT_EQ(o.salida, c.salida);
        EXPECT_EQ(o.evaluar, c.evaluar);
    }
}

TEST(LeerOpciones, BanderasYSemilla) {
    const OpcionesCli o = LeerOpciones({"--optimo", "p.brk", "--exacto"});
    EXPECT_TRUE(o.optimo);
    EXPECT_TRUE(o.exacto);
    EXPECT_FALSE(o.metricas);
    EXPECT_FALSE(o.sinInforme);
    const OpcionesCli s = LeerOpciones({"--sin-informe", "--metricas", "-o", "x.sol", "p.brk"});
    EXPECT_EQ(s.orden, Orden::Resolver);
    EXPECT_TRUE(s.sinInforme);
    EXPECT_TRUE(s.metricas);
    const OpcionesCli a = LeerOpciones({"--semilla", "4294967295", "--aleatorio", "1", "2", "3", "4", "5", "6", "7"});
    EXPECT_EQ(a.semilla, 4294967295u);
    EXPECT_EQ(a.aleatorio, (Args{"1", "2", "3", "4", "5", "6", "7"}));
    // Given twice, the last --aleatorio counts (it used to add seven more values).
    const OpcionesCli dos = LeerOpciones({"--aleatorio", "1", "2", "3", "4", "5", "6", "7", "--aleatorio", "a", "b",
                                          "c", "d", "e", "f", "g"});
    EXPECT_EQ(dos.orden, Orden::Aleatorio);
    EXPECT_EQ(dos.aleatorio, (Args{"a", "b", "c", "d", "e", "f", "g"}));
}

struct CasoUso {
    Args argumentos;
    std::string motivo;
};

TEST(LeerOpciones, ErroresDeUso) {
    const CasoUso casos[] = {
        {{}, "falta el archivo de problema"},
        {{"--rapido", "--help"}, "opción desconocida \"--rapido\""},  // read before --help
        {{"a.brk", "b.brk"}, "sobra el argumento \"b.brk\""},
        {{"--"}, "se espera un solo archivo de problema"},
        {{"a.brk", "--", "b.brk"}, "se espera un solo archivo de problema"},
        {{"--separador=", "p.brk"}, "--separador admite \",\" o \".\", no \"\""},
        {{"p.brk", "--salida"}, "falta el nombre del archivo de solución tras --salida"},
        // An empty name is not standard output: it names no file.
        {{"-o", "", "p.brk"}, "el nombre del archivo tras -o está vacío"},
        {{"--aleatorio", "1", "2", "3", "4", "5", "6", "7", "--salida", ""}, "el nombre del archivo tras --salida está vacío"},
        // A long argument is quoted by its first 60 characters.
        {{"a.brk", std::string(100000, 'b')}, "sobra el argumento \"" + std::string(60, 'b') + "…\""},
        {{"--" + std::string(58, 'x') + "ñy"}, "opción desconocida \"--" + std::string(58, 'x') + "…\""},
        {{"--separador", std::string(61, ';')}, "--separador admite \",\" o \".\", no \"" + std::string(60, ';') + "…\""},
        {{"--semilla"}, "falta el valor de --semilla"},
        {{"--semilla", "x"}, "--semilla admite un entero de 0 a 4294967295, no \"x\""},
        {{"--semilla", ""}, "--semilla admite un entero de 0 a 4294967295, no \"\""},
        {{"--semilla", "99999999999999999999"}, "--semilla admite un entero de 0 a 4294967295, no \"99999999999999999999\""},
        {{"--aleatorio", "1", "2", "3", "4", "5", "6"}, "--aleatorio lleva siete valores: N M UMIN UMAX P CMIN CMAX"},
        {{"--aleatorio", "1", "2", "3", "4", "5", "6", "7", "--", "p.brk"}, "--aleatorio no lleva archivo de problema"},
        {{"--evaluar", "s.txt", "-o", "x.sol", "-"}, "--evaluar no se combina con -o, --metricas, --exacto, --optimo ni --mejorar"},
        {{"--evaluar", "s.txt", "--mejorar", "p.brk"}, "--evaluar no se combina con -o, --metricas, --exacto, --optimo ni --mejorar"},
        {{"--mejorar", "--aleatorio", "1", "2", "3", "4", "5", "6", "7"},
         "--aleatorio no se combina con --metricas, --exacto, --optimo, --mejorar ni --evaluar"},
        {{"--segundos", "3", "p.brk"}, "--segundos y --anchura solo se usan con --mejorar"},
        {{"--anchura", "3", "--metricas", "p.brk"}, "--segundos y --anchura solo se usan con --mejorar"},
        {{"--mejorar", "--anchura"}, "falta el valor de --anchura"},
        {{"--mejorar", "--segundos"}, "falta el valor de --segundos"},
        {{"--sin-informe", "--evaluar", "s.txt", "p.brk"}, "--sin-informe no se combina con --aleatorio ni --evaluar"},
        {{"--aleatorio", "1", "2", "3", "4", "5", "6", "7", "--sin-informe"},
         "--sin-informe no se combina con --aleatorio ni --evaluar"},
    };
    for (const CasoUso& c : casos) {
        SCOPED_TRACE(::testing::PrintToString(c.argumentos));
        try {
            LeerOpciones(c.argumentos);
            ADD_FAILURE() << "no error";
        } catch (const ErrorDeUso& e) {
            EXPECT_EQ(std::string(e.what()), c.motivo);
        }
    }
}

TEST(LeerOpciones, TiempoYAnchuraDeLaMejora) {
    struct Caso {
        Args argumentos;
        std::optional<double> segundos;
        std::optional<uint64_t> anchura;
        double limite;  // SegundosMejora: the time limit the search gets
    };
    const Caso casos[] = {
        {{"--mejorar", "p.brk"}, {}, {}, kSegundosMejora},
        {{"--mejorar", "--segundos", "0.25", "p.brk"}, 0.25, {}, 0.25},
        {{"--mejorar", "--segundos", "1,5", "p.brk"}, 1.5, {}, 1.5},  // either decimal separator
        {{"--mejorar", "--segundos", "86400", "p.brk"}, 86400.0, {}, 86400.0},
        {{"--mejorar", "--segundos", "1e-3", "p.brk"}, 0.001, {}, 0.001},
        // A width alone runs without a time limit, so that it gives the same every time.
        {{"--anchura", "500", "--mejorar", "p.brk"}, {}, 500u, 0.0},
        {{"--mejorar", "--anchura", "4294967295", "--segundos", "3", "p.brk"}, 3.0, 4294967295u, 3.0},
        {{"--mejorar", "--anchura", "7", "--anchura", "9", "p.brk"}, {}, 9u, 0.0},  // the last one counts
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(::testing::PrintToString(c.argumentos));
        const OpcionesCli o = LeerOpciones(c.argumentos);
        EXPECT_EQ(o.orden, Orden::Resolver);
        EXPECT_TRUE(o.mejorar);
        EXPECT_EQ(o.segundos, c.segundos);
        EXPECT_EQ(o.anchura, c.anchura);
        EXPECT_EQ(SegundosMejora(o), c.limite);
    }
    // Values refused, each with its reason.
    const std::pair<const char*, const char*> segundos[] = {
        {"0", "0"}, {"-1", "-1"}, {"86400.5", "86400.5"}, {"", ""}, {"2s", "2s"}, {"inf", "inf"}, {"nan", "nan"}, {"+2", "+2"}};
    for (const auto& [valor, eco] : segundos) {
        SCOPED_TRACE(valor);
        try {
            LeerOpciones({"--mejorar", "--segundos", valor, "p.brk"});
            ADD_FAILURE() << "no error";
        } catch (const ErrorDeUso& e) {
            EXPECT_EQ(std::string(e.what()), std::string("--segundos admite un número mayor que 0 y de hasta 86400, no \"") + eco + "\"");
        }
    }
    for (const char* valor : {"0", "-3", "4294967296", "1.5", "", "0x10", "99999999999999999999"}) {
        SCOPED_TRACE(valor);
        try {
            LeerOpciones({"--mejorar", "--anchura", valor, "p.brk"});
            ADD_FAILURE() << "no error";
        } catch (const ErrorDeUso& e) {
            EXPECT_EQ(std::string(e.what()), std::string("--anchura admite un entero de 1 a 4294967295, no \"") + valor + "\"");
        }
    }
}

}  // namespace
}  // namespace tavelorin::cli
