// The two consumption charts: the speed chart (average consumption per unit of every
// component) and the rate chart (cumulative and ideal consumption of one component,
// chosen with the EComp selector). Both read the stage table of the last solve.
#pragma once

#include <QColor>
#include <QObject>
#include <QList>
#include <QPointer>
#include <QRectF>
#include <QWidget>
#include <vector>

QT_BEGIN_NAMESPACE
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

    QWidget* ChartVelCon() const { return vel_.marco; }
    QWidget* ChartTasCon() const { return tas_.marco; }

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
    QChart* GraficoVel() const { return vel_.grafico; }
    QChart* GraficoTas() const { return tas_.grafico; }
    // The legends: one checkable row per series, in the chart's order.
    QListWidget* LeyendaVel() const { return vel_.leyenda; }
    QListWidget* LeyendaTas() const { return tas_.leyenda; }
    QValueAxis* EjeX(const QChart* grafico) const;
    QValueAxis* EjeY(const QChart* grafico) const;
    VistaGrafico* VistaVel() const { return vel_.vista; }
    VistaGrafico* VistaTas() const { return tas_.vista; }

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
    // A chart page: the framed page, its chart and axes, and its legend.
    struct Pagina {
        QPointer<QWidget> marco;
        QChart* grafico = nullptr;
        QValueAxis* ejeX = nullptr;
        QValueAxis* ejeY = nullptr;
        QListWidget* leyenda = nullptr;
        VistaGrafico* vista = nullptr;
    };
    static Pagina CrearPagina(const QString& nombre, const QString& titulo, const QString& tituloY);
    // The page of one of the two charts; null for any other.
    const Pagina* PaginaDe(const QChart* grafico) const;
    void AjustarEjes(QChart* grafico);
    // Series shown as their legend rows are checked, then the whole chart.
    void AplicarLeyenda(const Pagina& pagina);
    void LiberarSeriesVel();

    EstadoSecuenciador& estado_;
    GeneradorAleatorio& generador_;
    QLineEdit* EComp_;

    Pagina vel_;  // speed chart
    Pagina tas_;  // rate chart

    std::vector<QLineSeries*> seriesVel_;
    QLineSeries* knjq_ = nullptr;
    QLineSeries* xjk_ = nullptr;
};

}  // namespace tavelorin
