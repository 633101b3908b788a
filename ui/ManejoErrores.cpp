#include "ui/ManejoErrores.h"

#include <new>
#include <stdexcept>

#include "ui/Dialogos.h"
#include "core/Errores.h"

namespace tavelorin {

QString MensajeDeExcepcion(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return QString::fromUtf8(TextoParaMostrar(mensajes::kSinMemoria));
    } catch (const std::exception& e) {
        return QString::fromUtf8(TextoParaMostrar(e.what()));
    } catch (...) {
        return QStringLiteral("Error desconocido.");
    }
}

bool EjecutarComando(Dialogos& dialogos, QWidget* padre, const std::function<void()>& comando) {
    try {
        comando();
        return true;
    } catch (...) {
        const QString mensaje = MensajeDeExcepcion(std::current_exception());
        dialogos.MostrarError(padre, kTituloAplicacion, mensaje);
        return false;
    }
}

}  // namespace tavelorin
