// tavelorin-cli: sequences a problem file from the command line and prints the report,
// "Solucion:" and the sequence, or writes them as a solution file. The report is written
// line by line from the compact stage table, never held whole.
#include <clocale>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "app/OpcionesCli.h"
#include "core/Calidad.h"
#include "core/Errores.h"
#include "core/Explicaciones.h"
#include "core/GeneracionAleatoria.h"
#include "core/Informe.h"
#include "core/LineasInforme.h"
#include "core/MatrizProblema.h"
#include "core/Mejora.h"
#include "core/Optimo.h"
#include "core/Problema.h"
#include "core/Secuenciador.h"
#include "core/Version.h"
#include "files/EscrituraPorPartes.h"
#include "files/FicheroTexto.h"
#include "files/ReemplazoAtomico.h"

using namespace tavelorin;
using namespace tavelorin::cli;

namespace {

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

// The lines of a file named on the command line, "-" being standard input, read only
// as far as they are asked for.
class LineasDeArgumento final : public FuenteLineas {
public:
    explicit LineasDeArgumento(const std::string& nombre)
        : entrada_(nombre == "-" ? FicheroEntrada::EntradaEstandar() : FicheroEntrada(nombre)), lector_(entrada_) {}
    bool Siguiente(std::string& linea) override { return lector_.Siguiente(linea); }

private:
    FicheroEntrada entrada_;
    LectorLineas lector_;
};

// A text to the output; a failure to write it (a full disk, a closed pipe) is an error.
void EscribirTexto(const std::string& texto) {
    if (std::fputs(texto.c_str(), stdout) == EOF || std::fflush(stdout) != 0)
        throw ErrorTavelorin(mensajes::kErrorEscritura);
}

// The standard output in large blocks; runs longer than a block go straight through.
class SalidaEstandar final : public SalidaTexto {
public:
    static constexpr size_t kBloque = 1 << 20;

    SalidaEstandar() { bloque_.reserve(kBloque); }
    using SalidaTexto::Anadir;

    void Anadir(const char* datos, size_t n) override {
        if (bloque_.size() + n > kBloque) Vaciar();
        if (n >= kBloque) {
            Escribir(datos, n);
            return;
        }
        bloque_.append(datos, n);
    }

    // Everything written out and flushed.
    void Terminar() {
        Vaciar();
        if (std::fflush(stdout) != 0) throw ErrorTavelorin(mensajes::kErrorEscritura);
    }

private:
    void Vaciar() {
        Escribir(bloque_.data(), bloque_.size());
        bloque_.clear();
    }
    static void Escribir(const char* datos, size_t n) {
        if (n > 0 && std::fwrite(datos, 1, n, stdout) != n) throw ErrorTavelorin(mensajes::kErrorEscritura);
    }

    std::string bloque_;
};

// Lines ended by LF, sent out in large blocks.
void EscribirSalida(const std::vector<std::string>& lineas) {
    SalidaEstandar salida;
    for (const std::string& linea : lineas) {
        salida.Anadir(linea);
        salida.Anadir("\n", 1);
    }
    salida.Terminar();
}

// The problem lines by the desktop program's road: the file into the grid, the grid out
// as problem lines, so every message is the one the program would show. Reading stops
// after the last product line.
std::vector<std::string> LineasDelProblema(const std::string& entrada) {
    MatrizProblema matriz;
    LineasDeArgumento lineas(entrada);
    CargarLineas(matriz, lineas);
    return matriz.LineasProblema();
}

// The blocks --metricas, --optimo and --mejorar add after the sequence of a run.
std::vector<std::string> BloquesTrasLaSecuencia(const EstadoSecuenciador& estado, const OpcionesCli& o,
                                                const std::string& separador) {
    std::vector<std::string> bloques;
    if (!o.metricas && !o.optimo && !o.mejorar) return bloques;
    const Secuencia persecucion = SecuenciaDeTabla(estado.TablaSolucion);
    const Calidad calidad = CalcularCalidad(estado, persecucion);
    auto anadir = [&bloques](const std::vector<std::string>& lineas) {
        bloques.insert(bloques.end(), lineas.begin(), lineas.end());
    };
    if (o.metricas) bloques = LineasCalidad(calidad, separador);
    if (o.optimo) anadir(LineasOptimo(CalcularOptimo(estado), calidad.componentes.variacion, separador));
    if (o.mejorar) {
        OpcionesMejora opciones;
        opciones.segundos = SegundosMejora(o);
        opciones.anchura = o.anchura.value_or(0);
        anadir(LineasMejora(MejorarSecuencia(estado, persecucion, opciones), separador));
    }
    return bloques;
}

// What a run writes: the report lines, "Solucion:" and the sequence, produced from the
// compact table; with --sin-informe only the last two.
struct TextoDeRun {
    LineasInforme lineas;
    int64_t desde = 0;  // the first line written

    void Escribir(SalidaTexto& salida, std::string_view fin) const {
        lineas.EscribirLineas(desde, lineas.Cantidad(), fin,
                              [&salida](const char* datos, size_t n) { salida.Anadir(datos, n); });
    }
    // The bytes of the text; a report whose sequence cells alone take more than limite is
    // not measured further.
    uint64_t Bytes(int64_t largoFin, uint64_t limite) const {
        uint64_t medios = 0;
        for (int64_t i = desde; i < lineas.Cantidad(); ++i) medios += static_cast<uint64_t>(lineas.LargoMedio(i) + largoFin);
        if (medios > limite) return medios;
        return lineas.Bytes(desde, lineas.Cantidad(), largoFin);
    }
};

// Sequences the problem: the report to the output or, with -o, to the solution file, the
// extra blocks always to the output.
int Resolver(const OpcionesCli& o, const std::string& separador) {
    const std::vector<std::string> problema = LineasDelProblema(*o.entrada);
    if (o.optimo || o.mejorar) {
        // Refused before anything runs when the optimum or the search is out of reach.
        EstadoSecuenciador previo;
        LeerProblema(previo, problema);
        if (o.optimo) ComprobarOptimo(previo);
        if (o.mejorar) ComprobarMejora(previo);
    }
    EstadoSecuenciador estado;
    if (o.exacto)
        SecuenciarTablaExacta(estado, problema);
    else
        SecuenciarTabla(estado, problema);
    const std::vector<std::string> bloques = BloquesTrasLaSecuencia(estado, o, separador);
    TextoDeRun texto{LineasInforme(estado.TablaSolucion, separador), 0};
    if (o.sinInforme) texto.desde = texto.lineas.Etapas() + 1;  // from "Solucion:"
    if (o.salida.empty()) {
        SalidaEstandar salida;
        texto.Escribir(salida, "\n");
        for (const std::string& linea : bloques) {
            salida.Anadir(linea);
            salida.Anadir("\n", 1);
        }
        salida.Terminar();
    } else {
        EscribirFicheroPorPartes(o.salida, texto.Bytes(2, EspacioLibre(o.salida)),
                                 [&texto](SalidaTexto& salida) { texto.Escribir(salida, "\r\n"); });
        if (!bloques.empty()) EscribirSalida(bloques);
    }
    return 0;
}

// --evaluar: the quality block of a sequence read from a file, or what keeps it from
// fitting the problem.
int EvaluarSecuencia(const OpcionesCli& o, const std::string& separador) {
    EstadoSecuenciador estado;
    LeerProblema(estado, LineasDelProblema(*o.entrada), Lectura::ParaEvaluar);
    LineasDeArgumento lineas(*o.evaluar);
    const SecuenciaLeida leida = LeerSecuencia(estado, lineas);
    if (!leida.errores.empty()) {
        std::string texto = "La secuencia no corresponde al problema:\n";
        for (const std::string& error : leida.errores) texto += "  " + error + "\n";
        std::fputs(texto.c_str(), stderr);
        return 1;
    }
    EscribirSalida(LineasCalidad(CalcularCalidad(estado, leida.secuencia), separador));
    return 0;
}

// --aleatorio: a random problem, as the desktop program's dialog makes it.
int GenerarAleatorio(const OpcionesCli& o, const std::string& separador) {
    const std::vector<std::string>& v = o.aleatorio;
    const TextosAleatorios textos{v[0], v[1], v[2], v[3], v[4], v[5], v[6]};
    const ParametrosAleatorios parametros = ComprobarParametrosAleatorios(textos, separador);
    GeneradorAleatorio generador;
    if (o.semilla)
        generador.SemillaAleatoria = *o.semilla;
    else
        generador.SembrarAleatorio();
    MatrizProblema matriz;
    GenerarProblemaAleatorio(matriz, parametros, generador);
    const std::vector<std::string> lineas = matriz.LineasProblema();
    if (o.salida.empty())
        EscribirSalida(lineas);
    else
        EscribirLineasFichero(o.salida, lineas);
    return 0;
}

// Runs the command the options name; returns the exit status.
int Despachar(const OpcionesCli& o) {
    if (o.orden == Orden::Ayuda) {
        EscribirTexto(std::string(kUso) + "\n" + kAyuda);
        return 0;
    }
    if (o.orden == Orden::Version) {
        EscribirTexto(std::string("tavelorin-cli ") + kVersion + "\n");
        return 0;
    }
    // Checked before anything is read or written, so the problem file stays as it is.
    if (!o.salida.empty() && o.entrada && *o.entrada != "-" && MismoFichero(*o.entrada, o.salida))
        throw ErrorDeUso("-o nombra el propio archivo de problema, que se perdería");
    const std::string separador = o.separador.empty() ? SeparadorDelEntorno() : o.separador;
    switch (o.orden) {
        case Orden::Evaluar: return EvaluarSecuencia(o, separador);
        case Orden::Aleatorio: return GenerarAleatorio(o, separador);
        default: return Resolver(o, separador);
    }
}

// The message by the final "." rule, then its Spanish explanation on a line of its own.
int MostrarError(const std::string& mensaje, const std::string& explicacion) {
    std::fprintf(stderr, "%s\n", TextoParaMostrar(mensaje).c_str());
    if (!explicacion.empty()) std::fprintf(stderr, "%s\n", explicacion.c_str());
    return 1;
}

// The command line's one failure handler, as the window's: a program error is shown by
// the final "." rule with status 1, a usage error with the usage and status 2.
template <class Funcion>
int ConManejoDeErrores(const Funcion& funcion) {
    try {
        return funcion();
    } catch (const ErrorDeUso& e) {
        std::fprintf(stderr, "tavelorin-cli: %s\n%s", e.what(), kUso);
        return 2;
    } catch (const ErrorTavelorin& e) {
        return MostrarError(e.what(), ExplicacionDe(e));
    } catch (const std::bad_alloc& e) {
        return MostrarError(mensajes::kSinMemoria, ExplicacionDe(e));
    }
}

}  // namespace

int main(int argc, char** argv) {
    // An interrupted -o leaves no hidden temporary file beside the target.
    LimpiarTemporalesAlTerminar();
    const std::vector<std::string> argumentos(argv + 1, argv + argc);
    return ConManejoDeErrores([&] { return Despachar(LeerOpciones(argumentos)); });
}
