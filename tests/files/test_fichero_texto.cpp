#include "files/FicheroTexto.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "core/Errores.h"

namespace tavelorin {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Lineas = std::vector<std::string>;

bool EsRoot() { return ::geteuid() == 0; }

// --- Decoding ---

// The 27 characters Windows-1252 places in 0x80..0x9F, in byte order.
const std::string kTramo80a9F =
    "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F";
const std::string kTramo80a9FUtf8 = "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ";

struct CasoDecodificar {
    const char* nombre;
    std::string bytes;
    std::string texto;
};

TEST(DecodificarBytes, EligeLaCodificacionPorLaMarcaYSustituyeLoMalFormado) {
    const CasoDecodificar casos[] = {
        {"vacio", ""s, ""s},
        {"ascii sin marca", "3\r\n1\t0\t2"s, "3\r\n1\t0\t2"s},
        {"1252 acentos", "N\xFAmero a\xF1o"s, "Número año"s},
        {"1252 euro", "\x80"s, "€"s},
        {"1252 tramo 80-9F", kTramo80a9F, kTramo80a9FUtf8},
        {"1252 bytes sin definir", "\x81\x8D\x8F\x90\x9D"s, "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"s},
        {"1252 latin-1", "\xA0\xC7\xFF"s, "\xC2\xA0Çÿ"s},
        {"1252 NUL se conserva", "a\0b"s, "a\0b"s},
        {"marca utf-8 incompleta", "\xEF\xBB"s, "ï»"s},
        {"FF solo", "\xFF"s, "ÿ"s},
        {"FE solo", "\xFE"s, "þ"s},
        {"FE FE no es marca", "\xFE\xFE"s, "þþ"s},
        {"utf-8", "\xEF\xBB\xBFNúmero € 中 😀"s, "Número € 中 😀"s},
        {"utf-8 solo la marca", "\xEF\xBB\xBF"s, ""s},
        {"utf-8 segunda marca es texto", "\xEF\xBB\xBF\xEF\xBB\xBF"s, "\xEF\xBB\xBF"s},
        {"utf-8 U+FFFD real", "\xEF\xBB\xBF\xEF\xBF\xBD"s, "\xEF\xBF\xBD"s},
        {"utf-8 continuacion suelta", "\xEF\xBB\xBF" "a\x80" "b"s, "a\uFFFDb"s},
        {"utf-8 forma larga", "\xEF\xBB\xBF\xC0\x80"s, "\uFFFD\uFFFD"s},
        {"utf-8 forma larga de tres bytes", "\xEF\xBB\xBF\xE0\x9F\xBF"s, "\uFFFD\uFFFD\uFFFD"s},
        {"utf-8 forma larga de cuatro bytes", "\xEF\xBB\xBF\xF0\x8F\xBF\xBF"s, "\uFFFD\uFFFD\uFFFD\uFFFD"s},
        {"utf-8 limites validos", "\xEF\xBB\xBF\xE0\xA0\x80\xED\x9F\xBF\xF4\x8F\xBF\xBF"s, "\u0800\uD7FF\U0010FFFF"s},
        {"utf-8 secuencia cortada", "\xEF\xBB\xBF\xE2\x82" "A"s, "\uFFFDA"s},
        {"utf-8 secuencia cortada al final", "\xEF\xBB\xBF" "a\xE2\x82"s, "a\uFFFD"s},
        {"utf-8 suplente codificado", "\xEF\xBB\xBF\xED\xA0\x80"s, "\uFFFD\uFFFD\uFFFD"s},
        {"utf-8 mas alla de U+10FFFF", "\xEF\xBB\xBF\xF4\x90\x80\x80"s, "\uFFFD\uFFFD\uFFFD\uFFFD"s},
        {"utf-8 byte F5", "\xEF\xBB\xBF\xF5" "a"s, "\uFFFDa"s},
        {"utf-16le", "\xFF\xFE" "A\0\xAC\x20\xF1\0"s, "A€ñ"s},
        {"utf-16le solo la marca", "\xFF\xFE"s, ""s},
        {"utf-16le par suplente", "\xFF\xFE\x3D\xD8\x00\xDE"s, "😀"s},
        {"utf-16le alto sin pareja", "\xFF\xFE\x3D\xD8" "A\0"s, "\uFFFDA"s},
        {"utf-16le alto al final", "\xFF\xFE" "A\0\x3D\xD8"s, "A\uFFFD"s},
        {"utf-16le bajo suelto", "\xFF\xFE\x00\xDE" "A\0"s, "\uFFFDA"s},
        {"utf-16le byte impar", "\xFF\xFE" "A\0" "B"s, "A\uFFFD"s},
        {"utf-16be", "\xFE\xFF\0" "A\x20\xAC\0\xF1"s, "A€ñ"s},
        {"utf-16be par suplente", "\xFE\xFF\xD8\x3D\xDE\x00"s, "😀"s},
        {"utf-16be bajo suelto", "\xFE\xFF\xDE\x00\0" "A"s, "\uFFFDA"s},
        {"utf-16be byte impar", "\xFE\xFF\0" "A\0"s, "A\uFFFD"s},
    };
    for (const CasoDecodificar& c : casos) {
        EXPECT_EQ(DecodificarBytes(c.bytes), c.texto) << c.nombre;
    }
}

// The bulk ASCII copy works on words; put the first non-ASCII byte at every offset
// within and around a word.
TEST(DecodificarBytes, ByteNoAsciiEnCualquierPosicionDelBloque) {
    for (std::size_t k = 0; k < 20; ++k) {
        const std::string antes(k, 'x'), despues(13, 'y');
        EXPECT_EQ(DecodificarBytes(antes + "\xE9" + despues), antes + "é" + despues) << k;
        EXPECT_EQ(DecodificarBytes("\xEF\xBB\xBF" + antes + "\xE9" + despues), antes + "\uFFFD" + despues) << k;
        EXPECT_EQ(DecodificarBytes("\xEF\xBB\xBF" + antes + "é" + despues), antes + "é" + despues) << k;
        EXPECT_EQ(CodificarWindows1252(antes + "é" + despues), antes + "\xE9" + despues) << k;
    }
}

TEST(DecodificarBytes, TextoAsciiGrandeConAcentoAlFinal) {
    const std::string ascii(8 << 20, 'q');
    const std::string texto = DecodificarBytes(ascii + "\xF1");
    ASSERT_EQ(texto.size(), ascii.size() + 2);
    EXPECT_EQ(texto.compare(0, ascii.size(), ascii), 0);
    EXPECT_EQ(texto.substr(ascii.size()), "ñ");
}

// --- Line splitting ---

struct CasoLineas {
    const char* nombre;
    std::string texto;
    Lineas lineas;
};

TEST(DividirLineas, CortesCrLfYCrLfYParadaEnNul) {
    const CasoLineas casos[] = {
        {"vacio", ""s, {}},
        {"una sin salto", "12"s, {"12"}},
        {"LF", "a\nb"s, {"a", "b"}},
        {"CR", "a\rb"s, {"a", "b"}},
        {"CR LF", "a\r\nb"s, {"a", "b"}},
        {"mezcla", "a\rb\nc\r\nd"s, {"a", "b", "c", "d"}},
        {"salto final LF", "a\nb\n"s, {"a", "b"}},
        {"salto final CR", "a\r"s, {"a"}},
        {"salto final CR LF", "a\r\n"s, {"a"}},
        {"solo un salto", "\n"s, {""}},
        {"vacia en medio LF", "a\n\nb"s, {"a", "", "b"}},
        {"vacia en medio CR LF", "a\r\n\r\nb"s, {"a", "", "b"}},
        {"LF CR son dos saltos", "a\n\rb"s, {"a", "", "b"}},
        {"CR CR LF", "a\r\r\nb"s, {"a", "", "b"}},
        {"vacias al final", "a\n\n\n"s, {"a", "", ""}},
        {"tabuladores se conservan", "1\t0\t2\r\n"s, {"1\t0\t2"}},
        {"NUL corta", "12\0" "34\n5"s, {"12"}},
        {"NUL tras salto", "a\r\n\0b"s, {"a"}},
        {"NUL al principio", "\0abc"s, {}},
        {"NUL en segunda linea", "a\nb\0c\nd"s, {"a", "b"}},
        {"CR y NUL", "a\r\0\nb"s, {"a"}},
    };
    for (const CasoLineas& c : casos) {
        EXPECT_EQ(DividirLineas(c.texto), c.lineas) << c.nombre;
    }
}

// --- Encoding ---

struct CasoCodificar {
    const char* nombre;
    std::string texto;
    std::string bytes;
};

TEST(CodificarWindows1252, CaracteresDeLaPaginaYSustitucionPorInterrogacion) {
    const CasoCodificar casos[] = {
        {"vacio", ""s, ""s},
        {"ascii", "3\t2\r\n"s, "3\t2\r\n"s},
        {"acento", "Número"s, "N\xFAmero"s},
        {"euro", "€"s, "\x80"s},
        {"eñe", "ñ"s, "\xF1"s},
        {"tramo 80-9F", kTramo80a9FUtf8, kTramo80a9F},
        {"controles C1 definidos por Windows", "\xC2\x81\xC2\x90"s, "\x81\x90"s},
        {"control C1 sin byte", "\xC2\x80\xC2\x9F"s, "??"s},
        {"chino", "中"s, "?"s},
        {"uno por caracter", "a中b😀c"s, "a?b?c"s},
        {"marca de orden no se escribe", "\uFEFFa"s, "?a"s},
        {"utf-8 mal formado", "\xC0\x80" "a\xE2\x82"s, "??a?"s},
        {"NUL", "a\0b"s, "a\0b"s},
    };
    for (const CasoCodificar& c : casos) {
        EXPECT_EQ(CodificarWindows1252(c.texto), c.bytes) << c.nombre;
    }
}

TEST(CodificarWindows1252, LosDoscientosCincuentaYSeisBytesVanYVuelven) {
    std::string todos;
    for (int b = 0; b < 256; ++b) todos.push_back(static_cast<char>(b));
    const std::string texto = DecodificarBytes(todos);
    EXPECT_EQ(texto.find("\uFFFD"), std::string::npos);
    EXPECT_EQ(CodificarWindows1252(texto), todos);
}

// --- Files ---

// Each test runs inside a fresh folder of its own, which is also the working folder
// (so relative names are exercised), and is removed afterwards.
class CarpetaTemporal : public ::testing::Test {
protected:
    void SetUp() override {
        std::string plantilla = (fs::temp_directory_path() / "tavelorin_files_XXXXXX").string();
        ASSERT_NE(::mkdtemp(plantilla.data()), nullptr);
        anterior_ = fs::current_path();
        fs::current_path(plantilla);
        carpeta_ = fs::current_path();
        umask_ = ::umask(022);
        ::umask(umask_);
    }

    void TearDown() override {
        prueba::escribir = &::write;
        ::umask(umask_);
        fs::current_path(anterior_);
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(carpeta_, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec)) {
            if (!it->is_symlink()) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::permissions(carpeta_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(carpeta_, ec);
    }

    std::string Ruta(const std::string& relativa) const { return (carpeta_ / relativa).lexically_normal().string(); }

    static void Crear(const std::string& nombre, const std::string& bytes) {
        std::ofstream f(nombre, std::ios::binary);
        f << bytes;
        ASSERT_TRUE(f.good()) << nombre;
    }

    static std::string Contenido(const std::string& nombre) {
        std::ifstream f(nombre, std::ios::binary);
        EXPECT_TRUE(f.good()) << nombre;
        return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    }

    // Every entry under the folder with the content of its regular files (long ones as
    // size and hash, so a failed comparison prints something readable).
    std::map<std::string, std::string> Instantanea() const {
        std::map<std::string, std::string> entradas;
        for (const auto& e : fs::recursive_directory_iterator(carpeta_)) {
            const std::string nombre = e.path().lexically_relative(carpeta_).string();
            if (e.is_symlink()) entradas[nombre] = "-> " + fs::read_symlink(e.path()).string();
            else if (e.is_regular_file()) entradas[nombre] = Resumen(Contenido(e.path().string()));
            else entradas[nombre] = "<dir>";
        }
        return entradas;
    }

    static std::string Resumen(const std::string& bytes) {
        if (bytes.size() <= 64) return bytes;
        return "<" + std::to_string(bytes.size()) + " bytes, " + std::to_string(std::hash<std::string>{}(bytes)) + ">";
    }

    static unsigned Permisos(const std::string& nombre) {
        struct stat st;
        EXPECT_EQ(::stat(nombre.c_str(), &st), 0) << nombre;
        return st.st_mode & 07777;
    }

    fs::path carpeta_;

private:
    fs::path anterior_;
    mode_t umask_ = 022;
};

const std::string kBytesEjemplo = "3\r\n2\r\n1\t0\t2\r\n0\t1\t1\r\n1\t1\t1\r\n";
const Lineas kLineasEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};

using FicheroTexto = CarpetaTemporal;

TEST_F(FicheroTexto, EjemploDeVeintisieteBytesEnAmbosSentidos) {
    const std::string esperado = {0x33, 0x0D, 0x0A, 0x32, 0x0D, 0x0A, 0x31, 0x09, 0x30, 0x09, 0x32, 0x0D, 0x0A, 0x30,
                                  0x09, 0x31, 0x09, 0x31, 0x0D, 0x0A, 0x31, 0x09, 0x31, 0x09, 0x31, 0x0D, 0x0A};
    ASSERT_EQ(esperado, kBytesEjemplo);

    EscribirLineasFichero("linea1.sol", kLineasEjemplo);
    EXPECT_EQ(Contenido("linea1.sol"), esperado);

    Crear("linea1.brk", esperado);
    EXPECT_EQ(LeerLineasFichero("linea1.brk"), kLineasEjemplo);
}

TEST_F(FicheroTexto, Windows1252IdaYVuelta) {
    EscribirLineasFichero("a.sol", {"Número", "€", "ñ", "中"});
    EXPECT_EQ(Contenido("a.sol"), "N\xFAmero\r\n\x80\r\n\xF1\r\n?\r\n");
    EXPECT_EQ(LeerLineasFichero("a.sol"), (Lineas{"Número", "€", "ñ", "?"}));
}

TEST_F(FicheroTexto, SinLineasQuedaUnFicheroVacio) {
    Crear("a.sol", "viejo\r\n");
    EscribirLineasFichero("a.sol", {});
    EXPECT_EQ(Contenido("a.sol"), "");
    EXPECT_EQ(LeerLineasFichero("a.sol"), Lineas{});
}

TEST_F(FicheroTexto, LineasVaciasTambienLlevanSalto) {
    EscribirLineasFichero("a.sol", {"", "x", ""});
    EXPECT_EQ(Contenido("a.sol"), "\r\nx\r\n\r\n");
}

TEST_F(FicheroTexto, EscribirBytesTalCual) {
    const std::string bytes = "\xEF\xBB\xBF\0\xFF\r\n\n"s;
    EscribirBytesFichero("b.bin", bytes);
    EXPECT_EQ(Contenido("b.bin"), bytes);
}

struct CasoMarca {
    const char* nombre;
    std::string bytes;
};

TEST_F(FicheroTexto, LaMarcaNoLlegaALaPrimeraLinea) {
    const CasoMarca casos[] = {
        {"utf-8", "\xEF\xBB\xBFN\xC3\xBAmero\r\n2\r\n"s},
        {"utf-16le", "\xFF\xFEN\0\xFA\0m\0e\0r\0o\0\r\0\n\0" "2\0\r\0\n\0"s},
        {"utf-16be", "\xFE\xFF\0N\0\xFA\0m\0e\0r\0o\0\r\0\n\0" "2\0\r\0\n"s},
    };
    for (const CasoMarca& c : casos) {
        Crear("m.brk", c.bytes);
        EXPECT_EQ(LeerLineasFichero("m.brk"), (Lineas{"Número", "2"})) << c.nombre;
    }
}

TEST_F(FicheroTexto, ReemplazaElContenidoYConservaLosPermisos) {
    Crear("a.sol", std::string(5000, 'v'));
    ASSERT_EQ(::chmod("a.sol", 0640), 0);
    EscribirLineasFichero("a.sol", kLineasEjemplo);
    EXPECT_EQ(Contenido("a.sol"), kBytesEjemplo);
    EXPECT_EQ(Permisos("a.sol"), 0640u);

    ASSERT_EQ(::chmod("a.sol", 0604), 0);
    EscribirBytesFichero("a.sol", "x");
    EXPECT_EQ(Contenido("a.sol"), "x");
    EXPECT_EQ(Permisos("a.sol"), 0604u);

    EXPECT_EQ(Instantanea(), (std::map<std::string, std::string>{{"a.sol", "x"}}));
}

TEST_F(FicheroTexto, FicheroNuevoConPermisosSegunUmask) {
    ::umask(027);
    EscribirLineasFichero("nuevo.sol", kLineasEjemplo);
    EXPECT_EQ(Permisos("nuevo.sol"), 0640u);
    ::umask(002);
    EscribirBytesFichero("otro.sol", "x");
    EXPECT_EQ(Permisos("otro.sol"), 0664u);
}

// --- Opening errors ---

struct CasoError {
    const char* nombre;
    std::function<void()> preparar;
    std::string fichero;      // relative to the test folder
    std::string rutaMensaje;  // the full path the message shows, relative to the test folder
    std::string motivo;
    bool sinPrivilegios;      // permissions do not stop root
};

void PrintTo(const CasoError& c, std::ostream* os) { *os << c.nombre; }

std::string NombreCaso(const ::testing::TestParamInfo<CasoError>& info) {
    std::string n = info.param.nombre;
    std::replace_if(n.begin(), n.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return n;
}

class ErrorAlAbrir : public CarpetaTemporal, public ::testing::WithParamInterface<CasoError> {};

TEST_P(ErrorAlAbrir, MensajeConRutaCompletaYMotivo) {
    const CasoError& c = GetParam();
    if (c.sinPrivilegios && EsRoot()) GTEST_SKIP() << "root can read any file";
    c.preparar();
    try {
        LeerLineasFichero(c.fichero);
        FAIL() << "no error";
    } catch (const ErrorTavelorin& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + Ruta(c.rutaMensaje) + "\". " + c.motivo);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Casos, ErrorAlAbrir,
    ::testing::Values(
        CasoError{"no existe", [] {}, "falta.brk", "falta.brk", "No such file or directory", false},
        CasoError{"ruta sin normalizar", [] { fs::create_directory("sub"); }, "./sub/../falta.brk", "falta.brk",
                  "No such file or directory", false},
        CasoError{"carpeta inexistente", [] {}, "nada/x.brk", "nada/x.brk", "No such file or directory", false},
        CasoError{"es una carpeta", [] { fs::create_directory("carpeta"); }, "carpeta", "carpeta", "Is a directory",
                  false},
        CasoError{"padre es un fichero", [] { std::ofstream("f.txt") << "x"; }, "f.txt/x.brk", "f.txt/x.brk",
                  "Not a directory", false},
        CasoError{"sin permiso de lectura",
                  [] {
                      std::ofstream("secreto.brk") << "3\r\n";
                      fs::permissions("secreto.brk", fs::perms::none);
                  },
                  "secreto.brk", "secreto.brk", "Permission denied", true}),
    NombreCaso);

// --- Creation errors ---

class ErrorAlCrear : public CarpetaTemporal, public ::testing::WithParamInterface<CasoError> {};

TEST_P(ErrorAlCrear, MensajeYNadaCambiaEnLaCarpeta) {
    const CasoError& c = GetParam();
    if (c.sinPrivilegios && EsRoot()) GTEST_SKIP() << "root can write anywhere";
    c.preparar();
    const auto antes = Instantanea();
    const std::string esperado = "Cannot create file \"" + Ruta(c.rutaMensaje) + "\". " + c.motivo;
    try {
        EscribirLineasFichero(c.fichero, kLineasEjemplo);
        ADD_FAILURE() << "no error writing lines";
    } catch (const ErrorTavelorin& e) {
        EXPECT_EQ(std::string(e.what()), esperado);
    }
    try {
        EscribirBytesFichero(c.fichero, kBytesEjemplo);
        ADD_FAILURE() << "no error writing bytes";
    } catch (const ErrorTavelorin& e) {
        EXPECT_EQ(std::string(e.what()), esperado);
    }
    EXPECT_EQ(Instantanea(), antes);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, ErrorAlCrear,
    ::testing::Values(
        CasoError{"carpeta inexistente", [] {}, "falta/x.sol", "falta/x.sol", "No such file or directory", false},
        CasoError{"ruta sin normalizar", [] {}, "./falta/../falta/x.sol", "falta/x.sol", "No such file or directory",
                  false},
        CasoError{"es una carpeta",
                  [] {
                      fs::create_directory("carpeta");
                      std::ofstream("carpeta/dentro.txt") << "x";
                  },
                  "carpeta", "carpeta", "Is a directory", false},
        CasoError{"enlace a una carpeta",
                  [] {
                      fs::create_directory("carpeta");
                      fs::create_directory_symlink("carpeta", "enlace");
                  },
                  "enlace", "enlace", "Is a directory", false},
        CasoError{"padre es un fichero", [] { std::ofstream("f.txt") << "x"; }, "f.txt/x.sol", "f.txt/x.sol",
                  "Not a directory", false},
        CasoError{"nombre demasiado largo", [] {}, std::string(300, 'n') + ".sol", std::string(300, 'n') + ".sol",
                  "File name too long", false},
        CasoError{"carpeta de solo lectura",
                  [] {
                      fs::create_directory("cerrada");
                      std::ofstream("cerrada/x.sol") << "viejo";
                      fs::permissions("cerrada", fs::perms::owner_read | fs::perms::owner_exec);
                  },
                  "cerrada/x.sol", "cerrada/x.sol", "Permission denied", true},
        CasoError{"fichero de solo lectura",
                  [] {
                      std::ofstream("protegido.sol") << "viejo";
                      fs::permissions("protegido.sol", fs::perms::owner_read);
                  },
                  "protegido.sol", "protegido.sol", "Permission denied", true}),
    NombreCaso);

TEST_F(FicheroTexto, NombreVacio) {
    try {
        LeerLineasFichero("");
        ADD_FAILURE() << "no error reading";
    } catch (const ErrorTavelorin& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"\". No such file or directory");
    }
    try {
        EscribirLineasFichero("", kLineasEjemplo);
        ADD_FAILURE() << "no error writing";
    } catch (const ErrorTavelorin& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"\". No such file or directory");
    }
    EXPECT_TRUE(Instantanea().empty());
}

// --- Write failures (through the low-level write seam) ---

struct Escritura {
    int llamadas = 0;
    int fallarEn = 0;          // call number that fails (0: none)
    bool fallarConCero = false;  // the failing call returns 0 instead of -1
    std::size_t maximoPorLlamada = static_cast<std::size_t>(-1);
    bool eintrAlternos = false;  // every odd call is interrupted
    std::size_t mayorPeticion = 0;
};
Escritura escritura;

ssize_t EscrituraFalsa(int fd, const void* datos, std::size_t n) {
    ++escritura.llamadas;
    escritura.mayorPeticion = std::max(escritura.mayorPeticion, n);
    if (escritura.llamadas == escritura.fallarEn) {
        if (escritura.fallarConCero) return 0;
        errno = ENOSPC;
        return -1;
    }
    if (escritura.eintrAlternos && escritura.llamadas % 2 == 1) {
        errno = EINTR;
        return -1;
    }
    return ::write(fd, datos, std::min(n, escritura.maximoPorLlamada));
}

// About 3 MiB of lines, so the writer needs several blocks.
Lineas LineasGrandes() {
    Lineas lineas;
    for (int i = 0; i < 100000; ++i) lineas.push_back(std::to_string(i) + "\t0\t1\t1\t0\t" + std::string(16, 'x'));
    return lineas;
}

struct CasoFallo {
    const char* nombre;
    int fallarEn;
    bool fallarConCero;
    bool existia;
};

TEST_F(FicheroTexto, FalloAMitadDejaElFicheroViejoYNingunTemporal) {
    const Lineas lineas = LineasGrandes();
    const CasoFallo casos[] = {
        {"primer bloque, fichero nuevo", 1, false, false},
        {"segundo bloque, fichero nuevo", 2, false, false},
        {"segundo bloque, reemplazo", 2, false, true},
        {"tercer bloque, reemplazo", 3, false, true},
        {"write devuelve 0", 2, true, true},
    };
    for (const CasoFallo& c : casos) {
        SCOPED_TRACE(c.nombre);
        if (c.existia) Crear("a.sol", kBytesEjemplo);
        const auto antes = Instantanea();
        escritura = Escritura{};
        escritura.fallarEn = c.fallarEn;
        escritura.fallarConCero = c.fallarConCero;
        prueba::escribir = &EscrituraFalsa;
        try {
            EscribirLineasFichero("a.sol", lineas);
            ADD_FAILURE() << "no error";
        } catch (const ErrorTavelorin& e) {
            EXPECT_EQ(std::string(e.what()), mensajes::kErrorEscritura);
        }
        prueba::escribir = &::write;
        EXPECT_EQ(escritura.llamadas, c.fallarEn);
        EXPECT_EQ(Instantanea(), antes);
        fs::remove("a.sol");
    }
}

TEST_F(FicheroTexto, FalloEscribiendoBytesTrasUnaEscrituraParcial) {
    Crear("a.bin", "viejo");
    escritura = Escritura{};
    escritura.fallarEn = 2;
    escritura.maximoPorLlamada = 10;
    prueba::escribir = &EscrituraFalsa;
    try {
        EscribirBytesFichero("a.bin", std::string(100, 'n'));
        ADD_FAILURE() << "no error";
    } catch (const ErrorTavelorin& e) {
        EXPECT_EQ(std::string(e.what()), mensajes::kErrorEscritura);
    }
    EXPECT_EQ(Instantanea(), (std::map<std::string, std::string>{{"a.bin", "viejo"}}));
}

TEST_F(FicheroTexto, EscriturasCortasEInterrumpidasSeCompletan) {
    escritura = Escritura{};
    escritura.maximoPorLlamada = 7;
    escritura.eintrAlternos = true;
    prueba::escribir = &EscrituraFalsa;
    EscribirLineasFichero("a.sol", kLineasEjemplo);
    EscribirBytesFichero("b.bin", kBytesEjemplo);
    EXPECT_EQ(Contenido("a.sol"), kBytesEjemplo);
    EXPECT_EQ(Contenido("b.bin"), kBytesEjemplo);
    EXPECT_GE(escritura.llamadas, 16);  // 4 short writes per file, each after an EINTR
}

TEST_F(FicheroTexto, LineasGrandesSeEscribenPorBloquesAcotados) {
    Lineas lineas = LineasGrandes();
    lineas.push_back(std::string(3 << 20, 'L'));  // one line larger than a block
    std::size_t total = 0;
    for (const std::string& l : lineas) total += l.size() + 2;
    escritura = Escritura{};
    prueba::escribir = &EscrituraFalsa;
    EscribirLineasFichero("grande.sol", lineas);
    EXPECT_LE(escritura.mayorPeticion, std::size_t{1} << 20);
    EXPECT_GE(escritura.llamadas, static_cast<int>(total >> 20));
    const std::string bytes = Contenido("grande.sol");
    ASSERT_EQ(bytes.size(), total);
    EXPECT_EQ(bytes.substr(0, 20), "0\t0\t1\t1\t0\txxxxxxxxxx");
    EXPECT_EQ(bytes.substr(total - 4), "LL\r\n");
}

// --- Symbolic links ---

struct CasoEnlace {
    const char* nombre;
    std::function<void(const fs::path& carpeta)> preparar;
    std::string escrito;  // name written to
    std::map<std::string, std::string> resultado;
};

TEST_F(FicheroTexto, EscribirPorUnEnlaceReemplazaSuDestino) {
    const CasoEnlace casos[] = {
        {"destino relativo",
         [](const fs::path&) {
             std::ofstream("real.sol") << "viejo";
             fs::create_symlink("real.sol", "enlace.sol");
         },
         "enlace.sol",
         {{"real.sol", kBytesEjemplo}, {"enlace.sol", "-> real.sol"}}},
        {"destino absoluto",
         [](const fs::path& carpeta) {
             std::ofstream("real.sol") << "viejo";
             fs::create_symlink(carpeta / "real.sol", "enlace.sol");
         },
         "enlace.sol",
         {{"real.sol", kBytesEjemplo}, {"enlace.sol", "-> real.sol"}}},
        {"destino relativo a la carpeta del enlace",
         [](const fs::path&) {
             fs::create_directories("a/b");
             std::ofstream("a/b/real.sol") << "viejo";
             fs::create_symlink("b/real.sol", "a/enlace.sol");
         },
         "a/enlace.sol",
         {{"a", "<dir>"}, {"a/b", "<dir>"}, {"a/b/real.sol", kBytesEjemplo}, {"a/enlace.sol", "-> b/real.sol"}}},
        {"cadena de enlaces",
         [](const fs::path&) {
             std::ofstream("real.sol") << "viejo";
             fs::create_symlink("real.sol", "e2.sol");
             fs::create_symlink("e2.sol", "e1.sol");
         },
         "e1.sol",
         {{"real.sol", kBytesEjemplo}, {"e1.sol", "-> e2.sol"}, {"e2.sol", "-> real.sol"}}},
        {"enlace roto crea el destino",
         [](const fs::path&) { fs::create_symlink("nuevo.sol", "enlace.sol"); },
         "enlace.sol",
         {{"nuevo.sol", kBytesEjemplo}, {"enlace.sol", "-> nuevo.sol"}}},
    };
    for (const CasoEnlace& c : casos) {
        SCOPED_TRACE(c.nombre);
        c.preparar(carpeta_);
        EscribirLineasFichero(c.escrito, kLineasEjemplo);
        auto resultado = Instantanea();
        // Absolute link targets are shown relative to the folder for comparison.
        for (auto& [nombre, valor] : resultado) {
            const std::string prefijo = "-> " + carpeta_.string() + "/";
            if (valor.starts_with(prefijo)) valor = "-> " + valor.substr(prefijo.size());
        }
        EXPECT_EQ(resultado, c.resultado);
        for (const auto& e : fs::directory_iterator(carpeta_)) fs::remove_all(e.path());
    }
}

// --- Proposed solution name ---

TEST(NombreSolucionPropuesto, HastaElPrimerPuntoMasSol) {
    const struct {
        const char* problema;
        const char* solucion;
    } casos[] = {
        {"C:\\Datos\\linea1.brk", "C:\\Datos\\linea1.sol"},
        {"C:\\Datos\\Lote.3\\linea1.brk", "C:\\Datos\\Lote.sol"},
        {"linea1.brk.brk", "linea1.sol"},
        {"linea1.", "linea1.sol"},
        {".brk", ".sol"},
        {"linea1", "sol"},
        {"", "sol"},
        {"/home/ana/linea1.brk", "/home/ana/linea1.sol"},
        {"/home/ana.b/linea1.brk", "/home/ana.sol"},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(NombreSolucionPropuesto(c.problema), c.solucion) << c.problema;
    }
}

}  // namespace
}  // namespace tavelorin
