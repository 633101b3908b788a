// Table model over the grid texts. Row 0 and column 0 are shown as the view's headers
// while they are fixed, and as cells that cannot be edited or selected once they are not.
// Data cells whose text is not an integer are tinted and say so in their tool tip.
#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include "core/MatrizProblema.h"

namespace tavelorin {

class EdicionMatriz;

class ModeloMatriz : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloMatriz(QObject* padre = nullptr);

    const MatrizProblema& Matriz() const { return matriz_; }

    // Grid operations; each keeps the view in step.
    void FijarFilas(int64_t filas);
    void FijarColumnas(int64_t columnas);
    void Rotular();
    // Problem lines into the cells (see CargarLineas); the view follows even on failure.
    void Cargar(const std::vector<std::string>& lineas);
    // A whole new grid in place of the current one.
    void Reemplazar(MatrizProblema nueva);
    void PonerCelda(int32_t columna, int32_t fila, const QString& texto);
    QString Celda(int32_t columna, int32_t fila) const;

    // What the undo steps do: swap a block of texts (one dataChanged), or the whole grid
    // (one reset), returning the grid that was there.
    void IntercambiarBloque(int32_t columna, int32_t fila, BloqueTexto& bloque);
    MatrizProblema IntercambiarMatriz(MatrizProblema nueva);

    // Edits through the view (setData) become undo steps of edicion; without one they
    // change the cell directly.
    void FijarEdicion(EdicionMatriz* edicion) { edicion_ = edicion; }

    // Grid coordinates of a view index and back; an invalid index for a cell that the
    // view shows in a header.
    QModelIndex IndiceDeCelda(int32_t columna, int32_t fila) const;
    int32_t ColumnaDe(const QModelIndex& indice) const { return indice.column() + DesplazamientoColumna(); }
    int32_t FilaDe(const QModelIndex& indice) const { return indice.row() + DesplazamientoFila(); }
    static bool EsCabecera(int32_t columna, int32_t fila) { return columna == 0 || fila == 0; }
    // A text that a solve converts: empty texts are missing, not wrong.
    static bool EsEnteroOVacio(const std::string& texto);
    // "No es un número entero": the tool tip of a cell that will not convert.
    static QString MensajeNoEntero();
    // The tint of such a cell.
    static QColor ColorNoEntero();

    // Offsets from view coordinates to grid coordinates.
    int DesplazamientoFila() const { return matriz_.FilaFija() ? 1 : 0; }
    int DesplazamientoColumna() const { return matriz_.ColumnaFija() ? 1 : 0; }

    int rowCount(const QModelIndex& padre = QModelIndex()) const override;
    int columnCount(const QModelIndex& padre = QModelIndex()) const override;
    QVariant data(const QModelIndex& indice, int rol = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int rol = Qt::EditRole) override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;

signals:
    // The fixed header row or column was given up or taken back.
    void CabecerasCambiadas();

private:
    // Runs a change of the whole grid with the view reset around it, even when it fails.
    template <class Cambio>
    void CambiarTodo(Cambio&& cambio);

    MatrizProblema matriz_;
    EdicionMatriz* edicion_ = nullptr;
};

}  // namespace tavelorin
