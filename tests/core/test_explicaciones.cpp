// The Spanish explanations shown below a message: the general one of each message a user
// can provoke, and the one a raise site gives with the place of the fault. The message
// itself never changes.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <new>

#include "core/Errores.h"
#include "core/Explicaciones.h"
#include "core/GeneracionAleatoria.h"
#include "core/MatrizProblema.h"
#include "core/Problema.h"

using namespace tavelorin;

namespace {

using Lineas = std::vector<std::string>;

struct General {
    const char* mensaje;
    const char* empieza;  // the explanation starts so; empty: there is none
};

class ExplicacionGeneralDe : public ::testing::TestWithParam<General> {};

TEST_P(ExplicacionGeneralDe, CadaMensajeDeLaTabla) {
    const General& caso = GetParam();
    const std::string explicacion = ExplicacionGeneral(caso.mensaje);
    EXPECT_EQ(explicacion.substr(0, std::string(caso.empieza).size()), caso.empieza) << explicacion;
    EXPECT_EQ(explicacion.empty(), std::string(caso.empieza).empty()) << explicacion;
}

INSTANTIATE_TEST_SUITE_P(
    Tabla, ExplicacionGeneralDe,
    ::testing::Values(General{"''x'' is not a valid integer value", "El texto no es un número entero."},
                      General{"'''' is not a valid integer value", "Falta un número entero: el dato está vacío."},
                      General{"'abc' is not a valid floating point value", "El texto no es un número real."},
                      General{"Floating point overflow", "El número es demasiado grande"},
                      General{"List index out of bounds (3)", "Faltan líneas: el problema tiene menos líneas"},
                      General{"Range check error",
                              "Un recuento negativo (productos, componentes o demandas) no es válido."},
                      General{"Out of memory", "No hay memoria suficiente"},
                      General{"Grid too large for operation", "La rejilla no admite tantas filas"},
                      General{"Cannot open file \"/x.brk\". No such file or directory", "No se pudo abrir el archivo"},
                      General{"Cannot create file \"/x.sol\". Permission denied", "No se pudo crear o reemplazar"},
                      General{"Stream write error", "No se pudieron escribir todos los datos"},
                      General{"There is no default printer currently selected", "No hay ninguna impresora"},
                      General{"Printer selected is not valid", "La impresora elegida no se puede usar"},
                      General{"Printer is not currently printing", "El sistema no aceptó el trabajo"},
                      General{"Printing in progress", "Ya se está enviando otro trabajo"},
                      // The program's own Spanish messages explain themselves; others are unknown.
                      General{"No hay nada que secuenciar: la demanda total es 0", ""},
                      General{"Range check error.", ""}, General{"List index out of bounds", ""},
                      General{"", ""}));

// What an error shows, raised where the fault is known.
struct Lugar {
    const char* nombre;
    std::function<void()> fallar;
    const char* mensaje;
    const char* explicacion;
};

class ExplicacionEnSuLugar : public ::testing::TestWithParam<Lugar> {};

TEST_P(ExplicacionEnSuLugar, MensajeIntactoYExplicacionDelLugar) {
    const Lugar& caso = GetParam();
    try {
        caso.fallar();
        FAIL() << "no error";
    } catch (const ErrorTavelorin& e) {
        EXPECT_STREQ(e.what(), caso.mensaje);
        EXPECT_EQ(e.Explicacion(), caso.explicacion);
        EXPECT_EQ(ExplicacionDe(e), caso.explicacion);
    }
}

void Leer(const Lineas& lineas) {
    EstadoSecuenciador e;
    LeerProblema(e, lineas);
}

void Cargar(const Lineas& lineas) {
    MatrizProblema m;
    CargarLineas(m, lineas);
}

void Aleatorio(std::function<void(TextosAleatorios&)> cambiar) {
    TextosAleatorios t;
    cambiar(t);
    (void)LeerParametrosAleatorios(t, ",");
}

INSTANTIATE_TEST_SUITE_P(
    Casos, ExplicacionEnSuLugar,
    ::testing::Values(
        Lugar{"celda de un componente", [] { Leer({"2", "3", "1\t2\t3\t4", "5\t6\tx\t1"}); },
              "''x'' is not a valid integer value",
              "El contenido de la celda (producto 2, componente 3) no es un número entero."},
        Lugar{"celda vacía", [] { Leer({"2", "3", "1\t\t3\t4", "5\t6\t7\t1"}); }, "'''' is not a valid integer value",
              "Falta un número entero: la celda (producto 1, componente 2) está vacía."},
        Lugar{"línea corta", [] { Leer({"1", "3", "1\t2"}); }, "'''' is not a valid integer value",
              "Falta un número entero: la celda (producto 1, componente 3) está vacía."},
        Lugar{"demanda", [] { Leer({"2", "1", "1\t4", "1\t4.5"}); }, "''4.5'' is not a valid integer value",
              "La demanda del producto 2 (columna Qj) no es un número entero."},
        Lugar{"demanda vacía", [] { Leer({"1", "1", "1\t"}); }, "'''' is not a valid integer value",
              "Falta la demanda del producto 1 (columna Qj)."},
        Lugar{"número de productos", [] { Leer({"tres", "1"}); }, "''tres'' is not a valid integer value",
              "La primera línea del problema (el número de productos) no es un número entero."},
        Lugar{"productos negativos", [] { Leer({"-5", "1"}); }, "Range check error",
              "Un recuento negativo no es válido: el número de productos es -5."},
        Lugar{"componentes negativos", [] { Leer({"2", "-3"}); }, "Range check error",
              "Un recuento negativo no es válido: el número de componentes es -3."},
        Lugar{"falta un producto", [] { Leer({"3", "1", "1\t1", "1\t1"}); }, "List index out of bounds (4)",
              "El problema tiene menos líneas de las que anuncia: 3 productos, y falta la línea del producto 3."},
        Lugar{"archivo corto", [] { Cargar({"3", "2", "1\t0\t2"}); }, "List index out of bounds (3)",
              "El archivo tiene menos líneas de las que anuncia su cabecera: la primera línea anuncia 3 productos, "
              "uno por línea desde la tercera, y el archivo termina en la línea 3, antes de la del producto 2."},
        Lugar{"archivo vacío", [] { Cargar({}); }, "List index out of bounds (0)",
              "El archivo está vacío: falta la primera línea, el número de productos."},
        Lugar{"archivo sin componentes", [] { Cargar({"3"}); }, "List index out of bounds (1)",
              "Falta la segunda línea del archivo, el número de componentes."},
        Lugar{"cabecera del archivo", [] { Cargar({"3", "dos"}); }, "''dos'' is not a valid integer value",
              "La segunda línea del archivo (el número de componentes) no es un número entero."},
        Lugar{"productos aleatorios", [] { Aleatorio([](TextosAleatorios& t) { t.productos = "diez"; }); },
              "''diez'' is not a valid integer value",
              "El número de productos del problema aleatorio no es un número entero."},
        Lugar{"cantidad máxima aleatoria", [] { Aleatorio([](TextosAleatorios& t) { t.cantidadMaxima = ""; }); },
              "'''' is not a valid integer value",
              "El número de la cantidad máxima de componente en producto del problema aleatorio no es un número "
              "entero."},
        Lugar{"probabilidad", [] { Aleatorio([](TextosAleatorios& t) { t.probabilidad = "media"; }); },
              "'media' is not a valid floating point value",
              "La probabilidad de componente en producto no es un número real. Escríbala con cifras y una coma o "
              "un punto decimal, por ejemplo 0,5."},
        Lugar{"probabilidad enorme", [] { Aleatorio([](TextosAleatorios& t) { t.probabilidad = "1e400"; }); },
              "Floating point overflow",
              "La probabilidad de componente en producto es demasiado grande para representarla como número real; "
              "debe estar entre 0 y 1."}),
    [](const ::testing::TestParamInfo<Lugar>& info) {
        std::string nombre;
        for (const char* c = info.param.nombre; *c; ++c)
            nombre += (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') ? *c : '_';
        return nombre;
    });

TEST(ExplicacionDe, SinExplicacionPropiaLaGeneral) {
    EXPECT_EQ(ExplicacionDe(ErrorTavelorin("Range check error")), ExplicacionGeneral("Range check error"));
    EXPECT_EQ(ExplicacionDe(ErrorTavelorin("Out of memory", "")), ExplicacionGeneral("Out of memory"));
    EXPECT_EQ(ExplicacionDe(std::bad_alloc()), ExplicacionGeneral("Out of memory"));
    EXPECT_EQ(ExplicacionDe(std::make_exception_ptr(std::bad_alloc())), ExplicacionGeneral("Out of memory"));
    EXPECT_EQ(ExplicacionDe(std::make_exception_ptr(ErrorTavelorin("Out of memory", "Aquí."))), "Aquí.");
    EXPECT_EQ(ExplicacionDe(std::runtime_error("Error 7")), "");
    EXPECT_EQ(ExplicacionDe(std::make_exception_ptr(42)), "");
}

TEST(ExplicacionDe, SobreviveALaCopiaDelError) {
    std::exception_ptr guardado;
    {
        const ErrorTavelorin original("Range check error", "Un recuento negativo no es válido: el de prueba.");
        guardado = std::make_exception_ptr(original);
    }
    EXPECT_EQ(ExplicacionDe(guardado), "Un recuento negativo no es válido: el de prueba.");
}

struct Sistema {
    bool crear;
    int error;
    const char* explicacion;
};

class ExplicacionDeFichero : public ::testing::TestWithParam<Sistema> {};

TEST_P(ExplicacionDeFichero, SegunElError) {
    EXPECT_EQ(ExplicacionFichero(GetParam().crear, GetParam().error), GetParam().explicacion);
}

INSTANTIATE_TEST_SUITE_P(
    Errores, ExplicacionDeFichero,
    ::testing::Values(Sistema{false, ENOENT, "El archivo no existe (o no existe su carpeta)."},
                      Sistema{true, ENOENT, "La carpeta donde iba a guardarse el archivo no existe."},
                      Sistema{false, EACCES, "No tiene permiso para leer ese archivo."},
                      Sistema{true, EACCES, "No tiene permiso para escribir en esa carpeta o para reemplazar ese archivo."},
                      Sistema{false, EISDIR, "El nombre es el de una carpeta, no el de un archivo."},
                      Sistema{true, EROFS, "El disco o la carpeta son de solo lectura."},
                      Sistema{true, ENOSPC, "No queda espacio en el disco."},
                      // Errors a user cannot act on get the message's general explanation.
                      Sistema{false, EIO,
                              "No se pudo abrir el archivo para leerlo. Compruebe que existe, que es un archivo y no "
                              "una carpeta, y que tiene permiso para leerlo."}));

}  // namespace
