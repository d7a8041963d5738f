// "blumot": the intro's tune, in A minor at 125 beats per minute.
//
// How to read it: every pattern is four bars; every bar of a voice is one
// line of 16 sixteenth-note steps in columns five characters wide, beats
// on steps 1, 5, 9 and 13 (the rulers mark them). Notes are tracker names; "."
// holds and "^" stops the sound. After a note, "!" accents it, "," plays
// it soft, "*" glides into it, "'" places it late and "_" starts it dark.
// On held notes "~" is vibrato, "w" tremolo, "/" and "v" slide up and down,
// "<" and ">" grow and fade, "x" cuts. The bass sounds an octave below the
// name read on the lead (its cycle is twice as long); the drums are K kick,
// S snare, s ghost snare, d late snare, r and R rolls, h hi-hat, H accented
// hi-hat, o open hi-hat. See notation.h for the whole notation.
//
// The form: intro (the chords alone, then the groove), theme (the hook,
// E-D-C-D in a 3+3+2 rhythm, and its answer), variation (the hook's rhythm
// turned downwards over new chords), breakdown (the hook softly, with an
// echo on the chord channel and only hi-hats), build (swelling lead,
// opening bass, snare rolls), return (the theme reharmonised and
// ornamented) and ending (the hook twice more and a last A that fades to
// the song's end). The chord voice sounds from the first row on, so the
// music never falls silent while it starts.
#include "tools/modcompose/src/score.h"

namespace {

// ---------------------------------------------------------------- drums
// A kick is always followed by a free row, so its tail rings for at least
// two rows (240 ms) before the next drum cuts it.

//   1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
constexpr auto beat =
    "K    .    H    .    S    .    h    H    .    h    K    .    S    .    H    .";
constexpr auto beat_ghost =
    "K    .    H    .    S    .    h    s    .    h    K    .    S    .    H    h";
constexpr auto busy =
    "K    .    H    h    S    h    H    .    K    .    K    .    S    h    H    h";
constexpr auto busy_ghost =
    "K    .    H    h    S    h    H    s    .    h    K    .    S    s    H    h";
constexpr auto four_floor =
    "K    .    h    .    K    .    h    .    K    .    h    .    K    .    H    .";
constexpr auto hats_only =
    "h    .    .    .    H    .    .    .    h    .    .    .    H    .    .    .";
// The fills, one at the end of each section's pattern, never the same twice
// in a row.
constexpr auto fill_snares =
    "K    .    H    .    S    .    h    .    S    .    s    S    S    s    S    S";
constexpr auto fill_rolls =
    "K    .    H    .    S    .    h    .    r    .    r    .    R    R    R    R";
constexpr auto fill_open =
    "K    .    h    .    S    .    s    .    K    .    S    .    S    s    o    .";
constexpr auto fill_drag =
    "K    .    H    .    S    .    .    S    .    S    .    S    d    .    o    .";
constexpr auto fill_toms =
    "K    .    .    .    S    .    S    .    S    S    s    S    K    .    o    .";
constexpr auto fill_hats =
    "h    h    H    h    h    h    H    h    h    h    H    h    H    H    H    H";

// ---------------------------------------------------------------- bass
// Dark notes ("_") start half way along the bass's filter sweep, so a line
// of them opens up when it turns to plain and accented notes.

//   1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
constexpr auto bass_Am =
    "A-1! .    ^    A-1_ .    ^    A-2  ^    A-1  .    A-1_ ^    A-2  .    A-1  .";
constexpr auto bass_F =
    "F-1! .    ^    F-1_ .    ^    F-2  ^    F-1  .    F-1_ ^    F-2  .    F-1  .";
constexpr auto bass_C =
    "C-2! .    ^    C-1_ .    ^    C-2  ^    C-1  .    C-1_ ^    C-2  .    E-1* .";
constexpr auto bass_G =
    "G-1! .    ^    G-1_ .    ^    G-2  ^    G-1  .    G-1_ ^    G-2  v    G-1  .";
constexpr auto bass_GE =
    "G-1! .    ^    G-1_ .    ^    G-2  ^    E-1  .    E-1_ ^    E-2  .    G#1  .";
constexpr auto bass_Dm8 =
    "D-1! .    D-2  .    D-1_ .    D-2  .    D-1  .    D-2  .    D-1_ .    D-2  .";
constexpr auto bass_G8 =
    "G-1! .    G-2  .    G-1_ .    G-2  .    G-1  .    G-2  .    G-1_ .    G-2  .";
constexpr auto bass_Am8 =
    "A-1! .    A-2  .    A-1_ .    A-2  .    A-1  .    A-2  .    A-1_ .    A-2  .";

// ---------------------------------------------------------------- patterns

const PatternScore intro{
    .name = "intro",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"Am,  .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "F,   .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "C    .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "G    .    .    .    .    .    .    .    .    .    .    .    .    .    .    ."},
    .lead = {"", "", "", ""},
    .bass = {"A-1_ .    .    .    .    .    .    .    .    .    .    .    .    .    .    ^",
             "F-1_ .    .    .    .    .    .    .    .    .    .    .    .    .    .    ^",
             "C-2_ .    .    .    .    .    .    .    C-1_ .    .    .    C-2  .    .    .",
             "G-1  .    .    .    .    .    .    .    G-2* .    .    .    G-1  .    G-2  ."},
    .drums = {"", "h    .    .    .    h    .    .    .    h    .    .    .    h    .    H    .",
              "h    .    H    .    h    .    H    .    h    .    H    .    h    .    H    h",
              "K    .    h    .    .    .    h    .    S    .    s    .    r    .    R    R"},
};

const PatternScore groove{
    .name = "groove",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"Am   .    .    .    .    .    .    .    .    .    Am   .    .    .    .    .",
               "F    .    .    .    .    .    .    .    .    .    F    .    .    .    .    .",
               "C    .    .    .    .    .    .    .    .    .    C    .    .    .    .    .",
               "G    .    .    .    .    .    .    .    E7   .    .    .    .    .    .    ."},
    // A pickup into the theme.
    .lead = {"", "", "",
             ".    .    .    .    .    .    .    .    .    .    .    .    C-3, .    D-3  ."},
    .bass = {bass_Am, bass_F, bass_C, bass_GE},
    .drums = {beat, beat_ghost, beat, fill_snares},
};

// The hook: E-D-C-D in a 3+3+2 rhythm, then a step up to the beat.
const PatternScore theme_a{
    .name = "theme a",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"Am   .    .    .    .    .    .    .    .    .    Am   .    .    .    .    .",
               "F    .    .    .    .    .    .    .    .    .    F    .    .    .    .    .",
               "C    .    .    .    .    .    .    .    .    .    C    .    .    .    .    .",
               "G    .    .    .    .    .    .    .    .    .    G    .    .    .    .    ."},
    .lead = {"E-3! .    .    D-3  .    .    C-3  .    D-3  .    .    .    E-3  .    ~    ^",
             "F-3! .    .    E-3  .    .    C-3  .    A-2  .    .    ~    ~    ~    >    ^",
             "E-3! .    .    D-3  .    .    C-3  .    D-3  .    .    .    G-3* .    ~    ~",
             "G-3  ~    ~    ~    ~    ~    v    ^    D-3, .    B-2  .    G-2  .    B-2' ."},
    .bass = {bass_Am, bass_F, bass_C, bass_G},
    .drums = {beat, beat_ghost, beat, fill_rolls},
};

// The answer: the hook leaps up to the high A and comes down to the
// dominant, E7, whose G# leads back home to A.
const PatternScore theme_b{
    .name = "theme b",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"Am   .    .    .    .    .    .    .    .    .    Am   .    .    .    .    .",
               "F    .    .    .    .    .    .    .    Dm   .    .    .    .    .    .    .",
               "G    .    .    .    .    .    .    .    .    .    G    .    .    .    .    .",
               "Esus4 .   .    .    .    .    .    .    E7   .    .    .    .    .    .    ."},
    .lead = {"E-3! .    .    D-3  .    .    C-3  .    D-3  .    .    .    E-3  .    A-3* .",
             ".    ~    ~    ~    ~    ~    ~    ^    G-3  .    F-3  .    E-3  .    C-3, .",
             "D-3! .    .    B-2  .    .    G-2  .    B-2  .    .    .    D-3  .    x    .",
             "E-3  .    .    ~    ~    ~    ~    ~    D-3' .    B-2  .    G#2  .    B-2  ^"},
    .bass = {bass_Am,
             "F-1! .    ^    F-1_ .    ^    F-2  ^    D-1  .    D-1_ ^    D-2  .    D-1  .", bass_G,
             "E-1! .    ^    E-1_ .    ^    E-2  ^    E-1  .    E-1_ ^    E-2  .    G#1  ."},
    .drums = {beat_ghost, beat, beat_ghost, fill_open},
};

// The variation keeps the hook's rhythm but turns it downwards, over the
// subdominant, with busier drums and a bass in octaves.
const PatternScore variation_a{
    .name = "variation a",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"Dm   .    .    .    .    .    .    .    .    .    Dm   .    .    .    .    .",
               "G    .    .    .    .    .    .    .    .    .    G    .    .    .    .    .",
               "C    .    .    .    .    .    .    .    F    .    .    .    .    .    .    .",
               "Am   .    .    .    .    .    .    .    E7   .    .    .    .    .    .    ."},
    .lead = {"A-3! .    .    G-3  .    .    F-3  .    E-3  .    F-3  .    D-3  .    ~    ^",
             "D-3  .    .    B-2  .    .    G-2  .    A-2  .    B-2  .    D-3  ~    ~    ^",
             "E-3! .    .    G-3  .    .    C-3* .    D-3  .    E-3  .    G-3  .    .    .",
             "A-3  ~    ~    ~    w    w    w    ^    G-3, .    E-3  .    C-3  .    E-3  x"},
    .bass = {bass_Dm8, bass_G8,
             "C-2! .    C-1  .    C-2_ .    C-1  .    F-1  .    F-2  .    F-1_ .    F-2  .",
             "A-1! .    A-2  .    A-1_ .    A-2  .    E-1  .    E-2  .    E-1_ .    G#1  ."},
    .drums = {busy, busy_ghost, busy, fill_drag},
};

// It climbs over F and G to a suspended E that resolves to E7.
const PatternScore variation_b{
    .name = "variation b",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"F    .    .    .    .    .    .    .    G    .    .    .    .    .    .    .",
               "Em   .    .    .    .    .    .    .    Am   .    .    .    .    .    .    .",
               "Dm   .    .    .    .    .    .    .    .    .    Dm   .    .    .    .    .",
               "Esus4 .   .    .    .    .    .    .    E7   .    .    .    .    .    .    ."},
    .lead = {"C-3  .    .    F-3  .    .    A-3  .    G-3  .    F-3  .    E-3  .    F-3  ^",
             "G-3! .    .    .    ~    ~    ~    ~    D-3  .    E-3  .    F-3  .    G-3  x",
             "A-3! .    .    .    ~    ~    ~    ~    B-3  .    A-3  .    E-3  .    A-3  ^",
             "G#3  ~    ~    ~    ~    ~    ~    ~    E-3  .    D-3  .    B-2  .    G#2  ^"},
    .bass = {"F-1! .    F-2  .    F-1_ .    F-2  .    G-1  .    G-2  .    G-1_ .    G-2  .",
             "E-1! .    E-2  .    E-1_ .    E-2  .    A-1  .    A-2  .    A-1_ .    A-2  .",
             bass_Dm8,
             "E-1! .    E-2  .    E-1_ .    E-2  .    E-1  .    E-2  .    E-1  /    /    ^"},
    .drums = {busy_ghost, busy, busy_ghost, fill_toms},
};

// The breakdown: the hook softly over long bass notes, its echo a dotted
// eighth later on the other side, and only the hi-hats keeping time.
const PatternScore breakdown_a{
    .name = "breakdown a",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"", "", "", ""},
    .lead = {"E-3, .    .    D-3, .    .    C-3, .    D-3, .    .    .    E-3, ~    ~    ^",
             "F-3, .    .    E-3, .    .    C-3, .    A-2, .    ~    ~    ~    ~    >    ^",
             "E-3, .    .    D-3, .    .    C-3, .    D-3, .    .    .    G-3, ~    ~    ^",
             "G-3, w    w    w    w    w    w    ^    .    .    .    .    .    .    .    ."},
    .bass = {"A-1, .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
             "F-1, .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
             "C-2, .    .    .    .    .    .    .    G-1, .    .    .    .    .    .    .",
             "E-1, .    .    .    .    .    .    .    .    .    .    .    .    .    /    ^"},
    .drums = {hats_only, hats_only,
              "h    .    .    .    h    .    .    .    h    .    .    .    H    .    .    .",
              "h    .    H    .    h    .    H    .    h    .    H    .    h    H    H    H"},
    .echo_rows = 3,
};

const PatternScore breakdown_b{
    .name = "breakdown b",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"", "", "", ""},
    .lead = {"A-2, .    .    C-3, .    .    E-3, .    A-3, .    .    .    G-3, ~    ~    ^",
             "F-3, .    .    E-3, .    .    D-3, .    C-3, .    .    .    B-2, ~    ~    ^",
             "C-3, .    .    D-3, .    .    E-3, .    G-3, .    .    .    A-3, ~    ~    ^",
             "G#3, w    w    w    w    w    w    w    w    w    w    >    >    >    >    ^"},
    .bass = {"F-1, .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
             "G-1, .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
             "A-1, .    .    .    .    .    .    .    E-1, .    .    .    .    .    .    .",
             "E-1, .    .    .    .    .    .    .    .    .    .    .    .    .    .    ^"},
    .drums = {hats_only,
              "h    .    .    .    H    .    .    .    h    .    .    .    H    .    h    .",
              "h    .    h    .    H    .    h    .    h    .    h    .    H    .    h    h",
              fill_hats},
    .echo_rows = 3,
};

// The build: the chords come back softly, the bass opens its filter bar by
// bar, the lead swells and the snare thickens into rolls.
const PatternScore build_a{
    .name = "build a",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"F,   .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "G,   .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "Am,  .    .    .    .    .    .    .    Em   .    .    .    .    .    .    .",
               "F    .    .    .    .    .    .    .    G    .    .    .    .    .    .    ."},
    .lead = {"C-3, .    .    <    .    .    .    <    .    .    .    <    .    .    .    ^",
             "D-3, .    <    .    .    <    .    .    <    .    .    <    .    .    <    ^",
             "E-3, .    <    .    <    .    <    .    <    .    <    .    <    .    <    ^",
             "F-3, <    <    <    <    <    <    ^    G-3, <    <    <    <    <    <    ^"},
    .bass = {"F-1, .    F-1, .    F-1, .    F-1, .    F-1_ .    F-1_ .    F-1_ .    F-2_ .",
             "G-1, .    G-1, .    G-1, .    G-1, .    G-1_ .    G-1_ .    G-1_ .    G-2_ .",
             "A-1_ .    A-1_ .    A-1_ .    A-1_ .    E-1  .    E-1  .    E-1  .    E-2  .",
             "F-1! .    F-1  .    F-1! .    F-1  .    G-1! .    G-1  .    G-1! .    G-2  ."},
    .drums = {"h    .    .    .    h    .    .    .    h    .    .    .    h    .    H    .",
              four_floor,
              "K    .    S    .    K    .    S    .    K    .    S    .    K    .    S    .",
              "K    .    S    .    S    .    S    .    S    S    S    S    r    r    r    r"},
};

const PatternScore build_b{
    .name = "build b",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"Dm   .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "Dm   .    .    .    .    .    .    .    F    .    .    .    .    .    .    .",
               "Esus4 .   .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "E7   .    .    .    .    .    .    .    .    .    .    .    .    .    .    ."},
    .lead = {"A-2  .    .    A-2  .    .    A-2  .    C-3  .    .    C-3  .    .    C-3  ^",
             "D-3  .    .    D-3  .    .    D-3  .    F-3  .    .    F-3  .    .    F-3  ^",
             "E-3! ~    ~    ~    ~    ~    ~    ~    ~    ~    ~    ~    ~    ~    ~    ^",
             "G#2! .    .    .    .    .    .    .    /    /    /    /    /    /    /    ^"},
    .bass = {"D-1  .    D-1  .    D-2  .    D-1  .    D-1  .    D-2  .    D-1  .    D-2  .",
             "D-1  .    D-1  .    D-2  .    D-1  .    F-1  .    F-1  .    F-2  .    F-1  .",
             "E-1! .    E-1  .    E-2  .    E-1  .    E-1! .    E-1  .    E-2  .    E-1  .",
             "E-1! .    .    .    .    .    .    .    /    /    /    /    /    /    /    ^"},
    .drums = {"K    .    s    .    S    .    s    .    K    .    s    .    S    .    s    s",
              "K    .    S    .    K    .    S    .    K    .    S    .    K    .    S    S",
              "K    .    r    .    r    .    r    .    r    .    r    .    r    .    r    r",
              "R    .    R    .    R    .    R    .    R    R    R    R    R    R    R    R"},
};

// The return: the theme again, reharmonised, its hook ornamented with late
// notes, glides and falls.
const PatternScore return_a{
    .name = "return a",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"Am   .    .    .    .    .    .    .    .    .    Am   .    .    .    .    .",
               "Dm   .    .    .    .    .    .    .    F    .    .    .    .    .    .    .",
               "C    .    .    .    .    .    .    .    G    .    .    .    .    .    .    .",
               "F    .    .    .    .    .    .    .    E7   .    .    .    .    .    .    ."},
    .lead = {"E-3! .    .    D-3  .    .    C-3  .    D-3' .    .    .    E-3  .    A-3* ~",
             "~    ~    ~    ^    G-3  .    F-3  .    E-3! .    D-3  .    C-3  .    ~    ^",
             "E-3! .    .    D-3  .    .    C-3  .    D-3  .    .    .    G-3! .    A-3* ~",
             "~    ~    ~    ~    G-3  .    E-3  .    D-3  v    v    ^    C-3  .    D-3  ."},
    .bass = {bass_Am8,
             "D-1! .    D-2  .    D-1_ .    D-2  .    F-1  .    F-2  .    F-1_ .    F-2  .",
             "C-2! .    C-1  .    C-2_ .    C-1  .    G-1  .    G-2  .    G-1_ .    G-2  .",
             "F-1! .    F-2  .    F-1_ .    F-2  .    E-1  .    E-2  .    E-1_ .    G#1  ."},
    .drums = {busy, beat_ghost, busy_ghost, fill_snares},
};

const PatternScore return_b{
    .name = "return b",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"Am   .    .    .    .    .    .    .    .    .    Am   .    .    .    .    .",
               "F    .    .    .    .    .    .    .    Dm   .    .    .    .    .    .    .",
               "G    .    .    .    .    .    .    .    .    .    G    .    .    .    .    .",
               "E7   .    .    .    .    .    .    .    .    .    E7   .    .    .    .    ."},
    .lead = {"E-3! .    .    D-3  .    .    C-3  .    D-3  .    .    .    E-3  .    A-3! .",
             ".    ~    ~    ~    w    w    w    ^    G-3  .    F-3  .    E-3  .    C-3, .",
             "D-3! .    .    B-2  .    .    G-2  .    B-2  .    C-3* .    D-3  .    x    .",
             "E-3! ~    ~    ~    ~    ~    ~    ~    D-3' .    B-2  .    G#2  .    B-2  ^"},
    .bass = {bass_Am8,
             "F-1! .    F-2  .    F-1_ .    F-2  .    D-1  .    D-2  .    D-1_ .    D-2  .",
             bass_G8,
             "E-1! .    E-2  .    E-1_ .    E-2  .    E-1  .    E-2  .    E-1  .    G#1  ."},
    .drums = {busy_ghost, busy, beat, fill_open},
};

// The ending: the hook over D minor, a last cadence through B flat, borrowed
// from outside the key, and E7 to the A that fades out just as the song
// ends, so the restart follows closely.
const PatternScore ending_a{
    .name = "ending a",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"Dm   .    .    .    .    .    .    .    .    .    Dm   .    .    .    .    .",
               "E7   .    .    .    .    .    .    .    .    .    E7   .    .    .    .    .",
               "F    .    .    .    .    .    .    .    G    .    .    .    .    .    .    .",
               "Am   .    .    .    .    .    .    .    E7   .    .    .    .    .    .    ."},
    .lead = {"E-3! .    .    D-3  .    .    C-3  .    D-3  .    .    .    F-3  .    ~    ^",
             "E-3  ~    ~    ~    ~    ~    ~    ^    D-3  .    C-3  .    B-2  .    G#2  ^",
             "A-2  .    .    C-3  .    .    F-3  .    E-3  .    D-3  .    B-2  .    ~    ^",
             "C-3! .    .    B-2  .    .    A-2  .    B-2  ~    ~    ~    ~    ~    ~    ^"},
    .bass = {bass_Dm8,
             "E-1! .    E-2  .    E-1_ .    E-2  .    E-1  .    E-2  .    E-1_ .    G#1  .",
             "F-1! .    F-2  .    F-1_ .    F-2  .    G-1  .    G-2  .    G-1_ .    G-2  .",
             bass_Am8},
    .drums = {beat, beat_ghost, busy, fill_drag},
};

const PatternScore ending_b{
    .name = "ending b",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"F    .    .    .    .    .    .    .    G    .    .    .    .    .    .    .",
               "Am   .    .    .    .    .    .    .    .    .    Am   .    .    .    .    .",
               "Bb   .    .    .    .    .    .    .    E7   .    .    .    .    .    .    .",
               "Am   .    .    .    >    >    >    >    >    >    >    >    >    >    >    >"},
    .lead = {"E-3! .    .    D-3  .    .    C-3  .    D-3  .    .    .    E-3  ~    ~    ^",
             "C-3  .    .    B-2  .    .    A-2  .    G#2  .    .    ^    B-2  .    ~    ^",
             "F-3! .    .    D-3  .    .    A#2  .    D-3  .    .    .    B-2  .    G#2  ^",
             "A-2! ~    ~    ~    >    >    >    >    >    >    >    >    >    >    >    >"},
    .bass = {"F-1! .    F-2  .    F-1_ .    F-2  .    G-1  .    G-2  .    G-1_ .    G-2  .",
             bass_Am,
             "A#1! .    A#2  .    A#1_ .    A#2  .    E-1  .    E-2  .    E-1_ .    G#1  .",
             "A-1! .    .    .    >    >    >    >    >    >    >    >    >    >    >    >"},
    .drums = {beat_ghost, busy, busy_ghost,
              "K    .    .    .    o    .    .    .    .    .    .    .    .    .    .    ."},
};

}  // namespace

const Song& blumot_song() {
  static const Song song{
      .title = "ORX intro: blumot",
      .ticks_per_row = 6,
      .beats_per_minute = 125,
      .patterns = {intro, groove, theme_a, theme_b, variation_a, variation_b, breakdown_a,
                   breakdown_b, build_a, build_b, return_a, return_b, ending_a, ending_b},
      .form =
          {
              {"intro", {"intro", "groove"}},
              {"theme", {"theme a", "theme b"}},
              {"variation", {"variation a", "variation b"}},
              {"breakdown", {"breakdown a", "breakdown b"}},
              {"build", {"build a", "build b"}},
              {"return", {"return a", "return b"}},
              {"ending", {"ending a", "ending b"}},
          },
  };
  return song;
}
