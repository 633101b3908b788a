#include "ui/TareasLargas.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <exception>
#include <memory>

#include "ui/Dialogos.h"

namespace tavelorin {

namespace {

TareasLargas* enUso = nullptr;

// The bar appears once the work has taken this long.
constexpr int kMomento = 400;  // ms

}  // namespace

TareasLargas& TareasLargasEnUso() {
    static TareasLargasQt real;
    return enUso != nullptr ? *enUso : real;
}

void EstablecerTareasLargas(TareasLargas* tareas) { enUso = tareas; }

void TareasLargasQt::Ejecutar(QWidget* padre, const QString& titulo, const QString& texto,
                              const std::function<void(AvanceTarea&)>& trabajo) {
    AvanceTarea avance;
    std::exception_ptr error;
    QEventLoop bucle;
    QThread* hilo = QThread::create([&] {
        try {
            trabajo(avance);
        } catch (...) {
            error = std::current_exception();
        }
    });
    QObject::connect(hilo, &QThread::finished, &bucle, &QEventLoop::quit);

    QProgressDialog dialogo(texto, QStringLiteral("Cancelar"), 0, 1000, padre);
    dialogo.setWindowTitle(titulo);
    dialogo.setWindowModality(Qt::WindowModal);
    dialogo.setMinimumDuration(kMomento);
    dialogo.setAutoClose(false);
    dialogo.setAutoReset(false);
    dialogo.setValue(0);
    QObject::connect(&dialogo, &QProgressDialog::canceled, [&avance, &dialogo] {
        avance.cancelar = true;
        dialogo.setLabelText(QStringLiteral("Cancelando..."));
    });
    QTimer reloj;
    QObject::connect(&reloj, &QTimer::timeout, [&] {
        const uint64_t total = avance.total.load();
        const uint64_t hecho = avance.hecho.load();
        if (total > 0 && !avance.cancelar) dialogo.setValue(static_cast<int>(std::min<uint64_t>(1000, hecho * 1000 / total)));
    });
    reloj.start(50);
    hilo->start();
    // The window goes on painting; input reaches only the bar (it is modal to the window).
    if (!hilo->isFinished()) bucle.exec();
    hilo->wait();
    delete hilo;
    reloj.stop();
    dialogo.reset();
    if (error) std::rethrow_exception(error);
}

bool TareasLargasQt::Confirmar(QWidget* padre, const QString& titulo, const QString& pregunta) {
    return PreguntarSiNo(padre, titulo, pregunta);
}

}  // namespace tavelorin
