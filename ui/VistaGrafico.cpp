#include "ui/VistaGrafico.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QRubberBand>
#include <QToolTip>
#include <QValueAxis>
#include <QWheelEvent>
#include <QXYSeries>
#include <algorithm>
#include <cmath>
#include <limits>

namespace tavelorin {

namespace {

const QValueAxis* Eje(const QChart& grafico, Qt::Orientation orientacion) {
    const QList<QAbstractAxis*> ejes = grafico.axes(orientacion);
    return ejes.isEmpty() ? nullptr : qobject_cast<const QValueAxis*>(ejes.front());
}

constexpr double kPasoRueda = 1.25;  // zoom of one notch of the wheel, and of + and -
constexpr int kBandaMinima = 4;      // pixels: a smaller rectangle is a click

}  // namespace

QRectF RangosDe(const QChart& grafico) {
    const QValueAxis* x = Eje(grafico, Qt::Horizontal);
    const QValueAxis* y = Eje(grafico, Qt::Vertical);
    if (x == nullptr || y == nullptr) return {};
    return QRectF(QPointF(x->min(), y->min()), QPointF(x->max(), y->max()));
}

QPointF ValorEn(const QChart& grafico, QPointF punto) {
    const QRectF area = grafico.plotArea();
    const QRectF r = RangosDe(grafico);
    if (area.width() <= 0 || area.height() <= 0) return {};
    return {r.left() + (punto.x() - area.left()) / area.width() * r.width(),
            r.bottom() - (punto.y() - area.top()) / area.height() * r.height()};
}

QPointF PuntoDe(const QChart& grafico, QPointF valor) {
    const QRectF area = grafico.plotArea();
    const QRectF r = RangosDe(grafico);
    if (r.width() <= 0 || r.height() <= 0) return {};
    return {area.left() + (valor.x() - r.left()) / r.width() * area.width(),
            area.top() + (r.bottom() - valor.y()) / r.height() * area.height()};
}

QRectF Ampliacion(const QRectF& rangos, QPointF centro, double factor) {
    const auto escalar = [factor](double desde, double hasta, double c, double* nuevoDesde, double* nuevoHasta) {
        *nuevoDesde = c - (c - desde) / factor;
        *nuevoHasta = c + (hasta - c) / factor;
    };
    double x0, x1, y0, y1;
    escalar(rangos.left(), rangos.right(), centro.x(), &x0, &x1);
    escalar(rangos.top(), rangos.bottom(), centro.y(), &y0, &y1);
    return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

std::optional<LecturaGrafico> LecturaEn(const QChart& grafico, QPointF punto, double radio) {
    if (!grafico.plotArea().adjusted(-radio, -radio, radio, radio).contains(punto)) return std::nullopt;
    const QPointF valor = ValorEn(grafico, punto);
    std::optional<LecturaGrafico> mejor;
    double distancia = radio;
    for (const QAbstractSeries* s : grafico.series()) {
        const auto* serie = qobject_cast<const QXYSeries*>(s);
        if (serie == nullptr || !serie->isVisible() || serie->count() == 0) continue;
        // The points are the stages 1..Q in order: the one under the pointer is found by
        // its x; a series with other x values is searched.
        const qsizetype n = serie->count();
        const double primera = serie->at(0).x();
        qsizetype i = static_cast<qsizetype>(std::llround(std::clamp(valor.x() - primera, 0.0, double(n - 1))));
        if (serie->at(i).x() != primera + static_cast<double>(i)) {
            double cerca = std::numeric_limits<double>::infinity();
            for (qsizetype j = 0; j < n; ++j)
                if (const double d = std::abs(serie->at(j).x() - valor.x()); d < cerca) cerca = d, i = j;
        }
        const QPointF p = serie->at(i);
        const double d = std::hypot(PuntoDe(grafico, p).x() - punto.x(), PuntoDe(grafico, p).y() - punto.y());
        if (d <= distancia) {
            distancia = d;
            mejor = LecturaGrafico{serie->name(), static_cast<int>(std::lround(p.x())), p.y()};
        }
    }
    return mejor;
}

QString TextoDeLectura(const LecturaGrafico& lectura) {
    return QStringLiteral("%1 · etapa %2: %3")
        .arg(lectura.serie, QLocale().toString(lectura.etapa), QLocale().toString(lectura.valor, 'g', 6));
}

VistaGrafico::VistaGrafico(QChart* grafico, QWidget* padre) : QChartView(grafico, padre) {
    setRubberBand(QChartView::NoRubberBand);  // the zoom is ours: the owner sets the axes
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    banda_ = new QRubberBand(QRubberBand::Rectangle, viewport());
    banda_->hide();
}

QPointF VistaGrafico::EnGrafico(QPoint punto) const { return chart()->mapFromScene(mapToScene(punto)); }

void VistaGrafico::Ampliar(QPointF centro, double factor) {
    const QRectF rangos = RangosDe(*chart());
    if (!rangos.isValid()) return;
    emit AmpliacionPedida(Ampliacion(rangos, centro, factor));
}

void VistaGrafico::mousePressEvent(QMouseEvent* evento) {
    if (evento->button() != Qt::LeftButton) {
        QChartView::mousePressEvent(evento);
        return;
    }
    QToolTip::hideText();
    pulsado_ = true;
    origen_ = evento->position().toPoint();
    banda_->hide();
    evento->accept();
}

void VistaGrafico::mouseMoveEvent(QMouseEvent* evento) {
    const QPoint punto = evento->position().toPoint();
    if (pulsado_ && (evento->buttons() & Qt::LeftButton)) {
        if ((punto - origen_).manhattanLength() >= QApplication::startDragDistance()) {
            banda_->setGeometry(QRect(origen_, punto).normalized());
            banda_->show();
        }
        evento->accept();
        return;
    }
    if (const std::optional<LecturaGrafico> lectura = LecturaEn(*chart(), EnGrafico(punto)))
        QToolTip::showText(evento->globalPosition().toPoint(), TextoDeLectura(*lectura), this);
    else
        QToolTip::hideText();
    QChartView::mouseMoveEvent(evento);
}

void VistaGrafico::mouseReleaseEvent(QMouseEvent* evento) {
    if (evento->button() != Qt::LeftButton || !pulsado_) {
        QChartView::mouseReleaseEvent(evento);
        return;
    }
    pulsado_ = false;
    const QRect banda = banda_->geometry();
    const bool mostrada = banda_->isVisible();
    banda_->hide();
    evento->accept();
    if (!mostrada || banda.width() < kBandaMinima || banda.height() < kBandaMinima) return;
    const QPointF a = ValorEn(*chart(), EnGrafico(banda.topLeft()));
    const QPointF b = ValorEn(*chart(), EnGrafico(banda.bottomRight() + QPoint(1, 1)));
    emit AmpliacionPedida(QRectF(a, b).normalized());
}

void VistaGrafico::mouseDoubleClickEvent(QMouseEvent* evento) {
    if (evento->button() != Qt::LeftButton) {
        QChartView::mouseDoubleClickEvent(evento);
        return;
    }
    pulsado_ = false;
    banda_->hide();
    evento->accept();
    emit VistaCompletaPedida();
}

void VistaGrafico::wheelEvent(QWheelEvent* evento) {
    const int muescas = evento->angleDelta().y();
    if (muescas == 0) {
        evento->ignore();
        return;
    }
    Ampliar(ValorEn(*chart(), EnGrafico(evento->position().toPoint())), std::pow(kPasoRueda, muescas / 120.0));
    evento->accept();
}

void VistaGrafico::keyPressEvent(QKeyEvent* evento) {
    const QPointF centro = RangosDe(*chart()).center();
    switch (evento->key()) {
        case Qt::Key_Plus: Ampliar(centro, kPasoRueda); break;
        case Qt::Key_Minus: Ampliar(centro, 1 / kPasoRueda); break;
        case Qt::Key_0:
        case Qt::Key_Home: emit VistaCompletaPedida(); break;
        default: QChartView::keyPressEvent(evento); return;
    }
    evento->accept();
}

void VistaGrafico::contextMenuEvent(QContextMenuEvent* evento) {
    if (menu_.isEmpty()) {
        evento->ignore();
        return;
    }
    QToolTip::hideText();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction* a : menu_) {
        if (a != nullptr)
            menu->addAction(a);
        else
            menu->addSeparator();
    }
    menu->popup(evento->globalPos());
    evento->accept();
}

}  // namespace tavelorin
