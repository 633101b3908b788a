// The sequence reader of --evaluar, LeerSecuencia, on the bytes of a sequence file read
// as a stream. The first byte gives n (1..6), the next n bytes the demands (0..4; the
// first is at least 1), the next one the size of the pieces the stream hands out; the
// rest is the file. Each product uses p mod 3 units of the one component.
//
// Checks: reading the stream (LectorLineas over pieces of that size) gives what reading
// the lines of the whole decoded text gives; both give what a plain two-pass reading
// gives (find the first "Solucion:", then the next block title; count, list at most 20
// faults of each kind, quote a line by 60 characters), with the sequence cut at Q; the
// error list and each error stay short; no errors means every product occurs d(p)
// times, and the quality figures can be computed.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Comprobar.h"
#include "core/Calidad.h"
#include "core/Errores.h"
#include "core/Problema.h"
#include "core/TextoEntero.h"
#include "files/Codificacion.h"
#include "files/LectorLineas.h"

using namespace tavelorin;
using tavelorin::fuzz::Citado;
using tavelorin::fuzz::Visible;

namespace {

std::string Veces(int64_t n) { return std::to_string(n) + (n == 1 ? " vez" : " veces"); }
std::string Unidades(int64_t n) { return std::to_string(n) + (n == 1 ? " unidad" : " unidades"); }

// The sequence and its faults, read in two passes over the whole list.
SecuenciaLeida Referencia(const EstadoSecuenciador& e, const std::vector<std::string>& lineas) {
    size_t desde = 0, hasta = lineas.size();
    for (size_t i = 0; i < lineas.size(); ++i) {
        if (lineas[i] != "Solucion:") continue;
        desde = i + 1;
        for (size_t f = desde; f < lineas.size(); ++f)
            if (!lineas[f].empty() && lineas[f].back() == ':') {
                hasta = f;
                break;
            }
        break;
    }
    SecuenciaLeida r;
    std::vector<int64_t> cuentas(static_cast<size_t>(e.NProd), 0);
    std::vector<std::string> malas;
    int64_t unidades = 0;
    for (size_t i = desde; i < hasta; ++i) {
        const std::optional<int32_t> p = IntentarTextoAEntero(lineas[i]);
        const std::string linea = "línea " + std::to_string(i + 1) + ": ";
        if (!p)
            malas.push_back(linea + "\"" + Citado(lineas[i]) + "\" no es un número de producto");
        else if (*p < 1 || *p > e.NProd)
            malas.push_back(linea + "no hay producto " + std::to_string(*p) + " (los productos van de 1 a " +
                            std::to_string(e.NProd) + ")");
        else {
            ++cuentas[static_cast<size_t>(*p - 1)];
            if (unidades++ < e.Q) r.secuencia.push_back(*p);
        }
    }
    for (size_t k = 0; k < malas.size() && k < kErroresListados; ++k) r.errores.push_back(malas[k]);
    if (malas.size() > kErroresListados)
        r.errores.push_back("... y " + std::to_string(malas.size() - kErroresListados) + " líneas más con errores");
    std::vector<std::string> distintas;
    for (int32_t p = 1; p <= e.NProd; ++p) {
        const int64_t d = e.Demanda(p), c = cuentas[static_cast<size_t>(p - 1)];
        if (c != d)
            distintas.push_back("el producto " + std::to_string(p) + " aparece " + Veces(c) + " y su demanda es " +
                                std::to_string(d));
    }
    for (size_t k = 0; k < distintas.size() && k < kErroresListados; ++k) r.errores.push_back(distintas[k]);
    if (distintas.size() > kErroresListados)
        r.errores.push_back("... y " + std::to_string(distintas.size() - kErroresListados) +
                            " productos más con otra cuenta");
    if (!r.errores.empty() && malas.empty() && unidades != e.Q)
        r.errores.push_back("la secuencia tiene " + Unidades(unidades) + " y la demanda total es " + std::to_string(e.Q));
    return r;
}

std::string Texto(const SecuenciaLeida& r) {
    std::string t = "secuencia";
    for (const int32_t p : r.secuencia) t += " " + std::to_string(p);
    for (const std::string& e : r.errores) t += "\n  " + e;
    return Visible(t);
}

bool Iguales(const SecuenciaLeida& a, const SecuenciaLeida& b) {
    return a.secuencia == b.secuencia && a.errores == b.errores;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    if (tamano < 3) return 0;
    const int32_t n = datos[0] % 6 + 1;
    if (tamano < static_cast<size_t>(n) + 2) return 0;
    std::vector<std::string> problema = {std::to_string(n), "1"};
    for (int32_t p = 1; p <= n; ++p) {
        const int demanda = datos[p] % 5 + (p == 1 && datos[p] % 5 == 0 ? 1 : 0);
        problema.push_back(std::to_string(p % 3) + "\t" + std::to_string(demanda));
    }
    EstadoSecuenciador estado;
    LeerProblema(estado, problema, Lectura::ParaEvaluar);
    const size_t trozo = datos[n + 1] % 9 + 1;
    const std::string_view bytes(reinterpret_cast<const char*>(datos) + n + 2, tamano - static_cast<size_t>(n) - 2);

    BytesEnMemoria fuente(bytes, trozo);
    LectorLineas lector(fuente);
    const SecuenciaLeida leida = LeerSecuencia(estado, lector);
    const std::vector<std::string> lineas = DividirLineas(DecodificarBytes(bytes));
    const SecuenciaLeida deLaLista = LeerSecuencia(estado, lineas);
    COMPROBAR(Iguales(leida, deLaLista), "en trozos de " + std::to_string(trozo) + ":\n" + Texto(leida) +
                                             "\nde la lista:\n" + Texto(deLaLista));
    const SecuenciaLeida esperada = Referencia(estado, lineas);
    COMPROBAR(Iguales(leida, esperada), "leida:\n" + Texto(leida) + "\nreferencia:\n" + Texto(esperada));

    COMPROBAR(leida.errores.size() <= 2 * kErroresListados + 3, std::to_string(leida.errores.size()) + " errores");
    for (const std::string& e : leida.errores) COMPROBAR(e.size() <= 400, "error de " + std::to_string(e.size()) + " bytes");
    COMPROBAR(leida.secuencia.size() <= static_cast<size_t>(estado.Q), "mas de Q productos guardados");
    if (leida.errores.empty()) {
        COMPROBAR(leida.secuencia.size() == static_cast<size_t>(estado.Q), "sin errores y sin Q productos");
        std::vector<int64_t> cuentas(static_cast<size_t>(n), 0);
        for (const int32_t p : leida.secuencia) ++cuentas[static_cast<size_t>(p - 1)];
        for (int32_t p = 1; p <= n; ++p)
            COMPROBAR(cuentas[static_cast<size_t>(p - 1)] == estado.Demanda(p), "producto " + std::to_string(p));
        CalcularCalidad(estado, leida.secuencia);
    }
    return 0;
}
