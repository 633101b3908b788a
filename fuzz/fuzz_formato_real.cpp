// Real text formatter (AnadirTextoReal / TextoReal) against the rule: zero is "0";
// otherwise the 18-digit correctly rounded decimal of the value (std::to_chars,
// scientific, 17), rounded half up at digit P + 1 (cut otherwise), trailing zeros
// dropped, fixed notation for exponents -3..P (magnitude = 0.d1d2... x 10^x), else
// d1[sep d2...]E[-]xx with at least E exponent digits; "-" before a negative value.
// Also: the text's shape, its value read back (by the reference and by the program's
// own reading) against the value rounded to P digits, and the error bound of that
// rounding.
//
// Input: byte 0 chooses the value's kind (bits 0-1: raw bits, a ratio of two integers
// as the ideals are, the square root of a ratio as the distances are, a whole number),
// the separator (bit 2) and the format (bits 3-4: P = 4 / E = 4 twice as often as
// P = 15 / E = 0, or any P = 1..18 and E = 0..5 from the next byte); then the value's
// bytes.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "Comprobar.h"
#include "core/TextoReal.h"

using namespace tavelorin;

namespace {

struct Lector {
    const uint8_t* p;
    size_t n;
    template <class T>
    T Tomar() {
        T v{};
        const size_t k = n < sizeof v ? n : sizeof v;
        std::memcpy(&v, p, k);
        p += k;
        n -= k;
        return v;
    }
};

std::string Cifras(int64_t v, int minimo) {
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) < minimo) s.insert(0, static_cast<size_t>(minimo) - s.size(), '0');
    return s;
}

// The rule, step by step. cifrasFinales/exponente: the P digits kept (without trailing
// zeros) and x, for the value checks.
std::string Referencia(double valor, const FormatoReal& f, std::string& cifrasFinales, int& exponente) {
    if (valor == 0) {
        cifrasFinales = "0";
        exponente = 1;
        return "0";
    }
    char buf[64];
    const auto fin = std::to_chars(buf, buf + sizeof buf, std::fabs(valor), std::chars_format::scientific, 17).ptr;
    const std::string_view t(buf, static_cast<size_t>(fin - buf));  // d.ddddddddddddddddde[+-]xx
    COMPROBAR(t.size() > 20 && t[1] == '.' && t[19] == 'e', "to_chars dio [" + std::string(t) + "]");
    std::string d = std::string(1, t[0]) + std::string(t.substr(2, 17));
    int x = 0;
    std::from_chars(t.data() + (t[20] == '+' ? 21 : 20), t.data() + t.size(), x);
    x += 1;
    const int P = f.digitos;
    if (P < 18) {
        const bool arriba = d[static_cast<size_t>(P)] >= '5';
        d.resize(static_cast<size_t>(P));
        if (arriba) {
            int i = P - 1;
            for (; i >= 0 && d[static_cast<size_t>(i)] == '9'; --i) d[static_cast<size_t>(i)] = '0';
            if (i >= 0) {
                ++d[static_cast<size_t>(i)];
            } else {
                d.insert(d.begin(), '1');
                d.pop_back();
                ++x;
            }
        }
    }
    d.erase(d.find_last_not_of('0') + 1);
    cifrasFinales = d;
    exponente = x;

    std::string r = valor < 0 ? "-" : "";
    const int64_t r_ = static_cast<int64_t>(d.size());
    if (x >= -3 && x <= P) {
        if (x <= 0) r += "0" + f.separador + std::string(static_cast<size_t>(-x), '0') + d;
        else if (r_ <= x) r += d + std::string(static_cast<size_t>(x - r_), '0');
        else r += d.substr(0, static_cast<size_t>(x)) + f.separador + d.substr(static_cast<size_t>(x));
    } else {
        r += d.substr(0, 1);
        if (d.size() > 1) r += f.separador + d.substr(1);
        r += "E";
        if (x - 1 < 0) r += "-";
        r += Cifras(std::abs(x - 1), f.digitosExponente);
    }
    return r;
}

long double LeerLargo(const std::string& texto) {
    long double v = 0;
    const auto r = std::from_chars(texto.data(), texto.data() + texto.size(), v);
    COMPROBAR(r.ec == std::errc() && r.ptr == texto.data() + texto.size(), "no se lee [" + texto + "]");
    return v;
}

std::string Real(double v) {
    char b[64];
    std::snprintf(b, sizeof b, "%.17g", v);
    return b;
}

bool EsCifra(char c) { return c >= '0' && c <= '9'; }

// The shape of the text, read on its own: sign, digits, separator, exponent.
void ComprobarForma(const std::string& s, double valor, const FormatoReal& f) {
    const std::string& sep = f.separador;
    size_t i = 0;
    COMPROBAR(!s.empty(), "texto vacio");
    if (valor == 0) {
        COMPROBAR(s == "0", "el cero se escribe [" + s + "]");
        return;
    }
    COMPROBAR((s[0] == '-') == (valor < 0), "signo de [" + s + "]");
    if (s[0] == '-') ++i;
    std::string cifras;   // every digit of the significand, in order
    int antesSeparador = 0;
    bool conSeparador = false;
    while (i < s.size() && EsCifra(s[i])) cifras.push_back(s[i++]);
    antesSeparador = static_cast<int>(cifras.size());
    if (s.compare(i, sep.size(), sep) == 0 && !sep.empty()) {
        conSeparador = true;
        i += sep.size();
        const size_t antes = cifras.size();
        while (i < s.size() && EsCifra(s[i])) cifras.push_back(s[i++]);
        COMPROBAR(cifras.size() > antes && cifras.back() != '0', "parte decimal de [" + s + "]");
    }
    COMPROBAR(antesSeparador >= 1, "sin cifra antes del separador: [" + s + "]");
    const size_t primera = cifras.find_first_not_of('0');
    COMPROBAR(primera != std::string::npos, "sin cifra significativa: [" + s + "]");
    const std::string significativas = cifras.substr(primera, cifras.find_last_not_of('0') + 1 - primera);
    COMPROBAR(static_cast<int>(significativas.size()) <= f.digitos, "mas de P cifras: [" + s + "]");
    if (i < s.size()) {
        // Scientific: one nonzero digit before the separator, E, at least E exponent digits.
        COMPROBAR(s[i] == 'E' && antesSeparador == 1 && cifras[0] != '0', "forma cientifica de [" + s + "]");
        ++i;
        const bool menos = i < s.size() && s[i] == '-';
        if (menos) ++i;
        const std::string e = s.substr(i);
        COMPROBAR(!e.empty() && e.find_first_not_of("0123456789") == std::string::npos, "exponente de [" + s + "]");
        const int64_t x = std::stoll(e) * (menos ? -1 : 1) + 1;
        COMPROBAR(x < -3 || x > f.digitos, "cientifica con exponente " + std::to_string(x) + ": [" + s + "]");
        COMPROBAR(e == Cifras(std::abs(x - 1), f.digitosExponente), "cifras del exponente de [" + s + "]");
    } else {
        // Fixed: no leading zero but a lone "0" before the separator; exponent -3..P.
        COMPROBAR(antesSeparador == 1 || cifras[0] != '0', "ceros iniciales en [" + s + "]");
        COMPROBAR(cifras[0] != '0' || conSeparador, "[" + s + "]");
        const int x = cifras[0] != '0' ? antesSeparador : -static_cast<int>(primera - 1);
        COMPROBAR(x >= -3 && x <= f.digitos, "fija con exponente " + std::to_string(x) + ": [" + s + "]");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    if (tamano == 0) return 0;
    Lector lector{datos + 1, tamano - 1};
    const uint8_t control = datos[0];
    const std::string sep = (control & 4) ? "," : ".";
    FormatoReal formato = FormatoInforme(sep);
    switch ((control >> 3) & 3) {
        case 2: formato = FormatoSecuencia(sep); break;
        case 3: {
            const uint8_t b = lector.Tomar<uint8_t>();
            formato = FormatoReal{1 + b % 18, (b / 18) % 6, sep};
            break;
        }
        default: break;
    }
    double valor = 0;
    switch (control & 3) {
        case 0: valor = lector.Tomar<double>(); break;
        case 1: {
            const int32_t a = lector.Tomar<int32_t>();
            const int32_t b = lector.Tomar<int32_t>();
            valor = static_cast<double>(static_cast<long double>(a) / (b == 0 ? 1 : b));
            break;
        }
        case 2: {
            const uint32_t a = lector.Tomar<uint32_t>();
            const uint16_t b = lector.Tomar<uint16_t>();
            valor = static_cast<double>(std::sqrt(static_cast<long double>(a) / (b + 1.0L)));
            break;
        }
        default: valor = static_cast<double>(lector.Tomar<int64_t>()); break;
    }

    const std::string texto = TextoReal(valor, formato);
    std::string anadido = "previo\t";
    AnadirTextoReal(anadido, valor, formato);
    COMPROBAR(anadido == "previo\t" + texto, "AnadirTextoReal no anade el mismo texto");
    if (!std::isfinite(valor)) return 0;

    std::string cifras;
    int x = 0;
    const std::string esperado = Referencia(valor, formato, cifras, x);
    COMPROBAR(texto == esperado, "valor " + Real(valor) + " con P = " + std::to_string(formato.digitos) + ", E = " + std::to_string(formato.digitosExponente) +
                  ", separador " + sep + ": [" + texto + "], la regla da [" + esperado + "]");
    ComprobarForma(texto, valor, formato);

    // Its value: the P digits kept, read back with the separator, within the rounding bound.
    std::string normal = texto;
    if (const size_t s = normal.find(sep); s != std::string::npos) normal.replace(s, sep.size(), ".");
    if (const size_t e = normal.find('E'); e != std::string::npos) normal[e] = 'e';
    const long double leido = LeerLargo(normal);
    const long double redondeado = (valor < 0 ? -1 : 1) * LeerLargo("0." + cifras + "e" + std::to_string(x));
    COMPROBAR(leido == redondeado, "[" + texto + "] no vale 0." + cifras + "e" + std::to_string(x));
    const long double unidad = std::pow(10.0L, static_cast<long double>(x - formato.digitos));
    const long double cota = unidad / 2 + std::pow(10.0L, static_cast<long double>(x - 17)) +
                             std::fabs(static_cast<long double>(valor)) * 0x1p-60L;
    COMPROBAR(std::fabs(leido - static_cast<long double>(valor)) <= cota, "[" + texto + "] lejos del valor");
    const std::optional<long double> propio = IntentarTextoAReal(texto, sep);
    COMPROBAR(propio && *propio == leido, "la lectura del programa no da el valor de [" + texto + "]");
    return 0;
}
