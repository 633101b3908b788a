#include "core/Aleatorio.h"

#include <chrono>
#include <utility>

namespace tavelorin {

void GeneradorAleatorio::SembrarAleatorio() {
    const auto ahora = std::chrono::steady_clock::now().time_since_epoch();
    SemillaAleatoria = static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(ahora).count());
}

int32_t GeneradorAleatorio::EnteroAleatorio(int32_t minimo, int32_t maximo) {
    RealAleatorio();
    if (minimo > maximo) std::swap(minimo, maximo);
    // s < 2^32 and the width <= 2^32, so their product fits in 64 bits.
    const uint64_t s = SemillaAleatoria;
    const uint64_t ancho = static_cast<uint64_t>(int64_t{maximo} - int64_t{minimo}) + 1;
    return static_cast<int32_t>(int64_t{minimo} + static_cast<int64_t>((s * ancho) >> 32));
}

}  // namespace tavelorin
