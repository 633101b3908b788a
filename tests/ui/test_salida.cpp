// The report's ways out (copy, solution file, printing) checked against the memory
// available before they start: beyond what fits, "Out of memory" and nothing changes.
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <sstream>

#include "core/Memoria.h"
#include "soporte/BytesQt.h"
#include "soporte/Controles.h"
#include "soporte/DialogosPrueba.h"
#include "ui/Main.h"
#include "ui/MemoInforme.h"
#include "ui/ModeloMatriz.h"
#include "ui/SalidaInforme.h"

using namespace tavelorin;

namespace {

const std::vector<std::string> kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};

// The memory the system reports, for as long as it lives.
class MemoriaDisponibleFijada {
public:
    explicit MemoriaDisponibleFijada(uint64_t bytes) {
        EstablecerFuenteMemoria([bytes] { return bytes; });
    }
    ~MemoriaDisponibleFijada() { EstablecerFuenteMemoria({}); }
};

constexpr uint64_t kMB = uint64_t{1} << 20;

}  // namespace

class PruebaSalida : public QObject {
    Q_OBJECT

private slots:
    void ComprobadaAntesDeEmpezar_data();
    void ComprobadaAntesDeEmpezar();
    void EscribirNecesitaUnaLineaNoElTexto();
    void CopiaEnUtf8();
};

// Each way out with the memory the system reports: too little, and enough.
void PruebaSalida::ComprobadaAntesDeEmpezar_data() {
    QTest::addColumn<QString>("orden");
    QTest::addColumn<quint64>("disponible");
    QTest::addColumn<QString>("mensaje");  // empty: it went ahead
    const quint64 poca = 1 * kMB;
    const quint64 mucha = 1024 * kMB;
    QTest::newRow("copiar sin memoria") << "TBCopiar" << poca << "Out of memory.";
    QTest::newRow("copiar") << "TBCopiar" << mucha << "";
    QTest::newRow("copiar desde el menu sin memoria") << "Copiar1" << poca << "Out of memory.";
    QTest::newRow("guardar solucion sin memoria") << "ArchivoGrabarSolucionComo" << poca << "Out of memory.";
    QTest::newRow("guardar solucion") << "ArchivoGrabarSolucionComo" << mucha << "";
    QTest::newRow("imprimir sin memoria") << "TBImprimir" << poca << "Out of memory.";
    // With memory enough, printing goes on to its dialog (cancelled here).
    QTest::newRow("imprimir") << "ArchivoImprimir" << mucha << "";
}

void PruebaSalida::ComprobadaAntesDeEmpezar() {
    QFETCH(QString, orden);
    QFETCH(quint64, disponible);
    QFETCH(QString, mensaje);
    QTemporaryDir dir;
    const QString solucion = dir.filePath("s.sol");
    DialogosPrueba d;
    TMainForm v(d, {});
    Rejilla(v).Cargar(kEjemplo);
    v.EjecutarResolucion();
    const QString memo = MemoDe(v)->Texto();
    QGuiApplication::clipboard()->setText("antes");
    d.nombres = {solucion};
    d.imprimirConfirma = false;
    {
        const MemoriaDisponibleFijada memoria(disponible);
        Accion(v, orden)->trigger();
    }
    QCOMPARE(d.Mensajes(), mensaje.isEmpty() ? QStringList{} : QStringList{mensaje});
    const bool refusado = mensaje == "Out of memory.";
    // A refusal says, below the message, that nothing was done and nothing lost.
    if (refusado) QCOMPARE(d.explicaciones.back(), QString::fromUtf8(ExplicacionSinMemoria()));
    QCOMPARE(MemoDe(v)->Texto(), memo);
    QVERIFY(v.Resuelto());
    // The print dialog opens only when printing went ahead.
    const bool imprime = orden.contains("Imprimir") && !refusado;
    QCOMPARE(d.dialogosImprimir, imprime ? 1 : 0);
    // Copied only when it went ahead.
    const bool copia = orden.contains("Copiar") && !refusado;
    QCOMPARE(QGuiApplication::clipboard()->text(), copia ? memo : QString("antes"));
    // The solution file: written, or not even asked for.
    const bool guarda = orden.startsWith("ArchivoGrabarSolucion") && !refusado;
    QCOMPARE(QFile::exists(solucion), guarda);
    if (guarda) QCOMPARE(QString::fromStdString(LeerBytes(solucion)), memo);
    QCOMPARE(d.peticionesFichero.size(), size_t(guarda ? 1 : 0));  // refused before its dialog
    QVERIFY(v.FicheroSolucion().isEmpty() != guarda);
}

// The solution file is written a line at a time: it needs memory for its longest line,
// not for the whole report, so it goes ahead where a copy of the report would not fit.
void PruebaSalida::EscribirNecesitaUnaLineaNoElTexto() {
    MemoInforme memo;
    std::vector<std::string> lineas(2000, std::string(2000, '7'));
    lineas.push_back("Solucion:");
    memo.ReemplazarLineas(lineas);
    QCOMPARE(memo.BytesTextoUtf8(), uint64_t{2000 * 2000 + 9 + 2001 * 2});
    QVERIFY(MemoriaParaEscribir(memo) < 5 * kMB);
    QVERIFY(MemoriaParaCopiar(memo) > 12 * kMB);
    QVERIFY(MemoriaParaImprimir(memo) < 5 * kMB);
    QTemporaryDir dir;
    const MemoriaDisponibleFijada memoria(8 * kMB);
    EscribirInforme(dir.filePath("s.sol"), memo);
    std::string esperado;
    for (const std::string& l : lineas) esperado += l + "\r\n";
    QCOMPARE(LeerBytes(dir.filePath("s.sol")), esperado);
    QVERIFY_THROWS_EXCEPTION(std::exception, CopiarInforme(memo));
}

// The clipboard gets the text as UTF-8 plain text, the same text the memo holds.
void PruebaSalida::CopiaEnUtf8() {
    MemoInforme memo;
    memo.ReemplazarLineas({"K\tDk1", "año €", "中 😀", ""});
    CopiarInforme(memo);
    const QMimeData* datos = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(datos->formats(), QStringList{"text/plain"});
    QCOMPARE(datos->data("text/plain"), QString("K\tDk1\r\naño €\r\n中 😀\r\n\r\n").toUtf8());
    QCOMPARE(memo.BytesTextoUtf8(), uint64_t(datos->data("text/plain").size()));
    QCOMPARE(datos->text(), memo.Texto());
    QVERIFY(memo.TieneSeleccion());
}

QTEST_MAIN(PruebaSalida)
#include "test_salida.moc"
