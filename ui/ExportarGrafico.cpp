#include "ui/ExportarGrafico.h"

#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QWidget>
#include <QXYSeries>
#include <algorithm>
#include <utility>
#include <vector>

#include "core/Errores.h"
#include "ui/SalidaFichero.h"
#include "ui/VistaGrafico.h"

namespace tavelorin {

namespace {

// Widgets are drawn at 96 pixels an inch: a PDF page of the page's size in points.
constexpr int kPuntosPorPulgada = 72;
constexpr int kPixelesPorPulgada = 96;

void Pintar(QWidget& pagina, QPainter& pintor) {
    pintor.fillRect(QRect(QPoint(0, 0), pagina.size()), Qt::white);
    pagina.render(&pintor, QPoint(), QRegion(), QWidget::DrawChildren);
}

// Cuts the segment a-b to the rectangle (Liang-Barsky); false when nothing of it is inside.
bool Recortar(QPointF& a, QPointF& b, const QRectF& r) {
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    double t0 = 0, t1 = 1;
    const auto limite = [&](double p, double q) {
        if (p == 0) return q >= 0;
        const double t = q / p;
        if (p < 0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
        return true;
    };
    if (!limite(-dx, a.x() - r.left()) || !limite(dx, r.right() - a.x()) || !limite(-dy, a.y() - r.top()) ||
        !limite(dy, r.bottom() - a.y()))
        return false;
    const QPointF inicio = a;
    a = inicio + QPointF(dx * t0, dy * t0);
    b = inicio + QPointF(dx * t1, dy * t1);
    return true;
}

// The lines of the charts on a page, drawn here and cut at the plot area, for the vector
// formats: an SVG file ignores the clipping the charts draw with (a zoomed line would run
// over the axes), and one polyline a line is far smaller than a segment a stage.
class LineasVectoriales {
public:
    // Takes the charts' own lines off the page while it is drawn.
    explicit LineasVectoriales(QWidget& pagina) : pagina_(pagina) {
        for (QChartView* vista : pagina.findChildren<QChartView*>())
            for (QAbstractSeries* s : vista->chart()->series()) {
                opacidades_.emplace_back(s, s->opacity());
                s->setOpacity(0);
            }
    }
    ~LineasVectoriales() {
        for (auto [serie, opacidad] : opacidades_) serie->setOpacity(opacidad);
    }
    LineasVectoriales(const LineasVectoriales&) = delete;
    LineasVectoriales& operator=(const LineasVectoriales&) = delete;

    void Pintar(QPainter& pintor) const {
        for (QChartView* vista : pagina_.findChildren<QChartView*>()) {
            const QChart& grafico = *vista->chart();
            const QPointF origen = vista->viewport()->mapTo(&pagina_, QPoint(0, 0));
            const QTransform transformacion = vista->viewportTransform();
            const auto enPagina = [&](QPointF punto) {
                return transformacion.map(grafico.mapToScene(punto)) + origen;
            };
            const QRectF area(enPagina(grafico.plotArea().topLeft()), enPagina(grafico.plotArea().bottomRight()));
            for (const auto& [serie, opacidad] : opacidades_)
                if (serie->chart() == &grafico && serie->isVisible() && opacidad > 0)
                    PintarSerie(pintor, *static_cast<const QXYSeries*>(serie), grafico, enPagina, area);
        }
    }

private:
    template <class EnPagina>
    static void PintarSerie(QPainter& pintor, const QXYSeries& serie, const QChart& grafico, const EnPagina& enPagina,
                            const QRectF& area) {
        const QList<QPointF> puntos = serie.points();
        QList<QPointF> pagina;
        pagina.reserve(puntos.size());
        for (const QPointF& p : puntos) pagina << enPagina(PuntoDe(grafico, p));
        pintor.setPen(serie.pen());
        pintor.setBrush(Qt::NoBrush);
        QPolygonF tramo;
        const auto acabar = [&] {
            if (tramo.size() > 1) pintor.drawPolyline(tramo);
            tramo.clear();
        };
        for (qsizetype i = 1; i < pagina.size(); ++i) {
            QPointF a = pagina[i - 1], b = pagina[i];
            if (!Recortar(a, b, area)) continue;
            if (tramo.isEmpty() || tramo.back() != a) {
                acabar();
                tramo << a;
            }
            tramo << b;
        }
        acabar();
        // The markers as squares of their own fill and edge colours.
        const QImage marca = serie.lightMarker();
        if (marca.isNull()) return;
        pintor.setPen(QPen(marca.pixelColor(0, 0), 1));
        pintor.setBrush(marca.pixelColor(marca.width() / 2, marca.height() / 2));
        const QSizeF lado(marca.width() - 1, marca.height() - 1);
        for (const QPointF& p : pagina)
            if (area.contains(p)) pintor.drawRect(QRectF(p - QPointF(lado.width() / 2, lado.height() / 2), lado));
    }

    QWidget& pagina_;
    std::vector<std::pair<QAbstractSeries*, qreal>> opacidades_;
};

// The page for a vector format: everything as the widgets draw it but the lines, which
// are drawn as polylines.
void PintarVectorial(QWidget& pagina, QPainter& pintor) {
    const LineasVectoriales lineas(pagina);
    Pintar(pagina, pintor);
    lineas.Pintar(pintor);
}

}  // namespace

std::optional<FormatoGrafico> FormatoDeNombre(const QString& nombre) {
    const QString extension = QFileInfo(nombre).suffix().toLower();
    if (extension == QLatin1String("png")) return FormatoGrafico::Png;
    if (extension == QLatin1String("svg")) return FormatoGrafico::Svg;
    if (extension == QLatin1String("pdf")) return FormatoGrafico::Pdf;
    return std::nullopt;
}

QString FiltrosDeGrafico() {
    return QStringLiteral("Imagen PNG (*.png);;Gráfico vectorial SVG (*.svg);;Documento PDF (*.pdf)");
}

QImage ImagenDeGrafico(QWidget& pagina, double escala) {
    QImage imagen(pagina.size() * escala, QImage::Format_ARGB32_Premultiplied);
    if (imagen.isNull()) return imagen;  // no memory for it
    imagen.setDevicePixelRatio(escala);
    QPainter pintor(&imagen);
    Pintar(pagina, pintor);
    return imagen;
}

void ExportarGrafico(QWidget& pagina, const QString& nombre) {
    const FormatoGrafico formato = FormatoDeNombre(nombre).value_or(FormatoGrafico::Png);
    SalidaFichero salida(nombre);
    switch (formato) {
        case FormatoGrafico::Png: {
            const QImage imagen = ImagenDeGrafico(pagina);
            if (imagen.isNull()) throw ErrorTavelorin(mensajes::kSinMemoria);
            QImageWriter(&salida, "png").write(imagen);  // a write error is thrown by Confirmar
            break;
        }
        case FormatoGrafico::Svg: {
            QSvgGenerator svg;
            svg.setOutputDevice(&salida);
            svg.setSize(pagina.size());
            svg.setViewBox(QRect(QPoint(0, 0), pagina.size()));
            svg.setResolution(kPixelesPorPulgada);
            svg.setTitle(pagina.accessibleName());
            svg.setDescription(QStringLiteral("TAVELORIN"));
            QPainter pintor(&svg);
            PintarVectorial(pagina, pintor);
            break;
        }
        case FormatoGrafico::Pdf: {
            QPdfWriter pdf(&salida);
            pdf.setCreator(QStringLiteral("TAVELORIN"));
            pdf.setTitle(pagina.accessibleName());
            pdf.setResolution(kPixelesPorPulgada);
            const QSizeF puntos = QSizeF(pagina.size()) * kPuntosPorPulgada / kPixelesPorPulgada;
            pdf.setPageLayout(QPageLayout(QPageSize(puntos, QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
            QPainter pintor(&pdf);
            PintarVectorial(pagina, pintor);
            break;
        }
    }
    salida.Confirmar();
}

void CopiarGrafico(QWidget& pagina) {
    const QImage imagen = ImagenDeGrafico(pagina, pagina.devicePixelRatioF());
    if (imagen.isNull()) throw ErrorTavelorin(mensajes::kSinMemoria);
    QGuiApplication::clipboard()->setImage(imagen);
}

}  // namespace tavelorin
