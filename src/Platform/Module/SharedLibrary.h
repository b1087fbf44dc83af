#pragma once
// A shared library loaded by name when first needed, for the rest of the process:
// the libraries loaded this way keep global state and are never unloaded.

namespace Platform {

class SharedLibrary {
public:
    // False when the library cannot be loaded.
    bool Open(const char* name);

    // Points function at the library's export of that name; false when it has none.
    template <typename Function> bool Bind(const char* name, Function& function) const
    {
        function = reinterpret_cast<Function>(Symbol(name));
        return function != nullptr;
    }

private:
    void* Symbol(const char* name) const;

    void* handle = nullptr;
};

} // namespace Platform
