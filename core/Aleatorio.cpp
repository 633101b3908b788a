#include "core/Aleatorio.h"

#include <chrono>

namespace tavelorin {

void GeneradorAleatorio::SembrarAleatorio() {
    const auto ahora = std::chrono::steady_clock::now().time_since_epoch();
    SemillaAleatoria = static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(ahora).count());
}

int32_t GeneradorAleatorio::EnteroAleatorio(int32_t minimo, int32_t maximo) {
    RealAleatorio();
    const uint64_t s = SemillaAleatoria;
    const int32_t k = static_cast<int32_t>(static_cast<uint32_t>(maximo) - static_cast<uint32_t>(minimo));
    // r * k is exact: s * |k| needs at most 63 bits.
    if (k >= 0) return static_cast<int32_t>(1 + static_cast<int64_t>((s * static_cast<uint64_t>(k)) >> 32));
    const uint64_t magnitud = static_cast<uint64_t>(-static_cast<int64_t>(k));
    return static_cast<int32_t>(1 - static_cast<int64_t>((s * magnitud) >> 32));
}

}  // namespace tavelorin
