// The program's one pseudo-random generator: a 32-bit linear congruential state.
#pragma once

#include <cstdint>

namespace tavelorin {

class GeneradorAleatorio {
public:
    uint32_t SemillaAleatoria = 0;

    // Seeds from the monotonic clock in nanoseconds (its low 32 bits).
    void SembrarAleatorio();

    // Advances the state (x 134775813 + 1, mod 2^32) and returns it / 2^32, in [0, 1).
    double RealAleatorio() {
        SemillaAleatoria = SemillaAleatoria * 134775813u + 1u;
        return static_cast<double>(SemillaAleatoria) / 4294967296.0;
    }

    // 1 + trunc(r * (max - min)), the difference taken in 32-bit wrapping arithmetic.
    int32_t EnteroAleatorio(int32_t minimo, int32_t maximo);
};

}  // namespace tavelorin
