// tavelorin-cli --mejorar: the block after the usual output, within and beyond the
// optimum's reach, and the problems it refuses.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/app/EjecucionCli.h"

using namespace tavelorin::prueba;

TEST_F(Cli, Mejorar) {
    // Within the optimum's reach: the exact optimum, proven, whatever the time or width.
    const fs::path miope = Escribir("miope.brk", kMiopeBytes);
    const std::string informe = Ejecutar("'" + miope.string() + "'").salida;
    ASSERT_NE(informe, "");
    const std::string sucesion = "1\n3\n2\n1\n3\n2\n3\n1\n";
    const std::string bloque = "Mejorada:\n" + sucesion +
                               "J mejorada\t3.1875\nJ persecución\t6.1875\nExceso de la persecución (%)\t94.1176470588235\n"
                               "Óptima demostrada\tsí\n";
    const std::string optimo = "Óptimo:\n" + sucesion +
                               "J óptimo\t3.1875\nJ persecución\t6.1875\nExceso de la persecución (%)\t94.1176470588235\n";
    const std::string calidad = Ejecutar("--metricas '" + miope.string() + "'").salida.substr(informe.size());
    struct Caso {
        std::string argumentos, salida;
    };
    const Caso casos[] = {
        {"--mejorar '" + miope.string() + "'", informe + bloque},
        {"--mejorar --anchura 1 --segundos 0.5 '" + miope.string() + "'", informe + bloque},
        {"--mejorar --separador , '" + miope.string() + "'",
         Ejecutar("--separador , '" + miope.string() + "'").salida + "Mejorada:\n" + sucesion +
             "J mejorada\t3,1875\nJ persecución\t6,1875\nExceso de la persecución (%)\t94,1176470588235\n"
             "Óptima demostrada\tsí\n"},
        // The blocks in a fixed order, whatever the order of the options.
        {"--mejorar --optimo --metricas '" + miope.string() + "'", informe + calidad + optimo + bloque},
    };
    for (const Caso& caso : casos) EsperarSalida(caso.argumentos, caso.salida);
    // With -o: the solution file as always, the block alone on the output.
    const fs::path sol = dir / "miope.sol";
    const Resultado f = Ejecutar("-o '" + sol.string() + "' --mejorar '" + miope.string() + "'");
    EXPECT_EQ(f.estado, 0) << f.errores;
    EXPECT_EQ(f.salida, bloque);
    EXPECT_EQ(LeerBytes(sol), ConCrlf(informe));
}

TEST_F(Cli, MejorarFueraDelAlcanceDelOptimo) {
    // 28 products of demand 1: 2^28 lattice states, beyond the optimum's limit, so the
    // bounded search runs. A fixed width without --segundos gives the same block every time.
    std::string bytes = "28\r\n3\r\n";
    for (int i = 0; i < 28; ++i)
        bytes += std::to_string(i % 3) + "\t" + std::to_string(i % 5 == 0) + "\t" + std::to_string((i * 7) % 4) + "\t1\r\n";
    const fs::path p = Escribir("ancho.brk", bytes);
    const std::string informe = Ejecutar("'" + p.string() + "'").salida;
    const Resultado a = Ejecutar("--mejorar --anchura 64 '" + p.string() + "'");
    ASSERT_EQ(a.estado, 0) << a.errores;
    EXPECT_EQ(Ejecutar("--mejorar --anchura 64 '" + p.string() + "'").salida, a.salida);
    ASSERT_EQ(a.salida.substr(0, informe.size()), informe);
    std::istringstream bloque(a.salida.substr(informe.size()));
    std::string linea, secuencia;
    std::getline(bloque, linea);
    EXPECT_EQ(linea, "Mejorada:");
    for (int k = 0; k < 28 && std::getline(bloque, linea); ++k) secuencia += linea + "\n";
    std::string jMejorada, jPersecucion, exceso, demostrada;
    std::getline(bloque, jMejorada);
    std::getline(bloque, jPersecucion);
    std::getline(bloque, exceso);
    std::getline(bloque, demostrada);
    EXPECT_EQ(demostrada, "Óptima demostrada\tno");
    EXPECT_EQ(jPersecucion.substr(0, jPersecucion.find('\t')), "J persecución");
    EXPECT_LT(std::stod(jMejorada.substr(jMejorada.find('\t') + 1)), std::stod(jPersecucion.substr(jPersecucion.find('\t') + 1)));
    EXPECT_GT(std::stod(exceso.substr(exceso.find('\t') + 1)), 0);
    // The sequence is one the problem accepts, of the J the block gives.
    const fs::path s = Escribir("mejorada.txt", secuencia);
    const Resultado e = Ejecutar("--evaluar '" + s.string() + "' '" + p.string() + "'");
    EXPECT_EQ(e.estado, 0) << e.errores;
    EXPECT_EQ(e.salida.substr(0, e.salida.find('\n', 9) + 1), "Calidad:\nJ componentes\t" + jMejorada.substr(11) + "\n");
}

TEST_F(Cli, MejorarRechazado) {
    const fs::path negativa = Escribir("negativa.brk", "2\r\n1\r\n1\t-4\r\n2\t5\r\n");
    const fs::path sol = dir / "negativa.sol";
    for (const std::string& argumentos : {"--mejorar '" + negativa.string() + "'",
                                          "--mejorar -o '" + sol.string() + "' '" + negativa.string() + "'"}) {
        SCOPED_TRACE(argumentos);
        const Resultado r = Ejecutar(argumentos);
        EXPECT_EQ(r.estado, 1);
        EXPECT_EQ(r.salida, "");
        EXPECT_EQ(r.errores, "La mejora necesita demandas no negativas y la del producto 1 es -4.\n");
    }
    EXPECT_FALSE(fs::exists(sol));  // refused before the solution file is written
}

