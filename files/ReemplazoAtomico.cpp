#include "files/ReemplazoAtomico.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/Errores.h"
#include "files/ErroresFichero.h"

namespace tavelorin {

namespace prueba {
FuncionEscribir escribir = &::write;
}  // namespace prueba

namespace {

namespace fs = std::filesystem;

// The temporary files that exist now, for the signal handler: async-signal-safe to read.
constexpr int kRanuras = 16;
std::atomic<const char*> temporales[kRanuras];
constexpr int kSenales[] = {SIGINT, SIGTERM, SIGHUP};

void Registrar(const char* ruta) {
    for (auto& ranura : temporales) {
        const char* libre = nullptr;
        if (ranura.compare_exchange_strong(libre, ruta)) return;
    }
}

void Quitar(const char* ruta) {
    for (auto& ranura : temporales) {
        const char* esta = ruta;
        if (ranura.compare_exchange_strong(esta, nullptr)) return;
    }
}

extern "C" void AlTerminarPorSenal(int senal) {
    const int error = errno;
    for (auto& ranura : temporales)
        if (const char* ruta = ranura.load()) ::unlink(ruta);
    ::signal(senal, SIG_DFL);
    ::raise(senal);  // delivered when the handler returns
    errno = error;
}

// Holds the cleanup signals back while a temporary file is created and registered, so
// that none can end the program between the two.
class SenalesRetenidas {
public:
    SenalesRetenidas() {
        sigset_t retenidas;
        sigemptyset(&retenidas);
        for (const int senal : kSenales) sigaddset(&retenidas, senal);
        ::pthread_sigmask(SIG_BLOCK, &retenidas, &anteriores_);
    }
    ~SenalesRetenidas() { ::pthread_sigmask(SIG_SETMASK, &anteriores_, nullptr); }

private:
    sigset_t anteriores_;
};

// Name for the temporary file that becomes the target: hidden, beside it, unique.
std::string NombreTemporal(const std::string& base) {
    static std::atomic<unsigned> contador{0};
    const auto ahora = std::chrono::system_clock::now().time_since_epoch().count();
    std::uint64_t x = (static_cast<std::uint64_t>(::getpid()) << 40) ^ static_cast<std::uint64_t>(ahora) ^
                      (static_cast<std::uint64_t>(contador.fetch_add(1)) * 0x9E3779B97F4A7C15ULL);
    x ^= x >> 33;
    x *= 0xFF51AFD7ED558CCDULL;
    x ^= x >> 33;
    static constexpr char kCifras[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string sufijo;
    for (int i = 0; i < 8; ++i) {
        sufijo.push_back(kCifras[x % 36]);
        x /= 36;
    }
    // Keep the name well under NAME_MAX however long the target's is, without cutting a
    // UTF-8 character in two.
    std::size_t corte = std::min<std::size_t>(base.size(), 200);
    while (corte > 0 && corte < base.size() && (static_cast<unsigned char>(base[corte]) & 0xC0) == 0x80) --corte;
    std::string nombre(1, '.');
    nombre.append(base, 0, corte);
    nombre += ".~";
    nombre += sufijo;
    return nombre;
}

// The file a name stands for, following symbolic links (at most 40, as the kernel does).
fs::path SeguirEnlaces(const std::string& nombre) {
    fs::path destino(nombre);
    for (int saltos = 0; saltos < 40; ++saltos) {
        std::error_code ec;
        const fs::file_status estado = fs::symlink_status(destino, ec);
        if (ec || !fs::is_symlink(estado)) break;
        const fs::path enlace = fs::read_symlink(destino, ec);
        if (ec) break;
        destino = enlace.is_absolute() ? enlace : destino.parent_path() / enlace;
    }
    return destino;
}

}  // namespace

ReemplazoFichero::ReemplazoFichero(const std::string& nombre) : nombre_(nombre) {
    if (nombre.empty()) LanzarErrorAlCrear(nombre_, ENOENT);

    // A name that leads to a pipe or a device is written into as it is: /dev/stdout links
    // to /proc/self/fd/1, whose link text ("pipe:[…]") names no file to follow.
    struct stat especial;
    if (::stat(nombre.c_str(), &especial) == 0 && !S_ISREG(especial.st_mode) && !S_ISDIR(especial.st_mode)) {
        destino_ = nombre;
        if (::access(destino_.c_str(), W_OK) != 0) LanzarErrorAlCrear(nombre_, errno);
        sincronizar_ = false;
        AbrirDirecto(O_TRUNC);
        return;
    }

    const fs::path destino = SeguirEnlaces(nombre);
    destino_ = destino.string();

    struct stat st;
    const bool existe = ::stat(destino_.c_str(), &st) == 0;
    if (existe) {
        if (S_ISDIR(st.st_mode)) LanzarErrorAlCrear(nombre_, EISDIR);
        if (::access(destino_.c_str(), W_OK) != 0) LanzarErrorAlCrear(nombre_, errno);
        if (!S_ISREG(st.st_mode)) {
            // A device or a pipe cannot be replaced: write into it.
            sincronizar_ = false;
            AbrirDirecto(O_TRUNC);
            return;
        }
    } else if (errno != ENOENT) {
        LanzarErrorAlCrear(nombre_, errno);
    } else if (destino.filename().empty()) {
        LanzarErrorAlCrear(nombre_, EISDIR);  // "folder/": what open(O_CREAT) reports
    }
    const std::string base = destino.filename().string();
    if (base.size() > NAME_MAX) LanzarErrorAlCrear(nombre_, ENAMETOOLONG);

    const fs::path carpeta = destino.parent_path();
    for (int intento = 0; fd_ < 0; ++intento) {
        const std::string temporal = NombreTemporal(base);
        temporal_ = carpeta.empty() ? temporal : (carpeta / temporal).string();
        int error;
        {
            SenalesRetenidas retenidas;
            fd_ = ::open(temporal_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, existe ? 0600 : 0666);
            error = errno;
            if (fd_ >= 0) Registrar(temporal_.c_str());
        }
        if (fd_ >= 0) break;
        if (error == EEXIST && intento < 100) continue;
        temporal_.clear();
        if (existe && (error == EACCES || error == EPERM || error == EROFS)) {
            // No temporary can go beside the file, but the file itself may be written.
            AbrirDirecto(O_TRUNC);
            return;
        }
        LanzarErrorAlCrear(nombre_, error);
    }
    carpeta_ = carpeta.empty() ? "." : carpeta.string();
    if (existe) {
        // Owner and group first: changing them clears the set-id bits, which the mode
        // below never carries anyway. Only root may give a file away; others keep at
        // least the group when they belong to it, and otherwise the file becomes theirs.
        if (::fchown(fd_, st.st_uid, st.st_gid) != 0 && ::fchown(fd_, static_cast<uid_t>(-1), st.st_gid) != 0) {
        }
        if (::fchmod(fd_, st.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO)) != 0) {
            const int error = errno;
            Descartar();
            LanzarErrorAlCrear(nombre_, error);
        }
    }
}

// Opens the target itself for writing. O_NONBLOCK keeps a FIFO without a reader from
// blocking the open (it fails with ENXIO instead); writes then block as usual.
void ReemplazoFichero::AbrirDirecto(int banderas) {
    fd_ = ::open(destino_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | banderas);
    if (fd_ < 0) LanzarErrorAlCrear(nombre_, errno);
    const int actuales = ::fcntl(fd_, F_GETFL);
    if (actuales < 0 || ::fcntl(fd_, F_SETFL, actuales & ~O_NONBLOCK) != 0) {
        const int error = errno;
        Descartar();
        LanzarErrorAlCrear(nombre_, error);
    }
}

ReemplazoFichero::~ReemplazoFichero() { Descartar(); }

void ReemplazoFichero::Escribir(const char* datos, std::size_t n) {
    while (n > 0) {
        const ssize_t r = prueba::escribir(fd_, datos, n);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) Fallo();
        datos += r;
        n -= static_cast<std::size_t>(r);
    }
}

void ReemplazoFichero::Confirmar() {
    const bool directo = temporal_.empty();
    if (sincronizar_) {
        int r;
        do r = ::fsync(fd_);
        while (r != 0 && errno == EINTR);
        if (r != 0) Fallo();
    }
    // On Linux the descriptor is gone even when close reports EINTR; the data was
    // already synced, so only real errors count.
    const int r = ::close(fd_);
    fd_ = -1;
    if (r != 0 && errno != EINTR) Fallo();
    if (directo) return;
    if (::rename(temporal_.c_str(), destino_.c_str()) != 0) Fallo();
    Quitar(temporal_.c_str());
    temporal_.clear();
    // Make the rename itself durable; the new content is in place either way.
    const int dir = ::open(carpeta_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void ReemplazoFichero::Fallo() {
    Descartar();
    throw ErrorTavelorin(mensajes::kErrorEscritura);
}

void ReemplazoFichero::Descartar() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporal_.empty()) {
        ::unlink(temporal_.c_str());
        Quitar(temporal_.c_str());
        temporal_.clear();
    }
}

void LimpiarTemporalesAlTerminar() {
    for (const int senal : kSenales) {
        struct sigaction actual;
        if (::sigaction(senal, nullptr, &actual) != 0 || (actual.sa_flags & SA_SIGINFO) != 0 ||
            actual.sa_handler != SIG_DFL)
            continue;
        struct sigaction nueva {};
        nueva.sa_handler = &AlTerminarPorSenal;
        sigemptyset(&nueva.sa_mask);
        for (const int otra : kSenales) sigaddset(&nueva.sa_mask, otra);
        nueva.sa_flags = SA_RESTART;
        ::sigaction(senal, &nueva, nullptr);
    }
}

}  // namespace tavelorin
