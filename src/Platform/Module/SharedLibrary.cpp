#include "Platform/Module/SharedLibrary.h"

#include <dlfcn.h>

namespace Platform {

bool SharedLibrary::Open(const char* name)
{
    // Its own symbols stay local, so that they cannot stand in for another library's.
    handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    return handle != nullptr;
}

void* SharedLibrary::Symbol(const char* name) const
{
    return handle ? dlsym(handle, name) : nullptr;
}

} // namespace Platform
