// The problem grid edited as a spreadsheet: keys, blocks through the clipboard, undo,
// what the commands read while a cell is being typed, the view's scrolling and the
// panel's width, and the marks of cells that will not convert.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <fstream>
#include <memory>
#include <sstream>

#include "soporte/BytesQt.h"
#include "soporte/Controles.h"
#include "soporte/DialogosPrueba.h"
#include "ui/CambiosPendientes.h"
#include "ui/DeshacerMatriz.h"
#include "ui/Main.h"
#include "ui/MemoInforme.h"
#include "ui/ModeloMatriz.h"
#include "ui/PortapapelesMatriz.h"
#include "ui/VistaMatriz.h"

using namespace tavelorin;

namespace {

using Lineas = std::vector<std::string>;
const char* const kEjemploBytes = "3\r\n2\r\n1\t0\t2\r\n0\t1\t1\r\n1\t1\t1\r\n";
const Lineas kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};
const Lineas kVacio = {"3", "4", "\t\t\t\t", "\t\t\t\t", "\t\t\t\t"};

QStringList Texto(const Lineas& lineas) {
    QStringList r;
    for (const std::string& l : lineas) r << QString::fromStdString(l);
    return r;
}

// The window on screen with the example problem opened from a file (nothing unsaved),
// the grid focused on its first data cell.
struct Ventana {
    QTemporaryDir dir;
    DialogosPrueba d;
    TMainForm v{d, {}};
    VistaMatriz* rejilla = Control<VistaMatriz>(v, "Matriz");

    explicit Ventana(bool conEjemplo = true) {
        if (conEjemplo) {
            std::ofstream(Ruta("p.brk").toStdString(), std::ios::binary) << kEjemploBytes;
            d.nombres = {Ruta("p.brk")};
            Accion(v, "ArchivoAbrir")->trigger();
        }
        v.resize(1083, 800);
        v.show();
        v.activateWindow();
        QApplication::clipboard()->clear();
    }
    bool Activa() {
        if (!QTest::qWaitForWindowActive(&v)) return false;
        rejilla->setFocus();
        return rejilla->hasFocus();
    }
    QString Ruta(const QString& nombre) const { return dir.filePath(nombre); }
    QStringList Lineas() const { return Texto(Rejilla(v).Matriz().LineasProblema()); }
    QPoint Actual() const {
        const QModelIndex i = rejilla->currentIndex();
        return i.isValid() ? QPoint(Rejilla(v).ColumnaDe(i), Rejilla(v).FilaDe(i)) : QPoint(-1, -1);
    }
    void Ir(int columna, int fila) { rejilla->setCurrentIndex(Rejilla(v).IndiceDeCelda(columna, fila)); }
    QUndoStack& Pila() { return *Control<QUndoStack>(v, "PilaMatriz"); }
};

// Keys as a user presses them, each to the widget that has the focus: plain characters
// are typed, {Name} is a key (see the table below).
void Pulsar(const QString& guion) {
    struct Tecla {
        Qt::Key clave;
        Qt::KeyboardModifiers modificadores;
    };
    const std::map<QString, Tecla> teclas = {
        {"Enter", {Qt::Key_Return, Qt::NoModifier}},    {"ShiftEnter", {Qt::Key_Return, Qt::ShiftModifier}},
        {"Tab", {Qt::Key_Tab, Qt::NoModifier}},         {"BackTab", {Qt::Key_Backtab, Qt::ShiftModifier}},
        {"F2", {Qt::Key_F2, Qt::NoModifier}},           {"Esc", {Qt::Key_Escape, Qt::NoModifier}},
        {"Del", {Qt::Key_Delete, Qt::NoModifier}},      {"BS", {Qt::Key_Backspace, Qt::NoModifier}},
        {"Up", {Qt::Key_Up, Qt::NoModifier}},           {"Down", {Qt::Key_Down, Qt::NoModifier}},
        {"Left", {Qt::Key_Left, Qt::NoModifier}},       {"Right", {Qt::Key_Right, Qt::NoModifier}},
        {"ShiftRight", {Qt::Key_Right, Qt::ShiftModifier}}, {"ShiftDown", {Qt::Key_Down, Qt::ShiftModifier}},
        {"CtrlZ", {Qt::Key_Z, Qt::ControlModifier}},    {"CtrlY", {Qt::Key_Y, Qt::ControlModifier}},
        {"CtrlShiftZ", {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier}},
        {"CtrlC", {Qt::Key_C, Qt::ControlModifier}},    {"CtrlX", {Qt::Key_X, Qt::ControlModifier}},
        {"CtrlV", {Qt::Key_V, Qt::ControlModifier}},    {"ShiftIns", {Qt::Key_Insert, Qt::ShiftModifier}},
        {"CtrlS", {Qt::Key_S, Qt::ControlModifier}},    {"F9", {Qt::Key_F9, Qt::NoModifier}},
    };
    for (int i = 0; i < guion.size(); ++i) {
        QWidget* foco = QApplication::focusWidget();
        if (foco == nullptr) qFatal("no widget has the focus");
        if (guion[i] != '{') {
            QTest::keyClick(foco, guion[i].toLatin1());
            continue;
        }
        const int fin = guion.indexOf('}', i);
        const Tecla t = teclas.at(guion.mid(i + 1, fin - i - 1));
        QTest::keyClick(foco, t.clave, t.modificadores);
        i = fin;
    }
    QCoreApplication::processEvents();
}

void PonerEnPortapapeles(const QString& tipo, const QByteArray& bytes) {
    auto* datos = new QMimeData;
    if (tipo == "text/plain")
        datos->setText(QString::fromUtf8(bytes));
    else
        datos->setData(tipo, bytes);
    QApplication::clipboard()->setMimeData(datos);
}

}  // namespace

class PruebaRejilla : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void Teclas_data();
    void Teclas();
    void Pegar_data();
    void Pegar();
    void CopiarYCortar();
    void CtrlCDeLaRejillaAntesQueElDeLaVentana();
    void MenuContextual();
    void DeshacerYCambiosPendientes();
    void LoQueSeVeEsLoQueCuenta_data();
    void LoQueSeVeEsLoQueCuenta();
    void HabilitacionSinPintar();
    void SiempreALaVista();
    void CeldasQueNoSonEnteros();
    void CabecerasNoSeEditan();
};

// Each row: the keys pressed from cell (1, 1) of the example, the problem lines they
// leave, the current cell, and whether the focus left the grid.
void PruebaRejilla::Teclas_data() {
    QTest::addColumn<QString>("teclas");
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<QPoint>("actual");
    QTest::addColumn<bool>("fuera");
    const auto con = [](const char* f1, const char* f2 = "0\t1\t1", const char* f3 = "1\t1\t1") {
        return QStringList{"3", "2", f1, f2, f3};
    };
    const QStringList igual = Texto(kEjemplo);
    QTest::newRow("escribir reemplaza, Enter baja") << "7{Enter}" << con("7\t0\t2") << QPoint(1, 2) << false;
    QTest::newRow("F2 edita al final") << "{F2}5{Enter}" << con("15\t0\t2") << QPoint(1, 2) << false;
    QTest::newRow("flechas y escribir") << "{Right}{Down}9{Enter}" << con("1\t0\t2", "0\t9\t1") << QPoint(2, 3) << false;
    QTest::newRow("Enter sin editar baja") << "{Enter}{Enter}" << igual << QPoint(1, 3) << false;
    QTest::newRow("Enter en la ultima fila se queda") << "{Down}{Down}{Enter}" << igual << QPoint(1, 3) << false;
    QTest::newRow("Mayus+Enter sube") << "{Down}4{ShiftEnter}" << con("1\t0\t2", "4\t1\t1") << QPoint(1, 1) << false;
    QTest::newRow("Escape descarta") << "9{Esc}" << igual << QPoint(1, 1) << false;
    QTest::newRow("Supr borra la seleccion")
        << "{ShiftRight}{ShiftDown}{Del}" << con("\t\t2", "\t\t1") << QPoint(2, 2) << false;
    QTest::newRow("Retroceso borra") << "{BS}" << con("\t0\t2") << QPoint(1, 1) << false;
    QTest::newRow("la cabecera no toma el foco") << "{Up}{Left}" << igual << QPoint(1, 1) << false;
    QTest::newRow("Tab sale") << "{Tab}" << igual << QPoint(1, 1) << true;
    QTest::newRow("Tab al editar confirma y sale") << "8{Tab}" << con("8\t0\t2") << QPoint(1, 1) << true;
    QTest::newRow("Mayus+Tab al editar confirma y sale") << "8{BackTab}" << con("8\t0\t2") << QPoint(1, 1) << true;
    QTest::newRow("Ctrl+Z deshace") << "7{Enter}{CtrlZ}" << igual << QPoint(1, 1) << false;
    QTest::newRow("Ctrl+Y rehace") << "7{Enter}{CtrlZ}{CtrlY}" << con("7\t0\t2") << QPoint(1, 1) << false;
    QTest::newRow("Ctrl+Mayus+Z rehace") << "{Del}{CtrlZ}{CtrlShiftZ}" << con("\t0\t2") << QPoint(1, 1) << false;
    QTest::newRow("Ctrl+X y Ctrl+V mueven un bloque")
        << "{ShiftRight}{CtrlX}{Down}{Down}{CtrlV}" << con("\t\t2", "0\t1\t1", "1\t1\t0") << QPoint(2, 3) << false;
    QTest::newRow("Mayus+Insert pega") << "{CtrlC}{Down}{ShiftIns}" << con("1\t0\t2", "1\t1\t1") << QPoint(1, 2)
                                       << false;
    QTest::newRow("Ctrl+Z en el editor deshace lo tecleado")
        << "5{Enter}{Up}{F2}6{CtrlZ}{Enter}" << con("5\t0\t2") << QPoint(1, 2) << false;
    QTest::newRow("Ctrl+V en el editor pega el bloque")
        << "{ShiftRight}{CtrlC}{Down}{F2}9{CtrlV}" << con("1\t0\t2", "0\t1\t0") << QPoint(2, 2) << false;
    QTest::newRow("una letra tambien se escribe") << "x{Enter}" << con("x\t0\t2") << QPoint(1, 2) << false;
}

void PruebaRejilla::Teclas() {
    QFETCH(QString, teclas);
    QFETCH(QStringList, lineas);
    QFETCH(QPoint, actual);
    QFETCH(bool, fuera);
    Ventana w;
    QVERIFY(w.Activa());
    QCOMPARE(w.Actual(), QPoint(1, 1));
    Pulsar(teclas);
    QCOMPARE(w.Lineas(), lineas);
    QCOMPARE(w.Actual(), actual);
    QCOMPARE(!w.rejilla->hasFocus() && !w.rejilla->isAncestorOf(QApplication::focusWidget()), fuera);
    QVERIFY(!w.rejilla->TextoEnEdicion().has_value());
    QVERIFY(w.d.errores.empty());
}

// What the clipboard holds, where it goes, the question asked when it does not fit and
// its answer, what the grid then holds and what is selected. One Ctrl+Z puts it all back.
void PruebaRejilla::Pegar_data() {
    QTest::addColumn<bool>("ejemplo");  // the example, else the empty 3 x 4 problem
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QByteArray>("datos");
    QTest::addColumn<QPoint>("desde");
    QTest::addColumn<bool>("ampliar");
    QTest::addColumn<QString>("pregunta");
    QTest::addColumn<QStringList>("lineas");
    QTest::addColumn<QRect>("seleccion");
    const QString plano = "text/plain", csv = "text/csv";
    QTest::newRow("tabulado de una hoja de calculo")
        << false << plano << QByteArray("1\t2\r\n3\t4\r\n") << QPoint(1, 1) << false << ""
        << QStringList{"3", "4", "1\t2\t\t\t", "3\t4\t\t\t", "\t\t\t\t"} << QRect(1, 1, 2, 2);
    QTest::newRow("punto y coma, desde otra celda")
        << false << plano << QByteArray("1;2\n3;4") << QPoint(3, 2) << false << ""
        << QStringList{"3", "4", "\t\t\t\t", "\t\t1\t2\t", "\t\t3\t4\t"} << QRect(3, 2, 2, 2);
    QTest::newRow("CSV con comillas")
        << false << csv << QByteArray("\"1\",\"2,5\"\r\n\"a\"\"b\",7\r\n") << QPoint(1, 1) << false << ""
        << QStringList{"3", "4", "1\t2,5\t\t\t", "a\"b\t7\t\t\t", "\t\t\t\t"} << QRect(1, 1, 2, 2);
    QTest::newRow("salto y tabulador dentro de comillas: una linea")
        << false << plano << QByteArray("\"a\nb\"\t\"c\td\"\n") << QPoint(1, 1) << false << ""
        << QStringList{"3", "4", "a b\tc d\t\t\t", "\t\t\t\t", "\t\t\t\t"} << QRect(1, 1, 2, 1);
    QTest::newRow("formato propio: punto y coma y comillas son texto")
        << false << kTipoCeldas << QByteArray("1;2\t\"3\"\r\n") << QPoint(1, 1) << false << ""
        << QStringList{"3", "4", "1;2\t\"3\"\t\t\t", "\t\t\t\t", "\t\t\t\t"} << QRect(1, 1, 2, 1);
    QTest::newRow("un valor") << false << plano << QByteArray("7\r\n") << QPoint(2, 3) << false << ""
                              << QStringList{"3", "4", "\t\t\t\t", "\t\t\t\t", "\t7\t\t\t"} << QRect(2, 3, 1, 1);
    QTest::newRow("mas ancho: ampliar")
        << false << plano << QByteArray("1\t2\t3\t4\t5\t6\t7") << QPoint(1, 1) << true
        << "El bloque no cabe en la rejilla. ¿Ampliarla a 3 productos y 6 componentes? Con «No» se pega solo lo que cabe."
        << QStringList{"3", "6", "1\t2\t3\t4\t5\t6\t7", "\t\t\t\t\t\t", "\t\t\t\t\t\t"} << QRect(1, 1, 7, 1);
    QTest::newRow("mas alto: sin ampliar se pega lo que cabe")
        << false << plano << QByteArray("1\n2\n3\n4\n") << QPoint(1, 2) << false
        << "El bloque no cabe en la rejilla. ¿Ampliarla a 5 productos y 4 componentes? Con «No» se pega solo lo que cabe."
        << QStringList{"3", "4", "\t\t\t\t", "1\t\t\t\t", "2\t\t\t\t"} << QRect(1, 2, 1, 2);
    QTest::newRow("ampliar conserva las demandas")
        << true << plano << QByteArray("a\tb\tc\td\r\n") << QPoint(1, 3) << true
        << "El bloque no cabe en la rejilla. ¿Ampliarla a 3 productos y 3 componentes? Con «No» se pega solo lo que cabe."
        << QStringList{"3", "3", "1\t0\t\t2", "0\t1\t\t1", "a\tb\tc\td"} << QRect(1, 3, 4, 1);
}

void PruebaRejilla::Pegar() {
    QFETCH(bool, ejemplo);
    QFETCH(QString, tipo);
    QFETCH(QByteArray, datos);
    QFETCH(QPoint, desde);
    QFETCH(bool, ampliar);
    QFETCH(QString, pregunta);
    QFETCH(QStringList, lineas);
    QFETCH(QRect, seleccion);
    Ventana w(ejemplo);
    QVERIFY(w.Activa());
    const QStringList antes = w.Lineas();
    PonerEnPortapapeles(tipo, datos);
    w.Ir(desde.x(), desde.y());
    w.d.confirmaciones = {ampliar};
    Pulsar("{CtrlV}");
    QCOMPARE(w.d.preguntasConfirmar, pregunta.isEmpty() ? std::vector<QString>{} : std::vector<QString>{pregunta});
    QCOMPARE(w.Lineas(), lineas);
    const RangoCeldas r = w.rejilla->RangoSeleccionado();
    QCOMPARE(QRect(r.columna, r.fila, r.columnas, r.filas), seleccion);
    QCOMPARE(w.Actual(), seleccion.topLeft());
    QVERIFY(w.v.Cambios().Problema());
    QCOMPARE(w.Pila().count(), 1);
    Pulsar("{CtrlZ}");
    QCOMPARE(w.Lineas(), antes);
    QVERIFY(!w.v.Cambios().Problema());
    QVERIFY(w.d.errores.empty());
}

// Ctrl+C: the selected block as tab-separated lines with CR LF, as CSV, and in the
// program's own format; Ctrl+X also empties it, as one undo step.
void PruebaRejilla::CopiarYCortar() {
    Ventana w;
    QVERIFY(w.Activa());
    Rejilla(w.v).Cargar({"2", "2", "1\t2,5\t3", "4\t\"x\"\t6"});
    w.rejilla->SeleccionarRango({1, 1, 2, 2});
    Pulsar("{CtrlC}");
    const QMimeData* datos = QApplication::clipboard()->mimeData();
    QVERIFY(datos != nullptr);
    QCOMPARE(datos->text(), QString("1\t2,5\r\n4\t\"x\"\r\n"));
    QCOMPARE(datos->data("text/csv"), QByteArray("1,\"2,5\"\r\n4,\"\"\"x\"\"\"\r\n"));
    const BloqueTexto propio = BloqueDeDatos(*datos);  // the program's own format first
    QCOMPARE(propio.filas * 10 + propio.columnas, 22);
    QCOMPARE(propio.Celda(1, 1), std::string("\"x\""));
    QCOMPARE(w.Lineas(), (QStringList{"2", "2", "1\t2,5\t3", "4\t\"x\"\t6"}));  // copying changes nothing

    w.rejilla->SeleccionarRango({2, 1, 2, 1});
    Pulsar("{CtrlX}");
    QCOMPARE(QApplication::clipboard()->text(), QString("2,5\t3\r\n"));
    QCOMPARE(w.Lineas(), (QStringList{"2", "2", "1\t\t", "4\t\"x\"\t6"}));
    Pulsar("{CtrlZ}");
    QCOMPARE(w.Lineas(), (QStringList{"2", "2", "1\t2,5\t3", "4\t\"x\"\t6"}));
}

// Edición ▸ Copiar copies the report with the standard Ctrl+C; while the grid has the
// focus the key copies the grid's selection instead.
void PruebaRejilla::CtrlCDeLaRejillaAntesQueElDeLaVentana() {
    Ventana w;
    QVERIFY(Accion(w.v, "Copiar1")->shortcuts().contains(QKeySequence(QKeySequence::Copy)));
    w.v.EjecutarResolucion();
    QVERIFY(w.Activa());
    w.rejilla->SeleccionarRango({1, 2, 3, 1});
    Pulsar("{CtrlC}");
    QCOMPARE(QApplication::clipboard()->text(), QString("0\t1\t1\r\n"));
    Control<QTabWidget>(w.v, "PageControl1")->tabBar()->setFocus();
    Pulsar("{CtrlC}");
    QVERIFY(QApplication::clipboard()->text().startsWith("K\tDk1"));  // elsewhere it copies the report
    QVERIFY(w.d.errores.empty());
}

// The context menu as a right click opens it: each item enabled when it can act.
void PruebaRejilla::MenuContextual() {
    Ventana w;
    QVERIFY(w.Activa());
    const auto estado = [&] {
        std::unique_ptr<QMenu> menu(w.rejilla->MenuContextual());
        QStringList r;
        for (QAction* a : menu->actions())
            r << (a->isSeparator() ? QString("-") : a->text() + (a->isEnabled() ? "" : " (no)"));
        return r.join('|');
    };
    // Opens the menu and chooses an item, which must be enabled.
    const auto elegir = [&](const char* nombre) {
        std::unique_ptr<QMenu> menu(w.rejilla->MenuContextual());
        QAction* a = Accion(w.v, nombre);
        if (!menu->actions().contains(a) || !a->isEnabled()) return false;
        a->trigger();
        return true;
    };
    QCOMPARE(estado(), QString("Copiar|Cortar|Pegar (no)|Borrar|-|Deshacer (no)|Rehacer (no)"));
    QVERIFY(!elegir("MatrizPegar"));
    QVERIFY(elegir("MatrizCopiar"));
    w.Ir(2, 3);
    QVERIFY(elegir("MatrizPegar"));
    QCOMPARE(w.Lineas(), Texto(kEjemplo));  // the same 1 over a 1: no step
    w.Ir(2, 1);
    QVERIFY(elegir("MatrizPegar"));
    QCOMPARE(w.Lineas(), (QStringList{"3", "2", "1\t1\t2", "0\t1\t1", "1\t1\t1"}));
    QCOMPARE(estado(), QString("Copiar|Cortar|Pegar|Borrar|-|Deshacer|Rehacer (no)"));
    QVERIFY(elegir("MatrizBorrar"));
    QCOMPARE(w.Lineas(), (QStringList{"3", "2", "1\t\t2", "0\t1\t1", "1\t1\t1"}));
    QVERIFY(elegir("MatrizDeshacer"));
    QVERIFY(elegir("MatrizDeshacer"));
    QCOMPARE(w.Lineas(), Texto(kEjemplo));
    QCOMPARE(estado(), QString("Copiar|Cortar|Pegar|Borrar|-|Deshacer (no)|Rehacer"));
    QVERIFY(elegir("MatrizRehacer"));
    QCOMPARE(w.Lineas(), (QStringList{"3", "2", "1\t1\t2", "0\t1\t1", "1\t1\t1"}));
    QVERIFY(elegir("MatrizCortar"));
    QCOMPARE(QApplication::clipboard()->text(), QString("1\r\n"));
    QCOMPARE(w.Lineas(), (QStringList{"3", "2", "1\t\t2", "0\t1\t1", "1\t1\t1"}));
}

// Every edit, clear, paste and Items is a step; the problem counts as modified exactly
// while the stack is away from the state last saved or loaded.
void PruebaRejilla::DeshacerYCambiosPendientes() {
    Ventana w;
    ModeloMatriz& m = Rejilla(w.v);
    struct Paso {
        const char* que;
        std::function<void()> hacer;
        QStringList lineas;
        bool modificado;
    };
    const QStringList ejemplo = Texto(kEjemplo);
    const QStringList siete = {"3", "2", "7\t0\t2", "0\t1\t1", "1\t1\t1"};
    const QStringList cuatro = {"4", "2", "7\t0\t2", "0\t1\t1", "1\t1\t1", "\t\t"};
    const std::vector<Paso> pasos = {
        {"escribir", [&] { m.setData(m.IndiceDeCelda(1, 1), "7"); }, siete, true},
        {"deshacer", [&] { w.Pila().undo(); }, ejemplo, false},
        {"rehacer", [&] { w.Pila().redo(); }, siete, true},
        {"guardar", [&] { Accion(w.v, "TBGuardar")->trigger(); }, siete, false},
        {"deshacer lo guardado", [&] { w.Pila().undo(); }, ejemplo, true},
        {"rehacer hasta lo guardado", [&] { w.Pila().redo(); }, siete, false},
        {"Items",
         [&] {
             w.d.respuestas = {QString("4"), QString("2")};
             Accion(w.v, "TBItems")->trigger();
         },
         cuatro, true},
        {"Items que quita productos",
         [&] {
             w.d.respuestas = {QString("1"), QString("2")};
             w.d.confirmaciones = {true};
             Accion(w.v, "TBItems")->trigger();
         },
         {"1", "2", "7\t0\t2"}, true},
        {"deshacer Items devuelve los productos", [&] { w.Pila().undo(); }, cuatro, true},
        {"deshacer Items", [&] { w.Pila().undo(); }, siete, false},
        {"borrar", [&] { w.rejilla->SeleccionarRango({1, 2, 2, 2}); Pulsar("{Del}"); },
         {"3", "2", "7\t0\t2", "\t\t1", "\t\t1"}, true},
        {"deshacer borrar", [&] { w.Pila().undo(); }, siete, false},
        {"abrir olvida los pasos", [&] {
             w.d.nombres = {w.Ruta("p.brk")};
             Accion(w.v, "ArchivoAbrir")->trigger();
             w.Pila().undo();
         }, siete, false},
    };
    QVERIFY(w.Activa());
    for (const Paso& paso : pasos) {
        paso.hacer();
        QVERIFY2(w.d.errores.empty(), paso.que);
        QVERIFY2(w.Lineas() == paso.lineas, qPrintable(QString(paso.que) + ": " + w.Lineas().join('|')));
        QVERIFY2(w.v.Cambios().Problema() == paso.modificado, paso.que);
        QCOMPARE(w.v.isWindowModified(), paso.modificado);
    }
    QCOMPARE(LeerBytes(w.Ruta("p.brk")), std::string("3\r\n2\r\n7\t0\t2\r\n0\t1\t1\r\n1\t1\t1\r\n"));
}

// A value still being typed is what every command reads: "9" typed into cell (1, 1) and
// not committed.
void PruebaRejilla::LoQueSeVeEsLoQueCuenta_data() {
    QTest::addColumn<QString>("orden");
    QTest::newRow("Guardar") << "TBGuardar";
    QTest::newRow("Guardar problema") << "ArchivoGrabarProblema";
    QTest::newRow("Guardar problema como") << "ArchivoGrabarProblemaComo";
    QTest::newRow("Resolver") << "TBResolver";
    QTest::newRow("Resolver del menu") << "ResolverProblema";
    QTest::newRow("Items") << "TBItems";
    QTest::newRow("Nuevo pregunta") << "TBNuevo";
    QTest::newRow("cerrar pregunta") << "cerrar";
    QTest::newRow("Ctrl+S en la celda") << "{CtrlS}";
    QTest::newRow("F9 en la celda") << "{F9}";
}

void PruebaRejilla::LoQueSeVeEsLoQueCuenta() {
    QFETCH(QString, orden);
    Ventana w;
    QVERIFY(w.Activa());
    Pulsar("9");
    QCOMPARE(w.rejilla->TextoEnEdicion(), std::optional<QString>("9"));
    QCOMPARE(Rejilla(w.v).Matriz().Celda(1, 1), std::string("1"));  // nothing committed yet
    w.d.nombres = {w.Ruta("p.brk")};
    w.d.respuestas = {QString("3"), QString("2")};
    w.d.respuestasCambios = {RespuestaCambios::Cancelar};
    if (orden == "cerrar")
        QVERIFY(!w.v.close());
    else if (orden.startsWith('{'))
        Pulsar(orden);  // the key goes to the cell's editor
    else
        Accion(w.v, orden)->trigger();
    QVERIFY2(w.d.errores.empty(), qPrintable(w.d.Mensajes().join('|')));
    QVERIFY(!w.rejilla->TextoEnEdicion().has_value());
    QCOMPARE(Rejilla(w.v).Matriz().Celda(1, 1), std::string("9"));
    if (orden.contains("Guardar") || orden == "{CtrlS}")
        QCOMPARE(LeerBytes(w.Ruta("p.brk")).substr(6, 3), std::string("9\t0"));
    if (orden.contains("Resolver") || orden == "{F9}") QCOMPARE(w.v.Estado().Uso(1, 1), 9);
    if (orden == "TBNuevo" || orden == "cerrar") QCOMPARE(w.d.preguntasCambios.size(), size_t{1});
}

// Resolver and Guardar follow the grid while the last empty cell is typed and while the
// grid is not on screen.
void PruebaRejilla::HabilitacionSinPintar() {
    Ventana w(false);
    QVERIFY(w.Activa());
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 5; ++c)
            if (r != 3 || c != 5) Rejilla(w.v).PonerCelda(c, r, "1");
    QAction* resolver = Accion(w.v, "TBResolver");
    QVERIFY(!resolver->isEnabled());
    w.Ir(5, 3);
    Pulsar("2");
    QVERIFY(resolver->isEnabled());
    QVERIFY(Accion(w.v, "TBGuardar")->isEnabled());
    Pulsar("{BS}");
    QVERIFY(!resolver->isEnabled());
    Pulsar("3{Esc}");
    QVERIFY(!resolver->isEnabled());
    Pulsar("3{Enter}");
    QVERIFY(resolver->isEnabled());
    // Another page on screen: nothing of the grid is painted.
    Control<QTabWidget>(w.v, "PageControl1")->setCurrentIndex(1);
    QVERIFY(!w.rejilla->isVisible());
    w.Pila().undo();
    QVERIFY(!resolver->isEnabled());
    QVERIFY(!Accion(w.v, "ResolverProblema")->isEnabled());
    w.Pila().redo();
    QVERIFY(resolver->isEnabled());
    QVERIFY(Accion(w.v, "TBGuardar")->isEnabled());
}

// After a load or a resize the grid shows its top-left corner with the first data cell
// current; the panel shows every column up to half of the window.
void PruebaRejilla::SiempreALaVista() {
    Ventana w;
    QVERIFY(w.Activa());
    auto* panel = Control<QFrame>(w.v, "Panel1");
    auto* divisor = Control<QSplitter>(w.v, "Splitter1");
    const auto todasLasColumnasSeVen = [&] {
        const int ultima = w.rejilla->model()->columnCount() - 1;
        return w.rejilla->columnViewportPosition(ultima) + w.rejilla->columnWidth(ultima) <=
               w.rejilla->viewport()->width();
    };
    QTRY_VERIFY(todasLasColumnasSeVen());
    QVERIFY(divisor->handle(1)->isVisible() && divisor->handleWidth() >= 3);

    // A wide grid scrolled to a far cell, then another problem.
    w.d.respuestas = {QString("60"), QString("40")};
    Accion(w.v, "TBItems")->trigger();
    QCOMPARE(w.Actual(), QPoint(1, 1));
    QVERIFY(!todasLasColumnasSeVen());
    QVERIFY(std::abs(panel->width() - divisor->width() / 2) <= divisor->handleWidth());
    w.Ir(40, 55);
    QTRY_VERIFY(w.rejilla->horizontalScrollBar()->value() > 0 && w.rejilla->verticalScrollBar()->value() > 0);
    w.d.nombres = {w.Ruta("p.brk")};
    w.d.respuestasCambios = {RespuestaCambios::Descartar};
    Accion(w.v, "ArchivoAbrir")->trigger();
    QCOMPARE(w.Actual(), QPoint(1, 1));
    QCOMPARE(w.rejilla->horizontalScrollBar()->value(), 0);
    QCOMPARE(w.rejilla->verticalScrollBar()->value(), 0);
    QTRY_VERIFY(todasLasColumnasSeVen());
    QVERIFY(panel->width() >= 254);

    // Undoing a resize goes back to the corner as well.
    w.d.respuestas = {QString("60"), QString("40")};
    Accion(w.v, "TBItems")->trigger();
    w.Ir(40, 55);
    w.Pila().undo();
    QCOMPARE(w.Actual(), QPoint(1, 1));
    QCOMPARE(w.rejilla->verticalScrollBar()->value(), 0);
}

// Cells that will not convert are tinted with a tool tip, also while being typed; the
// mark changes nothing of what is saved, and a solve that fails on one selects it.
void PruebaRejilla::CeldasQueNoSonEnteros() {
    Ventana w;
    QVERIFY(w.Activa());
    ModeloMatriz& m = Rejilla(w.v);
    m.PonerCelda(2, 3, "1,5");
    m.PonerCelda(1, 2, "-7");
    m.PonerCelda(2, 2, "$1F");
    const auto marcada = [&](int c, int r) {
        const QModelIndex i = m.IndiceDeCelda(c, r);
        const bool tinte = m.data(i, Qt::BackgroundRole).value<QBrush>().color() == ModeloMatriz::ColorNoEntero();
        const bool consejo = m.data(i, Qt::ToolTipRole).toString() == "No es un número entero";
        if (tinte != consejo) qFatal("tint and tool tip disagree");
        return tinte;
    };
    QVERIFY(marcada(2, 3));
    QVERIFY(!marcada(1, 2));
    QVERIFY(!marcada(2, 2));
    QVERIFY(!marcada(1, 1));
    m.PonerCelda(1, 1, "");
    QVERIFY(!marcada(1, 1));  // missing, not wrong

    w.Ir(3, 1);
    Pulsar("2x");
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->palette().color(QPalette::Base), ModeloMatriz::ColorNoEntero());
    QCOMPARE(editor->toolTip(), QString("No es un número entero"));
    Pulsar("{BS}");
    QVERIFY(editor->palette().color(QPalette::Base) != ModeloMatriz::ColorNoEntero());
    Pulsar("{Esc}");

    m.PonerCelda(1, 1, "1");
    w.Ir(1, 1);
    Accion(w.v, "TBResolver")->trigger();
    QCOMPARE(w.d.Mensajes(), QStringList{"''1,5'' is not a valid integer value."});
    QCOMPARE(w.Actual(), QPoint(2, 3));
    const RangoCeldas r = w.rejilla->RangoSeleccionado();
    QCOMPARE(QRect(r.columna, r.fila, r.columnas, r.filas), QRect(2, 3, 1, 1));
    QCOMPARE(w.Lineas(), (QStringList{"3", "2", "1\t0\t2", "-7\t$1F\t1", "1\t1,5\t1"}));
}

// A grid of the header row only (no products) shows that row as cells that cannot be
// edited, selected or made current.
void PruebaRejilla::CabecerasNoSeEditan() {
    Ventana w;
    QVERIFY(w.Activa());
    w.d.respuestas = {QString("0"), QString("2")};
    w.d.confirmaciones = {true};
    Accion(w.v, "TBItems")->trigger();
    ModeloMatriz& m = Rejilla(w.v);
    QCOMPARE(m.rowCount(), 1);
    const QModelIndex cabecera = m.index(0, 1);
    QVERIFY(!(m.flags(cabecera) & (Qt::ItemIsEditable | Qt::ItemIsSelectable | Qt::ItemIsEnabled)));
    QVERIFY(!m.setData(cabecera, "x"));
    QVERIFY(!w.rejilla->currentIndex().isValid());
    QTest::mouseClick(w.rejilla->viewport(), Qt::LeftButton, {}, w.rejilla->visualRect(cabecera).center());
    QTest::mouseDClick(w.rejilla->viewport(), Qt::LeftButton, {}, w.rejilla->visualRect(cabecera).center());
    QVERIFY(!w.rejilla->currentIndex().isValid());
    Pulsar("5{Enter}{Del}");
    QCOMPARE(w.Lineas(), (QStringList{"0", "2"}));
    QCOMPARE(QString::fromStdString(m.Matriz().Celda(1, 0)), QString("1"));
    QVERIFY(w.rejilla->RangoSeleccionado().Vacio());
}

QTEST_MAIN(PruebaRejilla)
#include "test_rejilla.moc"
