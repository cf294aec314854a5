#include "serial/com_port_discovery.h"

#include <charconv>

namespace Lift::Serial {

bool AssignComPortNumbers(std::vector<FoundPort>& ports, ComPortMemory& memory,
                          const std::set<unsigned>& overridden) {
    std::set<unsigned> taken;
    for (const FoundPort& p : ports) {
        if (p.kind == FoundPort::Kind::BuiltIn)
            taken.insert(p.number);
    }
    // Adapters keep what they had, unless a built-in UART of this machine sits there (a home
    // folder shared between machines) or an adapter before it in name order claims the same.
    std::vector<FoundPort*> waiting;
    for (FoundPort& p : ports) {
        if (p.kind != FoundPort::Kind::Adapter)
            continue;
        const auto it = memory.find(p.name);
        if (it != memory.end() && taken.insert(it->second).second)
            p.number = it->second;
        else
            waiting.push_back(&p);
    }
    bool changed = false;
    for (FoundPort* p : waiting) {
        std::set<unsigned> used = taken;
        used.insert(overridden.begin(), overridden.end());
        for (const auto& [name, number] : memory)
            used.insert(number);
        unsigned number = 0;
        for (unsigned n = 1; n <= kHighestComPort && number == 0; ++n) {
            if (!used.count(n))
                number = n;
        }
        if (number == 0) {
            // Every number is remembered: the lowest one whose adapter is away is reused.
            for (const auto& [name, n] : memory) {
                if (!taken.count(n) && !overridden.count(n) && (number == 0 || n < number))
                    number = n;
            }
        }
        if (number == 0)
            continue;
        std::erase_if(memory, [&](const auto& entry) { return entry.second == number; });
        memory[p->name] = number;
        p->number = number;
        taken.insert(number);
        changed = true;
    }
    return changed;
}

std::optional<ComPortMemory> ParseComPortMemory(std::string_view text, std::string& error) {
    ComPortMemory memory;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        unsigned number = 0;
        const auto [rest, ec] = std::from_chars(line.data(), line.data() + line.size(), number);
        std::string_view name = line.substr(static_cast<std::size_t>(rest - line.data()));
        const bool separated = !name.empty() && (name.front() == ' ' || name.front() == '\t');
        while (!name.empty() && (name.front() == ' ' || name.front() == '\t'))
            name.remove_prefix(1);
        if (ec != std::errc() || number < 1 || number > kHighestComPort || !separated ||
            name.empty()) {
            error = "line " + std::to_string(lineNumber) +
                    " is not a COM number 1..16 followed by an adapter name";
            return std::nullopt;
        }
        if (!memory.emplace(std::string(name), number).second) {
            error = "line " + std::to_string(lineNumber) + " names an adapter a second time";
            return std::nullopt;
        }
    }
    return memory;
}

std::string FormatComPortMemory(const ComPortMemory& memory) {
    std::string text = "# COM numbers of serial adapters, kept by lift-lcd and lift-lcd-editor.\n"
                       "# One adapter a line: NUMBER NAME (its /dev/serial/by-id name).\n";
    for (unsigned n = 1; n <= kHighestComPort; ++n) {
        for (const auto& [name, number] : memory) {
            if (number == n)
                text += std::to_string(n) + ' ' + name + '\n';
        }
    }
    return text;
}

} // namespace Lift::Serial
