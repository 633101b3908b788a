// The consumption charts: series from the stage table, colours, the component selector,
// the legends with their check boxes, and what a failed solve leaves them to read.
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <QValueAxis>
#include <optional>
#include <string>
#include <vector>

#include "core/Aleatorio.h"
#include "core/Errores.h"
#include "ui/GraficosConsumo.h"
#include "core/Problema.h"
#include "core/Secuenciador.h"

using namespace tavelorin;

namespace {

// n = 3, m = 2, Q = 4; sequence 1, 2, 1, 3. X1 = 1, 1, 2, 3; X2 = 0, 1, 1, 2;
// KN1/Q = 0.75, 1.5, 2.25, 3; KN2/Q = 0.5, 1, 1.5, 2.
const QStringList kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};
// Four components whose totals all differ (n = 2, Q = 3): N = 2, 1, 5, 6.
const QStringList kCuatro = {"2", "4", "1\t0\t2\t1\t2", "0\t1\t1\t4\t1"};
const std::vector<int> kTotalesCuatro = {2, 1, 5, 6};
const QStringList kSinComponentes = {"2", "0", "5", "3"};

std::vector<std::string> Lineas(const QStringList& l) {
    std::vector<std::string> r;
    for (const QString& s : l) r.push_back(s.toStdString());
    return r;
}

// Points as exact text, so a comparison shows every bit that differs.
QString Texto(const QList<QPointF>& puntos) {
    QStringList r;
    for (const QPointF& p : puntos) r << QString::asprintf("%.17g:%.17g", p.x(), p.y());
    return r.join(' ');
}

QString Texto(std::initializer_list<std::pair<double, double>> puntos) {
    QList<QPointF> l;
    for (auto [x, y] : puntos) l << QPointF(x, y);
    return Texto(l);
}

// Every row of a legend as "name:1" (checked) or "name:0".
QString Leyenda(const QListWidget* leyenda) {
    QStringList r;
    for (int i = 0; i < leyenda->count(); ++i)
        r << leyenda->item(i)->text() + (leyenda->item(i)->checkState() == Qt::Checked ? ":1" : ":0");
    return r.join(' ');
}

QStringList Nombres(const QChart* grafico) {
    QStringList r;
    for (const QAbstractSeries* s : grafico->series()) r << s->name();
    return r;
}

// The state after n draws of the program's generator, stepped here on its own.
uint32_t Avanzar(uint32_t semilla, int n) {
    for (int i = 0; i < n; ++i) semilla = semilla * 134775813u + 1u;
    return semilla;
}

// floor(255 * u) for the next three states, in integer arithmetic.
QColor ColorDeSemilla(uint32_t semilla) {
    int canal[3];
    for (int& c : canal) {
        semilla = Avanzar(semilla, 1);
        c = static_cast<int>((static_cast<uint64_t>(semilla) * 255u) >> 32);
    }
    return QColor(canal[0], canal[1], canal[2]);
}

// The axis spans minimo..maximo with a margin under 5 % of that span at each end.
bool Abarca(const QValueAxis* eje, double minimo, double maximo) {
    const double tolerancia = 0.05 * (maximo - minimo);
    return eje->min() <= minimo && eje->min() > minimo - tolerancia && eje->max() >= maximo &&
           eje->max() < maximo + tolerancia;
}
#define VERIFICAR_RANGO(eje, minimo, maximo) \
    QVERIFY2(Abarca(eje, minimo, maximo), qPrintable(QString("%1..%2").arg((eje)->min()).arg((eje)->max())))

QString Rgb(const QColor& c) { return QString("%1,%2,%3").arg(c.red()).arg(c.green()).arg(c.blue()); }

int PixelesDeColor(const QImage& imagen, const QColor& color) {
    int n = 0;
    for (int y = 0; y < imagen.height(); ++y)
        for (int x = 0; x < imagen.width(); ++x) n += imagen.pixelColor(x, y).rgb() == color.rgb();
    return n;
}

// The window's part: the shared state, its one generator, the selector's edit.
struct Banco {
    EstadoSecuenciador estado;
    GeneradorAleatorio generador;
    QLineEdit EComp{QStringLiteral("1")};
    GraficosConsumo g{estado, generador, &EComp};

    // As the solve command: the sequencer, then the speed chart, then the rate chart.
    void Resolver(const QStringList& problema) {
        Secuenciar(estado, Lineas(problema), ".");
        g.GraficoVelocidades();
        g.GraficoTasas();
    }
    // A solve that fails in the sequencer: the counts are new, the table is the last one.
    void ResolverConFallo(const QStringList& problema) {
        QVERIFY_THROWS_EXCEPTION(ErrorTavelorin, Secuenciar(estado, Lineas(problema), "."));
    }
    // Runs a selector step; the error's text, or nothing.
    std::optional<QString> Paso(const QString& accion) {
        try {
            if (accion == "+")
                g.Button1Click();
            else if (accion == "-")
                g.Button2Click();
            else
                EComp.setText(accion.mid(1));  // "=texto": typed into EComp
        } catch (const ErrorTavelorin& e) {
            return QString::fromStdString(e.what());
        }
        return std::nullopt;
    }
    // The component the rate chart shows, found from its last points (X(c,Q) = k·N(c)/Q
    // = N(c) at k = Q) and checked against k·N(c)/Q at every stage; 0 when empty, -1 when
    // the two series do not describe one component.
    int Dibujado(const std::vector<int>& totales) const {
        const QList<QPointF> x = g.Xjk()->points(), kn = g.KNjQ()->points();
        if (x.isEmpty() && kn.isEmpty()) return 0;
        const int q = static_cast<int>(x.size());
        if (kn.size() != q || x.back().y() != kn.back().y()) return -1;
        for (size_t c = 0; c < totales.size(); ++c) {
            if (kn.back().y() != totales[c]) continue;
            for (int k = 1; k <= q; ++k)
                if (kn[k - 1] != QPointF(k, static_cast<double>(k) * totales[c] / q) || x[k - 1].x() != k) return -1;
            return static_cast<int>(c) + 1;
        }
        return -1;
    }
};

}  // namespace

class PruebaGraficos : public QObject {
    Q_OBJECT

private slots:
    void ColorSerie_data();
    void ColorSerie();
    void ColoresDeDoceComponentes();
    void VelocidadesDelEjemplo();
    void VelocidadesSinComponentes();
    void UnComponente();
    void Tasas_data();
    void Tasas();
    void Selector_data();
    void Selector();
    void TrasUnaResolucionFallida_data();
    void TrasUnaResolucionFallida();
    void NuevoYDespuesMas();
    void BorrarSeries();
    void LeyendaDeTasas();
    void LeyendaDeVelocidades();
    void Aspecto();
    void Dibujo();
};

void PruebaGraficos::ColorSerie_data() {
    QTest::addColumn<int>("indice");
    QTest::addColumn<uint>("semilla");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<int>("sorteos");
    const QColor tabla[] = {{255, 0, 0},   {0, 0, 128},   {0, 128, 0},     {255, 255, 0},   {0, 255, 255},
                            {0, 255, 0},   {255, 0, 255}, {192, 220, 192}, {166, 202, 240}};
    for (int i = 0; i < 9; ++i)
        QTest::addRow("componente %d", i + 1) << i << 12345u << tabla[i] << 0;
    // From the tenth on: three draws of the generator, each channel floor(255 u).
    QTest::newRow("componente 10, semilla 0") << 9 << 0u << QColor(0, 8, 219) << 3;
    QTest::newRow("componente 11, semilla 1") << 10 << 1u << QColor(8, 219, 51) << 3;
    // The first draw gives the largest state, 2^32 - 1: the channel is 254, never 255.
    QTest::newRow("canal maximo") << 11 << 1298181734u << QColor(254, 246, 51) << 3;
    QTest::newRow("componente 100") << 99 << 20240611u << ColorDeSemilla(20240611u) << 3;
    QTest::newRow("componente 10000") << 9999 << 4000000000u << ColorDeSemilla(4000000000u) << 3;
}

void PruebaGraficos::ColorSerie() {
    QFETCH(int, indice);
    QFETCH(uint, semilla);
    QFETCH(QColor, color);
    QFETCH(int, sorteos);
    GeneradorAleatorio generador;
    generador.SemillaAleatoria = semilla;
    QCOMPARE(Rgb(GraficosConsumo::ColorSerie(indice, generador)), Rgb(color));
    QCOMPARE(generador.SemillaAleatoria, Avanzar(semilla, sorteos));
}

void PruebaGraficos::ColoresDeDoceComponentes() {
    Banco b;
    b.generador.SemillaAleatoria = 777;
    QStringList problema = {"1", "12"};
    problema << "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t3";
    b.Resolver(problema);
    const QStringList fijos = {"255,0,0",     "0,0,128",     "0,128,0",     "255,255,0",  "0,255,255",
                               "0,255,0",     "255,0,255",   "192,220,192", "166,202,240"};
    QStringList primera;
    for (QLineSeries* s : b.g.SeriesVel()) primera << Rgb(s->pen().color());
    QCOMPARE(primera.mid(0, 9), fijos);
    // Components 10, 11 and 12 draw from the window's generator, in order.
    QCOMPARE(primera.mid(9), (QStringList{Rgb(ColorDeSemilla(777)), Rgb(ColorDeSemilla(Avanzar(777, 3))),
                                          Rgb(ColorDeSemilla(Avanzar(777, 6)))}));
    QCOMPARE(b.generador.SemillaAleatoria, Avanzar(777, 9));

    // The next solve gives them new colours, and keeps the nine.
    b.Resolver(problema);
    QStringList segunda;
    for (QLineSeries* s : b.g.SeriesVel()) segunda << Rgb(s->pen().color());
    QCOMPARE(segunda.mid(0, 9), fijos);
    QCOMPARE(segunda.mid(9), (QStringList{Rgb(ColorDeSemilla(Avanzar(777, 9))), Rgb(ColorDeSemilla(Avanzar(777, 12))),
                                          Rgb(ColorDeSemilla(Avanzar(777, 15)))}));
    QVERIFY(segunda.mid(9) != primera.mid(9));
    QCOMPARE(b.generador.SemillaAleatoria, Avanzar(777, 18));
}

void PruebaGraficos::VelocidadesDelEjemplo() {
    Banco b;
    b.Resolver(kEjemplo);
    const auto& series = b.g.SeriesVel();
    QCOMPARE(series.size(), size_t{2});
    QCOMPARE(Nombres(b.g.GraficoVel()), (QStringList{"C1", "C2"}));
    QCOMPARE(b.g.GraficoVel()->series().at(0), series[0]);
    QCOMPARE(b.g.GraficoVel()->series().at(1), series[1]);
    // y = X(j,k) / k, a real division.
    QCOMPARE(Texto(series[0]->points()), Texto({{1, 1}, {2, 0.5}, {3, 2.0 / 3.0}, {4, 0.75}}));
    QCOMPARE(Texto(series[1]->points()), Texto({{1, 0}, {2, 0.5}, {3, 1.0 / 3.0}, {4, 0.5}}));
    QCOMPARE(Leyenda(b.g.LeyendaVel()), QString("C1:1 C2:1"));
    // Ranges follow the points.
    VERIFICAR_RANGO(b.g.EjeX(b.g.GraficoVel()), 1.0, 4.0);
    VERIFICAR_RANGO(b.g.EjeY(b.g.GraficoVel()), 0.0, 1.0);

    // A second solve replaces the series; the first ones are freed.
    QPointer<QLineSeries> vieja = series[0];
    b.Resolver(kCuatro);
    QVERIFY(vieja.isNull());
    QCOMPARE(Nombres(b.g.GraficoVel()), (QStringList{"C1", "C2", "C3", "C4"}));
    QCOMPARE(Leyenda(b.g.LeyendaVel()), QString("C1:1 C2:1 C3:1 C4:1"));
    for (QLineSeries* s : b.g.SeriesVel()) QCOMPARE(s->count(), 3);
}

void PruebaGraficos::VelocidadesSinComponentes() {
    Banco b;
    b.Resolver(kEjemplo);
    b.Resolver(kSinComponentes);
    QVERIFY(b.g.SeriesVel().empty());
    QVERIFY(b.g.GraficoVel()->series().isEmpty());
    QCOMPARE(b.g.LeyendaVel()->count(), 0);
    // No component number is valid: the rate chart is empty.
    QCOMPARE(b.g.Xjk()->count(), 0);
    QCOMPARE(b.g.KNjQ()->count(), 0);
}

void PruebaGraficos::UnComponente() {
    Banco b;
    b.Resolver({"2", "1", "3\t1", "1\t2"});
    QCOMPARE(b.g.SeriesVel().size(), size_t{1});
    QCOMPARE(b.g.SeriesVel()[0]->name(), QString("C1"));
    QCOMPARE(Rgb(b.g.SeriesVel()[0]->pen().color()), QString("255,0,0"));
    QCOMPARE(Leyenda(b.g.LeyendaVel()), QString("C1:1"));
    QCOMPARE(b.g.LeyendaVel()->item(0)->flags() & Qt::ItemIsUserCheckable, Qt::ItemIsUserCheckable);
}

void PruebaGraficos::Tasas_data() {
    QTest::addColumn<QStringList>("problema");
    QTest::addColumn<QString>("componente");
    QTest::addColumn<QString>("xjk");
    QTest::addColumn<QString>("knjq");
    QTest::addColumn<QString>("error");
    const QString vacio;
    QTest::newRow("componente 1") << kEjemplo << "1" << Texto({{1, 1}, {2, 1}, {3, 2}, {4, 3}})
                                  << Texto({{1, 0.75}, {2, 1.5}, {3, 2.25}, {4, 3}}) << vacio;
    QTest::newRow("componente 2") << kEjemplo << "2" << Texto({{1, 0}, {2, 1}, {3, 1}, {4, 2}})
                                  << Texto({{1, 0.5}, {2, 1}, {3, 1.5}, {4, 2}}) << vacio;
    QTest::newRow("regla de los enteros") << kEjemplo << " $2" << Texto({{1, 0}, {2, 1}, {3, 1}, {4, 2}})
                                          << Texto({{1, 0.5}, {2, 1}, {3, 1.5}, {4, 2}}) << vacio;
    // Outside 1..NComp: the columns there belong to other quantities, or lie past the row.
    QTest::newRow("0") << kEjemplo << "0" << vacio << vacio << vacio;
    QTest::newRow("NComp + 1") << kEjemplo << "3" << vacio << vacio << vacio;
    QTest::newRow("NComp + 2") << kEjemplo << "4" << vacio << vacio << vacio;
    QTest::newRow("negativo") << kEjemplo << "-1" << vacio << vacio << vacio;
    QTest::newRow("el mayor entero") << kEjemplo << "2147483647" << vacio << vacio << vacio;
    QTest::newRow("sin componentes") << kSinComponentes << "1" << vacio << vacio << vacio;
    // Not an integer: the chart stays empty, and nothing fails (the solve goes on).
    QTest::newRow("letras") << kEjemplo << "x" << vacio << vacio << vacio;
    QTest::newRow("vacio") << kEjemplo << "" << vacio << vacio << vacio;
}

void PruebaGraficos::Tasas() {
    QFETCH(QStringList, problema);
    QFETCH(QString, componente);
    QFETCH(QString, xjk);
    QFETCH(QString, knjq);
    QFETCH(QString, error);
    Banco b;
    b.Resolver(kEjemplo);  // draws component 1
    QCOMPARE(b.g.Xjk()->count(), 4);
    b.EComp.setText(componente);
    Secuenciar(b.estado, Lineas(problema), ".");
    b.g.GraficoVelocidades();
    QString mensaje;
    try {
        b.g.GraficoTasas();
    } catch (const ErrorTavelorin& e) {
        mensaje = QString::fromStdString(e.what());
    }
    QCOMPARE(mensaje, error);
    QCOMPARE(Texto(b.g.Xjk()->points()), xjk);
    QCOMPARE(Texto(b.g.KNjQ()->points()), knjq);
    // Whatever the number, the chart keeps its two series.
    QCOMPARE(Nombres(b.g.GraficoTas()), (QStringList{"KNj/Q", "Xjk"}));
}

void PruebaGraficos::Selector_data() {
    QTest::addColumn<QStringList>("problema");  // solved first; empty: no solve yet
    QTest::addColumn<QString>("inicial");
    QTest::addColumn<QString>("accion");  // "+", "-", or "=" followed by the text typed
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("componente");  // drawn afterwards; 0: the chart is empty
    const QStringList ninguno;
    const QString sin;
    // The solve draws component 1; setting the initial text draws it when it is valid.
    QTest::newRow("+ en NComp") << kCuatro << "4" << "+" << "4" << sin << 4;
    QTest::newRow("- en 1") << kCuatro << "1" << "-" << "1" << sin << 1;
    QTest::newRow("+ desde 2") << kCuatro << "2" << "+" << "3" << sin << 3;
    QTest::newRow("- desde 3") << kCuatro << "3" << "-" << "2" << sin << 2;
    QTest::newRow("- desde fuera") << kCuatro << "9" << "-" << "8" << sin << 1;
    QTest::newRow("+ desde negativo") << kCuatro << "-5" << "+" << "-4" << sin << 1;
    QTest::newRow("+ con la regla de los enteros") << kCuatro << " $2" << "+" << "3" << sin << 3;
    QTest::newRow("+ da la vuelta") << kCuatro << "2147483647" << "+" << "-2147483648" << sin << 1;
    QTest::newRow("- da la vuelta") << kCuatro << "-2147483648" << "-" << "2147483647" << sin << 1;
    QTest::newRow("escribir 1") << kCuatro << "3" << "=1" << "1" << sin << 1;
    QTest::newRow("escribir 4") << kCuatro << "1" << "=4" << "4" << sin << 4;
    QTest::newRow("escribir 5") << kCuatro << "3" << "=5" << "5" << sin << 3;
    QTest::newRow("escribir 0") << kCuatro << "2" << "=0" << "0" << sin << 2;
    QTest::newRow("vaciar") << kCuatro << "2" << "=" << "" << sin << 2;
    QTest::newRow("escribir una letra") << kCuatro << "2" << "=a" << "a" << sin << 2;
    QTest::newRow("+ con letra") << kCuatro << "a" << "+" << "a" << "''a'' is not a valid integer value" << 1;
    QTest::newRow("- con letra") << kCuatro << "a" << "-" << "a" << "''a'' is not a valid integer value" << 1;
    QTest::newRow("+ vacio") << kCuatro << "" << "+" << "" << "'''' is not a valid integer value" << 1;
    // Before any solve NComp is 0.
    QTest::newRow("sin resolver: +") << ninguno << "1" << "+" << "0" << sin << 0;
    QTest::newRow("sin resolver: - desde 0") << ninguno << "0" << "-" << "1" << sin << 0;
    QTest::newRow("sin resolver: escribir 1") << ninguno << "0" << "=1" << "1" << sin << 0;
    QTest::newRow("sin componentes: +") << kSinComponentes << "1" << "+" << "0" << sin << 0;
}

void PruebaGraficos::Selector() {
    QFETCH(QStringList, problema);
    QFETCH(QString, inicial);
    QFETCH(QString, accion);
    QFETCH(QString, texto);
    QFETCH(QString, error);
    QFETCH(int, componente);
    Banco b;
    if (!problema.isEmpty()) b.Resolver(problema);
    b.EComp.setText(inicial);
    const std::optional<QString> fallo = b.Paso(accion);
    QCOMPARE(fallo.value_or(QString()), error);
    QCOMPARE(b.EComp.text(), texto);
    QCOMPARE(b.Dibujado(problema == kCuatro ? kTotalesCuatro : std::vector<int>{}), componente);
}

void PruebaGraficos::TrasUnaResolucionFallida_data() {
    QTest::addColumn<QStringList>("fallido");
    QTest::addColumn<int>("nComp");  // what the failed parse left in NComp
    QTest::addColumn<QString>("inicial");
    QTest::addColumn<QString>("accion");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("componente");
    // The previous solve is kCuatro (n = 2, m = 4), drawing component 1.
    const QStringList masComponentes = {"2", "6", "1\t1\ta"};
    QTest::newRow("mas componentes: escribir 3") << masComponentes << 6 << "1" << "=3" << "3" << 3;
    QTest::newRow("mas componentes: escribir 4") << masComponentes << 6 << "1" << "=4" << "4" << 4;
    // Valid for the new counts, but the table has no such component: nothing is drawn.
    QTest::newRow("mas componentes: escribir 5") << masComponentes << 6 << "2" << "=5" << "5" << 0;
    QTest::newRow("mas componentes: + desde 4") << masComponentes << 6 << "4" << "+" << "5" << 0;
    QTest::newRow("mas componentes: + en 6") << masComponentes << 6 << "6" << "+" << "6" << 0;
    // Many more products: the table's own product count places its columns.
    const QStringList masProductos = {"50", "4", "x"};
    QTest::newRow("mas productos: escribir 2") << masProductos << 4 << "1" << "=2" << "2" << 2;
    QTest::newRow("mas productos: + desde 3") << masProductos << 4 << "3" << "+" << "4" << 4;
    // Fewer components: the selector stops at the new NComp.
    const QStringList menosComponentes = {"2", "1", "a"};
    QTest::newRow("menos componentes: escribir 3") << menosComponentes << 1 << "1" << "=3" << "3" << 1;
    QTest::newRow("menos componentes: + desde 1") << menosComponentes << 1 << "1" << "+" << "1" << 1;
    QTest::newRow("menos componentes: - desde 3") << menosComponentes << 1 << "3" << "-" << "2" << 1;
}

void PruebaGraficos::TrasUnaResolucionFallida() {
    QFETCH(QStringList, fallido);
    QFETCH(int, nComp);
    QFETCH(QString, inicial);
    QFETCH(QString, accion);
    QFETCH(QString, texto);
    QFETCH(int, componente);
    Banco b;
    b.Resolver(kCuatro);
    b.ResolverConFallo(fallido);
    QCOMPARE(b.estado.NComp, nComp);
    QCOMPARE(b.estado.TablaSolucion.nComp, 4);
    b.EComp.setText(inicial);
    QCOMPARE(b.Paso(accion).value_or(QString()), QString());
    QCOMPARE(b.EComp.text(), texto);
    QCOMPARE(b.Dibujado(kTotalesCuatro), componente);
}

void PruebaGraficos::NuevoYDespuesMas() {
    Banco b;
    b.EComp.setText("3");
    b.Resolver(kCuatro);
    QCOMPARE(b.Dibujado(kTotalesCuatro), 3);
    // What Nuevo does: the selector back to 1, both charts emptied.
    b.EComp.setText("1");
    b.g.BorrarSeriesVel();
    b.g.BorrarSeriesTasas();
    QCOMPARE(b.Dibujado(kTotalesCuatro), 0);
    QVERIFY(b.g.SeriesVel().empty());
    // The charts draw from whatever table the state holds (the window's Nuevo also
    // forgets the last solve, so there "+" draws nothing): "+" draws its component 2.
    b.g.Button1Click();
    QCOMPARE(b.EComp.text(), QString("2"));
    QCOMPARE(b.Dibujado(kTotalesCuatro), 2);
    // Typing into the edit redraws too.
    b.EComp.selectAll();
    QTest::keyClicks(&b.EComp, "4");
    QCOMPARE(b.EComp.text(), QString("4"));
    QCOMPARE(b.Dibujado(kTotalesCuatro), 4);
}

void PruebaGraficos::BorrarSeries() {
    Banco b;
    b.Resolver(kCuatro);
    std::vector<QPointer<QLineSeries>> series(b.g.SeriesVel().begin(), b.g.SeriesVel().end());
    QCOMPARE(series.size(), size_t{4});
    b.g.BorrarSeriesVel();
    QVERIFY(b.g.SeriesVel().empty());
    QVERIFY(b.g.GraficoVel()->series().isEmpty());
    QCOMPARE(b.g.LeyendaVel()->count(), 0);
    for (const auto& s : series) QVERIFY(s.isNull());  // freed, not only detached
    QCOMPARE(b.g.Xjk()->count(), 3);  // the rate chart is left alone

    QLineSeries* knjq = b.g.KNjQ();
    QLineSeries* xjk = b.g.Xjk();
    b.g.BorrarSeriesTasas();
    QCOMPARE(b.g.Xjk()->count(), 0);
    QCOMPARE(b.g.KNjQ()->count(), 0);
    // Emptied, never replaced: the same two series stay on the chart and in its legend.
    QCOMPARE(b.g.KNjQ(), knjq);
    QCOMPARE(b.g.Xjk(), xjk);
    QCOMPARE(b.g.GraficoTas()->series(), (QList<QAbstractSeries*>{knjq, xjk}));
    QCOMPARE(Leyenda(b.g.LeyendaTas()), QString("KNj/Q:1 Xjk:1"));
}

void PruebaGraficos::LeyendaDeTasas() {
    Banco b;
    b.EComp.setText("2");
    b.Resolver(kEjemplo);
    QListWidget* leyenda = b.g.LeyendaTas();
    VERIFICAR_RANGO(b.g.EjeY(b.g.GraficoTas()), 0.0, 2.0);  // X2 starts at 0, KN2/Q at 0.5

    // The user unchecks "Xjk" with the keyboard.
    leyenda->setCurrentRow(1);
    QTest::keyClick(leyenda->viewport(), Qt::Key_Space);
    QVERIFY(!b.g.Xjk()->isVisible());
    QVERIFY(b.g.KNjQ()->isVisible());
    QCOMPARE(Leyenda(leyenda), QString("KNj/Q:1 Xjk:0"));
    QCOMPARE(Nombres(b.g.GraficoTas()), (QStringList{"KNj/Q", "Xjk"}));
    // The range follows the lines shown.
    VERIFICAR_RANGO(b.g.EjeY(b.g.GraficoTas()), 0.5, 2.0);

    // Refills keep it hidden and listed, and the range still leaves it out.
    b.EComp.setText("1");
    QCOMPARE(Texto(b.g.Xjk()->points()), Texto({{1, 1}, {2, 1}, {3, 2}, {4, 3}}));
    QVERIFY(!b.g.Xjk()->isVisible());
    b.EComp.setText("2");
    VERIFICAR_RANGO(b.g.EjeY(b.g.GraficoTas()), 0.5, 2.0);
    b.g.BorrarSeriesTasas();
    b.Resolver(kEjemplo);
    QVERIFY(!b.g.Xjk()->isVisible());
    QCOMPARE(Leyenda(leyenda), QString("KNj/Q:1 Xjk:0"));
    VERIFICAR_RANGO(b.g.EjeY(b.g.GraficoTas()), 0.5, 2.0);

    // Checking it again shows it.
    leyenda->item(1)->setCheckState(Qt::Checked);
    QVERIFY(b.g.Xjk()->isVisible());
    VERIFICAR_RANGO(b.g.EjeY(b.g.GraficoTas()), 0.0, 2.0);
    b.EComp.setText("1");
    VERIFICAR_RANGO(b.g.EjeY(b.g.GraficoTas()), 0.75, 3.0);
    leyenda->item(0)->setCheckState(Qt::Unchecked);
    QVERIFY(!b.g.KNjQ()->isVisible());
    VERIFICAR_RANGO(b.g.EjeY(b.g.GraficoTas()), 1.0, 3.0);
    VERIFICAR_RANGO(b.g.EjeX(b.g.GraficoTas()), 1.0, 4.0);
}

void PruebaGraficos::LeyendaDeVelocidades() {
    Banco b;
    b.Resolver(kCuatro);
    b.g.LeyendaVel()->item(1)->setCheckState(Qt::Unchecked);
    QVERIFY(!b.g.SeriesVel()[1]->isVisible());
    QVERIFY(b.g.SeriesVel()[0]->isVisible());
    QCOMPARE(Leyenda(b.g.LeyendaVel()), QString("C1:1 C2:0 C3:1 C4:1"));
    QCOMPARE(b.g.GraficoVel()->series().size(), 4);
    // The next solve creates new series: all shown.
    b.Resolver(kCuatro);
    QCOMPARE(Leyenda(b.g.LeyendaVel()), QString("C1:1 C2:1 C3:1 C4:1"));
    for (QLineSeries* s : b.g.SeriesVel()) QVERIFY(s->isVisible());
}

void PruebaGraficos::Aspecto() {
    Banco b;
    b.Resolver(kEjemplo);
    for (QChart* grafico : {b.g.GraficoVel(), b.g.GraficoTas()}) {
        QVERIFY(grafico->title().isEmpty());
        QVERIFY(!grafico->legend()->isVisible());  // ours lists every series, hidden or not
        QCOMPARE(grafico->backgroundBrush().color(), QColor(Qt::white));
        QCOMPARE(grafico->plotAreaBackgroundBrush().color(), QColor(Qt::white));
        QVERIFY(!grafico->isDropShadowEnabled());
        QValueAxis* x = b.g.EjeX(grafico);
        QValueAxis* y = b.g.EjeY(grafico);
        QCOMPARE(grafico->axes(Qt::Horizontal), QList<QAbstractAxis*>{x});
        QCOMPARE(grafico->axes(Qt::Vertical), QList<QAbstractAxis*>{y});
        for (QValueAxis* eje : {x, y}) {
            QCOMPARE(eje->linePen().width(), 1);
            QCOMPARE(eje->linePen().color(), QColor(Qt::black));
            QCOMPARE(eje->minorTickCount(), 0);
            QCOMPARE(eje->labelsFont().pixelSize(), 13);
        }
        QVERIFY(!x->isGridLineVisible());
        QVERIFY(y->isGridLineVisible());
        QCOMPARE(y->gridLinePen().style(), Qt::SolidLine);
        QCOMPARE(y->gridLinePen().color(), QColor(Qt::black));
        for (QAbstractSeries* s : grafico->series()) QCOMPARE(s->attachedAxes(), (QList<QAbstractAxis*>{x, y}));
    }
    QCOMPARE(b.g.LeyendaVel()->font().pixelSize(), 13);
    QCOMPARE(b.g.LeyendaTas()->font().pixelSize(), 13);
    for (QLineSeries* s : b.g.SeriesVel()) {
        QCOMPARE(s->pen().width(), 4);
        QVERIFY(!s->pointsVisible());
        QVERIFY(!s->pointLabelsVisible());
    }
    struct Tasa {
        QLineSeries* serie;
        QString nombre;
        QColor color;
    };
    for (const Tasa& t : {Tasa{b.g.KNjQ(), "KNj/Q", QColor(153, 153, 255)}, Tasa{b.g.Xjk(), "Xjk", QColor(153, 51, 102)}}) {
        QCOMPARE(t.serie->name(), t.nombre);
        QCOMPARE(Rgb(t.serie->pen().color()), Rgb(t.color));
        QCOMPARE(t.serie->pen().width(), 2);
        QVERIFY(t.serie->pointsVisible());
        QVERIFY(!t.serie->pointLabelsVisible());
        const QImage marca = t.serie->lightMarker();
        QVERIFY(!marca.isNull());
        QCOMPARE(Rgb(marca.pixelColor(marca.width() / 2, marca.height() / 2)), Rgb(t.color));
    }
}

// The plots as drawn: every line in its own colour; a hidden line leaves no pixel there
// (its legend row keeps its swatch).
void PruebaGraficos::Dibujo() {
    Banco b;
    b.Resolver(kCuatro);
    b.EComp.setText("4");
    QWidget* vel = b.g.ChartVelCon();
    QWidget* tas = b.g.ChartTasCon();
    for (QWidget* w : {vel, tas}) {
        w->resize(800, 500);
        w->show();
    }
    QVERIFY(QTest::qWaitForWindowExposed(tas));
    auto dibujar = [](QWidget* w) {
        QCoreApplication::sendPostedEvents();
        return w->findChild<QChartView*>()->grab().toImage();
    };
    const QImage imagenVel = dibujar(vel);
    for (const QColor& c : {QColor(255, 0, 0), QColor(0, 0, 128), QColor(0, 128, 0), QColor(255, 255, 0)})
        QVERIFY2(PixelesDeColor(imagenVel, c) > 100, qPrintable(Rgb(c)));
    QVERIFY(PixelesDeColor(dibujar(tas), QColor(153, 51, 102)) > 100);
    QVERIFY(PixelesDeColor(dibujar(tas), QColor(153, 153, 255)) > 100);
    b.g.LeyendaTas()->item(1)->setCheckState(Qt::Unchecked);
    b.EComp.setText("3");
    const QImage sinXjk = dibujar(tas);
    QCOMPARE(PixelesDeColor(sinXjk, QColor(153, 51, 102)), 0);
    QVERIFY(PixelesDeColor(sinXjk, QColor(153, 153, 255)) > 100);
}

QTEST_MAIN(PruebaGraficos)
#include "test_graficos.moc"
