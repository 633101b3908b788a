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

    // One draw, uniform over minimo..maximo inclusive: minimo + floor(s * (maximo -
    // minimo + 1) / 2^32), s being the new state, in 64-bit arithmetic. Crossed bounds
    // are taken the other way round (the commands refuse them before drawing).
    int32_t EnteroAleatorio(int32_t minimo, int32_t maximo);
};

}  // namespace tavelorin
