// Reading and keeping the charts: axis titles, zoom (a dragged rectangle, the wheel, the
// keys) and the whole chart again, the tooltip of the line under the pointer, the
// legend's menu, export to PNG, SVG and PDF, and the copy as an image.
#include <QApplication>
#include <QChart>
#include <QClipboard>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QValueAxis>
#include <QWheelEvent>

#include "core/Aleatorio.h"
#include "core/Errores.h"
#include "core/Problema.h"
#include "core/Secuenciador.h"
#include "soporte/Controles.h"
#include "soporte/DialogosPrueba.h"
#include "ui/ExportarGrafico.h"
#include "ui/GraficosConsumo.h"
#include "ui/Main.h"
#include "ui/VistaGrafico.h"

using namespace tavelorin;

namespace {

// Four components whose totals differ (n = 2, Q = 3).
const std::vector<std::string> kCuatro = {"2", "4", "1\t0\t2\t1\t2", "0\t1\t1\t4\t1"};

// The charts of a solve, on pages shown at a known size.
struct Banco {
    EstadoSecuenciador estado;
    GeneradorAleatorio generador;
    QLineEdit EComp{QStringLiteral("1")};
    GraficosConsumo g{estado, generador, &EComp};

    explicit Banco(const std::vector<std::string>& problema = kCuatro) {
        Secuenciar(estado, problema, ".");
        g.GraficoVelocidades();
        g.GraficoTasas();
        for (QWidget* w : {g.ChartVelCon(), g.ChartTasCon()}) {
            w->resize(800, 500);
            w->show();
        }
        QCoreApplication::sendPostedEvents();
        g.ChartTasCon()->grab();
        g.ChartVelCon()->grab();
    }
    QChart* Vel() const { return g.GraficoVel(); }
};

// A point of the chart in its view's viewport.
QPoint EnVista(VistaGrafico* vista, QPointF enGrafico) {
    return vista->mapFromScene(vista->chart()->mapToScene(enGrafico));
}

void Raton(QWidget* w, QEvent::Type tipo, QPoint donde, Qt::MouseButton boton, Qt::MouseButtons pulsados) {
    QMouseEvent e(tipo, donde, w->mapToGlobal(donde), boton, pulsados, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

bool Cerca(double a, double b, double tolerancia) { return std::abs(a - b) <= tolerancia; }

#define VERIFICAR_RANGOS(real, esperado, tolerancia)                                                              \
    QVERIFY2(Cerca((real).left(), (esperado).left(), tolerancia) && Cerca((real).right(), (esperado).right(), tolerancia) && \
                 Cerca((real).top(), (esperado).top(), tolerancia) &&                                             \
                 Cerca((real).bottom(), (esperado).bottom(), tolerancia),                                         \
             qPrintable(QString("%1..%2 x %3..%4 / esperado %5..%6 x %7..%8")                                     \
                            .arg((real).left()).arg((real).right()).arg((real).top()).arg((real).bottom())       \
                            .arg((esperado).left()).arg((esperado).right()).arg((esperado).top())                \
                            .arg((esperado).bottom())))

QString Ejecutar(const QString& programa, const QStringList& argumentos) {
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int PixelesDeColor(const QImage& imagen, QRgb color) {
    int n = 0;
    for (int y = 0; y < imagen.height(); ++y)
        for (int x = 0; x < imagen.width(); ++x) n += (imagen.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF);
    return n;
}

}  // namespace

class PruebaLecturaGraficos : public QObject {
    Q_OBJECT

private slots:
    void TitulosDeLosEjes();
    void AmpliarConUnRectangulo();
    void AmpliarConLaRueda();
    void AmpliarConElTeclado_data();
    void AmpliarConElTeclado();
    void AmpliacionSinSentido();
    void Lectura();
    void ConsejoBajoElRaton();
    void MenuDeLaLeyenda();
    void AccionesSegunLaPagina();
    void Exportar_data();
    void Exportar();
    void SvgAmpliadoRecortado();
    void ExportarSinEstropear();
    void Copiar();
};

void PruebaLecturaGraficos::TitulosDeLosEjes() {
    Banco b;
    QCOMPARE(b.g.EjeX(b.g.GraficoVel())->titleText(), QString("Unidades secuenciadas (k)"));
    QCOMPARE(b.g.EjeX(b.g.GraficoTas())->titleText(), QString("Unidades secuenciadas (k)"));
    QCOMPARE(b.g.EjeY(b.g.GraficoVel())->titleText(), QString("Consumo medio por unidad"));
    QCOMPARE(b.g.EjeY(b.g.GraficoTas())->titleText(), QString("Consumo acumulado"));
    for (QChart* g : {b.g.GraficoVel(), b.g.GraficoTas()})
        for (QValueAxis* eje : {b.g.EjeX(g), b.g.EjeY(g)}) QVERIFY(eje->isTitleVisible());
}

// Dragging a rectangle shows the values inside it; a double click shows the whole chart.
void PruebaLecturaGraficos::AmpliarConUnRectangulo() {
    Banco b;
    VistaGrafico* vista = b.g.VistaVel();
    const QRectF completa = RangosDe(*b.Vel());
    const QRectF area = b.Vel()->plotArea();
    const QPointF a = area.topLeft() + QPointF(area.width() * 0.25, area.height() * 0.25);
    const QPointF c = area.topLeft() + QPointF(area.width() * 0.75, area.height() * 0.6);
    const QRectF esperado = QRectF(ValorEn(*b.Vel(), a), ValorEn(*b.Vel(), c)).normalized();
    QWidget* vp = vista->viewport();
    Raton(vp, QEvent::MouseButtonPress, EnVista(vista, a), Qt::LeftButton, Qt::LeftButton);
    Raton(vp, QEvent::MouseMove, EnVista(vista, (a + c) / 2), Qt::NoButton, Qt::LeftButton);
    Raton(vp, QEvent::MouseMove, EnVista(vista, c), Qt::NoButton, Qt::LeftButton);
    Raton(vp, QEvent::MouseButtonRelease, EnVista(vista, c), Qt::LeftButton, Qt::NoButton);
    const double tolerancia = 0.02 * completa.width();
    VERIFICAR_RANGOS(RangosDe(*b.Vel()), esperado, tolerancia);
    // A click without a drag does not zoom.
    const QRectF ampliada = RangosDe(*b.Vel());
    Raton(vp, QEvent::MouseButtonPress, EnVista(vista, a), Qt::LeftButton, Qt::LeftButton);
    Raton(vp, QEvent::MouseButtonRelease, EnVista(vista, a), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(RangosDe(*b.Vel()), ampliada);
    Raton(vp, QEvent::MouseButtonDblClick, EnVista(vista, a), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(RangosDe(*b.Vel()), completa);
}

// A notch of the wheel zooms by 1.25 about the value under the pointer, which stays put.
void PruebaLecturaGraficos::AmpliarConLaRueda() {
    Banco b;
    VistaGrafico* vista = b.g.VistaVel();
    const QRectF antes = RangosDe(*b.Vel());
    const QRectF area = b.Vel()->plotArea();
    const QPoint enVista = EnVista(vista, area.topLeft() + QPointF(area.width() * 0.3, area.height() * 0.7));
    const QPointF valor = ValorEn(*b.Vel(), b.Vel()->mapFromScene(vista->mapToScene(enVista)));
    auto rueda = [&](int muescas) {
        QWheelEvent e(enVista, vista->viewport()->mapToGlobal(enVista), QPoint(), QPoint(0, 120 * muescas),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(vista->viewport(), &e);
    };
    rueda(1);
    const QRectF despues = RangosDe(*b.Vel());
    QVERIFY(Cerca(despues.width(), antes.width() / 1.25, 1e-9 * antes.width()));
    QVERIFY(Cerca(despues.height(), antes.height() / 1.25, 1e-9 * antes.height()));
    // The value keeps its place within the ranges (the plot area itself may shift as the
    // labels change width).
    QVERIFY(Cerca((valor.x() - despues.left()) / despues.width(), (valor.x() - antes.left()) / antes.width(), 1e-9));
    QVERIFY(Cerca((valor.y() - despues.top()) / despues.height(), (valor.y() - antes.top()) / antes.height(), 1e-9));
    rueda(-1);
    VERIFICAR_RANGOS(RangosDe(*b.Vel()), antes, 1e-9 * antes.width());
}

void PruebaLecturaGraficos::AmpliarConElTeclado_data() {
    QTest::addColumn<int>("tecla");
    QTest::addColumn<double>("factor");  // of the spans; 0: the whole chart again
    QTest::newRow("+") << int(Qt::Key_Plus) << 1 / 1.25;
    QTest::newRow("-") << int(Qt::Key_Minus) << 1.25;
    QTest::newRow("0") << int(Qt::Key_0) << 0.0;
    QTest::newRow("Inicio") << int(Qt::Key_Home) << 0.0;
}

void PruebaLecturaGraficos::AmpliarConElTeclado() {
    QFETCH(int, tecla);
    QFETCH(double, factor);
    Banco b;
    const QRectF completa = RangosDe(*b.Vel());
    b.g.Ampliar(b.Vel(), QRectF(QPointF(1.5, completa.top()), QPointF(2.5, completa.bottom())));
    const QRectF antes = RangosDe(*b.Vel());
    QTest::keyClick(b.g.VistaVel(), static_cast<Qt::Key>(tecla));
    const QRectF despues = RangosDe(*b.Vel());
    if (factor == 0) {
        QCOMPARE(despues, completa);
    } else {
        QVERIFY(Cerca(despues.width(), antes.width() * factor, 1e-9));
        QVERIFY(Cerca(despues.center().x(), antes.center().x(), 1e-9));
    }
}

// Ranges too narrow or not finite are not shown.
void PruebaLecturaGraficos::AmpliacionSinSentido() {
    Banco b;
    const QRectF antes = RangosDe(*b.Vel());
    b.g.Ampliar(b.Vel(), QRectF(QPointF(2, 1), QPointF(2, 3)));
    b.g.Ampliar(b.Vel(), QRectF(QPointF(1, 1), QPointF(2, 1 + 1e-15)));
    b.g.Ampliar(b.Vel(), QRectF(QPointF(1, 1), QPointF(std::numeric_limits<double>::infinity(), 2)));
    QCOMPARE(RangosDe(*b.Vel()), antes);
}

// The stage and value of the visible line nearest the pointer.
void PruebaLecturaGraficos::Lectura() {
    Banco b;
    QLineSeries* c3 = b.g.SeriesVel()[2];
    const QPointF punto = c3->at(1);  // stage 2
    const QPointF sobre = PuntoDe(*b.Vel(), punto) + QPointF(2, -3);
    std::optional<tavelorin::LecturaGrafico> l = LecturaEn(*b.Vel(), sobre);
    QVERIFY(l.has_value());
    QCOMPARE(l->serie, QString("C3"));
    QCOMPARE(l->etapa, 2);
    QCOMPARE(l->valor, punto.y());
    // Far from every line, nothing; a hidden line is not read.
    QVERIFY(!LecturaEn(*b.Vel(), b.Vel()->plotArea().topLeft() - QPointF(100, 100)).has_value());
    b.g.LeyendaVel()->item(2)->setCheckState(Qt::Unchecked);
    l = LecturaEn(*b.Vel(), PuntoDe(*b.Vel(), punto));
    QVERIFY(!l.has_value() || l->serie != "C3");
    // The text, in the user's locale.
    const QLocale antes;
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    QCOMPARE(TextoDeLectura({"Xjk", 12, 2.5}), QString("Xjk · etapa 12: 2,5"));
    QLocale::setDefault(antes);
    QCOMPARE(TextoDeLectura({"C1", 3, 0.6666666666}), QString("C1 · etapa 3: 0.666667"));
}

void PruebaLecturaGraficos::ConsejoBajoElRaton() {
    Banco b;
    VistaGrafico* vista = b.g.VistaTas();
    const QPointF punto = b.g.Xjk()->at(2);
    const QPoint donde = EnVista(vista, PuntoDe(*b.g.GraficoTas(), punto));
    Raton(vista->viewport(), QEvent::MouseMove, donde, Qt::NoButton, Qt::NoButton);
    QTRY_COMPARE(QToolTip::text(), TextoDeLectura({"Xjk", 3, punto.y()}));
    Raton(vista->viewport(), QEvent::MouseMove, QPoint(1, 1), Qt::NoButton, Qt::NoButton);
    QTRY_VERIFY(QToolTip::text().isEmpty());
}

// "Mostrar solo esta" and "Mostrar todas" in the legend's context menu.
void PruebaLecturaGraficos::MenuDeLaLeyenda() {
    Banco b;
    QListWidget* leyenda = b.g.LeyendaVel();
    const auto menu = [&](int fila) {
        const QPoint donde = fila < 0 ? QPoint(2, leyenda->viewport()->height() - 2)
                                      : leyenda->visualItemRect(leyenda->item(fila)).center();
        emit leyenda->customContextMenuRequested(donde);
        QMenu* m = leyenda->findChildren<QMenu*>().value(0);
        QStringList textos;
        for (QAction* a : m->actions()) textos << a->text() + (a->isEnabled() ? "" : " (no)");
        return std::pair{m, textos};
    };
    auto [m, textos] = menu(1);
    QCOMPARE(textos, (QStringList{"Mostrar solo esta", "Mostrar todas"}));
    m->actions()[0]->trigger();
    m->close();
    delete m;
    QStringList visibles;
    for (QLineSeries* s : b.g.SeriesVel()) visibles << (s->isVisible() ? "1" : "0");
    QCOMPARE(visibles.join(""), QString("0100"));
    for (int i = 0; i < 4; ++i) QCOMPARE(leyenda->item(i)->checkState() == Qt::Checked, i == 1);
    // The axes span C2 alone: X(2,k)/k is 0, 1/2, 1/3.
    QVERIFY(b.g.EjeY(b.Vel())->max() < 0.6);
    auto [fuera, textosFuera] = menu(-1);
    QCOMPARE(textosFuera, (QStringList{"Mostrar solo esta (no)", "Mostrar todas"}));
    fuera->actions()[1]->trigger();
    fuera->close();
    delete fuera;
    for (QLineSeries* s : b.g.SeriesVel()) QVERIFY(s->isVisible());
    for (int i = 0; i < 4; ++i) QCOMPARE(leyenda->item(i)->checkState(), Qt::Checked);
    // On the rate chart, too.
    b.g.MostrarSolo(b.g.GraficoTas(), 0);
    QVERIFY(b.g.KNjQ()->isVisible() && !b.g.Xjk()->isVisible());
}

// The chart items work on the chart page showing.
void PruebaLecturaGraficos::AccionesSegunLaPagina() {
    DialogosPrueba d;
    TMainForm v(d, {});
    auto* paginas = Control<QTabWidget>(v, "PageControl1");
    const char* acciones[] = {"ArchivoExportarGrafico", "EdicionCopiarGrafico", "EdicionVistaCompleta"};
    for (int pagina : {0, 1, 2, 0}) {
        paginas->setCurrentIndex(pagina);
        for (const char* a : acciones) QCOMPARE(Accion(v, a)->isEnabled(), pagina != 0);
    }
    Rejilla(v).Cargar(kCuatro);
    v.EjecutarResolucion();
    paginas->setCurrentIndex(1);
    auto* graficos = Control<GraficosConsumo>(v, "Graficos");
    const QRectF completa = RangosDe(*graficos->GraficoVel());
    graficos->Ampliar(graficos->GraficoVel(), QRectF(QPointF(1.5, 0.2), QPointF(2.5, 0.8)));
    Accion(v, "EdicionVistaCompleta")->trigger();
    QCOMPARE(RangosDe(*graficos->GraficoVel()), completa);
    // Exported from the page showing, with a name proposed beside the problem's.
    QTemporaryDir carpeta;
    d.nombres = {carpeta.filePath("tasas.svg")};
    paginas->setCurrentIndex(2);
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    Accion(v, "ArchivoExportarGrafico")->trigger();
    QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
    QCOMPARE(d.peticionesFichero.back().filtro, FiltrosDeGrafico());
    QCOMPARE(d.peticionesFichero.back().extension, QString("png"));
    QVERIFY(QSvgRenderer(carpeta.filePath("tasas.svg")).isValid());
    QCOMPARE(QSvgRenderer(carpeta.filePath("tasas.svg")).viewBoxF().size(), QSizeF(graficos->ChartTasCon()->size()));
}

void PruebaLecturaGraficos::Exportar_data() {
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QByteArray>("firma");  // the file's first bytes
    QTest::newRow("PNG") << "grafico.png" << QByteArray("\x89PNG");
    QTest::newRow("SVG") << "grafico.SVG" << QByteArray("<?xml");
    QTest::newRow("PDF") << "grafico.pdf" << QByteArray("%PDF");
    QTest::newRow("otra extensión: PNG") << "grafico.dat" << QByteArray("\x89PNG");
}

// Each format holds the chart as the screen shows it: its lines in their colours, the
// axis titles, the legend.
void PruebaLecturaGraficos::Exportar() {
    QFETCH(QString, nombre);
    QFETCH(QByteArray, firma);
    Banco b;
    QTemporaryDir carpeta;
    const QString fichero = carpeta.filePath(nombre);
    ExportarGrafico(*b.g.ChartVelCon(), fichero);
    QFile f(fichero);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.read(firma.size()), firma);
    QImage imagen;
    const QSize tamano = b.g.ChartVelCon()->size();
    if (firma == "<?xml") {
        QSvgRenderer svg(fichero);
        QVERIFY(svg.isValid());
        QCOMPARE(svg.viewBoxF().size(), QSizeF(tamano));
        imagen = QImage(tamano, QImage::Format_RGB32);
        imagen.fill(Qt::white);
        QPainter p(&imagen);
        svg.render(&p);
        const QString texto = QString::fromUtf8(f.readAll());
        QVERIFY(texto.contains("<title>Gráfico de velocidades de consumo</title>"));
        QVERIFY(texto.contains("Consumo medio por unidad"));
    } else if (firma == "%PDF") {
        const QString info = Ejecutar("pdfinfo", {fichero});
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(info));
        // The page in points, the chart's pixels at 96 an inch.
        QVERIFY2(info.contains(QRegularExpression(
                     QString("Page size:\\s+%1 x %2 pts").arg(tamano.width() * 0.75).arg(tamano.height() * 0.75))),
                 qPrintable(info));
        const QString texto = Ejecutar("pdftotext", {fichero, "-"});
        for (const char* t : {"Unidades secuenciadas (k)", "Consumo medio por unidad", "C1", "C4"})
            QVERIFY2(texto.contains(QString::fromUtf8(t)), t);
        Ejecutar("pdftoppm", {"-png", "-r", "96", "-singlefile", fichero, carpeta.filePath("pagina")});
        QVERIFY(imagen.load(carpeta.filePath("pagina.png")));
    } else {
        QVERIFY(imagen.load(fichero));
        QCOMPARE(imagen.size(), tamano);
    }
    if (!imagen.isNull())
        for (QRgb color : {qRgb(255, 0, 0), qRgb(0, 0, 128), qRgb(0, 128, 0), qRgb(255, 255, 0)})
            QVERIFY2(PixelesDeColor(imagen, color) > 100, qPrintable(QString::number(color, 16)));
}

// A zoomed chart in SVG: every line stays inside the plot area (SVG keeps no clipping).
void PruebaLecturaGraficos::SvgAmpliadoRecortado() {
    Banco b({"3", "2", "3\t0\t5", "0\t2\t4", "1\t1\t3"});
    b.g.Ampliar(b.Vel(), QRectF(QPointF(3.5, 0.5), QPointF(7.5, 1.5)));
    QCoreApplication::sendPostedEvents();
    QTemporaryDir carpeta;
    ExportarGrafico(*b.g.ChartVelCon(), carpeta.filePath("ampliado.svg"));
    QFile f(carpeta.filePath("ampliado.svg"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QDomDocument svg;
    QVERIFY(svg.setContent(&f));
    VistaGrafico* vista = b.g.VistaVel();
    const QPointF origen = vista->viewport()->mapTo(b.g.ChartVelCon(), QPoint(0, 0));
    const QRectF area = vista->viewportTransform().mapRect(b.Vel()->mapRectToScene(b.Vel()->plotArea())).translated(origen);
    const QDomNodeList lineas = svg.elementsByTagName("polyline");
    QVERIFY(lineas.size() >= 2);
    int puntos = 0;
    for (int i = 0; i < lineas.size(); ++i) {
        // The lines of the series (4 pixels wide); ticks and axes have their own places.
        const QDomElement e = lineas.at(i).toElement();
        if (e.parentNode().toElement().attribute("stroke-width") != "4") continue;
        QCOMPARE(e.parentNode().toElement().attribute("transform", "matrix(1,0,0,1,0,0)"), QString("matrix(1,0,0,1,0,0)"));
        for (const QString& par : e.attribute("points").split(' ', Qt::SkipEmptyParts)) {
            const QStringList xy = par.split(',');
            const QPointF p(xy.value(0).toDouble(), xy.value(1).toDouble());
            QVERIFY2(area.adjusted(-0.5, -0.5, 0.5, 0.5).contains(p),
                     qPrintable(QString("%1,%2 fuera de %3,%4 %5x%6").arg(p.x()).arg(p.y()).arg(area.x()).arg(area.y())
                                    .arg(area.width()).arg(area.height())));
            ++puntos;
        }
    }
    QVERIFY(puntos > 4);
}

// A failed export leaves an existing file as it was.
void PruebaLecturaGraficos::ExportarSinEstropear() {
    Banco b;
    QTemporaryDir carpeta;
    try {
        ExportarGrafico(*b.g.ChartVelCon(), carpeta.filePath("no/existe.png"));
        QFAIL("sin error");
    } catch (const ErrorTavelorin& e) {
        QVERIFY(QString(e.what()).startsWith("Cannot create file"));
        QCOMPARE(QString::fromStdString(e.Explicacion()), QString("La carpeta donde iba a guardarse el archivo no existe."));
    }
    QVERIFY(QDir(carpeta.path()).isEmpty());
}

void PruebaLecturaGraficos::Copiar() {
    Banco b;
    QGuiApplication::clipboard()->clear();
    CopiarGrafico(*b.g.ChartTasCon());
    const QImage imagen = QGuiApplication::clipboard()->image();
    QCOMPARE(imagen.size(), b.g.ChartTasCon()->size() * b.g.ChartTasCon()->devicePixelRatioF());
    QVERIFY(PixelesDeColor(imagen, qRgb(153, 51, 102)) > 50);  // Xjk
}

QTEST_MAIN(PruebaLecturaGraficos)
#include "test_lectura_graficos.moc"
