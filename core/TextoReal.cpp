#include "core/TextoReal.h"

#include <cmath>
#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>

#include "core/Errores.h"

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

namespace detalle {

void Digitos18(double magnitud, char digitos[18], int& exponente) {
    // d.ddddddddddddddddde±x from the C++ library, whatever the C library's locale.
    char buf[40];
    const auto fin = std::to_chars(buf, buf + sizeof buf, magnitud, std::chars_format::scientific, 17).ptr;
    digitos[0] = buf[0];
    for (int i = 0; i < 17; ++i) digitos[i + 1] = buf[2 + i];
    int x = 0;
    std::from_chars(buf + (buf[20] == '+' ? 21 : 20), fin, x);
    exponente = x + 1;
}

bool Digitos18Rapido(double magnitud, char* digitos, int& exponente, int cuantos) {
    // magnitud = M * 2^E exactly. With s = 17 - floor(log10(magnitud)), the 18 digits are
    // M * 10^s / 2^-E rounded to nearest, ties to even, in 128-bit integers when 10^s
    // stays below 10^23 and E < 0: every value the report formats except huge or tiny ones.
    using u128 = unsigned __int128;
    const uint64_t bits = std::bit_cast<uint64_t>(magnitud);
    const int exponenteBinario = static_cast<int>(bits >> 52);
    if (exponenteBinario == 0 || exponenteBinario == 0x7FF) return false;
    const uint64_t mantisa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
    const int e = exponenteBinario - 1075;
    if (e >= 0) return false;
    const int desplazamiento = -e;
    if (desplazamiento > 126) return false;
    static constexpr u128 kPotencias[] = {
        1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull, 10000000ull, 100000000ull,
        1000000000ull, 10000000000ull, 100000000000ull, 1000000000000ull, 10000000000000ull,
        100000000000000ull, 1000000000000000ull, 10000000000000000ull, 100000000000000000ull,
        1000000000000000000ull, 10000000000000000000ull, u128{10000000000000000000ull} * 10,
        u128{10000000000000000000ull} * 100, u128{10000000000000000000ull} * 1000};
    int e10 = ((e + 52) * 78913) >> 18;  // floor(log10(2^(e+52))), an estimate of floor(log10)
    for (int intento = 0; intento < 3; ++intento) {
        const int s = 17 - e10;
        if (s < 0 || s > 22) return false;
        const u128 n = static_cast<u128>(mantisa) * kPotencias[s];
        u128 q = n >> desplazamiento;
        const u128 resto = n & ((u128{1} << desplazamiento) - 1);
        const u128 mitad = u128{1} << (desplazamiento - 1);
        if (resto > mitad || (resto == mitad && (q & 1))) ++q;
        if (q >= kPotencias[18]) {
            if (q == kPotencias[18] && (n >> desplazamiento) < kPotencias[18]) {
                q = kPotencias[17];  // rounding carried into a new digit
                ++e10;
            } else {
                ++e10;
                continue;
            }
        } else if (q < kPotencias[17]) {
            --e10;
            continue;
        }
        uint64_t v = static_cast<uint64_t>(q / kPotencias[18 - cuantos]);
        for (int i = cuantos - 1; i >= 0; --i) {
            digitos[i] = static_cast<char>('0' + v % 10);
            v /= 10;
        }
        exponente = e10 + 1;
        return true;
    }
    return false;
}

}  // namespace detalle

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

    // The first P + 1 of the 18 significant digits, correctly rounded; magnitude =
    // 0.d1d2... x 10^exponente.
    char digitos[20];
    int exponente = 0;
    const int cuantos = P < 18 ? P + 1 : 18;
    if (!detalle::Digitos18Rapido(magnitud, digitos, exponente, cuantos))
        detalle::Digitos18(magnitud, digitos, exponente);

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

namespace tavelorin {

std::optional<long double> IntentarTextoAReal(std::string_view texto, std::string_view separador) {
    size_t i = 0;
    const size_t n = texto.size();
    while (i < n && texto[i] == ' ') ++i;
    std::string normal;  // the number in the C library's own form
    if (i < n && (texto[i] == '+' || texto[i] == '-')) {
        if (texto[i] == '-') normal.push_back('-');
        ++i;
    }
    bool hayCifras = false;
    bool haySeparador = false;
    std::string entera, fraccion;
    while (i < n && texto[i] >= '0' && texto[i] <= '9') entera.push_back(texto[i++]);
    if (!separador.empty() && texto.substr(i, separador.size()) == separador) {
        haySeparador = true;
        i += separador.size();
        while (i < n && texto[i] >= '0' && texto[i] <= '9') fraccion.push_back(texto[i++]);
    }
    hayCifras = !entera.empty() || !fraccion.empty();
    if (!hayCifras && !haySeparador) return std::nullopt;
    normal += entera.empty() ? "0" : entera;
    if (!fraccion.empty()) normal += "." + fraccion;
    long long exponente = 0;
    if (i < n && (texto[i] == 'E' || texto[i] == 'e')) {
        ++i;
        bool negativo = false;
        if (i < n && (texto[i] == '+' || texto[i] == '-')) negativo = texto[i++] == '-';
        while (i < n && texto[i] >= '0' && texto[i] <= '9') {
            if (exponente < 1000000000) exponente = exponente * 10 + (texto[i] - '0');
            ++i;
        }
        if (negativo) exponente = -exponente;
    }
    while (i < n && texto[i] == ' ') ++i;
    if (i != n) return std::nullopt;
    normal.push_back('e');
    normal += std::to_string(exponente);

    long double valor = 0;
    const auto r = std::from_chars(normal.data(), normal.data() + normal.size(), valor);
    if (r.ec == std::errc::result_out_of_range) {
        // Too small for the significand's range reads as zero; too large does not read.
        // The place of the first significant digit tells which.
        const size_t primera = (entera + fraccion).find_first_not_of('0');
        const bool cero = primera == std::string::npos ||
                          exponente + static_cast<long long>(entera.size()) - static_cast<long long>(primera) <= 0;
        if (!cero) return std::nullopt;
        return normal[0] == '-' ? -0.0L : 0.0L;
    }
    if (r.ec != std::errc() || r.ptr != normal.data() + normal.size()) return std::nullopt;
    return valor;
}

double TextoAReal(std::string_view texto, std::string_view separador) {
    const std::optional<long double> valor = IntentarTextoAReal(texto, separador);
    if (!valor) throw ErrorTavelorin("'" + TextoCitado(texto) + "' is not a valid floating point value");
    if (std::fabs(*valor) > static_cast<long double>(std::numeric_limits<double>::max()))
        throw ErrorTavelorin("Floating point overflow");
    return static_cast<double>(*valor);
}

std::string AjustarDecimal(std::string_view texto, std::string_view separador) {
    std::string resultado(texto);
    if (IntentarTextoAReal(texto, separador)) return resultado;
    if (const size_t coma = resultado.find(','); coma != std::string::npos) {
        resultado[coma] = '.';
    } else if (const size_t punto = resultado.find('.'); punto != std::string::npos) {
        resultado[punto] = ',';
    }
    return resultado;
}

}  // namespace tavelorin
