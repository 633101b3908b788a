// The problem and solution text files: reading them as lines and writing lines to them,
// on top of the encodings (Codificacion.h), the line reader (LectorLineas.h) and the
// atomic replace (ReemplazoAtomico.h).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "files/Codificacion.h"
#include "files/LectorLineas.h"

namespace tavelorin {

// A file open for reading. Only a regular file is opened: a FIFO, a socket or a device
// is refused at once (a FIFO would keep open() waiting for a writer, a device may never
// end), with 'No se puede abrir "<full path>": es <kind>, no un archivo normal'; other
// failures give 'Cannot open file "<full path>". <reason>', as a read error does.
class FicheroEntrada final : public FuenteBytes {
public:
    explicit FicheroEntrada(const std::string& nombre);
    // Standard input, whatever it is (a pipe, a terminal, a device); "-" in messages.
    static FicheroEntrada EntradaEstandar();

    FicheroEntrada(const FicheroEntrada&) = delete;
    FicheroEntrada& operator=(const FicheroEntrada&) = delete;
    ~FicheroEntrada();

    std::size_t Leer(char* destino, std::size_t n) override;

private:
    FicheroEntrada(int fd, std::string nombre) : fd_(fd), nombre_(std::move(nombre)) {}

    int fd_ = -1;
    std::string nombre_;  // empty for standard input
};

// The lines of a file, read as they are asked for (see LectorLineas and FicheroEntrada).
class LineasDeFichero final : public FuenteLineas {
public:
    explicit LineasDeFichero(const std::string& nombre) : entrada_(nombre), lector_(entrada_) {}
    bool Siguiente(std::string& linea) override { return lector_.Siguiente(linea); }

private:
    FicheroEntrada entrada_;
    LectorLineas lector_;
};

// Every line of a file, decoded (see LineasDeFichero). A list that would not fit in the
// available memory is refused with "Out of memory".
std::vector<std::string> LeerLineasFichero(const std::string& nombre);

// Writes every line followed by CR LF, in Windows-1252. Replaces the file atomically:
// on any failure the old file stays as it was (see ReemplazoFichero for a folder that
// cannot be written). Errors (ErrorTavelorin):
// 'Cannot create file "<full path>". <reason>' or "Stream write error".
void EscribirLineasFichero(const std::string& nombre, const std::vector<std::string>& lineas);
// The same with the lines asked for one at a time, linea(i) for i = 0 .. cantidad - 1
// (UTF-8), so that no copy of the whole text is needed.
void EscribirLineasFichero(const std::string& nombre, std::size_t cantidad,
                           const std::function<std::string(std::size_t)>& linea);

// True when both names lead to the same file: the same file on disk (links followed),
// or, for names of files not yet created, the same absolute path. False when either is
// empty.
bool MismoFichero(const std::string& a, const std::string& b);

// Solution file offered for a problem file: the same path with the extension of the
// file name (the part from its last ".", unless that is its first character) replaced
// by ".sol", or ".sol" appended when it has none; never the problem file itself (a
// problem named *.sol gets ".sol" appended). "sol" when there is no problem file.
std::string NombreSolucionPropuesto(const std::string& ficheroProblema);

}  // namespace tavelorin
