// Runs the built tavelorin-cli as a user would and checks its output, files and status.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct Resultado {
    int estado = -1;
    std::string salida;
    std::string errores;
};

std::string LeerTodo(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

class Cli : public ::testing::Test {
protected:
    fs::path dir;

    void SetUp() override {
        char plantilla[] = "/tmp/tavelorin-cli-XXXXXX";
        ASSERT_NE(mkdtemp(plantilla), nullptr);
        dir = plantilla;
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path Escribir(const std::string& nombre, const std::string& bytes) {
        const fs::path p = dir / nombre;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

    // Runs the program through the shell; entorno is prefixed to the command line.
    Resultado Ejecutar(const std::string& argumentos, const std::string& entorno = "LC_ALL=C",
                       const std::string& entrada = "") {
        const fs::path out = dir / "stdout", err = dir / "stderr", in = Escribir("stdin", entrada);
        const std::string orden = "env " + entorno + " '" TAVELORIN_CLI "' " + argumentos + " <'" + in.string() +
                                  "' >'" + out.string() + "' 2>'" + err.string() + "'";
        const int estado = std::system(orden.c_str());
        Resultado r;
        r.estado = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
        r.salida = LeerTodo(out);
        r.errores = LeerTodo(err);
        return r;
    }
};

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
    EXPECT_EQ(LeerTodo(sol), esperado);
}

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
        {"'" + malo.string() + "'", 1, "''x'' is not a valid integer value.\n"},
        {"'" + corto.string() + "'", 1, "List index out of bounds (3)\n"},
        {"'" + (dir / "no-existe.brk").string() + "'", 1,
         "Cannot open file \"" + (dir / "no-existe.brk").string() + "\". No such file or directory.\n"},
        {"-o '" + (dir / "falta" / "x.sol").string() + "' '" + ok.string() + "'", 1,
         "Cannot create file \"" + (dir / "falta" / "x.sol").string() + "\". No such file or directory.\n"},
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
    const Resultado version = Ejecutar("--version");
    EXPECT_EQ(version.estado, 0);
    EXPECT_EQ(version.salida, std::string("tavelorin-cli ") + TAVELORIN_VERSION + "\n");
}

TEST_F(Cli, ProblemaAleatorio) {
    // The worked example: seed 0, 2 products, 3 components.
    const Resultado r = Ejecutar("--aleatorio 2 3 5 20 0.5 1 5 --semilla 0");
    EXPECT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(r.salida, "2\n3\n4\t2\t0\t1\n2\t1\t1\t5\n");
    // The same seed gives the same problem; as a file it is a problem file, and it solves.
    const fs::path p = dir / "azar.brk";
    const Resultado f = Ejecutar("--aleatorio 10 20 5 20 0,5 1 5 --semilla 77 -o '" + p.string() + "'");
    EXPECT_EQ(f.estado, 0) << f.errores;
    const std::string bytes = LeerTodo(p);
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
        {"--aleatorio dos 3 5 20 0,5 1 5", 1, "''dos'' is not a valid integer value.\n"},
        {"--aleatorio 2 3 5 20 abc 1 5", 1, "'abc' is not a valid floating point value.\n"},
        {"--aleatorio 2 3 5 20 1e400 1 5", 1, "Floating point overflow.\n"},
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
