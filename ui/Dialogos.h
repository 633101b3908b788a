// The dialogs the windows show, behind a small interface so that tests can answer them.
#pragma once

#include <QFont>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "ui/Impresion.h"

class QDialog;
class QFileDialog;
class QInputDialog;
class QMessageBox;
class QPrintDialog;
class QPrinter;
class QWidget;

namespace tavelorin {

// Answers to the question about unsaved changes.
enum class RespuestaCambios { Guardar, Descartar, Cancelar };

// Includes the print dialog (Ejecutar) on the application's printer.
class Dialogos : public DialogoImprimir {
public:
    virtual ~Dialogos() = default;

    // Modal input box; nullopt when the user cancels or closes it.
    virtual std::optional<QString> PedirTexto(QWidget* padre, const QString& titulo, const QString& pregunta,
                                              const QString& porDefecto) = 0;
    // Error box: error icon, the message, its explanation below it (when there is one),
    // one OK button.
    virtual void MostrarError(QWidget* padre, const QString& titulo, const QString& mensaje,
                              const QString& explicacion = QString()) = 0;
    // Information box: one OK button.
    virtual void MostrarInformacion(QWidget* padre, const QString& titulo, const QString& mensaje) = 0;
    // A yes/no question ("Sí", "No"; "No" is the default and Esc); true for "Sí".
    virtual bool Confirmar(QWidget* padre, const QString& titulo, const QString& pregunta) = 0;
    // The question before unsaved changes would be lost: "Guardar" (the default),
    // "Descartar", "Cancelar" (also Esc and the close box).
    virtual RespuestaCambios PreguntarCambios(QWidget* padre, const QString& titulo, const QString& pregunta) = 0;
    // Font dialog loaded with the current font; nullopt on cancel.
    virtual std::optional<QFont> ElegirFuente(QWidget* padre, const QFont& actual) = 0;
    // Printer set-up on the application's printer: the printer and its page.
    virtual void ConfigurarImpresora(QWidget* padre, QPrinter& impresora) = 0;
    // Print preview of what pintar draws on the application's printer (pintar may be
    // called again to print from the preview). An error of pintar closes the preview and
    // is thrown from here.
    virtual void VistaPreliminar(QWidget* padre, QPrinter& impresora, const std::function<void(QPrinter&)>& pintar) = 0;
    // File dialogs: the chosen name, or nullopt on cancel. filtro is "Label (*.ext)", or
    // several such filters separated by ";;" (a save dialog then adds the extension of
    // the filter chosen to a name typed without one; extension is the first filter's).
    // A save dialog asks before it returns the name of an existing file (the toolkit's
    // own question, in the language of its loaded translation).
    virtual std::optional<QString> NombreParaAbrir(QWidget* padre, const QString& filtro, const QString& propuesto) = 0;
    virtual std::optional<QString> NombreParaGuardar(QWidget* padre, const QString& filtro, const QString& extension,
                                                     const QString& propuesto) = 0;
    // Shows one of the program's own forms modally; true when it closed with OK.
    virtual bool MostrarModal(QDialog& formulario) = 0;
};

// The real dialogs.
class DialogosQt : public Dialogos {
public:
    std::optional<QString> PedirTexto(QWidget* padre, const QString& titulo, const QString& pregunta,
                                      const QString& porDefecto) override;
    void MostrarError(QWidget* padre, const QString& titulo, const QString& mensaje,
                      const QString& explicacion = QString()) override;
    void MostrarInformacion(QWidget* padre, const QString& titulo, const QString& mensaje) override;
    bool Confirmar(QWidget* padre, const QString& titulo, const QString& pregunta) override;
    RespuestaCambios PreguntarCambios(QWidget* padre, const QString& titulo, const QString& pregunta) override;
    std::optional<QFont> ElegirFuente(QWidget* padre, const QFont& actual) override;
    void ConfigurarImpresora(QWidget* padre, QPrinter& impresora) override;
    void VistaPreliminar(QWidget* padre, QPrinter& impresora, const std::function<void(QPrinter&)>& pintar) override;
    std::optional<QString> NombreParaAbrir(QWidget* padre, const QString& filtro, const QString& propuesto) override;
    std::optional<QString> NombreParaGuardar(QWidget* padre, const QString& filtro, const QString& extension,
                                             const QString& propuesto) override;
    bool MostrarModal(QDialog& formulario) override;
    bool Ejecutar(QWidget* padre, QPrinter& impresora) override;
};

// The save dialog as NombreParaGuardar sets it up: filter, default suffix, proposed
// name, and the toolkit's confirmation before an existing file is replaced.
void PrepararDialogoGuardar(QFileDialog& dialogo, const QString& filtro, const QString& extension,
                            const QString& propuesto);

// The question box of Confirmar: "Sí" and "No", "No" the default and the answer of Esc.
bool PreguntarSiNo(QWidget* padre, const QString& titulo, const QString& pregunta);

// --- The real dialogs as they are built, for tests to look at ---

// The error box: caption, error icon, the message, the explanation as its informative
// text, one OK button; at least as wide as its caption needs.
std::unique_ptr<QMessageBox> CrearCajaError(QWidget* padre, const QString& titulo, const QString& mensaje,
                                            const QString& explicacion);
// The input box, wide enough for its caption and its prompt.
std::unique_ptr<QInputDialog> CrearCajaTexto(QWidget* padre, const QString& titulo, const QString& pregunta,
                                             const QString& porDefecto);
// The printer set-up: the platform's print dialog choosing the printer (or a PDF file)
// and its page, with "Aceptar" instead of "Imprimir".
std::unique_ptr<QPrintDialog> CrearDialogoConfigurar(QWidget* padre, QPrinter& impresora);
// The width a dialog needs for its caption in the title bar, buttons included.
int AnchoParaTitulo(const QWidget& dialogo, const QString& titulo);

}  // namespace tavelorin
