// Reading and writing the problem and solution files: the atomic replace underneath,
// opening and creation errors, write failures, symbolic links.
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
#include <sys/wait.h>
#include <signal.h>
#include <unistd.h>

#include "core/Errores.h"
#include "files/ReemplazoAtomico.h"

namespace tavelorin {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Lineas = std::vector<std::string>;

bool EsRoot() { return ::geteuid() == 0; }

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

// The atomic replace alone, with the bytes as given.
void Reemplazar(const std::string& nombre, std::string_view bytes) {
    ReemplazoFichero fichero(nombre);
    fichero.Escribir(bytes.data(), bytes.size());
    fichero.Confirmar();
}

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

TEST_F(FicheroTexto, ReemplazoConLosBytesTalCual) {
    const std::string bytes = "\xEF\xBB\xBF\0\xFF\r\n\n"s;
    Reemplazar("b.bin", bytes);
    EXPECT_EQ(Contenido("b.bin"), bytes);
}

// A replacement given up before Confirmar (an error while the content was being made)
// leaves the folder as it was, whether the target existed or not.
TEST_F(FicheroTexto, ReemplazoSinConfirmarNoDejaRastro) {
    Crear("a.sol", "viejo");
    const auto antes = Instantanea();
    {
        ReemplazoFichero existente("a.sol");
        existente.Escribir("nuevo", 5);
        ReemplazoFichero nuevo("b.sol");
        nuevo.Escribir("nuevo", 5);
    }
    EXPECT_EQ(Instantanea(), antes);
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
    Reemplazar("a.sol", "x");
    EXPECT_EQ(Contenido("a.sol"), "x");
    EXPECT_EQ(Permisos("a.sol"), 0604u);

    EXPECT_EQ(Instantanea(), (std::map<std::string, std::string>{{"a.sol", "x"}}));
}

TEST_F(FicheroTexto, FicheroNuevoConPermisosSegunUmask) {
    ::umask(027);
    EscribirLineasFichero("nuevo.sol", kLineasEjemplo);
    EXPECT_EQ(Permisos("nuevo.sol"), 0640u);
    ::umask(002);
    Reemplazar("otro.sol", "x");
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
        ReemplazoFichero fichero(c.fichero);
        ADD_FAILURE() << "no error preparing the replacement";
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
        // A new file needs the folder; an existing one is written in place (see
        // EnCarpetaDeSoloLectura) only when the file itself may be written.
        CasoError{"carpeta de solo lectura",
                  [] {
                      fs::create_directory("cerrada");
                      fs::permissions("cerrada", fs::perms::owner_read | fs::perms::owner_exec);
                  },
                  "cerrada/x.sol", "cerrada/x.sol", "Permission denied", true},
        CasoError{"fichero de solo lectura en carpeta de solo lectura",
                  [] {
                      fs::create_directory("cerrada");
                      std::ofstream("cerrada/x.sol") << "viejo";
                      fs::permissions("cerrada/x.sol", fs::perms::owner_read);
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
        Reemplazar("a.bin", std::string(100, 'n'));
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
    Reemplazar("b.bin", kBytesEjemplo);
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

// --- A folder the user may not write ---

// No temporary file can go beside the target, but the target may be written: it is
// written in place, keeps its permission bits, and a failure partway is still reported.
// As root nothing stops the temporary, so this runs in the unprivileged pass.
TEST_F(FicheroTexto, EnCarpetaDeSoloLecturaSeEscribeEnElSitio) {
    if (EsRoot()) GTEST_SKIP() << "root can write in any folder";
    struct Caso {
        const char* nombre;
        std::string escrito;  // name written to
        int fallarEn;         // write call that fails (0: none)
        std::map<std::string, std::string> resultado;
    };
    const Caso casos[] = {
        {"fichero mas largo que el nuevo", "cerrada/x.sol", 0,
         {{"cerrada", "<dir>"}, {"cerrada/x.sol", kBytesEjemplo}}},
        {"por un enlace desde una carpeta abierta", "enlace.sol", 0,
         {{"cerrada", "<dir>"}, {"cerrada/x.sol", kBytesEjemplo}, {"enlace.sol", "-> cerrada/x.sol"}}},
        {"fallo a mitad", "cerrada/x.sol", 2, {{"cerrada", "<dir>"}, {"cerrada/x.sol", "<cortado>"}}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        fs::create_directory("cerrada");
        Crear("cerrada/x.sol", std::string(5000, 'v'));
        ASSERT_EQ(::chmod("cerrada/x.sol", 0640), 0);
        fs::create_symlink("cerrada/x.sol", "enlace.sol");
        ASSERT_EQ(::chmod("cerrada", 0500), 0);
        escritura = Escritura{};
        escritura.fallarEn = c.fallarEn;
        prueba::escribir = &EscrituraFalsa;
        try {
            EscribirLineasFichero(c.escrito, c.fallarEn == 0 ? kLineasEjemplo : LineasGrandes());
            EXPECT_EQ(c.fallarEn, 0) << "no error";
        } catch (const ErrorTavelorin& e) {
            EXPECT_NE(c.fallarEn, 0) << e.what();
            EXPECT_STREQ(e.what(), mensajes::kErrorEscritura);
        }
        prueba::escribir = &::write;
        EXPECT_EQ(Permisos("cerrada/x.sol"), 0640u);
        auto resultado = Instantanea();
        if (c.fallarEn != 0) {
            // Only the first block got there.
            EXPECT_EQ(resultado["cerrada/x.sol"].find("<1048576 bytes"), 0u) << resultado["cerrada/x.sol"];
            resultado["cerrada/x.sol"] = "<cortado>";
        }
        if (!c.resultado.contains("enlace.sol")) resultado.erase("enlace.sol");
        EXPECT_EQ(resultado, c.resultado);
        ASSERT_EQ(::chmod("cerrada", 0700), 0);
        for (const auto& e : fs::directory_iterator(carpeta_)) fs::remove_all(e.path());
    }
}

// A replaced file keeps its owner and group, which only root may give away.
TEST_F(FicheroTexto, ConservaDuenoYGrupo) {
    if (!EsRoot()) GTEST_SKIP() << "only root may give a file to another user";
    const struct {
        uid_t dueno;
        gid_t grupo;
        unsigned permisos;
    } casos[] = {{65534, 65534, 0640}, {0, 65534, 0604}, {65534, 0, 0600}};
    for (const auto& c : casos) {
        SCOPED_TRACE(std::to_string(c.dueno) + ":" + std::to_string(c.grupo));
        Crear("a.sol", "viejo");
        ASSERT_EQ(::chown("a.sol", c.dueno, c.grupo), 0);
        ASSERT_EQ(::chmod("a.sol", c.permisos), 0);
        EscribirLineasFichero("a.sol", kLineasEjemplo);
        struct stat st;
        ASSERT_EQ(::stat("a.sol", &st), 0);
        EXPECT_EQ(st.st_uid, c.dueno);
        EXPECT_EQ(st.st_gid, c.grupo);
        EXPECT_EQ(st.st_mode & 07777, c.permisos);
        EXPECT_EQ(Contenido("a.sol"), kBytesEjemplo);
    }
    // A new file is the writer's.
    EscribirLineasFichero("nuevo.sol", kLineasEjemplo);
    struct stat st;
    ASSERT_EQ(::stat("nuevo.sol", &st), 0);
    EXPECT_EQ(st.st_uid, 0u);
}

// --- Signals ---

// A child process starts a replacement, writes, tells the parent and waits; the parent
// sends the signals. The cleanup removes the temporary file and the child still ends
// by the signal; a signal ignored before stays ignored.
TEST_F(FicheroTexto, UnaSenalNoDejaElTemporal) {
    struct Caso {
        const char* nombre;
        std::vector<int> senales;  // sent in this order
        bool ignorarSighup;        // as nohup leaves it
        int muereDe;
    };
    const Caso casos[] = {
        {"SIGINT", {SIGINT}, false, SIGINT},
        {"SIGTERM", {SIGTERM}, false, SIGTERM},
        {"SIGHUP", {SIGHUP}, false, SIGHUP},
        {"SIGHUP ignorada, luego SIGTERM", {SIGHUP, SIGTERM}, true, SIGTERM},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        Crear("a.sol", "viejo");
        const auto antes = Instantanea();
        int aviso[2];
        ASSERT_EQ(::pipe(aviso), 0);
        const pid_t hijo = ::fork();
        ASSERT_GE(hijo, 0);
        if (hijo == 0) {
            ::close(aviso[0]);
            if (c.ignorarSighup) ::signal(SIGHUP, SIG_IGN);
            LimpiarTemporalesAlTerminar();
            ReemplazoFichero fichero("a.sol");
            fichero.Escribir("nuevo contenido", 15);
            if (::write(aviso[1], "x", 1) != 1) ::_exit(3);
            for (;;) ::pause();
        }
        ::close(aviso[1]);
        char listo;
        ASSERT_EQ(::read(aviso[0], &listo, 1), 1);
        ::close(aviso[0]);
        EXPECT_EQ(Instantanea().size(), 2u);  // the file and the temporary
        for (const int senal : c.senales) ::kill(hijo, senal);
        int estado = 0;
        ASSERT_EQ(::waitpid(hijo, &estado, 0), hijo);
        EXPECT_TRUE(WIFSIGNALED(estado) && WTERMSIG(estado) == c.muereDe) << "status " << estado;
        EXPECT_EQ(Instantanea(), antes);
        fs::remove("a.sol");
    }
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

TEST(NombreSolucionPropuesto, ExtensionDelNombreDelFichero) {
    const struct {
        const char* problema;
        const char* solucion;
    } casos[] = {
        {"/home/ana/linea1.brk", "/home/ana/linea1.sol"},
        {"/home/ana.b/linea1.brk", "/home/ana.b/linea1.sol"},  // a dot in a folder is not the extension
        {"./x.brk", "./x.sol"},
        {"../datos/x.brk", "../datos/x.sol"},
        {"lote.3/linea1", "lote.3/linea1.sol"},                  // no extension: appended
        {"linea1", "linea1.sol"},
        {"linea1.brk.brk", "linea1.brk.sol"},                    // only the last one
        {"linea1.", "linea1.sol"},
        {".brk", ".brk.sol"},                                    // a hidden file's name, not an extension
        {"/tmp/.brk", "/tmp/.brk.sol"},
        {"C:\\Datos\\Lote.3\\linea1.brk", "C:\\Datos\\Lote.3\\linea1.sol"},
        {"linea1.sol", "linea1.sol.sol"},                        // never the problem file itself
        {"/a/b.sol", "/a/b.sol.sol"},
        {"", "sol"},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(NombreSolucionPropuesto(c.problema), c.solucion) << c.problema;
        EXPECT_NE(NombreSolucionPropuesto(c.problema), c.problema) << c.problema;
    }
}

// The lines asked for one at a time give the same bytes as the whole list.
TEST_F(FicheroTexto, LineasPedidasUnaAUna) {
    const std::vector<std::string> lineas = {"K\tDk1", "", "Número €", "中", "Solucion:"};
    EscribirLineasFichero("lista.sol", lineas);
    std::vector<size_t> pedidas;
    EscribirLineasFichero("una.sol", lineas.size(), [&](size_t i) {
        pedidas.push_back(i);
        return lineas[i];
    });
    EXPECT_EQ(Contenido("una.sol"), Contenido("lista.sol"));
    EXPECT_EQ(pedidas, (std::vector<size_t>{0, 1, 2, 3, 4}));
    EscribirLineasFichero("cero.sol", 0, [](size_t) -> std::string { throw std::logic_error("pedida"); });
    EXPECT_EQ(Contenido("cero.sol"), "");
}

}  // namespace
}  // namespace tavelorin
