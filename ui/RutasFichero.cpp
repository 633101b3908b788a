#include "ui/RutasFichero.h"

#include <QByteArray>
#include <QFile>

namespace tavelorin {

namespace {

constexpr char16_t kPrimerEscape = 0xDC80;  // stands for byte 0x80; 0xDCFF for 0xFF

// Bytes of the well-formed UTF-8 sequence at p (p < fin), or 0 when it is not one.
std::size_t LongitudUtf8(const unsigned char* p, const unsigned char* fin) {
    const unsigned b0 = p[0];
    if (b0 < 0x80) return 1;
    std::size_t longitud;
    unsigned minimo = 0x80, maximo = 0xBF;  // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        longitud = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        longitud = 3;
        if (b0 == 0xE0) minimo = 0xA0;       // no overlong forms
        else if (b0 == 0xED) maximo = 0x9F;  // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        longitud = 4;
        if (b0 == 0xF0) minimo = 0x90;
        else if (b0 == 0xF4) maximo = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(fin - p) < longitud) return 0;
    for (std::size_t i = 1; i < longitud; ++i) {
        if (p[i] < minimo || p[i] > maximo) return 0;
        minimo = 0x80;
        maximo = 0xBF;
    }
    return longitud;
}

}  // namespace

QString NombreDeRuta(std::string_view ruta) {
    QString nombre;
    const auto* p = reinterpret_cast<const unsigned char*>(ruta.data());
    const auto* const fin = p + ruta.size();
    const auto* tramo = p;  // start of the well-formed stretch not decoded yet
    auto decodificarTramo = [&](const unsigned char* hasta) {
        if (hasta > tramo)
            nombre += QFile::decodeName(QByteArray(reinterpret_cast<const char*>(tramo), hasta - tramo));
    };
    while (p < fin) {
        const std::size_t n = LongitudUtf8(p, fin);
        if (n > 0) {
            p += n;
            continue;
        }
        decodificarTramo(p);
        nombre += QChar(static_cast<char16_t>(kPrimerEscape + (*p - 0x80)));
        tramo = ++p;
    }
    decodificarTramo(fin);
    return nombre;
}

std::string RutaDeNombre(const QString& nombre) {
    std::string ruta;
    qsizetype tramo = 0;  // start of the stretch without escapes not encoded yet
    auto codificarTramo = [&](qsizetype hasta) {
        if (hasta > tramo) ruta += QFile::encodeName(nombre.mid(tramo, hasta - tramo)).toStdString();
    };
    for (qsizetype i = 0; i < nombre.size(); ++i) {
        const char16_t u = nombre[i].unicode();
        if (u < kPrimerEscape || u > kPrimerEscape + 0x7F) continue;
        codificarTramo(i);
        ruta.push_back(static_cast<char>(0x80 + (u - kPrimerEscape)));
        tramo = i + 1;
    }
    codificarTramo(nombre.size());
    return ruta;
}

QStringList ArgumentosDeLinea(int argc, char** argv) {
    QStringList argumentos;
    for (int i = 1; i < argc; ++i) argumentos << NombreDeRuta(argv[i]);
    return argumentos;
}

}  // namespace tavelorin
