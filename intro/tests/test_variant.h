// A variant for driving the shared intro code in tests: no music, no pause.
#pragma once

#include "intro/variant.h"

inline constexpr char test_banner_colour[] = "\033[34m";
inline constexpr char test_end_hint[] = "\033[35mTo end intro press Ctrl-c.\033[0m\n\n";
inline constexpr char test_logo[] = "/~~~\\\n|ORX|\n\\___/\n";

inline const IntroVariant test_variant = {
    .banner_colour = test_banner_colour,
    .end_hint = test_end_hint,
    .logo = test_logo,
    .start_music = nullptr,
    .pause_after_present = nullptr,
    .pause_after_advance = nullptr,
};
