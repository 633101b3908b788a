#include "ui/ManejoErrores.h"

#include <new>
#include <stdexcept>

#include "ui/Dialogos.h"
#include "core/Errores.h"
#include "core/Explicaciones.h"

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

ErrorParaMostrar ErrorDeExcepcion(std::exception_ptr error) {
    return {MensajeDeExcepcion(error), QString::fromStdString(ExplicacionDe(error))};
}

void MostrarErrorDe(Dialogos& dialogos, QWidget* padre, std::exception_ptr error) {
    const ErrorParaMostrar e = ErrorDeExcepcion(error);
    dialogos.MostrarError(padre, kTituloAplicacion, e.mensaje, e.explicacion);
}

bool EjecutarComando(Dialogos& dialogos, QWidget* padre, const std::function<void()>& comando) {
    try {
        comando();
        return true;
    } catch (...) {
        MostrarErrorDe(dialogos, padre, std::current_exception());
        return false;
    }
}

}  // namespace tavelorin
