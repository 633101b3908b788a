// Text lines handed over one at a time, so a reader takes only the lines it needs and
// keeps only what it stores: a file read as a stream, or lines already in memory.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tavelorin {

class FuenteLineas {
public:
    // The next line into linea (replacing its content); false when there are no more.
    virtual bool Siguiente(std::string& linea) = 0;

protected:
    ~FuenteLineas() = default;
};

// The lines of a list, in order.
class LineasDeLista final : public FuenteLineas {
public:
    explicit LineasDeLista(const std::vector<std::string>& lineas) : lineas_(lineas) {}

    bool Siguiente(std::string& linea) override {
        if (siguiente_ == lineas_.size()) return false;
        linea = lineas_[siguiente_++];
        return true;
    }

private:
    const std::vector<std::string>& lineas_;
    std::size_t siguiente_ = 0;
};

}  // namespace tavelorin
