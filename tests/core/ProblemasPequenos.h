// Small problems for the core's tests: a seeded generator, random problem lines, and
// problems held as numbers with their Q²·J and brute-force optimum from the definition.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Calidad.h"
#include "core/Secuenciador.h"

namespace tavelorin::prueba {

using Lineas = std::vector<std::string>;

// Small deterministic generator for random problems.
struct Lcg {
    uint32_t s;
    int32_t Entre(int32_t a, int32_t b) {
        s = s * 134775813u + 1u;
        return a + static_cast<int32_t>((static_cast<uint64_t>(s) * static_cast<uint64_t>(b - a + 1)) >> 32);
    }
};

// n products, m components, usages bMin..bMax; the first demand n..dMax + n, the others
// -1..dMax.
inline Lineas ProblemaAleatorio(uint32_t semilla, int n, int m, int dMax, int bMin, int bMax) {
    Lcg g{semilla};
    Lineas l = {std::to_string(n), std::to_string(m)};
    for (int i = 0; i < n; ++i) {
        std::string fila;
        for (int j = 0; j < m; ++j) fila += std::to_string(g.Entre(bMin, bMax)) + "\t";
        fila += std::to_string(i == 0 ? g.Entre(n, dMax + n) : g.Entre(-1, dMax));
        l.push_back(fila);
    }
    return l;
}

inline EstadoSecuenciador Leer(const Lineas& lineas) {
    EstadoSecuenciador e;
    LeerProblema(e, lineas);
    return e;
}

inline std::string Texto(Natural128 v) { return TextoNatural(v); }

// A problem as numbers.
struct Datos {
    std::vector<std::vector<int64_t>> b;  // b[i][j]
    std::vector<int64_t> d;
};

inline Lineas LineasDe(const Datos& p) {
    const size_t m = p.b.empty() ? 0 : p.b[0].size();
    Lineas l = {std::to_string(p.d.size()), std::to_string(m)};
    for (size_t i = 0; i < p.d.size(); ++i) {
        std::string fila;
        for (const int64_t v : p.b[i]) fila += std::to_string(v) + "\t";
        l.push_back(fila + std::to_string(p.d[i]));
    }
    return l;
}

// Q²·J of a sequence, straight from the definition.
inline Natural128 Variacion(const Datos& p, const Secuencia& s) {
    const size_t m = p.b.empty() ? 0 : p.b[0].size();
    int64_t q = 0;
    std::vector<int64_t> total(m, 0), x(m, 0);
    for (size_t i = 0; i < p.d.size(); ++i) {
        q += p.d[i];
        for (size_t j = 0; j < m; ++j) total[j] += p.b[i][j] * p.d[i];
    }
    Natural128 suma = 0;
    for (size_t k = 1; k <= s.size(); ++k) {
        for (size_t j = 0; j < m; ++j) {
            x[j] += p.b[static_cast<size_t>(s[k - 1] - 1)][j];
            const Entero128 e = static_cast<Entero128>(q) * x[j] - static_cast<Entero128>(k) * total[j];
            suma += static_cast<Natural128>(e * e);
        }
    }
    return suma;
}

struct Mejor {
    Natural128 variacion = 0;
    Secuencia secuencia;
};

// Every distinct permutation of the multiset (a negative demand counts as 0), in
// lexicographic order: the first one of least J is the lexicographically smallest optimum.
inline Mejor FuerzaBruta(const Datos& p) {
    Secuencia s;
    for (size_t i = 0; i < p.d.size(); ++i)
        for (int64_t c = 0; c < p.d[i]; ++c) s.push_back(static_cast<int32_t>(i + 1));
    Mejor mejor;
    bool primera = true;
    do {
        const Natural128 v = Variacion(p, s);
        if (primera || v < mejor.variacion) {
            mejor = {v, s};
            primera = false;
        }
    } while (std::next_permutation(s.begin(), s.end()));
    return mejor;
}

}  // namespace tavelorin::prueba
