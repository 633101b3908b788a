// Pieces of report lines produced alone (LineasInforme::AnadirTramo) against the same
// bytes of the whole lines, for the tests and the fuzz target.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/LineasInforme.h"

namespace tavelorin {

struct TramoDistinto {
    int64_t a = 0, b = 0;
    std::string tramo, esperado;
};

// Every window a..b (0 ≤ a ≤ b) of line i with both ends among puntos, against bytes a..b
// of linea cut at its end; the first window that differs, or none.
inline std::optional<TramoDistinto> PrimerTramoDistinto(const LineasInforme& l, int64_t i, const std::string& linea,
                                                        std::span<const int64_t> puntos) {
    const int64_t largo = static_cast<int64_t>(linea.size());
    for (int64_t a : puntos)
        for (int64_t b : puntos) {
            if (a < 0 || b < a) continue;
            std::string tramo;
            l.AnadirTramo(i, a, b, tramo);
            const size_t desde = static_cast<size_t>(std::min(a, largo));
            std::string esperado = linea.substr(desde, static_cast<size_t>(std::min(b, largo)) - desde);
            if (tramo != esperado) return TramoDistinto{a, b, std::move(tramo), std::move(esperado)};
        }
    return std::nullopt;
}

}  // namespace tavelorin
