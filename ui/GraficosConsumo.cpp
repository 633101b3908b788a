#include "ui/GraficosConsumo.h"

#include <QChart>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "core/Aleatorio.h"
#include "core/Errores.h"
#include "core/Problema.h"
#include "core/TextoEntero.h"
#include "ui/Diezmado.h"
#include "ui/PaginaGrafico.h"
#include "ui/VistaGrafico.h"

namespace tavelorin {

namespace {

const QString kTituloK = QStringLiteral("Unidades secuenciadas (k)");
const QColor kColorKNjQ(153, 153, 255);
const QColor kColorXjk(153, 51, 102);
constexpr int kAnchoVel = 4;
constexpr int kAnchoTasas = 2;
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

// Marks a rebuild, during which range changes do not cut the series down again.
struct ReconstruyendoGuardia {
    bool& bandera;
    explicit ReconstruyendoGuardia(bool& b) : bandera(b) { bandera = true; }
    ~ReconstruyendoGuardia() { bandera = false; }
};

// The pixel columns of a page's plot (1000 before it has been laid out).
int Columnas(const PaginaGrafico& pagina) {
    const double ancho = pagina.Grafico()->plotArea().width();
    return ancho >= 16 ? static_cast<int>(std::ceil(ancho)) : 1000;
}

// The series' points over all the stages, cut down for the x axis the rebuild will set
// (every stage with the usual margin), and their bounds, which the cut keeps.
template <typename Valores>
std::vector<QList<QPointF>> PuntosDeTodas(int64_t q, int series, const Valores& valores, int columnas,
                                          std::vector<Limites>& extremos) {
    double x0 = 1, x1 = static_cast<double>(q);
    ConMargen(x0, x1);
    std::vector<QList<QPointF>> puntos = Diezmar(q, series, valores, x0, x1, columnas);
    extremos.assign(static_cast<size_t>(series), Limites());
    for (size_t s = 0; s < puntos.size(); ++s) extremos[s].Anadir(puntos[s]);
    return puntos;
}

}  // namespace

GraficosConsumo::GraficosConsumo(EstadoSecuenciador& estado, GeneradorAleatorio& generador, QLineEdit* EComp,
                                 QObject* padre)
    : QObject(padre),
      estado_(estado),
      generador_(generador),
      EComp_(EComp),
      vel_(new PaginaGrafico(QStringLiteral("ChartVelCon"), QStringLiteral("Gráfico de velocidades de consumo"),
                             kTituloK, QStringLiteral("Consumo medio por unidad"), this)),
      tas_(new PaginaGrafico(QStringLiteral("ChartTasCon"), QStringLiteral("Gráfico de tasas de consumo"), kTituloK,
                             QStringLiteral("Consumo acumulado"), this)) {
    // The rate chart's two series live as long as the chart: "KNj/Q" first.
    knjq_ = tas_->AnadirSerie(QStringLiteral("KNj/Q"), kColorKNjQ, kAnchoTasas, true);
    xjk_ = tas_->AnadirSerie(QStringLiteral("Xjk"), kColorXjk, kAnchoTasas, true);
    // The axes span all the stages of a series, not only those its view holds; another
    // view (a zoom, a new range, a new width) takes the points of its stages.
    vel_->FijarLimitesDeSerie(
        [this](const QAbstractSeries* s, Limites& l) { return LimitesDe(fuentesVel_, s, l); });
    tas_->FijarLimitesDeSerie(
        [this](const QAbstractSeries* s, Limites& l) { return LimitesDe(fuentesTas_, s, l); });
    connect(vel_->EjeX(), &QValueAxis::rangeChanged, this, [this] { Rediezmar(*vel_, fuentesVel_); });
    connect(tas_->EjeX(), &QValueAxis::rangeChanged, this, [this] { Rediezmar(*tas_, fuentesTas_); });
    connect(vel_->Grafico(), &QGraphicsWidget::geometryChanged, this, [this] { Rediezmar(*vel_, fuentesVel_); });
    connect(tas_->Grafico(), &QGraphicsWidget::geometryChanged, this, [this] { Rediezmar(*tas_, fuentesTas_); });
    tas_->AjustarEjes();
    connect(EComp_, &QLineEdit::textChanged, this, [this] { ECompChange(); });
}

GraficosConsumo::~GraficosConsumo() = default;

QWidget* GraficosConsumo::ChartVelCon() const { return vel_->Marco(); }
QWidget* GraficosConsumo::ChartTasCon() const { return tas_->Marco(); }
QChart* GraficosConsumo::GraficoVel() const { return vel_->Grafico(); }
QChart* GraficosConsumo::GraficoTas() const { return tas_->Grafico(); }
QListWidget* GraficosConsumo::LeyendaVel() const { return vel_->Leyenda(); }
QListWidget* GraficosConsumo::LeyendaTas() const { return tas_->Leyenda(); }
VistaGrafico* GraficosConsumo::VistaVel() const { return vel_->Vista(); }
VistaGrafico* GraficosConsumo::VistaTas() const { return tas_->Vista(); }

PaginaGrafico* GraficosConsumo::PaginaDe(const QChart* grafico) const {
    return grafico == vel_->Grafico() ? vel_ : grafico == tas_->Grafico() ? tas_ : nullptr;
}

QValueAxis* GraficosConsumo::EjeX(const QChart* grafico) const {
    const PaginaGrafico* p = PaginaDe(grafico);
    return p != nullptr ? p->EjeX() : nullptr;
}

QValueAxis* GraficosConsumo::EjeY(const QChart* grafico) const {
    const PaginaGrafico* p = PaginaDe(grafico);
    return p != nullptr ? p->EjeY() : nullptr;
}

void GraficosConsumo::Ampliar(QChart* grafico, const QRectF& rangos) {
    if (PaginaGrafico* p = PaginaDe(grafico)) p->Ampliar(rangos);
}

void GraficosConsumo::VistaCompleta(QChart* grafico) {
    if (PaginaGrafico* p = PaginaDe(grafico)) p->AjustarEjes();
}

void GraficosConsumo::MostrarSolo(QChart* grafico, int fila) {
    if (PaginaGrafico* p = PaginaDe(grafico)) p->MostrarSolo(fila);
}

void GraficosConsumo::MostrarTodas(QChart* grafico) {
    if (PaginaGrafico* p = PaginaDe(grafico)) p->MostrarTodas();
}

void GraficosConsumo::FijarMenuGraficos(const QList<QAction*>& acciones) {
    vel_->FijarMenu(acciones);
    tas_->FijarMenu(acciones);
}

bool GraficosConsumo::LimitesDe(const Fuentes& fuentes, const QAbstractSeries* serie, Limites& limites) {
    const auto s = std::find(fuentes.series.begin(), fuentes.series.end(), serie);
    if (s == fuentes.series.end()) return false;
    limites.Anadir(fuentes.extremos[static_cast<size_t>(s - fuentes.series.begin())]);
    return true;
}

std::vector<QList<QPointF>> GraficosConsumo::Puntos(const PaginaGrafico& pagina, const Fuentes& fuentes) {
    return Diezmar(fuentes.q, static_cast<int>(fuentes.series.size()), fuentes.valores, pagina.EjeX()->min(),
                   pagina.EjeX()->max(), Columnas(pagina));
}

// Series that hold every stage (no more than four a pixel column) are left as they are.
void GraficosConsumo::Rediezmar(const PaginaGrafico& pagina, const Fuentes& fuentes) {
    if (reconstruyendo_ || fuentes.q <= 4 * static_cast<int64_t>(Columnas(pagina))) return;
    const std::vector<QList<QPointF>> puntos = Puntos(pagina, fuentes);
    for (size_t s = 0; s < fuentes.series.size(); ++s) fuentes.series[s]->replace(puntos[s]);
}

QColor GraficosConsumo::ColorSerie(int indice, GeneradorAleatorio& generador) {
    if (indice < 0 || indice >= kColoresFijos) return ColorAleatorio(generador);
    return ColorFijo(indice);
}

void GraficosConsumo::BorrarSeriesVel() {
    LiberarSeriesVel();
    vel_->AjustarEjes();
}

void GraficosConsumo::BorrarSeriesTasas() {
    fuentesTas_ = Fuentes();
    xjk_->clear();
    knjq_->clear();
    tas_->AjustarEjes();
}

// The rebuilds leave the axes alone until their new ranges are known: an empty range in
// between would make the chart lay out every line once more.
void GraficosConsumo::LiberarSeriesVel() {
    fuentesVel_ = Fuentes();
    vel_->Vaciar();
    seriesVel_.clear();
}

void GraficosConsumo::GraficoVelocidades() {
    LiberarSeriesVel();
    // The table is read with the counts it was built with; the values keep a copy of it
    // (its data shared) for other views.
    const TablaEtapas t = estado_.TablaSolucion;
    const int32_t q = t.Vacia() ? 0 : t.filas;
    const int32_t m = std::max(t.nComp, 0);
    Fuentes fuentes;
    fuentes.q = q;
    // Average consumption per unit: X(j,k) / k for every component, one row at a time.
    fuentes.valores = [t, m](int64_t k, double* y) {
        const int32_t fila = static_cast<int32_t>(k - 1);
        for (int32_t j = 0; j < m; ++j) y[j] = static_cast<double>(t.Consumo(fila, j)) / static_cast<double>(k);
    };
    std::vector<QList<QPointF>> puntos = PuntosDeTodas(q, m, fuentes.valores, Columnas(*vel_), fuentes.extremos);
    Limites limites;
    for (const Limites& e : fuentes.extremos) limites.Anadir(e);
    const ReconstruyendoGuardia guardia(reconstruyendo_);
    vel_->FijarEjes(limites);
    seriesVel_.reserve(static_cast<size_t>(m));
    for (int32_t j = 1; j <= m; ++j)
        seriesVel_.push_back(vel_->AnadirSerie(QStringLiteral("C") + QString::number(j), ColorSerie(j - 1, generador_),
                                               kAnchoVel, false, puntos[static_cast<size_t>(j - 1)]));
    fuentes.series = seriesVel_;
    fuentesVel_ = std::move(fuentes);
}

void GraficosConsumo::GraficoTasas() {
    fuentesTas_ = Fuentes();
    xjk_->clear();
    knjq_->clear();
    const std::string texto = EComp_->text().toStdString();
    const std::optional<int32_t> c = IntentarTextoAEntero(texto);
    // A component the table was not built with has no columns: nothing is drawn.
    const TablaEtapas& t = estado_.TablaSolucion;
    if (!c || t.Vacia() || *c < 1 || *c > t.nComp || t.ColIdeal(*c) >= t.columnas) {
        tas_->AjustarEjes();
        return;
    }
    const TablaEtapas tabla = t;
    const int32_t j = *c;
    Fuentes fuentes;
    fuentes.q = tabla.filas;
    // Cumulative consumption X(c,k), then the ideal k·N(c)/Q.
    fuentes.valores = [tabla, j](int64_t k, double* y) {
        const int32_t fila = static_cast<int32_t>(k - 1);
        y[0] = static_cast<double>(tabla.Consumo(fila, j - 1));
        y[1] = tabla.Ideal(fila, j);
    };
    const std::vector<QList<QPointF>> puntos =
        PuntosDeTodas(fuentes.q, 2, fuentes.valores, Columnas(*tas_), fuentes.extremos);
    Limites limites;
    if (xjk_->isVisible()) limites.Anadir(fuentes.extremos[0]);
    if (knjq_->isVisible()) limites.Anadir(fuentes.extremos[1]);
    const ReconstruyendoGuardia guardia(reconstruyendo_);
    tas_->FijarEjes(limites);
    xjk_->replace(puntos[0]);
    knjq_->replace(puntos[1]);
    fuentes.series = {xjk_, knjq_};
    fuentesTas_ = std::move(fuentes);
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
