#include "core/MatrizProblema.h"

#include <new>

#include "core/Errores.h"
#include "core/Memoria.h"
#include "core/TextoEntero.h"

namespace tavelorin {

MatrizProblema::MatrizProblema() { Redimensionar(5, 4); }

void MatrizProblema::Redimensionar(int64_t filas, int64_t columnas) {
    if (filas < 1) filas = 1;
    if (columnas < 1) columnas = 1;
    if (filas == filas_ && columnas == columnas_) return;
    if (filas > kFilasMaximas) throw ErrorTavelorin("Grid too large for operation");
    const uint64_t celdas = static_cast<uint64_t>(filas) * static_cast<uint64_t>(columnas);
    if (columnas > INT32_MAX) throw ErrorTavelorin(mensajes::kSinMemoria);
    // Each cell costs its text and a share of what the window keeps for it; leave as
    // much again for solving the problem the grid holds.
    constexpr uint64_t kBytesPorCelda = 2 * 64;
    if (celdas > UINT64_MAX / kBytesPorCelda) throw ErrorTavelorin(mensajes::kSinMemoria);
    ComprobarMemoria(celdas * kBytesPorCelda);
    std::vector<std::string> nuevas;
    try {
        nuevas.resize(celdas);
    } catch (const std::bad_alloc&) {
        throw ErrorTavelorin(mensajes::kSinMemoria);
    }
    const int64_t filasComunes = std::min<int64_t>(filas, filas_);
    const int64_t columnasComunes = std::min<int64_t>(columnas, columnas_);
    for (int64_t r = 0; r < filasComunes; ++r)
        for (int64_t c = 0; c < columnasComunes; ++c)
            nuevas[static_cast<size_t>(r * columnas + c)] =
                std::move(celdas_[static_cast<size_t>(r * columnas_ + c)]);
    celdas_ = std::move(nuevas);
    filas_ = static_cast<int32_t>(filas);
    columnas_ = static_cast<int32_t>(columnas);
    if (filas_ == 1) filaFija_ = false;
    if (columnas_ == 1) columnaFija_ = false;
    vacias_ = 0;
    for (int32_t r = 1; r < filas_; ++r)
        for (int32_t c = 1; c < columnas_; ++c)
            if (Celda(c, r).empty()) ++vacias_;
}

void MatrizProblema::FijarFilas(int64_t filas) { Redimensionar(filas, columnas_); }

void MatrizProblema::FijarColumnas(int64_t columnas) { Redimensionar(filas_, columnas); }

void MatrizProblema::PonerCelda(int32_t columna, int32_t fila, std::string texto) {
    if (columna < 0 || fila < 0 || columna >= columnas_ || fila >= filas_) return;
    std::string& celda =
        celdas_[static_cast<size_t>(fila) * static_cast<size_t>(columnas_) + static_cast<size_t>(columna)];
    if (EsDato(columna, fila)) vacias_ += static_cast<int64_t>(texto.empty()) - static_cast<int64_t>(celda.empty());
    celda = std::move(texto);
}

void MatrizProblema::Rotular() {
    PonerCelda(0, 0, "Pr/Co");
    for (int32_t r = 1; r < filas_; ++r) PonerCelda(0, r, std::to_string(r));
    for (int32_t c = 1; c <= columnas_ - 2; ++c) PonerCelda(c, 0, std::to_string(c));
    PonerCelda(columnas_ - 1, 0, "Qj");
    for (int32_t r = 1; r < filas_; ++r)
        for (int32_t c = 1; c < columnas_; ++c) {
            std::string& celda = celdas_[static_cast<size_t>(r) * static_cast<size_t>(columnas_) + static_cast<size_t>(c)];
            celda.clear();
            celda.shrink_to_fit();
        }
    vacias_ = static_cast<int64_t>(filas_ - 1) * static_cast<int64_t>(columnas_ - 1);
}

std::vector<std::string> MatrizProblema::LineasProblema() const {
    std::vector<std::string> lineas;
    lineas.reserve(static_cast<size_t>(filas_) + 1);
    lineas.push_back(std::to_string(filas_ - 1));
    lineas.push_back(std::to_string(columnas_ - 2));
    for (int32_t r = 1; r < filas_; ++r) {
        std::string linea;
        for (int32_t c = 1; c < columnas_; ++c) {
            if (c > 1) linea.push_back('\t');
            linea.append(Celda(c, r));
        }
        lineas.push_back(std::move(linea));
    }
    return lineas;
}

void CargarLineas(MatrizProblema& matriz, FuenteLineas& lineas) {
    // Lines are taken in order, each only when it is needed: nothing after the last
    // product line is read.
    std::string texto;
    size_t leidas = 0;
    auto siguiente = [&]() -> const std::string& {
        if (!lineas.Siguiente(texto)) throw ErrorTavelorin(MensajeIndiceFueraDeRango(static_cast<long long>(leidas)));
        ++leidas;
        return texto;
    };
    // Counts in 32-bit wrapping arithmetic, as the grid's own counts are.
    const uint32_t n = static_cast<uint32_t>(TextoAEntero(siguiente()));
    matriz.FijarFilas(static_cast<int32_t>(n + 1u));
    const uint32_t m = static_cast<uint32_t>(TextoAEntero(siguiente()));
    matriz.FijarColumnas(static_cast<int32_t>(m + 2u));
    matriz.Rotular();
    for (int32_t r = 1; r < matriz.Filas(); ++r) {
        std::string_view resto = siguiente();
        for (int32_t c = 1; c < matriz.Columnas(); ++c) {
            const size_t tab = resto.find('\t');
            if (tab == std::string_view::npos) {
                matriz.PonerCelda(c, r, std::string(resto));
                break;  // the fields the line lacks stay empty
            }
            matriz.PonerCelda(c, r, std::string(resto.substr(0, tab)));
            resto.remove_prefix(tab + 1);
        }
    }
}

void CargarLineas(MatrizProblema& matriz, const std::vector<std::string>& lineas) {
    LineasDeLista fuente(lineas);
    CargarLineas(matriz, fuente);
}

}  // namespace tavelorin
