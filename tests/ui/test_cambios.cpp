// Unsaved changes: the modified flag and the title, the question before New, Open, a
// random problem, closing the window or ending the session, and the save dialogs'
// question before replacing a file.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "soporte/BytesQt.h"
#include "soporte/Controles.h"
#include "soporte/DialogosPrueba.h"
#include "ui/AleatorioU.h"
#include "ui/CambiosPendientes.h"
#include "ui/Dialogos.h"
#include "ui/GuardiaCambios.h"
#include "ui/Main.h"
#include "ui/MemoInforme.h"
#include "ui/ModeloMatriz.h"
#include "ui/VistaMatriz.h"

using namespace tavelorin;

Q_DECLARE_METATYPE(tavelorin::RespuestaCambios)

namespace {

const char* const kEjemploBytes = "3\r\n2\r\n1\t0\t2\r\n0\t1\t1\r\n1\t1\t1\r\n";
const std::vector<std::string> kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};

// A cell changed as typing does: through the view's model.
void Teclear(TMainForm& v, int fila, int columna, const QString& texto) {
    ModeloMatriz& m = Rejilla(v);
    m.setData(m.index(fila - m.DesplazamientoFila(), columna - m.DesplazamientoColumna()), texto, Qt::EditRole);
}

// A window with the example problem opened from p.brk and solved: nothing unsaved.
struct Ventana {
    QTemporaryDir dir;
    DialogosPrueba d;
    TMainForm v{d, {}};

    Ventana() {
        EscribirBytes(Ruta("p.brk"), kEjemploBytes);
        d.nombres = {Ruta("p.brk")};
        Accion(v, "ArchivoAbrir")->trigger();
        v.EjecutarResolucion();
        d.peticionesFichero.clear();
    }
    QString Ruta(const QString& nombre) const { return dir.filePath(nombre); }
    const CambiosPendientes& Cambios() const { return v.Cambios(); }
};

}  // namespace

class PruebaCambios : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void Banderas();
    void MarcaYTitulo_data();
    void MarcaYTitulo();
    void Pregunta_data();
    void Pregunta();
    void GuardarQueFallaNoPierdeNada();
    void FinDeSesion_data();
    void FinDeSesion();
    void SobrescribirPregunta();
};

// The two parts announce their changes, each once, and the whole follows either.
void PruebaCambios::Banderas() {
    CambiosPendientes c;
    QStringList avisos;
    connect(&c, &CambiosPendientes::ProblemaCambiado, [&](bool m) { avisos << QString("problema %1").arg(m); });
    connect(&c, &CambiosPendientes::InformeCambiado, [&](bool m) { avisos << QString("informe %1").arg(m); });
    connect(&c, &CambiosPendientes::AlgunoCambiado, [&](bool m) { avisos << QString("alguno %1").arg(m); });
    c.FijarProblema(true);
    c.FijarProblema(true);
    c.FijarInforme(true);
    c.FijarProblema(false);
    c.FijarInforme(false);
    c.FijarInforme(false);
    QCOMPARE(avisos, (QStringList{"problema 1", "alguno 1", "informe 1", "problema 0", "informe 0", "alguno 0"}));
    QCOMPARE(TituloVentana(QString()), QString("TAVELORIN[*]"));
    QCOMPARE(TituloVentana("/home/ana.b/linea1.brk"), QString("TAVELORIN - linea1.brk[*]"));
}

// Every change of the problem and every edit of the report sets its flag; saving,
// opening and starting anew clear them. The title names the problem file and shows the
// marker while anything is unsaved.
void PruebaCambios::MarcaYTitulo_data() {
    QTest::addColumn<QString>("accion");
    QTest::addColumn<bool>("problema");
    QTest::addColumn<bool>("informe");
    QTest::addColumn<QString>("titulo");
    const QString p = "TAVELORIN - p.brk[*]";
    QTest::newRow("nada") << "nada" << false << false << p;
    QTest::newRow("escribir en la rejilla") << "escribir" << true << false << p;
    QTest::newRow("escribir lo mismo") << "escribir lo mismo" << false << false << p;
    QTest::newRow("teclear en la rejilla") << "teclear" << true << false << p;
    QTest::newRow("Items que cambia") << "Items" << true << false << p;
    QTest::newRow("Items cancelado") << "Items cancelado" << false << false << p;
    QTest::newRow("Items del mismo tamano") << "Items igual" << false << false << p;
    QTest::newRow("problema aleatorio") << "aleatorio" << true << false << "TAVELORIN[*]";
    QTest::newRow("escribir en el memo") << "memo" << false << true << p;
    QTest::newRow("teclear en el memo") << "teclear en el memo" << false << true << p;
    QTest::newRow("deshacer en el memo") << "deshacer" << false << true << p;
    QTest::newRow("resolver tras editar el memo") << "memo y resolver" << false << false << p;
    QTest::newRow("resolver tras escribir") << "escribir y resolver" << true << false << p;
    QTest::newRow("guardar el problema") << "guardar" << false << false << p;
    QTest::newRow("guardar como") << "guardar como" << false << false << "TAVELORIN - q.brk[*]";
    QTest::newRow("guardar la solucion") << "guardar solucion" << false << false << p;
    QTest::newRow("guardar solo el problema") << "guardar con el memo editado" << false << true << p;
    QTest::newRow("guardar que falla") << "guardar que falla" << true << false
                                       << "TAVELORIN - carpeta.brk[*]";
    QTest::newRow("abrir otro") << "abrir" << false << false << "TAVELORIN - otro.brk[*]";
    QTest::newRow("nuevo") << "nuevo" << false << false << "TAVELORIN[*]";
}

void PruebaCambios::MarcaYTitulo() {
    QFETCH(QString, accion);
    QFETCH(bool, problema);
    QFETCH(bool, informe);
    QFETCH(QString, titulo);
    Ventana w;
    TMainForm& v = w.v;
    DialogosPrueba& d = w.d;
    QVERIFY(!w.Cambios().Alguno());
    d.respuestasCambios = {RespuestaCambios::Descartar};
    const std::map<QString, std::function<void()>> acciones = {
        {"nada", [] {}},
        {"escribir", [&] { Teclear(v, 1, 1, "7"); }},
        {"escribir lo mismo", [&] { Teclear(v, 1, 1, "1"); }},
        {"teclear",
         [&] {
             v.show();
             v.activateWindow();
             QVERIFY(QTest::qWaitForWindowActive(&v));
             auto* Matriz = Control<VistaMatriz>(v, "Matriz");
             Matriz->setFocus();
             Matriz->setCurrentIndex(Rejilla(v).index(1, 1));
             QTest::keyClicks(Matriz, "9");
             QWidget* editor = QApplication::focusWidget();
             QVERIFY(editor != nullptr && editor != Matriz);
             QTest::keyClick(editor, Qt::Key_Return);
             QCoreApplication::processEvents();
             QTRY_COMPARE(QString::fromStdString(Rejilla(v).Matriz().Celda(2, 2)), QString("9"));
         }},
        {"Items",
         [&] {
             d.respuestas = {QString("4"), QString("2")};
             Accion(v, "TBItems")->trigger();
         }},
        {"Items cancelado",
         [&] {
             d.respuestas = {QString("4"), std::nullopt};
             Accion(v, "TBItems")->trigger();
         }},
        {"Items igual",
         [&] {
             d.respuestas = {QString("3"), QString("2")};
             Accion(v, "TBItems")->trigger();
         }},
        {"aleatorio",
         [&] {
             d.alMostrarFormulario = [](QDialog&) { return true; };
             Accion(v, "Crearproblemaaleatorio1")->trigger();
         }},
        {"memo", [&] { MemoDe(v)->Escribir("x"); }},
        {"teclear en el memo", [&] { QTest::keyClicks(MemoDe(v), "x"); }},
        {"deshacer",
         [&] {
             MemoDe(v)->Escribir("x");
             MemoDe(v)->Deshacer();
         }},
        {"memo y resolver",
         [&] {
             MemoDe(v)->Escribir("x");
             v.EjecutarResolucion();
         }},
        {"escribir y resolver",
         [&] {
             Teclear(v, 1, 1, "7");
             v.EjecutarResolucion();
         }},
        {"guardar",
         [&] {
             Teclear(v, 1, 1, "7");
             Accion(v, "TBGuardar")->trigger();
             QCOMPARE(LeerBytes(w.Ruta("p.brk")).substr(0, 8), std::string("3\r\n2\r\n7\t"));
         }},
        {"guardar como",
         [&] {
             Teclear(v, 1, 1, "7");
             d.nombres = {w.Ruta("q.brk")};
             Accion(v, "ArchivoGrabarProblemaComo")->trigger();
         }},
        {"guardar solucion",
         [&] {
             MemoDe(v)->Escribir("x");
             d.nombres = {w.Ruta("p.sol")};
             Accion(v, "ArchivoGrabarSolucionComo")->trigger();
         }},
        {"guardar con el memo editado",
         [&] {
             Teclear(v, 1, 1, "7");
             MemoDe(v)->Escribir("x");
             Accion(v, "TBGuardar")->trigger();
         }},
        {"guardar que falla",
         [&] {
             Teclear(v, 1, 1, "7");
             d.nombres = {w.Ruta("no-hay/carpeta.brk")};
             Accion(v, "ArchivoGrabarProblemaComo")->trigger();
             QCOMPARE(d.errores.size(), size_t{1});
         }},
        {"abrir",
         [&] {
             Teclear(v, 1, 1, "7");
             MemoDe(v)->Escribir("x");
             EscribirBytes(w.Ruta("otro.brk"), "1\r\n1\r\n2\t1\r\n");
             d.nombres = {w.Ruta("otro.brk")};
             Accion(v, "ToolButton3")->trigger();
         }},
        {"nuevo",
         [&] {
             Teclear(v, 1, 1, "7");
             Accion(v, "TBNuevo")->trigger();
         }},
    };
    acciones.at(accion)();
    QCOMPARE(w.Cambios().Problema(), problema);
    QCOMPARE(w.Cambios().Informe(), informe);
    QCOMPARE(v.isWindowModified(), problema || informe);
    QCOMPARE(v.windowTitle(), titulo);
}

// The question: asked only when something is unsaved, once, naming what; Guardar saves
// each modified part (asking for a name where there is none), Descartar goes on,
// Cancelar (or a cancelled save) stops the command with nothing changed.
void PruebaCambios::Pregunta_data() {
    QTest::addColumn<QString>("orden");
    QTest::addColumn<bool>("conNombre");  // the problem has a file
    QTest::addColumn<bool>("problema");   // modified parts
    QTest::addColumn<bool>("informe");
    QTest::addColumn<RespuestaCambios>("respuesta");
    QTest::addColumn<bool>("nombreDado");  // the answer of a save dialog, if one is shown
    QTest::addColumn<QString>("pregunta");  // empty: none
    QTest::addColumn<bool>("sigue");
    using R = RespuestaCambios;
    const QString conP = "¿Desea guardar los cambios del problema «p.brk»?";
    const QString sinP = "¿Desea guardar los cambios del problema?";
    const QString inf = "¿Desea guardar los cambios de la solución?";
    const QString ambos = "¿Desea guardar los cambios del problema «p.brk» y de la solución?";
    for (const char* orden : {"Nuevo", "Abrir", "aleatorio", "Salir", "cerrar"}) {
        const auto fila = [&](const char* caso) -> QTestData& { return QTest::addRow("%s: %s", orden, caso); };
        fila("nada cambiado") << orden << true << false << false << R::Cancelar << true << "" << true;
        fila("cancelar") << orden << true << true << false << R::Cancelar << true << conP << false;
        fila("descartar") << orden << true << true << true << R::Descartar << true << ambos << true;
        fila("guardar con nombre") << orden << true << true << false << R::Guardar << true << conP << true;
    }
    for (const char* orden : {"Nuevo", "cerrar"}) {
        const auto fila = [&](const char* caso) -> QTestData& { return QTest::addRow("%s: %s", orden, caso); };
        fila("guardar pidiendo nombre") << orden << false << true << false << R::Guardar << true << sinP << true;
        fila("guardar y cancelar el nombre") << orden << false << true << false << R::Guardar << false << sinP
                                             << false;
        fila("guardar la solucion") << orden << true << false << true << R::Guardar << true << inf << true;
        fila("guardar los dos") << orden << true << true << true << R::Guardar << true << ambos << true;
        fila("guardar los dos sin nombre de solucion") << orden << true << true << true << R::Guardar << false
                                                       << ambos << false;
    }
}

void PruebaCambios::Pregunta() {
    QFETCH(QString, orden);
    QFETCH(bool, conNombre);
    QFETCH(bool, problema);
    QFETCH(bool, informe);
    QFETCH(RespuestaCambios, respuesta);
    QFETCH(bool, nombreDado);
    QFETCH(QString, pregunta);
    QFETCH(bool, sigue);
    Ventana w;
    TMainForm& v = w.v;
    DialogosPrueba& d = w.d;
    if (!conNombre) {  // the same problem, never saved
        d.respuestasCambios = {RespuestaCambios::Descartar};
        Accion(v, "TBNuevo")->trigger();
        Rejilla(v).Cargar(kEjemplo);
        v.EjecutarResolucion();
    }
    if (problema) Teclear(v, 1, 1, "7");
    if (informe) MemoDe(v)->Escribir("editado ");
    const std::vector<std::string> lineas = Rejilla(v).Matriz().LineasProblema();
    const QString memo = MemoDe(v)->Texto();
    d.preguntasCambios.clear();
    d.peticionesFichero.clear();
    d.respuestasCambios = {respuesta};
    const QString nombreProblema = w.Ruta("nuevo.brk");
    const QString nombreSolucion = w.Ruta("nuevo.sol");
    // Save dialogs first (problem, then solution), then the command's own dialog.
    if (respuesta == RespuestaCambios::Guardar) {
        if (!conNombre && problema) d.nombres.push_back(nombreDado ? std::optional(nombreProblema) : std::nullopt);
        if (informe) d.nombres.push_back(nombreDado ? std::optional(nombreSolucion) : std::nullopt);
    }
    if (orden == "Abrir") d.nombres.push_back(std::nullopt);
    d.alMostrarFormulario = [](QDialog&) { return false; };
    v.show();
    bool cerrada = false;
    if (orden == "Nuevo") Accion(v, "TBNuevo")->trigger();
    if (orden == "Abrir") Accion(v, "ArchivoAbrir")->trigger();
    if (orden == "aleatorio") Accion(v, "Crearproblemaaleatorio1")->trigger();
    if (orden == "Salir") Accion(v, "TBSalir")->trigger();
    if (orden == "cerrar") cerrada = v.close();
    QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
    QCOMPARE(d.preguntasCambios, pregunta.isEmpty() ? std::vector<QString>{} : std::vector<QString>{pregunta});
    bool siguio = false;
    if (orden == "Nuevo") siguio = Rejilla(v).Matriz().CeldasVacias() == 15;
    if (orden == "Abrir") siguio = !d.peticionesFichero.empty() && !d.peticionesFichero.back().guardar;
    if (orden == "aleatorio") siguio = d.formulariosMostrados == 1;
    if (orden == "Salir") siguio = !v.isVisible();
    if (orden == "cerrar") siguio = cerrada && !v.isVisible();
    QCOMPARE(siguio, sigue);
    if (!sigue) {  // nothing changed
        QCOMPARE(Rejilla(v).Matriz().LineasProblema(), lineas);
        QCOMPARE(MemoDe(v)->Texto(), memo);
        QVERIFY(v.isVisible());
    }
    // What Guardar wrote.
    const bool guardar = respuesta == RespuestaCambios::Guardar && !pregunta.isEmpty();
    if (guardar && problema && (conNombre || nombreDado)) {
        const QString fichero = conNombre ? w.Ruta("p.brk") : nombreProblema;
        std::string esperado;
        for (const std::string& l : lineas) esperado += l + "\r\n";
        QCOMPARE(LeerBytes(fichero), esperado);
    } else {
        QCOMPARE(LeerBytes(w.Ruta("p.brk")), std::string(kEjemploBytes));
        QVERIFY(!QFile::exists(nombreProblema));
    }
    const bool solucionEscrita = guardar && informe && nombreDado;
    QCOMPARE(QFile::exists(nombreSolucion), solucionEscrita);
    if (solucionEscrita) QVERIFY(QString::fromLatin1(LeerBytes(nombreSolucion)).startsWith("editado K\tDk1"));
}

// A save that fails is reported, and the command stops: nothing is lost.
void PruebaCambios::GuardarQueFallaNoPierdeNada() {
    Ventana w;
    TMainForm& v = w.v;
    DialogosPrueba& d = w.d;
    Teclear(v, 1, 1, "7");
    const std::vector<std::string> lineas = Rejilla(v).Matriz().LineasProblema();
    QFile::remove(w.Ruta("p.brk"));
    QVERIFY(QDir(w.dir.path()).mkdir("p.brk"));  // the problem's name is now a folder
    v.show();
    d.respuestasCambios = {RespuestaCambios::Guardar, RespuestaCambios::Guardar};
    Accion(v, "TBNuevo")->trigger();
    QVERIFY(!v.close());
    QCOMPARE(d.preguntasCambios.size(), size_t{2});
    QCOMPARE(d.errores.size(), size_t{2});
    QVERIFY(d.errores[0].second.startsWith("Cannot create file"));
    QCOMPARE(Rejilla(v).Matriz().LineasProblema(), lineas);
    QVERIFY(v.isVisible());
    QVERIFY(v.Cambios().Problema());
}

// The desktop session ending: the same question when the session lets the program ask;
// without that leave, unsaved changes hold the session back. Descartar is final: the
// window then closes without asking again.
void PruebaCambios::FinDeSesion_data() {
    QTest::addColumn<bool>("modificado");
    QTest::addColumn<bool>("puedePreguntar");
    QTest::addColumn<RespuestaCambios>("respuesta");
    QTest::addColumn<bool>("termina");
    QTest::addColumn<int>("preguntas");
    using R = RespuestaCambios;
    QTest::newRow("nada que guardar") << false << false << R::Cancelar << true << 0;
    QTest::newRow("sin permiso para preguntar") << true << false << R::Cancelar << false << 0;
    QTest::newRow("cancelar") << true << true << R::Cancelar << false << 1;
    QTest::newRow("descartar") << true << true << R::Descartar << true << 1;
    QTest::newRow("guardar") << true << true << R::Guardar << true << 1;
}

void PruebaCambios::FinDeSesion() {
    QFETCH(bool, modificado);
    QFETCH(bool, puedePreguntar);
    QFETCH(RespuestaCambios, respuesta);
    QFETCH(bool, termina);
    QFETCH(int, preguntas);
    Ventana w;
    if (modificado) Teclear(w.v, 1, 1, "7");
    w.d.respuestasCambios = {respuesta};
    auto* guardia = Control<GuardiaCambios>(w.v, "GuardiaCambios");
    QCOMPARE(guardia->PuedeTerminarSesion(puedePreguntar), termina);
    QCOMPARE(w.d.preguntasCambios.size(), size_t(preguntas));
    QCOMPARE(w.v.Cambios().Alguno(), modificado && !termina);
    if (respuesta == RespuestaCambios::Guardar && termina && modificado)
        QCOMPARE(LeerBytes(w.Ruta("p.brk")).substr(6, 2), std::string("7\t"));
    // Closing afterwards asks again only while something is still unsaved.
    w.v.show();
    w.d.respuestasCambios = {RespuestaCambios::Cancelar};
    QCOMPARE(w.v.close(), termina);
}

// The save dialogs ask before replacing a file, with the toolkit's own question, which
// Qt's Spanish translation gives in Spanish; "No" keeps the dialog open.
void PruebaCambios::SobrescribirPregunta() {
    QFileDialog preparado;
    PrepararDialogoGuardar(preparado, "Problema de Brisak (*.brk)", "brk", QString());
    QVERIFY(!preparado.testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(preparado.acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(preparado.defaultSuffix(), QString("brk"));

    QTranslator traduccion;
    const QString carpeta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!traduccion.load(QLocale(QLocale::Spanish, QLocale::Spain), "qtbase", "_", carpeta))
        QFAIL(qPrintable("no Spanish translation of Qt in " + carpeta + " (package qt6-translations-l10n)"));
    QCoreApplication::installTranslator(&traduccion);
    QTemporaryDir dir;
    const QString existente = dir.filePath("p.brk");
    EscribirBytes(existente, kEjemploBytes);
    QFileDialog dialogo;
    dialogo.setOption(QFileDialog::DontUseNativeDialog);  // the same question a platform dialog asks
    PrepararDialogoGuardar(dialogo, "Problema de Brisak (*.brk)", "brk", existente);
    dialogo.show();
    QStringList preguntas;
    const auto responder = [&](QMessageBox::StandardButton boton) {
        QTimer::singleShot(0, [&, boton] {
            auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (caja == nullptr) return;
            preguntas << caja->text();
            caja->button(boton)->click();
        });
    };
    responder(QMessageBox::No);
    static_cast<QDialog&>(dialogo).accept();  // what "Guardar" does
    QVERIFY(dialogo.isVisible());
    QVERIFY(dialogo.result() != QDialog::Accepted);
    responder(QMessageBox::Yes);
    static_cast<QDialog&>(dialogo).accept();  // what "Guardar" does
    QCOMPARE(dialogo.result(), int(QDialog::Accepted));
    QCOMPARE(dialogo.selectedFiles(), QStringList{existente});
    QCoreApplication::removeTranslator(&traduccion);
    QCOMPARE(preguntas.size(), 2);
    const QString ingles = QString("%1 already exists.\nDo you want to replace it?").arg("p.brk");
    QVERIFY2(preguntas[0] != ingles && preguntas[0].contains("p.brk"), qPrintable(preguntas[0]));
    QVERIFY2(preguntas[0].contains(QString::fromUtf8("ya existe")), qPrintable(preguntas[0]));
}

QTEST_MAIN(PruebaCambios)
#include "test_cambios.moc"
