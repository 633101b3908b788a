#include "TextoReal.h"

#include <cmath>
#include <charconv>

namespace tavelorin {

FormatoReal FormatoInforme(std::string_view separador) { return {4, 4, std::string(separador)}; }
FormatoReal FormatoSecuencia(std::string_view separador) { return {15, 0, std::string(separador)}; }

namespace {

constexpr double kPotencias10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                   1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};

void AnadirEnteroSinSigno(std::string& destino, unsigned long long v) {
    char buf[24];
    char* p = buf + sizeof buf;
    do {
        *--p = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    destino.append(p, static_cast<size_t>(buf + sizeof buf - p));
}

}  // namespace

void AnadirTextoReal(std::string& destino, double valor, const FormatoReal& formato) {
    const int P = formato.digitos;
    if (valor == 0) {
        destino.push_back('0');
        return;
    }
    if (std::isnan(valor)) {
        destino.append("NAN");
        return;
    }
    if (std::isinf(valor)) {
        destino.append(valor < 0 ? "-INF" : "INF");
        return;
    }
    const double magnitud = std::fabs(valor);
    // Whole numbers with at most P digits print as plain integers.
    if (magnitud < kPotencias10[P] && magnitud == std::floor(magnitud)) {
        if (valor < 0) destino.push_back('-');
        AnadirEnteroSinSigno(destino, static_cast<unsigned long long>(magnitud));
        return;
    }

    // 18 significant digits, correctly rounded (d.ddddddddddddddddde±x), whatever the
    // C library's locale.
    char buf[40];
    const auto fin = std::to_chars(buf, buf + sizeof buf, magnitud, std::chars_format::scientific, 17).ptr;
    char digitos[20];
    digitos[0] = buf[0];
    for (int i = 0; i < 17; ++i) digitos[i + 1] = buf[2 + i];
    int exponente = 0;
    std::from_chars(buf + (buf[20] == '+' ? 21 : 20), fin, exponente);
    ++exponente;  // magnitude = 0.d1d2... x 10^exponente

    int r = P;
    if (P < 18 && digitos[P] >= '5') {
        int i = P - 1;
        while (i >= 0 && digitos[i] == '9') {
            digitos[i] = '0';
            --i;
        }
        if (i < 0) {
            digitos[0] = '1';
            for (int j = 1; j < P; ++j) digitos[j] = '0';
            ++exponente;
        } else {
            ++digitos[i];
        }
    }
    while (r > 1 && digitos[r - 1] == '0') --r;

    if (valor < 0) destino.push_back('-');
    if (exponente >= -3 && exponente <= P) {
        if (exponente <= 0) {
            destino.push_back('0');
            destino.append(formato.separador);
            destino.append(static_cast<size_t>(-exponente), '0');
            destino.append(digitos, static_cast<size_t>(r));
        } else {
            if (r <= exponente) {
                destino.append(digitos, static_cast<size_t>(r));
                destino.append(static_cast<size_t>(exponente - r), '0');
            } else {
                destino.append(digitos, static_cast<size_t>(exponente));
                destino.append(formato.separador);
                destino.append(digitos + exponente, static_cast<size_t>(r - exponente));
            }
        }
        return;
    }
    destino.push_back(digitos[0]);
    if (r > 1) {
        destino.append(formato.separador);
        destino.append(digitos + 1, static_cast<size_t>(r - 1));
    }
    destino.push_back('E');
    int x = exponente - 1;
    if (x < 0) {
        destino.push_back('-');
        x = -x;
    }
    std::string cifras;
    AnadirEnteroSinSigno(cifras, static_cast<unsigned long long>(x));
    if (static_cast<int>(cifras.size()) < formato.digitosExponente)
        destino.append(static_cast<size_t>(formato.digitosExponente) - cifras.size(), '0');
    destino.append(cifras);
}

std::string TextoReal(double valor, const FormatoReal& formato) {
    std::string s;
    AnadirTextoReal(s, valor, formato);
    return s;
}

}  // namespace tavelorin
