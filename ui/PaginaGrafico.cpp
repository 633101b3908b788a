#include "ui/PaginaGrafico.h"

#include <QChart>
#include <QFrame>
#include <QHBoxLayout>
#include <QImage>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cmath>
#include <memory>

#include "ui/VistaGrafico.h"

namespace tavelorin {

namespace {

// Colours of components 1..9.
constexpr std::array<QRgb, kColoresFijos> kColores = {
    qRgb(255, 0, 0),     qRgb(0, 0, 128),     qRgb(0, 128, 0),     qRgb(255, 255, 0),   qRgb(0, 255, 255),
    qRgb(0, 255, 0),     qRgb(255, 0, 255),   qRgb(192, 220, 192), qRgb(166, 202, 240),
};

constexpr int kLadoMarca = 7;
constexpr double kMargen = 0.02;  // of the span, at each end of an axis

QFont Fuente13() {
    QFont fuente(QStringLiteral("Arial"));
    fuente.setStyleHint(QFont::SansSerif);
    fuente.setPixelSize(13);
    return fuente;
}

// The small rectangle drawn at every point of the rate series.
QImage Marca(const QColor& color) {
    QImage imagen(kLadoMarca, kLadoMarca, QImage::Format_ARGB32_Premultiplied);
    imagen.fill(color);
    QPainter p(&imagen);
    p.setPen(color.darker(160));
    p.drawRect(0, 0, kLadoMarca - 1, kLadoMarca - 1);
    return imagen;
}

// Legend swatch: the series' line, with its marker when it has one.
QIcon Muestra(const QColor& color, int ancho, bool conMarca) {
    QPixmap pixmap(28, 14);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(color, ancho, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(1, 7, 27, 7);
    if (conMarca) p.drawImage(14 - kLadoMarca / 2, 7 - kLadoMarca / 2, Marca(color));
    return QIcon(pixmap);
}

// A legend: one checkable row per series, as wide as its longest row and as tall as its
// rows (a scroll bar when the page is shorter).
class ListaLeyenda : public QListWidget {
public:
    explicit ListaLeyenda(QWidget* padre) : QListWidget(padre) {
        setFont(Fuente13());
        setSelectionMode(QAbstractItemView::NoSelection);
        setUniformItemSizes(true);
        setIconSize(QSize(28, 14));
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Maximum);
        setStyleSheet(QStringLiteral("QListWidget { background: white; border: 1px solid #808080; padding: 3px; }"
                                     "QListWidget::item { padding: 1px 6px 1px 2px; color: black; }"));
    }

    QSize sizeHint() const override {
        const int marco = 2 * frameWidth() + 8;
        if (count() == 0) return {0, 0};
        const int alto = count() * sizeHintForRow(0) + marco;
        int ancho = sizeHintForColumn(0) + marco;
        // A scroll bar when the rows are taller than the page can give.
        const QWidget* pagina = parentWidget();
        if (pagina != nullptr && alto > pagina->contentsRect().height()) ancho += verticalScrollBar()->sizeHint().width();
        return {ancho, alto};
    }
    QSize minimumSizeHint() const override { return {sizeHint().width(), std::min(sizeHint().height(), 40)}; }

protected:
    void resizeEvent(QResizeEvent* evento) override {
        QListWidget::resizeEvent(evento);
        // Room for the scroll bar depends on the height just given.
        if (sizeHint().width() != width()) updateGeometry();
    }
};

QValueAxis* CrearEje(bool lineasDeRejilla, const QString& titulo) {
    auto* eje = new QValueAxis;
    eje->setLinePen(QPen(Qt::black, 1));
    eje->setLabelsFont(Fuente13());
    eje->setLabelsColor(Qt::black);
    eje->setMinorTickCount(0);
    eje->setShadesVisible(false);
    eje->setTitleText(titulo);
    eje->setTitleFont(Fuente13());
    eje->setTitleBrush(Qt::black);
    eje->setTitleVisible(true);
    eje->setGridLineVisible(lineasDeRejilla);
    eje->setGridLinePen(QPen(Qt::black, 1, Qt::SolidLine));
    eje->setMinorGridLineVisible(false);
    eje->setRange(0, 1);
    eje->setTickInterval(0.2);
    eje->setTickAnchor(0);
    eje->setTickType(QValueAxis::TicksDynamic);
    return eje;
}

void AnadirALeyenda(QListWidget* leyenda, const QString& nombre, const QIcon& muestra) {
    auto* fila = new QListWidgetItem(muestra, nombre);
    fila->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    fila->setCheckState(Qt::Checked);
    leyenda->addItem(fila);
}

// Sets the range, with ticks at multiples of 1, 2 or 5 times a power of ten, about one
// per paso pixels. The axis lays out its ticks on every change, so the interval never
// lags behind a wider range (that would create a tick item per old interval).
void Marcar(QValueAxis* eje, double minimo, double maximo, double pixeles, double paso, bool entero) {
    const double marcas = std::clamp(std::floor(pixeles / paso), 2.0, 12.0);
    const double bruto = (maximo - minimo) / marcas;
    const double potencia = std::pow(10.0, std::floor(std::log10(bruto)));
    const double f = bruto / potencia;
    double intervalo = (f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10) * potencia;
    if (entero) intervalo = std::max(intervalo, 1.0);
    const int decimales = std::max(0, static_cast<int>(-std::floor(std::log10(intervalo) + 1e-9)));
    eje->setLabelFormat(QStringLiteral("%.") + QString::number(decimales) + QStringLiteral("f"));
    if (intervalo > eje->tickInterval()) {
        eje->setTickInterval(intervalo);
        eje->setRange(minimo, maximo);
    } else {
        eje->setRange(minimo, maximo);
        eje->setTickInterval(intervalo);
    }
}

void MarcarEjes(QChart* grafico, QValueAxis* ejeX, QValueAxis* ejeY, double xMin, double xMax, double yMin,
                double yMax) {
    const QSizeF tam = grafico->size();
    Marcar(ejeX, xMin, xMax, tam.width() > 0 ? tam.width() - 80 : 800, 90, true);
    Marcar(ejeY, yMin, yMax, tam.height() > 0 ? tam.height() - 40 : 400, 45, false);
}

// Axes spanning the points with a small margin, so lines and markers on the edges are
// not cut in half. Every range change lays out every line on the chart again, so the
// rebuilds set the ranges before their lines meet the axes.
void FijarEjesDe(QChart* grafico, QValueAxis* ejeX, QValueAxis* ejeY, Limites l) {
    if (l.xMin > l.xMax) {  // nothing shown
        l.xMin = l.yMin = 0;
        l.xMax = l.yMax = 1;
    }
    ConMargen(l.xMin, l.xMax);
    ConMargen(l.yMin, l.yMax);
    MarcarEjes(grafico, ejeX, ejeY, l.xMin, l.xMax, l.yMin, l.yMax);
}

}  // namespace

void ConMargen(double& minimo, double& maximo) {
    if (minimo == maximo) minimo -= 1, maximo += 1;
    const double m = (maximo - minimo) * kMargen;
    minimo -= m;
    maximo += m;
}

QColor ColorFijo(int indice) { return QColor(kColores[static_cast<size_t>(indice)]); }

QColor ColorComponente(int indice) {
    if (indice >= 0 && indice < kColoresFijos) return ColorFijo(indice);
    const int tono = static_cast<int>((static_cast<int64_t>(indice) * 137) % 360);
    return QColor::fromHsv(tono < 0 ? tono + 360 : tono, 210, 190);
}

void Limites::Anadir(const Limites& otros) {
    if (otros.xMin > otros.xMax) return;
    xMin = std::min(xMin, otros.xMin);
    xMax = std::max(xMax, otros.xMax);
    yMin = std::min(yMin, otros.yMin);
    yMax = std::max(yMax, otros.yMax);
}

void Limites::Anadir(const QList<QPointF>& puntos) {
    for (const QPointF& p : puntos) {
        xMin = std::min(xMin, p.x());
        xMax = std::max(xMax, p.x());
        yMin = std::min(yMin, p.y());
        yMax = std::max(yMax, p.y());
    }
}

// A white page with a border: the chart on the left, its legend on the right.
PaginaGrafico::PaginaGrafico(const QString& nombre, const QString& titulo, const QString& tituloX,
                             const QString& tituloY, QObject* padre)
    : QObject(padre) {
    auto* marco = new QFrame;
    marco_ = marco;
    marco->setObjectName(nombre);
    marco->setAccessibleName(titulo);
    marco->setFrameStyle(QFrame::Box | QFrame::Plain);
    marco->setLineWidth(1);
    QPalette paleta = marco->palette();
    paleta.setColor(QPalette::Window, Qt::white);
    paleta.setColor(QPalette::WindowText, QColor(128, 128, 128));
    marco->setPalette(paleta);
    marco->setAutoFillBackground(true);

    grafico_ = new QChart;
    grafico_->legend()->hide();
    grafico_->setTitle(QString());
    grafico_->setBackgroundBrush(Qt::white);
    grafico_->setBackgroundPen(Qt::NoPen);
    grafico_->setBackgroundRoundness(0);
    grafico_->setDropShadowEnabled(false);
    grafico_->setPlotAreaBackgroundBrush(Qt::white);
    grafico_->setPlotAreaBackgroundVisible(true);
    grafico_->setMargins(QMargins(4, 8, 8, 4));
    grafico_->setLocalizeNumbers(true);
    ejeX_ = CrearEje(false, tituloX);  // no vertical grid lines
    ejeY_ = CrearEje(true, tituloY);   // horizontal grid lines
    grafico_->addAxis(ejeX_, Qt::AlignBottom);
    grafico_->addAxis(ejeY_, Qt::AlignLeft);

    vista_ = new VistaGrafico(grafico_, marco);
    vista_->setObjectName(nombre + QStringLiteral("Vista"));
    vista_->setAccessibleName(titulo);
    vista_->setAccessibleDescription(QStringLiteral("Arrastre un rectángulo o use la rueda para ampliar; "
                                                    "doble clic para la vista completa."));
    vista_->setFrameShape(QFrame::NoFrame);
    vista_->setBackgroundBrush(Qt::white);
    vista_->setRenderHint(QPainter::Antialiasing, false);

    leyenda_ = new ListaLeyenda(marco);
    leyenda_->setObjectName(nombre + QStringLiteral("Leyenda"));
    leyenda_->setAccessibleName(QStringLiteral("Leyenda: ") + titulo);
    leyenda_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* columna = new QVBoxLayout;
    columna->setContentsMargins(0, 0, 0, 0);
    columna->addStretch(1);
    columna->addWidget(leyenda_);
    columna->addStretch(1);

    auto* disposicion = new QHBoxLayout(marco);
    disposicion->setContentsMargins(2, 2, 10, 2);
    disposicion->setSpacing(6);
    disposicion->addWidget(vista_, 1);
    disposicion->addLayout(columna);

    connect(vista_, &VistaGrafico::AmpliacionPedida, this, [this](const QRectF& rangos) { Ampliar(rangos); });
    connect(vista_, &VistaGrafico::VistaCompletaPedida, this, [this] { AjustarEjes(); });
    connect(leyenda_, &QWidget::customContextMenuRequested, this, [this](const QPoint& donde) {
        const int fila = leyenda_->row(leyenda_->itemAt(donde));
        auto* menu = new QMenu(leyenda_);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        QAction* solo = menu->addAction(QStringLiteral("Mostrar solo esta"), this, [this, fila] { MostrarSolo(fila); });
        solo->setEnabled(fila >= 0);
        menu->addAction(QStringLiteral("Mostrar todas"), this, [this] { MostrarTodas(); });
        menu->popup(leyenda_->viewport()->mapToGlobal(donde));
    });
    connect(leyenda_, &QListWidget::itemChanged, this, [this](QListWidgetItem* fila) {
        const QList<QAbstractSeries*> series = grafico_->series();
        const int i = leyenda_->row(fila);
        if (i < 0 || i >= series.size()) return;
        const bool visible = fila->checkState() == Qt::Checked;
        if (series[i]->isVisible() == visible) return;
        series[i]->setVisible(visible);
        AjustarEjes();
    });
    connect(grafico_, &QGraphicsWidget::geometryChanged, this, [this] {
        MarcarEjes(grafico_, ejeX_, ejeY_, ejeX_->min(), ejeX_->max(), ejeY_->min(), ejeY_->max());
    });
    AjustarEjes();
}

PaginaGrafico::~PaginaGrafico() {
    // A page no one adopted is ours to free.
    if (marco_ != nullptr && marco_->parent() == nullptr) delete marco_.data();
}

QLineSeries* PaginaGrafico::AnadirSerie(const QString& nombre, const QColor& color, int ancho, bool marcas,
                                        const QList<QPointF>& puntos) {
    auto serie = std::make_unique<QLineSeries>();
    serie->setName(nombre);
    serie->setPen(QPen(color, ancho, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    serie->setPointsVisible(marcas);
    if (marcas) {
        serie->setMarkerSize(kLadoMarca);
        serie->setLightMarker(Marca(color));
    }
    serie->setPointLabelsVisible(false);
    // Qt Charts lays a series out again when it joins the chart and at each axis it is
    // attached to; it is given all its points in one go after those, so it is laid out
    // once (nothing is drawn in between).
    grafico_->addSeries(serie.get());
    QLineSeries* s = serie.release();
    s->attachAxis(ejeX_);
    s->attachAxis(ejeY_);
    if (!puntos.isEmpty()) s->replace(puntos);
    {
        const QSignalBlocker bloqueo(leyenda_);
        AnadirALeyenda(leyenda_, nombre, Muestra(color, ancho, marcas));
    }
    leyenda_->updateGeometry();
    return s;
}

void PaginaGrafico::Vaciar() {
    {
        const QSignalBlocker bloqueo(leyenda_);
        leyenda_->clear();
    }
    for (QAbstractSeries* s : grafico_->series()) {
        grafico_->removeSeries(s);
        delete s;
    }
    leyenda_->updateGeometry();
}

void PaginaGrafico::AjustarEjes() {
    Limites limites;
    for (QAbstractSeries* serie : grafico_->series()) {
        if (!serie->isVisible()) continue;
        if (limitesDeSerie_ && limitesDeSerie_(serie, limites)) continue;
        limites.Anadir(static_cast<const QXYSeries*>(serie)->points());
    }
    FijarEjes(limites);
}

void PaginaGrafico::FijarLimitesDeSerie(std::function<bool(const QAbstractSeries*, Limites&)> limites) {
    limitesDeSerie_ = std::move(limites);
}

void PaginaGrafico::FijarEjes(Limites limites) { FijarEjesDe(grafico_, ejeX_, ejeY_, limites); }

void PaginaGrafico::Ampliar(const QRectF& rangos) {
    const QRectF r = rangos.normalized();
    const auto ancho = [](double desde, double hasta) {
        return std::isfinite(desde) && std::isfinite(hasta) &&
               hasta - desde > 1e-9 * std::max({1.0, std::abs(desde), std::abs(hasta)});
    };
    if (!ancho(r.left(), r.right()) || !ancho(r.top(), r.bottom())) return;
    MarcarEjes(grafico_, ejeX_, ejeY_, r.left(), r.right(), r.top(), r.bottom());
}

void PaginaGrafico::AplicarLeyenda() {
    const QList<QAbstractSeries*> series = grafico_->series();
    for (int i = 0; i < leyenda_->count() && i < series.size(); ++i)
        series[i]->setVisible(leyenda_->item(i)->checkState() == Qt::Checked);
    AjustarEjes();
}

void PaginaGrafico::MostrarSolo(int fila) {
    if (fila < 0 || fila >= leyenda_->count()) return;
    {
        const QSignalBlocker bloqueo(leyenda_);
        for (int i = 0; i < leyenda_->count(); ++i)
            leyenda_->item(i)->setCheckState(i == fila ? Qt::Checked : Qt::Unchecked);
    }
    leyenda_->viewport()->update();
    AplicarLeyenda();
}

void PaginaGrafico::MostrarTodas() {
    {
        const QSignalBlocker bloqueo(leyenda_);
        for (int i = 0; i < leyenda_->count(); ++i) leyenda_->item(i)->setCheckState(Qt::Checked);
    }
    leyenda_->viewport()->update();
    AplicarLeyenda();
}

void PaginaGrafico::FijarMenu(const QList<QAction*>& acciones) { vista_->FijarMenu(acciones); }

}  // namespace tavelorin
