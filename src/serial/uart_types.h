#pragma once
// Enumerations and event types of the serial port component.

#include <cstdint>
#include <functional>

namespace YVclCtrl {

class TComponent;

enum TUartParityBit { upb_None, upb_Odd, upb_Even };
enum TUartStopBits { usb_1bit, usb_2bits };
enum TFlowCtrlStyle { fcs_None, fcs_Hardware };
enum TFlowCtrlHwRxd { fchr_None, fchr_RTS, fchr_DTR };
enum TFlowCtrlHwTxd { fcht_None, fcht_CTS, fcht_DSR, fcht_DSR_CTS };
enum TSysUartWriteStyle { suws_WriteViaQueue, suws_WriteThrough };
enum TRxdFilter { rfs_None, rfs_ByDelimiterChar, rfs_ByBytesOfPacket };

// Events run on the main loop's thread. An unassigned (empty) event is not raised.
using TNotifyEvent = std::function<void(TComponent* Sender)>;
// Datas holds exactly Bytes bytes, with no terminating zero behind them.
using TRxdDatasEvent =
    std::function<void(TComponent* Sender, std::int32_t Bytes, const char* Datas)>;

// Port event flags, as the monitor thread reports them.
enum : std::uint32_t {
    EV_RXCHAR = 0x01,
    EV_TXEMPTY = 0x04,
    EV_CTS = 0x08,
    EV_DSR = 0x10,
    EV_RLSD = 0x20,
    EV_ERR = 0x80,
    EV_RING = 0x100,
};

// Line-error flags handed to FireUartErrEvent.
enum : std::uint32_t {
    CE_RXOVER = 0x01,
    CE_OVERRUN = 0x02,
    CE_RXPARITY = 0x04,
    CE_FRAME = 0x08,
    CE_BREAK = 0x10,
    CE_TXFULL = 0x100,
};

// Modem status bits of the accessors.
enum : std::uint32_t {
    MS_CTS_ON = 0x10,
    MS_DSR_ON = 0x20,
    MS_RING_ON = 0x40,
    MS_RLSD_ON = 0x80,
};

} // namespace YVclCtrl
