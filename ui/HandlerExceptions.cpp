#include "HandlerExceptions.h"

namespace {

std::exception_ptr& keptException() {
    static std::exception_ptr kept;
    return kept;
}

} // namespace

void keepHandlerException(std::exception_ptr error) {
    if (!keptException()) {
        keptException() = std::move(error);
    }
}

std::exception_ptr takeHandlerException() {
    return std::exchange(keptException(), nullptr);
}
