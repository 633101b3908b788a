// The command line of tavelorin-cli: the arguments read into OpcionesCli and checked
// against each other, with the usage and help texts. Nothing here touches files or the
// environment, so tests and fuzzers can drive it directly.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavelorin::cli {

// The usage, printed after every usage error and at the head of --help.
extern const char* const kUso;
// What --help prints after the usage and an empty line.
extern const char* const kAyuda;

// A command line that does not make sense: the reason, in Spanish. The program prints
// "tavelorin-cli: <reason>" and the usage, and exits with status 2.
class ErrorDeUso : public std::runtime_error {
public:
    explicit ErrorDeUso(const std::string& motivo) : std::runtime_error(motivo) {}
};

enum class Orden {
    Resolver,   // sequence a problem file
    Evaluar,    // --evaluar: the quality of a given sequence
    Aleatorio,  // --aleatorio: write a random problem
    Ayuda,      // --help, -h
    Version,    // --version
};

struct OpcionesCli {
    Orden orden = Orden::Resolver;
    std::optional<std::string> entrada;  // the problem file; "-" is standard input
    std::string separador;               // "," or "."; empty: the user's locale decides
    std::string salida;                  // -o (never empty when given); empty: standard output
    bool metricas = false;
    bool exacto = false;
    bool optimo = false;
    bool sinInforme = false;             // --sin-informe: "Solucion:" and the sequence only
    bool mejorar = false;                // --mejorar: the better-sequence block
    std::optional<double> segundos;      // --segundos: the search's time limit
    std::optional<uint64_t> anchura;     // --anchura: one pass at this width
    std::optional<std::string> evaluar;  // the sequence file of --evaluar
    std::vector<std::string> aleatorio;  // N M UMIN UMAX P CMIN CMAX, when generating
    std::optional<uint32_t> semilla;
};

// The search's time limit when --segundos is not given: 2 s, none with --anchura.
inline constexpr double kSegundosMejora = 2.0;
inline constexpr double kSegundosMejoraMaximos = 86400.0;
inline constexpr uint64_t kAnchuraMejoraMaxima = 4294967295u;
double SegundosMejora(const OpcionesCli& o);

// Reads the arguments (without the program's name) from left to right; --help and
// --version end the reading there. Throws ErrorDeUso.
OpcionesCli LeerOpciones(const std::vector<std::string>& argumentos);

}  // namespace tavelorin::cli
