// Problem and solution files through the main window's commands.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QLineSeries>
#include <QTest>
#include <fstream>
#include <sstream>

#include "soporte/BytesQt.h"
#include "soporte/Controles.h"
#include "ui/GraficosConsumo.h"
#include "soporte/DialogosPrueba.h"
#include "ui/Main.h"
#include "ui/MemoInforme.h"
#include "ui/ModeloMatriz.h"
#include "ui/VistaMatriz.h"

using namespace tavelorin;

namespace {

const char* const kEjemploBytes = "3\r\n2\r\n1\t0\t2\r\n0\t1\t1\r\n1\t1\t1\r\n";
const std::vector<std::string> kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};

std::vector<std::string> Lineas(TMainForm& v) { return Rejilla(v).Matriz().LineasProblema(); }

// Saves the (complete) grid as nombre with Guardar problema como, which names the problem;
// the dialog's record starts again after it.
void GuardarComo(TMainForm& v, DialogosPrueba& d, const QString& nombre) {
    d.nombres = {nombre};
    Accion(v, "ArchivoGrabarProblemaComo")->trigger();
    QCOMPARE(v.FicheroProblema(), nombre);
    d.peticionesFichero.clear();
}

// The current folder, for as long as it lives.
class EnCarpeta {
public:
    explicit EnCarpeta(const QString& carpeta) : antes_(QDir::currentPath()) { QDir::setCurrent(carpeta); }
    ~EnCarpeta() { QDir::setCurrent(antes_); }

private:
    QString antes_;
};

}  // namespace

class PruebaFicheros : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString Ruta(const QString& nombre) { return dir.filePath(nombre); }

private slots:
    void AbrirCancelado();
    void AbrirYProponerElUltimo();
    void AbrirErrores_data();
    void AbrirErrores();
    void GuardarConElBoton();
    void GuardarDesdeElMenu();
    void GuardarComoProponeElUltimoGuardado();
    void GuardarSinPoderCrear();
    void IdaYVuelta();
    void ProponerNombreDeSolucion_data();
    void ProponerNombreDeSolucion();
    void SolucionNuncaSobreElProblema_data();
    void SolucionNuncaSobreElProblema();
    void SolucionOlvidadaConOtroProblema_data();
    void SolucionOlvidadaConOtroProblema();
};

void PruebaFicheros::AbrirCancelado() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    v.EjecutarResolucion();
    GuardarComo(v, d, Ruta("antes.brk"));
    const QString memo = MemoDe(v)->Texto();
    d.nombres = {std::nullopt};
    Accion(v, "ToolButton3")->trigger();
    QCOMPARE(Lineas(v), kEjemplo);
    QCOMPARE(MemoDe(v)->Texto(), memo);
    QCOMPARE(v.FicheroProblema(), Ruta("antes.brk"));
    QVERIFY(v.Resuelto());
    QCOMPARE(d.peticionesFichero.size(), size_t{1});
    QVERIFY(!d.peticionesFichero[0].guardar);
    QCOMPARE(d.peticionesFichero[0].filtro, QString("Problema de Brisak (*.brk)"));
}

void PruebaFicheros::AbrirYProponerElUltimo() {
    const QString nombre = Ruta("ejemplo.brk");
    EscribirBytes(nombre, kEjemploBytes);
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar({"1", "1", "5\t5"});
    v.EjecutarResolucion();
    d.nombres = {nombre, std::nullopt};
    Accion(v, "ArchivoAbrir")->trigger();
    QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
    QCOMPARE(Lineas(v), kEjemplo);
    QCOMPARE(v.FicheroProblema(), nombre);
    QVERIFY(!v.Resuelto());
    QCOMPARE(MemoDe(v)->NumeroLineas(), 0);
    QVERIFY(Rejilla(v).Matriz().Completa());
    Accion(v, "ToolButton3")->trigger();
    QCOMPARE(d.peticionesFichero[0].propuesto, QString());
    QCOMPARE(d.peticionesFichero[1].propuesto, nombre);
}

void PruebaFicheros::AbrirErrores_data() {
    QTest::addColumn<QByteArray>("bytes");  // what the chosen file holds
    QTest::addColumn<bool>("existe");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("no existe") << QByteArray() << false << "Cannot open file \"%1\". No such file or directory.";
    QTest::newRow("vacio") << QByteArray("") << true << "List index out of bounds (0)";
    QTest::newRow("sin linea 2") << QByteArray("2\r\n") << true << "List index out of bounds (1)";
    QTest::newRow("linea 1 mala") << QByteArray("tres\r\n2\r\n") << true << "''tres'' is not a valid integer value.";
    QTest::newRow("linea 2 mala") << QByteArray("5\r\ndos\r\n") << true << "''dos'' is not a valid integer value.";
    QTest::newRow("demasiadas filas") << QByteArray("200000000\r\n2\r\n") << true << "Grid too large for operation.";
    QTest::newRow("faltan filas") << QByteArray("3\r\n1\r\n4\t5\r\n") << true << "List index out of bounds (3)";
}

// The whole file is read and checked first: a file that fails changes nothing (grid,
// memo, charts, solve, file names), and its name is never remembered.
void PruebaFicheros::AbrirErrores() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, existe);
    QFETCH(QString, mensaje);
    const QString nombre = Ruta("malo.brk");
    QFile::remove(nombre);
    if (existe) EscribirBytes(nombre, bytes.toStdString());
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    GuardarComo(v, d, Ruta("antes.brk"));
    v.EjecutarResolucion();
    d.nombres = {Ruta("antes.sol")};
    Accion(v, "ArchivoGrabarSolucionComo")->trigger();
    const QString memo = MemoDe(v)->Texto();
    const QString titulo = v.windowTitle();
    auto* graficos = Control<GraficosConsumo>(v, "Graficos");
    d.nombres = {nombre};
    Accion(v, "ArchivoAbrir")->trigger();
    QCOMPARE(d.Mensajes(), QStringList{mensaje.arg(nombre)});
    QCOMPARE(Lineas(v), kEjemplo);
    QCOMPARE(Rejilla(v).Matriz().Columnas(), 4);
    QCOMPARE(QString::fromStdString(Rejilla(v).Matriz().Celda(3, 0)), QString("Qj"));
    QCOMPARE(MemoDe(v)->Texto(), memo);
    QVERIFY(v.Resuelto());
    QVERIFY(Accion(v, "TBCopiar")->isEnabled());
    QCOMPARE(graficos->SeriesVel().size(), size_t{2});
    QCOMPARE(graficos->Xjk()->count(), 4);
    QCOMPARE(v.FicheroProblema(), Ruta("antes.brk"));
    QCOMPARE(v.FicheroSolucion(), Ruta("antes.sol"));
    QCOMPARE(v.windowTitle(), titulo);
    // A later save writes the problem's own file; the file that failed keeps its bytes.
    Accion(v, "TBGuardar")->trigger();
    QCOMPARE(LeerBytes(Ruta("antes.brk")), std::string(kEjemploBytes));
    QCOMPARE(QFile::exists(nombre), existe);
    if (existe) QCOMPARE(LeerBytes(nombre), bytes.toStdString());
}

void PruebaFicheros::GuardarConElBoton() {
    const QString nombre = Ruta("boton.brk");
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    GuardarComo(v, d, nombre);
    EscribirBytes(nombre, "otro contenido");
    Accion(v, "TBGuardar")->trigger();  // complete and named: written without a dialog
    QVERIFY(d.peticionesFichero.empty());
    QCOMPARE(LeerBytes(nombre), std::string(kEjemploBytes));

    // Incomplete: the button is off at once; the command asks for a name even with one
    // remembered, and writes the empty fields.
    Rejilla(v).PonerCelda(2, 3, "");
    QVERIFY(!Accion(v, "TBGuardar")->isEnabled());
    const QString otro = Ruta("incompleto");
    d.nombres = {otro};
    v.GuardarProblema();
    QCOMPARE(d.peticionesFichero.size(), size_t{1});
    QVERIFY(d.peticionesFichero[0].guardar);
    QCOMPARE(d.peticionesFichero[0].extension, QString("brk"));
    QCOMPARE(v.FicheroProblema(), otro + ".brk");
    QCOMPARE(LeerBytes(otro + ".brk"), std::string("3\r\n2\r\n1\t0\t2\r\n0\t1\t1\r\n1\t\t1\r\n"));
    QVERIFY(d.errores.empty());
}

void PruebaFicheros::GuardarDesdeElMenu() {
    DialogosPrueba d;
    TMainForm v(d, {});
    // Incomplete: the information message and nothing else, from both items.
    for (QAction* item : {Accion(v, "ArchivoGrabarProblema"), Accion(v, "ArchivoGrabarProblemaComo")}) {
        item->trigger();
    }
    QCOMPARE(d.informaciones.size(), size_t{2});
    for (const auto& [titulo, texto] : d.informaciones) {
        QCOMPARE(titulo, QString("TAVELORIN"));
        QCOMPARE(texto, QString("Plantee el problema antes de guardarlo."));
    }
    QVERIFY(d.peticionesFichero.empty());

    Rejilla(v).Cargar(kEjemplo);
    const QString nombre = Ruta("menu.brk");
    d.nombres = {nombre};
    Accion(v, "ArchivoGrabarProblema")->trigger();  // no name yet: asks
    QCOMPARE(d.peticionesFichero.size(), size_t{1});
    QCOMPARE(LeerBytes(nombre), std::string(kEjemploBytes));
    EscribirBytes(nombre, "otro contenido");
    Accion(v, "ArchivoGrabarProblema")->trigger();  // named: replaces the file without a question
    QCOMPARE(d.peticionesFichero.size(), size_t{1});
    QCOMPARE(LeerBytes(nombre), std::string(kEjemploBytes));
    QCOMPARE(v.Estado().NProd, 0);  // writing a file does not set the counts
}

void PruebaFicheros::GuardarComoProponeElUltimoGuardado() {
    const QString abierto = Ruta("abierto.brk");
    EscribirBytes(abierto, kEjemploBytes);
    DialogosPrueba d;
    TMainForm v(d, {});
    d.nombres = {abierto, Ruta("copia.brk"), std::nullopt};
    Accion(v, "ArchivoAbrir")->trigger();
    Accion(v, "ArchivoGrabarProblemaComo")->trigger();
    QCOMPARE(d.peticionesFichero[1].propuesto, QString());  // never the open problem's name
    QCOMPARE(v.FicheroProblema(), Ruta("copia.brk"));
    Accion(v, "ArchivoGrabarProblemaComo")->trigger();  // cancelled: nothing changes
    QCOMPARE(d.peticionesFichero[2].propuesto, Ruta("copia.brk"));
    QCOMPARE(v.FicheroProblema(), Ruta("copia.brk"));
    QCOMPARE(LeerBytes(Ruta("copia.brk")), std::string(kEjemploBytes));
}

void PruebaFicheros::GuardarSinPoderCrear() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    const QString nombre = Ruta("no-hay/carpeta.brk");
    d.nombres = {nombre};
    Accion(v, "ArchivoGrabarProblemaComo")->trigger();
    QCOMPARE(d.Mensajes(), QStringList{"Cannot create file \"" + nombre + "\". No such file or directory."});
    QCOMPARE(v.FicheroProblema(), nombre);
    QVERIFY(!QFile::exists(nombre));
}

void PruebaFicheros::IdaYVuelta() {
    struct Caso {
        std::vector<std::string> lineas;
    };
    const Caso casos[] = {
        {kEjemplo},
        {{"2", "2", "  7\tabc\t-$1", "Número\t€\t"}},
        {{"0", "3"}},
        {{"2", "-1", "", ""}},
    };
    for (const Caso& caso : casos) {
        DialogosPrueba d;
        TMainForm v(d, {});
        Rejilla(v).Cargar(caso.lineas);
        const QString nombre = Ruta("ida.brk");
        d.nombres = {nombre, nombre};
        v.GuardarProblema();  // the button is off for the incomplete ones
        QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
        const MatrizProblema antes = Rejilla(v).Matriz();
        Accion(v, "ToolButton3")->trigger();
        QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
        const MatrizProblema& despues = Rejilla(v).Matriz();
        QCOMPARE(despues.Filas(), antes.Filas());
        QCOMPARE(despues.Columnas(), antes.Columnas());
        for (int r = 0; r < antes.Filas(); ++r)
            for (int c = 0; c < antes.Columnas(); ++c) QCOMPARE(despues.Celda(c, r), antes.Celda(c, r));
    }
}

// The name Guardar solución proposes: the problem file's name with its extension
// replaced (folders with dots untouched), and never the problem file itself.
void PruebaFicheros::ProponerNombreDeSolucion_data() {
    QTest::addColumn<QString>("problema");  // relative to the current folder; empty: unnamed
    QTest::addColumn<QString>("propuesto");
    QTest::newRow("carpeta con punto") << "Lote.3/linea1.brk" << "Lote.3/linea1.sol";
    QTest::newRow("carpeta actual") << "./x.brk" << "./x.sol";
    QTest::newRow("sin extension") << "Lote.3/linea1" << "Lote.3/linea1.sol";
    QTest::newRow("dos extensiones") << "linea1.brk.brk" << "linea1.brk.sol";
    QTest::newRow("un problema .sol") << "Lote.3/p.sol" << "Lote.3/p.sol.sol";
    QTest::newRow("sin problema") << "" << "sol";
}

void PruebaFicheros::ProponerNombreDeSolucion() {
    QFETCH(QString, problema);
    QFETCH(QString, propuesto);
    const EnCarpeta carpeta(dir.path());
    QVERIFY(QDir().mkpath("Lote.3"));
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    if (!problema.isEmpty()) {  // opened, so the name is exactly this one
        EscribirBytes(problema, kEjemploBytes);
        d.nombres = {problema};
        Accion(v, "ArchivoAbrir")->trigger();
        QCOMPARE(v.FicheroProblema(), problema);
        d.peticionesFichero.clear();
    }
    v.EjecutarResolucion();
    const QString nombre = Ruta("solucion");
    d.nombres = {nombre};
    Accion(v, "ArchivoGrabarSolucion")->trigger();  // nothing remembered: asks, proposing a name
    QCOMPARE(d.peticionesFichero.size(), size_t{1});
    QCOMPARE(d.peticionesFichero[0].propuesto, propuesto);
    QCOMPARE(d.peticionesFichero[0].filtro, QString("Solución algoritmo de Brisak (*.sol)"));
    QCOMPARE(v.FicheroSolucion(), nombre + ".sol");
    QCOMPARE(QString::fromStdString(LeerBytes(nombre + ".sol")), MemoDe(v)->Texto());

    // An edited memo is saved as edited, to the remembered file.
    MemoDe(v)->ReemplazarLineas({"editado", "a mano: ñ"});
    Accion(v, "ArchivoGrabarSolucion")->trigger();
    QCOMPARE(d.peticionesFichero.size(), size_t{1});
    QCOMPARE(LeerBytes(nombre + ".sol"), std::string("editado\r\na mano: \xF1\r\n"));
}

// The solution is never written over the problem file, whatever name leads to it.
void PruebaFicheros::SolucionNuncaSobreElProblema_data() {
    QTest::addColumn<QString>("elegido");  // relative to the folder of the problem p.brk
    QTest::newRow("el mismo nombre") << "p.brk";
    QTest::newRow("otro camino") << "sub/../p.brk";
    QTest::newRow("un enlace") << "enlace.brk";
}

void PruebaFicheros::SolucionNuncaSobreElProblema() {
    QFETCH(QString, elegido);
    const EnCarpeta carpeta(dir.path());
    QVERIFY(QDir().mkpath("sub"));
    QFile::remove("enlace.brk");
    QVERIFY(QFile::link(Ruta("p.brk"), "enlace.brk"));
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    GuardarComo(v, d, Ruta("p.brk"));
    v.EjecutarResolucion();
    d.nombres = {Ruta(elegido)};
    Accion(v, "ArchivoGrabarSolucionComo")->trigger();
    QCOMPARE(d.Mensajes(), QStringList{"La solución no puede guardarse en «p.brk»: es el archivo del problema. Elija "
                                       "otro nombre."});
    QCOMPARE(LeerBytes(Ruta("p.brk")), std::string(kEjemploBytes));
    QVERIFY(v.FicheroSolucion().isEmpty());
    QVERIFY(v.Resuelto());

    // A solution file later taken by the problem (saved as the same name): Guardar
    // solución asks instead of writing over it.
    d.errores.clear();
    d.nombres = {Ruta("s.sol")};
    Accion(v, "ArchivoGrabarSolucion")->trigger();
    QCOMPARE(v.FicheroSolucion(), Ruta("s.sol"));
    GuardarComo(v, d, Ruta("s.sol"));
    d.nombres = {std::nullopt};
    Accion(v, "ArchivoGrabarSolucion")->trigger();
    QCOMPARE(d.peticionesFichero.size(), size_t{1});
    QCOMPARE(QString::fromStdString(LeerBytes(Ruta("s.sol"))), QString::fromLatin1(kEjemploBytes));
    QVERIFY(d.errores.empty());
}

// FicheroSolucion is forgotten when another problem takes the grid's place, so the next
// Guardar solución asks; Items and a new solve keep it.
void PruebaFicheros::SolucionOlvidadaConOtroProblema_data() {
    QTest::addColumn<QString>("orden");
    QTest::addColumn<bool>("olvidada");
    QTest::newRow("Nuevo") << "Nuevo" << true;
    QTest::newRow("Abrir") << "Abrir" << true;
    QTest::newRow("Abrir cancelado") << "Abrir cancelado" << false;
    QTest::newRow("Abrir que falla") << "Abrir que falla" << false;
    QTest::newRow("aleatorio") << "aleatorio" << true;
    QTest::newRow("aleatorio cancelado") << "aleatorio cancelado" << false;
    QTest::newRow("Items") << "Items" << false;
    QTest::newRow("resolver otra vez") << "resolver" << false;
}

void PruebaFicheros::SolucionOlvidadaConOtroProblema() {
    QFETCH(QString, orden);
    QFETCH(bool, olvidada);
    EscribirBytes(Ruta("otro.brk"), "1\r\n1\r\n2\t1\r\n");
    EscribirBytes(Ruta("malo.brk"), "x\r\n");
    const QString solucion = Ruta("sigue.sol");
    QFile::remove(solucion);
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    v.EjecutarResolucion();
    d.nombres = {solucion};
    Accion(v, "ArchivoGrabarSolucionComo")->trigger();
    const std::string escrito = LeerBytes(solucion);
    d.peticionesFichero.clear();
    d.alMostrarFormulario = [&](QDialog&) { return orden == "aleatorio"; };
    if (orden == "Nuevo") Accion(v, "TBNuevo")->trigger();
    if (orden == "Abrir") d.nombres = {Ruta("otro.brk")};
    if (orden == "Abrir cancelado") d.nombres = {std::nullopt};
    if (orden == "Abrir que falla") d.nombres = {Ruta("malo.brk")};
    if (orden.startsWith("Abrir")) Accion(v, "ArchivoAbrir")->trigger();
    if (orden.startsWith("aleatorio")) Accion(v, "Crearproblemaaleatorio1")->trigger();
    if (orden == "Items") {
        d.respuestas = {QString("4"), QString("2")};
        Accion(v, "TBItems")->trigger();
    }
    d.peticionesFichero.clear();
    QCOMPARE(v.FicheroSolucion().isEmpty(), olvidada);
    // Then a solve of whatever is there, and Guardar solución.
    Rejilla(v).Cargar({"1", "1", "2\t1"});
    v.EjecutarResolucion();
    d.nombres = {std::nullopt};
    Accion(v, "ArchivoGrabarSolucion")->trigger();
    QCOMPARE(d.peticionesFichero.size(), size_t(olvidada ? 1 : 0));
    if (olvidada)
        QCOMPARE(LeerBytes(solucion), escrito);  // the other problem's solution is left alone
    else
        QCOMPARE(QString::fromStdString(LeerBytes(solucion)), MemoDe(v)->Texto());
}

QTEST_MAIN(PruebaFicheros)
#include "test_ficheros.moc"
