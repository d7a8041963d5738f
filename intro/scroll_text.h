// The long message that the two scrollers carry: 1635 characters on one
// line.
#pragma once

extern const char long_scroll_text[];
