// The application's one failure handler: a command's error ends the command, is shown
// in an error box captioned "TAVELORIN", and the program goes on.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tavelorin {

class Dialogos;

inline const QString kTituloAplicacion = QStringLiteral("TAVELORIN");

// Runs a command; any error it raises is shown (with the final "." rule) and swallowed.
// Returns false when the command failed.
bool EjecutarComando(Dialogos& dialogos, QWidget* padre, const std::function<void()>& comando);

// The text an error carries, for any exception that reaches the handler.
QString MensajeDeExcepcion(std::exception_ptr error);

// What the error box shows: the message (with the final "." rule) and, below it, its
// Spanish explanation (empty when the message needs none).
struct ErrorParaMostrar {
    QString mensaje;
    QString explicacion;
};
ErrorParaMostrar ErrorDeExcepcion(std::exception_ptr error);

// Shows an error in the error box.
void MostrarErrorDe(Dialogos& dialogos, QWidget* padre, std::exception_ptr error);

}  // namespace tavelorin
