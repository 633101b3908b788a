// Series cut down to their plot's pixel columns: which points are kept, that the chart
// draws the same picture as with every point, and that another view (a zoom) takes the
// points of its own stages.
#include <QChart>
#include <QChartView>
#include <QLineEdit>
#include <QLineSeries>
#include <QTest>
#include <QValueAxis>
#include <QPainter>
#include <cmath>
#include <map>
#include <set>

#include "core/Aleatorio.h"
#include "core/Secuenciador.h"
#include "soporte/ProblemaSembrado.h"
#include "ui/Diezmado.h"
#include "ui/GraficosConsumo.h"

using namespace tavelorin;

namespace {

// A wandering series with spikes, as consumption rates look.
double Valor(int64_t k) { return std::sin(static_cast<double>(k) * 0.0137) * 50 + ((k * 7919) % 101 == 0 ? 40 : 0) + (k % 13); }

int Columna(double x, double x0, double x1, int columnas) { return static_cast<int>(std::floor((x - x0) * columnas / (x1 - x0))); }

int Diferentes(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

}  // namespace

class PruebaDiezmado : public QObject {
    Q_OBJECT

private slots:
    void Puntos_data();
    void Puntos();
    void MismaImagenQueConTodos();
    void LosGraficosConMuchasEtapas();
};

void PruebaDiezmado::Puntos_data() {
    QTest::addColumn<qlonglong>("q");
    QTest::addColumn<double>("x0");
    QTest::addColumn<double>("x1");
    QTest::addColumn<int>("columnas");
    QTest::newRow("pocas: todas") << 3000LL << -50.0 << 3100.0 << 1000;
    QTest::newRow("muchas") << 200000LL << -4000.0 << 204000.0 << 900;
    QTest::newRow("una vista en medio") << 200000LL << 70000.0 << 90000.5 << 640;
    QTest::newRow("una vista de pocas") << 200000LL << 70000.2 << 70300.0 << 640;
    QTest::newRow("una columna") << 5000LL << 1.0 << 5000.0 << 1;
}

void PruebaDiezmado::Puntos() {
    QFETCH(qlonglong, q);
    QFETCH(double, x0);
    QFETCH(double, x1);
    QFETCH(int, columnas);
    const QList<QPointF> p = Diezmar(q, Valor, x0, x1, columnas);
    // The stages in view and one on each side, at most four a column.
    const int64_t desde = std::clamp<int64_t>(static_cast<int64_t>(std::ceil(x0)) - 1, 1, q);
    const int64_t hasta = std::clamp<int64_t>(static_cast<int64_t>(std::floor(x1)) + 1, 1, q);
    QCOMPARE(p.front().x(), static_cast<double>(desde));
    QCOMPARE(p.back().x(), static_cast<double>(hasta));
    QVERIFY(p.size() <= std::max<int64_t>(4 * columnas + 8, 0) || p.size() == hasta - desde + 1);
    for (qsizetype i = 0; i < p.size(); ++i) {
        QCOMPARE(p[i].y(), Valor(static_cast<int64_t>(p[i].x())));  // real points only
        if (i > 0) QVERIFY(p[i].x() > p[i - 1].x());
    }
    if (hasta - desde + 1 <= 4 * static_cast<int64_t>(columnas)) {
        QCOMPARE(p.size(), hasta - desde + 1);
        return;
    }
    // Each column keeps its first, last, lowest and highest stage.
    std::map<int, std::vector<int64_t>> porColumna;
    for (int64_t k = desde; k <= hasta; ++k) porColumna[Columna(static_cast<double>(k), x0, x1, columnas)].push_back(k);
    std::set<int64_t> guardados;
    for (const QPointF& punto : p) guardados.insert(static_cast<int64_t>(punto.x()));
    for (const auto& [c, ks] : porColumna) {
        const auto menor = std::min_element(ks.begin(), ks.end(), [](int64_t a, int64_t b) { return Valor(a) < Valor(b); });
        const auto mayor = std::max_element(ks.begin(), ks.end(), [](int64_t a, int64_t b) { return Valor(a) < Valor(b); });
        for (int64_t k : {ks.front(), ks.back(), *menor, *mayor}) QVERIFY2(guardados.count(k), qPrintable(QString("columna %1, etapa %2").arg(c).arg(k)));
    }
}

void PruebaDiezmado::MismaImagenQueConTodos() {
    // Drawn at the plot's own resolution, the cut series covers the pixels of the whole one.
    const int64_t q = 100000;
    for (int ancho : {1, 4}) {
        QImage todas(900, 300, QImage::Format_RGB32), cortadas(900, 300, QImage::Format_RGB32);
        const double x0 = 0.5, x1 = q + 0.5;
        const auto dibujar = [&](QImage& imagen, const QList<QPointF>& puntos) {
            imagen.fill(Qt::white);
            QPainter p(&imagen);
            p.setPen(QPen(Qt::black, ancho));
            QPolygonF linea;
            for (const QPointF& punto : puntos) linea << QPointF((punto.x() - x0) / (x1 - x0) * 900, 150 - punto.y() * 2);
            p.drawPolyline(linea);
        };
        QList<QPointF> completa;
        for (int64_t k = 1; k <= q; ++k) completa << QPointF(static_cast<double>(k), Valor(k));
        dibujar(todas, completa);
        const QList<QPointF> pocas = Diezmar(q, Valor, x0, x1, 900);
        QVERIFY(pocas.size() < 4 * 900 + 8);
        dibujar(cortadas, pocas);
        // Line caps and joins may fall a pixel apart where a column's segments meet: about
        // 80 of 270,000 pixels for a 1-pixel line here, 330 for a 4-pixel one.
        const int distintos = Diferentes(todas, cortadas);
        QVERIFY2(distintos < 900 * ancho / 4, qPrintable(QString("%1 pixels differ").arg(distintos)));
    }
}

void PruebaDiezmado::LosGraficosConMuchasEtapas() {
    // Q = 200000, 20 components: each series holds a few points a pixel column, the axes
    // span every stage, and a zoom gives the series every stage in view.
    EstadoSecuenciador estado;
    SecuenciarTabla(estado, bench::ProblemaSembradoGrande(10, 20, 200000));
    GeneradorAleatorio generador;
    QLineEdit ecomp(QStringLiteral("7"));
    GraficosConsumo g(estado, generador, &ecomp);
    for (QWidget* pagina : {g.ChartVelCon(), g.ChartTasCon()}) {
        pagina->resize(1075, 700);
        pagina->show();
        QVERIFY(QTest::qWaitForWindowExposed(pagina));
    }
    g.GraficoVelocidades();
    g.GraficoTasas();
    QCoreApplication::processEvents();
    const int columnas = static_cast<int>(std::ceil(g.GraficoVel()->plotArea().width()));
    QVERIFY(columnas > 500);
    const TablaEtapas& t = estado.TablaSolucion;
    for (QLineSeries* s : g.SeriesVel()) QVERIFY(s->count() <= 4 * columnas + 8);
    QVERIFY(g.Xjk()->count() <= 4 * columnas + 8);
    // The rate chart's last point is the last stage, its values those of the table.
    QCOMPARE(g.Xjk()->points().back(), QPointF(200000, t.Celda(199999, t.ColConsumo(7))));
    QCOMPARE(g.KNjQ()->points().back(), QPointF(200000, t.Celda(199999, t.ColIdeal(7))));
    // The y axis spans the values of every stage, not only those kept.
    double mayor = 0;
    for (int32_t k = 1; k <= 200000; ++k) mayor = std::max(mayor, t.Celda(k - 1, t.ColConsumo(1)) / k);
    QVERIFY(g.EjeY(g.GraficoVel())->max() >= mayor);
    // A zoom to 300 stages: every one of them, and one on each side.
    g.EjeX(g.GraficoTas())->setRange(120000, 120300);
    const QList<QPointF> vista = g.Xjk()->points();
    QCOMPARE(vista.size(), 303);
    QCOMPARE(vista.front().x(), 119999.0);
    for (const QPointF& p : vista) QCOMPARE(p.y(), t.Celda(static_cast<int32_t>(p.x()) - 1, t.ColConsumo(7)));
}

QTEST_MAIN(PruebaDiezmado)
#include "test_graficos_diezmado.moc"
