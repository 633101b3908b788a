#include "app/OpcionesCli.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <string_view>

#include "core/Errores.h"

namespace tavelorin::cli {

const char* const kUso =
    "Uso: tavelorin-cli [--separador C] [-o ARCHIVO.sol] ARCHIVO.brk\n"
    "     tavelorin-cli --mejorar [--segundos S] [--anchura W] ARCHIVO.brk\n"
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
    "  --sin-informe       sin la tabla de etapas: solo \"Solucion:\" y la secuencia\n"
    "                      (y los bloques que se pidan), para problemas de cualquier tamaño\n"
    "  --mejorar           tras la secuencia, el bloque \"Mejorada:\": una secuencia de J\n"
    "                      menor que la de la persecución (la óptima exacta si el\n"
    "                      problema está al alcance de --optimo, y entonces sin límite\n"
    "                      de tiempo), su J, la J de la persecución, su exceso en % y si\n"
    "                      la secuencia es óptima demostrada; con -o, como --optimo\n"
    "  --segundos S        tiempo de la búsqueda de --mejorar, en segundos (por omisión\n"
    "                      2; sin límite con --anchura)\n"
    "  --anchura W         una sola pasada de anchura W en --mejorar: con --segundos se\n"
    "                      estrecha si no le da tiempo; sin él, da siempre lo mismo\n"
    "  --evaluar SECUENCIA.txt ARCHIVO.brk\n"
    "                      evalúa una secuencia (un producto por línea) para el problema:\n"
    "                      el bloque \"Calidad:\", o qué cuentas no cuadran (estado 1)\n"
    "  --aleatorio N M UMIN UMAX P CMIN CMAX\n"
    "                      genera un problema aleatorio de N productos y M componentes:\n"
    "                      cada demanda, un entero entre UMIN y UMAX (ambos incluidos);\n"
    "                      cada componente presente con probabilidad P y, si lo está, con\n"
    "                      una cantidad entre CMIN y CMAX (ambos incluidos); un mínimo\n"
    "                      mayor que su máximo se rechaza. Lo escribe en la salida o,\n"
    "                      con -o, como archivo de problema\n"
    "  --semilla S         semilla fija del generador (0..4294967295), para repetir\n"
    "                      un experimento; por omisión, la del reloj\n"
    "  --help              muestra esta ayuda\n"
    "  --version           muestra la versión\n"
    "\n"
    "Estado de salida: 0 si todo fue bien, 1 si el problema no se pudo resolver o\n"
    "escribir, 2 si los argumentos no son válidos.\n";

namespace {

// Options that only switch something on.
struct Bandera {
    std::string_view nombre;
    bool OpcionesCli::*campo;
};
constexpr Bandera kBanderas[] = {
    {"--metricas", &OpcionesCli::metricas},
    {"--exacto", &OpcionesCli::exacto},
    {"--optimo", &OpcionesCli::optimo},
    {"--sin-informe", &OpcionesCli::sinInforme},
    {"--mejorar", &OpcionesCli::mejorar},
};

bool* BuscarBandera(OpcionesCli& o, std::string_view arg) {
    for (const Bandera& bandera : kBanderas)
        if (arg == bandera.nombre) return &(o.*bandera.campo);
    return nullptr;
}

// The arguments still to read.
class Argumentos {
public:
    explicit Argumentos(const std::vector<std::string>& lista) : lista_(lista) {}

    bool Quedan() const { return siguiente_ < lista_.size(); }
    size_t Restantes() const { return lista_.size() - siguiente_; }
    const std::string& Tomar() { return lista_[siguiente_++]; }

    // The value that follows an option; ErrorDeUso(siFalta) when there is none.
    const std::string& Valor(const std::string& siFalta) {
        if (!Quedan()) throw ErrorDeUso(siFalta);
        return Tomar();
    }

private:
    const std::vector<std::string>& lista_;
    size_t siguiente_ = 0;
};

uint32_t LeerSemilla(const std::string& valor) {
    char* fin = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(valor.c_str(), &fin, 10);
    if (valor.empty() || valor[0] == '-' || *fin != '\0' || errno != 0 || v > 0xFFFFFFFFull)
        throw ErrorDeUso("--semilla admite un entero de 0 a 4294967295, no \"" + TextoCitado(valor) + "\"");
    return static_cast<uint32_t>(v);
}

// A positive real up to kSegundosMejoraMaximos, "." or "," as the decimal separator.
double LeerSegundos(const std::string& valor) {
    std::string texto = valor;
    for (char& c : texto)
        if (c == ',') c = '.';
    double v = 0;
    const char* fin = texto.data() + texto.size();
    const auto [resto, error] = std::from_chars(texto.data(), fin, v);
    if (texto.empty() || error != std::errc() || resto != fin || !(v > 0) || v > kSegundosMejoraMaximos)
        throw ErrorDeUso("--segundos admite un número mayor que 0 y de hasta 86400, no \"" + TextoCitado(valor) + "\"");
    return v;
}

uint64_t LeerAnchura(const std::string& valor) {
    uint64_t v = 0;
    const char* fin = valor.data() + valor.size();
    const auto [resto, error] = std::from_chars(valor.data(), fin, v);
    if (valor.empty() || error != std::errc() || resto != fin || v < 1 || v > kAnchuraMejoraMaxima)
        throw ErrorDeUso("--anchura admite un entero de 1 a 4294967295, no \"" + TextoCitado(valor) + "\"");
    return v;
}

std::string LeerSeparador(const std::string& valor) {
    if (valor != "," && valor != ".") throw ErrorDeUso("--separador admite \",\" o \".\", no \"" + TextoCitado(valor) + "\"");
    return valor;
}

// The options that go together, and the command they make.
Orden Comprobar(const OpcionesCli& o) {
    if (o.sinInforme && (!o.aleatorio.empty() || o.evaluar))
        throw ErrorDeUso("--sin-informe no se combina con --aleatorio ni --evaluar");
    if (!o.aleatorio.empty()) {
        if (o.entrada) throw ErrorDeUso("--aleatorio no lleva archivo de problema");
        if (o.metricas || o.exacto || o.optimo || o.mejorar || o.evaluar)
            throw ErrorDeUso("--aleatorio no se combina con --metricas, --exacto, --optimo, --mejorar ni --evaluar");
        return Orden::Aleatorio;
    }
    if (o.semilla) throw ErrorDeUso("--semilla solo se usa con --aleatorio");
    if (!o.mejorar && (o.segundos || o.anchura)) throw ErrorDeUso("--segundos y --anchura solo se usan con --mejorar");
    if (o.evaluar && (!o.salida.empty() || o.metricas || o.exacto || o.optimo || o.mejorar))
        throw ErrorDeUso("--evaluar no se combina con -o, --metricas, --exacto, --optimo ni --mejorar");
    if (!o.entrada) throw ErrorDeUso("falta el archivo de problema");
    if (!o.evaluar) return Orden::Resolver;
    if (*o.evaluar == "-" && *o.entrada == "-")
        throw ErrorDeUso("la secuencia y el problema no pueden leerse los dos de la entrada estándar");
    return Orden::Evaluar;
}

}  // namespace

double SegundosMejora(const OpcionesCli& o) {
    if (o.segundos) return *o.segundos;
    return o.anchura ? 0.0 : kSegundosMejora;
}

OpcionesCli LeerOpciones(const std::vector<std::string>& argumentos) {
    OpcionesCli o;
    Argumentos args(argumentos);
    while (args.Quedan()) {
        const std::string& arg = args.Tomar();
        if (bool* bandera = BuscarBandera(o, arg)) {
            *bandera = true;
        } else if (arg == "--help" || arg == "-h") {
            o.orden = Orden::Ayuda;
            return o;
        } else if (arg == "--version") {
            o.orden = Orden::Version;
            return o;
        } else if (arg == "--evaluar") {
            o.evaluar = args.Valor("falta el archivo de secuencia tras --evaluar");
        } else if (arg == "--aleatorio") {
            if (args.Restantes() < 7) throw ErrorDeUso("--aleatorio lleva siete valores: N M UMIN UMAX P CMIN CMAX");
            o.aleatorio.clear();  // given twice, the last one counts, as for the other options
            for (int k = 0; k < 7; ++k) o.aleatorio.push_back(args.Tomar());
        } else if (arg == "--semilla") {
            o.semilla = LeerSemilla(args.Valor("falta el valor de --semilla"));
        } else if (arg == "--segundos") {
            o.segundos = LeerSegundos(args.Valor("falta el valor de --segundos"));
        } else if (arg == "--anchura") {
            o.anchura = LeerAnchura(args.Valor("falta el valor de --anchura"));
        } else if (arg == "--separador") {
            o.separador = LeerSeparador(args.Valor("falta el valor de --separador"));
        } else if (arg.starts_with("--separador=")) {
            o.separador = LeerSeparador(arg.substr(std::string_view("--separador=").size()));
        } else if (arg == "-o" || arg == "--salida") {
            o.salida = args.Valor("falta el nombre del archivo de solución tras " + arg);
            if (o.salida.empty()) throw ErrorDeUso("el nombre del archivo tras " + arg + " está vacío");
        } else if (arg == "-" || arg.empty() || arg[0] != '-') {
            if (o.entrada) throw ErrorDeUso("sobra el argumento \"" + TextoCitado(arg) + "\"");
            o.entrada = arg;
        } else if (arg == "--") {
            if (!args.Quedan() || o.entrada) throw ErrorDeUso("se espera un solo archivo de problema");
            o.entrada = args.Tomar();
        } else {
            throw ErrorDeUso("opción desconocida \"" + TextoCitado(arg) + "\"");
        }
    }
    o.orden = Comprobar(o);
    return o;
}

}  // namespace tavelorin::cli
