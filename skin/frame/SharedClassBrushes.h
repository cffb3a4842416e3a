// The background brush of a window class that several skinned forms share.
// Each form sets a brush of its own as its class's background and deletes that
// brush when it goes; this book says what the class must show instead, so that
// a class never keeps a brush that was deleted: the brush of another form still
// using the class, or the background the class had before any form set one.
// Handles are plain numbers here, so the bookkeeping is tested natively.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace ks {

class TSharedClassBrushes {
public:
    using ClassKey = std::uintptr_t;  // the window class (its atom)
    using Brush = std::uintptr_t;     // a brush handle; 0 is none

    // owner made brush its class's background; previous is what the class
    // showed until then.
    void Set(ClassKey cls, const void* owner, Brush brush, Brush previous);
    // owner is going and its brush with it; current is what the class shows
    // now. The brush the class must show instead, or nothing when it may keep
    // what it shows.
    std::optional<Brush> Release(ClassKey cls, const void* owner, Brush current);

private:
    struct Entry {
        const void* Owner;
        Brush Handle;
    };
    struct ClassRecord {
        Brush Original = 0;
        std::vector<Entry> Entries;  // oldest first
    };
    std::map<ClassKey, ClassRecord> m_classes;
};

// The process's book, created on first use.
TSharedClassBrushes& SharedClassBrushes();

}  // namespace ks
