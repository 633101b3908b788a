#include "ui/Dialogos.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace tavelorin {

int AnchoParaTitulo(const QWidget& dialogo, const QString& titulo) {
    // The caption as the title bar shows it: Qt adds the application's name.
    QString mostrado = titulo;
    const QString programa = QGuiApplication::applicationDisplayName();
    if (!programa.isEmpty() && mostrado != programa) mostrado += QStringLiteral(" \u2014 ") + programa;
    // Title bars draw their caption in a bold face of about the window's size, next to
    // the window's icon and its buttons.
    QFont fuente = QApplication::font("QMdiSubWindowTitleBar");
    fuente.setBold(true);
    const int texto = QFontMetrics(fuente).horizontalAdvance(mostrado);
    const int textoVentana = QFontMetrics(dialogo.font()).horizontalAdvance(mostrado);
    constexpr int kBotonesYMargenes = 160;
    return std::max(texto, textoVentana) + kBotonesYMargenes;
}

std::unique_ptr<QInputDialog> CrearCajaTexto(QWidget* padre, const QString& titulo, const QString& pregunta,
                                             const QString& porDefecto) {
    auto caja = std::make_unique<QInputDialog>(padre);
    caja->setWindowTitle(titulo);
    caja->setLabelText(pregunta);
    caja->setTextValue(porDefecto);
    caja->setOkButtonText(QStringLiteral("Aceptar"));
    caja->setCancelButtonText(QStringLiteral("Cancelar"));
    // The box keeps its size to what its layout asks: the edit asks for the room.
    if (auto* edit = caja->findChild<QLineEdit*>()) {
        const QMargins margenes = caja->layout() != nullptr ? caja->layout()->contentsMargins() : QMargins();
        edit->setMinimumWidth(AnchoParaTitulo(*caja, titulo) - margenes.left() - margenes.right());
    }
    return caja;
}

std::optional<QString> DialogosQt::PedirTexto(QWidget* padre, const QString& titulo, const QString& pregunta,
                                              const QString& porDefecto) {
    const std::unique_ptr<QInputDialog> caja = CrearCajaTexto(padre, titulo, pregunta, porDefecto);
    if (caja->exec() != QDialog::Accepted) return std::nullopt;
    return caja->textValue();
}

std::unique_ptr<QMessageBox> CrearCajaError(QWidget* padre, const QString& titulo, const QString& mensaje,
                                            const QString& explicacion) {
    auto caja = std::make_unique<QMessageBox>(QMessageBox::Critical, titulo, mensaje, QMessageBox::Ok, padre);
    caja->setTextFormat(Qt::PlainText);
    if (!explicacion.isEmpty()) caja->setInformativeText(explicacion);
    // The box sizes itself to its texts; a spacer as wide as the caption needs keeps a
    // short message from cutting the caption off, and gives an explanation room for
    // lines of a readable length.
    int ancho = AnchoParaTitulo(*caja, titulo);
    if (!explicacion.isEmpty()) {
        constexpr int kAnchoExplicacion = 420;
        ancho = std::max(ancho, std::min(kAnchoExplicacion, caja->fontMetrics().horizontalAdvance(explicacion) + 80));
    }
    if (auto* rejilla = qobject_cast<QGridLayout*>(caja->layout())) {
        rejilla->addItem(new QSpacerItem(ancho, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), rejilla->rowCount(), 0,
                         1, rejilla->columnCount());
    }
    return caja;
}

void DialogosQt::MostrarError(QWidget* padre, const QString& titulo, const QString& mensaje, const QString& explicacion) {
    CrearCajaError(padre, titulo, mensaje, explicacion)->exec();
}

void DialogosQt::MostrarInformacion(QWidget* padre, const QString& titulo, const QString& mensaje) {
    QMessageBox caja(QMessageBox::Information, titulo, mensaje, QMessageBox::Ok, padre);
    caja.exec();
}

bool DialogosQt::Confirmar(QWidget* padre, const QString& titulo, const QString& pregunta) {
    return PreguntarSiNo(padre, titulo, pregunta);
}

bool PreguntarSiNo(QWidget* padre, const QString& titulo, const QString& pregunta) {
    QMessageBox caja(QMessageBox::Question, titulo, pregunta, QMessageBox::NoButton, padre);
    QPushButton* si = caja.addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
    QPushButton* no = caja.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    caja.setDefaultButton(no);
    caja.setEscapeButton(no);
    caja.exec();
    return caja.clickedButton() == si;
}

RespuestaCambios DialogosQt::PreguntarCambios(QWidget* padre, const QString& titulo, const QString& pregunta) {
    QMessageBox caja(QMessageBox::Warning, titulo, pregunta, QMessageBox::NoButton, padre);
    caja.setInformativeText(QStringLiteral("Si no los guarda, los cambios se perderán."));
    QPushButton* guardar = caja.addButton(QStringLiteral("Guardar"), QMessageBox::AcceptRole);
    QPushButton* descartar = caja.addButton(QStringLiteral("Descartar"), QMessageBox::DestructiveRole);
    QPushButton* cancelar = caja.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    caja.setDefaultButton(guardar);
    caja.setEscapeButton(cancelar);
    caja.exec();
    if (caja.clickedButton() == guardar) return RespuestaCambios::Guardar;
    if (caja.clickedButton() == descartar) return RespuestaCambios::Descartar;
    return RespuestaCambios::Cancelar;
}

std::optional<QFont> DialogosQt::ElegirFuente(QWidget* padre, const QFont& actual) {
    bool aceptada = false;
    const QFont fuente = QFontDialog::getFont(&aceptada, actual, padre);
    if (!aceptada) return std::nullopt;
    return fuente;
}

std::unique_ptr<QPrintDialog> CrearDialogoConfigurar(QWidget* padre, QPrinter& impresora) {
    auto dialogo = std::make_unique<QPrintDialog>(&impresora, padre);
    dialogo->setWindowTitle(QStringLiteral("Configurar impresora"));
    dialogo->setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    // It only chooses: nothing is printed when it closes.
    if (auto* botones = dialogo->findChild<QDialogButtonBox*>()) {
        if (QPushButton* aceptar = botones->button(QDialogButtonBox::Ok)) aceptar->setText(QStringLiteral("Aceptar"));
    }
    return dialogo;
}

void DialogosQt::ConfigurarImpresora(QWidget* padre, QPrinter& impresora) {
    CrearDialogoConfigurar(padre, impresora)->exec();
}

void DialogosQt::VistaPreliminar(QWidget* padre, QPrinter& impresora, const std::function<void(QPrinter&)>& pintar) {
    QPrintPreviewDialog dialogo(&impresora, padre);
    dialogo.setWindowTitle(QStringLiteral("Vista preliminar"));
    std::exception_ptr error;
    // No error may cross into the dialog's event loop: the first one closes it.
    QObject::connect(&dialogo, &QPrintPreviewDialog::paintRequested, &dialogo, [&](QPrinter* destino) {
        if (error) return;
        try {
            pintar(*destino);
        } catch (...) {
            error = std::current_exception();
            QTimer::singleShot(0, &dialogo, &QDialog::reject);
        }
    });
    dialogo.exec();
    if (error) std::rethrow_exception(error);
}

std::optional<QString> DialogosQt::NombreParaAbrir(QWidget* padre, const QString& filtro, const QString& propuesto) {
    QFileDialog dialogo(padre);
    dialogo.setAcceptMode(QFileDialog::AcceptOpen);
    dialogo.setFileMode(QFileDialog::AnyFile);  // the program does not test that the file exists
    dialogo.setNameFilter(filtro);
    if (!propuesto.isEmpty()) dialogo.selectFile(propuesto);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) return std::nullopt;
    return dialogo.selectedFiles().front();
}

void PrepararDialogoGuardar(QFileDialog& dialogo, const QString& filtro, const QString& extension,
                            const QString& propuesto) {
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialogo.setNameFilter(filtro);
    dialogo.setDefaultSuffix(extension);
    // With several filters, a name typed without an extension takes the chosen filter's.
    QObject::connect(&dialogo, &QFileDialog::filterSelected, &dialogo, [&dialogo](const QString& elegido) {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\(\\*\\.(\\w+)")).match(elegido);
        if (m.hasMatch()) dialogo.setDefaultSuffix(m.captured(1));
    });
    if (!propuesto.isEmpty()) dialogo.selectFile(propuesto);
}

std::optional<QString> DialogosQt::NombreParaGuardar(QWidget* padre, const QString& filtro, const QString& extension,
                                                     const QString& propuesto) {
    QFileDialog dialogo(padre);
    PrepararDialogoGuardar(dialogo, filtro, extension, propuesto);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) return std::nullopt;
    return dialogo.selectedFiles().front();
}

bool DialogosQt::MostrarModal(QDialog& formulario) { return formulario.exec() == QDialog::Accepted; }

bool DialogosQt::Ejecutar(QWidget* padre, QPrinter& impresora) { return DialogoImprimirQt().Ejecutar(padre, impresora); }

}  // namespace tavelorin
