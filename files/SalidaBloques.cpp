#include "files/SalidaBloques.h"

#include <algorithm>
#include <cstring>

#include "files/ReemplazoAtomico.h"

namespace tavelorin {

SalidaBloques::SalidaBloques(ReemplazoFichero& fichero, std::function<void()> antesDeEscribir)
    : fichero_(fichero), antesDeEscribir_(std::move(antesDeEscribir)), bloque_(new char[kTamano]) {}

void SalidaBloques::Anadir(const char* datos, std::size_t n) {
    while (n > 0) {
        if (usado_ == kTamano) Vaciar();
        const std::size_t k = std::min(n, kTamano - usado_);
        std::memcpy(bloque_.get() + usado_, datos, k);
        usado_ += k;
        datos += k;
        n -= k;
    }
}

void SalidaBloques::Vaciar() {
    if (antesDeEscribir_) antesDeEscribir_();
    fichero_.Escribir(bloque_.get(), usado_);
    usado_ = 0;
}

}  // namespace tavelorin
