#pragma once
// Text from the players' files printed on a terminal: a name holding escape sequences could retitle or clear the
// terminal, and a CR or LF could forge rows of a listing.
#include <string>

namespace hubbix {

// The text with every control character written out as \xHH (C0 controls, DEL, and the C1 controls as UTF-8
// encodes them); everything else, UTF-8 letters included, is left as it is.
std::string TerminalSafe(const std::string& text);

}  // namespace hubbix
