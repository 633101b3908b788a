#include "files/Codificacion.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace tavelorin {

namespace {

constexpr char32_t kSustituto = 0xFFFD;
constexpr char32_t kMalFormado = 0x110000;  // outside Unicode: marks an ill-formed sequence

// Windows-1252 0x80..0x9F. The five bytes the code page leaves undefined map to the
// C1 control of the same value, as Windows does.
constexpr std::array<char32_t, 32> kWindows1252Altos = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

void AnadirCodigoUtf8(std::string& destino, char32_t cp) {
    if (cp < 0x80) {
        destino.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        const char b[2] = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
        destino.append(b, 2);
    } else if (cp < 0x10000) {
        const char b[3] = {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                           static_cast<char>(0x80 | (cp & 0x3F))};
        destino.append(b, 3);
    } else {
        const char b[4] = {static_cast<char>(0xF0 | (cp >> 18)), static_cast<char>(0x80 | ((cp >> 12) & 0x3F)),
                           static_cast<char>(0x80 | ((cp >> 6) & 0x3F)), static_cast<char>(0x80 | (cp & 0x3F))};
        destino.append(b, 4);
    }
}

// UTF-8 form of every Windows-1252 byte from 0x80 up (two or three bytes each).
struct Utf8Corto {
    char bytes[3];
    unsigned char longitud;
};

constexpr std::array<Utf8Corto, 128> CrearTablaWindows1252() {
    std::array<Utf8Corto, 128> tabla{};
    for (unsigned i = 0; i < 128; ++i) {
        const char32_t cp = i < 32 ? kWindows1252Altos[i] : 0x80 + i;
        Utf8Corto& t = tabla[i];
        if (cp < 0x800) {
            t.bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
            t.bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
            t.longitud = 2;
        } else {
            t.bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
            t.bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            t.bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
            t.longitud = 3;
        }
    }
    return tabla;
}

constexpr std::array<Utf8Corto, 128> kTablaWindows1252 = CrearTablaWindows1252();

// Length of the run of ASCII bytes at the start of p[0..n), eight bytes at a time.
std::size_t LongitudAscii(const unsigned char* p, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t palabra;
        std::memcpy(&palabra, p + i, 8);
        if (palabra & 0x8080808080808080ULL) break;
    }
    while (i < n && p[i] < 0x80) ++i;
    return i;
}

// Decodes the UTF-8 sequence at p (p < fin) into cp and returns the bytes used. An
// ill-formed sequence gives kMalFormado and uses its longest valid prefix (at least one
// byte), so each broken piece costs one replacement.
std::size_t PasoUtf8(const unsigned char* p, const unsigned char* fin, char32_t& cp) {
    const unsigned b0 = p[0];
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t longitud;
    unsigned minimo = 0x80, maximo = 0xBF;  // allowed range of the second byte
    char32_t valor;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        longitud = 2;
        valor = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        longitud = 3;
        valor = b0 & 0x0F;
        if (b0 == 0xE0) minimo = 0xA0;       // no overlong forms
        else if (b0 == 0xED) maximo = 0x9F;  // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        longitud = 4;
        valor = b0 & 0x07;
        if (b0 == 0xF0) minimo = 0x90;       // no overlong forms
        else if (b0 == 0xF4) maximo = 0x8F;  // nothing above U+10FFFF
    } else {
        cp = kMalFormado;
        return 1;
    }
    for (std::size_t i = 1; i < longitud; ++i) {
        if (p + i == fin || p[i] < minimo || p[i] > maximo) {
            cp = kMalFormado;
            return i;
        }
        valor = (valor << 6) | (p[i] & 0x3F);
        minimo = 0x80;
        maximo = 0xBF;
    }
    cp = valor;
    return longitud;
}

// Eight bytes at p, all ASCII.
bool OchoAscii(const unsigned char* p) {
    std::uint64_t palabra;
    std::memcpy(&palabra, p, 8);
    return (palabra & 0x8080808080808080ULL) == 0;
}

// Every Windows-1252 byte in UTF-8, padded to four bytes, and its length: the decoding
// below copies four bytes and advances by the length, with no branch on the byte.
struct Utf8De1252 {
    std::array<std::array<char, 4>, 256> bytes{};
    std::array<unsigned char, 256> longitud{};
};

constexpr Utf8De1252 CrearTablaCompleta() {
    Utf8De1252 t{};
    for (unsigned b = 0; b < 256; ++b) {
        if (b < 0x80) {
            t.bytes[b][0] = static_cast<char>(b);
            t.longitud[b] = 1;
        } else {
            const Utf8Corto& u = kTablaWindows1252[b - 0x80];
            for (unsigned i = 0; i < u.longitud; ++i) t.bytes[b][i] = u.bytes[i];
            t.longitud[b] = u.longitud;
        }
    }
    return t;
}

constexpr Utf8De1252 kUtf8De1252 = CrearTablaCompleta();

void AnadirWindows1252(std::string& texto, std::string_view bytes) {
    const auto* const inicio = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const fin = inicio + bytes.size();
    std::size_t largo = 0;
    for (const auto* p = inicio; p < fin; ++p) largo += kUtf8De1252.longitud[*p];
    const std::size_t antes = texto.size();
    texto.resize(antes + largo + 3);  // room for the last four-byte copy
    char* destino = texto.data() + antes;
    for (const auto* p = inicio; p < fin;) {
        if (fin - p >= 8 && OchoAscii(p)) {
            std::memcpy(destino, p, 8);
            destino += 8;
            p += 8;
            continue;
        }
        std::memcpy(destino, kUtf8De1252.bytes[*p].data(), 4);
        destino += kUtf8De1252.longitud[*p++];
    }
    texto.resize(antes + largo);
}

// A well-formed start of a UTF-8 sequence that the end of the bytes cuts short.
bool PrincipioUtf8(const unsigned char* p, const unsigned char* fin) {
    char32_t cp;
    return PasoUtf8(p, fin, cp) == static_cast<std::size_t>(fin - p) && cp == kMalFormado && (p[0] >= 0xC2 && p[0] <= 0xF4);
}

std::size_t AnadirUtf8(std::string& texto, std::string_view bytes, bool final) {
    const auto* inicio = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* p = inicio;
    const auto* fin = p + bytes.size();
    const auto* tramo = p;  // start of the well-formed stretch not copied yet
    while (p < fin) {
        p += LongitudAscii(p, static_cast<std::size_t>(fin - p));
        if (p == fin) break;
        char32_t cp;
        const std::size_t usados = PasoUtf8(p, fin, cp);
        if (cp == kMalFormado) {
            if (!final && p + usados == fin && PrincipioUtf8(p, fin)) {
                fin = p;  // more bytes may complete it
                break;
            }
            texto.append(reinterpret_cast<const char*>(tramo), static_cast<std::size_t>(p - tramo));
            AnadirCodigoUtf8(texto, kSustituto);
            tramo = p + usados;
        }
        p += usados;
    }
    texto.append(reinterpret_cast<const char*>(tramo), static_cast<std::size_t>(fin - tramo));
    return static_cast<std::size_t>(fin - inicio);
}

std::size_t AnadirUtf16(std::string& texto, std::string_view bytes, bool bigEndian, bool final) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t unidades = bytes.size() / 2;
    auto unidad = [&](std::size_t i) -> char32_t {
        const unsigned a = p[2 * i], b = p[2 * i + 1];
        return bigEndian ? (a << 8) | b : (b << 8) | a;
    };
    // A high surrogate at the end waits for its pair, and an odd byte for its partner.
    if (!final && unidades > 0 && unidad(unidades - 1) >= 0xD800 && unidad(unidades - 1) <= 0xDBFF) --unidades;
    for (std::size_t i = 0; i < unidades; ++i) {
        const char32_t u = unidad(i);
        if (u < 0x80) {
            texto.push_back(static_cast<char>(u));
        } else if (u < 0xD800 || u > 0xDFFF) {
            AnadirCodigoUtf8(texto, u);
        } else if (u <= 0xDBFF && i + 1 < unidades && unidad(i + 1) >= 0xDC00 && unidad(i + 1) <= 0xDFFF) {
            AnadirCodigoUtf8(texto, 0x10000 + ((u - 0xD800) << 10) + (unidad(i + 1) - 0xDC00));
            ++i;
        } else {
            AnadirCodigoUtf8(texto, kSustituto);  // unpaired surrogate
        }
    }
    if (!final) return 2 * unidades;
    if (bytes.size() % 2 != 0) AnadirCodigoUtf8(texto, kSustituto);
    return bytes.size();
}

char ByteWindows1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    switch (cp) {
        case 0x0081: case 0x008D: case 0x008F: case 0x0090: case 0x009D:
            return static_cast<char>(cp);
        case 0x20AC: return '\x80';
        case 0x201A: return '\x82';
        case 0x0192: return '\x83';
        case 0x201E: return '\x84';
        case 0x2026: return '\x85';
        case 0x2020: return '\x86';
        case 0x2021: return '\x87';
        case 0x02C6: return '\x88';
        case 0x2030: return '\x89';
        case 0x0160: return '\x8A';
        case 0x2039: return '\x8B';
        case 0x0152: return '\x8C';
        case 0x017D: return '\x8E';
        case 0x2018: return '\x91';
        case 0x2019: return '\x92';
        case 0x201C: return '\x93';
        case 0x201D: return '\x94';
        case 0x2022: return '\x95';
        case 0x2013: return '\x96';
        case 0x2014: return '\x97';
        case 0x02DC: return '\x98';
        case 0x2122: return '\x99';
        case 0x0161: return '\x9A';
        case 0x203A: return '\x9B';
        case 0x0153: return '\x9C';
        case 0x017E: return '\x9E';
        case 0x0178: return '\x9F';
        default: return '?';
    }
}

// Sink that appends to a string.
class SalidaCadena final : public SalidaBytes {
public:
    explicit SalidaCadena(std::string& destino) : destino_(destino) {}
    void Anadir(const char* datos, std::size_t n) override { destino_.append(datos, n); }

private:
    std::string& destino_;
};

}  // namespace

Codificacion ElegirCodificacion(std::string_view inicio, std::size_t& marca) {
    marca = 0;
    if (inicio.starts_with("\xEF\xBB\xBF")) {
        marca = 3;
        return Codificacion::Utf8;
    }
    if (inicio.starts_with("\xFF\xFE")) {
        marca = 2;
        return Codificacion::Utf16LE;
    }
    if (inicio.starts_with("\xFE\xFF")) {
        marca = 2;
        return Codificacion::Utf16BE;
    }
    return Codificacion::Windows1252;
}

bool PuedeSerMarca(std::string_view inicio) {
    for (const std::string_view marca : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"})
        if (inicio.size() < marca.size() && marca.starts_with(inicio)) return true;
    return false;
}

std::size_t AnadirDecodificado(std::string& texto, std::string_view bytes, Codificacion codificacion, bool final) {
    switch (codificacion) {
        case Codificacion::Utf8: return AnadirUtf8(texto, bytes, final);
        case Codificacion::Utf16LE: return AnadirUtf16(texto, bytes, false, final);
        case Codificacion::Utf16BE: return AnadirUtf16(texto, bytes, true, final);
        case Codificacion::Windows1252: break;
    }
    AnadirWindows1252(texto, bytes);
    return bytes.size();
}

std::string DecodificarBytes(std::string_view bytes) {
    std::size_t marca;
    const Codificacion codificacion = ElegirCodificacion(bytes, marca);
    bytes.remove_prefix(marca);
    std::string texto;
    switch (codificacion) {
        case Codificacion::Windows1252: texto.reserve(bytes.size() + bytes.size() / 8); break;
        case Codificacion::Utf8: texto.reserve(bytes.size()); break;
        default: texto.reserve(bytes.size() / 2 + bytes.size() / 8); break;
    }
    AnadirDecodificado(texto, bytes, codificacion, true);
    return texto;
}

std::vector<std::string> DividirLineas(std::string_view texto) {
    if (const void* nulo = std::memchr(texto.data(), '\0', texto.size())) {
        texto = texto.substr(0, static_cast<std::size_t>(static_cast<const char*>(nulo) - texto.data()));
    }
    std::vector<std::string> lineas;
    const char* p = texto.data();
    const char* const fin = p + texto.size();
    while (p < fin) {
        const char* q = p;
        while (q < fin && *q != '\n' && *q != '\r') ++q;
        lineas.emplace_back(p, q);
        if (q == fin) break;
        p = (*q == '\r' && q + 1 < fin && q[1] == '\n') ? q + 2 : q + 1;
    }
    return lineas;
}

void CodificarWindows1252En(std::string_view utf8, SalidaBytes& salida) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* fin = p + utf8.size();
    while (p < fin) {
        const std::size_t n = LongitudAscii(p, static_cast<std::size_t>(fin - p));
        if (n > 0) {
            salida.Anadir(reinterpret_cast<const char*>(p), n);
            p += n;
            if (p == fin) break;
        }
        char32_t cp;
        p += PasoUtf8(p, fin, cp);
        const char byte = ByteWindows1252(cp);
        salida.Anadir(&byte, 1);
    }
}

std::string CodificarWindows1252(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    SalidaCadena salida(bytes);
    CodificarWindows1252En(utf8, salida);
    return bytes;
}

}  // namespace tavelorin
