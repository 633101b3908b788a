#include "ui/Dialogos.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>

namespace tavelorin {

std::optional<QString> DialogosQt::PedirTexto(QWidget* padre, const QString& titulo, const QString& pregunta,
                                              const QString& porDefecto) {
    QInputDialog caja(padre);
    caja.setWindowTitle(titulo);
    caja.setLabelText(pregunta);
    caja.setTextValue(porDefecto);
    caja.setOkButtonText(QStringLiteral("Aceptar"));
    caja.setCancelButtonText(QStringLiteral("Cancelar"));
    if (caja.exec() != QDialog::Accepted) return std::nullopt;
    return caja.textValue();
}

void DialogosQt::MostrarError(QWidget* padre, const QString& titulo, const QString& mensaje) {
    QMessageBox caja(QMessageBox::Critical, titulo, mensaje, QMessageBox::Ok, padre);
    caja.exec();
}

void DialogosQt::MostrarInformacion(QWidget* padre, const QString& titulo, const QString& mensaje) {
    QMessageBox caja(QMessageBox::Information, titulo, mensaje, QMessageBox::Ok, padre);
    caja.exec();
}

std::optional<QFont> DialogosQt::ElegirFuente(QWidget* padre, const QFont& actual) {
    bool aceptada = false;
    const QFont fuente = QFontDialog::getFont(&aceptada, actual, padre);
    if (!aceptada) return std::nullopt;
    return fuente;
}

void DialogosQt::ConfigurarImpresora(QWidget* padre, QPrinter& impresora) {
    QPageSetupDialog dialogo(&impresora, padre);
    dialogo.exec();
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

std::optional<QString> DialogosQt::NombreParaGuardar(QWidget* padre, const QString& filtro, const QString& extension,
                                                     const QString& propuesto) {
    QFileDialog dialogo(padre);
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialogo.setNameFilter(filtro);
    dialogo.setDefaultSuffix(extension);
    if (!propuesto.isEmpty()) dialogo.selectFile(propuesto);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) return std::nullopt;
    return dialogo.selectedFiles().front();
}

bool DialogosQt::MostrarModal(QDialog& formulario) { return formulario.exec() == QDialog::Accepted; }

bool DialogosQt::Ejecutar(QWidget* padre, QPrinter& impresora) { return DialogoImprimirQt().Ejecutar(padre, impresora); }

}  // namespace tavelorin
