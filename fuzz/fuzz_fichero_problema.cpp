// A problem file from bytes to grid cells: DecodificarBytes, DividirLineas and
// CargarLineas into a MatrizProblema, as the program opens a file. The available memory
// is limited to 1 MiB, so the grid itself refuses the large counts an input may ask for
// ("Out of memory") and every run stays small.
//
// The same bytes are also read as a stream (LectorLineas, in pieces of 1 to 7 bytes, as
// the last byte picks) and loaded from it.
//
// Checks: the decoded text is well-formed UTF-8 and gives back the bytes (Windows-1252
// round trip; unchanged well-formed UTF-8; re-encoded well-formed UTF-16); the lines
// are those of a plain split; a load gives the counts, labels and fields the lines ask
// for, the empty-cell count, problem lines that load back to the same grid, and the
// same outcome over a grid that held another problem; a failure is one of the grid's
// messages and leaves a consistent grid; the stream gives the same lines, and loading
// from it the same grid and message after reading no line past the last product line.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Comprobar.h"
#include "core/Errores.h"
#include "files/FicheroTexto.h"
#include "files/LectorLineas.h"
#include "core/MatrizProblema.h"
#include "core/Memoria.h"
#include "core/TextoEntero.h"

using namespace tavelorin;
using tavelorin::fuzz::Visible;

namespace {

constexpr uint64_t kMemoria = uint64_t{1} << 20;

// Code points of well-formed UTF-8 (Unicode's table of well-formed byte sequences);
// false at the first ill-formed sequence.
bool LeerUtf8(std::string_view s, std::vector<char32_t>& cps) {
    auto byte = [&s](size_t i) -> unsigned { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0x100; };
    for (size_t i = 0; i < s.size();) {
        const unsigned b = byte(i);
        unsigned longitud = 0, bajo = 0x80, alto = 0xBF;
        if (b < 0x80) longitud = 1;
        else if (b >= 0xC2 && b <= 0xDF) longitud = 2;
        else if (b == 0xE0) longitud = 3, bajo = 0xA0;
        else if (b == 0xED) longitud = 3, alto = 0x9F;
        else if (b >= 0xE1 && b <= 0xEF) longitud = 3;
        else if (b == 0xF0) longitud = 4, bajo = 0x90;
        else if (b == 0xF4) longitud = 4, alto = 0x8F;
        else if (b >= 0xF1 && b <= 0xF3) longitud = 4;
        else return false;
        char32_t cp = longitud == 1 ? b : (b & (0xFF >> (longitud + 1)));
        for (unsigned k = 1; k < longitud; ++k) {
            const unsigned c = byte(i + k);
            if (c < (k == 1 ? bajo : 0x80) || c > (k == 1 ? alto : 0xBF)) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        cps.push_back(cp);
        i += longitud;
    }
    return true;
}

// Well-formed UTF-16 (every surrogate paired, an even byte count), or nothing.
bool Utf16BienFormado(std::string_view b, bool grande) {
    if (b.size() % 2 != 0) return false;
    for (size_t i = 0; i < b.size(); i += 2) {
        const unsigned u = grande ? (static_cast<unsigned char>(b[i]) << 8) | static_cast<unsigned char>(b[i + 1])
                                  : (static_cast<unsigned char>(b[i + 1]) << 8) | static_cast<unsigned char>(b[i]);
        if (u >= 0xDC00 && u <= 0xDFFF) return false;
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 3 >= b.size()) return false;
            const unsigned v = grande ? (static_cast<unsigned char>(b[i + 2]) << 8) | static_cast<unsigned char>(b[i + 3])
                                      : (static_cast<unsigned char>(b[i + 3]) << 8) | static_cast<unsigned char>(b[i + 2]);
            if (v < 0xDC00 || v > 0xDFFF) return false;
            i += 2;
        }
    }
    return true;
}

std::string Utf16(const std::vector<char32_t>& cps, bool grande) {
    std::string r;
    auto unidad = [&](unsigned u) {
        const char alto = static_cast<char>(u >> 8), bajo = static_cast<char>(u & 0xFF);
        r.push_back(grande ? alto : bajo);
        r.push_back(grande ? bajo : alto);
    };
    for (const char32_t cp : cps) {
        if (cp < 0x10000) {
            unidad(cp);
        } else {
            unidad(0xD800 + ((cp - 0x10000) >> 10));
            unidad(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
    }
    return r;
}

void ComprobarDecodificacion(std::string_view bytes, const std::string& texto) {
    std::vector<char32_t> cps;
    COMPROBAR(LeerUtf8(texto, cps), "texto mal formado [" + Visible(texto) + "] de [" + Visible(bytes) + "]");
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        std::vector<char32_t> original;
        if (LeerUtf8(bytes.substr(3), original))
            COMPROBAR(texto == bytes.substr(3), "UTF-8 bien formado cambiado: [" + Visible(texto) + "]");
    } else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        const bool grande = bytes[0] == '\xFE';
        if (Utf16BienFormado(bytes.substr(2), grande))
            COMPROBAR(Utf16(cps, grande) == bytes.substr(2), "UTF-16 bien formado no vuelve: [" + Visible(texto) + "]");
    } else {
        COMPROBAR(CodificarWindows1252(texto) == bytes,
                  "Windows-1252 no vuelve: [" + Visible(bytes) + "] -> [" + Visible(texto) + "]");
    }
}

std::vector<std::string> Partir(std::string_view texto) {
    texto = texto.substr(0, texto.find('\0'));
    std::vector<std::string> lineas;
    std::string actual;
    for (size_t i = 0; i < texto.size(); ++i) {
        if (texto[i] == '\r' || texto[i] == '\n') {
            lineas.push_back(actual);
            actual.clear();
            if (texto[i] == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') ++i;
        } else {
            actual.push_back(texto[i]);
        }
    }
    if (!actual.empty()) lineas.push_back(actual);
    return lineas;
}

std::vector<std::string> Campos(const std::string& linea) {
    std::vector<std::string> campos(1);
    for (const char c : linea) {
        if (c == '\t') campos.emplace_back();
        else campos.back().push_back(c);
    }
    return campos;
}

void ComprobarCoherente(const MatrizProblema& m) {
    COMPROBAR(m.Filas() >= 1 && m.Columnas() >= 1, "cuentas " + std::to_string(m.Filas()) + "x" +
                                                       std::to_string(m.Columnas()));
    int64_t vacias = 0;
    for (int32_t r = 1; r < m.Filas(); ++r)
        for (int32_t c = 1; c < m.Columnas(); ++c) vacias += m.Celda(c, r).empty();
    COMPROBAR(m.CeldasVacias() == vacias && m.Completa() == (vacias == 0),
              "celdas vacias " + std::to_string(m.CeldasVacias()) + ", contadas " + std::to_string(vacias));
}

bool MismasCeldas(const MatrizProblema& a, const MatrizProblema& b) {
    if (a.Filas() != b.Filas() || a.Columnas() != b.Columnas()) return false;
    for (int32_t r = 0; r < a.Filas(); ++r)
        for (int32_t c = 0; c < a.Columnas(); ++c)
            if (a.Celda(c, r) != b.Celda(c, r)) return false;
    return true;
}

// What a load left in the grid, against the lines it read.
void ComprobarCarga(const MatrizProblema& m, const std::vector<std::string>& lineas) {
    ComprobarCoherente(m);
    const uint32_t n = static_cast<uint32_t>(TextoAEntero(lineas.at(0)));
    const uint32_t k = static_cast<uint32_t>(TextoAEntero(lineas.at(1)));
    const int32_t filas = std::max(static_cast<int32_t>(n + 1u), 1);
    const int32_t columnas = std::max(static_cast<int32_t>(k + 2u), 1);
    COMPROBAR(m.Filas() == filas && m.Columnas() == columnas,
              "cuentas " + std::to_string(m.Filas()) + "x" + std::to_string(m.Columnas()) + " para [" +
                  Visible(lineas[0]) + "] [" + Visible(lineas[1]) + "]");
    COMPROBAR(lineas.size() >= static_cast<size_t>(filas) + 1 || filas == 1, "faltaban lineas y no fallo");
    const std::string esquina = columnas == 1 ? "Qj" : "Pr/Co";
    COMPROBAR(m.Celda(0, 0) == esquina, "esquina [" + Visible(m.Celda(0, 0)) + "]");
    for (int32_t c = 1; c < columnas; ++c) {
        const std::string rotulo = c == columnas - 1 ? "Qj" : std::to_string(c);
        COMPROBAR(m.Celda(c, 0) == rotulo, "rotulo de la columna " + std::to_string(c) + ": [" +
                                               Visible(m.Celda(c, 0)) + "]");
    }
    for (int32_t r = 1; r < filas; ++r) {
        COMPROBAR(m.Celda(0, r) == std::to_string(r), "rotulo de la fila " + std::to_string(r));
        const std::vector<std::string> campos = Campos(lineas[static_cast<size_t>(r) + 1]);
        for (int32_t c = 1; c < columnas; ++c) {
            const std::string esperado = static_cast<size_t>(c) <= campos.size() ? campos[static_cast<size_t>(c) - 1] : "";
            COMPROBAR(m.Celda(c, r) == esperado, "celda " + std::to_string(c) + "," + std::to_string(r) + ": [" +
                                                     Visible(m.Celda(c, r)) + "] en vez de [" + Visible(esperado) + "]");
        }
    }

    // The problem lines the grid exports load back into the same grid.
    const std::vector<std::string> exportadas = m.LineasProblema();
    COMPROBAR(exportadas.size() == static_cast<size_t>(filas) + 1, "lineas exportadas");
    COMPROBAR(exportadas[0] == std::to_string(filas - 1) && exportadas[1] == std::to_string(columnas - 2),
              "cuentas exportadas [" + exportadas[0] + "] [" + exportadas[1] + "]");
    MatrizProblema otra;
    CargarLineas(otra, exportadas);
    COMPROBAR(MismasCeldas(m, otra), "las lineas exportadas no cargan la misma matriz");
}

// A failure: one of the messages of the grid and of the integer rule, about these lines.
void ComprobarFallo(const std::string& mensaje, const std::vector<std::string>& lineas) {
    if (mensaje == "Out of memory" || mensaje == "Grid too large for operation") return;
    const std::string prefijo = "List index out of bounds (";
    if (mensaje.starts_with(prefijo) && mensaje.ends_with(")")) {
        const std::string cifras = mensaje.substr(prefijo.size(), mensaje.size() - prefijo.size() - 1);
        COMPROBAR(cifras == std::to_string(std::stoll(cifras)) && std::stoll(cifras) >= static_cast<long long>(lineas.size()),
                  "indice [" + Visible(mensaje) + "] con " + std::to_string(lineas.size()) + " lineas");
        return;
    }
    for (size_t i = 0; i < 2 && i < lineas.size(); ++i)
        if (mensaje == "''" + tavelorin::fuzz::Citado(lineas[i]) + "'' is not a valid integer value" &&
            !IntentarTextoAEntero(lineas[i]))
            return;
    COMPROBAR(false, "mensaje inesperado [" + Visible(mensaje) + "]");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EstablecerFuenteMemoria([] { return kMemoria; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    const std::string_view bytes(reinterpret_cast<const char*>(datos), tamano);
    const std::string texto = DecodificarBytes(bytes);
    ComprobarDecodificacion(bytes, texto);
    const std::vector<std::string> lineas = DividirLineas(texto);
    COMPROBAR(lineas == Partir(texto), "DividirLineas de [" + Visible(texto) + "]");

    // The stream reader, given the bytes in pieces of a size the input picks, reads the
    // same lines, and reads no further than a load asks.
    const size_t trozo = tamano == 0 ? 1 : datos[tamano - 1] % 7 + 1;
    {
        BytesEnMemoria fuente(bytes, trozo);
        LectorLineas lector(fuente);
        std::vector<std::string> leidas;
        std::string linea;
        while (lector.Siguiente(linea)) leidas.push_back(linea);
        COMPROBAR(leidas == lineas, "LectorLineas en trozos de " + std::to_string(trozo) + " de [" + Visible(bytes) + "]");
    }

    MatrizProblema nueva;
    MatrizProblema usada;
    CargarLineas(usada, {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"});
    std::string mensajeNueva, mensajeUsada;
    try {
        CargarLineas(nueva, lineas);
    } catch (const ErrorTavelorin& e) {
        mensajeNueva = e.what();
        COMPROBAR(!mensajeNueva.empty(), "mensaje vacio");
    }
    try {
        CargarLineas(usada, lineas);
    } catch (const ErrorTavelorin& e) {
        mensajeUsada = e.what();
    }
    COMPROBAR(mensajeNueva == mensajeUsada,
              "sobre una matriz usada [" + Visible(mensajeUsada) + "], sobre una nueva [" + Visible(mensajeNueva) + "]");
    // Loading from the stream: the same grid and message, having read only the lines
    // the load needed.
    MatrizProblema delFlujo;
    std::string mensajeFlujo;
    size_t pedidas = 0;
    {
        BytesEnMemoria fuente(bytes, trozo);
        LectorLineas lector(fuente);
        struct Contadas final : FuenteLineas {
            FuenteLineas& f;
            size_t& n;
            Contadas(FuenteLineas& f, size_t& n) : f(f), n(n) {}
            bool Siguiente(std::string& l) override { return f.Siguiente(l) && ++n > 0; }
        } contadas(lector, pedidas);
        try {
            CargarLineas(delFlujo, contadas);
        } catch (const ErrorTavelorin& e) {
            mensajeFlujo = e.what();
        }
    }
    COMPROBAR(mensajeFlujo == mensajeNueva, "del flujo [" + Visible(mensajeFlujo) + "], de la lista [" +
                                                 Visible(mensajeNueva) + "]");
    COMPROBAR(MismasCeldas(delFlujo, nueva), "el flujo carga otra matriz");
    COMPROBAR(pedidas <= static_cast<size_t>(nueva.Filas()) + 1, "del flujo se leyeron " + std::to_string(pedidas) +
                                                                   " lineas para " + std::to_string(nueva.Filas()) + " filas");
    if (mensajeNueva.empty()) {
        ComprobarCarga(nueva, lineas);
        COMPROBAR(MismasCeldas(nueva, usada), "la matriz usada queda distinta de la nueva");
    } else {
        ComprobarFallo(mensajeNueva, lineas);
        ComprobarCoherente(nueva);
        ComprobarCoherente(usada);
    }
    return 0;
}
