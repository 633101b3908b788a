#include "core/Problema.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>
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

// a * b, or UINT64_MAX when it does not fit.
uint64_t Por(uint64_t a, uint64_t b) {
    uint64_t r = 0;
    return __builtin_mul_overflow(a, b, &r) ? UINT64_MAX : r;
}

uint64_t Mas(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

}  // namespace

uint64_t MemoriaNecesaria(int64_t nProd, int64_t nComp, int64_t q) {
    if (q <= 0) return 0;
    const uint64_t n = static_cast<uint64_t>(std::max<int64_t>(nProd, 0));
    const uint64_t m = static_cast<uint64_t>(std::max<int64_t>(nComp, 0));
    const uint64_t etapas = static_cast<uint64_t>(q);
    // Per stage: the choice, n distances, m consumptions (at most 8 bytes); the units every
    // kPasoUnidades stages; the report's index (a text offset a stage, and the text of
    // the final sequence, a product number and a tab each).
    const uint64_t porEtapa = Mas(Mas(sizeof(int32_t), Por(n, sizeof(double))), Por(m, sizeof(int64_t)));
    const uint64_t bloques = etapas / TablaEtapas::kPasoUnidades + 1;
    const uint64_t indice = Por(etapas, sizeof(int64_t) + static_cast<uint64_t>(AnchoEnteroInforme(nProd)) + 1 + 2);
    return Mas(Mas(Mas(Por(etapas, porEtapa), Por(bloques, Por(n, sizeof(int32_t)))), indice), Por(m, sizeof(int32_t)));
}

uint64_t MemoriaTextoInforme(int64_t nProd, int64_t nComp, int64_t q) {
    if (q <= 0) return 0;
    // Sequence cells are product numbers, the rest at most 12 characters; each cell is
    // followed by a tab, and each line carries a string header.
    const uint64_t anchoProducto = static_cast<uint64_t>(AnchoEnteroInforme(nProd)) + 1;
    const uint64_t otras = static_cast<uint64_t>(1 + 2 * std::max<int64_t>(nProd, 0) + 2 * std::max<int64_t>(nComp, 0));
    const uint64_t porLinea = Mas(Mas(Por(static_cast<uint64_t>(q), anchoProducto), Por(otras, 13)), 64);
    const uint64_t informe = Por(static_cast<uint64_t>(q) + 1, porLinea);
    const uint64_t secuencia = Por(static_cast<uint64_t>(q), 48);
    return Mas(informe, secuencia);
}

// --- BloqueCeros ---

BloqueCeros::BloqueCeros(uint64_t bytes) {
    if (bytes == 0) return;
    // calloc: fresh pages come zeroed from the system and are not written twice.
    datos_ = bytes <= SIZE_MAX ? static_cast<char*>(std::calloc(static_cast<size_t>(bytes), 1)) : nullptr;
    if (datos_ == nullptr) throw ErrorTavelorin(mensajes::kSinMemoria);
}

BloqueCeros::~BloqueCeros() { std::free(datos_); }

BloqueCeros::BloqueCeros(BloqueCeros&& otro) noexcept : datos_(std::exchange(otro.datos_, nullptr)) {}

BloqueCeros& BloqueCeros::operator=(BloqueCeros&& otro) noexcept {
    if (this != &otro) {
        std::free(datos_);
        datos_ = std::exchange(otro.datos_, nullptr);
    }
    return *this;
}

double TablaEtapas::Ideal(int32_t fila, int32_t j) const {
    const int32_t k = fila + 1;
    const int32_t kn = static_cast<int32_t>(static_cast<int64_t>(k) * datos->totales[static_cast<size_t>(j - 1)]);
    return static_cast<double>(static_cast<long double>(kn) / static_cast<long double>(filas));
}

void TablaEtapas::Unidades(int32_t fila, int32_t* unidades) const {
    // From the units stored at the start of the block of this stage, count the choices.
    const int32_t bloque = (fila + 1) / kPasoUnidades;
    const int32_t* base = datos->unidades + static_cast<int64_t>(bloque) * nProd;
    for (int32_t p = 0; p < nProd; ++p) unidades[p] = base[p];
    const int32_t* e = datos->elecciones;
    for (int32_t f = bloque * kPasoUnidades; f <= fila; ++f)
        if (e[f] != 0) ++unidades[e[f] - 1];
}

int32_t TablaEtapas::UnidadesDe(int32_t fila, int32_t p) const {
    const int32_t bloque = (fila + 1) / kPasoUnidades;
    int32_t u = datos->unidades[static_cast<int64_t>(bloque) * nProd + (p - 1)];
    const int32_t* e = datos->elecciones;
    for (int32_t f = bloque * kPasoUnidades; f <= fila; ++f) u += e[f] == p;
    return u;
}

double TablaEtapas::Celda(int32_t fila, int64_t columna) const {
    if (columna == 0) return static_cast<double>(fila + 1);
    if (fila >= hechas) return 0;
    if (columna <= nProd) return Distancias(fila)[columna - 1];
    columna -= nProd;
    if (columna <= filas) return columna <= fila + 1 ? static_cast<double>(Eleccion(static_cast<int32_t>(columna - 1))) : 0;
    columna -= filas;
    if (columna <= nComp) return static_cast<double>(Consumo(fila, static_cast<int32_t>(columna - 1)));
    columna -= nComp;
    if (columna <= nProd) return static_cast<double>(UnidadesDe(fila, static_cast<int32_t>(columna)));
    return Ideal(fila, static_cast<int32_t>(columna - nProd));
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
