// tavelorin-cli's report written line by line from the compact stage table: the same
// bytes as the whole report, to the output and to a file; --sin-informe, which leaves the
// stage lines out, at sizes whose report no disk would hold.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "core/Informe.h"
#include "core/Secuenciador.h"
#include "soporte/Bytes.h"
#include "soporte/ProblemaSembrado.h"

namespace fs = std::filesystem;
using namespace tavelorin;

namespace {

class CliInforme : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        char plantilla[] = "/tmp/tavelorin-informe-XXXXXX";
        ASSERT_NE(mkdtemp(plantilla), nullptr);
        dir = plantilla;
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path Problema(const std::string& nombre, const std::vector<std::string>& lineas) {
        const fs::path p = dir / nombre;
        std::ofstream f(p, std::ios::binary);
        for (const std::string& l : lineas) f << l << "\r\n";
        return p;
    }
    // Status, standard output and standard error of a run.
    struct Resultado {
        int estado = -1;
        std::string salida, errores;
    };
    Resultado Ejecutar(const std::string& argumentos) {
        const fs::path out = dir / "stdout", err = dir / "stderr";
        const std::string orden =
            "env LC_ALL=C '" TAVELORIN_CLI "' " + argumentos + " >'" + out.string() + "' 2>'" + err.string() + "'";
        const int estado = std::system(orden.c_str());
        return {WIFEXITED(estado) ? WEXITSTATUS(estado) : -1, LeerBytes(out), LeerBytes(err)};
    }
};

// The memo text of a solve, each line followed by fin.
std::string Texto(const std::vector<std::string>& problema, const std::string& separador, const std::string& fin) {
    EstadoSecuenciador e;
    Solucion s = Secuenciar(e, problema, separador);
    AnadirSolucion(s.informe, s.secuencia);
    std::string r;
    for (const std::string& l : s.informe) r += l + fin;
    return r;
}

}  // namespace

TEST_F(CliInforme, ElInformePorLineasEsElInformeEntero) {
    // Q = 1500 with 12 products: lines of a few kilobytes, products of two digits.
    const std::vector<std::string> problema = bench::ProblemaSembrado(12, 5, 1500);
    const fs::path p = Problema("p.brk", problema);
    for (const char* separador : {".", ","}) {
        SCOPED_TRACE(separador);
        const Resultado r = Ejecutar(std::string("--separador ") + separador + " '" + p.string() + "'");
        ASSERT_EQ(r.estado, 0) << r.errores;
        EXPECT_EQ(r.salida, Texto(problema, separador, "\n"));
        const fs::path sol = dir / "s.sol";
        const Resultado f = Ejecutar(std::string("--separador ") + separador + " -o '" + sol.string() + "' '" + p.string() + "'");
        ASSERT_EQ(f.estado, 0) << f.errores;
        EXPECT_EQ(LeerBytes(sol), Texto(problema, separador, "\r\n"));
    }
}

TEST_F(CliInforme, SinInformeSoloLaSecuencia) {
    const std::vector<std::string> problema = bench::ProblemaSembrado(10, 20, 3000);
    const fs::path p = Problema("p.brk", problema);
    const std::string entero = Texto(problema, ".", "\n");
    const std::string cola = entero.substr(entero.find("Solucion:\n"));
    const Resultado r = Ejecutar("--sin-informe '" + p.string() + "'");
    ASSERT_EQ(r.estado, 0) << r.errores;
    EXPECT_EQ(r.salida, cola);
    // With --metricas, the quality block after it, as after the whole report.
    const Resultado m = Ejecutar("--sin-informe --metricas '" + p.string() + "'");
    const Resultado completo = Ejecutar("--metricas '" + p.string() + "'");
    ASSERT_EQ(m.estado, 0) << m.errores;
    EXPECT_EQ(m.salida, completo.salida.substr(completo.salida.find("Solucion:\n")));
    // With -o, the file holds "Solucion:" and the sequence.
    const fs::path sol = dir / "s.sol";
    ASSERT_EQ(Ejecutar("--sin-informe -o '" + sol.string() + "' '" + p.string() + "'").estado, 0);
    std::string conCrLf;
    for (char c : cola) conCrLf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(LeerBytes(sol), conCrLf);
}

TEST_F(CliInforme, SinInformeAUnMillonDeEtapas) {
    // Q = 1,000,000: a report of terabytes; the sequence alone, every product d(p) times.
    const std::vector<std::string> problema = bench::ProblemaSembradoGrande(10, 20, 1000000);
    const fs::path p = Problema("grande.brk", problema);
    const Resultado r = Ejecutar("--sin-informe '" + p.string() + "'");
    ASSERT_EQ(r.estado, 0) << r.errores;
    std::istringstream lineas(r.salida);
    std::string linea;
    std::getline(lineas, linea);
    EXPECT_EQ(linea, "Solucion:");
    std::map<int, int> veces;
    int cuantas = 0;
    while (std::getline(lineas, linea)) {
        ++veces[std::stoi(linea)];
        ++cuantas;
    }
    EXPECT_EQ(cuantas, 1000000);
    for (int i = 1; i <= 10; ++i) {
        const std::string& fila = problema[static_cast<size_t>(i) + 1];
        EXPECT_EQ(veces[i], std::stoi(fila.substr(fila.rfind('\t') + 1))) << "producto " << i;
    }
}
