#include "ui/AleatorioU.h"

#include "ui/Dialogos.h"
#include "ui/Fuentes.h"
#include "ui/ManejoErrores.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace tavelorin {

namespace {

QFrame* BarraGris(QWidget* padre, const QRect& zona) {
    auto* barra = new QFrame(padre);
    barra->setGeometry(zona);
    barra->setFrameShape(QFrame::NoFrame);
    barra->setAutoFillBackground(true);
    QPalette paleta = barra->palette();
    paleta.setColor(QPalette::Window, QColor(128, 128, 128));
    barra->setPalette(paleta);
    return barra;
}

QLabel* Titulo(QWidget* padre, const QString& texto, QPoint donde) {
    auto* titulo = new QLabel(texto, padre);
    QFont negrita = titulo->font();
    negrita.setBold(true);
    titulo->setFont(negrita);
    QPalette paleta = titulo->palette();
    paleta.setColor(QPalette::WindowText, Qt::white);
    titulo->setPalette(paleta);
    titulo->move(donde);
    titulo->adjustSize();
    titulo->setFixedHeight(16);
    return titulo;
}

}  // namespace

TFormAleatorio::TFormAleatorio(QWidget* padre) : QDialog(padre) {
    setObjectName(QStringLiteral("FormAleatorio"));
    setWindowTitle(QStringLiteral("Crear problema aleatorio..."));
    setFont(FuenteSansSerif(11));
    resize(555, 213);  // a 563 x 240 window with its frame and title bar
    setSizeGripEnabled(true);

    Shape1 = BarraGris(this, QRect(5, 20, 246, 16));
    Shape2 = BarraGris(this, QRect(265, 20, 271, 16));
    TituloProductos = Titulo(this, QStringLiteral("Productos"), QPoint(100, 20));
    TituloComponentes = Titulo(this, QStringLiteral("Componentes"), QPoint(365, 20));

    // Each edit with its label right-aligned just to its left.
    auto campo = [this](const QString& etiqueta, const QString& inicial, QPoint donde, int izquierda) {
        auto* edit = new QLineEdit(inicial, this);
        edit->setGeometry(donde.x(), donde.y(), 41, 21);
        auto* rotulo = new QLabel(etiqueta, this);
        rotulo->setGeometry(izquierda, donde.y(), donde.x() - 5 - izquierda, 21);
        rotulo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        rotulo->setBuddy(edit);
        // Where the platform's sans-serif face runs wider than the layout allows,
        // narrow the label a little rather than cut its text.
        QFont fuente = rotulo->font();
        for (int ancho = 98; rotulo->sizeHint().width() > rotulo->width() && ancho >= 80; ancho -= 2) {
            fuente.setStretch(ancho);
            rotulo->setFont(fuente);
        }
        return edit;
    };
    const TextosAleatorios iniciales;
    // The left column's labels keep a margin from the window's edge.
    constexpr int kMargen = 8;
    ENProd = campo(QStringLiteral("Número de productos:"), QString::fromStdString(iniciales.productos), {210, 50},
                   kMargen);
    ENUMin = campo(QStringLiteral("Número de unidades mínimas de producto:"),
                   QString::fromStdString(iniciales.unidadesMinimas), {210, 75}, kMargen);
    ENUMax = campo(QStringLiteral("Número de unidades máximas de producto:"),
                   QString::fromStdString(iniciales.unidadesMaximas), {210, 100}, kMargen);
    ENComp = campo(QStringLiteral("Número de componentes:"), QString::fromStdString(iniciales.componentes), {495, 50}, 256);
    EProbC = campo(QStringLiteral("Probabilidad de componente en producto:"),
                   QString::fromStdString(iniciales.probabilidad), {495, 75}, 256);
    ECantMin = campo(QStringLiteral("Cantidad mínima de componente en producto:"),
                     QString::fromStdString(iniciales.cantidadMinima), {495, 100}, 256);
    ECantMax = campo(QStringLiteral("Cantidad máxima de componente en producto:"),
                     QString::fromStdString(iniciales.cantidadMaxima), {495, 125}, 256);
    ENProd->setObjectName(QStringLiteral("ENProd"));
    ENComp->setObjectName(QStringLiteral("ENComp"));
    ENUMin->setObjectName(QStringLiteral("ENUMin"));
    ENUMax->setObjectName(QStringLiteral("ENUMax"));
    EProbC->setObjectName(QStringLiteral("EProbC"));
    ECantMin->setObjectName(QStringLiteral("ECantMin"));
    ECantMax->setObjectName(QStringLiteral("ECantMax"));

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Aceptar"), this);
    BitBtn1->setGeometry(180, 170, 75, 25);
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(true);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancelar"), this);
    BitBtn2->setGeometry(265, 170, 75, 25);
    BitBtn2->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    QWidget* orden[] = {ENProd, ENComp, BitBtn1, BitBtn2, EProbC, ECantMin, ECantMax, ENUMin, ENUMax};
    for (size_t i = 0; i + 1 < std::size(orden); ++i) setTabOrder(orden[i], orden[i + 1]);
    ENProd->setFocus();
}

TextosAleatorios TFormAleatorio::Textos() const {
    TextosAleatorios t;
    t.productos = ENProd->text().toStdString();
    t.componentes = ENComp->text().toStdString();
    t.unidadesMinimas = ENUMin->text().toStdString();
    t.unidadesMaximas = ENUMax->text().toStdString();
    t.probabilidad = EProbC->text().toStdString();
    t.cantidadMinima = ECantMin->text().toStdString();
    t.cantidadMaxima = ECantMax->text().toStdString();
    return t;
}

}  // namespace tavelorin

namespace tavelorin {

QLineEdit* TFormAleatorio::Campo(CampoAleatorio campo) const {
    switch (campo) {
        case CampoAleatorio::Productos: return ENProd;
        case CampoAleatorio::Componentes: return ENComp;
        case CampoAleatorio::UnidadesMinimas: return ENUMin;
        case CampoAleatorio::UnidadesMaximas: return ENUMax;
        case CampoAleatorio::Probabilidad: return EProbC;
        case CampoAleatorio::CantidadMinima: return ECantMin;
        case CampoAleatorio::CantidadMaxima: return ECantMax;
    }
    return ENProd;
}

void TFormAleatorio::ComprobarAlAceptar(Dialogos& dialogos, std::string separador) {
    dialogos_ = &dialogos;
    separador_ = std::move(separador);
}

std::optional<ParametrosAleatorios> TFormAleatorio::Comprobar() {
    std::optional<ParametrosAleatorios> parametros;
    std::optional<CampoAleatorio> malo;
    EjecutarComando(*dialogos_, this, [&] {
        try {
            parametros = ComprobarParametrosAleatorios(Textos(), separador_);
        } catch (const ErrorCampoAleatorio& e) {
            malo = e.Campo();
            throw;
        }
    });
    if (malo) {
        QLineEdit* campo = Campo(*malo);
        campo->setFocus();
        campo->selectAll();
    }
    return parametros;
}

void TFormAleatorio::accept() {
    if (dialogos_ != nullptr && !Comprobar()) return;
    QDialog::accept();
}

}  // namespace tavelorin
