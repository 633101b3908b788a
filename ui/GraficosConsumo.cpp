#include "ui/GraficosConsumo.h"

#include <QChart>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QValueAxis>
#include <algorithm>
#include <optional>
#include <string>

#include "core/Aleatorio.h"
#include "core/Errores.h"
#include "core/Problema.h"
#include "core/TextoEntero.h"
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

QColor GraficosConsumo::ColorSerie(int indice, GeneradorAleatorio& generador) {
    if (indice < 0 || indice >= kColoresFijos) return ColorAleatorio(generador);
    return ColorFijo(indice);
}

void GraficosConsumo::BorrarSeriesVel() {
    LiberarSeriesVel();
    vel_->AjustarEjes();
}

void GraficosConsumo::BorrarSeriesTasas() {
    xjk_->clear();
    knjq_->clear();
    tas_->AjustarEjes();
}

// The rebuilds leave the axes alone until their new ranges are known: an empty range in
// between would make the chart lay out every line once more.
void GraficosConsumo::LiberarSeriesVel() {
    vel_->Vaciar();
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
    vel_->FijarEjes(limites);
    seriesVel_.reserve(static_cast<size_t>(m));
    for (int32_t j = 1; j <= m; ++j)
        seriesVel_.push_back(vel_->AnadirSerie(QStringLiteral("C") + QString::number(j), ColorSerie(j - 1, generador_),
                                               kAnchoVel, false, puntos[static_cast<size_t>(j - 1)]));
}

void GraficosConsumo::GraficoTasas() {
    xjk_->clear();
    knjq_->clear();
    const std::string texto = EComp_->text().toStdString();
    const std::optional<int32_t> c = IntentarTextoAEntero(texto);
    // A component the table was not built with has no columns: nothing is drawn.
    const TablaEtapas& t = estado_.TablaSolucion;
    if (!c || !t.celdas || *c < 1 || *c > t.nComp || t.ColIdeal(*c) >= t.columnas) {
        tas_->AjustarEjes();
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
    tas_->FijarEjes(limites);
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
