#include "Platform/ShellApi/ShellItemIds.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace Platform {
namespace {

constexpr std::size_t kHeader = sizeof(USHORT) + 1; // cb and the kind byte

USHORT StepSize(const std::uint8_t* step)
{
    USHORT size;
    std::memcpy(&size, step, sizeof size);
    return size;
}

bool IsKind(std::uint8_t value)
{
    return value == static_cast<std::uint8_t>(ShellStepKind::Computer) ||
           value == static_cast<std::uint8_t>(ShellStepKind::Volume) ||
           value == static_cast<std::uint8_t>(ShellStepKind::Entry);
}

} // namespace

ITEMIDLIST* ILFromSteps(const std::vector<ShellStep>& steps)
{
    std::size_t total = sizeof(USHORT);
    for (const ShellStep& step : steps) {
        if (kHeader + step.name.size() > std::numeric_limits<USHORT>::max())
            return nullptr;
        total += kHeader + step.name.size();
    }
    auto* bytes = static_cast<std::uint8_t*>(std::malloc(total));
    if (!bytes)
        return nullptr;
    std::uint8_t* cursor = bytes;
    for (const ShellStep& step : steps) {
        const auto size = static_cast<USHORT>(kHeader + step.name.size());
        std::memcpy(cursor, &size, sizeof size);
        cursor[sizeof size] = static_cast<std::uint8_t>(step.kind);
        std::memcpy(cursor + kHeader, step.name.data(), step.name.size());
        cursor += size;
    }
    std::memset(cursor, 0, sizeof(USHORT));
    return reinterpret_cast<ITEMIDLIST*>(bytes);
}

std::optional<std::vector<ShellStep>> ILToSteps(const ITEMIDLIST* list)
{
    if (!list)
        return std::nullopt;
    std::vector<ShellStep> steps;
    for (auto* step = reinterpret_cast<const std::uint8_t*>(list); StepSize(step) != 0; step += StepSize(step)) {
        const USHORT size = StepSize(step);
        if (size < kHeader || !IsKind(step[sizeof(USHORT)]))
            return std::nullopt;
        steps.push_back(ShellStep{static_cast<ShellStepKind>(step[sizeof(USHORT)]),
                                  std::string(reinterpret_cast<const char*>(step + kHeader), size - kHeader)});
    }
    return steps;
}

UINT ILGetSize(const ITEMIDLIST* list)
{
    if (!list)
        return 0;
    auto* step = reinterpret_cast<const std::uint8_t*>(list);
    while (StepSize(step) != 0)
        step += StepSize(step);
    return static_cast<UINT>(step - reinterpret_cast<const std::uint8_t*>(list)) + sizeof(USHORT);
}

ITEMIDLIST* ILCombine(const ITEMIDLIST* first, const ITEMIDLIST* second)
{
    const UINT firstSize = first ? ILGetSize(first) - sizeof(USHORT) : 0;
    const UINT secondSize = second ? ILGetSize(second) : sizeof(USHORT);
    auto* bytes = static_cast<std::uint8_t*>(std::malloc(firstSize + secondSize));
    if (!bytes)
        return nullptr;
    if (firstSize)
        std::memcpy(bytes, first, firstSize);
    if (second)
        std::memcpy(bytes + firstSize, second, secondSize);
    else
        std::memset(bytes + firstSize, 0, sizeof(USHORT));
    return reinterpret_cast<ITEMIDLIST*>(bytes);
}

void ILFree(ITEMIDLIST* list)
{
    std::free(list);
}

} // namespace Platform
