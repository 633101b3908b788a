#include "core/TextoEntero.h"

#include <string>

#include "core/Errores.h"

namespace tavelorin {

namespace {

int ValorHex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<int32_t> IntentarTextoAEntero(std::string_view texto) {
    size_t i = 0;
    const size_t n = texto.size();
    while (i < n && texto[i] == ' ') ++i;
    bool negativo = false;
    if (i < n && (texto[i] == '+' || texto[i] == '-')) {
        negativo = texto[i] == '-';
        ++i;
    }
    if (i >= n) return std::nullopt;

    bool hex = false;
    if (texto[i] == '$' || texto[i] == 'x' || texto[i] == 'X') {
        hex = true;
        ++i;
    } else if (texto[i] == '0' && i + 1 < n && (texto[i + 1] == 'x' || texto[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n) return std::nullopt;

    if (hex) {
        uint64_t valor = 0;
        for (; i < n; ++i) {
            const int d = ValorHex(texto[i]);
            if (d < 0) return std::nullopt;
            valor = valor * 16 + static_cast<unsigned>(d);
            if (valor > 0xFFFFFFFFull) return std::nullopt;
        }
        uint32_t patron = static_cast<uint32_t>(valor);
        if (negativo) patron = 0u - patron;
        return static_cast<int32_t>(patron);
    }

    uint64_t valor = 0;
    for (; i < n; ++i) {
        const char c = texto[i];
        if (c < '0' || c > '9') return std::nullopt;
        valor = valor * 10 + static_cast<unsigned>(c - '0');
        if (valor > 2147483648ull) return std::nullopt;
    }
    if (negativo) return static_cast<int32_t>(-static_cast<int64_t>(valor));
    if (valor > 2147483647ull) return std::nullopt;
    return static_cast<int32_t>(valor);
}

int32_t TextoAEntero(std::string_view texto) {
    if (auto v = IntentarTextoAEntero(texto)) return *v;
    throw ErrorTavelorin(MensajeEnteroInvalido(texto));
}

}  // namespace tavelorin
