// Reads arbitrary bytes as the file of remembered COM numbers. What is accepted must write
// back to a file that reads the same, and numbering adapters with it must give each found
// port a different number in 1..16.

#include "serial/com_port_discovery.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

using namespace Lift::Serial;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    auto memory = ParseComPortMemory(text, error);
    if (!memory) {
        if (error.empty()) // a refusal always says why
            std::abort();
        return 0;
    }
    if (ParseComPortMemory(FormatComPortMemory(*memory), error) != memory)
        std::abort();

    std::vector<FoundPort> ports{{FoundPort::Kind::BuiltIn, "ttyS0", "ttyS0", "", "", 1}};
    for (const auto& entry : *memory) {
        if (ports.size() > 8)
            break;
        ports.push_back({FoundPort::Kind::Adapter, entry.first, "", "", "", 0});
    }
    ports.push_back({FoundPort::Kind::Adapter, "new", "", "", "", 0});
    AssignComPortNumbers(ports, *memory, {2});
    std::set<unsigned> numbers;
    for (const FoundPort& p : ports) {
        if (p.number > kHighestComPort || (p.number != 0 && !numbers.insert(p.number).second))
            std::abort();
    }
    return 0;
}
