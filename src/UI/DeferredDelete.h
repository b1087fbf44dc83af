#pragma once
// Deletes objects that may go while one of their own calls runs: an object deleted
// inside a Call waits until the outermost Call has ended, and is deleted at once
// otherwise. Whatever still waits goes with the DeferredDelete itself.

#include <memory>
#include <utility>
#include <vector>

template <class Object> class DeferredDelete {
public:
    // Held for as long as a call into one of the objects runs.
    class [[nodiscard]] Call {
    public:
        explicit Call(DeferredDelete& owner) : owner(owner) { ++owner.depth; }
        ~Call()
        {
            if (--owner.depth == 0)
                std::exchange(owner.waiting, {});
        }
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        DeferredDelete& owner;
    };

    Call Enter() { return Call(*this); }

    // Outside every call the object goes as this returns.
    void Delete(std::unique_ptr<Object> object)
    {
        if (depth > 0)
            waiting.push_back(std::move(object));
    }

private:
    int depth = 0;
    std::vector<std::unique_ptr<Object>> waiting;
};
