#include "ui/SalidaInforme.h"

#include <algorithm>

#include "core/Errores.h"
#include "core/Memoria.h"
#include "files/FicheroTexto.h"
#include "ui/MemoInforme.h"
#include "ui/RutasFichero.h"

namespace tavelorin {

namespace {

// Room for the toolkit's own buffers around any of these operations.
constexpr uint64_t kHolgura = uint64_t{4} << 20;

// The longest line in UTF-8 and in UTF-16 units.
struct Maximos {
    uint64_t utf8 = 0;
    uint64_t unidades = 0;
};

Maximos LineaMasLarga(const MemoInforme& memo) {
    Maximos m;
    const int n = memo.NumeroLineas();
    for (int i = 0; i < n; ++i) {
        m.utf8 = std::max(m.utf8, memo.BytesLineaUtf8(i));
        m.unidades = std::max(m.unidades, static_cast<uint64_t>(memo.LongitudLinea(i)));
    }
    return m;
}

// Refused before anything starts, with the explanation that says nothing was lost.
void ComprobarMemoriaSalida(uint64_t bytes) {
    if (bytes > MemoriaDisponible()) throw ErrorTavelorin(mensajes::kSinMemoria, ExplicacionSinMemoria());
}

}  // namespace

// The clipboard gets one UTF-8 copy of the text; when another program asks for it the
// toolkit may hold it once more as UTF-16 while it hands it over.
uint64_t MemoriaParaCopiar(const MemoInforme& memo) { return 3 * memo.BytesTextoUtf8() + kHolgura; }

// One line at a time: the line, its encoded form, and the writer's 1 MB block.
uint64_t MemoriaParaEscribir(const MemoInforme& memo) { return 2 * LineaMasLarga(memo).utf8 + kHolgura; }

// One line at a time: the line in UTF-16, UTF-8 and the printer's 8-bit set, then the
// characters to draw (UTF-16) with their line feed.
uint64_t MemoriaParaImprimir(const MemoInforme& memo) {
    const Maximos m = LineaMasLarga(memo);
    return 6 * m.unidades + 2 * m.utf8 + kHolgura;
}

void CopiarInforme(MemoInforme& memo) {
    ComprobarMemoriaSalida(MemoriaParaCopiar(memo));
    memo.setFocus();
    memo.selectAll();
    memo.CopiarTodo();
}

void EscribirInforme(const QString& nombre, const MemoInforme& memo) {
    ComprobarMemoriaEscritura(memo);
    EscribirLineasFichero(RutaDeNombre(nombre), static_cast<size_t>(memo.NumeroLineas()),
                          [&memo](size_t i) { return memo.LineaUtf8(static_cast<int>(i)); });
}

void ComprobarMemoriaEscritura(const MemoInforme& memo) { ComprobarMemoriaSalida(MemoriaParaEscribir(memo)); }

void ComprobarMemoriaImpresion(const MemoInforme& memo) { ComprobarMemoriaSalida(MemoriaParaImprimir(memo)); }

}  // namespace tavelorin
