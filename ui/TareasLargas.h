// Long work of the window (writing a huge report, printing hundreds of pages): a
// progress bar with "Cancelar" while it runs on a worker thread, and the question asked
// before a job that large starts. Behind an interface so that tests can answer and
// cancel.
#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>

class QWidget;

namespace tavelorin {

// What a piece of work tells the window, and how the window stops it.
struct AvanceTarea {
    std::atomic<uint64_t> hecho{0};
    std::atomic<uint64_t> total{0};
    std::atomic<bool> cancelar{false};
};

class TareasLargas {
public:
    virtual ~TareasLargas() = default;
    // Runs trabajo on a worker thread and returns when it has ended, the window kept
    // alive meanwhile; when it lasts longer than a moment, a progress bar shows hecho
    // of total with a "Cancelar" button, which sets cancelar (the work decides when to
    // stop). An error of the work is raised here, on the window's thread.
    virtual void Ejecutar(QWidget* padre, const QString& titulo, const QString& texto,
                          const std::function<void(AvanceTarea&)>& trabajo) = 0;
    // A question with "Sí" and "No"; true for "Sí".
    virtual bool Confirmar(QWidget* padre, const QString& titulo, const QString& pregunta) = 0;
};

class TareasLargasQt : public TareasLargas {
public:
    void Ejecutar(QWidget* padre, const QString& titulo, const QString& texto,
                  const std::function<void(AvanceTarea&)>& trabajo) override;
    bool Confirmar(QWidget* padre, const QString& titulo, const QString& pregunta) override;
};

// The one the window uses: the real one unless a test put another (null restores it).
TareasLargas& TareasLargasEnUso();
void EstablecerTareasLargas(TareasLargas* tareas);

}  // namespace tavelorin
