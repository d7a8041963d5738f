#!/usr/bin/python3
"""The mix of tracker modules, measured as intro plays them: each module is
rendered by render-mix (libmikmod with intro's mixer settings), once whole
and once for every channel alone, and this prints for each module

- the integrated loudness (ITU-R BS.1770-4: K-weighting, 400 ms blocks,
  absolute gate at -70 LUFS, relative gate 10 LU under) of the whole mix
  and of every channel alone, with the spread from loudest to quietest;
- where each channel's energy lies: below 100 Hz, 100 Hz to 3 kHz (what a
  laptop's small speakers play) and above 3 kHz;
- the distinct one-shot (unlooped) samples the song plays;
- the loudness of each 8-bar section: 128 rows played, at four rows a beat;
- the key whose Krumhansl-Kessler profile best matches the whole mix's
  chroma, with the correlation, and the tempo at which the onsets repeat
  best between 90 and 180 beats a minute;
- for each one-shot sample at each rate the song plays it, rendered alone:
  its share of energy in 2-6 kHz (where a hi-hat sizzles), the pitch its
  tail settles on and the share of the tail within 20 % of that pitch (a
  pure sine holds all of it).

With more than one module it ends with a table of them side by side.

Usage: measure_mix.py --render PATH MODULE...
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile

import numpy as np
from scipy import signal
from scipy.io import wavfile

ROWS_PER_SECTION = 128
BANDS = ((0.0, 100.0), (100.0, 3000.0), (3000.0, None))
NOTE_NAMES = ("C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B")
# How strongly each pitch class belongs to a major and a minor key, from
# its tonic up (Krumhansl and Kessler's probe-tone ratings).
MAJOR_PROFILE = np.array([6.35, 2.23, 3.48, 2.33, 4.38, 4.09, 2.52, 5.19, 2.39, 3.66, 2.29, 2.88])
MINOR_PROFILE = np.array([6.33, 2.68, 3.52, 5.38, 2.60, 3.53, 2.54, 4.75, 3.98, 2.69, 3.34, 3.17])


def k_weighting(rate):
    """The two biquads of BS.1770's K-weighting at any sampling rate: the
    head's high shelf, then the revised low-frequency B-curve high-pass."""
    k = np.tan(np.pi * 1681.974450955533 / rate)
    q = 0.7071752369554196
    vh = 10 ** (3.999843853973347 / 20)
    vb = vh ** 0.4996667741545416
    a0 = 1 + k / q + k * k
    shelf = ([(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0,
              (vh - vb * k / q + k * k) / a0],
             [1.0, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0])
    k = np.tan(np.pi * 38.13547087602444 / rate)
    q = 0.5003270373238773
    a0 = 1 + k / q + k * k
    highpass = ([1.0, -2.0, 1.0], [1.0, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0])
    return shelf, highpass


def weighted_power(sound, rate):
    """Per sample frame, the K-weighted power summed over the channels."""
    shelf, highpass = k_weighting(rate)
    weighted = signal.lfilter(*highpass, signal.lfilter(*shelf, sound, axis=0), axis=0)
    return np.sum(weighted * weighted, axis=1)


def integrated_loudness(power, rate):
    """Gated loudness in LUFS of a stretch of weighted power; None when all
    of it lies under the absolute gate (a silent channel)."""
    block = int(0.4 * rate)
    hop = block // 4
    if len(power) < block:
        return None
    sums = np.concatenate(([0.0], np.cumsum(power)))
    starts = np.arange(0, len(power) - block + 1, hop)
    means = (sums[starts + block] - sums[starts]) / block
    with np.errstate(divide="ignore"):
        loudness = -0.691 + 10 * np.log10(means)
    kept = means[loudness > -70.0]
    if kept.size == 0:
        return None
    relative_gate = -0.691 + 10 * np.log10(kept.mean()) - 10.0
    kept = means[(loudness > -70.0) & (loudness > relative_gate)]
    return -0.691 + 10 * np.log10(kept.mean())


def band_shares(sound, rate):
    """The share in dB of the sound's energy in each of BANDS."""
    spectrum = np.abs(np.fft.rfft(sound.mean(axis=1))) ** 2
    frequencies = np.fft.rfftfreq(len(sound), 1.0 / rate)
    total = spectrum.sum()
    shares = []
    for low, high in BANDS:
        inside = (frequencies >= low) & (frequencies < (high or rate))
        shares.append(10 * np.log10(max(spectrum[inside].sum() / total, 1e-12)))
    return shares


def render(program, module, folder, channel=None):
    """Runs render-mix; returns its report's lines and the sound up to the
    song's end as floats of full scale 1."""
    wav = os.path.join(folder, "render.wav")
    command = [program, module, wav] + ([str(channel)] if channel is not None else [])
    report = subprocess.run(command, check=True, capture_output=True, text=True).stdout
    rate, sound = wavfile.read(wav)
    lines = [line.split(" ", 1) for line in report.splitlines()]
    end = next(float(rest) for key, rest in lines if key == "end")
    return lines, rate, sound[: int(end * rate)].astype(np.float64) / 32768.0


def section_starts(lines, rate):
    """Sample frames at which every 128th row played starts."""
    rows = [float(rest.split()[2]) for key, rest in lines if key == "row"]
    return [int(seconds * rate) for seconds in rows[::ROWS_PER_SECTION]]


def one_shots(lines):
    """The unlooped samples the song played: by name where the names tell
    them apart, else by number."""
    numbers, names = [], []
    for key, rest in lines:
        if key != "sample":
            continue
        number, kind, _length, plays, *name = rest.split(" ", 4)
        if kind == "once" and int(plays) > 0:
            numbers.append(f"#{number}")
            names.append(name[0].strip() if name else "")
    telling = len({re.sub(r"[\d\s]", "", name) for name in names}) == len(names) and all(names)
    return names if telling else numbers


def rates(lines):
    """For each one-shot sample number, its name and the rates at which the
    song started it, most played first."""
    names = {}
    for key, rest in lines:
        if key == "sample":
            number, kind, _length, plays, *name = rest.split(" ", 4)
            if kind == "once" and int(plays) > 0:
                label = name[0].strip() if name else ""
                names[int(number)] = f"#{number} {label}".strip()
    played = {number: [] for number in names}
    for key, rest in lines:
        if key == "rate":
            number, hz, plays = (int(field) for field in rest.split())
            if number in played:
                played[number].append((plays, hz))
    return [(number, names[number], [hz for _, hz in sorted(played[number], reverse=True)])
            for number in sorted(names)]


def note_name(hz):
    """The nearest equal-tempered note in scientific pitch (A4 is 440 Hz),
    with how many cents the pitch lies from it."""
    semitones = 12 * np.log2(hz / 440.0)
    nearest = int(round(semitones))
    index = nearest + 9 + 12 * 4
    return f"{NOTE_NAMES[index % 12]}{index // 12}{(semitones - nearest) * 100:+.0f}c"


def sample_figures(sound, rate):
    """A one-shot's share of energy in 2-6 kHz (dB), and its tail's settled
    pitch and the share of the tail's energy within 20 % of that pitch.
    The tail starts 30 ms after the loudest moment, past the stroke."""
    mono = sound.mean(axis=1)
    spectrum = np.abs(np.fft.rfft(mono)) ** 2
    frequencies = np.fft.rfftfreq(len(mono), 1.0 / rate)
    band = spectrum[(frequencies >= 2000) & (frequencies < 6000)].sum()
    share = 10 * np.log10(max(band / max(spectrum.sum(), 1e-30), 1e-12))
    tail = mono[int(np.argmax(np.abs(mono))) + int(0.03 * rate):]
    if len(tail) < int(0.02 * rate) or not np.any(tail):
        return share, None, None
    tail_spectrum = np.abs(np.fft.rfft(tail * np.hanning(len(tail)), 8 * len(tail))) ** 2
    tail_frequencies = np.fft.rfftfreq(8 * len(tail), 1.0 / rate)
    audible = tail_frequencies >= 30
    pitch = tail_frequencies[audible][np.argmax(tail_spectrum[audible])]
    near = (tail_frequencies >= 0.8 * pitch) & (tail_frequencies <= 1.2 * pitch)
    return share, pitch, tail_spectrum[near].sum() / tail_spectrum.sum()


def one_shot_figures(program, module, lines, folder):
    """sample_figures for every one-shot at every rate the song plays it."""
    figures = []
    wav = os.path.join(folder, "sample.wav")
    for number, name, hzs in rates(lines):
        for hz in hzs:
            subprocess.run([program, module, wav, "--sample", str(number), str(hz)], check=True,
                           capture_output=True)
            rate, sound = wavfile.read(wav)
            figures.append((name, hz, *sample_figures(sound.astype(np.float64) / 32768.0, rate)))
    return figures


def key_of(sound, rate):
    """The best matching key of the sound's chroma (the spectrum's energy
    between 55 Hz and 2 kHz folded onto the 12 pitch classes), and the
    correlation of its profile with the chroma."""
    frequencies, _, spectrum = signal.stft(sound.mean(axis=1), rate, nperseg=8192,
                                           noverlap=8192 - 2048)
    inside = (frequencies > 55) & (frequencies < 2000)
    classes = (np.round(12 * np.log2(frequencies[inside] / 440.0)).astype(int) + 9) % 12
    chroma = np.bincount(classes, np.abs(spectrum[inside]).sum(axis=1), minlength=12)
    keys = [(np.corrcoef(chroma, np.roll(profile, tonic))[0, 1], f"{NOTE_NAMES[tonic]} {kind}")
            for tonic in range(12)
            for profile, kind in ((MAJOR_PROFILE, "major"), (MINOR_PROFILE, "minor"))]
    return max(keys)


def tempo_of(sound, rate):
    """Beats a minute: the lag between 90 and 180 a minute at which the
    onsets (the rise of the log spectrum, frame by frame) best repeat."""
    hop = 512
    _, _, spectrum = signal.stft(sound.mean(axis=1), rate, nperseg=2 * hop, noverlap=hop)
    level = np.log1p(100 * np.abs(spectrum))
    onsets = np.maximum(np.diff(level, axis=1), 0).sum(axis=0)
    onsets -= onsets.mean()
    repeats = np.correlate(onsets, onsets, "full")[len(onsets) - 1:]
    lags = np.arange(len(repeats)) * hop / rate
    best = int(np.argmax(np.where((lags > 60 / 180) & (lags < 60 / 90), repeats, -np.inf)))
    before, at, after = repeats[best - 1:best + 2]
    shift = 0.5 * (before - after) / (before - 2 * at + after)
    return 60 / ((best + shift) * hop / rate)


def measure(program, module):
    with tempfile.TemporaryDirectory(prefix="measure-mix-") as folder:
        lines, rate, mix = render(program, module, folder)
        channel_count = int(next(rest for key, rest in lines if key == "channels"))
        power = weighted_power(mix, rate)
        key = key_of(mix, rate)
        tempo = tempo_of(mix, rate)
        starts = section_starts(lines, rate) + [len(mix)]
        sections = [integrated_loudness(power[a:b], rate) for a, b in zip(starts, starts[1:])
                    if b - a > rate]
        channels = []
        for channel in range(channel_count):
            _, _, alone = render(program, module, folder, channel)
            channels.append((integrated_loudness(weighted_power(alone, rate), rate),
                             band_shares(alone, rate)))
        samples = one_shot_figures(program, module, lines, folder)
    return {
        "name": os.path.basename(module),
        "seconds": len(mix) / rate,
        "whole": integrated_loudness(power, rate),
        "channels": channels,
        "one_shots": one_shots(lines),
        "sections": sections,
        "samples": samples,
        "key": key,
        "tempo": tempo,
    }


def lufs(value):
    return "silent" if value is None else f"{value:.1f}"


def spread(channels):
    heard = [loudness for loudness, _ in channels if loudness is not None]
    if len(heard) < len(channels):
        return None
    return max(heard) - min(heard)


def print_module(m):
    print(f"{m['name']}: {m['seconds']:.1f} s, whole mix {lufs(m['whole'])} LUFS")
    print("  channel alone   LUFS   <100 Hz  0.1-3 kHz  >3 kHz  (dB of the channel)")
    for number, (loudness, shares) in enumerate(m["channels"], 1):
        bands = "".join(f"{share:9.1f}" for share in shares)
        print(f"  {number:>13}  {lufs(loudness):>6} {bands}")
    gap = spread(m["channels"])
    print(f"  loudest to quietest channel: "
          f"{'a channel is silent' if gap is None else f'{gap:.1f} dB'}")
    print(f"  one-shot samples played: {len(m['one_shots'])} ({', '.join(m['one_shots'])})")
    print("  8-bar sections, LUFS: " + " ".join(lufs(s) for s in m["sections"]))
    print(f"  key {m['key'][1]} (correlation {m['key'][0]:.2f}), tempo {m['tempo']:.1f} "
          "beats a minute")
    print("  one-shot alone, at the rate played       2-6 kHz   settled pitch   near it")
    for name, hz, share, pitch, near in m["samples"]:
        settled = "-" if pitch is None else f"{pitch:7.1f} Hz {note_name(pitch):>7}"
        nearby = "-" if near is None else f"{100 * near:.0f} %"
        print(f"  {name[:26]:<26} {hz:6d} Hz {share:8.1f} dB  {settled:>18}  {nearby:>6}")
    print()


def print_table(measured):
    print("| module | length | whole | each channel alone (LUFS) | spread | one-shots "
          "| 8-bar sections (LUFS) |")
    print("|---|---:|---:|---|---:|---:|---|")
    for m in measured:
        alone = " / ".join(lufs(loudness) for loudness, _ in m["channels"])
        gap = spread(m["channels"])
        heard = [s for s in m["sections"] if s is not None]
        sections = f"{min(heard):.1f} to {max(heard):.1f}" if heard else "silent"
        print(f"| {m['name']} | {m['seconds']:.0f} s | {lufs(m['whole'])} | {alone} "
              f"| {'-' if gap is None else f'{gap:.1f} dB'} | {len(m['one_shots'])} "
              f"| {sections} |")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--render", required=True, help="the render-mix program")
    parser.add_argument("modules", nargs="+")
    args = parser.parse_args()
    measured = []
    for module in args.modules:
        try:
            measured.append(measure(args.render, module))
        except subprocess.CalledProcessError as error:
            print(f"{module}: not rendered: {error.stderr.strip()}", file=sys.stderr)
            return 1
        print_module(measured[-1])
    if len(measured) > 1:
        print_table(measured)
    return 0


if __name__ == "__main__":
    sys.exit(main())
