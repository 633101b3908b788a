// A chart page as every chart of the window has it: a white framed page with the chart
// (a value axis of stages k below, one of values on the left) and, on its right, the
// legend, one checkable row per line. The view zooms (VistaGrafico), the legend's check
// boxes hide and show lines, its context menu shows only one line or all of them, and
// the axes span the points of the lines shown.
#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <functional>
#include <limits>

QT_BEGIN_NAMESPACE
class QAbstractSeries;
class QAction;
class QChart;
class QLineSeries;
class QListWidget;
class QValueAxis;
class QWidget;
QT_END_NAMESPACE

namespace tavelorin {

class VistaGrafico;

// Bounds of a set of points.
struct Limites {
    double xMin = std::numeric_limits<double>::infinity(), xMax = -xMin;
    double yMin = xMin, yMax = -xMin;
    void Anadir(const QList<QPointF>& puntos);
    void Anadir(const Limites& otros);
};

// The range an axis shows for values from minimo to maximo: a small margin at each end
// (one unit when they are equal).
void ConMargen(double& minimo, double& maximo);

// The colour of component indice + 1 (0-based): the fixed table of the consumption
// charts for components 1..9 (ColorFijo), then hues spread by the golden angle.
QColor ColorComponente(int indice);
// The fixed table: valid for 0 ≤ indice < kColoresFijos.
inline constexpr int kColoresFijos = 9;
QColor ColorFijo(int indice);

class PaginaGrafico : public QObject {
    Q_OBJECT
public:
    // The frame is named nombre, its view nombre + "Vista" and its legend nombre +
    // "Leyenda"; titulo is what screen readers announce. The frame is created without a
    // parent: whoever puts it on a page adopts it; if no one does, it is freed with this
    // object.
    PaginaGrafico(const QString& nombre, const QString& titulo, const QString& tituloX, const QString& tituloY,
                  QObject* padre = nullptr);
    ~PaginaGrafico() override;

    QWidget* Marco() const { return marco_; }
    QChart* Grafico() const { return grafico_; }
    QValueAxis* EjeX() const { return ejeX_; }
    QValueAxis* EjeY() const { return ejeY_; }
    QListWidget* Leyenda() const { return leyenda_; }
    VistaGrafico* Vista() const { return vista_; }

    // A line on the chart, attached to both axes and given its points in one go after
    // that (so it is laid out once), and its row in the legend, checked. With marcas, a
    // small square at every point.
    QLineSeries* AnadirSerie(const QString& nombre, const QColor& color, int ancho, bool marcas,
                             const QList<QPointF>& puntos = {});
    // Removes and frees every line and legend row, leaving the axes as they are.
    void Vaciar();

    // The axes spanning the points of the lines shown, with a small margin.
    void AjustarEjes();
    // For lines that hold only the points of the view: limites adds the bounds of all of
    // a line's points and returns true, or returns false for a line that holds them all.
    // AjustarEjes asks it first.
    void FijarLimitesDeSerie(std::function<bool(const QAbstractSeries*, Limites&)> limites);
    // The axes spanning the given bounds (0..1 on both when they are empty), with a small
    // margin: for rebuilds that know their bounds before their lines meet the axes.
    void FijarEjes(Limites limites);
    // Shows the given ranges (as RangosDe gives them); a range too narrow for the doubles
    // to tell its ends apart is not shown.
    void Ampliar(const QRectF& rangos);
    // Only the line of legend row fila, or every line.
    void MostrarSolo(int fila);
    void MostrarTodas();
    // The items of the view's context menu (not owned).
    void FijarMenu(const QList<QAction*>& acciones);

private:
    // Lines shown as their legend rows are checked, then the whole chart.
    void AplicarLeyenda();

    QPointer<QWidget> marco_;
    QChart* grafico_ = nullptr;
    QValueAxis* ejeX_ = nullptr;
    QValueAxis* ejeY_ = nullptr;
    QListWidget* leyenda_ = nullptr;
    VistaGrafico* vista_ = nullptr;
    std::function<bool(const QAbstractSeries*, Limites&)> limitesDeSerie_;
};

}  // namespace tavelorin
