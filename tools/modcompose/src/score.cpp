// "blumot": the intro's tune, in A minor at 125 beats per minute.
//
// How to read it: every pattern is four bars; every bar of a voice is one
// line of 16 sixteenth-note steps, beats on steps 1, 5, 9 and 13 (the
// column ruler above each voice marks them). Notes are tracker names, "."
// holds, "^" stops the sound, "~" holds with vibrato and ">" fades out.
// The bass sounds an octave below the name read on the lead (its cycle is
// twice as long), the drums are K kick, S snare, s ghost snare, h hi-hat,
// o open hi-hat. See notation.h for the whole notation.
//
// The form: intro (the chords alone, then the groove), theme (the hook and
// its answer), variation (the hook's rhythm over new chords, climbing to a
// suspended dominant), return (the theme again) and ending (the last
// cadence, a held A that fades out). The chord voice sounds from the first
// row on without a break, so the music never falls silent while it starts.
#include "score.h"

namespace {

// ---------------------------------------------------------------- drums

//                        1   .   .   .   2   .   .   .   3   .   .   .   4   .   .   .
constexpr auto beat = "K   .   h   .   S   .   h   .   K   .   h   K   S   .   h   .  ";
constexpr auto beat_lift = "K   .   h   .   S   .   h   s   K   .   h   K   S   .   o   .  ";
constexpr auto fill = "K   .   h   .   S   .   h   .   S   .   s   S   S   s   S   S  ";
constexpr auto busy = "K   h   h   h   S   h   h   s   K   h   K   h   S   h   o   .  ";
constexpr auto busy_fill = "K   h   h   h   S   h   h   s   S   s   S   s   S   S   S   S  ";
constexpr auto off_hats = ".   .   h   .   .   .   h   .   .   .   h   .   .   .   h   .  ";
constexpr auto pickup = "K   .   h   .   .   .   h   .   S   .   s   .   S   S   S   S  ";
constexpr auto final_hit = "K   .   o   .   .   .   .   .   .   .   .   .   .   .   .   .  ";
constexpr auto tacet = "";

// ---------------------------------------------------------------- bass

//                        1   .   .   .   2   .   .   .   3   .   .   .   4   .   .   .
constexpr auto bass_Am = "A-1 .   ^   A-1 .   ^   A-2 ^   A-1 .   A-1 ^   A-2 .   A-1 .  ";
constexpr auto bass_F = "F-1 .   ^   F-1 .   ^   F-2 ^   F-1 .   F-1 ^   F-2 .   F-1 .  ";
constexpr auto bass_C = "C-1 .   ^   C-1 .   ^   C-2 ^   C-1 .   C-1 ^   C-2 .   C-1 .  ";
constexpr auto bass_G = "G-1 .   ^   G-1 .   ^   G-2 ^   G-1 .   G-1 ^   G-2 .   G-1 .  ";
constexpr auto bass_E7 = "E-1 .   ^   E-1 .   ^   E-2 ^   E-1 .   E-1 ^   E-2 .   G#1 .  ";
// The variation drives on with octaves in eighth notes.
constexpr auto bass_Dm8 = "D-1 .   D-2 .   D-1 .   D-2 .   D-1 .   D-2 .   D-1 .   D-2 .  ";
constexpr auto bass_G8 = "G-1 .   G-2 .   G-1 .   G-2 .   G-1 .   G-2 .   G-1 .   G-2 .  ";
constexpr auto bass_C8 = "C-1 .   C-2 .   C-1 .   C-2 .   C-1 .   C-2 .   C-1 .   C-2 .  ";
constexpr auto bass_Am8 = "A-1 .   A-2 .   A-1 .   A-2 .   A-1 .   A-2 .   A-1 .   A-2 .  ";
constexpr auto bass_F8 = "F-1 .   F-2 .   F-1 .   F-2 .   F-1 .   F-2 .   F-1 .   F-2 .  ";
constexpr auto bass_E8 = "E-1 .   E-2 .   E-1 .   E-2 .   E-1 .   E-2 .   E-1 .   E-2 .  ";
constexpr auto bass_E7_8 = "E-1 .   E-2 .   E-1 .   E-2 .   E-1 .   E-2 .   E-1 .   G#1 .  ";

// ---------------------------------------------------------------- patterns

const PatternScore intro{
    .name = "intro",
    //         1   .   .   .   2   .   .   .   3   .   .   .   4   .   .   .
    .chords = {"Am  .   .   .   .   .   .   .   .   .   .   .   .   .   .   .  ",
               "F   .   .   .   .   .   .   .   .   .   .   .   .   .   .   .  ",
               "C   .   .   .   .   .   .   .   .   .   .   .   .   .   .   .  ",
               "G   .   .   .   .   .   .   .   .   .   .   .   .   .   .   .  "},
    .lead = {tacet, tacet, tacet, tacet},
    .bass = {"A-1 .   .   .   .   .   .   .   .   .   .   .   .   .   .   .  ",
             "F-1 .   .   .   .   .   .   .   .   .   .   .   .   .   .   .  ",
             "C-1 .   .   .   .   .   .   .   C-2 .   .   .   C-1 .   .   .  ",
             "G-1 .   .   .   .   .   .   .   G-2 .   .   .   G-1 .   G-2 .  "},
    .drums = {tacet, tacet, off_hats, pickup},
};

const PatternScore groove{
    .name = "groove",
    //         1   .   .   .   2   .   .   .   3   .   .   .   4   .   .   .
    .chords = {"Am  .   .   .   .   .   .   .   .   .   Am  .   .   .   .   .  ",
               "F   .   .   .   .   .   .   .   .   .   F   .   .   .   .   .  ",
               "C   .   .   .   .   .   .   .   .   .   C   .   .   .   .   .  ",
               "G   .   .   .   .   .   .   .   .   .   G   .   .   .   .   .  "},
    // A pickup into the theme.
    .lead = {tacet, tacet, tacet,
             ".   .   .   .   .   .   .   .   .   .   .   .   C-3 .   D-3 .  "},
    .bass = {bass_Am, bass_F, bass_C, bass_G},
    .drums = {beat, beat, beat, fill},
};

// The hook: three notes in a 3+3+2 rhythm, then a step up to the beat.
const PatternScore theme_a{
    .name = "theme a",
    //         1   .   .   .   2   .   .   .   3   .   .   .   4   .   .   .
    .chords = {"Am  .   .   .   .   .   .   .   .   .   Am  .   .   .   .   .  ",
               "F   .   .   .   .   .   .   .   .   .   F   .   .   .   .   .  ",
               "C   .   .   .   .   .   .   .   .   .   C   .   .   .   .   .  ",
               "G   .   .   .   .   .   .   .   .   .   G   .   .   .   .   .  "},
    .lead = {"E-3 .   .   D-3 .   .   C-3 .   D-3 .   .   .   E-3 .   .   .  ",
             "F-3 .   .   E-3 .   .   C-3 .   A-2 .   .   .   ~   ~   ~   ~  ",
             "E-3 .   .   D-3 .   .   C-3 .   D-3 .   .   .   G-3 .   .   .  ",
             "G-3 .   .   .   ~   ~   ~   ~   D-3 .   B-2 .   G-2 .   B-2 .  "},
    .bass = {bass_Am, bass_F, bass_C, bass_G},
    .drums = {beat, beat_lift, beat, fill},
};

// The answer: the hook leaps up to the high A and comes down to the
// dominant, E7, whose G# leads back home to A.
const PatternScore theme_b{
    .name = "theme b",
    //         1   .   .   .   2   .   .   .   3   .   .   .   4   .   .   .
    .chords = {"Am  .   .   .   .   .   .   .   .   .   Am  .   .   .   .   .  ",
               "F   .   .   .   .   .   .   .   .   .   F   .   .   .   .   .  ",
               "G   .   .   .   .   .   .   .   .   .   G   .   .   .   .   .  ",
               "E7  .   .   .   .   .   .   .   .   .   E7  .   .   .   .   .  "},
    .lead = {"E-3 .   .   D-3 .   .   C-3 .   D-3 .   .   .   E-3 .   A-3 .  ",
             ".   .   .   .   ~   ~   ~   ~   G-3 .   F-3 .   E-3 .   C-3 .  ",
             "D-3 .   .   B-2 .   .   G-2 .   B-2 .   .   .   D-3 .   .   .  ",
             "E-3 .   .   .   ~   ~   ~   ~   D-3 .   B-2 .   G#2 .   B-2 .  "},
    .bass = {bass_Am, bass_F, bass_G, bass_E7},
    .drums = {beat, beat_lift, beat, fill},
};

// The variation keeps the hook's rhythm but turns it downwards, over the
// subdominant, with busier drums and a bass in octaves.
const PatternScore variation_a{
    .name = "variation a",
    //         1   .   .   .   2   .   .   .   3   .   .   .   4   .   .   .
    .chords = {"Dm  .   .   .   .   .   .   .   .   .   Dm  .   .   .   .   .  ",
               "G   .   .   .   .   .   .   .   .   .   G   .   .   .   .   .  ",
               "C   .   .   .   .   .   .   .   .   .   C   .   .   .   .   .  ",
               "Am  .   .   .   .   .   .   .   .   .   Am  .   .   .   .   .  "},
    .lead = {"A-3 .   .   G-3 .   .   F-3 .   E-3 .   F-3 .   D-3 .   .   .  ",
             "D-3 .   .   B-2 .   .   G-2 .   A-2 .   B-2 .   D-3 .   .   .  ",
             "E-3 .   .   G-3 .   .   C-3 .   D-3 .   E-3 .   G-3 .   .   .  ",
             "A-3 .   .   .   ~   ~   ~   ~   G-3 .   E-3 .   C-3 .   E-3 .  "},
    .bass = {bass_Dm8, bass_G8, bass_C8, bass_Am8},
    .drums = {busy, busy, busy, busy_fill},
};

// It climbs over F and G to a suspended E that resolves to E7 and, through
// its G#, to the return of the theme.
const PatternScore variation_b{
    .name = "variation b",
    //         1   .   .   .   2   .   .   .   3   .   .   .   4   .   .   .
    .chords = {"F   .   .   .   .   .   .   .   .   .   F   .   .   .   .   .  ",
               "G   .   .   .   .   .   .   .   .   .   G   .   .   .   .   .  ",
               "Esus4 . .   .   .   .   .   .   .   .   Esus4 . .   .   .   .  ",
               "E7  .   .   .   .   .   .   .   .   .   E7  .   .   .   .   .  "},
    .lead = {"C-3 .   .   F-3 .   .   A-3 .   G-3 .   F-3 .   E-3 .   F-3 .  ",
             "G-3 .   .   .   ~   ~   ~   ~   D-3 .   E-3 .   F-3 .   G-3 .  ",
             "A-3 .   .   .   ~   ~   ~   ~   B-3 .   A-3 .   E-3 .   A-3 .  ",
             "G#3 .   .   .   ~   ~   ~   ~   E-3 .   D-3 .   B-2 .   G#2 .  "},
    .bass = {bass_F8, bass_G8, bass_E8, bass_E7_8},
    .drums = {busy, busy, busy, busy_fill},
};

// The last cadence, F - G - Am; everything lands on the A, the drums stop
// and the held notes fade out. The chords let go of their arpeggio and
// their root dies away with the rest.
const PatternScore ending{
    .name = "ending",
    //         1   .   .   .   2   .   .   .   3   .   .   .   4   .   .   .
    .chords = {"F   .   .   .   .   .   .   .   .   .   F   .   .   .   .   .  ",
               "G   .   .   .   .   .   .   .   .   .   G   .   .   .   .   .  ",
               "Am  .   .   .   .   .   .   .   .   .   .   .   .   .   .   .  ",
               ">   >   >   >   >   >   >   >   ^   .   .   .   .   .   .   .  "},
    .lead = {"C-3 .   .   F-3 .   .   A-3 .   .   .   G-3 .   F-3 .   .   .  ",
             "D-3 .   .   G-3 .   .   B-3 .   .   .   A-3 .   G-3 .   .   .  ",
             "A-3 .   .   .   ~   ~   ~   ~   ~   ~   ~   ~   >   >   >   >  ",
             ">   >   >   >   >   >   >   >   >   >   ^   .   .   .   .   .  "},
    .bass = {bass_F, bass_G, "A-1 .   .   .   .   .   .   .   .   .   .   .   >   >   >   >  ",
             ">   >   >   >   >   >   >   >   >   >   ^   .   .   .   .   .  "},
    .drums = {beat, fill, final_hit, tacet},
};

}  // namespace

const Song& blumot_song() {
  static const Song song{
      .title = "ORX intro: blumot",
      .ticks_per_row = 6,
      .beats_per_minute = 125,
      .patterns = {intro, groove, theme_a, theme_b, variation_a, variation_b, ending},
      .form =
          {
              {"intro", {"intro", "groove"}},
              {"theme", {"theme a", "theme b"}},
              {"variation", {"variation a", "variation b"}},
              {"return", {"theme a", "theme b"}},
              {"ending", {"ending"}},
          },
  };
  return song;
}
