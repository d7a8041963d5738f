#include "intro/scroll_text.h"

// One line of printable characters that both scrollers carry. The 40 blanks
// in front and the 29 after "Wrap!" leave a gap of 69 blanks before the
// message comes round again; the scrollers' timing rests on this length.
const char long_scroll_text[] =
    "                                        "
    "The ORX crew proudly presents BLUMOT, a little intro in plain text, coded in the "
    "autumn of 2026 and released on the seventh of December 2026. Every picture you see is "
    "printed with nothing but the standard output functions: no graphics library, no cursor "
    "control, just characters and line ends, one full screen after the other, and the "
    "terminal's own scrolling pushes the old frame away. If the picture flickers on your "
    "screen, choose a smaller font, or fewer columns and lines, or a lower frame rate; a "
    "fast terminal with a small window gives the smoothest ride. How it works: each frame "
    "starts as a blank grid of cells, two bouncing lines fly across it with a fan of echoes "
    "behind them, this scroller bends the text with two waves, a flat one runs along the "
    "bottom line, and five little logos circle the centre on a looping path. Then the whole "
    "grid goes out in one piece, and everything moves one step on. The music is a tracker "
    "module composed by our own code, note by note, with a bass, a lead, chords and drums "
    "synthesised from plain waveforms and noise, and played through libmikmod. The silent "
    "version keeps quiet for those who work in open offices. To end the intro, press Ctrl-c "
    "at any time. Thanks go to the authors of the free tools behind this intro: the "
    "compiler, the build system, the module player and the humble shell. Keep your "
    "terminals warm and see you in the next one. Greetings fly out to everyone who still "
    "loves the text console, to all sceners old and new, to the makers of trackers and "
    "terminals, and to you for watching this far."
    "      Wrap!                             ";
