// tavelorin: the desktop program.
#include <QApplication>
#include <QIcon>

#include "core/Version.h"
#include "files/ReemplazoAtomico.h"
#include "ui/Dialogos.h"
#include "ui/Main.h"
#include "ui/ManejoErrores.h"
#include "ui/RutasFichero.h"
#include "ui/Traducciones.h"

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
            if (dialogos != nullptr) tavelorin::MostrarErrorDe(*dialogos, activeWindow(), std::current_exception());
            return false;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    tavelorin::LimpiarTemporalesAlTerminar();  // a save cut short leaves no temporary file
    TAplicacion aplicacion(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavelorin"));
    // No display name: the platform would append it to every window title, and the main
    // window's title already reads "TAVELORIN - name.brk".
    QApplication::setApplicationVersion(QString::fromLatin1(tavelorin::kVersion));
    // Lets the desktop match the window to its menu entry (icon, name, pinning).
    QGuiApplication::setDesktopFileName(QStringLiteral("tavelorin"));
    // The standard dialogs speak the user's language.
    tavelorin::InstalarTraduccionesQt();
    tavelorin::DialogosQt dialogos;
    aplicacion.dialogos = &dialogos;

    // Qt has taken its own options out of argv; file names keep their bytes.
    tavelorin::TMainForm ventana(dialogos, tavelorin::ArgumentosDeLinea(argc, argv));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/iconos/tavelorin.svg")));
    ventana.showMaximized();
    return QApplication::exec();
}
