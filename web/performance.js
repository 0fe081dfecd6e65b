// A demo's performance as the exporter writes it, played on an 80-by-25 console: when each
// character is drawn at a console's speed, and the 25 rows shown once a given number of
// characters is drawn, found at once for any place (the counter's screen from its numbers, the
// prints from the nearest checkpoint). A plain script in the page, a CommonJS module in Node.
"use strict";

const qavPerformance = (() => {
  const cols = 80;
  const rows = 25;
  const blankRow = " ".repeat(cols);
  const nsPerSecond = 1e9;
  // Lines between the console states the prints keep: drawing from one costs at most this many
  // lines' characters, a few thousand.
  const checkpointEvery = 64;

  // floor(a / b) for whole numbers a < 2^53, exactly: the remainder is exact, and so is the
  // division of a multiple.
  const quotient = (a, b) => (a - (a % b)) / b;

  // The console: the last 25 rows (each 80 characters) and the column the next character goes
  // to, 80 once the last cell of a row is drawn: the wrap comes with the next character.
  const fresh = () => ({ rows: [blankRow], col: 0 });
  const copy = (state) => ({ rows: state.rows.slice(), col: state.col });

  function newRow(state) {
    state.rows.push(blankRow);
    if (state.rows.length > rows) {
      state.rows.shift();
    }
    state.col = 0;
  }

  function put(state, text) {
    for (let i = 0; i < text.length;) {
      if (text[i] === "\n") {
        newRow(state);
        ++i;
        continue;
      }
      if (state.col === cols) {
        newRow(state);
      }
      const newline = text.indexOf("\n", i);
      const end = Math.min(text.length, i + cols - state.col, newline < 0 ? Infinity : newline);
      const last = state.rows.length - 1;
      const row = state.rows[last];
      state.rows[last] = row.slice(0, state.col) + text.slice(i, end) +
        row.slice(state.col + end - i);
      state.col += end - i;
      i = end;
    }
  }

  // The characters of the counter's numbers 0 to k - 1, each with its newline.
  function counterLength(k) {
    let total = 0;
    for (let digits = 1, low = 0; low < k; ++digits, low = 10 ** (digits - 1)) {
      total += (Math.min(k, 10 ** digits) - low) * (digits + 1);
    }
    return total;
  }

  // The counter's numbers wholly drawn within its first `drawn` characters, and how many
  // characters of the next one.
  function counterPlace(drawn) {
    let total = 0;
    for (let digits = 1, low = 0; ; ++digits, low = 10 ** (digits - 1)) {
      const group = (10 ** digits - low) * (digits + 1);
      if (drawn < total + group) {
        const into = drawn - total;
        return { numbers: low + Math.floor(into / (digits + 1)), partial: into % (digits + 1) };
      }
      total += group;
    }
  }

  // Reads the exporter's data: { lines: [[glyph, width]...], steps: [["pause", ms],
  // ["count", n], ["print", [line...], times]...] }.
  function load(data) {
    const lines = data.lines.map(([glyph, width]) => glyph.padEnd(width));
    const pauses = []; // { at: characters drawn before it, ns }
    const segments = []; // the counters and the runs of prints, by the character they begin at
    const firstPrint = new Map(); // line index: the character its first print begins at
    let total = 0;
    let state = fresh();
    let printing = null;

    for (const [kind, value, times] of data.steps) {
      if (kind === "pause") {
        const last = pauses[pauses.length - 1];
        if (last?.at === total) {
          last.ns += value * 1e6;
        } else {
          pauses.push({ at: total, ns: value * 1e6 });
        }
        continue;
      }
      if (kind === "count") {
        printing = null;
        const length = counterLength(value);
        segments.push({ kind, from: total, to: total + length, n: value, before: copy(state) });
        total += length;
        state = counterState(segments[segments.length - 1], length);
        continue;
      }
      if (!printing) {
        printing = { kind: "print", from: total, to: total, order: [], ends: [], checkpoints: [] };
        segments.push(printing);
      }
      for (let time = 0; time < times; ++time) {
        for (const line of value) {
          if (printing.order.length % checkpointEvery === 0) {
            printing.checkpoints.push(copy(state));
          }
          if (!firstPrint.has(line)) {
            firstPrint.set(line, total);
          }
          put(state, lines[line]);
          total += lines[line].length;
          printing.order.push(line);
          printing.ends.push(total - printing.from);
        }
      }
      printing.to = total;
    }
    return { lines, pauses, segments, firstPrint, total };
  }

  function counterState(segment, drawn) {
    const { numbers, partial } = counterPlace(drawn);
    const near = numbers <= rows;
    const state = near ? copy(segment.before) : { rows: Array(rows).fill(blankRow), col: 0 };
    for (let k = near ? 0 : numbers - rows; k < numbers; ++k) {
      put(state, `${k}\n`);
    }
    if (numbers < segment.n) {
      put(state, String(numbers).slice(0, partial));
    }
    return state;
  }

  function printState(segment, lines, drawn) {
    // The lines wholly drawn: the first whose end is past `drawn`.
    let low = 0;
    let high = segment.ends.length;
    while (low < high) {
      const middle = (low + high) >> 1;
      if (segment.ends[middle] <= drawn) {
        low = middle + 1;
      } else {
        high = middle;
      }
    }
    const base = Math.floor(low / checkpointEvery) * checkpointEvery;
    const state = copy(segment.checkpoints[base / checkpointEvery] ?? segment.checkpoints[0]);
    for (let i = base; i < low; ++i) {
      put(state, lines[segment.order[i]]);
    }
    if (low < segment.order.length) {
      put(state, lines[segment.order[low]].slice(0, drawn - (low ? segment.ends[low - 1] : 0)));
    }
    return state;
  }

  // The console once `chars` characters are drawn: its rows (each 80 characters, up to 25,
  // from the top) and where the next character goes.
  function stateAt(performance, chars) {
    let segment = null;
    for (const candidate of performance.segments) {
      if (candidate.from < chars || (candidate.from === chars && !segment)) {
        segment = candidate;
      }
    }
    if (!segment) {
      return fresh();
    }
    const drawn = Math.min(chars, segment.to) - segment.from;
    return segment.kind === "count" ? counterState(segment, drawn)
      : printState(segment, performance.lines, drawn);
  }

  // The pauses before the character with this count, in nanoseconds.
  function pausedBefore(performance, chars) {
    return performance.pauses.reduce((sum, { at, ns }) => sum + (at < chars ? ns : 0), 0);
  }

  // When the character with this count (the first is 1) is drawn at `speed` characters a
  // second, in nanoseconds: the console's clock.
  function drawnAt(performance, chars, speed) {
    return pausedBefore(performance, chars) + quotient(chars * nsPerSecond, speed);
  }

  const pauseAt = (performance, chars) => performance.pauses.find(({ at }) => at === chars);

  // The moment of a place { chars, intoNs }: the characters drawn, and the time into the pause
  // that follows them, if one does.
  function momentOf(performance, { chars, intoNs = 0 }, speed) {
    const pause = pauseAt(performance, chars);
    return drawnAt(performance, chars, speed) + (pause ? Math.min(intoNs, pause.ns) : 0);
  }

  // The place at a moment: every character drawn by then, and how far into the pause after
  // them, if one is under way.
  function placeAt(performance, moment, speed) {
    let paused = 0;
    for (const { at, ns } of performance.pauses) {
      const start = paused + quotient(at * nsPerSecond, speed);
      if (moment < start) {
        break;
      }
      if (moment < start + ns) {
        return { chars: at, intoNs: moment - start };
      }
      paused += ns;
    }
    let chars = Math.floor(((moment - paused) * speed) / nsPerSecond);
    while (paused + quotient((chars + 1) * nsPerSecond, speed) <= moment) {
      ++chars;
    }
    while (chars > 0 && paused + quotient(chars * nsPerSecond, speed) > moment) {
      --chars;
    }
    chars = Math.min(chars, performance.total);
    const pause = pauseAt(performance, chars);
    return { chars, intoNs: pause ? Math.min(moment - drawnAt(performance, chars, speed), pause.ns) : 0 };
  }

  // How long the whole performance takes, its last pause included.
  function duration(performance, speed) {
    return drawnAt(performance, performance.total, speed) +
      (pauseAt(performance, performance.total)?.ns ?? 0);
  }

  // The chapters as places where their first character is drawn, each with what to announce:
  // the counter, each message (Danish, then its English), the boxes and the closing banner,
  // the last line when it is neither a box's nor a message. `messages`: [{ danish, english }].
  function chapters(performance, messages) {
    const { lines, firstPrint, segments } = performance;
    const found = [];
    const counter = segments.find(({ kind }) => kind === "count");
    if (counter) {
      found.push({ chars: counter.from + 1, name: "Counter", announce: "Counter" });
    }
    messages.forEach(({ danish, english }, i) => {
      const line = lines.findIndex((text) => text.trimEnd() === danish);
      if (firstPrint.has(line)) {
        found.push({ chars: firstPrint.get(line) + 1, name: `Message ${i + 1}`,
          announce: `${danish} (${english})` });
      }
    });
    const box = [...firstPrint].filter(([line]) => lines[line].startsWith("#"))
      .reduce((first, [, at]) => Math.min(first, at), Infinity);
    if (box !== Infinity) {
      found.push({ chars: box + 1, name: "Boxes", announce: "Boxes" });
    }
    const printed = segments.filter(({ kind }) => kind === "print").pop();
    const last = printed?.order[printed.order.length - 1];
    const closing = lines[last]?.trim();
    if (closing && !closing.includes("#") && !messages.some(({ danish }) => danish === closing)) {
      found.push({ chars: printed.to - lines[last].length + 1, name: "Banner", announce: "Banner" });
    }
    found.sort((a, b) => a.chars - b.chars);
    return found;
  }

  // The characters drawn in the picture shown before play: the chain of boxes half-way from
  // the first box to the banner, or to the end.
  function posterChars(performance, chapters) {
    const boxes = chapters.find((c) => c.name === "Boxes")?.chars ?? 0;
    const banner = chapters.find((c) => c.name === "Banner")?.chars ?? performance.total;
    return Math.floor((boxes + banner) / 2);
  }

  // "01:05" for 65.3 seconds; "1:05" with `short` set.
  function clock(seconds, short = false) {
    const whole = Math.floor(seconds);
    const minutes = String(Math.floor(whole / 60));
    return `${short ? minutes : minutes.padStart(2, "0")}:${String(whole % 60).padStart(2, "0")}`;
  }

  function speedName(speed, defaultSpeed) {
    return speed < defaultSpeed ? "slow" : speed > defaultSpeed ? "fast" : "console";
  }

  return { cols, rows, load, stateAt, placeAt, momentOf, drawnAt, duration, chapters,
    posterChars, clock, speedName };
})();

if (typeof module === "object") {
  module.exports = qavPerformance;
}
