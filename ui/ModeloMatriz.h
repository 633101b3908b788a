// Table model over the grid texts. Row 0 and column 0 are shown as the view's headers
// while they are fixed, and as ordinary cells once they are not.
#pragma once

#include <QAbstractTableModel>

#include "core/MatrizProblema.h"

namespace tavelorin {

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
    // The Items resize (see MatrizProblema::CambiarDimensiones); false when the size
    // was already that one and nothing changed.
    bool CambiarDimensiones(int64_t filas, int64_t columnas);
    void PonerCelda(int32_t columna, int32_t fila, const QString& texto);
    QString Celda(int32_t columna, int32_t fila) const;

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
    // The user changed a cell's text through the view (typing, pasting).
    void CeldaEditada();

private:
    // Runs a change of the whole grid with the view reset around it, even when it fails.
    template <class Cambio>
    void CambiarTodo(Cambio&& cambio);

    MatrizProblema matriz_;
};

}  // namespace tavelorin
