// tavelorin-cli: sequences a problem file from the command line and prints the report,
// "Solucion:" and the sequence, or writes them as a solution file.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "Errores.h"
#include "FicheroTexto.h"
#include "Informe.h"
#include "MatrizProblema.h"
#include "Secuenciador.h"

using namespace tavelorin;

namespace {

const char* const kUso =
    "Uso: tavelorin-cli [--separador C] [-o ARCHIVO.sol] ARCHIVO.brk\n"
    "     tavelorin-cli --help | --version\n";

const char* const kAyuda =
    "Secuencia una línea de montaje de modelos mixtos por el método de persecución de\n"
    "objetivos y escribe el informe de todas las etapas, \"Solucion:\" y la secuencia.\n"
    "\n"
    "  ARCHIVO.brk         problema a resolver; \"-\" lee la entrada estándar\n"
    "  --separador C       separador decimal de los reales: \",\" o \".\"\n"
    "                      (por omisión, el de la configuración regional)\n"
    "  -o ARCHIVO.sol      escribe el archivo de solución en lugar de la salida\n"
    "  --help              muestra esta ayuda\n"
    "  --version           muestra la versión\n"
    "\n"
    "Estado de salida: 0 si todo fue bien, 1 si el problema no se pudo resolver o\n"
    "escribir, 2 si los argumentos no son válidos.\n";

int ErrorDeUso(const std::string& motivo) {
    std::fprintf(stderr, "tavelorin-cli: %s\n%s", motivo.c_str(), kUso);
    return 2;
}

// The decimal separator of the user's locale (LC_ALL, LC_NUMERIC, LANG).
std::string SeparadorDelEntorno() {
    std::string separador = ".";
    if (std::setlocale(LC_NUMERIC, "") != nullptr) {
        const char* punto = std::localeconv()->decimal_point;
        if (punto != nullptr && *punto != '\0') separador = punto;
    }
    std::setlocale(LC_NUMERIC, "C");
    return separador;
}

std::vector<std::string> LeerEntradaEstandar() {
    std::string bytes;
    char bloque[1 << 16];
    size_t leidos;
    while ((leidos = std::fread(bloque, 1, sizeof bloque, stdin)) > 0) bytes.append(bloque, leidos);
    if (std::ferror(stdin)) throw ErrorTavelorin("Cannot open file \"-\". " + std::string(std::strerror(errno)));
    return DividirLineas(DecodificarBytes(bytes));
}

// Lines ended by LF, sent out in large blocks.
void EscribirSalida(const std::vector<std::string>& lineas) {
    std::string bloque;
    constexpr size_t kBloque = 1 << 20;
    bloque.reserve(2 * kBloque);
    for (const std::string& linea : lineas) {
        bloque.append(linea);
        bloque.push_back('\n');
        if (bloque.size() >= kBloque) {
            if (std::fwrite(bloque.data(), 1, bloque.size(), stdout) != bloque.size())
                throw ErrorTavelorin(mensajes::kErrorEscritura);
            bloque.clear();
        }
    }
    if (!bloque.empty() && std::fwrite(bloque.data(), 1, bloque.size(), stdout) != bloque.size())
        throw ErrorTavelorin(mensajes::kErrorEscritura);
    if (std::fflush(stdout) != 0) throw ErrorTavelorin(mensajes::kErrorEscritura);
}

}  // namespace

int main(int argc, char** argv) {
    std::string separador;
    std::string salida;
    std::string entrada;
    bool hayEntrada = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUso, stdout);
            std::fputs("\n", stdout);
            std::fputs(kAyuda, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("tavelorin-cli %s\n", TAVELORIN_VERSION);
            return 0;
        }
        if (arg == "--separador" || arg.rfind("--separador=", 0) == 0) {
            std::string valor;
            if (arg == "--separador") {
                if (i + 1 >= argc) return ErrorDeUso("falta el valor de --separador");
                valor = argv[++i];
            } else {
                valor = arg.substr(std::strlen("--separador="));
            }
            if (valor != "," && valor != ".") return ErrorDeUso("--separador admite \",\" o \".\", no \"" + valor + "\"");
            separador = valor;
        } else if (arg == "-o" || arg == "--salida") {
            if (i + 1 >= argc) return ErrorDeUso("falta el nombre del archivo de solución tras " + arg);
            salida = argv[++i];
        } else if (arg == "-" || arg.empty() || arg[0] != '-') {
            if (hayEntrada) return ErrorDeUso("sobra el argumento \"" + arg + "\"");
            entrada = arg;
            hayEntrada = true;
        } else if (arg == "--") {
            if (i + 1 >= argc || hayEntrada) return ErrorDeUso("se espera un solo archivo de problema");
            entrada = argv[++i];
            hayEntrada = true;
        } else {
            return ErrorDeUso("opción desconocida \"" + arg + "\"");
        }
    }
    if (!hayEntrada) return ErrorDeUso("falta el archivo de problema");
    if (separador.empty()) separador = SeparadorDelEntorno();

    try {
        const std::vector<std::string> lineas = entrada == "-" ? LeerEntradaEstandar() : LeerLineasFichero(entrada);
        // The same road as the desktop program: the file into the grid, the grid out
        // as problem lines, so every message is the one the program would show.
        MatrizProblema matriz;
        CargarLineas(matriz, lineas);
        const std::vector<std::string> problema = matriz.LineasProblema();
        EstadoSecuenciador estado;
        std::vector<std::string> informe;
        std::vector<std::string> secuencia;
        Secuenciar(estado, problema, informe, secuencia, separador);
        AnadirSolucion(informe, secuencia);
        if (salida.empty())
            EscribirSalida(informe);
        else
            EscribirLineasFichero(salida, informe);
    } catch (const ErrorTavelorin& e) {
        std::fprintf(stderr, "%s\n", TextoParaMostrar(e.what()).c_str());
        return 1;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s\n", TextoParaMostrar(mensajes::kSinMemoria).c_str());
        return 1;
    }
    return 0;
}
