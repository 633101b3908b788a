#include "ui/Dialogos.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>

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

bool DialogosQt::Confirmar(QWidget* padre, const QString& titulo, const QString& pregunta) {
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

void PrepararDialogoGuardar(QFileDialog& dialogo, const QString& filtro, const QString& extension,
                            const QString& propuesto) {
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialogo.setNameFilter(filtro);
    dialogo.setDefaultSuffix(extension);
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
