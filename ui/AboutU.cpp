#include "ui/AboutU.h"

#include <QAction>
#include <QFontMetrics>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>
#include <algorithm>

namespace tavelorin {

namespace {

// The two lines of the message the e-mail link starts.
const QString kCuerpoCorreo1 = QStringLiteral("Hola:");
const QString kCuerpoCorreo2 = QStringLiteral("Les escribo a propósito de TAVELORIN.");

const QString kTerminos = QStringLiteral(
    "Es software libre: puede redistribuirlo y modificarlo\n"
    "según la GNU GPL, versión 3 o cualquier posterior.\n"
    "Se ofrece SIN NINGUNA GARANTÍA, ni siquiera la de\n"
    "utilidad o idoneidad para un fin determinado.");

// Licence picture, 136 x 46.
const char kInsigniaLicencia[] = R"(<svg xmlns="http://www.w3.org/2000/svg" width="136" height="46" viewBox="0 0 136 46">
  <rect x="0.5" y="0.5" width="135" height="45" rx="5" fill="#ffffff" stroke="#3a3a3a"/>
  <path d="M5.5,0.5 H50 V45.5 H5.5 A5,5 0 0 1 0.5,40.5 V5.5 A5,5 0 0 1 5.5,0.5 Z" fill="#3a3a3a"/>
  <text x="25" y="29" font-family="DejaVu Sans, Tahoma, sans-serif" font-size="15" font-weight="bold"
        fill="#ffffff" text-anchor="middle">GNU</text>
  <text x="93" y="25" font-family="DejaVu Sans, Tahoma, sans-serif" font-size="19" font-weight="bold"
        fill="#a4221c" text-anchor="middle">GPLv3</text>
  <text x="93" y="38" font-family="DejaVu Sans, Tahoma, sans-serif" font-size="9"
        fill="#3a3a3a" text-anchor="middle">software libre</text>
</svg>)";

// Tahoma; where it is missing, a face of about its width.
QFont Tahoma(int pixeles, bool negrita = false, bool subrayada = false) {
    QFont fuente;
    fuente.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed")});
    fuente.setStyleHint(QFont::SansSerif);
    fuente.setPixelSize(pixeles);
    fuente.setBold(negrita);
    fuente.setUnderline(subrayada);
    return fuente;
}

void ColorTexto(QWidget* control, const QColor& color) {
    QPalette paleta = control->palette();
    paleta.setColor(QPalette::WindowText, color);
    control->setPalette(paleta);
}

QPixmap Imagen(QSvgRenderer& dibujo, QSize tamano) {
    QImage imagen(tamano, QImage::Format_ARGB32_Premultiplied);
    imagen.fill(Qt::transparent);
    QPainter pintor(&imagen);
    dibujo.render(&pintor);
    pintor.end();
    return QPixmap::fromImage(imagen);
}

// White panel with a raised inner and a lowered outer bevel, one pixel each.
class PanelBiselado : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter pintor(this);
        const QRect r = rect();
        pintor.fillRect(r, palette().color(QPalette::Window));
        const QColor sombra = palette().color(QPalette::Dark);
        const QColor luz = palette().color(QPalette::Light);
        Bisel(pintor, r, sombra, luz);                        // outer, lowered
        Bisel(pintor, r.adjusted(1, 1, -1, -1), luz, sombra);  // inner, raised
    }

private:
    static void Bisel(QPainter& pintor, const QRect& r, const QColor& arribaIzquierda, const QColor& abajoDerecha) {
        pintor.setPen(arribaIzquierda);
        pintor.drawLine(r.topLeft(), r.topRight());
        pintor.drawLine(r.topLeft(), r.bottomLeft());
        pintor.setPen(abajoDerecha);
        pintor.drawLine(r.bottomLeft(), r.bottomRight());
        pintor.drawLine(r.topRight(), r.bottomRight());
    }
};

// Set by this program, as opposed to a cursor someone else put over the application.
bool cursorPropio = false;

}  // namespace

const QUrl TAboutBox::kDireccionLicencia(QStringLiteral("https://www.gnu.org/licenses/gpl-3.0.html"));
const QUrl TAboutBox::kDireccionOrganizacion1(QStringLiteral("https://gop.example.org/"));
const QUrl TAboutBox::kDireccionOrganizacion2(QStringLiteral("https://eii.example.org/"));

QUrl TAboutBox::MensajeCorreo() {
    // No recipient, no subject: only the body.
    const QByteArray cuerpo = QUrl::toPercentEncoding(kCuerpoCorreo1 + QStringLiteral("\r\n") + kCuerpoCorreo2);
    return QUrl(QStringLiteral("mailto:?body=") + QString::fromLatin1(cuerpo), QUrl::StrictMode);
}

void AbridorEnlacesQt::AbrirDireccion(const QUrl& direccion) { QDesktopServices::openUrl(direccion); }

// With no mail client registered nothing happens and nothing is shown.
void AbridorEnlacesQt::EnviarCorreo(const QUrl& mensaje) { QDesktopServices::openUrl(mensaje); }

AbridorEnlaces& AbridorEnlacesDelSistema() {
    static AbridorEnlacesQt abridor;
    return abridor;
}

void FijarCursorAplicacion(Qt::CursorShape forma) {
    if (forma == Qt::ArrowCursor) {
        if (cursorPropio) QGuiApplication::restoreOverrideCursor();
        cursorPropio = false;
    } else if (cursorPropio) {
        QGuiApplication::changeOverrideCursor(QCursor(forma));
    } else {
        QGuiApplication::setOverrideCursor(QCursor(forma));
        cursorPropio = true;
    }
}

TAboutBox::TAboutBox(AbridorEnlaces& abridor, QWidget* padre) : QDialog(padre), abridor_(abridor) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Acerca de ..."));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(485, 285);

    Panel1 = new PanelBiselado(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 485, 285);
    QPalette blanco = Panel1->palette();
    blanco.setColor(QPalette::Window, Qt::white);
    blanco.setColor(QPalette::WindowText, Qt::black);
    Panel1->setPalette(blanco);

    Shape1 = new QWidget(Panel1);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(2, 2, 481, 281);
    Shape1->setAutoFillBackground(true);

    // Each label keeps its box, grown only where this machine's face needs more room
    // than Tahoma's (right-aligned ones keep their right edge).
    auto etiqueta = [this](const char* nombre, const QString& texto, QRect caja, const QFont& fuente,
                           bool ajustada, Qt::Alignment alineacion = Qt::AlignLeft) {
        auto* l = new QLabel(texto, Panel1);
        l->setObjectName(QString::fromLatin1(nombre));
        l->setFont(fuente);
        l->setAlignment(alineacion | Qt::AlignTop);
        l->setWordWrap(ajustada);
        l->setTextFormat(Qt::PlainText);
        const QFontMetrics metricas(fuente);
        QSize tamano = caja.size();
        if (ajustada) {
            tamano.setHeight(std::max(tamano.height(), l->heightForWidth(tamano.width())));
        } else {
            const QRect texto = metricas.boundingRect(QRect(0, 0, 10000, 10000), Qt::AlignLeft | Qt::AlignTop, l->text());
            tamano = tamano.expandedTo(texto.size());
        }
        const int izquierda = alineacion & Qt::AlignRight ? caja.right() + 1 - tamano.width() : caja.left();
        l->setGeometry(izquierda, caja.top(), tamano.width(), tamano.height());
        return l;
    };
    auto enlaceDerecha = [&](const char* nombre, const QString& texto, QRect caja) {
        return etiqueta(nombre, texto, caja, Tahoma(11, false, true), false, Qt::AlignRight);
    };

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(24, 8, 33, 33);
    ProgramIcon->setScaledContents(true);
    QSvgRenderer icono(QStringLiteral(":/iconos/tavelorin.svg"));
    ProgramIcon->setPixmap(Imagen(icono, QSize(32, 32)));

    ProductName = etiqueta("ProductName", QStringLiteral("TAVELORIN"), {67, 10, 123, 23}, Tahoma(19, true), false);
    ColorTexto(ProductName, QColor(0x80, 0x00, 0x00));
    Label4 = etiqueta("Label4", QStringLiteral("Versión"), {202, 15, 40, 14}, Tahoma(12), false);
    Version = etiqueta("Version", QStringLiteral("2015 · A"), {261, 15, 48, 14}, Tahoma(12), false);
    Comments = etiqueta("Comments", QStringLiteral("Desarrollado en:"), {67, 37, 96, 14}, Tahoma(12), true);
    Label3 = etiqueta("Label3", QStringLiteral("Grupo de Organización de la Producción"), {67, 52, 325, 14},
                      Tahoma(12), true);
    Label5 = etiqueta("Label5", QStringLiteral("Escuela de Ingeniería"), {67, 67, 188, 14}, Tahoma(12), true);
    Label6 = etiqueta("Label6", QStringLiteral("Licencia de uso:"), {67, 92, 119, 14}, Tahoma(12), true);
    Label7 = etiqueta("Label7", QStringLiteral("GNU GPL v3"), {202, 92, 101, 14}, Tahoma(12, false, true), true);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(160, 115, 136, 46);
    QSvgRenderer insignia(QByteArray::fromRawData(kInsigniaLicencia, sizeof kInsigniaLicencia - 1));
    Image1->setPixmap(Imagen(insignia, QSize(136, 46)));

    Label8 = etiqueta("Label8", kTerminos, {67, 162, 307, 70}, Tahoma(12), true);
    Label2 = enlaceDerecha("Label2", QStringLiteral("info@example.org"), {371, 37, 99, 13});
    Label1 = enlaceDerecha("Label1", QStringLiteral("gop.example.org"), {398, 52, 72, 13});
    Label9 = enlaceDerecha("Label9", QStringLiteral("eii.example.org"), {409, 67, 61, 13});
    for (QLabel* enlace : {Label7, Label2, Label1, Label9}) ColorTexto(enlace, QColor(0x00, 0x00, 0xFF));

    BitBtn1 = new QPushButton(QStringLiteral("Aceptar"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(202, 241, 75, 26);
    BitBtn1->setDefault(true);
    BitBtn1->raise();
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

    SendMail1 = new QAction(QStringLiteral("&Enviar email..."), this);
    SendMail1->setObjectName(QStringLiteral("SendMail1"));
    SendMail1->setToolTip(QStringLiteral("Enviar email"));
    SendMail1->setStatusTip(QStringLiteral("Enviar email"));
    SendMail1->setProperty("categoria", QStringLiteral("Internet"));
    connect(SendMail1, &QAction::triggered, this, [this] { abridor_.EnviarCorreo(MensajeCorreo()); });

    for (QWidget* w : {Panel1, Shape1, static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2),
                       static_cast<QWidget*>(Label7), static_cast<QWidget*>(Label9)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

bool TAboutBox::eventFilter(QObject* objeto, QEvent* evento) {
    const QEvent::Type tipo = evento->type();
    if (tipo == QEvent::MouseMove) {
        // Handled here: the move does not go on to the panel below.
        if (objeto == Label1) { Label1MouseMove(); return true; }
        if (objeto == Label2) { Label2MouseMove(); return true; }
        if (objeto == Label7) { Label7MouseMove(); return true; }
        if (objeto == Label9) { Label9MouseMove(); return true; }
        if (objeto == Shape1) { Shape1MouseMove(); return true; }
        if (objeto == Panel1) { Panel1MouseMove(); return true; }
    } else if (tipo == QEvent::MouseButtonPress || tipo == QEvent::MouseButtonDblClick) {
        // Any button; a double click is a second press.
        if (objeto == Label1) { Label1MouseDown(); return true; }
        if (objeto == Label2) { Label2MouseDown(); return true; }
        if (objeto == Label7) { Label7MouseDown(); return true; }
        if (objeto == Label9) { Label9MouseDown(); return true; }
    }
    return QDialog::eventFilter(objeto, evento);
}

void TAboutBox::Label1MouseMove() { FijarCursorAplicacion(Qt::PointingHandCursor); }
void TAboutBox::Label2MouseMove() { FijarCursorAplicacion(Qt::PointingHandCursor); }
void TAboutBox::Label7MouseMove() { FijarCursorAplicacion(Qt::PointingHandCursor); }
void TAboutBox::Label9MouseMove() { FijarCursorAplicacion(Qt::PointingHandCursor); }
void TAboutBox::Panel1MouseMove() { FijarCursorAplicacion(Qt::ArrowCursor); }
void TAboutBox::Shape1MouseMove() { FijarCursorAplicacion(Qt::ArrowCursor); }

void TAboutBox::Label1MouseDown() { abridor_.AbrirDireccion(kDireccionOrganizacion1); }
void TAboutBox::Label2MouseDown() { SendMail1->trigger(); }
void TAboutBox::Label7MouseDown() { abridor_.AbrirDireccion(kDireccionLicencia); }
void TAboutBox::Label9MouseDown() { abridor_.AbrirDireccion(kDireccionOrganizacion2); }

void TAboutBox::BitBtn1Click() { accept(); }

void TAboutBox::showEvent(QShowEvent* evento) {
    CentrarEnPantalla();
    QDialog::showEvent(evento);
}

// The hand cursor belongs to the links: it does not follow the user back to the window.
void TAboutBox::hideEvent(QHideEvent* evento) {
    FijarCursorAplicacion(Qt::ArrowCursor);
    QDialog::hideEvent(evento);
}

void TAboutBox::CentrarEnPantalla() {
    QScreen* pantalla = parentWidget() != nullptr ? parentWidget()->screen() : screen();
    if (pantalla == nullptr) pantalla = QGuiApplication::primaryScreen();
    if (pantalla == nullptr) return;
    const QRect area = pantalla->geometry();
    const QSize marco = frameGeometry().size();
    const QPoint esquinaMarco(area.x() + (area.width() - marco.width()) / 2,
                              area.y() + (area.height() - marco.height()) / 2);
    move(esquinaMarco);
}

}  // namespace tavelorin
