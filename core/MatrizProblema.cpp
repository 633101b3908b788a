#include "core/MatrizProblema.h"

#include <algorithm>
#include <new>

#include "core/Errores.h"
#include "core/Memoria.h"
#include "core/TextoEntero.h"

namespace tavelorin {

MatrizProblema::MatrizProblema() { Redimensionar(5, 4); }

void MatrizProblema::ComprobarTamano(int64_t filas, int64_t columnas) {
    filas = std::max<int64_t>(filas, 1);
    columnas = std::max<int64_t>(columnas, 1);
    if (filas > kFilasMaximas) throw ErrorTavelorin("Grid too large for operation");
    if (columnas > INT32_MAX) throw ErrorTavelorin(mensajes::kSinMemoria);
    const uint64_t celdas = static_cast<uint64_t>(filas) * static_cast<uint64_t>(columnas);
    // Each cell costs its text and a share of what the window keeps for it; leave as
    // much again for solving the problem the grid holds.
    constexpr uint64_t kBytesPorCelda = 2 * 64;
    if (celdas > UINT64_MAX / kBytesPorCelda) throw ErrorTavelorin(mensajes::kSinMemoria);
    ComprobarMemoria(celdas * kBytesPorCelda);
}

void MatrizProblema::Redimensionar(int64_t filas, int64_t columnas, bool conservarDemandas) {
    filas = std::max<int64_t>(filas, 1);
    columnas = std::max<int64_t>(columnas, 1);
    if (filas == filas_ && columnas == columnas_) return;
    ComprobarTamano(filas, columnas);
    const uint64_t celdas = static_cast<uint64_t>(filas) * static_cast<uint64_t>(columnas);
    std::vector<std::string> nuevas;
    try {
        nuevas.resize(celdas);
    } catch (const std::bad_alloc&) {
        throw ErrorTavelorin(mensajes::kSinMemoria);
    }
    const auto mover = [&](int64_t r, int64_t cDesde, int64_t cHasta) {
        nuevas[static_cast<size_t>(r * columnas + cHasta)] = std::move(celdas_[static_cast<size_t>(r * columnas_ + cDesde)]);
    };
    const int64_t filasComunes = std::min<int64_t>(filas, filas_);
    // Kept in place: every common cell, or, when the demands follow their column, the
    // labels and usages of the components both sizes have.
    const bool demandasMovidas = conservarDemandas && columnas >= 2 && columnas_ >= 2;
    const int64_t columnasComunes = conservarDemandas ? std::min<int64_t>(columnas, columnas_) - (demandasMovidas ? 1 : 0)
                                                      : std::min<int64_t>(columnas, columnas_);
    for (int64_t r = 0; r < filasComunes; ++r) {
        for (int64_t c = 0; c < columnasComunes; ++c) mover(r, c, c);
        if (demandasMovidas) mover(r, columnas_ - 1, columnas - 1);
    }
    celdas_ = std::move(nuevas);
    filas_ = static_cast<int32_t>(filas);
    columnas_ = static_cast<int32_t>(columnas);
    ContarVacias();
}

void MatrizProblema::ContarVacias() {
    vacias_ = 0;
    for (int32_t r = 1; r < filas_; ++r)
        for (int32_t c = 1; c < columnas_; ++c)
            if (Celda(c, r).empty()) ++vacias_;
}

void MatrizProblema::FijarFilas(int64_t filas) { Redimensionar(filas, columnas_); }

void MatrizProblema::FijarColumnas(int64_t columnas) { Redimensionar(filas_, columnas); }

void MatrizProblema::FijarTamano(int64_t filas, int64_t columnas) { Redimensionar(filas, columnas); }

void MatrizProblema::CambiarDimensiones(int64_t filas, int64_t columnas) {
    Redimensionar(filas, columnas, true);
    RotularCabeceras();
}

MatrizProblema::Perdida MatrizProblema::PerdidaAlCambiar(int64_t filas, int64_t columnas) const {
    filas = std::max<int64_t>(filas, 1);
    columnas = std::max<int64_t>(columnas, 1);
    Perdida p;
    const auto conTexto = [this](int32_t rDesde, int32_t rHasta, int32_t cDesde, int32_t cHasta) {
        for (int32_t r = rDesde; r <= rHasta; ++r)
            for (int32_t c = cDesde; c <= cHasta; ++c)
                if (!Celda(c, r).empty()) return true;
        return false;
    };
    // Products that go: every data cell of their rows.
    if (filas < filas_ && conTexto(static_cast<int32_t>(filas), filas_ - 1, 1, columnas_ - 1)) {
        p.productoDesde = static_cast<int32_t>(filas);
        p.productoHasta = filas_ - 1;
    }
    const int32_t filasQueQuedan = static_cast<int32_t>(std::min<int64_t>(filas, filas_)) - 1;
    // Components that go, in the rows that stay.
    const int64_t mNuevo = std::max<int64_t>(columnas - 2, 0);
    const int32_t mViejo = std::max(columnas_ - 2, 0);
    if (mNuevo < mViejo && conTexto(1, filasQueQuedan, static_cast<int32_t>(mNuevo) + 1, mViejo)) {
        p.componenteDesde = static_cast<int32_t>(mNuevo) + 1;
        p.componenteHasta = mViejo;
    }
    // The demand column itself goes when a single column is left.
    if (columnas == 1 && columnas_ >= 2) p.demandas = conTexto(1, filasQueQuedan, columnas_ - 1, columnas_ - 1);
    return p;
}

void MatrizProblema::PonerCelda(int32_t columna, int32_t fila, std::string texto) {
    if (columna < 0 || fila < 0 || columna >= columnas_ || fila >= filas_) return;
    LimpiarTextoCelda(texto);
    std::string& celda =
        celdas_[static_cast<size_t>(fila) * static_cast<size_t>(columnas_) + static_cast<size_t>(columna)];
    if (EsDato(columna, fila)) vacias_ += static_cast<int64_t>(texto.empty()) - static_cast<int64_t>(celda.empty());
    celda = std::move(texto);
}

BloqueTexto MatrizProblema::Bloque(int32_t columna, int32_t fila, int32_t columnas, int32_t filas) const {
    const int32_t c0 = std::clamp(columna, 0, columnas_), f0 = std::clamp(fila, 0, filas_);
    const int32_t c1 = static_cast<int32_t>(std::clamp<int64_t>(int64_t{columna} + columnas, c0, columnas_));
    const int32_t f1 = static_cast<int32_t>(std::clamp<int64_t>(int64_t{fila} + filas, f0, filas_));
    BloqueTexto bloque(f1 - f0, c1 - c0);
    for (int32_t f = f0; f < f1; ++f)
        for (int32_t c = c0; c < c1; ++c) bloque.Celda(c - c0, f - f0) = Celda(c, f);
    return bloque;
}

void MatrizProblema::IntercambiarBloque(int32_t columna, int32_t fila, BloqueTexto& bloque) {
    for (int32_t f = std::max(0, -fila); f < bloque.filas && int64_t{fila} + f < filas_; ++f) {
        for (int32_t c = std::max(0, -columna); c < bloque.columnas && int64_t{columna} + c < columnas_; ++c) {
            const int32_t cc = columna + c, ff = fila + f;
            std::string& entra = bloque.Celda(c, f);
            std::string& celda =
                celdas_[static_cast<size_t>(ff) * static_cast<size_t>(columnas_) + static_cast<size_t>(cc)];
            LimpiarTextoCelda(entra);
            if (EsDato(cc, ff)) vacias_ += static_cast<int64_t>(entra.empty()) - static_cast<int64_t>(celda.empty());
            celda.swap(entra);
        }
    }
}

void MatrizProblema::RotularCabeceras() {
    PonerCelda(0, 0, "Pr/Co");
    for (int32_t r = 1; r < filas_; ++r) PonerCelda(0, r, std::to_string(r));
    for (int32_t c = 1; c <= columnas_ - 2; ++c) PonerCelda(c, 0, std::to_string(c));
    PonerCelda(columnas_ - 1, 0, "Qj");
}

void MatrizProblema::Rotular() {
    RotularCabeceras();
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
    // Counts in 32-bit wrapping arithmetic, as the grid's own counts are.
    uint32_t n = 0;
    // The next line, or which one is missing and what it should hold.
    auto siguiente = [&]() -> const std::string& {
        if (lineas.Siguiente(texto)) {
            ++leidas;
            return texto;
        }
        std::string explicacion;
        if (leidas == 0)
            explicacion = "El archivo está vacío: falta la primera línea, el número de productos.";
        else if (leidas == 1)
            explicacion = "Falta la segunda línea del archivo, el número de componentes.";
        else
            explicacion = "El archivo tiene menos líneas de las que anuncia su cabecera: la primera línea anuncia " +
                          std::to_string(static_cast<int32_t>(n)) +
                          " productos, uno por línea desde la tercera, y el archivo termina en la línea " +
                          std::to_string(leidas) + ", antes de la del producto " + std::to_string(leidas - 1) + ".";
        throw ErrorTavelorin(MensajeIndiceFueraDeRango(static_cast<long long>(leidas)), std::move(explicacion));
    };
    auto recuento = [&](const char* que) -> uint32_t {
        const bool primera = leidas == 0;
        const std::string& t = siguiente();
        if (const auto v = IntentarTextoAEntero(t)) return static_cast<uint32_t>(*v);
        LanzarEnteroInvalido(t, std::string(primera ? "La primera" : "La segunda") + " línea del archivo (" + que +
                                    ") no es un número entero.");
    };
    n = recuento("el número de productos");
    matriz.FijarFilas(static_cast<int32_t>(n + 1u));
    const uint32_t m = recuento("el número de componentes");
    matriz.FijarColumnas(static_cast<int32_t>(m + 2u));
    matriz.Rotular();
    for (int32_t r = 1; r < matriz.Filas(); ++r) {
        // The fields the line lacks stay empty.
        LectorCampos campos(siguiente());
        for (int32_t c = 1; c < matriz.Columnas() && !campos.Agotada(); ++c)
            matriz.PonerCelda(c, r, std::string(campos.Siguiente()));
    }
}

void CargarLineas(MatrizProblema& matriz, const std::vector<std::string>& lineas) {
    LineasDeLista fuente(lineas);
    CargarLineas(matriz, fuente);
}

}  // namespace tavelorin
