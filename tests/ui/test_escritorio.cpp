// The program as a desktop user meets it: Qt's dialogs in the user's language, the error
// box with its explanation, the standard shortcuts, the Tab key's order, names and text
// for screen readers, the font dialog, and dialogs whose texts are not cut off.
#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTranslator>

#include "soporte/Controles.h"
#include "soporte/DialogosPrueba.h"
#include "ui/AleatorioU.h"
#include "ui/Dialogos.h"
#include "ui/Fuentes.h"
#include "ui/GraficosConsumo.h"
#include "ui/Main.h"
#include "ui/MemoInforme.h"
#include "ui/Traducciones.h"
#include "ui/VistaGrafico.h"

using namespace tavelorin;

namespace {

const std::vector<std::string> kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};

// The texts of the buttons of Qt's file dialog and message box, with the translation of a
// locale installed; the translation is removed again.
struct Botones {
    QString abrir, cancelar, aceptar;
};

QString SinAcelerador(QString texto) { return texto.remove(u'&'); }

Botones BotonesDeQt(const QList<QTranslator*>& instaladas) {
    Botones b;
    {
        QFileDialog archivo;
        archivo.setOption(QFileDialog::DontUseNativeDialog);
        archivo.setAcceptMode(QFileDialog::AcceptOpen);
        auto* caja = archivo.findChild<QDialogButtonBox*>();
        b.abrir = SinAcelerador(caja->button(QDialogButtonBox::Open)->text());
        b.cancelar = SinAcelerador(caja->button(QDialogButtonBox::Cancel)->text());
    }
    {
        QMessageBox mensaje(QMessageBox::Critical, "T", "m", QMessageBox::Ok);
        b.aceptar = SinAcelerador(mensaje.button(QMessageBox::Ok)->text());
    }
    for (QTranslator* t : instaladas) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    return b;
}

// The window shown and active, so its shortcuts and the Tab key work.
void Activar(TMainForm& v) {
    v.show();
    v.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&v));
}

QWidget* Boton(const TMainForm& v, const char* accion) {
    return Control<QToolBar>(v, "ToolBar1")->widgetForAction(Accion(v, accion));
}

// Widgets by name, so a failed comparison says which.
QStringList Nombres(const QList<QWidget*>& controles) {
    QStringList r;
    for (QWidget* w : controles)
        r << (w == nullptr ? QString("(nada)")
                           : !w->objectName().isEmpty() ? w->objectName()
                           : w->accessibleName().isEmpty() ? QString(w->metaObject()->className())
                                                           : w->accessibleName());
    return r;
}

}  // namespace

class PruebaEscritorio : public QObject {
    Q_OBJECT

private slots:
    void TraduccionesDeQt_data();
    void TraduccionesDeQt();
    void TraduccionesDelSistema();
    void CajaDeError();
    void ExplicacionEnLaVentana_data();
    void ExplicacionEnLaVentana();
    void TitulosSinCortar();
    void MargenesDelProblemaAleatorio();
    void Atajos_data();
    void Atajos();
    void AtajosQueAbrenElMenu();
    void OrdenDelTabulador();
    void NombresAccesibles();
    void InformeAccesible();
    void FuenteOfrecida();
    void FuenteCambiada_data();
    void FuenteCambiada();
    void FuenteDesdeLaVentana();
};

void PruebaEscritorio::TraduccionesDeQt_data() {
    QTest::addColumn<QString>("idioma");
    QTest::addColumn<QString>("abrir");
    QTest::addColumn<QString>("cancelar");
    QTest::addColumn<QString>("aceptar");
    QTest::newRow("español de España") << "es_ES" << "Abrir" << "Cancelar" << "Aceptar";
    QTest::newRow("español de México") << "es_MX" << "Abrir" << "Cancelar" << "Aceptar";
    QTest::newRow("inglés: sin traducción") << "en_US" << "Open" << "Cancel" << "OK";
}

void PruebaEscritorio::TraduccionesDeQt() {
    QFETCH(QString, idioma);
    QFETCH(QString, abrir);
    QFETCH(QString, cancelar);
    QFETCH(QString, aceptar);
    const QList<QTranslator*> instaladas = InstalarTraduccionesQt(QLocale(idioma));
    QCOMPARE(instaladas.isEmpty(), idioma.startsWith("en"));
    const Botones b = BotonesDeQt(instaladas);
    QCOMPARE(b.abrir, abrir);
    QCOMPARE(b.cancelar, cancelar);
    QCOMPARE(b.aceptar, aceptar);
}

// Run by CTest under LANG=es_ES.UTF-8: the user's own locale picks the translation.
void PruebaEscritorio::TraduccionesDelSistema() {
    const QByteArray esperado = qgetenv("TAVELORIN_ACEPTAR_ESPERADO");
    if (esperado.isEmpty()) QSKIP("se ejecuta aparte, con la configuración regional fijada por CTest");
    QCOMPARE(BotonesDeQt(InstalarTraduccionesQt()).aceptar, QString::fromUtf8(esperado));
}

void PruebaEscritorio::CajaDeError() {
    const QString explicacion = "El contenido de la celda (producto 2, componente 3) no es un número entero.";
    const auto caja = CrearCajaError(nullptr, "TAVELORIN", "''x'' is not a valid integer value.", explicacion);
    QCOMPARE(caja->windowTitle(), QString("TAVELORIN"));
    QCOMPARE(caja->icon(), QMessageBox::Critical);
    QCOMPARE(caja->text(), QString("''x'' is not a valid integer value."));
    QCOMPARE(caja->informativeText(), explicacion);
    QCOMPARE(caja->buttons().size(), 1);
    QCOMPARE(caja->standardButtons(), QMessageBox::Ok);
    // Without an explanation there is no informative text.
    QVERIFY(CrearCajaError(nullptr, "TAVELORIN", "Fin.", QString())->informativeText().isEmpty());
}

// Every error of the window reaches the box with its explanation.
void PruebaEscritorio::ExplicacionEnLaVentana_data() {
    QTest::addColumn<QString>("accion");
    QTest::addColumn<QStringList>("respuestas");
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<QString>("explicacion");
    QTest::newRow("celda") << "TBResolver" << QStringList{} << "''a'' is not a valid integer value."
                           << "El contenido de la celda (producto 2, componente 2) no es un número entero.";
    QTest::newRow("Items") << "TBItems" << QStringList{"tres", "4"} << "''tres'' is not a valid integer value."
                           << "El número de productos escrito en Items no es un número entero.";
    QTest::newRow("selector del gráfico") << "Button1" << QStringList{} << "''a'' is not a valid integer value."
                                          << "El número de componente del gráfico de tasas (junto a «Componente:») "
                                             "no es un número entero.";
}

void PruebaEscritorio::ExplicacionEnLaVentana() {
    QFETCH(QString, accion);
    QFETCH(QStringList, respuestas);
    QFETCH(QString, mensaje);
    QFETCH(QString, explicacion);
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    Rejilla(v).PonerCelda(2, 2, "a");
    for (const QString& r : respuestas) d.respuestas.push_back(r);
    if (accion == "Button1") {
        Control<QLineEdit>(v, "EComp")->setText("a");
        Control<QPushButton>(v, "Button1")->click();
    } else {
        Accion(v, accion)->trigger();
    }
    QCOMPARE(d.Mensajes(), QStringList{mensaje});
    QCOMPARE(d.explicaciones, std::vector<QString>{explicacion});
}

// The Items prompts and the error box are wide enough for their captions.
void PruebaEscritorio::TitulosSinCortar() {
    const auto items = CrearCajaTexto(nullptr, "Problema de Brisak", "Número de Productos", "3");
    items->show();
    QVERIFY(QTest::qWaitForWindowExposed(items.get()));
    QVERIFY2(items->width() >= AnchoParaTitulo(*items, "Problema de Brisak"), qPrintable(QString::number(items->width())));
    QVERIFY(AnchoParaTitulo(*items, "Problema de Brisak") > items->fontMetrics().horizontalAdvance("Problema de Brisak"));
    const auto error = CrearCajaError(nullptr, "TAVELORIN", "Out of memory.", QString());
    error->show();
    QVERIFY(QTest::qWaitForWindowExposed(error.get()));
    QVERIFY2(error->width() >= AnchoParaTitulo(*error, "TAVELORIN"), qPrintable(QString::number(error->width())));
}

// Every label of the random dialog lies inside the window with a margin, its text whole.
void PruebaEscritorio::MargenesDelProblemaAleatorio() {
    TFormAleatorio f;
    for (QLabel* l : f.findChildren<QLabel*>()) {
        const QString que = l->text() + QString(" en %1..%2").arg(l->x()).arg(l->geometry().right());
        QVERIFY2(l->x() >= 5 && l->geometry().right() <= f.width() - 5, qPrintable(que));
        QVERIFY2(l->sizeHint().width() <= l->width(), qPrintable(que));
    }
}

void PruebaEscritorio::Atajos_data() {
    QTest::addColumn<QString>("accion");
    QTest::addColumn<QString>("tecla");
    QTest::newRow("Nuevo") << "ArchivoNuevo" << "Ctrl+N";
    QTest::newRow("Abrir") << "ArchivoAbrir" << "Ctrl+O";
    QTest::newRow("Guardar") << "ArchivoGrabarProblema" << "Ctrl+S";
    QTest::newRow("Guardar como") << "ArchivoGrabarProblemaComo" << "Ctrl+Shift+S";
    QTest::newRow("Imprimir") << "ArchivoImprimir" << "Ctrl+P";
    QTest::newRow("Salir") << "ArchivoSalir" << "Ctrl+Q";
    QTest::newRow("Copiar") << "Copiar1" << "Ctrl+C";
    QTest::newRow("Resolver") << "ResolverProblema" << "F9";
    QTest::newRow("Acerca de") << "AyudaAcerdaDe" << "F1";
}

// The menus show the standard keys; the tool buttons, which share the commands, have none
// (the same key on two actions would trigger neither).
void PruebaEscritorio::Atajos() {
    QFETCH(QString, accion);
    QFETCH(QString, tecla);
    DialogosPrueba d;
    TMainForm v(d, {});
    QCOMPARE(Accion(v, accion)->shortcut().toString(QKeySequence::PortableText), tecla);
    for (const char* boton : {"TBNuevo", "ToolButton3", "TBGuardar", "TBImprimir", "TBResolver", "TBCopiar", "TBSalir"})
        QVERIFY2(Accion(v, boton)->shortcuts().isEmpty(), boton);
}

// A key does what opening its menu and choosing the item would do: the Archivo items'
// state is the one opening the menu would set, even if it has not been opened since.
void PruebaEscritorio::AtajosQueAbrenElMenu() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Activar(v);
    QTest::keyClick(&v, Qt::Key_P, Qt::ControlModifier);  // nothing solved: Imprimir is off
    QCOMPARE(d.dialogosImprimir, 0);
    QTest::keyClick(&v, Qt::Key_S, Qt::ControlModifier);  // the grid is not filled: Guardar is off
    QVERIFY(d.peticionesFichero.empty() && d.informaciones.empty());
    Rejilla(v).Cargar(kEjemplo);
    QTest::keyClick(&v, Qt::Key_S, Qt::ControlModifier);  // filled, never saved: asks for a name
    QCOMPARE(d.peticionesFichero.size(), size_t{1});
    QVERIFY(d.peticionesFichero[0].guardar);
    Control<VistaMatriz>(v, "Matriz")->viewport()->grab();  // the grid drawn: Resolver on
    QTest::keyClick(&v, Qt::Key_F9);
    QVERIFY(v.Resuelto());
    QTest::keyClick(&v, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(d.dialogosImprimir, 1);
    QTest::keyClick(&v, Qt::Key_F1);
    QCOMPARE(d.formulariosMostrados, 1);
    QTest::keyClick(&v, Qt::Key_N, Qt::ControlModifier);
    QVERIFY(!v.Resuelto());
    QTest::keyClick(&v, Qt::Key_P, Qt::ControlModifier);  // after Nuevo, off again
    QCOMPARE(d.dialogosImprimir, 1);
    QVERIFY(d.errores.empty());
}

// Tool bar, the page tabs, then the page: grid and report, or the selector, the chart
// and its legend.
void PruebaEscritorio::OrdenDelTabulador() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    Control<VistaMatriz>(v, "Matriz")->viewport()->grab();
    v.EjecutarResolucion();
    Activar(v);
    auto* paginas = Control<QTabWidget>(v, "PageControl1");
    auto* graficos = Control<GraficosConsumo>(v, "Graficos");
    QList<QWidget*> botones;
    for (const char* a : {"TBNuevo", "ToolButton3", "TBGuardar", "TBImprimir", "TBItems", "TBResolver", "TBCopiar", "TBSalir"})
        botones << Boton(v, a);
    auto recorrido = [&](int pagina, int pasos) {
        paginas->setCurrentIndex(pagina);
        botones.front()->setFocus(Qt::TabFocusReason);
        QList<QWidget*> visitados{QApplication::focusWidget()};
        for (int i = 0; i < pasos; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visitados << QApplication::focusWidget();
        }
        return visitados;
    };
    const QList<QWidget*> datos = recorrido(0, 9);
    QCOMPARE(Nombres(datos), Nombres(botones + QList<QWidget*>{paginas->tabBar(), Control<VistaMatriz>(v, "Matriz")}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // the grid lets Tab go
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(MemoDe(v)));
    const QList<QWidget*> tasas = recorrido(2, 14);
    QCOMPARE(Nombres(tasas),
             Nombres(botones + QList<QWidget*>{paginas->tabBar(), Control<QLineEdit>(v, "EComp"),
                                               Control<QPushButton>(v, "Button1"), Control<QPushButton>(v, "Button2"),
                                               graficos->VistaTas(), graficos->LeyendaTas(), botones.front()}));
    const QList<QWidget*> velocidades = recorrido(1, 11);
    QCOMPARE(Nombres(velocidades), Nombres(botones + QList<QWidget*>{paginas->tabBar(), graficos->VistaVel(),
                                                                     graficos->LeyendaVel(), botones.front()}));
}

// Whatever the keyboard can reach has a name a screen reader can say.
void PruebaEscritorio::NombresAccesibles() {
    DialogosPrueba d;
    TMainForm v(d, {});
    QStringList sinNombre;
    for (QWidget* w : v.findChildren<QWidget*>()) {
        // Focus proxies (a view's viewport) pass the focus on to a named control.
        if (!DeLaVentana(w, &v) || !(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() != nullptr) continue;
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
        if (i == nullptr || i->text(QAccessible::Name).trimmed().isEmpty())
            sinNombre << QString("%1 (%2 en %3)")
                             .arg(w->objectName(), w->metaObject()->className(),
                                  w->parentWidget() ? w->parentWidget()->metaObject()->className() : "");
    }
    QVERIFY2(sinNombre.isEmpty(), qPrintable(sinNombre.join(", ")));
    const struct {
        const char* control;
        const char* nombre;
    } nombres[] = {{"Matriz", "Datos del problema"},          {"Memo1", "Informe de la solución"},
                   {"EComp", "Componente"},                   {"ChartVelConVista", "Gráfico de velocidades de consumo"},
                   {"ChartTasConVista", "Gráfico de tasas de consumo"}, {"TBGrafVel", "Gráfico de velocidades de consumo"}};
    for (const auto& n : nombres)
        QCOMPARE(QAccessible::queryAccessibleInterface(Control<QWidget>(v, n.control))->text(QAccessible::Name),
                 QString::fromUtf8(n.nombre));
}

// The report read through Qt's accessible text interface, as AT-SPI tools read it.
void PruebaEscritorio::InformeAccesible() {
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    v.EjecutarResolucion();
    Activar(v);
    MemoInforme* memo = MemoDe(v);
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(memo);
    QVERIFY(i != nullptr);
    QCOMPARE(i->role(), QAccessible::EditableText);
    QVERIFY(i->state().multiLine);
    QAccessibleTextInterface* t = i->textInterface();
    QVERIFY(t != nullptr);
    const QString primera = memo->Linea(0), segunda = memo->Linea(1);
    QVERIFY(primera.startsWith("K\tDk1\tDk2\tDk3\ts1"));
    int inicio = -1, fin = -1;
    QCOMPARE(t->textAtOffset(0, QAccessible::LineBoundary, &inicio, &fin), primera + "\n");
    QCOMPARE(inicio, 0);
    QCOMPARE(fin, primera.size() + 1);
    QCOMPARE(t->textAfterOffset(0, QAccessible::LineBoundary, &inicio, &fin), segunda + "\n");
    QCOMPARE(t->textBeforeOffset(fin - 1, QAccessible::LineBoundary, &inicio, &fin), primera + "\n");
    QCOMPARE(t->textAtOffset(3, QAccessible::WordBoundary, &inicio, &fin), QString("Dk1"));
    QCOMPARE(t->textAtOffset(0, QAccessible::CharBoundary, &inicio, &fin), QString("K"));
    // The whole text, lines joined by '\n' (the memo's own text uses CR LF).
    QString entero = memo->Texto();
    entero.replace("\r\n", "\n");
    QCOMPARE(t->characterCount(), entero.size());
    QCOMPARE(t->text(0, t->characterCount()), entero);
    QCOMPARE(i->text(QAccessible::Value), entero);
    // Caret and selection both ways.
    memo->FijarCursor({1, 2});
    QCOMPARE(t->cursorPosition(), primera.size() + 1 + 2);
    t->setSelection(0, 2, 5);
    QCOMPARE(memo->TextoSeleccionado(), QString("Dk1"));
    QCOMPARE(t->selectionCount(), 1);
    t->selection(0, &inicio, &fin);
    QCOMPARE(inicio, 2);
    QCOMPARE(fin, 5);
    t->setCursorPosition(primera.size() + 1);
    QCOMPARE(memo->Cursor(), (Posicion{1, 0}));
    QCOMPARE(t->selectionCount(), 0);
    // Where a character lies on the screen, and back.
    const QRect rect = t->characterRect(2);
    QVERIFY(rect.width() > 0 && rect.height() > 0);
    QCOMPARE(t->offsetAtPoint(rect.center()), 2);
}

void PruebaEscritorio::FuenteOfrecida() {
    QFont memo("Courier New");
    memo.setStyleHint(QFont::Monospace);
    memo.setPixelSize(11);
    const QFont ofrecida = FuenteParaDialogo(memo, 96);
    QCOMPARE(ofrecida.family(), QFontInfo(memo).family());
    QCOMPARE(ofrecida.pointSizeF(), 8.25);
    QVERIFY(!ofrecida.bold());
    QFont puntos("Liberation Serif", 14);
    puntos.setBold(true);
    QCOMPARE(FuenteParaDialogo(puntos, 96).pointSizeF(), 14.0);
    QVERIFY(FuenteParaDialogo(puntos, 96).bold());
}

void PruebaEscritorio::FuenteCambiada_data() {
    QTest::addColumn<QFont>("elegida");
    QTest::addColumn<bool>("cambia");
    QFont ofrecida("Liberation Mono");
    ofrecida.setPointSizeF(8.25);
    QTest::newRow("la ofrecida") << ofrecida << false;
    QFont entera = ofrecida;
    entera.setPointSize(8);  // what the dialog gives back untouched: whole points
    QTest::newRow("la ofrecida en puntos enteros") << entera << false;
    QFont mayor = ofrecida;
    mayor.setPointSize(10);
    QTest::newRow("otro tamaño") << mayor << true;
    QFont negrita = ofrecida;
    negrita.setBold(true);
    QTest::newRow("negrita") << negrita << true;
    QFont otra = ofrecida;
    otra.setFamily("DejaVu Sans Mono");
    QTest::newRow("otra familia") << otra << true;
}

void PruebaEscritorio::FuenteCambiada() {
    QFETCH(QFont, elegida);
    QFETCH(bool, cambia);
    QFont ofrecida("Liberation Mono");
    ofrecida.setPointSizeF(8.25);
    const std::optional<QFont> r = tavelorin::FuenteCambiada(ofrecida, elegida);
    QCOMPARE(r.has_value(), cambia);
    if (cambia) QCOMPARE(*r, elegida);
}

// OK without a change keeps the report's font (its 11 pixels, not the 8 points shown).
void PruebaEscritorio::FuenteDesdeLaVentana() {
    DialogosPrueba d;
    TMainForm v(d, {});
    const QFont antes = MemoDe(v)->font();
    Accion(v, "Fuente1")->trigger();
    QCOMPARE(d.fuentesOfrecidas.size(), size_t{1});
    QFont igual = d.fuentesOfrecidas[0];
    igual.setPointSize(igual.pointSize());
    d.fuenteElegida = igual;
    Accion(v, "Fuente1")->trigger();
    QCOMPARE(MemoDe(v)->font(), antes);
    QFont mayor = igual;
    mayor.setPointSize(12);
    d.fuenteElegida = mayor;
    Accion(v, "Fuente1")->trigger();
    QCOMPARE(MemoDe(v)->font().pointSize(), 12);
}

QTEST_MAIN(PruebaEscritorio)
#include "test_escritorio.moc"
