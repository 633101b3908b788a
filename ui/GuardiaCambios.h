// The question before unsaved changes would be lost (New, Open, a random problem, closing
// the window or the desktop session): "Guardar", "Descartar" or "Cancelar", asked once and
// only when the problem or the report holds changes that no file has.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QSessionManager;
class QWidget;

namespace tavelorin {

class CambiosPendientes;
class Dialogos;

class GuardiaCambios : public QObject {
    Q_OBJECT
public:
    // How the window saves each part: true when it was written, false when the user
    // cancelled a file dialog; a failed write throws.
    struct Guardados {
        std::function<bool()> problema;
        std::function<bool()> informe;
    };

    // nombreProblema gives the problem file's name as the question shows it (empty when
    // it has none). Answers the desktop session's request to save before it ends.
    GuardiaCambios(CambiosPendientes& cambios, Dialogos& dialogos, QWidget* ventana,
                   std::function<QString()> nombreProblema, Guardados guardados);

    // Before a command that replaces the problem: true when it may go on (nothing
    // unsaved; "Descartar"; or "Guardar" and every modified part was written). A failed
    // write throws, which ends the command.
    bool PuedeContinuar();
    // The same before the window closes; a failed write is reported here and keeps the
    // window open.
    bool PuedeCerrar();
    // The desktop session wants to end: true when it may. Without leave to ask it may
    // not while something is unsaved. "Descartar" counts as the user's decision, so the
    // flags are cleared and closing the window afterwards asks nothing more.
    bool PuedeTerminarSesion(bool puedePreguntar);

    // The question as the user reads it.
    QString Pregunta() const;

    // Runs before the flags are read, so that what is still being typed counts.
    void AntesDePreguntar(std::function<void()> preparar) { preparar_ = std::move(preparar); }

private:
    void AtenderFinDeSesion(QSessionManager& sesion);
    bool GuardarTodo();

    CambiosPendientes& cambios_;
    Dialogos& dialogos_;
    QWidget* ventana_;
    std::function<QString()> nombreProblema_;
    Guardados guardados_;
    std::function<void()> preparar_;
};

}  // namespace tavelorin
