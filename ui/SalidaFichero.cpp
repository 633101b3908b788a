#include "ui/SalidaFichero.h"

#include "ui/RutasFichero.h"

namespace tavelorin {

SalidaFichero::SalidaFichero(const QString& nombre) : reemplazo_(RutaDeNombre(nombre)) {
    QIODevice::open(QIODevice::WriteOnly);
}

qint64 SalidaFichero::writeData(const char* datos, qint64 n) {
    if (error_) return -1;
    // No error may cross the writer's code: it is kept and thrown by Confirmar.
    try {
        reemplazo_.Escribir(datos, static_cast<std::size_t>(n));
    } catch (...) {
        error_ = std::current_exception();
        return -1;
    }
    return n;
}

void SalidaFichero::Confirmar() {
    close();
    if (error_) std::rethrow_exception(error_);
    reemplazo_.Confirmar();
}

}  // namespace tavelorin
