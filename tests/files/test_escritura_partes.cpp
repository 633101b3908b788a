// A text written to a file as it is produced: the bytes EscribirLineasFichero writes, the
// free space checked first, a stop partway, and what is left on disk after each.
#include "files/EscrituraPorPartes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/Errores.h"
#include "files/FicheroTexto.h"
#include "soporte/Bytes.h"

namespace tavelorin {
namespace {

namespace fs = std::filesystem;

class EscrituraPorPartesPrueba : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        std::string plantilla = (fs::temp_directory_path() / "tavelorin_partes_XXXXXX").string();
        ASSERT_NE(::mkdtemp(plantilla.data()), nullptr);
        dir = plantilla;
    }
    void TearDown() override {
        EstablecerFuenteEspacio({});
        fs::remove_all(dir);
    }
    // The files in the folder besides the target: a temporary left behind would show.
    size_t Ficheros() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator())); }
    fs::path Viejo() const {
        const fs::path p = dir / "s.sol";
        std::ofstream(p, std::ios::binary) << "vieja\r\n";
        return p;
    }
};

// Lines by the writer, each followed by CR LF, in runs of the given size.
std::function<void(SalidaTexto&)> Productor(const std::vector<std::string>& lineas, size_t trozo) {
    return [lineas, trozo](SalidaTexto& s) {
        std::string texto;
        for (const std::string& l : lineas) texto += l + "\r\n";
        for (size_t i = 0; i < texto.size(); i += trozo) s.Anadir(texto.data() + i, std::min(trozo, texto.size() - i));
    };
}

TEST_F(EscrituraPorPartesPrueba, LosBytesDeEscribirLineasFichero) {
    const std::vector<std::string> lineas = {"K\tDk1", "año 0,559 €", "中 😀 fuera de la página de códigos", "", "Solucion:"};
    const fs::path a = dir / "a.sol", b = dir / "b.sol";
    EscribirLineasFichero(b.string(), lineas);
    // Runs of every length up to past the longest character: the characters cut between
    // two runs come out whole.
    for (size_t trozo = 1; trozo <= 6; ++trozo) {
        ASSERT_TRUE(EscribirFicheroPorPartes(a.string(), 1000, Productor(lineas, trozo)));
        EXPECT_EQ(LeerBytes(a), LeerBytes(b)) << "runs of " << trozo;
    }
    AvanceEscritura avance;
    ASSERT_TRUE(EscribirFicheroPorPartes(a.string(), 1000, Productor(lineas, 1000), &avance));
    uint64_t utf8 = 0;
    for (const std::string& l : lineas) utf8 += l.size() + 2;
    EXPECT_EQ(avance.hechos.load(), utf8);
    EXPECT_EQ(avance.total.load(), 1000u);
}

TEST_F(EscrituraPorPartesPrueba, SinEspacioNadaSeEscribe) {
    const fs::path p = Viejo();
    EstablecerFuenteEspacio([](const std::string&) { return uint64_t{5} << 20; });
    try {
        EscribirFicheroPorPartes(p.string(), (uint64_t{7} << 20) + 1, Productor({"x"}, 1));
        ADD_FAILURE() << "se esperaba un error";
    } catch (const ErrorTavelorin& e) {
        EXPECT_EQ(std::string(e.what()),
                  "No hay espacio para guardar \"" + p.string() + "\": hacen falta 8 MB y quedan 5 MB libres");
    }
    EXPECT_EQ(LeerBytes(p), "vieja\r\n");
    EXPECT_EQ(Ficheros(), 1u);
    // What fits is written.
    EXPECT_TRUE(EscribirFicheroPorPartes(p.string(), 5u << 20, Productor({"nueva"}, 3)));
    EXPECT_EQ(LeerBytes(p), "nueva\r\n");
}

TEST_F(EscrituraPorPartesPrueba, UnaParadaDejaElArchivoViejo) {
    // Stopped from the start, and partway through a text of several blocks.
    for (const uint64_t parada : {uint64_t{0}, uint64_t{3} << 20}) {
        const fs::path p = Viejo();
        AvanceEscritura avance;
        const std::string linea(1000, 'z');
        const auto producir = [&](SalidaTexto& s) {
            for (int i = 0; i < 8000; ++i) {
                if (avance.hechos >= parada) avance.cancelar = true;
                s.Anadir(linea);
                s.Anadir("\r\n", 2);
            }
        };
        EXPECT_FALSE(EscribirFicheroPorPartes(p.string(), 8000u * 1002, producir, &avance)) << parada;
        EXPECT_EQ(LeerBytes(p), "vieja\r\n");
        EXPECT_EQ(Ficheros(), 1u);
    }
}

TEST(TextoTamano, MegasYGigas) {
    struct Caso {
        uint64_t bytes;
        bool arriba;
        const char* texto;
    };
    const Caso casos[] = {
        {0, true, "0 MB"},
        {1, true, "1 MB"},
        {1, false, "0 MB"},
        {(uint64_t{10} << 30) - 1, false, "10239 MB"},
        {uint64_t{10} << 30, false, "10 GB"},
        {(uint64_t{2} << 40) + 1, true, "2049 GB"},
    };
    for (const Caso& c : casos) EXPECT_EQ(TextoTamano(c.bytes, c.arriba), c.texto) << c.bytes;
}

}  // namespace
}  // namespace tavelorin
