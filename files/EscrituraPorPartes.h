// Writing a text to a file as it is produced, so that a report far larger than memory
// can be saved: the free space is checked first, the text is encoded to Windows-1252 on
// its way and goes out in blocks through the atomic replace, and a writer on another
// thread can be followed and stopped. A stopped or failed write leaves the old file.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace tavelorin {

// Where a producer puts its text: UTF-8, in runs of any length (a character may be cut
// between two of them).
class SalidaTexto {
public:
    virtual void Anadir(const char* utf8, std::size_t n) = 0;
    void Anadir(const std::string& utf8) { Anadir(utf8.data(), utf8.size()); }

protected:
    ~SalidaTexto() = default;
};

// Progress and stop of one write, shared with the thread that shows it.
struct AvanceEscritura {
    std::atomic<uint64_t> hechos{0};  // bytes of text produced so far
    std::atomic<uint64_t> total{0};   // bytes the text has (at most)
    std::atomic<bool> cancelar{false};
};

// Bytes this user may still write in the file system that holds the file (or the
// folder it would go in); UINT64_MAX when it cannot be told.
uint64_t EspacioLibre(const std::string& nombre);
// Tests replace the source of the free space; an empty function restores it.
void EstablecerFuenteEspacio(std::function<uint64_t(const std::string& nombre)> fuente);

// ErrorTavelorin when bytes do not fit in the free space of the file's file system:
// 'No hay espacio para guardar "<full path>": hacen falta N MB y quedan M MB libres'.
// A device or a pipe is not checked.
void ComprobarEspacio(const std::string& nombre, uint64_t bytes);

// Replaces the file with the text producir writes, each byte encoded as
// EscribirLineasFichero encodes it. bytes is the size of the text (at most), checked
// against the free space before anything is created. With avance, the bytes produced
// are counted there and setting cancelar stops the write at the next block: then the
// old file stays as it was and the result is false. Errors as EscribirLineasFichero's.
bool EscribirFicheroPorPartes(const std::string& nombre, uint64_t bytes, const std::function<void(SalidaTexto&)>& producir,
                              AvanceEscritura* avance = nullptr);

// "N MB", or "N GB" from 10 GB on: sizes for messages.
std::string TextoTamano(uint64_t bytes, bool redondearArriba);

}  // namespace tavelorin
