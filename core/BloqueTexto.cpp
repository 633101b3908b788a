#include "core/BloqueTexto.h"

#include <algorithm>

#include "core/Errores.h"
#include "core/Memoria.h"

namespace tavelorin {

namespace {

constexpr size_t npos = std::string_view::npos;

bool EsSalto(char c) { return c == '\r' || c == '\n'; }

bool EsSeparador(char c, char separador) { return separador != '\0' && c == separador; }

// For a field that starts with a quote at i: the index just after its closing quote,
// when that quote is followed by one of the separators cierres, a line break or the end;
// npos otherwise.
size_t FinCitado(std::string_view t, size_t i, std::string_view cierres) {
    size_t j = i + 1;
    while (true) {
        const size_t q = t.find('"', j);
        if (q == npos) return npos;
        if (q + 1 < t.size() && t[q + 1] == '"') {
            j = q + 2;
            continue;
        }
        const size_t despues = q + 1;
        if (despues == t.size() || EsSalto(t[despues]) || cierres.find(t[despues]) != npos) return despues;
        return npos;
    }
}

// The text of a quoted field's inside: "" is one quote.
std::string SinComillas(std::string_view dentro) {
    std::string r;
    r.reserve(dentro.size());
    for (size_t i = 0; i < dentro.size(); ++i) {
        r.push_back(dentro[i]);
        if (dentro[i] == '"' && i + 1 < dentro.size() && dentro[i + 1] == '"') ++i;
    }
    return r;
}

// Walks the fields of t split at separador ('\0': never split): campo(inside, quoted)
// for each field, finLinea() after each line. A quoted field closes before one of the
// separators cierres (none: no quoting). True when a separator was seen outside a quoted
// field.
template <class Campo, class FinLinea>
bool Recorrer(std::string_view t, char separador, std::string_view cierres, Campo&& campo, FinLinea&& finLinea) {
    const size_t n = t.size();
    bool visto = false;
    size_t i = 0;
    if (n == 0) return false;
    while (true) {
        size_t fin = !cierres.empty() && t[i] == '"' ? FinCitado(t, i, cierres) : npos;
        if (fin != npos) {
            campo(t.substr(i + 1, fin - i - 2), true);
        } else {
            fin = i;
            while (fin < n && !EsSalto(t[fin]) && !EsSeparador(t[fin], separador)) ++fin;
            campo(t.substr(i, fin - i), false);
        }
        if (fin < n && EsSeparador(t[fin], separador)) {
            visto = true;
            i = fin + 1;
            if (i == n) {  // a separator at the very end: one more, empty field
                campo(std::string_view(), false);
                finLinea();
                break;
            }
            continue;
        }
        finLinea();
        if (fin >= n) break;
        i = fin + (t[fin] == '\r' && fin + 1 < n && t[fin + 1] == '\n' ? 2 : 1);
        if (i >= n) break;  // a break at the very end starts no line
    }
    return visto;
}

}  // namespace

BloqueTexto::BloqueTexto(int32_t filas_, int32_t columnas_) : filas(filas_), columnas(columnas_) {
    celdas.resize(static_cast<size_t>(filas_) * static_cast<size_t>(columnas_));
}

char SeparadorDeBloque(std::string_view texto, FormatoBloque formato) {
    if (formato == FormatoBloque::Tabulado) return '\t';
    const auto nada = [](std::string_view, bool) {};
    const auto nadaLinea = [] {};
    // Quoted fields are told apart from the separators any candidate could close them.
    const std::string_view candidatos = formato == FormatoBloque::Csv ? "\t;," : "\t;";
    for (char separador : candidatos) {
        if (texto.find(separador) == npos) continue;
        if (Recorrer(texto, separador, candidatos, nada, nadaLinea)) return separador;
    }
    return '\0';
}

BloqueTexto LeerBloque(std::string_view texto, FormatoBloque formato) {
    const char separador = SeparadorDeBloque(texto, formato);
    const char cierre[] = {separador, '\0'};
    const std::string_view cierres = formato == FormatoBloque::Tabulado ? std::string_view() : std::string_view(cierre, 1);
    // First the shape, then the memory it needs, then the texts.
    int64_t filas = 0, columnas = 0, enLinea = 0;
    Recorrer(
        texto, separador, cierres, [&](std::string_view, bool) { ++enLinea; },
        [&] {
            ++filas;
            columnas = std::max(columnas, enLinea);
            enLinea = 0;
        });
    if (filas == 0) return {};
    const uint64_t celdas = static_cast<uint64_t>(filas) * static_cast<uint64_t>(columnas);
    if (filas > INT32_MAX || columnas > INT32_MAX || celdas > UINT64_MAX / (2 * sizeof(std::string)))
        throw ErrorTavelorin(mensajes::kSinMemoria);
    ComprobarMemoria(celdas * sizeof(std::string) + texto.size());
    BloqueTexto bloque;
    try {
        bloque = BloqueTexto(static_cast<int32_t>(filas), static_cast<int32_t>(columnas));
    } catch (const std::bad_alloc&) {
        throw ErrorTavelorin(mensajes::kSinMemoria);
    }
    int32_t fila = 0, columna = 0;
    Recorrer(
        texto, separador, cierres,
        [&](std::string_view campo, bool citado) {
            bloque.Celda(columna++, fila) = citado ? SinComillas(campo) : std::string(campo);
        },
        [&] {
            ++fila;
            columna = 0;
        });
    return bloque;
}

std::string BloqueATabulado(const BloqueTexto& bloque) {
    std::string r;
    for (int32_t f = 0; f < bloque.filas; ++f) {
        for (int32_t c = 0; c < bloque.columnas; ++c) {
            if (c > 0) r.push_back('\t');
            r.append(bloque.Celda(c, f));
        }
        r.append("\r\n");
    }
    return r;
}

std::string BloqueACsv(const BloqueTexto& bloque) {
    std::string r;
    for (int32_t f = 0; f < bloque.filas; ++f) {
        for (int32_t c = 0; c < bloque.columnas; ++c) {
            if (c > 0) r.push_back(',');
            const std::string& texto = bloque.Celda(c, f);
            if (texto.find_first_of(",\"\r\n") == std::string::npos) {
                r.append(texto);
                continue;
            }
            r.push_back('"');
            for (char ch : texto) {
                if (ch == '"') r.push_back('"');
                r.push_back(ch);
            }
            r.push_back('"');
        }
        r.append("\r\n");
    }
    return r;
}

void LimpiarTextoCelda(std::string& texto) {
    if (texto.find_first_of(std::string_view("\t\r\n\0", 4)) == std::string::npos) return;
    size_t escrito = 0;
    for (size_t i = 0; i < texto.size(); ++i) {
        const char c = texto[i];
        if (c == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') continue;  // CR LF is one break
        texto[escrito++] = (c == '\t' || c == '\r' || c == '\n' || c == '\0') ? ' ' : c;
    }
    texto.resize(escrito);
}

}  // namespace tavelorin
