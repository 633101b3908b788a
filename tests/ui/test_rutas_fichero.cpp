// The window and hostile files: names that are not UTF-8 open and save under their own
// bytes, a FIFO or a device is refused instead of keeping the window from opening, and a
// huge text is quoted short in the error box.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "soporte/Bytes.h"
#include "soporte/Controles.h"
#include "soporte/DialogosPrueba.h"
#include "soporte/SinBloqueo.h"
#include "ui/Main.h"
#include "ui/ModeloMatriz.h"
#include "ui/RutasFichero.h"

using namespace tavelorin;

namespace {

const char* const kEjemploBytes = "3\r\n2\r\n1\t0\t2\r\n0\t1\t1\r\n1\t1\t1\r\n";
const std::vector<std::string> kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};

// The names in a folder, as bytes.
std::vector<std::string> Nombres(const std::string& carpeta) {
    std::vector<std::string> r;
    for (const auto& e : std::filesystem::directory_iterator(carpeta)) r.push_back(e.path().filename().string());
    std::sort(r.begin(), r.end());
    return r;
}

}  // namespace

class PruebaRutasFichero : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::string Carpeta() { return RutaDeNombre(dir.path()); }

private slots:
    void IdaYVuelta_data();
    void IdaYVuelta();
    void NombreNoUtf8EnLaVentana();
    void FicheroQueNoEsNormal_data();
    void FicheroQueNoEsNormal();
    void LineaEnormeEnElMensaje();
};

void PruebaRutasFichero::IdaYVuelta_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8");  // well-formed: decoded as Qt decodes file names
    QByteArray altos;
    for (int b = 0x80; b <= 0xFF; ++b) altos.append(static_cast<char>(b));
    QTest::newRow("vacio") << QByteArray() << true;
    QTest::newRow("ascii") << QByteArray("/tmp/a b.brk") << true;
    QTest::newRow("utf-8") << QByteArray("/tmp/número €.brk") << true;
    QTest::newRow("cuatro bytes") << QByteArray("\xF0\x9F\x98\x80.brk") << true;
    QTest::newRow("latin-1") << QByteArray("/tmp/n\xE9mero.brk") << false;
    QTest::newRow("continuacion suelta") << QByteArray("a\x80" "b") << false;
    QTest::newRow("secuencia cortada") << QByteArray("a\xE2\x82") << false;
    QTest::newRow("cortada antes de ascii") << QByteArray("\xE2\x82" "a") << false;
    QTest::newRow("forma larga") << QByteArray("\xC0\xAF") << false;
    QTest::newRow("suplente codificado") << QByteArray("\xED\xA0\x80") << false;
    QTest::newRow("mas alla de U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
    QTest::newRow("utf-8 y latin-1") << QByteArray("ñ\xF1ñ") << false;
    QTest::newRow("todos los bytes altos") << altos << false;
}

void PruebaRutasFichero::IdaYVuelta() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    const std::string ruta = bytes.toStdString();
    const QString nombre = NombreDeRuta(ruta);
    QCOMPARE(RutaDeNombre(nombre), ruta);
    QVERIFY(!nombre.contains(QChar(0xFFFD)));
    if (utf8) {
        QCOMPARE(nombre, QFile::decodeName(bytes));
        QCOMPARE(RutaDeNombre(nombre), QFile::encodeName(nombre).toStdString());
    } else {
        QVERIFY(nombre != QFile::decodeName(bytes));
    }
    // The arguments of a command line, the program's name left out.
    QByteArray programa("tavelorin"), copia(bytes);
    char* argv[] = {programa.data(), copia.data(), nullptr};
    const QStringList argumentos = ArgumentosDeLinea(2, argv);
    QCOMPARE(argumentos.size(), 1);
    QCOMPARE(RutaDeNombre(argumentos.front()), ruta);
}

// A problem file whose name is Latin-1, named on the command line: it loads, Save writes
// that very file, and the solution proposed and saved beside it keeps the same bytes.
void PruebaRutasFichero::NombreNoUtf8EnLaVentana() {
    const std::string carpeta = Carpeta() + "/latin1";
    std::filesystem::create_directory(carpeta);
    std::string ruta = carpeta + "/n\xE9mero.brk";
    std::ofstream(ruta, std::ios::binary) << kEjemploBytes;
    QByteArray programa("tavelorin");
    char* argv[] = {programa.data(), ruta.data(), nullptr};

    DialogosPrueba d;
    TMainForm v(d, ArgumentosDeLinea(2, argv));
    QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
    QCOMPARE(Rejilla(v).Matriz().LineasProblema(), kEjemplo);

    Rejilla(v).setData(Rejilla(v).index(0, 0), QStringLiteral("7"));  // product 1, component 1, typed
    Accion(v, "TBGuardar")->trigger();  // named and complete: written without a dialog
    QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
    QCOMPARE(LeerBytes(ruta), std::string("3\r\n2\r\n7\t0\t2\r\n0\t1\t1\r\n1\t1\t1\r\n"));

    v.EjecutarResolucion();
    const QString propuesto = NombreDeRuta(carpeta + "/n\xE9mero.sol");
    d.nombres = {propuesto};
    Accion(v, "ArchivoGrabarSolucionComo")->trigger();
    QCOMPARE(d.peticionesFichero.size(), size_t{1});
    QCOMPARE(d.peticionesFichero[0].propuesto, propuesto);
    QVERIFY2(d.errores.empty(), qPrintable(d.Mensajes().join('|')));
    QCOMPARE(Nombres(carpeta), (std::vector<std::string>{"n\xE9mero.brk", "n\xE9mero.sol"}));
    QVERIFY(LeerBytes(carpeta + "/n\xE9mero.sol").starts_with("K\tDk1"));
    std::filesystem::remove_all(carpeta);  // QDir does not list these names, so QTemporaryDir cannot
}

void PruebaRutasFichero::FicheroQueNoEsNormal_data() {
    QTest::addColumn<QString>("nombre");      // "fifo": a FIFO made for the test
    QTest::addColumn<bool>("lineaDeOrdenes");  // named on the command line, or opened
    QTest::addColumn<QString>("clase");
    QTest::newRow("FIFO en la linea de ordenes") << "fifo" << true << "una tubería con nombre (FIFO)";
    QTest::newRow("FIFO abierta") << "fifo" << false << "una tubería con nombre (FIFO)";
    QTest::newRow("/dev/zero en la linea de ordenes") << "/dev/zero" << true << "un dispositivo de caracteres";
    QTest::newRow("/dev/zero abierto") << "/dev/zero" << false << "un dispositivo de caracteres";
}

// Refused at once with a message; the window opens (or the Open command ends) instead
// of waiting for a writer or reading for ever.
void PruebaRutasFichero::FicheroQueNoEsNormal() {
    QFETCH(QString, nombre);
    QFETCH(bool, lineaDeOrdenes);
    QFETCH(QString, clase);
    const QString fifo = dir.filePath("tuberia");
    if (!QFile::exists(fifo)) QCOMPARE(::mkfifo(RutaDeNombre(fifo).c_str(), 0600), 0);
    const QString ruta = nombre == "fifo" ? fifo : nombre;

    DialogosPrueba d;
    std::unique_ptr<TMainForm> v;
    const bool esperando = SeQuedoEsperando(RutaDeNombre(fifo), [&] {
        v = std::make_unique<TMainForm>(d, lineaDeOrdenes ? QStringList{ruta} : QStringList{});
        if (!lineaDeOrdenes) {
            d.nombres = {ruta};
            Accion(*v, "ArchivoAbrir")->trigger();
        }
    });
    QVERIFY2(!esperando, "the window waited for a writer of the FIFO");
    QCOMPARE(d.Mensajes(), QStringList{"No se puede abrir \"" + ruta + "\": es " + clase + ", no un archivo normal."});
    // Nothing was read and nothing replaced: the empty problem of 3 products and 4
    // components, and no problem file remembered.
    QCOMPARE(Rejilla(*v).Matriz().Filas(), 4);
    QCOMPARE(Rejilla(*v).Matriz().Columnas(), 6);
    QVERIFY(v->FicheroProblema().isEmpty());
}

// The message quotes 60 characters of a 1 MB line, not the whole line.
void PruebaRutasFichero::LineaEnormeEnElMensaje() {
    const QString nombre = dir.filePath("enorme.brk");
    std::ofstream(RutaDeNombre(nombre), std::ios::binary) << std::string(1 << 20, '7') << "x\r\n2\r\n";
    DialogosPrueba d;
    TMainForm v(d, {});
    d.nombres = {nombre};
    Accion(v, "ArchivoAbrir")->trigger();
    QCOMPARE(d.Mensajes(), QStringList{"''" + QString(60, '7') + "…'' is not a valid integer value."});
}

QTEST_MAIN(PruebaRutasFichero)
#include "test_rutas_fichero.moc"
