// A rectangular block of cell texts, as the grid copies it to the clipboard and takes
// it back: tab-separated lines, semicolon-separated lines, and CSV with quoted fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavelorin {

struct BloqueTexto {
    int32_t filas = 0;
    int32_t columnas = 0;
    std::vector<std::string> celdas;  // row by row

    BloqueTexto() = default;
    // filas x columnas empty texts.
    BloqueTexto(int32_t filas, int32_t columnas);

    bool Vacio() const { return filas == 0 || columnas == 0; }
    std::string& Celda(int32_t columna, int32_t fila) {
        return celdas[static_cast<size_t>(fila) * static_cast<size_t>(columnas) + static_cast<size_t>(columna)];
    }
    const std::string& Celda(int32_t columna, int32_t fila) const {
        return celdas[static_cast<size_t>(fila) * static_cast<size_t>(columnas) + static_cast<size_t>(columna)];
    }
    bool operator==(const BloqueTexto&) const = default;
};

// Where the text comes from: plain text splits fields at tabs, or at semicolons when
// there is no tab; CSV also splits at commas when there is neither; Tabulado (what the
// grid itself copies) splits at tabs only and has no quoting.
enum class FormatoBloque { Texto, Csv, Tabulado };

// The block a text holds. Lines end at CR LF, LF or CR; a break at the very end does
// not start an empty line. Except in Tabulado, a field that starts with a double quote
// and closes it (before a separator, a line break or the end) is quoted: its separators
// and line breaks are text and "" is one quote; any other quote is text. Short lines are
// filled with empty fields up to the widest one. "Out of memory" when the cells would
// not fit.
BloqueTexto LeerBloque(std::string_view texto, FormatoBloque formato);

// The field separator LeerBloque uses for this text: '\t', ';', ',' or '\0' (one field
// per line).
char SeparadorDeBloque(std::string_view texto, FormatoBloque formato);

// The block as tab-separated lines, each ended by CR LF (what spreadsheets paste).
std::string BloqueATabulado(const BloqueTexto& bloque);
// The block as CSV (RFC 4180): commas, CR LF, fields with a comma, quote or line break
// quoted.
std::string BloqueACsv(const BloqueTexto& bloque);

// A cell holds one line of text: every tab, line break (CR LF, LF or CR) and NUL becomes
// one space, so that the problem lines a cell goes into keep their fields.
void LimpiarTextoCelda(std::string& texto);

}  // namespace tavelorin
