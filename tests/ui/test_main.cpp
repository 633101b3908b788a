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

#include "soporte/DialogosPrueba.h"
#include "core/Errores.h"
#include "core/Informe.h"
#include "ui/AboutU.h"
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
    v.Modelo().Cargar(problema);
}

// Paints the grid, as the screen would, so the enabling follows it.
void Pintar(TMainForm& v) { v.Matriz->viewport()->grab(); }

using Estados = std::map<QString, bool>;

Estados Habilitados(TMainForm& v) {
    return {
        {"TBResolver", v.TBResolver->isEnabled()},
        {"ResolverProblema", v.ResolverProblema->isEnabled()},
        {"TBGuardar", v.TBGuardar->isEnabled()},
        {"TBImprimir", v.TBImprimir->isEnabled()},
        {"TBCopiar", v.TBCopiar->isEnabled()},
        {"ArchivoGrabarProblema", v.ArchivoGrabarProblema->isEnabled()},
        {"ArchivoGrabarProblemaComo", v.ArchivoGrabarProblemaComo->isEnabled()},
        {"ArchivoGrabarSolucion", v.ArchivoGrabarSolucion->isEnabled()},
        {"ArchivoGrabarSolucionComo", v.ArchivoGrabarSolucionComo->isEnabled()},
        {"ArchivoImprimir", v.ArchivoImprimir->isEnabled()},
    };
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
    void ItemsErrores();
    void ItemsConservaLaSolucion();
    void NuevoTrasResolver();
    void ResolverDesdeLaMatriz();
    void FalloDeResolucion();
    void FalloEnElComponente();
    void CopiarSoloTextoPlano();
    void CopiarDesdeOtraPagina();
    void Fuente();
    void ConfigurarImpresora();
    void ReglaDelPunto();
    void ArranqueConArchivo();
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
    QCOMPARE(v.ChartVelCon, v.Graficos->ChartVelCon());
    QVERIFY(v.TBGrafVel->isAncestorOf(v.ChartVelCon));
    QVERIFY(v.TSGrafTasa->isAncestorOf(v.ChartTasCon));
    QVERIFY(v.TSGrafTasa->isAncestorOf(v.EComp));
    Escribir(v, {"4", "3", "2\t1\t0\t3", "1\t0\t1\t2", "0\t2\t1\t2", "1\t1\t1\t1"});
    v.EjecutarResolucion();
    QCOMPARE(v.Graficos->SeriesVel().size(), size_t{3});
    QCOMPARE(v.Graficos->Xjk()->count(), 8);
    // "+" runs under the failure handler: a bad number is reported and the text stays.
    v.Button1->click();
    QCOMPARE(v.EComp->text(), QString("2"));
    v.EComp->setText("x");
    v.Button1->click();
    QCOMPARE(d.Mensajes(), QStringList{"''x'' is not a valid integer value."});
    QCOMPARE(v.EComp->text(), QString("x"));
    // Nuevo empties both charts and resets the selector.
    v.TBNuevo->trigger();
    QCOMPARE(v.EComp->text(), QString("1"));
    QVERIFY(v.Graficos->SeriesVel().empty());
    QCOMPARE(v.Graficos->Xjk()->count(), 0);
    QCOMPARE(v.Graficos->KNjQ()->count(), 0);
}

void PruebaVentana::ImprimirSinImpresora() {
    // This machine has no printer: both print commands say so, and nothing else changes.
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, kEjemplo);
    v.EjecutarResolucion();
    d.imprimirConfirma = true;
    v.TBImprimir->trigger();
    v.ArchivoImprimir->trigger();
    QCOMPARE(d.Mensajes(), (QStringList{"There is no default printer currently selected.",
                                        "There is no default printer currently selected."}));
    QVERIFY(v.Resuelto);
    QVERIFY(v.TBImprimir->isEnabled());
}

void PruebaVentana::AcercaDeSiempreLaMismaCaja() {
    DialogosPrueba d;
    TMainForm v(d, {});
    std::vector<QDialog*> mostradas;
    d.alMostrarFormulario = [&](QDialog& f) {
        mostradas.push_back(&f);
        return true;
    };
    QVERIFY(v.AboutBox != nullptr);
    QVERIFY(!v.AboutBox->isVisible());
    v.AyudaAcerdaDe->trigger();
    v.AyudaAcerdaDe->trigger();
    QCOMPARE(mostradas.size(), size_t{2});
    QCOMPARE(mostradas[0], static_cast<QDialog*>(v.AboutBox));
    QCOMPARE(mostradas[1], mostradas[0]);
    QCOMPARE(v.AboutBox->windowTitle(), QString("Acerca de ..."));
}

void PruebaVentana::ArranqueSinArgumentos() {
    DialogosPrueba d;
    TMainForm v(d, {});
    const MatrizProblema& m = v.Modelo().Matriz();
    QCOMPARE(m.Filas(), 4);
    QCOMPARE(m.Columnas(), 6);
    QCOMPARE(QString::fromStdString(m.Celda(0, 0)), QString("Pr/Co"));
    QCOMPARE(QString::fromStdString(m.Celda(5, 0)), QString("Qj"));
    QCOMPARE(QString::fromStdString(m.Celda(0, 3)), QString("3"));
    // Before the grid is first painted only the print and copy buttons are off.
    QVERIFY(v.TBResolver->isEnabled());
    QVERIFY(v.TBGuardar->isEnabled());
    QVERIFY(!v.ResolverProblema->isEnabled());
    QVERIFY(!v.TBImprimir->isEnabled());
    QVERIFY(!v.TBCopiar->isEnabled());
    Pintar(v);
    v.ArchivoMenuClick();
    const Estados apagados = {
        {"TBResolver", false},           {"ResolverProblema", false},         {"TBGuardar", false},
        {"TBImprimir", false},           {"TBCopiar", false},                 {"ArchivoGrabarProblema", false},
        {"ArchivoGrabarProblemaComo", false}, {"ArchivoGrabarSolucion", false}, {"ArchivoGrabarSolucionComo", false},
        {"ArchivoImprimir", false},
    };
    QCOMPARE(Describir(Habilitados(v)), Describir(apagados));
    QVERIFY(!v.Resuelto);
    QCOMPARE(v.PageControl1->currentIndex(), 0);
    QVERIFY(d.errores.empty());
}

void PruebaVentana::ReglasDeHabilitacion() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Pintar(v);
    v.ArchivoMenuClick();
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
                     if (r != 3 || c != 5) v.Modelo().PonerCelda(c, r, "1");
         },
         {}},
        {"la ultima celda, sin pintar", [&] { v.Modelo().PonerCelda(5, 3, "2"); }, {}},
        {"pintar", [&] { Pintar(v); }, {{"TBResolver", true}, {"ResolverProblema", true}, {"TBGuardar", true}}},
        {"abrir el menu Archivo", [&] { v.ArchivoMenuClick(); },
         {{"ArchivoGrabarProblema", true}, {"ArchivoGrabarProblemaComo", true}}},
        {"resolver", [&] { v.TBResolver->trigger(); }, {{"TBImprimir", true}, {"TBCopiar", true}}},
        {"abrir el menu Archivo", [&] { v.ArchivoMenuClick(); },
         {{"ArchivoGrabarSolucion", true}, {"ArchivoGrabarSolucionComo", true}, {"ArchivoImprimir", true}}},
        {"vaciar una celda y pintar", [&] { v.Modelo().PonerCelda(2, 2, ""); Pintar(v); },
         {{"TBResolver", false}, {"ResolverProblema", false}, {"TBGuardar", false}}},
        {"abrir el menu Archivo", [&] { v.ArchivoMenuClick(); },
         {{"ArchivoGrabarProblema", false}, {"ArchivoGrabarProblemaComo", false}}},
        {"Nuevo", [&] { v.TBNuevo->trigger(); }, {{"TBImprimir", false}, {"TBCopiar", false}}},
        {"abrir el menu Archivo", [&] { v.ArchivoMenuClick(); },
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
    QTest::addColumn<int>("filas");
    QTest::addColumn<int>("columnas");
    QTest::addColumn<QString>("fila0");
    QTest::addColumn<bool>("filaFija");
    QTest::addColumn<bool>("completa");
    using O = std::optional<QString>;
    QTest::newRow("2 y 3") << O("2") << O("3") << 3 << 5 << "Pr/Co 1 2 3 Qj" << true << false;
    QTest::newRow("cancelar dos veces") << O() << O() << 4 << 6 << "Pr/Co 1 2 3 4 Qj" << true << false;
    QTest::newRow("0 productos") << O("0") << O("4") << 1 << 6 << "Pr/Co 1 2 3 4 Qj" << false << true;
    QTest::newRow("-5 productos") << O("-5") << O("4") << 1 << 6 << "Pr/Co 1 2 3 4 Qj" << false << true;
    QTest::newRow("0 componentes") << O("3") << O("0") << 4 << 2 << "Pr/Co Qj" << true << false;
    QTest::newRow("-1 componentes") << O("3") << O("-1") << 4 << 1 << "Qj" << true << true;
    QTest::newRow("hexadecimal y espacios") << O("  $2") << O("x1") << 3 << 3 << "Pr/Co 1 Qj" << true << false;
    QTest::newRow("suma que da la vuelta") << O("2147483647") << O("1") << 1 << 3 << "Pr/Co 1 Qj" << false << true;
}

void PruebaVentana::Items() {
    QFETCH(std::optional<QString>, productos);
    QFETCH(std::optional<QString>, componentes);
    QFETCH(int, filas);
    QFETCH(int, columnas);
    QFETCH(QString, fila0);
    QFETCH(bool, filaFija);
    QFETCH(bool, completa);
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, kEjemplo);
    d.respuestas = {productos, componentes};
    v.TBItems->trigger();
    QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
    QCOMPARE(d.preguntas.size(), size_t{2});
    QCOMPARE(d.preguntas[0].titulo, QString("Problema de Brisak"));
    QCOMPARE(d.preguntas[0].pregunta, QString("Número de Productos"));
    QCOMPARE(d.preguntas[0].porDefecto, QString("3"));
    QCOMPARE(d.preguntas[1].pregunta, QString("Número de Componentes"));
    QCOMPARE(d.preguntas[1].porDefecto, QString("4"));
    const MatrizProblema& m = v.Modelo().Matriz();
    QCOMPARE(m.Filas(), filas);
    QCOMPARE(m.Columnas(), columnas);
    QStringList cabecera;
    for (int c = 0; c < m.Columnas(); ++c) cabecera << QString::fromStdString(m.Celda(c, 0));
    QCOMPARE(cabecera.join(' '), fila0);
    QCOMPARE(m.FilaFija(), filaFija);
    QCOMPARE(v.Matriz->horizontalHeader()->isHidden(), !filaFija);
    QCOMPARE(m.Completa(), completa);
    Pintar(v);
    QCOMPARE(v.TBResolver->isEnabled(), completa);
}

void PruebaVentana::ItemsErrores() {
    struct Caso {
        QString productos, componentes, mensaje;
        int filas, columnas;
        const char* celda11;
    };
    const Caso casos[] = {
        {"x", "4", "''x'' is not a valid integer value.", 4, 4, "1"},
        {"5", "y", "''y'' is not a valid integer value.", 6, 4, "1"},
        {"134217725", "4", "Grid too large for operation.", 4, 4, "1"},
        {"", "4", "'''' is not a valid integer value.", 4, 4, "1"},
    };
    for (const Caso& caso : casos) {
        DialogosPrueba d;
        TMainForm v(d, {});
        Escribir(v, kEjemplo);
        d.respuestas = {caso.productos, caso.componentes};
        v.Items1->trigger();
        QCOMPARE(d.preguntas.size(), size_t{2});  // both boxes are shown before any conversion
        QCOMPARE(d.Mensajes(), QStringList{caso.mensaje});
        QCOMPARE(d.errores[0].first, QString("TAVELORIN"));
        QCOMPARE(v.Modelo().Matriz().Filas(), caso.filas);
        QCOMPARE(v.Modelo().Matriz().Columnas(), caso.columnas);
        QCOMPARE(QString::fromStdString(v.Modelo().Matriz().Celda(1, 1)), QString(caso.celda11));
    }
}

void PruebaVentana::ItemsConservaLaSolucion() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, kEjemplo);
    v.EjecutarResolucion();
    const QString memo = v.Memo1->Texto();
    d.respuestas = {QString("2"), QString("2")};
    v.TBItems->trigger();
    QVERIFY(v.Resuelto);
    QVERIFY(v.TBCopiar->isEnabled());
    QCOMPARE(v.Memo1->Texto(), memo);
}

void PruebaVentana::NuevoTrasResolver() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, kEjemplo);
    v.FicheroProblema = "algo.brk";
    v.FicheroSolucion = "algo.sol";
    v.EComp->setText("2");
    v.EjecutarResolucion();
    QVERIFY(v.Resuelto);
    v.ArchivoNuevo->trigger();
    QCOMPARE(v.Memo1->NumeroLineas(), 0);
    QVERIFY(!v.Resuelto);
    QVERIFY(!v.TBCopiar->isEnabled());
    QVERIFY(!v.TBImprimir->isEnabled());
    QCOMPARE(v.EComp->text(), QString("1"));
    QVERIFY(v.FicheroProblema.isEmpty());
    QCOMPARE(v.FicheroSolucion, QString("algo.sol"));
    QCOMPARE(v.Modelo().Matriz().Filas(), 4);
    QCOMPARE(v.Modelo().Matriz().Columnas(), 6);
    QCOMPARE(v.Modelo().Matriz().CeldasVacias(), 15);
    // The last solve's table stays until the next solve.
    QCOMPARE(v.Estado.TablaSolucion.filas, 4);
}

void PruebaVentana::ResolverDesdeLaMatriz() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, {"4", "3", "2\t1\t0\t3", "1\t0\t1\t2", "0\t2\t1\t2", "1\t1\t1\t1"});
    Pintar(v);
    v.ResolverProblema->trigger();
    QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
    QCOMPARE(v.Memo1->Lineas(), MemoDelNucleo(v.Modelo().Matriz().LineasProblema(), "."));
    QCOMPARE(v.Memo1->Linea(v.Memo1->NumeroLineas() - 9), QString("Solucion:"));
    QCOMPARE(v.Estado.NProd, 4);
    QCOMPARE(v.Estado.NComp, 3);
    QCOMPARE(v.Estado.Q, 8);
    QVERIFY(v.Resuelto);
    QCOMPARE(v.PageControl1->currentIndex(), 0);
}

void PruebaVentana::FalloDeResolucion() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, kEjemplo);
    v.EjecutarResolucion();
    const QString memo = v.Memo1->Texto();
    v.Modelo().PonerCelda(2, 2, "a");
    v.TBResolver->trigger();
    QCOMPARE(d.errores.size(), size_t{1});
    QCOMPARE(d.errores[0].first, QString("TAVELORIN"));
    QCOMPARE(d.errores[0].second, QString("''a'' is not a valid integer value."));
    QVERIFY(!v.Resuelto);
    QVERIFY(v.TBCopiar->isEnabled());  // as the last successful solve left them
    QVERIFY(v.TBImprimir->isEnabled());
    QCOMPARE(v.Memo1->Texto(), memo);
    v.ArchivoMenuClick();
    QVERIFY(!v.ArchivoGrabarSolucion->isEnabled());

    // Refusals of the core reach the user the same way.
    v.TBNuevo->trigger();
    d.respuestas = {QString("0"), QString("2")};
    v.TBItems->trigger();
    v.TBResolver->trigger();
    QCOMPARE(d.errores.size(), size_t{2});
    QVERIFY(d.errores[1].second.startsWith("No hay nada que secuenciar"));
}

void PruebaVentana::FalloEnElComponente() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, kEjemplo);
    v.EComp->setText("x");
    v.TBResolver->trigger();
    QCOMPARE(d.Mensajes(), QStringList{"''x'' is not a valid integer value."});
    // The report is already in the memo; the solve did not finish.
    QCOMPARE(v.Memo1->Lineas(), MemoDelNucleo(kEjemplo, "."));
    QVERIFY(!v.Resuelto);
    QVERIFY(!v.TBCopiar->isEnabled());
}

void PruebaVentana::CopiarSoloTextoPlano() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Escribir(v, kEjemplo);
    v.EjecutarResolucion();
    v.TBCopiar->trigger();
    const QMimeData* datos = QGuiApplication::clipboard()->mimeData();
    QVERIFY(datos != nullptr);
    QCOMPARE(datos->formats(), QStringList{"text/plain"});
    QString esperado;
    for (const std::string& l : MemoDelNucleo(kEjemplo, ".")) esperado += QString::fromStdString(l) + "\r\n";
    QCOMPARE(datos->text(), esperado);
    QVERIFY(v.Memo1->TieneSeleccion());

    // A copy of part of the text by the editor's own shortcut is plain text too.
    v.Memo1->FijarCursor({0, 0});
    v.Memo1->FijarCursor({2, 0}, true);
    v.Memo1->Copiar();
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
    v.PageControl1->setCurrentIndex(2);
    QGuiApplication::clipboard()->clear();
    v.Copiar1->trigger();
    QVERIFY(d.errores.empty());
    QVERIFY(QGuiApplication::clipboard()->text().startsWith("K\tDk1"));
    // Before any solve Copiar copies whatever the memo holds: nothing.
    DialogosPrueba d2;
    TMainForm vacia(d2, {});
    vacia.Copiar1->trigger();
    QVERIFY(d2.errores.empty());
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());
}

void PruebaVentana::Fuente() {
    DialogosPrueba d;
    TMainForm v(d, {});
    const QFont antes = v.Memo1->font();
    QCOMPARE(antes.family(), QString("Courier New"));
    QCOMPARE(antes.pixelSize(), 11);
    v.Fuente1->trigger();  // cancelled
    QCOMPARE(d.fuentesOfrecidas.size(), size_t{1});
    QCOMPARE(d.fuentesOfrecidas[0], antes);
    QCOMPARE(v.Memo1->font(), antes);
    QFont nueva("Liberation Serif");
    nueva.setPixelSize(20);
    d.fuenteElegida = nueva;
    v.Fuente1->trigger();
    QCOMPARE(v.Memo1->font().family(), QString("Liberation Serif"));
    QCOMPARE(v.Memo1->font().pixelSize(), 20);
    // Tab stops follow the font: 8 spaces wide.
    QCOMPARE(v.Memo1->DistanciaTabulador(), 8 * QFontMetricsF(v.Memo1->font()).horizontalAdvance(' '));
}

void PruebaVentana::ConfigurarImpresora() {
    DialogosPrueba d;
    TMainForm v(d, {});
    v.ArchivoConfigurarImpresora->trigger();
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
    QCOMPARE(v.FicheroProblema, nombre);
    QCOMPARE(v.Modelo().Matriz().LineasProblema(), kEjemplo);
    QVERIFY(!v.TBCopiar->isEnabled());
}

void PruebaVentana::ArranqueConArchivoQueFalla() {
    QTemporaryDir dir;
    const QString nombre = dir.filePath("no-existe.brk");
    DialogosPrueba d;
    TMainForm v(d, {nombre});
    QCOMPARE(d.Mensajes(), QStringList{"Cannot open file \"" + nombre + "\". No such file or directory."});
    // The rest of the start-up is skipped: the grid as created, print and copy on.
    QCOMPARE(v.Modelo().Matriz().Filas(), 5);
    QCOMPARE(v.Modelo().Matriz().Columnas(), 4);
    QVERIFY(v.TBCopiar->isEnabled());
    QVERIFY(v.TBImprimir->isEnabled());
    QVERIFY(!v.Resuelto);
}

void PruebaVentana::EscribirEnLaMatriz() {
    DialogosPrueba d;
    TMainForm v(d, {});
    v.show();
    v.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&v));
    d.respuestas = {QString("1"), QString("1")};
    v.TBItems->trigger();
    Pintar(v);
    QVERIFY(!v.TBResolver->isEnabled());
    // Type each data cell in place: a key starts the editor, Return commits it.
    const char* textos[] = {"3", "2"};
    for (int c = 0; c < 2; ++c) {
        v.Matriz->setFocus();
        v.Matriz->setCurrentIndex(v.Modelo().index(0, c));
        QTest::keyClicks(v.Matriz, textos[c]);
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor != nullptr && editor != v.Matriz);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    QCOMPARE(v.Modelo().Matriz().LineasProblema(), (std::vector<std::string>{"1", "1", "3\t2"}));
    QTRY_VERIFY(v.TBResolver->isEnabled());
    v.TBResolver->trigger();
    QVERIFY(d.errores.empty());
    QCOMPARE(v.Memo1->Linea(1), QString("1\t0\t1\t0\t3\t1\t3"));
}

void PruebaVentana::TabuladorSaleDeLaMatriz() {
    DialogosPrueba d;
    TMainForm v(d, {});
    v.show();
    v.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&v));
    v.Matriz->setFocus();
    v.Matriz->setCurrentIndex(v.Modelo().index(0, 0));
    QVERIFY(v.Matriz->hasFocus());
    QTest::keyClick(v.Matriz, Qt::Key_Tab);
    QVERIFY(!v.Matriz->hasFocus());
    QCOMPARE(v.Matriz->currentIndex(), v.Modelo().index(0, 0));
}

void PruebaVentana::Aspecto() {
    DialogosPrueba d;
    TMainForm v(d, {});
    QCOMPARE(v.windowTitle(), QString("TAVELORIN"));
    QCOMPARE(v.PageControl1->count(), 3);
    QCOMPARE(v.PageControl1->tabText(0), QString("Datos y solución"));
    QCOMPARE(v.PageControl1->tabText(1), QString("Gráfico de velocidades de consumo"));
    QCOMPARE(v.PageControl1->tabText(2), QString("Gráfico de tasas de consumo"));
    QCOMPARE(v.Matriz->horizontalHeader()->defaultSectionSize(), 50);
    QCOMPARE(v.Matriz->verticalHeader()->defaultSectionSize(), 24);
    QCOMPARE(v.Matriz->horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    QVERIFY(!v.Matriz->horizontalHeader()->sectionsMovable());
    QCOMPARE(v.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(v.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(!v.Memo1->SoloLectura());
    QCOMPARE(v.EComp->text(), QString("1"));
    QCOMPARE(v.EComp->geometry(), QRect(90, 7, 41, 21));
    struct Boton {
        QAction* accion;
        const char* texto;
        const char* consejo;
    };
    const Boton botones[] = {
        {v.TBNuevo, "Nuevo", "Nuevo problema"},
        {v.ToolButton3, "Abrir", "Abrir un problema de carga"},
        {v.TBGuardar, "Guardar", "Guardar el problema actual"},
        {v.TBImprimir, "Imprimir", "Imprimir la solución"},
        {v.TBItems, "Items", "Especificar número de productos y componentes"},
        {v.TBResolver, "Resolver", "Resolver problema"},
        {v.TBCopiar, "Copiar", "Copiar la solución"},
        {v.TBSalir, "Salir", "Salir del programa"},
    };
    for (const Boton& b : botones) {
        QCOMPARE(b.accion->text(), QString(b.texto));
        QCOMPARE(b.accion->toolTip(), QString(b.consejo));
        QVERIFY2(!b.accion->icon().isNull(), b.texto);
        QCOMPARE(v.ToolBar1->widgetForAction(b.accion)->size(), QSize(49, 36));
    }
    QStringList archivo;
    for (QAction* a : v.ArchivoMenu->actions()) archivo << (a->isSeparator() ? QString("-") : a->text());
    QCOMPARE(archivo.join('|'), QString("&Nuevo|Items...|-|&Abrir...|Crear problema aleatorio...|-|&Guardar problema|"
                                        "Guardar problema &como...|Guardar &solucion|Guardar solucion c&omo...|-|"
                                        "&Imprimir|Con&figurar impresora..|-|Sali&r"));
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
    QCOMPARE(v.Memo1->Lineas(), MemoDelNucleo(kEjemplo, esperado.toStdString()));
    QCOMPARE(v.Memo1->Linea(1), QString("1\t0") + QString::fromUtf8(esperado) + "559\t0" + QString::fromUtf8(esperado) +
                                    "9014\t0" + QString::fromUtf8(esperado) + "559\t1\t0\t0\t0\t1\t0\t1\t0\t0\t0" +
                                    QString::fromUtf8(esperado) + "75\t0" + QString::fromUtf8(esperado) + "5");
}

QTEST_MAIN(PruebaVentana)
#include "test_main.moc"
