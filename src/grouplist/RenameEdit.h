#pragma once
// Renaming in place: an edit over an item's name in its row. Enter hands the
// text to the host's handler, which accepts it (the edit goes) or refuses it
// (the edit stays, its text selected); Esc, the edit losing the keyboard, a
// press elsewhere, scrolling or the item losing its row closes it unreported.

#include "grouplist/ListInstance.h"

#include <string>

namespace grouplist {

// False when the item has no row, or while a handler decides on another
// rename. A rename already open is closed first.
bool BeginRename(ListInstance& instance, int handle, const std::wstring& text, RenameHandler onCommit);
// Closes the edit, reporting nothing. While the handler runs the edit
// stays until it returns.
void CancelRename(ListInstance& instance);
// Rows changed: the edit stays over its item's row, and closes when the
// item has lost its row or the row is out of sight.
void FollowRenamedItem(ListInstance& instance);

} // namespace grouplist
