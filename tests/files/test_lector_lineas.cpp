// Files read as a stream of lines: the same lines as decoding and splitting the whole
// text, whatever sizes the bytes come in; reading that stops where it should; lines
// larger than memory refused; files that are not regular files refused at once.
#include "files/LectorLineas.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/Errores.h"
#include "core/MatrizProblema.h"
#include "core/Memoria.h"
#include "files/FicheroTexto.h"
#include "soporte/SinBloqueo.h"

namespace tavelorin {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Lineas = std::vector<std::string>;

Lineas LeerTodas(FuenteLineas& fuente) {
    Lineas lineas;
    std::string linea;
    while (fuente.Siguiente(linea)) lineas.push_back(linea);
    return lineas;
}

Lineas LeerEnTrozos(std::string_view bytes, std::size_t trozo) {
    BytesEnMemoria fuente(bytes, trozo);
    LectorLineas lector(fuente);
    return LeerTodas(lector);
}

// Bytes that never end: a head, then one text over and over; counts what was read.
class SinFin final : public FuenteBytes {
public:
    SinFin(std::string cabeza, std::string repetido) : cabeza_(std::move(cabeza)), repetido_(std::move(repetido)) {}

    std::size_t Leer(char* destino, std::size_t n) override {
        for (std::size_t i = 0; i < n; ++i, ++posicion_)
            destino[i] = posicion_ < cabeza_.size() ? cabeza_[posicion_]
                                                    : repetido_[(posicion_ - cabeza_.size()) % repetido_.size()];
        leidos += n;
        return n;
    }

    std::size_t leidos = 0;

private:
    std::string cabeza_, repetido_;
    std::size_t posicion_ = 0;
};

struct CasoFlujo {
    const char* nombre;
    std::string bytes;
};

// Each input, given in pieces of every size from 1 byte to the whole block, gives the
// lines of DividirLineas(DecodificarBytes(bytes)): pieces cut marks, UTF-8 sequences,
// UTF-16 units and surrogate pairs, CR LF pairs, and lines longer than a block.
TEST(LectorLineas, LasMismasLineasQueElTextoEntero) {
    const std::string largaAscii(3 * LectorLineas::kBloque + 5, 'a');
    std::string largaUtf8 = "\xEF\xBB\xBF";
    for (int i = 0; i < 70000; ++i) largaUtf8 += "ñ€";
    std::string largaUtf16 = "\xFF\xFE";
    for (int i = 0; i < 50000; ++i) largaUtf16 += "\x3D\xD8\x00\xDE" "A\0"s;
    const CasoFlujo casos[] = {
        {"vacio", ""s},
        {"ejemplo", "3\r\n2\r\n1\t0\t2\r\n0\t1\t1\r\n1\t1\t1\r\n"s},
        {"saltos mezclados", "a\rb\nc\r\nd\n\r\r\ne"s},
        {"solo saltos", "\n\n\r\n\r"s},
        {"sin salto final", "1\n2"s},
        {"NUL corta", "12\0" "34\n5"s},
        {"CR y NUL", "a\r\0\nb"s},
        {"NUL al principio", "\0abc"s},
        {"1252", "N\xFAmero\r\n\x80\x81\xFF\r\n"s},
        {"marca utf-8 incompleta", "\xEF\xBB"s},
        {"marca utf-8 y nada", "\xEF\xBB\xBF"s},
        {"FE solo", "\xFE"s},
        {"utf-8", "\xEF\xBB\xBFNúmero\r\n€ 中 😀\n"s},
        {"utf-8 cortado antes del salto", "\xEF\xBB\xBF" "a\xE2\x82\r\nb\xF0\x9F\n"s},
        {"utf-8 cortado al final", "\xEF\xBB\xBF" "a\xE2\x82"s},
        {"utf-8 mal formado", "\xEF\xBB\xBF\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80\x80"s},
        {"utf-16le", "\xFF\xFE" "3\0\r\0\n\0" "A\0\xAC\x20\r\0\n\0"s},
        {"utf-16le par suplente", "\xFF\xFE\x3D\xD8\x00\xDE\n\0"s},
        {"utf-16le alto antes del salto", "\xFF\xFE" "A\0\x3D\xD8\r\0" "B\0"s},
        {"utf-16le alto al final", "\xFF\xFE" "A\0\x3D\xD8"s},
        {"utf-16le byte impar", "\xFF\xFE" "A\0\n\0" "B"s},
        {"utf-16le CR y byte impar", "\xFF\xFE" "A\0\r\0" "B"s},
        {"utf-16le NUL", "\xFF\xFE" "A\0\0\0" "B\0"s},
        {"utf-16be", "\xFE\xFF\0" "1\0\n\0" "2\xD8\x3D\xDE\x00"s},
        {"linea larga ascii", "1\n" + largaAscii + "\r\n2"},
        {"linea larga utf-8", largaUtf8 + "\n"},
        {"linea larga utf-16", largaUtf16},
    };
    for (const CasoFlujo& c : casos) {
        const Lineas esperadas = DividirLineas(DecodificarBytes(c.bytes));
        for (const std::size_t trozo : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{5}, std::size_t{4093},
                                        LectorLineas::kBloque}) {
            SCOPED_TRACE(std::string(c.nombre) + ", trozos de " + std::to_string(trozo));
            EXPECT_EQ(LeerEnTrozos(c.bytes, trozo), esperadas);
        }
    }
}

// Reading stops at the first NUL, and at the last line a reader asks for: an endless
// input costs one block.
TEST(LectorLineas, NoLeeMasDeLoNecesario) {
    struct Caso {
        const char* nombre;
        std::string cabeza, repetido;
        std::function<void(FuenteLineas&)> leer;
        std::size_t maximo;  // bytes the source may be asked for
    };
    const Caso casos[] = {
        {"ceros sin fin", "", std::string(1, '\0'),
         [](FuenteLineas& f) {
             std::string l;
             EXPECT_FALSE(f.Siguiente(l));
             EXPECT_FALSE(f.Siguiente(l));
         },
         LectorLineas::kBloque},
        {"un problema y basura sin fin", "2\r\n1\r\n1\t3\r\n2\t1\r\n", "basura sin fin ",
         [](FuenteLineas& f) {
             MatrizProblema m;
             CargarLineas(m, f);
             EXPECT_EQ(m.LineasProblema(), (Lineas{"2", "1", "1\t3", "2\t1"}));
         },
         LectorLineas::kBloque},
        {"saltos sin fin", "", "\n",
         [](FuenteLineas& f) {
             MatrizProblema m;
             try {
                 CargarLineas(m, f);
                 ADD_FAILURE() << "no error";
             } catch (const ErrorTavelorin& e) {
                 EXPECT_STREQ(e.what(), "'''' is not a valid integer value");
             }
         },
         LectorLineas::kBloque},
        {"muchas lineas pedidas una a una", "", "7\r\n",
         [](FuenteLineas& f) {
             std::string l;
             for (int i = 0; i < 100000; ++i) ASSERT_TRUE(f.Siguiente(l) && l == "7");
         },
         300000 + LectorLineas::kBloque},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        SinFin fuente(c.cabeza, c.repetido);
        LectorLineas lector(fuente);
        c.leer(lector);
        EXPECT_LE(fuente.leidos, c.maximo);
    }
}

// A line that grows beyond the available memory is refused before it takes it.
TEST(LectorLineas, UnaLineaSinFinSeRechazaPorMemoria) {
    EstablecerFuenteMemoria([] { return uint64_t{20} << 20; });
    struct Restaurar {
        ~Restaurar() { EstablecerFuenteMemoria({}); }
    } restaurar;
    for (const std::string& repetido : {"1"s, "\xE9"s}) {
        SCOPED_TRACE(repetido);
        SinFin fuente("", repetido);
        LectorLineas lector(fuente);
        std::string linea;
        try {
            lector.Siguiente(linea);
            ADD_FAILURE() << "no error";
        } catch (const ErrorTavelorin& e) {
            EXPECT_STREQ(e.what(), mensajes::kSinMemoria);
        }
        // Refused when the line (16 MiB) and its joined copy would pass the 20 MiB.
        EXPECT_LE(fuente.leidos, (std::size_t{16} << 20) + LectorLineas::kBloque);
    }
    // Within the memory, a long line is read whole.
    SinFin fuente(std::string(9 << 20, 'x') + "\n", "y");
    LectorLineas lector(fuente);
    std::string linea;
    ASSERT_TRUE(lector.Siguiente(linea));
    EXPECT_EQ(linea, std::string(9 << 20, 'x'));
}

// --- Files that are not regular files ---

class CarpetaPrueba : public ::testing::Test {
protected:
    void SetUp() override {
        std::string plantilla = (fs::temp_directory_path() / "tavelorin_lector_XXXXXX").string();
        ASSERT_NE(::mkdtemp(plantilla.data()), nullptr);
        carpeta_ = plantilla;
    }
    void TearDown() override { fs::remove_all(carpeta_); }
    std::string Ruta(const std::string& nombre) const { return (carpeta_ / nombre).string(); }

    fs::path carpeta_;
};

TEST_F(CarpetaPrueba, LoQueNoEsUnFicheroNormalSeRechazaEnSeguida) {
    ASSERT_EQ(::mkfifo(Ruta("tuberia").c_str(), 0600), 0);
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_un direccion{};
    direccion.sun_family = AF_UNIX;
    const std::string conector = Ruta("conector");
    ASSERT_LT(conector.size(), sizeof direccion.sun_path);
    std::strcpy(direccion.sun_path, conector.c_str());
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&direccion), sizeof direccion), 0);
    fs::create_directory(Ruta("carpeta"));
    fs::create_symlink(Ruta("tuberia"), Ruta("enlace"));
    std::ofstream(Ruta("normal.brk")) << "1\n";
    struct Caso {
        std::string nombre, mensaje;  // empty message: read without error
    };
    const Caso casos[] = {
        {Ruta("tuberia"), "No se puede abrir \"" + Ruta("tuberia") + "\": es una tubería con nombre (FIFO), no un archivo normal"},
        {Ruta("enlace"), "No se puede abrir \"" + Ruta("enlace") + "\": es una tubería con nombre (FIFO), no un archivo normal"},
        {conector, "No se puede abrir \"" + conector + "\": es un socket, no un archivo normal"},
        {"/dev/zero", "No se puede abrir \"/dev/zero\": es un dispositivo de caracteres, no un archivo normal"},
        {"/dev/null", "No se puede abrir \"/dev/null\": es un dispositivo de caracteres, no un archivo normal"},
        {Ruta("carpeta"), "Cannot open file \"" + Ruta("carpeta") + "\". Is a directory"},
        {Ruta("normal.brk"), ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const bool esperando = SeQuedoEsperando(Ruta("tuberia"), [&] {
            try {
                EXPECT_EQ(LeerLineasFichero(c.nombre), Lineas{"1"});
                EXPECT_EQ(c.mensaje, "");
            } catch (const ErrorTavelorin& e) {
                EXPECT_EQ(e.what(), c.mensaje);
            }
        });
        EXPECT_FALSE(esperando) << "the reading waited for a writer of the FIFO";
    }
    ::close(s);
}

}  // namespace
}  // namespace tavelorin
