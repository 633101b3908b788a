#include "ui/VistaMatriz.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QUndoStack>

#include "ui/Dialogos.h"
#include "ui/Fuentes.h"
#include "ui/ManejoErrores.h"
#include "ui/ModeloMatriz.h"
#include "ui/PortapapelesMatriz.h"

namespace tavelorin {

namespace {
constexpr int kAnchoColumna = 50;
constexpr int kAltoFila = 24;
}  // namespace

// Line editors that tell the view what is being typed, and keys that leave a cell the
// way the grid leaves it: Tab out of the grid, Enter down.
class DelegadoMatriz : public QStyledItemDelegate {
    // More than one cell: a tab, a semicolon or a line break before the end.
    static bool EsBloque(const QMimeData* datos) {
        if (!HayBloque(datos)) return false;
        const BloqueTexto bloque = BloqueDeDatos(*datos);
        return bloque.filas * static_cast<int64_t>(bloque.columnas) > 1;
    }

public:
    explicit DelegadoMatriz(VistaMatriz* vista) : QStyledItemDelegate(vista), vista_(vista) {}

    QWidget* createEditor(QWidget* padre, const QStyleOptionViewItem& opcion, const QModelIndex& indice) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(padre, opcion, indice);
        if (auto* linea = qobject_cast<QLineEdit*>(editor)) vista_->EditorAbierto(linea, indice);
        return editor;
    }

    void destroyEditor(QWidget* editor, const QModelIndex& indice) const override {
        QStyledItemDelegate::destroyEditor(editor, indice);
        vista_->EditorCerrado();
    }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        auto* editor = qobject_cast<QWidget*>(objeto);
        if (editor != nullptr && evento->type() == QEvent::KeyPress) {
            const auto* tecla = static_cast<QKeyEvent*>(evento);
            const bool mayusculas = tecla->modifiers() & Qt::ShiftModifier;
            VistaMatriz::Orden orden = VistaMatriz::Orden::Ninguna;
            if (tecla->key() == Qt::Key_Tab || tecla->key() == Qt::Key_Backtab)
                orden = tecla->key() == Qt::Key_Backtab || mayusculas ? VistaMatriz::Orden::Atras
                                                                     : VistaMatriz::Orden::Adelante;
            else if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter)
                orden = mayusculas ? VistaMatriz::Orden::Subir : VistaMatriz::Orden::Bajar;
            if (orden != VistaMatriz::Orden::Ninguna) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                vista_->SalirDelEditor(orden);
                return true;
            }
            // A block of several cells is pasted as a block from the cell being edited,
            // in place of what was typed into it.
            if (tecla->matches(QKeySequence::Paste) && vista_->edicion_ != nullptr &&
                EsBloque(QGuiApplication::clipboard()->mimeData())) {
                emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
                vista_->Pegar();
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(objeto, evento);
    }

private:
    VistaMatriz* vista_;
};

VistaMatriz::VistaMatriz(ModeloMatriz* modelo, QWidget* padre) : QTableView(padre), modelo_(modelo) {
    setModel(modelo);
    setItemDelegate(new DelegadoMatriz(this));
    const QFont fuente = FuenteSansSerif(15);
    setFont(fuente);
    horizontalHeader()->setFont(fuente);
    verticalHeader()->setFont(fuente);

    for (QHeaderView* cabecera : {horizontalHeader(), verticalHeader()}) {
        cabecera->setSectionResizeMode(QHeaderView::Fixed);
        cabecera->setSectionsMovable(false);
        cabecera->setSectionsClickable(false);
        cabecera->setHighlightSections(false);
        cabecera->setMinimumSectionSize(1);
    }
    horizontalHeader()->setDefaultSectionSize(kAnchoColumna);
    horizontalHeader()->setFixedHeight(kAltoFila);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setDefaultSectionSize(kAltoFila);
    verticalHeader()->setFixedWidth(kAnchoColumna);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    setShowGrid(true);
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // A click selects, as in a spreadsheet; typing, F2 or a double click edits.
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setCornerButtonEnabled(false);
    if (auto* esquina = findChild<QAbstractButton*>()) esquina->installEventFilter(this);

    connect(modelo, &ModeloMatriz::CabecerasCambiadas, this, &VistaMatriz::AjustarCabeceras);
    // After the view's and the headers' own handling of the reset.
    connect(modelo, &QAbstractItemModel::modelReset, this, &VistaMatriz::IrAlPrincipio);
    AjustarCabeceras();
    CrearAcciones();
}

void VistaMatriz::CrearAcciones() {
    const auto accion = [this](const char* nombre, const QString& texto, const char* icono,
                               const QList<QKeySequence>& teclas, void (VistaMatriz::*orden)()) {
        auto* a = new QAction(texto, this);
        a->setObjectName(QLatin1String(nombre));
        if (icono != nullptr) a->setIcon(QIcon(QStringLiteral(":/iconos/") + QLatin1String(icono)));
        // Shown in the menu; the keys themselves are handled by the view while it has the
        // focus, never as shortcuts of the window.
        a->setShortcuts(teclas);
        a->setShortcutContext(Qt::WidgetShortcut);
        a->setShortcutVisibleInContextMenu(true);
        connect(a, &QAction::triggered, this, orden);
        return a;
    };
    copiar_ = accion("MatrizCopiar", QStringLiteral("Copiar"), "08-copiar.svg", QKeySequence::keyBindings(QKeySequence::Copy),
                     &VistaMatriz::Copiar);
    cortar_ = accion("MatrizCortar", QStringLiteral("Cortar"), "03-cortar.svg", QKeySequence::keyBindings(QKeySequence::Cut),
                     &VistaMatriz::Cortar);
    pegar_ = accion("MatrizPegar", QStringLiteral("Pegar"), "11-pegar.svg", QKeySequence::keyBindings(QKeySequence::Paste),
                    &VistaMatriz::Pegar);
    borrar_ = accion("MatrizBorrar", QStringLiteral("Borrar"), nullptr, {QKeySequence(Qt::Key_Delete)},
                     &VistaMatriz::Borrar);
    deshacer_ = accion("MatrizDeshacer", QStringLiteral("Deshacer"), nullptr,
                       {QKeySequence(Qt::CTRL | Qt::Key_Z)}, &VistaMatriz::Deshacer);
    rehacer_ = accion("MatrizRehacer", QStringLiteral("Rehacer"), nullptr,
                      {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
                      &VistaMatriz::Rehacer);
}

void VistaMatriz::FijarEdicion(EdicionMatriz* edicion, Dialogos* dialogos) {
    edicion_ = edicion;
    dialogos_ = dialogos;
    if (edicion_ != nullptr) connect(edicion_, &EdicionMatriz::RangoCambiado, this, &VistaMatriz::SeleccionarRango);
}

void VistaMatriz::AjustarCabeceras() {
    horizontalHeader()->setVisible(modelo_->Matriz().FilaFija());
    verticalHeader()->setVisible(modelo_->Matriz().ColumnaFija());
}

// --- The cell being edited ---

void VistaMatriz::EditorAbierto(QLineEdit* editor, const QModelIndex& indice) {
    editor_ = editor;
    indiceEditado_ = indice;
    connect(editor, &QLineEdit::textChanged, this, &VistaMatriz::EditorCambiado);
}

void VistaMatriz::EditorCambiado() {
    if (editor_ == nullptr) return;
    // The same mark as a committed cell, while the text is typed.
    const bool malo = !ModeloMatriz::EsEnteroOVacio(editor_->text().toStdString());
    QPalette paleta = palette();
    if (malo) paleta.setColor(QPalette::Base, ModeloMatriz::ColorNoEntero());
    editor_->setPalette(paleta);
    editor_->setToolTip(malo ? ModeloMatriz::MensajeNoEntero() : QString());
    emit EdicionCambiada();
}

void VistaMatriz::EditorCerrado() {
    editor_ = nullptr;
    indiceEditado_ = QPersistentModelIndex();
    emit EdicionCambiada();
}

bool VistaMatriz::edit(const QModelIndex& indice, EditTrigger disparo, QEvent* evento) {
    const bool abierto = QTableView::edit(indice, disparo, evento);
    if (abierto && editor_ != nullptr && (disparo == EditKeyPressed || disparo == DoubleClicked)) editor_->end(false);
    return abierto;
}

void VistaMatriz::ConfirmarEdicion() {
    if (editor_ == nullptr) return;
    QWidget* editor = editor_;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

std::optional<QString> VistaMatriz::TextoEnEdicion() const {
    if (editor_ == nullptr || !indiceEditado_.isValid()) return std::nullopt;
    return editor_->text();
}

bool VistaMatriz::CompletaEnPantalla() const {
    const MatrizProblema& m = modelo_->Matriz();
    int64_t vacias = m.CeldasVacias();
    if (const std::optional<QString> texto = TextoEnEdicion()) {
        const int32_t columna = modelo_->ColumnaDe(indiceEditado_), fila = modelo_->FilaDe(indiceEditado_);
        if (!ModeloMatriz::EsCabecera(columna, fila))
            vacias += static_cast<int64_t>(texto->isEmpty()) - static_cast<int64_t>(m.Celda(columna, fila).empty());
    }
    return vacias == 0;
}

void VistaMatriz::SalirDelEditor(Orden orden) {
    if (orden == Orden::Adelante || orden == Orden::Atras)
        focusNextPrevChild(orden == Orden::Adelante);
    else
        Hacer(orden);
}

// --- Selection and scrolling ---

RangoCeldas VistaMatriz::RangoSeleccionado() const {
    const QItemSelection seleccion = selectionModel()->selection();
    int arriba = INT32_MAX, izquierda = INT32_MAX, abajo = -1, derecha = -1;
    for (const QItemSelectionRange& r : seleccion) {
        arriba = std::min(arriba, r.top());
        izquierda = std::min(izquierda, r.left());
        abajo = std::max(abajo, r.bottom());
        derecha = std::max(derecha, r.right());
    }
    if (abajo < 0) {
        const QModelIndex actual = currentIndex();
        if (!actual.isValid() || !(modelo_->flags(actual) & Qt::ItemIsSelectable)) return {};
        arriba = abajo = actual.row();
        izquierda = derecha = actual.column();
    }
    return {izquierda + modelo_->DesplazamientoColumna(), arriba + modelo_->DesplazamientoFila(),
            derecha - izquierda + 1, abajo - arriba + 1};
}

void VistaMatriz::SeleccionarRango(const RangoCeldas& rango) {
    const QModelIndex desde = modelo_->IndiceDeCelda(rango.columna, rango.fila);
    const QModelIndex hasta = modelo_->IndiceDeCelda(rango.columna + rango.columnas - 1, rango.fila + rango.filas - 1);
    if (!desde.isValid() || !hasta.isValid()) return;
    selectionModel()->setCurrentIndex(desde, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(desde, hasta), QItemSelectionModel::ClearAndSelect);
    scrollTo(desde);
}

void VistaMatriz::IrAlPrincipio() {
    const QModelIndex primera = modelo_->IndiceDeCelda(1, 1);
    if (primera.isValid() && (modelo_->flags(primera) & Qt::ItemIsSelectable))
        setCurrentIndex(primera);
    else
        selectionModel()->clear();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

int VistaMatriz::AnchoParaTodasLasColumnas() const {
    int ancho = 2 * frameWidth() + horizontalHeader()->length();
    if (!verticalHeader()->isHidden()) ancho += verticalHeader()->width();
    const int alto = height() - 2 * frameWidth() - (horizontalHeader()->isHidden() ? 0 : horizontalHeader()->height());
    if (verticalHeader()->length() > alto) ancho += verticalScrollBar()->sizeHint().width();
    return ancho;
}

// --- Keys and commands ---

VistaMatriz::Orden VistaMatriz::OrdenDeTecla(const QKeyEvent& tecla) {
    if (tecla.matches(QKeySequence::Copy)) return Orden::Copiar;
    if (tecla.matches(QKeySequence::Cut)) return Orden::Cortar;
    if (tecla.matches(QKeySequence::Paste)) return Orden::Pegar;
    const Qt::KeyboardModifiers modificadores = tecla.modifiers() & ~Qt::KeypadModifier;
    const int clave = tecla.key();
    if (tecla.matches(QKeySequence::Redo) || (modificadores == Qt::ControlModifier && clave == Qt::Key_Y) ||
        (modificadores == (Qt::ControlModifier | Qt::ShiftModifier) && clave == Qt::Key_Z))
        return Orden::Rehacer;
    if (tecla.matches(QKeySequence::Undo)) return Orden::Deshacer;
    if ((clave == Qt::Key_Delete || clave == Qt::Key_Backspace) && modificadores == Qt::NoModifier) return Orden::Borrar;
    if (clave == Qt::Key_Return || clave == Qt::Key_Enter) {
        if (modificadores == Qt::NoModifier) return Orden::Bajar;
        if (modificadores == Qt::ShiftModifier) return Orden::Subir;
    }
    return Orden::Ninguna;
}

void VistaMatriz::Hacer(Orden orden) {
    switch (orden) {
        case Orden::Copiar: Copiar(); break;
        case Orden::Cortar: Cortar(); break;
        case Orden::Pegar: Pegar(); break;
        case Orden::Borrar: Borrar(); break;
        case Orden::Deshacer: Deshacer(); break;
        case Orden::Rehacer: Rehacer(); break;
        case Orden::Bajar:
        case Orden::Subir: {
            const QModelIndex destino =
                moveCursor(orden == Orden::Bajar ? QAbstractItemView::MoveDown : QAbstractItemView::MoveUp, Qt::NoModifier);
            if (destino.isValid()) setCurrentIndex(destino);
            break;
        }
        case Orden::Adelante:
        case Orden::Atras:
        case Orden::Ninguna: break;
    }
}

// The grid's own keys come before any shortcut of the window (such as a Copiar of its
// menus) while the grid has the focus.
bool VistaMatriz::event(QEvent* evento) {
    if (evento->type() == QEvent::ShortcutOverride && OrdenDeTecla(*static_cast<QKeyEvent*>(evento)) != Orden::Ninguna) {
        evento->accept();
        return true;
    }
    return QTableView::event(evento);
}

void VistaMatriz::keyPressEvent(QKeyEvent* evento) {
    const Orden orden = OrdenDeTecla(*evento);
    // Keys the cell editor left alone reach the view too; they edit nothing of the grid.
    if (orden == Orden::Ninguna || editor_ != nullptr) {
        QTableView::keyPressEvent(evento);
        return;
    }
    Hacer(orden);
    evento->accept();
}

template <class Accion>
void VistaMatriz::Ejecutar(Accion&& accion) {
    if (dialogos_ != nullptr)
        EjecutarComando(*dialogos_, window(), accion);
    else
        accion();
}

void VistaMatriz::Copiar() {
    const RangoCeldas r = RangoSeleccionado();
    if (r.Vacio()) return;
    Ejecutar([&] {
        QGuiApplication::clipboard()->setMimeData(
            DatosDeBloque(modelo_->Matriz().Bloque(r.columna, r.fila, r.columnas, r.filas)));
    });
}

void VistaMatriz::Cortar() {
    Copiar();
    Borrar();
}

void VistaMatriz::Borrar() {
    const RangoCeldas r = RangoSeleccionado();
    if (edicion_ == nullptr || r.Vacio()) return;
    Ejecutar([&] { edicion_->Borrar(r); });
}

void VistaMatriz::Pegar() {
    const RangoCeldas destino = RangoSeleccionado();
    if (edicion_ == nullptr || destino.Vacio()) return;
    Ejecutar([&] {
        const QMimeData* datos = QGuiApplication::clipboard()->mimeData();
        if (!HayBloque(datos)) return;
        // Read before the question: the clipboard may change while it is asked.
        BloqueTexto bloque = BloqueDeDatos(*datos);
        const auto ampliar = [this](int32_t productos, int32_t componentes) {
            return dialogos_ == nullptr ||
                   dialogos_->Confirmar(window(), kTituloAplicacion, EdicionMatriz::PreguntaAmpliar(productos, componentes));
        };
        const RangoCeldas pegado = edicion_->Pegar(destino.columna, destino.fila, std::move(bloque), ampliar);
        if (!pegado.Vacio()) SeleccionarRango(pegado);
    });
}

void VistaMatriz::Deshacer() {
    if (edicion_ != nullptr) Ejecutar([&] { edicion_->Pila().undo(); });
}

void VistaMatriz::Rehacer() {
    if (edicion_ != nullptr) Ejecutar([&] { edicion_->Pila().redo(); });
}

QMenu* VistaMatriz::MenuContextual() {
    auto* menu = new QMenu(this);
    const bool hay = !RangoSeleccionado().Vacio();
    const bool edita = edicion_ != nullptr;
    copiar_->setEnabled(hay);
    cortar_->setEnabled(hay && edita);
    borrar_->setEnabled(hay && edita);
    pegar_->setEnabled(hay && edita && HayBloque(QGuiApplication::clipboard()->mimeData()));
    deshacer_->setEnabled(edita && edicion_->Pila().canUndo());
    rehacer_->setEnabled(edita && edicion_->Pila().canRedo());
    menu->addActions({copiar_, cortar_, pegar_, borrar_});
    menu->addSeparator();
    menu->addActions({deshacer_, rehacer_});
    return menu;
}

void VistaMatriz::contextMenuEvent(QContextMenuEvent* evento) {
    ConfirmarEdicion();
    // A right click outside the selection selects the cell under the mouse first.
    const QModelIndex bajo = indexAt(evento->pos());
    if (evento->reason() == QContextMenuEvent::Mouse && bajo.isValid() && !selectionModel()->isSelected(bajo) &&
        (modelo_->flags(bajo) & Qt::ItemIsSelectable))
        setCurrentIndex(bajo);
    QMenu* menu = MenuContextual();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(evento->globalPos());
}

void VistaMatriz::paintEvent(QPaintEvent* evento) {
    QTableView::paintEvent(evento);
    emit CeldasDibujadas();
}

// The corner cell shows the grid's cell (0, 0) while both headers are fixed.
bool VistaMatriz::eventFilter(QObject* objeto, QEvent* evento) {
    auto* esquina = qobject_cast<QAbstractButton*>(objeto);
    if (esquina != nullptr && evento->type() == QEvent::Paint) {
        QPainter pintor(esquina);
        QStyleOptionHeader opcion;
        opcion.initFrom(esquina);
        opcion.state |= QStyle::State_Enabled;
        opcion.palette = horizontalHeader()->palette();
        opcion.rect = esquina->rect();
        opcion.position = QStyleOptionHeader::OnlyOneSection;
        opcion.text = modelo_->Matriz().FilaFija() && modelo_->Matriz().ColumnaFija() ? modelo_->Celda(0, 0) : QString();
        opcion.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        pintor.setFont(horizontalHeader()->font());
        style()->drawControl(QStyle::CE_Header, &opcion, &pintor, esquina);
        return true;
    }
    return QTableView::eventFilter(objeto, evento);
}

}  // namespace tavelorin
