#pragma once
// TPcUart: the serial port component as a window places it; TCustomUart with nothing added.

#include "serial/custom_uart.h"

namespace ZebCtrl {

class TPcUart : public YVclCtrl::TCustomUart {
public:
    explicit TPcUart(YVclCtrl::TComponent* owner = nullptr) : TCustomUart(owner) {
        RunConstructor();
    }
    ~TPcUart() override { RunDestructor(); }

protected:
    void RunConstructor() {}
    void RunDestructor() {}
};

} // namespace ZebCtrl
