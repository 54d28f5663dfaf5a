#include "tools/host/calllog.h"

#include <algorithm>

namespace Zorv {

void GCallLog::add(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                   float opt)
{
    std::lock_guard<std::mutex> guard(lock);
    entries.push_back({effect, opcode, index, value, ptr, opt, std::this_thread::get_id()});
}

std::vector<GHostCall> GCallLog::calls() const
{
    std::lock_guard<std::mutex> guard(lock);
    return entries;
}

int GCallLog::count(int32_t opcode) const
{
    std::lock_guard<std::mutex> guard(lock);
    return int(std::count_if(entries.begin(), entries.end(),
                             [opcode](const GHostCall& c) { return c.opcode == opcode; }));
}

void GCallLog::clear()
{
    std::lock_guard<std::mutex> guard(lock);
    entries.clear();
}

}  // namespace Zorv
