// "blumot": the intro's tune, in A minor at 125 beats per minute.
//
// Every pattern is four bars; every bar of a voice is one line in the
// notation that notation.h describes, its 16 steps in columns five
// characters wide under rulers that mark the beats.
//
// The form: intro (the chords alone, then the groove), theme (the hook,
// E-D-C-D in a 3+3+2 rhythm, and its answer), variation (the hook's rhythm
// turned downwards, a deceptive turn to F and a plagal close), breakdown
// (the hook softly, with an echo on the chord channel and only hi-hats),
// build (swelling lead, opening bass, snare rolls and toms), return (the
// climax: the theme with its chords and a descant an octave above that
// answers in each bar's second half, accents, claps and a lead that
// climbs to the top of its range) and ending (the hook twice
// more and a last A that fades to the song's end). A crash marks the first
// downbeat of the theme, the return and the ending, and rings out alone on
// the drum channel for two beats. The chord voice sounds
// from the first row on, so the music never falls silent while it starts.
#include "tools/modcompose/src/score.h"

namespace {

// ---------------------------------------------------------------- drums
// A kick is always followed by a free row, so its tail rings for at least
// two rows (240 ms) before the next drum cuts it. The grooves differ in
// where the kick and the snare fall, not only in the hats.

//   1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
// The backbeat: kick on 1 and the "and" of 3, snare on 2 and 4.
constexpr auto beat =
    "K    .    H    .    S    .    h    H    .    h    K    .    S    .    H    .";
constexpr auto beat_ghost =
    "K    .    H    .    S    .    h    s    .    h    K    .    S    .    H    h";
// A kick pushed ahead of beat 3.
constexpr auto push =
    "K    .    H    .    S    .    h    K    .    h    K    .    S    .    H    h";
constexpr auto push_ghost =
    "K    .    H    s    S    .    h    K    .    h    K    .    S    s    H    h";
// Half time: the snare only on beat 3, the kick around it.
constexpr auto half_time =
    "K    .    h    .    H    .    K    .    S    .    h    .    H    .    h    .";
constexpr auto half_time_kicks =
    "K    .    h    .    H    .    K    .    S    .    h    K    .    h    s    .";
// The return's drive: a snare on 2 and 4 and a clap after each, three
// kicks, sixteenth hats.
constexpr auto drive =
    "K    .    H    h    S    h    C    K    .    h    K    .    S    h    C    h";
constexpr auto drive_ghost =
    "K    .    H    s    S    h    C    K    .    s    K    .    S    s    C    H";
constexpr auto four_floor =
    "K    .    h    .    K    .    h    .    K    .    h    .    K    .    H    .";
// A section's first downbeat: the crash, with the kick under it, rings
// out alone for two beats, and the groove's second half comes back in
// once it has died away.
constexpr auto crash_beat =
    "X    .    .    .    .    .    .    .    .    h    K    .    S    .    H    .";
constexpr auto crash_drive =
    "X    .    .    .    .    .    .    .    .    h    K    .    S    h    C    h";
constexpr auto hats_only =
    "h    .    .    .    H    .    .    .    h    .    .    .    H    .    .    .";
// The fills, one at the end of each section's pattern, never the same twice
// in a row. The toms lead into the sections that the crash marks.
constexpr auto fill_snares =
    "K    .    H    .    S    .    h    .    S    .    s    S    S    s    S    S";
constexpr auto fill_rolls =
    "K    .    H    .    S    .    h    .    r    .    r    .    R    R    R    R";
constexpr auto fill_open =
    "K    .    h    .    S    .    s    .    K    .    S    .    S    s    o    .";
constexpr auto fill_drag =
    "K    .    H    .    S    .    .    S    .    S    .    S    d    .    o    .";
constexpr auto fill_toms =
    "K    .    H    .    S    .    h    .    t    .    t    m    .    m    T    T";
constexpr auto fill_tom_roll =
    "K    .    H    .    S    .    S    s    t    t    m    m    T    T    T    T";
constexpr auto fill_stop =
    "K    .    h    .    S    .    K    .    S    .    s    .    o    .    .    .";
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
constexpr auto bass_FG =
    "F-1! .    ^    F-1_ .    ^    F-2  ^    G-1  .    G-1_ ^    G-2  v    G-1  .";
constexpr auto bass_G8 =
    "G-1! .    G-2  .    G-1_ .    G-2  .    G-1  .    G-2  .    G-1_ .    G-2  .";
constexpr auto bass_Am8 =
    "A-1! .    A-2  .    A-1_ .    A-2  .    A-1  .    A-2  .    A-1_ .    A-2  .";
constexpr auto bass_F8 =
    "F-1! .    F-2  .    F-1_ .    F-2  .    F-1  .    F-2  .    F-1_ .    F-2  .";

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
               "F    .    .    .    .    .    .    .    G    .    .    .    .    .    .    ."},
    // A pickup into the theme, over the F and G that lead back to A.
    .lead = {"", "", "",
             ".    .    .    .    .    .    .    .    .    .    .    .    C-3, .    D-3  ."},
    .bass = {bass_Am, bass_F, bass_C, bass_FG},
    .drums = {beat, beat_ghost, beat, fill_toms},
};

// The hook: E-D-C-D in a 3+3+2 rhythm, then a step up to the beat.
const PatternScore theme_a{
    .name = "theme a",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"Am,  .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "F,   .    .    .    .    .    .    .    .    .    F,   .    .    .    .    .",
               "C,   .    .    .    .    .    .    .    .    .    C,   .    .    .    .    .",
               "G,   .    .    .    .    .    .    .    .    .    G,   .    .    .    .    ."},
    .lead = {"E-3! .    .    D-3  .    .    C-3  .    D-3  .    .    .    E-3  .    ~    ^",
             "F-3! .    .    E-3  .    .    C-3  .    A-2  .    .    ~    ~    ~    >    ^",
             "E-3! .    .    D-3  .    .    C-3  .    D-3  .    .    .    G-3* .    ~    ~",
             "G-3  ~    ~    ~    ~    ~    v    ^    D-3, .    B-2  .    G-2  .    B-2' ."},
    .bass = {bass_Am, bass_F, bass_C, bass_G},
    .drums = {crash_beat, beat_ghost, push, fill_rolls},
};

// The answer: the hook leaps up to the high A and comes down to the
// dominant, E7, which turns aside to F in the variation.
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
             "E-1! .    ^    E-1_ .    ^    E-2  ^    E-1  .    E-1_ ^    E-2  .    E-1  ."},
    .drums = {beat_ghost, push, beat_ghost, fill_open},
};

// The variation keeps the hook's rhythm but turns it downwards. It opens
// on F, where the theme's E7 led the ear to expect A minor, and walks
// through G and E minor to a G that leads on to C.
const PatternScore variation_a{
    .name = "variation a",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"F    .    .    .    .    .    .    .    .    .    F    .    .    .    .    .",
               "G    .    .    .    .    .    .    .    .    .    G    .    .    .    .    .",
               "Em   .    .    .    .    .    .    .    Am   .    .    .    .    .    .    .",
               "Dm   .    .    .    .    .    .    .    G    .    .    .    .    .    .    ."},
    .lead = {"A-3! .    .    G-3  .    .    F-3  .    E-3  .    F-3  .    D-3  .    ~    ^",
             "D-3  .    .    B-2  .    .    G-2  .    A-2  .    B-2  .    D-3  ~    ~    ^",
             "E-3! .    .    G-3  .    .    B-2  .    C-3  .    E-3  .    A-3  .    .    .",
             "A-3  ~    ~    ~    w    w    w    ^    G-3, .    D-3  .    B-2  .    D-3  x"},
    .bass = {bass_F8, bass_G8,
             "E-1! .    E-2  .    E-1_ .    E-2  .    A-1  .    A-2  .    A-1_ .    A-2  .",
             "D-1! .    D-2  .    D-1_ .    D-2  .    G-1  .    G-2  .    G-1_ .    B-1  ."},
    .drums = {push, push_ghost, push, fill_drag},
};

// It climbs through C major and comes home by the plagal way, D minor to
// A minor, before the breakdown.
const PatternScore variation_b{
    .name = "variation b",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"C    .    .    .    .    .    .    .    G    .    .    .    .    .    .    .",
               "Am   .    .    .    .    .    .    .    Em   .    .    .    .    .    .    .",
               "F    .    .    .    .    .    .    .    .    .    F    .    .    .    .    .",
               "Dm   .    .    .    .    .    .    .    Am   .    .    .    >    >    >    >"},
    .lead = {"C-3  .    .    E-3  .    .    G-3  .    B-3  .    A-3  .    G-3  .    D-3  ^",
             "A-3! .    .    .    ~    ~    ~    ~    G-3  .    E-3  .    B-2  .    E-3  x",
             "F-3! .    .    .    ~    ~    ~    ~    A-3  .    G-3  .    F-3  .    C-3  ^",
             "D-3  ~    ~    ~    F-3  .    E-3  .    C-3  ~    ~    ~    >    >    >    ^"},
    .bass = {"C-2! .    C-1  .    C-2_ .    C-1  .    G-1  .    G-2  .    G-1_ .    G-2  .",
             "A-1! .    A-2  .    A-1_ .    A-2  .    E-1  .    E-2  .    E-1_ .    E-2  .",
             bass_F8,
             "D-1! .    D-2  .    D-1_ .    D-2  .    A-1! .    .    .    >    >    >    ^"},
    .drums = {half_time, half_time_kicks, half_time, fill_stop},
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
// bar, the lead swells and the snare thickens into rolls and toms.
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
    .chords = {"Dm,  .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "Dm,  .    .    .    .    .    .    .    F,   .    .    .    .    .    .    .",
               "Esus4 .   .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "E7   .    .    .    .    .    .    .    .    .    .    .    .    .    .    ."},
    .lead = {"A-2  .    .    A-2  .    .    A-2  .    C-3  .    .    C-3  .    .    C-3  ^",
             "D-3  .    .    D-3  .    .    D-3  .    F-3  .    .    F-3  .    .    F-3  ^",
             "E-3, <    <    <    <    <    <    <    <    <    <    <    ~    ~    ~    ^",
             "G#2! .    .    .    .    .    .    .    /    /    /    /    /    /    /    ^"},
    .bass = {"D-1_ .    D-1_ .    D-2_ .    D-1_ .    D-1_ .    D-2_ .    D-1_ .    D-2_ .",
             "D-1_ .    D-1_ .    D-2_ .    D-1_ .    F-1  .    F-1  .    F-2  .    F-1  .",
             "E-1! .    E-1  .    E-2  .    E-1  .    E-1! .    E-1  .    E-2  .    E-1  .",
             "E-1! .    .    .    .    .    .    .    /    /    /    /    /    /    /    ^"},
    .drums = {"K    .    s    .    S    .    s    .    K    .    s    .    S    .    s    s",
              "K    .    S    .    K    .    S    .    K    .    S    .    K    .    S    S",
              "K    .    S    .    S    .    S    .    S    .    S    .    r    .    r    r",
              "r    .    r    .    R    .    R    .    t    t    m    m    T    T    R    R"},
};

// The return, the climax: the theme again, reharmonised, its hook accented
// and ornamented, its chords on each bar's first half and a descant an
// octave above answering in the second, the bass in driving octaves and
// claps on the backbeat. It turns
// aside to F again, and the answer climbs to the lead's highest B.
const PatternScore return_a{
    .name = "return a",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"Am   .    .    .    .    .    .    .    .    .    Am   .    .    .    .    .",
               "Dm   .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "C    .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "F    .    .    .    .    .    .    .    .    .    .    .    .    .    .    ."},
    .descant = {"", ".    .    .    .    .    .    .    .    C-3, .    .    .    ~    ~    >    ^",
                ".    .    .    .    .    .    .    .    D-3  .    .    .    B-2  .    .    ^",
                ".    .    .    .    .    .    .    .    B-2  .    .    .    G#2  .    .    ^"},
    .lead = {"E-3! .    .    D-3  .    .    C-3  .    D-3' .    .    .    E-3! .    A-3* ~",
             "~    ~    ~    ^    G-3  .    F-3  .    E-3! .    D-3  .    C-3  .    ~    ^",
             "E-3! .    .    D-3  .    .    C-3  .    D-3  .    .    .    G-3! .    A-3* ~",
             "~    ~    ~    ~    G-3  .    E-3  .    D-3  v    v    ^    B-2  .    D-3  ."},
    .bass = {bass_Am8,
             "D-1! .    D-2  .    D-1_ .    D-2  .    F-1! .    F-2  .    F-1_ .    F-2  .",
             "C-2! .    C-1  .    C-2_ .    C-1  .    G-1! .    G-2  .    G-1_ .    G-2  .",
             "F-1! .    F-2  .    F-1_ .    F-2  .    E-1! .    E-2  .    E-1_ .    E-1  ."},
    .drums = {crash_drive, drive_ghost, drive, fill_snares},
};

const PatternScore return_b{
    .name = "return b",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"F    .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "G    .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "Am   .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "E7   .    .    .    .    .    .    .    .    .    .    .    .    .    .    ."},
    .descant = {".    .    .    .    .    .    .    .    C-3  .    .    .    A-2  .    .    ^",
                ".    .    .    .    .    .    .    .    B-2! ~    ~    ~    E-3  .    .    ^",
                ".    .    .    .    .    .    .    .    D-3  .    .    .    ~    ~    ~    ^",
                ".    .    .    .    .    .    .    .    D-3  .    .    .    B-2  .    .    ^"},
    .lead = {"E-3! .    .    D-3  .    .    C-3  .    D-3  .    .    .    E-3  .    A-3! .",
             "B-3! ~    ~    ~    w    w    w    ^    A-3  .    G-3  .    E-3  .    D-3, .",
             "E-3! .    .    C-3  .    .    A-2  .    D-3  .    F-3  .    A-3  .    x    .",
             "A-3! ~    ~    ~    ~    ~    ~    ^    G#3  .    E-3  .    D-3  .    B-2  ^"},
    .bass = {"F-1! .    F-2  .    F-1  .    F-2  .    F-1! .    F-2  .    F-1_ .    F-2  .",
             "G-1! .    G-2  .    G-1_ .    G-2  .    E-1! .    E-2  .    E-1_ .    E-2  .",
             "A-1! .    A-2  .    A-1_ .    A-2  .    D-1! .    D-2  .    D-1_ .    D-2  .",
             "E-1! .    E-2  .    E-1_ .    E-2  .    E-1! .    E-2  .    D-2  .    G#1  ."},
    .drums = {drive_ghost, drive, drive_ghost, fill_tom_roll},
};

// The ending: the hook over A minor once more, then D minor and G to C, a
// chromatic climb G, G#, and E7 turning aside to F; a last cadence through
// B flat, borrowed from outside the key, and E7 to the A that fades out
// just as the song ends, so the restart follows closely.
const PatternScore ending_a{
    .name = "ending a",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"Am   .    .    .    .    .    .    .    .    .    .    .    .    .    .    .",
               "F    .    .    .    .    .    .    .    .    .    F    .    .    .    .    .",
               "Dm   .    .    .    .    .    .    .    G    .    .    .    .    .    .    .",
               "C    .    .    .    .    .    .    .    E7   .    .    .    .    .    .    ."},
    .lead = {"E-3! .    .    D-3  .    .    C-3  .    D-3  .    .    .    E-3  .    ~    ^",
             "F-3  ~    ~    ~    ~    ~    ~    ^    E-3  .    C-3  .    A-2  .    C-3  ^",
             "D-3  .    .    F-3  .    .    A-3  .    G-3  .    .    .    D-3  .    B-2  ^",
             "C-3! .    .    E-3  .    .    G-3  .    G#3  .    .    .    E-3  .    B-2  ^"},
    .bass = {bass_Am8, bass_F8,
             "D-1! .    D-2  .    D-1_ .    D-2  .    G-1  .    G-2  .    G-1_ .    G-2  .",
             "C-2! .    C-1  .    C-2_ .    C-1  .    E-1  .    E-2  .    E-1_ .    E-1  ."},
    .drums = {crash_beat, beat_ghost, push, fill_drag},
};

const PatternScore ending_b{
    .name = "ending b",
    //          1    .    .    .    2    .    .    .    3    .    .    .    4    .    .    .
    .chords = {"F    .    .    .    .    .    .    .    G    .    .    .    .    .    .    .",
               "Am   .    .    .    .    .    .    .    .    .    Am   .    .    .    .    .",
               "Bb   .    .    .    .    .    .    .    E7   .    .    .    .    .    .    .",
               "Am   .    .    .    >    >    >    >    >    >    >    >    >    >    >    >"},
    .lead = {"E-3! .    .    D-3  .    .    C-3  .    D-3  .    .    .    E-3  ~    ~    ^",
             "C-3  .    .    B-2  .    .    A-2  .    .    .    .    ^    E-3  .    D-3  ^",
             "F-3! .    .    D-3  .    .    A#2  .    D-3  .    .    .    B-2  .    G#2  ^",
             "A-2! ~    ~    ~    >    >    >    >    >    >    >    >    >    >    >    >"},
    .bass = {"F-1! .    F-2  .    F-1_ .    F-2  .    G-1  .    G-2  .    G-1_ .    G-2  .",
             bass_Am,
             "A#1! .    A#2  .    A#1_ .    A#2  .    E-1  .    E-2  .    E-1_ .    G#1  .",
             "A-1! .    .    .    >    >    >    >    >    >    >    >    >    >    >    >"},
    .drums = {beat_ghost, push, push_ghost,
              "X    .    .    .    .    .    .    .    .    .    .    .    .    .    .    ."},
};

}  // namespace

const Song& blumot_song() {
  static const Song song{
      .title = "ORX intro: blumot",
      .ticks_per_row = 6,
      .beats_per_minute = 125,
      .form =
          {
              {"intro", {intro, groove}},
              {"theme", {theme_a, theme_b}},
              {"variation", {variation_a, variation_b}},
              {"breakdown", {breakdown_a, breakdown_b}},
              {"build", {build_a, build_b}},
              {"return", {return_a, return_b}},
              {"ending", {ending_a, ending_b}},
          },
  };
  return song;
}
