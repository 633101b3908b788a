// Runs the built tavelorin-cli as a user would and checks its output, files and status.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/Version.h"
#include "tests/app/EjecucionCli.h"

using namespace tavelorin::prueba;

namespace {

const char* const kEjemploBytes = "3\r\n2\r\n1\t0\t2\r\n0\t1\t1\r\n1\t1\t1\r\n";

const char* const kMemoEjemplo =
    "K\tDk1\tDk2\tDk3\ts1\ts2\ts3\ts4\tX1k\tX2k\tNs1\tNs2\tNs3\tKN1/Q\tKN2/Q\n"
    "1\t0.559\t0.9014\t0.559\t1\t0\t0\t0\t1\t0\t1\t0\t0\t0.75\t0.5\n"
    "2\t1.118\t0.5\t0.5\t1\t2\t0\t0\t1\t1\t1\t1\t0\t1.5\t1\n"
    "3\t0.559\t-1\t0.559\t1\t2\t1\t0\t2\t1\t2\t1\t0\t2.25\t1.5\n"
    "4\t-1\t-1\t0\t1\t2\t1\t3\t3\t2\t2\t1\t1\t3\t2\n"
    "Solucion:\n1\n2\n1\n3\n";

}  // namespace

TEST_F(Cli, ReproduceElEjemploByteAByte) {
    const fs::path p = Escribir("ejemplo.brk", kEjemploBytes);
    const Resultado r = Ejecutar("'" + p.string() + "'");
    EXPECT_EQ(r.estado, 0);
    EXPECT_EQ(r.salida, kMemoEjemplo);
    EXPECT_EQ(r.errores, "");
}

TEST_F(Cli, LeeLaEntradaEstandar) {
    const Resultado r = Ejecutar("-", "LC_ALL=C", "4\n3\n2\t1\t0\t3\n1\t0\t1\t2\n0\t2\t1\t2\n1\t1\t1\t1\n");
    EXPECT_EQ(r.estado, 0);
    const std::string cola = "Solucion:\n4\n1\n3\n2\n1\n2\n3\n1\n";
    ASSERT_GE(r.salida.size(), cola.size());
    EXPECT_EQ(r.salida.substr(r.salida.size() - cola.size()), cola);
}

TEST_F(Cli, SeparadorDecimal) {
    const fs::path p = Escribir("ejemplo.brk", kEjemploBytes);
    struct Caso {
        std::string argumentos, entorno, segundaLinea;
    };
    const std::string conComa = "1\t0,559\t0,9014\t0,559\t1\t0\t0\t0\t1\t0\t1\t0\t0\t0,75\t0,5";
    const std::string conPunto = "1\t0.559\t0.9014\t0.559\t1\t0\t0\t0\t1\t0\t1\t0\t0\t0.75\t0.5";
    std::vector<Caso> casos = {
        {"--separador , '" + p.string() + "'", "LC_ALL=C", conComa},
        {"--separador=. '" + p.string() + "'", "LC_ALL=C", conPunto},
        {"'" + p.string() + "'", "LC_ALL=C", conPunto},
    };
    // The user's locale decides without --separador, when a Spanish locale is installed.
    if (std::system("locale -a 2>/dev/null | grep -qi '^es_ES.utf-\\?8$'") == 0) {
        casos.push_back({"'" + p.string() + "'", "LC_ALL= LANG=es_ES.UTF-8", conComa});
        casos.push_back({"'" + p.string() + "'", "LANG=C LC_ALL= LC_NUMERIC=es_ES.UTF-8", conComa});
        casos.push_back({"--separador . '" + p.string() + "'", "LC_ALL=es_ES.UTF-8", conPunto});
    } else {
        ADD_FAILURE() << "es_ES.UTF-8 no está instalado: la prueba de la configuración regional no se ejecuta";
    }
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.entorno + " " + caso.argumentos);
        const Resultado r = Ejecutar(caso.argumentos, caso.entorno);
        EXPECT_EQ(r.estado, 0) << r.errores;
        const size_t a = r.salida.find('\n') + 1;
        EXPECT_EQ(r.salida.substr(a, r.salida.find('\n', a) - a), caso.segundaLinea);
    }
}

TEST_F(Cli, EscribeElArchivoDeSolucion) {
    const fs::path p = Escribir("ejemplo.brk", kEjemploBytes);
    const fs::path sol = dir / "ejemplo.sol";
    Escribir("ejemplo.sol", "contenido anterior mucho más largo que el nuevo, que se sustituye entero");
    const Resultado r = Ejecutar("-o '" + sol.string() + "' '" + p.string() + "'");
    EXPECT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(r.salida, "");
    std::string esperado;
    for (const char* c = kMemoEjemplo; *c; ++c) {
        if (*c == '\n') esperado += '\r';
        esperado += *c;
    }
    EXPECT_EQ(LeerBytes(sol), esperado);
}

// Errors come with their Spanish explanation on a second line.
const std::string kNoExiste = "El archivo no existe (o no existe su carpeta).\n";
const std::string kDemandaNoEntera = "La demanda del producto 2 (columna Qj) no es un número entero.\n";
const std::string kEscritura =
    "No se pudieron escribir todos los datos: el disco puede estar lleno o el destino haber dejado de aceptarlos.\n";

TEST_F(Cli, Errores) {
    const fs::path malo = Escribir("malo.brk", "2\r\n1\r\n1\t3\r\n1\tx\r\n");
    const fs::path corto = Escribir("corto.brk", "3\r\n2\r\n1\t0\t2\r\n");
    const fs::path ok = Escribir("ok.brk", kEjemploBytes);
    struct Caso {
        std::string argumentos;
        int estado;
        std::string errores;  // exact text, or a prefix ending in "*"
    };
    const Caso casos[] = {
        {"'" + malo.string() + "'", 1, "''x'' is not a valid integer value.\n" + kDemandaNoEntera},
        {"'" + corto.string() + "'", 1,
         "List index out of bounds (3)\nEl archivo tiene menos líneas de las que anuncia su cabecera: la primera "
         "línea anuncia 3 productos, uno por línea desde la tercera, y el archivo termina en la línea 3, antes de la "
         "del producto 2.\n"},
        {"'" + (dir / "no-existe.brk").string() + "'", 1,
         "Cannot open file \"" + (dir / "no-existe.brk").string() + "\". No such file or directory.\n" + kNoExiste},
        {"-o '" + (dir / "falta" / "x.sol").string() + "' '" + ok.string() + "'", 1,
         "Cannot create file \"" + (dir / "falta" / "x.sol").string() +
             "\". No such file or directory.\nLa carpeta donde iba a guardarse el archivo no existe.\n"},
        {"", 2, "tavelorin-cli: falta el archivo de problema\n*"},
        {"--separador ';' x.brk", 2, "tavelorin-cli: --separador admite \",\" o \".\", no \";\"\n*"},
        {"--separador", 2, "tavelorin-cli: falta el valor de --separador\n*"},
        {"-o", 2, "tavelorin-cli: falta el nombre del archivo de solución tras -o\n*"},
        {"--rapido x.brk", 2, "tavelorin-cli: opción desconocida \"--rapido\"\n*"},
        {"a.brk b.brk", 2, "tavelorin-cli: sobra el argumento \"b.brk\"\n*"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.argumentos);
        const Resultado r = Ejecutar(caso.argumentos);
        EXPECT_EQ(r.estado, caso.estado);
        EXPECT_EQ(r.salida, "");
        if (!caso.errores.empty() && caso.errores.back() == '*') {
            const std::string prefijo = caso.errores.substr(0, caso.errores.size() - 1);
            EXPECT_EQ(r.errores.substr(0, prefijo.size()), prefijo);
            EXPECT_NE(r.errores.find("Uso: tavelorin-cli"), std::string::npos);
        } else {
            EXPECT_EQ(r.errores, caso.errores);
        }
    }
}

TEST_F(Cli, AyudaYVersion) {
    const Resultado ayuda = Ejecutar("--help");
    EXPECT_EQ(ayuda.estado, 0);
    EXPECT_NE(ayuda.salida.find("--separador"), std::string::npos);
    EXPECT_NE(ayuda.salida.find("-o ARCHIVO.sol"), std::string::npos);
    // The bounds of a random problem are inclusive and must not cross.
    EXPECT_NE(ayuda.salida.find("entre UMIN y UMAX (ambos incluidos)"), std::string::npos);
    EXPECT_NE(ayuda.salida.find("un mínimo\n                      mayor que su máximo se rechaza"), std::string::npos);
    const Resultado version = Ejecutar("--version");
    EXPECT_EQ(version.estado, 0);
    EXPECT_EQ(version.salida, std::string("tavelorin-cli ") + tavelorin::kVersion + "\n");
}

TEST_F(Cli, ProblemaAleatorio) {
    // The worked example: seed 0, 2 products, 3 components (derived draw by draw in
    // tests/core/test_aleatorio.cpp): demands 5 and 10, every value within its bounds.
    const Resultado r = Ejecutar("--aleatorio 2 3 5 20 0.5 1 5 --semilla 0");
    EXPECT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(r.salida, "2\n3\n5\t2\t0\t5\n2\t1\t1\t10\n");
    // The same seed gives the same problem; as a file it is a problem file, and it solves.
    const fs::path p = dir / "azar.brk";
    const Resultado f = Ejecutar("--aleatorio 10 20 5 20 0,5 1 5 --semilla 77 -o '" + p.string() + "'");
    EXPECT_EQ(f.estado, 0) << f.errores;
    const std::string bytes = LeerBytes(p);
    EXPECT_EQ(bytes.substr(0, 8), "10\r\n20\r\n");
    const Resultado otra = Ejecutar("--aleatorio 10 20 5 20 0,5 1 5 --semilla 77");
    std::string conCrlf;
    for (char c : otra.salida) {
        if (c == '\n') conCrlf += '\r';
        conCrlf += c;
    }
    EXPECT_EQ(bytes, conCrlf);
    const Resultado resuelto = Ejecutar("'" + p.string() + "'");
    EXPECT_EQ(resuelto.estado, 0) << resuelto.errores;
    EXPECT_NE(resuelto.salida.find("\nSolucion:\n"), std::string::npos);
}

TEST_F(Cli, ProblemaAleatorioErrores) {
    struct Caso {
        std::string argumentos;
        int estado;
        std::string errores;  // exact, or a prefix ending in "*"
    };
    const Caso casos[] = {
        {"--aleatorio 2 -1 5 20 0,5 1 5", 1, "El número de componentes no puede ser negativo (-1)\n"},
        {"--aleatorio dos 3 5 20 0,5 1 5", 1,
         "''dos'' is not a valid integer value.\n"
         "El número de productos del problema aleatorio no es un número entero.\n"},
        {"--aleatorio 2 3 5 20 abc 1 5", 1,
         "'abc' is not a valid floating point value.\nLa probabilidad de componente en producto no es un número "
         "real. Escríbala con cifras y una coma o un punto decimal, por ejemplo 0,5.\n"},
        {"--aleatorio 2 3 5 20 1e400 1 5", 1,
         "Floating point overflow.\nLa probabilidad de componente en producto es demasiado grande para "
         "representarla como número real; debe estar entre 0 y 1.\n"},
        {"--aleatorio 2 3 20 5 0,5 1 5 --semilla 0", 1,
         "El número de unidades mínimas de producto (20) es mayor que el número de unidades máximas de producto (5)\n"},
        {"--aleatorio 2 3 5 20 0,5 5 1 --semilla 0", 1,
         "La cantidad mínima de componente en producto (5) es mayor que la cantidad máxima de componente en producto "
         "(1)\n"},
        {"--aleatorio 2147483647 3 5 20 0,5 1 5", 1,
         "Grid too large for operation.\nLa rejilla no admite tantas filas: el límite es de 134217724 productos.\n"},
        {"--aleatorio 2 2147483646 5 20 0,5 1 5", 1,
         "Out of memory.\nNo hay memoria suficiente: el problema es demasiado grande para este equipo. Pruebe con "
         "menos productos, componentes o unidades.\n"},
        {"--aleatorio 2 3 5", 2, "tavelorin-cli: --aleatorio lleva siete valores: N M UMIN UMAX P CMIN CMAX\n*"},
        {"--aleatorio 2 3 5 20 0,5 1 5 --semilla -1", 2, "tavelorin-cli: --semilla admite un entero de 0 a 4294967295, no \"-1\"\n*"},
        {"--aleatorio 2 3 5 20 0,5 1 5 --semilla 4294967296", 2, "tavelorin-cli: --semilla admite*"},
        {"--semilla 3 x.brk", 2, "tavelorin-cli: --semilla solo se usa con --aleatorio\n*"},
        {"--aleatorio 2 3 5 20 0,5 1 5 x.brk", 2, "tavelorin-cli: --aleatorio no lleva archivo de problema\n*"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.argumentos);
        const Resultado r = Ejecutar(caso.argumentos);
        EXPECT_EQ(r.estado, caso.estado);
        EXPECT_EQ(r.salida, "");
        if (caso.errores.back() == '*') {
            const std::string prefijo = caso.errores.substr(0, caso.errores.size() - 1);
            EXPECT_EQ(r.errores.substr(0, prefijo.size()), prefijo);
        } else {
            EXPECT_EQ(r.errores, caso.errores);
        }
    }
}

namespace {

const char* const kBloqueCalidadEjemplo =
    "Calidad:\n"
    "J componentes\t0.875\n"
    "Desviación máxima componentes\t0.5\n"
    "Desviación máxima por componente\t0.5\t0.5\n"
    "J productos\t1.75\n"
    "Desviación máxima productos\t0.75\n"
    "Desviación máxima por producto\t0.5\t0.5\t0.75\n";

// b = identity, d = 6, 3, 1: exact ties at stages 4 to 6.
const char* const kIdentidadBytes = "3\r\n3\r\n1\t0\t0\t6\r\n0\t1\t0\t3\r\n0\t0\t1\t1\r\n";

std::string Cola(const std::string& texto, size_t desde) { return texto.size() < desde ? texto : texto.substr(desde); }

}  // namespace

TEST_F(Cli, MetricasTrasLaSecuencia) {
    const fs::path p = Escribir("ejemplo.brk", kEjemploBytes);
    const Resultado r = Ejecutar("--metricas '" + p.string() + "'");
    EXPECT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(r.salida, std::string(kMemoEjemplo) + kBloqueCalidadEjemplo);
    EXPECT_EQ(r.errores, "");
    // The decimal separator as for the report.
    const Resultado coma = Ejecutar("--metricas --separador , '" + p.string() + "'");
    EXPECT_NE(coma.salida.find("\nJ componentes\t0,875\nDesviación máxima componentes\t0,5\n"), std::string::npos);
    // With -o the solution file stays the solution file; the block goes to the output.
    const fs::path sol = dir / "ejemplo.sol";
    const Resultado f = Ejecutar("-o '" + sol.string() + "' --metricas '" + p.string() + "'");
    EXPECT_EQ(f.estado, 0) << f.errores;
    EXPECT_EQ(f.salida, kBloqueCalidadEjemplo);
    EXPECT_EQ(LeerBytes(sol), ConCrlf(kMemoEjemplo));
}

TEST_F(Cli, EvaluarUnaSecuencia) {
    const fs::path p = Escribir("ejemplo.brk", kEjemploBytes);
    const fs::path sol = dir / "ejemplo.sol";
    ASSERT_EQ(Ejecutar("-o '" + sol.string() + "' '" + p.string() + "'").estado, 0);
    const std::string cabecera = "La secuencia no corresponde al problema:\n";
    struct Caso {
        const char* nombre;
        std::string secuencia;  // the sequence file's bytes
        int estado;
        std::string salida, errores;
    };
    const Caso casos[] = {
        {"la del programa", "1\n2\n1\n3\n", 0, kBloqueCalidadEjemplo, ""},
        {"CR LF, sin salto final", "1\r\n2\r\n1\r\n3", 0, kBloqueCalidadEjemplo, ""},
        {"el archivo de solucion", LeerBytes(sol), 0, kBloqueCalidadEjemplo, ""},
        {"la salida con --metricas", std::string(kMemoEjemplo) + kBloqueCalidadEjemplo, 0, kBloqueCalidadEjemplo, ""},
        {"cuenta equivocada", "1\n1\n1\n3\n", 1, "",
         cabecera + "  el producto 1 aparece 3 veces y su demanda es 2\n"
                    "  el producto 2 aparece 0 veces y su demanda es 1\n"},
        {"lineas que no son productos", "1\nx\n2\n9\n1\n3\n", 1, "",
         cabecera + "  línea 2: \"x\" no es un número de producto\n"
                    "  línea 4: no hay producto 9 (los productos van de 1 a 3)\n"},
        {"corta", "1\n2\n1\n", 1, "",
         cabecera + "  el producto 3 aparece 0 veces y su demanda es 1\n"
                    "  la secuencia tiene 3 unidades y la demanda total es 4\n"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        const fs::path s = Escribir("secuencia.txt", caso.secuencia);
        const Resultado r = Ejecutar("--evaluar '" + s.string() + "' '" + p.string() + "'");
        EXPECT_EQ(r.estado, caso.estado);
        EXPECT_EQ(r.salida, caso.salida);
        EXPECT_EQ(r.errores, caso.errores);
    }
    // The sequence from standard input.
    const Resultado entrada = Ejecutar("--evaluar - '" + p.string() + "'", "LC_ALL=C", "1\n2\n1\n3\n");
    EXPECT_EQ(entrada.estado, 0) << entrada.errores;
    EXPECT_EQ(entrada.salida, kBloqueCalidadEjemplo);
    // Files that cannot be read, and a bad problem, say so as everywhere else.
    const fs::path falta = dir / "falta.txt";
    const Resultado sinArchivo = Ejecutar("--evaluar '" + falta.string() + "' '" + p.string() + "'");
    EXPECT_EQ(sinArchivo.estado, 1);
    EXPECT_EQ(sinArchivo.errores, "Cannot open file \"" + falta.string() + "\". No such file or directory.\n" + kNoExiste);
    const fs::path malo = Escribir("malo.brk", "2\r\n1\r\n1\t3\r\n1\tx\r\n");
    const fs::path s = Escribir("secuencia.txt", "1\n");
    const Resultado problemaMalo = Ejecutar("--evaluar '" + s.string() + "' '" + malo.string() + "'");
    EXPECT_EQ(problemaMalo.estado, 1);
    EXPECT_EQ(problemaMalo.salida, "");
    EXPECT_EQ(problemaMalo.errores, "''x'' is not a valid integer value.\n" + kDemandaNoEntera);
}

TEST_F(Cli, EmpatesExactos) {
    const fs::path id = Escribir("identidad.brk", kIdentidadBytes);
    struct Caso {
        std::string argumentos, cuartaEtapa, solucion;
    };
    const Caso casos[] = {
        {"'" + id.string() + "'",
         "4\t0.7483\t0.9798\t0.7483\t1\t2\t1\t3\t0\t0\t0\t0\t0\t0\t2\t1\t1\t2\t1\t1\t2.4\t1.2\t0.4",
         "Solucion:\n1\n2\n1\n3\n1\n2\n1\n1\n2\n1\n"},
        {"--exacto '" + id.string() + "'",
         "4\t0.7483\t0.9798\t0.7483\t1\t2\t1\t1\t0\t0\t0\t0\t0\t0\t3\t1\t0\t3\t1\t0\t2.4\t1.2\t0.4",
         "Solucion:\n1\n2\n1\n1\n2\n1\n3\n1\n2\n1\n"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.argumentos);
        const Resultado r = Ejecutar(caso.argumentos);
        EXPECT_EQ(r.estado, 0) << r.errores;
        EXPECT_NE(r.salida.find("\n" + caso.cuartaEtapa + "\n5\t"), std::string::npos);
        EXPECT_EQ(Cola(r.salida, r.salida.size() - caso.solucion.size()), caso.solucion);
    }
    // Without exact ties the output is the same, byte for byte.
    const fs::path p = Escribir("ejemplo.brk", kEjemploBytes);
    EXPECT_EQ(Ejecutar("--exacto '" + p.string() + "'").salida, kMemoEjemplo);
}

TEST_F(Cli, Optimo) {
    const fs::path miope = Escribir("miope.brk", kMiopeBytes);
    const fs::path id = Escribir("identidad.brk", kIdentidadBytes);
    const std::string bloqueMiope =
        "Óptimo:\n1\n3\n2\n1\n3\n2\n3\n1\n"
        "J óptimo\t3.1875\nJ persecución\t6.1875\nExceso de la persecución (%)\t94.1176470588235\n";
    const std::string informeMiope = Ejecutar("'" + miope.string() + "'").salida;
    ASSERT_NE(informeMiope, "");
    struct Caso {
        std::string argumentos, salida;
    };
    const Caso casos[] = {
        {"--optimo '" + miope.string() + "'", informeMiope + bloqueMiope},
        {"--optimo --separador , '" + miope.string() + "'",
         Ejecutar("--separador , '" + miope.string() + "'").salida +
             "Óptimo:\n1\n3\n2\n1\n3\n2\n3\n1\n"
             "J óptimo\t3,1875\nJ persecución\t6,1875\nExceso de la persecución (%)\t94,1176470588235\n"},
        {"--optimo --metricas '" + miope.string() + "'",
         informeMiope +
             "Calidad:\nJ componentes\t6.1875\nDesviación máxima componentes\t1.5\n"
             "Desviación máxima por componente\t1.5\t0.75\t0.75\nJ productos\t16.375\n"
             "Desviación máxima productos\t1.875\nDesviación máxima por producto\t1.875\t0.75\t1.5\n" +
             bloqueMiope},
        {"--exacto --optimo '" + id.string() + "'",
         Ejecutar("--exacto '" + id.string() + "'").salida +
             "Óptimo:\n1\n2\n1\n1\n2\n1\n3\n1\n2\n1\n"
             "J óptimo\t2.9\nJ persecución\t2.9\nExceso de la persecución (%)\t0\n"},
    };
    for (const Caso& caso : casos) EsperarSalida(caso.argumentos, caso.salida);
    // With -o: the solution file as always, the block alone on the output.
    const fs::path sol = dir / "miope.sol";
    const Resultado f = Ejecutar("--optimo -o '" + sol.string() + "' '" + miope.string() + "'");
    EXPECT_EQ(f.estado, 0) << f.errores;
    EXPECT_EQ(f.salida, bloqueMiope);
    EXPECT_EQ(LeerBytes(sol), ConCrlf(informeMiope));
}

TEST_F(Cli, OptimoRechazado) {
    const fs::path grande = Escribir("grande.brk", "3\r\n1\r\n1\t1000\r\n1\t1000\r\n2\t1000\r\n");
    const fs::path negativa = Escribir("negativa.brk", "2\r\n1\r\n1\t-4\r\n2\t5\r\n");
    const fs::path sol = dir / "grande.sol";
    struct Caso {
        std::string argumentos, errores;
    };
    const Caso casos[] = {
        {"--optimo '" + grande.string() + "'",
         "El problema es demasiado grande para el óptimo: tiene 1003003001 estados (el producto de las demandas "
         "más uno) y el límite es 100000000.\n"},
        {"--optimo -o '" + sol.string() + "' '" + grande.string() + "'",
         "El problema es demasiado grande para el óptimo: tiene 1003003001 estados (el producto de las demandas "
         "más uno) y el límite es 100000000.\n"},
        {"--optimo '" + negativa.string() + "'", "El óptimo necesita demandas no negativas y la del producto 1 es -4.\n"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.argumentos);
        const Resultado r = Ejecutar(caso.argumentos);
        EXPECT_EQ(r.estado, 1);
        EXPECT_EQ(r.salida, "");
        EXPECT_EQ(r.errores, caso.errores);
    }
    EXPECT_FALSE(fs::exists(sol));
}

TEST_F(Cli, ErroresDeUsoDeLasOpcionesDeCalidad) {
    struct Caso {
        std::string argumentos, errores;  // the first line of the usage error
    };
    const Caso casos[] = {
        {"--evaluar", "tavelorin-cli: falta el archivo de secuencia tras --evaluar\n"},
        {"--evaluar s.txt", "tavelorin-cli: falta el archivo de problema\n"},
        {"--evaluar s.txt -o x.sol p.brk", "tavelorin-cli: --evaluar no se combina con -o, --metricas, --exacto, --optimo ni --mejorar\n"},
        {"--metricas --evaluar s.txt p.brk", "tavelorin-cli: --evaluar no se combina con -o, --metricas, --exacto, --optimo ni --mejorar\n"},
        {"--evaluar s.txt --exacto p.brk", "tavelorin-cli: --evaluar no se combina con -o, --metricas, --exacto, --optimo ni --mejorar\n"},
        {"--evaluar s.txt --optimo p.brk", "tavelorin-cli: --evaluar no se combina con -o, --metricas, --exacto, --optimo ni --mejorar\n"},
        {"--mejorar --evaluar s.txt p.brk", "tavelorin-cli: --evaluar no se combina con -o, --metricas, --exacto, --optimo ni --mejorar\n"},
        {"--aleatorio 2 3 5 20 0.5 1 5 --mejorar",
         "tavelorin-cli: --aleatorio no se combina con --metricas, --exacto, --optimo, --mejorar ni --evaluar\n"},
        {"--segundos 2 p.brk", "tavelorin-cli: --segundos y --anchura solo se usan con --mejorar\n"},
        {"--anchura 10 --optimo p.brk", "tavelorin-cli: --segundos y --anchura solo se usan con --mejorar\n"},
        {"--mejorar --segundos 0 p.brk", "tavelorin-cli: --segundos admite un número mayor que 0 y de hasta 86400, no \"0\"\n"},
        {"--mejorar --anchura 0 p.brk", "tavelorin-cli: --anchura admite un entero de 1 a 4294967295, no \"0\"\n"},
        {"--mejorar --segundos", "tavelorin-cli: falta el valor de --segundos\n"},
        {"--evaluar - -", "tavelorin-cli: la secuencia y el problema no pueden leerse los dos de la entrada estándar\n"},
        {"--aleatorio 2 3 5 20 0.5 1 5 --optimo",
         "tavelorin-cli: --aleatorio no se combina con --metricas, --exacto, --optimo, --mejorar ni --evaluar\n"},
        {"--metrica p.brk", "tavelorin-cli: opción desconocida \"--metrica\"\n"},
        {"--optimo", "tavelorin-cli: falta el archivo de problema\n"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.argumentos);
        const Resultado r = Ejecutar(caso.argumentos);
        EXPECT_EQ(r.estado, 2);
        EXPECT_EQ(r.salida, "");
        EXPECT_EQ(r.errores.substr(0, caso.errores.size()), caso.errores);
        EXPECT_NE(r.errores.find("Uso: tavelorin-cli"), std::string::npos);
    }
    const Resultado ayuda = Ejecutar("--help");
    for (const char* opcion : {"--metricas", "--exacto", "--optimo", "--evaluar SECUENCIA.txt ARCHIVO.brk", "--mejorar",
                               "--segundos S", "--anchura W"})
        EXPECT_NE(ayuda.salida.find(opcion), std::string::npos) << opcion;
}

// How the arguments are read, seen from outside: --help and --version end the reading,
// the other names of the options, "--" before a file name, and output that cannot be
// written.
TEST_F(Cli, LecturaDeArgumentosYEstados) {
    const fs::path p = Escribir("ejemplo.brk", kEjemploBytes);
    const fs::path guion = Escribir("-raro.brk", kEjemploBytes);
    const std::string uso = "Uso: tavelorin-cli ";
    struct Caso {
        std::string argumentos;
        int estado;
        std::string salida, errores;  // exact, or a prefix ending in "*"
        std::string salidaEstandar = "";
    };
    const Caso casos[] = {
        {"-h", 0, uso + "*", ""},
        {"'" + p.string() + "' --help --rapido", 0, uso + "*", ""},
        {"--rapido --help", 2, "", "tavelorin-cli: opción desconocida \"--rapido\"\n" + uso + "*"},
        {"--version --help", 0, std::string("tavelorin-cli ") + tavelorin::kVersion + "\n", ""},
        {"-- '" + guion.string() + "'", 0, kMemoEjemplo, ""},
        {"'" + p.string() + "' --", 2, "", "tavelorin-cli: se espera un solo archivo de problema\n" + uso + "*"},
        {"--separador= '" + p.string() + "'", 2, "", "tavelorin-cli: --separador admite \",\" o \".\", no \"\"\n*"},
        {"--salida", 2, "", "tavelorin-cli: falta el nombre del archivo de solución tras --salida\n*"},
        {"--semilla", 2, "", "tavelorin-cli: falta el valor de --semilla\n*"},
        {"-o /dev/full '" + p.string() + "'", 1, "", "Stream write error.\n" + kEscritura},
        {"'" + p.string() + "'", 1, "", "Stream write error.\n" + kEscritura, "/dev/full"},
        {"--aleatorio 2 3 5 20 0.5 1 5 --semilla 0", 1, "", "Stream write error.\n" + kEscritura, "/dev/full"},
    };
    auto comprobar = [](const std::string& real, const std::string& esperado) {
        if (!esperado.empty() && esperado.back() == '*')
            EXPECT_EQ(real.substr(0, esperado.size() - 1), esperado.substr(0, esperado.size() - 1));
        else
            EXPECT_EQ(real, esperado);
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.argumentos + (caso.salidaEstandar.empty() ? "" : " >" + caso.salidaEstandar));
        const Resultado r = Ejecutar(caso.argumentos, "LC_ALL=C", "", caso.salidaEstandar);
        EXPECT_EQ(r.estado, caso.estado);
        comprobar(r.salida, caso.salida);
        comprobar(r.errores, caso.errores);
    }
    // --salida is -o.
    const fs::path sol = dir / "ejemplo.sol";
    const Resultado f = Ejecutar("--salida '" + sol.string() + "' '" + p.string() + "'");
    EXPECT_EQ(f.estado, 0) << f.errores;
    EXPECT_EQ(LeerBytes(sol), ConCrlf(kMemoEjemplo));
}

// Inputs that used to hang the program, exhaust the memory or fill the screen: each is
// answered at once (within the 20 s limit) with a short message.
TEST_F(Cli, EntradasHostiles) {
    const fs::path ok = Escribir("ok.brk", kEjemploBytes);
    const fs::path fifo = dir / "tuberia";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path basura = Escribir("basura.brk", kEjemploBytes + std::string(2 << 20, '#'));
    const fs::path primera = Escribir("primera.brk", std::string(1 << 20, '7') + "x\r\n1\r\n");
    const fs::path secuencia = Escribir("secuencia.txt", "1\n2\n1\n3\n" + std::string(1 << 20, 'z') + "\n");
    const std::string sesenta7(60, '7'), sesentaZ(60, 'z'), sesentaA(60, 'a');
    const std::string noNormal = ": es una tubería con nombre (FIFO), no un archivo normal.\n";
    struct Caso {
        const char* nombre;
        std::string origen, argumentos;
        int estado;
        std::string salida, errores;  // errores: exact, or a prefix ending in "*"
    };
    const Caso casos[] = {
        {"/dev/zero como problema", "", "/dev/zero", 1, "",
         "No se puede abrir \"/dev/zero\": es un dispositivo de caracteres, no un archivo normal.\n"},
        {"una FIFO como problema", "", "'" + fifo.string() + "'", 1, "",
         "No se puede abrir \"" + fifo.string() + "\"" + noNormal},
        {"una FIFO como secuencia", "", "--evaluar '" + fifo.string() + "' '" + ok.string() + "'", 1, "",
         "No se puede abrir \"" + fifo.string() + "\"" + noNormal},
        {"/dev/zero por la entrada estandar", "exec </dev/zero;", "-", 1, "",
         "List index out of bounds (0)\nEl archivo está vacío: falta la primera línea, el número de productos.\n"},
        {"saltos de linea sin fin", "yes '' |", "-", 1, "",
         "'''' is not a valid integer value.\nLa primera línea del archivo (el número de productos) no es un número entero.\n"},
        {"un problema y lineas sin fin",
         "(printf '3\\r\\n2\\r\\n1\\t0\\t2\\r\\n0\\t1\\t1\\r\\n1\\t1\\t1\\r\\n'; yes basura) |", "-", 0, kMemoEjemplo, ""},
        {"un problema y basura en el archivo", "", "'" + basura.string() + "'", 0, kMemoEjemplo, ""},
        {"una primera linea de un mega", "", "'" + primera.string() + "'", 1, "",
         "''" + sesenta7 + "…'' is not a valid integer value.\nLa primera línea del archivo (el número de productos) no es un número entero.\n"},
        {"una linea de un mega en la secuencia", "", "--evaluar '" + secuencia.string() + "' '" + ok.string() + "'", 1,
         "", "La secuencia no corresponde al problema:\n  línea 5: \"" + sesentaZ + "…\" no es un número de producto\n"},
        {"un argumento de 100 KB", "", "'" + ok.string() + "' " + std::string(100000, 'a'), 2, "",
         "tavelorin-cli: sobra el argumento \"" + sesentaA + "…\"\nUso: tavelorin-cli *"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        const Resultado r = EjecutarAcotado(caso.origen, caso.argumentos);
        EXPECT_EQ(r.estado, caso.estado);
        EXPECT_EQ(r.salida, caso.salida);
        if (caso.errores.ends_with("*"))
            EXPECT_EQ(r.errores.substr(0, caso.errores.size() - 1), caso.errores.substr(0, caso.errores.size() - 1));
        else
            EXPECT_EQ(r.errores, caso.errores);
    }
}

// What the command line says when it cannot do what it was asked: an empty name or the
// problem's own file after -o is a usage error and the problem file stays as it was;
// --help and --version fail when their text cannot be written.
TEST_F(Cli, LaLineaDeOrdenesDiceLoQuePaso) {
    const fs::path p = Escribir("ejemplo.brk", kEjemploBytes);
    fs::create_symlink(p, dir / "enlace.brk");
    fs::create_directory(dir / "sub");
    const std::string mismo = "tavelorin-cli: -o nombra el propio archivo de problema, que se perdería\n";
    struct Caso {
        std::string argumentos;
        int estado;
        std::string errores;  // the first line
        std::string salidaEstandar = "";
    };
    const Caso casos[] = {
        {"-o '' '" + p.string() + "'", 2, "tavelorin-cli: el nombre del archivo tras -o está vacío\n"},
        {"--salida '' --aleatorio 2 3 5 20 0.5 1 5", 2, "tavelorin-cli: el nombre del archivo tras --salida está vacío\n"},
        {"-o '" + p.string() + "' '" + p.string() + "'", 2, mismo},
        {"--metricas -o '" + (dir / "sub" / ".." / "ejemplo.brk").string() + "' '" + p.string() + "'", 2, mismo},
        {"-o '" + (dir / "enlace.brk").string() + "' '" + p.string() + "'", 2, mismo},
        {"--help", 1, "Stream write error.\n", "/dev/full"},
        {"--version", 1, "Stream write error.\n", "/dev/full"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.argumentos + (caso.salidaEstandar.empty() ? "" : " >" + caso.salidaEstandar));
        const Resultado r = Ejecutar(caso.argumentos, "LC_ALL=C", "", caso.salidaEstandar);
        EXPECT_EQ(r.estado, caso.estado);
        EXPECT_EQ(r.errores.substr(0, caso.errores.size()), caso.errores);
        EXPECT_EQ(LeerBytes(p), kEjemploBytes);
        EXPECT_TRUE(fs::is_symlink(dir / "enlace.brk"));
    }
}

// -o into a pipe: /dev/stdout links to /proc/self/fd/1, whose link names no file; the
// program writes into it, and a FIFO without a reader is refused instead of waited for.
TEST_F(Cli, SalidaAUnaTuberia) {
    const fs::path p = Escribir("ejemplo.brk", kEjemploBytes);
    const fs::path out = dir / "tuberia.out", estado = dir / "estado";
    const std::string orden = "('" TAVELORIN_CLI "' -o /dev/stdout '" + p.string() + "'; echo $? >'" + estado.string() +
                              "') | cat >'" + out.string() + "'";
    ASSERT_EQ(std::system(orden.c_str()), 0);
    EXPECT_EQ(LeerBytes(estado), "0\n");
    EXPECT_EQ(LeerBytes(out), ConCrlf(kMemoEjemplo));

    const fs::path fifo = dir / "sin-lector";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const Resultado r = EjecutarAcotado("", "-o '" + fifo.string() + "' '" + p.string() + "'");
    EXPECT_EQ(r.estado, 1);
    EXPECT_EQ(r.errores, "Cannot create file \"" + fifo.string() +
                              "\". No such device or address.\nNo se pudo crear o reemplazar el archivo. Compruebe que "
                              "la carpeta existe, que tiene permiso para escribir en ella y que el nombre no es el "
                              "de una carpeta.\n");
}

// --evaluar keeps the sequence and a few sums per product and component, not a stage
// table: Q = 60000 (a table of 29 GB) evaluates. b = (1), (0); d = 30000, 30000; the
// alternating sequence is half a unit off the ideal at every odd stage.
TEST_F(Cli, EvaluarUnaSecuenciaLarga) {
    const fs::path p = Escribir("grande.brk", "2\r\n1\r\n1\t30000\r\n0\t30000\r\n");
    std::string alterna;
    for (int k = 0; k < 30000; ++k) alterna += "1\n2\n";
    const fs::path s = Escribir("alterna.txt", alterna);
    const Resultado r = Ejecutar("--evaluar '" + s.string() + "' '" + p.string() + "'");
    EXPECT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(r.salida,
              "Calidad:\nJ componentes\t7500\nDesviación máxima componentes\t0.5\n"
              "Desviación máxima por componente\t0.5\nJ productos\t15000\nDesviación máxima productos\t0.5\n"
              "Desviación máxima por producto\t0.5\t0.5\n");
}

namespace {

// The hidden temporary files in a folder (".<name>.~<suffix>").
std::vector<std::string> Temporales(const fs::path& carpeta) {
    std::vector<std::string> r;
    for (const auto& e : fs::directory_iterator(carpeta))
        if (e.path().filename().string().starts_with(".")) r.push_back(e.path().filename().string());
    return r;
}

}  // namespace

// A signal while -o writes removes the temporary file, and the program still ends by
// the signal. The program is stopped (SIGSTOP) as soon as its temporary file shows, and
// the file is looked for again while it is stopped, so the signal is known to come
// before the rename; when the poll came too late the run is repeated.
TEST_F(Cli, UnaSenalDuranteMenosONoDejaTemporal) {
    // Q = 3000: a report of about 18 MB, some tens of milliseconds of writing.
    const fs::path p = Escribir("grande.brk", "2\r\n1\r\n1\t1500\r\n2\t1500\r\n");
    const fs::path sol = dir / "grande.sol";
    for (const int senal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(senal));
        bool probado = false;
        for (int intento = 0; intento < 5 && !probado; ++intento) {
            const pid_t hijo = ::fork();
            ASSERT_GE(hijo, 0);
            if (hijo == 0) {
                ::execl(TAVELORIN_CLI, TAVELORIN_CLI, "-o", sol.c_str(), p.c_str(), static_cast<char*>(nullptr));
                ::_exit(127);
            }
            int estado = 0;
            bool visto = false, terminado = false;
            while (!visto && !terminado) {
                terminado = ::waitpid(hijo, &estado, WNOHANG) == hijo;
                visto = !terminado && !Temporales(dir).empty();
            }
            if (visto) {
                ::kill(hijo, SIGSTOP);
                ASSERT_EQ(::waitpid(hijo, &estado, WUNTRACED), hijo);
                ASSERT_TRUE(WIFSTOPPED(estado));
                probado = !Temporales(dir).empty();  // still there: not renamed yet
                if (probado) ::kill(hijo, senal);
                ::kill(hijo, SIGCONT);
                ASSERT_EQ(::waitpid(hijo, &estado, 0), hijo);
            }
            if (probado) {
                EXPECT_TRUE(WIFSIGNALED(estado) && WTERMSIG(estado) == senal) << "status " << estado;
                EXPECT_EQ(Temporales(dir), std::vector<std::string>{});
                EXPECT_FALSE(fs::exists(sol));
            }
            fs::remove(sol);
            for (const std::string& t : Temporales(dir)) fs::remove(dir / t);
        }
        EXPECT_TRUE(probado) << "the temporary file was never caught before its rename";
    }
}
