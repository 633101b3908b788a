// Encoded bytes gathered in a fixed block that goes to the file whenever it fills, so no
// request to the system is larger than a block.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

#include "files/Codificacion.h"

namespace tavelorin {

class ReemplazoFichero;

class SalidaBloques final : public SalidaBytes {
public:
    static constexpr std::size_t kTamano = std::size_t{1} << 20;

    // antesDeEscribir, when given, runs before each block goes to the file; it may throw
    // to stop the writing.
    explicit SalidaBloques(ReemplazoFichero& fichero, std::function<void()> antesDeEscribir = {});

    void Anadir(const char* datos, std::size_t n) override;
    // Sends what the block holds.
    void Vaciar();

private:
    ReemplazoFichero& fichero_;
    std::function<void()> antesDeEscribir_;
    std::unique_ptr<char[]> bloque_;
    std::size_t usado_ = 0;
};

}  // namespace tavelorin
