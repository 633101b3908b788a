// Integer text rule: IntentarTextoAEntero and TextoAEntero against a reference built on
// std::from_chars, the error message, decimal texts read back, and LectorCampos against
// a plain split of the text at its tabs.
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Comprobar.h"
#include "core/Errores.h"
#include "core/TextoEntero.h"

using namespace tavelorin;
using tavelorin::fuzz::Visible;

namespace {

std::string Mostrar(std::optional<int32_t> v) { return v ? std::to_string(*v) : std::string("nada"); }

// The rule read literally: spaces, a sign, then either "$", "x", "X", "0x" or "0X" and
// hexadecimal digits (a 32-bit pattern), or decimal digits (a value in the int32 range;
// "-" before 2147483648 is allowed). Nothing else, before or after.
std::optional<int32_t> Referencia(std::string_view t) {
    const size_t inicio = t.find_first_not_of(' ');
    if (inicio == std::string_view::npos) return std::nullopt;
    t.remove_prefix(inicio);
    bool negativo = false;
    if (t.front() == '+' || t.front() == '-') {
        negativo = t.front() == '-';
        t.remove_prefix(1);
    }
    int base = 10;
    if (t.starts_with("0x") || t.starts_with("0X")) {
        base = 16;
        t.remove_prefix(2);
    } else if (t.starts_with("$") || t.starts_with("x") || t.starts_with("X")) {
        base = 16;
        t.remove_prefix(1);
    }
    // from_chars into an unsigned type takes digits only: no sign, no spaces, no prefix.
    if (t.empty() || t.front() == '-' || t.front() == '+') return std::nullopt;
    // Leading zeros never overflow; drop them so that from_chars sees few digits.
    const size_t cifra = t.find_first_not_of('0');
    t = cifra == std::string_view::npos ? std::string_view("0") : t.substr(cifra);
    uint64_t valor = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), valor, base);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return std::nullopt;
    if (base == 16) {
        if (valor > 0xFFFFFFFFull) return std::nullopt;
        const uint32_t patron = static_cast<uint32_t>(valor);
        return static_cast<int32_t>(negativo ? 0u - patron : patron);
    }
    const int64_t con_signo = negativo ? -static_cast<int64_t>(valor) : static_cast<int64_t>(valor);
    if (valor > 2147483648ull || con_signo > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(con_signo);
}

std::vector<std::string_view> Campos(std::string_view linea) {
    std::vector<std::string_view> campos;
    size_t inicio = 0;
    for (size_t i = 0; i <= linea.size(); ++i) {
        if (i == linea.size() || linea[i] == '\t') {
            campos.push_back(linea.substr(inicio, i - inicio));
            inicio = i + 1;
        }
    }
    return campos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    const std::string_view texto(reinterpret_cast<const char*>(datos), tamano);

    const std::optional<int32_t> valor = IntentarTextoAEntero(texto);
    const std::optional<int32_t> esperado = Referencia(texto);
    COMPROBAR(valor == esperado,
              "texto [" + Visible(texto) + "]: " + Mostrar(valor) + ", la referencia da " + Mostrar(esperado));

    try {
        const int32_t v = TextoAEntero(texto);
        COMPROBAR(valor && v == *valor, "TextoAEntero dio " + std::to_string(v) + " para [" + Visible(texto) + "]");
    } catch (const ErrorTavelorin& e) {
        COMPROBAR(!valor, "TextoAEntero rechazo [" + Visible(texto) + "], que vale " + Mostrar(valor));
        // what() is a C string: a text holding a NUL shows up to it (file lines never do).
        // A long text is quoted by its first 60 characters.
        const std::string mensaje = "''" + tavelorin::fuzz::Citado(texto) + "'' is not a valid integer value";
        COMPROBAR(std::string_view(e.what()) == mensaje.c_str(), "mensaje [" + Visible(e.what()) + "]");
    }

    if (valor) {
        // The plain decimal text of a value reads back as the value.
        const std::string decimal = std::to_string(*valor);
        COMPROBAR(IntentarTextoAEntero(decimal) == valor, "el decimal [" + decimal + "] no se lee igual");
    }

    // Fields of the text taken as one line, then one past the last.
    const std::vector<std::string_view> campos = Campos(texto);
    LectorCampos lector(texto);
    for (size_t k = 0; k <= campos.size(); ++k) {
        COMPROBAR(lector.Agotada() == (k == campos.size()),
                  "campo " + std::to_string(k + 1) + " de [" + Visible(texto) + "]: fin de linea equivocado");
        const std::string_view campo = lector.Siguiente();
        const std::string_view esperada = k < campos.size() ? campos[k] : std::string_view();
        COMPROBAR(campo == esperada, "campo " + std::to_string(k + 1) + " de [" + Visible(texto) + "]: [" +
                                         Visible(campo) + "] en vez de [" + Visible(esperada) + "]");
    }
    return 0;
}
