#include "core/Problema.h"

#include <limits>
#include <new>
#include <optional>
#include <string_view>

#include "core/Errores.h"
#include "core/Memoria.h"
#include "core/TextoEntero.h"

namespace tavelorin {

namespace {

constexpr int64_t kMinimo32 = std::numeric_limits<int32_t>::min();
constexpr int64_t kMaximo32 = std::numeric_limits<int32_t>::max();

bool Cabe32(int64_t v) { return v >= kMinimo32 && v <= kMaximo32; }

// Line 0 holds the number of products, line 1 that of components.
int32_t EnteroDeLinea(const std::vector<std::string>& lineas, size_t indice) {
    const char* que = indice == 0 ? "La primera línea del problema (el número de productos)"
                                  : "La segunda línea del problema (el número de componentes)";
    if (indice >= lineas.size())
        throw ErrorTavelorin(MensajeIndiceFueraDeRango(static_cast<long long>(indice)), std::string("Falta ") +
                             (indice == 0 ? "la primera línea del problema, el número de productos."
                                          : "la segunda línea del problema, el número de componentes."));
    if (const auto v = IntentarTextoAEntero(lineas[indice])) return *v;
    LanzarEnteroInvalido(lineas[indice], std::string(que) + " no es un número entero.");
}

// The cell of product i (from 1) and field c (from 1; c = m + 1 is the demand).
// The error names the cell, for its explanation and for the grid to select it.
[[noreturn]] void CeldaNoEntera(std::string_view texto, int64_t i, int64_t c, int64_t m) {
    const std::string producto = std::to_string(i);
    std::string explicacion;
    if (c > m) {
        explicacion = texto.empty() ? "Falta la demanda del producto " + producto + " (columna Qj)."
                                    : "La demanda del producto " + producto + " (columna Qj) no es un número entero.";
    } else {
        const std::string celda = "la celda (producto " + producto + ", componente " + std::to_string(c) + ")";
        explicacion = texto.empty() ? "Falta un número entero: " + celda + " está vacía."
                                    : "El contenido de " + celda + " no es un número entero.";
    }
    throw ErrorTavelorin(MensajeEnteroInvalido(texto), std::move(explicacion))
        .EnCelda(static_cast<int32_t>(i), static_cast<int32_t>(c));
}

// Longest report text of a whole number up to valor (P = 4: scientific from 10000 on).
int64_t AnchoEnteroInforme(int64_t valor) {
    if (valor >= 10000) return 10;  // d.dddE000x
    int64_t ancho = 1;
    for (int64_t v = valor; v >= 10; v /= 10) ++ancho;
    return ancho;
}

// The limits a run relies on, checked before anything is stored. An evaluation builds
// no stage table: neither its width, nor its memory, nor its 32-bit ideal consumption
// k·N(j)/Q limits it (the quality figures are exact in 128 bits).
void ComprobarLimites(int64_t n, int64_t m, int64_t q, const std::vector<int64_t>& totales, Lectura lectura) {
    if (q == 0)
        throw ErrorTavelorin("No hay nada que secuenciar: la demanda total es 0; "
                             "al menos un producto debe tener demanda positiva");
    if (q < 0) return;  // refused with "Range check error" when the table is sized
    const int64_t w = 1 + n + q + m + n + m;
    if (lectura == Lectura::ParaSecuenciar && w > kColumnasMaximas)
        throw ErrorTavelorin("Problema demasiado grande: la tabla de etapas tendría " + std::to_string(w) +
                             " columnas y el límite es " + std::to_string(kColumnasMaximas));
    for (int64_t j = 0; lectura == Lectura::ParaSecuenciar && j < m; ++j) {
        const int64_t ideal = q * totales[static_cast<size_t>(j)];
        if (!Cabe32(ideal))
            throw ErrorTavelorin("El consumo ideal del componente " + std::to_string(j + 1) + " en la etapa " +
                                 std::to_string(q) + " (" + std::to_string(ideal) +
                                 ") se sale del intervalo de los enteros de 32 bits");
    }
    if (lectura == Lectura::ParaSecuenciar)
        ComprobarMemoria(MemoriaNecesaria(n, m, q));
    else
        ComprobarMemoria(MemoriaEvaluacion(n, m, q));
}

}  // namespace

uint64_t MemoriaNecesaria(int64_t nProd, int64_t nComp, int64_t q) {
    if (q <= 0) return 0;
    const int64_t w = 1 + 2 * nProd + q + 2 * nComp;
    const uint64_t tabla = static_cast<uint64_t>(q) * static_cast<uint64_t>(w) * sizeof(double);
    // Report: sequence cells are product numbers, the rest at most 12 characters; each
    // cell is followed by a tab, and each line carries a string header.
    const int64_t anchoProducto = AnchoEnteroInforme(nProd) + 1;
    const int64_t otras = 1 + 2 * nProd + 2 * nComp;
    const uint64_t porLinea = static_cast<uint64_t>(q * anchoProducto + otras * 13 + 64);
    const uint64_t informe = static_cast<uint64_t>(q + 1) * porLinea;
    const uint64_t secuencia = static_cast<uint64_t>(q) * 48;
    return tabla + informe + secuencia;
}

uint64_t MemoriaEvaluacion(int64_t nProd, int64_t nComp, int64_t q) {
    if (q <= 0) return 0;
    // The sequence, and per product and component a few 128-bit sums.
    return static_cast<uint64_t>(q) * sizeof(int32_t) + static_cast<uint64_t>(nProd + nComp) * 80;
}

void LeerProblema(EstadoSecuenciador& estado, const std::vector<std::string>& lineas, Lectura lectura) {
    estado.NProd = EnteroDeLinea(lineas, 0);
    estado.NComp = EnteroDeLinea(lineas, 1);
    const int64_t n = estado.NProd;
    const int64_t m = estado.NComp;

    if (n <= -2 || (n >= 0 && m <= -2))
        throw ErrorTavelorin(mensajes::kRangoInvalido,
                             "Un recuento negativo no es válido: el número de " +
                                 (n <= -2 ? "productos es " + std::to_string(n) : "componentes es " + std::to_string(m)) +
                                 ".");
    if (n == -1)
        throw ErrorTavelorin("El número de productos no puede ser negativo (-1)");
    if (m == -1)
        throw ErrorTavelorin("El problema necesita al menos la columna de la demanda: "
                             "el número de componentes no puede ser negativo (-1)");

    const uint64_t celdas = static_cast<uint64_t>(n + 1) * static_cast<uint64_t>(m + 1);
    // Up to 2^62 cells: their bytes would wrap to 0 at 2^64.
    ComprobarMemoria(celdas > UINT64_MAX / sizeof(int32_t) ? UINT64_MAX : celdas * sizeof(int32_t));
    try {
        estado.Datos.celdas.assign(celdas, 0);
        estado.Datos.celdas.shrink_to_fit();
    } catch (const std::exception&) {  // bad_alloc, or length_error beyond max_size()
        estado.Datos = MatrizDatos{};
        throw ErrorTavelorin(mensajes::kSinMemoria);
    }
    estado.Datos.filas = n + 1;
    estado.Datos.columnas = m + 1;

    MatrizDatos& datos = estado.Datos;
    for (int64_t i = 1; i <= n; ++i) {
        const size_t indice = static_cast<size_t>(1 + i);
        if (indice >= lineas.size())
            throw ErrorTavelorin(MensajeIndiceFueraDeRango(static_cast<long long>(indice)),
                                 "El problema tiene menos líneas de las que anuncia: " + std::to_string(n) +
                                     " productos, y falta la línea del producto " + std::to_string(i) + ".");
        // Fields in reading order; a missing field reads as the empty text.
        LectorCampos campos(lineas[indice]);
        for (int64_t c = 1; c <= m + 1; ++c) {
            const std::string_view campo = campos.Siguiente();
            const std::optional<int32_t> valor = IntentarTextoAEntero(campo);
            if (!valor) CeldaNoEntera(campo, i, c, m);
            datos(i - 1, c - 1) = *valor;
        }
    }

    // Totals in exact arithmetic; a value outside 32 bits is refused, never wrapped.
    std::vector<int64_t> totales(static_cast<size_t>(m), 0);
    int64_t q = 0;
    for (int64_t i = 0; i < n; ++i) {
        const int64_t demanda = datos(i, m);
        for (int64_t j = 0; j < m; ++j) {
            const int64_t producto = static_cast<int64_t>(datos(i, j)) * demanda;
            if (!Cabe32(producto))
                throw ErrorTavelorin("El consumo del componente " + std::to_string(j + 1) + " por el producto " +
                                     std::to_string(i + 1) + " (" + std::to_string(producto) +
                                     ") se sale del intervalo de los enteros de 32 bits");
            totales[static_cast<size_t>(j)] += producto;
        }
        q += demanda;
    }
    for (int64_t j = 0; j < m; ++j) {
        const int64_t total = totales[static_cast<size_t>(j)];
        if (!Cabe32(total))
            throw ErrorTavelorin("El consumo total del componente " + std::to_string(j + 1) + " (" +
                                 std::to_string(total) + ") se sale del intervalo de los enteros de 32 bits");
    }
    if (!Cabe32(q))
        throw ErrorTavelorin("La demanda total (" + std::to_string(q) +
                             ") se sale del intervalo de los enteros de 32 bits");
    ComprobarLimites(n, m, q, totales, lectura);

    for (int64_t j = 0; j < m; ++j) datos(n, j) = static_cast<int32_t>(totales[static_cast<size_t>(j)]);
    estado.Q = static_cast<int32_t>(q);
    datos(n, m) = estado.Q;
}

}  // namespace tavelorin
