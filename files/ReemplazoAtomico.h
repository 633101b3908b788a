// Atomic replacement of a file: the new content goes to a temporary file beside the
// target, which is synced and renamed over it, so that a reader sees the old file or the
// new one and never a part of either.
#pragma once

#include <cstddef>
#include <string>

#include <sys/types.h>

namespace tavelorin {

// Replaces a file through a temporary one in the same folder: the target changes only
// when everything was written, synced and renamed over it. Until Confirmar succeeds the
// destructor removes the temporary, leaving the target untouched. Symbolic links are
// followed, so a link keeps pointing at the file it names; a replaced file keeps its
// permission bits, and its owner and group where the program may set them (as root); a
// new one gets them from the umask. Written into directly, without a temporary: a
// device or a pipe, which cannot be replaced (a pipe without a reader is refused rather
// than waited for), and an existing file the user may write in a folder the user may
// not (a failure partway then leaves the file cut, and is reported all the same).
class ReemplazoFichero {
public:
    // Prepares the temporary file. Throws ErrorTavelorin
    // 'Cannot create file "<full path>". <reason>' when the target cannot be replaced.
    explicit ReemplazoFichero(const std::string& nombre);

    ReemplazoFichero(const ReemplazoFichero&) = delete;
    ReemplazoFichero& operator=(const ReemplazoFichero&) = delete;

    ~ReemplazoFichero();

    // Writes all n bytes, going on after short and interrupted writes. On failure the
    // temporary is removed and ErrorTavelorin "Stream write error" is thrown.
    void Escribir(const char* datos, std::size_t n);

    // Syncs and closes the temporary and renames it over the target. On failure the
    // temporary is removed and ErrorTavelorin "Stream write error" is thrown.
    void Confirmar();

private:
    [[noreturn]] void Fallo();
    void Descartar() noexcept;

    void AbrirDirecto(int banderas);

    std::string nombre_;    // as given, for messages
    std::string destino_;   // file actually replaced (links followed)
    std::string carpeta_;
    std::string temporal_;  // empty when writing straight into the target
    bool sincronizar_ = true;  // false for a device or a pipe
    int fd_ = -1;
};

// Makes SIGINT, SIGTERM and SIGHUP remove the temporary files of the replacements under
// way before they end the program, which then ends by the signal as it would have. A
// signal the program ignores (nohup) or handles itself is left alone. Call once, early.
void LimpiarTemporalesAlTerminar();

namespace prueba {
// Low-level write used for every block of data sent to a file (::write by default).
// Tests point it elsewhere to force short writes, EINTR or a failure partway.
using FuncionEscribir = ssize_t (*)(int fd, const void* datos, std::size_t n);
extern FuncionEscribir escribir;
}  // namespace prueba

}  // namespace tavelorin
