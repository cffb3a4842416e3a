// Enumerations shared by the engine's components: the controller, the
// title-bar elements and the skinned controls name them without needing one
// another's headers.
#pragma once

namespace ks {

// Published as About by every engine component; design-time only, never stored.
enum TKsAboutInfo { aiKsSkinComponent };
// What the controller does with the system's drag-full-windows setting while
// the title bar is dragged.
enum TDragFullWindowsKind { wkSystem, wkActive, wkDisable };
enum TGradientDirection { gdVertical, gdHorizontal };

}  // namespace ks
