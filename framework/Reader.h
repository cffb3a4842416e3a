// Reading stored layouts: a component stream ("TPF0", root record with its
// properties and child records) applied to components through their
// published property tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "Classes.h"
#include "Types.h"

namespace fw {

// A damaged, truncated or unsuitable stream. The message names the record
// or property being read and the byte offset ("Error reading
// KsSkinLabel1.Caption at offset 123: ...").
class EReadError : public EFrameworkError {
public:
    EReadError(const std::string& message, std::size_t offset);
    std::size_t Offset() const { return m_offset; }

private:
    std::size_t m_offset;
};

// Reads a root component's stream onto an existing root object:
//  - the stream's root class name must equal root's class name;
//  - root takes the stored name (made unique among its owner's components);
//  - each child record creates a component of the stored class (looked up in
//    the class registry, or through root's published fields) owned by root,
//    names it, stores it in root's published field of that name, calls
//    SetParentComponent with the enclosing record's component and sets its
//    properties in stream order;
//  - dotted names (Font.Height) are set on the objects the getters return;
//  - collections are cleared and refilled; events are bound to root's
//    published methods; component references are resolved at the end;
//  - csLoading and csReading are set while reading; afterwards Loaded() runs
//    once on every read component (root first, then in stored order).
// On failure components created for the failing record are freed, the state
// flags are cleared and EReadError is thrown.
void ReadComponentStream(std::span<const std::uint8_t> data, TComponent& root);

// Creates the root component named by the stream's class (registered with a
// factory), owned by owner, and reads the stream onto it. With a null owner
// the caller owns the result.
TComponent* CreateComponentFromStream(std::span<const std::uint8_t> data, TComponent* owner);

// Class name of the stream's root record (after the signature).
std::string ReadStreamClassName(std::span<const std::uint8_t> data);

}  // namespace fw
