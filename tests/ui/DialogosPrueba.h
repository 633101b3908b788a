// Answers the program's dialogs in tests, and records what they were asked.
#pragma once

#include <QStringList>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "Dialogos.h"

namespace tavelorin {

class DialogosPrueba : public Dialogos {
public:
    struct Pregunta {
        QString titulo, pregunta, porDefecto;
    };

    std::deque<std::optional<QString>> respuestas;  // nullopt answers Cancel
    std::vector<Pregunta> preguntas;
    std::vector<std::pair<QString, QString>> errores;  // caption, message
    std::vector<std::pair<QString, QString>> informaciones;
    std::optional<QFont> fuenteElegida;
    std::vector<QFont> fuentesOfrecidas;
    int configuraciones = 0;
    QPrinter* impresoraConfigurada = nullptr;
    int sinRespuesta = 0;  // questions asked with no answer queued

    std::optional<QString> PedirTexto(QWidget*, const QString& titulo, const QString& pregunta,
                                      const QString& porDefecto) override {
        preguntas.push_back({titulo, pregunta, porDefecto});
        if (respuestas.empty()) {
            ++sinRespuesta;
            return std::nullopt;
        }
        auto r = respuestas.front();
        respuestas.pop_front();
        return r;
    }
    void MostrarError(QWidget*, const QString& titulo, const QString& mensaje) override {
        errores.emplace_back(titulo, mensaje);
    }
    void MostrarInformacion(QWidget*, const QString& titulo, const QString& mensaje) override {
        informaciones.emplace_back(titulo, mensaje);
    }
    std::optional<QFont> ElegirFuente(QWidget*, const QFont& actual) override {
        fuentesOfrecidas.push_back(actual);
        return fuenteElegida;
    }
    void ConfigurarImpresora(QWidget*, QPrinter& impresora) override {
        ++configuraciones;
        impresoraConfigurada = &impresora;
    }

    QStringList Mensajes() const {
        QStringList r;
        for (const auto& e : errores) r << e.second;
        return r;
    }
};

}  // namespace tavelorin
