// The lone taps of the right-hand modifiers: a tap of right Shift toggles English mode, a tap of
// right Ctrl switches the scheme. Every key event goes through here before any step of the key
// routing may return: a key that the engine eats or passes on at once still spoils the tap of a
// modifier held over it. Only the first press of a modifier starts a tap; its auto-repeats
// neither start nor renew one.
#pragma once

#include "engine/key_event.h"

namespace tovi {

class RightShiftTap {
public:
    // Follows one key event; true when it is the release of Shift that ends a lone tap of the
    // right Shift. `rightShiftDown`: the right Shift key is down as the system reports it now.
    bool follow(const KeyEvent& key, bool rightShiftDown);

private:
    bool started_ = false;
};

// Follows one key event into `combined`: the first press of Ctrl clears it, any other key while
// Ctrl is down sets it. A right-Ctrl release with `combined` set is no tap.
void followCtrlCombination(const KeyEvent& key, bool& combined);

} // namespace tovi
