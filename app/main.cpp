// tavelorin: the desktop program.
#include <QApplication>
#include <QIcon>

#include "core/Version.h"
#include "files/ReemplazoAtomico.h"
#include "ui/Dialogos.h"
#include "ui/Main.h"
#include "ui/ManejoErrores.h"
#include "ui/RutasFichero.h"

namespace {

// No exception may cross into the event loop: whatever a handler lets through is shown
// like any command's error, and the program goes on.
class TAplicacion : public QApplication {
public:
    using QApplication::QApplication;
    tavelorin::Dialogos* dialogos = nullptr;

    bool notify(QObject* receptor, QEvent* evento) override {
        try {
            return QApplication::notify(receptor, evento);
        } catch (...) {
            const QString mensaje = tavelorin::MensajeDeExcepcion(std::current_exception());
            if (dialogos != nullptr) dialogos->MostrarError(activeWindow(), tavelorin::kTituloAplicacion, mensaje);
            return false;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    tavelorin::LimpiarTemporalesAlTerminar();  // a save cut short leaves no temporary file
    TAplicacion aplicacion(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavelorin"));
    QApplication::setApplicationDisplayName(tavelorin::kTituloAplicacion);
    QApplication::setApplicationVersion(QString::fromLatin1(tavelorin::kVersion));
    // Lets the desktop match the window to its menu entry (icon, name, pinning).
    QGuiApplication::setDesktopFileName(QStringLiteral("tavelorin"));
    tavelorin::DialogosQt dialogos;
    aplicacion.dialogos = &dialogos;

    // Qt has taken its own options out of argv; file names keep their bytes.
    tavelorin::TMainForm ventana(dialogos, tavelorin::ArgumentosDeLinea(argc, argv));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/iconos/tavelorin.svg")));
    ventana.showMaximized();
    return QApplication::exec();
}
