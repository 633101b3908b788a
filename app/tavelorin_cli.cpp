// tavelorin-cli: sequences a problem file from the command line and prints the report,
// "Solucion:" and the sequence, or writes them as a solution file.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <cerrno>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "core/Calidad.h"
#include "core/Version.h"
#include "core/Errores.h"
#include "core/GeneracionAleatoria.h"
#include "files/FicheroTexto.h"
#include "core/Informe.h"
#include "core/MatrizProblema.h"
#include "core/Optimo.h"
#include "core/Problema.h"
#include "core/Secuenciador.h"

using namespace tavelorin;

namespace {

const char* const kUso =
    "Uso: tavelorin-cli [--separador C] [-o ARCHIVO.sol] ARCHIVO.brk\n"
    "     tavelorin-cli --aleatorio N M UMIN UMAX P CMIN CMAX [--semilla S] [-o ARCHIVO.brk]\n"
    "     tavelorin-cli --help | --version\n";

const char* const kAyuda =
    "Secuencia una línea de montaje de modelos mixtos por el método de persecución de\n"
    "objetivos y escribe el informe de todas las etapas, \"Solucion:\" y la secuencia.\n"
    "\n"
    "  ARCHIVO.brk         problema a resolver; \"-\" lee la entrada estándar\n"
    "  --separador C       separador decimal de los reales: \",\" o \".\"\n"
    "                      (por omisión, el de la configuración regional)\n"
    "  -o ARCHIVO.sol      escribe el archivo de solución en lugar de la salida\n"
    "  --metricas          tras la secuencia, el bloque \"Calidad:\": la variación J y las\n"
    "                      desviaciones máximas de los ritmos de componentes y productos\n"
    "  --exacto            elige comparando las distancias en aritmética entera exacta;\n"
    "                      los empates exactos van al producto de número menor\n"
    "  --optimo            tras la secuencia, el bloque \"Óptimo:\": la secuencia de J\n"
    "                      mínima, su J, la J de la persecución y su exceso en %\n"
    "                      (con -o, los bloques van a la salida y el archivo no cambia)\n"
    "  --evaluar SECUENCIA.txt ARCHIVO.brk\n"
    "                      evalúa una secuencia (un producto por línea) para el problema:\n"
    "                      el bloque \"Calidad:\", o qué cuentas no cuadran (estado 1)\n"
    "  --aleatorio N M UMIN UMAX P CMIN CMAX\n"
    "                      genera un problema aleatorio de N productos y M componentes:\n"
    "                      demandas por EnteroAleatorio(UMIN, UMAX), cada componente\n"
    "                      presente con probabilidad P y cantidad EnteroAleatorio(CMIN, CMAX);\n"
    "                      lo escribe en la salida o, con -o, como archivo de problema\n"
    "  --semilla S         semilla fija del generador (0..4294967295), para repetir\n"
    "                      un experimento; por omisión, la del reloj\n"
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

int MostrarError(const std::string& mensaje) {
    std::fprintf(stderr, "%s\n", TextoParaMostrar(mensaje).c_str());
    return 1;
}

// The problem lines by the desktop program's road: the file into the grid, the grid out
// as problem lines, so every message is the one the program would show.
std::vector<std::string> LineasDelProblema(const std::string& entrada) {
    const std::vector<std::string> lineas = entrada == "-" ? LeerEntradaEstandar() : LeerLineasFichero(entrada);
    MatrizProblema matriz;
    CargarLineas(matriz, lineas);
    return matriz.LineasProblema();
}

// --evaluar: the quality block of a sequence read from a file, or what keeps it from
// fitting the problem.
int EvaluarSecuencia(const std::string& ficheroSecuencia, const std::string& entrada, const std::string& separador) {
    try {
        EstadoSecuenciador estado;
        LeerProblema(estado, LineasDelProblema(entrada));
        const std::vector<std::string> lineas =
            ficheroSecuencia == "-" ? LeerEntradaEstandar() : LeerLineasFichero(ficheroSecuencia);
        const SecuenciaLeida leida = LeerSecuencia(estado, lineas);
        if (!leida.errores.empty()) {
            std::string texto = "La secuencia no corresponde al problema:\n";
            for (const std::string& error : leida.errores) texto += "  " + error + "\n";
            std::fputs(texto.c_str(), stderr);
            return 1;
        }
        EscribirSalida(LineasCalidad(CalcularCalidad(estado, leida.secuencia), separador));
    } catch (const ErrorTavelorin& e) {
        return MostrarError(e.what());
    } catch (const std::bad_alloc&) {
        return MostrarError(mensajes::kSinMemoria);
    }
    return 0;
}

// A random problem, as the desktop program's dialog makes it.
int GenerarAleatorio(const std::vector<std::string>& valores, std::optional<uint32_t> semilla,
                     const std::string& separador, const std::string& salida) {
    try {
        const TextosAleatorios textos{valores[0], valores[1], valores[2], valores[3],
                                      valores[4], valores[5], valores[6]};
        ComprobarComponentesAleatorios(textos);
        GeneradorAleatorio generador;
        if (semilla)
            generador.SemillaAleatoria = *semilla;
        else
            generador.SembrarAleatorio();
        const ParametrosAleatorios parametros = LeerParametrosAleatorios(textos, separador);
        MatrizProblema matriz;
        GenerarProblemaAleatorio(matriz, parametros, generador);
        const std::vector<std::string> lineas = matriz.LineasProblema();
        if (salida.empty())
            EscribirSalida(lineas);
        else
            EscribirLineasFichero(salida, lineas);
    } catch (const ErrorTavelorin& e) {
        return MostrarError(e.what());
    } catch (const std::bad_alloc&) {
        return MostrarError(mensajes::kSinMemoria);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string separador;
    std::string salida;
    std::string entrada;
    bool hayEntrada = false;
    std::vector<std::string> aleatorio;  // the seven parameters, when generating
    std::optional<uint32_t> semilla;
    bool metricas = false;
    bool exacto = false;
    bool optimo = false;
    std::optional<std::string> evaluar;  // the sequence file of --evaluar
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--metricas") {
            metricas = true;
            continue;
        }
        if (arg == "--exacto") {
            exacto = true;
            continue;
        }
        if (arg == "--optimo") {
            optimo = true;
            continue;
        }
        if (arg == "--evaluar") {
            if (i + 1 >= argc) return ErrorDeUso("falta el archivo de secuencia tras --evaluar");
            evaluar = argv[++i];
            continue;
        }
        if (arg == "--aleatorio") {
            if (i + 7 >= argc) return ErrorDeUso("--aleatorio lleva siete valores: N M UMIN UMAX P CMIN CMAX");
            for (int k = 0; k < 7; ++k) aleatorio.push_back(argv[++i]);
            continue;
        }
        if (arg == "--semilla") {
            if (i + 1 >= argc) return ErrorDeUso("falta el valor de --semilla");
            const std::string valor = argv[++i];
            char* fin = nullptr;
            errno = 0;
            const unsigned long long v = std::strtoull(valor.c_str(), &fin, 10);
            if (valor.empty() || valor[0] == '-' || *fin != '\0' || errno != 0 || v > 0xFFFFFFFFull)
                return ErrorDeUso("--semilla admite un entero de 0 a 4294967295, no \"" + valor + "\"");
            semilla = static_cast<uint32_t>(v);
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUso, stdout);
            std::fputs("\n", stdout);
            std::fputs(kAyuda, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("tavelorin-cli %s\n", kVersion);
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
    if (separador.empty()) separador = SeparadorDelEntorno();
    if (!aleatorio.empty()) {
        if (hayEntrada) return ErrorDeUso("--aleatorio no lleva archivo de problema");
        if (metricas || exacto || optimo || evaluar)
            return ErrorDeUso("--aleatorio no se combina con --metricas, --exacto, --optimo ni --evaluar");
        return GenerarAleatorio(aleatorio, semilla, separador, salida);
    }
    if (semilla) return ErrorDeUso("--semilla solo se usa con --aleatorio");
    if (evaluar && (!salida.empty() || metricas || exacto || optimo))
        return ErrorDeUso("--evaluar no se combina con -o, --metricas, --exacto ni --optimo");
    if (!hayEntrada) return ErrorDeUso("falta el archivo de problema");
    if (evaluar) {
        if (*evaluar == "-" && entrada == "-")
            return ErrorDeUso("la secuencia y el problema no pueden leerse los dos de la entrada estándar");
        return EvaluarSecuencia(*evaluar, entrada, separador);
    }

    try {
        const std::vector<std::string> problema = LineasDelProblema(entrada);
        if (optimo) {
            // Refused before anything runs when the optimum is out of reach.
            EstadoSecuenciador previo;
            LeerProblema(previo, problema);
            ComprobarOptimo(previo);
        }
        EstadoSecuenciador estado;
        auto [informe, secuencia] =
            exacto ? SecuenciarExacto(estado, problema, separador) : Secuenciar(estado, problema, separador);
        AnadirSolucion(informe, secuencia);
        // The blocks follow the sequence; with -o they alone go to standard output.
        std::vector<std::string> bloques;
        if (metricas || optimo) {
            const Calidad calidad = CalcularCalidad(estado, SecuenciaDeTabla(estado.TablaSolucion));
            if (metricas) {
                const std::vector<std::string> lineas = LineasCalidad(calidad, separador);
                bloques.insert(bloques.end(), lineas.begin(), lineas.end());
            }
            if (optimo) {
                const std::vector<std::string> lineas =
                    LineasOptimo(CalcularOptimo(estado), calidad.componentes.variacion, separador);
                bloques.insert(bloques.end(), lineas.begin(), lineas.end());
            }
        }
        if (salida.empty()) {
            informe.insert(informe.end(), bloques.begin(), bloques.end());
            EscribirSalida(informe);
        } else {
            EscribirLineasFichero(salida, informe);
            if (!bloques.empty()) EscribirSalida(bloques);
        }
    } catch (const ErrorTavelorin& e) {
        return MostrarError(e.what());
    } catch (const std::bad_alloc&) {
        return MostrarError(mensajes::kSinMemoria);
    }
    return 0;
}
