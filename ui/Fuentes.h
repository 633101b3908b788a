// The program's fonts. "MS Sans Serif" has no match on Linux; Liberation Sans has the
// metrics closest to it, so the fixed layouts keep their texts whole.
#pragma once

#include <QFont>

namespace tavelorin {

inline QFont FuenteSansSerif(int pixeles) {
    static const bool sustituida = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
        return true;
    }();
    (void)sustituida;
    QFont fuente(QStringLiteral("MS Sans Serif"));
    fuente.setStyleHint(QFont::SansSerif);
    fuente.setPixelSize(pixeles);
    return fuente;
}

}  // namespace tavelorin
