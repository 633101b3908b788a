// The random problem through the main window: the dialog, its checks, and what changes.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "soporte/Controles.h"
#include "soporte/DialogosPrueba.h"
#include "ui/AleatorioU.h"
#include "ui/CambiosPendientes.h"
#include "ui/GraficosConsumo.h"
#include "ui/Main.h"
#include "ui/MemoInforme.h"
#include "ui/ModeloMatriz.h"

using namespace tavelorin;

namespace {

const std::vector<std::string> kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};

std::vector<std::string> Lineas(TMainForm& v) { return Rejilla(v).Matriz().LineasProblema(); }

TFormAleatorio& Formulario(QDialog& f) { return static_cast<TFormAleatorio&>(f); }

// A window with a solved problem saved as a file, its solution saved too.
struct Ventana {
    QTemporaryDir dir;
    DialogosPrueba d;
    TMainForm v{d, {}};
    QString memo;

    Ventana() {
        Rejilla(v).Cargar(kEjemplo);
        d.nombres = {dir.filePath("p.brk")};
        Accion(v, "ArchivoGrabarProblemaComo")->trigger();
        v.EjecutarResolucion();
        d.nombres = {dir.filePath("p.sol")};
        Accion(v, "ArchivoGrabarSolucionComo")->trigger();
        memo = MemoDe(v)->Texto();
    }

    // Nothing of the problem on screen has changed.
    void Intacto() {
        QCOMPARE(Lineas(v), kEjemplo);
        QCOMPARE(MemoDe(v)->Texto(), memo);
        QVERIFY(v.Resuelto());
        QCOMPARE(v.FicheroProblema(), dir.filePath("p.brk"));
        QCOMPARE(v.FicheroSolucion(), dir.filePath("p.sol"));
        QCOMPARE(v.windowTitle(), QString("TAVELORIN - p.brk[*]"));
        QVERIFY(!v.Cambios().Alguno());
        auto* graficos = Control<GraficosConsumo>(v, "Graficos");
        QCOMPARE(graficos->SeriesVel().size(), size_t{2});
        QCOMPARE(graficos->Xjk()->count(), 4);
    }
};

}  // namespace

class PruebaAleatorio : public QObject {
    Q_OBJECT

private slots:
    void Cancelado();
    void ConLosValoresIniciales();
    void CampoMalo_data();
    void CampoMalo();
    void CorregidoEnElDialogo();
    void AceptarNoCierraConUnCampoMalo();
    void AleatorioTeclado();
    void FormularioAleatorio();
};

void PruebaAleatorio::Cancelado() {
    Ventana w;
    const uint32_t semilla = w.v.Generador().SemillaAleatoria;
    w.d.alMostrarFormulario = [](QDialog& f) {
        Formulario(f).ENProd->setText("2");
        return false;
    };
    Accion(w.v, "Crearproblemaaleatorio1")->trigger();
    w.Intacto();
    QCOMPARE(w.v.Generador().SemillaAleatoria, semilla);
    QVERIFY(w.d.preguntasCambios.empty());  // nothing unsaved: no question
    // The next use shows the initial texts again.
    QString visto;
    w.d.alMostrarFormulario = [&](QDialog& f) {
        visto = Formulario(f).ENProd->text();
        return false;
    };
    Accion(w.v, "Crearproblemaaleatorio1")->trigger();
    QCOMPARE(visto, QString("10"));
}

void PruebaAleatorio::ConLosValoresIniciales() {
    Ventana w;
    w.d.alMostrarFormulario = [](QDialog&) { return true; };
    Accion(w.v, "Crearproblemaaleatorio1")->trigger();
    QVERIFY2(w.d.errores.empty(), qPrintable(w.d.Mensajes().join('|')));
    const MatrizProblema& m = Rejilla(w.v).Matriz();
    QCOMPARE(m.Filas(), 11);
    QCOMPARE(m.Columnas(), 22);
    QVERIFY(m.Completa());
    QVERIFY(w.v.FicheroProblema().isEmpty());
    QVERIFY(w.v.FicheroSolucion().isEmpty());
    QVERIFY(!w.v.Resuelto());
    QCOMPARE(MemoDe(w.v)->NumeroLineas(), 0);
    // Demands within 5..20, present quantities within 1..5: both ends reachable.
    bool cinco = false;
    for (int r = 1; r <= 10; ++r) {
        const int demanda = std::stoi(m.Celda(21, r));
        QVERIFY2(demanda >= 5 && demanda <= 20, m.Celda(21, r).c_str());
        for (int c = 1; c <= 20; ++c) {
            const int uso = std::stoi(m.Celda(c, r));
            QVERIFY2(uso >= 0 && uso <= 5, m.Celda(c, r).c_str());
            cinco |= uso == 5;
        }
    }
    QVERIFY(cinco);  // 200 cells, about 100 present: a 5 is all but certain
    // A generated problem is in no file: unsaved.
    QVERIFY(w.v.Cambios().Problema());
    QVERIFY(w.v.isWindowModified());
    QCOMPARE(w.v.windowTitle(), QString("TAVELORIN[*]"));
    w.v.EjecutarResolucion();  // and it solves
    QVERIFY(w.v.Resuelto());
}

// A bad field: the message, the dialog shown again with what was typed and that field
// selected; nothing else changes, whatever the user does next.
void PruebaAleatorio::CampoMalo_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("componentes negativos") << "ENComp" << "-3" << "El número de componentes no puede ser negativo (-3)";
    QTest::newRow("productos no enteros") << "ENProd" << "diez" << "''diez'' is not a valid integer value.";
    QTest::newRow("unidades minimas mal") << "ENUMin" << "5 " << "''5 '' is not a valid integer value.";
    QTest::newRow("probabilidad mala") << "EProbC" << "abc" << "'abc' is not a valid floating point value.";
    QTest::newRow("probabilidad enorme") << "EProbC" << "1e400" << "Floating point overflow.";
    QTest::newRow("demasiados productos") << "ENProd" << "134217725" << "Grid too large for operation.";
    QTest::newRow("productos que darian la vuelta") << "ENProd" << "2147483647" << "Grid too large for operation.";
    QTest::newRow("componentes que darian la vuelta") << "ENComp" << "2147483646" << "Out of memory.";
    QTest::newRow("unidades cruzadas")
        << "ENUMin" << "21"
        << "El número de unidades mínimas de producto (21) es mayor que el número de unidades máximas de producto (20)";
    QTest::newRow("cantidades cruzadas")
        << "ECantMax" << "0"
        << "La cantidad mínima de componente en producto (1) es mayor que la cantidad máxima de componente en producto (0)";
}

void PruebaAleatorio::CampoMalo() {
    QFETCH(QString, campo);
    QFETCH(QString, texto);
    QFETCH(QString, mensaje);
    Ventana w;
    const uint32_t semilla = w.v.Generador().SemillaAleatoria;
    // The crossed maximum is reported on its minimum, the field the message names first.
    const QString seleccionado = campo == "ECantMax" ? QString("ECantMin") : campo;
    int vistas = 0;
    TextosAleatorios segundaVez;
    QString enfocado, seleccion, textoSeleccionado;
    w.d.alMostrarFormulario = [&](QDialog& f) {
        if (++vistas == 1) {
            f.findChild<QLineEdit*>(campo)->setText(texto);
            return true;  // Aceptar
        }
        segundaVez = Formulario(f).Textos();
        enfocado = f.focusWidget() != nullptr ? f.focusWidget()->objectName() : QString();
        seleccion = f.findChild<QLineEdit*>(seleccionado)->selectedText();
        textoSeleccionado = f.findChild<QLineEdit*>(seleccionado)->text();
        return false;  // then Cancelar
    };
    Accion(w.v, "Crearproblemaaleatorio1")->trigger();
    QCOMPARE(vistas, 2);
    QCOMPARE(w.d.Mensajes(), QStringList{mensaje});
    TextosAleatorios esperados;
    std::string* campos[] = {&esperados.productos,     &esperados.componentes,    &esperados.unidadesMinimas,
                             &esperados.unidadesMaximas, &esperados.probabilidad, &esperados.cantidadMinima,
                             &esperados.cantidadMaxima};
    const QStringList nombres = {"ENProd", "ENComp", "ENUMin", "ENUMax", "EProbC", "ECantMin", "ECantMax"};
    *campos[nombres.indexOf(campo)] = texto.toStdString();
    QCOMPARE(segundaVez.productos, esperados.productos);
    QCOMPARE(segundaVez.componentes, esperados.componentes);
    QCOMPARE(segundaVez.unidadesMinimas, esperados.unidadesMinimas);
    QCOMPARE(segundaVez.cantidadMaxima, esperados.cantidadMaxima);
    QCOMPARE(segundaVez.probabilidad, esperados.probabilidad);
    QCOMPARE(enfocado, seleccionado);
    QCOMPARE(seleccion, textoSeleccionado);  // the whole text, ready to be typed over
    QVERIFY(!seleccion.isEmpty());
    w.Intacto();
    QCOMPARE(w.v.Generador().SemillaAleatoria, semilla);
}

void PruebaAleatorio::CorregidoEnElDialogo() {
    Ventana w;
    int vistas = 0;
    w.d.alMostrarFormulario = [&](QDialog& f) {
        auto& a = Formulario(f);
        a.ENProd->setText(++vistas == 1 ? "x" : "2");
        a.ENComp->setText("3");
        return true;
    };
    Accion(w.v, "Crearproblemaaleatorio1")->trigger();
    QCOMPARE(vistas, 2);
    QCOMPARE(w.d.Mensajes(), QStringList{"''x'' is not a valid integer value."});
    QCOMPARE(Rejilla(w.v).Matriz().Filas(), 3);
    QCOMPARE(Rejilla(w.v).Matriz().Columnas(), 5);
    QVERIFY(Rejilla(w.v).Matriz().Completa());
}

// The real dialog: "Aceptar" with a bad field leaves it open, the message shown over it.
void PruebaAleatorio::AceptarNoCierraConUnCampoMalo() {
    Ventana w;
    bool abiertoTrasError = false;
    QString enfocado;
    w.d.alMostrarFormulario = [&](QDialog& f) {
        auto& a = Formulario(f);
        f.show();
        a.ENUMax->setText("3");  // below the minimum 5
        a.BitBtn1->click();
        abiertoTrasError = f.isVisible() && f.result() != QDialog::Accepted;
        enfocado = f.focusWidget() != nullptr ? f.focusWidget()->objectName() : QString();
        a.ENUMin->setText("2");
        a.BitBtn1->click();
        return f.result() == QDialog::Accepted;
    };
    Accion(w.v, "Crearproblemaaleatorio1")->trigger();
    QVERIFY(abiertoTrasError);
    QCOMPARE(enfocado, QString("ENUMin"));
    QCOMPARE(w.d.formulariosMostrados, 1);
    QCOMPARE(w.d.Mensajes(), QStringList{"El número de unidades mínimas de producto (5) es mayor que el número de "
                                         "unidades máximas de producto (3)"});
    const MatrizProblema& m = Rejilla(w.v).Matriz();
    QCOMPARE(m.Filas(), 11);
    for (int r = 1; r <= 10; ++r) {
        const int demanda = std::stoi(m.Celda(21, r));
        QVERIFY(demanda >= 2 && demanda <= 3);
    }
}

void PruebaAleatorio::AleatorioTeclado() {
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

void PruebaAleatorio::FormularioAleatorio() {
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

QTEST_MAIN(PruebaAleatorio)
#include "test_aleatorio.moc"
