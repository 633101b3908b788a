// The report on paper and in PDF files: printing to a PDF file on a machine without
// printers, the PDF export (the same pages, replaced atomically), the print preview and
// the printer set-up. The PDF files are read back with poppler's pdfinfo and pdftotext.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDialogButtonBox>
#include <QFile>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <unistd.h>

#include "core/Errores.h"
#include "files/ReemplazoAtomico.h"
#include "soporte/Controles.h"
#include "soporte/DialogosPrueba.h"
#include "ui/Dialogos.h"
#include "ui/Impresion.h"
#include "ui/Main.h"
#include "ui/ManejoErrores.h"
#include "ui/MemoInforme.h"

using namespace tavelorin;

namespace {

const std::vector<std::string> kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};

// A PDF file as poppler reads it: its pages and, per page, its text with the blanks
// between words made single spaces.
struct Pdf {
    int paginas = -1;
    QStringList textos;
};

QString Ejecutar(const QString& programa, const QStringList& argumentos) {
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

Pdf LeerPdf(const QString& fichero) {
    Pdf pdf;
    const QRegularExpressionMatch m =
        QRegularExpression("^Pages:\\s+(\\d+)", QRegularExpression::MultilineOption)
            .match(Ejecutar("pdfinfo", {fichero}));
    if (!m.hasMatch()) return pdf;
    pdf.paginas = m.captured(1).toInt();
    for (const QString& pagina : Ejecutar("pdftotext", {"-layout", fichero, "-"}).split(u'\f')) {
        QStringList lineas;
        for (const QString& l : pagina.split(u'\n')) lineas << l.simplified();
        pdf.textos << lineas.join(u'\n').trimmed();
    }
    if (!pdf.textos.isEmpty() && pdf.textos.back().isEmpty()) pdf.textos.removeLast();
    return pdf;
}

// poppler-utils is installed by scripts/dependencias.sh.
bool HayPoppler() {
    return !QStandardPaths::findExecutable("pdftotext").isEmpty() && !QStandardPaths::findExecutable("pdfinfo").isEmpty();
}

void Poner(MemoInforme& memo, const QStringList& lineas) {
    std::vector<std::string> utf8;
    for (const QString& l : lineas) utf8.push_back(l.toStdString());
    memo.ReemplazarLineas(std::move(utf8));
}

QString LeerTodo(const QString& fichero) {
    QFile f(fichero);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
}

// How many lines of the memo's font fit on the printer's page, by the line printer's rule.
int LineasPorPagina(QPrinter& impresora, const MemoInforme& memo) {
    const QFont fuente = FuenteImpresora(memo.font(), memo.logicalDpiY(), impresora.resolution());
    const int h = QFontMetrics(fuente, &impresora).height() + 2;
    return (impresora.height() - 2 * h) / h + 1;
}

}  // namespace

class PruebaExportar : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void ImprimirAPdfSinImpresora();
    void VariasPaginas();
    void ExportarAPdf();
    void ExportarAPdfNoDestruyeNada_data();
    void ExportarAPdfNoDestruyeNada();
    void VistaPreliminarDesdeLaVentana();
    void VistaPreliminarReal();
    void ErrorEnLaVistaPreliminar();
    void ConfigurarImpresora();
};

void PruebaExportar::initTestCase() {
    QVERIFY2(HayPoppler(), "faltan pdfinfo y pdftotext (poppler-utils): bash scripts/dependencias.sh");
}

// Imprimir always opens the print dialog; choosing a PDF file there prints the report,
// laid out by the line printer, into it.
void PruebaExportar::ImprimirAPdfSinImpresora() {
    QTemporaryDir carpeta;
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    v.EjecutarResolucion();
    d.imprimirConfirma = true;
    d.alImprimir = [&](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(carpeta.filePath("informe.pdf"));
    };
    Accion(v, "TBImprimir")->trigger();
    QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
    const Pdf pdf = LeerPdf(carpeta.filePath("informe.pdf"));
    QCOMPARE(pdf.paginas, 1);
    QCOMPARE(pdf.textos.size(), 1);
    const QStringList lineas = pdf.textos[0].split(u'\n');
    QCOMPARE(lineas.value(0), QString("K Dk1 Dk2 Dk3 s1 s2 s3 s4 X1k X2k Ns1 Ns2 Ns3 KN1/Q KN2/Q"));
    QCOMPARE(lineas.value(1), QString("1 0.559 0.9014 0.559 1 0 0 0 1 0 1 0 0 0.75 0.5"));
    QCOMPARE(lineas.mid(lineas.indexOf("Solucion:")), (QStringList{"Solucion:", "1", "2", "1", "3"}));
}

// A report longer than a page goes on over as many pages as the line printer's rule gives.
void PruebaExportar::VariasPaginas() {
    QTemporaryDir carpeta;
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setOutputFileName(carpeta.filePath("largo.pdf"));
    MemoInforme memo;
    const int porPagina = LineasPorPagina(impresora, memo);
    QStringList lineas;
    for (int i = 1; i <= porPagina + 3; ++i) lineas << QString("fila %1\t%2").arg(i).arg(i * i);
    Poner(memo, lineas);
    DialogosPrueba d;
    d.imprimirConfirma = true;
    ImprimirSolucion(nullptr, impresora, memo, d);
    const Pdf pdf = LeerPdf(carpeta.filePath("largo.pdf"));
    QCOMPARE(pdf.paginas, 2);
    QCOMPARE(pdf.textos.value(0).split(u'\n').size(), porPagina);
    QCOMPARE(pdf.textos.value(1), QString("fila %1 %2\nfila %3 %4\nfila %5 %6")
                                      .arg(porPagina + 1).arg((porPagina + 1) * (porPagina + 1))
                                      .arg(porPagina + 2).arg((porPagina + 2) * (porPagina + 2))
                                      .arg(porPagina + 3).arg((porPagina + 3) * (porPagina + 3)));
}

// "Exportar a PDF..." writes the pages the printer would print: the same page layout and
// text as printing to a PDF file.
void PruebaExportar::ExportarAPdf() {
    QTemporaryDir carpeta;
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar({"2", "1", "1\t40", "2\t30"});
    v.EjecutarResolucion();
    AbrirMenuArchivo(v);
    QVERIFY(Accion(v, "ArchivoExportarPdf")->isEnabled());
    QVERIFY(Accion(v, "ArchivoVistaPreliminar")->isEnabled());
    d.nombres = {carpeta.filePath("exportado.pdf")};
    Accion(v, "ArchivoExportarPdf")->trigger();
    QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
    QCOMPARE(d.peticionesFichero.back().filtro, QString("Documento PDF (*.pdf)"));
    QCOMPARE(d.peticionesFichero.back().extension, QString("pdf"));
    d.imprimirConfirma = true;
    d.alImprimir = [&](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(carpeta.filePath("impreso.pdf"));
    };
    Accion(v, "ArchivoImprimir")->trigger();
    const Pdf exportado = LeerPdf(carpeta.filePath("exportado.pdf"));
    const Pdf impreso = LeerPdf(carpeta.filePath("impreso.pdf"));
    QVERIFY(exportado.paginas >= 2);  // 70 stages of 72 columns
    QCOMPARE(exportado.paginas, impreso.paginas);
    QCOMPARE(exportado.textos, impreso.textos);
    const MemoInforme* memo = MemoDe(v);
    QVERIFY(exportado.textos.back().endsWith("\n" + memo->Linea(memo->NumeroLineas() - 1)));
    // Not solved: the items are off.
    Accion(v, "TBNuevo")->trigger();
    AbrirMenuArchivo(v);
    QVERIFY(!Accion(v, "ArchivoExportarPdf")->isEnabled());
    QVERIFY(!Accion(v, "ArchivoVistaPreliminar")->isEnabled());
}

// A failed export leaves an existing file as it was and reports why.
void PruebaExportar::ExportarAPdfNoDestruyeNada_data() {
    QTest::addColumn<QString>("destino");
    QTest::addColumn<bool>("fallaAlEscribir");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("carpeta que no existe") << "falta/x.pdf" << false << "Cannot create file";
    QTest::newRow("disco lleno a mitad") << "viejo.pdf" << true << "Stream write error.";
}

void PruebaExportar::ExportarAPdfNoDestruyeNada() {
    QFETCH(QString, destino);
    QFETCH(bool, fallaAlEscribir);
    QFETCH(QString, mensaje);
    QTemporaryDir carpeta;
    const QString nombre = carpeta.filePath(destino);
    {
        QFile viejo(carpeta.filePath("viejo.pdf"));
        QVERIFY(viejo.open(QIODevice::WriteOnly));
        viejo.write("contenido anterior");
    }
    MemoInforme memo;
    Poner(memo, {"a\tb", "c"});
    QPrinter impresora(QPrinter::HighResolution);
    static int escritos;
    escritos = 0;
    const prueba::FuncionEscribir original = prueba::escribir;
    if (fallaAlEscribir)
        prueba::escribir = [](int fd, const void* datos, std::size_t n) -> ssize_t {
            if (++escritos > 1) {
                errno = ENOSPC;
                return -1;
            }
            return ::write(fd, datos, n);
        };
    DialogosPrueba d;
    QVERIFY(!EjecutarComando(d, nullptr, [&] { ExportarPdf(nombre, impresora, memo); }));
    prueba::escribir = original;
    QVERIFY2(d.Mensajes().value(0).startsWith(mensaje), qPrintable(d.Mensajes().join('|')));
    QVERIFY(d.explicaciones.size() == 1 && !d.explicaciones[0].isEmpty());
    QCOMPARE(LeerTodo(carpeta.filePath("viejo.pdf")), QString("contenido anterior"));
    QCOMPARE(QDir(carpeta.path()).entryList(QDir::Files), QStringList{"viejo.pdf"});
}

// The preview draws the same job on the printer the preview gives it.
void PruebaExportar::VistaPreliminarDesdeLaVentana() {
    QTemporaryDir carpeta;
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    v.EjecutarResolucion();
    QPrinter destino(QPrinter::HighResolution);
    destino.setOutputFileName(carpeta.filePath("vista.pdf"));
    d.pintarVistaPreliminarEn = &destino;
    Accion(v, "ArchivoVistaPreliminar")->trigger();
    QVERIFY(d.errores.empty());
    QCOMPARE(d.vistasPreliminares, 1);
    QCOMPARE(d.impresoraVistaPreliminar, &v.Impresora());
    const Pdf pdf = LeerPdf(carpeta.filePath("vista.pdf"));
    QCOMPARE(pdf.paginas, 1);
    QVERIFY(pdf.textos.value(0).startsWith("K Dk1 Dk2 Dk3"));
}

// Qt's preview widget on a printer that could not print itself (no printer, no file):
// the preview needs neither.
void PruebaExportar::VistaPreliminarReal() {
    MemoInforme memo;
    QStringList lineas;
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setOutputFormat(QPrinter::PdfFormat);
    for (int i = 0; i < LineasPorPagina(impresora, memo) + 1; ++i) lineas << QString("fila %1").arg(i);
    Poner(memo, lineas);
    QPrintPreviewWidget vista(&impresora);
    connect(&vista, &QPrintPreviewWidget::paintRequested, this,
            [&](QPrinter* p) { ImprimirVistaPreliminar(*p, memo); });
    vista.show();
    QVERIFY(QTest::qWaitForWindowExposed(&vista));
    QTRY_COMPARE(vista.pageCount(), 2);
}

// An error while the preview draws closes it and is reported like any other.
void PruebaExportar::ErrorEnLaVistaPreliminar() {
    QPrinter impresora(QPrinter::HighResolution);
    DialogosQt dialogos;
    // Closes whatever is left open, so a failure does not hang the test.
    QTimer guardia;
    connect(&guardia, &QTimer::timeout, this, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialogo = qobject_cast<QDialog*>(w); dialogo && dialogo->isVisible()) dialogo->done(QDialog::Rejected);
    });
    guardia.start(5000);
    DialogosPrueba d;
    int llamadas = 0;
    QVERIFY(!EjecutarComando(d, nullptr, [&] {
        dialogos.VistaPreliminar(nullptr, impresora, [&](QPrinter&) {
            ++llamadas;
            throw ErrorTavelorin("Out of memory");
        });
    }));
    QCOMPARE(d.Mensajes(), QStringList{"Out of memory."});
    QCOMPARE(llamadas, 1);
}

// Configurar impresora chooses the printer (or a PDF file) as well as the page, and only
// chooses: its button is Aceptar.
void PruebaExportar::ConfigurarImpresora() {
    QPrinter impresora(QPrinter::HighResolution);
    const auto dialogo = CrearDialogoConfigurar(nullptr, impresora);
    QCOMPARE(dialogo->windowTitle(), QString("Configurar impresora"));
    QVERIFY(dialogo->testOption(QAbstractPrintDialog::PrintToFile));
    QCOMPARE(dialogo->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->text(), QString("Aceptar"));
    dialogo->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialogo.get()));
    auto* impresoras = dialogo->findChild<QComboBox*>("printers");
    QVERIFY(impresoras != nullptr);
    QStringList opciones;
    for (int i = 0; i < impresoras->count(); ++i) opciones << impresoras->itemText(i);
    QVERIFY2(opciones.filter("PDF").size() == 1, qPrintable(opciones.join('|')));
    dialogo->reject();
}

QTEST_MAIN(PruebaExportar)
#include "test_exportar.moc"
