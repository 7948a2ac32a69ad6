// PanelAccessible: the panel as screen readers and other accessibility clients see
// it, through IAccessible (WM_GETOBJECT). The panel draws its controls itself, so it
// names them itself: each is a child element with its name and key, its role (a push
// button, a toggle, a slider, a text), its state (unavailable, focused, checked) and
// its value (a slider's position, the time, the track's text), where it lies on the
// screen, and what pressing it does.
#pragma once

#include "PanelLayout.h"

#include <windows.h>
#include <oleacc.h>

#include <string>

namespace player_panel {

// What the panel tells about one of its elements.
struct ElementFacts {
    std::wstring name;  // what it is, as a person calls it
    std::wstring value; // its value, or empty
    std::wstring keys;  // its key, or empty
    long role = ROLE_SYSTEM_PUSHBUTTON;
    long state = 0;      // STATE_SYSTEM_*
    RECT area{};         // in the window's client coordinates
    std::wstring action; // what pressing it does, or empty for an element that is not pressed
};

// The panel's side: what its elements are now, and pressing one.
class AccessibleSource {
public:
    virtual ~AccessibleSource() = default;
    virtual HWND window() const = 0;
    virtual std::wstring panelName() const = 0;
    virtual int elementCount() const = 0;
    // Element 1 to elementCount().
    virtual ElementFacts element(int id) const = 0;
    virtual int focusedElement() const = 0; // 0: none
    virtual void press(int id) = 0;
};

// Makes the object for a window; the window answers WM_GETOBJECT with it
// (LresultFromObject) and calls disconnect() when it goes, after which the object
// answers clients that still hold it with RPC_E_DISCONNECTED.
class PanelAccessible;
PanelAccessible* makeAccessible(AccessibleSource& source);
LRESULT answerGetObject(PanelAccessible* accessible, WPARAM wParam, LPARAM lParam);
void disconnect(PanelAccessible* accessible);

} // namespace player_panel
