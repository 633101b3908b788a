// The memo showing a report produced from its stage table, against the same memo given
// the report's whole lines: what its readers get, its geometry, its painting and its
// edits must be the same; and what the window does with a report too large to copy,
// save or print without asking.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QScrollBar>
#include <QTest>
#include <random>

#include "core/Errores.h"
#include "core/Informe.h"
#include "core/LineasInforme.h"
#include "core/Memoria.h"
#include "core/Secuenciador.h"
#include "files/EscrituraPorPartes.h"
#include "files/FicheroTexto.h"
#include "soporte/Controles.h"
#include "soporte/DialogosPrueba.h"
#include "soporte/ProblemaSembrado.h"
#include "ui/LineasGeneradas.h"
#include "ui/LineasMemo.h"
#include "ui/MemoInforme.h"
#include "ui/SalidaInforme.h"
#include "ui/TareasLargas.h"

using namespace tavelorin;

namespace tavelorin {
char* toString(const Posicion& p) { return QTest::toString(QString("(%1, %2)").arg(p.linea).arg(p.columna)); }
}  // namespace tavelorin

namespace {

using Lineas = std::vector<std::string>;

// Twelve products (product cells of one and two digits), three components, Q = 150
// (header labels of one to three digits).
Lineas Problema() {
    Lineas l = {"12", "3"};
    for (int i = 1; i <= 12; ++i) l.push_back(std::to_string(i % 3) + "\t" + std::to_string(i % 4) + "\t" + std::to_string(i % 2) + "\t" + std::to_string(6 + i % 7));
    return l;
}

struct Informe {
    EstadoSecuenciador estado;
    Lineas lineas;  // the memo's text after a solve: report, "Solucion:", sequence
    std::shared_ptr<const LineasGeneradas> generadas;
};

Informe Resolver(const Lineas& problema, const std::string& separador) {
    Informe r;
    Solucion s = Secuenciar(r.estado, problema, separador);
    AnadirSolucion(s.informe, s.secuencia);
    r.lineas = std::move(s.informe);
    r.generadas = std::make_shared<const LineasGeneradas>(r.estado.TablaSolucion, separador);
    return r;
}

// Two shown memos of the same size: one given the generated lines, one the whole text.
struct Par {
    MemoInforme generado, entero;
    explicit Par(const Informe& informe, const QFont& fuente) {
        for (MemoInforme* m : {&generado, &entero}) {
            m->resize(420, 220);
            m->setFont(fuente);
            m->show();
            if (!QTest::qWaitForWindowExposed(m)) qFatal("the memo did not show");
        }
        generado.MostrarInforme(informe.generadas);
        entero.ReemplazarLineas(informe.lineas);
        Medir();
    }
    // The widths of every generated line, as the idle slices leave them.
    void Medir() {
        QTRY_VERIFY(generado.Contenido().MedidasCompletas());
        QCoreApplication::processEvents();
    }
};

QFont Fuente(const char* familia, int pixeles) {
    QFont f{QString(familia)};
    f.setPixelSize(pixeles);
    return f;
}

QImage Imagen(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// Answers for long work: runs it here, asked to stop from the start when cancelar, and
// says respuesta to the question, remembering it.
class TareasPrueba : public TareasLargas {
public:
    bool cancelar = false;
    bool respuesta = false;
    QStringList preguntas;
    int ejecutadas = 0;

    void Ejecutar(QWidget*, const QString&, const QString&, const std::function<void(AvanceTarea&)>& trabajo) override {
        ++ejecutadas;
        AvanceTarea avance;
        avance.cancelar = cancelar;
        trabajo(avance);
        hechos = avance.hecho;
        total = avance.total;
    }
    bool Confirmar(QWidget*, const QString&, const QString& pregunta) override {
        preguntas << pregunta;
        return respuesta;
    }
    uint64_t hechos = 0, total = 0;
};

}  // namespace

class PruebaMemoGenerado : public QObject {
    Q_OBJECT

private slots:
    void init() { QGuiApplication::clipboard()->clear(); }
    void cleanup() {
        EstablecerTareasLargas(nullptr);
        EstablecerFuenteMemoria({});
        EstablecerFuenteEspacio({});
    }

    void LectoresIguales_data();
    void LectoresIguales();
    void GeometriaIgual_data();
    void GeometriaIgual();
    void PinturaIgual();
    void EdicionesIguales();
    void DeshacerBorrarTodo();
    void LineasDeUnInformeGrande();
    void CopiaExcesiva();
    void CopiarEnLaVentana();
    void GuardarPorPartes();
    void GuardarSinEspacioOCancelado();
    void ImprimirMuchasPaginasPregunta();
};

void PruebaMemoGenerado::LectoresIguales_data() {
    QTest::addColumn<QString>("separador");
    QTest::newRow("punto") << ".";
    QTest::newRow("coma") << ",";
    QTest::newRow("punto medio (Latin-1)") << QString(QChar(0xB7));
    QTest::newRow("arabe (mas alla de Latin-1)") << QString(QChar(0x66B));
}

void PruebaMemoGenerado::LectoresIguales() {
    QFETCH(QString, separador);
    const Informe informe = Resolver(Problema(), separador.toStdString());
    Par par(informe, Fuente("Courier New", 11));
    MemoInforme& a = par.generado;
    MemoInforme& b = par.entero;
    QCOMPARE(a.NumeroLineas(), b.NumeroLineas());
    QCOMPARE(a.NumeroLineas(), static_cast<int>(informe.lineas.size()));
    for (int i = 0; i < a.NumeroLineas(); ++i) {
        QCOMPARE(a.Linea(i), b.Linea(i));
        QCOMPARE(a.LongitudLinea(i), b.LongitudLinea(i));
        const int n = a.LongitudLinea(i);
        for (int d : {0, 1, n / 3, n / 2, n - 2})
            for (int h : {d + 1, d + 17, n}) QCOMPARE(a.Tramo(i, d, h), b.Tramo(i, d, h));
        QCOMPARE(a.Contenido().EsAncha(i), b.Contenido().EsAncha(i));
    }
    QCOMPARE(a.Lineas(), b.Lineas());
    QCOMPARE(a.Texto(), b.Texto());
    QCOMPARE(a.CaracteresTexto(INT64_MAX), static_cast<int64_t>(b.Texto().size()));
}

void PruebaMemoGenerado::GeometriaIgual_data() {
    QTest::addColumn<QString>("familia");
    QTest::addColumn<int>("pixeles");
    QTest::addColumn<QString>("separador");
    QTest::newRow("paso fijo") << "Courier New" << 11 << ",";
    QTest::newRow("proporcional") << "Liberation Serif" << 20 << ".";
    QTest::newRow("proporcional, separador ancho") << "Liberation Serif" << 17 << QString(QChar(0x66B));
}

void PruebaMemoGenerado::GeometriaIgual() {
    // Every character's place, the character under every point, and the widest line.
    QFETCH(QString, familia);
    QFETCH(int, pixeles);
    QFETCH(QString, separador);
    const Informe informe = Resolver(Problema(), separador.toStdString());
    QFont fuente(familia);
    fuente.setPixelSize(pixeles);
    fuente.setKerning(false);
    const Medidor m(fuente);
    LineasMemo a, b;
    a.Generar(informe.generadas);
    b.Reemplazar(Lineas(informe.lineas), true, m);
    // Until every line is measured the widest is an upper bound; then it is exact.
    QVERIFY(a.AnchoMaximo(m) >= b.AnchoMaximo(m));
    while (!a.MedirPendientes(m, 5)) {
    }
    QCOMPARE(a.AnchoMaximo(m), b.AnchoMaximo(m));
    QCOMPARE(a.Cantidad(), b.Cantidad());
    std::mt19937 azar(3);
    for (int i = 0; i < a.Cantidad(); ++i) {
        QCOMPARE(a.Ancho(i, m), b.Ancho(i, m));
        const int n = b.Longitud(i);
        for (int k = 0; k <= n; k += 1 + static_cast<int>(azar() % 7)) QCOMPARE(a.Hasta(i, k, m), b.Hasta(i, k, m));
        const double ancho = b.Ancho(i, m);
        for (int t = 0; t < 40; ++t) {
            const double u = std::uniform_real_distribution<double>(0, ancho + 30)(azar);
            double ia = -1, ib = -2;
            QCOMPARE(a.En(i, u, m, &ia), b.En(i, u, m, &ib));
            QCOMPARE(ia, ib);
            QCOMPARE(a.MasCercano(i, u, m), b.MasCercano(i, u, m));
        }
    }
}

void PruebaMemoGenerado::PinturaIgual() {
    // The same pixels at the top, deep in a long row, and at its far right.
    const Informe informe = Resolver(Problema(), ",");
    for (const QFont& fuente : {Fuente("Courier New", 11), Fuente("Liberation Serif", 16)}) {
        Par par(informe, fuente);
        par.generado.clearFocus();
        par.entero.clearFocus();
        const auto igual = [&](int fila, int pixeles) {
            for (MemoInforme* m : {&par.generado, &par.entero}) {
                m->verticalScrollBar()->setValue(fila);
                m->horizontalScrollBar()->setValue(pixeles);
            }
            QCOMPARE(par.generado.horizontalScrollBar()->value(), par.entero.horizontalScrollBar()->value());
            QCOMPARE(par.generado.horizontalScrollBar()->maximum(), par.entero.horizontalScrollBar()->maximum());
            QCOMPARE(Imagen(par.generado.viewport()), Imagen(par.entero.viewport()));
        };
        igual(0, 0);
        igual(70, par.entero.horizontalScrollBar()->maximum() / 2);
        igual(140, par.entero.horizontalScrollBar()->maximum());
        igual(150, 0);
        // With a selection across rows, and the caret.
        for (MemoInforme* m : {&par.generado, &par.entero}) {
            m->FijarCursor({60, 30});
            m->FijarCursor({62, 900}, true);
        }
        igual(58, 0);
    }
}

void PruebaMemoGenerado::EdicionesIguales() {
    // Random edits of both memos: typing, line breaks, deleting spans across the long rows,
    // pasting several lines, undo and redo. The two texts stay the same at every step,
    // and undoing everything gives back the report.
    const Informe informe = Resolver(Problema(), ".");
    Par par(informe, Fuente("Courier New", 11));
    MemoInforme& a = par.generado;
    MemoInforme& b = par.entero;
    const QString original = b.Texto();
    std::mt19937 azar(11);
    const auto lugar = [&](MemoInforme& m) {
        const int linea = static_cast<int>(azar() % static_cast<unsigned>(m.NumeroLineas()));
        return Posicion{linea, static_cast<int>(azar() % static_cast<unsigned>(m.LongitudLinea(linea) + 1))};
    };
    int pasos = 0;
    for (int paso = 0; paso < 150; ++paso) {
        const Posicion p = lugar(b);
        const Posicion q = lugar(b);
        const int accion = static_cast<int>(azar() % 7);
        for (MemoInforme* m : {&a, &b}) {
            m->FijarCursor(p);
            switch (accion) {
                case 0: m->Escribir("x7"); break;
                case 1: m->Escribir("\n"); break;
                case 2: m->FijarCursor(q, true), m->Escribir(""); break;
                case 3: m->FijarCursor(q, true), m->Escribir("uno\ndos\n\ttres"); break;
                case 4: m->Deshacer(); break;
                case 5: m->Rehacer(); break;
                case 6: m->FijarCursor(q, true), m->Eliminar(); break;
            }
        }
        QCOMPARE(a.Texto(), b.Texto());
        QCOMPARE(a.Cursor(), b.Cursor());
        QCOMPARE(a.PuedeDeshacer(), b.PuedeDeshacer());
        QCOMPARE(a.PuedeRehacer(), b.PuedeRehacer());
        ++pasos;
    }
    while (a.PuedeDeshacer()) {
        a.Deshacer();
        b.Deshacer();
        QCOMPARE(a.Texto(), b.Texto());
    }
    QCOMPARE(a.Texto(), original);
    // The lines nobody edited are still produced, not held.
    QVERIFY(a.Contenido().BytesTexto() < static_cast<size_t>(original.size()) / 2);
    QVERIFY(pasos > 0);
}

void PruebaMemoGenerado::DeshacerBorrarTodo() {
    // Selecting everything and deleting it keeps the generated lines as references; undo
    // puts them back as they were.
    const Informe informe = Resolver(Problema(), ".");
    MemoInforme m;
    m.MostrarInforme(informe.generadas);
    const QString antes = m.Texto();
    m.selectAll();
    m.Eliminar();
    QCOMPARE(m.NumeroLineas(), 0);
    m.Deshacer();
    QCOMPARE(m.Texto(), antes);
    QVERIFY(m.Contenido().BytesTexto() < 4096);
    m.Rehacer();
    QCOMPARE(m.NumeroLineas(), 0);
}

void PruebaMemoGenerado::LineasDeUnInformeGrande() {
    // Q = 20000: lines of about 45,000 characters. The memo never holds them; any line and
    // any window of one is the core's.
    EstadoSecuenciador e;
    SecuenciarTabla(e, bench::ProblemaSembrado(10, 20, 20000));
    const LineasInforme nucleo(e.TablaSolucion, ".");
    MemoInforme m;
    m.resize(600, 300);
    m.MostrarInforme(LineasParaMemo(e.TablaSolucion, "."));
    QCOMPARE(m.NumeroLineas(), 40002);
    QVERIFY(m.Contenido().BytesTexto() < 16);
    for (int i : {0, 1, 9999, 10000, 10005, 20000, 20001, 20002, 40001}) {
        const std::string linea = nucleo.Linea(i);
        QCOMPARE(m.LongitudLinea(i), static_cast<int>(linea.size()));
        const int medio = static_cast<int>(linea.size()) / 2;
        QCOMPARE(m.Tramo(i, medio, medio + 300), QString::fromStdString(linea.substr(static_cast<size_t>(medio), 300)));
    }
    QCOMPARE(m.Linea(20001), QString("Solucion:"));
}

void PruebaMemoGenerado::CopiaExcesiva() {
    // With little memory, a copy of the report is refused with a message and the
    // clipboard stays as it was; a small selection is still copied.
    const Informe informe = Resolver(Problema(), ".");
    MemoInforme m;
    m.MostrarInforme(informe.generadas);
    EstablecerFuenteMemoria([] { return uint64_t{12} * 20000; });
    QCOMPARE(MemoInforme::MaximoPortapapeles(), int64_t{20000});
    int64_t avisado = -1;
    m.FijarAvisoCopiaExcesiva([&avisado](int64_t c) { avisado = c; });
    QGuiApplication::clipboard()->setText("antes");
    m.selectAll();
    m.CopiarTodo();
    QVERIFY(avisado > 20000);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("antes"));
    avisado = -1;
    m.FijarCursor({1, 0});
    m.FijarCursor({1, 5}, true);
    m.Copiar();
    QCOMPARE(avisado, int64_t{-1});
    QCOMPARE(QGuiApplication::clipboard()->text(), m.Linea(1).left(5));
    QVERIFY(MensajeCopiaExcesiva().contains("Guardar solución"));
}

void PruebaMemoGenerado::CopiarEnLaVentana() {
    // The window's Copiar on a report the clipboard cannot take: the message, through the
    // failure handler, and the clipboard as it was; with memory enough, the report.
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(bench::ProblemaSembrado(10, 20, 300));
    v.EjecutarResolucion();
    QGuiApplication::clipboard()->setText("antes");
    EstablecerFuenteMemoria([] { return uint64_t{12} * 100000; });  // the bound: 100,000 characters
    Accion(v, "TBCopiar")->trigger();
    QCOMPARE(d.Mensajes(), QStringList{"El informe tiene más de 100,000 caracteres, más de los que el portapapeles admite "
                                       "con la memoria disponible; use Guardar solución para llevarlo a un archivo."});
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("antes"));
    EstablecerFuenteMemoria({});
    Accion(v, "TBCopiar")->trigger();
    QCOMPARE(d.Mensajes().size(), 1);
    QCOMPARE(QGuiApplication::clipboard()->text(), MemoDe(v)->Texto());
}

void PruebaMemoGenerado::GuardarPorPartes() {
    // The file holds what EscribirLineasFichero writes of the memo's lines, edits included.
    const Informe informe = Resolver(Problema(), ",");
    MemoInforme m;
    m.MostrarInforme(informe.generadas);
    m.FijarCursor({5, 3});
    m.Escribir(QString::fromUtf8("ñ y €\nnueva"));
    const QString dir = QDir::temp().filePath("tavelorin_generado");
    QDir().mkpath(dir);
    const std::string nombre = QDir(dir).filePath("a.sol").toStdString(), esperado = QDir(dir).filePath("b.sol").toStdString();
    TareasPrueba tareas;
    QVERIFY(GuardarTextoMemo(nullptr, nombre, m, tareas));
    QCOMPARE(tareas.ejecutadas, 1);
    QVERIFY(tareas.total > 0);
    QCOMPARE(tareas.hechos, tareas.total);  // UTF-8 bytes produced: the size first measured
    EscribirLineasFichero(esperado, m.Lineas());
    QFile fa(QString::fromStdString(nombre)), fb(QString::fromStdString(esperado));
    QVERIFY(fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly));
    QCOMPARE(fa.readAll(), fb.readAll());
}

void PruebaMemoGenerado::GuardarSinEspacioOCancelado() {
    const Informe informe = Resolver(Problema(), ".");
    MemoInforme m;
    m.MostrarInforme(informe.generadas);
    const QString dir = QDir::temp().filePath("tavelorin_generado");
    QDir().mkpath(dir);
    const QString nombre = QDir(dir).filePath("vieja.sol");
    const auto contenido = [&] {
        QFile f(nombre);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no existe>");
    };
    {
        QFile f(nombre);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("vieja\r\n");
    }
    // Not enough room: a message, and the old file as it was.
    EstablecerFuenteEspacio([](const std::string&) { return uint64_t{1000}; });
    TareasPrueba tareas;
    try {
        GuardarTextoMemo(nullptr, nombre.toStdString(), m, tareas);
        QFAIL("se esperaba un error");
    } catch (const ErrorTavelorin& e) {
        QVERIFY2(QString(e.what()).startsWith("No hay espacio para guardar \""), e.what());
        QVERIFY(QString(e.what()).endsWith("y quedan 0 MB libres"));
    }
    QCOMPARE(contenido(), QByteArray("vieja\r\n"));
    // Cancelled: false, and the old file as it was, no temporary left behind.
    EstablecerFuenteEspacio({});
    tareas.cancelar = true;
    QVERIFY(!GuardarTextoMemo(nullptr, nombre.toStdString(), m, tareas));
    QCOMPARE(contenido(), QByteArray("vieja\r\n"));
    QCOMPARE(QDir(dir).entryList(QStringList{".vieja.sol*"}, QDir::Hidden | QDir::Files).size(), 0);
}

void PruebaMemoGenerado::ImprimirMuchasPaginasPregunta() {
    // Thousands of lines: the estimate runs past 500 pages, so printing asks first.
    MemoInforme m;
    Lineas muchas(60000, "1\t0,559\t0,9014");
    m.ReemplazarLineas(muchas);
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setOutputFormat(QPrinter::PdfFormat);
    const int64_t paginas = EstimarPaginas(m, impresora);
    QVERIFY2(paginas > 500, qPrintable(QString::number(paginas)));
    TareasPrueba tareas;
    tareas.respuesta = false;
    QVERIFY(!ConfirmarImpresion(nullptr, m, impresora, tareas));
    QCOMPARE(tareas.preguntas.size(), 1);
    QVERIFY(tareas.preguntas[0].contains("páginas"));
    // A short memo goes straight to the printer.
    MemoInforme corto;
    corto.ReemplazarLineas(Lineas(100, "1\t2"));
    QVERIFY(EstimarPaginas(corto, impresora) <= 5);
    QVERIFY(ConfirmarImpresion(nullptr, corto, impresora, tareas));
    QCOMPARE(tareas.preguntas.size(), 1);
}

QTEST_MAIN(PruebaMemoGenerado)
#include "test_memo_generado.moc"
