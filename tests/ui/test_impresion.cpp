// Printing the report: the line-printer layout on a recording surface, the command with
// its dialog and errors, and the real surface on a PDF printer.
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <utility>

#include "soporte/DialogosPrueba.h"
#include "core/Errores.h"
#include "ui/Impresion.h"
#include "ui/ManejoErrores.h"
#include "ui/MemoInforme.h"

using namespace tavelorin;

namespace {

// What a recording surface saw: "+" job start, "-" job end, "|" page break, "x,y:text"
// for every run drawn.
struct Grabacion {
    int32_t ancho = 100;
    int32_t alto = 200;
    int32_t altoTexto = 20;
    int32_t altoCaracter = 20;
    int32_t anchoMedio = 5;  // tab stops every 40
    int32_t resolucion = 600;
    int dibujosAntesDeFallar = -1;  // < 0: never fails
    std::function<void()> alPasarPagina;

    QStringList registro;
    QFont fuente;
    QColor color;
    int superficies = 0;
};

// The memo holding these lines, as a solve leaves it.
void Poner(MemoInforme& memo, const QStringList& lineas) {
    std::vector<std::string> utf8;
    for (const QString& l : lineas) utf8.push_back(l.toStdString());
    memo.ReemplazarLineas(std::move(utf8));
}

// Every character is 10 units wide but 'i' (1) and 'W' (30).
int AnchoDe(QChar c) {
    if (c == u'i') return 1;
    if (c == u'W') return 30;
    return 10;
}

class SuperficieGrabadora : public SuperficieImpresion {
public:
    explicit SuperficieGrabadora(Grabacion& g) : g_(g) {}
    void Comenzar() override { g_.registro << "+"; }
    void Terminar() override { g_.registro << "-"; }
    void NuevaPagina() override {
        Anotar("|");
        if (g_.alPasarPagina) g_.alPasarPagina();
    }
    int32_t AnchoPagina() override { return g_.ancho; }
    int32_t AltoPagina() override { return g_.alto; }
    int32_t ResolucionVertical() override { return g_.resolucion; }
    void FijarFuente(const QFont& fuente, const QColor& color) override {
        g_.fuente = fuente;
        g_.color = color;
    }
    int32_t AltoCaracter() override { return g_.altoCaracter; }
    int32_t AnchoMedioCaracter() override { return g_.anchoMedio; }
    QSize Extension(QStringView texto) override {
        int ancho = 0;
        for (QChar c : texto) ancho += AnchoDe(c);
        return {ancho, g_.altoTexto};
    }
    void Dibujar(int32_t x, int32_t y, QStringView texto) override {
        if (g_.dibujosAntesDeFallar == 0) throw ErrorTavelorin("Out of memory");
        if (g_.dibujosAntesDeFallar > 0) --g_.dibujosAntesDeFallar;
        Anotar(QStringLiteral("%1,%2:%3").arg(x).arg(y).arg(texto));
    }

private:
    // A layout that never ends fails the test instead of hanging it.
    void Anotar(const QString& suceso) {
        if (g_.registro.size() > 100000) throw std::runtime_error("la disposición no termina");
        g_.registro << suceso;
    }

    Grabacion& g_;
};

class SistemaPrueba : public SistemaImpresion {
public:
    bool superficieReal = false;
    Grabacion grabacion;

    std::unique_ptr<SuperficieImpresion> AbrirSuperficie(QPrinter& impresora) override {
        ++grabacion.superficies;
        if (superficieReal) return std::make_unique<SuperficieQt>(impresora);
        return std::make_unique<SuperficieGrabadora>(grabacion);
    }
};

class DialogoImprimirPrueba : public DialogoImprimir {
public:
    bool confirmar = true;
    int veces = 0;
    std::function<void(QPrinter&)> alConfirmar;

    bool Ejecutar(QWidget*, QPrinter& impresora) override {
        ++veces;
        if (confirmar && alConfirmar) alConfirmar(impresora);
        return confirmar;
    }
};

// The application's printer as this program makes it, named by no system printer.
void SinImpresoraDelSistema(QPrinter& impresora) { impresora.setOutputFormat(QPrinter::PdfFormat); }

QString Repetir(QChar c, int n) { return QString(n, c); }

// Pages of a PDF written by Qt.
int PaginasPdf(const QString& fichero) {
    QFile f(fichero);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    return static_cast<int>(f.readAll().count("/Type /Page\n"));
}

}  // namespace

class PruebaImpresion : public QObject {
    Q_OBJECT

private slots:
    void Disposicion_data();
    void Disposicion();
    void LineaParaImprimir_data();
    void LineaParaImprimir();
    void LineaLargaEntera_data();
    void LineaLargaEntera();
    void FuenteImpresora_data();
    void FuenteImpresora();
    void ImprimirMemo_data();
    void ImprimirMemo();
    void FuenteYColorDelMemo();
    void CancelarNoCambiaNada();
    void ConfirmarConservaLaEleccion();
    void Errores();
    void ErrorAlDibujarTerminaElTrabajo();
    void MemoCambiadoDuranteElTrabajo_data();
    void MemoCambiadoDuranteElTrabajo();
    void SinImpresorasEnEsteEquipo();
    void OpcionesDelDialogo_data();
    void OpcionesDelDialogo();
    void PaginasEnPdf_data();
    void PaginasEnPdf();
};

// --- The line printer ---

void PruebaImpresion::Disposicion_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<int>("ancho");
    QTest::addColumn<int>("alto");
    QTest::addColumn<int>("altoCaracter");
    QTest::addColumn<int>("anchoMedio");
    QTest::addColumn<QStringList>("esperado");
    struct Caso {
        const char* nombre;
        QString texto;
        int ancho, alto, altoCaracter, anchoMedio;
        QStringList esperado;
    };
    const QString a100 = Repetir(u'a', 100);
    const QString a128 = Repetir(u'a', 128);
    const Caso casos[] = {
        {"una línea", "abc\n", 100, 200, 20, 5, {"0,0:abc"}},
        {"líneas de texto a alto + 2", "abc\ndef\nghi", 100, 200, 20, 5, {"0,0:abc", "0,22:def", "0,44:ghi"}},
        // Tab stops every T = 8 average widths = 40: the smallest multiple greater than X + 1.
        {"tabulador desde 0", "\tb", 100, 200, 20, 5, {"40,0:b"}},
        {"tabulador desde T - 2", "aaaiiiiiiii\tb", 100, 200, 20, 5, {"0,0:aaaiiiiiiii", "40,0:b"}},
        {"tabulador desde T - 1", "aaaiiiiiiiii\tb", 100, 200, 20, 5, {"0,0:aaaiiiiiiiii", "80,0:b"}},
        {"tabulador desde T", "aaaa\tb", 100, 200, 20, 5, {"0,0:aaaa", "80,0:b"}},
        {"fila de informe", "K\tDk1\tDk2\n1\t0.5\t-1", 200, 200, 20, 5,
         {"0,0:K", "40,0:Dk1", "80,0:Dk2", "0,22:1", "40,22:0.5", "80,22:-1"}},
        {"tabulador más allá del borde", "aaaaaaaaa\tb", 100, 200, 20, 5, {"0,0:aaaaaaaaa", "0,22:b"}},
        // Three tabs end exactly on the right edge: no new line, so the line stays empty.
        {"tabulador hasta el borde", "\t\t\t\nb", 120, 200, 20, 5, {"0,20:b"}},
        {"T tomado módulo 65536", "\tb", 100, 200, 20, 8193, {"8,0:b"}},
        {"T nulo no mueve", "\tb", 100, 200, 20, 8192, {"0,0:b"}},
        {"línea del ancho exacto", "aaaaaaaaaa\nb", 100, 200, 20, 5, {"0,0:aaaaaaaaaa", "0,22:b"}},
        {"un carácter de más", "aaaaaaaaaaa\nb", 100, 200, 20, 5, {"0,0:aaaaaaaaaa", "0,22:a", "0,44:b"}},
        {"ajuste en varias líneas", Repetir(u'a', 25), 100, 200, 20, 5,
         {"0,0:aaaaaaaaaa", "0,22:aaaaaaaaaa", "0,44:aaaaa"}},
        {"ajuste tras un tabulador", "\taaaaaaa", 100, 200, 20, 5, {"40,0:aaaaaa", "0,22:a"}},
        {"corte en un carácter ancho", "aaaaaaaaW", 100, 200, 20, 5, {"0,0:aaaaaaaa", "0,22:W"}},
        {"carácter más ancho que la página", "W\nb", 20, 200, 20, 5, {"0,0:W", "0,22:b"}},
        {"carácter ancho tras otro", "aWa", 20, 200, 20, 5, {"0,0:a", "0,22:W", "0,44:a"}},
        // Page of 100, lines of 22: a line at k*22 stays on the page while k*22 <= 100 - 44.
        {"salto tras líneas de texto", "a\nb\nc\nd\n", 100, 100, 20, 5, {"0,0:a", "0,22:b", "0,44:c", "|", "0,0:d"}},
        {"página llena deja otra vacía", "a\nb\nc\n", 100, 100, 20, 5, {"0,0:a", "0,22:b", "0,44:c", "|"}},
        {"línea en el límite H - 2h", "a\nb\nc\nd\ne", 100, 110, 20, 5,
         {"0,0:a", "0,22:b", "0,44:c", "0,66:d", "|", "0,0:e"}},
        {"línea vacía entre dos de texto", "a\n\nb", 100, 200, 20, 5, {"0,0:a", "0,42:b"}},
        {"línea vacía a alto de carácter", "a\n\nb", 100, 200, 15, 5, {"0,0:a", "0,37:b"}},
        // After empty lines the page ends only once the position lies beyond the bottom edge.
        {"líneas vacías hasta el borde", "\n\n\n\n\na", 100, 100, 20, 5, {"0,100:a"}},
        {"líneas vacías más allá del borde", "\n\n\n\n\n\na", 100, 100, 20, 5, {"|", "0,0:a"}},
        {"avance de página", "a\fb\nc", 100, 200, 20, 5, {"0,0:a", "|", "0,0:b", "0,22:c"}},
        {"avance de página conserva el alto de la línea", "a\f\nb", 100, 200, 20, 5, {"0,0:a", "|", "0,22:b"}},
        {"avance de página en línea propia", "a\n\fb", 100, 200, 20, 5, {"0,0:a", "|", "0,0:b"}},
        {"retorno de carro solo parte el texto", "ab\rcd\nef", 100, 200, 20, 5, {"0,0:ab", "20,0:cd", "0,22:ef"}},
        {"otros controles son texto", QStringLiteral("a\x0b\x01") + "b", 100, 200, 20, 5,
         {QStringLiteral("0,0:a\x0b\x01") + "b"}},
        {"bloques de 128", Repetir(u'a', 300), 10000, 200, 20, 5,
         {"0,0:" + a128, "1280,0:" + a128, "2560,0:" + Repetir(u'a', 44)}},
        {"ajuste a través de dos bloques", Repetir(u'a', 130), 1000, 200, 20, 5,
         {"0,0:" + a100, "0,22:" + Repetir(u'a', 28), "280,22:aa"}},
        {"tabulador al empezar un bloque", a128 + "\tb", 10000, 200, 20, 5, {"0,0:" + a128, "1320,0:b"}},
    };
    for (const Caso& c : casos)
        QTest::newRow(c.nombre) << c.texto << c.ancho << c.alto << c.altoCaracter << c.anchoMedio << c.esperado;
}

void PruebaImpresion::Disposicion() {
    QFETCH(QString, texto);
    QFETCH(int, ancho);
    QFETCH(int, alto);
    QFETCH(int, altoCaracter);
    QFETCH(int, anchoMedio);
    QFETCH(QStringList, esperado);
    Grabacion g;
    g.ancho = ancho;
    g.alto = alto;
    g.altoCaracter = altoCaracter;
    g.anchoMedio = anchoMedio;
    SuperficieGrabadora superficie(g);
    CursorImpresion cursor(superficie);
    cursor.ImprimirEnBloques(texto);
    QCOMPARE(g.registro, esperado);
}

// --- Text of a line ---

void PruebaImpresion::LineaParaImprimir_data() {
    QTest::addColumn<QString>("linea");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("ascii") << "K\tDk1\t0.5" << "K\tDk1\t0.5";
    QTest::newRow("latin-1") << "año Ñandú" << "año Ñandú";
    QTest::newRow("bytes 0x80-0x9f") << "€ “x” … ‰ Ÿ" << "€ “x” … ‰ Ÿ";
    QTest::newRow("fuera del juego") << "Ωx→" << "?x?";
    QTest::newRow("fuera del plano básico") << "a😀b" << "a?b";
    QTest::newRow("vacía") << "" << "";
}

void PruebaImpresion::LineaParaImprimir() {
    QFETCH(QString, linea);
    QFETCH(QString, esperado);
    QCOMPARE(tavelorin::LineaParaImprimir(linea), esperado);
}

void PruebaImpresion::LineaLargaEntera_data() {
    QTest::addColumn<QString>("linea");
    QTest::addColumn<QString>("impreso");
    QString cifras;
    for (int i = 0; i < 500; ++i) cifras += "0123456789";
    QTest::newRow("5000 caracteres") << cifras << cifras;
    QTest::newRow("4096 caracteres") << cifras.left(4096) << cifras.left(4096);
    QTest::newRow("4097 caracteres") << cifras.left(4097) << cifras.left(4097);
    QTest::newRow("un par suplente tras el 4096") << Repetir(u'a', 4095) + "😀b" << Repetir(u'a', 4095) + "?b";
    // A report row of a large problem: Q = 20000 gives rows of about 80000 characters.
    QTest::newRow("80000 caracteres") << Repetir(u'7', 80000) << Repetir(u'7', 80000);
}

// A long memo line prints every character, wrapped over as many lines as it needs.
void PruebaImpresion::LineaLargaEntera() {
    QFETCH(QString, linea);
    QFETCH(QString, impreso);
    MemoInforme memo;
    Poner(memo, {linea});
    SistemaPrueba sistema;
    sistema.grabacion.ancho = 1000;  // 100 characters a line
    sistema.grabacion.alto = 1000000;
    QPrinter impresora;
    DialogoImprimirPrueba dialogo;
    ImprimirSolucion(nullptr, impresora, memo, dialogo, sistema);
    QStringList registro = sistema.grabacion.registro;
    QCOMPARE(registro.takeFirst(), QString("+"));
    QCOMPARE(registro.takeLast(), QString("-"));
    // The pieces drawn, gathered by printed line (they split at block ends too).
    std::map<int, QString> filas;
    for (const QString& r : registro) {
        const qsizetype dos = r.indexOf(u':');
        filas[r.left(dos).section(',', 1, 1).toInt()] += r.mid(dos + 1);
    }
    QString texto;
    int n = 0;
    for (const auto& [y, fila] : filas) {
        QCOMPARE(y, 22 * n);
        if (++n < int(filas.size())) QCOMPARE(fila.size(), qsizetype{100});
        texto += fila;
    }
    QCOMPARE(n, int((impreso.size() + 99) / 100));
    QCOMPARE(texto, impreso);
}

void PruebaImpresion::FuenteImpresora_data() {
    QTest::addColumn<QFont>("memo");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("resolucion");
    QTest::addColumn<int>("pixeles");
    auto pixeles = [](int n) {
        QFont f(QStringLiteral("Courier New"));
        f.setPixelSize(n);
        return f;
    };
    auto puntos = [](qreal p) {
        QFont f(QStringLiteral("Courier New"));
        f.setPointSizeF(p);
        return f;
    };
    // 11 px at 96 dpi = 8.25 pt -> 8 pt; 8 pt at 600 dpi = 66.7 -> 67.
    QTest::newRow("fuente inicial a 600") << pixeles(11) << 96 << 600 << 67;
    QTest::newRow("fuente inicial a 1200") << pixeles(11) << 96 << 1200 << 133;
    QTest::newRow("14 px = 10.5 pt -> 11 pt") << pixeles(14) << 96 << 72 << 11;
    QTest::newRow("13 px a 120 dpi = 7.8 pt") << pixeles(13) << 120 << 72 << 8;
    QTest::newRow("10 pt a 300") << puntos(10) << 96 << 300 << 42;
    QTest::newRow("8.4 pt -> 8 pt") << puntos(8.4) << 96 << 72 << 8;
    QTest::newRow("10.5 pt -> 11 pt") << puntos(10.5) << 96 << 72 << 11;
    QTest::newRow("media unidad hacia arriba") << puntos(5) << 96 << 36 << 3;
    QTest::newRow("pantalla a 96") << puntos(12) << 96 << 96 << 16;
}

void PruebaImpresion::FuenteImpresora() {
    QFETCH(QFont, memo);
    QFETCH(int, dpi);
    QFETCH(int, resolucion);
    QFETCH(int, pixeles);
    memo.setBold(true);
    memo.setItalic(true);
    memo.setUnderline(true);
    const QFont f = tavelorin::FuenteImpresora(memo, dpi, resolucion);
    QCOMPARE(f.pixelSize(), pixeles);
    QCOMPARE(f.family(), memo.family());
    QVERIFY(f.bold() && f.italic() && f.underline());
}

// --- The command ---

void PruebaImpresion::ImprimirMemo_data() {
    QTest::addColumn<QStringList>("memo");
    QTest::addColumn<int>("alto");
    QTest::addColumn<QStringList>("esperado");
    QTest::newRow("memo vacío: una página vacía") << QStringList{} << 200 << QStringList{"+", "-"};
    QTest::newRow("cada línea acaba en salto") << QStringList{"a", "b"} << 200 << QStringList{"+", "0,0:a", "0,22:b", "-"};
    QTest::newRow("salto final sin línea") << QStringList{"a"} << 15 << QStringList{"+", "0,0:a", "|", "-"};
    QTest::newRow("líneas vacías") << QStringList{"a", "", "", "b"} << 200 << QStringList{"+", "0,0:a", "0,62:b", "-"};
    QTest::newRow("convertida a Windows-1252") << QStringList{"año 2€ Ω"} << 200
                                               << QStringList{"+", "0,0:año 2€ ?", "-"};
    QTest::newRow("avance de página en el memo") << QStringList{"a\fb"} << 200
                                                 << QStringList{"+", "0,0:a", "|", "0,0:b", "-"};
}

void PruebaImpresion::ImprimirMemo() {
    QFETCH(QStringList, memo);
    QFETCH(int, alto);
    QFETCH(QStringList, esperado);
    MemoInforme m;
    Poner(m, memo);
    SistemaPrueba sistema;
    sistema.grabacion.alto = alto;
    QPrinter impresora;
    DialogoImprimirPrueba dialogo;
    ImprimirSolucion(nullptr, impresora, m, dialogo, sistema);
    QCOMPARE(dialogo.veces, 1);
    QCOMPARE(sistema.grabacion.registro, esperado);
}

void PruebaImpresion::FuenteYColorDelMemo() {
    MemoInforme memo;
    QFont fuente(QStringLiteral("Liberation Serif"));
    fuente.setPointSize(10);
    fuente.setBold(true);
    memo.setFont(fuente);
    QPalette paleta = memo.palette();
    paleta.setColor(QPalette::Text, QColor(0x80, 0x10, 0x20));
    memo.setPalette(paleta);
    Poner(memo, {"a"});
    SistemaPrueba sistema;
    sistema.grabacion.resolucion = 1200;
    QPrinter impresora;
    DialogoImprimirPrueba dialogo;
    ImprimirSolucion(nullptr, impresora, memo, dialogo, sistema);
    // 10 pt at the printer's 1200 dpi, whatever the screen's resolution.
    QCOMPARE(sistema.grabacion.fuente.pixelSize(), 167);
    QCOMPARE(sistema.grabacion.fuente.family(), fuente.family());
    QVERIFY(sistema.grabacion.fuente.bold());
    QCOMPARE(sistema.grabacion.color, QColor(0x80, 0x10, 0x20));
}

void PruebaImpresion::CancelarNoCambiaNada() {
    MemoInforme memo;
    Poner(memo, {"a", "b"});
    SistemaPrueba sistema;
    QPrinter impresora;
    impresora.setCopyCount(2);
    impresora.setDocName("anterior");
    const QPageLayout pagina = impresora.pageLayout();
    DialogoImprimirPrueba dialogo;
    dialogo.confirmar = false;
    DialogosPrueba d;
    QVERIFY(EjecutarComando(d, nullptr, [&] { ImprimirSolucion(nullptr, impresora, memo, dialogo, sistema); }));
    QCOMPARE(dialogo.veces, 1);
    QVERIFY(d.errores.empty());
    QCOMPARE(sistema.grabacion.superficies, 0);
    QVERIFY(sistema.grabacion.registro.isEmpty());
    QCOMPARE(impresora.copyCount(), 2);
    QCOMPARE(impresora.docName(), QString("anterior"));
    QVERIFY(impresora.pageLayout().isEquivalentTo(pagina));
    QCOMPARE(memo.Texto(), QString("a\r\nb\r\n"));
}

// The copies are the printer's business: the text is sent once, and the choice stays.
void PruebaImpresion::ConfirmarConservaLaEleccion() {
    MemoInforme memo;
    Poner(memo, {"a"});
    SistemaPrueba sistema;
    QPrinter impresora;
    DialogoImprimirPrueba dialogo;
    dialogo.alConfirmar = [](QPrinter& p) {
        p.setCopyCount(3);
        p.setCollateCopies(true);
        p.setPageOrientation(QPageLayout::Landscape);
    };
    ImprimirSolucion(nullptr, impresora, memo, dialogo, sistema);
    QCOMPARE(sistema.grabacion.registro, (QStringList{"+", "0,0:a", "-"}));
    QCOMPARE(impresora.copyCount(), 3);
    QVERIFY(impresora.collateCopies());
    QCOMPARE(impresora.pageLayout().orientation(), QPageLayout::Landscape);
    dialogo.alConfirmar = nullptr;
    ImprimirSolucion(nullptr, impresora, memo, dialogo, sistema);
    QCOMPARE(impresora.copyCount(), 3);
    QCOMPARE(sistema.grabacion.superficies, 2);
}

// Each error as the application shows it; the next print after any of them works.
void PruebaImpresion::Errores() {
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    struct Entorno {
        MemoInforme memo;
        QPrinter impresora{QPrinter::HighResolution};
        SistemaPrueba sistema;
        DialogoImprimirPrueba dialogo;
    };
    struct Caso {
        const char* nombre;
        std::function<void(Entorno&)> preparar;
        QString mensaje;
        int dialogos;
    };
    const QString inexistente = carpeta.filePath("no/existe.pdf");
    const Caso casos[] = {
        {"impresora que no se abre",
         [](Entorno& e) {
             SinImpresoraDelSistema(e.impresora);
             e.sistema.superficieReal = true;
         },
         "Printer selected is not valid.", 1},
        {"trabajo rechazado",
         [&](Entorno& e) {
             e.impresora.setOutputFileName(inexistente);
             e.sistema.superficieReal = true;
         },
         "Printer is not currently printing.", 1},
        {"trabajo rechazado con memo vacío",
         [&](Entorno& e) {
             e.memo.Vaciar();
             e.impresora.setOutputFileName(inexistente);
             e.sistema.superficieReal = true;
         },
         "Printer is not currently printing.", 1},
    };
    for (const Caso& caso : casos) {
        Entorno e;
        Poner(e.memo, {"a\tb", "c"});
        caso.preparar(e);
        DialogosPrueba d;
        QVERIFY2(!EjecutarComando(d, nullptr, [&] { ImprimirSolucion(nullptr, e.impresora, e.memo, e.dialogo, e.sistema); }),
                 caso.nombre);
        QCOMPARE(d.errores.size(), size_t{1});
        QCOMPARE(d.errores[0].first, QString("TAVELORIN"));
        QCOMPARE(d.errores[0].second, caso.mensaje);
        QCOMPARE(e.dialogo.veces, caso.dialogos);
        QVERIFY2(!QFile::exists(inexistente), caso.nombre);

        // A later job on a working printer is not refused as "in progress".
        e.sistema.superficieReal = false;
        Poner(e.memo, {"x"});
        ImprimirSolucion(nullptr, e.impresora, e.memo, e.dialogo, e.sistema);
        QCOMPARE(e.sistema.grabacion.registro, (QStringList{"+", "0,0:x", "-"}));
    }

    // A print command while a job is being handed over.
    Entorno e;
    Poner(e.memo, {"a\fb"});
    DialogosPrueba anidado;
    bool intentado = false;
    e.sistema.grabacion.alPasarPagina = [&] {
        if (std::exchange(intentado, true)) return;
        EjecutarComando(anidado, nullptr, [&] { ImprimirSolucion(nullptr, e.impresora, e.memo, e.dialogo, e.sistema); });
    };
    ImprimirSolucion(nullptr, e.impresora, e.memo, e.dialogo, e.sistema);
    QCOMPARE(anidado.Mensajes(), QStringList{"Printing in progress."});
    QCOMPARE(e.dialogo.veces, 1);
    QCOMPARE(e.sistema.grabacion.superficies, 1);
    QCOMPARE(e.sistema.grabacion.registro, (QStringList{"+", "0,0:a", "|", "0,0:b", "-"}));
}

// An error while drawing ends the job with the pages drawn so far; the error is the one reported.
void PruebaImpresion::ErrorAlDibujarTerminaElTrabajo() {
    MemoInforme memo;
    Poner(memo, {"a", "b", "c"});
    SistemaPrueba sistema;
    sistema.grabacion.dibujosAntesDeFallar = 1;
    QPrinter impresora;
    DialogoImprimirPrueba dialogo;
    DialogosPrueba d;
    QVERIFY(!EjecutarComando(d, nullptr, [&] { ImprimirSolucion(nullptr, impresora, memo, dialogo, sistema); }));
    QCOMPARE(d.Mensajes(), QStringList{"Out of memory."});
    QCOMPARE(sistema.grabacion.registro, (QStringList{"+", "0,0:a", "-"}));
    sistema.grabacion.dibujosAntesDeFallar = -1;
    ImprimirSolucion(nullptr, impresora, memo, dialogo, sistema);
    QCOMPARE(sistema.grabacion.superficies, 2);
}

void PruebaImpresion::MemoCambiadoDuranteElTrabajo_data() {
    QTest::addColumn<QStringList>("nuevo");
    QTest::addColumn<QStringList>("esperado");
    // Page of 30: every text line ends its page.
    QTest::newRow("memo más corto: líneas vacías") << QStringList{"x"} << QStringList{"+", "0,0:a", "|", "|", "-"};
    QTest::newRow("memo más largo: cuenta tomada al empezar")
        << QStringList{"x", "y", "z", "w"} << QStringList{"+", "0,0:a", "|", "0,0:y", "|", "0,0:z", "|", "-"};
}

void PruebaImpresion::MemoCambiadoDuranteElTrabajo() {
    QFETCH(QStringList, nuevo);
    QFETCH(QStringList, esperado);
    MemoInforme memo;
    Poner(memo, {"a", "b", "c"});
    SistemaPrueba sistema;
    sistema.grabacion.alto = 30;
    bool cambiado = false;
    sistema.grabacion.alPasarPagina = [&] {
        if (cambiado) return;
        cambiado = true;
        Poner(memo, nuevo);
    };
    QPrinter impresora;
    DialogoImprimirPrueba dialogo;
    ImprimirSolucion(nullptr, impresora, memo, dialogo, sistema);
    QCOMPARE(sistema.grabacion.registro, esperado);
}

// A machine without printers prints all the same: the dialog opens on a PDF file.
void PruebaImpresion::SinImpresorasEnEsteEquipo() {
    if (!QPrinterInfo::availablePrinterNames().isEmpty() || !QPrinterInfo::defaultPrinterName().isEmpty())
        QSKIP("este equipo tiene impresoras");
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    MemoInforme memo;
    Poner(memo, {"a"});
    QPrinter impresora;
    QCOMPARE(impresora.outputFormat(), QPrinter::PdfFormat);
    DialogoImprimirPrueba dialogo;
    dialogo.alConfirmar = [&](QPrinter& p) { p.setOutputFileName(carpeta.filePath("sin-impresora.pdf")); };
    DialogosPrueba d;
    QVERIFY(EjecutarComando(d, nullptr, [&] { ImprimirSolucion(nullptr, impresora, memo, dialogo); }));
    QVERIFY(d.errores.empty());
    QCOMPARE(dialogo.veces, 1);
    QCOMPARE(PaginasPdf(carpeta.filePath("sin-impresora.pdf")), 1);
}

void PruebaImpresion::OpcionesDelDialogo_data() {
    QTest::addColumn<int>("opcion");
    QTest::addColumn<bool>("ofrecida");
    QTest::newRow("copias con intercalado") << int(QAbstractPrintDialog::PrintCollateCopies) << true;
    QTest::newRow("ajustes de la impresora") << int(QAbstractPrintDialog::PrintShowPageSize) << true;
    QTest::newRow("sin intervalo de páginas") << int(QAbstractPrintDialog::PrintPageRange) << false;
    QTest::newRow("sin selección") << int(QAbstractPrintDialog::PrintSelection) << false;
    QTest::newRow("sin página actual") << int(QAbstractPrintDialog::PrintCurrentPage) << false;
    QTest::newRow("imprimir a un archivo PDF") << int(QAbstractPrintDialog::PrintToFile) << true;
}

void PruebaImpresion::OpcionesDelDialogo() {
    QFETCH(int, opcion);
    QFETCH(bool, ofrecida);
    QPrinter impresora;
    QPrintDialog dialogo(&impresora);
    PrepararDialogoImprimir(dialogo);
    QCOMPARE(dialogo.testOption(static_cast<QAbstractPrintDialog::PrintDialogOption>(opcion)), ofrecida);
    QCOMPARE(dialogo.printRange(), QAbstractPrintDialog::AllPages);
}

// --- The real surface ---

void PruebaImpresion::PaginasEnPdf_data() {
    QTest::addColumn<int>("deMas");
    QTest::addColumn<QString>("final");
    QTest::addColumn<int>("paginas");
    QTest::newRow("cabe en una página") << -1 << "" << 1;
    // The line feed after the last line that fits ends the page: a blank one follows.
    QTest::newRow("página llena") << 0 << "" << 2;
    QTest::newRow("una línea en la segunda") << 1 << "" << 2;
    QTest::newRow("avance de página al final") << -1 << "\f" << 2;
}

// Lines of the printer font's height + 2 stay on a page while their top k*h <= H - 2h.
void PruebaImpresion::PaginasEnPdf() {
    QFETCH(int, deMas);
    QFETCH(QString, final);
    QFETCH(int, paginas);
    QTemporaryDir carpeta;
    QVERIFY(carpeta.isValid());
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setOutputFileName(carpeta.filePath("informe.pdf"));
    MemoInforme memo;
    const QFont fuente = tavelorin::FuenteImpresora(memo.font(), memo.logicalDpiY(), impresora.resolution());
    const int h = QFontMetrics(fuente, &impresora).height() + 2;
    const int caben = (impresora.height() - 2 * h) / h + 1;
    QStringList lineas;
    for (int i = 0; i < caben + deMas; ++i) lineas << QString("%1\tfila").arg(i);
    lineas.last() += final;
    Poner(memo, lineas);
    SistemaPrueba sistema;
    sistema.superficieReal = true;
    DialogoImprimirPrueba dialogo;
    ImprimirSolucion(nullptr, impresora, memo, dialogo, sistema);
    QCOMPARE(PaginasPdf(carpeta.filePath("informe.pdf")), paginas);
}

QTEST_MAIN(PruebaImpresion)
#include "test_impresion.moc"
