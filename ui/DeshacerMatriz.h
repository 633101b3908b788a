// The grid's edits as undo steps: typing into a cell, pasting a block (with the grid
// enlarged when the block needs it), clearing cells, and the Items resize. The undo
// stack's clean state says whether the problem holds changes that no file has.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

#include "core/BloqueTexto.h"
#include "core/MatrizProblema.h"

class QUndoCommand;
class QUndoStack;

namespace tavelorin {

class ModeloMatriz;

// A rectangle of grid cells, in grid coordinates (row 0 and column 0 are the headers).
struct RangoCeldas {
    int32_t columna = 0;
    int32_t fila = 0;
    int32_t columnas = 0;
    int32_t filas = 0;
    bool Vacio() const { return columnas <= 0 || filas <= 0; }
    bool operator==(const RangoCeldas&) const = default;
};

class EdicionMatriz : public QObject {
    Q_OBJECT
public:
    // Becomes the model's way of taking the view's edits.
    explicit EdicionMatriz(ModeloMatriz& modelo, QObject* padre = nullptr);

    QUndoStack& Pila() { return *pila_; }
    const ModeloMatriz& Modelo() const { return modelo_; }

    // Each of these is one undo step; none is made when nothing would change.
    void Editar(int32_t columna, int32_t fila, const QString& texto);
    // Empties the data cells of the range.
    void Borrar(const RangoCeldas& rango);
    // The block's texts into the cells from (columna, fila), a data cell, rightwards and
    // downwards. When the block goes beyond the data area, ampliar is asked once with the
    // products and components the grid would need: true enlarges the grid as Items does
    // (every usage and demand kept) within the same step, false pastes only what fits.
    // A size the grid cannot take fails before anything is asked. Returns the cells
    // written.
    RangoCeldas Pegar(int32_t columna, int32_t fila, BloqueTexto bloque,
                      const std::function<bool(int32_t productos, int32_t componentes)>& ampliar);
    // The Items resize (MatrizProblema::CambiarDimensiones); false when the size is
    // already that one. Fails as the resize does, before anything changes.
    bool Dimensionar(int64_t filas, int64_t columnas);

    // Another problem in the grid: the undo history is forgotten, and the problem counts
    // as saved unless modificado.
    void Empezar(MatrizProblema problema, bool modificado);
    // The problem was written to a file.
    void MarcarGuardado();
    bool Modificado() const;

    // "El bloque no cabe en la rejilla. ¿Ampliarla a N productos y M componentes? ..."
    static QString PreguntaAmpliar(int32_t productos, int32_t componentes);

signals:
    // After every step, undo, redo, save and new problem: whether the problem differs
    // from the one last saved or loaded.
    void ModificadoCambiado(bool modificado);
    // A block was pasted or cleared, or an edit undone or redone: the cells it changed.
    void RangoCambiado(const tavelorin::RangoCeldas& rango);

private:
    void Empujar(QUndoCommand* paso);

    ModeloMatriz& modelo_;
    QUndoStack* pila_;
};

}  // namespace tavelorin
