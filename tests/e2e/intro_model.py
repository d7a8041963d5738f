"""Reference model of what the intro writes on standard output.

This is a second, independent implementation of the intro's behaviour in
Python: the dialogue texts, the canvas and its presentation, the drawing
primitives, the effects (cyclic sequences, wave scrollers, line trails), the
scene and the logo orbit. It is written from the intended behaviour of the
program, not from its C++ sources, so that a byte-for-byte comparison of the
two catches mistakes in either.

Canvas cells are kept as a bytearray of the low 8 bits of each cell: that is
all a frame shows, and every character the scene draws is one byte.
"""

import ctypes
import ctypes.util
import re
from pathlib import Path


# ---------------------------------------------------------------------------
# 32-bit integer helpers: the program computes in signed 32-bit integers.

def wrap32(value):
    """Wrap an integer to the signed 32-bit range, as C arithmetic would."""
    return ((value + 0x80000000) & 0xFFFFFFFF) - 0x80000000


def c_div(a, b):
    """C integer division: the quotient is truncated toward zero."""
    q = abs(a) // abs(b)
    return q if (a < 0) == (b < 0) else -q


# ---------------------------------------------------------------------------
# Canvas and drawing primitives.

class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.cells = bytearray(b" " * (width * height))
        self.frames = 0

    def fill(self, ch):
        self.cells[:] = bytes([ch & 0xFF]) * (self.width * self.height)

    def put_char(self, x, y, ch):
        # The cell clip: everything drawn goes through here.
        if 0 <= x < self.width and 0 <= y < self.height:
            self.cells[y * self.width + x] = ch & 0xFF

    def draw_text(self, x, y, text):
        """Draw a block of lines; every character but the line end is opaque."""
        column = x
        for ch in text:
            if ch == 10:
                y += 1
                column = x
            else:
                self.put_char(column, y, ch)
                column += 1

    def draw_line(self, x0, y0, x1, y1, ch):
        """Line in 16.16 fixed point from (x0, y0) up to, not including, (x1, y1)."""
        w, h = self.width, self.height
        if (x0 < 0 and x1 < 0) or (x0 >= w and x1 >= w) \
                or (y0 < 0 and y1 < 0) or (y0 >= h and y1 >= h):
            return
        dx, step_x = abs(x1 - x0), (-1 if x1 < x0 else 1)
        dy, step_y = abs(y1 - y0), (-1 if y1 < y0 else 1)
        if dx == 0 and dy == 0:
            self.put_char(x0, y0, ch)
            return
        if dx >= dy:
            # Columns lead; the running row starts in the middle of its cell.
            increment = wrap32(c_div(wrap32(dy * 65536), dx) * step_y)
            row = wrap32(y0 * 65536 + 32768)
            x = x0
            while x != x1:
                self.put_char(x, row >> 16, ch)  # >> on ints is arithmetic
                x += step_x
                row = wrap32(row + increment)
        else:
            increment = wrap32(c_div(wrap32(dx * 65536), dy) * step_x)
            column = wrap32(x0 * 65536 + 32768)
            y = y0
            while y != y1:
                self.put_char(column >> 16, y, ch)
                column = wrap32(column + increment)
                y += step_y

    def present(self):
        """The frame's bytes: a leading line end, rows without the last column,
        no line end after the last row. Counts the frame."""
        w = self.width
        rows = [bytes(self.cells[r * w: r * w + w - 1]) for r in range(self.height)]
        self.frames += 1
        return b"\n" + b"\n".join(rows)


# ---------------------------------------------------------------------------
# Cyclic sequence: a cursor over a borrowed table that wraps at both ends.

class CyclicSequence:
    def __init__(self, table, step=1):
        self.table = table
        self.count = len(table)
        self.step = step
        self.position = 0

    def current(self):
        return self.table[self.position]

    def advance(self):
        # Wrap by repeated subtraction/addition, so any step size works.
        p = self.position + self.step
        while p >= self.count:
            p -= self.count
        while p < 0:
            p += self.count
        self.position = p


# ---------------------------------------------------------------------------
# Wave scroller.

DEFAULT_SCROLL_TEXT = b"A waved scroll's default text. "

DEFAULT_X_WAVE = [
    0, 1, 2, 3, 4, 4, 5, 6, 6, 7,
    7, 7, 7, 6, 6, 5, 4, 4, 3, 2,
    1, 0, -1, -2, -3, -4, -4, -5, -6, -6,
    -7, -7, -7, -7, -6, -6, -5, -4, -4, -3,
    -2, -1,
]

DEFAULT_Y_WAVE = [
    0, 1, 2, 2, 3, 3, 3, 4, 4, 4,
    4, 4, 4, 3, 3, 3, 2, 2, 1, 0,
    -1, -2, -2, -3, -3, -3, -4, -4, -4, -4,
    -4, -4, -3, -3, -3, -2, -2, -1, 0, 1,
    1, 2, 2, 3, 3, 3, 3, 3, 3, 2,
    2, 1, 1, 0, -1, -1, -2, -2, -3, -3,
    -3, -3, -3, -3, -2, -2, -1, -1, 0, 1,
    1, 2, 2, 2, 2, 3, 3, 3, 3, 3,
    3, 3, 3, 3, 3, 3, 3, 2, 2, 2,
    2, 1, 1, 0, -1, -1, -2, -2, -2, -2,
    -3, -3, -3, -3, -3, -3, -3, -3, -3, -3,
    -3, -3, -2, -2, -2, -2, -1, -1,
]


class WaveScroller:
    def __init__(self, canvas):
        self.canvas = canvas
        self.x = 0
        self.y = 0
        self.text = CyclicSequence(DEFAULT_SCROLL_TEXT)
        self.x_wave = CyclicSequence(DEFAULT_X_WAVE)
        self.y_wave = CyclicSequence(DEFAULT_Y_WAVE)

    def draw(self):
        """One character per canvas column, each shifted by the next wave
        offsets; the sequence positions are restored afterwards."""
        sequences = (self.text, self.x_wave, self.y_wave)
        saved = [s.position for s in sequences]
        for i in range(self.canvas.width):
            self.canvas.put_char(self.x + i + self.x_wave.current(),
                                 self.y + self.y_wave.current(),
                                 self.text.current())
            for s in sequences:
                s.advance()
        for s, position in zip(sequences, saved):
            s.position = position

    def advance(self):
        # Paced on the frames already presented (the first advance sees 1).
        f = self.canvas.frames
        if f % 3 == 0:
            self.text.advance()
        if f % 2 == 0:
            self.x_wave.advance()
        if f % 3 == 0:
            self.y_wave.advance()


# ---------------------------------------------------------------------------
# Bouncing line trail. The four end coordinates are kept as lists in the
# order x1, y1, x2, y2, each with its own velocity and echo spacing; the
# limit of a coordinate is the canvas width (x) or height (y).

class LineTrail:
    def __init__(self, canvas, rand):
        w, h = canvas.width, canvas.height
        self.canvas = canvas
        # Twelve draws in this exact order: ends, velocities, spacings.
        self.ends = [rand() % w, rand() % h, rand() % w, rand() % h]
        self.velocities = [(rand() & 1) + 1 for _ in range(4)]
        self.spacings = [(rand() & 7) + 1 for _ in range(4)]
        self.echo_count = h >> 2
        self.ch = ord("x")

    def _limits(self):
        c = self.canvas
        return (c.width, c.height, c.width, c.height)

    def draw(self):
        """The line and its echoes; working copies fold back at the edges."""
        limits = self._limits()
        ends = list(self.ends)
        spacings = list(self.spacings)
        for _ in range(self.echo_count):
            self.canvas.draw_line(ends[0], ends[1], ends[2], ends[3], self.ch)
            for k in range(4):
                v = ends[k] + spacings[k]
                if v < 0:
                    v = 0
                    spacings[k] = -spacings[k]
                elif v >= limits[k]:
                    v = limits[k] - 1
                    spacings[k] = -spacings[k]
                ends[k] = v

    def advance(self):
        """Move every end; a bounce clamps to the edge cell and reverses both
        the velocity and the spacing of that coordinate."""
        limits = self._limits()
        for k in range(4):
            v = self.ends[k] + self.velocities[k]
            if v < 0 or v >= limits[k]:
                v = 0 if v < 0 else limits[k] - 1
                self.velocities[k] = -self.velocities[k]
                self.spacings[k] = -self.spacings[k]
            self.ends[k] = v


# ---------------------------------------------------------------------------
# Logo orbit: five logo copies on a looping path around the screen centre.

X_ORBIT = [
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9,
    10, 11, 11, 12, 13, 14, 14, 15, 16, 16,
    17, 17, 18, 18, 18, 18, 18, 18, 17, 17,
    16, 16, 15, 14, 14, 13, 12, 11, 11, 10,
    9, 8, 7, 6, 5, 4, 3, 2, 1, 0,
    -1, -2, -3, -4, -5, -6, -7, -8, -9, -10,
    -11, -11, -12, -13, -14, -14, -15, -16, -16, -17,
    -17, -18, -18, -18, -18, -18, -18, -17, -17, -16,
    -16, -15, -14, -14, -13, -12, -11, -11, -10, -9,
    -8, -7, -6, -5, -4, -3, -2, -1,
]

Y_ORBIT = [
    0, 1, 2, 3, 4, 5, 6, 7, 7, 8,
    8, 9, 9, 9, 9, 9, 9, 9, 9, 8,
    8, 7, 7, 6, 5, 4, 3, 2, 1, 0,
    -1, -2, -3, -4, -5, -6, -7, -7, -8, -8,
    -9, -9, -9, -9, -9, -9, -9, -9, -8, -8,
    -7, -7, -6, -5, -4, -3, -2, -1,
]


class LogoOrbit:
    COPIES = 5

    def __init__(self, canvas, logo):
        self.canvas = canvas
        self.logo = logo
        self.cx = canvas.width // 2 - 3
        self.cy = canvas.height // 2 - 2
        self.sx = canvas.width // 40
        self.sy = canvas.height // 20
        self.px = 0
        self.py = 0

    def draw(self):
        # Copies stand 8 entries apart on the x table and 4 on the y table.
        px, py = self.px, self.py
        for _ in range(self.COPIES):
            self.canvas.draw_text(X_ORBIT[px] * self.sx + self.cx,
                                  Y_ORBIT[py] * self.sy + self.cy, self.logo)
            px = (px + 8) % len(X_ORBIT)
            py = (py + 4) % len(Y_ORBIT)

    def advance(self):
        self.px = (self.px + 1) % len(X_ORBIT)
        self.py = (self.py + 1) % len(Y_ORBIT)


# ---------------------------------------------------------------------------
# The scene and the frame loop.

class Scene:
    def __init__(self, canvas, long_text, rand, logo):
        h = canvas.height
        # Middle scroller: default waves, long text, three quarters down.
        self.middle = WaveScroller(canvas)
        self.middle.y = (3 * h) // 4
        self.middle.text = CyclicSequence(long_text)
        # Bottom scroller: flat (all-zero wave tables of 20 entries) on the last line.
        self.bottom = WaveScroller(canvas)
        self.bottom.y = h - 1
        self.bottom.text = CyclicSequence(long_text)
        self.bottom.x_wave = CyclicSequence([0] * 20)
        self.bottom.y_wave = CyclicSequence([0] * 20)
        # The trails take their random start in creation order; then the
        # velocities, spacings and characters are overridden (mirror images).
        self.trail1 = LineTrail(canvas, rand)
        self.trail1.spacings = [3, 2, 3, 2]
        self.trail1.velocities = [1, -1, -1, 1]
        self.trail1.ch = ord("+")
        self.trail2 = LineTrail(canvas, rand)
        self.trail2.spacings = [4, 3, 4, 3]
        self.trail2.velocities = [-1, 1, 1, -1]
        self.trail2.ch = ord(".")
        self.orbit = LogoOrbit(canvas, logo)

    def draw(self):
        # Back to front: trails, scrollers, logos.
        self.trail1.draw()
        self.trail2.draw()
        self.middle.draw()
        self.bottom.draw()
        self.orbit.draw()

    def advance(self):
        self.orbit.advance()
        self.middle.advance()
        self.bottom.advance()
        self.trail1.advance()
        self.trail2.advance()


def intro_frames(width, height, long_text, logo, rand):
    """Endless generator of the frames the intro prints, as bytes."""
    canvas = Canvas(width, height)
    scene = Scene(canvas, long_text, rand, logo)
    while True:
        canvas.fill(32)
        scene.draw()
        yield canvas.present()
        scene.advance()  # after presenting: the first advance sees frames == 1


# ---------------------------------------------------------------------------
# The C library's random generator, seeded as the program seeds it.

RANDS_PER_SCENE = 24  # twelve per trail, two trails

_libc = None


def seeded_rand(seed, count=RANDS_PER_SCENE):
    """A rand() replacement that replays the first `count` numbers that the
    C library's rand() gives after srand(seed)."""
    global _libc
    if _libc is None:
        _libc = ctypes.CDLL(ctypes.util.find_library("c") or "libc.so.6")
    _libc.srand(ctypes.c_uint(seed & 0xFFFFFFFF))
    numbers = iter([_libc.rand() for _ in range(count)])
    return lambda: next(numbers)


# ---------------------------------------------------------------------------
# The dialogue.

# What the music variant may print on standard error: its own failure lines
# when it cannot start the music, and the lines the ALSA library prints of
# its own accord while libmikmod probes the sound devices.
MUSIC_STDERR_PREFIXES = (b"Could not initialize sound", b"Reason: ",
                         b"Could not load module, reason: ", b"ALSA lib ")

VARIANTS = {
    "silent": {
        "banner_colour": b"\033[34m",
        "end_hint": b"\033[35mTo end intro press Ctrl-c.\033[0m\n\n",
        "logo": b"/~~~\\\n|ORX|\n\\___/\n",
    },
    "music": {
        "banner_colour": b"\033[31m",
        "end_hint": b"\033[34mTo end intro press Ctrl-c.\033[0m\n\n",
        "logo": b"|~~~|\n|ORX|\n|___|\n",
    },
}

TITLE_LINE = b"ORX presents BLUMOT, a demo in plain text"
CREDIT_LINE = b"Code, music and words by the ORX crew - released 7 December 2026"

SCREEN_MENU = (b"\nSelect your screen:\n"
               b"[1] 80x25 Linux, MS-DOS\n"
               b"[2] 80x50 little font\n"
               b"[3] 80x24 xterm, rxvt\n"
               b"[4] 40x24 low res\n"
               b"[5] other resolution\n"
               b"?")
SCREEN_PRESETS = {ord("1"): (80, 25), ord("2"): (80, 50),
                  ord("3"): (80, 24), ord("4"): (40, 24)}

FPS_MENU = (b"Select frames per second:\n"
            b"[1] 10 fps\n"
            b"[2] 20 fps\n"
            b"[3] 25 fps\n"
            b"[4] 50 fps\n"
            b"[5] other fps\n"
            b"?")
FPS_PRESETS = {ord("1"): 10, ord("2"): 20, ord("3"): 25, ord("4"): 50}

WIDTH_PROMPT, WRONG_WIDTH = b"Width (columns) ?", b"Wrong width.\n"
HEIGHT_PROMPT, WRONG_HEIGHT = b"Height (lines) ?", b"Wrong height.\n"
FPS_PROMPT, WRONG_FPS = b"Frames per second (fps) ?", b"Wrong fps.\n"

# Our program's bounds on the number entries: sizes must stay inside the
# 16-bit integer part of the line drawing's fixed point, the canvas must stay
# allocatable, and nothing may overflow a signed 32-bit integer.
MAX_SIDE = 32767
MAX_CELLS = 16777216
MAX_INT32 = 2**31 - 1


def opening(variant):
    """Banner and end hint, printed before the first menu."""
    v = VARIANTS[variant]
    return (v["banner_colour"] + TITLE_LINE + b"\n" + CREDIT_LINE
            + b"\033[0m\n\n" + v["end_hint"])


class EndOfInput(Exception):
    pass


def simulate_dialogue(variant, answers):
    """Run the dialogue on the answer bytes.

    Returns (printed bytes, (width, height, frame period)); when the answers
    end before the dialogue is done, returns (printed bytes, None)."""
    out = bytearray(opening(variant))
    data = iter(answers)

    def read():
        try:
            return next(data)
        except StopIteration:
            raise EndOfInput

    def skip_line(ch):
        while ch != 10:
            ch = read()

    def menu(text):
        key = 0
        while key <= ord("0") or key > ord("5"):
            out.extend(text)
            key = read()
            skip_line(key)
        return key

    def number(prompt, wrong, accept):
        while True:
            out.extend(prompt)
            value, ch = 0, read()
            while ord("0") <= ch <= ord("9"):
                value = value * 10 + ch - ord("0")
                ch = read()
            skip_line(ch)
            if 0 < value and accept(value):
                return value
            out.extend(wrong)

    try:
        key = menu(SCREEN_MENU)
        if key in SCREEN_PRESETS:
            width, height = SCREEN_PRESETS[key]
        else:
            width = number(WIDTH_PROMPT, WRONG_WIDTH, lambda w: w <= MAX_SIDE)
            height = number(HEIGHT_PROMPT, WRONG_HEIGHT,
                            lambda h: h <= MAX_SIDE and width * h <= MAX_CELLS)
        key = menu(FPS_MENU)
        if key in FPS_PRESETS:
            fps = FPS_PRESETS[key]
        else:
            fps = number(FPS_PROMPT, WRONG_FPS, lambda f: f <= MAX_INT32)
    except EndOfInput:
        return bytes(out), None
    return bytes(out), (width, height, 1000000 // fps)


# ---------------------------------------------------------------------------
# The long scroll text, read from the program's source.

def read_long_scroll_text(source_root):
    """Concatenate the string literals of `long_scroll_text` in
    intro/scroll_text.cpp. They hold no escape sequences, so the text is the
    literals' bytes as they stand."""
    path = Path(source_root) / "intro" / "scroll_text.cpp"
    source = path.read_text(encoding="ascii")
    start = re.search(r"const\s+char\s+long_scroll_text\s*\[\s*\]\s*=", source)
    if not start:
        raise ValueError(f"{path}: no definition of long_scroll_text")
    token = re.compile(r'\s+|//[^\n]*|/\*.*?\*/|"([^"\\\n]*)"|(;)', re.S)
    pos, pieces = start.end(), []
    while True:
        m = token.match(source, pos)
        if not m:
            raise ValueError(f"{path}: unexpected text at offset {pos}: "
                             f"{source[pos:pos + 20]!r}")
        if m.group(2):
            return "".join(pieces).encode("ascii")
        if m.group(1) is not None:
            pieces.append(m.group(1))
        pos = m.end()
