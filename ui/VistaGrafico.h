// A chart view a user can read and zoom. Dragging a rectangle with the left button zooms
// into it, the wheel zooms about the pointer, + and - about the middle; a double click,
// Inicio or 0 ask for the whole chart again. A tooltip gives the stage and the value of
// the line under the pointer. The view does not set the axes itself: it asks for new
// ranges in values, and the owner of the axes sets them.
#pragma once

#include <QChartView>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <optional>

class QAction;
class QRubberBand;

namespace tavelorin {

// The value at a point of the chart (in its own coordinates) by its first horizontal and
// vertical axes, and the point of a value.
QPointF ValorEn(const QChart& grafico, QPointF punto);
QPointF PuntoDe(const QChart& grafico, QPointF valor);
// The ranges the axes show: x from left() to right(), y from top() to bottom() (top() is
// the smaller value).
QRectF RangosDe(const QChart& grafico);

// The ranges after zooming by factor about a value: each range is divided by factor
// (greater than 1 zooms in) and the value keeps its place on the screen.
QRectF Ampliacion(const QRectF& rangos, QPointF centro, double factor);

// What the tooltip reads: the visible line nearest to a point of the plot at the stage
// under it (the x values of a series are the stages), when that line passes within radio
// pixels of the point.
struct LecturaGrafico {
    QString serie;
    int etapa = 0;
    double valor = 0;
};
std::optional<LecturaGrafico> LecturaEn(const QChart& grafico, QPointF punto, double radio = 12);
// "C3 · etapa 12: 0,75", the number in the user's locale.
QString TextoDeLectura(const LecturaGrafico& lectura);

class VistaGrafico : public QChartView {
    Q_OBJECT
public:
    explicit VistaGrafico(QChart* grafico, QWidget* padre = nullptr);

    // The items of the context menu (not owned); a null one is a separator.
    void FijarMenu(const QList<QAction*>& acciones) { menu_ = acciones; }

signals:
    // New ranges, as RangosDe gives them.
    void AmpliacionPedida(const QRectF& rangos);
    void VistaCompletaPedida();

protected:
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;
    void mouseDoubleClickEvent(QMouseEvent* evento) override;
    void wheelEvent(QWheelEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void contextMenuEvent(QContextMenuEvent* evento) override;

private:
    QPointF EnGrafico(QPoint punto) const;
    void Ampliar(QPointF centro, double factor);

    QRubberBand* banda_ = nullptr;
    QPoint origen_;
    bool pulsado_ = false;
    QList<QAction*> menu_;
};

}  // namespace tavelorin
