// File errors carry the Spanish explanation of the system's reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/Errores.h"
#include "files/FicheroTexto.h"

using namespace tavelorin;
namespace fs = std::filesystem;

namespace {

std::string ExplicacionAl(const std::function<void()>& operacion) {
    try {
        operacion();
    } catch (const ErrorTavelorin& e) {
        return e.Explicacion();
    }
    return "(sin error)";
}

TEST(ExplicacionDeErroresDeFichero, ElMotivoEnEspanol) {
    const fs::path carpeta = fs::temp_directory_path() / "tavelorin-explicaciones";
    fs::remove_all(carpeta);
    EXPECT_EQ(ExplicacionAl([&] { LeerLineasFichero((carpeta / "no-existe.brk").string()); }),
              "El archivo no existe (o no existe su carpeta).");
    EXPECT_EQ(ExplicacionAl([&] { EscribirLineasFichero((carpeta / "x.sol").string(), {"a"}); }),
              "La carpeta donde iba a guardarse el archivo no existe.");
}

}  // namespace
