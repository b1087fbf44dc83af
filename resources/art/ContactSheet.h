#pragma once
// A review sheet of skin images: each at its own size and enlarged, on the light
// and dark backgrounds the skin is drawn over.

#include <string>
#include <vector>

class ContactSheet {
public:
    void Add(const std::string& name, const std::string& pngPath);
    bool Save(const std::string& path) const;

private:
    struct Entry {
        std::string name;
        std::string path;
    };
    std::vector<Entry> entries;
};
