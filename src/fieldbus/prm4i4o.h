#pragma once
// TPrm4i4o: the 4-input/4-output module (class id 0x80). Keeps the output byte it last set
// and the input byte the module last reported; writing the outputs sends them at once.
//
// Reset: the request goes out with the stored outputs cleared; outputs set again while the
// reset is under way are re-sent when the module reports the reset done. Main loop's thread.

#include "fieldbus/kbnet_node.h"

#include <cstdint>

namespace ZebCtrl {

class TPrm4i4o : public TKBNet_Node {
public:
    // Class id 0x80, segment 0x80, node 0.
    explicit TPrm4i4o(YVclCtrl::TComponent* AOwner);
    TPrm4i4o(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
             std::uint8_t AKbnNodeId);
    // Copies also the module bytes when the template is a module.
    TPrm4i4o(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
             std::uint8_t AKbnNodeId, const TKBNet* ATemplate);
    TPrm4i4o(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
             std::uint8_t AKbnNodeId, TKBNet_Topologic* ATopologic);
    TPrm4i4o(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
             std::uint8_t AKbnNodeId, const TKBNet* ATemplate, TKBNet_Topologic* ATopologic);

    std::uint8_t pr_Yout() const { return m_yout; }
    // Stores the byte and sends {seg, node, 2, 0x84, Yout} (nothing without BindTo).
    void pw_Yout(std::uint8_t AYout);

    // Bits 0..3; any other index reads false and writes nothing.
    bool pr_BitOfY(int AIndex) const;
    void pw_BitOfY(int AIndex, bool AValue);
    bool pr_BitOfX(int AIndex) const;
    bool pr_Old_BitOfX(int AIndex) const;
    std::uint8_t pr_Xin() const { return m_xin; }
    std::uint8_t pr_Old_Xin() const { return m_oldXin; }

    // Input reports (0x81) update the inputs and raise OnInputChanged; the rest as TKBNet.
    void FilteringReceivedKbnPacket(const TKbnRxdPacket& ARxdPacket) override;

    TKbnNodeEvent OnInputChanged;

protected:
    void BeforeRunRequestToReset() override;
    void BeforeFireOnSuccessfulResetEvent() override;

private:
    void copyModuleFields(const TKBNet* ATemplate);

    std::uint8_t m_yout = 0;
    std::uint8_t m_xin = 0;
    std::uint8_t m_oldXin = 0;
};

} // namespace ZebCtrl
