// Integer text rule used for every integer the program reads from text, and
// field extraction from tab-separated lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavelorin {

// Converts by the integer rule; nullopt when the text does not follow it.
std::optional<int32_t> IntentarTextoAEntero(std::string_view texto);

// Converts by the integer rule or throws ErrorTavelorin("''texto'' is not a valid integer value").
int32_t TextoAEntero(std::string_view texto);

// Field k (from 1) of a tab-separated line. A field past the end is the empty text.
std::string_view CampoVista(std::string_view linea, long long k);
std::string Campo(std::string_view linea, long long k);

// Plain decimal text of an integer ("-" before a negative value, nothing else).
std::string EnteroATexto(long long valor);

}  // namespace tavelorin
