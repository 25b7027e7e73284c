#pragma once

// How the left button and the game's focus meet, pump by pump, apart from SDL so tests
// can drive it. A press without the focus digs nothing until released; so does the
// click that brought the focus back. A window manager passes that click on with the
// focus, in the same pump or a few later: so a press counts as that click until both
// clickPumps more pumps and clickMs have passed since the focus came back (pumps for
// slow frames, time for fast ones: nobody clicking a window back means to dig that
// soon), unless a key goes down or up from the focus's own pump on (the focus came back
// by the keyboard, Alt held through Alt-Tab say, or the game is played on).
class FocusClick {
  public:
    // The button as of the last pump: whether it asks for a dig.
    bool digs(bool button);
    // After each pump: whether the game has the focus now, whether a key event came in
    // the pump, and SDL's milliseconds.
    void pumped(bool focused, bool keyEvent, unsigned ticks);

    static constexpr int clickPumps = 3;
    static constexpr unsigned clickMs = 500;

    bool hadFocus = true;  // as of the last pump
    bool heldOver = false; // the button held now digs nothing until released
    bool open = false;     // a press now is the focusing click
    int pumps = 0;         // since the focus came back
    unsigned focusTicks = 0;
};
