// The main window driven as a user would: commands, enabling, the grid and the memo.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QMimeData>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <fstream>
#include <functional>
#include <map>

#include "soporte/Controles.h"
#include "soporte/DialogosPrueba.h"
#include "core/Errores.h"
#include "core/Informe.h"
#include "ui/AboutU.h"
#include "ui/CambiosPendientes.h"
#include "ui/GraficosConsumo.h"
#include "ui/Main.h"
#include "ui/ManejoErrores.h"
#include "ui/MemoInforme.h"
#include "ui/ModeloMatriz.h"
#include "core/Secuenciador.h"
#include "ui/VistaMatriz.h"

using namespace tavelorin;

namespace {

const std::vector<std::string> kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};

// The memo text the core gives for problem lines.
std::vector<std::string> MemoDelNucleo(const std::vector<std::string>& problema, const std::string& separador) {
    EstadoSecuenciador e;
    Solucion s = Secuenciar(e, problema, separador);
    AnadirSolucion(s.informe, s.secuencia);
    return s.informe;
}

void Escribir(TMainForm& v, const std::vector<std::string>& problema) {
    Rejilla(v).Cargar(problema);
}

// A cell changed as typing does: through the view's model.
void Teclear(TMainForm& v, int fila, int columna, const QString& texto) {
    ModeloMatriz& m = Rejilla(v);
    m.setData(m.index(fila - m.DesplazamientoFila(), columna - m.DesplazamientoColumna()), texto, Qt::EditRole);
}

// Paints the grid, as the screen would, so the enabling follows it.
void Pintar(TMainForm& v) { Control<VistaMatriz>(v, "Matriz")->viewport()->grab(); }

using Estados = std::map<QString, bool>;

Estados Habilitados(TMainForm& v) {
    Estados e;
    for (const char* nombre : {"TBResolver", "ResolverProblema", "TBGuardar", "TBImprimir", "TBCopiar",
                               "ArchivoGrabarProblema", "ArchivoGrabarProblemaComo", "ArchivoGrabarSolucion",
                               "ArchivoGrabarSolucionComo", "ArchivoImprimir"})
        e[nombre] = Accion(v, nombre)->isEnabled();
    return e;
}

QString Describir(const Estados& e) {
    QStringList r;
    for (const auto& [nombre, valor] : e) r << nombre + "=" + (valor ? "1" : "0");
    return r.join(' ');
}

}  // namespace

class PruebaVentana : public QObject {
    Q_OBJECT

private slots:
    void ArranqueSinArgumentos();
    void ReglasDeHabilitacion();
    void Items_data();
    void Items();
    void ItemsErrores_data();
    void ItemsErrores();
    void ItemsConservaLaSolucion();
    void CabecerasFijasOtraVez();
    void NuevoTrasResolver();
    void ResolverDesdeLaMatriz();
    void FalloDeResolucion();
    void ResolverConComponenteNoValido_data();
    void ResolverConComponenteNoValido();
    void CopiarSoloTextoPlano();
    void CopiarDesdeOtraPagina();
    void Fuente();
    void ConfigurarImpresora();
    void ReglaDelPunto();
    void ArranqueConArchivo();
    void ArranqueConArchivoQueFalla_data();
    void ArranqueConArchivoQueFalla();
    void EscribirEnLaMatriz();
    void TabuladorSaleDeLaMatriz();
    void Aspecto();
    void SeparadorDecimalDelSistema();
    void ImprimirSinImpresora();
    void AcercaDeSiempreLaMismaCaja();
    void GraficosDesdeLaVentana();
};

void PruebaVentana::GraficosDesdeLaVentana() {
    DialogosPrueba d;
    TMainForm v(d, {});
    auto* graficos = Control<GraficosConsumo>(v, "Graficos");
    auto* EComp = Control<QLineEdit>(v, "EComp");
    auto* Button1 = Control<QPushButton>(v, "Button1");
    QCOMPARE(Control<QWidget>(v, "ChartVelCon"), graficos->ChartVelCon());
    QCOMPARE(Control<QWidget>(v, "ChartTasCon"), graficos->ChartTasCon());
    QVERIFY(Control<QWidget>(v, "TBGrafVel")->isAncestorOf(graficos->ChartVelCon()));
    QVERIFY(Control<QWidget>(v, "TSGrafTasa")->isAncestorOf(graficos->ChartTasCon()));
    QVERIFY(Control<QWidget>(v, "TSGrafTasa")->isAncestorOf(EComp));
    Escribir(v, {"4", "3", "2\t1\t0\t3", "1\t0\t1\t2", "0\t2\t1\t2", "1\t1\t1\t1"});
    v.EjecutarResolucion();
    QCOMPARE(graficos->SeriesVel().size(), size_t{3});
    QCOMPARE(graficos->Xjk()->count(), 8);
    // "+" runs under the failure handler: a bad number is reported and the text stays.
    Button1->click();
    QCOMPARE(EComp->text(), QString("2"));
    EComp->setText("x");
    Button1->click();
    QCOMPARE(d.Mensajes(), QStringList{"''x'' is not a valid integer value."});
    QCOMPARE(EComp->text(), QString("x"));
    // Nuevo empties both charts and resets the selector.
    Accion(v, "TBNuevo")->trigger();
    QCOMPARE(EComp->text(), QString("1"));
    QVERIFY(graficos->SeriesVel().empty());
    QCOMPARE(graficos->Xjk()->count(), 0);
    QCOMPARE(graficos->KNjQ()->count(), 0);
}

void PruebaVentana::ImprimirSinImpresora() {
    // With or without a printer, both print commands open the print dialog (which offers a
    // PDF file); cancelling it changes nothing.
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, kEjemplo);
    v.EjecutarResolucion();
    Accion(v, "TBImprimir")->trigger();
    Accion(v, "ArchivoImprimir")->trigger();
    QCOMPARE(d.dialogosImprimir, 2);
    QVERIFY(d.errores.empty());
    QVERIFY(v.Resuelto());
    QVERIFY(Accion(v, "TBImprimir")->isEnabled());
}

void PruebaVentana::AcercaDeSiempreLaMismaCaja() {
    DialogosPrueba d;
    TMainForm v(d, {});
    std::vector<QDialog*> mostradas;
    d.alMostrarFormulario = [&](QDialog& f) {
        mostradas.push_back(&f);
        return true;
    };
    TAboutBox* caja = Control<TAboutBox>(v, "AboutBox");  // created with the window
    QVERIFY(!caja->isVisible());
    Accion(v, "AyudaAcerdaDe")->trigger();
    Accion(v, "AyudaAcerdaDe")->trigger();
    QCOMPARE(mostradas.size(), size_t{2});
    QCOMPARE(mostradas[0], static_cast<QDialog*>(caja));
    QCOMPARE(mostradas[1], mostradas[0]);
    QCOMPARE(caja->windowTitle(), QString("Acerca de ..."));
}

void PruebaVentana::ArranqueSinArgumentos() {
    DialogosPrueba d;
    TMainForm v(d, {});
    const MatrizProblema& m = Rejilla(v).Matriz();
    QCOMPARE(m.Filas(), 4);
    QCOMPARE(m.Columnas(), 6);
    QCOMPARE(QString::fromStdString(m.Celda(0, 0)), QString("Pr/Co"));
    QCOMPARE(QString::fromStdString(m.Celda(5, 0)), QString("Qj"));
    QCOMPARE(QString::fromStdString(m.Celda(0, 3)), QString("3"));
    // The empty grid turns Resolver and Guardar off before it is ever painted.
    QVERIFY(!Accion(v, "TBResolver")->isEnabled());
    QVERIFY(!Accion(v, "TBGuardar")->isEnabled());
    QVERIFY(!Accion(v, "ResolverProblema")->isEnabled());
    QVERIFY(!Accion(v, "TBImprimir")->isEnabled());
    QVERIFY(!Accion(v, "TBCopiar")->isEnabled());
    Pintar(v);
    AbrirMenuArchivo(v);
    const Estados apagados = {
        {"TBResolver", false},           {"ResolverProblema", false},         {"TBGuardar", false},
        {"TBImprimir", false},           {"TBCopiar", false},                 {"ArchivoGrabarProblema", false},
        {"ArchivoGrabarProblemaComo", false}, {"ArchivoGrabarSolucion", false}, {"ArchivoGrabarSolucionComo", false},
        {"ArchivoImprimir", false},
    };
    QCOMPARE(Describir(Habilitados(v)), Describir(apagados));
    QVERIFY(!v.Resuelto());
    QCOMPARE(Control<QTabWidget>(v, "PageControl1")->currentIndex(), 0);
    QVERIFY(d.errores.empty());
}

void PruebaVentana::ReglasDeHabilitacion() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Pintar(v);
    AbrirMenuArchivo(v);
    struct Paso {
        QString accion;
        std::function<void()> hacer;
        Estados cambios;  // what differs from the state before the step
    };
    const std::vector<Paso> pasos = {
        {"llenar todas las celdas menos una",
         [&] {
             for (int r = 1; r <= 3; ++r)
                 for (int c = 1; c <= 5; ++c)
                     if (r != 3 || c != 5) Rejilla(v).PonerCelda(c, r, "1");
         },
         {}},
        {"la ultima celda, sin pintar", [&] { Rejilla(v).PonerCelda(5, 3, "2"); },
         {{"TBResolver", true}, {"ResolverProblema", true}, {"TBGuardar", true}}},
        {"pintar", [&] { Pintar(v); }, {}},
        {"abrir el menu Archivo", [&] { AbrirMenuArchivo(v); },
         {{"ArchivoGrabarProblema", true}, {"ArchivoGrabarProblemaComo", true}}},
        {"resolver", [&] { Accion(v, "TBResolver")->trigger(); }, {{"TBImprimir", true}, {"TBCopiar", true}}},
        {"abrir el menu Archivo", [&] { AbrirMenuArchivo(v); },
         {{"ArchivoGrabarSolucion", true}, {"ArchivoGrabarSolucionComo", true}, {"ArchivoImprimir", true}}},
        {"vaciar una celda, sin pintar", [&] { Rejilla(v).PonerCelda(2, 2, ""); },
         {{"TBResolver", false}, {"ResolverProblema", false}, {"TBGuardar", false}}},
        {"abrir el menu Archivo", [&] { AbrirMenuArchivo(v); },
         {{"ArchivoGrabarProblema", false}, {"ArchivoGrabarProblemaComo", false}}},
        {"Nuevo", [&] { Accion(v, "TBNuevo")->trigger(); }, {{"TBImprimir", false}, {"TBCopiar", false}}},
        {"abrir el menu Archivo", [&] { AbrirMenuArchivo(v); },
         {{"ArchivoGrabarSolucion", false}, {"ArchivoGrabarSolucionComo", false}, {"ArchivoImprimir", false}}},
    };
    Estados esperado = Habilitados(v);
    for (const Paso& paso : pasos) {
        paso.hacer();
        for (const auto& [nombre, valor] : paso.cambios) esperado[nombre] = valor;
        QVERIFY2(Habilitados(v) == esperado,
                 qPrintable(paso.accion + ": " + Describir(Habilitados(v)) + " / esperado " + Describir(esperado)));
    }
    QVERIFY(d.errores.empty());
}

void PruebaVentana::Items_data() {
    QTest::addColumn<std::optional<QString>>("productos");
    QTest::addColumn<std::optional<QString>>("componentes");
    QTest::addColumn<bool>("confirma");     // the answer to the question, if one is asked
    QTest::addColumn<QString>("pregunta");  // empty: none expected
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<QString>("fila0");
    QTest::addColumn<bool>("filaFija");
    QTest::addColumn<int>("preguntas");  // prompts shown
    using O = std::optional<QString>;
    const QStringList ejemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};
    const QString cabecera = "Pr/Co 1 2 Qj";
    // From the example: 3 products, 2 components, every cell filled.
    QTest::newRow("crecer") << O("5") << O("3") << false << "" << QStringList{"5", "3", "1\t0\t\t2", "0\t1\t\t1",
                                                                              "1\t1\t\t1", "\t\t\t", "\t\t\t"}
                            << "Pr/Co 1 2 3 Qj" << true << 2;
    QTest::newRow("igual") << O("3") << O("2") << false << "" << ejemplo << cabecera << true << 2;
    QTest::newRow("cancelar el primero") << O() << O("9") << false << "" << ejemplo << cabecera << true << 1;
    QTest::newRow("cancelar el segundo") << O("9") << O() << false << "" << ejemplo << cabecera << true << 2;
    QTest::newRow("2 y 3, confirmado") << O("2") << O("3") << true << "Se perderán los datos del producto 3. ¿Continuar?"
                                       << QStringList{"2", "3", "1\t0\t\t2", "0\t1\t\t1"} << "Pr/Co 1 2 3 Qj" << true
                                       << 2;
    QTest::newRow("2 y 3, no") << O("2") << O("3") << false << "Se perderán los datos del producto 3. ¿Continuar?"
                               << ejemplo << cabecera << true << 2;
    QTest::newRow("0 productos") << O("0") << O("2") << true << "Se perderán los datos de los productos 1 a 3. ¿Continuar?"
                                 << QStringList{"0", "2"} << cabecera << false << 2;
    QTest::newRow("-5 productos") << O("-5") << O("2") << true
                                  << "Se perderán los datos de los productos 1 a 3. ¿Continuar?" << QStringList{"0", "2"}
                                  << cabecera << false << 2;
    QTest::newRow("0 componentes") << O("3") << O("0") << true
                                   << "Se perderán los datos de los componentes 1 a 2. ¿Continuar?"
                                   << QStringList{"3", "0", "2", "1", "1"} << "Pr/Co Qj" << true << 2;
    QTest::newRow("-1 componentes") << O("3") << O("-1") << true
                                    << "Se perderán los datos de los componentes 1 a 2 y de las demandas. ¿Continuar?"
                                    << QStringList{"3", "-1", "", "", ""} << "Qj" << true << 2;
    QTest::newRow("hexadecimal y espacios")
        << O("  $2") << O("x1") << true << "Se perderán los datos del producto 3 y del componente 2. ¿Continuar?"
        << QStringList{"2", "1", "1\t2", "0\t1"} << "Pr/Co 1 Qj" << true << 2;
    QTest::newRow("suma que da la vuelta") << O("2147483647") << O("2") << true
                                           << "Se perderán los datos de los productos 1 a 3. ¿Continuar?"
                                           << QStringList{"0", "2"} << cabecera << false << 2;
}

void PruebaVentana::Items() {
    QFETCH(std::optional<QString>, productos);
    QFETCH(std::optional<QString>, componentes);
    QFETCH(bool, confirma);
    QFETCH(QString, pregunta);
    QFETCH(QStringList, lineas);
    QFETCH(QString, fila0);
    QFETCH(bool, filaFija);
    QFETCH(int, preguntas);
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, kEjemplo);
    v.EjecutarResolucion();
    const QString memo = MemoDe(v)->Texto();
    d.respuestas = {productos, componentes};
    d.confirmaciones = {confirma};
    Accion(v, "TBItems")->trigger();
    QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
    QCOMPARE(d.preguntas.size(), size_t(preguntas));
    // Each prompt proposes the current count.
    QCOMPARE(d.preguntas[0].titulo, QString("Problema de Brisak"));
    QCOMPARE(d.preguntas[0].pregunta, QString("Número de Productos"));
    QCOMPARE(d.preguntas[0].porDefecto, QString("3"));
    if (preguntas > 1) {
        QCOMPARE(d.preguntas[1].pregunta, QString("Número de Componentes"));
        QCOMPARE(d.preguntas[1].porDefecto, QString("2"));
    }
    QCOMPARE(d.preguntasConfirmar, pregunta.isEmpty() ? std::vector<QString>{} : std::vector<QString>{pregunta});
    const MatrizProblema& m = Rejilla(v).Matriz();
    QStringList obtenidas;
    for (const std::string& l : m.LineasProblema()) obtenidas << QString::fromStdString(l);
    QCOMPARE(obtenidas, lineas);
    QStringList cabecera;
    for (int c = 0; c < m.Columnas(); ++c) cabecera << QString::fromStdString(m.Celda(c, 0));
    QCOMPARE(cabecera.join(' '), fila0);
    QCOMPARE(m.FilaFija(), filaFija);
    QCOMPARE(Control<VistaMatriz>(v, "Matriz")->horizontalHeader()->isHidden(), !filaFija);
    Pintar(v);
    QCOMPARE(Accion(v, "TBResolver")->isEnabled(), m.Completa());
    // The report, the solve and the file names stay; the problem is modified only when
    // it changed.
    QCOMPARE(MemoDe(v)->Texto(), memo);
    QVERIFY(v.Resuelto());
    const bool cambiada = obtenidas != QStringList{"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};
    QCOMPARE(v.Cambios().Problema(), cambiada);
    QCOMPARE(v.isWindowModified(), cambiada);
}

// A bad answer or a size the grid cannot take: both answers are read first, and nothing
// changes.
void PruebaVentana::ItemsErrores_data() {
    QTest::addColumn<QString>("productos");
    QTest::addColumn<QString>("componentes");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("productos") << "x" << "4" << "''x'' is not a valid integer value.";
    QTest::newRow("componentes") << "5" << "y" << "''y'' is not a valid integer value.";
    QTest::newRow("demasiadas filas") << "134217725" << "4" << "Grid too large for operation.";
    QTest::newRow("vacio") << "" << "4" << "'''' is not a valid integer value.";
    QTest::newRow("demasiadas columnas") << "1" << "2147483640" << "Out of memory.";
}

void PruebaVentana::ItemsErrores() {
    QFETCH(QString, productos);
    QFETCH(QString, componentes);
    QFETCH(QString, mensaje);
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, kEjemplo);
    d.respuestas = {productos, componentes};
    Accion(v, "Items1")->trigger();
    QCOMPARE(d.preguntas.size(), size_t{2});  // both boxes are shown before any conversion
    QCOMPARE(d.Mensajes(), QStringList{mensaje});
    QCOMPARE(d.errores[0].first, QString("TAVELORIN"));
    QVERIFY(d.preguntasConfirmar.empty());
    QCOMPARE(Rejilla(v).Matriz().LineasProblema(), kEjemplo);
    QCOMPARE(QString::fromStdString(Rejilla(v).Matriz().Celda(0, 3)), QString("3"));
    QVERIFY(!v.Cambios().Problema());
}

void PruebaVentana::ItemsConservaLaSolucion() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, kEjemplo);
    v.EjecutarResolucion();
    const QString memo = MemoDe(v)->Texto();
    d.respuestas = {QString("2"), QString("2")};
    d.confirmaciones = {true};
    Accion(v, "TBItems")->trigger();
    QCOMPARE(Rejilla(v).Matriz().Filas(), 3);
    QVERIFY(v.Resuelto());
    QVERIFY(Accion(v, "TBCopiar")->isEnabled());
    QCOMPARE(MemoDe(v)->Texto(), memo);
}

// After a grid of the header row (or column) only, growing makes it a fixed, read-only
// header again.
void PruebaVentana::CabecerasFijasOtraVez() {
    DialogosPrueba d;
    TMainForm v(d, {});
    auto* Matriz = Control<VistaMatriz>(v, "Matriz");
    d.respuestas = {QString("0"), QString("-1"), QString("2"), QString("3")};
    Accion(v, "TBItems")->trigger();
    QVERIFY(Matriz->horizontalHeader()->isHidden());
    QVERIFY(Matriz->verticalHeader()->isHidden());
    Accion(v, "TBItems")->trigger();
    QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
    QVERIFY(!Matriz->horizontalHeader()->isHidden());
    QVERIFY(!Matriz->verticalHeader()->isHidden());
    ModeloMatriz& m = Rejilla(v);
    QCOMPARE(m.rowCount(), 2);  // the two products; the labels are headers, not cells
    QCOMPARE(m.columnCount(), 4);
    QCOMPARE(m.headerData(3, Qt::Horizontal).toString(), QString("Qj"));
    QCOMPARE(m.headerData(1, Qt::Vertical).toString(), QString("2"));
    Teclear(v, 1, 1, "5");
    QCOMPARE(QString::fromStdString(m.Matriz().Celda(1, 1)), QString("5"));
    QCOMPARE(QString::fromStdString(m.Matriz().Celda(0, 1)), QString("1"));
}

void PruebaVentana::NuevoTrasResolver() {
    DialogosPrueba d;
    TMainForm v(d, {});
    QTemporaryDir dir;
    Escribir(v, kEjemplo);
    // Both files named, as saving them names them.
    d.nombres = {dir.filePath("algo.brk"), dir.filePath("algo.sol")};
    Accion(v, "ArchivoGrabarProblemaComo")->trigger();
    Control<QLineEdit>(v, "EComp")->setText("2");
    v.EjecutarResolucion();
    Accion(v, "ArchivoGrabarSolucionComo")->trigger();
    QCOMPARE(v.FicheroProblema(), dir.filePath("algo.brk"));
    QCOMPARE(v.FicheroSolucion(), dir.filePath("algo.sol"));
    QVERIFY(v.Resuelto());
    Accion(v, "ArchivoNuevo")->trigger();
    QCOMPARE(MemoDe(v)->NumeroLineas(), 0);
    QVERIFY(!v.Resuelto());
    QVERIFY(!Accion(v, "TBCopiar")->isEnabled());
    QVERIFY(!Accion(v, "TBImprimir")->isEnabled());
    QCOMPARE(Control<QLineEdit>(v, "EComp")->text(), QString("1"));
    QVERIFY(v.FicheroProblema().isEmpty());
    QVERIFY(v.FicheroSolucion().isEmpty());  // another problem: Guardar solución asks again
    QVERIFY(d.errores.empty());
    QCOMPARE(Rejilla(v).Matriz().Filas(), 4);
    QCOMPARE(Rejilla(v).Matriz().Columnas(), 6);
    QCOMPARE(Rejilla(v).Matriz().CeldasVacias(), 15);
    QCOMPARE(v.windowTitle(), QString("TAVELORIN[*]"));
    // The last solve is forgotten: the selector draws nothing of it.
    QCOMPARE(v.Estado().TablaSolucion.filas, 0);
    auto* graficos = Control<GraficosConsumo>(v, "Graficos");
    for (const char* boton : {"Button1", "Button2", "Button1"}) {
        Control<QPushButton>(v, boton)->click();
        QCOMPARE(graficos->Xjk()->count(), 0);
        QCOMPARE(graficos->KNjQ()->count(), 0);
    }
    Control<QLineEdit>(v, "EComp")->setText("2");
    QCOMPARE(graficos->Xjk()->count(), 0);
    QVERIFY(d.errores.empty());
}

void PruebaVentana::ResolverDesdeLaMatriz() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, {"4", "3", "2\t1\t0\t3", "1\t0\t1\t2", "0\t2\t1\t2", "1\t1\t1\t1"});
    Pintar(v);
    Accion(v, "ResolverProblema")->trigger();
    QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
    QCOMPARE(MemoDe(v)->Lineas(), MemoDelNucleo(Rejilla(v).Matriz().LineasProblema(), "."));
    QCOMPARE(MemoDe(v)->Linea(MemoDe(v)->NumeroLineas() - 9), QString("Solucion:"));
    QCOMPARE(v.Estado().NProd, 4);
    QCOMPARE(v.Estado().NComp, 3);
    QCOMPARE(v.Estado().Q, 8);
    QVERIFY(v.Resuelto());
    QCOMPARE(Control<QTabWidget>(v, "PageControl1")->currentIndex(), 0);
}

void PruebaVentana::FalloDeResolucion() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, kEjemplo);
    v.EjecutarResolucion();
    const QString memo = MemoDe(v)->Texto();
    Rejilla(v).PonerCelda(2, 2, "a");
    Accion(v, "TBResolver")->trigger();
    QCOMPARE(d.errores.size(), size_t{1});
    QCOMPARE(d.errores[0].first, QString("TAVELORIN"));
    QCOMPARE(d.errores[0].second, QString("''a'' is not a valid integer value."));
    QVERIFY(!v.Resuelto());
    QVERIFY(Accion(v, "TBCopiar")->isEnabled());  // as the last successful solve left them
    QVERIFY(Accion(v, "TBImprimir")->isEnabled());
    QCOMPARE(MemoDe(v)->Texto(), memo);
    AbrirMenuArchivo(v);
    QVERIFY(!Accion(v, "ArchivoGrabarSolucion")->isEnabled());

    // Refusals of the core reach the user the same way.
    Accion(v, "TBNuevo")->trigger();
    d.respuestas = {QString("0"), QString("2")};
    Accion(v, "TBItems")->trigger();
    Accion(v, "TBResolver")->trigger();
    QCOMPARE(d.errores.size(), size_t{2});
    QVERIFY(d.errores[1].second.startsWith("No hay nada que secuenciar"));
}

// A selector that holds no component number does not make the solve fail: the report,
// the speed chart and the enabling are those of a solve, and the rate chart waits for a
// valid number.
void PruebaVentana::ResolverConComponenteNoValido_data() {
    QTest::addColumn<QString>("componente");
    QTest::newRow("letras") << "x";
    QTest::newRow("vacio") << "";
    QTest::newRow("espacio final") << "1 ";
    QTest::newRow("fuera de rango") << "7";
}

void PruebaVentana::ResolverConComponenteNoValido() {
    QFETCH(QString, componente);
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, kEjemplo);
    auto* EComp = Control<QLineEdit>(v, "EComp");
    auto* graficos = Control<GraficosConsumo>(v, "Graficos");
    EComp->setText(componente);
    Accion(v, "TBResolver")->trigger();
    QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
    QCOMPARE(MemoDe(v)->Lineas(), MemoDelNucleo(kEjemplo, "."));
    QVERIFY(v.Resuelto());
    QVERIFY(Accion(v, "TBCopiar")->isEnabled());
    QVERIFY(Accion(v, "TBImprimir")->isEnabled());
    QCOMPARE(graficos->SeriesVel().size(), size_t{2});
    QCOMPARE(graficos->Xjk()->count(), 0);
    QCOMPARE(EComp->text(), componente);
    EComp->setText("2");
    QCOMPARE(graficos->Xjk()->count(), 4);
}

void PruebaVentana::CopiarSoloTextoPlano() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, kEjemplo);
    v.EjecutarResolucion();
    Accion(v, "TBCopiar")->trigger();
    const QMimeData* datos = QGuiApplication::clipboard()->mimeData();
    QVERIFY(datos != nullptr);
    QCOMPARE(datos->formats(), QStringList{"text/plain"});
    QString esperado;
    for (const std::string& l : MemoDelNucleo(kEjemplo, ".")) esperado += QString::fromStdString(l) + "\r\n";
    QCOMPARE(datos->text(), esperado);
    QVERIFY(MemoDe(v)->TieneSeleccion());

    // A copy of part of the text by the editor's own shortcut is plain text too.
    MemoDe(v)->FijarCursor({0, 0});
    MemoDe(v)->FijarCursor({2, 0}, true);
    MemoDe(v)->Copiar();
    datos = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(datos->formats(), QStringList{"text/plain"});
    QCOMPARE(datos->text().count("\r\n"), 2);
    QVERIFY(!datos->text().contains(QRegularExpression("[^\r]\n")));
}

void PruebaVentana::CopiarDesdeOtraPagina() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, kEjemplo);
    v.EjecutarResolucion();
    Control<QTabWidget>(v, "PageControl1")->setCurrentIndex(2);
    QGuiApplication::clipboard()->clear();
    Accion(v, "Copiar1")->trigger();
    QVERIFY(d.errores.empty());
    QVERIFY(QGuiApplication::clipboard()->text().startsWith("K\tDk1"));
    // Before any solve Copiar copies whatever the memo holds: nothing.
    DialogosPrueba d2;
    TMainForm vacia(d2, {});
    Accion(vacia, "Copiar1")->trigger();
    QVERIFY(d2.errores.empty());
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());
}

void PruebaVentana::Fuente() {
    DialogosPrueba d;
    TMainForm v(d, {});
    const QFont antes = MemoDe(v)->font();
    QCOMPARE(antes.family(), QString("Courier New"));
    QCOMPARE(antes.pixelSize(), 11);
    Accion(v, "Fuente1")->trigger();  // cancelled
    QCOMPARE(d.fuentesOfrecidas.size(), size_t{1});
    QCOMPARE(d.fuentesOfrecidas[0].family(), QFontInfo(antes).family());  // the face really drawn
    QCOMPARE(MemoDe(v)->font(), antes);
    QFont nueva("Liberation Serif");
    nueva.setPixelSize(20);
    d.fuenteElegida = nueva;
    Accion(v, "Fuente1")->trigger();
    QCOMPARE(MemoDe(v)->font().family(), QString("Liberation Serif"));
    QCOMPARE(MemoDe(v)->font().pixelSize(), 20);
    // Tab stops follow the font: 8 spaces wide.
    QCOMPARE(MemoDe(v)->DistanciaTabulador(), 8 * QFontMetricsF(MemoDe(v)->font()).horizontalAdvance(' '));
}

void PruebaVentana::ConfigurarImpresora() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Accion(v, "ArchivoConfigurarImpresora")->trigger();
    QCOMPARE(d.configuraciones, 1);
    QCOMPARE(d.impresoraConfigurada, &v.Impresora());
}

void PruebaVentana::ReglaDelPunto() {
    struct Caso {
        std::function<void()> fallo;
        QString mostrado;
    };
    const Caso casos[] = {
        {[] { throw ErrorTavelorin("Out of memory"); }, "Out of memory."},
        {[] { throw ErrorTavelorin("List index out of bounds (3)"); }, "List index out of bounds (3)"},
        {[] { throw ErrorTavelorin("Fin."); }, "Fin."},
        {[] { throw std::bad_alloc(); }, "Out of memory."},
        {[] { throw std::runtime_error("Error 7"); }, "Error 7."},
    };
    for (const Caso& caso : casos) {
        DialogosPrueba d;
        QVERIFY(!EjecutarComando(d, nullptr, caso.fallo));
        QCOMPARE(d.errores.size(), size_t{1});
        QCOMPARE(d.errores[0].first, QString("TAVELORIN"));
        QCOMPARE(d.errores[0].second, caso.mostrado);
    }
    DialogosPrueba d;
    QVERIFY(EjecutarComando(d, nullptr, [] {}));
    QVERIFY(d.errores.empty());
}

void PruebaVentana::ArranqueConArchivo() {
    QTemporaryDir dir;
    const QString nombre = dir.filePath("ejemplo.brk");
    std::ofstream(nombre.toStdString(), std::ios::binary) << "3\r\n2\r\n1\t0\t2\r\n0\t1\t1\r\n1\t1\t1\r\n";
    DialogosPrueba d;
    TMainForm v(d, {nombre, "ignorado"});
    QVERIFY(d.errores.empty());
    QCOMPARE(v.FicheroProblema(), nombre);
    QCOMPARE(Rejilla(v).Matriz().LineasProblema(), kEjemplo);
    QVERIFY(!Accion(v, "TBCopiar")->isEnabled());
    QCOMPARE(v.windowTitle(), QString("TAVELORIN - ejemplo.brk[*]"));
    QVERIFY(!v.isWindowModified());
}

// A file that does not load: reported, and the program starts with the empty problem,
// no file name, and print and copy off as Resuelto says.
void PruebaVentana::ArranqueConArchivoQueFalla_data() {
    QTest::addColumn<QByteArray>("bytes");  // empty: no file at all
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("no existe") << QByteArray() << "Cannot open file \"%1\". No such file or directory.";
    QTest::newRow("linea 2 mala") << QByteArray("3\r\ndos\r\n") << "''dos'' is not a valid integer value.";
    QTest::newRow("faltan filas") << QByteArray("3\r\n2\r\n1\t0\t2\r\n") << "List index out of bounds (3)";
}

void PruebaVentana::ArranqueConArchivoQueFalla() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, mensaje);
    QTemporaryDir dir;
    const QString nombre = dir.filePath("inicio.brk");
    if (!bytes.isEmpty()) std::ofstream(nombre.toStdString(), std::ios::binary) << bytes.toStdString();
    DialogosPrueba d;
    TMainForm v(d, {nombre});
    QCOMPARE(d.Mensajes(), QStringList{mensaje.arg(nombre)});
    const MatrizProblema& m = Rejilla(v).Matriz();
    QCOMPARE(m.Filas(), 4);
    QCOMPARE(m.Columnas(), 6);
    QCOMPARE(QString::fromStdString(m.Celda(5, 0)), QString("Qj"));
    QCOMPARE(m.CeldasVacias(), 15);
    QVERIFY(v.FicheroProblema().isEmpty());
    QCOMPARE(v.windowTitle(), QString("TAVELORIN[*]"));
    QVERIFY(!v.Resuelto());
    QVERIFY(!Accion(v, "TBCopiar")->isEnabled());
    QVERIFY(!Accion(v, "TBImprimir")->isEnabled());
    QVERIFY(!v.Cambios().Alguno());
    // A later save asks for a name: the failed one is not remembered.
    Escribir(v, kEjemplo);
    d.nombres = {std::nullopt};
    Accion(v, "TBGuardar")->trigger();
    QCOMPARE(d.peticionesFichero.size(), size_t{1});
    QVERIFY(d.peticionesFichero[0].guardar);
}

void PruebaVentana::EscribirEnLaMatriz() {
    DialogosPrueba d;
    TMainForm v(d, {});
    v.show();
    v.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&v));
    auto* Matriz = Control<VistaMatriz>(v, "Matriz");
    d.respuestas = {QString("1"), QString("1")};
    Accion(v, "TBItems")->trigger();
    Pintar(v);
    QVERIFY(!Accion(v, "TBResolver")->isEnabled());
    // Type each data cell in place: a key starts the editor, Return commits it.
    const char* textos[] = {"3", "2"};
    for (int c = 0; c < 2; ++c) {
        Matriz->setFocus();
        Matriz->setCurrentIndex(Rejilla(v).index(0, c));
        QTest::keyClicks(Matriz, textos[c]);
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor != nullptr && editor != Matriz);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    QCOMPARE(Rejilla(v).Matriz().LineasProblema(), (std::vector<std::string>{"1", "1", "3\t2"}));
    QTRY_VERIFY(Accion(v, "TBResolver")->isEnabled());
    Accion(v, "TBResolver")->trigger();
    QVERIFY(d.errores.empty());
    QCOMPARE(MemoDe(v)->Linea(1), QString("1\t0\t1\t0\t3\t1\t3"));
}

void PruebaVentana::TabuladorSaleDeLaMatriz() {
    DialogosPrueba d;
    TMainForm v(d, {});
    v.show();
    v.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&v));
    auto* Matriz = Control<VistaMatriz>(v, "Matriz");
    Matriz->setFocus();
    Matriz->setCurrentIndex(Rejilla(v).index(0, 0));
    QVERIFY(Matriz->hasFocus());
    QTest::keyClick(Matriz, Qt::Key_Tab);
    QVERIFY(!Matriz->hasFocus());
    QCOMPARE(Matriz->currentIndex(), Rejilla(v).index(0, 0));
}

void PruebaVentana::Aspecto() {
    DialogosPrueba d;
    TMainForm v(d, {});
    QCOMPARE(v.windowTitle(), QString("TAVELORIN[*]"));  // the marker shows only with unsaved changes
    QVERIFY(!v.isWindowModified());
    auto* paginas = Control<QTabWidget>(v, "PageControl1");
    QCOMPARE(paginas->count(), 4);
    QCOMPARE(paginas->tabText(0), QString("Datos y solución"));
    QCOMPARE(paginas->tabText(1), QString("Gráfico de velocidades de consumo"));
    QCOMPARE(paginas->tabText(2), QString("Gráfico de tasas de consumo"));
    QCOMPARE(paginas->tabText(3), QString("Calidad de la secuencia"));
    QHeaderView* cabecera = Control<VistaMatriz>(v, "Matriz")->horizontalHeader();
    QCOMPARE(cabecera->defaultSectionSize(), 50);
    QCOMPARE(Control<VistaMatriz>(v, "Matriz")->verticalHeader()->defaultSectionSize(), 24);
    QCOMPARE(cabecera->sectionResizeMode(0), QHeaderView::Fixed);
    QVERIFY(!cabecera->sectionsMovable());
    MemoInforme* memo = MemoDe(v);
    QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // The memo takes typing.
    QTest::keyClicks(memo, "x");
    QCOMPARE(memo->Lineas(), std::vector<std::string>{"x"});
    QCOMPARE(Control<QLineEdit>(v, "EComp")->text(), QString("1"));
    QCOMPARE(Control<QLineEdit>(v, "EComp")->geometry(), QRect(90, 7, 41, 21));
    struct Boton {
        QAction* accion;
        const char* texto;
        const char* consejo;
    };
    const Boton botones[] = {
        {Accion(v, "TBNuevo"), "Nuevo", "Nuevo problema"},
        {Accion(v, "ToolButton3"), "Abrir", "Abrir un problema de carga"},
        {Accion(v, "TBGuardar"), "Guardar", "Guardar el problema actual"},
        {Accion(v, "TBImprimir"), "Imprimir", "Imprimir la solución"},
        {Accion(v, "TBItems"), "Items", "Especificar número de productos y componentes"},
        {Accion(v, "TBResolver"), "Resolver", "Resolver problema"},
        {Accion(v, "TBCopiar"), "Copiar", "Copiar la solución"},
        {Accion(v, "TBSalir"), "Salir", "Salir del programa"},
    };
    for (const Boton& b : botones) {
        QCOMPARE(b.accion->text(), QString(b.texto));
        QCOMPARE(b.accion->toolTip(), QString(b.consejo));
        QVERIFY2(!b.accion->icon().isNull(), b.texto);
        QCOMPARE(Control<QToolBar>(v, "ToolBar1")->widgetForAction(b.accion)->size(), QSize(49, 36));
    }
    QStringList archivo;
    for (QAction* a : Control<QMenu>(v, "ArchivoMenu")->actions())
        archivo << (a->isSeparator() ? QString("-") : a->text());
    QCOMPARE(archivo.join('|'), QString("&Nuevo|Items...|-|&Abrir...|Crear problema aleatorio...|-|&Guardar problema|"
                                        "Guardar problema &como...|Guardar &solucion|Guardar solucion c&omo...|-|"
                                        "&Imprimir|&Vista preliminar|&Exportar a PDF...|E&xportar gráfico...|"
                                        "Con&figurar impresora..|-|Sali&r"));
}

// Run with a Spanish locale by CTest: the report follows the system's decimal comma.
void PruebaVentana::SeparadorDecimalDelSistema() {
    const QByteArray esperado = qgetenv("TAVELORIN_SEPARADOR_ESPERADO");
    if (esperado.isEmpty()) QSKIP("se ejecuta aparte, con la configuración regional fijada por CTest");
    DialogosPrueba d;
    TMainForm v(d, {});
    QCOMPARE(QString::fromStdString(v.SeparadorDecimal()), QString::fromUtf8(esperado));
    Escribir(v, kEjemplo);
    v.EjecutarResolucion();
    QCOMPARE(MemoDe(v)->Lineas(), MemoDelNucleo(kEjemplo, esperado.toStdString()));
    QCOMPARE(MemoDe(v)->Linea(1), QString("1\t0") + QString::fromUtf8(esperado) + "559\t0" + QString::fromUtf8(esperado) +
                                    "9014\t0" + QString::fromUtf8(esperado) + "559\t1\t0\t0\t0\t1\t0\t1\t0\t0\t0" +
                                    QString::fromUtf8(esperado) + "75\t0" + QString::fromUtf8(esperado) + "5");
}

QTEST_MAIN(PruebaVentana)
#include "test_main.moc"
