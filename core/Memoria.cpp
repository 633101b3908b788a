#include "core/Memoria.h"

#include <fstream>
#include <limits>
#include <string>

#include "core/Errores.h"

namespace tavelorin {

namespace {

std::function<uint64_t()>& Fuente() {
    static std::function<uint64_t()> fuente;
    return fuente;
}

uint64_t LeerMemInfo() {
    std::ifstream f("/proc/meminfo");
    std::string clave;
    uint64_t valor = 0;
    std::string unidad;
    while (f >> clave >> valor) {
        std::getline(f, unidad);
        if (clave == "MemAvailable:") return valor * 1024;
    }
    return std::numeric_limits<uint64_t>::max();
}

}  // namespace

uint64_t MemoriaDisponible() {
    if (Fuente()) return Fuente()();
    return LeerMemInfo();
}

void ComprobarMemoria(uint64_t bytes) {
    if (bytes > MemoriaDisponible()) throw ErrorTavelorin(mensajes::kSinMemoria);
}

const char* ExplicacionSinMemoria() {
    return "El equipo no tiene memoria libre suficiente para esta operación, así que no se ha hecho; "
           "no se ha perdido nada. Cierre otros programas e inténtelo de nuevo. Un informe muy grande "
           "puede guardarse como archivo de solución, que se escribe por partes y apenas necesita memoria.";
}

void EstablecerFuenteMemoria(std::function<uint64_t()> fuente) { Fuente() = std::move(fuente); }

}  // namespace tavelorin
