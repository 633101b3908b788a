// The texts of the problem grid: row 0 and column 0 hold labels; product r is row r,
// component c is column c, and the last column holds the demands. Nothing is converted
// here: a solve reads the exported problem lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/BloqueTexto.h"
#include "core/FuenteLineas.h"

namespace tavelorin {

class MatrizProblema {
public:
    // The largest row count the grid accepts.
    static constexpr int64_t kFilasMaximas = 134217725;

    // As the window creates it: 5 rows by 4 columns, no labels, every cell empty.
    MatrizProblema();

    int32_t Filas() const { return filas_; }
    int32_t Columnas() const { return columnas_; }
    // Row 0 / column 0 are fixed headers whenever there is a data row / column besides
    // them; a grid of one row (or column) shows it as an ordinary one.
    bool FilaFija() const { return filas_ > 1; }
    bool ColumnaFija() const { return columnas_ > 1; }

    // New counts; 0 or less gives 1. New cells are empty, cells beyond the count are
    // dropped. "Grid too large for operation" above kFilasMaximas rows; "Out of memory"
    // when the cells would not fit. A failure changes nothing.
    void FijarFilas(int64_t filas);
    void FijarColumnas(int64_t columnas);
    void FijarTamano(int64_t filas, int64_t columnas);
    // Throws what sizing the grid to these counts would throw, and changes nothing.
    static void ComprobarTamano(int64_t filas, int64_t columnas);

    // The problem resized to filas x columnas, keeping what still fits: the usages of the
    // remaining products and components, and each remaining product's demand, which moves
    // to the new demand column. New cells are empty and the labels are rewritten. Fails
    // as FijarTamano does, before changing anything.
    void CambiarDimensiones(int64_t filas, int64_t columnas);

    // The texts CambiarDimensiones would drop: the products and components that go (a
    // range, given only when one of its cells holds a text) and the demands, when the
    // demand column itself goes.
    struct Perdida {
        int32_t productoDesde = 0, productoHasta = 0;      // 0: no product loses a text
        int32_t componenteDesde = 0, componenteHasta = 0;  // 0: no component loses a text
        bool demandas = false;
        bool Ninguna() const { return productoDesde == 0 && componenteDesde == 0 && !demandas; }
    };
    Perdida PerdidaAlCambiar(int64_t filas, int64_t columnas) const;

    const std::string& Celda(int32_t columna, int32_t fila) const {
        return celdas_[static_cast<size_t>(fila) * static_cast<size_t>(columnas_) + static_cast<size_t>(columna)];
    }
    // Cells hold one line each: tabs and line breaks become spaces (LimpiarTextoCelda).
    void PonerCelda(int32_t columna, int32_t fila, std::string texto);

    // The texts of the rectangle of columnas x filas cells whose top-left cell is
    // (columna, fila), clipped to the grid.
    BloqueTexto Bloque(int32_t columna, int32_t fila, int32_t columnas, int32_t filas) const;
    // Swaps the block's texts with those of the cells it covers from (columna, fila); the
    // part of the block beyond the grid is left alone. What enters the grid is cleaned as
    // PonerCelda cleans it, so swapping the same block again restores both.
    void IntercambiarBloque(int32_t columna, int32_t fila, BloqueTexto& bloque);

    // Labels ("Pr/Co", product numbers, component numbers, "Qj") and empty data cells.
    void Rotular();

    // True when no data cell (row >= 1, column >= 1) is empty. Constant time.
    bool Completa() const { return vacias_ == 0; }
    int64_t CeldasVacias() const { return vacias_; }

    // The problem lines: R-1, C-2, then each product row's cells 1..C-1 joined by tabs.
    std::vector<std::string> LineasProblema() const;

private:
    // Moves the cells that keep their place (and, with conservarDemandas, the demands)
    // into a grid of the new size.
    void Redimensionar(int64_t filas, int64_t columnas, bool conservarDemandas = false);
    void RotularCabeceras();
    void ContarVacias();
    static bool EsDato(int32_t columna, int32_t fila) { return columna >= 1 && fila >= 1; }

    int32_t filas_ = 0;
    int32_t columnas_ = 0;
    int64_t vacias_ = 0;
    std::vector<std::string> celdas_;
};

// Loads problem lines into the grid as texts: the row count becomes line 1 + 1, the
// column count line 2 + 2, the grid is labelled, and each product row r takes the
// fields of line r + 2. Fails at the first missing line or bad count, leaving the grid
// as far as it got. Lines are taken from the source only as they are needed, so nothing
// after the last product line is read.
void CargarLineas(MatrizProblema& matriz, FuenteLineas& lineas);
void CargarLineas(MatrizProblema& matriz, const std::vector<std::string>& lineas);

}  // namespace tavelorin
