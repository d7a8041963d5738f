"""Checks of the reference model itself against known worked cases of the
intro's behaviour, so that a disagreement with the program can be trusted to
point at the program (or at least at one side for a clear reason)."""

import unittest

import intro_model as m


def drawn_cells(canvas):
    """The set of (column, row) cells that are not blank."""
    w = canvas.width
    return {(i % w, i // w) for i, b in enumerate(canvas.cells) if b != 32}


def line_cells(x0, y0, x1, y1, width=80, height=25):
    c = m.Canvas(width, height)
    c.draw_line(x0, y0, x1, y1, ord("#"))
    return drawn_cells(c)


class CanvasTest(unittest.TestCase):
    def test_presentation_format(self):
        c = m.Canvas(80, 25)
        frame = c.present()
        self.assertEqual(len(frame), 2000)
        self.assertEqual(frame, b"\n" + b"\n".join([b" " * 79] * 25))
        self.assertEqual(c.frames, 1)

    def test_last_column_hidden(self):
        c = m.Canvas(80, 25)
        c.put_char(79, 0, ord("A"))
        c.put_char(78, 1, ord("B"))
        frame = c.present()
        self.assertNotIn(b"A", frame)
        self.assertEqual(frame.split(b"\n")[2][-1:], b"B")

    def test_narrow_and_flat(self):
        self.assertEqual(m.Canvas(1, 5).present(), b"\n" * 5)
        c = m.Canvas(5, 1)
        c.draw_text(0, 0, b"abcde")
        self.assertEqual(c.present(), b"\nabcd")
        self.assertEqual(m.Canvas(1, 1).present(), b"\n")

    def test_text_block(self):
        c = m.Canvas(80, 25)
        c.draw_text(5, 2, b"AB\nZ")
        self.assertEqual(c.cells[2 * 80 + 5: 2 * 80 + 7], b"AB")
        self.assertEqual(c.cells[3 * 80 + 5], ord("Z"))
        c = m.Canvas(10, 3)
        c.draw_text(-1, 0, b"xyz\nuvw")
        self.assertEqual(bytes(c.cells[0:2]), b"yz")
        self.assertEqual(bytes(c.cells[10:12]), b"vw")


class LineTest(unittest.TestCase):
    def test_worked_lines(self):
        self.assertEqual(line_cells(0, 0, 3, 1), {(0, 0), (1, 0), (2, 1)})
        self.assertEqual(line_cells(2, 2, 2, 2), {(2, 2)})
        self.assertEqual(line_cells(0, 0, 0, 3), {(0, 0), (0, 1), (0, 2)})
        self.assertEqual(line_cells(5, 0, 0, 5),
                         {(5, 0), (4, 1), (3, 2), (2, 3), (1, 4)})
        self.assertEqual(line_cells(0, 0, 3, -1), {(0, 0), (1, 0)})
        self.assertEqual(line_cells(3, -1, 70, -9), set())
        self.assertEqual(line_cells(80, 3, 95, 20), set())

    def test_fixed_point_rounds_down(self):
        # 2/3 of a row per column: rows 0.5, 1.17, 1.83 -> 0, 1, 1.
        self.assertEqual(line_cells(0, 0, 3, 2), {(0, 0), (1, 1), (2, 1)})
        # Going up: rows 2.5, 1.83, 1.17 -> 2, 1, 1.
        self.assertEqual(line_cells(0, 2, 3, 0), {(0, 2), (1, 1), (2, 1)})


class SequenceTest(unittest.TestCase):
    def positions(self, count, step, n):
        s = m.CyclicSequence(list(range(count)), step)
        out = []
        for _ in range(n):
            s.advance()
            out.append(s.position)
        return out

    def test_wrap(self):
        self.assertEqual(self.positions(5, 1, 6), [1, 2, 3, 4, 0, 1])
        self.assertEqual(self.positions(5, -1, 6), [4, 3, 2, 1, 0, 4])
        self.assertEqual(self.positions(5, 12, 1), [2])
        self.assertEqual(self.positions(1, 3, 3), [0, 0, 0])


class WaveTest(unittest.TestCase):
    def test_tables(self):
        x, y = m.DEFAULT_X_WAVE, m.DEFAULT_Y_WAVE
        self.assertEqual(len(x), 42)
        self.assertEqual(x[21:], [-v for v in x[:21]])
        self.assertEqual(len(y), 118)
        for start, length in ((0, 38), (38, 30), (68, 50)):
            half = length // 2
            wave = y[start:start + length]
            self.assertEqual(wave[half:], [-v for v in wave[:half]])
        self.assertEqual(len(m.DEFAULT_SCROLL_TEXT), 31)

    def test_draw_positions(self):
        c = m.Canvas(80, 25)
        s = m.WaveScroller(c)
        s.y = 10
        s.y_wave = m.CyclicSequence([0])
        s.text = m.CyclicSequence(b"abcdefghijklmnopqrstuvwxyz0123456789")
        s.x_wave.position = 30
        s.draw()
        row = bytes(c.cells[800:880])
        # First six characters fall left of column 0; the first drawn lands on 1.
        self.assertEqual(row[0:1], b" ")
        self.assertEqual([row.index(ch) for ch in b"ghij"], [1, 3, 4, 6])
        self.assertEqual(s.x_wave.position, 30)

    def test_pacing(self):
        c = m.Canvas(80, 25)
        s = m.WaveScroller(c)
        seen = []
        for _ in range(6):
            c.present()
            s.advance()
            seen.append((s.text.position, s.x_wave.position, s.y_wave.position))
        self.assertEqual(seen, [(0, 0, 0), (0, 1, 0), (1, 1, 1),
                                (1, 2, 1), (1, 2, 1), (2, 3, 2)])


class TrailTest(unittest.TestCase):
    def trail(self, width=80, height=25):
        numbers = iter([0] * 12)
        return m.LineTrail(m.Canvas(width, height), lambda: next(numbers))

    def test_echo_fan_right_edge(self):
        t = self.trail()
        t.ends = [75, 0, 75, 24]
        t.spacings = [3, 0, 3, 0]
        t.ch = ord("#")
        t.draw()
        rows0 = sorted(x for (x, y) in drawn_cells(t.canvas) if y == 0)
        self.assertEqual(rows0, [70, 73, 75, 76, 78, 79])
        self.assertEqual((t.ends[0], t.spacings[0]), (75, 3))

    def test_echo_fan_left_edge(self):
        t = self.trail()
        t.ends = [2, 0, 2, 24]
        t.spacings = [-4, 0, -4, 0]
        t.ch = ord("#")
        t.draw()
        self.assertEqual(sorted(x for (x, y) in drawn_cells(t.canvas) if y == 0),
                         [0, 2, 4, 8, 12, 16])

    def test_bounces(self):
        t = self.trail()
        t.ends = [79, 5, 10, 1]
        t.velocities = [2, 1, 1, -2]
        t.spacings = [3, 3, 3, 3]
        t.advance()
        self.assertEqual(t.ends, [79, 6, 11, 0])
        self.assertEqual(t.velocities, [-2, 1, 1, 2])
        self.assertEqual(t.spacings, [-3, 3, 3, -3])
        t.ends, t.velocities = [78, 5, 10, 5], [1, 1, 1, 1]
        t.advance()
        self.assertEqual(t.ends[0], 79)
        self.assertEqual(t.velocities[0], 1)

    def test_echo_count(self):
        self.assertEqual(self.trail(80, 25).echo_count, 6)
        self.assertEqual(self.trail(80, 50).echo_count, 12)
        self.assertEqual(self.trail(5, 3).echo_count, 0)

    def test_random_draw_order(self):
        numbers = iter(range(100, 124))
        rand = lambda: next(numbers)
        c = m.Canvas(80, 25)
        t1, t2 = m.LineTrail(c, rand), m.LineTrail(c, rand)
        self.assertEqual(t1.ends, [100 % 80, 101 % 25, 102 % 80, 103 % 25])
        self.assertEqual(t1.velocities, [1, 2, 1, 2])
        self.assertEqual(t1.spacings, [(108 & 7) + 1, (109 & 7) + 1,
                                       (110 & 7) + 1, (111 & 7) + 1])
        self.assertEqual(t2.ends[0], 112 % 80)


class OrbitTest(unittest.TestCase):
    def test_tables(self):
        x, y = m.X_ORBIT, m.Y_ORBIT
        self.assertEqual(len(x), 98)
        self.assertEqual(x[49:], [-v for v in x[:49]])
        self.assertTrue(all(x[k] == x[49 - k] for k in range(1, 49)))
        self.assertEqual(len(y), 58)
        self.assertEqual(y[29:], [-v for v in y[:29]])

    def test_constants_and_range(self):
        o = m.LogoOrbit(m.Canvas(80, 25), b"")
        self.assertEqual((o.cx, o.cy, o.sx, o.sy), (37, 10, 2, 1))
        cols = {v * 2 + 37 for v in m.X_ORBIT}
        rows = {v + 10 for v in m.Y_ORBIT}
        self.assertEqual((min(cols), max(cols), min(rows), max(rows)), (1, 73, 1, 19))
        o = m.LogoOrbit(m.Canvas(80, 50), b"")
        self.assertEqual((o.cx, o.cy, o.sx, o.sy), (37, 23, 2, 2))
        o = m.LogoOrbit(m.Canvas(1, 1), b"")
        self.assertEqual((o.cx, o.cy, o.sx, o.sy), (-3, -2, 0, 0))

    def test_wrap(self):
        o = m.LogoOrbit(m.Canvas(80, 25), b"")
        o.px, o.py = 97, 57
        o.advance()
        self.assertEqual((o.px, o.py), (0, 0))


class SceneTest(unittest.TestCase):
    LONG = b" " * 40 + (b"Greetings and words " * 79)[:1555] + b"      Wrap!" + b" " * 29

    def frames(self, width, height, n, seed=1):
        gen = m.intro_frames(width, height, self.LONG,
                             m.VARIANTS["silent"]["logo"], m.seeded_rand(seed))
        return [next(gen) for _ in range(n)]

    def test_stand_in_text_shape(self):
        self.assertEqual(len(self.LONG), 1635)

    def test_layout_80x25(self):
        first = self.frames(80, 25, 1)[0]
        rows = first.split(b"\n")[1:]
        # Bottom scroller: 40 blanks, then the message from canvas column 40.
        self.assertEqual(rows[24], self.LONG[:79])
        # A logo copy stands at the centre (37, 10) in the first frame.
        self.assertEqual(rows[11][37:42], b"|ORX|")

    def test_text_returns_after_4905_frames(self):
        c = m.Canvas(20, 1)
        s = m.WaveScroller(c)
        s.text = m.CyclicSequence(self.LONG)
        for _ in range(4905):
            c.present()
            s.advance()
        self.assertEqual(s.text.position, 0)
        c.present()
        s.advance()
        c.present()
        s.advance()
        self.assertEqual(s.text.position, 0)  # frames 4906, 4907: no step yet

    def test_tiny_sizes_run(self):
        for w, h in ((1, 1), (1, 5), (2, 2), (5, 1)):
            for frame in self.frames(w, h, 50):
                self.assertEqual(len(frame), w * h)


class DialogueTest(unittest.TestCase):
    def test_presets_and_retries(self):
        out, settings = m.simulate_dialogue("silent", b"3\n2\n")
        self.assertEqual(settings, (80, 24, 50000))
        self.assertTrue(out.endswith(m.FPS_MENU))
        out, settings = m.simulate_dialogue("silent", b"7\n12\n\n4\n")
        self.assertEqual(settings, (80, 25, 20000))
        self.assertEqual(out.count(m.SCREEN_MENU), 2)
        self.assertEqual(out.count(m.FPS_MENU), 2)

    def test_number_entry(self):
        out, settings = m.simulate_dialogue("silent", b"5\n 100\n100abc\n007\n5\n3\n")
        self.assertEqual(settings, (100, 7, 333333))
        self.assertIn(m.WIDTH_PROMPT + m.WRONG_WIDTH + m.WIDTH_PROMPT, out)
        _, settings = m.simulate_dialogue("silent", b"5\n1\n1\n5\n1000001\n")
        self.assertEqual(settings, (1, 1, 0))

    def test_bounds_and_end_of_input(self):
        out, settings = m.simulate_dialogue("silent", b"5\n99999999999\n")
        self.assertIsNone(settings)
        self.assertTrue(out.endswith(m.WRONG_WIDTH + m.WIDTH_PROMPT))
        out, _ = m.simulate_dialogue("silent", b"5\n5000\n5000\n")
        self.assertTrue(out.endswith(m.HEIGHT_PROMPT + m.WRONG_HEIGHT + m.HEIGHT_PROMPT))
        out, _ = m.simulate_dialogue("silent", b"5\n4096\n4096\n")
        self.assertTrue(out.endswith(m.FPS_MENU))
        out, settings = m.simulate_dialogue("music", b"")
        self.assertTrue(out.startswith(b"\033[31m"))
        self.assertTrue(out.endswith(m.SCREEN_MENU))


if __name__ == "__main__":
    unittest.main()
