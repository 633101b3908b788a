// The better-sequence search (MejorarSecuencia) run on a worker thread for a window.
//
// The worker owns copies of what it reads (the problem's counts and data, goal chasing's
// sequence); its progress and its result are handed back to the thread this object
// lives on, as signals. Cancelar asks the search to stop: Terminada follows soon with
// the best sequence found so far. One search at a time: starting another cancels and
// waits for the one under way, whose progress and result are then never delivered.
#pragma once

#include <QMetaType>
#include <QObject>
#include <atomic>
#include <exception>
#include <memory>

#include "core/Calidad.h"
#include "core/Mejora.h"
#include "core/Problema.h"

class QThread;

Q_DECLARE_METATYPE(tavelorin::ProgresoMejora)
Q_DECLARE_METATYPE(tavelorin::Mejora)
Q_DECLARE_METATYPE(std::exception_ptr)

namespace tavelorin {

class BusquedaMejora : public QObject {
    Q_OBJECT
public:
    explicit BusquedaMejora(QObject* padre = nullptr);
    // Cancels a search under way and waits for its thread.
    ~BusquedaMejora() override;

    // Starts the search for the problem of estado (its stage table is not copied) from
    // persecucion; the options' cancel flag and progress callback are this object's.
    void Iniciar(const EstadoSecuenciador& estado, const Secuencia& persecucion, OpcionesMejora opciones);
    // Asks the search under way to stop; nothing when there is none.
    void Cancelar();
    // Cancels and waits for a search under way, delivering nothing of it.
    void Detener();
    // From Iniciar until Terminada or Fallida is emitted (or Detener).
    bool EnCurso() const { return enCurso_; }

signals:
    // On this object's thread, in the order the search reports them (at most one each
    // tenth of a second within a pass).
    void Progreso(const tavelorin::ProgresoMejora& progreso);
    // The search ended: by itself, by its time limit, or cancelled (mejora.cancelada).
    void Terminada(const tavelorin::Mejora& mejora);
    // The search raised an error (it never starts for a problem ComprobarMejora refuses).
    void Fallida(std::exception_ptr error);

private:
    void Unir();

    std::unique_ptr<QThread> hilo_;
    std::shared_ptr<std::atomic<bool>> cancelar_;
    uint64_t generacion_ = 0;  // of the search under way; what older searches post is dropped
    bool enCurso_ = false;
};

}  // namespace tavelorin
