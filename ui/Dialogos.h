// The dialogs the windows show, behind a small interface so that tests can answer them.
#pragma once

#include <QFont>
#include <QString>
#include <optional>

#include "ui/Impresion.h"

class QDialog;
class QFileDialog;
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
    // Error box: error icon, one OK button.
    virtual void MostrarError(QWidget* padre, const QString& titulo, const QString& mensaje) = 0;
    // Information box: one OK button.
    virtual void MostrarInformacion(QWidget* padre, const QString& titulo, const QString& mensaje) = 0;
    // A yes/no question ("Sí", "No"; "No" is the default and Esc); true for "Sí".
    virtual bool Confirmar(QWidget* padre, const QString& titulo, const QString& pregunta) = 0;
    // The question before unsaved changes would be lost: "Guardar" (the default),
    // "Descartar", "Cancelar" (also Esc and the close box).
    virtual RespuestaCambios PreguntarCambios(QWidget* padre, const QString& titulo, const QString& pregunta) = 0;
    // Font dialog loaded with the current font; nullopt on cancel.
    virtual std::optional<QFont> ElegirFuente(QWidget* padre, const QFont& actual) = 0;
    // Printer set-up on the application's printer.
    virtual void ConfigurarImpresora(QWidget* padre, QPrinter& impresora) = 0;
    // File dialogs: the chosen name, or nullopt on cancel. filtro is "Label (*.ext)".
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
    void MostrarError(QWidget* padre, const QString& titulo, const QString& mensaje) override;
    void MostrarInformacion(QWidget* padre, const QString& titulo, const QString& mensaje) override;
    bool Confirmar(QWidget* padre, const QString& titulo, const QString& pregunta) override;
    RespuestaCambios PreguntarCambios(QWidget* padre, const QString& titulo, const QString& pregunta) override;
    std::optional<QFont> ElegirFuente(QWidget* padre, const QFont& actual) override;
    void ConfigurarImpresora(QWidget* padre, QPrinter& impresora) override;
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

}  // namespace tavelorin
