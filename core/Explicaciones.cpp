#include "core/Explicaciones.h"

#include <cerrno>
#include <new>
#include <string_view>

#include "core/Errores.h"

namespace tavelorin {

namespace {

bool Empieza(std::string_view texto, std::string_view inicio) { return texto.substr(0, inicio.size()) == inicio; }

bool Termina(std::string_view texto, std::string_view fin) {
    return texto.size() >= fin.size() && texto.substr(texto.size() - fin.size()) == fin;
}

// The text between a prefix and a suffix, when the message has both.
bool Entre(std::string_view mensaje, std::string_view inicio, std::string_view fin, std::string_view* dentro) {
    if (mensaje.size() < inicio.size() + fin.size() || !Empieza(mensaje, inicio) || !Termina(mensaje, fin)) return false;
    *dentro = mensaje.substr(inicio.size(), mensaje.size() - inicio.size() - fin.size());
    return true;
}

const char kEntero[] =
    "Un número entero se escribe con cifras, con un signo delante si hace falta (12, -3), sin decimales, "
    "sin espacios detrás y entre -2147483648 y 2147483647.";

}  // namespace

std::string ExplicacionGeneral(const std::string& mensaje) {
    std::string_view dentro;
    if (Entre(mensaje, "''", "'' is not a valid integer value", &dentro)) {
        if (dentro.empty()) return "Falta un número entero: el dato está vacío.";
        return std::string("El texto no es un número entero. ") + kEntero;
    }
    if (Entre(mensaje, "'", "' is not a valid floating point value", &dentro))
        return "El texto no es un número real. Escríbalo con cifras y una coma o un punto decimal, por ejemplo 0,5.";
    if (mensaje == "Floating point overflow") return "El número es demasiado grande para representarlo como número real.";
    if (Entre(mensaje, "List index out of bounds (", ")", &dentro))
        return "Faltan líneas: el problema tiene menos líneas de las que anuncia su cabecera "
               "(una por producto tras las dos primeras).";
    if (mensaje == mensajes::kRangoInvalido)
        return "Un recuento negativo (productos, componentes o demandas) no es válido.";
    if (mensaje == mensajes::kSinMemoria)
        return "No hay memoria suficiente: el problema es demasiado grande para este equipo. "
               "Pruebe con menos productos, componentes o unidades.";
    if (mensaje == "Grid too large for operation")
        return "La rejilla no admite tantas filas: el límite es de 134217724 productos.";
    if (Empieza(mensaje, "Cannot open file \""))
        return "No se pudo abrir el archivo para leerlo. Compruebe que existe, que es un archivo y no una carpeta, "
               "y que tiene permiso para leerlo.";
    if (Empieza(mensaje, "Cannot create file \""))
        return "No se pudo crear o reemplazar el archivo. Compruebe que la carpeta existe, que tiene permiso para "
               "escribir en ella y que el nombre no es el de una carpeta.";
    if (mensaje == mensajes::kErrorEscritura)
        return "No se pudieron escribir todos los datos: el disco puede estar lleno o el destino haber dejado de "
               "aceptarlos.";
    if (mensaje == "There is no default printer currently selected")
        return "No hay ninguna impresora instalada ni elegida. En el diálogo de impresión puede imprimir a un "
               "archivo PDF.";
    if (mensaje == "Printer selected is not valid")
        return "La impresora elegida no se puede usar: puede estar desconectada o haberse desinstalado, o falta el "
               "nombre del archivo PDF. Elija otra en Configurar impresora.";
    if (mensaje == "Printer is not currently printing")
        return "El sistema no aceptó el trabajo de impresión, o no se pudo crear el archivo de destino.";
    if (mensaje == "Printing in progress")
        return "Ya se está enviando otro trabajo a la impresora; espere a que termine.";
    return {};
}

std::string ExplicacionDe(const std::exception& error) {
    if (const auto* propio = dynamic_cast<const ErrorTavelorin*>(&error); propio && !propio->Explicacion().empty())
        return propio->Explicacion();
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return ExplicacionGeneral(mensajes::kSinMemoria);
    return ExplicacionGeneral(error.what());
}

std::string ExplicacionDe(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return ExplicacionDe(e);
    } catch (...) {
        return {};
    }
}

std::string ExplicacionFichero(bool crear, int error) {
    switch (error) {
        case ENOENT:
            return crear ? "La carpeta donde iba a guardarse el archivo no existe."
                         : "El archivo no existe (o no existe su carpeta).";
        case EACCES:
        case EPERM:
            return crear ? "No tiene permiso para escribir en esa carpeta o para reemplazar ese archivo."
                         : "No tiene permiso para leer ese archivo.";
        case EISDIR: return "El nombre es el de una carpeta, no el de un archivo.";
        case ENOTDIR: return "Una parte de la ruta no es una carpeta.";
        case EROFS: return "El disco o la carpeta son de solo lectura.";
        case ENOSPC:
        case EDQUOT: return "No queda espacio en el disco.";
        case ENAMETOOLONG: return "El nombre del archivo o de la ruta es demasiado largo.";
        case ELOOP: return "La ruta tiene demasiados enlaces simbólicos encadenados.";
        case EMFILE:
        case ENFILE: return "El sistema tiene abiertos demasiados archivos; cierre alguno y vuelva a intentarlo.";
        default: break;
    }
    return ExplicacionGeneral(crear ? "Cannot create file \"\"" : "Cannot open file \"\"");
}

}  // namespace tavelorin
