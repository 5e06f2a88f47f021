#pragma once
// Typing in the main window finds shortcuts: characters (an input method's
// too) build the list's filter, shown over the title; Backspace takes the
// last one back and Esc ends the filter, giving the groups back as they
// were. Keys are taken only while the window can be seen: a hidden or docked
// window lets nothing typed through to its list.

#include "app/FilterTitle.h"
#include "grouplist/GroupedListControl.h"

#include <functional>

namespace app {

class TypeToFind {
public:
    // canType: whether the window is where the user sees what they type.
    TypeToFind(grouplist::GroupedListControl& list, FilterTitle& title, std::function<bool()> canType)
        : m_list(list), m_title(title), m_canType(std::move(canType))
    {
    }

    // The list's key handler: true for the keys it takes.
    [[nodiscard]] bool OnKey(UINT message, WPARAM code);
    // Back to the whole list, as Esc does.
    void Clear() { SetFilter({}); }

private:
    [[nodiscard]] bool OnCharacter(wchar_t c);
    void SetFilter(const std::wstring& text);

    grouplist::GroupedListControl& m_list;
    FilterTitle& m_title;
    std::function<bool()> m_canType;
    wchar_t m_highSurrogate = 0; // the first half of a character beyond the BMP, until its second comes
};

} // namespace app
