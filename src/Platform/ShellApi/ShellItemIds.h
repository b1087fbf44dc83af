#pragma once
// Item identifier lists of our shell namespace. Each step is one byte naming its
// kind and the bytes of its name: the computer (no name), a volume (its mount
// point) or an entry of a folder (its file name, byte for byte, so names that are not
// UTF-8 survive). The desktop is the empty list. Lists live in malloc memory, freed
// with ILFree or the shell allocator.

#include "Platform/ShellApi/ShellTypes.h"

#include <optional>
#include <string>
#include <vector>

namespace Platform {

enum class ShellStepKind : std::uint8_t { Computer = 'C', Volume = 'V', Entry = 'F' };

struct ShellStep {
    ShellStepKind kind = ShellStepKind::Entry;
    std::string name;
};

// A new list of the steps; null when memory or a step's size runs out.
ITEMIDLIST* ILFromSteps(const std::vector<ShellStep>& steps);
// The steps of a list; nothing for a null list or one that is not ours.
std::optional<std::vector<ShellStep>> ILToSteps(const ITEMIDLIST* list);
// Bytes of the list, its terminator included; 0 for null.
UINT ILGetSize(const ITEMIDLIST* list);
// A new list: first followed by second.
ITEMIDLIST* ILCombine(const ITEMIDLIST* first, const ITEMIDLIST* second);
void ILFree(ITEMIDLIST* list);

} // namespace Platform
