#include "ui/BusquedaMejora.h"

#include <QThread>
#include <utility>

namespace tavelorin {

BusquedaMejora::BusquedaMejora(QObject* padre) : QObject(padre) {}

BusquedaMejora::~BusquedaMejora() { Detener(); }

void BusquedaMejora::Iniciar(const EstadoSecuenciador& estado, const Secuencia& persecucion, OpcionesMejora opciones) {
    Detener();
    // What the worker reads, its own: the problem without its stage table.
    auto problema = std::make_shared<EstadoSecuenciador>();
    problema->NProd = estado.NProd;
    problema->NComp = estado.NComp;
    problema->Q = estado.Q;
    problema->Datos = estado.Datos;
    auto cancelar = std::make_shared<std::atomic<bool>>(false);
    cancelar_ = cancelar;
    const uint64_t generacion = ++generacion_;
    enCurso_ = true;

    // Posted to this object: run on its thread, dropped if it is gone first, and by the
    // generation check if another search has started since.
    opciones.cancelar = cancelar.get();
    opciones.progreso = [this, generacion](const ProgresoMejora& p) {
        QMetaObject::invokeMethod(
            this,
            [this, generacion, p] {
                if (generacion == generacion_ && enCurso_) emit Progreso(p);
            },
            Qt::QueuedConnection);
    };
    hilo_.reset(QThread::create([this, generacion, problema, cancelar, persecucion, opciones] {
        std::exception_ptr error;
        Mejora resultado;
        try {
            resultado = MejorarSecuencia(*problema, persecucion, opciones);
        } catch (...) {
            error = std::current_exception();
        }
        QMetaObject::invokeMethod(
            this,
            [this, generacion, resultado = std::move(resultado), error] {
                if (generacion != generacion_ || !enCurso_) return;
                Unir();
                if (error)
                    emit Fallida(error);
                else
                    emit Terminada(resultado);
            },
            Qt::QueuedConnection);
    }));
    hilo_->setObjectName(QStringLiteral("BusquedaMejora"));
    hilo_->start(QThread::LowPriority);
}

void BusquedaMejora::Cancelar() {
    if (enCurso_ && cancelar_) cancelar_->store(true);
}

void BusquedaMejora::Detener() {
    Cancelar();
    Unir();
}

// The worker has posted its last event, or will very soon: waits for its thread.
void BusquedaMejora::Unir() {
    enCurso_ = false;
    if (hilo_) {
        hilo_->wait();
        hilo_.reset();
    }
    cancelar_.reset();
}

}  // namespace tavelorin
