// The data module of the built-in skin image store: one image list,
// "KsSkinImageListMain", read at start-up from the component stream that the
// program carries (an RT_RCDATA resource "TKSSKINRESDM" on Windows, the same
// bytes linked into the program elsewhere).
#pragma once

#include "framework/Classes.h"
#include "skin/resources/uKsSkinImageList.h"

#include <cstdint>
#include <span>

namespace ks {

class TKsSkinResDM : public fw::TComponent {
    FW_CLASS(TKsSkinResDM)

    // Builds the whole store from the built-in stream. A missing or damaged
    // stream throws the component reader's error.
    explicit TKsSkinResDM(fw::TComponent* owner);
    // Builds the store from the given stream (tests, fuzzing).
    TKsSkinResDM(fw::TComponent* owner, std::span<const std::uint8_t> stream);
    ~TKsSkinResDM() override;

    // Design-time values kept by the stream.
    bool OldCreateOrder() const { return m_oldCreateOrder; }
    void SetOldCreateOrder(bool value) { m_oldCreateOrder = value; }
    int Height() const { return m_height; }
    void SetHeight(int value) { m_height = value; }
    int Width() const { return m_width; }
    void SetWidth(int value) { m_width = value; }

    // Published field: set by the reader to the image list of that name.
    TKsSkinImageList* KsSkinImageListMain = nullptr;

private:
    bool m_oldCreateOrder = false;
    int m_height = 0;
    int m_width = 0;
};

// The component stream of the built-in store as the program carries it.
// Throws fw::EFrameworkError when the program has none.
std::span<const std::uint8_t> BuiltInSkinStore();

// The single data module: created by InitializeKsSkinResDM at start-up (or by
// the first call here), freed by FinalizeKsSkinResDM or at program end.
TKsSkinResDM* KsSkinResDM();
// Start-up: creates the data module now, so that a damaged store fails at
// once rather than at the first image request. Does nothing the second time.
void InitializeKsSkinResDM();
// Frees the resource manager (which borrows the built-in list), then the
// data module with every built-in bitmap.
void FinalizeKsSkinResDM();

}  // namespace ks
