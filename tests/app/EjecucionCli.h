// Running the built tavelorin-cli as a user would, for the command line's tests.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "soporte/Bytes.h"

namespace fs = std::filesystem;

namespace tavelorin::prueba {

struct Resultado {
    int estado = -1;
    std::string salida;
    std::string errores;
};

using ::tavelorin::LeerBytes;

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

    // Runs the program through the shell; entorno is prefixed to the command line. The
    // standard output goes to salidaEstandar when one is given.
    Resultado Ejecutar(const std::string& argumentos, const std::string& entorno = "LC_ALL=C",
                       const std::string& entrada = "", const std::string& salidaEstandar = "") {
        const fs::path out = salidaEstandar.empty() ? dir / "stdout" : fs::path(salidaEstandar);
        const fs::path err = dir / "stderr", in = Escribir("stdin", entrada);
        const std::string orden = "env " + entorno + " '" TAVELORIN_CLI "' " + argumentos + " <'" + in.string() +
                                  "' >'" + out.string() + "' 2>'" + err.string() + "'";
        const int estado = std::system(orden.c_str());
        Resultado r;
        r.estado = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
        r.salida = salidaEstandar.empty() ? LeerBytes(out) : "";
        r.errores = LeerBytes(err);
        return r;
    }

    // Runs argumentos and expects success: exactly salida on the output, nothing on the
    // error output.
    void EsperarSalida(const std::string& argumentos, const std::string& salida) {
        SCOPED_TRACE(argumentos);
        const Resultado r = Ejecutar(argumentos);
        EXPECT_EQ(r.estado, 0) << r.errores;
        EXPECT_EQ(r.salida, salida);
        EXPECT_EQ(r.errores, "");
    }

    // Runs the program under a 20 s limit (status 124 past it), after the shell text
    // origen, which may give it its standard input ("yes 1 |", "exec </dev/zero;").
    Resultado EjecutarAcotado(const std::string& origen, const std::string& argumentos) {
        const fs::path out = dir / "stdout", err = dir / "stderr";
        const std::string orden = origen + " env LC_ALL=C timeout 20 '" TAVELORIN_CLI "' " + argumentos + " >'" +
                                  out.string() + "' 2>'" + err.string() + "'";
        const int estado = std::system(orden.c_str());
        Resultado r;
        r.estado = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
        r.salida = LeerBytes(out);
        r.errores = LeerBytes(err);
        return r;
    }
};

inline std::string ConCrlf(const std::string& texto) {
    std::string r;
    for (char c : texto) {
        if (c == '\n') r += '\r';
        r += c;
    }
    return r;
}

// b = (1,1,1), (2,0,0), (0,1,1); d = 3, 2, 3: goal chasing's J is 99/16, the optimum's 51/16.
inline const char* const kMiopeBytes = "3\r\n3\r\n1\t1\t1\t3\r\n2\t0\t0\t2\r\n0\t1\t1\t3\r\n";
}  // namespace tavelorin::prueba
