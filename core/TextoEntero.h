// Integer text rule used for every integer the program reads from text, and the
// reading of tab-separated lines field by field.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavelorin {

// Converts by the integer rule; nullopt when the text does not follow it.
std::optional<int32_t> IntentarTextoAEntero(std::string_view texto);

// Converts by the integer rule or throws ErrorTavelorin("''texto'' is not a valid integer value").
int32_t TextoAEntero(std::string_view texto);

// The fields of a tab-separated line, read in order, each as it stands in the line.
// Past the line's last field every field is the empty text.
class LectorCampos {
public:
    explicit LectorCampos(std::string_view linea) : resto_(linea) {}

    std::string_view Siguiente() {
        if (agotada_) return {};
        const size_t tab = resto_.find('\t');
        if (tab == std::string_view::npos) {
            agotada_ = true;
            return resto_;
        }
        const std::string_view campo = resto_.substr(0, tab);
        resto_.remove_prefix(tab + 1);
        return campo;
    }

    // True once the line's last field has been read.
    bool Agotada() const { return agotada_; }

private:
    std::string_view resto_;
    bool agotada_ = false;
};

}  // namespace tavelorin
