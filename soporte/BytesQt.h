// soporte/Bytes.h for the file names windows give (QString, taken as UTF-8 bytes).
#pragma once

#include <QString>

#include "soporte/Bytes.h"

namespace tavelorin {

inline std::string LeerBytes(const QString& nombre) { return LeerBytes(std::filesystem::path(nombre.toStdString())); }

inline void EscribirBytes(const QString& nombre, std::string_view bytes) {
    EscribirBytes(std::filesystem::path(nombre.toStdString()), bytes);
}

}  // namespace tavelorin
