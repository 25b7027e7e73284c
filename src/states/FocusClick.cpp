#include "states/FocusClick.h"

bool FocusClick::digs(bool button) {
    if (!button) {
        heldOver = false;
    } else if (!hadFocus || open) {
        heldOver = true;
    }
    return button && !heldOver;
}

void FocusClick::pumped(bool focused, bool keyEvent, unsigned ticks) {
    if (focused && !hadFocus) {
        open = !keyEvent;
        pumps = 0;
        focusTicks = ticks;
    } else if (open) {
        ++pumps;
        open = !keyEvent && (pumps < clickPumps || ticks - focusTicks < clickMs);
    }
    hadFocus = focused;
}
