// The about box: layout and texts, links through a recording opener, the application
// cursor over links, and its modal showing.
#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QUrlQuery>
#include <QWindow>
#include <functional>
#include <optional>

#include "ui/AboutU.h"
#include "ui/Dialogos.h"

using namespace tavelorin;

namespace {

class AbridorPrueba : public AbridorEnlaces {
public:
    QStringList abiertos;  // "web <url>" or "correo <url>"
    void AbrirDireccion(const QUrl& direccion) override { abiertos << "web " + direccion.toString(QUrl::FullyEncoded); }
    void EnviarCorreo(const QUrl& mensaje) override { abiertos << "correo " + mensaje.toString(QUrl::FullyEncoded); }
};

QWidget* Control(TAboutBox& caja, const QString& nombre) { return caja.findChild<QWidget*>(nombre); }

// A point of a control, in the box's window coordinates.
QPoint EnVentana(QWidget* control, QPoint punto) { return control->mapTo(control->window(), punto); }

std::optional<Qt::CursorShape> CursorAplicacion() {
    if (const QCursor* c = QGuiApplication::overrideCursor()) return c->shape();
    return std::nullopt;
}

// Runs accion inside the modal showing; closes the box anyway so that no test hangs.
int Mostrar(TAboutBox& caja, const std::function<void()>& accion, bool* seguiaAbierta = nullptr) {
    QMetaObject::invokeMethod(
        &caja,
        [&] {
            accion();
            if (seguiaAbierta != nullptr) *seguiaAbierta = caja.isVisible();
            if (caja.isVisible()) caja.done(-1);
        },
        Qt::QueuedConnection);
    DialogosQt().MostrarModal(caja);  // as the about command shows it
    return caja.result();
}

}  // namespace

class PruebaAcercaDe : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void Ventana();
    void Controles_data();
    void Controles();
    void EnlacesALaDerecha_data();
    void EnlacesALaDerecha();
    void Apariencia_data();
    void Apariencia();
    void TextosCaben();
    void Enlaces_data();
    void Enlaces();
    void MensajeDeCorreo();
    void AccionEnviarCorreo();
    void CursorDeLaAplicacion_data();
    void CursorDeLaAplicacion();
    void CursorAjenoSeRespeta();
    void Cerrar_data();
    void Cerrar();
    void SegundaVezIgual();
    void CentradaEnPantalla();
};

void PruebaAcercaDe::cleanup() {
    FijarCursorAplicacion(Qt::ArrowCursor);
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

void PruebaAcercaDe::Ventana() {
    AbridorPrueba abridor;
    TAboutBox caja(abridor);
    QCOMPARE(caja.objectName(), QString("AboutBox"));
    QCOMPARE(caja.windowTitle(), QString("Acerca de ..."));
    QVERIFY(!caja.isVisible());
    QCOMPARE(caja.size(), QSize(485, 285));
    QCOMPARE(caja.minimumSize(), QSize(485, 285));
    QCOMPARE(caja.maximumSize(), QSize(485, 285));
    const Qt::WindowFlags banderas = caja.windowFlags();
    QVERIFY(!(banderas & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(banderas & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(banderas & Qt::WindowContextHelpButtonHint));
    QVERIFY(banderas & Qt::WindowCloseButtonHint);
    QVERIFY(caja.BitBtn1->isDefault());
    // The button lies over the panel, not in it.
    QCOMPARE(caja.BitBtn1->parentWidget(), static_cast<QWidget*>(&caja));
    QCOMPARE(caja.childAt(caja.BitBtn1->geometry().center()), static_cast<QWidget*>(caja.BitBtn1));
}

void PruebaAcercaDe::Controles_data() {
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<QRect>("caja");
    QTest::addColumn<QString>("texto");
    QTest::newRow("Panel1") << "Panel1" << QRect(0, 0, 485, 285) << "";
    QTest::newRow("Shape1") << "Shape1" << QRect(2, 2, 481, 281) << "";
    QTest::newRow("ProgramIcon") << "ProgramIcon" << QRect(24, 8, 33, 33) << "";
    QTest::newRow("ProductName") << "ProductName" << QRect(67, 10, 123, 23) << "TAVELORIN";
    QTest::newRow("Label4") << "Label4" << QRect(202, 15, 40, 14) << "Versión";
    QTest::newRow("Version") << "Version" << QRect(261, 15, 48, 14) << "2015 · A";
    QTest::newRow("Comments") << "Comments" << QRect(67, 37, 96, 14) << "";
    QTest::newRow("Label3") << "Label3" << QRect(67, 52, 325, 14) << "";
    QTest::newRow("Label5") << "Label5" << QRect(67, 67, 188, 14) << "";
    QTest::newRow("Label6") << "Label6" << QRect(67, 92, 119, 14) << "";
    QTest::newRow("Label7") << "Label7" << QRect(202, 92, 101, 14) << "";
    QTest::newRow("Image1") << "Image1" << QRect(160, 115, 136, 46) << "";
    QTest::newRow("Label8") << "Label8" << QRect(67, 162, 307, 70) << "";
    QTest::newRow("BitBtn1") << "BitBtn1" << QRect(202, 241, 75, 26) << "Aceptar";
}

// Positions relative to the client area (the panel fills it, so both agree). A label
// keeps its box unless this machine's face needs more room than Tahoma's.
void PruebaAcercaDe::Controles() {
    QFETCH(QString, nombre);
    QFETCH(QRect, caja);
    QFETCH(QString, texto);
    AbridorPrueba abridor;
    TAboutBox a(abridor);
    QWidget* control = Control(a, nombre);
    QVERIFY(control != nullptr);
    const QRect g(control->mapTo(&a, QPoint(0, 0)), control->size());
    QCOMPARE(g.topLeft(), caja.topLeft());
    auto* l = qobject_cast<QLabel*>(control);
    if (l != nullptr && !l->text().isEmpty()) {
        QVERIFY(g.width() >= caja.width() && g.height() >= caja.height());
        const int flags = Qt::AlignLeft | Qt::AlignTop | (l->wordWrap() ? int(Qt::TextWordWrap) : 0);
        const QRect necesario = l->fontMetrics().boundingRect(QRect(0, 0, caja.width(), 10000), flags, l->text());
        if (necesario.width() <= caja.width() && necesario.height() <= caja.height()) QCOMPARE(g, caja);
    } else {
        QCOMPARE(g, caja);
    }
    if (texto.isEmpty()) return;
    if (l != nullptr) QCOMPARE(l->text(), texto);
    if (auto* b = qobject_cast<QPushButton*>(control)) QCOMPARE(b->text(), texto);
}

void PruebaAcercaDe::EnlacesALaDerecha_data() {
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<int>("arriba");
    QTest::newRow("Label2") << "Label2" << 37;
    QTest::newRow("Label1") << "Label1" << 52;
    QTest::newRow("Label9") << "Label9" << 67;
}

// Right-aligned links size to their text and keep the right edge at 470.
void PruebaAcercaDe::EnlacesALaDerecha() {
    QFETCH(QString, nombre);
    QFETCH(int, arriba);
    AbridorPrueba abridor;
    TAboutBox a(abridor);
    auto* l = qobject_cast<QLabel*>(Control(a, nombre));
    QVERIFY(l != nullptr);
    const QRect g(l->mapTo(&a, QPoint(0, 0)), l->size());
    QCOMPARE(g.right() + 1, 470);
    QCOMPARE(g.top(), arriba);
    QVERIFY(g.height() >= 13);
    QVERIFY(l->alignment() & Qt::AlignRight);
    QVERIFY(l->fontMetrics().horizontalAdvance(l->text()) <= g.width());
}

void PruebaAcercaDe::Apariencia_data() {
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<int>("pixeles");
    QTest::addColumn<bool>("negrita");
    QTest::addColumn<bool>("enlace");
    QTest::addColumn<QColor>("color");
    const QColor negro(Qt::black), azul(0, 0, 255), granate(128, 0, 0);
    QTest::newRow("ProductName") << "ProductName" << 19 << true << false << granate;
    for (const char* n : {"Label4", "Version", "Comments", "Label3", "Label5", "Label6", "Label8"})
        QTest::newRow(n) << n << 12 << false << false << negro;
    QTest::newRow("Label7") << "Label7" << 12 << false << true << azul;
    for (const char* n : {"Label2", "Label1", "Label9"}) QTest::newRow(n) << n << 11 << false << true << azul;
}

void PruebaAcercaDe::Apariencia() {
    QFETCH(QString, nombre);
    QFETCH(int, pixeles);
    QFETCH(bool, negrita);
    QFETCH(bool, enlace);
    QFETCH(QColor, color);
    AbridorPrueba abridor;
    TAboutBox a(abridor);
    auto* l = qobject_cast<QLabel*>(Control(a, nombre));
    QVERIFY(l != nullptr);
    QCOMPARE(l->font().family(), QString("Tahoma"));
    QCOMPARE(l->font().pixelSize(), pixeles);
    QCOMPARE(l->font().bold(), negrita);
    QCOMPARE(l->font().underline(), enlace);
    QCOMPARE(l->palette().color(QPalette::WindowText), color);
    QCOMPARE(l->hasMouseTracking(), enlace);
    QCOMPARE(a.Panel1->palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(!QString(l->text()).trimmed().isEmpty());
}

// No text is cut: each fits its box in the font this machine gives for Tahoma.
void PruebaAcercaDe::TextosCaben() {
    AbridorPrueba abridor;
    TAboutBox a(abridor);
    for (QLabel* l : a.findChildren<QLabel*>()) {
        if (l->text().isEmpty()) continue;
        const int flags = int(l->alignment()) | (l->wordWrap() ? int(Qt::TextWordWrap) : 0);
        const QRect necesario = l->fontMetrics().boundingRect(QRect(0, 0, l->width(), 10000), flags, l->text());
        QVERIFY2(necesario.width() <= l->width() && necesario.height() <= l->height(),
                 qPrintable(l->objectName() + ": " + QString::number(necesario.width()) + "x" +
                            QString::number(necesario.height())));
    }
}

void PruebaAcercaDe::Enlaces_data() {
    QTest::addColumn<QString>("nombre");
    QTest::addColumn<int>("boton");
    QTest::addColumn<QString>("abierto");
    const QString correo = "correo " + TAboutBox::MensajeCorreo().toString(QUrl::FullyEncoded);
    struct Enlace {
        const char* nombre;
        QString abierto;
    };
    const Enlace enlaces[] = {
        {"Label1", "web " + TAboutBox::kDireccionOrganizacion1.toString()},
        {"Label9", "web " + TAboutBox::kDireccionOrganizacion2.toString()},
        {"Label7", "web https://www.gnu.org/licenses/gpl-3.0.html"},
        {"Label2", correo},
    };
    const std::pair<const char*, Qt::MouseButton> botones[] = {
        {"izquierdo", Qt::LeftButton}, {"derecho", Qt::RightButton}, {"central", Qt::MiddleButton}};
    for (const Enlace& e : enlaces)
        for (const auto& [boton, b] : botones)
            QTest::addRow("%s %s", e.nombre, boton) << e.nombre << int(b) << e.abierto;
}

// Any mouse button pressed on a link opens it, once, and the box stays as it was.
void PruebaAcercaDe::Enlaces() {
    QFETCH(QString, nombre);
    QFETCH(int, boton);
    QFETCH(QString, abierto);
    AbridorPrueba abridor;
    TAboutBox a(abridor);
    a.show();
    QVERIFY(QTest::qWaitForWindowExposed(&a));
    QWidget* enlace = Control(a, nombre);
    QTest::mousePress(a.windowHandle(), Qt::MouseButton(boton), {}, EnVentana(enlace, enlace->rect().center()));
    QTest::mouseRelease(a.windowHandle(), Qt::MouseButton(boton), {}, EnVentana(enlace, enlace->rect().center()));
    QCOMPARE(abridor.abiertos, QStringList{abierto});
    QVERIFY(a.isVisible());
}

// No recipient, no subject; a body of two lines.
void PruebaAcercaDe::MensajeDeCorreo() {
    const QUrl mensaje = TAboutBox::MensajeCorreo();
    QVERIFY(mensaje.isValid());
    QCOMPARE(mensaje.scheme(), QString("mailto"));
    QCOMPARE(mensaje.path(), QString());
    const QUrlQuery consulta(mensaje);
    QCOMPARE(consulta.queryItems(QUrl::FullyDecoded).size(), 1);
    QCOMPARE(consulta.queryItemValue("body", QUrl::FullyDecoded),
             QString("Hola:\r\nLes escribo a propósito de TAVELORIN."));
    QCOMPARE(mensaje.toString(QUrl::FullyEncoded),
             QString("mailto:?body=Hola%3A%0D%0ALes%20escribo%20a%20prop%C3%B3sito%20de%20TAVELORIN."));
}

void PruebaAcercaDe::AccionEnviarCorreo() {
    AbridorPrueba abridor;
    TAboutBox a(abridor);
    QCOMPARE(a.SendMail1->text(), QString("&Enviar email..."));
    QCOMPARE(a.SendMail1->toolTip(), QString("Enviar email"));
    QCOMPARE(a.SendMail1->property("categoria").toString(), QString("Internet"));
    a.SendMail1->trigger();
    QCOMPARE(abridor.abiertos, QStringList{"correo " + TAboutBox::MensajeCorreo().toString(QUrl::FullyEncoded)});
}

void PruebaAcercaDe::CursorDeLaAplicacion_data() {
    QTest::addColumn<QStringList>("recorrido");
    QTest::addColumn<QStringList>("cursores");  // after each move: "mano" or "" (none set)
    QTest::newRow("enlace y fondo") << QStringList{"Label1", "Shape1"} << QStringList{"mano", ""};
    QTest::newRow("cada enlace") << QStringList{"Label2", "Shape1", "Label7", "Shape1", "Label9"}
                                 << QStringList{"mano", "", "mano", "", "mano"};
    QTest::newRow("de enlace a enlace") << QStringList{"Label1", "Label9"} << QStringList{"mano", "mano"};
    QTest::newRow("borde del panel") << QStringList{"Label7", "Panel1"} << QStringList{"mano", ""};
}

void PruebaAcercaDe::CursorDeLaAplicacion() {
    QFETCH(QStringList, recorrido);
    QFETCH(QStringList, cursores);
    AbridorPrueba abridor;
    TAboutBox a(abridor);
    a.show();
    QVERIFY(QTest::qWaitForWindowExposed(&a));
    for (int i = 0; i < recorrido.size(); ++i) {
        QWidget* w = Control(a, recorrido[i]);
        // On the panel its bevel, on the background a white spot, on a link its middle.
        const QPoint punto = recorrido[i] == "Panel1"   ? QPoint(1, 140)
                             : recorrido[i] == "Shape1" ? QPoint(10, 230)
                                                        : w->rect().center();
        QCOMPARE(a.childAt(EnVentana(w, punto)), w);
        QTest::mouseMove(a.windowHandle(), EnVentana(w, punto));
        const std::optional<Qt::CursorShape> cursor = CursorAplicacion();
        const QString visto = cursor ? (*cursor == Qt::PointingHandCursor ? QString("mano") : QString("otro")) : QString();
        QCOMPARE(visto, cursores[i]);
    }
    // Hiding the box gives the window its own cursor back.
    a.hide();
    QVERIFY(!CursorAplicacion());
    QVERIFY(abridor.abiertos.isEmpty());
}

// A cursor set by someone else over the application survives the links' cursor.
void PruebaAcercaDe::CursorAjenoSeRespeta() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    FijarCursorAplicacion(Qt::PointingHandCursor);
    QCOMPARE(CursorAplicacion(), std::optional(Qt::PointingHandCursor));
    FijarCursorAplicacion(Qt::PointingHandCursor);
    FijarCursorAplicacion(Qt::ArrowCursor);
    QCOMPARE(CursorAplicacion(), std::optional(Qt::WaitCursor));
    FijarCursorAplicacion(Qt::ArrowCursor);
    QCOMPARE(CursorAplicacion(), std::optional(Qt::WaitCursor));
    QGuiApplication::restoreOverrideCursor();
    QVERIFY(!CursorAplicacion());
}

void PruebaAcercaDe::Cerrar_data() {
    QTest::addColumn<int>("forma");
    QTest::addColumn<int>("resultado");
    QTest::newRow("Aceptar") << 0 << int(QDialog::Accepted);
    QTest::newRow("Intro") << 1 << int(QDialog::Accepted);
    QTest::newRow("botón de cerrar la ventana") << 2 << int(QDialog::Rejected);
    QTest::newRow("Esc") << 3 << int(QDialog::Rejected);
}

void PruebaAcercaDe::Cerrar() {
    QFETCH(int, forma);
    QFETCH(int, resultado);
    AbridorPrueba abridor;
    TAboutBox a(abridor);
    bool abierta = true;
    const int r = Mostrar(
        a,
        [&] {
            QVERIFY(a.isVisible());
            QVERIFY(a.isModal());
            if (forma == 0) QTest::mouseClick(a.BitBtn1, Qt::LeftButton);
            if (forma == 1) QTest::keyClick(&a, Qt::Key_Return);
            if (forma == 2) a.close();
            if (forma == 3) QTest::keyClick(&a, Qt::Key_Escape);
        },
        &abierta);
    QVERIFY(!abierta);
    QCOMPARE(r, resultado);
    QVERIFY(!a.isVisible());
    QVERIFY(abridor.abiertos.isEmpty());
}

// The same box every time: same object, same content, shown again after closing.
void PruebaAcercaDe::SegundaVezIgual() {
    AbridorPrueba abridor;
    TAboutBox a(abridor);
    auto contenido = [&] {
        QStringList textos;
        for (QLabel* l : a.findChildren<QLabel*>())
            textos << l->objectName() + "=" + l->text() + "@" + QString::number(l->x()) + "," + QString::number(l->y());
        return textos;
    };
    const QStringList antes = contenido();
    const QImage imagen = a.Image1->pixmap().toImage();
    for (int vez = 0; vez < 2; ++vez) {
        QStringList durante;
        const int r = Mostrar(a, [&] {
            durante = contenido();
            QTest::mouseClick(a.BitBtn1, Qt::LeftButton);
        });
        QCOMPARE(r, int(QDialog::Accepted));
        QCOMPARE(durante, antes);
    }
    QCOMPARE(a.Image1->pixmap().toImage(), imagen);
    QCOMPARE(a.findChildren<QLabel*>().size(), antes.size());
}

void PruebaAcercaDe::CentradaEnPantalla() {
    AbridorPrueba abridor;
    TAboutBox a(abridor);
    QPoint centro;
    Mostrar(a, [&] {
        centro = a.frameGeometry().center();
        a.accept();
    });
    const QRect pantalla = a.screen()->geometry();
    QVERIFY2((centro - pantalla.center()).manhattanLength() <= 1,
             qPrintable(QString("%1,%2").arg(centro.x()).arg(centro.y())));
}

QTEST_MAIN(PruebaAcercaDe)
#include "test_about.moc"
