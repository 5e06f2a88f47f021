#pragma once
// The subclass procedures of the list window (mouse input, row repaints) and
// of its host (WM_DRAWITEM, WM_SIZE, WM_CTLCOLORLISTBOX).

#include "grouplist/ListInstance.h"

namespace grouplist {

// Subclasses the list and its host for this instance. The instance is
// released when the list window is destroyed; the host's subclass goes when
// the host is destroyed.
[[nodiscard]] bool InstallWindowProcs(ListInstance& instance);

} // namespace grouplist
