// A file written by Qt's writers (PDF, SVG, images) and replaced atomically: they stream
// into this device, which writes through files/ReemplazoAtomico, so a failure leaves an
// existing file as it was.
#pragma once

#include <QIODevice>
#include <QString>
#include <exception>

#include "files/ReemplazoAtomico.h"

namespace tavelorin {

class SalidaFichero : public QIODevice {
public:
    // Opens the device for writing; throws ErrorTavelorin 'Cannot create file "…". …'
    // when the file cannot be replaced.
    explicit SalidaFichero(const QString& nombre);

    // Puts the file in place. Throws the first error of the writes (the writers only see
    // a failed write), or "Stream write error".
    void Confirmar();

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* datos, qint64 n) override;

private:
    ReemplazoFichero reemplazo_;
    std::exception_ptr error_;
};

}  // namespace tavelorin
