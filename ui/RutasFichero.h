// File names between the system and the window. The system's names are bytes, nearly
// always UTF-8; a name that is not (an old Latin-1 name, say) must still open and save
// under the very bytes it has, as it does on the command line. A QString holds the
// well-formed parts as Qt decodes file names (QFile::decodeName) and each other byte b
// as the lone surrogate U+DC80 + b, which no decoded text contains, so that every name
// goes back to its own bytes.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

namespace tavelorin {

// The name for a path's bytes.
QString NombreDeRuta(std::string_view ruta);

// The path's bytes for a name, as the system's calls take them.
std::string RutaDeNombre(const QString& nombre);

// The command-line arguments after the program's name, read by NombreDeRuta
// (QCoreApplication::arguments() would turn the bytes of a name that is not UTF-8 into
// U+FFFD, and the file would not be found).
QStringList ArgumentosDeLinea(int argc, char** argv);

}  // namespace tavelorin
