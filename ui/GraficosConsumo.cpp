#include "ui/GraficosConsumo.h"

#include <QChart>
#include <QFrame>
#include <QHBoxLayout>
#include <QImage>
#include <QLineEdit>
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
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "core/Aleatorio.h"
#include "core/Errores.h"
#include "core/Problema.h"
#include "core/TextoEntero.h"
#include "ui/VistaGrafico.h"

namespace tavelorin {

namespace {

// Colours of components 1..9.
constexpr std::array<QRgb, 9> kColores = {
    qRgb(255, 0, 0),     qRgb(0, 0, 128),     qRgb(0, 128, 0),     qRgb(255, 255, 0),   qRgb(0, 255, 255),
    qRgb(0, 255, 0),     qRgb(255, 0, 255),   qRgb(192, 220, 192), qRgb(166, 202, 240),
};

const QColor kColorKNjQ(153, 153, 255);
const QColor kColorXjk(153, 51, 102);
constexpr int kAnchoVel = 4;
constexpr int kAnchoTasas = 2;
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

// Bounds of a set of points.
struct Limites {
    double xMin = std::numeric_limits<double>::infinity(), xMax = -xMin;
    double yMin = xMin, yMax = -xMin;
    void Anadir(const QList<QPointF>& puntos) {
        for (const QPointF& p : puntos) {
            xMin = std::min(xMin, p.x());
            xMax = std::max(xMax, p.x());
            yMin = std::min(yMin, p.y());
            yMax = std::max(yMax, p.y());
        }
    }
};

// Axes spanning the points with a small margin, so lines and markers on the edges are
// not cut in half. Every range change lays out every line on the chart again, so the
// rebuilds set the ranges before their lines meet the axes.
void FijarEjes(QChart* grafico, QValueAxis* ejeX, QValueAxis* ejeY, Limites l) {
    if (l.xMin > l.xMax) {  // nothing shown
        l.xMin = l.yMin = 0;
        l.xMax = l.yMax = 1;
    }
    auto margen = [](double& minimo, double& maximo) {
        if (minimo == maximo) minimo -= 1, maximo += 1;
        const double m = (maximo - minimo) * kMargen;
        minimo -= m;
        maximo += m;
    };
    margen(l.xMin, l.xMax);
    margen(l.yMin, l.yMax);
    MarcarEjes(grafico, ejeX, ejeY, l.xMin, l.xMax, l.yMin, l.yMax);
}

const char kECompNoEntero[] =
    "El número de componente del gráfico de tasas (junto a «Componente:») no es un número entero.";

// The selector's component number, or the integer message with what it was.
int32_t ComponenteDe(const QString& texto) {
    const std::string t = texto.toStdString();
    if (const auto c = IntentarTextoAEntero(t)) return *c;
    LanzarEnteroInvalido(t, kECompNoEntero);
}

// Three draws of generador: red, green, blue.
QColor ColorAleatorio(GeneradorAleatorio& generador) {
    const int rojo = static_cast<int>(255 * generador.RealAleatorio());
    const int verde = static_cast<int>(255 * generador.RealAleatorio());
    const int azul = static_cast<int>(255 * generador.RealAleatorio());
    return QColor(rojo, verde, azul);
}

}  // namespace

// A white page with a border: the chart on the left, its legend on the right.
GraficosConsumo::Pagina GraficosConsumo::CrearPagina(const QString& nombre, const QString& titulo,
                                                     const QString& tituloY) {
    Pagina p;
    auto* marco = new QFrame;
    p.marco = marco;
    marco->setObjectName(nombre);
    marco->setAccessibleName(titulo);
    marco->setFrameStyle(QFrame::Box | QFrame::Plain);
    marco->setLineWidth(1);
    QPalette paleta = marco->palette();
    paleta.setColor(QPalette::Window, Qt::white);
    paleta.setColor(QPalette::WindowText, QColor(128, 128, 128));
    marco->setPalette(paleta);
    marco->setAutoFillBackground(true);

    p.grafico = new QChart;
    p.grafico->legend()->hide();
    p.grafico->setTitle(QString());
    p.grafico->setBackgroundBrush(Qt::white);
    p.grafico->setBackgroundPen(Qt::NoPen);
    p.grafico->setBackgroundRoundness(0);
    p.grafico->setDropShadowEnabled(false);
    p.grafico->setPlotAreaBackgroundBrush(Qt::white);
    p.grafico->setPlotAreaBackgroundVisible(true);
    p.grafico->setMargins(QMargins(4, 8, 8, 4));
    p.grafico->setLocalizeNumbers(true);
    p.ejeX = CrearEje(false, QStringLiteral("Unidades secuenciadas (k)"));  // no vertical grid lines
    p.ejeY = CrearEje(true, tituloY);                                      // horizontal grid lines
    p.grafico->addAxis(p.ejeX, Qt::AlignBottom);
    p.grafico->addAxis(p.ejeY, Qt::AlignLeft);

    auto* vista = new VistaGrafico(p.grafico, marco);
    p.vista = vista;
    vista->setObjectName(nombre + QStringLiteral("Vista"));
    vista->setAccessibleName(titulo);
    vista->setAccessibleDescription(QStringLiteral("Arrastre un rectángulo o use la rueda para ampliar; "
                                                   "doble clic para la vista completa."));
    vista->setFrameShape(QFrame::NoFrame);
    vista->setBackgroundBrush(Qt::white);
    vista->setRenderHint(QPainter::Antialiasing, false);

    p.leyenda = new ListaLeyenda(marco);
    p.leyenda->setObjectName(nombre + QStringLiteral("Leyenda"));
    p.leyenda->setAccessibleName(QStringLiteral("Leyenda: ") + titulo);
    p.leyenda->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* columna = new QVBoxLayout;
    columna->setContentsMargins(0, 0, 0, 0);
    columna->addStretch(1);
    columna->addWidget(p.leyenda);
    columna->addStretch(1);

    auto* disposicion = new QHBoxLayout(marco);
    disposicion->setContentsMargins(2, 2, 10, 2);
    disposicion->setSpacing(6);
    disposicion->addWidget(vista, 1);
    disposicion->addLayout(columna);
    return p;
}

GraficosConsumo::GraficosConsumo(EstadoSecuenciador& estado, GeneradorAleatorio& generador, QLineEdit* EComp,
                                 QObject* padre)
    : QObject(padre), estado_(estado), generador_(generador), EComp_(EComp) {
    vel_ = CrearPagina(QStringLiteral("ChartVelCon"), QStringLiteral("Gráfico de velocidades de consumo"),
                       QStringLiteral("Consumo medio por unidad"));
    tas_ = CrearPagina(QStringLiteral("ChartTasCon"), QStringLiteral("Gráfico de tasas de consumo"),
                       QStringLiteral("Consumo acumulado"));

    // The rate chart's two series live as long as the chart: "KNj/Q" first.
    auto serieTasas = [this](const QString& nombre, const QColor& color) {
        auto* s = new QLineSeries;
        s->setName(nombre);
        s->setPen(QPen(color, kAnchoTasas));
        s->setPointsVisible(true);
        s->setMarkerSize(kLadoMarca);
        s->setLightMarker(Marca(color));
        s->setPointLabelsVisible(false);
        tas_.grafico->addSeries(s);
        s->attachAxis(tas_.ejeX);
        s->attachAxis(tas_.ejeY);
        AnadirALeyenda(tas_.leyenda, nombre, Muestra(color, kAnchoTasas, true));
        return s;
    };
    knjq_ = serieTasas(QStringLiteral("KNj/Q"), kColorKNjQ);
    xjk_ = serieTasas(QStringLiteral("Xjk"), kColorXjk);

    for (const Pagina* pagina : {&vel_, &tas_}) {
        QChart* grafico = pagina->grafico;
        connect(pagina->vista, &VistaGrafico::AmpliacionPedida, this,
                [this, grafico](const QRectF& rangos) { Ampliar(grafico, rangos); });
        connect(pagina->vista, &VistaGrafico::VistaCompletaPedida, this, [this, grafico] { VistaCompleta(grafico); });
        QListWidget* leyenda = pagina->leyenda;
        connect(leyenda, &QWidget::customContextMenuRequested, this, [this, leyenda, grafico](const QPoint& donde) {
            const int fila = leyenda->row(leyenda->itemAt(donde));
            auto* menu = new QMenu(leyenda);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            QAction* solo = menu->addAction(QStringLiteral("Mostrar solo esta"), this,
                                            [this, grafico, fila] { MostrarSolo(grafico, fila); });
            solo->setEnabled(fila >= 0);
            menu->addAction(QStringLiteral("Mostrar todas"), this, [this, grafico] { MostrarTodas(grafico); });
            menu->popup(leyenda->viewport()->mapToGlobal(donde));
        });
    }
    for (auto [leyenda, grafico] : {std::pair{vel_.leyenda, vel_.grafico}, std::pair{tas_.leyenda, tas_.grafico}}) {
        connect(leyenda, &QListWidget::itemChanged, this, [this, leyenda, grafico](QListWidgetItem* fila) {
            const QList<QAbstractSeries*> series = grafico->series();
            const int i = leyenda->row(fila);
            if (i < 0 || i >= series.size()) return;
            const bool visible = fila->checkState() == Qt::Checked;
            if (series[i]->isVisible() == visible) return;
            series[i]->setVisible(visible);
            AjustarEjes(grafico);
        });
        connect(grafico, &QGraphicsWidget::geometryChanged, this, [this, grafico] {
            QValueAxis* x = EjeX(grafico);
            QValueAxis* y = EjeY(grafico);
            MarcarEjes(grafico, x, y, x->min(), x->max(), y->min(), y->max());
        });
    }
    AjustarEjes(vel_.grafico);
    AjustarEjes(tas_.grafico);

    connect(EComp_, &QLineEdit::textChanged, this, [this] { ECompChange(); });
}

GraficosConsumo::~GraficosConsumo() {
    // Pages the window never adopted are ours to free.
    for (QWidget* marco : {vel_.marco.data(), tas_.marco.data()})
        if (marco != nullptr && marco->parent() == nullptr) delete marco;
}

const GraficosConsumo::Pagina* GraficosConsumo::PaginaDe(const QChart* grafico) const {
    return grafico == vel_.grafico ? &vel_ : grafico == tas_.grafico ? &tas_ : nullptr;
}

QValueAxis* GraficosConsumo::EjeX(const QChart* grafico) const {
    const Pagina* p = PaginaDe(grafico);
    return p != nullptr ? p->ejeX : nullptr;
}

QValueAxis* GraficosConsumo::EjeY(const QChart* grafico) const {
    const Pagina* p = PaginaDe(grafico);
    return p != nullptr ? p->ejeY : nullptr;
}

void GraficosConsumo::Ampliar(QChart* grafico, const QRectF& rangos) {
    const Pagina* p = PaginaDe(grafico);
    const QRectF r = rangos.normalized();
    // A range too narrow for the doubles to tell its ends apart is not shown.
    const auto ancho = [](double desde, double hasta) {
        return std::isfinite(desde) && std::isfinite(hasta) &&
               hasta - desde > 1e-9 * std::max({1.0, std::abs(desde), std::abs(hasta)});
    };
    if (p == nullptr || !ancho(r.left(), r.right()) || !ancho(r.top(), r.bottom())) return;
    MarcarEjes(grafico, p->ejeX, p->ejeY, r.left(), r.right(), r.top(), r.bottom());
}

void GraficosConsumo::VistaCompleta(QChart* grafico) {
    if (PaginaDe(grafico) != nullptr) AjustarEjes(grafico);
}

void GraficosConsumo::AplicarLeyenda(const Pagina& pagina) {
    const QList<QAbstractSeries*> series = pagina.grafico->series();
    for (int i = 0; i < pagina.leyenda->count() && i < series.size(); ++i)
        series[i]->setVisible(pagina.leyenda->item(i)->checkState() == Qt::Checked);
    AjustarEjes(pagina.grafico);
}

void GraficosConsumo::MostrarSolo(QChart* grafico, int fila) {
    const Pagina* p = PaginaDe(grafico);
    if (p == nullptr || fila < 0 || fila >= p->leyenda->count()) return;
    {
        const QSignalBlocker bloqueo(p->leyenda);
        for (int i = 0; i < p->leyenda->count(); ++i)
            p->leyenda->item(i)->setCheckState(i == fila ? Qt::Checked : Qt::Unchecked);
    }
    p->leyenda->viewport()->update();
    AplicarLeyenda(*p);
}

void GraficosConsumo::MostrarTodas(QChart* grafico) {
    const Pagina* p = PaginaDe(grafico);
    if (p == nullptr) return;
    {
        const QSignalBlocker bloqueo(p->leyenda);
        for (int i = 0; i < p->leyenda->count(); ++i) p->leyenda->item(i)->setCheckState(Qt::Checked);
    }
    p->leyenda->viewport()->update();
    AplicarLeyenda(*p);
}

void GraficosConsumo::FijarMenuGraficos(const QList<QAction*>& acciones) {
    vel_.vista->FijarMenu(acciones);
    tas_.vista->FijarMenu(acciones);
}

// Ranges from the points of the series that are shown.
void GraficosConsumo::AjustarEjes(QChart* grafico) {
    Limites limites;
    for (QAbstractSeries* serie : grafico->series())
        if (serie->isVisible()) limites.Anadir(static_cast<const QXYSeries*>(serie)->points());
    FijarEjes(grafico, EjeX(grafico), EjeY(grafico), limites);
}

QColor GraficosConsumo::ColorSerie(int indice, GeneradorAleatorio& generador) {
    if (indice < 0 || indice >= static_cast<int>(kColores.size())) return ColorAleatorio(generador);
    return QColor(kColores[static_cast<size_t>(indice)]);
}

void GraficosConsumo::BorrarSeriesVel() {
    LiberarSeriesVel();
    AjustarEjes(vel_.grafico);
}

void GraficosConsumo::BorrarSeriesTasas() {
    xjk_->clear();
    knjq_->clear();
    AjustarEjes(tas_.grafico);
}

// The rebuilds leave the axes alone until their new ranges are known: an empty range in
// between would make the chart lay out every line once more.
void GraficosConsumo::LiberarSeriesVel() {
    {
        const QSignalBlocker bloqueo(vel_.leyenda);
        vel_.leyenda->clear();
    }
    for (QLineSeries* s : seriesVel_) {
        vel_.grafico->removeSeries(s);
        delete s;
    }
    seriesVel_.clear();
}

void GraficosConsumo::GraficoVelocidades() {
    LiberarSeriesVel();
    // The table is read with the counts it was built with.
    const TablaEtapas& t = estado_.TablaSolucion;
    const int32_t q = t.celdas ? t.filas : 0;
    const int32_t m = std::max(t.nComp, 0);
    std::vector<QList<QPointF>> puntos(static_cast<size_t>(m));
    Limites limites;
    for (int32_t j = 1; j <= m; ++j) {
        QList<QPointF>& p = puntos[static_cast<size_t>(j - 1)];
        const int32_t columna = t.ColConsumo(j);
        if (columna >= t.columnas) continue;
        p.resize(q);
        for (int32_t k = 1; k <= q; ++k) p[k - 1] = QPointF(k, t.Celda(k - 1, columna) / k);
        limites.Anadir(p);
    }
    FijarEjes(vel_.grafico, vel_.ejeX, vel_.ejeY, limites);

    seriesVel_.reserve(static_cast<size_t>(m));
    const QSignalBlocker bloqueo(vel_.leyenda);
    for (int32_t j = 1; j <= m; ++j) {
        auto serie = std::make_unique<QLineSeries>();
        serie->setName(QStringLiteral("C") + QString::number(j));
        const QColor color = ColorSerie(j - 1, generador_);
        serie->setPen(QPen(color, kAnchoVel));
        serie->setPointsVisible(false);
        serie->setPointLabelsVisible(false);
        // Qt Charts lays a series out again when it joins the chart and at each axis it is
        // attached to; it is given all its points in one go after those, so it is laid
        // out once (nothing is drawn in between).
        vel_.grafico->addSeries(serie.get());
        QLineSeries* s = serie.release();
        seriesVel_.push_back(s);
        s->attachAxis(vel_.ejeX);
        s->attachAxis(vel_.ejeY);
        s->replace(puntos[static_cast<size_t>(j - 1)]);
        AnadirALeyenda(vel_.leyenda, s->name(), Muestra(color, kAnchoVel, false));
    }
    vel_.leyenda->updateGeometry();
}

void GraficosConsumo::GraficoTasas() {
    xjk_->clear();
    knjq_->clear();
    const std::string texto = EComp_->text().toStdString();
    const std::optional<int32_t> c = IntentarTextoAEntero(texto);
    // A component the table was not built with has no columns: nothing is drawn.
    const TablaEtapas& t = estado_.TablaSolucion;
    if (!c || !t.celdas || *c < 1 || *c > t.nComp || t.ColIdeal(*c) >= t.columnas) {
        AjustarEjes(tas_.grafico);
        return;
    }
    const int32_t q = t.filas;
    QList<QPointF> consumo(q);
    QList<QPointF> ideal(q);
    const int32_t colConsumo = t.ColConsumo(*c);
    const int32_t colIdeal = t.ColIdeal(*c);
    for (int32_t k = 1; k <= q; ++k) {
        const double* fila = t.Fila(k - 1);
        consumo[k - 1] = QPointF(k, fila[colConsumo]);
        ideal[k - 1] = QPointF(k, fila[colIdeal]);
    }
    Limites limites;
    if (xjk_->isVisible()) limites.Anadir(consumo);
    if (knjq_->isVisible()) limites.Anadir(ideal);
    FijarEjes(tas_.grafico, tas_.ejeX, tas_.ejeY, limites);
    xjk_->replace(consumo);
    knjq_->replace(ideal);
}

void GraficosConsumo::Button1Click() {
    const int32_t leido = ComponenteDe(EComp_->text());
    int32_t v = static_cast<int32_t>(static_cast<uint32_t>(leido) + 1u);  // 32-bit wrap, as everywhere
    if (v > estado_.NComp) v = estado_.NComp;
    EComp_->setText(QString::number(v));
}

void GraficosConsumo::Button2Click() {
    const int32_t leido = ComponenteDe(EComp_->text());
    int32_t v = static_cast<int32_t>(static_cast<uint32_t>(leido) - 1u);
    if (v < 1) v = 1;
    EComp_->setText(QString::number(v));
}

void GraficosConsumo::ECompChange() {
    try {
        const std::optional<int32_t> c = IntentarTextoAEntero(EComp_->text().toStdString());
        if (!c) return;
        if (*c >= 1 && *c <= estado_.NComp) GraficoTasas();
    } catch (...) {
        // A change of the selector's text never reports anything.
    }
}

}  // namespace tavelorin
