// Real text rule: IntentarTextoAReal against a reference reading (its own scan of the
// text, its own normalisation, strtold), TextoAReal's value and messages, and
// AjustarDecimal: a text that converts stays as it is, any other has its first "," (or,
// without one, its first ".") swapped, and a text written with the other separator
// converts after the swap to the same value.
//
// Input: first byte, bit 0: the separator ("," or "."); the rest is the text.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "Comprobar.h"
#include "core/Errores.h"
#include "core/TextoReal.h"

using namespace tavelorin;
using tavelorin::fuzz::Visible;

namespace {

bool EsCifra(char c) { return c >= '0' && c <= '9'; }

std::string Mostrar(std::optional<long double> v) {
    if (!v) return "nada";
    char b[64];
    std::snprintf(b, sizeof b, "%.21Lg", *v);
    return b;
}

bool MismoValor(std::optional<long double> a, std::optional<long double> b) {
    if (a.has_value() != b.has_value()) return false;
    return !a || (*a == *b && std::signbit(*a) == std::signbit(*b));
}

// The rule, scanned as a sequence of optional parts:
//   spaces, [sign], digits, [separator digits], [E|e [sign] digits], spaces
// with at least one digit or the separator before the exponent. A missing exponent
// number is 0. The value: all mantissa digits as one integer D, scaled by
// 10^(exponent - fraction digits), read by strtold; beyond the range of long double,
// large does not read and small reads as zero.
std::optional<long double> Referencia(std::string_view t, std::string_view sep) {
    size_t i = 0;
    auto tomarCifras = [&](std::string& destino) {
        while (i < t.size() && EsCifra(t[i])) destino.push_back(t[i++]);
    };
    while (i < t.size() && t[i] == ' ') ++i;
    bool negativo = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) negativo = t[i++] == '-';
    std::string entera, fraccion;
    tomarCifras(entera);
    bool conSeparador = false;
    if (i + sep.size() <= t.size() && t.substr(i, sep.size()) == sep) {
        conSeparador = true;
        i += sep.size();
        tomarCifras(fraccion);
    }
    if (entera.empty() && fraccion.empty() && !conSeparador) return std::nullopt;
    long long exponente = 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        bool menos = false;
        if (i < t.size() && (t[i] == '-' || t[i] == '+')) menos = t[i++] == '-';
        std::string cifras;
        tomarCifras(cifras);
        for (const char c : cifras) exponente = std::min(exponente * 10 + (c - '0'), 1000000000000000LL);
        if (menos) exponente = -exponente;
    }
    while (i < t.size() && t[i] == ' ') ++i;
    if (i != t.size()) return std::nullopt;

    std::string d = entera + fraccion;
    long long escala = exponente - static_cast<long long>(fraccion.size());
    const size_t primera = d.find_first_not_of('0');
    if (primera == std::string::npos) return negativo ? -0.0L : 0.0L;
    d.erase(0, primera);
    const size_t ultima = d.find_last_not_of('0');
    escala += static_cast<long long>(d.size() - 1 - ultima);
    d.erase(ultima + 1);
    const std::string normal = d + "e" + std::to_string(escala);
    errno = 0;
    char* fin = nullptr;
    long double v = std::strtold(normal.c_str(), &fin);
    COMPROBAR(fin == normal.c_str() + normal.size(), "la referencia no lee [" + normal + "]");
    if (errno == ERANGE) {
        if (std::isinf(v)) return std::nullopt;
        v = 0;
    }
    return negativo ? -v : v;
}

// TextoAReal against the reading of the same text.
void ComprobarTextoAReal(std::string_view texto, std::string_view sep, std::optional<long double> leido) {
    try {
        const double v = TextoAReal(texto, sep);
        COMPROBAR(leido, "TextoAReal leyo [" + Visible(texto) + "], que no convierte");
        COMPROBAR(std::fabs(*leido) <= static_cast<long double>(std::numeric_limits<double>::max()),
                  "TextoAReal no dio desbordamiento para [" + Visible(texto) + "]");
        const double esperado = static_cast<double>(*leido);
        COMPROBAR(std::memcmp(&v, &esperado, sizeof v) == 0, "TextoAReal de [" + Visible(texto) + "] no es " +
                                                                 Mostrar(esperado));
    } catch (const ErrorTavelorin& e) {
        const std::string mensaje = e.what();
        if (!leido) {
            // what() is a C string: a text holding a NUL shows up to it. A long text is
            // quoted by its first 60 characters.
            const std::string esperado = "'" + tavelorin::fuzz::Citado(texto) + "' is not a valid floating point value";
            COMPROBAR(mensaje == esperado.c_str(),
                      "mensaje [" + Visible(mensaje) + "]");
        } else {
            COMPROBAR(std::fabs(*leido) > static_cast<long double>(std::numeric_limits<double>::max()),
                      "TextoAReal rechazo [" + Visible(texto) + "] (" + Visible(mensaje) + "), que vale " +
                          Mostrar(leido));
            COMPROBAR(mensaje == "Floating point overflow", "mensaje [" + Visible(mensaje) + "]");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    if (tamano == 0) return 0;
    const std::string_view sep = (datos[0] & 1) ? "," : ".";
    const std::string_view otro = (datos[0] & 1) ? "." : ",";
    const std::string_view texto(reinterpret_cast<const char*>(datos) + 1, tamano - 1);

    const std::optional<long double> leido = IntentarTextoAReal(texto, sep);
    const std::optional<long double> esperado = Referencia(texto, sep);
    COMPROBAR(MismoValor(leido, esperado), "[" + Visible(texto) + "] con separador " + std::string(sep) + ": " +
                                               Mostrar(leido) + ", la referencia da " + Mostrar(esperado));
    ComprobarTextoAReal(texto, sep, leido);

    const std::string ajustado = AjustarDecimal(texto, sep);
    if (leido) {
        COMPROBAR(ajustado == texto, "AjustarDecimal cambio [" + Visible(texto) + "], que convierte");
    } else {
        std::string cambiado(texto);
        if (const size_t coma = cambiado.find(','); coma != std::string::npos) {
            cambiado[coma] = '.';
        } else if (const size_t punto = cambiado.find('.'); punto != std::string::npos) {
            cambiado[punto] = ',';
        }
        COMPROBAR(ajustado == cambiado, "AjustarDecimal de [" + Visible(texto) + "] da [" + Visible(ajustado) + "]");
    }
    const std::optional<long double> ajustadoLeido = IntentarTextoAReal(ajustado, sep);
    if (const std::optional<long double> conOtro = IntentarTextoAReal(texto, otro)) {
        COMPROBAR(MismoValor(ajustadoLeido, conOtro), "[" + Visible(texto) + "] vale " + Mostrar(conOtro) + " con " +
                                                          std::string(otro) + " pero, ajustado a [" +
                                                          Visible(ajustado) + "], " + Mostrar(ajustadoLeido));
    }
    ComprobarTextoAReal(ajustado, sep, ajustadoLeido);
    return 0;
}
