// The command line's parser, LeerOpciones, on arbitrary arguments: the input's bytes
// split at each NUL into at most 64 arguments.
//
// Checks: the only failure is ErrorDeUso, with a reason that is short whatever the
// arguments (a user's text is quoted by at most 60 characters); options that come back
// make one command and only that command's fields (an input after --aleatorio or
// --evaluar, -o never empty, the separator "," or "." or none); --help and --version
// come back only when the arguments hold them; and the options written back as a
// canonical command line read back to the same options.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Comprobar.h"
#include "app/OpcionesCli.h"

using namespace tavelorin::cli;
using tavelorin::fuzz::Visible;

namespace {

constexpr size_t kArgumentosMaximos = 64;
// The longest reason: a fixed text and a quote of 60 characters of up to 4 bytes.
constexpr size_t kMotivoMaximo = 120 + 60 * 4 + 3;

std::string Lista(const std::vector<std::string>& args) {
    std::string r;
    for (const std::string& a : args) r += "[" + Visible(a) + "] ";
    return r;
}

bool Contiene(const std::vector<std::string>& args, std::string_view a) {
    for (const std::string& x : args)
        if (x == a) return true;
    return false;
}

// A command line that says exactly what o says.
std::vector<std::string> Canonica(const OpcionesCli& o) {
    std::vector<std::string> r;
    if (o.metricas) r.push_back("--metricas");
    if (o.exacto) r.push_back("--exacto");
    if (o.optimo) r.push_back("--optimo");
    if (o.sinInforme) r.push_back("--sin-informe");
    if (!o.separador.empty()) r.insert(r.end(), {"--separador", o.separador});
    if (!o.salida.empty()) r.insert(r.end(), {"-o", o.salida});
    if (o.evaluar) r.insert(r.end(), {"--evaluar", *o.evaluar});
    if (!o.aleatorio.empty()) {
        r.push_back("--aleatorio");
        r.insert(r.end(), o.aleatorio.begin(), o.aleatorio.end());
    }
    if (o.semilla) r.insert(r.end(), {"--semilla", std::to_string(*o.semilla)});
    if (o.entrada) r.insert(r.end(), {"--", *o.entrada});
    return r;
}

bool Iguales(const OpcionesCli& a, const OpcionesCli& b) {
    return a.orden == b.orden && a.entrada == b.entrada && a.separador == b.separador && a.salida == b.salida &&
           a.metricas == b.metricas && a.exacto == b.exacto && a.optimo == b.optimo && a.evaluar == b.evaluar &&
           a.sinInforme == b.sinInforme &&
           a.aleatorio == b.aleatorio && a.semilla == b.semilla;
}

void ComprobarOrden(const OpcionesCli& o, const std::vector<std::string>& args) {
    const std::string contexto = Lista(args);
    COMPROBAR(o.separador.empty() || o.separador == "," || o.separador == ".", "separador " + contexto);
    switch (o.orden) {
        case Orden::Ayuda:
            COMPROBAR(Contiene(args, "--help") || Contiene(args, "-h"), "ayuda sin --help: " + contexto);
            return;
        case Orden::Version:
            COMPROBAR(Contiene(args, "--version"), "version sin --version: " + contexto);
            return;
        case Orden::Resolver:
            COMPROBAR(o.entrada && !o.evaluar && o.aleatorio.empty() && !o.semilla, "resolver: " + contexto);
            break;
        case Orden::Evaluar:
            COMPROBAR(o.entrada && o.evaluar && o.aleatorio.empty() && !o.semilla && o.salida.empty() &&
                          !o.metricas && !o.exacto && !o.optimo && !o.sinInforme &&
                          !(*o.entrada == "-" && *o.evaluar == "-"),
                      "evaluar: " + contexto);
            break;
        case Orden::Aleatorio:
            COMPROBAR(!o.entrada && !o.evaluar && o.aleatorio.size() == 7 && !o.metricas && !o.exacto && !o.optimo &&
                          !o.sinInforme,
                      "aleatorio: " + contexto);
            break;
    }
    COMPROBAR(o.salida.empty() || (Contiene(args, "-o") || Contiene(args, "--salida")), "salida sin -o: " + contexto);
    const std::vector<std::string> canonica = Canonica(o);
    OpcionesCli otra;
    try {
        otra = LeerOpciones(canonica);
    } catch (const ErrorDeUso& e) {
        COMPROBAR(false, "la linea canonica " + Lista(canonica) + " falla: " + e.what());
    }
    COMPROBAR(Iguales(o, otra), "la linea canonica " + Lista(canonica) + " no da lo mismo que " + contexto);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    std::vector<std::string> args;
    if (tamano > 0) {
        args.emplace_back();
        for (size_t i = 0; i < tamano; ++i) {
            if (datos[i] == 0) {
                if (args.size() == kArgumentosMaximos) break;
                args.emplace_back();
            } else {
                args.back().push_back(static_cast<char>(datos[i]));
            }
        }
    }
    OpcionesCli o;
    try {
        o = LeerOpciones(args);
    } catch (const ErrorDeUso& e) {
        const std::string_view motivo = e.what();
        COMPROBAR(!motivo.empty() && motivo.size() <= kMotivoMaximo,
                  "motivo de " + std::to_string(motivo.size()) + " bytes: [" + Visible(motivo) + "]");
        return 0;
    }
    ComprobarOrden(o, args);
    return 0;
}
