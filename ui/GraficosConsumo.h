// The two consumption charts: the speed chart (average consumption per unit of every
// component) and the rate chart (cumulative and ideal consumption of one component,
// chosen with the EComp selector). Both read the stage table of the last solve. A series
// holds what its plot can show: per pixel column the first, last, lowest and highest
// point of the stages in view, worked out again whenever the view or the plot's width
// changes, so a million stages draw as fast as a thousand.
#pragma once

#include <QColor>
#include <QObject>
#include <QList>
#include <QPointer>
#include <QRectF>
#include <QWidget>
#include <functional>
#include <vector>

#include "ui/PaginaGrafico.h"

QT_BEGIN_NAMESPACE
class QAbstractSeries;
class QAction;
class QChart;
class QLineEdit;
class QLineSeries;
class QListWidget;
class QValueAxis;
QT_END_NAMESPACE

namespace tavelorin {

struct EstadoSecuenciador;
class GeneradorAleatorio;
class VistaGrafico;

class GraficosConsumo : public QObject {
    Q_OBJECT
public:
    // estado, generador and EComp (not null) must outlive this object. Every change of
    // EComp's text, typed or set, runs ECompChange (connected here). The chart pages are
    // created without a parent: the window puts them on its tabs; if it never does, they
    // are freed with this object.
    GraficosConsumo(EstadoSecuenciador& estado, GeneradorAleatorio& generador, QLineEdit* EComp,
                    QObject* padre = nullptr);
    ~GraficosConsumo() override;

    QWidget* ChartVelCon() const;
    QWidget* ChartTasCon() const;

    // Rebuilds the speed chart: one series "Cj" per component of the stage table.
    void GraficoVelocidades();
    // Refills KNjQ and Xjk for the component in EComp. A text that is not a component of
    // the table (no integer, or a number outside its components) leaves both empty until
    // a valid number is typed (ECompChange). Never throws.
    void GraficoTasas();
    // Frees every speed series.
    void BorrarSeriesVel();
    // Empties KNjQ and Xjk; both stay on the chart and in its legend.
    void BorrarSeriesTasas();

    // Colour of the series with 0-based index indice: the fixed table for components
    // 1..9, a random colour (three draws of generador) from the 10th on.
    static QColor ColorSerie(int indice, GeneradorAleatorio& generador);

    // Selector: "+" and "-" step EComp within 1..NComp; both throw ErrorTavelorin when
    // EComp does not hold an integer. ECompChange never throws.
    void Button1Click();
    void Button2Click();
    void ECompChange();

    // --- Read-only views, for the window and for tests ---
    const std::vector<QLineSeries*>& SeriesVel() const { return seriesVel_; }
    QLineSeries* KNjQ() const { return knjq_; }
    QLineSeries* Xjk() const { return xjk_; }
    QChart* GraficoVel() const;
    QChart* GraficoTas() const;
    // The legends: one checkable row per series, in the chart's order.
    QListWidget* LeyendaVel() const;
    QListWidget* LeyendaTas() const;
    QValueAxis* EjeX(const QChart* grafico) const;
    QValueAxis* EjeY(const QChart* grafico) const;
    VistaGrafico* VistaVel() const;
    VistaGrafico* VistaTas() const;

    // --- Reading the charts ---
    // Shows the given ranges (as RangosDe gives them) of one of the two charts.
    void Ampliar(QChart* grafico, const QRectF& rangos);
    // The whole chart again: ranges from the points of the lines shown.
    void VistaCompleta(QChart* grafico);
    // The legend's context menu: only the line of row fila, or every line.
    void MostrarSolo(QChart* grafico, int fila);
    void MostrarTodas(QChart* grafico);
    // The items of both charts' context menus (not owned).
    void FijarMenuGraficos(const QList<QAction*>& acciones);

private:
    // The page of one of the two charts; null for any other.
    PaginaGrafico* PaginaDe(const QChart* grafico) const;
    void LiberarSeriesVel();
    // The values of a page's series, stage by stage, kept to cut them down again for
    // another view (the table they read shared with the solve's); and the bounds of every
    // series over all the stages.
    struct Fuentes {
        std::vector<QLineSeries*> series;
        int64_t q = 0;
        std::function<void(int64_t k, double* valores)> valores;
        std::vector<Limites> extremos;
    };
    // The series' points for the x axis as it stands.
    static std::vector<QList<QPointF>> Puntos(const PaginaGrafico& pagina, const Fuentes& fuentes);
    void Rediezmar(const PaginaGrafico& pagina, const Fuentes& fuentes);
    // The bounds of a series over all its stages, when it is one of fuentes'.
    static bool LimitesDe(const Fuentes& fuentes, const QAbstractSeries* serie, Limites& limites);

    EstadoSecuenciador& estado_;
    GeneradorAleatorio& generador_;
    QLineEdit* EComp_;

    PaginaGrafico* vel_;  // speed chart
    PaginaGrafico* tas_;  // rate chart

    std::vector<QLineSeries*> seriesVel_;
    QLineSeries* knjq_ = nullptr;
    QLineSeries* xjk_ = nullptr;
    Fuentes fuentesVel_;
    Fuentes fuentesTas_;
    bool reconstruyendo_ = false;  // range changes during a rebuild do not cut the series again
};

}  // namespace tavelorin
