#include "ui/VistaMatriz.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>

#include "ui/Fuentes.h"
#include "ui/ModeloMatriz.h"

namespace tavelorin {

namespace {
constexpr int kAnchoColumna = 50;
constexpr int kAltoFila = 24;
}  // namespace

VistaMatriz::VistaMatriz(ModeloMatriz* modelo, QWidget* padre) : QTableView(padre), modelo_(modelo) {
    setModel(modelo);
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
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setCornerButtonEnabled(false);
    if (auto* esquina = findChild<QAbstractButton*>()) esquina->installEventFilter(this);

    connect(modelo, &ModeloMatriz::CabecerasCambiadas, this, &VistaMatriz::AjustarCabeceras);
    AjustarCabeceras();
}

void VistaMatriz::AjustarCabeceras() {
    horizontalHeader()->setVisible(modelo_->Matriz().FilaFija());
    verticalHeader()->setVisible(modelo_->Matriz().ColumnaFija());
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
