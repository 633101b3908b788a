// Problem and solution files, and random problems, through the main window's commands.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <sstream>

#include "ui/AleatorioU.h"
#include "soporte/Controles.h"
#include "soporte/DialogosPrueba.h"
#include "ui/Main.h"
#include "ui/MemoInforme.h"
#include "ui/ModeloMatriz.h"
#include "ui/VistaMatriz.h"

using namespace tavelorin;

namespace {

const char* const kEjemploBytes = "3\r\n2\r\n1\t0\t2\r\n0\t1\t1\r\n1\t1\t1\r\n";
const std::vector<std::string> kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};

std::string Leer(const QString& nombre) {
    std::ifstream f(nombre.toStdString(), std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

void Escribir(const QString& nombre, const std::string& bytes) {
    std::ofstream(nombre.toStdString(), std::ios::binary) << bytes;
}

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
    void GuardarSolucion();
    void SolucionTrasNuevoYResolver();
    void AleatorioCancelado();
    void AleatorioConLosValoresIniciales();
    void AleatorioErrores_data();
    void AleatorioErrores();
    void AleatorioTeclado();
    void FormularioAleatorio();
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
    Escribir(nombre, kEjemploBytes);
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
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<int>("filas");
    QTest::addColumn<int>("columnas");
    QTest::addColumn<QString>("celda01");  // row header of product 1 after the failure
    QTest::addColumn<QString>("celda11");
    QTest::newRow("vacio") << QByteArray("") << "List index out of bounds (0)" << 4 << 6 << "1" << "";
    QTest::newRow("sin linea 2") << QByteArray("2\r\n") << "List index out of bounds (1)" << 3 << 6 << "1" << "";
    QTest::newRow("linea 1 mala") << QByteArray("tres\r\n2\r\n") << "''tres'' is not a valid integer value." << 4 << 6
                                  << "1" << "";
    QTest::newRow("linea 2 mala") << QByteArray("5\r\ndos\r\n") << "''dos'' is not a valid integer value." << 6 << 6
                                  << "1" << "";
    QTest::newRow("demasiadas filas") << QByteArray("200000000\r\n2\r\n") << "Grid too large for operation." << 4
                                      << 6 << "1" << "";
    QTest::newRow("faltan filas") << QByteArray("3\r\n1\r\n4\t5\r\n") << "List index out of bounds (3)" << 4 << 3
                                  << "1" << "4";
}

void PruebaFicheros::AbrirErrores() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, mensaje);
    QFETCH(int, filas);
    QFETCH(int, columnas);
    QFETCH(QString, celda01);
    QFETCH(QString, celda11);
    const QString nombre = Ruta("malo.brk");
    Escribir(nombre, bytes.toStdString());
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    d.nombres = {nombre};
    Accion(v, "ArchivoAbrir")->trigger();
    QCOMPARE(d.Mensajes(), QStringList{mensaje});
    QCOMPARE(Rejilla(v).Matriz().Filas(), filas);
    QCOMPARE(Rejilla(v).Matriz().Columnas(), columnas);
    QCOMPARE(Rejilla(v).Celda(0, 1), celda01);
    QCOMPARE(Rejilla(v).Celda(1, 1), celda11);
    QCOMPARE(v.FicheroProblema(), nombre);  // kept, so a later save writes there
}

void PruebaFicheros::GuardarConElBoton() {
    const QString nombre = Ruta("boton.brk");
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    GuardarComo(v, d, nombre);
    Escribir(nombre, "otro contenido");
    Accion(v, "TBGuardar")->trigger();  // complete and named: written without a dialog
    QVERIFY(d.peticionesFichero.empty());
    QCOMPARE(Leer(nombre), std::string(kEjemploBytes));

    // Incomplete: asks for a name even with one remembered, and writes the empty fields.
    Rejilla(v).PonerCelda(2, 3, "");
    const QString otro = Ruta("incompleto");
    d.nombres = {otro};
    Accion(v, "TBGuardar")->trigger();
    QCOMPARE(d.peticionesFichero.size(), size_t{1});
    QVERIFY(d.peticionesFichero[0].guardar);
    QCOMPARE(d.peticionesFichero[0].extension, QString("brk"));
    QCOMPARE(v.FicheroProblema(), otro + ".brk");
    QCOMPARE(Leer(otro + ".brk"), std::string("3\r\n2\r\n1\t0\t2\r\n0\t1\t1\r\n1\t\t1\r\n"));
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
    QCOMPARE(Leer(nombre), std::string(kEjemploBytes));
    Escribir(nombre, "otro contenido");
    Accion(v, "ArchivoGrabarProblema")->trigger();  // named: replaces the file without a question
    QCOMPARE(d.peticionesFichero.size(), size_t{1});
    QCOMPARE(Leer(nombre), std::string(kEjemploBytes));
    QCOMPARE(v.Estado().NProd, 0);  // writing a file does not set the counts
}

void PruebaFicheros::GuardarComoProponeElUltimoGuardado() {
    const QString abierto = Ruta("abierto.brk");
    Escribir(abierto, kEjemploBytes);
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
    QCOMPARE(Leer(Ruta("copia.brk")), std::string(kEjemploBytes));
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
        Accion(v, "TBGuardar")->trigger();
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

void PruebaFicheros::GuardarSolucion() {
    // The problem saved in a folder with a dot in its name, named from the current folder.
    const EnCarpeta carpeta(dir.path());
    QVERIFY(QDir().mkpath("Lote.3"));
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    GuardarComo(v, d, "Lote.3/linea1.brk");
    v.EjecutarResolucion();
    const QString nombre = Ruta("solucion");
    d.nombres = {nombre};
    Accion(v, "ArchivoGrabarSolucion")->trigger();  // nothing remembered: asks, proposing a name
    QCOMPARE(d.peticionesFichero.size(), size_t{1});
    QCOMPARE(d.peticionesFichero[0].propuesto, QString("Lote.sol"));
    QCOMPARE(d.peticionesFichero[0].filtro, QString("Solución algoritmo de Brisak (*.sol)"));
    QCOMPARE(v.FicheroSolucion(), nombre + ".sol");
    QCOMPARE(QString::fromStdString(Leer(nombre + ".sol")), MemoDe(v)->Texto());

    // An edited memo is saved as edited.
    MemoDe(v)->ReemplazarLineas({"editado", "a mano: ñ"});
    Accion(v, "ArchivoGrabarSolucion")->trigger();
    QCOMPARE(d.peticionesFichero.size(), size_t{1});
    QCOMPARE(Leer(nombre + ".sol"), std::string("editado\r\na mano: \xF1\r\n"));

    // Without a problem name (New forgets it) the proposal is "sol".
    Accion(v, "TBNuevo")->trigger();
    QVERIFY(v.FicheroProblema().isEmpty());
    d.nombres = {std::nullopt};
    Accion(v, "ArchivoGrabarSolucionComo")->trigger();
    QCOMPARE(d.peticionesFichero[1].propuesto, QString("sol"));
    QCOMPARE(v.FicheroSolucion(), nombre + ".sol");
}

void PruebaFicheros::SolucionTrasNuevoYResolver() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    v.EjecutarResolucion();
    const QString nombre = Ruta("sigue.sol");
    d.nombres = {nombre};
    Accion(v, "ArchivoGrabarSolucionComo")->trigger();
    Accion(v, "TBNuevo")->trigger();
    QCOMPARE(v.FicheroSolucion(), nombre);
    Rejilla(v).Cargar({"1", "1", "2\t1"});
    v.EjecutarResolucion();
    Accion(v, "ArchivoGrabarSolucion")->trigger();
    QCOMPARE(d.peticionesFichero.size(), size_t{1});
    QCOMPARE(QString::fromStdString(Leer(nombre)), MemoDe(v)->Texto());
    QVERIFY(QString::fromStdString(Leer(nombre)).startsWith("K\tDk1\ts1\tX1k"));
}

void PruebaFicheros::AleatorioCancelado() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    v.EjecutarResolucion();
    GuardarComo(v, d, Ruta("p.brk"));
    const uint32_t semilla = v.Generador().SemillaAleatoria;
    d.alMostrarFormulario = [](QDialog& f) {
        static_cast<TFormAleatorio&>(f).ENProd->setText("2");
        return false;
    };
    Accion(v, "Crearproblemaaleatorio1")->trigger();
    QCOMPARE(Lineas(v), kEjemplo);
    QVERIFY(v.Resuelto());
    QCOMPARE(v.FicheroProblema(), Ruta("p.brk"));
    QCOMPARE(v.Generador().SemillaAleatoria, semilla);
    // The next use shows the initial texts again.
    QString visto;
    d.alMostrarFormulario = [&](QDialog& f) {
        visto = static_cast<TFormAleatorio&>(f).ENProd->text();
        return false;
    };
    Accion(v, "Crearproblemaaleatorio1")->trigger();
    QCOMPARE(visto, QString("10"));
}

void PruebaFicheros::AleatorioConLosValoresIniciales() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    v.EjecutarResolucion();
    GuardarComo(v, d, Ruta("p.brk"));
    d.alMostrarFormulario = [](QDialog&) { return true; };
    Accion(v, "Crearproblemaaleatorio1")->trigger();
    QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
    const MatrizProblema& m = Rejilla(v).Matriz();
    QCOMPARE(m.Filas(), 11);
    QCOMPARE(m.Columnas(), 22);
    QVERIFY(m.Completa());
    QVERIFY(v.FicheroProblema().isEmpty());
    QVERIFY(!v.Resuelto());
    QCOMPARE(MemoDe(v)->NumeroLineas(), 0);
    for (int r = 1; r <= 10; ++r) {
        const int demanda = std::stoi(m.Celda(21, r));
        QVERIFY(demanda >= 1 && demanda <= 15);
        for (int c = 1; c <= 20; ++c) {
            const int uso = std::stoi(m.Celda(c, r));
            QVERIFY(uso >= 0 && uso <= 4);
        }
    }
    v.EjecutarResolucion();  // and it solves
    QVERIFY(v.Resuelto());
}

void PruebaFicheros::AleatorioErrores_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<bool>("conservado");  // the previous problem survives
    QTest::newRow("componentes negativos") << "ENComp" << "-3" << "El número de componentes no puede ser negativo (-3)"
                                           << true;
    QTest::newRow("productos no enteros") << "ENProd" << "diez" << "''diez'' is not a valid integer value." << false;
    QTest::newRow("probabilidad mala") << "EProbC" << "abc" << "'abc' is not a valid floating point value." << false;
    QTest::newRow("probabilidad enorme") << "EProbC" << "1e400" << "Floating point overflow." << false;
    QTest::newRow("demasiados productos") << "ENProd" << "134217725" << "Grid too large for operation." << false;
}

void PruebaFicheros::AleatorioErrores() {
    QFETCH(QString, campo);
    QFETCH(QString, texto);
    QFETCH(QString, mensaje);
    QFETCH(bool, conservado);
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    d.alMostrarFormulario = [&](QDialog& f) {
        f.findChild<QLineEdit*>(campo)->setText(texto);
        return true;
    };
    Accion(v, "Crearproblemaaleatorio1")->trigger();
    QCOMPARE(d.Mensajes(), QStringList{mensaje});
    if (conservado) {
        QCOMPARE(Lineas(v), kEjemplo);
    } else {
        QCOMPARE(Rejilla(v).Matriz().Filas(), 4);  // the empty 3 x 4 problem of New
        QCOMPARE(Rejilla(v).Matriz().Columnas(), 6);
        QCOMPARE(Rejilla(v).Matriz().CeldasVacias(), 15);
    }
}

void PruebaFicheros::AleatorioTeclado() {
    struct Caso {
        Qt::Key tecla;
        bool aceptado;
    };
    for (const Caso caso : {Caso{Qt::Key_Escape, false}, Caso{Qt::Key_Return, true}}) {
        DialogosPrueba d;
        TMainForm v(d, {});
        d.alMostrarFormulario = [&](QDialog& f) {
            f.show();
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &f, caso.tecla);
            return f.result() == QDialog::Accepted;
        };
        Accion(v, "Crearproblemaaleatorio1")->trigger();
        QCOMPARE(Rejilla(v).Matriz().Filas(), caso.aceptado ? 11 : 4);
    }
}

void PruebaFicheros::FormularioAleatorio() {
    TFormAleatorio f;
    QCOMPARE(f.windowTitle(), QString("Crear problema aleatorio..."));
    QCOMPARE(f.font().pixelSize(), 11);
    struct Pieza {
        QWidget* w;
        QRect zona;
    };
    const Pieza piezas[] = {
        {f.Shape1, {5, 20, 246, 16}},    {f.Shape2, {265, 20, 271, 16}},  {f.ENProd, {210, 50, 41, 21}},
        {f.ENUMin, {210, 75, 41, 21}},   {f.ENUMax, {210, 100, 41, 21}},  {f.ENComp, {495, 50, 41, 21}},
        {f.EProbC, {495, 75, 41, 21}},   {f.ECantMin, {495, 100, 41, 21}}, {f.ECantMax, {495, 125, 41, 21}},
        {f.BitBtn1, {180, 170, 75, 25}}, {f.BitBtn2, {265, 170, 75, 25}},
    };
    for (const Pieza& p : piezas) QCOMPARE(p.w->geometry(), p.zona);
    QCOMPARE(f.TituloProductos->pos(), QPoint(100, 20));
    QCOMPARE(f.TituloComponentes->pos(), QPoint(365, 20));
    QCOMPARE(f.TituloProductos->text(), QString("Productos"));
    QCOMPARE(f.TituloComponentes->text(), QString("Componentes"));
    QVERIFY(f.TituloProductos->font().bold());
    QCOMPARE(f.TituloProductos->palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(f.BitBtn1->text(), QString("Aceptar"));
    QCOMPARE(f.BitBtn2->text(), QString("Cancelar"));
    QVERIFY(f.BitBtn1->isDefault());
    QVERIFY(!f.BitBtn1->icon().isNull());
    // Labels, right-aligned just to the left of their edits.
    struct Rotulo {
        QLineEdit* edit;
        const char* texto;
        const char* inicial;
    };
    const Rotulo rotulos[] = {
        {f.ENProd, "Número de productos:", "10"},
        {f.ENComp, "Número de componentes:", "20"},
        {f.ENUMin, "Número de unidades mínimas de producto:", "5"},
        {f.ENUMax, "Número de unidades máximas de producto:", "20"},
        {f.EProbC, "Probabilidad de componente en producto:", "0,5"},
        {f.ECantMin, "Cantidad mínima de componente en producto:", "1"},
        {f.ECantMax, "Cantidad máxima de componente en producto:", "5"},
    };
    for (const Rotulo& r : rotulos) {
        QCOMPARE(r.edit->text(), QString(r.inicial));
        QLabel* rotulo = nullptr;
        for (QLabel* l : f.findChildren<QLabel*>())
            if (l->buddy() == r.edit) rotulo = l;
        QVERIFY(rotulo != nullptr);
        QCOMPARE(rotulo->text(), QString(r.texto));
        QVERIFY(rotulo->alignment() & Qt::AlignRight);
        QCOMPARE(rotulo->geometry().right() + 6, r.edit->x());
        QCOMPARE(rotulo->geometry().top(), r.edit->y());
        QVERIFY2(rotulo->sizeHint().width() <= rotulo->width(), qPrintable(QString("%1: %2 > %3, %4").arg(r.texto).arg(rotulo->sizeHint().width()).arg(rotulo->width()).arg(rotulo->font().family())));  // the whole text fits
    }
    // Focus order.
    QWidget* orden[] = {f.ENProd, f.ENComp, f.BitBtn1, f.BitBtn2, f.EProbC, f.ECantMin, f.ECantMax, f.ENUMin, f.ENUMax};
    auto siguiente = [](QWidget* w) {
        do w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    };
    for (size_t i = 0; i + 1 < std::size(orden); ++i) QCOMPARE(siguiente(orden[i]), orden[i + 1]);
}

QTEST_MAIN(PruebaFicheros)
#include "test_ficheros.moc"
