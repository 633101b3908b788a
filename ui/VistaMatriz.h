// The grid view: 50 x 24 pixel cells edited in place, fixed header row and column,
// no resizing or moving of sections. It edits like a spreadsheet: typing replaces a cell,
// F2 edits it, Enter commits and moves down, the arrows move between cells, Tab leaves the
// grid (also while a cell is being edited, after committing it); Ctrl+C / Ctrl+X / Ctrl+V
// copy, cut and paste blocks, Delete and Backspace clear the selection, Ctrl+Z and
// Ctrl+Y / Ctrl+Shift+Z undo and redo; the context menu offers the same. It reports every
// paint so the window can follow the grid's completeness.
#pragma once

#include <QModelIndex>
#include <QPointer>
#include <QTableView>
#include <optional>

#include "ui/DeshacerMatriz.h"

class QAction;
class QLineEdit;
class QMenu;

namespace tavelorin {

class Dialogos;
class ModeloMatriz;

class VistaMatriz : public QTableView {
    Q_OBJECT
public:
    explicit VistaMatriz(ModeloMatriz* modelo, QWidget* padre = nullptr);
    using QTableView::edit;

    // The editing commands act through edicion; their questions and errors go through
    // dialogos. Until then the view only edits single cells.
    void FijarEdicion(EdicionMatriz* edicion, Dialogos* dialogos);

    // Shows or hides the headers to match the model's fixed row and column.
    void AjustarCabeceras();

    // Commits the text being typed into a cell, if any, and closes its editor.
    void ConfirmarEdicion();
    // The text of the open editor while a cell is being edited.
    std::optional<QString> TextoEnEdicion() const;
    // Whether every data cell holds a text, counting the one being typed.
    bool CompletaEnPantalla() const;

    // The selected rectangle in grid coordinates: the current cell when nothing else is
    // selected, empty when there is no current cell.
    RangoCeldas RangoSeleccionado() const;
    // Selects the rectangle and makes its top-left cell current and visible.
    void SeleccionarRango(const RangoCeldas& rango);
    // The first data cell current, the grid scrolled to its top-left corner.
    void IrAlPrincipio();
    // The width that shows every column (headers, frame and vertical scroll bar included).
    int AnchoParaTodasLasColumnas() const;

    // A new context menu: Copiar, Cortar, Pegar, Borrar, Deshacer, Rehacer, each enabled
    // when it can act. The caller takes it.
    QMenu* MenuContextual();

    // The editing commands, as the keys and the context menu run them.
    void Copiar();
    void Cortar();
    void Pegar();
    void Borrar();
    void Deshacer();
    void Rehacer();

signals:
    void CeldasDibujadas();
    // The text being typed into a cell changed, or its editor closed.
    void EdicionCambiada();

protected:
    // F2 and a double click keep the cell's text with the cursor at its end; a typed key
    // replaces it.
    bool edit(const QModelIndex& indice, EditTrigger disparo, QEvent* evento) override;
    bool event(QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void contextMenuEvent(QContextMenuEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    friend class DelegadoMatriz;
    enum class Orden { Ninguna, Copiar, Cortar, Pegar, Borrar, Deshacer, Rehacer, Bajar, Subir, Adelante, Atras };
    static Orden OrdenDeTecla(const QKeyEvent& tecla);
    void Hacer(Orden orden);
    // Runs an editing command under the failure handler.
    template <class Accion>
    void Ejecutar(Accion&& accion);
    // The editor's life, as the delegate reports it.
    void EditorAbierto(QLineEdit* editor, const QModelIndex& indice);
    void EditorCambiado();
    void EditorCerrado();
    // After the cell being edited was committed: Tab and Shift+Tab (Adelante, Atras)
    // leave the grid, Enter and Shift+Enter (Bajar, Subir) move down or up.
    void SalirDelEditor(Orden orden);
    void CrearAcciones();

    ModeloMatriz* modelo_;
    EdicionMatriz* edicion_ = nullptr;
    Dialogos* dialogos_ = nullptr;
    QPointer<QLineEdit> editor_;
    QPersistentModelIndex indiceEditado_;
    QAction* copiar_ = nullptr;
    QAction* cortar_ = nullptr;
    QAction* pegar_ = nullptr;
    QAction* borrar_ = nullptr;
    QAction* deshacer_ = nullptr;
    QAction* rehacer_ = nullptr;
};

}  // namespace tavelorin
