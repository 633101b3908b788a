// The page "Calidad de la secuencia": its table and deviation chart after a solve, the
// search on the worker thread (progress, result, cancel), and copying, saving and
// loading sequences.
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QChart>
#include <QClipboard>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <fstream>
#include <sstream>

#include "core/Calidad.h"
#include "core/Mejora.h"
#include "core/Problema.h"
#include "files/FicheroTexto.h"
#include "soporte/BytesQt.h"
#include "soporte/Controles.h"
#include "soporte/DialogosPrueba.h"
#include "soporte/ProblemaSembrado.h"
#include "ui/BusquedaMejora.h"
#include "ui/Main.h"
#include "ui/ModeloCalidad.h"
#include "ui/PaginaCalidad.h"
#include "ui/PaginaGrafico.h"
#include "ui/VistaGrafico.h"

using namespace tavelorin;

namespace {

// n = 3, m = 2, Q = 4, goal chasing 1, 2, 1, 3: X1 = 1, 1, 2, 3 against 0.75, 1.5, 2.25, 3;
// X2 = 0, 1, 1, 2 against 0.5, 1, 1.5, 2.
const std::vector<std::string> kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};
// The textbook level-scheduling example: goal chasing J = 9.2, the optimum 7.2 and a
// sample solution 1 4 3 2 4 2 4 3 1 4 of J = 9.6.
const std::vector<std::string> kNivelacion = {"4", "5", "1\t0\t1\t2\t1\t2", "1\t0\t0\t1\t1\t2", "0\t0\t0\t0\t1\t2",
                                              "0\t1\t0\t0\t0\t4"};
const char* const kMuestra = "1\r\n4\r\n3\r\n2\r\n4\r\n2\r\n4\r\n3\r\n1\r\n4\r\n";

QString Texto(const QList<QPointF>& puntos) {
    QStringList r;
    for (const QPointF& p : puntos) r << QString::asprintf("%.17g:%.17g", p.x(), p.y());
    return r.join(' ');
}

QString Leyenda(const QListWidget* leyenda) {
    QStringList r;
    for (int i = 0; i < leyenda->count(); ++i)
        r << leyenda->item(i)->text() + (leyenda->item(i)->checkState() == Qt::Checked ? ":1" : ":0");
    return r.join(' ');
}

// A column of the table, from the first row to the last.
QStringList Columna(const PaginaCalidad& p, int columna) {
    QStringList r;
    for (int f = 0; f < p.Modelo().rowCount(); ++f) r << p.Modelo().Texto(f, columna);
    return r;
}

EstadoSecuenciador Problema(const std::vector<std::string>& lineas) {
    EstadoSecuenciador e;
    LeerProblema(e, lineas);
    return e;
}

// The window with a problem solved and its quality page showing.
struct Ventana {
    DialogosPrueba d;
    TMainForm v{d, {}};
    PaginaCalidad* pagina = Control<PaginaCalidad>(v, QStringLiteral("TSCalidad"));

    explicit Ventana(const std::vector<std::string>& problema) {
        Rejilla(v).Cargar(problema);
        Accion(v, QStringLiteral("TBResolver"))->trigger();
        v.show();
        Control<QTabWidget>(v, QStringLiteral("PageControl1"))->setCurrentWidget(pagina);
    }
    QPushButton* Boton(const char* nombre) { return Control<QPushButton>(v, QLatin1String(nombre)); }
};

}  // namespace

class PruebaCalidad : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString Ruta(const QString& nombre) { return dir.filePath(nombre); }

private slots:
    void Desviaciones();
    void TablaYGraficoTrasResolver();
    void SinSolucionNadaQueMostrar();
    void ElGeneradorNoSeToca();
    void MejoraRechazada();
    void MejorarEnElHiloDeTrabajo();
    void CancelarDevuelveLoMejorHastaEntonces();
    void OtraResolucionDescartaLaBusqueda();
    void BusquedaDetenidaNoEntregaNada();
    void CopiarYGuardarSecuencia();
    void GuardarSinPoderCrear();
    void AbrirSecuencia();
    void AbrirSecuenciaQueNoCorresponde_data();
    void AbrirSecuenciaQueNoCorresponde();
    void ExportarElGraficoDeDesviaciones();
};

void PruebaCalidad::Desviaciones() {
    const EstadoSecuenciador e = Problema(kEjemplo);
    const std::vector<QList<QPointF>> d = DesviacionesPorComponente(e, {1, 2, 1, 3});
    QCOMPARE(d.size(), size_t{2});
    QCOMPARE(Texto(d[0]), QStringLiteral("1:0.25 2:-0.5 3:-0.25 4:0"));
    QCOMPARE(Texto(d[1]), QStringLiteral("1:-0.5 2:0 3:-0.5 4:0"));
    // Thirds: each value the exact numerator over Q, rounded once.
    const EstadoSecuenciador tercios = Problema({"2", "1", "1\t1", "0\t2"});
    QCOMPARE(Texto(DesviacionesPorComponente(tercios, {2, 1, 2})[0]),
             QString::asprintf("1:%.17g 2:%.17g 3:0", -1.0 / 3, 1.0 / 3));
    // A sequence of another length draws nothing.
    QVERIFY(DesviacionesPorComponente(e, {1, 2}).front().isEmpty());
}

void PruebaCalidad::TablaYGraficoTrasResolver() {
    Ventana w(kEjemplo);
    const PaginaCalidad& p = *w.pagina;
    QVERIFY2(w.d.errores.empty(), qPrintable(w.d.Mensajes().join('|')));
    QCOMPARE(Columna(p, 0), (QStringList{"J componentes", "Desviación máxima componentes", "J productos",
                                         "Desviación máxima productos", "Exceso de la persecución (%)",
                                         "Óptima demostrada", "Desviación máxima C1", "Desviación máxima C2"}));
    // As tavelorin-cli --metricas writes them for this problem.
    QCOMPARE(Columna(p, 1), (QStringList{"0.875", "0.5", "1.75", "0.75", "", "", "0.5", "0.5"}));
    QCOMPARE(Columna(p, 2), QStringList(8, QString()));
    QCOMPARE(p.Modelo().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Persecución"));
    QCOMPARE(Control<QTableView>(w.v, QStringLiteral("TablaCalidad"))->model(), &p.Modelo());

    // One line a component, the deviation at every stage, each in the legend.
    const QChart* g = p.GraficoPersecucion()->Grafico();
    QCOMPARE(g->series().size(), 2);
    QCOMPARE(Texto(static_cast<const QLineSeries*>(g->series()[0])->points()),
             QStringLiteral("1:0.25 2:-0.5 3:-0.25 4:0"));
    QCOMPARE(Texto(static_cast<const QLineSeries*>(g->series()[1])->points()), QStringLiteral("1:-0.5 2:0 3:-0.5 4:0"));
    QCOMPARE(Leyenda(p.GraficoPersecucion()->Leyenda()), QStringLiteral("C1:1 C2:1"));
    QCOMPARE(Control<QListWidget>(w.v, QStringLiteral("ChartDesvPersecucionLeyenda")), p.GraficoPersecucion()->Leyenda());
    QVERIFY(p.GraficoComparada()->Grafico()->series().isEmpty());
    // The check box hides a line; the axes then span the other.
    p.GraficoPersecucion()->Leyenda()->item(0)->setCheckState(Qt::Unchecked);
    QVERIFY(!g->series()[0]->isVisible());

    QVERIFY(w.Boton("BMejorar")->isEnabled());
    QVERIFY(w.Boton("BAbrirSecuencia")->isEnabled());
    QVERIFY(!w.Boton("BCancelar")->isEnabled());
    QVERIFY(!w.Boton("BCopiarSecuencia")->isEnabled());
    QVERIFY(!w.Boton("BGuardarSecuencia")->isEnabled());
}

void PruebaCalidad::SinSolucionNadaQueMostrar() {
    Ventana w(kEjemplo);
    Accion(w.v, QStringLiteral("TBNuevo"))->trigger();  // nothing changed since the solve: no question
    QCOMPARE(w.pagina->Modelo().rowCount(), 0);
    QVERIFY(w.pagina->GraficoPersecucion()->Grafico()->series().isEmpty());
    QVERIFY(!w.Boton("BMejorar")->isEnabled());
    QVERIFY(!w.Boton("BAbrirSecuencia")->isEnabled());
    // A solve that fails leaves nothing of the one before.
    Ventana f(kEjemplo);
    Rejilla(f.v).Cargar({"2", "1", "1\tx", "1\t1"});
    Accion(f.v, QStringLiteral("TBResolver"))->trigger();
    QCOMPARE(f.d.errores.size(), size_t{1});
    QCOMPARE(f.pagina->Modelo().rowCount(), 0);
    QVERIFY(!f.Boton("BMejorar")->isEnabled());
}

// The page's colours come from a table of its own: drawing it draws nothing from the
// window's random generator, so the consumption charts and random problems stay as they
// were.
void PruebaCalidad::ElGeneradorNoSeToca() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(bench::ProblemaSembrado(4, 14, 20, 3));
    Accion(v, QStringLiteral("TBResolver"))->trigger();
    const uint32_t antes = v.Generador().SemillaAleatoria;
    v.show();
    auto* pagina = Control<PaginaCalidad>(v, QStringLiteral("TSCalidad"));
    Control<QTabWidget>(v, QStringLiteral("PageControl1"))->setCurrentWidget(pagina);
    QCOMPARE(pagina->GraficoPersecucion()->Grafico()->series().size(), 14);
    QCOMPARE(v.Generador().SemillaAleatoria, antes);
}

// A problem goal chasing solves but the search refuses: the refusal through the failure
// handler, nothing started.
void PruebaCalidad::MejoraRechazada() {
    Ventana w({"2", "1", "1\t-4", "2\t5"});
    QVERIFY2(w.d.errores.empty(), qPrintable(w.d.Mensajes().join('|')));
    QCOMPARE(Columna(*w.pagina, 1).first(), QStringLiteral("16"));
    w.Boton("BMejorar")->click();
    QCOMPARE(w.d.Mensajes(), QStringList{"La mejora necesita demandas no negativas y la del producto 1 es -4."});
    QVERIFY(!w.pagina->Busqueda().EnCurso());
    QVERIFY(w.Boton("BMejorar")->isEnabled());
}

void PruebaCalidad::MejorarEnElHiloDeTrabajo() {
    Ventana w(kNivelacion);
    PaginaCalidad& p = *w.pagina;
    QSignalSpy mostrada(&p, &PaginaCalidad::ComparadaMostrada);
    QSignalSpy progreso(&p.Busqueda(), &BusquedaMejora::Progreso);
    bool todoEnLaVentana = true;
    connect(&p.Busqueda(), &BusquedaMejora::Progreso, this,
            [&] { todoEnLaVentana = todoEnLaVentana && QThread::currentThread() == qApp->thread(); });
    connect(&p.Busqueda(), &BusquedaMejora::Terminada, this,
            [&] { todoEnLaVentana = todoEnLaVentana && QThread::currentThread() == qApp->thread(); });
    w.Boton("BMejorar")->click();
    QVERIFY(p.Busqueda().EnCurso());
    QVERIFY(!w.Boton("BMejorar")->isEnabled());
    QVERIFY(w.Boton("BCancelar")->isEnabled());
    QTRY_COMPARE(mostrada.count(), 1);
    QVERIFY(todoEnLaVentana);
    QVERIFY(!progreso.isEmpty());
    // Goal chasing's J first, the optimum's last.
    QCOMPARE(progreso.first().at(0).value<ProgresoMejora>().mejor.numerador, Natural128(920));
    QCOMPARE(progreso.last().at(0).value<ProgresoMejora>().mejor.numerador, Natural128(720));

    QCOMPARE(Columna(p, 2).mid(0, 6), (QStringList{"7.2", p.Modelo().Texto(1, 2), p.Modelo().Texto(2, 2),
                                                   p.Modelo().Texto(3, 2), "27.7777777777778", "sí"}));
    QCOMPARE(Columna(p, 1).first(), QStringLiteral("9.2"));
    QCOMPARE(p.Modelo().headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Mejorada"));
    QVERIFY(p.UltimaMejora() && p.UltimaMejora()->demostrada);
    QCOMPARE(CalcularCalidad(Problema(kNivelacion), p.SecuenciaComparada()).componentes.variacion.numerador,
             Natural128(720));
    QVERIFY(Control<QLabel>(w.v, QStringLiteral("LResumen"))->text().contains(QStringLiteral("óptima demostrada")));
    // Its own deviation chart, one line a component.
    QCOMPARE(p.GraficoComparada()->Grafico()->series().size(), 5);
    QCOMPARE(p.GraficoComparada()->Grafico()->title(), QStringLiteral("Secuencia mejorada"));
    QVERIFY(w.Boton("BMejorar")->isEnabled());
    QVERIFY(!w.Boton("BCancelar")->isEnabled());
    QVERIFY(w.Boton("BCopiarSecuencia")->isEnabled());
    QVERIFY(w.d.errores.empty());
}

void PruebaCalidad::CancelarDevuelveLoMejorHastaEntonces() {
    // Far beyond the optimum's reach and far longer than the test: only Cancelar ends it.
    const std::vector<std::string> problema = bench::ProblemaSembrado(40, 60, 2000, 9);
    Ventana w(problema);
    PaginaCalidad& p = *w.pagina;
    Control<QSpinBox>(w.v, QStringLiteral("ESegundos"))->setValue(3600);
    QSignalSpy mostrada(&p, &PaginaCalidad::ComparadaMostrada);
    QSignalSpy progreso(&p.Busqueda(), &BusquedaMejora::Progreso);
    w.Boton("BMejorar")->click();
    // The first pass's end: the progress bar and its line follow the search.
    QTRY_VERIFY(std::any_of(progreso.begin(), progreso.end(), [](const QList<QVariant>& a) {
        return a.at(0).value<ProgresoMejora>().anchura > 0;
    }));
    auto* barra = Control<QProgressBar>(w.v, QStringLiteral("PBMejora"));
    QCOMPARE(barra->maximum(), 2000);
    QVERIFY(Control<QLabel>(w.v, QStringLiteral("LProgreso"))->text().startsWith(QStringLiteral("Anchura ")));
    QCOMPARE(mostrada.count(), 0);
    w.Boton("BCancelar")->click();
    QTRY_COMPARE(mostrada.count(), 1);

    QVERIFY(p.UltimaMejora()->cancelada);
    QVERIFY(!p.UltimaMejora()->demostrada);
    const EstadoSecuenciador e = Problema(problema);
    QVERIFY(LeerSecuencia(e, LineasDeSecuencia(p.SecuenciaComparada())).errores.empty());
    QVERIFY(p.UltimaMejora()->variacion.numerador <= p.UltimaMejora()->variacionPersecucion.numerador);
    QVERIFY(Control<QLabel>(w.v, QStringLiteral("LResumen"))->text().contains(QStringLiteral("cancelada")));
    QCOMPARE(Control<QLabel>(w.v, QStringLiteral("LProgreso"))->text(), QStringLiteral("Cancelada"));
    QVERIFY(!p.Busqueda().EnCurso());
    QVERIFY(w.Boton("BMejorar")->isEnabled());
}

void PruebaCalidad::OtraResolucionDescartaLaBusqueda() {
    Ventana w(bench::ProblemaSembrado(40, 60, 2000, 9));
    PaginaCalidad& p = *w.pagina;
    Control<QSpinBox>(w.v, QStringLiteral("ESegundos"))->setValue(3600);
    QSignalSpy mostrada(&p, &PaginaCalidad::ComparadaMostrada);
    w.Boton("BMejorar")->click();
    QVERIFY(p.Busqueda().EnCurso());
    // Solving again stops the search and waits for its thread: what it posted is dropped.
    Rejilla(w.v).Cargar(kEjemplo);
    Accion(w.v, QStringLiteral("TBResolver"))->trigger();
    QVERIFY(!p.Busqueda().EnCurso());
    QCoreApplication::processEvents();
    QCOMPARE(mostrada.count(), 0);
    QCOMPARE(Columna(p, 1).first(), QStringLiteral("0.875"));
    QVERIFY(p.SecuenciaComparada().empty());
    QVERIFY(w.Boton("BMejorar")->isEnabled());
}

void PruebaCalidad::BusquedaDetenidaNoEntregaNada() {
    const EstadoSecuenciador e = Problema(bench::ProblemaSembrado(40, 60, 2000, 9));
    Secuencia persecucion;
    for (int32_t p = 1; p <= e.NProd; ++p)
        for (int32_t c = 0; c < e.Demanda(p); ++c) persecucion.push_back(p);
    OpcionesMejora o;
    o.segundos = 0;
    {
        BusquedaMejora b;
        QSignalSpy terminada(&b, &BusquedaMejora::Terminada);
        QSignalSpy progreso(&b, &BusquedaMejora::Progreso);
        b.Iniciar(e, persecucion, o);
        b.Detener();
        QVERIFY(!b.EnCurso());
        QCoreApplication::processEvents();
        QCOMPARE(terminada.count(), 0);
        QCOMPARE(progreso.count(), 0);
        // A second search after it runs and ends as usual.
        o.anchura = 4;
        b.Iniciar(Problema(kNivelacion), {1, 1, 2, 2, 3, 3, 4, 4, 4, 4}, o);
        QTRY_COMPARE(terminada.count(), 1);
        QCOMPARE(terminada.first().at(0).value<Mejora>().variacion.numerador, Natural128(720));
        // Destroyed while a search runs: it is stopped and waited for.
        o.anchura = 0;
        b.Iniciar(e, persecucion, o);
    }
}

void PruebaCalidad::CopiarYGuardarSecuencia() {
    Ventana w(kNivelacion);
    PaginaCalidad& p = *w.pagina;
    QSignalSpy mostrada(&p, &PaginaCalidad::ComparadaMostrada);
    w.Boton("BMejorar")->click();
    QTRY_COMPARE(mostrada.count(), 1);
    QString esperado;
    for (const int32_t v : p.SecuenciaComparada()) esperado += QString::number(v) + "\r\n";

    w.Boton("BCopiarSecuencia")->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), esperado);

    const QString nombre = Ruta("mejorada.txt");
    w.d.nombres = {nombre};
    w.Boton("BGuardarSecuencia")->click();
    QVERIFY2(w.d.errores.empty(), qPrintable(w.d.Mensajes().join('|')));
    QCOMPARE(QString::fromStdString(LeerBytes(nombre)), esperado);
    QCOMPARE(w.d.peticionesFichero.back().extension, QStringLiteral("txt"));
    QCOMPARE(w.d.peticionesFichero.back().propuesto, QString());  // no problem file to go next to
    // What --evaluar reads from it is the same sequence.
    QCOMPARE(LeerSecuencia(Problema(kNivelacion), LeerLineasFichero(nombre.toStdString())).secuencia,
             p.SecuenciaComparada());
    // Cancelled: nothing written.
    EscribirBytes(nombre, "x");
    w.d.nombres = {std::nullopt};
    w.Boton("BGuardarSecuencia")->click();
    QCOMPARE(LeerBytes(nombre), std::string("x"));
}

void PruebaCalidad::GuardarSinPoderCrear() {
    Ventana w(kNivelacion);
    QSignalSpy mostrada(w.pagina, &PaginaCalidad::ComparadaMostrada);
    w.Boton("BMejorar")->click();
    QTRY_COMPARE(mostrada.count(), 1);
    w.d.nombres = {Ruta("no-existe/mejorada.txt")};
    w.Boton("BGuardarSecuencia")->click();
    QCOMPARE(w.d.errores.size(), size_t{1});
    QVERIFY2(w.d.errores[0].second.startsWith(QStringLiteral("Cannot create file")), qPrintable(w.d.errores[0].second));
}

void PruebaCalidad::AbrirSecuencia() {
    Ventana w(kNivelacion);
    PaginaCalidad& p = *w.pagina;
    const QString nombre = Ruta("muestra.txt");
    EscribirBytes(nombre, kMuestra);
    w.d.nombres = {nombre};
    w.Boton("BAbrirSecuencia")->click();
    QVERIFY2(w.d.errores.empty(), qPrintable(w.d.Mensajes().join('|')));
    QCOMPARE(p.SecuenciaComparada(), (Secuencia{1, 4, 3, 2, 4, 2, 4, 3, 1, 4}));
    QCOMPARE(p.Modelo().headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Cargada"));
    QCOMPARE(Columna(p, 2).mid(0, 6), (QStringList{"9.6", p.Modelo().Texto(1, 2), p.Modelo().Texto(2, 2),
                                                   p.Modelo().Texto(3, 2), "-4.16666666666667", ""}));
    QCOMPARE(p.GraficoComparada()->Grafico()->title(), QStringLiteral("Cargada: muestra.txt"));
    QCOMPARE(p.GraficoComparada()->Grafico()->series().size(), 5);
    QVERIFY(!p.UltimaMejora());
    // A solution file serves as it is: the lines after "Solucion:".
    const QString sol = Ruta("muestra.sol");
    EscribirBytes(sol, std::string("K\tDk1\r\nSolucion:\r\n") + kMuestra);
    w.d.nombres = {sol};
    w.Boton("BAbrirSecuencia")->click();
    QVERIFY2(w.d.errores.empty(), qPrintable(w.d.Mensajes().join('|')));
    QCOMPARE(p.SecuenciaComparada(), (Secuencia{1, 4, 3, 2, 4, 2, 4, 3, 1, 4}));
}

void PruebaCalidad::AbrirSecuenciaQueNoCorresponde_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("producto de mas") << QByteArray("1\n1\n1\n2\n2\n3\n3\n4\n4\n4\n")
                                     << QStringLiteral("La secuencia no corresponde al problema:\n"
                                                       "  el producto 1 aparece 3 veces y su demanda es 2\n"
                                                       "  el producto 4 aparece 3 veces y su demanda es 4.");
    QTest::newRow("linea que no es un producto") << QByteArray("1\n1\n2\n2\n3\n3\n4\n4\n4\nx\n")
                                                 << QStringLiteral("La secuencia no corresponde al problema:\n  línea 10");
}

void PruebaCalidad::AbrirSecuenciaQueNoCorresponde() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, mensaje);
    Ventana w(kNivelacion);
    const QString nombre = Ruta("mala.txt");
    EscribirBytes(nombre, bytes.toStdString());
    w.d.nombres = {nombre};
    w.Boton("BAbrirSecuencia")->click();
    QCOMPARE(w.d.errores.size(), size_t{1});
    QVERIFY2(w.d.errores[0].second.startsWith(mensaje), qPrintable(w.d.errores[0].second));
    QVERIFY(w.pagina->SecuenciaComparada().empty());
    QCOMPARE(w.pagina->Modelo().Texto(0, 2), QString());
}

void PruebaCalidad::ExportarElGraficoDeDesviaciones() {
    Ventana w(kEjemplo);
    QAction* exportar = Accion(w.v, QStringLiteral("ArchivoExportarGrafico"));
    QVERIFY(exportar->isEnabled());
    const QString nombre = Ruta("desviaciones.png");
    w.d.nombres = {nombre};
    exportar->trigger();
    QVERIFY2(w.d.errores.empty(), qPrintable(w.d.Mensajes().join('|')));
    QImage imagen(nombre);
    QVERIFY(!imagen.isNull());
    QCOMPARE(imagen.size(), w.pagina->GraficoPersecucion()->Marco()->size());
    // The other chart once it has had the focus.
    w.pagina->GraficoComparada()->Vista()->setFocus();
    QTRY_COMPARE(w.pagina->GraficoActivo(), w.pagina->GraficoComparada());
}

QTEST_MAIN(PruebaCalidad)
#include "test_calidad.moc"
